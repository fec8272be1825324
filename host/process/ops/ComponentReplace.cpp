#include "host/process/ops/ComponentReplace.h"

#include "host/db/BomChanges.h"
#include "host/db/procedures/Statement.h"
#include "host/process/ops/BomStructure.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/Transaction.h"
#include "platform/data/Ado.h"

#include <optional>

namespace q7::host::process {

namespace {

int requirePart(QSqlDatabase& db, const PartKey& key, const QString& role)
{
    if (key.invCode.trimmed().isEmpty())
        throw RefusedOperation(QStringLiteral("%1未输入").arg(role));
    if (!itemExists(db, key.invCode))
        throw RefusedOperation(QStringLiteral("%1 %2 不是存货").arg(role, key.invCode.trimmed()));
    const auto part = findPart(db, key);
    if (!part)
        throw RefusedOperation(QStringLiteral("%1 %2 没有这些自由项的物料").arg(role, key.label()));
    return *part;
}

// The first parent that the new part would reach again, as a path from the
// parent through the new part back to it; empty when there is none.
QStringList cycleAfterReplace(ado::Connection& connection, const QVector<ComponentLine>& lines, int newPart)
{
    QSqlDatabase& db = connection.database();
    std::unordered_set<int> replaced;
    for (const ComponentLine& line : lines)
        replaced.insert(line.lineId);
    BomStructure structure = BomStructure::allLines(procedures::Database::of(connection), replaced);
    const int newNode = structure.nodeOf(newPart);
    QVector<int> parents;
    for (const ComponentLine& line : lines)
        for (int parent : parentsOfBom(db, line.bomId))
            if (!parents.contains(parent) && structure.nodeOf(parent) >= 0) // a parent that is no part has no structure
                parents.append(parent);
    for (int parent : parents)
        structure.addEdge(structure.nodeOf(parent), newNode);
    PartLabels labels(db);
    for (int parent : parents) {
        const std::vector<int> back = pathBetween(structure, newNode, structure.nodeOf(parent));
        if (back.empty())
            continue;
        QStringList path{labels(parent)};
        if (back.size() > 1 || back.front() != structure.nodeOf(parent))
            for (int node : back)
                path.append(labels(structure.partId(node)));
        else
            path.append(labels(parent));
        return path;
    }
    return {};
}

QString parametersText(const ReplaceParameters& p)
{
    QStringList parts{QStringLiteral("Old=%1").arg(p.oldPart.label()), QStringLiteral("New=%1").arg(p.newPart.label())};
    if (!p.scope.fromParent.isEmpty())
        parts.append(QStringLiteral("SInv=%1").arg(p.scope.fromParent));
    if (!p.scope.toParent.isEmpty())
        parts.append(QStringLiteral("EInv=%1").arg(p.scope.toParent));
    parts.append(QStringLiteral("BomType=%1").arg(p.scope.bomType));
    if (p.scope.inForceOn)
        parts.append(QStringLiteral("EffDate=%1").arg(*p.scope.inForceOn));
    return parts.join(u' ');
}

} // namespace

OperationResult replaceComponent(ado::Connection& connection, const ReplaceParameters& parameters, const RunOptions& options)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    const int oldPart = requirePart(db, parameters.oldPart, QStringLiteral("原子件"));
    const int newPart = requirePart(db, parameters.newPart, QStringLiteral("新子件"));
    if (oldPart == newPart)
        throw RefusedOperation(QStringLiteral("原子件与新子件是同一物料 %1").arg(parameters.oldPart.label()));

    std::optional<Transaction> transaction; // the lines are read and changed in one transaction
    if (!options.dryRun)
        transaction.emplace(db);
    const QVector<ComponentLine> lines = componentLines(db, oldPart, parameters.scope);
    const QStringList cycle = cycleAfterReplace(connection, lines, newPart);
    if (!cycle.isEmpty())
        throw RefusedOperation(QStringLiteral("替换后物料成为自身的子件：%1").arg(cycle.join(QStringLiteral(" → "))));

    OperationResult result;
    result.headers = {QStringLiteral("母件"), QStringLiteral("BOM"), QStringLiteral("行号"), QStringLiteral("原子件"), QStringLiteral("新子件"),
                      QStringLiteral("基本用量"), QStringLiteral("生效日期"), QStringLiteral("失效日期")};
    const QString oldLabel = parameters.oldPart.label(), newLabel = parameters.newPart.label();
    for (const ComponentLine& line : lines)
        result.rows.append({line.parentCode, line.bomText(), QString::number(line.sortSeq), oldLabel, newLabel, line.quantity,
                            line.effBegDate, line.effEndDate});
    if (lines.isEmpty() || options.dryRun) {
        result.summary = QStringLiteral("%1 行%2").arg(lines.size()).arg(options.dryRun ? QStringLiteral("将替换") : QStringLiteral("替换"));
        return result;
    }

    Journal journal(db, QStringLiteral("replace"), options.user, parametersText(parameters));
    journal.setChunkRows(options.journalChunkRows);
    QList<KeyedRow> rows;
    rows.reserve(lines.size());
    for (const ComponentLine& line : lines)
        rows.append(KeyedRow{line.lineId, {newPart}});
    journal.updateMany(QStringLiteral("bom_opcomponent"), {QStringLiteral("ComponentId")}, rows,
                       [&](qsizetype done) { options.report(done, lines.size()); });
    for (const ComponentLine& line : lines)
        account::noteChange(db, line.bomId); // a voucher that loaded the BOM before cannot save over this
    result.summary = QStringLiteral("%1 行替换：%2 → %3").arg(lines.size()).arg(oldLabel, newLabel);
    result.runId = journal.finish(result.summary);
    transaction->commit();
    result.summary = QStringLiteral("运行 %1：%2").arg(result.runId).arg(result.summary);
    return result;
}

} // namespace q7::host::process
