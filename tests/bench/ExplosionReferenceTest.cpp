// The explosion benchmark's own checks: its row comparison, and its
// reference statements against the reports on a small synthetic account
// (a benchmark whose reference is wrong measures nothing).

#include "bench/explosion/MeasuredRun.h"
#include "bench/explosion/Rows.h"
#include "host/db/AccountDatabase.h"
#include "platform/data/Ado.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace q7;
using bench::Rows;

TEST(ExplosionBenchRows, ComparesAsMultisetsWithinTheTolerance)
{
    const QVector<QVariant> r1{QStringLiteral("S1"), 1, QStringLiteral("S2"), 2.5};
    const QVector<QVariant> r2{QStringLiteral("S1"), 2, QStringLiteral("S3"), 0.1};
    const struct {
        const char* what;
        Rows a, b;
        bool equal;
    } cases[] = {
        {"same rows in another order", {r1, r2}, {r2, r1}, true},
        {"a whole number read as a real", {r1}, {{QStringLiteral("S1"), 1.0, QStringLiteral("S2"), 2.5}}, true},
        {"a relative error of 1e-12", {r1}, {{QStringLiteral("S1"), 1, QStringLiteral("S2"), 2.5 * (1 + 1e-12)}}, true},
        {"NULL text against empty text", {{QVariant(QString()), 1}}, {{QStringLiteral(""), 1}}, true},
        {"a relative error of 1e-6", {r1}, {{QStringLiteral("S1"), 1, QStringLiteral("S2"), 2.5 * (1 + 1e-6)}}, false},
        {"another text", {r1}, {{QStringLiteral("S1"), 1, QStringLiteral("s2"), 2.5}}, false},
        {"a number against a text", {r1}, {{QStringLiteral("S1"), QStringLiteral("x"), QStringLiteral("S2"), 2.5}}, false},
        {"a row twice against two rows", {r1, r1}, {r1, r2}, false},
        {"one row more", {r1, r2}, {r1, r2, r2}, false},
        {"a missing cell", {r1}, {{QStringLiteral("S1"), 1, QStringLiteral("S2")}}, false},
    };
    for (const auto& c : cases) {
        const auto difference = bench::firstDifference(c.a, c.b);
        EXPECT_EQ(!difference.has_value(), c.equal) << c.what << ": " << difference.value_or(QString()).toStdString();
    }
}

TEST(ExplosionBenchRows, SurviveTheFileBetweenProcesses)
{
    QTemporaryDir dir;
    const Rows rows{{QStringLiteral("合成件1"), 3, 0.1 + 0.2, QVariant()}, {QString(), qint64(1) << 40, -1e-300, QStringLiteral("循环")}};
    bench::saveRows(dir.filePath(QStringLiteral("r")), rows);
    const Rows back = bench::loadRows(dir.filePath(QStringLiteral("r")));
    EXPECT_FALSE(bench::firstDifference(rows, back, 0).has_value());
    EXPECT_EQ(back[0][2].toDouble(), 0.1 + 0.2);
    EXPECT_THROW(bench::loadRows(dir.filePath(QStringLiteral("none"))), std::runtime_error);
}

TEST(ExplosionBenchReference, GivesTheReportsRowsOnASyntheticAccount)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("synthetic.db"));
    host::db::createSyntheticAccount(path, {2000, 4, 4, 3});
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(path));
    bench::RunRequest request;
    request.database = path;
    request.scope = {QStringLiteral("2026-12-07"), QStringLiteral("S0000001"), QStringLiteral("S0000005"), QString(), 12};
    QSqlQuery leaf(connection.database());
    ASSERT_TRUE(leaf.exec(QStringLiteral("SELECT max(p.InvCode) FROM bas_part p JOIN bom_opcomponent c ON c.ComponentId = p.PartId"
                                         " WHERE c.EffEndDate > '2026-12-07'")) && leaf.next());
    request.scope.leafCode = leaf.value(0).toString();
    ASSERT_EQ(request.scope.leafCode, QStringLiteral("S0002000")); // the lowest level: no BOM of its own

    for (const QString& report : bench::reportNames()) {
        request.report = report;
        request.engine = bench::Engine::Report;
        const Rows viaReport = bench::rowsOf(request, connection);
        request.engine = bench::Engine::Cte;
        const Rows viaCte = bench::rowsOf(request, connection);
        EXPECT_GT(viaReport.size(), report == QLatin1String("BO02006") ? 20 : 200) << report.toStdString();
        const auto difference = bench::firstDifference(viaReport, viaCte);
        EXPECT_FALSE(difference.has_value()) << report.toStdString() << ": " << difference.value_or(QString()).toStdString();
    }

    // Another quantity in the reference is caught, not hidden by the tolerance.
    request.report = QStringLiteral("BO02007");
    request.engine = bench::Engine::Report;
    const Rows twelve = bench::rowsOf(request, connection);
    request.engine = bench::Engine::Cte;
    request.scope.quantity = 12.000001;
    EXPECT_TRUE(bench::firstDifference(twelve, bench::rowsOf(request, connection)).has_value());
}
