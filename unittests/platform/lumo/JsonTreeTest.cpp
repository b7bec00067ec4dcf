// The design file's JSON reader: values, strings and numbers as the loader sees them, and syntax errors with
// their line and column, whether the text is in memory or read piece by piece; and the file reader under it.
#include "platform/lumo/src/JsonTree.h"

#include "platform/lumo/src/JsonFile.h"
#include "JsonTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

using Lumo::JsonFile::FileReader;
using Lumo::JsonFile::JsonTree;
using Lumo::JsonFile::JType;
using Lumo::JsonFile::JVal;

// A compact text of a value that names each number's type: i (integer), u (unsigned beyond int64), f (float).
std::string Show(JVal v)
{
    switch (v.type()) {
    case JType::Null: return "null";
    case JType::Bool: return v.boolean() ? "true" : "false";
    case JType::Int: return "i" + std::to_string(v.i64());
    case JType::Unsigned: return "u" + std::to_string(v.u64());
    case JType::Float: return "f" + v.dump();
    case JType::String: return "\"" + v.text() + "\"";
    case JType::Array: {
        std::string s = "[";
        for (JVal e : v) s += (s.size() > 1 ? "," : "") + Show(e);
        return s + "]";
    }
    case JType::Object: {
        std::string s = "{";
        for (JVal m : v) s += (s.size() > 1 ? "," : "") + std::string(m.key()) + ":" + Show(m);
        return s + "}";
    }
    default: return "?";
    }
}

// Buffer sizes the texts are also read with: every token then crosses a piece boundary somewhere. 0 stands for
// the whole text in memory.
const size_t kChunks[] = {0, 1, 2, 3, 5, 8, 64};

// Parses the text in memory (chunk 0) or from a source that hands it over in short pieces (one to four bytes,
// less than the buffer asks for) into a buffer of `chunk` bytes.
bool ParseIn(JsonTree& tree, const std::string& text, size_t chunk, std::string& error)
{
    if (chunk == 0) return tree.Parse(text.data(), text.data() + text.size(), error);
    size_t at = 0, turn = 0;
    const JsonTree::Source read = [&](char* into, size_t room) {
        const size_t n = std::min({room, text.size() - at, size_t{1} + turn++ % 4});
        std::copy(text.data() + at, text.data() + at + n, into);
        at += n;
        return n;
    };
    return tree.Parse(read, text.size(), error, nullptr, chunk);
}

TEST(JsonTree, ReadsEveryKindOfValue)
{
    struct Case {
        std::string text;
        std::string shown;
    } const cases[] = {
        {"\xEF\xBB\xBF {\"a\" : [ ] , \"b\":{}}\r\n\t", "{a:[],b:{}}"},
        {R"({"k": 1, "k": 2})", "{k:i1,k:i2}"},   // duplicate keys stay, in order
        {R"([true, false, null])", "[true,false,null]"},
        {R"([0, -0, 17, -17, 9223372036854775807, -9223372036854775808])",
         "[i0,i0,i17,i-17,i9223372036854775807,i-9223372036854775808]"},
        {R"([9223372036854775808, 18446744073709551615])", "[u9223372036854775808,u18446744073709551615]"},
        {R"([18446744073709551616, -9223372036854775809])", "[f18446744073709551616,f-9223372036854775808]"},
        {R"([1.5, -0.25, 1e2, 2E-2, 1e-400])", "[f1.5,f-0.25,f100,f0.02,f0]"},
        {R"(["", "plain", "caf\u00e9", "\ud83d\ude00", "\"\\\/\b\f\n\r\t"])",
         "[\"\",\"plain\",\"caf\xC3\xA9\",\"\xF0\x9F\x98\x80\",\"\"\\/\b\f\n\r\t\"]"},
        {"[\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"]", "[\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\"]"},
        {R"({"a\u0062": "x\ny"})", "{ab:\"x\ny\"}"},   // an escaped key is the same key
        {R"([[[[]]], {"x": [{}]}])", "[[[[]]],{x:[{}]}]"},
        {"\"top\"", "\"top\""},
        {"12345", "i12345"},
        {"[\"" + std::string(300, 'x') + "\\n" + std::string(300, 'y') + "\"]", "[\"" + std::string(300, 'x') + "\n" + std::string(300, 'y') + "\"]"},
        {R"({"a long key of forty bytes, no escapes!": -12.5e-1, "k": "\u00e9\ud83d\ude00"})",
         "{a long key of forty bytes, no escapes!:f-1.25,k:\"\xC3\xA9\xF0\x9F\x98\x80\"}"},
    };
    for (const Case& c : cases) {
        for (const size_t chunk : kChunks) {
            JsonTree tree;
            std::string error;
            ASSERT_TRUE(ParseIn(tree, c.text, chunk, error)) << c.text.substr(0, 40) << " in pieces of " << chunk << ": " << error;
            EXPECT_EQ(c.shown, Show(tree.Root())) << c.text.substr(0, 40) << " in pieces of " << chunk;
        }
    }
}

