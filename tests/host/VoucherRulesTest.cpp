#include "support/FakeHost.h"

#include "host/db/AccountDatabase.h"
#include "host/voucher/BomDocument.h"
#include "host/voucher/VoucherForm.h"
#include "host/voucher/VoucherXml.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/VoucherTypes.h"

#include <QSqlQuery>
#include <QTemporaryDir>

using namespace q7;
using namespace q7::host::voucher;

namespace {

class VoucherRules : public testing::Test {
protected:
    void SetUp() override
    {
        fake::resetRecords();
        path = dir.filePath(QStringLiteral("account.db"));
        host::db::createDemoAccount(path);
        form = VoucherForm::create(QStringLiteral("BO11"), path);
        form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    }
    QVariantMap columnRule(int index) { return form->info().config(QStringLiteral("RefreshColumnList"), index).toMap(); }

    QTemporaryDir dir;
    QString path;
    QSharedPointer<VoucherForm> form;
};

TEST_F(VoucherRules, ColumnRulesHaveTheirCountsSourcesAndTargets)
{
    struct Case {
        int sourceCount, targetCount;
        const char* firstSource;
        const char* lastTarget;
    } cases[] = {{15, 3, "cInvCode", "PRoutingId"}, {4, 1, "DBaseQtyN", "DQty"}, {12, 14, "DInvCode", "DSubDate"},
                 {9, 9, "DCompScrap", "DMutexRule"}, {1, 1, "DWhCode", "DWhName"},     {1, 1, "DDeptCode", "DDeptName"}};
    ASSERT_EQ(form->info().config(QStringLiteral("RefreshColumnListCount")).toInt(), 6);
    for (int i = 0; i < 6; ++i) {
        const QVariantMap rule = columnRule(i);
        const QStringList sources = rule.value(QStringLiteral("Sources")).toStringList();
        const QStringList targets = rule.value(QStringLiteral("Targets")).toStringList();
        EXPECT_EQ(rule.value(QStringLiteral("SourceCount")).toInt(), cases[i].sourceCount) << i;
        EXPECT_EQ(rule.value(QStringLiteral("TargetCount")).toInt(), cases[i].targetCount) << i;
        EXPECT_EQ(sources.size(), cases[i].sourceCount) << i;
        EXPECT_EQ(sources.first(), QString::fromLatin1(cases[i].firstSource)) << i;
        EXPECT_EQ(targets.last(), QString::fromLatin1(cases[i].lastTarget)) << i;
    }
    EXPECT_EQ(columnRule(0).value(QStringLiteral("Sources")).toStringList().last(), QStringLiteral("VersionEffDate"));
}

TEST_F(VoucherRules, DropDownListsAndAuthorityAndReferences)
{
    struct Case {
        const char* column;
        int kind;
    } cases[] = {{"BomType", 3}, {"DMutexRule", 4}, {"DByproductFlag", 0}, {"DAccuCostFlag", 0},
                 {"DOptionalFlag", 0}, {"DFVFlag", 2}, {"DWIPType", 1}};
    const QVariantList entries = form->info().config(QStringLiteral("DropDownListColumnField")).toMap().value(QStringLiteral("Entries")).toList();
    ASSERT_EQ(entries.size(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(entries[i].toMap().value(QStringLiteral("Column")).toString(), QString::fromLatin1(cases[i].column));
        EXPECT_EQ(entries[i].toMap().value(QStringLiteral("Kind")).toInt(), cases[i].kind);
    }
    const QVariantList auth = form->info().config(QStringLiteral("ColumnAuthControl")).toMap().value(QStringLiteral("Entries")).toList();
    ASSERT_EQ(auth.size(), 2);
    EXPECT_EQ(auth[1].toMap().value(QStringLiteral("Column")).toString(), QStringLiteral("CreateUser"));
    EXPECT_EQ(auth[1].toMap().value(QStringLiteral("Kind")).toInt(), 1);
    const QVariantMap refer = form->info().config(QStringLiteral("ColumnReferInformations")).toMap().value(QStringLiteral("Entries")).toList().value(1).toMap();
    EXPECT_EQ(refer.value(QStringLiteral("Filter")).toString(), QStringLiteral("bpurchase <> 1 or bsale <> 0 or bself <> 0"));
    EXPECT_EQ(refer.value(QStringLiteral("Kind")).toString(), QStringLiteral("Inventory"));
    EXPECT_EQ(form->info().config(QStringLiteral("VoucherTemplateField")).toString(), QStringLiteral("VoucherTemplateID"));
    const QVariantList menu = form->info().config(QStringLiteral("PopupMenuLists")).toMap().value(QStringLiteral("Entries")).toList();
    EXPECT_EQ(menu, (QVariantList{QStringLiteral("替代料"), QStringLiteral("定位符")}));
}

TEST_F(VoucherRules, LocateWithBlankBoundsAndTheFiltersOwnCondition)
{
    struct Case {
        const char* from;
        const char* to;
        const char* sql;
        const char* tail;
    } cases[] = {
        {"", "", "", "and bom_bom.BomId < 5"},
        {"", "BK-2", "", "and bom_bom.BomId < 5 and Inventory.cInvCode <= 'BK-2'"},
        {"O'N", "", "bom_bom.BomType = 1", "and bom_bom.BomId < 5 and Inventory.cInvCode >= 'O''N' and (bom_bom.BomType = 1)"},
    };
    for (const Case& c : cases) {
        auto filter = makeObject<LocateFilter>();
        filter->add(QStringLiteral("Inventory.cInvCode"), QString::fromLatin1(c.from), QString::fromLatin1(c.to));
        filter->sqlString = QString::fromLatin1(c.sql);
        form->info().currentId = 5;
        QVariantList args{fromObject(filter)};
        raiseEvent(toObject(form->eventHandler()).data(), QStringLiteral("Locate"), args);
        const auto locate = form->info().locate.value<q7::LocateSqlString>();
        EXPECT_TRUE(locate.SqlWhere.endsWith(QString::fromLatin1(c.tail))) << locate.SqlWhere.toStdString();
        EXPECT_EQ(locate.SqlFrom, QStringLiteral("From bom_bom,v_bom_parent_rpt,Inventory "));
        EXPECT_EQ(locate.VouchType, QStringLiteral("BO11"));
        EXPECT_NO_THROW(form->store().locate(locate.statement())) << c.tail;
    }
}

TEST(VoucherLists, TextsAndCodesConvertBothWays)
{
    struct Case {
        int kind;
        const char* code;
        const char* text;
    } cases[] = {{0, "1", "是"}, {0, "0", "否"}, {1, "4", "虚拟件"}, {2, "0", "固定"}, {2, "1", "变动"}, {3, "2", "替代BOM"}, {4, "3", "任选"}};
    for (const Case& c : cases) {
        EXPECT_EQ(lists::codeToText(c.kind, QString::fromLatin1(c.code)), QString::fromUtf8(c.text));
        EXPECT_EQ(lists::textToCode(c.kind, QString::fromUtf8(c.text)), QString::fromLatin1(c.code));
        EXPECT_EQ(lists::textToCode(c.kind, QString::fromLatin1(c.code)), QString::fromLatin1(c.code));
    }
    EXPECT_EQ(lists::textToCode(2, QStringLiteral("半变动")), QStringLiteral("半变动")); // not in the list: kept, refused by the voucher
    // each list's texts in order; a kind with no list has none
    const std::pair<int, QStringList> listTexts[] = {{0, {QStringLiteral("是"), QStringLiteral("否")}},
                                                 {1, {QStringLiteral("入库倒冲"), QStringLiteral("工序倒冲"), QStringLiteral("领用"), QStringLiteral("虚拟件")}},
                                                 {2, {QStringLiteral("固定"), QStringLiteral("变动")}},
                                                 {3, {QStringLiteral("主BOM"), QStringLiteral("替代BOM")}},
                                                 {4, {QStringLiteral("单选"), QStringLiteral("全选"), QStringLiteral("任选"), QStringLiteral("至少选一")}},
                                                 {5, {}},
                                                 {-1, {}}};
    for (const auto& [kind, texts] : listTexts)
        EXPECT_EQ(lists::texts(kind), texts) << kind;
}

TEST(VoucherXmlText, RowsKeepQuotesAnglesAndBlanks)
{
    const QList<QVariantMap> rows{{{QStringLiteral("DInvCode"), QStringLiteral("A'\"<&>")}, {QStringLiteral("DRemark"), QStringLiteral(" 两 端 ")}},
                                  {{QStringLiteral("DInvCode"), QStringLiteral("B")}}};
    bool ok = false;
    EXPECT_EQ(rowsFromXml(rowsToXml(rows), &ok), rows);
    EXPECT_TRUE(ok);
    rowsFromXml(QStringLiteral("服务器错误"), &ok);
    EXPECT_FALSE(ok);
    XmlDocument document;
    EXPECT_FALSE(document.loadXML(QStringLiteral("<mvinterface><Row")));
    EXPECT_TRUE(document.xml().isEmpty());
}

TEST(ComponentQuantity, FixedAndVariableLines)
{
    EXPECT_DOUBLE_EQ(componentQuantity(3, 10, 5, false, 20), 0.315);
    EXPECT_DOUBLE_EQ(componentQuantity(3, 10, 5, true, 20), 0.39375);
    EXPECT_DOUBLE_EQ(componentQuantity(1, 0, 0, true, 0), 0.0); // no denominator: nothing
}

} // namespace

// A refused save names the row and the field at fault, whether the handler's
// body check or the store refused it, and the user is shown the message.
TEST_F(VoucherRules, ARefusedSaveNamesTheRowAndFieldAtFault)
{
    struct Case {
        const char* parent;
        const char* component; // typed into row 1
        int message;
        const char* field;
        const char* shown;
    } cases[] = {
        {"FR-200", "FR-200", 61311, "DInvCode", "母件 [ FR-200 ] 不能成为自己的子件"},
        {"FR-200", "BK-100", 2510, "DInvFree_1", "第 1 行 [ 子件颜色 ] 必须输入！"}, // the bicycle is made in colours
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.component);
        fake::resetRecords();
        ASSERT_TRUE(form->ShowBom(QString::fromUtf8(c.parent)));
        form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
        ASSERT_TRUE(form->typeBody(1, QStringLiteral("DInvCode"), QString::fromUtf8(c.component)));
        EXPECT_FALSE(form->save());
        const Refusal& refusal = form->lastRefusal();
        EXPECT_EQ(refusal.message, c.message);
        EXPECT_EQ(refusal.line, 1);
        EXPECT_EQ(refusal.field, QString::fromUtf8(c.field));
        ASSERT_EQ(fake::messages()->messages.size(), 1);
        EXPECT_TRUE(fake::messages()->messages.first().text.startsWith(QString::fromUtf8(c.shown)))
            << fake::messages()->messages.first().text.toStdString();
        EXPECT_EQ(form->voucher().status(), q7::StatusEdit);
        form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
    }
}

