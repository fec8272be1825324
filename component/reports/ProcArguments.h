#pragma once

#include <QString>

namespace q7::component {

// Text encodings of stored-procedure arguments, one piece per filter item.
// V1 and V2 are the item's bounds as typed (not trimmed); texts are quoted
// with their single quotes doubled.
namespace ProcArguments {

QString codeRange(const QString& v1, const QString& v2);    // '' and twenty z when empty
QString versionRange(const QString& v1, const QString& v2); // " 0," and "99999999 ," when empty
QString dateRange(const QString& v1, const QString& v2);    // 2000-01-01 .. 2099-12-31 when empty
QString freeRange(const QString& v1, const QString& v2);    // '' when empty
QString planRate(const QString& v1);                        // " 1, " for 是, else " 0, "
// A value that stands unquoted: returned unchanged when it is a plain
// number; anything else is refused with run-time error 5, so that it never
// reaches the statement even if the viewer skipped the filter check.
QString unquotedNumber(const QString& value);
// n when the key is "cFree" followed by n (1 to 10), ignoring case; else 0.
int freeItemNumber(const QString& key);

} // namespace ProcArguments

} // namespace q7::component
