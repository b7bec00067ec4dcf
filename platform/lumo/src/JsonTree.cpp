#include "JsonTree.h"

#include "JsonFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include <sys/mman.h>
#include <unistd.h>

namespace Lumo {
namespace JsonFile {

// Reads the text in one pass straight into the tree's arrays: no token objects, and a string without escapes
// is copied once, from the input into the text buffer. Strings must be valid UTF-8 (escapes included), numbers
// follow the JSON grammar, and any byte after the document other than white space is an error. Containers are
// tracked on a stack of our own, so that deep nesting cannot exhaust the call stack.
//
// The text is either all in memory or read from a source into one buffer, piece by piece: whenever the buffered
// bytes run out, Refill drops what is read (but the token being read, from m_mark on), moves the rest to the
// front and reads more. Every fixed-size look ahead asks for its bytes first (Need), so that no pointer but
// m_p and m_mark is held across a refill. Line and column count the dropped bytes too.
// The bytes a string holds as they are: printable ASCII but the quote and the backslash.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[static_cast<size_t>(c)] = c != '"' && c != '\\';
    return plain;
}();

class TreeParser {
public:
    using Node = JsonTree::Node;

    TreeParser(JsonTree& t, const char* begin, const char* end) : m_tree(t), m_begin(begin), m_p(begin), m_end(end)
    {
        std::fill(std::begin(m_cache), std::end(m_cache), JsonTree::kNoNode);
    }
    TreeParser(JsonTree& t, const JsonTree::Source& source, size_t chunk)
        : TreeParser(t, nullptr, nullptr)
    {
        m_source = &source;
        m_chunk = std::max<size_t>(chunk, 1);
    }

    const std::function<void(uint64_t)>* onObjects = nullptr;

    // False with a message naming the line and column of the fault.
    bool Run(std::string& error)
    {
        if (!Document()) {
            error = m_error;
            return false;
        }
        return true;
    }

private:
    struct Open {
        uint32_t node;
        uint32_t last;
        bool object;
    };

    // Reads more of the text after the buffered bytes; false at its end (or without a source).
    bool Refill()
    {
        if (m_source == nullptr || m_ended) return false;
        const char* keep = m_mark != nullptr ? m_mark : m_p;
        for (const char* q = m_begin; q < keep && (q = static_cast<const char*>(std::memchr(q, '\n', static_cast<size_t>(keep - q)))) != nullptr; ++q) {
            ++m_droppedLines;
            m_lineStart = m_dropped + static_cast<uint64_t>(q - m_begin) + 1;
        }
        m_dropped += static_cast<uint64_t>(keep - m_begin);
        const size_t kept = static_cast<size_t>(m_end - keep);
        const size_t markAt = m_mark != nullptr ? static_cast<size_t>(m_mark - keep) : 0;
        const size_t pAt = static_cast<size_t>(m_p - keep);
        if (m_buffer.size() < kept + m_chunk) {
            // a token longer than the buffer: grown geometrically, so that a long one is not copied once per piece
            std::vector<char> larger(std::max(kept + m_chunk, 2 * m_buffer.size()));
            if (kept) std::memcpy(larger.data(), keep, kept);
            m_buffer.swap(larger);
        } else if (kept) {
            std::memmove(m_buffer.data(), keep, kept);
        }
        const size_t got = (*m_source)(m_buffer.data() + kept, m_buffer.size() - kept);
        m_begin = m_buffer.data();
        m_p = m_begin + pAt;
        if (m_mark != nullptr) m_mark = m_begin + markAt;
        m_end = m_begin + kept + got;
        if (got == 0) m_ended = true;
        return got > 0;
    }
    bool More() { return m_p < m_end || Refill(); }
    // True when n bytes from m_p are buffered (false only near the end of the text).
    bool Need(size_t n)
    {
        while (static_cast<size_t>(m_end - m_p) < n)
            if (!Refill()) return false;
        return true;
    }

    bool Fail(const char* what)
    {
        uint64_t line = 1 + m_droppedLines;
        uint64_t lineStart = m_lineStart;
        for (const char* q = m_begin; q < m_p; ++q) {
            if (*q == '\n') {
                ++line;
                lineStart = m_dropped + static_cast<uint64_t>(q - m_begin) + 1;
            }
        }
        const uint64_t column = m_dropped + static_cast<uint64_t>(m_p - m_begin) - lineStart + 1;
        m_error = "syntax error at line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
        return false;
    }

    void SkipSpace()
    {
        do {
            while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t')) ++m_p;
        } while (m_p == m_end && Refill());
    }

