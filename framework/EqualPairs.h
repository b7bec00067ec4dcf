// ForEachEqualPair: the duplicate search that tests share. It visits every pair of positions
// (i, j), i < j, whose keys are equal, in the order that comparing every two elements gives (i
// ascending, then j ascending), in time linear in the elements plus the pairs. Fold the keys first
// (for example to lower case) for a comparison without regard to case. Stateless; header only.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
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

template <class Key, class OnPair>
void ForEachEqualPair(const std::vector<Key>& keys, OnPair&& onPair)
{
    std::unordered_map<Key, std::vector<std::size_t>> groups;
    groups.reserve(keys.size());
    // Element nodes of an unordered_map keep their address, so the group pointers stay valid.
    std::vector<const std::vector<std::size_t>*> groupOf(keys.size());
    std::vector<std::size_t> rank(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        std::vector<std::size_t>& group = groups[keys[i]];
        rank[i] = group.size();
        group.push_back(i);
        groupOf[i] = &group;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::vector<std::size_t>& group = *groupOf[i];
        for (std::size_t k = rank[i] + 1; k < group.size(); ++k)
            onPair(i, group[k]);
    }
}
