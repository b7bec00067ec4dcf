// Positions in a design file for the loader's error messages, spelled out as JSON Pointers only when an
// error is reported. Private to lumopi.
#pragma once

#include "JsonFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Lumo {
namespace detail {

// Positions in the document, kept as a tree so that a pointer is only spelled out when an error needs it. A
// position is a key, an element number or both (the element of a keyed list), under its parent; keys are
// numbered. Key texts are the callers' (the tree's keys or literals), which outlive the table. A staged object's
// position is not kept here: it stands as a reference to the object (ObjectRef), which Build turns into
// positions only when an error is reported, so that a large design's millions of objects add nothing.
class PathTable {
public:
    static constexpr uint32_t kRoot = 0;   // the document; positions are added under it
    PathTable() { Clear(); }
    // Forgets every position but the root (once no error can be reported any more).
    void Clear()
    {
        std::vector<Node>(1, Node{0, kNoNode, -1}).swap(m_nodes);
        m_leaf = kNoNode;
    }
    static constexpr uint32_t kMaxObjects = uint32_t{1} << 31;   // ObjectRef takes object numbers below this
    static uint32_t ObjectRef(uint32_t obj) { return kObjectBit | obj; }
    uint32_t Add(uint32_t parent, std::string_view key, int64_t pos = -1)
    {
        m_nodes.push_back(Node{KeyNumber(key), parent, static_cast<int32_t>(pos)});
        return static_cast<uint32_t>(m_nodes.size() - 1);
    }
    // A position that nothing is added under and that is needed only until the next call: its node is reused.
    uint32_t Leaf(uint32_t parent, std::string_view key, int64_t pos)
    {
        if (m_leaf == kNoNode) {
            m_leaf = Add(parent, key, pos);
        } else {
            m_nodes[m_leaf] = Node{KeyNumber(key), parent, static_cast<int32_t>(pos)};
        }
        return m_leaf;
    }
    // The JSON Pointer of a position, with a key and an element number under it when given. `objectPath` gives
    // the position of a staged object (by its number) under its parent's.
    template <class ObjectPath>
    std::string Build(uint32_t node, std::string_view key, int64_t pos, ObjectPath&& objectPath)
    {
        std::vector<uint32_t> chain;
        for (uint32_t n = node; n != kNoNode && n != kRoot;) {
            if (n & kObjectBit) {
                n = objectPath(n & ~kObjectBit);
                continue;
            }
            chain.push_back(n);
            n = m_nodes[n].parent;
        }
        std::string path;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const Node& n = m_nodes[*it];
            if (n.key) JsonFile::AppendPointerToken(path, m_keys[n.key - 1]);
            if (n.pos >= 0) path += "/" + std::to_string(n.pos);
        }
        if (!key.empty()) JsonFile::AppendPointerToken(path, key);
        if (pos >= 0) path += "/" + std::to_string(pos);
        return path;
    }

private:
    static constexpr uint32_t kNoNode = UINT32_MAX;
    static constexpr uint32_t kObjectBit = kMaxObjects;
    struct Node {
        uint32_t key;   // 1 + its number in m_keys, 0 for none
        uint32_t parent;
        int32_t pos;    // element number, -1 for none
    };
    // Keys are told apart by where their text lies: one text is one key.
    uint32_t KeyNumber(std::string_view key)
    {
        if (key.empty()) return 0;
        // the elements of one list come one after another: the last key answers most calls
        if (m_lastKey && key.data() == m_keys[m_lastKey - 1].data() && key.size() == m_keys[m_lastKey - 1].size()) return m_lastKey;
        m_lastKey = Number(key);
        return m_lastKey;
    }
    uint32_t Number(std::string_view key)
    {
        auto it = m_keyNumbers.find(key.data());
        if (it != m_keyNumbers.end() && m_keys[it->second - 1].size() == key.size()) return it->second;
        m_keys.push_back(key);
        const uint32_t number = static_cast<uint32_t>(m_keys.size());
        m_keyNumbers[key.data()] = number;
        return number;
    }
    std::vector<Node> m_nodes;
    std::vector<std::string_view> m_keys;
    std::unordered_map<const char*, uint32_t> m_keyNumbers;
    uint32_t m_lastKey = 0;
    uint32_t m_leaf = kNoNode;
};

}  // namespace detail
}  // namespace Lumo
