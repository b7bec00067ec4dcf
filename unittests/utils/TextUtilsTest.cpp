#include "utils/TextUtils.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

namespace {

using namespace LumoUtils;
using Pieces = std::vector<std::string>;

TEST(TextUtilsTest, TrimRemovesOnlyBlanksTabsAndLineBreaks)
{
    EXPECT_EQ("", trim(" \t\r\n "));
    EXPECT_EQ("a b", trim("\t a b\r\n"));
    EXPECT_EQ("a \n", trimLeft("\n a \n"));
    EXPECT_EQ(" \ta", trimRight(" \ta\r"));
    EXPECT_EQ("\fa\f", trim(" \fa\f ")); // a form feed is not white space here
    EXPECT_EQ("", trimLeft(""));
    EXPECT_EQ("", trimRight(""));
}

TEST(TextUtilsTest, CaseChangesOnlyAsciiLettersAndKeepsEmbeddedZeros)
{
    const std::string mixed("Ab\0Z\xC4\xE4z9", 8);
    EXPECT_EQ(std::string("ab\0z\xC4\xE4z9", 8), toLower(mixed));
    EXPECT_EQ(std::string("AB\0Z\xC4\xE4Z9", 8), toUpper(mixed));
}

TEST(TextUtilsTest, ReplaceCharChangesInPlace)
{
    std::string path = "a\\b\\c";
    EXPECT_EQ("a/b/c", replaceChar(path, '\\', '/'));
    EXPECT_EQ("a/b/c", path);
}

TEST(TextUtilsTest, ReplaceAllNeverRescansInsertedText)
{
    struct Row {
        const char* text;
        const char* from;
        const char* to;
        const char* expected;
    };
    const Row rows[] = {
        {"aa", "a", "aa", "aaaa"},
        {"abcabc", "bc", "", "aa"},
        {"xyz", "q", "r", "xyz"},
        {"aaa", "aa", "b", "ba"},
        {"", "a", "b", ""},
        {"keep", "", "x", "keep"}, // empty pattern: unchanged, and no endless loop
        {"keep", nullptr, "x", "keep"},
        {"a-b", "-", nullptr, "ab"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        std::string s = row.text;
        EXPECT_EQ(row.expected, replaceAll(s, row.from, row.to));
        EXPECT_EQ(row.expected, s);
    }
}

TEST(TextUtilsTest, EscapeNewlinesWritesBackslashEscapes)
{
    std::string s = "a\r\nb\n";
    EXPECT_EQ("a\\r\\nb\\n", escapeNewlines(s));
}

TEST(TextUtilsTest, EscapeControlsWritesEveryControlByteAsHex)
{
    struct Row
    {
        std::string text;
        const char* keep;
        std::string expected;
    };
    const Row rows[] = {
        {"net \xC3\xA9 ~!", "", "net \xC3\xA9 ~!"}, // printable and UTF-8 bytes stay
        {"a\nResult: OK\r", "", "a\\x0AResult: OK\\x0D"},
        {std::string("\0\x01\t\x1b[2J\x1f\x7f", 9), "", "\\x00\\x01\\x09\\x1B[2J\\x1F\\x7F"},
        {std::string("a\tb\nc\0\x1b", 7), "\t\n", "a\tb\nc\\x00\\x1B"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.expected, escapeControls(row.text, row.keep)) << row.text;
        EXPECT_EQ(row.expected != row.text, hasControlChars(row.text)) << row.text;
    }
}

TEST(TextUtilsTest, CompareSubstring)
{
    EXPECT_TRUE(compareSubstring("NTFS", 0, 4, "NTFS", true));
    EXPECT_FALSE(compareSubstring("NTF", 0, 4, "NTFS", true)); // cut length 3 differs from 4
    EXPECT_TRUE(compareSubstring("xNTfs", 1, 100, "ntFS", false));
    EXPECT_FALSE(compareSubstring("xNTfs", 1, 100, "ntFS", true));
    EXPECT_FALSE(compareSubstring("abc", 3, 0, "", true)); // pos outside s
    EXPECT_FALSE(compareSubstring("", 0, 0, "", true));
    EXPECT_TRUE(compareSubstring("abc", 1, 0, "", true));
}

TEST(TextUtilsTest, StripPrefixAndSuffix)
{
    std::string rest = "old";
    EXPECT_TRUE(stripPrefix("FAT32", "fat", rest, false));
    EXPECT_EQ("32", rest);
    EXPECT_FALSE(stripPrefix("FAT32", "fat", rest, true));
    EXPECT_EQ("", rest);
    EXPECT_TRUE(stripPrefix("abc", "", rest, true));
    EXPECT_EQ("abc", rest);
    rest = "old";
    EXPECT_FALSE(stripPrefix("", "", rest, true));
    EXPECT_EQ("", rest);

    EXPECT_TRUE(stripSuffix("name.TMP", ".tmp", rest, false));
    EXPECT_EQ("name", rest);
    EXPECT_TRUE(stripSuffix(".tmp", ".tmp", rest, true));
    EXPECT_EQ("", rest);
    rest = "old";
    EXPECT_FALSE(stripSuffix("tmp", ".tmp", rest, true)); // longer than s
    EXPECT_EQ("", rest);
}

TEST(TextUtilsTest, RandomStringUsesUpperCaseLettersAndDigits)
{
    EXPECT_EQ("", randomString(0));
    const std::string s = randomString(64);
    ASSERT_EQ(64u, s.size());
    EXPECT_EQ(std::string::npos, s.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
}

TEST(TextUtilsTest, Base64KnownValues)
{
    struct Row {
        const char* plain;
        const char* encoded;
    };
    const Row rows[] = {
        {"", ""}, {"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}, {"abcd", "YWJjZA=="}, {"foobar", "Zm9vYmFy"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.plain);
        EXPECT_EQ(row.encoded, base64Encode(std::string(row.plain)));
        EXPECT_EQ(row.plain, base64Decode(row.encoded));
    }
}

TEST(TextUtilsTest, Base64RoundTripOfEveryByteValue)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    for (std::size_t length : {0u, 1u, 2u, 3u, 254u, 255u, 256u}) {
        const std::string part = bytes.substr(0, length);
        const std::string encoded = base64Encode(part.data(), part.size());
        EXPECT_EQ((length + 2) / 3 * 4, encoded.size());
        EXPECT_EQ(part, base64Decode(encoded));
    }
    // '/' and '+' come from the high bytes.
    EXPECT_EQ("+/8=", base64Encode(std::string("\xFB\xFF")));
}

TEST(TextUtilsTest, Base64DecodeStopsAtPaddingOrForeignCharacter)
{
    EXPECT_EQ("ab", base64Decode("YWI=YWJj"));
    EXPECT_EQ("abc", base64Decode("YWJj YWJj"));
    EXPECT_EQ("abc", base64Decode("YWJjZ")); // a single leftover character yields nothing
    EXPECT_EQ("", base64Decode("*YWJj"));
}

TEST(TextUtilsTest, IsBase64Char)
{
    for (unsigned char c : std::string("azAZ09+/"))
        EXPECT_TRUE(isBase64Char(c)) << c;
    for (unsigned char c : std::string("=-_ .\xFF"))
        EXPECT_FALSE(isBase64Char(c)) << c;
}

TEST(TextUtilsTest, SplitLeavesOutEmptyPieces)
{
    struct Row {
        const char* text;
        const char* delimiter;
        Pieces expected;
    };
    const Row rows[] = {
        {";a;;b;", ";", {"a", "b"}},
        {"U1", ";", {"U1"}},
        {"", ";", {}},
        {";;", ";", {}},
        {" a ; b ", ";", {" a ", " b "}}, // no trimming
        {"a::b:c", "::", {"a", "b:c"}},
        {"a;b", "", {"a;b"}}, // empty delimiter: one piece, no endless loop
        {"", "", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " by " + row.delimiter);
        EXPECT_EQ(row.expected, split(row.text, row.delimiter));
        const std::list<std::string> asList(row.expected.begin(), row.expected.end());
        EXPECT_EQ(asList, splitToList(row.text, row.delimiter));
    }
}

TEST(TextUtilsTest, SplitIntoAppendsAndReturnsTheNewSize)
{
    Pieces out = {"x"};
    EXPECT_EQ(3, splitInto("a;b", ";", out));
    EXPECT_EQ((Pieces{"x", "a", "b"}), out);
    std::list<std::string> list = {"x"};
    EXPECT_EQ(1, splitIntoList("", ";", list));
    EXPECT_EQ(2, splitIntoList(";y;", ";", list));
    EXPECT_EQ((std::list<std::string>{"x", "y"}), list);
}

} // namespace
