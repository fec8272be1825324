// A batch of saves (an import) finds each part once and keeps what it found
// for the batch only: a part the batch made is found again by its next BOM,
// and a part of a batch rolled back is not found by the next one.
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"
#include "host/voucher/VoucherForm.h"

#include <QSqlQuery>

#include <gtest/gtest.h>

using namespace q7::host;

namespace {

// A new version of BS-200 whose two lines use BK-100 of a colour (its first free item) the account has no part of yet.
voucher::BomDocument withColour(const QString& colour, int version)
{
    voucher::BomDocument d;
    d.head = {{QStringLiteral("cInvCode"), QStringLiteral("BS-200")},          {QStringLiteral("BomType"), QStringLiteral("主BOM")},
              {QStringLiteral("Version"), QString::number(version)},           {QStringLiteral("VersionEffDate"), QStringLiteral("2026-12-01")},
              {QStringLiteral("ParentScrap"), QStringLiteral("0")}};
    voucher::BomLine line;
    line.fields = {{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("DInvFree_1"), colour},
                   {QStringLiteral("DBaseQtyN"), QStringLiteral("2")},     {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},
                   {QStringLiteral("DCompScrap"), QStringLiteral("0")},    {QStringLiteral("DFVFlag"), QStringLiteral("变动")},
                   {QStringLiteral("DWIPType"), QStringLiteral("领用")},   {QStringLiteral("DEffBegDate"), QStringLiteral("2026-12-01")},
                   {QStringLiteral("DEffEndDate"), QStringLiteral("2099-12-31")}, {QStringLiteral("DSortSeq"), QStringLiteral("10")}};
    d.lines = {line, line};
    d.lines[1].fields.insert(QStringLiteral("DSortSeq"), QStringLiteral("20"));
    return d;
}

int partOf(const voucher::BomStore& store, const QString& colour)
{
    return store.existingPartId({{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("DInvFree_1"), colour}}, QStringLiteral("D"));
}

} // namespace

TEST(BomBatch, APartMadeInABatchIsFoundAgainAndGoesWithItsRollback)
{
    fake::resetRecords();
    const fake::ScratchAccount scratch;
    auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), scratch.path());
    voucher::BomStore& store = form->store();
    ASSERT_EQ(partOf(store, QStringLiteral("绿")), 0);

    store.beginBatch();
    const voucher::SaveResult first = store.save(withColour(QStringLiteral("绿"), 3));
    ASSERT_TRUE(first.saved) << first.refusal.text.toStdString() << " " << first.refusal.message;
    const int made = partOf(store, QStringLiteral("绿"));
    ASSERT_NE(made, 0);
    store.rollbackBatch();
    EXPECT_EQ(partOf(store, QStringLiteral("绿")), 0);

    store.beginBatch();
    ASSERT_TRUE(store.save(withColour(QStringLiteral("黄"), 3)).saved);
    EXPECT_EQ(partOf(store, QStringLiteral("黄")), made) << "the next part takes the id the rolled-back one had";
    EXPECT_EQ(partOf(store, QStringLiteral("绿")), 0) << "a part of the rolled-back batch is not found in the next";
    ASSERT_TRUE(store.save(withColour(QStringLiteral("黄"), 4)).saved); // finds the part the batch made
    store.commitBatch();

    QSqlQuery q(form->connection().database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM bas_part WHERE InvCode = 'BK-100' AND Free1 IN ('绿', '黄')")) && q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*), min(ComponentId), max(ComponentId) FROM bom_opcomponent c JOIN bom_bom b ON b.BomId = c.BomId "
                                      "JOIN bom_parent t ON t.BomId = b.BomId JOIN bas_part p ON p.PartId = t.ParentId "
                                      "WHERE p.InvCode = 'BS-200' AND b.Version IN (3, 4)")) &&
                q.next());
    EXPECT_EQ(q.value(0).toInt(), 4);
    EXPECT_EQ(q.value(1).toInt(), made);
    EXPECT_EQ(q.value(2).toInt(), made);
}