// The handler's row check reads every row at once: an empty row is passed over but still
// counts, the first row at fault is named, and a free item is needed only where its part uses it.
TEST_F(VoucherRules, TheRowCheckNamesTheFirstRowAtFaultCountingEmptyRows)
{
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> third; // typed into row 3 (row 1 stays empty)
        bool saved;
        const char* shown;
    } cases[] = {
        {"a component without its free item", {{"DInvCode", "BK-100"}}, false, "第 3 行 [ 子件颜色 ] 必须输入！"},
        {"a remark without a component", {{"DRemark", "待定"}}, false, "第 3 行 [ "},
        {"a component whose free item is filled", {{"DInvCode", "BK-100"}, {"DInvFree_1", "红"}}, true, ""},
        {"a component that uses no free item", {{"DInvCode", "SP-320"}}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::resetRecords();
        ASSERT_TRUE(form->ShowBom(QStringLiteral("PL-100"))); // which the bicycle is not made into
        form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
        while (form->voucher().rows() > 0)
            form->voucher().removeRow(form->voucher().rows());
        form->addRow(); // left empty
        ASSERT_TRUE(form->typeBody(form->addRow(), QStringLiteral("DInvCode"), QStringLiteral("ST-400")));
        const int third = form->addRow();
        for (const auto& [key, value] : c.third)
            ASSERT_TRUE(form->typeBody(third, QString::fromLatin1(key), QString::fromUtf8(value))) << key;
        EXPECT_EQ(form->save(), c.saved);
        if (c.saved) {
            EXPECT_TRUE(fake::messages()->messages.isEmpty()) << form->lastRefusal().text.toStdString();
            continue;
        }
        EXPECT_EQ(form->lastRefusal().message, 2510);
        EXPECT_EQ(form->lastRefusal().line, 3);
        ASSERT_EQ(fake::messages()->messages.size(), 1);
        EXPECT_TRUE(fake::messages()->messages.first().text.startsWith(QString::fromUtf8(c.shown))) << fake::messages()->messages.first().text.toStdString();
        form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
    }
}

