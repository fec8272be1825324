#include "support/FakeHost.h"
#include "support/ScriptedRefer.h"
#include "support/ScratchAccount.h"

#include "browse/BrowseDriver.h"
#include "browse/FrmBO02Desc.h"
#include "browse/OpenForms.h"
#include "frame/ModBOM.h"
#include "host/browse/StructureQuery.h"
#include "host/browse/ColumnFormat.h"
#include "platform/system/SystemSettings.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"
#include "platform/forms/HelpWindow.h"
#include "ui/SplitRegion.h"

#include <QCoreApplication>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace q7;
using namespace q7::forms;
using namespace q7::component;
using browse::Session;

namespace {

QList<int> shownNumbers()
{
    QList<int> numbers;
    for (const auto& m : fake::messages()->messages)
        numbers.append(m.message.toInt());
    return numbers;
}

QStringList shownTexts()
{
    QStringList texts;
    for (const auto& m : fake::messages()->messages)
        texts.append(m.text);
    return texts;
}

TreeNode* nodeWithCode(TreeView* tree, const QString& code)
{
    std::function<TreeNode*(const QList<QSharedPointer<TreeNode>>&)> find = [&](const auto& nodes) -> TreeNode* {
        for (const auto& n : nodes) {
            if (n->text().section(u' ', 0, 0) == code)
                return n.data();
            if (TreeNode* found = find(n->childNodes()))
                return found;
        }
        return nullptr;
    };
    return find(tree->roots());
}

// A demo account of its own, changed by the given statements.
QString scratchAccount(const QTemporaryDir& dir, const QStringList& statements = {})
{
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    host::db::createDemoAccount(path);
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(path));
    for (const QString& sql : statements)
        connection.executeNative(sql);
    return path;
}

class BrowseForms : public testing::Test {
protected:
    void SetUp() override { fake::resetRecords(); }
};

} // namespace

// Every node of the fully grown tree is a row of the multi-level explosion
// report for the same item, date and plan-ratio flag, in the same order with
// the same level, parent, quantity and accumulated quantity.
TEST_F(BrowseForms, GrownBicycleTreeEqualsTheExplosionReport)
{
    struct Case {
        const char* date;
        bool planRate;
    };
    const Case cases[] = {{"2026-12-07", false}, {"2026-12-07", true}, {"2025-06-30", false}, {"2025-07-01", true}, {"2027-01-01", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
        s.enterItem(QStringLiteral("BK-100"));
        s.chooseFree(1, QStringLiteral("红"));
        s.dialog().txtVersionEffDate->setText(QString::fromLatin1(c.date));
        s.dialog().txtVersion->setText(QString());
        s.dialog().cboPlanRateFlag->setListIndex(c.planRate ? 0 : 1);
        s.ok();
        s.growAll();

        struct Row {
            int level;
            QString parent, component;
            double qty, cumulative;
        };
        QList<Row> tree;
        std::function<void(TreeNode*, const QString&)> walk = [&](TreeNode* node, const QString& parentCode) {
            for (const auto& child : node->childNodes()) {
                const QString tag = child->tag.toString();
                const QStringList data = tag.section(u'&', 1).split(u'|');
                const QString code = child->text().section(u' ', 0, 0);
                tree.append({tag.section(u'&', 0, 0).mid(1).toInt() - 1, parentCode, code, data.value(2).toDouble(), data.value(3).toDouble()});
                walk(child.data(), code);
            }
        };
        walk(s.form->tvBOM->roots().first().data(), QStringLiteral("BK-100"));

        system::setToday(QDate::fromString(QString::fromLatin1(c.date), QStringLiteral("yyyy-MM-dd")));
        host::report::ReportViewer viewer(QStringLiteral("BO02004"));
        data::Connection connection;
        connection.Open(host::db::connectionStringFor(fake::demoAccountPath()));
        const auto out = viewer.run({{QStringLiteral("InvCode"), QStringLiteral("BK-100"), QStringLiteral("BK-100")},
                                     {QStringLiteral("cFree1"), QStringLiteral("红"), QStringLiteral("红")},
                                     {QStringLiteral("EffDate"), QString::fromLatin1(c.date), std::nullopt},
                                     {QStringLiteral("PlanRateFlag"), c.planRate ? QStringLiteral("是") : QStringLiteral("否"), std::nullopt}},
                                    0, &connection);
        system::setToday(QDate(2026, 12, 7));
        ASSERT_FALSE(out.refused) << out.message.toStdString();
        const auto& rs = out.rows;
        ASSERT_EQ(tree.size(), rs.rows.size());
        for (int i = 0; i < tree.size(); ++i) {
            const auto& row = rs.rows[i];
            const auto col = [&](const char* name) { return row[rs.columnIndex(QString::fromUtf8(name))]; };
            EXPECT_EQ(tree[i].level, col("层级").toInt()) << i;
            EXPECT_EQ(tree[i].parent, col("母件编码").toString()) << i;
            EXPECT_EQ(tree[i].component, col("子件编码").toString()) << i;
            EXPECT_NEAR(tree[i].qty, col("使用数量").toDouble(), 1e-9) << i;
            EXPECT_NEAR(tree[i].cumulative, col("累计用量").toDouble(), 1e-9) << i;
        }
    }
}

TEST_F(BrowseForms, OpeningNodesPlaceholdersAndByProducts)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("红"));
    s.ok();
    TreeView* tree = s.form->tvBOM;
    TreeNode* root = tree->roots().first().data();
    EXPECT_EQ(root->children(), 5); // frame, wheels, new handlebar, bolts, paint at 2026-12-07
    TreeNode* frame = nodeWithCode(tree, QStringLiteral("FR-200"));
    ASSERT_EQ(frame->children(), 1); // the placeholder
    EXPECT_TRUE(frame->childNodes().first()->text().isEmpty());
    EXPECT_EQ(nodeWithCode(tree, QStringLiteral("BL-200"))->children(), 0); // NextLevelCount 0: no placeholder

    tree->clickNode(frame); // opens: the placeholder goes, the rows come
    EXPECT_EQ(frame->children(), 2);
    EXPECT_FALSE(frame->childNodes().first()->text().isEmpty());
    tree->clickNode(frame); // two children: nothing added
    EXPECT_EQ(frame->children(), 2);
    EXPECT_TRUE(frame->expanded());

    s.growAll();
    TreeNode* swarf = nodeWithCode(tree, QStringLiteral("CH-900"));
    ASSERT_NE(swarf, nullptr);
    EXPECT_TRUE(swarf->tag.toString().endsWith(QStringLiteral("|True")));
    fake::resetRecords();
    tree->expandNode(swarf);
    EXPECT_EQ(shownNumbers(), QList<int>{40056});
    EXPECT_EQ(swarf->children(), 0);
    // levels count from the root
    QVariant level;
    s.form->iSelectItemLevel(tree->Item(ModBOM::state().strStructureRootKey), level);
    EXPECT_EQ(values::toLong(level), 1);
    EXPECT_TRUE(nodeWithCode(tree, QStringLiteral("ST-400"))->tag.toString().startsWith(QStringLiteral("L5&")));
}

