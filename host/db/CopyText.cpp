#include "host/db/CopyText.h"

namespace q7::host::db::copytext {

void appendEscaped(QByteArray& row, QByteArrayView utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            row += "\\\\";
            break;
        case '\t':
            row += "\\t";
            break;
        case '\n':
            row += "\\n";
            break;
        case '\r':
            row += "\\r";
            break;
        default:
            row += c;
        }
    }
}

QByteArray escaped(QByteArrayView utf8)
{
    QByteArray field;
    field.reserve(utf8.size());
    appendEscaped(field, utf8);
    return field;
}

} // namespace q7::host::db::copytext
