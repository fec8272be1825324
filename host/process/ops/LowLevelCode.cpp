#include "host/process/ops/LowLevelCode.h"

#include "host/db/procedures/Statement.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/Parts.h"
#include "host/process/ops/Transaction.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QSqlError>
#include <QSqlQuery>

#include <optional>
#include <unordered_map>

namespace q7::host::process::ops {

LowLevelCodes computeLowLevelCodes(const BomStructure& structure)
{
    const StructureGroups groups = strongGroups(structure);
    const int groupCount = static_cast<int>(groups.members.size());
    // Groups come components first, so walking them backwards visits every
    // parent before its components: a group's level is final when reached.
    std::vector<int> level(groupCount, 0);
    for (int g = groupCount - 1; g >= 0; --g)
        for (int v : groups.members[g])
            for (const int* c = structure.begin(v); c != structure.end(v); ++c) {
                const int h = groups.groupOf[*c];
                if (h != g && level[h] < level[g] + 1)
                    level[h] = level[g] + 1;
            }

    LowLevelCodes codes;
    codes.code.assign(structure.nodeCount(), -1);
    for (int g = 0; g < groupCount; ++g) {
        if (groups.cyclic[g]) {
            codes.cycles.push_back(cycleThrough(structure, groups, g));
            continue;
        }
        for (int v : groups.members[g])
            codes.code[v] = level[g];
    }
    return codes;
}

OperationResult runLowLevelCode(data::Connection& connection, const QString& date, const RunOptions& options)
{
    ensureMaintenanceTables(connection);
    QSqlDatabase& db = connection.database();
    std::optional<Transaction> transaction; // the structure and the stored codes are read and written in one transaction
    if (!options.dryRun)
        transaction.emplace(db);
    const db::procedures::Database procedures = db::procedures::Database::of(connection);
    const BomStructure structure = BomStructure::inForce(procedures, date);
    const LowLevelCodes codes = computeLowLevelCodes(structure);

    std::unordered_map<int, int> stored;
    stored.reserve(static_cast<size_t>(structure.nodeCount()));
    {
        db::procedures::Statement query(procedures, "SELECT PartId, LowLevelCode FROM bas_part_llc");
        while (query.next())
            stored.emplace(query.integer(0), query.integer(1));
    }

    PartLabels labels(db);
    labels.loadAll(procedures);
    OperationResult result;
    result.headers = {QStringLiteral("物料"), QStringLiteral("原低阶码"), QStringLiteral("新低阶码"), QStringLiteral("说明")};
    struct Change {
        int partId, code;
    };
    std::vector<Change> changes;
    for (int v = 0; v < structure.nodeCount(); ++v) {
        if (codes.code[v] < 0)
            continue;
        const int partId = structure.partId(v);
        const auto old = stored.find(partId);
        if (old != stored.end() && old->second == codes.code[v])
            continue;
        changes.push_back({partId, codes.code[v]});
        result.rows.append({labels(partId), old != stored.end() ? QString::number(old->second) : QString(), QString::number(codes.code[v]),
                            QString()});
    }
    for (const std::vector<int>& cycle : codes.cycles) {
        const int first = structure.partId(cycle.front());
        const auto old = stored.find(first);
        const QString kept = old != stored.end() ? QString::number(old->second) : QString();
        result.rows.append({labels(first), kept, kept, QStringLiteral("循环 %1，低阶码不变").arg(pathText(cycle, structure, labels))});
    }
    const QString cycles = codes.cycles.empty() ? QString() : QStringLiteral("，%1 个循环").arg(codes.cycles.size());
    if (changes.empty() || options.dryRun) {
        result.summary = QStringLiteral("%1 个物料的低阶码%2%3")
                             .arg(changes.size())
                             .arg(options.dryRun ? QStringLiteral("将改变") : QStringLiteral("改变"))
                             .arg(cycles);
        return result;
    }

    Journal journal(db, QStringLiteral("llc"), options.user, QStringLiteral("EffDate=%1").arg(date));
    journal.setChunkRows(options.journalChunkRows);
    QList<KeyedRow> rows; // a code stored before is changed, a new one made, as one batch in the parts' order
    rows.reserve(static_cast<qsizetype>(changes.size()));
    for (const Change& change : changes)
        rows.append(KeyedRow{change.partId, {change.code, date}});
    journal.put(QStringLiteral("bas_part_llc"), {QStringLiteral("LowLevelCode"), QStringLiteral("EffDate")}, rows,
                [&](qsizetype done) { options.report(done, rows.size()); });
    result.summary = QStringLiteral("%1 个物料的低阶码改变%2").arg(changes.size()).arg(cycles);
    result.runId = journal.finish(result.summary);
    transaction->commit();
    result.summary = QStringLiteral("运行 %1：%2").arg(result.runId).arg(result.summary);
    return result;
}

} // namespace q7::host::process::ops
