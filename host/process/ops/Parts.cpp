#include "host/process/ops/Parts.h"

#include "host/db/procedures/Statement.h"
#include "host/process/ops/BomStructure.h"
#include "platform/data/DatabaseError.h"

#include "platform/AutomationError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::process::ops {

namespace {

constexpr const char* partColumns = "PartId, InvCode, Free1, Free2, Free3, Free4, Free5, Free6, Free7, Free8, Free9, Free10";

void run(QSqlQuery& query)
{
    if (!query.exec())
        q7::data::throwProviderError(query.lastError());
}

PartKey keyOf(const QSqlQuery& query)
{
    PartKey key;
    key.invCode = query.value(1).toString();
    for (int n = 0; n < 10; ++n)
        key.free[n] = query.value(2 + n).toString();
    return key;
}

} // namespace

QString PartKey::label() const
{
    QStringList used = free;
    while (!used.isEmpty() && used.last().isEmpty())
        used.removeLast();
    return used.isEmpty() ? invCode : QStringLiteral("%1(%2)").arg(invCode, used.join(u'/'));
}

PartKey PartKey::fromLabel(const QString& label)
{
    const QString text = label.trimmed();
    const qsizetype open = text.indexOf(u'(');
    if (open <= 0 || !text.endsWith(u')'))
        return PartKey{text};
    PartKey key{text.left(open).trimmed()};
    const QStringList given = text.mid(open + 1, text.size() - open - 2).split(u'/');
    for (qsizetype n = 0; n < given.size() && n < 10; ++n)
        key.free[n] = given[n].trimmed();
    return key;
}

std::optional<int> findPart(QSqlDatabase& db, const PartKey& key)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT PartId FROM bas_part WHERE InvCode = ? AND Free1 = ? AND Free2 = ? AND Free3 = ? AND Free4 = ? "
                                 "AND Free5 = ? AND Free6 = ? AND Free7 = ? AND Free8 = ? AND Free9 = ? AND Free10 = ?"));
    query.addBindValue(key.invCode.trimmed());
    for (const QString& value : key.free)
        query.addBindValue(value.trimmed().isNull() ? QString("") : value.trimmed());
    run(query);
    if (!query.next())
        return std::nullopt;
    return query.value(0).toInt();
}

bool itemExists(QSqlDatabase& db, const QString& invCode)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM Inventory WHERE cInvCode = ?"));
    query.addBindValue(invCode.trimmed());
    run(query);
    return query.next();
}

QString PartLabels::operator()(int partId)
{
    const auto found = labels_.constFind(partId);
    if (found != labels_.constEnd())
        return *found;
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT %1 FROM bas_part WHERE PartId = ?").arg(QLatin1String(partColumns)));
    query.addBindValue(partId);
    run(query);
    const QString label = query.next() ? keyOf(query).label() : QStringLiteral("#%1").arg(partId);
    labels_.insert(partId, label);
    return label;
}

void PartLabels::loadAll(const db::procedures::Database& procedures)
{
    db::procedures::Statement parts(procedures, (QByteArrayLiteral("SELECT ") + partColumns + " FROM bas_part").constData());
    while (parts.next()) {
        PartKey key;
        key.invCode = parts.text(1);
        for (int n = 0; n < 10; ++n)
            key.free[n] = parts.text(2 + n);
        labels_.insert(parts.integer(0), key.label());
    }
}

QString pathText(const std::vector<int>& path, const BomStructure& structure, PartLabels& labels)
{
    QStringList parts;
    for (int node : path)
        parts.append(labels(structure.partId(node)));
    return parts.join(QStringLiteral(" → "));
}

} // namespace q7::host::process::ops
