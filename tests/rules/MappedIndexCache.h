// MappedIndexCache: the lists of mapped objects that design objects keep (a clearance rule's schema
// clear rules, a net class's scheme net class rules), read once per run by the owner's index and
// kept as hash sets, so that checking one mapping costs one look-up. Only a list that was read is
// kept: after a failed read the next use reads again. Header only; not shared between threads.
#pragma once

#include "lumopi/LumoPI.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace NorvRules
{

class MappedIndexCache
{
public:
    struct Entry
    {
        unsigned failCode = 0; // the code of the read that failed; 0 when the list was read
        std::unordered_set<std::uint64_t> indexes;

        bool Contains(const Lumo::Index& index) const { return indexes.count(index.GetValue()) != 0; }
    };

    void Clear() { m_entries.clear(); }

    // The entry of the owner. Until the owner's list was read, read(list) fills the list and returns
    // 0, or returns the code of the read that failed; the failed entry is valid until the next call.
    template <class Read>
    const Entry& Get(const Lumo::Index& owner, Read&& read)
    {
        auto found = m_entries.find(owner.GetValue());
        if (found != m_entries.end())
            return found->second;
        Lumo::ListT<Lumo::Index> list;
        m_failed.failCode = read(list);
        if (m_failed.failCode != 0)
            return m_failed;
        Entry entry;
        for (auto item = list.GetIterator(); item.IsValid(); ++item)
            entry.indexes.insert((*item).GetValue());
        return m_entries.emplace(owner.GetValue(), std::move(entry)).first->second;
    }

private:
    std::unordered_map<std::uint64_t, Entry> m_entries;
    Entry m_failed;  // the answer of the last failed read
};

} // namespace NorvRules
