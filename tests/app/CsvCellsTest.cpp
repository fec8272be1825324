// Cells of the embedded database written as CSV in place: byte for byte the
// text the same rows give when read as values and rendered, cell kind by cell
// kind (texts that need quotes, NULL against the empty text, integers at
// their limits, doubles in and out of fixed notation, infinities, blobs).
#include "app/OutputTable.h"
#include "platform/data/Ado.h"

#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

using namespace q7::app;

namespace {

// Takes the rows as values, or in place when raw.
struct Sink : q7::data::RowConsumer {
    OutputStream out;
    bool raw;
    Sink(std::FILE* file, bool inPlace) : out(OutputTable::Format::Csv, file), raw(inPlace) {}
    void columns(const QStringList& names) override { out.begin(names); }
    void row(const QVector<QVariant>& values) override { out.row(QVariantList(values.begin(), values.end())); }
    q7::data::RawRowSink* rawSink() override { return raw ? out.raw() : nullptr; }
};

QByteArray csvOf(q7::data::Connection& connection, const QString& select, bool raw)
{
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    std::FILE* out = std::fopen(file.fileName().toUtf8().constData(), "w");
    {
        Sink sink(out, raw);
        connection.stream(select, sink);
        sink.out.end();
    }
    std::fclose(out);
    return file.readAll();
}

} // namespace

TEST(CsvCells, EveryKindOfCellIsWrittenAsItsValueRenders)
{
    QTemporaryDir dir;
    q7::data::Connection connection;
    connection.Open(dir.filePath(QStringLiteral("cells.db")));
    const struct {
        const char* cell;
        const char* csv; // what both ways write for the cell
    } cases[] = {
        {"'plain'", "plain"},
        {"''", ""},
        {"NULL", ""},
        {"'a,b'", "\"a,b\""},
        {"'say \"hi\"'", "\"say \"\"hi\"\"\""},
        {"'\"'", "\"\"\"\""},
        {"'one' || char(10) || 'two'", "\"one\ntwo\""},
        {"'cr' || char(13)", "\"cr\r\""},
        {"'车把,'", "\"车把,\""},
        {"' padded '", " padded "},
        {"0", "0"},
        {"-9223372036854775808", "-9223372036854775808"},
        {"9223372036854775807", "9223372036854775807"},
        {"2.0", "2"},
        {"0.1", "0.1"},
        {"-0.5", "-0.5"},
        {"1e-7", "1e-07"},
        {"0.000001", "0.000001"},
        {"12345678901234567890.0", "12345678901234567168"},
        {"1e21", "1e+21"},
        {"1e999", "inf"},
        {"-1e999", "-inf"},
        {"CAST('ABC' AS BLOB)", "ABC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        // two rows, the cell between two others: separators and line ends too
        const QString select = QStringLiteral("SELECT 1 AS a, %1 AS \"b,c\", 'z' AS d UNION ALL SELECT 2, %1, 'z'").arg(QString::fromUtf8(c.cell));
        QByteArray inPlace, asValues;
        try {
            inPlace = csvOf(connection, select, true);
            asValues = csvOf(connection, select, false);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        EXPECT_EQ(inPlace.toStdString(), asValues.toStdString());
        const std::string expected = std::string("a,\"b,c\",d\n1,") + c.csv + ",z\n2," + c.csv + ",z\n";
        EXPECT_EQ(inPlace.toStdString(), expected);
    }
}

TEST(CsvCells, ACellLargerThanTheBufferGoesOutWhole)
{
    QTemporaryDir dir;
    q7::data::Connection connection;
    connection.Open(dir.filePath(QStringLiteral("cells.db")));
    for (const char* filler : {"x", ","}) { // unquoted, and quoted byte by byte
        SCOPED_TRACE(filler);
        const QString select = QStringLiteral("SELECT 'a' AS a, replace(hex(zeroblob(300000)), '00', '%1') AS b, 'z' AS c").arg(QLatin1String(filler));
        const QByteArray inPlace = csvOf(connection, select, true);
        EXPECT_EQ(inPlace.toStdString(), csvOf(connection, select, false).toStdString());
        EXPECT_GT(inPlace.size(), 300000);
    }
}