TEST_F(BrowseForms, RootNodeKeyTagAndRefresh)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("蓝"));
    s.ok();
    const QString key = ModBOM::state().strStructureRootKey;
    EXPECT_TRUE(key.startsWith(QStringLiteral("L1&")));
    TreeNode* root = s.form->tvBOM->roots().first().data();
    EXPECT_EQ(root->key(), key);
    EXPECT_EQ(root->tag.toString(), key);
    EXPECT_EQ(root->text(), QStringLiteral("BK-100 自行车 [蓝] 版本1"));
    s.growAll();
    const int grown = s.form->tvBOM->count();
    s.form->Toolbar1->click(QStringLiteral("refresh"));
    EXPECT_EQ(root->children(), 3);
    EXPECT_LT(s.form->tvBOM->count(), grown);
    // a second window of the mode takes the shared root key and query: this
    // one keeps its tree and says why instead of failing
    {
        Session other(QStringLiteral("BO02001"), fake::demoAccountPath());
        other.enterItem(QStringLiteral("FR-200"));
        other.ok();
        ASSERT_NE(ModBOM::state().strStructureRootKey, key);
        s.growAll();
        const int kept = s.form->tvBOM->count();
        fake::resetRecords();
        EXPECT_EQ(fake::errorOf([&] { s.form->Toolbar1->click(QStringLiteral("refresh")); }), 0);
        EXPECT_EQ(s.form->tvBOM->count(), kept);
        EXPECT_EQ(fake::messages()->messages.size(), 1);
        other.form->Unload();
        other.form.reset();
    }
    // closing the window resets the root key and releases the query object
    s.form->Unload();
    EXPECT_EQ(ModBOM::state().strStructureRootKey, QStringLiteral("-1"));
    EXPECT_TRUE(ModBOM::state().objStructureQuery.isNull());
    s.form.reset();
}

