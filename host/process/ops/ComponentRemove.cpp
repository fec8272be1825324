#include "host/process/ops/ComponentRemove.h"

#include "host/db/BomChanges.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/Transaction.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <optional>

namespace q7::host::process::ops {

namespace {

QList<qint64> rowids(QSqlDatabase& db, const QString& sql, int key)
{
    QSqlQuery query(db);
    query.prepare(sql);
    query.addBindValue(key);
    if (!query.exec())
        q7::data::throwProviderError(query.lastError());
    QList<qint64> ids;
    while (query.next())
        ids.append(query.value(0).toLongLong());
    return ids;
}

} // namespace

OperationResult removeComponent(data::Connection& connection, const PartKey& key, const RunOptions& options)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    if (key.invCode.trimmed().isEmpty())
        throw RefusedOperation(QStringLiteral("物料未输入"));
    if (!itemExists(db, key.invCode))
        throw RefusedOperation(QStringLiteral("物料 %1 不是存货").arg(key.invCode.trimmed()));
    const auto part = findPart(db, key);
    if (!part)
        throw RefusedOperation(QStringLiteral("物料 %1 没有这些自由项的物料").arg(key.label()));

    std::optional<Transaction> transaction; // the lines are read and removed in one transaction
    if (!options.dryRun)
        transaction.emplace(db);
    const QVector<ComponentLine> lines = componentLines(db, *part);
    OperationResult result;
    result.headers = {QStringLiteral("母件"), QStringLiteral("BOM"), QStringLiteral("行号"), QStringLiteral("子件"), QStringLiteral("基本用量"),
                      QStringLiteral("生效日期"), QStringLiteral("失效日期")};
    for (const ComponentLine& line : lines)
        result.rows.append({line.parentCode, line.bomText(), QString::number(line.sortSeq), key.label(), line.quantity, line.effBegDate,
                            line.effEndDate});
    if (lines.isEmpty() || options.dryRun) {
        result.summary = QStringLiteral("%1 行%2").arg(lines.size()).arg(options.dryRun ? QStringLiteral("将删除") : QStringLiteral("删除"));
        return result;
    }

    Journal journal(db, QStringLiteral("remove"), options.user, QStringLiteral("Inv=%1").arg(key.label()));
    int64_t done = 0;
    for (const ComponentLine& line : lines) {
        options.report(++done, lines.size());
        for (qint64 id : rowids(db, QStringLiteral("SELECT rowid FROM bom_opcomponentsub WHERE OpComponentId = ?"), line.lineId))
            journal.remove(QStringLiteral("bom_opcomponentsub"), id);
        for (qint64 id : rowids(db, QStringLiteral("SELECT rowid FROM bom_opcomponentloc WHERE OpComponentId = ?"), line.lineId))
            journal.remove(QStringLiteral("bom_opcomponentloc"), id);
        for (qint64 id : rowids(db, QStringLiteral("SELECT OpComponentId FROM bom_opcomponentrmk WHERE OpComponentId = ?"), line.lineId))
            journal.remove(QStringLiteral("bom_opcomponentrmk"), id);
        const QList<qint64> lineOptions = rowids(db, QStringLiteral("SELECT OptionsId FROM bom_opcomponent WHERE OpComponentId = ? AND OptionsId IS NOT NULL"),
                                             line.lineId);
        journal.remove(QStringLiteral("bom_opcomponent"), line.lineId);
        db::noteChange(db, line.bomId); // a voucher that loaded the BOM before cannot save over this
        // The line's options go with it unless another line uses them too.
        for (qint64 option : lineOptions)
            if (rowids(db, QStringLiteral("SELECT OpComponentId FROM bom_opcomponent WHERE OptionsId = ?"), static_cast<int>(option)).isEmpty())
                journal.remove(QStringLiteral("bom_opcomponentopt"), option);
    }
    result.summary = QStringLiteral("%1 行删除：%2").arg(lines.size()).arg(key.label());
    result.runId = journal.finish(result.summary);
    transaction->commit();
    result.summary = QStringLiteral("运行 %1：%2").arg(result.runId).arg(result.summary);
    return result;
}

} // namespace q7::host::process::ops
