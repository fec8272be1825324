// A BOM's options, lines and remarks are written a few statements of many
// rows at a time: every line lands with its own options, remark,
// substitutes and locations, whatever the count of lines (below, at and
// past the most rows one statement holds), alone or in a batch.
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"
#include "host/voucher/VoucherForm.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace q7::host;

namespace {

QString sortSeq(int i) { return QString::number(10 * (i + 1)); }

// A version of BS-200 with `count` lines of BK-100 in two colours (the same component
// repeated), a remark on every third line, every fifth line ended on its last day and
// taken from the warehouse of its options, the second line with a substitute and two locations.
voucher::BomDocument bomOf(int count, int version)
{
    voucher::BomDocument d;
    d.head = {{QStringLiteral("cInvCode"), QStringLiteral("BS-200")},          {QStringLiteral("BomType"), QStringLiteral("主BOM")},
              {QStringLiteral("Version"), QString::number(version)},           {QStringLiteral("VersionEffDate"), QStringLiteral("2026-12-01")},
              {QStringLiteral("ParentScrap"), QStringLiteral("0")}};
    for (int i = 0; i < count; ++i) {
        voucher::BomLine line;
        line.fields = {{QStringLiteral("DInvCode"), QStringLiteral("BK-100")},
                       {QStringLiteral("DInvFree_1"), i % 2 ? QStringLiteral("蓝") : QStringLiteral("白")},
                       {QStringLiteral("DBaseQtyN"), QString::number(i + 1)},
                       {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},
                       {QStringLiteral("DCompScrap"), QStringLiteral("0")},
                       {QStringLiteral("DFVFlag"), QStringLiteral("变动")},
                       {QStringLiteral("DWIPType"), QStringLiteral("领用")},
                       {QStringLiteral("DPlanRate"), QString::number(100 - i % 7)},
                       {QStringLiteral("DEffBegDate"), QStringLiteral("2026-12-01")},
                       {QStringLiteral("DEffEndDate"), i % 5 == 4 ? QStringLiteral("2026-12-31") : QStringLiteral("2099-12-31")},
                       {QStringLiteral("DSortSeq"), sortSeq(i)}};
        if (i % 3 == 0)
            line.fields.insert(QStringLiteral("DRemark"), QStringLiteral("第%1行 'a, \"b\"'").arg(i + 1));
        if (i == 1) {
            line.substitutes = {{{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("DInvFree_1"), QStringLiteral("黑")},
                                 {QStringLiteral("DFactor"), QStringLiteral("1")}, {QStringLiteral("DSequence"), QStringLiteral("1")}}};
            line.locations = {QStringLiteral("R1"), QStringLiteral("R2")};
        }
        d.lines.append(line);
    }
    return d;
}

int intOf(QSqlQuery q)
{
    return q.next() ? q.value(0).toInt() : -1;
}

// Each line as written, in sort order: its sort sequence, quantity, end date, plan factor, remark, substitutes,
// locations, and how the values are held (no warehouse is NULL, not an empty text).
QStringList linesOf(QSqlDatabase db, int bomId)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT c.SortSeq, c.BaseQtyN, c.EffEndDate, o.PlanFactor, coalesce(r.Remark, ''), "
                             "(SELECT count(*) FROM bom_opcomponentsub s WHERE s.OpComponentId = c.OpComponentId), "
                             "(SELECT group_concat(Loc, '+') FROM bom_opcomponentloc l WHERE l.OpComponentId = c.OpComponentId), "
                             "typeof(o.WhCode) || ' ' || typeof(c.FVFlag) || ' ' || typeof(c.EffEndDate) || ' ' || typeof(o.PlanFactor) "
                             "FROM bom_opcomponent c JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId "
                             "LEFT JOIN bom_opcomponentrmk r ON r.OpComponentId = c.OpComponentId WHERE c.BomId = ? ORDER BY c.SortSeq"));
    q.addBindValue(bomId);
    q.exec();
    QStringList lines;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < 8; ++i)
            cells.append(q.value(i).toString());
        lines.append(cells.join(u'|'));
    }
    return lines;
}

QStringList expectedLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(QStringList{sortSeq(i), QString::number(i + 1), i % 5 == 4 ? QStringLiteral("2026-12-31") : QStringLiteral("2099-12-31"),
                                 QString::number(100 - i % 7), i % 3 == 0 ? QStringLiteral("第%1行 'a, \"b\"'").arg(i + 1) : QString(),
                                 i == 1 ? QStringLiteral("1") : QStringLiteral("0"), i == 1 ? QStringLiteral("R1+R2") : QString(),
                                 QStringLiteral("null integer text real")}
                         .join(u'|'));
    return lines;
}

} // namespace

TEST(BomLinesWrite, EveryLineLandsWithItsOwnRowsWhateverTheCount)
{
    fake::resetRecords();
    const fake::ScratchAccount scratch;
    auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), scratch.path());
    voucher::BomStore& store = form->store();
    QSqlDatabase db = form->connection().database();
    const int linesBefore = intOf(QSqlQuery(QStringLiteral("SELECT count(*) FROM bom_opcomponent"), db));
    const int optionsBefore = intOf(QSqlQuery(QStringLiteral("SELECT count(*) FROM bom_opcomponentopt"), db));
    struct Case {
        int lines;
        bool inBatch;
    };
    // 64 rows is the most one statement holds: one row, a power of two, one short of and past it, two full statements and two rows.
    const Case cases[] = {{1, false}, {2, true}, {63, false}, {64, true}, {65, false}, {130, true}, {7, true}};
    int version = 3, written = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lines << " lines" << (c.inBatch ? " in a batch" : ""));
        if (c.inBatch)
            store.beginBatch();
        const voucher::SaveResult saved = store.save(bomOf(c.lines, version++));
        ASSERT_TRUE(saved.saved) << saved.refusal.text.toStdString() << " " << saved.refusal.message;
        if (c.inBatch)
            store.commitBatch();
        written += c.lines;
        EXPECT_EQ(linesOf(db, saved.bomId), expectedLines(c.lines));
        const std::optional<voucher::BomDocument> loaded = store.load(saved.bomId);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->lines.size(), c.lines);
    }
    EXPECT_EQ(intOf(QSqlQuery(QStringLiteral("SELECT count(*) FROM bom_opcomponent"), db)), linesBefore + written);
    EXPECT_EQ(intOf(QSqlQuery(QStringLiteral("SELECT count(*) FROM bom_opcomponentopt"), db)), optionsBefore + written)
        << "no options row without its line";
}
