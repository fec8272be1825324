#include "MillionLineAccount.h"
#include "app/gui/ReportDocument.h"
#include "app/gui/ReportRows.h"
#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "app/gui/ReportSortProxy.h"
#include "app/gui/ReportTree.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <memory>

namespace {

// Rows shaped as an explosion's (BO02004): the top, its free item, the level,
// parent and component codes, texts, line numbers and quantities, kept as a
// run keeps them.
std::shared_ptr<q7::data::RowStore> explosionRows(qsizetype count)
{
    auto rows = std::make_shared<q7::data::RowStore>();
    rows->columns(QStringList{QStringLiteral("顶层母件"), QStringLiteral("顶层自由项1"), QStringLiteral("层级"), QStringLiteral("母件编码"),
                                QStringLiteral("子件编码"), QStringLiteral("子件名称"), QStringLiteral("规格型号"), QStringLiteral("计量单位"),
                                QStringLiteral("子件自由项1"), QStringLiteral("子件行号"), QStringLiteral("使用数量"), QStringLiteral("累计用量"),
                                QStringLiteral("固定/变动"), QStringLiteral("供应类型"), QStringLiteral("说明")});
    for (qsizetype r = 0; r < count; ++r) {
        const int level = 1 + static_cast<int>(r % 5);
        rows->append({QStringLiteral("S%1").arg(r / 9000 + 1, 7, 10, QLatin1Char('0')), QString(), level,
                           QStringLiteral("S%1").arg((r * 7919) % 125000, 7, 10, QLatin1Char('0')),
                           QStringLiteral("S%1").arg((r * 104729) % 125000, 7, 10, QLatin1Char('0')), QStringLiteral("零件 %1").arg(r % 125000),
                           QStringLiteral("规格%1").arg(r % 97), QStringLiteral("个"), QString(), static_cast<int>(10 * (1 + r % 6)),
                           1.0 + static_cast<double>(r % 13) / 7, 1.0 + static_cast<double>(r % 101) / 3, QStringLiteral("变动"),
                           QStringLiteral("领用"), QString()});
    }
    return rows;
}

double ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

} // namespace

// A report's result in the window's models: opened (grid and tree), sorted by
// a code, scrolled to its end, closed; and the heap its rows take per row.
static void BM_ReportResultInTheWindow(benchmark::State& state)
{
    const qsizetype count = state.range(0);
    for (auto _ : state) {
        malloc_trim(0);
        const auto heap = [] { // what the heap hands out, the blocks it maps on their own too
            const struct mallinfo2 info = mallinfo2();
            return info.uordblks + info.hblkhd;
        };
        const size_t heapBefore = heap();
        auto rows = explosionRows(count);
        const size_t heapAfter = heap();

        QElapsedTimer timer;
        timer.start();
        auto grid = std::make_unique<q7::app::gui::ReportRowsModel>();
        q7::app::gui::ReportSortProxy sorter;
        sorter.setSourceModel(grid.get());
        auto tree = std::make_unique<q7::app::gui::ReportTreeModel>();
        grid->setRows(rows);
        tree->setRows(rows);
        rows.reset();
        const double open = ms(timer);

        timer.restart();
        sorter.sort(4, Qt::AscendingOrder);
        const double sort = ms(timer);

        timer.restart();
        QString last;
        for (int r = sorter.rowCount() - 40; r < sorter.rowCount(); ++r)
            for (int c = 0; c < sorter.columnCount(); ++c)
                last = sorter.data(sorter.index(r, c)).toString();
        benchmark::DoNotOptimize(last);
        const double scroll = ms(timer);

        timer.restart();
        sorter.setSourceModel(nullptr);
        tree.reset();
        grid.reset(); // the rows go on a thread of their own
        const double close = ms(timer);

        state.counters["open_ms"] = open;
        state.counters["sort_ms"] = sort;
        state.counters["scroll_ms"] = scroll;
        state.counters["close_ms"] = close;
        state.counters["heap_per_row_bytes"] = static_cast<double>(heapAfter - heapBefore) / static_cast<double>(count);
    }
}
BENCHMARK(BM_ReportResultInTheWindow)->Arg(90000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A flat report run as the window runs it, on the million-line account: the
// rows read in place into the window's store; the heap they take.
static void BM_ReportRunForTheWindow(benchmark::State& state)
{
    const QString key = state.range(0) == 3 ? QStringLiteral("BO02003") : QStringLiteral("BO02005");
    static const bool registered = [] {
        q7::host::registerHostServices();
        q7::component::DllRegisterServer();
        return true;
    }();
    benchmark::DoNotOptimize(registered);
    const QString& account = millionLineAccount();
    for (auto _ : state) {
        malloc_trim(0);
        const auto heap = [] {
            const struct mallinfo2 info = mallinfo2();
            return info.uordblks + info.hblkhd;
        };
        q7::app::gui::ReportDocument document(key, account);
        const size_t heapBefore = heap();
        QElapsedTimer timer;
        timer.start();
        const q7::app::gui::ReportRun run = document.run({}, 0);
        const double runMs = ms(timer);
        const size_t heapAfter = heap();
        if (run.refused)
            state.SkipWithError(run.message.toStdString().c_str());
        state.counters["rows"] = static_cast<double>(run.rows.size());
        state.counters["columns"] = run.rows.columnCount();
        state.counters["run_ms"] = runMs;
        state.counters["heap_MB"] = static_cast<double>(heapAfter - heapBefore) / 1e6;
        state.counters["heap_per_row_bytes"] = static_cast<double>(heapAfter - heapBefore) / std::max<double>(1, static_cast<double>(run.rows.size()));
    }
}
BENCHMARK(BM_ReportRunForTheWindow)->Arg(3)->Arg(5)->Iterations(1)->Unit(benchmark::kMillisecond);