TEST(JsonTree, CountsObjectsAndKeyUses)
{
    const std::string text = R"({"id": "a", "list": [{"id": "b"}, {"id": "c", "x": {}}], "i\u0064": 1})";
    JsonTree tree;
    std::string error;
    ASSERT_TRUE(tree.Parse(text.data(), text.data() + text.size(), error)) << error;
    EXPECT_EQ(4u, tree.ObjectCount());
    EXPECT_EQ(4u, tree.KeyUses("id"));
    EXPECT_EQ(1u, tree.KeyUses("x"));
    EXPECT_EQ(0u, tree.KeyUses("y"));
    EXPECT_EQ(3u, tree.KeyCount());
    EXPECT_EQ("b", tree.Root().find("list").front().find("id").str());
}

TEST(JsonTree, SyntaxErrorsNameTheirLineAndColumn)
{
    struct Case {
        std::string text;
        const char* where;    // "line L, column C"
        const char* reason;   // a part of the message
    } const cases[] = {
        {"", "line 1, column 1", "unexpected end of input"},
        {"  \n  ", "line 2, column 3", "unexpected end of input"},
        {"{\"a\": 1", "line 1, column 8", "unexpected end of input"},
        {"{\"a\": 1}\n x", "line 2, column 2", "unexpected content after the document"},
        {"{\"a\" 1}", "line 1, column 6", "expected ':'"},
        {"{\"a\": 1,}", "line 1, column 9", "expected a key"},
        {"{1: 2}", "line 1, column 2", "expected a key"},
        {"[1 2]", "line 1, column 4", "expected ',' or ']'"},
        {"{\"a\": 1 \"b\": 2}", "line 1, column 9", "expected ',' or '}'"},
        {"[1,]", "line 1, column 4", "unexpected character"},
        {"[tru]", "line 1, column 2", "invalid literal"},
        {"[nul", "line 1, column 2", "invalid literal"},
        {"[01]", "line 1, column 3", "expected ',' or ']'"},
        {"[-]", "line 1, column 3", "expected a digit after '-'"},
        {"[1.]", "line 1, column 4", "expected a digit after '.'"},
        {"[1e+]", "line 1, column 5", "expected a digit in the exponent"},
        {"[+1]", "line 1, column 2", "unexpected character"},
        {"[1e400]", "line 1, column 2", "number overflow"},
        {"[\"abc", "line 1, column 6", "unterminated string"},
        {"[\"a\tb\"]", "line 1, column 4", "control character"},
        {"[\"a\\x\"]", "line 1, column 5", "invalid escape"},
        {"[\"\\u12G4\"]", "line 1, column 3", "four hexadecimal digits"},
        {"[\"\\u12\"]", "line 1, column 3", "four hexadecimal digits"},
        {"[\"\\udc00\"]", "line 1, column 9", "low surrogate"},
        {"[\"\\ud800x\"]", "line 1, column 9", "high surrogate"},
        {"[\"\\ud800\\u0041\"]", "line 1, column 15", "high surrogate"},
        {"[\"\xC0\x80\"]", "line 1, column 3", "invalid UTF-8"},          // overlong
        {"[\"\xED\xA0\x80\"]", "line 1, column 3", "invalid UTF-8"},      // an encoded surrogate
        {"[\"\xF4\x90\x80\x80\"]", "line 1, column 3", "invalid UTF-8"},  // beyond U+10FFFF
        {"[\"\xE2\x82\"]", "line 1, column 3", "invalid UTF-8"},          // cut short
        {"[\"\xFF\"]", "line 1, column 3", "invalid UTF-8"},
        {std::string(100000, '['), "line 1, column 100001", "unexpected end of input"},   // no recursion
        // later lines, with their breaks in pieces read before the fault's
        {"[1,\n 2,\n\n  x]", "line 4, column 3", "unexpected character"},
        {"{\"a\":\r\n  \"b\\q\"}", "line 2, column 6", "invalid escape"},
        {"[\"ab\",\n \"\\ud800\\u0041\"]", "line 2, column 15", "high surrogate"},
        {"[\n\"\xE2\x82\"]", "line 2, column 2", "invalid UTF-8"},
        {"[\n\n1e400]", "line 3, column 1", "number overflow"},
        {"{\"a\": [\n]}\n\n  ,", "line 4, column 3", "unexpected content after the document"},
        {"{\"key\"\n\n :\n1 \"b\": 2}", "line 4, column 3", "expected ',' or '}'"},
    };
    for (const Case& c : cases) {
        for (const size_t chunk : kChunks) {
            JsonTree tree;
            std::string error;
            EXPECT_FALSE(ParseIn(tree, c.text, chunk, error)) << c.text.substr(0, 40) << " in pieces of " << chunk;
            EXPECT_NE(std::string::npos, error.find(c.where)) << c.text.substr(0, 40) << " in pieces of " << chunk << ": " << error;
            EXPECT_NE(std::string::npos, error.find(c.reason)) << c.text.substr(0, 40) << " in pieces of " << chunk << ": " << error;
        }
    }
}

