#include "host/voucher/Fields.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <vector>

using q7::host::voucher::FieldKey;
using q7::host::voucher::Fields;

namespace {

// A line as the voucher holds one: item fields, numbered groups whose names sort
// "1, 10, 2", hidden keys after the capitals, lower-case keys after those.
QVariantMap sampleLine()
{
    return {{QStringLiteral("DInvCode"), QStringLiteral("BK-100")},   {QStringLiteral("DInvFree_1"), QStringLiteral("红")},
            {QStringLiteral("DInvFree_10"), QString()},               {QStringLiteral("DInvFree_2"), QVariant()},
            {QStringLiteral("DBaseQtyN"), QStringLiteral("2.5")},     {QStringLiteral("DSortSeq"), 10},
            {QStringLiteral("_Substitutes"), QVariantList{}},         {QStringLiteral("_Locations"), QStringList{QStringLiteral("R1")}},
            {QStringLiteral("cInvCode"), QStringLiteral("P-1")},      {QStringLiteral("DEffEndDate"), QStringLiteral("2099-12-31")},
            {QStringLiteral("OpComponentId"), 7},                     {QStringLiteral("DRemark"), QString(QLatin1String(""))}};
}

TEST(Fields, KeysComeInTheOrderOfAVariantMap)
{
    // interned in an order unlike the names' (a name met late sorts first), as a process meets them
    for (const char* late : {"zLate", "ALate", "DInvFree_3", "_Hidden", "DInvFree_11"})
        FieldKey(QString::fromLatin1(late));
    QVariantMap map = sampleLine();
    map.insert(QStringLiteral("ALate"), 1);
    map.insert(QStringLiteral("_Hidden"), 2);
    map.insert(QStringLiteral("zLate"), 3);
    const Fields fields = Fields::fromMap(map);
    EXPECT_EQ(fields.keys(), map.keys());
    QStringList seen;
    for (const auto& [name, value] : fields.ordered()) {
        seen.append(name);
        EXPECT_EQ(value, map.value(name)) << name.toStdString();
    }
    EXPECT_EQ(seen, map.keys());
}

TEST(Fields, MissingKeysGiveTheFallback)
{
    const Fields fields = Fields::fromMap(sampleLine());
    struct Case {
        const char* key;
        QVariant fallback, expected;
    };
    const std::vector<Case> cases{
        {"DInvCode", QString(), QStringLiteral("BK-100")},   // present: the fallback does not count
        {"DWhCode", QString(), QString()},                   // missing: the fallback
        {"DWhCode", QStringLiteral("x"), QStringLiteral("x")},
        {"DInvFree_2", QStringLiteral("x"), QVariant()},     // present and null: null, not the fallback
        {"dinvcode", QStringLiteral("none"), QStringLiteral("none")}, // names are case-sensitive
    };
    for (const Case& c : cases) {
        const QString key = QString::fromLatin1(c.key);
        EXPECT_EQ(fields.value(key, c.fallback), c.expected) << c.key;
        EXPECT_EQ(fields.value(key, c.fallback), sampleLine().value(key, c.fallback)) << c.key; // as the map answers
        EXPECT_EQ(fields.contains(key), sampleLine().contains(key)) << c.key;
    }
    EXPECT_FALSE(Fields().value(QStringLiteral("DInvCode")).isValid());
}

TEST(Fields, InsertRemoveAndMergeAsAMapDoes)
{
    struct Step {
        const char* key;
        QVariant value; // invalid: remove the key
    };
    const std::vector<Step> steps{
        {"DBaseQtyN", QStringLiteral("3")},   // over an existing key
        {"DWhCode", QStringLiteral("01")},    // a new key between others
        {"AAA", 1},                           // first by name
        {"DWhCode", QVariant()},              // removed again
        {"OpComponentId", QVariant()},        // removed
        {"NotThere", QVariant()},             // removing what is not there
        {"DInvFree_2", QStringLiteral("")},   // null becomes empty
    };
    Fields fields = Fields::fromMap(sampleLine());
    QVariantMap map = sampleLine();
    for (const Step& s : steps) {
        const QString key = QString::fromLatin1(s.key);
        if (s.value.isValid()) {
            fields.insert(key, s.value);
            map.insert(key, s.value);
        } else {
            EXPECT_EQ(fields.remove(key), map.remove(key)) << s.key;
        }
        EXPECT_EQ(fields.toMap(), map) << "after " << s.key;
        EXPECT_EQ(fields.size(), map.size()) << "after " << s.key;
    }
    // another row's fields over these: theirs stand where both have a field, the rest of each is kept
    const QVariantMap item{{QStringLiteral("DInvCode"), QStringLiteral("BS-200")}, {QStringLiteral("DInvName"), QStringLiteral("螺栓")},
                           {QStringLiteral("AAA"), 2}, {QStringLiteral("zzz"), QVariant()}};
    fields.insert(Fields::fromMap(item));
    map.insert(item);
    EXPECT_EQ(fields.toMap(), map);
    Fields empty;
    empty.insert(Fields::fromMap(item));
    EXPECT_EQ(empty.toMap(), item);
    fields.insert(Fields());
    EXPECT_EQ(fields.toMap(), map);
}

TEST(Fields, MergingAnyTwoRowsGivesWhatAMapGives)
{
    // every pair of subsets of six keys (interned out of their names' order): before, after,
    // between and over the row's own keys, none or all of them
    const QStringList names{QStringLiteral("MergeF"), QStringLiteral("MergeB"), QStringLiteral("MergeD"),
                            QStringLiteral("MergeA"), QStringLiteral("MergeE"), QStringLiteral("MergeC")};
    for (int mine = 0; mine < 64; ++mine)
        for (int theirs = 0; theirs < 64; ++theirs) {
            QVariantMap a, b;
            for (int k = 0; k < names.size(); ++k) {
                if (mine & (1 << k))
                    a.insert(names[k], QStringLiteral("mine %1").arg(k));
                if (theirs & (1 << k))
                    b.insert(names[k], k % 2 ? QVariant() : QVariant(QStringLiteral("theirs %1").arg(k)));
            }
            Fields merged = Fields::fromMap(a);
            const Fields shared = merged; // a copy taken before stays as it was
            merged.insert(Fields::fromMap(b));
            QVariantMap expected = a;
            expected.insert(b);
            ASSERT_EQ(merged.toMap(), expected) << mine << " + " << theirs;
            ASSERT_EQ(shared.toMap(), a) << mine << " + " << theirs;
        }
}

TEST(Fields, ACopyIsNotChangedByTheOriginal)
{
    Fields original = Fields::fromMap(sampleLine());
    const Fields copy = original;
    original.insert(QStringLiteral("DInvCode"), QStringLiteral("changed"));
    original.remove(QStringLiteral("DSortSeq"));
    EXPECT_EQ(copy.toMap(), sampleLine());
    EXPECT_NE(copy, original);
}

TEST(Fields, RoundTripKeepsNullEmptyAndInvalidApart)
{
    const QVariantMap map{{QStringLiteral("Null"), QVariant(QMetaType::fromType<QString>())},
                          {QStringLiteral("Empty"), QString(QLatin1String(""))},
                          {QStringLiteral("NullString"), QString()},
                          {QStringLiteral("Invalid"), QVariant()},
                          {QStringLiteral("Zero"), 0},
                          {QStringLiteral("List"), QVariantList{QVariant(), QString()}}};
    const QVariantMap back = Fields::fromMap(map).toMap();
    ASSERT_EQ(back.keys(), map.keys());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QVariant& after = back.value(it.key());
        EXPECT_EQ(after.isValid(), it.value().isValid()) << it.key().toStdString();
        EXPECT_EQ(after.isNull(), it.value().isNull()) << it.key().toStdString();
        EXPECT_EQ(after.metaType(), it.value().metaType()) << it.key().toStdString();
        EXPECT_EQ(after, it.value()) << it.key().toStdString();
    }
    EXPECT_TRUE(back.value(QStringLiteral("NullString")).toString().isNull());
    EXPECT_FALSE(back.value(QStringLiteral("Empty")).toString().isNull());
}

