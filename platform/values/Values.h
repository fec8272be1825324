#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>

// The platform's value semantics: text comparison and search that ignore
// case, trimming of blanks, and its conversions with their rounding (half to
// even), overflow (6), type-mismatch (13) and invalid-use-of-Null (94) errors.
namespace q7::values {

bool textEquals(const QString& a, const QString& b);          // ignoring case
int findText(const QString& text, const QString& sought, int start = 1); // 1-based, 0 = not found, ignoring case
QString replaceText(QString text, const QString& sought, const QString& replacement); // every occurrence, ignoring case
QString trim(const QString& text);  // leading and trailing blanks (spaces only)
QString left(const QString& text, int n);
QString right(const QString& text, int n);
QString mid(const QString& text, int start, int length = -1); // 1-based

bool isNumeric(const QVariant& v);
// A plain decimal: digits with an optional point and minus sign, blanks
// around it allowed, nothing else (no "1,000", "True", "&H10", "1e3").
bool isPlainDecimal(const QString& text);
// A number written as a plain decimal with at most `decimals` places, trailing zeros dropped ("0.00001", "12").
QString fixedText(double value, int decimals);
double toDouble(const QVariant& v);
int16_t toInteger(const QVariant& v); // 16-bit, rounds half to even
int32_t toLong(const QVariant& v);    // 32-bit, rounds half to even
bool toBoolean(const QVariant& v);
QString toText(const QVariant& v);    // Null is error 94, Empty is ""
// As the platform concatenates: Null and Empty give "".
QString toTextOrEmpty(const QVariant& v);

QString dateText(const QDate& date); // "yyyy-mm-dd"

} // namespace q7::values
