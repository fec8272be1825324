// Every reader of the account sees the same BOM. Random BOMs (several
// versions, dated lines, repeated components, substitutes) are written
// through the voucher library and through the import; on every date where a
// line or a version begins or ends, and the day before, `bom show`, the
// explosion (BO02004), the where-used list (BO02006), the browse (tree and
// document pane) and the where-used browse list the same lines with the same
// quantities.
#include "support/FakeHost.h"

#include "app/BomCommand.h"
#include "app/BomImport.h"
#include "browse/BrowseDriver.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "host/voucher/VoucherFields.h"
#include "host/voucher/VoucherForm.h"
#include "platform/ClassRegistry.h"
#include "platform/system/SystemSettings.h"
#include "platform/data/Ado.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <unistd.h>

using namespace q7;
using namespace q7::app;
using host::voucher::VoucherForm;

namespace {

// Parents without BOMs in the demo account, and leaves to use; a parent uses
// only parents after it, so no cycle is made.
const QStringList parents{QStringLiteral("BS-200"), QStringLiteral("CP-400"), QStringLiteral("SW-310"), QStringLiteral("SW-320")};
const QStringList leaves{QStringLiteral("ST-400"), QStringLiteral("PT-220"), QStringLiteral("RM-310"), QStringLiteral("SP-321"),
                         QStringLiteral("BL-210"), QStringLiteral("CW-300"), QStringLiteral("TY-331")};
const QStringList days{QStringLiteral("2026-01-01"), QStringLiteral("2026-03-01"), QStringLiteral("2026-06-15"), QStringLiteral("2026-09-01")};

struct Line {
    QString component;
    int qtyN, qtyD, scrap;
    bool fixed;
    QString from, until;
    bool substitute;
};
struct Version {
    int number;
    QString from;
    QList<Line> lines;
};
struct Bom {
    QString parent;
    QList<Version> versions;
};

QList<Bom> randomBoms(unsigned seed)
{
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    QList<Bom> boms;
    for (int p = 0; p < parents.size(); ++p) {
        Bom bom{parents[p], {}};
        const int versions = 1 + pick(2);
        for (int v = 1; v <= versions; ++v) {
            Version version{v, days[pick(days.size())], {}}; // a later version may begin earlier, or on the same day
            QStringList usable = leaves;
            for (int q = p + 1; q < parents.size(); ++q)
                usable.append(parents[q]);
            const int count = 2 + pick(3);
            for (int l = 0; l < count; ++l) {
                const int begin = pick(days.size());
                const int end = begin + 1 + pick(days.size() - begin);
                Line line{usable[pick(int(usable.size()))], 1 + pick(3), QList<int>{1, 2, 4}[pick(3)], pick(2) * 5, pick(3) == 0,
                          days[begin], end < days.size() ? days[end] : QStringLiteral("2099-12-31"), pick(3) == 0};
                version.lines.append(line);
                if (pick(4) == 0) // the same component on a second line
                    version.lines.append(Line{line.component, line.qtyN + 1, line.qtyD, 0, !line.fixed, line.from, line.until, false});
            }
            bom.versions.append(version);
        }
        boms.append(bom);
    }
    return boms;
}

// Written as a person at the voucher would; a substitute line gets one substitute.
void saveThroughVoucher(const QString& db, const Bom& bom, const Version& version)
{
    auto form = VoucherForm::create(QStringLiteral("BO11"), db);
    form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    ASSERT_TRUE(form->typeHead(QStringLiteral("cInvCode"), bom.parent));
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionDesc"), QStringLiteral("随机")));
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionEffDate"), version.from));
    ASSERT_TRUE(form->typeHead(QStringLiteral("Version"), QString::number(version.number)));
    for (const Line& line : version.lines) {
        const int row = form->addRow();
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DInvCode"), line.component));
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DBaseQtyN"), QString::number(line.qtyN)));
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DBaseQtyD"), QString::number(line.qtyD)));
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DCompScrap"), QString::number(line.scrap)));
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DFVFlag"), line.fixed ? QStringLiteral("固定") : QStringLiteral("变动")));
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DEffBegDate"), line.from));
        ASSERT_TRUE(form->typeBody(row, QStringLiteral("DEffEndDate"), line.until));
        if (line.substitute)
            form->voucher().setBodyText(row, QStringLiteral("_Substitutes"),
                                        QVariantList{QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("SP-320")}, {QStringLiteral("DFactor"), QStringLiteral("2")},
                                                                 {QStringLiteral("DSequence"), QStringLiteral("1")}}});
    }
    ASSERT_TRUE(form->save()) << form->lastRefusal().text.toStdString();
}

