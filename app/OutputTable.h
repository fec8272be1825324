#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include "app/CsvCells.h"
#include "platform/data/ResultSet.h"

#include <cstdio>

namespace q7::app {

// Rows printed as an aligned table (Chinese text takes two columns), CSV or
// JSON. CSV and JSON carry every number exactly (the shortest text that reads
// back to the same double); the table rounds to ten significant digits for the
// eye, without exponents below 1e15. JSON is one object: "columns" (the names
// in order) and "rows" (arrays of values: numbers, texts, null).
struct OutputTable {
    QStringList headers;
    QList<QVariantList> rows;

    enum class Format { Table, Csv, Json };
    static bool parseFormat(const QString& text, Format& format);
    QString render(Format format) const;
    void print(Format format, std::FILE* out) const;

    // The shortest text of a double that reads back to the same value; fixed
    // notation from 1e-6 up to 1e21.
    static QString exactNumber(double value);
    // Ten significant digits in fixed notation below 1e15, trailing zeros dropped.
    static QString displayNumber(double value);
};

// Writes CSV or JSON row by row as the rows arrive, the same text as
// OutputTable renders; nothing is kept but the count.
class OutputStream : public q7::data::RawRowSink {
public:
    OutputStream(OutputTable::Format format, std::FILE* out) : format_(format), out_(out), raw_(out) {}
    ~OutputStream() override { flush(); } // what an unfinished output holds still goes out
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;
    void begin(const QStringList& headers);
    void row(const QVariantList& values);
    void end();
    long long rows() const { return rows_; }
    bool begun() const { return begun_; }
    // CSV takes the rows of a statement of the file in place: the same text,
    // written from the cells as the database holds them (no value, no UTF-16
    // copy per cell); nullptr for JSON.
    q7::data::RawRowSink* raw() { return format_ == OutputTable::Format::Csv ? this : nullptr; }

private:
    void columns(const QStringList& names) override { begin(names); }
    void row(sqlite3_stmt* statement, int columnCount) override;
    void flush();

    OutputTable::Format format_;
    std::FILE* out_;
    qsizetype columns_ = 0;
    long long rows_ = 0;
    bool begun_ = false;
    CsvCells raw_; // raw rows, written out in large pieces
};

} // namespace q7::app