TEST_F(BrowseForms, ConditionTextsOfBothModes)
{
    struct Case {
        const char* menuKey;
        const char* item;
        const char* free1;
        const char* version;
        int queryType;
        int planRate;
        const char* expected;
    };
    const Case cases[] = {
        {"BO02001", "BK-100", "红", "", 0, 1, "BK-100|红||||||||||2|2026-12-07|1|0"},
        {"BO02001", "BK-100", "红", "1", 1, 0, "BK-100|红||||||||||1|2026-12-07|0|1"},
        {"BO02001", "ST-400", "", "", 0, 1, "ST-400|||||||||||-1|2026-12-07|1|0"}, // no BOM: version -1
        {"BO02002", "PT-220", "", "", 0, 0, "PT-220|||||||||||2026-12-07|1"},
        {"BO02002", "FN-100", "黑", "", 0, 1, "FN-100|黑|16寸|||||||||2026-12-07|0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Session s(QString::fromLatin1(c.menuKey), fake::demoAccountPath());
        s.enterItem(QString::fromUtf8(c.item));
        if (*c.free1)
            s.chooseFree(1, QString::fromUtf8(c.free1));
        if (s.dialog().cboFree[2]->isEnabled())
            s.chooseFree(2, QStringLiteral("16寸"));
        if (*c.version)
            s.dialog().txtVersion->setText(QString::fromLatin1(c.version));
        else if (s.dialog().txtVersion->isVisible())
            s.dialog().LookupVersion();
        s.dialog().cboQueryType->setListIndex(c.queryType);
        s.dialog().cboPlanRateFlag->setListIndex(c.planRate);
        const QString condition = s.dialog().BuildCondition();
        EXPECT_EQ(condition, QString::fromUtf8(c.expected));
        EXPECT_EQ(condition.count(u'|') + 1, QString::fromLatin1(c.menuKey) == QLatin1String("BO02001") ? 15 : 13);
    }
}

TEST_F(BrowseForms, WhereUsedDialogHidesTheStructureFields)
{
    Session s(QStringLiteral("BO02002"), fake::demoAccountPath());
    FrmBO02001Cond& d = s.dialog();
    for (Control* c : QList<Control*>{d.lblHint[11], d.txtVersion, d.cmdVerRef, d.lblHint[13], d.cboQueryType})
        EXPECT_FALSE(c->isVisible()) << c->name().toStdString();
    EXPECT_EQ(d.lblHint[14]->top(), d.lblHint[12]->top());
    EXPECT_EQ(d.cboPlanRateFlag->top(), d.txtVersionEffDate->top());
    EXPECT_EQ(d.txtVersionEffDate->left(), d.txtVersion->left());
    EXPECT_EQ(d.lblInvCode->caption(), QStringLiteral("子件编码 "));
    EXPECT_EQ(d.MvFrmCaptionMgr->caption, QStringLiteral("子件用途查询-多阶 过滤"));
    EXPECT_EQ(s.form->MvFrmCaptionMgr->caption, QStringLiteral("子件用途查询-多阶"));

    s.enterItem(QStringLiteral("PT-220"));
    s.ok();
    const QStringList lines = s.treeLines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("PT-220 油漆"));
    EXPECT_TRUE(lines.contains(QStringLiteral("  FR-200 车架组件  0.315 升")));
    s.growAll();
    // the frame's users: both bicycles and the export bicycle sharing the red one's BOM
    EXPECT_TRUE(s.treeLines().contains(QStringLiteral("    BK-120 自行车(出口型)  1.020408163 套")));
    EXPECT_EQ(s.form->Voucher->headKeys().first(), QStringLiteral("cInvCode"));
}

TEST_F(BrowseForms, RefusedInputKeepsTheDialogOpen)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    FrmBO02001Cond& d = s.dialog();
    // blank item code
    s.ok();
    EXPECT_EQ(shownNumbers(), QList<int>{40025});
    EXPECT_EQ(fake::messages()->messages.first().arguments.value(0).toString(), QStringLiteral("母件编码 "));
    EXPECT_TRUE(d.isVisible());
    // an enabled free item without a value
    fake::resetRecords();
    s.enterItem(QStringLiteral("BK-100"));
    s.ok();
    EXPECT_EQ(shownNumbers(), QList<int>{40025});
    EXPECT_EQ(fake::messages()->messages.first().arguments.value(0).toString(), QStringLiteral("颜色"));
    EXPECT_TRUE(s.form->tvBOM->roots().isEmpty());
    // an unknown item: message, field emptied, lists cleared, focus stays
    fake::resetRecords();
    s.enterItem(QStringLiteral("XX-999"));
    EXPECT_EQ(shownNumbers(), QList<int>{40005});
    EXPECT_TRUE(d.txtInvCode->text().isEmpty());
    EXPECT_EQ(d.cboFree[1]->listCount(), 0);
    // a version that is not a number cancels without a message
    fake::resetRecords();
    QVariant cancel = false;
    d.txtVersion->setText(QStringLiteral("v2"));
    d.txtVersion_Validate(cancel);
    EXPECT_TRUE(values::toBoolean(cancel));
    EXPECT_TRUE(shownNumbers().isEmpty());
    // a date that is not a date becomes the login date
    d.txtVersionEffDate->setText(QStringLiteral("2026-13-40"));
    EXPECT_TRUE(d.txtVersionEffDate->leave());
    EXPECT_EQ(d.txtVersionEffDate->text(), QStringLiteral("2026-12-07"));
    d.txtVersionEffDate->setText(QStringLiteral("2025/7/1"));
    EXPECT_TRUE(d.txtVersionEffDate->leave());
    EXPECT_EQ(d.txtVersionEffDate->text(), QStringLiteral("2025/7/1"));
    // the edit boxes refuse the separators
    d.txtInvCode->setText(QString());
    d.txtInvCode->type(QStringLiteral("B'K|1&0,0<>\""));
    EXPECT_EQ(d.txtInvCode->text(), QStringLiteral("BK100"));
}

TEST_F(BrowseForms, NothingFoundShowsTheMessageAndKeepsTheTree)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("红"));
    s.ok();
    const QStringList before = s.treeLines();
    s.form->rFilter();
    s.enterItem(QStringLiteral("ST-400")); // bought: no BOM
    fake::resetRecords();
    s.ok();
    EXPECT_EQ(shownTexts(), QStringList{QStringLiteral("该物料没有维护物料清单资料！\r\n或没有查询到符合条件的物料清单资料！")});
    EXPECT_FALSE(s.dialog().isVisible());
    EXPECT_EQ(s.treeLines(), before);
}