void saveThroughImport(const QString& db, const QString& file, const Bom& bom, const Version& version)
{
    QByteArray csv = bomCsvColumns().join(u',').toUtf8() + '\n';
    int sortSeq = 0;
    for (const Line& line : version.lines) {
        const QStringList row{bom.parent, {}, {}, QStringLiteral("主BOM"), QString::number(version.number), QStringLiteral("导入"), version.from, {}, {},
                              QStringLiteral("0"), QString::number(sortSeq += 10), line.component, {}, {}, {}, QString::number(line.qtyN),
                              QString::number(line.qtyD), QString::number(line.scrap), line.fixed ? QStringLiteral("固定") : QStringLiteral("变动"),
                              QStringLiteral("领用"), {}, QStringLiteral("否"), QStringLiteral("是"), QStringLiteral("否"), {}, QStringLiteral("01"),
                              QStringLiteral("01"), line.from, line.until, QStringLiteral("0"), {}};
        csv += row.join(u',').toUtf8() + '\n';
    }
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(csv);
    out.close();
    const ImportResult result = runImport(file, db, false);
    ASSERT_TRUE(result.problems.isEmpty()) << result.problems.first().message.toStdString();
}

// A line as every reader should give it: component and quantity.
QString entry(const QString& code, double quantity) { return code + u'=' + QString::number(quantity, 'g', 9); }

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

QString captureStdout(const std::function<int()>& run)
{
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    std::fflush(stdout);
    const int saved = dup(1);
    dup2(file.handle(), 1);
    const int status = run();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    file.seek(0);
    return status == 0 ? QString::fromUtf8(file.readAll()) : QString();
}

class Readers {
public:
    explicit Readers(QString db) : db_(std::move(db)) { connection_.Open(host::db::connectionStringFor(db_)); }

    // `bom show ITEM --date D`: the lines valid on D of the BOM in force on D.
    QStringList show(const QString& item, const QString& date)
    {
        const QString csv = captureStdout([&] {
            return runBomCommand({QStringLiteral("show"), item, QStringLiteral("--date"), date, QStringLiteral("--format"), QStringLiteral("csv"),
                                  QStringLiteral("--db"), db_});
        });
        const QList<QStringList> records = parseCsv(csv);
        QStringList lines;
        if (records.isEmpty())
            return lines;
        const qsizetype code = records.first().indexOf(host::voucher::caption(QStringLiteral("DInvCode")));
        const qsizetype qty = records.first().indexOf(host::voucher::caption(QStringLiteral("DQty")));
        for (qsizetype r = 1; r < records.size(); ++r)
            lines << entry(records[r][code], records[r][qty].toDouble());
        return sorted(lines);
    }

    // Level 1 of the explosion, or the rows of the where-used list whose parent is the item.
    QStringList report(const char* key, const QString& item, const QString& date, const QString& parent = {})
    {
        system::setToday(QDate::fromString(date, Qt::ISODate));
        host::report::ReportViewer viewer(QString::fromLatin1(key));
        const auto out = viewer.run({{QStringLiteral("InvCode"), item, item}, {QStringLiteral("EffDate"), date, std::nullopt}}, 0, &connection_);
        system::setToday(QDate(2026, 12, 7));
        EXPECT_FALSE(out.refused) << out.message.toStdString();
        const auto& rs = out.rows;
        QStringList lines;
        for (const auto& row : rs.rows) {
            const auto col = [&](const char* name) { return row[rs.columnIndex(QString::fromUtf8(name))]; };
            if (col("层级").toInt() != 1)
                continue;
            if (parent.isEmpty())
                lines << entry(col("子件编码").toString(), col("使用数量").toDouble());
            else if (col("母件编码").toString() == parent)
                lines << entry(item, col("使用数量").toDouble());
        }
        return sorted(lines);
    }

    // The browse's first level and its document pane; in where-used mode only the item's parent.
    std::pair<QStringList, QStringList> browse(const QString& item, const QString& date, const QString& parent = {})
    {
        Session s(parent.isEmpty() ? QStringLiteral("BO02001") : QStringLiteral("BO02002"), db_, QDate::fromString(date, Qt::ISODate));
        s.enterItem(item);
        s.dialog().txtVersionEffDate->setText(date); // the version stays the one the dialog looked up for the date
        s.ok();
        QStringList tree, pane;
        if (s.form->tvBOM->roots().isEmpty())
            return {tree, pane};
        for (const auto& child : s.form->tvBOM->roots().first()->childNodes()) {
            const QString code = child->text().section(u' ', 0, 0);
            const double qty = child->tag.toString().section(u'&', 1).split(u'|').value(2).toDouble();
            if (parent.isEmpty())
                tree << entry(code, qty);
            else if (code == parent)
                tree << entry(item, qty);
        }
        auto* voucher = s.form->Voucher;
        for (int r = 1; r <= voucher->bodyRows(); ++r) {
            const QString code = voucher->GetBodyValue(r, QStringLiteral("cInvCode")).toString();
            const double qty = voucher->GetBodyValue(r, QStringLiteral("Qty")).toDouble();
            if (parent.isEmpty())
                pane << entry(code, qty);
            else if (code == parent)
                pane << entry(item, qty);
        }
        return {sorted(tree), sorted(pane)};
    }

private:
    using Session = browse::Session;
    QString db_;
    data::Connection connection_;
};