    bool Document()
    {
        if (Need(3) && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0) m_p += 3;   // a byte order mark
        for (;;) {
            bool opened = false;
            if (!Value(opened)) return false;
            if (opened) continue;   // its first element follows
            // after a value: close containers, or go on to the next member or element
            for (;;) {
                SkipSpace();
                if (m_open.empty()) return m_p == m_end || Fail("unexpected content after the document");
                if (m_p == m_end) return Fail("unexpected end of input");
                const Open& top = m_open.back();
                if (*m_p == ',') {
                    ++m_p;
                    if (top.object && !Key()) return false;
                    break;
                }
                if (*m_p != (top.object ? '}' : ']')) return Fail(top.object ? "expected ',' or '}'" : "expected ',' or ']'");
                ++m_p;
                m_open.pop_back();
            }
        }
    }

    // One value. A container that is not empty is left open (`opened`), with an object's first key read: its
    // elements follow in Document's loop.
    bool Value(bool& opened)
    {
        SkipSpace();
        if (m_p == m_end) return Fail("unexpected end of input; expected a value");
        switch (*m_p) {
        case '{':
            if ((++m_tree.m_objects & (JsonTree::kProgressStep - 1)) == 0 && onObjects != nullptr) (*onObjects)(m_tree.m_objects);
            opened = OpenContainer(JType::Object, '}');
            return !opened || Key();
        case '[':
            opened = OpenContainer(JType::Array, ']');
            return true;
        case '"': {
            std::string_view s;
            if (!String(s)) return false;
            // a length goes in at most five bytes before the text
            if (m_tree.m_texts.size() + s.size() + 5 > UINT32_MAX) return Fail("the file holds more text than the loader can index");
            Node& n = m_tree.m_nodes[Add(JType::String)];
            n.v = static_cast<uint32_t>(m_tree.m_texts.size());
            if (s.size() < JsonTree::kLongText) {
                n.tag |= static_cast<uint8_t>(s.size() << 4);
            } else {
                n.tag |= static_cast<uint8_t>(JsonTree::kLongText << 4);
                size_t len = s.size();
                for (; len >= 0x80; len >>= 7) m_tree.m_texts += static_cast<char>(0x80 | (len & 0x7F));
                m_tree.m_texts += static_cast<char>(len);
            }
            m_tree.m_texts.append(s.data(), s.size());
            return true;
        }
        case 't': return Literal("true", JType::Bool, true);
        case 'f': return Literal("false", JType::Bool, false);
        case 'n': return Literal("null", JType::Null, false);
        default: return Number();
        }
    }

    // The container whose bracket is at m_p: true when it stays open, false when it was empty and is closed.
    bool OpenContainer(JType type, char close)
    {
        ++m_p;
        Start(type);
        SkipSpace();
        if (m_p < m_end && *m_p == close) {
            ++m_p;
            m_open.pop_back();
            return false;
        }
        return true;
    }

    bool Literal(const char* word, JType type, bool value)
    {
        const size_t n = std::strlen(word);
        if (!Need(n) || std::memcmp(m_p, word, n) != 0) return Fail("invalid literal");
        m_p += n;
        const uint32_t id = Add(type);
        m_tree.m_nodes[id].v = value ? 1 : 0;
        return true;
    }

    static bool Digit(char c) { return c >= '0' && c <= '9'; }

    bool Number()
    {
        m_mark = m_p;
        const bool negative = *m_p == '-';
        if (negative) ++m_p;
        if (!More() || !Digit(*m_p)) return Fail(negative ? "expected a digit after '-'" : "unexpected character");
        if (*m_p == '0') {
            ++m_p;
        } else {
            while (More() && Digit(*m_p)) ++m_p;
        }
        bool integral = true;
        if (More() && *m_p == '.') {
            ++m_p;
            if (!More() || !Digit(*m_p)) return Fail("expected a digit after '.'");
            while (More() && Digit(*m_p)) ++m_p;
            integral = false;
        }
        if (More() && (*m_p == 'e' || *m_p == 'E')) {
            ++m_p;
            if (More() && (*m_p == '+' || *m_p == '-')) ++m_p;
            if (!More() || !Digit(*m_p)) return Fail("expected a digit in the exponent");
            while (More() && Digit(*m_p)) ++m_p;
            integral = false;
        }
        // the number is whole in the buffer from here on: no more reads until it is stored
        const char* start = m_mark;
        m_mark = nullptr;
        if (integral) {
            // integers that fit 64 bits stay exact; larger ones are read as floating point
            if (negative) {
                int64_t i = 0;
                if (std::from_chars(start, m_p, i).ec == std::errc()) {
                    AddInt(i);
                    return true;
                }
            } else {
                uint64_t u = 0;
                if (std::from_chars(start, m_p, u).ec == std::errc()) {
                    if (u <= static_cast<uint64_t>(INT64_MAX))
                        AddInt(static_cast<int64_t>(u));
                    else
                        AddWide(JType::Unsigned, u);
                    return true;
                }
            }
        }
        double d = 0;
        const auto r = std::from_chars(start, m_p, d);
        if (r.ec == std::errc::result_out_of_range) {
            // an underflow reads as the nearest small value; an overflow is an error
            const std::string text(start, m_p);
            errno = 0;
            d = std::strtod(text.c_str(), nullptr);
        } else if (r.ec != std::errc()) {
            return Fail("invalid number");
        }
        if (!std::isfinite(d)) {
            m_p = start;
            return Fail("number overflow");
        }
        uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        AddWide(JType::Float, bits);
        return true;
    }

