#include "core/ordered_list.h"

#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

namespace gim {
namespace {

// A key and the order it arrived in.
using Item = std::pair<int, int>;

bool HigherFirst(const Item& a, const Item& b)
{
    return a.first > b.first;
}

TEST(OrderedList, TiesAtHeadOrdersAWholeListAsTheInsertsOneByOne)
{
    // Arrivals 5 3 7 5 7 5: the second 7 arrives while 7 leads and goes in front of the first; the later
    // 5s arrive once 7 leads and go after the 5 already there.
    std::vector<Item> list{{5, 0}, {3, 1}, {7, 2}, {5, 3}, {7, 4}, {5, 5}};
    OrderAsInserted(list, HigherFirst, TieRule::HeadFirst);
    EXPECT_EQ(list, (std::vector<Item>{{7, 4}, {7, 2}, {5, 0}, {5, 3}, {5, 5}, {3, 1}}));

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<Item> arrivals;
        const int n = static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i)
            arrivals.push_back({static_cast<int>(random() % 6), i});
        std::vector<Item> inserted;
        for (const Item& item : arrivals)
            InsertOrderedHeadFirst(inserted, item, HigherFirst);
        OrderAsInserted(arrivals, HigherFirst, TieRule::HeadFirst);
        ASSERT_EQ(arrivals, inserted) << "round " << round;
    }
}

} // namespace
} // namespace gim
