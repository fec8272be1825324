#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include "host/browse/AccountContext.h"
#include "host/browse/BrowseQuery.h"
#include "host/browse/ColumnFormat.h"
#include "host/browse/VoucherTemplates.h"
#include "host/db/AccountDatabase.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace q7;

namespace {

QString ask(const Object& query, const char* member, QVariantList args = {})
{
    return values::toTextOrEmpty(callByName(query, QString::fromLatin1(member), args));
}

QList<QMap<QString, QString>> rowsOf(const QString& xml)
{
    QDomDocument document;
    EXPECT_TRUE(document.setContent(xml)) << xml.toStdString();
    QList<QMap<QString, QString>> rows;
    for (QDomElement row = document.documentElement().firstChildElement(QStringLiteral("Row")); !row.isNull();
         row = row.nextSiblingElement(QStringLiteral("Row"))) {
        QMap<QString, QString> values;
        const QDomNamedNodeMap map = row.attributes();
        for (int i = 0; i < map.count(); ++i)
            values.insert(map.item(i).toAttr().name(), map.item(i).toAttr().value());
        rows.append(values);
    }
    return rows;
}

QString condition(const QString& code, const QString& free1, const QString& version, const QString& date, bool planRate = false)
{
    return code + u'|' + free1 + QStringLiteral("|||||||||") + u'|' + version + u'|' + date + QStringLiteral("|1|") + (planRate ? u'1' : u'0');
}

class BrowseQuery : public testing::Test {
protected:
    void SetUp() override { account = host::browse::AccountContext::open(fake::demoAccountPath()); }
    Object structure() const { return createObject(QString::fromLatin1(host::browse::StructureQueryClassId)); }
    Object whereUsed() const { return createObject(QString::fromLatin1(host::browse::WhereUsedQueryClassId)); }
    QSharedPointer<host::browse::AccountContext> account;
};

} // namespace

TEST_F(BrowseQuery, RootAnswers)
{
    struct Case {
        bool structure;
        QString condition;
        QString answer; // "-1" or the label after "&"
    };
    const QString blanks = QStringLiteral("||||||||||");
    const QList<Case> cases{
        {true, condition("BK-100", "红", "-1", "2026-12-07"), QStringLiteral("BK-100 自行车 [红] 版本2")},
        {true, condition("BK-100", "红", "-1", "2024-12-31"), QStringLiteral("BK-100 自行车 [红] 版本1")},
        {true, condition("BK-100", "红", "1", "2026-12-07"), QStringLiteral("BK-100 自行车 [红] 版本1")},
        {true, condition("bk-100", "红", "-1", "2026-12-07"), QStringLiteral("BK-100 自行车 [红] 版本2")}, // codes ignore case
        {true, condition("BK-100", "绿", "-1", "2026-12-07"), QStringLiteral("-1")},   // no such part
        {true, condition("BK-100", "红", "9", "2026-12-07"), QStringLiteral("-1")},    // no such version
        {true, condition("BK-100", "红", "v2", "2026-12-07"), QStringLiteral("-1")},
        {true, condition("BK-100", "红", "-1", "2026-02-30"), QStringLiteral("-1")},   // not a date
        {true, condition("FN-100", "白", "-1", "2021-12-31"), QStringLiteral("-1")},   // before its first BOM
        {true, condition("ST-400", "", "-1", "2026-12-07"), QStringLiteral("-1")},     // bought: no BOM
        {true, condition("BK-100' OR '1'='1", "红", "-1", "2026-12-07"), QStringLiteral("-1")},
        {true, QStringLiteral("BK-100|红|2026-12-07"), QStringLiteral("-1")},           // too few fields
        {false, QStringLiteral("PT-220") + blanks + QStringLiteral("|2026-12-07|0"), QStringLiteral("PT-220 油漆")},
        {false, QStringLiteral("BK-100|红|||||||||") + QStringLiteral("|2026-12-07|0"), QStringLiteral("-1")}, // nobody uses it
        {false, QStringLiteral("BL-210") + blanks + QStringLiteral("|2026-12-07|0"), QStringLiteral("-1")},    // its line starts in 2027
        {false, QStringLiteral("BL-210") + blanks + QStringLiteral("|2027-01-01|0"), QStringLiteral("BL-210 防松螺栓")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.condition.toStdString());
        QVariant text = c.condition;
        const QString answer = ask(c.structure ? structure() : whereUsed(), "SetConditionValue", {text});
        if (c.answer == QLatin1String("-1"))
            EXPECT_TRUE(answer.startsWith(QStringLiteral("-1&"))) << answer.toStdString();
        else
            EXPECT_EQ(answer.section(u'&', 1), c.answer);
    }
}

