#pragma once

#include <QString>

// User values inside SQL text. A value that stands between single quotes has
// its own single quotes doubled, whoever builds the statement.
namespace q7 {

// The value with each single quote doubled, ready to stand between quotes.
QString doubledQuotes(const QString& value);
// The value between single quotes, its own single quotes doubled.
QString quoted(const QString& value);

} // namespace q7
