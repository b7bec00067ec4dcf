// The design file's JSON reader: values, strings and numbers as the loader sees them, and syntax errors with
// their line and column.
#include "platform/lumo/src/JsonTree.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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

TEST(JsonTree, ReadsEveryKindOfValue)
{
    struct Case {
        const char* text;
        const char* shown;
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
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        JsonTree tree;
        std::string error;
        ASSERT_TRUE(tree.Parse(text.data(), text.data() + text.size(), error)) << c.text << ": " << error;
        EXPECT_EQ(c.shown, Show(tree.Root())) << c.text;
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
    };
    for (const Case& c : cases) {
        JsonTree tree;
        std::string error;
        EXPECT_FALSE(tree.Parse(c.text.data(), c.text.data() + c.text.size(), error)) << c.text;
        EXPECT_NE(std::string::npos, error.find(c.where)) << c.text.substr(0, 40) << ": " << error;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << c.text.substr(0, 40) << ": " << error;
    }
}

}  // namespace