TEST_F(BrowseForms, AnswerWithoutAmpersandIsTheFirstField)
{
    const QString id = QString::fromLatin1(host::browse::StructureQueryClassId);
    for (const char* answer : {"-1", "7"}) {
        SCOPED_TRACE(answer);
        auto recorder = makeObject<fake::Recorder>();
        recorder->answers.insert(QStringLiteral("SetConditionValue"), [answer](QVariantList&) { return QString::fromLatin1(answer); });
        ClassRegistry::instance().registerClass(id, [recorder] { return Object(recorder); });
        Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
        s.enterItem(QStringLiteral("BL-200"));
        fake::resetRecords();
        s.ok();
        ClassRegistry::instance().registerClass(id, [] { return Object(makeObject<host::browse::StructureQuery>()); });
        if (QLatin1String(answer) == QLatin1String("-1")) {
            EXPECT_EQ(shownTexts().size(), 1);
            EXPECT_TRUE(s.form->tvBOM->roots().isEmpty());
        } else {
            ASSERT_EQ(s.form->tvBOM->roots().size(), 1);
            EXPECT_EQ(s.form->tvBOM->roots().first()->key(), QStringLiteral("L1&7"));
            EXPECT_EQ(s.form->tvBOM->roots().first()->text(), QStringLiteral("7"));
        }
    }
}

TEST_F(BrowseForms, CancelClosesTheWindowOnlyOnItsFirstOpening)
{
    {
        // the user cancels the dialog that opens with the window
        Form::setModalDriver([](Form& dialog) {
            if (auto* condition = qobject_cast<FrmBO02001Cond*>(&dialog))
                condition->cdmCancel->click();
        });
        Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
        Form::setModalDriver({});
        EXPECT_FALSE(s.form->isVisible());
        EXPECT_TRUE(s.form->conditionDialog().isNull()); // let go with the window
    }
    {
        Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
        s.enterItem(QStringLiteral("BK-100"));
        s.chooseFree(1, QStringLiteral("红"));
        s.ok();
        EXPECT_FALSE(ModBOM::state().bOpenFilterOnActivate);
        s.form->Toolbar1->click(QStringLiteral("filter"));
        s.dialog().cdmCancel->click();
        EXPECT_TRUE(s.form->isVisible());
        // F3 in the tree opens the dialog again
        const Object before = s.form->conditionDialog();
        s.form->tvBOM->keyDown(114);
        EXPECT_NE(s.form->conditionDialog(), before);
        const Object second = s.form->conditionDialog();
        s.form->Voucher->keyDown(114); // and so does F3 in the voucher
        EXPECT_NE(s.form->conditionDialog(), second);
        const Object third = s.form->conditionDialog();
        s.form->tvBOM->keyDown(115); // F4: nothing
        EXPECT_EQ(s.form->conditionDialog(), third);
    }
}

TEST_F(BrowseForms, FreeItemRowsFollowTheUserDefinitions)
{
    struct Case {
        const char* name;
        QStringList statements;
        int visibleRows;
        bool frameShown;
    };
    const QList<Case> cases{
        {"demo: two named", {}, 2, true},
        {"no rows at all", {QStringLiteral("DELETE FROM UserDef")}, 10, false},
        {"every name blank", {QStringLiteral("UPDATE UserDef SET cItemName = ''")}, 0, false},
        {"four named", {QStringLiteral("UPDATE UserDef SET cItemName = '批次' WHERE cID IN (28, 29)")}, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        Session s(QStringLiteral("BO02001"), scratchAccount(dir, c.statements));
        FrmBO02001Cond& d = s.dialog();
        int visible = 0;
        for (int i = 1; i <= 10; ++i)
            visible += d.cboFree[i]->isVisible() && d.lblHint[i]->isVisible() ? 1 : 0;
        EXPECT_EQ(visible, c.visibleRows);
        EXPECT_EQ(d.Frame1->isVisible(), c.frameShown);
        EXPECT_EQ(d.cmdOK->top(), d.Frame2->top() + d.Frame2->height() + 10);
        EXPECT_EQ(d.cdmCancel->top(), d.cmdOK->top());
    }
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    EXPECT_EQ(s.dialog().lblHint[1]->caption(), QStringLiteral("颜色"));
    EXPECT_EQ(s.dialog().Frame2->top(), s.dialog().cboFree[5]->top()); // free items 1 and 2 in use
}

TEST_F(BrowseForms, QuotesInListValuesAreDoubled)
{
    QTemporaryDir dir;
    const QString path = scratchAccount(dir, {QStringLiteral("INSERT INTO bas_part (PartId, InvCode, Free1) VALUES (90, 'BK-100', 'O''Neil')"),
                                              QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) "
                                                             "VALUES (90, 1, 7, '2020-01-01', '2099-12-31')"),
                                              QStringLiteral("INSERT INTO bom_parent (BomId, ParentId) VALUES (90, 90)"),
                                              QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) "
                                                             "VALUES (90, 90, 7, 10, 2)")});
    Session s(QStringLiteral("BO02001"), path);
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("O'Neil"));
    fake::resetRecords();
    QVariant cancel = false;
    s.dialog().cboFree_Validate(1, cancel);
    EXPECT_EQ(s.dialog().txtVersion->text(), QStringLiteral("7"));
    EXPECT_EQ(s.dialog().GetPartId(), 90);
    s.ok();
    EXPECT_TRUE(shownTexts().isEmpty());
    EXPECT_EQ(s.treeLines(), (QStringList{QStringLiteral("BK-100 自行车 [O'Neil] 版本7"), QStringLiteral("  ST-400 钢材  2 千克")}));
}

// An item code put into the field as a whole (pasted, or picked from a list), then Enter.
void pasteItem(Session& s, const QString& code)
{
    FrmBO02001Cond& d = s.dialog();
    d.txtInvCode->SetFocus();
    d.txtInvCode->setText(code);
    d.txtInvCode->keyDown(13, 0);
}