TEST(Fields, ALiteralListHoldsTheLastValueOfAKey)
{
    const Fields fields{{QStringLiteral("DInvCode"), QStringLiteral("A")}, {QStringLiteral("DSortSeq"), 10}, {QStringLiteral("DInvCode"), QStringLiteral("B")}};
    EXPECT_EQ(fields.size(), 2);
    EXPECT_EQ(fields.value(QStringLiteral("DInvCode")), QStringLiteral("B"));
}

TEST(FieldKey, TwoThreadsInterningANameGetOneNumber)
{
    constexpr int Names = 500;
    std::vector<int> first(Names), second(Names);
    std::atomic<bool> go{false};
    const auto intern = [&](std::vector<int>& ids, const char* stem) {
        while (!go)
            QThread::yieldCurrentThread();
        for (int n = 0; n < Names; ++n)
            ids[size_t(n)] = FieldKey(QString::fromLatin1(stem) + QString::number(n)).id();
    };
    std::unique_ptr<QThread> a(QThread::create([&] { intern(first, "ThreadField_"); }));
    std::unique_ptr<QThread> b(QThread::create([&] { intern(second, "ThreadField_"); }));
    a->start();
    b->start();
    go = true;
    a->wait();
    b->wait();
    EXPECT_EQ(first, second);
    for (int n = 0; n < Names; ++n) {
        const FieldKey key(QStringLiteral("ThreadField_") + QString::number(n));
        EXPECT_EQ(key.id(), first[size_t(n)]);
        EXPECT_EQ(key.name(), QStringLiteral("ThreadField_") + QString::number(n));
    }
    EXPECT_NE(FieldKey(QStringLiteral("ThreadField_1")), FieldKey(QStringLiteral("ThreadField_2")));
}

} // namespace
