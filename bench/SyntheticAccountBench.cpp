#include "host/db/AccountDatabase.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Builds a synthetic account of parts × fanout × (depth−1)/depth BOM lines
// (125000 parts, 5 levels, fanout 10: a million lines) and reports its size.
static void BM_SyntheticAccount(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("synthetic.db"));
    q7::host::db::SyntheticSummary summary;
    for (auto _ : state)
        summary = q7::host::db::createSyntheticAccount(path, {static_cast<int>(state.range(0)), 5, 10, 1}, {},
                                                             q7::host::db::Existing::Replace);
    state.counters["lines"] = static_cast<double>(summary.lines);
    state.counters["MB"] = QFileInfo(path).size() / 1e6;
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(summary.lines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_SyntheticAccount)->Arg(12500)->Arg(125000)->Unit(benchmark::kSecond)->Iterations(1);