    void AddInt(int64_t i)
    {
        if (i >= INT32_MIN && i <= INT32_MAX)
            m_tree.m_nodes[Add(JType::Int)].v = static_cast<uint32_t>(static_cast<int32_t>(i));
        else
            AddWide(JType::Int, static_cast<uint64_t>(i));
    }

    // A number whose bits go to the side array.
    void AddWide(JType type, uint64_t bits)
    {
        Node& n = m_tree.m_nodes[Add(type)];
        n.tag |= static_cast<uint8_t>(JsonTree::kWide << 4);
        n.v = static_cast<uint32_t>(m_tree.m_wide.size());
        m_tree.m_wide.push_back(bits);
    }

    // The four digits after "\\u"; an error points at the backslash.
    bool Hex4(uint32_t& value)
    {
        Need(4);
        const char* start = m_p;
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_p == m_end) {
                m_p = start - 2;
                return Fail("escape \\u needs four hexadecimal digits");
            }
            const char c = *m_p++;
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                value |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                value |= static_cast<uint32_t>(c - 'A' + 10);
            else {
                m_p = start - 2;
                return Fail("escape \\u needs four hexadecimal digits");
            }
        }
        return true;
    }

    static void AppendUtf8(std::string& out, uint32_t cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // The string at m_p (its opening quote): a view of the input when it has no escapes, else of a decoded copy.
    // The view is good until the next read of the input.
    bool String(std::string_view& out)
    {
        ++m_p;
        m_mark = m_p;
        bool escaped = false;
        m_scratch.clear();
        for (;;) {
            // a run of bytes that stand for themselves, in one sweep
            const char* run = m_p;
            while (m_p < m_end && kPlain[static_cast<unsigned char>(*m_p)]) ++m_p;
            if (escaped) m_scratch.append(run, static_cast<size_t>(m_p - run));
            if (!More()) return Fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(*m_p);
            if (c == '"') break;
            if (c < 0x20) return Fail("control character in a string");
            if (c >= 0x80) {
                Need(4);
                const size_t n = Utf8Length(std::string_view(m_p, static_cast<size_t>(m_end - m_p)), 0);
                if (n == 0) return Fail("invalid UTF-8 byte in a string");
                if (escaped) m_scratch.append(m_p, n);
                m_p += n;
                continue;
            }
            if (c != '\\') continue;   // a plain byte that a refill brought
            if (!escaped) {
                m_scratch.assign(m_mark, m_p);
                escaped = true;
            }
            ++m_p;
            if (!More()) return Fail("unterminated string");
            const char e = *m_p++;
            switch (e) {
            case '"': m_scratch += '"'; break;
            case '\\': m_scratch += '\\'; break;
            case '/': m_scratch += '/'; break;
            case 'b': m_scratch += '\b'; break;
            case 'f': m_scratch += '\f'; break;
            case 'n': m_scratch += '\n'; break;
            case 'r': m_scratch += '\r'; break;
            case 't': m_scratch += '\t'; break;
            case 'u': {
                uint32_t cp = 0;
                if (!Hex4(cp)) return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail("a low surrogate without a high one before it");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    uint32_t low = 0;
                    if (!Need(2) || m_p[0] != '\\' || m_p[1] != 'u') return Fail("a high surrogate without a low one after it");
                    m_p += 2;
                    if (!Hex4(low)) return false;
                    if (low < 0xDC00 || low > 0xDFFF) return Fail("a high surrogate without a low one after it");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(m_scratch, cp);
                break;
            }
            default:
                --m_p;
                return Fail("invalid escape");
            }
        }
        out = escaped ? std::string_view(m_scratch) : std::string_view(m_mark, static_cast<size_t>(m_p - m_mark));
        ++m_p;
        m_mark = nullptr;
        return true;
    }

    // A member's key and its colon. Keys repeat throughout a design: each is kept once, and a small
    // direct-mapped cache in front of the map answers almost every key without hashing it in full.
    bool Key()
    {
        SkipSpace();
        if (m_p == m_end || *m_p != '"') return Fail(m_p == m_end ? "unexpected end of input; expected a key" : "expected a key");
        std::string_view key;
        if (!String(key)) return false;
        // looked up before reading on: the key may be a view of the input
        const size_t n = key.size();
        const size_t h = n == 0 ? 0 : (n * 131 + static_cast<unsigned char>(key[0]) * 31 + static_cast<unsigned char>(key[n - 1]) * 7 +
                                       static_cast<unsigned char>(key[n / 2])) & (kCache - 1);
        uint32_t id = m_cache[h];
        if (id == JsonTree::kNoNode || m_tree.m_keys[id] != key) {
            const std::string text(key);
            auto it = m_keyIds.find(text);
            if (it == m_keyIds.end()) {
                if (m_tree.m_keys.size() >= (1u << 24)) return Fail("the file holds more distinct keys than the loader can index");
                it = m_keyIds.emplace(text, static_cast<uint32_t>(m_tree.m_keys.size())).first;
                m_tree.m_keys.push_back(text);
                m_tree.m_keyUses.push_back(0);
            }
            id = it->second;
            m_cache[h] = id;
        }
        ++m_tree.m_keyUses[id];
        m_key = id;
        SkipSpace();
        if (m_p == m_end || *m_p != ':') return Fail("expected ':' after a key");
        ++m_p;
        return true;
    }

    uint32_t Add(JType type)
    {
        const uint32_t id = static_cast<uint32_t>(m_tree.m_nodes.size());
        m_tree.m_nodes.emplace_back();
        Node& n = m_tree.m_nodes.back();
        n.tag = static_cast<uint8_t>(type);
        if (!m_open.empty()) {
            // the first element is the node after its container: only the later ones are linked
            Open& o = m_open.back();
            if (o.last != JsonTree::kNoNode) m_tree.m_nodes[o.last].next = id;
            o.last = id;
            ++m_tree.m_nodes[o.node].v;
            if (o.object) {
                n.keyHigh = static_cast<uint8_t>(m_key >> 16);
                n.keyLow = static_cast<uint16_t>(m_key & 0xFFFF);
            }
        }
        return id;
    }

    void Start(JType type)
    {
        const uint32_t id = Add(type);
        m_open.push_back(Open{id, JsonTree::kNoNode, type == JType::Object});
    }

    JsonTree& m_tree;
    const char* m_begin;   // the buffered text (all of it without a source)
    const char* m_p;
    const char* m_end;
    const char* m_mark = nullptr;   // the start of the token being read, kept by Refill
    const JsonTree::Source* m_source = nullptr;
    size_t m_chunk = 0;
    bool m_ended = false;           // the source gave its last byte
    std::vector<char> m_buffer;
    uint64_t m_dropped = 0;         // bytes read before m_begin
    uint64_t m_droppedLines = 0;    // line breaks among them
    uint64_t m_lineStart = 0;       // offset of the line after the last of them
    std::vector<Open> m_open;
    uint32_t m_key = 0;
    std::string m_scratch;
    std::string m_error;
    std::unordered_map<std::string, uint32_t> m_keyIds;
    static constexpr size_t kCache = 512;
    uint32_t m_cache[kCache];
};