// An item code with a quote is found (its quote doubled in every statement
// of the dialog); a code shaped like an injection is only a code nobody has.
TEST_F(BrowseForms, ItemCodesWithQuotesAreFoundAndInjectionsAreNot)
{
    QTemporaryDir dir;
    const QString path = scratchAccount(dir, {QStringLiteral("CREATE TEMP TABLE item AS SELECT * FROM Inventory WHERE cInvCode = 'BS-200'"),
                                              QStringLiteral("UPDATE item SET cInvCode = 'Q''7', cInvName = '引号件'"),
                                              QStringLiteral("INSERT INTO Inventory SELECT * FROM item"),
                                              QStringLiteral("INSERT INTO bas_part (PartId, InvCode) VALUES (91, 'Q''7')"),
                                              QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionEffDate, VersionEndDate) "
                                                             "VALUES (91, 1, 3, '2020-01-01', '2099-12-31')"),
                                              QStringLiteral("INSERT INTO bom_parent (BomId, ParentId) VALUES (91, 91)"),
                                              QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) "
                                                             "VALUES (91, 91, 7, 10, 2)")});
    {
        Session s(QStringLiteral("BO02001"), path);
        fake::resetRecords();
        s.enterItem(QStringLiteral("Q'7")); // typed, the quote is refused
        EXPECT_EQ(s.dialog().txtInvCode->text(), QString()) << "Q7 is no item";
        fake::resetRecords();
        pasteItem(s, QStringLiteral("Q'7"));
        EXPECT_TRUE(s.dialog().bInvCodeValid);
        EXPECT_EQ(s.dialog().txtVersion->text(), QStringLiteral("3"));
        s.ok();
        EXPECT_TRUE(shownTexts().isEmpty()) << shownTexts().join(u'|').toStdString();
        EXPECT_EQ(s.treeLines(), (QStringList{QStringLiteral("Q'7 引号件 版本3"), QStringLiteral("  ST-400 钢材  2 千克")}));
    }
    for (const char* menu : {"BO02001", "BO02002"}) {
        Session s(QString::fromLatin1(menu), path);
        for (const char* injection : {"x' OR '1'='1", "x' OR ''='", "Q'7' --"}) {
            fake::resetRecords();
            pasteItem(s, QString::fromLatin1(injection));
            EXPECT_FALSE(s.dialog().bInvCodeValid) << menu << ' ' << injection;
            EXPECT_EQ(shownNumbers(), QList<int>{40005}) << menu << ' ' << injection; // "not found", and nothing else
            EXPECT_TRUE(s.dialog().txtInvCode->text().isEmpty()) << injection;
        }
    }
    Session used(QStringLiteral("BO02002"), path);
    used.enterItem(QStringLiteral("ST-400"));
    used.ok();
    EXPECT_TRUE(used.treeLines().contains(QStringLiteral("  Q'7 引号件  2 千克"))) << used.treeLines().join(u'\n').toStdString();
}

TEST_F(BrowseForms, CyclesAreCutAndMarked)
{
    QTemporaryDir dir;
    // the tube's BOM now needs a frame assembly: FR-200 → FR-210 → TB-300 → FR-200
    Session s(QStringLiteral("BO02001"), scratchAccount(dir, {QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, "
                                                                             "BaseQtyN, BaseQtyD) VALUES (99, 7, 4, 30, 1, 1)")}));
    s.enterItem(QStringLiteral("FR-200"));
    s.ok();
    s.growAll();
    const QStringList lines = s.treeLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("      FR-200 车架组件  1 套 (循环)"))) << lines.join(u'\n').toStdString();
    EXPECT_EQ(nodeWithCode(s.form->tvBOM, QStringLiteral("ST-400"))->children(), 0);
}

