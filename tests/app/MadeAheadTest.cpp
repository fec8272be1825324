// Items made on a thread of their own come in order, however far ahead the making may go; a failure
// comes at the item it stopped at; leaving early stops the making.
#include "app/MadeAhead.h"

#include <QString>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

using q7::app::MadeAhead;

namespace {

TEST(MadeAhead, ItemsComeInOrderWhateverHowFarAhead)
{
    const struct {
        long long count, ahead;
    } cases[] = {{0, 1}, {1, 1}, {10, 1}, {10, 3}, {10, 50}, {1000, 4}, {5, 0}};
    for (const auto& c : cases) {
        MadeAhead<QString> made(c.count, c.ahead, [](long long n) { return QString::number(n * n); });
        for (long long n = 0; n < c.count; ++n)
            EXPECT_EQ(made.take(), QString::number(n * n)) << c.count << " ahead " << c.ahead;
        EXPECT_THROW(made.take(), std::out_of_range);
    }
}

TEST(MadeAhead, AFailureComesAtTheItemThatFailedAndNothingIsMadeAfterIt)
{
    for (const long long failing : {0LL, 1LL, 5LL, 9LL}) {
        std::atomic<long long> madeUpTo{-1};
        MadeAhead<int> made(10, 3, [&](long long n) {
            madeUpTo = n;
            if (n == failing)
                throw std::runtime_error("item " + std::to_string(n));
            return int(n);
        });
        for (long long n = 0; n < failing; ++n)
            EXPECT_EQ(made.take(), n);
        try {
            made.take();
            ADD_FAILURE() << "no failure at " << failing;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(), "item " + std::to_string(failing));
        }
        EXPECT_EQ(madeUpTo.load(), failing);
    }
}

TEST(MadeAhead, LeavingBeforeEveryItemIsTakenStopsTheMaking)
{
    std::atomic<long long> made{0};
    {
        MadeAhead<int> items(1'000'000, 2, [&](long long n) {
            ++made;
            return int(n);
        });
        EXPECT_EQ(items.take(), 0);
    } // joins: a maker waiting for room must hear the stop
    EXPECT_LE(made.load(), 4);
}

} // namespace