// A number keeps its type and value whether it fits a node or lies aside: at the edges of 32 and 64 bits, with
// the values aside mixed among those that fit, in every piece size.
TEST(JsonTree, NumbersKeepTheirTypeAndValueAtEveryWidth)
{
    struct Case {
        const char* text;
        JType type;
        int64_t i;    // i64(), integers only
        uint64_t u;   // u64(), integers only
        double d;     // dbl()
        const char* dumped;
    } const cases[] = {
        {"0", JType::Int, 0, 0, 0.0, "0"},
        {"2147483647", JType::Int, INT32_MAX, INT32_MAX, 2147483647.0, "2147483647"},
        {"-2147483648", JType::Int, INT32_MIN, static_cast<uint64_t>(int64_t{INT32_MIN}), -2147483648.0, "-2147483648"},
        {"2147483648", JType::Int, 2147483648, 2147483648u, 2147483648.0, "2147483648"},
        {"-2147483649", JType::Int, -2147483649, static_cast<uint64_t>(int64_t{-2147483649}), -2147483649.0, "-2147483649"},
        {"4294967295", JType::Int, UINT32_MAX, UINT32_MAX, 4294967295.0, "4294967295"},
        {"-1", JType::Int, -1, UINT64_MAX, -1.0, "-1"},
        {"9223372036854775807", JType::Int, INT64_MAX, INT64_MAX, 9223372036854775807.0, "9223372036854775807"},
        {"-9223372036854775808", JType::Int, INT64_MIN, uint64_t{1} << 63, -9223372036854775808.0, "-9223372036854775808"},
        {"9223372036854775808", JType::Unsigned, INT64_MIN, uint64_t{1} << 63, 9223372036854775808.0, "9223372036854775808"},
        {"18446744073709551615", JType::Unsigned, -1, UINT64_MAX, 18446744073709551615.0, "18446744073709551615"},
        {"-0.0", JType::Float, 0, 0, -0.0, "-0"},
        {"1e308", JType::Float, 0, 0, 1e308, "1e+308"},
        {"-2.5", JType::Float, -2, 0, -2.5, "-2.5"},
        {"true", JType::Bool, 0, 0, 0.0, "true"},
    };
    std::string text = "[";
    for (const Case& c : cases) text += std::string(text.size() > 1 ? "," : "") + c.text;
    text += "]";
    for (const size_t chunk : kChunks) {
        JsonTree tree;
        std::string error;
        ASSERT_TRUE(ParseIn(tree, text, chunk, error)) << error;
        ASSERT_EQ(std::size(cases), tree.Root().size());
        const Case* c = cases;
        for (JVal v : tree.Root()) {
            EXPECT_EQ(c->type, v.type()) << c->text << " in pieces of " << chunk;
            EXPECT_EQ(c->type == JType::Unsigned, v.is_number_unsigned()) << c->text;
            EXPECT_EQ(c->dumped, v.dump()) << c->text;
            if (v.is_number_integer()) {
                EXPECT_EQ(c->i, v.i64()) << c->text;
                EXPECT_EQ(c->u, v.u64()) << c->text;
            }
            if (v.is_number()) {
                EXPECT_EQ(c->d, v.dbl()) << c->text;
                EXPECT_EQ(std::signbit(c->d), std::signbit(v.dbl())) << c->text;
            }
            ++c;
        }
    }
}