TEST_F(BrowseForms, ShowDataWithAnswersThatAreNotXml)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("红"));
    s.ok();
    const int rows = s.form->Voucher->bodyRows();
    ASSERT_EQ(rows, 5);
    struct Case {
        const char* head;
        const char* detail;
        QStringList messages;
        int rowsAfter;
    };
    const QList<Case> cases{
        {"", "<mvinterface/>", {}, 5},                                        // empty head: voucher untouched
        {"<mvinterface><Row cInvCode=\"X\"/></mvinterface>", "没有数据", {QStringLiteral("没有数据")}, 5},
        {"查询失败", "<mvinterface/>", {QStringLiteral("查询失败")}, 5},
        {"<mvinterface><Row cInvCode=\"X\"/></mvinterface>", "<mvinterface><Row OrgRowNo=\"1\"/></mvinterface>", {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        auto query = makeObject<fake::Recorder>();
        const QString head = QString::fromUtf8(c.head), detail = QString::fromUtf8(c.detail);
        query->answers.insert(QStringLiteral("GetHeadXML"), [head](QVariantList&) { return head; });
        query->answers.insert(QStringLiteral("GetTreeViewXML"), [](QVariantList&) { return QString(); });
        query->answers.insert(QStringLiteral("GetDetailXML"), [detail](QVariantList&) { return detail; });
        ModBOM::state().objStructureQuery = query;
        fake::resetRecords();
        QVariant form = fromObject(s.form);
        s.form->ShowData(form);
        EXPECT_EQ(shownTexts(), c.messages);
        EXPECT_EQ(s.form->Voucher->bodyRows(), c.rowsAfter);
    }
}

TEST_F(BrowseForms, VoucherAreaAndScrollBars)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("BK-100"));
    s.chooseFree(1, QStringLiteral("红"));
    s.ok();
    FrmBO02001& f = *s.form;
    const double natural = f.naturalVoucherWidth();
    // a document of some length
    auto query = makeObject<fake::Recorder>();
    query->answers.insert(QStringLiteral("GetHeadXML"), [](QVariantList&) { return QStringLiteral("<mvinterface><Row cInvCode=\"BK-100\"/></mvinterface>"); });
    query->answers.insert(QStringLiteral("GetTreeViewXML"), [](QVariantList&) { return QString(); });
    query->answers.insert(QStringLiteral("GetDetailXML"), [](QVariantList&) {
        QString rows;
        for (int i = 1; i <= 30; ++i)
            rows += QStringLiteral("<Row OrgRowNo=\"%1\" SortSeq=\"%1\"/>").arg(i);
        return QStringLiteral("<mvinterface>") + rows + QStringLiteral("</mvinterface>");
    });
    struct Case {
        bool longDocument;
        double formWidth, formHeight;
        bool vertical, horizontal;
    };
    // a voucher stretched to its pane has no horizontal slack, and a long one then gets both bars
    const Case cases[] = {{false, 30000, 12000, false, false}, {false, 12000, 12000, false, true},
                          {true, 30000, 8000, true, true},     {true, 12000, 8000, true, true},
                          {true, 30000, 30000, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formWidth);
        if (c.longDocument) {
            ModBOM::state().objStructureQuery = query;
            QVariant form = fromObject(s.form);
            f.ShowData(form);
        }
        f.setWidthTwips(c.formWidth);
        f.setHeightTwips(c.formHeight);
        EXPECT_EQ(f.VScroll->isVisible(), c.vertical);
        EXPECT_EQ(f.HScroll->isVisible(), c.horizontal);
        const double expectedWidth = f.Picture1->widthTwips() > natural ? f.Picture1->widthTwips() : natural; // narrower: stretched to the pane
        EXPECT_EQ(f.Voucher->widthTwips(), expectedWidth);
        EXPECT_EQ(f.picPatch->isVisible(), c.vertical && c.horizontal);
        if (c.vertical) {
            EXPECT_EQ(f.verticalRange(), f.VScroll->max());
        }
        if (c.horizontal) {
            EXPECT_EQ(f.horizontalRange(), f.HScroll->max());
        }
    }
    // scrolling moves the voucher by whole steps
    const double restingTop = f.Voucher->topTwips();
    f.VScroll->setValue(f.VScroll->max());
    EXPECT_LT(f.Voucher->topTwips(), restingTop);
    f.HScroll->setValue(1);
    EXPECT_LT(f.Voucher->leftTwips(), f.HScroll->leftTwips());
    // a range of 0 scrolls nothing and raises nothing
    f.setWidthTwips(30000);
    f.setHeightTwips(30000);
    EXPECT_FALSE(f.VScroll->isVisible());
    f.VScroll->setMax(0);
    f.HScroll->setMax(0);
    f.spr_RepositionSplit();
    EXPECT_EQ(f.verticalRange(), 0);
    const double top = f.Voucher->topTwips(), left = f.Voucher->leftTwips();
    ASSERT_EQ(fake::errorOf([&] { f.VScroll_Scroll(); f.HScroll_Scroll(); }), 0);
    EXPECT_EQ(f.Voucher->topTwips(), top);
    EXPECT_EQ(f.Voucher->leftTwips(), left);
    // the minimum size of the window
    f.setWidthTwips(3000);
    f.setHeightTwips(2000);
    EXPECT_EQ(f.widthTwips(), 7200);
    EXPECT_EQ(f.heightTwips(), 5400);
}

TEST_F(BrowseForms, RightClickOnABodyRowShowsItsSubstitutes)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("WH-200"));
    s.ok();
    VoucherControl* voucher = s.form->Voucher;
    ASSERT_EQ(voucher->bodyRows(), 3); // rim, spokes, tyre
    voucher->bodyMouseDown(1, LeftButton);
    EXPECT_TRUE(OpenForms::find(QStringLiteral("frmbo02desc")).isNull()); // left button: nothing
    voucher->bodyMouseDown(2, RightButton);
    auto desc = objectCast<FrmBO02Desc>(OpenForms::find(QStringLiteral("frmBO02Desc")));
    ASSERT_TRUE(desc);
    EXPECT_EQ(desc->MvFrmCaptionMgr->caption, QStringLiteral("子件替代料"));
    ASSERT_EQ(desc->grd->rows(), 2);
    EXPECT_EQ(desc->grd->TextMatrix(1, 1), QStringLiteral("SP-321"));
    EXPECT_EQ(desc->grd->TextMatrix(0, 1), QStringLiteral("替代料编码"));
    EXPECT_EQ(ModBOM::state().lStructureDescRow, values::toLong(voucher->GetBodyValue(2, QStringLiteral("OrgRowNo"))));
    // the rim has no substitutes: the same window shows no rows
    voucher->bodyMouseDown(1, RightButton);
    EXPECT_EQ(OpenForms::find(QStringLiteral("frmBO02Desc")), desc);
    EXPECT_EQ(desc->grd->rows(), 1);
    // hiding a column through the settings persists it and shows the last row again
    host::browse::ColumnFormat::setEditor([](QList<host::browse::ColumnFormat::Setting>& settings) {
        settings[0].visible = false;
        return true;
    });
    voucher->bodyMouseDown(3, RightButton);
    desc->Toolbar1->click(QStringLiteral("column"));
    host::browse::ColumnFormat::setEditor({});
    EXPECT_EQ(desc->grd->ColWidth(0), 0);
    EXPECT_EQ(desc->grd->rows(), 2);
    EXPECT_EQ(desc->grd->TextMatrix(1, 1), QStringLiteral("TY-331"));
    desc->Toolbar1->click(QStringLiteral("exit"));
    EXPECT_TRUE(OpenForms::find(QStringLiteral("frmBO02Desc")).isNull());
}