// While a batch writes, the connection keeps few pages, maps none of the file and keeps its
// temporary storage (a statement's undo journal) in memory; the settings it had come back when
// the batch is committed and when it is rolled back.
TEST(BomBatch, ABatchHoldsFewPagesAndGivesTheSettingsBack)
{
    fake::resetRecords();
    const fake::ScratchAccount scratch;
    auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), scratch.path());
    voucher::BomStore& store = form->store();
    QSqlDatabase db = form->connection().database();
    const auto setting = [&](const char* pragma) {
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA ") + QString::fromLatin1(pragma));
        return query.next() ? query.value(0).toLongLong() : -1;
    };
    const qint64 cache = setting("cache_size"), map = setting("mmap_size"), temp = setting("temp_store");
    ASSERT_GT(map, 0); // the account maps its file for the reports
    ASSERT_NE(temp, 2);
    for (const bool commit : {true, false}) {
        SCOPED_TRACE(commit ? "committed" : "rolled back");
        store.beginBatch();
        EXPECT_EQ(setting("mmap_size"), 0);
        EXPECT_EQ(setting("cache_size"), -4096);
        EXPECT_EQ(setting("temp_store"), 2); // memory
        ASSERT_TRUE(store.save(withColour(commit ? QStringLiteral("紫") : QStringLiteral("灰"), 3)).saved);
        if (commit)
            store.commitBatch();
        else
            store.rollbackBatch();
        EXPECT_EQ(setting("cache_size"), cache);
        EXPECT_EQ(setting("mmap_size"), map);
        EXPECT_EQ(setting("temp_store"), temp);
    }
    EXPECT_NE(partOf(store, QStringLiteral("紫")), 0);
    EXPECT_EQ(partOf(store, QStringLiteral("灰")), 0);
}

// Each line is written with its own component, as the cycle check found it or as the write made it:
// lines of a part the account has, of a part new to it with a substitute, of the first part again,
// after a BOM of the batch refused (its savepoint rolled back) and around a BOM that ends the version before it.
TEST(BomBatch, EachLineKeepsItsOwnComponentAcrossRefusedAndSavedBoms)
{
    fake::resetRecords();
    const fake::ScratchAccount scratch;
    auto form = voucher::VoucherForm::create(QStringLiteral("BO11"), scratch.path());
    voucher::BomStore& store = form->store();
    const int plain = partOf(store, QStringLiteral("蓝")), red = partOf(store, QStringLiteral("红"));
    ASSERT_NE(plain, 0);
    ASSERT_NE(red, 0);
    ASSERT_NE(red, plain); // two known parts apart: a line's id given to another line shows
    ASSERT_NE(store.existingPartId({{QStringLiteral("cInvCode"), QStringLiteral("BS-200")}}, QString()), 0); // the cycle check reads its users

    voucher::BomDocument mixed = withColour(QStringLiteral("绿"), 3);
    mixed.lines.append(mixed.lines.first());
    mixed.lines[0].fields.insert(QStringLiteral("DInvFree_1"), QStringLiteral("蓝"));
    mixed.lines[1].substitutes = {{{QStringLiteral("DInvCode"), QStringLiteral("BK-100")}, {QStringLiteral("DInvFree_1"), QStringLiteral("橙")},
                                   {QStringLiteral("DFactor"), QStringLiteral("1")}, {QStringLiteral("DSequence"), QStringLiteral("1")}}};
    mixed.lines[2].fields.insert(QStringLiteral("DInvFree_1"), QStringLiteral("红"));
    mixed.lines[2].fields.insert(QStringLiteral("DSortSeq"), QStringLiteral("30"));

    voucher::BomDocument ownPart = withColour(QStringLiteral("蓝"), 5);
    ownPart.lines[1].fields.insert(QStringLiteral("DInvCode"), QStringLiteral("BS-200"));
    ownPart.lines[1].fields.insert(QStringLiteral("DInvFree_1"), QString());

    store.beginBatch();
    const voucher::SaveResult refused = store.save(ownPart);
    ASSERT_FALSE(refused.saved);
    EXPECT_EQ(refused.refusal.line, 2);
    const voucher::SaveResult saved = store.save(mixed);
    ASSERT_TRUE(saved.saved) << saved.refusal.text.toStdString() << " " << saved.refusal.message;
    const voucher::SaveResult later = store.save(withColour(QStringLiteral("绿"), 4)); // ends version 3 on its date
    ASSERT_TRUE(later.saved);
    store.commitBatch();

    const int green = partOf(store, QStringLiteral("绿")), orange = partOf(store, QStringLiteral("橙"));
    ASSERT_NE(green, 0);
    ASSERT_NE(orange, 0);
    ASSERT_NE(green, orange);
    QSqlQuery q(form->connection().database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT SortSeq, ComponentId, (SELECT group_concat(s.PartId) FROM bom_opcomponentsub s "
                                      "WHERE s.OpComponentId = c.OpComponentId) FROM bom_opcomponent c WHERE c.BomId = %1 ORDER BY SortSeq")
                           .arg(saved.bomId)));
    const QList<std::array<int, 3>> expected{{10, plain, 0}, {20, green, orange}, {30, red, 0}};
    for (const auto& [sortSeq, component, substitute] : expected) {
        SCOPED_TRACE(sortSeq);
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), sortSeq);
        EXPECT_EQ(q.value(1).toInt(), component);
        EXPECT_EQ(q.value(2).toInt(), substitute);
    }
    EXPECT_FALSE(q.next());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT VersionEndDate FROM bom_bom WHERE BomId = %1").arg(saved.bomId)) && q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("2026-12-01")) << "the later version with the same date ends it";
}