TEST_F(BrowseQuery, TreeLevelsFollowTheDateOfEveryLine)
{
    struct Case {
        const char* version;
        const char* date;
        QStringList codes;
    };
    const QList<Case> cases{
        {"-1", "2024-12-31", {"FR-200", "WH-200", "HB-210"}},
        {"-1", "2025-01-01", {"FR-200", "WH-200", "HB-210", "BL-200", "PT-220"}},
        {"-1", "2025-06-30", {"FR-200", "WH-200", "HB-210", "BL-200", "PT-220"}},
        {"-1", "2025-07-01", {"FR-200", "WH-200", "HB-220", "BL-200", "PT-220"}}, // the handlebar's change day
        {"-1", "2027-01-01", {"FR-200", "WH-200", "HB-220", "BL-200", "BL-210", "PT-220"}},
        {"1", "2026-12-07", {}}, // the old version's lines all ended in 2025
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        const Object query = structure();
        QVariant text = condition("BK-100", "红", QString::fromLatin1(c.version), QString::fromLatin1(c.date));
        ask(query, "SetConditionValue", {text});
        QStringList codes;
        for (const auto& row : rowsOf(ask(query, "GetTreeViewXML")))
            codes.append(row.value(QStringLiteral("Label")).section(u' ', 0, 0));
        EXPECT_EQ(codes, c.codes);
        EXPECT_EQ(rowsOf(ask(query, "GetDetailXML")).size(), c.codes.size());
    }
}

TEST_F(BrowseQuery, RowsCarryPathQuantitiesAndNextLevels)
{
    const Object query = structure();
    QVariant text = condition("BK-100", "红", "-1", "2026-12-07", true);
    const QString root = ask(query, "SetConditionValue", {text}).section(u'&', 0, 0);
    const auto rows = rowsOf(ask(query, "GetTreeViewXML"));
    ASSERT_EQ(rows.size(), 5);
    const QStringList paint = rows[4].value(QStringLiteral("Data")).split(u'|');
    EXPECT_EQ(paint[0], root.section(u'|', 0, 0) + QStringLiteral(".9")); // the path: bicycle, paint
    EXPECT_NEAR(paint[2].toDouble(), 0.5 * 1.1 / 0.98 * 0.8, 1e-12);         // plan ratio 80 %
    EXPECT_EQ(paint[4], QStringLiteral("False"));
    EXPECT_EQ(rows[0].value(QStringLiteral("NextLevelCount")), QStringLiteral("2"));
    EXPECT_EQ(rows[3].value(QStringLiteral("NextLevelCount")), QStringLiteral("0"));
    // the paint line's document row with the same quantity
    const auto detail = rowsOf(ask(query, "GetDetailXML"));
    EXPECT_NEAR(detail[4].value(QStringLiteral("Qty")).toDouble(), paint[2].toDouble(), 1e-9);
    EXPECT_EQ(detail[1].value(QStringLiteral("Remark")), QStringLiteral("前后轮各一"));
    const auto head = rowsOf(ask(query, "GetHeadXML"));
    EXPECT_EQ(head[0].value(QStringLiteral("Version")), QStringLiteral("2"));
    EXPECT_EQ(head[0].value(QStringLiteral("ParentScrap")), QStringLiteral("2"));

    // the tube: its swarf is a by-product that stops
    QVariant tube = root.section(u'|', 0, 0) + QStringLiteral(".4.5.6|10|1|1|False");
    QVariantList tubeArgs{tube};
    EXPECT_TRUE(values::toBoolean(callByName(query, QStringLiteral("LoadData"), tubeArgs)));
    const auto tubeRows = rowsOf(ask(query, "GetTreeViewXML"));
    ASSERT_EQ(tubeRows.size(), 2);
    EXPECT_TRUE(tubeRows[1].value(QStringLiteral("Data")).endsWith(QStringLiteral("|True")));
    EXPECT_EQ(tubeRows[1].value(QStringLiteral("NextLevelCount")), QStringLiteral("0"));
}