TEST_F(BrowseForms, FirstActivationOpensTheDialogAndCaptionsSelectTheMode)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    EXPECT_TRUE(s.form->conditionDialog());
    EXPECT_FALSE(ModBOM::state().bOpenFilterOnActivate);
    EXPECT_EQ(s.form->caption(), QStringLiteral("母件结构查询-多阶"));
    EXPECT_EQ(s.form->lblTitle->caption(), QStringLiteral("物料清单"));
    EXPECT_TRUE(s.form->Voucher->title().isEmpty());
    QStringList keys;
    for (const auto& b : s.form->Toolbar1->buttons())
        keys.append(b->key);
    EXPECT_EQ(keys, (QStringList{"filter", "tlbSeparator1", "refresh", "tlbSeparator2", "help", "exit"}));
    EXPECT_EQ(s.form->popupMenu().toList(), QVariantList{QStringLiteral("子件替代料")});
    EXPECT_TRUE(s.form->spr->isVisible());
    EXPECT_FALSE(s.form->icon().isNull()); // the host's window icon
    // a caption of neither mode unloads the window at activation
    s.form->MvFrmCaptionMgr->caption = QStringLiteral("other");
    s.form->Show();
    EXPECT_FALSE(s.form->isVisible());
}

// The title bar's close unloads the substitutes window: the next right click
// opens it again instead of filling a hidden one.
TEST_F(BrowseForms, TheSubstitutesWindowShowsAgainAfterItsTitleBarClose)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("WH-200"));
    s.ok();
    s.form->Voucher->bodyMouseDown(2, RightButton);
    auto desc = objectCast<FrmBO02Desc>(OpenForms::find(QStringLiteral("frmBO02Desc")));
    ASSERT_TRUE(desc);
    EXPECT_TRUE(desc->isVisible());
    EXPECT_TRUE(desc->window()->close());
    EXPECT_FALSE(desc->isVisible());
    EXPECT_TRUE(OpenForms::find(QStringLiteral("frmBO02Desc")).isNull());
    s.form->Voucher->bodyMouseDown(3, RightButton);
    auto again = objectCast<FrmBO02Desc>(OpenForms::find(QStringLiteral("frmBO02Desc")));
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->isVisible());
    EXPECT_TRUE(again->window()->isVisible());
    EXPECT_EQ(again->grd->TextMatrix(1, 1), QStringLiteral("TY-331"));
    again->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the forms that left the list go
}

// Closed by its title bar, the browse window lets go of its query object and root key.
TEST_F(BrowseForms, TheBrowseWindowsTitleBarCloseReleasesItsQueryAndRootKey)
{
    for (const char* mode : {"BO02001", "BO02002"}) {
        SCOPED_TRACE(mode);
        Session s(QString::fromLatin1(mode), fake::demoAccountPath());
        s.enterItem(QStringLiteral("WH-200"));
        s.ok();
        const bool structure = ModBOM::state().bStructureMode;
        ASSERT_FALSE((structure ? ModBOM::state().objStructureQuery : ModBOM::state().objWhereUsedQuery).isNull());
        EXPECT_TRUE(s.form->window()->close());
        EXPECT_FALSE(s.form->isVisible());
        EXPECT_EQ(structure ? ModBOM::state().strStructureRootKey : ModBOM::state().strWhereUsedRootKey, QStringLiteral("-1"));
        EXPECT_TRUE((structure ? ModBOM::state().objStructureQuery : ModBOM::state().objWhereUsedQuery).isNull());
    }
}

// F2 pressed in the item field asks the item reference, as the button beside it does.
TEST_F(BrowseForms, F2InTheItemFieldOpensItsReference)
{
    ScriptedReferScope scripted;
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.dialog().txtInvCode->setText(QStringLiteral("BK"));
    QTest::keyClick(s.dialog().txtInvCode->widget(), Qt::Key_F2);
    ASSERT_EQ(scripted.refer().asked.size(), 1);
    EXPECT_EQ(scripted.refer().askedParameters.value(0).toList().value(0).toString(), QStringLiteral("BK"));
    s.form->Unload();
    s.form.reset();
}

