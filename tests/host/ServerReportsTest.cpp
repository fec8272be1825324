#include "support/FakeHost.h"
#include "support/ServerDatabase.h"

#include "host/db/AccountDatabase.h"
#include "host/report/FilterDefinitions.h"
#include "host/report/ReportViewer.h"
#include "platform/data/Ado.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace q7;
using host::report::FilterSetting;
using host::report::ItemDefinition;
using host::report::ReportViewer;

namespace {

// The outcome as text: refusal, or columns and rows. Rows keep their order
// where the statement orders them fully; ties may come in either order, so
// the rows are compared sorted and the order of the ordering keys is checked by the statement itself.
QString outcomeText(const host::report::ReportOutcome& out, bool ordered)
{
    if (out.refused)
        return QStringLiteral("refused: ") + out.message;
    QStringList rows;
    for (const auto& row : out.rows.rows) {
        QStringList cells;
        for (const QVariant& value : row)
            cells.append(fake::comparableText(value));
        rows.append(cells.join(u'|'));
    }
    if (!ordered)
        std::sort(rows.begin(), rows.end());
    return out.rows.columns.join(u',').toLower() + QStringLiteral("\n%1 rows\n").arg(rows.size()) + rows.join(u'\n');
}

FilterSetting range(const QString& name, const QString& low, const QString& high) { return {name, low, high}; }
FilterSetting value(const QString& name, const QString& v) { return {name, v, std::nullopt}; }

// Every variant of a report's filter: each list value, each range item empty and filled on either side.
QList<QList<FilterSetting>> variantsOf(const QString& key)
{
    QList<QList<FilterSetting>> variants{{}};
    for (const auto& item : host::report::definition(key).items) {
        for (const QString& entry : item.list)
            variants.append({value(item.name, entry)});
        if (item.type == ItemDefinition::Type::Multi)
            variants.append({value(item.name, item.list.join(u','))});
        if (item.type == ItemDefinition::Type::List || item.type == ItemDefinition::Type::Multi)
            continue;
        // samples that select rows of the demo account, and one with a quote
        QStringList samples;
        if (item.type == ItemDefinition::Type::Number)
            samples = {QStringLiteral("1"), QStringLiteral("2")};
        else if (item.type == ItemDefinition::Type::Date)
            samples = {QStringLiteral("2025-01-01"), QStringLiteral("2020-01-01")};
        else
            samples = {QStringLiteral("bk-100"), QStringLiteral("A'B"), QStringLiteral("红")};
        for (const QString& sample : samples) {
            if (item.range) {
                variants.append({range(item.name, sample, QString())});
                variants.append({range(item.name, QString(), sample)});
                variants.append({range(item.name, sample, sample)});
            } else {
                variants.append({value(item.name, sample)});
            }
        }
    }
    return variants;
}

class ServerReports : public testing::Test {
protected:
    void SetUp() override
    {
        Q7_NEEDS_SERVER();
        host::db::openAccount(file, fake::demoAccountPath());
        host::db::openAccount(server, fake::serverDemoAccount());
    }

    // Runs every variant of the reports on both backends; answers how many gave rows.
    int compare(const QStringList& keys, bool ordered = false)
    {
        int withRows = 0;
        for (const QString& key : keys) {
            const int angles = key == QLatin1String("BO02010") ? 3 : 0;
            for (int angle = angles ? 1 : 0; angle <= angles; ++angle)
                for (QList<FilterSetting> settings : variantsOf(key)) {
                    if (key == QLatin1String("BO02010"))
                        settings = QList<FilterSetting>{value(QStringLiteral("InvCode"), QStringLiteral("BK-100")),
                                                        value(QStringLiteral("Version1"), QStringLiteral("1")),
                                                        value(QStringLiteral("Version2"), QStringLiteral("2")),
                                                        value(QStringLiteral("Identcode1"), QStringLiteral("S1")),
                                                        value(QStringLiteral("Identcode2"), QStringLiteral("S1"))}
                                   + settings;
                    const auto onFile = ReportViewer(key).run(settings, angle, &file);
                    const auto onServer = ReportViewer(key).run(settings, angle, &server);
                    QString shown;
                    for (const auto& s : settings)
                        shown += s.name + u'=' + s.low + (s.high ? QStringLiteral("..") + *s.high : QString()) + u' ';
                    EXPECT_FALSE(onFile.refused) << key.toStdString() << " " << shown.toStdString() << onFile.message.toStdString();
                    EXPECT_EQ(outcomeText(onServer, ordered).toStdString(), outcomeText(onFile, ordered).toStdString()) << key.toStdString() << " " << shown.toStdString();
                    withRows += onFile.rows.rows.isEmpty() ? 0 : 1;
                }
        }
        return withRows;
    }

    data::Connection file, server;
};

} // namespace

// The reports whose statement is a SELECT give the same rows on the server as on the file.
TEST_F(ServerReports, SelectReportsGiveTheSameRowsOnBothBackends)
{
    EXPECT_GT(compare({QStringLiteral("BO02003"), QStringLiteral("BO02005"), QStringLiteral("BO02008"), QStringLiteral("BO02009")}), 40);
}

// The reports that call the account's procedures, which run in this process on either database.
TEST_F(ServerReports, ProcedureReportsGiveTheSameRowsOnBothBackends)
{
    // the procedures' rows come in the order they give them (depth first, in line order): compared as they come
    EXPECT_GT(compare({QStringLiteral("BO02004"), QStringLiteral("BO02006"), QStringLiteral("BO02007"), QStringLiteral("BO02010")}, true), 20);
}
