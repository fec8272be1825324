// First-run benchmark of the BOM explosion reports against plain recursive
// CTEs that give the same rows.
//
//   q7bench-explosion [--db FILE | --lines N | --parts N] [--report BO02004|BO02004-summary|BO02006|BO02007|all]
//                     [--runs R] [--tops T] [--qty Q] [--leaf CODE]
//
// Every measured run is a process of its own (this program started again with
// --child), so the report and the reference both start cold: nothing is
// cached in the connection, only the operating system's page cache is warm
// (the same for both). A run prints its time, its rows, the growth of its
// peak memory (VmHWM, mapped pages of the database file included) and of its
// heap (RssAnon), and the estimated size of the rows it holds, and writes its
// rows to a file; this process compares the rows of both engines as
// multisets (texts exactly, numbers within a relative 1e-9) and fails on the
// first difference.
//
// Reports: BO02004 全阶 (indented explosion of the top parts), BO02004-summary
// 阶列式 (summed per level), BO02006 (where-used of one part on the lowest
// level), BO02007 (quantity explosion of --qty units of the top parts).
//
// The reference statements hold for accounts like the synthetic one: one main
// BOM version per part, no cycles, no by-products, plan rate off. On other
// accounts the rows may differ without either engine being wrong.
//
// Targets, as ratios of the median first-run times (CTE / report): 全阶 ≥ 4,
// 阶列式 ≥ 6, BO02006 ≥ 4 and under 20 ms, BO02007 ≥ 4; peak memory growth no
// more than twice the rows' size plus a constant.

#include "bench/explosion/MeasuredRun.h"
#include "bench/explosion/Rows.h"
#include "host/db/AccountDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <vector>

namespace {

using namespace q7::bench;

constexpr const char* effDate = "2026-12-07";
constexpr int depth = 5, fanout = 10; // of a synthetic account

struct Target {
    double ratio;
    double seconds; // 0: none
};

Target targetOf(const QString& report)
{
    if (report == QLatin1String("BO02004-summary"))
        return {6, 0};
    if (report == QLatin1String("BO02006"))
        return {4, 0.020};
    return {4, 0};
}

QString titleOf(const QString& report)
{
    if (report == QLatin1String("BO02004"))
        return QStringLiteral("BO02004 全阶");
    if (report == QLatin1String("BO02004-summary"))
        return QStringLiteral("BO02004 阶列式");
    if (report == QLatin1String("BO02006"))
        return QStringLiteral("BO02006 where-used");
    return QStringLiteral("BO02007 quantity");
}

// The first T parts with a BOM, in code order, and the last part that is used but has no BOM.
ReferenceScope scopeOf(const QString& database, int tops, double quantity, const QString& leaf)
{
    ReferenceScope scope;
    scope.effDate = QString::fromLatin1(effDate);
    scope.quantity = quantity;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("scope"));
        db.setDatabaseName(database);
        if (!db.open())
            throw std::runtime_error("cannot open " + database.toStdString());
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT p.InvCode FROM bas_part p WHERE EXISTS (SELECT 1 FROM bom_parent t WHERE t.ParentId = p.PartId)"
                              " ORDER BY p.InvCode LIMIT %1")
                   .arg(tops));
        while (q.next()) {
            if (scope.lowCode.isEmpty())
                scope.lowCode = q.value(0).toString();
            scope.highCode = q.value(0).toString();
        }
        if (leaf.isEmpty()) {
            q.exec(QStringLiteral("SELECT p.InvCode FROM bas_part p WHERE NOT EXISTS (SELECT 1 FROM bom_parent t WHERE t.ParentId = p.PartId)"
                                  " AND EXISTS (SELECT 1 FROM bom_opcomponent c WHERE c.ComponentId = p.PartId) ORDER BY p.InvCode DESC LIMIT 1"));
            if (q.next())
                scope.leafCode = q.value(0).toString();
        } else {
            scope.leafCode = leaf;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("scope"));
    if (scope.lowCode.isEmpty() || scope.leafCode.isEmpty())
        throw std::runtime_error("the account has no BOM to explode");
    return scope;
}

// What a report has to read at least: the distinct parts it reaches and the
// BOM lines that lead to them (below the tops, or above the leaf).
struct Reach {
    qint64 parts = 0, lines = 0;
};

