// The walks' part map: every id finds its own value, ids outside the direct
// range included, and a value stays where it is while the map grows.
#include "host/db/procedures/PartMap.h"

#include <QString>
#include <gtest/gtest.h>

#include <climits>
#include <vector>

using q7::host::db::procedures::PartMap;

TEST(PartMap, EveryIdFindsItsOwnValueAndValuesNeverMove)
{
    // the first and last slot of a page, the next page, the end of the direct range, beyond it, negatives
    const std::vector<int> ids = {0, 1, 511, 512, 513, 1023, 1024, 100000, (1 << 24) - 1, 1 << 24, INT_MAX, -1, INT_MIN};
    PartMap<QString> map;
    std::vector<const QString*> where;
    for (int id : ids) {
        EXPECT_FALSE(map.contains(id)) << id;
        const auto [value, made] = map.try_emplace(id, QString::number(id));
        EXPECT_TRUE(made) << id;
        where.push_back(value);
    }
    for (int id = 2; id < 3000; ++id) // enough values for several chunks
        map.try_emplace(id + 200000, QString::number(id));
    for (size_t i = 0; i < ids.size(); ++i) {
        const QString* found = map.find(ids[i]);
        ASSERT_NE(found, nullptr) << ids[i];
        EXPECT_EQ(found, where[i]) << "moved: " << ids[i];
        EXPECT_EQ(*found, QString::number(ids[i]));
        const auto [again, made] = map.try_emplace(ids[i], QStringLiteral("other"));
        EXPECT_FALSE(made) << "a second value replaced the first: " << ids[i];
        EXPECT_EQ(*again, QString::number(ids[i]));
    }
    for (int id : {2, 510, 514, 1 << 23, (1 << 24) + 1, -2})
        EXPECT_FALSE(map.contains(id)) << id;
    EXPECT_EQ(map[42], QString()); // made on demand, empty
    EXPECT_TRUE(map.contains(42));
}
