#include "host/process/ops/StructureCheck.h"

#include "host/db/LineQuantity.h"
#include "platform/data/DatabaseError.h"

#include "host/db/procedures/Statement.h"
#include "host/process/ops/BomStructure.h"
#include "host/process/ops/Parts.h"
#include "platform/data/Ado.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace q7::host::process::ops {

namespace {

void lineProblems(QSqlDatabase& db, const QString& sql, const QString& kind, const std::function<QString(const QSqlQuery&)>& detail,
                  PartLabels& labels, OperationResult& result)
{
    // not forward-only: the server would stream the rows and the part labels read in between would end the stream
    QSqlQuery query(db);
    if (!query.exec(sql))
        q7::data::throwProviderError(query.lastError());
    while (query.next())
        result.rows.append({kind, labels(query.value(0).toInt()), query.value(1).toString(), detail(query)});
}

} // namespace

OperationResult checkStructure(data::Connection& connection, int maxLevels, const QString& date)
{
    QSqlDatabase& db = connection.database();
    const BomStructure structure = BomStructure::inForce(db::procedures::Database::of(connection), date);
    const StructureGroups groups = strongGroups(structure);
    PartLabels labels(db);
    OperationResult result;
    result.headers = {QStringLiteral("问题"), QStringLiteral("母件"), QStringLiteral("子件"), QStringLiteral("说明")};

    const int groupCount = static_cast<int>(groups.members.size());
    for (int g = 0; g < groupCount; ++g)
        if (groups.cyclic[g]) {
            const std::vector<int> cycle = cycleThrough(structure, groups, g);
            result.rows.append({QStringLiteral("循环"), labels(structure.partId(cycle.front())), QString(), pathText(cycle, structure, labels)});
        }

    // Depth below each group (groups come components first), and the
    // component through which the deepest path goes.
    std::vector<int> depth(groupCount, 0), deepest(groupCount, -1);
    std::vector<bool> hasParent(groupCount, false);
    for (int g = 0; g < groupCount; ++g)
        for (int v : groups.members[g])
            for (const int* c = structure.begin(v); c != structure.end(v); ++c) {
                const int h = groups.groupOf[*c];
                if (h == g)
                    continue;
                hasParent[h] = true;
                if (depth[h] + 1 > depth[g]) {
                    depth[g] = depth[h] + 1;
                    deepest[g] = *c;
                }
            }
    std::vector<int> tooDeep; // top parts, in the order of the parts
    for (int g = 0; g < groupCount; ++g)
        if (!hasParent[g] && !groups.cyclic[g] && depth[g] > maxLevels)
            tooDeep.push_back(groups.members[g].front());
    std::sort(tooDeep.begin(), tooDeep.end());
    for (int top : tooDeep) {
        std::vector<int> path{top};
        for (int h = groups.groupOf[top]; deepest[h] >= 0; h = groups.groupOf[deepest[h]])
            path.push_back(deepest[h]);
        result.rows.append({QStringLiteral("层数超限"), labels(structure.partId(top)), QString(),
                            QStringLiteral("%1 层：%2").arg(depth[groups.groupOf[top]]).arg(pathText(path, structure, labels))});
    }

    lineProblems(db,
                 QStringLiteral("SELECT t.ParentId, coalesce(p.InvCode, '#' || c.ComponentId), c.OpComponentId, c.SortSeq "
                                "FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId AND t.SharingPartId IS NULL "
                                "LEFT JOIN bas_part p ON p.PartId = c.ComponentId LEFT JOIN Inventory i ON i.cInvCode = p.InvCode "
                                "WHERE p.PartId IS NULL OR i.cInvCode IS NULL ORDER BY c.OpComponentId"),
                 QStringLiteral("子件缺失"), [](const QSqlQuery& q) { return QStringLiteral("行号 %1").arg(q.value(3).toInt()); }, labels, result);
    lineProblems(db,
                 QStringLiteral("SELECT t.ParentId, coalesce(p.InvCode, '#' || c.ComponentId), c.OpComponentId, c.SortSeq, c.BaseQtyN, c.BaseQtyD "
                                "FROM bom_opcomponent c JOIN bom_parent t ON t.BomId = c.BomId AND t.SharingPartId IS NULL "
                                "LEFT JOIN bas_part p ON p.PartId = c.ComponentId "
                                "WHERE ") + QString::fromUtf8(db::quantityBroken("c")) + QStringLiteral(" ORDER BY c.OpComponentId"),
                 QStringLiteral("用量错误"),
                 [](const QSqlQuery& q) {
                     return QStringLiteral("行号 %1 基本用量 %2/%3").arg(q.value(3).toInt()).arg(q.value(4).toDouble()).arg(q.value(5).toDouble());
                 },
                 labels, result);
    result.summary = result.rows.isEmpty() ? QStringLiteral("BOM结构检查通过（%1 层以内）").arg(maxLevels)
                                           : QStringLiteral("%1 个问题").arg(result.rows.size());
    return result;
}

} // namespace q7::host::process::ops
