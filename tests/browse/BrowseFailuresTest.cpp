// Failures that must reach the user in the browse windows: a database or a
// query object that cannot answer is shown by its description, never taken
// for "not found" or "nothing".

#include "support/FakeHost.h"

#include "browse/BrowseDriver.h"
#include "browse/FrmBO02Desc.h"
#include "browse/OpenForms.h"
#include "frame/ModBOM.h"
#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/data/Ado.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace q7;
using namespace q7::forms;
using namespace q7::component;
using browse::Session;

namespace {

QStringList shownTexts()
{
    QStringList texts;
    for (const auto& m : fake::messages()->messages)
        texts.append(m.text);
    return texts;
}

QList<int> shownNumbers()
{
    QList<int> numbers;
    for (const auto& m : fake::messages()->messages)
        numbers.append(m.message.toInt());
    return numbers;
}

// A demo account of its own in dir.
QString scratchAccount(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    host::db::createDemoAccount(path);
    return path;
}

// Runs a statement on the session's own connection: a table dropped there is
// gone for every later look-up of the dialog.
void breakTable(const Session& s, const QString& table)
{
    s.account->connectionObject()->executeNative(QStringLiteral("DROP TABLE ") + table);
}

class BrowseFailures : public testing::Test {
protected:
    void SetUp() override { fake::resetRecords(); }
};

} // namespace

// Leaving the item field: an unknown code is refused with 40005 and emptied;
// a database that cannot run the look-up shows its own error and keeps the
// code as typed, unconfirmed, with the focus still in the field.
TEST_F(BrowseFailures, ItemLookupThatFailsIsNotAnUnknownItem)
{
    struct Case {
        const char* name;
        const char* code;
        bool breakParts;
        QList<int> numbers; // resource numbers shown (0: a text)
        QString textAfter;
    };
    const QList<Case> cases{
        {"known item", "BK-100", false, {}, QStringLiteral("BK-100")},
        {"unknown item", "ZZ-999", false, {40005}, QString()},
        {"parts table unreadable", "BK-100", true, {0}, QStringLiteral("BK-100")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        Session s(QStringLiteral("BO02001"), scratchAccount(dir));
        if (c.breakParts)
            breakTable(s, QStringLiteral("bas_part"));
        fake::resetRecords();
        EXPECT_EQ(fake::errorOf([&] { s.enterItem(QString::fromLatin1(c.code)); }), 0);
        FrmBO02001Cond& d = s.dialog();
        EXPECT_EQ(shownNumbers(), c.numbers);
        EXPECT_EQ(d.txtInvCode->text(), c.textAfter);
        EXPECT_EQ(d.bInvCodeValid, c.numbers.isEmpty());
        if (c.breakParts) {
            ASSERT_EQ(shownTexts().size(), 1);
            EXPECT_TRUE(shownTexts().first().contains(QStringLiteral("bas_part"))) << shownTexts().first().toStdString();
            for (int i = 1; i <= 10; ++i)
                EXPECT_EQ(d.cboFree[i]->listCount(), 0);
        }
    }
}

// OK with an empty version looks up the item's version first. When that
// look-up fails the error is shown and the dialog stays open: no query is
// made without the version.
TEST_F(BrowseFailures, VersionLookupThatFailsKeepsTheDialogOpen)
{
    for (const bool broken : {false, true}) {
        SCOPED_TRACE(broken ? "bom table unreadable" : "bom table readable");
        QTemporaryDir dir;
        Session s(QStringLiteral("BO02001"), scratchAccount(dir));
        s.enterItem(QStringLiteral("WH-200"));
        FrmBO02001Cond& d = s.dialog();
        ASSERT_FALSE(d.txtVersion->text().isEmpty()); // found on leaving the item field
        d.txtVersion->setText(QString());
        if (broken)
            breakTable(s, QStringLiteral("bom_bom"));
        fake::resetRecords();
        EXPECT_EQ(fake::errorOf([&] { s.ok(); }), 0);
        EXPECT_EQ(d.isVisible(), broken);
        EXPECT_EQ(ModBOM::state().objStructureQuery.isNull(), broken);
        EXPECT_TRUE(s.form->tvBOM->roots().isEmpty() == broken);
        if (broken) {
            ASSERT_EQ(shownTexts().size(), 1);
            EXPECT_TRUE(shownTexts().first().contains(QStringLiteral("bom_bom"))) << shownTexts().first().toStdString();
            EXPECT_TRUE(d.txtVersion->text().isEmpty());
        } else {
            EXPECT_TRUE(shownTexts().isEmpty());
        }
    }
}

// A node's last data field says whether the item is an output product. A
// field that is no truth value is an error of the query's answer: shown, and
// the node is not loaded.
TEST_F(BrowseFailures, OutputProductFlagThatIsNoTruthValue)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("WH-200"));
    s.ok();
    struct Case {
        const char* key;
        QList<int> numbers; // resource numbers shown (0: a text)
        QString text;       // the text shown, when one is
        bool loaded;
    };
    const QList<Case> cases{
        {"L2&17|3|1|1|False", {}, {}, true},
        {"L2&17|3|1|1|True", {40056}, {}, false},
        {"L2&17|3|1|1|0", {}, {}, true},
        {"L2&17|3|1|1|yes", {0}, QStringLiteral("Type mismatch"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        auto query = makeObject<fake::Recorder>();
        for (const char* member : {"GetHeadXML", "GetTreeViewXML", "GetDetailXML"})
            query->answers.insert(QString::fromLatin1(member), [](QVariantList&) { return QString(); });
        ModBOM::state().objStructureQuery = query;
        fake::resetRecords();
        QVariant key = QString::fromLatin1(c.key);
        s.form->LoadData(key);
        EXPECT_EQ(shownNumbers(), c.numbers);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(shownTexts(), QStringList{c.text});
        }
        EXPECT_EQ(query->log.contains(QStringLiteral("LoadData(17|3|1|1|") + QString::fromLatin1(c.key).section(u'|', -1) + u')'), c.loaded)
            << query->log.join(u' ').toStdString();
    }
}

