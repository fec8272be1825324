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

} // namespace q7::data
