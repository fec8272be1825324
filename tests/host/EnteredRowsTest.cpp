// Rows entered in memory (enterRows) read field for field as the same cells
// typed one by one into added rows (typeBody): the computed columns (the
// quantity, the warehouse's and the department's names) are computed once
// per entered row, and must come out as typing leaves them whatever order
// the cells come in.
#include "support/FakeHost.h"

#include "host/db/AccountDatabase.h"
#include "host/voucher/VoucherForm.h"
#include "platform/ClassRegistry.h"
#include "platform/VoucherTypes.h"

#include <QTemporaryDir>

using namespace q7;
using namespace q7::host::voucher;

namespace {

class EnteredRows : public testing::Test {
protected:
    void SetUp() override
    {
        fake::resetRecords();
        path = dir.filePath(QStringLiteral("account.db"));
        host::db::createDemoAccount(path);
        form = VoucherForm::create(QStringLiteral("BO11"), path);
        form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    }
    // A new BOM of FR-200 with a parent scrap, so that the quantity depends on the head too.
    void startBom()
    {
        form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
        ASSERT_TRUE(form->typeHead(QStringLiteral("cInvCode"), QStringLiteral("FR-200")));
        ASSERT_TRUE(form->typeHead(QStringLiteral("ParentScrap"), QStringLiteral("20")));
    }

    QTemporaryDir dir;
    QString path;
    QSharedPointer<VoucherForm> form;
};

using Cells = VoucherForm::Cells;

Cells cells(std::initializer_list<std::pair<const char*, const char*>> list)
{
    Cells result;
    for (const auto& [key, value] : list)
        result.append({QString::fromLatin1(key), QString::fromUtf8(value)});
    return result;
}

TEST_F(EnteredRows, ReadAsTheSameCellsTypedOneByOne)
{
    const QList<Cells> rows{
        // the usual order: component first, then what computes the quantity and the names
        cells({{"DSortSeq", "10"}, {"DInvCode", "ST-400"}, {"DBaseQtyN", "3"}, {"DBaseQtyD", "4"}, {"DCompScrap", "12.5"}, {"DFVFlag", "变动"},
               {"DWhCode", "01"}, {"DDeptCode", "02"}}),
        // the quantity's sources before the component (which computes it again), a fixed line
        cells({{"DBaseQtyN", "2"}, {"DFVFlag", "固定"}, {"DCompScrap", "5"}, {"DInvCode", "TY-330"}, {"DWhCode", "03"}}),
        // a warehouse typed, then its code typed again to another one; a department the account lacks
        cells({{"DInvCode", "SP-320"}, {"DWhCode", "01"}, {"DDeptCode", "99"}, {"DWhCode", "02"}}),
        // a refused drop-down text leaves the quantity as the rest makes it; a component the account lacks
        cells({{"DInvCode", "NO-SUCH"}, {"DFVFlag", "半变"}, {"DBaseQtyD", "0"}}),
        // the defaults only: the quantity of a new row
        cells({{"DInvCode", "BL-200"}}),
        // the quantity typed before one of its sources: the sources win, as when typed
        cells({{"DInvCode", "CP-400"}, {"DQty", "99"}, {"DBaseQtyN", "7"}}),
        // the quantity typed after its sources
        cells({{"DInvCode", "CP-400"}, {"DBaseQtyN", "7"}, {"DQty", "99"}}),
    };

    startBom();
    for (const Cells& row : rows) {
        const int r = form->addRow();
        for (const auto& [key, value] : row)
            form->typeBody(r, key, value);
    }
    QList<QVariantMap> typed;
    for (int r = 1; r <= form->voucher().rows(); ++r)
        typed.append(form->voucher().row(r));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));

    startBom();
    const QList<QStringList> refused = form->enterRows(rows);
    ASSERT_EQ(form->voucher().rows(), typed.size());
    for (int r = 1; r <= form->voucher().rows(); ++r) {
        SCOPED_TRACE(r);
        const QVariantMap entered = form->voucher().row(r);
        EXPECT_EQ(entered.keys(), typed[r - 1].keys());
        for (auto it = typed[r - 1].cbegin(); it != typed[r - 1].cend(); ++it)
            EXPECT_EQ(entered.value(it.key()).toString(), it.value().toString()) << it.key().toStdString();
    }
    // what the quantity reads: 3/4 with 12.5 % scrap over a parent scrap of 20 %
    EXPECT_NE(form->voucher().bodyText(1, QStringLiteral("DQty")).toString(), form->voucher().bodyText(5, QStringLiteral("DQty")).toString());
    EXPECT_EQ(form->voucher().bodyText(1, QStringLiteral("DWhName")).toString(), QStringLiteral("原料仓"));
    EXPECT_EQ(form->voucher().bodyText(3, QStringLiteral("DWhName")).toString(), QStringLiteral("半成品仓"));
    EXPECT_EQ(refused.value(3), (QStringList{QStringLiteral("DInvCode"), QStringLiteral("DFVFlag")}));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
}

// The document a save checks and writes holds each row's fields without the hidden ones
// (a line's substitutes and designators go with the line, not among its fields).
TEST_F(EnteredRows, TheDocumentHoldsTheRowsFieldsWithoutTheHiddenOnes)
{
    startBom();
    form->enterRows({cells({{"DInvCode", "ST-400"}, {"DBaseQtyN", "2"}}), cells({{"DInvCode", "TY-330"}})});
    const QVariantList substitutes{QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("TY-331")}}};
    form->voucher().setBodyText(2, QStringLiteral("_Substitutes"), substitutes);
    form->voucher().setBodyText(2, QStringLiteral("_Locations"), QStringList{QStringLiteral("R1"), QStringLiteral("R2")});

    const BomDocument document = form->document();
    ASSERT_EQ(document.lines.size(), 2);
    EXPECT_EQ(document.lines[0].fields, form->voucher().row(1)); // nothing hidden: the row as it is
    QVariantMap second = form->voucher().row(2);
    second.remove(QStringLiteral("_Substitutes"));
    second.remove(QStringLiteral("_Locations"));
    EXPECT_EQ(document.lines[1].fields, second);
    EXPECT_FALSE(document.lines[1].fields.contains(QStringLiteral("_Substitutes")));
    ASSERT_EQ(document.lines[1].substitutes.size(), 1);
    EXPECT_EQ(document.lines[1].substitutes[0].value(QStringLiteral("DInvCode")).toString(), QStringLiteral("TY-331"));
    EXPECT_EQ(document.lines[1].locations, (QStringList{QStringLiteral("R1"), QStringLiteral("R2")}));
    EXPECT_TRUE(document.lines[0].substitutes.isEmpty());
    EXPECT_FALSE(document.head.contains(QStringLiteral("_Users")));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
}

} // namespace
