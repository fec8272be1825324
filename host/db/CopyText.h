#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The text format of the server's COPY … FROM STDIN: one row per line, the
// fields separated by tabs, NULL written \N. A field's own backslashes, tabs,
// newlines and carriage returns are written as escapes, so that no value can
// end its field or its row early; every other byte (quotes, UTF-8 text) goes
// as it is.
namespace q7::host::db::copytext {

// The field for a text value (UTF-8): its special bytes escaped. An empty
// text stays empty, which COPY reads as the empty text, not NULL.
QByteArray escaped(QByteArrayView utf8);
// Appends the field to a row being built.
void appendEscaped(QByteArray& row, QByteArrayView utf8);
// The field that COPY reads as NULL.
inline constexpr QByteArrayView Null = "\\N";

} // namespace q7::host::db::copytext
