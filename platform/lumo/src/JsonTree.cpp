#include "JsonTree.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <unordered_map>

namespace Lumo {
namespace JsonFile {

// Builds the tree from the parser's events: a stack of open containers, each with its last child.
struct TreeBuilder : nlohmann::json::json_sax_t {
    using Node = JsonTree::Node;

    explicit TreeBuilder(JsonTree& t) : tree(t) { std::fill(std::begin(cache), std::end(cache), JsonTree::kNoNode); }

    JsonTree& tree;
    struct Open {
        uint32_t node;
        uint32_t last;
    };
    std::vector<Open> open;
    bool hasKey = false;
    uint32_t keyId = 0;
    std::unordered_map<std::string, uint32_t> keyIds;
    std::string error;
    const std::function<void(uint64_t)>* onObjects = nullptr;

    bool Text(const std::string& s, uint32_t& off, uint32_t& len)
    {
        if (tree.m_texts.size() + s.size() > UINT32_MAX) {
            error = "the file holds more text than the loader can index";
            return false;
        }
        off = static_cast<uint32_t>(tree.m_texts.size());
        len = static_cast<uint32_t>(s.size());
        tree.m_texts.append(s);
        return true;
    }

    uint32_t Add(JType type)
    {
        const uint32_t id = static_cast<uint32_t>(tree.m_nodes.size());
        tree.m_nodes.emplace_back();
        Node& n = tree.m_nodes.back();
        n.type = type;
        if (!open.empty()) {
            Open& o = open.back();
            Node& parent = tree.m_nodes[o.node];
            if (o.last == JsonTree::kNoNode)
                parent.c.first = id;
            else
                tree.m_nodes[o.last].next = id;
            o.last = id;
            ++parent.c.count;
            if (hasKey) {
                tree.m_nodes[id].keyHigh = static_cast<uint8_t>(keyId >> 16);
                tree.m_nodes[id].keyLow = static_cast<uint16_t>(keyId & 0xFFFF);
                hasKey = false;
            }
        }
        return id;
    }

    bool null() override { Add(JType::Null); return true; }
    bool boolean(bool val) override { tree.m_nodes[Add(JType::Bool)].b = val; return true; }
    bool number_integer(number_integer_t val) override { tree.m_nodes[Add(JType::Int)].i = val; return true; }
    bool number_unsigned(number_unsigned_t val) override
    {
        // small non-negative numbers are plain integers
        if (val <= static_cast<uint64_t>(INT64_MAX)) {
            tree.m_nodes[Add(JType::Int)].i = static_cast<int64_t>(val);
        } else {
            tree.m_nodes[Add(JType::Unsigned)].u = val;
        }
        return true;
    }
    bool number_float(number_float_t val, const string_t&) override { tree.m_nodes[Add(JType::Float)].d = val; return true; }
    bool string(string_t& val) override
    {
        uint32_t off = 0, len = 0;
        if (!Text(val, off, len)) return false;
        Node& n = tree.m_nodes[Add(JType::String)];
        n.s.off = off;
        n.s.len = len;
        return true;
    }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override
    {
        if ((++tree.m_objects & (JsonTree::kProgressStep - 1)) == 0 && onObjects != nullptr)
            (*onObjects)(tree.m_objects);
        return Start(JType::Object);
    }
    bool end_object() override { open.pop_back(); return true; }
    bool start_array(std::size_t) override { return Start(JType::Array); }
    bool end_array() override { open.pop_back(); return true; }
    bool key(string_t& val) override
    {
        // Keys repeat throughout a design: each is kept once. A small direct-mapped cache in front of the map
        // answers almost every key without hashing it in full.
        hasKey = true;
        const size_t n = val.size();
        const size_t h = n == 0 ? 0 : (n * 131 + static_cast<unsigned char>(val[0]) * 31 + static_cast<unsigned char>(val[n - 1]) * 7 +
                                       static_cast<unsigned char>(val[n / 2])) & (kCache - 1);
        const uint32_t cached = cache[h];
        if (cached != JsonTree::kNoNode && tree.m_keys[cached] == val) {
            keyId = cached;
            ++tree.m_keyUses[keyId];
            return true;
        }
        auto it = keyIds.find(val);
        if (it == keyIds.end()) {
            if (tree.m_keys.size() >= (1u << 24)) {
                error = "the file holds more distinct keys than the loader can index";
                return false;
            }
            it = keyIds.emplace(val, static_cast<uint32_t>(tree.m_keys.size())).first;
            tree.m_keys.push_back(val);
            tree.m_keyUses.push_back(0);
        }
        keyId = it->second;
        ++tree.m_keyUses[keyId];
        cache[h] = keyId;
        return true;
    }
    static constexpr size_t kCache = 512;
    uint32_t cache[kCache];
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override
    {
        error = ex.what();
        // drop the library's "[json.exception.parse_error.101] " prefix
        if (!error.empty() && error[0] == '[') {
            const size_t close = error.find("] ");
            if (close != std::string::npos) error = error.substr(close + 2);
        }
        return false;
    }