// Strings of every length keep their bytes, whether the length fits the node or goes with the text, among keys
// and numbers; and containers of every shape keep their sizes and elements.
TEST(JsonTree, StringsOfEveryLengthAndContainersOfEveryShape)
{
    const size_t lengths[] = {0, 1, 14, 15, 16, 127, 128, 129, 16383, 16384, 16385, size_t{1} << 20};
    std::vector<std::string> texts;
    std::string text = "[";
    for (const size_t n : lengths) {
        std::string s(n, ' ');
        for (size_t k = 0; k < n; ++k) s[k] = static_cast<char>('a' + (k * 7 + texts.size()) % 26);
        text += std::string(texts.empty() ? "" : ",") + "{\"s\":\"" + s + "\",\"n\":" + std::to_string(n) + "}";
        texts.push_back(s);
    }
    text += "]";
    for (const size_t chunk : kChunks) {
        JsonTree tree;
        std::string error;
        ASSERT_TRUE(ParseIn(tree, text, chunk, error)) << error;
        size_t i = 0;
        for (JVal o : tree.Root()) {
            EXPECT_EQ(texts[i], o.find("s").str()) << "length " << lengths[i] << " in pieces of " << chunk;
            EXPECT_EQ(static_cast<int64_t>(lengths[i]), o.find("n").i64()) << "length " << lengths[i];
            ++i;
        }
        EXPECT_EQ(std::size(lengths), i);
    }

    // each container's size, then its elements
    std::function<std::string(JVal)> shape = [&](JVal v) {
        if (!v.is_array() && !v.is_object()) return Show(v);
        std::string s = std::to_string(v.size()) + (v.is_array() ? "[" : "{");
        for (JVal e : v) s += (v.is_object() ? std::string(e.key()) + ":" : "") + shape(e) + " ";
        return s + (v.is_array() ? "]" : "}");
    };
    struct Case {
        const char* text;
        const char* shape;
    } const shapes[] = {
        {"[]", "0[]"},
        {"{}", "0{}"},
        {"[[],{},[[]],{\"a\":{}}]", "4[0[] 0{} 1[0[] ] 1{a:0{} } ]"},
        {"[1,[2,[3,[]],4],5]", "3[i1 3[i2 2[i3 0[] ] i4 ] i5 ]"},
        {"{\"a\":[],\"b\":{\"c\":[{}],\"d\":\"x\"},\"e\":[[1e9],[]]}", "3{a:0[] b:2{c:1[0{} ] d:\"x\" } e:2[1[f1e+09 ] 0[] ] }"},
    };
    for (const Case& c : shapes) {
        const std::string t = c.text;
        JsonTree tree;
        std::string error;
        ASSERT_TRUE(ParseIn(tree, t, 0, error)) << error;
        EXPECT_EQ(c.shape, shape(tree.Root())) << c.text;
    }
}

