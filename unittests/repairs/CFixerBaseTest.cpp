#include "repairs/CFixerBase.h"

#include "framework/CCharsValidator.h"

#include <gtest/gtest.h>

namespace {

struct ReplaceCase
{
    const char* name;
    const char* expected;
    bool replaced;
};

TEST(CFixerBaseTest, ReplaceInvalidCharsKeepsLengthAndCase)
{
    const std::string schemeChars = CCharsValidator::SCHEME_VALID_CHARS();
    const ReplaceCase cases[] = {
        {"A/B", "A_B", true},
        {"AB", "AB", false},
        {"/\\\"!", "____", true},
        {"", "", false},
        {"a b~", "a b~", false},
    };
    for (const ReplaceCase& c : cases)
    {
        Lumo::Index index(7);
        std::string name = c.name;
        EXPECT_EQ(CFixerBase::ReplaceInvalidChars(schemeChars.c_str(), index, name), c.replaced) << c.name;
        EXPECT_EQ(name, c.expected) << c.name;
    }

    // Case is not folded: a set without upper-case letters replaces them all.
    Lumo::Index index;
    std::string name = "aBc";
    EXPECT_TRUE(CFixerBase::ReplaceInvalidChars("abc", index, name));
    EXPECT_EQ(name, "a_c");
    // A null set allows nothing.
    name = "ab";
    EXPECT_TRUE(CFixerBase::ReplaceInvalidChars(nullptr, index, name));
    EXPECT_EQ(name, "__");
}

TEST(CFixerBaseTest, AppendIndexToNameUsesTheFull64BitValue)
{
    Lumo::Index seven(7);
    std::string name = "R";
    EXPECT_TRUE(CFixerBase::AppendIndexToName(seven, name));
    EXPECT_EQ(name, "R_7");

    std::string empty;
    CFixerBase::AppendIndexToName(seven, empty);
    EXPECT_EQ(empty, "_7");

    Lumo::Index big(0xFF00000000000001ull);
    std::string longName(2000, 'x');
    CFixerBase::AppendIndexToName(big, longName);
    EXPECT_EQ(longName, std::string(2000, 'x') + "_18374686479671623681");
}

} // namespace
