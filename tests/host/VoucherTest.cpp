#include "support/FakeHost.h"
#include "support/ScriptedRefer.h"

#include "handlers/clsBO01001.h"
#include "host/db/AccountDatabase.h"
#include "host/voucher/VoucherForm.h"
#include "host/ui/DialogDriver.h"
#include "host/voucher/VoucherWindow.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Grid.h"
#include "platform/forms/HelpWindow.h"
#include "platform/ClassRegistry.h"
#include "platform/VoucherTypes.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDialog>
#include <QLineEdit>
#include <QScopeGuard>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace q7;
using namespace q7::host::voucher;
using namespace q7::component;

namespace {

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class Voucher : public testing::Test {
protected:
    void SetUp() override
    {
        fake::resetRecords();
        path = dir.filePath(QStringLiteral("account.db"));
        host::db::createDemoAccount(path);
        form = VoucherForm::create(QStringLiteral("BO11"), path);
        handler = createObject(QStringLiteral("Q7BomLib.clsBO01001"));
        form->open(handler);
    }

    VoucherControl& ctl() { return form->voucher(); }
    QString head(const char* key) { return ctl().headerText(QString::fromLatin1(key)).toString(); }
    QString body(int row, const char* key) { return ctl().bodyText(row, QString::fromLatin1(key)).toString(); }
    bool canModify(const char* key) { return ctl().itemState(QString::fromLatin1(key), VoucherControl::Body).bCanModify; }
    ItemState& headState(const char* key) { return ctl().itemState(QString::fromLatin1(key), VoucherControl::Head); }
    QVariant lastMessage() { return fake::messages()->messages.isEmpty() ? QVariant() : fake::messages()->messages.last().message; }
    QVariantList lastArguments() { return fake::messages()->messages.last().arguments; }
    int count(const QString& sql)
    {
        QSqlQuery q(form->connection().database());
        q.exec(sql);
        return q.next() ? q.value(0).toInt() : -1;
    }
    // Main BOMs need a version description to pass the voucher's check,
    // and it can only be given when the BOM is entered: the account's main
    // BOMs without one get it here, and the BOM is shown.
    void describe(int bomId)
    {
        QSqlQuery q(form->connection().database());
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE bom_bom SET VersionDesc = '标准' WHERE BomType = 1 AND VersionDesc IS NULL")));
        ASSERT_TRUE(form->loadBom(bomId));
    }
    // A new BOM of the parent with one line per component.
    void enterNew(const QString& parent, const QStringList& components)
    {
        form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
        ASSERT_TRUE(form->typeHead(QStringLiteral("cInvCode"), parent));
        for (const QString& c : components) {
            const int row = form->addRow();
            ASSERT_TRUE(form->typeBody(row, QStringLiteral("DInvCode"), c));
        }
    }

    QTemporaryDir dir;
    QString path;
    QSharedPointer<VoucherForm> form;
    Object handler;
};

TEST_F(Voucher, OpeningBindsTheHandlerAndAddsItsButtons)
{
    const auto typed = objectCast<clsBO01001>(handler);
    EXPECT_EQ(typed->listForm(), form);
    ASSERT_NE(form->buttons().button(QStringLiteral("tlbCopy")), nullptr);
    EXPECT_EQ(form->buttons().button(QStringLiteral("tlbSharing"))->caption, QStringLiteral("公用"));
    EXPECT_EQ(form->buttons().button(QStringLiteral("tlbAdd"))->style, 5);
    EXPECT_EQ(form->buttons().button(QStringLiteral("tlbAdd"))->menuKeys, QStringList{QStringLiteral("tlbAddSub")});
    EXPECT_EQ(form->info().config(QStringLiteral("RefreshDefaultField")).toList().size(), 16);
}

// The handler names the voucher's help topic at InitHelp; F1 in the window opens its page.
TEST_F(Voucher, F1InTheWindowOpensTheVoucherHelp)
{
    EXPECT_EQ(form->helpId(), 91101001);
    VoucherWindow window(form);
    window.Show();
    QTest::keyClick(window.window(), Qt::Key_F1);
    ASSERT_NE(forms::helpWindow(), nullptr);
    EXPECT_EQ(forms::helpWindow()->source().toString(), QStringLiteral("qrc:/q7help/voucher.html"));
}

TEST_F(Voucher, ToolbarStatesFollowTheStatus)
{
    struct Case {
        const char* task;
        bool copy, sharing;
    } cases[] = {{"tlbLast", false, true}, {"tlbEdit", false, false}, {"tlbCancel", false, true}, {"tlbAdd", true, false}};
    for (const Case& c : cases) {
        form->ExecuteMenuTask(QString::fromLatin1(c.task));
        EXPECT_EQ(form->buttons().isEnabled(QStringLiteral("tlbCopy")), c.copy) << c.task;
        EXPECT_EQ(form->buttons().isEnabled(QStringLiteral("tlbSharing")), c.sharing) << c.task;
    }
}

TEST_F(Voucher, ChoosingAnInventoryFillsTheListedFields)
{
    enterNew(QStringLiteral("FN-100"), {QStringLiteral("CP-400")});
    EXPECT_EQ(head("cInvName"), QStringLiteral("电风扇"));
    EXPECT_EQ(head("BStrFree_1"), QStringLiteral("true"));
    EXPECT_EQ(head("BStrFree_3"), QStringLiteral("false"));
    EXPECT_EQ(body(1, "DInvName"), QStringLiteral("电容"));
    EXPECT_EQ(body(1, "DInvUnitName"), QStringLiteral("个"));
    // An item the account does not have is refused and the field keeps its value.
    EXPECT_FALSE(form->typeBody(1, QStringLiteral("DInvCode"), QStringLiteral("NO-SUCH")));
    EXPECT_EQ(body(1, "DInvCode"), QStringLiteral("CP-400"));
}

TEST_F(Voucher, NewRowsGetTheirSixteenDefaults)
{
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400"), QStringLiteral("BL-200")});
    EXPECT_EQ(body(1, "DSortSeq"), QStringLiteral("10"));
    EXPECT_EQ(body(2, "DSortSeq"), QStringLiteral("20"));
    EXPECT_EQ(body(2, "DBaseQtyN"), QStringLiteral("1"));
    EXPECT_EQ(body(2, "DBaseQtyD"), QStringLiteral("1"));
    EXPECT_EQ(body(2, "DFVFlag"), QStringLiteral("变动"));
    EXPECT_EQ(body(2, "DQty"), QStringLiteral("1"));
    EXPECT_EQ(body(2, "DEffBegDate"), QStringLiteral("2026-12-07"));
    EXPECT_EQ(body(2, "DEffEndDate"), QStringLiteral("2099-12-31"));
    EXPECT_EQ(body(2, "DPlanRate"), QStringLiteral("100"));
    EXPECT_EQ(body(2, "DByproductFlag"), QStringLiteral("否"));
    EXPECT_EQ(ctl().QueryDataLineStatus(2), QStringLiteral("A"));
}

TEST_F(Voucher, QuantityFollowsBaseQuantityScrapAndParentScrap)
{
    struct Case {
        const char *n, *d, *scrap, *fv, *parentScrap, *qty;
    } cases[] = {
        {"2", "1", "0", "变动", "0", "2"},        {"1", "2", "10", "变动", "0", "0.55"},
        {"4", "1", "5", "固定", "20", "4.2"},     {"4", "1", "5", "变动", "20", "5.25"},
        {"3", "10", "0", "0", "50", "0.3"},       {"3", "10", "0", "1", "50", "0.6"},
    };
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400")});
    for (const Case& c : cases) {
        ASSERT_TRUE(form->typeHead(QStringLiteral("ParentScrap"), QString::fromUtf8(c.parentScrap)));
        ASSERT_TRUE(form->typeBody(1, QStringLiteral("DBaseQtyN"), QString::fromUtf8(c.n)));
        ASSERT_TRUE(form->typeBody(1, QStringLiteral("DBaseQtyD"), QString::fromUtf8(c.d)));
        ASSERT_TRUE(form->typeBody(1, QStringLiteral("DCompScrap"), QString::fromUtf8(c.scrap)));
        ASSERT_TRUE(form->typeBody(1, QStringLiteral("DFVFlag"), QString::fromUtf8(c.fv)));
        EXPECT_EQ(body(1, "DQty"), QString::fromUtf8(c.qty)) << c.n << "/" << c.d << " " << c.fv << " parent " << c.parentScrap;
    }
    // Changing only the parent's scrap recomputes every line through the handler.
    ASSERT_TRUE(form->typeHead(QStringLiteral("ParentScrap"), QStringLiteral("0")));
    EXPECT_EQ(body(1, "DQty"), QStringLiteral("0.3"));
}

TEST_F(Voucher, DropDownColumnsTakeTheirTextsOrCodes)
{
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400")});
    EXPECT_TRUE(form->typeBody(1, QStringLiteral("DWIPType"), QStringLiteral("4")));
    EXPECT_EQ(body(1, "DWIPType"), QStringLiteral("虚拟件"));
    EXPECT_FALSE(form->typeBody(1, QStringLiteral("DFVFlag"), QStringLiteral("半变动")));
    EXPECT_EQ(body(1, "DFVFlag"), QStringLiteral("变动"));
    EXPECT_TRUE(form->typeBody(1, QStringLiteral("DWhCode"), QStringLiteral("03")));
    EXPECT_EQ(body(1, "DWhName"), QStringLiteral("成品仓"));
}

TEST_F(Voucher, BomTypeDecidesRequiredAndLockedHeadFields)
{
    struct Case {
        const char* task;
        bool mainBom, adding;
    } cases[] = {{"tlbAdd", true, true}, {"tlbAddSub", false, true}};
    for (const Case& c : cases) {
        form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
        form->ExecuteMenuTask(QStringLiteral("tlbLast"));
        if (QLatin1String(c.task) == QLatin1String("tlbAdd"))
            form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
        else
            form->runTask(QString::fromLatin1(c.task));
        EXPECT_EQ(headState("Version").bIsNull, c.mainBom) << c.task;
        EXPECT_EQ(headState("IdentCode").bIsNull, !c.mainBom) << c.task;
        EXPECT_EQ(ctl().headEnabled(QStringLiteral("Version")), c.mainBom) << c.task;
        EXPECT_EQ(ctl().headEnabled(QStringLiteral("IdentCode")), !c.mainBom) << c.task;
        EXPECT_EQ(ctl().headEnabled(QStringLiteral("IdentDesc")), !c.mainBom) << c.task;
    }
    EXPECT_EQ(head("BomType"), QStringLiteral("替代BOM"));
    EXPECT_EQ(head("VersionEffDate"), QStringLiteral("2026-12-07"));
    // A substitute BOM's description stays editable while only editing.
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
    ASSERT_TRUE(form->loadBom(3));
    form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
    EXPECT_TRUE(ctl().headEnabled(QStringLiteral("IdentDesc")));
    EXPECT_FALSE(ctl().headEnabled(QStringLiteral("IdentCode")));
    EXPECT_FALSE(form->typeHead(QStringLiteral("IdentCode"), QStringLiteral("S9")));
}

TEST_F(Voucher, ParentFreeItemsAreEnabledByTheirOwnValues)
{
    enterNew(QStringLiteral("FN-100"), {});
    EXPECT_FALSE(ctl().headEnabled(QStringLiteral("InvFree_1"))); // empty: not true
    ctl().setHeaderText(QStringLiteral("InvFree_1"), QStringLiteral("1"));
    call(handler, QStringLiteral("objEvent_SetVouchItemState"));
    EXPECT_TRUE(ctl().headEnabled(QStringLiteral("InvFree_1")));
}

TEST_F(Voucher, OperationSequenceNeedsARoutingOnEveryPath)
{
    struct Case {
        const char* routing;
        bool editable;
    } cases[] = {{"", false}, {"0", false}, {"5", true}};
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400"), QStringLiteral("BL-200")});
    for (const Case& c : cases) {
        ctl().setHeaderText(QStringLiteral("PRoutingId"), QString::fromLatin1(c.routing));
        EXPECT_EQ(form->typeBody(1, QStringLiteral("DOpSeq"), QStringLiteral("0020")), c.editable) << "edit " << c.routing;
        ctl().itemState(QStringLiteral("DOpSeq"), 1).bCanModify = !c.editable;
        form->selectRow(2);
        EXPECT_EQ(canModify("DOpSeq"), c.editable) << "row change " << c.routing;
        ctl().itemState(QStringLiteral("DOpSeq"), 1).bCanModify = !c.editable;
        call(handler, QStringLiteral("objEvent_HeadColChanged"), {QStringLiteral("IdentCode")});
        EXPECT_EQ(canModify("DOpSeq"), c.editable) << "head change " << c.routing;
        form->selectRow(1);
    }
}

TEST_F(Voucher, RoutingFollowsTheParentAndTheVersionDate)
{
    struct Case {
        int bom;
        const char* routing;
    } cases[] = {{1, "1"}, {2, "2"}, {3, "2"}, {8, "7"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(form->loadBom(c.bom));
        EXPECT_EQ(head("PRoutingId"), QString::fromLatin1(c.routing)) << c.bom;
        EXPECT_TRUE(canModify("DOpSeq")) << c.bom;
    }
    // A new main BOM of the red bicycle dated before 2025 takes the old routing;
    // an operation the routing lacks is refused.
    form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    ASSERT_TRUE(form->typeHead(QStringLiteral("cInvCode"), QStringLiteral("BK-100"), {QStringLiteral("红")}));
    ASSERT_TRUE(form->typeBody(form->addRow(), QStringLiteral("DInvCode"), QStringLiteral("FR-200")));
    EXPECT_EQ(head("InvFree_1"), QStringLiteral("红"));
    EXPECT_FALSE(ctl().headEnabled(QStringLiteral("InvFree_1"))); // picked with the item, not typed
    EXPECT_EQ(head("PRoutingId"), QStringLiteral("2"));
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionEffDate"), QStringLiteral("2024-12-31")));
    EXPECT_EQ(head("PRoutingId"), QStringLiteral("1"));
    EXPECT_EQ(head("Version"), QStringLiteral("3"));
    EXPECT_TRUE(form->typeBody(1, QStringLiteral("DOpSeq"), QStringLiteral("0040")));
    EXPECT_FALSE(form->typeBody(1, QStringLiteral("DOpSeq"), QStringLiteral("0050")));
    EXPECT_EQ(body(1, "DOpSeq"), QStringLiteral("0040"));
}

TEST_F(Voucher, CheckBeforeSavingReportsTheFirstMissingValue)
{
    struct Case {
        const char* flag;
        const char* value;
        bool valid;
    } cases[] = {{"true", "", false}, {"true", "大", true}, {"false", "", true}, {"", "", true}};
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400"), QStringLiteral("BL-200")});
    for (const Case& c : cases) {
        fake::resetRecords();
        ctl().setBodyText(2, QStringLiteral("DBStrFree_3"), QString::fromLatin1(c.flag));
        ctl().setBodyText(2, QStringLiteral("DInvFree_3"), QString::fromUtf8(c.value));
        QVariantList args{true};
        raiseEvent(toObject(form->eventHandler()).data(), QStringLiteral("CheckValidate"), args);
        EXPECT_EQ(args[0].toBool(), c.valid) << c.flag << " " << c.value;
        if (!c.valid) {
            EXPECT_EQ(lastMessage().toInt(), 2510);
            EXPECT_EQ(lastArguments(), (QVariantList{2, QStringLiteral("DInvFree_3")})); // no caption: the second name
        }
    }
}

TEST_F(Voucher, SaveLoadRoundTripKeepsEveryLine)
{
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400"), QStringLiteral("BL-200")});
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionDesc"), QStringLiteral("试制")));
    ASSERT_TRUE(form->typeBody(2, QStringLiteral("DBaseQtyN"), QStringLiteral("4")));
    ASSERT_TRUE(form->typeBody(2, QStringLiteral("DEffEndDate"), QStringLiteral("2027-01-01")));
    ASSERT_TRUE(form->save());
    const int id = form->info().currentId;
    EXPECT_EQ(id, 14);
    EXPECT_EQ(head("Version"), QStringLiteral("1"));
    ASSERT_TRUE(form->loadBom(1));
    ASSERT_TRUE(form->loadBom(id));
    EXPECT_EQ(ctl().rows(), 2);
    EXPECT_EQ(body(2, "DInvCode"), QStringLiteral("BL-200"));
    EXPECT_EQ(body(2, "DQty"), QStringLiteral("4"));
    EXPECT_EQ(body(2, "DEffEndDate"), QStringLiteral("2027-01-01"));
    EXPECT_EQ(head("VersionDesc"), QStringLiteral("试制"));
    // Saving it again unchanged changes nothing stored.
    const BomDocument before = *form->store().load(id);
    form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
    ASSERT_TRUE(form->save());
    EXPECT_EQ(form->store().load(id)->lines.size(), before.lines.size());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_opcomponent WHERE BomId = 14")), 2);
}

TEST_F(Voucher, MissingRequiredHeadFieldIsRefusedBeforeTheHandlerCheck)
{
    enterNew(QStringLiteral("BS-200"), {QStringLiteral("ST-400")});
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionDesc"), QStringLiteral("试制")));
    ASSERT_TRUE(form->typeHead(QStringLiteral("VersionEffDate"), QString("")));
    EXPECT_FALSE(form->save());
    EXPECT_EQ(lastMessage().toInt(), 2509);
    ASSERT_EQ(lastArguments().size(), 1);
    EXPECT_EQ(lastArguments().first().toString(), QStringLiteral("版本日期"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_bom")), 13);
}

TEST_F(Voucher, OwnComponentIsRefusedWithItsPathAndNothingWritten)
{
    describe(7); // TB-300
    form->connection().Close();
    const QByteArray before = fileHash(path);
    form = VoucherForm::create(QStringLiteral("BO11"), path);
    form->open(handler);
    ASSERT_TRUE(form->loadBom(7));
    form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
    const int row = form->addRow();
    ASSERT_TRUE(form->typeBody(row, QStringLiteral("DInvCode"), QStringLiteral("FR-200")));
    EXPECT_FALSE(form->save());
    EXPECT_EQ(lastMessage().toInt(), 61311);
    EXPECT_EQ(lastArguments(), (QVariantList{QStringLiteral("TB-300"), QStringLiteral("TB-300 → FR-200 → FR-210 → TB-300")}));
    EXPECT_EQ(ctl().status(), int(q7::StatusEdit));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
    form->connection().Close();
    EXPECT_EQ(fileHash(path), before);
}

TEST_F(Voucher, DeleteRemovesTheBomWithItsLines)
{
    ASSERT_TRUE(form->loadBom(8));
    form->ExecuteMenuTask(QStringLiteral("tlbDelete"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_bom WHERE BomId = 8")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_opcomponent WHERE BomId = 8")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_opcomponentsub")), 0); // the wheel's substitutes
    EXPECT_EQ(form->info().currentId, 7);
}

TEST_F(Voucher, NavigationRunsThroughTheHandlersLocateStatement)
{
    struct Case {
        const char* task;
        int id;
    } cases[] = {{"tlbLast", 13}, {"tlbPrevious", 12}, {"tlbPrevious", 11}, {"tlbFirst", 1}, {"tlbPrevious", 1}, {"tlbNext", 2}};
    for (const Case& c : cases) {
        form->ExecuteMenuTask(QString::fromLatin1(c.task));
        EXPECT_EQ(form->info().currentId, c.id) << c.task;
    }
}

TEST_F(Voucher, LocateDoublesQuotesAndAddsBoundsOfFreeItems)
{
    auto filter = makeObject<LocateFilter>();
    filter->add(QStringLiteral("InvFree_2"), QStringLiteral("1"), QStringLiteral("2'X"));
    filter->add(QStringLiteral("Inventory.cInvCode"), QString(""), QString(""));
    form->info().currentId = 10;
    QVariantList args{fromObject(filter)};
    raiseEvent(toObject(form->eventHandler()).data(), QStringLiteral("Locate"), args);
    const auto locate = form->info().locate.value<q7::LocateSqlString>();
    EXPECT_TRUE(locate.SqlWhere.endsWith(QStringLiteral("and bom_bom.BomId < 10 and bas_part.PartId = v_bom_parent_rpt.ParentId"
                                                         " and bas_part.Free2 >= '1' and bas_part.Free2 <= '2''X'")))
        << locate.SqlWhere.toStdString();
    EXPECT_EQ(locate.List3, QVariantList{QStringLiteral("bom_bom.CreateUser")});
    EXPECT_EQ(form->store().locate(locate.statement()), 9); // the white fan, whose size 16寸 lies between
}

TEST_F(Voucher, LocateRefusesAFilterNameThatIsNotAColumn)
{
    auto filter = makeObject<LocateFilter>();
    filter->add(QStringLiteral("1=1 or x"), QStringLiteral("A"), QString(""));
    form->info().success = true;
    form->info().locate = QVariant();
    QVariantList args{fromObject(filter)};
    raiseEvent(toObject(form->eventHandler()).data(), QStringLiteral("Locate"), args);
    EXPECT_FALSE(form->info().success);
    EXPECT_FALSE(form->info().locate.isValid());
    EXPECT_EQ(lastMessage().toInt(), 61310);
}

TEST_F(Voucher, CopyNeedsAParentAndTakesTheChosenBomsLines)
{
    ScriptedReferScope scope;
    scope.refer().picks.insert(QStringLiteral("BomCopy"), 8);
    form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    form->runTask(QStringLiteral("tlbCopy"));
    EXPECT_TRUE(scope.refer().asked.isEmpty()); // no parent chosen: nothing at all
    EXPECT_TRUE(form->info().success);
    ASSERT_TRUE(form->typeHead(QStringLiteral("cInvCode"), QStringLiteral("BK-120")));
    ASSERT_FALSE(head("ParentId").isEmpty());
    form->runTask(QStringLiteral("tlbCopy"));
    EXPECT_EQ(scope.refer().asked, QStringList{QStringLiteral("BomCopy")});
    EXPECT_EQ(ctl().rows(), 3);
    EXPECT_EQ(body(2, "DInvCode"), QStringLiteral("SP-320"));
    EXPECT_EQ(head("cInvCode"), QStringLiteral("BK-120"));
    EXPECT_EQ(ctl().status(), int(q7::StatusAdd));
    EXPECT_EQ(ctl().QueryDataLineStatus(1), QString());
    // The person cancels the choice, or picks a BOM that is gone: the task
    // fails, the voucher stays, and the task can be started again.
    for (const QVariant& pick : {QVariant(), QVariant(99)}) {
        scope.refer().picks.clear();
        if (pick.isValid())
            scope.refer().picks.insert(QStringLiteral("BomCopy"), pick);
        form->runTask(QStringLiteral("tlbCopy"));
        EXPECT_FALSE(form->info().success) << pick.toInt();
        EXPECT_EQ(ctl().rows(), 3) << pick.toInt();
    }
    scope.refer().picks.insert(QStringLiteral("BomCopy"), 7);
    form->runTask(QStringLiteral("tlbCopy"));
    EXPECT_TRUE(form->info().success);
    EXPECT_EQ(body(1, "DInvCode"), QStringLiteral("ST-400"));
}

TEST_F(Voucher, VersionReferenceAsksWithTheParent)
{
    ScriptedReferScope scope;
    ASSERT_TRUE(form->loadBom(2));
    QVariantList args{QStringLiteral("Version"), QStringLiteral("1")};
    scope.refer().picks.insert(QStringLiteral("BomVersion"), QStringLiteral("2"));
    raiseEvent(toObject(form->eventHandler()).data(), QStringLiteral("HeadBrowUser"), args);
    EXPECT_EQ(args[1].toString(), QStringLiteral("2"));
    EXPECT_EQ(scope.refer().askedParameters.first().toList().value(1).toString(), QStringLiteral("1")); // ParentId of BK-100/红
    scope.refer().picks.clear();
    QVariantList cancelled{QStringLiteral("IdentCode"), QStringLiteral("S1")};
    raiseEvent(toObject(form->eventHandler()).data(), QStringLiteral("HeadBrowUser"), cancelled);
    EXPECT_EQ(cancelled[1].toString(), QStringLiteral("S1"));
}

TEST_F(Voucher, PopupMenuOpensOnlyItsTwoEntryForms)
{
    describe(8);
    for (int index : {0, 3}) {
        form->popupMenu(index);
        EXPECT_TRUE(form->lastEntryForm().isNull()) << index;
    }
    form->selectRow(3);
    form->popupMenu(1);
    ASSERT_FALSE(form->lastEntryForm().isNull());
    EXPECT_EQ(form->lastEntryForm()->vouType(), QStringLiteral("BO51"));
    EXPECT_EQ(form->lastEntryForm()->voucher().bodyText(1, QStringLiteral("DInvCode")).toString(), QStringLiteral("TY-331"));
    EXPECT_EQ(form->lastEntryForm()->info().currentId, 24);
}

TEST_F(Voucher, LocationDesignatorsStopAtTenRows)
{
    describe(12);
    form->popupMenu(2);
    VoucherForm& entry = *form->lastEntryForm();
    EXPECT_EQ(entry.voucher().rows(), 4);
    entry.ExecuteMenuTask(QStringLiteral("tlbEdit"));
    for (int n = 5; n <= 11; ++n)
        ASSERT_TRUE(entry.typeBody(entry.addRow(), QStringLiteral("DLoc"), QStringLiteral("C%1").arg(n)));
    EXPECT_FALSE(entry.save());
    EXPECT_EQ(lastMessage().toInt(), 3022);
    EXPECT_EQ(lastArguments(), QVariantList{10});
    entry.voucher().removeRow(11);
    EXPECT_TRUE(entry.save());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_opcomponentloc")), 10);
}

TEST_F(Voucher, SubstituteEntryChecksFlagsInAnyLetterCase)
{
    struct Case {
        const char* flag;
        bool valid;
    } cases[] = {{"TRUE", false}, {"True", false}, {"true", false}, {"false", true}, {"", true}, {"yes", true}};
    describe(8);
    form->selectRow(2);
    form->popupMenu(1);
    VoucherForm& entry = *form->lastEntryForm();
    entry.ExecuteMenuTask(QStringLiteral("tlbEdit"));
    for (const Case& c : cases) {
        fake::resetRecords();
        entry.voucher().setBodyText(1, QStringLiteral("DBStrFree_4"), QString::fromLatin1(c.flag));
        QVariantList args{true};
        raiseEvent(toObject(entry.eventHandler()).data(), QStringLiteral("CheckValidate"), args);
        EXPECT_EQ(args[0].toBool(), c.valid) << c.flag;
    }
}

TEST_F(Voucher, EditingStoredSubstitutesLocksTheirItems)
{
    describe(8);
    form->selectRow(2);
    form->popupMenu(1);
    VoucherForm& entry = *form->lastEntryForm();
    entry.ExecuteMenuTask(QStringLiteral("tlbEdit"));
    const int added = entry.addRow();
    EXPECT_TRUE(entry.voucher().itemState(QStringLiteral("DInvCode"), 1).bCanModify);
    EXPECT_TRUE(entry.typeBody(added, QStringLiteral("DInvCode"), QStringLiteral("SP-320")));
    entry.selectRow(1);
    EXPECT_FALSE(entry.voucher().itemState(QStringLiteral("DInvCode"), 1).bCanModify);
    EXPECT_FALSE(entry.voucher().itemState(QStringLiteral("DInvFree_1"), 1).bCanModify);
    EXPECT_FALSE(entry.typeBody(1, QStringLiteral("DInvCode"), QStringLiteral("TY-330")));
    ASSERT_TRUE(entry.save());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_opcomponentsub s JOIN bom_opcomponent c ON c.OpComponentId = s.OpComponentId "
                                   "WHERE c.BomId = 8 AND c.SortSeq = 20")),
              2);
}

TEST_F(Voucher, SharingTaskListsTheUsersOfACommonBom)
{
    form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    form->ExecuteMenuTask(QStringLiteral("tlbCancel"));
    form->runTask(QStringLiteral("tlbSharing")); // no parent item: refused
    EXPECT_FALSE(form->info().success);
    ASSERT_TRUE(form->loadBom(2));
    form->runTask(QStringLiteral("tlbSharing"));
    ASSERT_FALSE(form->lastEntryForm().isNull());
    VoucherForm& entry = *form->lastEntryForm();
    EXPECT_EQ(entry.vouType(), QStringLiteral("BO53"));
    EXPECT_EQ(entry.voucher().bodyText(1, QStringLiteral("DInvCode")).toString(), QStringLiteral("BK-120"));
    EXPECT_TRUE(form->info().success);
}

TEST_F(Voucher, RestrictedLoginCannotTypeAuthorityColumns)
{
    auto restricted = VoucherForm::create(QStringLiteral("BO11"), path, QStringLiteral("restricted-1"));
    restricted->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    restricted->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    const int row = restricted->addRow();
    EXPECT_FALSE(restricted->voucher().itemState(QStringLiteral("DInvCode"), 1).bVisible);
    EXPECT_FALSE(restricted->typeBody(row, QStringLiteral("DInvCode"), QStringLiteral("ST-400")));
}

TEST_F(Voucher, EntryFormsGetTheirOwnConfigurationAndButtons)
{
    describe(12);
    struct Case {
        int popup; // 0: the sharing task
        const char* type;
        int inventoryLists;
        bool referFilter;
    } cases[] = {{1, "BO51", 1, false}, {2, "BO52", 0, false}, {0, "BO53", 1, true}};
    for (const Case& c : cases) {
        if (c.popup)
            form->popupMenu(c.popup);
        else
            form->runTask(QStringLiteral("tlbSharing"));
        VoucherForm& entry = *form->lastEntryForm();
        ASSERT_EQ(entry.vouType(), QString::fromLatin1(c.type));
        EXPECT_EQ(entry.info().config(QStringLiteral("RefreshInventoryListCount")).toInt(), c.inventoryLists) << c.type;
        EXPECT_EQ(entry.info().config(QStringLiteral("ColumnReferInformations")).isValid(), c.referFilter) << c.type;
        EXPECT_TRUE(entry.buttons().isEnabled(QStringLiteral("tlbEdit"))) << c.type;
        QVariantList blank{QString()};
        raiseEvent(toObject(entry.eventHandler()).data(), QStringLiteral("ModifyMenu"), blank);
        for (const char* key : {"tlbAdd", "tlbDelete", "tlbSave", "tlbCancel", "tlbFirst", "tlbPrevious", "tlbNext", "tlbLast"})
            EXPECT_FALSE(entry.buttons().isEnabled(QString::fromLatin1(key))) << c.type << " " << key;
        QVariantList saved{QStringLiteral("tlbSave")};
        entry.buttons().SetButtonEnabled(QStringLiteral("tlbEdit"), false);
        raiseEvent(toObject(entry.eventHandler()).data(), QStringLiteral("ModifyMenu"), saved);
        EXPECT_TRUE(entry.buttons().isEnabled(QStringLiteral("tlbEdit"))) << c.type;
    }
}

TEST_F(Voucher, WindowDrivesTheVoucherThroughItsButtonsAndFields)
{
    ASSERT_TRUE(form->loadBom(8));
    VoucherWindow window(form);
    auto* grid = static_cast<forms::Grid*>(window.control(QStringLiteral("grdBody")));
    EXPECT_EQ(grid->TextMatrix(2, 1), QStringLiteral("SP-320"));
    EXPECT_EQ(grid->rows(), 4);
    call(&window, QStringLiteral("cmdTool_Click"), {0}); // 增加
    EXPECT_EQ(ctl().status(), int(q7::StatusAdd));
    EXPECT_EQ(grid->rows(), 2); // the heading and the blank row to type the first line into
    auto* code = static_cast<forms::TextBox*>(window.control(QStringLiteral("txtHead"), 0));
    auto* version = static_cast<forms::TextBox*>(window.control(QStringLiteral("txtHead"), 8));
    EXPECT_TRUE(code->isEnabled());
    code->setText(QStringLiteral("NO-SUCH"));
    QVariantList refused{0, false};
    callByName(&window, QStringLiteral("txtHead_Validate"), refused);
    EXPECT_TRUE(refused[1].toBool());
    code->setText(QStringLiteral("WH-200"));
    QVariantList accepted{0, false};
    callByName(&window, QStringLiteral("txtHead_Validate"), accepted);
    EXPECT_FALSE(accepted[1].toBool());
    EXPECT_EQ(version->text(), QStringLiteral("2")); // the next version of the wheel
}

} // namespace

TEST_F(Voucher, WindowBodyGridTakesTypedLines)
{
    describe(8); // the wheel: RM-310, SP-320 (36, 3 % scrap), TY-330
    VoucherWindow window(form);
    auto* grid = static_cast<forms::Grid*>(window.control(QStringLiteral("grdBody")));
    const auto column = [&](const char* key) {
        const QString caption = ctl().itemState(QString::fromLatin1(key), VoucherControl::Body).sFieldName;
        for (int c = 1; c < grid->cols(); ++c)
            if (grid->TextMatrix(0, c) == caption)
                return c;
        return -1;
    };
    const int qty = column("DBaseQtyN"), item = column("DInvCode");
    ASSERT_GT(qty, 0);
    ASSERT_GT(item, 0);
    grid->editCell(2, qty, QStringLiteral("40")); // browsing: the grid takes nothing
    EXPECT_EQ(body(2, "DBaseQtyN"), QStringLiteral("36"));

    form->ExecuteMenuTask(QStringLiteral("tlbEdit"));
    window.refresh();
    EXPECT_EQ(grid->rows(), 5); // heading, three lines, the blank row for a new one
    grid->editCell(2, qty, QStringLiteral("40"));
    EXPECT_EQ(body(2, "DBaseQtyN"), QStringLiteral("40"));
    EXPECT_NEAR(ctl().bodyText(2, QStringLiteral("DQty")).toDouble(), 40 * 1.03, 1e-9); // recomputed from the typed quantity
    grid->editCell(1, item, QStringLiteral("NO-SUCH")); // refused: the cell shows the line's item again
    EXPECT_EQ(grid->TextMatrix(1, item), QStringLiteral("RM-310"));
    grid->editCell(4, item, QStringLiteral("BL-200")); // typed into the blank row: a new line
    EXPECT_EQ(ctl().rows(), 4);
    EXPECT_EQ(body(4, "DInvCode"), QStringLiteral("BL-200"));
    ASSERT_TRUE(form->save());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM bom_opcomponent WHERE BomId = 8")), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT BaseQtyN FROM bom_opcomponent c JOIN bas_part p ON p.PartId = c.ComponentId "
                                   "WHERE c.BomId = 8 AND p.InvCode = 'SP-320'")),
              40);
}

