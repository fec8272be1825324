#include "platform/SqlText.h"

namespace q7 {

QString doubledQuotes(const QString& value)
{
    QString doubled = value;
    doubled.replace(u'\'', QStringLiteral("''"));
    return doubled;
}

QString quoted(const QString& value) { return u'\'' + doubledQuotes(value) + u'\''; }

} // namespace q7
