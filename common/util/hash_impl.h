#pragma once

// Template bodies of mg::Hash; included by common/util/hash.h.

#include "common/error.h"

namespace mg {

template <class TKey, class TValue>
Hash<TKey, TValue>::Hash(size_t numBuckets)
    : m_numEntries(0), m_freeHead(INVALID), m_buckets(numBuckets > 0 ? numBuckets : 1)
{
}

template <class TKey, class TValue>
uint32_t Hash<TKey, TValue>::find(const TKey& key) const
{
    uint32_t i = m_buckets[bucket_of(key)].first;
    while (i != INVALID) {
        if (m_entries[i].key == key)
            return i;
        i = m_entries[i].next;
    }
    return INVALID;
}

template <class TKey, class TValue>
bool Hash<TKey, TValue>::has_entry(const TKey& key) const
{
    return find(key) != INVALID;
}

template <class TKey, class TValue>
TValue& Hash<TKey, TValue>::get_entry(const TKey& key)
{
    const uint32_t i = find(key);
    if (i == INVALID)
        MG_THROW("No entry exists for the specified key. Please call 'has_entry' first or use the "
                 "alternate version of 'get_entry', which returns a bool.");
    return m_entries[i].value;
}

template <class TKey, class TValue>
const TValue& Hash<TKey, TValue>::get_entry(const TKey& key) const
{
    return const_cast<Hash*>(this)->get_entry(key);
}

template <class TKey, class TValue>
bool Hash<TKey, TValue>::get_entry(TValue& valOut, const TKey& key) const
{
    const uint32_t i = find(key);
    if (i == INVALID)
        return false;
    valOut = m_entries[i].value;
    return true;
}

template <class TKey, class TValue>
void Hash<TKey, TValue>::append_to_bucket(uint32_t entryIndex)
{
    Bucket& b = m_buckets[bucket_of(m_entries[entryIndex].key)];
    m_entries[entryIndex].next = INVALID;
    if (b.first == INVALID)
        b.first = entryIndex;
    else
        m_entries[b.last].next = entryIndex;
    b.last = entryIndex;
}

template <class TKey, class TValue>
void Hash<TKey, TValue>::insert(const TKey& key, const TValue& val)
{
    uint32_t i;
    if (m_freeHead != INVALID) {
        i = m_freeHead;
        m_freeHead = m_entries[i].next;
        m_entries[i].key = key;
        m_entries[i].value = val;
    } else {
        i = static_cast<uint32_t>(m_entries.size());
        m_entries.push_back(Entry{key, val, INVALID});
    }
    append_to_bucket(i);
    ++m_numEntries;
}

template <class TKey, class TValue>
void Hash<TKey, TValue>::erase(const TKey& key)
{
    Bucket& b = m_buckets[bucket_of(key)];
    uint32_t prev = INVALID;
    uint32_t i = b.first;
    while (i != INVALID && !(m_entries[i].key == key)) {
        prev = i;
        i = m_entries[i].next;
    }
    if (i == INVALID)
        return;

    const uint32_t next = m_entries[i].next;
    if (prev == INVALID)
        b.first = next;
    else
        m_entries[prev].next = next;
    if (b.last == i)
        b.last = prev;

    m_entries[i].next = m_freeHead;
    m_freeHead = i;
    --m_numEntries;
}

template <class TKey, class TValue>
void Hash<TKey, TValue>::reserve(size_t numBuckets)
{
    std::vector<uint32_t> inUse;
    inUse.reserve(m_numEntries);
    for (const Bucket& b : m_buckets)
        for (uint32_t i = b.first; i != INVALID; i = m_entries[i].next)
            inUse.push_back(i);

    m_buckets.assign(numBuckets > 0 ? numBuckets : 1, Bucket());
    for (uint32_t i : inUse)
        append_to_bucket(i);
}

template <class TKey, class TValue>
std::vector<TKey> Hash<TKey, TValue>::bucket_keys(size_t bucket) const
{
    std::vector<TKey> keys;
    if (bucket < m_buckets.size())
        for (uint32_t i = m_buckets[bucket].first; i != INVALID; i = m_entries[i].next)
            keys.push_back(m_entries[i].key);
    return keys;
}

}  // namespace mg