Reach reachOf(const QString& report, const QString& database, const ReferenceScope& scope)
{
    const QString quotedLow = QString(scope.lowCode).replace(u'\'', QStringLiteral("''"));
    const QString quotedHigh = QString(scope.highCode).replace(u'\'', QStringLiteral("''"));
    const QString quotedLeaf = QString(scope.leafCode).replace(u'\'', QStringLiteral("''"));
    const QString sql = report == QLatin1String("BO02006")
        ? QStringLiteral("WITH RECURSIVE r(part) AS (SELECT PartId FROM bas_part WHERE InvCode = '%1'"
                         " UNION SELECT t.ParentId FROM r JOIN bom_opcomponent c ON c.ComponentId = r.part JOIN bom_parent t ON t.BomId = c.BomId)"
                         " SELECT count(*) - 1, (SELECT count(*) FROM r JOIN bom_opcomponent c ON c.ComponentId = r.part) FROM r")
              .arg(quotedLeaf)
        : QStringLiteral("WITH RECURSIVE r(part) AS (SELECT PartId FROM bas_part WHERE InvCode >= '%1' AND InvCode <= '%2'"
                         " UNION SELECT c.ComponentId FROM r JOIN bom_parent t ON t.ParentId = r.part JOIN bom_opcomponent c ON c.BomId = t.BomId)"
                         " SELECT count(*), (SELECT count(*) FROM r JOIN bom_parent t ON t.ParentId = r.part"
                         " JOIN bom_opcomponent c ON c.BomId = t.BomId) FROM r")
              .arg(quotedLow, quotedHigh);
    Reach reach;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reach"));
        db.setDatabaseName(database);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                reach = {q.value(0).toLongLong(), q.value(1).toLongLong()};
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reach"));
    return reach;
}

struct Series {
    std::vector<RunResult> runs;
    double median() const
    {
        std::vector<double> t;
        for (const RunResult& r : runs)
            t.push_back(r.seconds);
        std::sort(t.begin(), t.end());
        return t.size() % 2 ? t[t.size() / 2] : (t[t.size() / 2 - 1] + t[t.size() / 2]) / 2;
    }
    double fastest() const
    {
        double m = runs.front().seconds;
        for (const RunResult& r : runs)
            m = std::min(m, r.seconds);
        return m;
    }
    qint64 maxPeakKb() const
    {
        qint64 m = 0;
        for (const RunResult& r : runs)
            m = std::max(m, r.peakGrowthKb);
        return m;
    }
    qint64 maxAnonKb() const
    {
        qint64 m = 0;
        for (const RunResult& r : runs)
            m = std::max(m, r.anonGrowthKb);
        return m;
    }
};

// Runs one report R times by both engines, alternating; false when the rows differ.
bool benchReport(const QString& report, const QString& database, const ReferenceScope& scope, int runs, const QTemporaryDir& dir)
{
    Series viaReport, viaCte;
    for (int run = 0; run < runs; ++run)
        for (Engine engine : {Engine::Report, Engine::Cte}) {
            RunRequest request{engine, report, database, scope,
                               dir.filePath(QStringLiteral("%1-%2-%3.rows").arg(report).arg(engine == Engine::Report ? 0 : 1).arg(run))};
            (engine == Engine::Report ? viaReport : viaCte).runs.push_back(runInFreshProcess(request));
        }

    const RunResult& r = viaReport.runs.front();
    const RunResult& c = viaCte.runs.front();
    const double ratio = viaCte.median() / viaReport.median();
    const Target target = targetOf(report);
    const Reach reach = reachOf(report, database, scope);
    std::printf("%s (%d fresh processes per engine; reaches %lld parts through %lld BOM lines)\n", titleOf(report).toUtf8().constData(), runs,
                static_cast<long long>(reach.parts), static_cast<long long>(reach.lines));
    std::printf("  report : first %7.4f s  median %7.4f s  fastest %7.4f s  %7lld rows  peak +%6.1f MB  heap +%6.1f MB\n", r.seconds,
                viaReport.median(), viaReport.fastest(), static_cast<long long>(r.rows), viaReport.maxPeakKb() / 1024.0,
                viaReport.maxAnonKb() / 1024.0);
    std::printf("  CTE    : first %7.4f s  median %7.4f s  fastest %7.4f s  %7lld rows  peak +%6.1f MB  heap +%6.1f MB\n", c.seconds,
                viaCte.median(), viaCte.fastest(), static_cast<long long>(c.rows), viaCte.maxPeakKb() / 1024.0, viaCte.maxAnonKb() / 1024.0);
    std::printf("  ratio CTE/report: %5.2fx (target >= %.0fx)%s", ratio, target.ratio, ratio >= target.ratio ? "  met" : "  MISSED");
    if (target.seconds > 0)
        std::printf("; report %.1f ms (target < %.0f ms)%s", viaReport.median() * 1000, target.seconds * 1000,
                    viaReport.median() < target.seconds ? "  met" : "  MISSED");
    std::printf("\n");
    const double rowsMb = static_cast<double>(r.rowsBytes) / 1048576.0;
    std::printf("  rows' size %.1f MB; report's peak growth / rows' size = %.2f, heap growth / rows' size = %.2f (target <= 2 + a constant)\n",
                rowsMb, rowsMb > 0 ? viaReport.maxPeakKb() / 1024.0 / rowsMb : 0.0, rowsMb > 0 ? viaReport.maxAnonKb() / 1024.0 / rowsMb : 0.0);

    for (int run = 0; run < runs; ++run)
        if (viaReport.runs[static_cast<size_t>(run)].rows != r.rows || viaCte.runs[static_cast<size_t>(run)].rows != c.rows) {
            std::printf("  run %d gave another number of rows\n", run + 1);
            return false;
        }
    const auto difference = firstDifference(loadRows(dir.filePath(QStringLiteral("%1-0-0.rows").arg(report))),
                                            loadRows(dir.filePath(QStringLiteral("%1-1-0.rows").arg(report))));
    if (difference) {
        std::printf("  rows differ (report, then CTE): %s\n", difference->toUtf8().constData());
        return false;
    }
    std::printf("  rows equal\n");
    return true;
}

