#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

#include <optional>

// The rows a measured run gives, as the parent process compares them.
namespace q7::bench {

using Rows = QVector<QVector<QVariant>>;

// What the rows hold in memory: per cell a variant and its text's characters.
qint64 estimatedSize(const Rows& rows);

void saveRows(const QString& path, const Rows& rows);
Rows loadRows(const QString& path);

// Compares two results as multisets of rows: texts exactly (an SQL NULL reads
// as an empty text), numbers within a relative tolerance. Answers nothing when
// they are equal, else what differs first.
std::optional<QString> firstDifference(Rows a, Rows b, double tolerance = 1e-9);

} // namespace q7::bench