// Giving back the memory of the values read so far leaves the later ones whole: their nodes, texts and the
// numbers kept aside, as the loader reads them, object by object.
TEST(JsonTree, ValuesAfterAReleaseStillRead)
{
    constexpr int kObjects = 20000;
    auto id = [](int i) { return "object number " + std::to_string(i) + " of a long list"; };
    std::string text = "[";
    for (int i = 0; i < kObjects; ++i) {
        text += std::string(i ? "," : "") + "{\"id\":\"" + id(i) + "\",\"n\":" + std::to_string(i) + ",\"w\":" +
                std::to_string(5000000000 + i) + ",\"f\":" + std::to_string(i) + ".5,\"e\":[]}";
    }
    text += "]";
    JsonTree tree;
    std::string error;
    ASSERT_TRUE(tree.Parse(text.data(), text.data() + text.size(), error)) << error;
    int i = 0;
    for (JVal o : tree.Root()) {
        if (i % 1000 == 0) tree.ReleaseBefore(o.id());
        ASSERT_EQ(id(i), o.find("id").str()) << i;
        ASSERT_EQ(i, o.find("n").i64()) << i;
        ASSERT_EQ(5000000000 + i, o.find("w").i64()) << i;
        ASSERT_EQ(i + 0.5, o.find("f").dbl()) << i;
        ASSERT_TRUE(o.find("e").empty()) << i;
        ++i;
    }
    EXPECT_EQ(kObjects, i);
}

// The reader gives a file's bytes as they are, and refuses one whose size changes between the opening and the end
// of the reading: it ends early (shrunk), or gives bytes beyond its size (grown), also exactly at that size.
TEST(JsonTree, FileReaderRefusesAFileThatChangesWhileRead)
{
    const std::string text(10000, 'a');
    struct Case {
        const char* what;
        size_t readFirst;   // bytes read before the change
        long newSize;       // -1: unchanged
        bool refused;
    } const cases[] = {
        {"unchanged", 4000, -1, false},
        {"shrunk below what is read", 4000, 2000, true},
        {"shrunk after what is read", 4000, 6000, true},
        {"grown", 4000, 12000, true},
        {"grown once read whole", 10000, 10001, true},
    };
    for (const Case& c : cases) {
        LumoTest::TempDir dir;
        const std::string path = dir.File("f.json");
        LumoTest::WriteText(path, text);
        FileReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(path, error)) << error;
        EXPECT_EQ(text.size(), reader.Size());
        std::string got(text.size() + 100, '\0');
        size_t done = 0;
        while (done < c.readFirst) done += reader.Read(&got[done], c.readFirst - done);
        if (c.newSize >= 0) {
            ASSERT_EQ(0, ::truncate(path.c_str(), c.newSize)) << c.what;
        }
        while (size_t n = reader.Read(&got[done], 7)) done += n;
        EXPECT_EQ(c.refused, reader.Failed()) << c.what;
        if (c.refused) {
            EXPECT_NE(std::string::npos, reader.Error().find("the file changed while it was read")) << c.what << ": " << reader.Error();
        } else {
            EXPECT_EQ(text, got.substr(0, done)) << c.what;
        }
        EXPECT_EQ(0u, reader.Read(&got[0], 1)) << c.what << ": nothing more after the end";
    }
}

}  // namespace
