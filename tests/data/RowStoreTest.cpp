// Rows packed as the window keeps them: every cell comes back as the value
// the query gives for it (its type too), whether the rows were read in place
// from a statement of the file or handed over as values; rows larger than a
// block and rows shorter than the heading survive.
#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"
#include "platform/data/RowStore.h"

#include <QDate>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using q7::data::RowStore;

namespace {

// Takes a statement's rows in place into a store, or as values into a result.
struct Collect : q7::data::RowConsumer {
    RowStore store;
    q7::data::ResultSet values;
    bool raw;
    explicit Collect(bool inPlace) : raw(inPlace) {}
    void columns(const QStringList& names) override
    {
        store.columns(names);
        values.columns = names;
    }
    void row(const QVector<QVariant>& row) override { values.rows.append(row); }
    q7::data::RawRowSink* rawSink() override { return raw ? &store : nullptr; }
};

void expectSame(const QVariant& kept, const QVariant& given, const std::string& where)
{
    EXPECT_EQ(kept.typeId(), given.typeId()) << where << ": " << kept.typeName() << " for " << given.typeName();
    EXPECT_EQ(kept, given) << where;
}

} // namespace

TEST(RowStore, CellsReadInPlaceComeBackAsTheQueryGivesThem)
{
    QTemporaryDir dir;
    q7::data::Connection connection;
    connection.Open(dir.filePath(QStringLiteral("rows.db")));
    const char* cells[] = {
        "'plain'", "''", "NULL", "'车把,\"x\"'", "'one' || char(10) || 'two'",
        "0", "-9223372036854775808", "9223372036854775807", "2.0", "0.1", "-1e-300", "1e999",
        "CAST('ABC' AS BLOB)", "zeroblob(3)", "CAST('' AS BLOB)",
    };
    for (const char* cell : cells) {
        SCOPED_TRACE(cell);
        // the cell between two others, in a short row and a long one
        const QString select = QStringLiteral("SELECT 1 AS a, %1 AS b, 'z' AS c UNION ALL SELECT 2, %1, substr(hex(randomblob(2000)), 1, 3000)")
                                   .arg(QString::fromUtf8(cell));
        Collect inPlace(true), asValues(false);
        connection.stream(select, inPlace);
        connection.stream(select, asValues);
        ASSERT_EQ(inPlace.store.size(), 2);
        ASSERT_EQ(asValues.values.rows.size(), 2);
        EXPECT_EQ(inPlace.store.columnNames(), asValues.values.columns);
        for (int r = 0; r < 2; ++r) {
            EXPECT_EQ(inPlace.store.cellCount(r), 3);
            for (int c = 0; c < 2; ++c) // the third column is random per run
                expectSame(inPlace.store.value(r, c), asValues.values.rows[r][c], "row " + std::to_string(r) + " column " + std::to_string(c));
            EXPECT_EQ(inPlace.store.value(r, 2).toString().size(), r == 0 ? 1 : 3000);
        }
    }
}

TEST(RowStore, ValuesKeepTheirKinds)
{
    const QVector<QVariant> row{
        q7::nullValue(), QVariant(), QVariant(qlonglong{-7}), QVariant(42), QVariant(0.25), QVariant(true), QVariant(false),
        QString(), QStringLiteral("子件编码"), QByteArray("\0a", 2), QDate(2026, 12, 31), QVariant(quint64{18446744073709551615u}),
    };
    RowStore store;
    store.columns({QStringLiteral("Only")}); // fewer names than cells: the row keeps its cells
    store.append(row);
    store.append({});
    store.append(row.mid(0, 3));
    ASSERT_EQ(store.size(), 3);
    EXPECT_EQ(store.cellCount(0), row.size());
    EXPECT_EQ(store.cellCount(1), 0);
    EXPECT_EQ(store.cellCount(2), 3);
    for (int c = 0; c < row.size(); ++c) {
        const QVariant kept = store.value(0, c);
        if (c == 0) {
            EXPECT_TRUE(q7::isNull(kept));
            continue;
        }
        if (c == 7) { // a null text comes back an empty one: the window shows both alike
            EXPECT_EQ(kept.typeId(), QMetaType::QString);
            EXPECT_TRUE(kept.toString().isEmpty());
            continue;
        }
        expectSame(kept, row[c], "column " + std::to_string(c));
    }
    EXPECT_EQ(store.values(2).size(), 3);
    EXPECT_TRUE(q7::isNull(store.values(2)[0]));
    EXPECT_EQ(store.values(2)[2], QVariant(qlonglong{-7}));
    // out of range: nothing, not a crash
    EXPECT_FALSE(store.value(1, 0).isValid());
    EXPECT_FALSE(store.value(2, 3).isValid());
    EXPECT_FALSE(store.value(3, 0).isValid());
    EXPECT_FALSE(store.value(-1, 0).isValid());
    EXPECT_TRUE(store.values(5).isEmpty());
}

TEST(RowStore, RowsAcrossBlocksAndLargerThanOne)
{
    RowStore store;
    store.columns({QStringLiteral("n"), QStringLiteral("text")});
    const QString big(3 * 1024 * 1024, QChar(u'料')); // larger than a block, three bytes a character
    const int count = 60000;                          // several blocks of short rows around it
    for (int i = 0; i < count; ++i) {
        store.append({qlonglong{i}, i == count / 2 ? big : QStringLiteral("row %1").arg(i)});
        if (i == count / 2) {
            ASSERT_GT(store.blockBytes(), std::size_t{9} * 1024 * 1024); // the big row has a block of its own
        }
    }
    ASSERT_EQ(store.size(), count);
    for (int i : {0, 1, count / 2 - 1, count / 2, count / 2 + 1, count - 1}) {
        EXPECT_EQ(store.value(i, 0), QVariant(qlonglong{i})) << i;
        EXPECT_EQ(store.value(i, 1).toString(), i == count / 2 ? big : QStringLiteral("row %1").arg(i)) << i;
    }
    for (int i = 0; i < count; i += 997)
        EXPECT_EQ(store.value(i, 1).toString(), i == count / 2 ? big : QStringLiteral("row %1").arg(i)) << i;
    RowStore moved = std::move(store);
    EXPECT_EQ(moved.size(), count);
    EXPECT_EQ(moved.value(count - 1, 1).toString(), QStringLiteral("row %1").arg(count - 1));
    moved.clear();
    EXPECT_TRUE(moved.isEmpty());
    EXPECT_EQ(moved.blockBytes(), 0u);
}