    bool Start(JType type)
    {
        const uint32_t id = Add(type);
        tree.m_nodes[id].c.first = JsonTree::kNoNode;
        tree.m_nodes[id].c.count = 0;
        open.push_back(Open{id, JsonTree::kNoNode});
        return true;
    }
};

bool JsonTree::Parse(const char* begin, const char* end, std::string& error,
                     const std::function<void(uint64_t)>* onObjects)
{
    static_assert(sizeof(Node) == 16, "tree nodes are kept small: a large design has tens of millions");
    m_nodes.clear();
    m_texts.clear();
    m_keys.clear();
    m_keyUses.clear();
    m_objects = 0;
    const size_t size = static_cast<size_t>(end - begin);
    // Generous guesses that avoid regrowth, whose copy would touch twice the memory: a design file holds a
    // value per 12 bytes or so (one per 6 is assumed), and never more text than its size. Pages never
    // touched cost nothing.
    m_nodes.reserve(size / 6 + 16);
    m_texts.reserve(size + 16);
    TreeBuilder b(*this);
    b.onObjects = onObjects;
    const bool ok = nlohmann::json::sax_parse(begin, end, &b);
    if (!ok || !b.error.empty()) {
        error = b.error.empty() ? "syntax error" : b.error;
        m_nodes.clear();
        return false;
    }
    return true;
}

void JsonTree::ReleaseValues()
{
    std::vector<Node>().swap(m_nodes);
    std::string().swap(m_texts);
}

size_t JsonTree::KeyUses(std::string_view key) const
{
    for (size_t k = 0; k < m_keys.size(); ++k)
        if (m_keys[k] == key) return m_keyUses[k];
    return 0;
}

// ---------------------------------------------------------------------------------------------------------

JType JVal::type() const { return m_tree ? m_tree->m_nodes[m_node].type : JType::Invalid; }
bool JVal::boolean() const { return m_tree->m_nodes[m_node].b; }

int64_t JVal::i64() const
{
    const auto& n = m_tree->m_nodes[m_node];
    return n.type == JType::Unsigned ? static_cast<int64_t>(n.u) : n.type == JType::Float ? static_cast<int64_t>(n.d) : n.i;
}

uint64_t JVal::u64() const
{
    const auto& n = m_tree->m_nodes[m_node];
    return n.type == JType::Unsigned ? n.u : static_cast<uint64_t>(n.i);
}

double JVal::dbl() const
{
    const auto& n = m_tree->m_nodes[m_node];
    switch (n.type) {
    case JType::Int: return static_cast<double>(n.i);
    case JType::Unsigned: return static_cast<double>(n.u);
    default: return n.d;
    }
}

std::string_view JVal::str() const
{
    const auto& n = m_tree->m_nodes[m_node];
    return std::string_view(m_tree->m_texts.data() + n.s.off, n.s.len);
}

std::string_view JVal::key() const { return m_tree->m_keys[m_tree->m_nodes[m_node].Key()]; }
uint32_t JVal::key_id() const { return m_tree->m_nodes[m_node].Key(); }

std::string JVal::dump() const
{
    char buf[64];
    switch (type()) {
    case JType::Null: return "null";
    case JType::Bool: return boolean() ? "true" : "false";
    case JType::Int: return std::to_string(i64());
    case JType::Unsigned: return std::to_string(u64());
    case JType::Float: {
        auto r = std::to_chars(buf, buf + sizeof buf, dbl());
        return std::string(buf, r.ptr);
    }
    case JType::String: return "\"" + text() + "\"";
    case JType::Array: return "an array";
    case JType::Object: return "an object";
    default: return "";
    }
}

size_t JVal::size() const
{
    const auto& n = m_tree->m_nodes[m_node];
    return n.type == JType::Array || n.type == JType::Object ? n.c.count : 0;
}

JVal JVal::front() const { return *begin(); }

JVal JVal::find(std::string_view key) const
{
    for (JVal m : *this)
        if (m.key() == key) return m;
    return JVal();
}

JVal::Iter& JVal::Iter::operator++()
{
    m_node = m_tree->m_nodes[m_node].next;
    return *this;
}

JVal::Iter JVal::begin() const
{
    const auto& n = m_tree->m_nodes[m_node];
    if ((n.type != JType::Array && n.type != JType::Object) || n.c.count == 0) return end();
    return Iter(m_tree, n.c.first);
}

JVal::Iter JVal::end() const { return Iter(m_tree, JsonTree::kNoNode); }

}  // namespace JsonFile
}  // namespace Lumo
