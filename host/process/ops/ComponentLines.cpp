#include "host/process/ops/ComponentLines.h"

#include "host/db/InForce.h"
#include "platform/data/DatabaseError.h"

#include "platform/AutomationError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace q7::host::process::ops {

namespace {
void run(QSqlQuery& query)
{
    if (!query.exec())
        q7::data::throwProviderError(query.lastError());
}

QString number(const QVariant& v)
{
    return QString::number(v.toDouble(), 'g', 10);
}
} // namespace

QString ComponentLine::bomText() const
{
    if (bomType == 2)
        return QStringLiteral("替代BOM %1").arg(identCode).trimmed();
    return QStringLiteral("主BOM %1").arg(version).trimmed();
}

QVector<ComponentLine> componentLines(QSqlDatabase& db, int componentId, const LineScope& scope)
{
    QString sql = QStringLiteral(
        "SELECT c.OpComponentId, c.BomId, b.BomType, b.Version, b.IdentCode, "
        "p.InvCode, p.Free1, p.Free2, p.Free3, p.Free4, p.Free5, p.Free6, p.Free7, p.Free8, p.Free9, p.Free10, "
        "c.SortSeq, c.BaseQtyN, c.BaseQtyD, c.EffBegDate, c.EffEndDate, b.VersionEffDate, b.VersionEndDate "
        "FROM bom_opcomponent c JOIN bom_bom b ON b.BomId = c.BomId "
        "JOIN bom_parent t ON t.BomId = c.BomId AND t.SharingPartId IS NULL "
        "JOIN bas_part p ON p.PartId = t.ParentId "
        "WHERE c.ComponentId = :component");
    if (!scope.fromParent.trimmed().isEmpty())
        sql += QStringLiteral(" AND p.InvCode >= :from");
    if (!scope.toParent.trimmed().isEmpty())
        sql += QStringLiteral(" AND p.InvCode <= :to");
    if (scope.bomType != 0)
        sql += QStringLiteral(" AND b.BomType = :type");
    if (scope.inForceOn)
        sql += QStringLiteral(" AND ") + db::bomInForceText("b", ":date") + QStringLiteral(" AND ") + db::lineInForceText("c", ":date");
    sql += QStringLiteral(" ORDER BY p.InvCode, p.Free1, c.BomId, c.SortSeq, c.OpComponentId");

    QSqlQuery query(db);
    query.prepare(sql);
    query.bindValue(QStringLiteral(":component"), componentId);
    if (!scope.fromParent.trimmed().isEmpty())
        query.bindValue(QStringLiteral(":from"), scope.fromParent.trimmed());
    if (!scope.toParent.trimmed().isEmpty())
        query.bindValue(QStringLiteral(":to"), scope.toParent.trimmed());
    if (scope.bomType != 0)
        query.bindValue(QStringLiteral(":type"), scope.bomType);
    if (scope.inForceOn)
        query.bindValue(QStringLiteral(":date"), *scope.inForceOn);
    run(query);

    QVector<ComponentLine> lines;
    while (query.next()) {
        ComponentLine line;
        line.lineId = query.value(0).toInt();
        line.bomId = query.value(1).toInt();
        line.bomType = query.value(2).toInt();
        line.version = query.value(3).isNull() ? QString() : query.value(3).toString();
        line.identCode = query.value(4).toString();
        QStringList free;
        for (int n = 0; n < 10; ++n)
            free.append(query.value(6 + n).toString());
        while (!free.isEmpty() && free.last().isEmpty())
            free.removeLast();
        line.parentCode = free.isEmpty() ? query.value(5).toString() : QStringLiteral("%1(%2)").arg(query.value(5).toString(), free.join(u'/'));
        line.sortSeq = query.value(16).toInt();
        line.quantity = number(query.value(18)) == QLatin1String("1") ? number(query.value(17))
                                                                        : number(query.value(17)) + u'/' + number(query.value(18));
        line.effBegDate = query.value(19).toString();
        line.effEndDate = query.value(20).toString();
        line.versionEffDate = query.value(21).toString();
        line.versionEndDate = query.value(22).toString();
        lines.append(line);
    }
    return lines;
}

QVector<int> parentsOfBom(QSqlDatabase& db, int bomId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT ParentId FROM bom_parent WHERE BomId = ? ORDER BY SharingPartId IS NOT NULL, ParentId"));
    query.addBindValue(bomId);
    run(query);
    QVector<int> parents;
    while (query.next())
        parents.append(query.value(0).toInt());
    return parents;
}

} // namespace q7::host::process::ops