TEST_F(BrowseQuery, BadKeysAndNoAccountAnswerMessages)
{
    Object query = structure();
    EXPECT_FALSE(ask(query, "GetTreeViewXML").startsWith(u'<'));
    QVariant text = condition("BK-100", "红", "-1", "2026-12-07");
    ask(query, "SetConditionValue", {text});
    for (const char* key : {"", "x|1", "3..4|1", "-2"}) {
        QVariantList args{QString::fromLatin1(key)};
        EXPECT_FALSE(values::toBoolean(callByName(query, QStringLiteral("LoadData"), args))) << key;
        EXPECT_FALSE(ask(query, "GetHeadXML").startsWith(u'<')) << key;
    }
    // a query object keeps its account open while it lives
    account.reset();
    EXPECT_TRUE(ask(query, "SetConditionValue", {text}).startsWith(QStringLiteral("1|")));
    EXPECT_TRUE(ask(query, "GetHeadXML").startsWith(u'<'));
    query.reset(); // now the account closes
    const Object orphan = structure();
    QVariant again = condition("BK-100", "红", "-1", "2026-12-07");
    EXPECT_TRUE(ask(orphan, "SetConditionValue", {again}).startsWith(QStringLiteral("-1&")));
}

TEST_F(BrowseQuery, WhereUsedRowsAndSubstitutes)
{
    const Object query = whereUsed();
    QVariant text = QStringLiteral("TY-330|||||||||||2026-12-07|0");
    ask(query, "SetConditionValue", {text});
    const auto users = rowsOf(ask(query, "GetDetailXML"));
    ASSERT_EQ(users.size(), 1);
    EXPECT_EQ(users[0].value(QStringLiteral("cInvCode")), QStringLiteral("WH-200"));
    QVariant row = users[0].value(QStringLiteral("OrgRowNo")), fields = QStringLiteral("Sequence,SubInvCode");
    const auto subs = rowsOf(ask(query, "GetComponentSubXML", {row, fields}));
    ASSERT_EQ(subs.size(), 1);
    EXPECT_EQ(subs[0].value(QStringLiteral("SubInvCode")), QStringLiteral("TY-331"));
    EXPECT_EQ(subs[0].value(QStringLiteral("ReplaceFlag")), QStringLiteral("是"));
    QVariant none = 1;
    EXPECT_TRUE(rowsOf(ask(query, "GetComponentSubXML", {none, fields})).isEmpty());
    // the wheel's users: the three bicycles (the export one shares the red one's BOM)
    const auto tree = rowsOf(ask(query, "GetTreeViewXML"));
    ASSERT_EQ(tree.size(), 1);
    QVariant wheel = tree[0].value(QStringLiteral("Data")).section(u'|', 0, 0);
    QVariantList wheelArgs{wheel};
    callByName(query, QStringLiteral("LoadData"), wheelArgs);
    QStringList codes;
    for (const auto& r : rowsOf(ask(query, "GetTreeViewXML")))
        codes.append(r.value(QStringLiteral("Label")).section(u' ', 0, 0));
    EXPECT_EQ(codes, (QStringList{"BK-100", "BK-100", "BK-120"}));
}