// BOMs saved while a where-used browse is open, on the browse's date: a new
// parent's BOM and a parent's new version begin that day, and a line of the
// old parent ends that day. Refreshing the tree, or opening a node shown
// before the save, lists the same parents in the tree and in the document
// pane, as the account holds them now; the day before, the ended line and
// the old version still hold and the new BOMs do not yet.
TEST_F(BrowseForms, WhereUsedTreeAndPaneAgreeOnBomsSavedOnTheBrowsesDate)
{
    struct Case {
        const char* date;
        const char* opened; // the node opened after the save; "" refreshes the root
        QStringList users;  // parent=quantity, in tree and pane alike
    };
    const Case cases[] = {
        {"2026-12-07", "", {QStringLiteral("BS-200=3")}},                 // TB-300's line ended, BS-200's BOM begun
        {"2026-12-06", "", {QStringLiteral("TB-300=1.2")}},               // the line's last day, the day before the new BOM
        {"2026-12-07", "TB-300", {QStringLiteral("FR-210=2")}},           // FR-210's version 2 from its first day
        {"2026-12-06", "TB-300", {QStringLiteral("FR-210=3.09090909")}},  // version 1's last day (3 with its scraps)
    };
    const auto entry = [](const QString& code, double qty) { return code + u'=' + QString::number(qty, 'g', 9); };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.date) + " " + c.opened);
        fake::resetRecords();
        fake::ScratchAccount scratch;
        Session s(QStringLiteral("BO02002"), scratch.path(), QDate::fromString(QString::fromLatin1(c.date), Qt::ISODate));
        s.enterItem(QStringLiteral("ST-400"));
        s.ok(); // on the login date
        ASSERT_EQ(s.treeLines().size(), 3); // ST-400, TB-300 and its placeholder
        TreeNode* shown = c.opened[0] ? nodeWithCode(s.form->tvBOM, QString::fromLatin1(c.opened)) : s.form->tvBOM->roots().first().data();
        ASSERT_NE(shown, nullptr);

        scratch.execute(QStringLiteral(
            "INSERT INTO bom_bom (BomId, BomType, Version, VersionDesc, VersionEffDate, VersionEndDate) VALUES (900, 1, 1, '新', '2026-12-07', '2099-12-31');"
            "INSERT INTO bom_parent (BomId, ParentId) SELECT 900, PartId FROM bas_part WHERE InvCode = 'BS-200';"
            "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) SELECT 9000, 900, PartId, 10, 3 FROM bas_part WHERE InvCode = 'ST-400';"
            "UPDATE bom_opcomponent SET EffEndDate = '2026-12-07' WHERE OpComponentId = 20;" // TB-300 uses ST-400 until then
            "INSERT INTO bom_bom (BomId, BomType, Version, VersionDesc, VersionEffDate, VersionEndDate) VALUES (901, 1, 2, '新', '2026-12-07', '2099-12-31');"
            "INSERT INTO bom_parent (BomId, ParentId) SELECT 901, PartId FROM bas_part WHERE InvCode = 'FR-210';"
            "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) SELECT 9010, 901, PartId, 10, 2 FROM bas_part WHERE InvCode = 'TB-300';"
            "UPDATE bom_bom SET VersionEndDate = '2026-12-07' WHERE BomId = 6;")); // FR-210's version 1 ends where 2 begins
        if (c.opened[0])
            s.form->tvBOM->clickNode(shown);
        else
            s.form->Toolbar1->click(QStringLiteral("refresh"));

        QStringList tree, pane;
        for (const auto& child : shown->childNodes())
            tree << entry(child->text().section(u' ', 0, 0), child->tag.toString().section(u'&', 1).split(u'|').value(2).toDouble());
        VoucherControl* voucher = s.form->Voucher;
        for (int r = 1; r <= voucher->bodyRows(); ++r)
            pane << entry(voucher->GetBodyValue(r, QStringLiteral("cInvCode")).toString(), voucher->GetBodyValue(r, QStringLiteral("Qty")).toDouble());
        EXPECT_EQ(tree, c.users) << "tree";
        EXPECT_EQ(pane, c.users) << "pane";
        EXPECT_TRUE(shownTexts().isEmpty()) << shownTexts().join(u'|').toStdString();
    }
}

// The help button posts F1 to the window: the help opens on the page of the
// browse mode; the substitutes window has no page of its own and opens the index.
TEST_F(BrowseForms, HelpButtonsOpenThePageOfTheMode)
{
    struct Case {
        const char* menuKey;
        int context;
        const char* page;
    };
    const Case cases[] = {{"BO02001", 91102001, "browse-structure.html"}, {"BO02002", 91102002, "browse-whereused.html"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menuKey);
        Session s(QString::fromLatin1(c.menuKey), fake::demoAccountPath());
        EXPECT_EQ(getProperty(s.form.data(), QStringLiteral("HelpContextID")).toInt(), c.context);
        s.enterItem(QStringLiteral("WH-200"));
        s.ok();
        s.form->Toolbar1->click(QStringLiteral("help"));
        QCoreApplication::sendPostedEvents();
        ASSERT_NE(helpWindow(), nullptr);
        EXPECT_TRUE(helpWindow()->isVisible());
        EXPECT_EQ(helpWindow()->source().toString(), QStringLiteral("qrc:/q7help/") + QString::fromLatin1(c.page));
    }
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("WH-200"));
    s.ok();
    s.form->Voucher->bodyMouseDown(2, RightButton);
    auto desc = objectCast<FrmBO02Desc>(OpenForms::find(QStringLiteral("frmBO02Desc")));
    ASSERT_TRUE(desc);
    desc->Toolbar1->click(QStringLiteral("help"));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(helpWindow()->source().toString(), QStringLiteral("qrc:/q7help/index.html"));
    desc->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