namespace {

// The tree's arrays sized for a text of that many bytes: generous guesses that avoid regrowth, whose copy would
// touch twice the memory. A design file holds a value per 12 bytes or so (one per 6 is assumed), and never more
// text than its size. Pages never touched cost nothing.
template <class Nodes, class Texts, class Wide>
void ReserveFor(uint64_t size, Nodes& nodes, Texts& texts, Wide& wide)
{
    nodes.reserve(static_cast<size_t>(size / 6 + 16));
    texts.reserve(static_cast<size_t>(size + 16));
    wide.reserve(static_cast<size_t>(size / 16 + 16));   // doubles and integers beyond 32 bits: few in a design
}

}  // namespace

bool JsonTree::Parse(const char* begin, const char* end, std::string& error,
                     const std::function<void(uint64_t)>* onObjects)
{
    Reset();
    ReserveFor(static_cast<uint64_t>(end - begin), m_nodes, m_texts, m_wide);
    TreeParser parser(*this, begin, end);
    parser.onObjects = onObjects;
    return Finish(parser.Run(error));
}

bool JsonTree::Parse(const Source& read, uint64_t sizeHint, std::string& error,
                     const std::function<void(uint64_t)>* onObjects, size_t chunk)
{
    Reset();
    ReserveFor(sizeHint, m_nodes, m_texts, m_wide);
    TreeParser parser(*this, read, chunk);
    parser.onObjects = onObjects;
    return Finish(parser.Run(error));
}

