#include <string>

#include <gtest/gtest.h>

#include "LruCache.h"

namespace {

TEST(CommonLruCache, KeepsAtMostItsCapacityAndForgetsTheLeastRecentlyUsed)
{
    TLruCache<std::string, int> cache(3);
    cache.Insert("a", 1);
    cache.Insert("b", 2);
    cache.Insert("c", 3);
    // A look-up makes "a" the most recent: "b" is now the oldest.
    ASSERT_NE(cache.Find("a"), nullptr);
    cache.Insert("d", 4);
    EXPECT_EQ(cache.Size(), 3U);
    EXPECT_EQ(cache.Find("b"), nullptr);
    ASSERT_NE(cache.Find("a"), nullptr);
    EXPECT_EQ(*cache.Find("a"), 1);
    EXPECT_EQ(*cache.Find("c"), 3);
    EXPECT_EQ(*cache.Find("d"), 4);

    // However many entries pass through, the size stays at the capacity.
    for (int i = 0; i < 1000; ++i)
        cache.Insert("k" + std::to_string(i), i);
    EXPECT_EQ(cache.Size(), 3U);
    EXPECT_EQ(*cache.Find("k999"), 999);
    EXPECT_EQ(cache.Find("k996"), nullptr);
}

TEST(CommonLruCache, InsertingAKnownKeyReplacesItsValueWithoutGrowing)
{
    TLruCache<std::string, int> cache(2);
    cache.Insert("a", 1);
    cache.Insert("b", 2);
    EXPECT_EQ(cache.Insert("a", 10), 10);
    EXPECT_EQ(cache.Size(), 2U);
    // The replaced entry counts as just used: "b" goes first.
    cache.Insert("c", 3);
    EXPECT_EQ(cache.Find("b"), nullptr);
    EXPECT_EQ(*cache.Find("a"), 10);

    cache.Clear();
    EXPECT_EQ(cache.Size(), 0U);
    EXPECT_EQ(cache.Find("a"), nullptr);
    // A capacity of 0 still keeps the last entry.
    TLruCache<int, int> one(0);
    one.Insert(1, 1);
    one.Insert(2, 2);
    EXPECT_EQ(one.Size(), 1U);
    EXPECT_EQ(*one.Find(2), 2);
}

}  // namespace
