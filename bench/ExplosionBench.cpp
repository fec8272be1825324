// Times the multi-level explosion report (BO02004) through the handler and
// the report viewer against a plain recursive-CTE explosion of the same data,
// same effectivity date and same quantities, and prints the ratios.
//
//   q7bench-explosion [--parts N] [--tops T] [--runs R] [--db FILE]
//
// Targets: the indented explosion at least 2× faster than the CTE, the
// level-by-level summary at least 4× faster than the CTE followed by GROUP BY.

#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "platform/SystemSettings.h"
#include "platform/data/Ado.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr const char* effDate = "2026-12-07";

QString cte(const QString& lastTop)
{
    return QStringLiteral(
               "WITH RECURSIVE x(top, lvl, part, qty, d) AS ("
               " SELECT p.PartId, 0, p.PartId, 1.0, '%1' FROM bas_part p WHERE p.InvCode >= 'S0000001' AND p.InvCode <= '%2'"
               " UNION ALL"
               " SELECT x.top, x.lvl + 1, c.ComponentId,"
               "  x.qty * (CASE WHEN c.FVFlag = 0 THEN c.BaseQtyN / c.BaseQtyD * (1 + c.CompScrap / 100)"
               "   WHEN c.FVFlag = 1 THEN c.BaseQtyN / c.BaseQtyD / (1 - t.ParentScrap / 100) * (1 + c.CompScrap / 100) END), x.d"
               " FROM x JOIN bom_parent t ON t.ParentId = x.part"
               "  JOIN bom_bom b ON b.BomId = t.BomId AND b.BomType = 1 AND b.VersionEffDate <= x.d AND b.VersionEndDate > x.d"
               "  JOIN bom_opcomponent c ON c.BomId = b.BomId AND c.EffBegDate <= x.d AND c.EffEndDate > x.d)")
        .arg(QLatin1String(effDate), lastTop);
}

// Reads every row into variants, as the viewer's result set does.
size_t runQuery(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        std::fprintf(stderr, "%s\n", query.lastError().text().toUtf8().constData());
        std::exit(1);
    }
    const int columns = query.record().count();
    std::vector<std::vector<QVariant>> rows;
    while (query.next()) {
        std::vector<QVariant> row(static_cast<size_t>(columns));
        for (int i = 0; i < columns; ++i)
            row[static_cast<size_t>(i)] = query.value(i);
        rows.push_back(std::move(row));
    }
    return rows.size();
}

struct Timing {
    double first;  // the first run (cold caches)
    double median; // over all runs
};

Timing timeRuns(int runs, const std::function<size_t()>& work, size_t& rows)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        rows = work();
        times.push_back(timer.nsecsElapsed() / 1e9);
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    return {first, times[times.size() / 2]};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int parts = 125000, tops = 10, runs = 3;
    QString dbPath;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--parts"))
            parts = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--tops"))
            tops = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--runs"))
            runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--db"))
            dbPath = args[i + 1];
    }
    q7::host::registerHostServices();
    DllRegisterServer();
    q7::system::setToday(QDate::fromString(QLatin1String(effDate), QStringLiteral("yyyy-MM-dd")));

    QTemporaryDir dir;
    if (dbPath.isEmpty()) {
        dbPath = dir.filePath(QStringLiteral("synthetic.db"));
        QElapsedTimer timer;
        timer.start();
        const auto made = q7::host::account::createSyntheticAccount(dbPath, {parts, 5, 10, 1});
        std::printf("synthetic account: %lld parts, %lld BOM lines, built in %.2f s, %.1f MB\n", static_cast<long long>(made.parts),
                    static_cast<long long>(made.lines), timer.elapsed() / 1000.0, QFile(dbPath).size() / 1e6);
    }
    q7::ado::Connection connection;
    connection.Open(q7::host::account::connectionStringFor(dbPath));
    const QString lastTop = QStringLiteral("S%1").arg(tops, 7, 10, QLatin1Char('0'));

    const auto viewerRun = [&](const char* mode) {
        return [&, mode]() -> size_t {
            q7::host::report::ReportViewer viewer(QStringLiteral("BO02004"));
            const auto out = viewer.run({{QStringLiteral("InvCode"), QStringLiteral("S0000001"), lastTop},
                                         {QStringLiteral("QueryType"), QString::fromUtf8(mode), std::nullopt}},
                                        0, &connection);
            return static_cast<size_t>(out.rows.rows.size());
        };
    };
    const QString indentedCte = cte(lastTop) + QStringLiteral(
        " SELECT x.top, x.lvl, bp.InvCode, i.cInvName, x.qty FROM x JOIN bas_part bp ON bp.PartId = x.part"
        " JOIN Inventory i ON i.cInvCode = bp.InvCode WHERE x.lvl > 0");
    const QString summaryCte = cte(lastTop) + QStringLiteral(
        " SELECT x.top, x.lvl, bp.InvCode, i.cInvName, sum(x.qty) FROM x JOIN bas_part bp ON bp.PartId = x.part"
        " JOIN Inventory i ON i.cInvCode = bp.InvCode WHERE x.lvl > 0 GROUP BY x.top, x.lvl, x.part");

    size_t rowsViewer = 0, rowsCte = 0, rowsSummary = 0, rowsCteSummary = 0;
    // The CTE runs first so that both see the same warm page cache; the
    // viewer's first run reads the BOMs (cold), later runs reuse what the
    // connection's BOM cache holds while the database is unchanged.
    const Timing tCte = timeRuns(runs, [&] { return runQuery(connection.database(), indentedCte); }, rowsCte);
    const Timing tIndented = timeRuns(runs, viewerRun("全阶"), rowsViewer);
    const Timing tCteSummary = timeRuns(runs, [&] { return runQuery(connection.database(), summaryCte); }, rowsCteSummary);
    const Timing tSummary = timeRuns(runs, viewerRun("阶列式"), rowsSummary);

    std::printf("explosion of %d top parts at %s (%d runs: first, median)\n", tops, effDate, runs);
    std::printf("  indented  BO02004 全阶 via viewer  : %7.3f s  %7.3f s  %zu rows\n", tIndented.first, tIndented.median, rowsViewer);
    std::printf("  indented  recursive CTE           : %7.3f s  %7.3f s  %zu rows\n", tCte.first, tCte.median, rowsCte);
    std::printf("  summary   BO02004 阶列式 via viewer: %7.3f s  %7.3f s  %zu rows\n", tSummary.first, tSummary.median, rowsSummary);
    std::printf("  summary   CTE + GROUP BY          : %7.3f s  %7.3f s  %zu rows\n", tCteSummary.first, tCteSummary.median, rowsCteSummary);
    std::printf("  ratio indented (CTE / viewer)     : median %5.2fx, first run %5.2fx (target >= 2)\n", tCte.median / tIndented.median,
                tCte.median / tIndented.first);
    std::printf("  ratio summary  (CTE / viewer)     : median %5.2fx, first run %5.2fx (target >= 4)\n", tCteSummary.median / tSummary.median,
                tCteSummary.median / tSummary.first);
    if (rowsViewer != rowsCte || rowsSummary != rowsCteSummary)
        std::printf("  WARNING: row counts differ\n");
    return 0;
}