void JsonTree::Reset()
{
    static_assert(sizeof(Node) == 12, "tree nodes are kept small: a large design has tens of millions");
    m_nodes.clear();
    m_texts.clear();
    m_wide.clear();
    m_keys.clear();
    m_keyUses.clear();
    m_objects = 0;
    m_releasedNodes = m_releasedText = m_releasedWide = 0;
}

bool JsonTree::Finish(bool parsed)
{
    if (!parsed) m_nodes.clear();
    return parsed;
}

void JsonTree::ReleaseValues()
{
    std::vector<Node>().swap(m_nodes);
    std::string().swap(m_texts);
    std::vector<uint64_t>().swap(m_wide);
    m_releasedNodes = m_releasedText = m_releasedWide = 0;
}

namespace {

// Drops the whole pages within [begin, end): they read as zeros if touched again. The allocation's own
// bookkeeping lies before its first byte and is never inside.
void DiscardPages(const char* begin, const char* end)
{
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(begin) + page - 1) & ~(page - 1);
    const uintptr_t to = reinterpret_cast<uintptr_t>(end) & ~(page - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace

void JsonTree::ReleaseBefore(uint32_t node)
{
    const size_t nodes = std::min<size_t>(node, m_nodes.size());
    if (nodes > m_releasedNodes) {
        const char* base = reinterpret_cast<const char*>(m_nodes.data());
        DiscardPages(base + m_releasedNodes * sizeof(Node), base + nodes * sizeof(Node));
        m_releasedNodes = nodes;
    }
    // Texts and wide numbers are stored in document order too: those before the first of a value from `node` on
    // are done with. A short look ahead finds them (an object's first values are near it).
    bool text = false, wide = false;
    for (size_t n = nodes; n < m_nodes.size() && n < nodes + 64 && !(text && wide); ++n) {
        const Node& v = m_nodes[n];
        if (!text && v.Type() == JType::String) {
            text = true;
            if (v.v > m_releasedText) {
                DiscardPages(m_texts.data() + m_releasedText, m_texts.data() + v.v);
                m_releasedText = v.v;
            }
        } else if (!wide && v.Type() != JType::String && v.Extra() == kWide) {
            wide = true;
            if (v.v > m_releasedWide) {
                const char* base = reinterpret_cast<const char*>(m_wide.data());
                DiscardPages(base + m_releasedWide * sizeof(uint64_t), base + v.v * sizeof(uint64_t));
                m_releasedWide = v.v;
            }
        }
    }
}

size_t JsonTree::KeyUses(std::string_view key) const
{
    for (size_t k = 0; k < m_keys.size(); ++k)
        if (m_keys[k] == key) return m_keyUses[k];
    return 0;
}

// ---------------------------------------------------------------------------------------------------------

int64_t JVal::i64() const
{
    const auto& n = m_tree->m_nodes[m_node];
    if (n.Extra() != JsonTree::kWide) return static_cast<int32_t>(n.v);
    const uint64_t bits = m_tree->Wide(n);
    return n.Type() == JType::Float ? static_cast<int64_t>(dbl()) : static_cast<int64_t>(bits);
}

uint64_t JVal::u64() const { return static_cast<uint64_t>(i64()); }

double JVal::dbl() const
{
    const auto& n = m_tree->m_nodes[m_node];
    if (n.Extra() != JsonTree::kWide) return static_cast<double>(static_cast<int32_t>(n.v));
    const uint64_t bits = m_tree->Wide(n);
    switch (n.Type()) {
    case JType::Int: return static_cast<double>(static_cast<int64_t>(bits));
    case JType::Unsigned: return static_cast<double>(bits);
    default: {
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    }
}

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
    return n.Type() == JType::Array || n.Type() == JType::Object ? n.v : 0;
}

JVal JVal::front() const { return *begin(); }

JVal JVal::find(std::string_view key) const
{
    for (JVal m : *this)
        if (m.key() == key) return m;
    return JVal();
}

}  // namespace JsonFile
}  // namespace Lumo