TEST_F(BrowseQuery, TemplatesDataManagerAndColumnFormat)
{
    const Object manager = createObject(QString::fromLatin1(host::browse::DataManagerClassId));
    for (const char* type : {"BO21", "BO25"}) {
        QVariantList args{QString::fromLatin1(type), QVariant(), account->connection()};
        callByName(manager, QStringLiteral("GetVouchInfo"), args);
        EXPECT_EQ(values::toTextOrEmpty(getProperty(toObject(args[1]), QStringLiteral("DefVTID"))), QString::fromLatin1(type));
        EXPECT_FALSE(host::browse::voucherTemplate(QString::fromLatin1(type)).isEmpty());
    }
    EXPECT_EQ(fake::errorOf([&] { call(manager, QStringLiteral("GetVouchInfo"), {QStringLiteral("XX99"), QVariant(), QVariant()}); }), 5);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    host::db::createDemoAccount(path);
    const auto makeFormat = [&](const QString& login) {
        auto format = makeObject<host::browse::ColumnFormat>();
        format->Init(host::db::connectionStringFor(path), login);
        format->Load(QStringLiteral("BO02"));
        return format;
    };
    auto format = makeFormat(QStringLiteral("demo@a"));
    EXPECT_EQ(format->fieldList().section(u',', 0, 1), QStringLiteral("Sequence,SubInvCode"));
    host::browse::ColumnFormat::setEditor([](QList<host::browse::ColumnFormat::Setting>& s) {
        s[2].visible = false;
        s[3].width = 2222;
        return true;
    });
    format->ShowSettings(0);
    EXPECT_TRUE(format->changed);
    host::browse::ColumnFormat::setEditor([](QList<host::browse::ColumnFormat::Setting>&) { return false; }); // cancelled
    format->ShowSettings(0);
    EXPECT_FALSE(format->changed);
    host::browse::ColumnFormat::setEditor({});
    auto again = makeFormat(QStringLiteral("demo@a"));
    EXPECT_FALSE(again->columns()[2]->visible);
    EXPECT_EQ(again->columns()[3]->width, 2222);
    auto other = makeFormat(QStringLiteral("other@a")); // settings belong to one login
    EXPECT_TRUE(other->columns()[2]->visible);
}

TEST_F(BrowseQuery, WhereUsedDocumentListsOnlyTheBomsInUse)
{
    // a version 2 of the wheel in force from 2026-01-01, without the tyre: version 1 is still in force but superseded
    fake::ScratchAccount scratch;
    scratch.execute(QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionDesc, VersionEffDate, VersionEndDate) "
                                   "VALUES (900, 1, 2, '新', '2026-01-01', '2099-12-31');"
                                   "INSERT INTO bom_parent (BomId, ParentId) SELECT 900, PartId FROM bas_part WHERE InvCode = 'WH-200';"
                                   "INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, SortSeq, BaseQtyN) "
                                   "SELECT 9000, 900, PartId, 10, 1 FROM bas_part WHERE InvCode = 'RM-310'"));
    account = host::browse::AccountContext::open(scratch.path());
    const auto users = [&](const char* code, const char* date) {
        const Object query = whereUsed();
        QVariant text = QString::fromLatin1(code) + QStringLiteral("|||||||||||") + QString::fromLatin1(date) + QStringLiteral("|0");
        if (ask(query, "SetConditionValue", {text}).startsWith(QStringLiteral("-1")))
            return qsizetype(0); // nobody uses it
        return rowsOf(ask(query, "GetDetailXML")).size();
    };
    EXPECT_EQ(users("TY-330", "2025-12-31"), 1); // version 1's last day before version 2
    EXPECT_EQ(users("TY-330", "2026-01-01"), 0); // version 2 is the wheel's BOM from its first day
    EXPECT_EQ(users("RM-310", "2026-01-01"), 1); // in version 2, once, not also through version 1
}
