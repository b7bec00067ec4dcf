// A read-only JSON tree for the design-file loader, built from the parser's events into a few flat arrays:
// nodes in document order (a container's first element right after it, the others linked as next siblings),
// all texts in one buffer, the numbers that need 64 bits in another. It keeps document order and
// duplicate keys, and is freed in one go, which matters for files of millions of values. Private to lumopi.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Lumo {
namespace JsonFile {

enum class JType : uint8_t { Null, Bool, Int, Unsigned, Float, String, Array, Object, Invalid };

class JsonTree;
class TreeParser;

// A value of the tree (a cheap handle). A default or not-found value is Invalid.
class JVal {
public:
    JVal() = default;
    JVal(const JsonTree* tree, uint32_t node) : m_tree(tree), m_node(node) {}

    JType type() const;
    bool valid() const { return m_tree != nullptr; }
    bool is_null() const { return type() == JType::Null; }
    bool is_boolean() const { return type() == JType::Bool; }
    bool is_number_integer() const { return type() == JType::Int || type() == JType::Unsigned; }
    bool is_number_unsigned() const { return type() == JType::Unsigned; }
    bool is_number_float() const { return type() == JType::Float; }
    bool is_number() const { return is_number_integer() || is_number_float(); }
    bool is_string() const { return type() == JType::String; }
    bool is_array() const { return type() == JType::Array; }
    bool is_object() const { return type() == JType::Object; }

    bool boolean() const;
    int64_t i64() const;     // Int, or Unsigned cast
    uint64_t u64() const;
    double dbl() const;      // any number
    std::string_view str() const;
    std::string text() const { return std::string(str()); }
    std::string dump() const;   // a short text of the value, for messages

    size_t size() const;     // elements or members
    bool empty() const { return size() == 0; }
    JVal front() const;
    JVal find(std::string_view key) const;   // first member of that key, or Invalid

    // The key of this value when it is an object member, and its number among the tree's distinct keys.
    std::string_view key() const;
    uint32_t key_id() const;

    // Iteration over elements (arrays) or members (objects); a member's key() is its key.
    class Iter {
    public:
        Iter(const JsonTree* t, uint32_t n) : m_tree(t), m_node(n) {}
        JVal operator*() const { return JVal(m_tree, m_node); }
        Iter& operator++();
        bool operator!=(const Iter& o) const { return m_node != o.m_node; }

    private:
        const JsonTree* m_tree;
        uint32_t m_node;
    };
    Iter begin() const;
    Iter end() const;

    uint32_t id() const { return m_node; }

private:
    const JsonTree* m_tree = nullptr;
    uint32_t m_node = 0;
};

class JsonTree {
public:
    static constexpr uint32_t kNoNode = UINT32_MAX;

