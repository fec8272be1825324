#include "app/BomCommand.h"
#include "app/BomImport.h"
#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "host/db/AccountDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A CSV of new main BOMs of 100 lines each: the base (BS-200) in versions
// 10, 11, … with purchased components, as `q7bom bom import` reads it.
QByteArray bomCsv(int lines)
{
    const QStringList components{QStringLiteral("ST-400"), QStringLiteral("CP-400"), QStringLiteral("SP-320"), QStringLiteral("TY-330"),
                                 QStringLiteral("BL-200"), QStringLiteral("PT-220"), QStringLiteral("CW-300"), QStringLiteral("SW-310")};
    const QStringList columns = q7::app::bomCsvColumns();
    QByteArray csv = columns.join(u',').toUtf8() + '\n';
    for (int i = 0; i < lines; ++i) {
        QMap<QString, QString> row{{QStringLiteral("cInvCode"), QStringLiteral("BS-200")},
                                   {QStringLiteral("BomType"), QStringLiteral("主BOM")},
                                   {QStringLiteral("Version"), QString::number(10 + i / 100)},
                                   {QStringLiteral("VersionDesc"), QStringLiteral("批量")},
                                   {QStringLiteral("VersionEffDate"), QStringLiteral("2026-12-01")},
                                   {QStringLiteral("ParentScrap"), QStringLiteral("0")},
                                   {QStringLiteral("DSortSeq"), QString::number((i % 100 + 1) * 10)},
                                   {QStringLiteral("DInvCode"), components[i % components.size()]},
                                   {QStringLiteral("DBaseQtyN"), QString::number(1 + i % 5)},
                                   {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},
                                   {QStringLiteral("DCompScrap"), QStringLiteral("0")},
                                   {QStringLiteral("DFVFlag"), QStringLiteral("变动")},
                                   {QStringLiteral("DWIPType"), QStringLiteral("领用")},
                                   {QStringLiteral("DPlanRate"), QStringLiteral("100")},
                                   {QStringLiteral("DByproductFlag"), QStringLiteral("否")},
                                   {QStringLiteral("DAccuCostFlag"), QStringLiteral("是")},
                                   {QStringLiteral("DOptionalFlag"), QStringLiteral("否")},
                                   {QStringLiteral("DWhCode"), QStringLiteral("01")},
                                   {QStringLiteral("DDeptCode"), QStringLiteral("01")},
                                   {QStringLiteral("DEffBegDate"), QStringLiteral("2026-12-01")},
                                   {QStringLiteral("DEffEndDate"), QStringLiteral("2099-12-31")},
                                   {QStringLiteral("DOffset"), QStringLiteral("0")}};
        QStringList fields;
        for (const QString& column : columns)
            fields.append(row.value(column));
        csv += fields.join(u',').toUtf8() + '\n';
    }
    return csv;
}

} // namespace

// Imports N BOM lines through the voucher and its handler into a fresh demo account: the
// command (lines entered in memory by the voucher's rules), or every cell typed.
static void importInto(benchmark::State& state, q7::app::ImportEntry entry)
{
    static const bool registered = [] {
        q7::host::registerHostServices();
        q7::component::DllRegisterServer();
        return true;
    }();
    (void)registered;
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("boms.csv"));
    QFile file(csv);
    file.open(QIODevice::WriteOnly);
    file.write(bomCsv(static_cast<int>(state.range(0))));
    file.close();
    for (auto _ : state) {
        state.PauseTiming();
        const QString db = dir.filePath(QStringLiteral("account.db"));
        q7::host::db::createDemoAccount(db);
        state.ResumeTiming();
        const bool refused = entry == q7::app::ImportEntry::InMemory ? q7::app::runBomCommand({QStringLiteral("import"), csv, QStringLiteral("--db"), db}) != 0
                                                            : !q7::app::runImport(csv, db, false, entry).problems.isEmpty();
        if (refused)
            state.SkipWithError("import refused");
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

static void BM_VoucherImport(benchmark::State& state) { importInto(state, q7::app::ImportEntry::InMemory); }
BENCHMARK(BM_VoucherImport)->Arg(10000)->Arg(100000)->Unit(benchmark::kSecond)->Iterations(1);

static void BM_VoucherImportTyped(benchmark::State& state) { importInto(state, q7::app::ImportEntry::Typed); }
BENCHMARK(BM_VoucherImportTyped)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(1);