// The dates a BOM's reading changes on, and the day before each.
QStringList boundaries(const QList<Bom>& boms)
{
    QStringList dates;
    for (const Bom& bom : boms)
        for (const Version& v : bom.versions) {
            dates << v.from;
            for (const Line& l : v.lines)
                dates << l.from << l.until;
        }
    dates.removeAll(QStringLiteral("2099-12-31"));
    QStringList all;
    for (const QString& d : dates)
        all << d << QDate::fromString(d, Qt::ISODate).addDays(-1).toString(Qt::ISODate);
    all.removeDuplicates();
    all.sort();
    return all;
}

TEST(ReadersAgreement, EveryReaderListsTheSameLinesOnEveryBoundary)
{
    for (const unsigned seed : {7u, 2026u}) {
        SCOPED_TRACE(seed);
        fake::resetRecords();
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("account.db"));
        host::db::createDemoAccount(db);
        const QList<Bom> boms = randomBoms(seed);
        bool throughVoucher = seed % 2 == 0;
        for (const Bom& bom : boms)
            for (const Version& version : bom.versions) {
                if (throughVoucher)
                    saveThroughVoucher(db, bom, version);
                else
                    saveThroughImport(db, dir.filePath(QStringLiteral("bom.csv")), bom, version);
                throughVoucher = !throughVoucher;
            }
        ASSERT_FALSE(testing::Test::HasFatalFailure());

        Readers readers(db);
        for (const QString& date : boundaries(boms)) {
            for (const Bom& bom : boms) {
                SCOPED_TRACE((bom.parent + QStringLiteral(" on ") + date).toStdString());
                const QStringList explosion = readers.report("BO02004", bom.parent, date);
                EXPECT_EQ(readers.show(bom.parent, date), explosion) << "bom show";
                const auto [tree, pane] = readers.browse(bom.parent, date);
                EXPECT_EQ(tree, explosion) << "browse tree";
                EXPECT_EQ(pane, explosion) << "browse pane";
                QStringList components;
                for (const QString& e : explosion)
                    components << e.section(u'=', 0, 0);
                components.removeDuplicates();
                for (const QString& component : components) {
                    QStringList expected;
                    for (const QString& e : explosion)
                        if (e.section(u'=', 0, 0) == component)
                            expected << e;
                    EXPECT_EQ(readers.report("BO02006", component, date, bom.parent), expected) << "where-used of " << component.toStdString();
                    const auto [usedTree, usedPane] = readers.browse(component, date, bom.parent);
                    EXPECT_EQ(usedTree, expected) << "where-used browse of " << component.toStdString();
                    EXPECT_EQ(usedPane, expected) << "where-used pane of " << component.toStdString();
                }
            }
        }
    }
}

// A main BOM that ends with no later version: on its end date the part has no
// BOM in force, in every reader.
TEST(ReadersAgreement, ABomEndingWithoutSuccessorIsGoneOnItsEndDate)
{
    fake::resetRecords();
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("account.db"));
    host::db::createDemoAccount(db);
    const Bom bom{QStringLiteral("BS-200"), {{1, QStringLiteral("2026-01-01"), {{QStringLiteral("ST-400"), 2, 1, 0, false, QStringLiteral("2026-01-01"),
                                                                                  QStringLiteral("2099-12-31"), false}}}}};
    saveThroughVoucher(db, bom, bom.versions.first());
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    {
        data::Connection connection;
        connection.Open(host::db::connectionStringFor(db));
        connection.executeNative(QStringLiteral("UPDATE bom_bom SET VersionEndDate = '2026-07-01' WHERE BomId = (SELECT max(BomId) FROM bom_bom)"));
    }
    Readers readers(db);
    const QStringList line{QStringLiteral("ST-400=2")};
    struct Case {
        const char* date;
        QStringList lines;
    } cases[] = {{"2026-06-30", line}, {"2026-07-01", {}}};
    for (const Case& c : cases) {
        const QString date = QString::fromLatin1(c.date);
        SCOPED_TRACE(c.date);
        EXPECT_EQ(readers.report("BO02004", bom.parent, date), c.lines);
        EXPECT_EQ(readers.show(bom.parent, date), c.lines);
        EXPECT_EQ(readers.browse(bom.parent, date).first, c.lines);
        QStringList used;
        for (const QString& l : c.lines)
            used << entry(QStringLiteral("ST-400"), l.section(u'=', 1).toDouble());
        EXPECT_EQ(readers.report("BO02006", QStringLiteral("ST-400"), date, bom.parent), used);
        EXPECT_EQ(readers.browse(QStringLiteral("ST-400"), date, bom.parent).first, used);
    }
}

} // namespace
