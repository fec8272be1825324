#pragma once

#include <QList>
#include <QString>

#include <utility>

// The text by which a connection is opened: key=value pairs separated by ';'.
namespace q7::data {

// A value written into a connection string so that it reads back unchanged:
// in double quotes, a double quote inside doubled ("a;b" -> "\"a;b\"").
QString quoteConnectionValue(const QString& value);

// The key=value pairs of a connection string. Values may be quoted with
// '…' or "…" (the quote doubled inside) or, as ODBC writes them, {…} (} doubled
// inside). Returns false when the text is not a connection string (a plain path).
bool parseConnectionString(const QString& text, QList<std::pair<QString, QString>>& pairs);

} // namespace q7::data