TEST_F(Voucher, F2InAHeadFieldPicksFromItsReference)
{
    ScriptedReferScope scope;
    VoucherWindow window(form);
    call(&window, QStringLiteral("cmdTool_Click"), {0}); // 增加
    auto* code = static_cast<forms::TextBox*>(window.control(QStringLiteral("txtHead"), 0));
    auto* version = static_cast<forms::TextBox*>(window.control(QStringLiteral("txtHead"), 8));
    code->setText(QStringLiteral("WH-200"));
    QVariantList accepted{0, false};
    callByName(&window, QStringLiteral("txtHead_Validate"), accepted);
    ASSERT_EQ(version->text(), QStringLiteral("2"));
    scope.refer().picks.insert(QStringLiteral("BomVersion"), QStringLiteral("7"));
    version->keyDown(113, 0); // F2
    EXPECT_EQ(version->text(), QStringLiteral("7"));
    EXPECT_EQ(head("Version"), QStringLiteral("7"));
    scope.refer().picks.clear(); // cancelled: the value stays
    version->keyDown(113, 0);
    EXPECT_EQ(head("Version"), QStringLiteral("7"));
}

// Go to item walks the item's BOMs newest first through the handler's locate
// statement and comes round again; an item without BOMs, or a voucher being
// entered, leaves the shown BOM as it is.
TEST_F(Voucher, GoToItemWalksTheItemsBomsNewestFirst)
{
    ASSERT_TRUE(form->loadBom(13));
    const struct {
        const char* code;
        bool found;
        int id;
    } steps[] = {{"BK-100", true, 4}, {"BK-100", true, 3}, {"BK-100", true, 2}, {"BK-100", true, 1}, {"BK-100", true, 4},
                 {"FR-200", true, 5}, {"NO'SUCH", false, 5}, {" FR-210 ", true, 6}, {"", false, 6}};
    for (const auto& step : steps) {
        EXPECT_EQ(form->goToItem(QString::fromUtf8(step.code)), step.found) << step.code;
        EXPECT_EQ(form->info().currentId, step.id) << step.code;
    }
    EXPECT_EQ(head("cInvCode"), QStringLiteral("FR-210"));
    form->ExecuteMenuTask(QStringLiteral("tlbAdd"));
    EXPECT_FALSE(form->goToItem(QStringLiteral("BK-100")));
    EXPECT_EQ(ctl().status(), int(q7::StatusAdd));
}

TEST_F(Voucher, CtrlGInTheWindowAsksForTheItemAndShowsItsBom)
{
    ASSERT_TRUE(form->loadBom(8));
    VoucherWindow window(form);
    window.Show();
    QString typed = QStringLiteral("TB-300");
    q7::host::ui::setDialogDriver([&typed](QWidget& shown) {
        auto* dialog = qobject_cast<QDialog*>(&shown);
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>(QStringLiteral("code"))->setText(typed);
        dialog->accept();
    });
    const auto driverOff = qScopeGuard([] { q7::host::ui::setDialogDriver({}); });
    window.window()->findChild<QAction*>(QStringLiteral("goToItem"))->trigger();
    EXPECT_EQ(form->info().currentId, 7);
    EXPECT_EQ(static_cast<forms::TextBox*>(window.control(QStringLiteral("txtHead"), 0))->text(), QStringLiteral("TB-300"));
    typed = QStringLiteral("ZZ-999");
    fake::resetRecords();
    window.goToItem();
    EXPECT_EQ(form->info().currentId, 7);
    EXPECT_EQ(window.statusText(), QStringLiteral("物料 [ ZZ-999 ] 没有物料清单"));
    EXPECT_EQ(fake::messages()->messages.size(), 1);
}
