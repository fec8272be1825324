#include "host/process/ops/BomHistory.h"

#include "host/db/InForce.h"
#include "host/process/ops/ComponentLines.h"
#include "host/process/ops/Journal.h"
#include "platform/data/Ado.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <algorithm>

namespace q7::host::process::ops {

namespace {

bool isBound(const QString& date)
{
    return date.isEmpty() || date == QLatin1String(db::OpenBegin) || date == QLatin1String(db::OpenEnd);
}

QString number(const QVariant& v) { return QString::number(v.toDouble(), 'g', 10); }

// What engineering changes did to a line: the one that began it (inserted it, or
// changed its component in place) and the one that ended it.
struct LineChanges {
    QString began, ended;
};

QString endOf(const QVariant& snapshot)
{
    const QJsonObject row = QJsonDocument::fromJson(snapshot.toString().toUtf8()).object();
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key().compare(QLatin1String("EffEndDate"), Qt::CaseInsensitive) == 0)
            return it.value().toString();
    return {};
}

// The lines of the item's BOMs that runs from a date wrote, of the runs not undone, in run order.
QHash<int, LineChanges> changesOfLines(QSqlDatabase& db, const QString& invCode)
{
    QSqlQuery query = data::runBound(
        db, QStringLiteral("SELECT c.RowKey, a.DocCode, c.Before, c.After FROM q7_maint_change c JOIN q7_maint_run r ON r.RunId = c.RunId "
                           "JOIN q7_maint_change e ON e.RunId = c.RunId AND e.TableName = 'ecn_ecnapply' JOIN ecn_ecnapply a ON a.ApplyId = e.RowKey "
                           "WHERE c.TableName = 'bom_opcomponent' AND (r.UndoneAt IS NULL OR r.UndoneAt = '') AND c.RowKey IN "
                           "(SELECT l.OpComponentId FROM bom_opcomponent l JOIN bom_parent t ON t.BomId = l.BomId AND t.SharingPartId IS NULL "
                           "JOIN bas_part p ON p.PartId = t.ParentId WHERE p.InvCode = ?) ORDER BY c.RunId, c.Seq"),
        {invCode});
    QHash<int, LineChanges> changes;
    while (query.next()) {
        LineChanges& line = changes[query.value(0).toInt()];
        const bool inserted = query.value(2).isNull() || query.value(2).toString().isEmpty();
        if (!inserted && endOf(query.value(2)) != endOf(query.value(3)))
            line.ended = query.value(1).toString();
        else
            line.began = query.value(1).toString();
    }
    return changes;
}

// The engineering change the BOM's version came with: what its ApplyDId named
// before the first run from a date pointed it to that run's change.
QString versionChange(QSqlDatabase& db, int bomId, const QString& current)
{
    QSqlQuery first = data::runBound(db, QStringLiteral("SELECT c.Before FROM q7_maint_change c JOIN q7_maint_run r ON r.RunId = c.RunId "
                                                       "WHERE c.TableName = 'bom_bom' AND c.RowKey = ? AND (r.UndoneAt IS NULL OR r.UndoneAt = '') "
                                                       "ORDER BY c.RunId, c.Seq"),
                                    {bomId});
    if (!first.next())
        return current;
    const QJsonObject row = QJsonDocument::fromJson(first.value(0).toString().toUtf8()).object();
    QVariant detail;
    for (auto it = row.begin(); it != row.end(); ++it)
        if (it.key().compare(QLatin1String("ApplyDId"), Qt::CaseInsensitive) == 0 && !it.value().isNull())
            detail = it.value().toVariant();
    if (!detail.isValid())
        return {};
    QSqlQuery code = data::runBound(db, QStringLiteral("SELECT a.DocCode FROM ecn_ecnapplydetail d JOIN ecn_ecnapply a ON a.ApplyId = d.ApplyId "
                                                      "WHERE d.ApplyDId = ?"),
                                   {detail});
    return code.next() ? code.value(0).toString() : QString();
}

QString parentText(const QSqlQuery& query, int first)
{
    QStringList free;
    for (int n = 1; n <= 10; ++n)
        free.append(query.value(first + n).toString());
    while (!free.isEmpty() && free.last().isEmpty())
        free.removeLast();
    return free.isEmpty() ? query.value(first).toString() : QStringLiteral("%1(%2)").arg(query.value(first).toString(), free.join(u'/'));
}

} // namespace

