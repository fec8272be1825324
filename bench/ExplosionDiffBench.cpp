#include "MillionLineAccount.h"

#include "host/db/AccountDatabase.h"
#include "host/db/procedures/ExplosionDiff.h"
#include "host/process/ops/ComponentReplace.h"
#include "platform/data/Ado.h"

#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace q7::host;

constexpr int Kit = 900001; // a part made of the ten top parts: its explosion is theirs, about 90 000 rows
const QString Before = QStringLiteral("2026-12-07"), After = QStringLiteral("2026-12-08");

// The million-line account with the kit, and a change from After: under the
// first top, its first component is replaced by the second top's first
// component (as an engineering change, through the maintenance operation).
const QString& accountWithAChange()
{
    static const QString path = [] {
        const QString& file = millionLineAccount();
        q7::data::Connection connection;
        connection.Open(db::connectionStringFor(file));
        QString sql = QStringLiteral("INSERT INTO Inventory (cInvCode, cInvName, cComUnitName, InvAttr) VALUES ('KIT-10', '十件套', '套', 3);"
                                     "INSERT INTO bas_part (PartId, InvCode) VALUES (%1, 'KIT-10');"
                                     "INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) VALUES (%1, 1, 1, '2000-01-01', '2099-12-31');"
                                     "INSERT INTO bom_parent (BomId, ParentId, ParentScrap) VALUES (%1, %1, 0);")
                          .arg(Kit);
        for (int top = 1; top <= 10; ++top)
            sql += QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) "
                                  "SELECT max(OpComponentId) + 1, %1, (SELECT PartId FROM bas_part WHERE InvCode = 'S%2'), %3, 1 FROM bom_opcomponent;")
                       .arg(Kit)
                       .arg(top, 7, 10, QLatin1Char('0'))
                       .arg(top * 10);
        connection.executeNative(sql);
        const auto firstComponent = [&](const char* top) {
            QSqlQuery q = q7::data::runBound(connection.database(),
                                            QStringLiteral("SELECT c.InvCode FROM bom_opcomponent l JOIN bom_parent t ON t.BomId = l.BomId "
                                                           "JOIN bas_part p ON p.PartId = t.ParentId JOIN bas_part c ON c.PartId = l.ComponentId "
                                                           "WHERE p.InvCode = ? ORDER BY l.SortSeq LIMIT 1"),
                                            {QString::fromLatin1(top)});
            q.next();
            return process::ops::PartKey{q.value(0).toString()};
        };
        process::ops::replaceComponent(connection, {firstComponent("S0000001"), firstComponent("S0000002"), {}, After},
                                  process::ops::RunOptions{QStringLiteral("bench"), false});
        return file;
    }();
    return path;
}

void report(benchmark::State& state, const db::procedures::ExplosionDiff& diff)
{
    state.counters["rows before"] = diff.rowsBefore;
    state.counters["rows after"] = diff.rowsAfter;
    state.counters["changed"] = static_cast<double>(diff.lines.size()) - diff.count(db::procedures::DiffChange::Same);
}

} // namespace

// The diff of the kit's explosion the day before the change against the day
// it takes effect, each time on a new connection (nothing of the account read before).
static void BM_ExplosionDiffCold(benchmark::State& state)
{
    const QString& path = accountWithAChange();
    db::procedures::ExplosionDiff diff;
    for (auto _ : state) {
        state.PauseTiming();
        auto connection = std::make_unique<q7::data::Connection>();
        connection->Open(db::connectionStringFor(path));
        state.ResumeTiming();
        diff = db::procedures::diffExplosions(*connection, {Kit, Before, 0}, {Kit, After, 0});
        benchmark::DoNotOptimize(diff.lines.data());
        state.PauseTiming();
        connection.reset();
        state.ResumeTiming();
    }
    report(state, diff);
}
BENCHMARK(BM_ExplosionDiffCold)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same on one connection, its BOMs of both dates read once.
static void BM_ExplosionDiffWarm(benchmark::State& state)
{
    q7::data::Connection connection;
    connection.Open(db::connectionStringFor(accountWithAChange()));
    db::procedures::diffExplosions(connection, {Kit, Before, 0}, {Kit, After, 0});
    db::procedures::ExplosionDiff diff;
    for (auto _ : state) {
        diff = db::procedures::diffExplosions(connection, {Kit, Before, 0}, {Kit, After, 0});
        benchmark::DoNotOptimize(diff.lines.data());
    }
    report(state, diff);
}
BENCHMARK(BM_ExplosionDiffWarm)->Unit(benchmark::kMillisecond)->Iterations(5);
