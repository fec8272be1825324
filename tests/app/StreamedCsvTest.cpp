// CSV written from the cells of the embedded database in place is the CSV the
// rows read as values render: byte for byte, on the demo account and on a
// synthetic one, for the flat reports whose statements run on the file.
#include "app/OutputTable.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "support/FakeHost.h"
#include "support/ScratchAccount.h"

#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace q7::app;

namespace {

struct Streamed : q7::data::RowConsumer {
    OutputStream out;
    bool tookRaw = false;
    explicit Streamed(std::FILE* file) : out(OutputTable::Format::Csv, file) {}
    void columns(const QStringList& names) override { out.begin(names); }
    void row(const QVector<QVariant>& values) override { out.row(QVariantList(values.begin(), values.end())); }
    q7::data::RawRowSink* rawSink() override
    {
        tookRaw = true;
        return out.raw();
    }
};

QByteArray streamedCsv(const QString& key, const QList<q7::host::report::FilterSetting>& settings, q7::data::Connection& connection, bool* raw)
{
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    std::FILE* out = std::fopen(file.fileName().toUtf8().constData(), "w");
    Streamed consumer(out);
    q7::host::report::ReportViewer viewer(key);
    viewer.run(settings, 0, &connection, &consumer);
    consumer.out.end();
    std::fclose(out);
    *raw = consumer.tookRaw;
    return file.readAll();
}

QByteArray renderedCsv(const QString& key, const QList<q7::host::report::FilterSetting>& settings, q7::data::Connection& connection)
{
    q7::host::report::ReportViewer viewer(key);
    const auto outcome = viewer.run(settings, 0, &connection);
    OutputTable table;
    table.headers = outcome.rows.columns;
    for (const auto& row : outcome.rows.rows)
        table.rows.append(QVariantList(row.begin(), row.end()));
    return table.render(OutputTable::Format::Csv).toUtf8();
}

} // namespace

TEST(StreamedCsv, CellsReadInPlaceWriteTheSameCsvAsValues)
{
    QTemporaryDir dir;
    const QString synthetic = dir.filePath(QStringLiteral("syn.db"));
    q7::host::db::createSyntheticAccount(synthetic, {400, 4, 4, 3});
    // texts CSV must quote, numbers far from 1, a negative one
    const fake::ScratchAccount odd;
    odd.execute(QStringLiteral("UPDATE Inventory SET cInvName = 'a,b\"c' || char(10) || '车把' WHERE cInvCode = 'HB-220'"));
    odd.execute(QStringLiteral("UPDATE Inventory SET cInvStd = '' WHERE cInvCode = 'FR-200'"));
    odd.execute(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 1e-7 WHERE OpComponentId IN (SELECT min(OpComponentId) FROM bom_opcomponent)"));
    odd.execute(QStringLiteral("UPDATE bom_opcomponent SET BaseQtyN = 12345678901234567890.0 WHERE OpComponentId IN (SELECT max(OpComponentId) FROM bom_opcomponent)"));
    odd.execute(QStringLiteral("UPDATE bom_opcomponent SET CompScrap = -0.5 WHERE OpComponentId IN (SELECT max(OpComponentId) FROM bom_opcomponent)"));
    const struct {
        QString account;
        const char* key;
        QList<q7::host::report::FilterSetting> settings;
    } cases[] = {
        {fake::demoAccountPath(), "BO02003", {}},
        {fake::demoAccountPath(), "BO02005", {}},
        {fake::demoAccountPath(), "BO02008", {}},
        {fake::demoAccountPath(), "BO02009", {}},
        {synthetic, "BO02003", {}},
        {odd.path(), "BO02003", {}},
        {odd.path(), "BO02005", {}},
        {synthetic, "BO02005", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " on " + c.account.toStdString());
        q7::data::Connection connection;
        q7::host::db::openAccount(connection, c.account);
        bool raw = false;
        const QByteArray streamed = streamedCsv(QString::fromLatin1(c.key), c.settings, connection, &raw);
        EXPECT_TRUE(raw); // the statement ran on the file, read in place
        const QByteArray rendered = renderedCsv(QString::fromLatin1(c.key), c.settings, connection);
        EXPECT_GT(rendered.count('\n'), 1);
        EXPECT_EQ(streamed.toStdString(), rendered.toStdString());
    }
}
