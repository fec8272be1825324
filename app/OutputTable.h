#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

// Rows printed as an aligned table (Chinese text takes two columns), CSV or JSON.
struct OutputTable {
    QStringList headers;
    QList<QStringList> rows;

    enum class Format { Table, Csv, Json };
    static bool parseFormat(const QString& text, Format& format);
    QString render(Format format) const;
    void print(Format format, std::FILE* out) const;
};