// The substitutes window: an answer that is empty or not XML leaves the grid
// as it was; a query object that fails is shown and the grid keeps no rows of
// the component asked before.
TEST_F(BrowseFailures, SubstitutesQueryThatFailsIsShown)
{
    Session s(QStringLiteral("BO02001"), fake::demoAccountPath());
    s.enterItem(QStringLiteral("WH-200"));
    s.ok();
    s.form->Voucher->bodyMouseDown(2, RightButton); // the spokes: one substitute
    auto desc = objectCast<FrmBO02Desc>(OpenForms::find(QStringLiteral("frmBO02Desc")));
    ASSERT_TRUE(desc);
    ASSERT_EQ(desc->grd->rows(), 2);
    const int spokes = ModBOM::state().lStructureDescRow;
    struct Case {
        const char* name;
        std::function<QVariant(QVariantList&)> answer;
        QStringList texts;
        int rowsAfter;
    };
    const QList<Case> cases{
        {"empty answer", [](QVariantList&) { return QString(); }, {}, 2},
        {"answer that is not XML", [](QVariantList&) { return QStringLiteral("查询失败"); }, {}, 2},
        {"query object fails",
         [](QVariantList&) -> QVariant { throw AutomationError(ErrProvider, QStringLiteral("与数据库的连接已断开")); },
         {QStringLiteral("与数据库的连接已断开")},
         1},
    };
    const Object real = ModBOM::state().objStructureQuery;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto query = makeObject<fake::Recorder>();
        query->answers.insert(QStringLiteral("GetComponentSubXML"), c.answer);
        ModBOM::state().objStructureQuery = query;
        QVariant refill = spokes;
        ModBOM::state().objStructureQuery = real;
        desc->ShowData(refill); // the spokes' row again
        ASSERT_EQ(desc->grd->rows(), 2);
        ModBOM::state().objStructureQuery = query;
        fake::resetRecords();
        QVariant row = 7;
        EXPECT_EQ(fake::errorOf([&] { desc->ShowData(row); }), 0);
        EXPECT_EQ(shownTexts(), c.texts);
        EXPECT_EQ(desc->grd->rows(), c.rowsAfter);
        EXPECT_EQ(ModBOM::state().lStructureDescRow, 7);
    }
    ModBOM::state().objStructureQuery = real;
    desc->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