namespace {

// Rows entered in memory (enterRows) read field for field as the same cells
// typed one by one into added rows (typeBody): the computed columns (the
// quantity, the warehouse's and the department's names) are computed once
// per entered row, and must come out as typing leaves them whatever order
// the cells come in.

// A new BOM of FR-200 with a parent scrap, so that the quantity depends on the head too.
void startBom(VoucherForm& form)
{
    form.ExecuteMenuTask(QStringLiteral("tlbAdd"));
    ASSERT_TRUE(form.typeHead(QStringLiteral("cInvCode"), QStringLiteral("FR-200")));
    ASSERT_TRUE(form.typeHead(QStringLiteral("ParentScrap"), QStringLiteral("20")));
}

using Cells = VoucherForm::Cells;

Cells cells(std::initializer_list<std::pair<const char*, const char*>> list)
{
    Cells result;
    for (const auto& [key, value] : list)
        result.append({QString::fromLatin1(key), QString::fromUtf8(value)});
    return result;
}

TEST_F(VoucherRules, EnteredRowsReadAsTheSameCellsTypedOneByOne)
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

    startBom(*form);
    for (const Cells& row : rows) {
        const int r = form->addRow();
        for (const auto& [key, value] : row)
            form->typeBody(r, key, value);
    }
    QList<QVariantMap> typed;
    for (int r = 1; r <= form->voucher().rows(); ++r)
        typed.append(form->voucher().row(r));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));

    startBom(*form);
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
TEST_F(VoucherRules, TheDocumentHoldsTheRowsFieldsWithoutTheHiddenOnes)
{
    startBom(*form);
    form->enterRows({cells({{"DInvCode", "ST-400"}, {"DBaseQtyN", "2"}}), cells({{"DInvCode", "TY-330"}})});
    const QVariantList substitutes{QVariantMap{{QStringLiteral("DInvCode"), QStringLiteral("TY-331")}}};
    form->voucher().setBodyText(2, QStringLiteral("_Substitutes"), substitutes);
    form->voucher().setBodyText(2, QStringLiteral("_Locations"), QStringList{QStringLiteral("R1"), QStringLiteral("R2")});

    const BomDocument document = form->document();
    ASSERT_EQ(document.lines.size(), 2);
    EXPECT_EQ(document.lines[0].fields, form->voucher().rowFields(1)); // nothing hidden: the row as it is
    QVariantMap second = form->voucher().row(2);
    second.remove(QStringLiteral("_Substitutes"));
    second.remove(QStringLiteral("_Locations"));
    EXPECT_EQ(document.lines[1].fields.toMap(), second);
    EXPECT_FALSE(document.lines[1].fields.contains(QStringLiteral("_Substitutes")));
    ASSERT_EQ(document.lines[1].substitutes.size(), 1);
    EXPECT_EQ(document.lines[1].substitutes[0].value(QStringLiteral("DInvCode")).toString(), QStringLiteral("TY-331"));
    EXPECT_EQ(document.lines[1].locations, (QStringList{QStringLiteral("R1"), QStringLiteral("R2")}));
    EXPECT_TRUE(document.lines[0].substitutes.isEmpty());
    EXPECT_FALSE(document.head.contains(QStringLiteral("_Users")));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
}

