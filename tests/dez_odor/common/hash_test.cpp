#include "common/error.h"
#include "common/util/callback_registry.h"
#include "common/util/hash.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Keys = std::vector<unsigned int>;

TEST(HashTest, CollidingKeysChainInInsertionOrderThroughEraseAndReuse)
{
    mg::Hash<unsigned int, int> hash(13);
    for (unsigned int k : {2u, 15u, 28u, 41u, 3u})  // all but 3 fall into bucket 2
        hash.insert(k, static_cast<int>(k) * 10);
    EXPECT_EQ(hash.size(), 5u);
    EXPECT_EQ(hash.bucket_keys(2), (Keys{2, 15, 28, 41}));
    EXPECT_EQ(hash.bucket_keys(3), (Keys{3}));

    hash.erase(15);  // from the middle
    hash.erase(41);  // the last: the bucket's tail moves back
    hash.erase(99);  // absent: nothing happens
    EXPECT_EQ(hash.size(), 3u);
    EXPECT_EQ(hash.bucket_keys(2), (Keys{2, 28}));

    hash.insert(54, 540);  // reuses a freed entry, still goes to the tail
    hash.insert(67, 670);
    EXPECT_EQ(hash.bucket_keys(2), (Keys{2, 28, 54, 67}));
    hash.erase(2);  // the head
    EXPECT_EQ(hash.bucket_keys(2), (Keys{28, 54, 67}));
    EXPECT_EQ(hash.get_entry(54), 540);
    EXPECT_FALSE(hash.has_entry(15));
    EXPECT_TRUE(hash.has_entry(3));
}

TEST(HashTest, ReserveRechainsEveryEntryInBucketOrder)
{
    mg::Hash<unsigned int, int> hash(13);
    for (unsigned int k : {1u, 14u, 27u, 40u, 4u, 17u})
        hash.insert(k, static_cast<int>(k));
    hash.erase(27);
    hash.reserve(3);
    EXPECT_EQ(hash.num_buckets(), 3u);
    // Old order walked: bucket 1: 1, 14, 40; bucket 4: 4, 17.
    EXPECT_EQ(hash.bucket_keys(0), (Keys{}));
    EXPECT_EQ(hash.bucket_keys(1), (Keys{1, 40, 4}));
    EXPECT_EQ(hash.bucket_keys(2), (Keys{14, 17}));
    for (unsigned int k : {1u, 14u, 40u, 4u, 17u})
        EXPECT_EQ(hash.get_entry(k), static_cast<int>(k));
    hash.insert(7, 7);
    EXPECT_EQ(hash.bucket_keys(1), (Keys{1, 40, 4, 7}));
    EXPECT_EQ(hash.size(), 6u);
}

TEST(HashTest, MissingKeys)
{
    mg::Hash<unsigned int, int> hash;
    int value = 5;
    EXPECT_FALSE(hash.get_entry(value, 8));
    EXPECT_EQ(value, 5);
    try {
        hash.get_entry(8);
        FAIL() << "no MGError thrown";
    } catch (const mg::MGError& err) {
        EXPECT_EQ(err.get_msg(),
                  "No entry exists for the specified key. Please call 'has_entry' first or use the "
                  "alternate version of 'get_entry', which returns a bool.");
    }
    hash.insert(8, 80);
    EXPECT_TRUE(hash.get_entry(value, 8));
    EXPECT_EQ(value, 80);
}

TEST(CallbackRegistryTest, ClearsTheLinkFieldsOfItsHandlesWhenItDies)
{
    int handleA = 0;
    int handleB = 0;
    void* linkA = &handleA;
    void* linkB = &handleB;
    void* untouched = &handleA;
    {
        mg::CallbackRegistry registry;
        registry.add_callback(7, [] {}, &linkA);
        registry.add_callback(7, [] {}, nullptr);
        registry.add_callback(3, [] {}, &linkB);
        EXPECT_EQ(registry.num_callbacks(7), 2u);
        EXPECT_EQ(registry.num_callbacks(4), 0u);
    }
    EXPECT_EQ(linkA, nullptr);
    EXPECT_EQ(linkB, nullptr);
    EXPECT_EQ(untouched, &handleA);
}

}  // namespace