QList<BomEvent> bomHistory(data::Connection& connection, const QString& invCode)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    const QHash<int, LineChanges> lineChanges = changesOfLines(db, invCode);
    const QString parentColumns = QStringLiteral("p.InvCode, p.Free1, p.Free2, p.Free3, p.Free4, p.Free5, p.Free6, p.Free7, p.Free8, p.Free9, p.Free10");
    const QString ofItem = QStringLiteral(" FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL "
                                          "JOIN bas_part p ON p.PartId = t.ParentId LEFT JOIN ecn_ecnapplydetail d ON d.ApplyDId = b.ApplyDId "
                                          "LEFT JOIN ecn_ecnapply a ON a.ApplyId = d.ApplyId");
    QList<BomEvent> events;
    const auto bomText = [](const QSqlQuery& q, int type, int version, int ident) {
        ComponentLine line;
        line.bomType = q.value(type).toInt();
        line.version = q.value(version).isNull() ? QString() : q.value(version).toString();
        line.identCode = q.value(ident).toString();
        return line.bomText();
    };

    QSqlQuery versions = data::runBound(db, QStringLiteral("SELECT b.BomType, b.Version, b.IdentCode, b.VersionEffDate, b.VersionEndDate, a.DocCode, b.BomId, ") +
                                               parentColumns + ofItem + QStringLiteral(" WHERE p.InvCode = ? AND b.BomType = 1"),
                                       {invCode});
    while (versions.next()) {
        const QString parent = parentText(versions, 7), bom = bomText(versions, 0, 1, 2);
        if (!isBound(versions.value(3).toString()))
            events.append({versions.value(3).toString(), parent, bom, QStringLiteral("版本生效"), 0, {}, {}, {},
                           versionChange(db, versions.value(6).toInt(), versions.value(5).toString())});
        if (!isBound(versions.value(4).toString()))
            events.append({versions.value(4).toString(), parent, bom, QStringLiteral("版本失效"), 0, {}, {}, {}, {}});
    }

    QSqlQuery lines = data::runBound(
        db, QStringLiteral("SELECT b.BomType, b.Version, b.IdentCode, c.OpComponentId, c.SortSeq, i.cInvCode, i.cInvName, c.BaseQtyN, c.BaseQtyD, "
                           "c.EffBegDate, c.EffEndDate, ") +
                parentColumns + ofItem +
                QStringLiteral(" JOIN bom_opcomponent c ON c.BomId = b.BomId JOIN bas_part cp ON cp.PartId = c.ComponentId "
                               "LEFT JOIN Inventory i ON i.cInvCode = cp.InvCode WHERE p.InvCode = ?"),
        {invCode});
    while (lines.next()) {
        const QString parent = parentText(lines, 11), bom = bomText(lines, 0, 1, 2);
        const QString quantity = number(lines.value(8)) == QLatin1String("1") ? number(lines.value(7)) : number(lines.value(7)) + u'/' + number(lines.value(8));
        const LineChanges changes = lineChanges.value(lines.value(3).toInt());
        for (const auto& [column, event, change] : {std::tuple{9, QStringLiteral("行开始"), changes.began}, std::tuple{10, QStringLiteral("行结束"), changes.ended}})
            if (const QString date = lines.value(column).toString(); !isBound(date))
                events.append({date, parent, bom, event, lines.value(4).toInt(), lines.value(5).toString(), lines.value(6).toString(), quantity,
                               change});
    }
    std::stable_sort(events.begin(), events.end(), [](const BomEvent& a, const BomEvent& b) {
        return std::tie(a.date, a.parent, a.bom, a.sortSeq, a.event) < std::tie(b.date, b.parent, b.bom, b.sortSeq, b.event);
    });
    return events;
}

} // namespace q7::host::process::ops
