#include "MillionLineAccount.h"

#include "host/db/AccountDatabase.h"
#include "host/db/procedures/Statement.h"
#include "host/process/ops/Journal.h"
#include "host/process/ops/LowLevelCode.h"
#include "platform/data/Ado.h"

#include <benchmark/benchmark.h>

// Reading the BOMs in force and computing every part's low-level code.
static void BM_LowLevelCodeCompute(benchmark::State& state)
{
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(millionLineAccount()));
    int64_t edges = 0;
    for (auto _ : state) {
        const auto structure = q7::host::process::ops::BomStructure::inForce(q7::host::db::procedures::Database::of(connection), QStringLiteral("2026-12-07"));
        const auto codes = q7::host::process::ops::computeLowLevelCodes(structure);
        benchmark::DoNotOptimize(codes.code.data());
        edges = structure.edgeCount();
    }
    state.counters["lines"] = static_cast<double>(edges);
}
BENCHMARK(BM_LowLevelCodeCompute)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole operation once the stored codes are current: read, compute,
// compare with the stored codes, nothing to write.
static void BM_LowLevelCodeRunUnchanged(benchmark::State& state)
{
    q7::data::Connection connection;
    connection.Open(q7::host::db::connectionStringFor(millionLineAccount()));
    const q7::host::process::ops::RunOptions options{QStringLiteral("bench"), false};
    q7::host::process::ops::runLowLevelCode(connection, QStringLiteral("2026-12-07"), options); // stores every code (once)
    for (auto _ : state)
        benchmark::DoNotOptimize(q7::host::process::ops::runLowLevelCode(connection, QStringLiteral("2026-12-07"), options).runId);
}
BENCHMARK(BM_LowLevelCodeRunUnchanged)->Unit(benchmark::kMillisecond)->Iterations(3);
