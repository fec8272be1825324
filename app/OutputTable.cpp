#include "app/OutputTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

int displayWidth(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1; // wide East Asian characters
    return width;
}

QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    QString escaped = text;
    escaped.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

} // namespace

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

QString OutputTable::render(Format format) const
{
    QString text;
    if (format == Format::Json) {
        QJsonArray array;
        for (const QStringList& row : rows) {
            QJsonObject object;
            for (qsizetype i = 0; i < headers.size(); ++i)
                object.insert(headers[i], row.value(i));
            array.append(object);
        }
        text = QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
    } else if (format == Format::Csv) {
        QList<QStringList> all{headers};
        all += rows;
        for (const QStringList& row : all) {
            QStringList fields;
            for (const QString& field : row)
                fields.append(csvField(field));
            text += fields.join(u',') + u'\n';
        }
    } else {
        QList<int> widths;
        for (const QString& header : headers)
            widths.append(displayWidth(header));
        for (const QStringList& row : rows)
            for (qsizetype i = 0; i < row.size() && i < widths.size(); ++i)
                widths[i] = std::max(widths[i], displayWidth(row[i]));
        QList<QStringList> all{headers};
        all += rows;
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