// An item's fields are made once while the store hands out the same inventory row: outside a
// batch every typing reads the item anew (a name changed in between shows), within a batch the
// item is read once, and the next batch reads it again.
TEST_F(VoucherRules, AnItemsFieldsFollowItsInventoryRow)
{
    QSqlQuery rename(form->connection().database());
    ASSERT_TRUE(rename.prepare(QStringLiteral("UPDATE Inventory SET cInvName = ? WHERE cInvCode = 'ST-400'")));
    const auto renameTo = [&](const QString& name) {
        rename.addBindValue(name);
        ASSERT_TRUE(rename.exec());
    };
    const auto nameOfRow = [&](int r) { return form->voucher().bodyText(r, QStringLiteral("DInvName")).toString(); };

    startBom(*form);
    form->enterRows({cells({{"DInvCode", "ST-400"}}), cells({{"DInvCode", "TY-330"}})});
    const QString first = nameOfRow(1);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_NE(nameOfRow(2), first);
    renameTo(QStringLiteral("改名一"));
    form->enterRows({cells({{"DInvCode", "ST-400"}})});
    EXPECT_EQ(nameOfRow(3), QStringLiteral("改名一")) << "typed outside a batch: the item as it is now";
    EXPECT_EQ(nameOfRow(1), first);
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));

    for (const QString& name : {QStringLiteral("改名二"), QStringLiteral("改名三")}) {
        SCOPED_TRACE(name.toStdString());
        form->store().beginBatch();
        renameTo(name);
        startBom(*form);
        form->enterRows({cells({{"DInvCode", "ST-400"}, {"DBaseQtyN", "2"}}), cells({{"DInvCode", "TY-330"}})});
        renameTo(QStringLiteral("批内改名"));
        form->enterRows({cells({{"DInvCode", "ST-400"}})});
        EXPECT_EQ(nameOfRow(1), name);
        EXPECT_EQ(nameOfRow(3), name) << "a batch reads an item once";
        EXPECT_EQ(form->voucher().row(3).value(QStringLiteral("DInvStd")), form->voucher().row(1).value(QStringLiteral("DInvStd")));
        form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
        form->store().rollbackBatch();
    }
}

} // namespace
