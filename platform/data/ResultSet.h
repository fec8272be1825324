#pragma once

#include <QStringList>
#include <QVariant>
#include <QVector>

namespace q7::data {

// Rows of a query, materialised: column names and values (SQL NULL as the
// platform's Null).
struct ResultSet {
    QStringList columns;
    QVector<QVector<QVariant>> rows;
    int columnIndex(const QString& name) const; // ignoring case; -1 when absent
};

// Takes a query's rows one by one as they are read, instead of a
// materialised result: the columns first (once, before any row), then each row.
class RowConsumer {
public:
    virtual ~RowConsumer() = default;
    virtual void columns(const QStringList& names) = 0;
    virtual void row(const QVector<QVariant>& values) = 0;
};

} // namespace q7::data
