#include "app/OutputTable.h"

#include "app/CsvField.h"
#include "app/ExactNumber.h"

#include "platform/values/Values.h"

#include "platform/ObjectRef.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace q7::app {

namespace {

int displayWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1; // wide East Asian characters
    return width;
}

void appendCsvField(QString& line, const QString& text)
{
    writeCsvField(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())),
                  [&](char16_t c) { line += QChar(c); },
                  [&](const char16_t* from, std::size_t size) { line += QStringView(from, static_cast<qsizetype>(size)); });
}

bool isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isEmptyCell(const QVariant& value) { return !value.isValid() || q7::isNull(value) || value.isNull(); }

QString numberText(const QVariant& value, bool exact)
{
    if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float)
        return exact ? OutputTable::exactNumber(value.toDouble()) : OutputTable::displayNumber(value.toDouble());
    return value.toString();
}

QString cellText(const QVariant& value, bool exact)
{
    if (value.metaType().id() == QMetaType::QString) // most cells: the text as it is, without a conversion
        return *static_cast<const QString*>(value.constData());
    if (isEmptyCell(value))
        return QString();
    return isNumber(value) ? numberText(value, exact) : value.toString();
}

QString jsonValue(const QVariant& value)
{
    if (isEmptyCell(value))
        return QStringLiteral("null");
    if (isNumber(value)) {
        const double d = value.toDouble();
        return std::isfinite(d) ? numberText(value, true) : QStringLiteral("null");
    }
    // A one-element array escapes the text as JSON does; its brackets are dropped.
    const QByteArray array = QJsonDocument(QJsonArray{value.toString()}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

QString OutputTable::exactNumber(double value)
{
    char buffer[400];
    return QString::fromLatin1(buffer, exactNumberText(value, buffer) - buffer);
}

QString OutputTable::displayNumber(double value)
{
    const double magnitude = std::fabs(value);
    if (!std::isfinite(value) || magnitude >= 1e15)
        return exactNumber(value);
    if (magnitude == 0)
        return QStringLiteral("0");
    const int integerDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const QString text = q7::values::fixedText(value, 10 - integerDigits);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

bool OutputTable::parseFormat(const QString& text, Format& format)
{
    if (text == QLatin1String("table"))
        format = Format::Table;
    else if (text == QLatin1String("csv"))
        format = Format::Csv;
    else if (text == QLatin1String("json"))
        format = Format::Json;
    else
        return false;
    return true;
}

void OutputTable::print(Format format, std::FILE* out) const { std::fputs(render(format).toUtf8().constData(), out); }

namespace {

QString csvLine(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        appendCsvField(line, fields[i]);
    }
    line += u'\n';
    return line;
}

QString csvRow(const QVariantList& values)
{
    QString line;
    line.reserve(160);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += u',';
        const QVariant& value = values[i];
        if (value.metaType().id() == QMetaType::QString) // most cells: appended as they are, not copied first
            appendCsvField(line, *static_cast<const QString*>(value.constData()));
        else
            appendCsvField(line, cellText(value, true));
    }
    line += u'\n';
    return line;
}

QString jsonColumns(const QStringList& headers)
{
    QStringList columns;
    for (const QString& header : headers)
        columns.append(jsonValue(header));
    return QStringLiteral("{\n  \"columns\": [") + columns.join(QStringLiteral(", ")) + QStringLiteral("],\n  \"rows\": [");
}

QString jsonRow(const QVariantList& values, qsizetype columns)
{
    QStringList cells;
    for (qsizetype i = 0; i < columns; ++i)
        cells.append(jsonValue(values.value(i)));
    return QStringLiteral("    [") + cells.join(QStringLiteral(", ")) + u']';
}

} // namespace

void OutputStream::begin(const QStringList& headers)
{
    flush(); // rows of an earlier statement come before these
    columns_ = headers.size();
    begun_ = true;
    const QString text = format_ == OutputTable::Format::Json ? jsonColumns(headers) : csvLine(headers);
    std::fputs(text.toUtf8().constData(), out_);
}

void OutputStream::row(const QVariantList& values)
{
    const QString text = format_ == OutputTable::Format::Json ? (rows_ == 0 ? QStringLiteral("\n") : QStringLiteral(",\n")) + jsonRow(values, columns_) : csvRow(values);
    flush();
    std::fputs(text.toUtf8().constData(), out_);
    ++rows_;
}

void OutputStream::row(sqlite3_stmt* statement, int columnCount)
{
    // One call into the statement per cell: its value, read as it is. The
    // value is "unprotected" only in the sense of the connection's mutex,
    // which the file's connection does not have (it is opened NOMUTEX) and one
    // thread reads; the column_* calls would enter and leave the connection
    // two or three times a cell instead.
    for (int i = 0; i < columnCount; ++i) {
        if (i > 0)
            raw_.separator();
        raw_.cell(sqlite3_column_value(statement, i));
    }
    raw_.endRow();
    ++rows_;
}

void OutputStream::flush() { raw_.flush(); }

void OutputStream::end()
{
    flush();
    if (format_ == OutputTable::Format::Json)
        std::fputs(rows_ == 0 ? "]\n}\n" : "\n  ]\n}\n", out_);
    std::fflush(out_);
}

QString OutputTable::render(Format format) const
{
    QString text;
    if (format == Format::Json) {
        QStringList lines;
        for (const QVariantList& row : rows)
            lines.append(jsonRow(row, headers.size()));
        text = jsonColumns(headers) + (lines.isEmpty() ? QString() : u'\n' + lines.join(QStringLiteral(",\n")) + QStringLiteral("\n  ")) +
               QStringLiteral("]\n}\n");
    } else if (format == Format::Csv) {
        text = csvLine(headers);
        for (const QVariantList& row : rows)
            text += csvRow(row);
    } else {        QList<QStringList> all{headers};
        for (const QVariantList& row : rows) {
            QStringList cells;
            for (const QVariant& value : row)
                cells.append(cellText(value, false));
            all.append(cells);
        }
        QList<int> widths(headers.size(), 0);
        for (const QStringList& row : all)
            for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
                widths[i] = std::max(widths[i], displayWidth(row[i]));
        for (const QStringList& row : all) {
            QString line;
            for (qsizetype i = 0; i < widths.size(); ++i) {
                const QString cell = row.value(i);
                line += cell;
                if (i + 1 < widths.size())
                    line += QString(widths[i] - displayWidth(cell) + 2, u' ');
            }
            text += line + u'\n';
        }
    }
    return text;
}

} // namespace q7::app
