#include "platform/values/Values.h"

#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace q7::values {

bool textEquals(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

int findText(const QString& text, const QString& sought, int start)
{
    if (start < 1)
        throw AutomationError(ErrBadCallOrArgument);
    if (start > text.size() + 1)
        return 0;
    if (sought.isEmpty())
        return start;
    return static_cast<int>(text.indexOf(sought, start - 1, Qt::CaseInsensitive)) + 1;
}

QString replaceText(QString text, const QString& sought, const QString& replacement)
{
    if (sought.isEmpty())
        return text;
    return text.replace(sought, replacement, Qt::CaseInsensitive);
}

QString trim(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

QString left(const QString& text, int n) { return text.left(std::max(n, 0)); }
QString right(const QString& text, int n) { return text.right(std::max(n, 0)); }
QString mid(const QString& text, int start, int length)
{
    if (start < 1)
        throw AutomationError(ErrBadCallOrArgument);
    return text.mid(start - 1, length);
}

namespace {

// Parses text as the platform reads numbers: blanks around, thousands
// separators, a sign, decimals, exponents, and "&H" / "&O" prefixes.
// A number written with digits, a leading minus and one point between digits,
// read without the copies the general reading makes; nullopt when written otherwise.
std::optional<double> plainNumber(const QString& text)
{
    constexpr qsizetype longest = 32;
    if (text.isEmpty() || text.size() > longest)
        return std::nullopt;
    std::array<char, longest> ascii{};
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool digit = c >= u'0' && c <= u'9';
        const bool minusFirst = c == u'-' && i == 0;
        const bool pointBetweenDigits = c == u'.' && !point && i > 0 && ascii[static_cast<size_t>(i - 1)] != '-' && i + 1 < text.size();
        if (!digit && !minusFirst && !pointBetweenDigits)
            return std::nullopt;
        point = point || c == u'.';
        ascii[static_cast<size_t>(i)] = static_cast<char>(c);
    }
    if (text.size() == 1 && ascii[0] == '-')
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + text.size(), value);
    if (error != std::errc() || end != ascii.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(const QString& raw)
{
    if (const auto plain = plainNumber(raw))
        return plain;
    QString text = raw.trimmed();
    // a decimal number has a digit (a word such as "false" is not read further)
    if (!text.startsWith(u'&') && std::none_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    if (text.isEmpty())
        return std::nullopt;
    if (text.startsWith(u'&') && text.size() > 2) {
        const QChar kind = text.at(1).toUpper();
        const int base = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
        if (base == 0)
            return std::nullopt;
        bool ok = false;
        const qlonglong value = text.mid(2).toLongLong(&ok, base);
        if (!ok)
            return std::nullopt;
        // 4 hex digits or fewer are a 16-bit pattern, as the platform reads them
        if (base == 16 && text.size() - 2 <= 4 && value > 0x7FFF)
            return static_cast<double>(value - 0x10000);
        return static_cast<double>(value);
    }
    text.remove(u',');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value) { return std::nearbyint(value); } // default rounding mode: to nearest even

template <typename Int>
Int toIntegral(const QVariant& v)
{
    const double rounded = roundHalfEven(toDouble(v));
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        throw AutomationError(ErrOverflow);
    return static_cast<Int>(rounded);
}

} // namespace

bool isNumeric(const QVariant& v)
{
    if (isEmpty(v))
        return true;
    if (isNull(v) || isObject(v) || isMissing(v))
        return false;
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    case QMetaType::QString:
        return parseNumber(v.toString()).has_value();
    default:
        return false;
    }
}

bool isPlainDecimal(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^ *-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+) *$"));
    return decimal.match(text).hasMatch();
}

QString fixedText(double value, int decimals)
{
    QString text = QString::number(value, 'f', std::max(0, decimals));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

double toDouble(const QVariant& v)
{
    if (isEmpty(v))
        return 0.0;
    if (isNull(v))
        throw AutomationError(ErrInvalidUseOfNull);
    if (isObject(v) || isMissing(v))
        throw AutomationError(ErrTypeMismatch);
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
        const QString text = v.toString();
        if (const auto number = parseNumber(text))
            return *number;
        if (textEquals(text.trimmed(), QStringLiteral("True")))
            return -1.0;
        if (textEquals(text.trimmed(), QStringLiteral("False")))
            return 0.0;
        throw AutomationError(ErrTypeMismatch);
    }
    default: {
        bool ok = false;
        const double value = v.toDouble(&ok);
        if (!ok)
            throw AutomationError(ErrTypeMismatch);
        return value;
    }
    }
}

int16_t toInteger(const QVariant& v) { return toIntegral<int16_t>(v); }
int32_t toLong(const QVariant& v) { return toIntegral<int32_t>(v); }

bool toBoolean(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool();
    if (v.metaType().id() == QMetaType::QString) {
        const QString text = v.toString().trimmed();
        if (textEquals(text, QStringLiteral("True")))
            return true;
        if (textEquals(text, QStringLiteral("False")))
            return false;
    }
    return toDouble(v) != 0.0;
}

namespace {

QString numberText(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qlonglong>(value));
    // 15 significant digits, as the platform prints doubles (0.1 + 0.2 is "0.3")
    QString text = QString::number(value, 'g', 15);
    if (text.contains(u'e')) {
        const qsizetype e = text.indexOf(u'e');
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(u'-');
        exponent.remove(0, exponent.startsWith(u'+') || negative ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith(u'0'))
            exponent.remove(0, 1);
        text = mantissa + QStringLiteral("E") + (negative ? QStringLiteral("-") : QStringLiteral("+")) + exponent;
    }
    return text;
}

} // namespace

QString toText(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QString) // what most values hold: the text itself, as toString gives it
        return *static_cast<const QString*>(v.constData());
    if (isEmpty(v))
        return QString("");
    if (isNull(v))
        throw AutomationError(ErrInvalidUseOfNull);
    if (isObject(v) || isMissing(v))
        throw AutomationError(ErrTypeMismatch);
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return numberText(v.toDouble());
    case QMetaType::QDate:
        return dateText(v.toDate());
    default:
        if (!v.canConvert<QString>())
            throw AutomationError(ErrTypeMismatch);
        return v.toString();
    }
}

QString toTextOrEmpty(const QVariant& v)
{
    if (isEmpty(v) || isNull(v))
        return QString("");
    return toText(v);
}

QString dateText(const QDate& date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

} // namespace q7::values
