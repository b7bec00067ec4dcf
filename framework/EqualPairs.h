// ForEachEqualPair: the duplicate search that tests share. It visits every pair of positions
// (i, j), i < j, whose keys are equal, in the order that comparing every two elements gives (i
// ascending, then j ascending), in time linear in the pairs plus a sort of the keys' hashes, with
// a fixed number of allocations. Fold the keys first (for example to lower case) for a comparison
// without regard to case. PositionsByKey gives the positions of one key; KeyedPositions records
// positions under keys and finds the first or last of a key. Stateless; header only.
#pragma once

#include "framework/KeySort.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// The key under which two names compare equal without regard to case: ASCII letters in lower case,
// every other byte (bytes above 0x7F included) as it is.
inline std::string FoldCase(const std::string& name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

namespace equal_pairs_detail {

constexpr std::size_t kEnd = static_cast<std::size_t>(-1);

// For every position, the next position of an equal key (kEnd after the last). Positions are ordered
// by the hash of their key and then by position, so equal keys stand together in ascending order; a
// run of equal hashes is split by comparing the keys. No container per key is allocated.
template <class Key, class Hash>
std::vector<std::size_t> NextOfEqualKey(const std::vector<Key>& keys)
{
    const std::size_t n = keys.size();
    std::vector<std::pair<std::size_t, std::size_t>> byHash(n); // (hash, position)
    const Hash hash;
    for (std::size_t i = 0; i < n; ++i)
        byHash[i] = {hash(keys[i]), i};
    // Filled by position: sorted stably by hash, equal hashes keep ascending positions.
    StableSortByKey(byHash, [](const std::pair<std::size_t, std::size_t>& entry) {
        return static_cast<std::uint64_t>(entry.first);
    });
    std::vector<std::size_t> next(n, kEnd);
    std::vector<std::size_t> tails; // last position of each distinct key of the current run
    for (std::size_t begin = 0; begin < n;) {
        std::size_t end = begin + 1;
        while (end < n && byHash[end].first == byHash[begin].first)
            ++end;
        tails.clear();
        for (std::size_t k = begin; k < end; ++k) {
            const std::size_t pos = byHash[k].second;
            std::size_t t = 0;
            while (t < tails.size() && !(keys[tails[t]] == keys[pos]))
                ++t;
            if (t == tails.size()) {
                tails.push_back(pos);
            } else {
                next[tails[t]] = pos;
                tails[t] = pos;
            }
        }
        begin = end;
    }
    return next;
}

} // namespace equal_pairs_detail

template <class Key, class OnPair, class Hash = std::hash<Key>>
void ForEachEqualPair(const std::vector<Key>& keys, OnPair&& onPair, Hash = Hash())
{
    const std::vector<std::size_t> next = equal_pairs_detail::NextOfEqualKey<Key, Hash>(keys);
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = next[i]; j != equal_pairs_detail::kEnd; j = next[j])
            onPair(i, j);
}

// The positions of a list's keys, grouped by key: Of(key) walks every position of that key in
// ascending order. A short list is scanned where it stands (no copy, no allocation); a longer one
// is copied once into one sorted array, never a container per key. The keys must outlive it.
template <class Key>
class PositionsByKey
{
    using Entry = std::pair<Key, std::size_t>;

public:
    // Up to this many keys a scan of the list costs less than sorting a copy of it.
    static constexpr std::size_t kScanned = 16;

    // The positions of one key. It holds its own copy of the key, which its iterators read.
    class Range
    {
    public:
        // Either a run of the sorted copy, or a scan of the list that stops on equal keys.
        struct iterator
        {
            const PositionsByKey* owner;
            const Key* key;
            std::size_t at;
            std::size_t operator*() const { return owner->m_sorted.empty() ? at : owner->m_sorted[at].second; }
            iterator& operator++()
            {
                ++at;
                if (owner->m_sorted.empty())
                    at = owner->NextEqual(*key, at);
                return *this;
            }
            bool operator!=(const iterator& other) const { return at != other.at; }
        };
        Range(const PositionsByKey& owner, const Key& key, std::size_t first, std::size_t last)
            : m_owner{&owner}, m_key{key}, m_first{first}, m_last{last}
        {
        }
        iterator begin() const { return {m_owner, &m_key, m_first}; }
        iterator end() const { return {m_owner, &m_key, m_last}; }
        bool empty() const { return m_first == m_last; }

    private:
        const PositionsByKey* m_owner;
        Key m_key;
        std::size_t m_first, m_last;
    };

    explicit PositionsByKey(const std::vector<Key>& keys) : m_keys(keys)
    {
        if (keys.size() <= kScanned)
            return;
        m_sorted.reserve(keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i)
            m_sorted.emplace_back(keys[i], i);
        std::sort(m_sorted.begin(), m_sorted.end());
    }

    Range Of(const Key& key) const
    {
        if (m_sorted.empty()) {
            return Range(*this, key, NextEqual(key, 0), m_keys.size());
        }
        const auto first = std::lower_bound(m_sorted.begin(), m_sorted.end(), key,
                                            [](const Entry& e, const Key& k) { return e.first < k; });
        auto last = first;
        while (last != m_sorted.end() && last->first == key)
            ++last;
        return Range(*this, key, static_cast<std::size_t>(first - m_sorted.begin()),
                     static_cast<std::size_t>(last - m_sorted.begin()));
    }

private:
    std::size_t NextEqual(const Key& key, std::size_t from) const
    {
        while (from < m_keys.size() && !(m_keys[from] == key))
            ++from;
        return from;
    }

    const std::vector<Key>& m_keys;
    std::vector<Entry> m_sorted;
};

// Positions recorded under keys, for look-ups once the recording is done. Recording appends to one
// array (no allocation per entry); the array is sorted by key and position at the first look-up
// after a change, so a list that is never looked up is never sorted, and a short one is scanned.
// First(key) finds the least position recorded under the key, Last(key) the greatest: the first
// and the last recorded, where positions are recorded in ascending order.
template <class Key>
class KeyedPositions
{
    using Entry = std::pair<Key, std::size_t>;

public:
    void Clear()
    {
        m_entries.clear();
        m_sorted = true;
    }
    void Add(const Key& key, std::size_t position)
    {
        m_entries.emplace_back(key, position);
        m_sorted = m_entries.size() == 1;
    }
    bool Contains(const Key& key) const
    {
        std::size_t position = 0;
        return First(key, position);
    }
    bool First(const Key& key, std::size_t& position) const { return Find(key, position, false); }
    bool Last(const Key& key, std::size_t& position) const { return Find(key, position, true); }

private:
    bool Find(const Key& key, std::size_t& position, bool last) const
    {
        if (m_entries.size() <= PositionsByKey<Key>::kScanned) {
            bool found = false;
            for (const Entry& entry : m_entries)
                if (entry.first == key && (!found || (last ? entry.second > position : entry.second < position))) {
                    position = entry.second;
                    found = true;
                }
            return found;
        }
        if (!m_sorted) {
            std::sort(m_entries.begin(), m_entries.end());
            m_sorted = true;
        }
        const auto below = [](const Entry& e, const Key& k) { return e.first < k; };
        const auto above = [](const Key& k, const Entry& e) { return k < e.first; };
        const auto begin = std::lower_bound(m_entries.begin(), m_entries.end(), key, below);
        if (begin == m_entries.end() || !(begin->first == key))
            return false;
        position = last ? std::prev(std::upper_bound(begin, m_entries.end(), key, above))->second : begin->second;
        return true;
    }

    mutable std::vector<Entry> m_entries;
    mutable bool m_sorted = true;
};
