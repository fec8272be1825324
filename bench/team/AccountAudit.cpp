#include "bench/team/AccountAudit.h"

#include "bench/team/Audit.h"
#include "host/db/AccountDatabase.h"
#include "host/process/ops/StructureCheck.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"

#include <QSet>
#include <QSqlQuery>

namespace q7::bench::team {

namespace {

// Every BOM written, and every one whose counter moved (written or not).
QSet<int> bomsToCompare(data::Connection& connection, const QList<WriteRecord>& writes)
{
    QSet<int> boms;
    for (const WriteRecord& w : writes)
        boms.insert(w.state.bomId);
    for (QSqlQuery q = data::runBound(connection.database(), QStringLiteral("SELECT BomId FROM q7_bom_change WHERE ChangeCount > 0")); q.next();)
        boms.insert(q.value(0).toInt());
    return boms;
}

QStringList structureProblems(data::Connection& connection, const Plan& plan)
{
    QStringList problems;
    const auto check = host::process::ops::checkStructure(connection, plan.structureDepth(), plan.effDate);
    for (const QStringList& row : check.rows)
        problems.append(QStringLiteral("structure check: ") + row.join(u' '));
    return problems;
}

QStringList integrityProblems(data::Connection& connection)
{
    QStringList problems;
    for (QSqlQuery q = data::runBound(connection.database(), QStringLiteral("PRAGMA integrity_check")); q.next();)
        if (q.value(0).toString() != QLatin1String("ok"))
            problems.append(QStringLiteral("integrity check: ") + q.value(0).toString());
    return problems;
}

} // namespace

QString AuditResult::summary() const
{
    return ok() ? QStringLiteral("ok (%1 BOMs)").arg(boms) : QStringLiteral("FAILED (%1 problems)").arg(problems.size());
}

AuditResult auditAccount(const Plan& plan, const QList<WriteRecord>& writes)
{
    AuditResult result;
    try {
        data::Connection connection;
        host::db::openAccount(connection, plan.account);
        QHash<int, BomState> finals;
        for (const int bom : bomsToCompare(connection, writes))
            finals.insert(bom, readBomState(connection, bom));
        result.boms = static_cast<int>(finals.size());
        result.problems = auditWrites(writes, finals);
        result.problems += structureProblems(connection, plan);
        if (connection.isEmbedded())
            result.problems += integrityProblems(connection);
    } catch (const AutomationError& e) {
        result.problems.append(QStringLiteral("the audit could not read the account: ") + e.description());
    }
    return result;
}

} // namespace q7::bench::team
