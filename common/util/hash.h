#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mg {

// A chained hash table with a fixed number of buckets. Entries live in one
// vector; erased entries go onto a free list and are reused first. Each
// bucket's chain keeps insertion order. Keys are integral; the bucket of a
// key is key modulo the number of buckets.
template <class TKey, class TValue>
class Hash {
public:
    explicit Hash(size_t numBuckets = 13);

    bool has_entry(const TKey& key) const;
    // Throws MGError when there is no entry for key.
    TValue& get_entry(const TKey& key);
    const TValue& get_entry(const TKey& key) const;
    // False (value untouched) when there is no entry for key.
    bool get_entry(TValue& valOut, const TKey& key) const;

    void insert(const TKey& key, const TValue& val);
    // No effect when there is no entry for key.
    void erase(const TKey& key);
    // Rebuilds the table with numBuckets empty buckets and re-chains every
    // entry in use, walking the old buckets and chains in order.
    void reserve(size_t numBuckets);

    size_t size() const { return m_numEntries; }
    size_t num_buckets() const { return m_buckets.size(); }
    // The keys of one bucket's chain, in chain order.
    std::vector<TKey> bucket_keys(size_t bucket) const;

private:
    static constexpr uint32_t INVALID = 0xFFFFFFFF;

    struct Entry {
        TKey key;
        TValue value;
        uint32_t next;
    };
    struct Bucket {
        uint32_t first = INVALID;
        uint32_t last = INVALID;
    };

    size_t bucket_of(const TKey& key) const
    {
        return static_cast<size_t>(key) % m_buckets.size();
    }
    uint32_t find(const TKey& key) const;
    void append_to_bucket(uint32_t entryIndex);

    std::vector<Entry> m_entries;
    size_t m_numEntries;
    uint32_t m_freeHead;
    std::vector<Bucket> m_buckets;
};

}  // namespace mg

#include "common/util/hash_impl.h"
