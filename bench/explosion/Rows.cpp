#include "bench/explosion/Rows.h"

#include <QDataStream>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace q7::bench {

namespace {

bool isNumber(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// Sorts rows so that equal multisets line up: texts as they are, numbers
// rounded well above the tolerance.
void sortRows(Rows& rows)
{
    std::vector<std::pair<QStringList, qsizetype>> keys;
    keys.reserve(static_cast<size_t>(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QStringList key;
        for (const QVariant& cell : rows[i])
            key.append(isNumber(cell) ? QString::number(cell.toDouble(), 'g', 12) : cell.toString());
        keys.emplace_back(std::move(key), i);
    }
    std::sort(keys.begin(), keys.end());
    Rows sorted;
    sorted.reserve(rows.size());
    for (const auto& key : keys)
        sorted.append(std::move(rows[key.second]));
    rows = std::move(sorted);
}

bool cellsEqual(const QVariant& a, const QVariant& b, double tolerance)
{
    if (isNumber(a) || isNumber(b)) {
        bool okA = false, okB = false;
        const double x = a.toDouble(&okA), y = b.toDouble(&okB);
        return okA && okB && std::abs(x - y) <= tolerance * std::max({std::abs(x), std::abs(y), 1e-300});
    }
    return a.toString() == b.toString();
}

QString describe(const QVector<QVariant>& row)
{
    QStringList cells;
    for (const QVariant& cell : row)
        cells.append(isNumber(cell) ? QString::number(cell.toDouble(), 'g', 17) : cell.toString());
    return cells.join(QStringLiteral(" | "));
}

} // namespace

qint64 estimatedSize(const Rows& rows)
{
    qint64 size = 0;
    for (const auto& row : rows)
        for (const QVariant& cell : row) {
            size += static_cast<qint64>(sizeof(QVariant));
            if (cell.metaType().id() == QMetaType::QString)
                size += static_cast<qint64>(cell.toString().size() * static_cast<qsizetype>(sizeof(QChar)));
        }
    return size;
}

void saveRows(const QString& path, const Rows& rows)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString());
    QDataStream out(&file);
    out << rows;
}

Rows loadRows(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    QDataStream in(&file);
    Rows rows;
    in >> rows;
    if (in.status() != QDataStream::Ok)
        throw std::runtime_error("cannot read the rows in " + path.toStdString());
    return rows;
}

std::optional<QString> firstDifference(Rows a, Rows b, double tolerance)
{
    sortRows(a);
    sortRows(b);
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        bool same = a[i].size() == b[i].size();
        for (qsizetype c = 0; same && c < a[i].size(); ++c)
            same = cellsEqual(a[i][c], b[i][c], tolerance);
        if (!same)
            return QStringLiteral("sorted row %1 differs:\n    %2\n    %3").arg(i + 1).arg(describe(a[i]), describe(b[i]));
    }
    if (a.size() != b.size())
        return QStringLiteral("%1 rows against %2; the first unmatched: %3")
            .arg(a.size())
            .arg(b.size())
            .arg(describe(a.size() > b.size() ? a[common] : b[common]));
    return std::nullopt;
}

} // namespace q7::bench
