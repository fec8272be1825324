#pragma once

#include <QStringList>
#include <QVariant>
#include <QVector>

struct sqlite3_stmt;

namespace q7::data {

// Rows of a query, materialised: column names and values (SQL NULL as the
// platform's Null).
struct ResultSet {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    int columnIndex(const QString& name) const; // ignoring case; -1 when absent
};

// Takes the rows of a statement of the embedded database as it gives them:
// the columns once, then the statement at each row, its cells read in place
// (sqlite3_column_*), with no value made per cell.
class RawRowSink {
public:
    virtual ~RawRowSink() = default;
    virtual void columns(const QStringList& names) = 0;
    virtual void row(sqlite3_stmt* statement, int columnCount) = 0;
};

// Takes a query's rows one by one as they are read, instead of a
// materialised result: the columns first (once, before any row), then each row.
class RowConsumer {
public:
    virtual ~RowConsumer() = default;
    virtual void columns(const QStringList& names) = 0;
    virtual void row(const QVector<QVariant>& values) = 0;
    // A consumer that can read the embedded database's rows in place answers
    // its raw sink; a plain statement on the file then goes there instead.
    virtual RawRowSink* rawSink() { return nullptr; }
};

} // namespace q7::data