    // Parses the text; false with the parser's message when it is not valid JSON. `onObjects`, when
    // given, hears the count of objects read so far every kProgressStep objects.
    bool Parse(const char* begin, const char* end, std::string& error,
               const std::function<void(uint64_t)>* onObjects = nullptr);
    // The same for a text that `read` gives piece by piece: it fills up to `room` bytes at `into` and returns
    // their count, 0 at the end. The text is read `chunk` bytes at a time into one buffer, reused throughout
    // (a value longer than that grows it); `sizeHint`, the text's expected size, sizes the tree's arrays.
    using Source = std::function<size_t(char* into, size_t room)>;
    bool Parse(const Source& read, uint64_t sizeHint, std::string& error,
               const std::function<void(uint64_t)>* onObjects = nullptr, size_t chunk = kChunk);
    static constexpr size_t kChunk = size_t{256} << 10;
    static constexpr uint64_t kProgressStep = 1u << 14;
    JVal Root() const { return m_nodes.empty() ? JVal() : JVal(this, 0); }
    size_t KeyCount() const { return m_keys.size(); }
    size_t ObjectCount() const { return m_objects; }   // objects anywhere in the tree
    size_t KeyUses(std::string_view key) const;          // members of that key anywhere in the tree
    // Frees the values (nodes and texts) once the caller is done reading: no JVal may be used afterwards.
    // The keys stay, so views of them remain valid.
    void ReleaseValues();
    // Gives the memory of the values before `node` (in document order) back to the system, a page at a time,
    // while the arrays stay where they are: no JVal of those values may be used afterwards. Keys stay.
    void ReleaseBefore(uint32_t node);

private:
    friend class JVal;
    friend class TreeParser;
    void Reset();
    bool Finish(bool parsed);
    // 12 bytes: what a value holds fits 32 bits, or lies in m_texts or m_wide. A container's first element is
    // the node after it (nodes are added in document order), so only its count is kept.
    struct Node {
        uint8_t tag = 0;   // the JType in the low four bits; above them a string's length or kWide
        uint8_t keyHigh = 0;
        uint16_t keyLow = 0;
        uint32_t next = kNoNode;
        // by type: a bool 0 or 1; an Int within 32 bits; a string's offset in m_texts; a container's count;
        // with kWide, a number's position in m_wide
        uint32_t v = 0;
        JType Type() const { return static_cast<JType>(tag & kTypeBits); }
        unsigned Extra() const { return tag >> 4; }
        uint32_t Key() const { return (static_cast<uint32_t>(keyHigh) << 16) | keyLow; }
    };
    static constexpr uint8_t kTypeBits = 0x0F;
    // A string shorter than kLongText keeps its length in the tag; a longer one has it in m_texts before its
    // bytes, seven bits a byte with the high bit set on all but the last.
    static constexpr unsigned kLongText = 15;
    // A number that does not fit 32 bits (an Int beyond them, any Unsigned or Float) lies in m_wide.
    static constexpr unsigned kWide = 1;
    std::string_view Text(const Node& n) const;
    uint64_t Wide(const Node& n) const { return m_wide[n.v]; }
    std::vector<Node> m_nodes;
    std::string m_texts;
    std::vector<uint64_t> m_wide;   // the bits of the numbers that do not fit a node, in document order
    std::vector<std::string> m_keys;   // object keys, each once
    std::vector<size_t> m_keyUses;     // by key number: how many members have it
    size_t m_objects = 0;
    size_t m_releasedNodes = 0, m_releasedText = 0, m_releasedWide = 0;   // what ReleaseBefore gave back so far
};

// The accessors the loader calls for every value, inline.
inline std::string_view JsonTree::Text(const Node& n) const
{
    const char* at = m_texts.data() + n.v;
    size_t len = n.Extra();
    if (len == kLongText) {
        len = 0;
        unsigned shift = 0;
        uint8_t b;
        do {
            b = static_cast<uint8_t>(*at++);
            len |= static_cast<size_t>(b & 0x7F) << shift;
            shift += 7;
        } while (b & 0x80);
    }
    return std::string_view(at, len);
}
inline JType JVal::type() const { return m_tree ? m_tree->m_nodes[m_node].Type() : JType::Invalid; }
inline bool JVal::boolean() const { return m_tree->m_nodes[m_node].v != 0; }
inline std::string_view JVal::str() const { return m_tree->Text(m_tree->m_nodes[m_node]); }
inline std::string_view JVal::key() const { return m_tree->m_keys[m_tree->m_nodes[m_node].Key()]; }
inline uint32_t JVal::key_id() const { return m_tree->m_nodes[m_node].Key(); }
inline JVal::Iter& JVal::Iter::operator++()
{
    m_node = m_tree->m_nodes[m_node].next;
    return *this;
}
inline JVal::Iter JVal::begin() const
{
    const auto& n = m_tree->m_nodes[m_node];
    if ((n.Type() != JType::Array && n.Type() != JType::Object) || n.v == 0) return end();
    return Iter(m_tree, m_node + 1);
}
inline JVal::Iter JVal::end() const { return Iter(m_tree, JsonTree::kNoNode); }

}  // namespace JsonFile
}  // namespace Lumo