int runParent(QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("First-run times of the BOM explosion reports against recursive CTEs."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("An existing account to explode."), QStringLiteral("FILE")},
        {QStringLiteral("lines"), QStringLiteral("Make a synthetic account of about N BOM lines."), QStringLiteral("N")},
        {QStringLiteral("parts"), QStringLiteral("Make a synthetic account of N parts (default 125000: 1 000 000 lines)."), QStringLiteral("N")},
        {QStringLiteral("report"), QStringLiteral("BO02004, BO02004-summary, BO02006, BO02007 or all (default)."), QStringLiteral("NAME")},
        {QStringLiteral("runs"), QStringLiteral("Fresh processes per report and engine (default 3)."), QStringLiteral("R")},
        {QStringLiteral("tops"), QStringLiteral("Top parts exploded (default 10)."), QStringLiteral("T")},
        {QStringLiteral("qty"), QStringLiteral("Quantity of the quantity explosion (default 12)."), QStringLiteral("Q")},
        {QStringLiteral("leaf"), QStringLiteral("The part of the where-used (default: the last used part without a BOM)."), QStringLiteral("CODE")},
    });
    parser.process(app);
    const auto number = [&](const char* name, int fallback) {
        const QString option = QString::fromLatin1(name);
        if (!parser.isSet(option))
            return fallback;
        bool ok = false;
        const int value = parser.value(option).toInt(&ok);
        if (!ok || value < 1) {
            std::fprintf(stderr, "--%s takes a positive whole number\n", name);
            std::exit(2);
        }
        return value;
    };
    QStringList reports = reportNames();
    if (parser.isSet(QStringLiteral("report")) && parser.value(QStringLiteral("report")) != QLatin1String("all")) {
        if (!reportNames().contains(parser.value(QStringLiteral("report")))) {
            std::fprintf(stderr, "--report takes BO02004, BO02004-summary, BO02006, BO02007 or all\n");
            return 2;
        }
        reports = QStringList{parser.value(QStringLiteral("report"))};
    }
    const int runs = number("runs", 3), tops = number("tops", 10);
    bool qtyOk = true;
    const double quantity = parser.isSet(QStringLiteral("qty")) ? parser.value(QStringLiteral("qty")).toDouble(&qtyOk) : 12.0;
    if (!qtyOk || !(quantity > 0)) {
        std::fprintf(stderr, "--qty takes a positive number\n");
        return 2;
    }

    QTemporaryDir dir;
    QString database = parser.value(QStringLiteral("db"));
    if (database.isEmpty()) {
        // Every part above the lowest level has a BOM of fanout lines: lines = parts × (depth − 1) / depth × fanout.
        const int parts = parser.isSet(QStringLiteral("lines")) ? std::max(depth, number("lines", 1) * depth / ((depth - 1) * fanout))
                                                                : number("parts", 125000);
        database = dir.filePath(QStringLiteral("synthetic.db"));
        QElapsedTimer timer;
        timer.start();
        const auto made = q7::host::db::createSyntheticAccount(database, {parts, depth, fanout, 1});
        std::printf("synthetic account: %lld parts, %lld BOM lines, built in %.2f s, %.1f MB\n", static_cast<long long>(made.parts),
                    static_cast<long long>(made.lines), timer.elapsed() / 1000.0, QFileInfo(database).size() / 1e6);
    } else if (!QFileInfo::exists(database)) {
        std::fprintf(stderr, "%s does not exist\n", database.toUtf8().constData());
        return 2;
    }
    const ReferenceScope scope = scopeOf(database, tops, quantity, parser.value(QStringLiteral("leaf")));
    std::printf("account %s; tops %s..%s, where-used of %s, quantity %g, effective %s\n", QFileInfo(database).fileName().toUtf8().constData(),
                scope.lowCode.toUtf8().constData(), scope.highCode.toUtf8().constData(), scope.leafCode.toUtf8().constData(), quantity, effDate);
    bool equal = true;
    for (const QString& report : reports)
        equal = benchReport(report, database, scope, runs, dir) && equal;
    return equal ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        if (isChildInvocation(app.arguments()))
            return runChild(app.arguments());
        return runParent(app);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "q7bench-explosion: %s\n", e.what());
        return 1;
    }
}
