#include "tests/rules/CValidNames.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

struct ValidNamesTest : ::testing::Test, World<CValidNames>
{
};

TEST_F(ValidNamesTest, NoSchemesAndNoClearanceRulesIsOk)
{
    const Outcome out = run();
    EXPECT_EQ(out.status, OK);
    EXPECT_TRUE(out.findings.empty());
}

TEST_F(ValidNamesTest, CharacterSetsDifferForSchemesAndClearanceRules)
{
    const Index slashScheme = d.b.Scheme(d.design, "A/B");
    d.b.Scheme(d.design, "Plain (1)");
    d.b.ClearRule(d.design, "A/B"); // a slash is allowed in a clearance rule
    const Index bang = d.b.ClearRule(d.design, "R!\"\\");
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T53_SCHEMENAMEHASINVALIDCHARS, {{Index(), "/"}, {slashScheme, "A/B"}}},
        {E::T53_CLEARRULENAMEHASINVALIDCHARS, {{Index(), "!\"\\"}, {bang, "R!\"\\"}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(ValidNamesTest, DuplicatedSchemeNamesAreReportedOnceAfterEachPair)
{
    d.b.Scheme(d.design, "Fast");
    d.b.Scheme(d.design, "FAST");
    d.b.Scheme(d.design, "fast");
    const Outcome out = run();
    EXPECT_EQ(out.codes(), std::vector<unsigned>{E::T53_DUPLICATEDSCHEMENAMES});
    EXPECT_EQ(out.status, FAILED);
    // Each equal pair is written at once as a plain error naming the earlier scheme.
    EXPECT_NE(out.immediate.find("ERROR: Scheme and clearance rule name unique\tName duplicated: \"Fast\n"),
              std::string::npos)
        << out.immediate;
}

TEST_F(ValidNamesTest, DuplicatedClearanceRulesArePairedWithTheFirst)
{
    d.b.ClearRule(d.design, "Rule");
    const Index second = d.b.ClearRule(d.design, "RULE");
    d.b.ClearRule(d.design, "Other");
    const Index fourth = d.b.ClearRule(d.design, "rule");
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T53_CLEARRULENAMESDUPLICATED, {{Index(), "Rule"}, {second, "RULE"}}},
        {E::T53_CLEARRULENAMESDUPLICATED, {{Index(), "Rule"}, {fourth, "rule"}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(ValidNamesTest, FailedSchemeNameEndsOnlyTheSchemeCheck)
{
    const Index first = d.b.Scheme(d.design, "a/b");
    const Index second = d.b.Scheme(d.design, "S");
    d.b.Scheme(d.design, "x/y");
    d.b.Scheme(d.design, "s");
    d.b.ClearRule(d.design, "R");
    const Index dup = d.b.ClearRule(d.design, "r");
    d.b.Fail(second, "GetName");
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T53_SCHEMENAMEHASINVALIDCHARS, {{Index(), "/"}, {first, "a/b"}}},
        {E::T53_ERRNAMEOFSCHEME, {{second, ""}}},
        {E::T53_CLEARRULENAMESDUPLICATED, {{Index(), "R"}, {dup, "r"}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(ValidNamesTest, FailedReadsOfOneObject)
{
    struct Case
    {
        bool scheme;
        const char* op;
        unsigned code;
    };
    const std::vector<Case> cases = {
        {true, "GetIndex", E::T53_ERRINDEXOFSCHEME},
        {true, "GetName", E::T53_ERRNAMEOFSCHEME},
        {false, "GetIndex", E::T53_ERRINDEXCLEARRULE},
        {false, "GetName", E::T53_ERRNAMECLEARRULE},
    };
    for (const Case& c : cases)
    {
        Design design;
        const Index scheme = design.b.Scheme(design.design, "S");
        const Index rule = design.b.ClearRule(design.design, "R");
        design.b.Fail(c.scheme ? scheme : rule, c.op);
        CValidNames t;
        const Outcome out = RunTest(t, *design.session);
        EXPECT_EQ(out.codes(), std::vector<unsigned>{c.code}) << c.op;
        EXPECT_EQ(out.status, FAILED);
    }
}

TEST_F(ValidNamesTest, FailedIteratorsEndTheTest)
{
    d.b.Scheme(d.design, "a/b");
    d.b.ClearRule(d.design, "x!");
    d.b.Fail(d.design, "GetIterClearRules");
    Outcome out = run();
    EXPECT_EQ(out.codes(), std::vector<unsigned>{E::T53_ERRITEROVERCLEARRULES}); // schemes not checked either
    EXPECT_EQ(out.status, FAILED);

    Design design;
    design.b.Fail(design.design, "GetIterSchemes");
    CValidNames t;
    out = RunTest(t, *design.session);
    EXPECT_EQ(out.codes(), std::vector<unsigned>{E::T53_ERRITEROVERSCHEMES});
}

TEST_F(ValidNamesTest, LogTextsShowCharactersFollowedByTheEmptyIndex)
{
    const Index scheme = d.b.Scheme(d.design, "S/1");
    const Index rule = d.b.ClearRule(d.design, "R!");
    run();
    const std::vector<std::string> expected = {
        "ERROR 5305: Scheme name contains invalid character(s): /0-0-0. Scheme: S/1 (" + scheme.ToText() + ")",
        "ERROR 5309: Clearance rule name contains invalid character(s): !0-0-0, ClearRule: R! (" + rule.ToText() +
            ")",
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(ValidNamesTest, CheckerWritesTheFindingsInItsBlock)
{
    d.b.ClearRule(d.design, "Wide");
    d.b.ClearRule(d.design, "WIDE");
    EXPECT_EQ(CheckerBlock(*d.session, "ValidNames"),
              "Test: Scheme and clearance rule name unique\n"
              "ERROR 5310: Clearance rule Wide is duplicated in database\n"
              "Result: FAILED\n");
}

TEST_F(ValidNamesTest, QueuedDuplicateRuleGetsTheKeptNameThenTheRule)
{
    d.b.ClearRule(d.design, "Wide");
    const Index later = d.b.ClearRule(d.design, "wide");
    const std::vector<Finding> expected = {
        {E::T53_CLEARRULENAMESDUPLICATED, {{Index(), "Wide"}, {later, "wide"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
