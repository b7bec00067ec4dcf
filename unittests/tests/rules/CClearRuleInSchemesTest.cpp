#include "tests/rules/CClearRuleInSchemes.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

struct ClearRuleInSchemesTest : ::testing::Test, World<CClearRuleInSchemes>
{
    // The schema clear rule of the scheme whose parent is the clearance rule.
    Index schemaRule(Index scheme, Index clearRule)
    {
        for (Index s : d.store().List(scheme, Field::schemaClearRules))
            if (d.store().Ref(s, Field::parentClearRule) == clearRule)
                return s;
        return Index();
    }
};

TEST_F(ClearRuleInSchemesTest, ConsistentSchemesAreOk)
{
    EXPECT_EQ(run().status, OK); // no schemes at all

    d.b.ClearRule(d.design, "(Default Rule)");
    d.b.Scheme(d.design, "(Master)", Lumo::ST_Master);
    d.b.Scheme(d.design, "(Minimum)", Lumo::ST_Minimum);
    d.b.ClearRule(d.design, "Wide");
    CClearRuleInSchemes t;
    const Outcome out = RunTest(t, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(ClearRuleInSchemesTest, MissingRuleAndCaseOnlyNameDifference)
{
    const Index wide = d.b.ClearRule(d.design, "Wide");
    const Index narrow = d.b.ClearRule(d.design, "Narrow");
    const Index s = d.b.Scheme(d.design, "S");
    d.b.Delete(schemaRule(s, wide));
    d.b.SetName(schemaRule(s, narrow), "NARROW"); // names are compared exactly

    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T2_MISSINGCRSCHEME, {{Index(), "Wide"}, {Index(), "S"}}},
        {E::T2_MISSINGCRSCHEME, {{Index(), "Narrow"}, {Index(), "S"}}},
        {E::T2_UNKNOWNCRSCHEME, {{Index(), "NARROW"}, {Index(), "S"}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(ClearRuleInSchemesTest, DuplicatedSchemeNameStillComparesBothSchemes)
{
    const Index wide = d.b.ClearRule(d.design, "Wide");
    d.b.Scheme(d.design, "Fast");
    const Index second = d.b.Scheme(d.design, "FAST");
    d.b.Delete(schemaRule(second, wide));
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T2_DUPLICATEDNAMEOFSCHEME, {{Index(), "FAST"}, {second, ""}}},
        {E::T2_MISSINGCRSCHEME, {{Index(), "Wide"}, {Index(), "FAST"}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(ClearRuleInSchemesTest, SchemaRuleWithTheNameOfAnotherRule)
{
    const Index r = d.b.ClearRule(d.design, "R");
    const Index r2 = d.b.ClearRule(d.design, "R2");
    const Index s = d.b.Scheme(d.design, "S");
    d.b.SetName(schemaRule(s, r2), "R"); // named like R, derived from R2
    (void)r;
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T2_NOTMATCHSCRCR, {}},
        {E::T2_MISSINGCRSCHEME, {{Index(), "R2"}, {Index(), "S"}}},
        {E::T2_INCONSISTENCYCRSCR, {}},
        {E::T2_UNKNOWNCRSCHEME, {{Index(), "R"}, {Index(), "S"}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(ClearRuleInSchemesTest, TwoSchemaRulesForOneRuleAndTheirBackReferences)
{
    const Index r = d.b.ClearRule(d.design, "R");
    const Index s = d.b.Scheme(d.design, "S");
    const Index extra = d.b.Add(Kind::SchemaClearRule, s, "R");
    d.b.Link(extra, Field::parentClearRule, r);
    EXPECT_EQ(run().codes(), std::vector<unsigned>{E::T2_MANYSCRFORCR});

    // The same, but the rule's own list does not name the extra schema clear rule.
    Design design;
    const Index r2 = design.b.ClearRule(design.design, "R");
    const Index s2 = design.b.Scheme(design.design, "S");
    const Index unlisted = design.b.Add(Kind::SchemaClearRule, s2, "R");
    design.b.SetRefOnly(unlisted, Field::parentClearRule, r2);
    CClearRuleInSchemes t;
    EXPECT_EQ(RunTest(t, *design.session).codes(), (std::vector<unsigned>{E::T2_ERRREACHSCRFROMCR, E::T2_MANYSCRFORCR}));
}

TEST_F(ClearRuleInSchemesTest, SchemaRuleOfAnotherSchemeStillTakesPart)
{
    const Index r = d.b.ClearRule(d.design, "R");
    const Index s = d.b.Scheme(d.design, "S");
    const Index other = d.b.Scheme(d.design, "Other");
    d.b.AppendOnly(s, Field::schemaClearRules, schemaRule(other, r));
    EXPECT_EQ(run().codes(), (std::vector<unsigned>{E::T2_NOTMATCHPARENTSCHEME, E::T2_MANYSCRFORCR}));
}

// A failed read and the findings it gives with two schemes S1, S2 and one clearance rule R.
struct FailureCase
{
    const char* what;
    const char* target; // "design", "S1", "R", "SCR1" (the schema clear rule of R in S1)
    const char* op;
    std::vector<unsigned> codes;
    TestStatus status;
};

TEST_F(ClearRuleInSchemesTest, ReadFailuresEndTheirSchemeOrTheTest)
{
    const std::vector<FailureCase> cases = {
        {"scheme iterator", "design", "GetIterSchemes", {E::T2_ERRITERSCHEMES}, FAILED},
        {"scheme index", "S1", "GetIndex", {E::T2_ERRINDEXSCHEME}, FAILED},
        {"scheme name", "S1", "GetName", {E::T2_ERRNAMESCHEME}, FAILED},
        {"schema rule iterator", "S1", "GetIterSchemaClearRules", {E::T2_ERRIITERCRSCHEME}, FAILED},
        // Codes without a record: the scheme is skipped and nothing is reported.
        {"schema rule name", "SCR1", "GetName", {}, OK},
        {"schema rule index", "SCR1", "GetIndex", {}, OK},
        {"parent rule", "SCR1", "GetParentClearRule", {E::T2_ERRPARENTCR}, FAILED},
        {"parent scheme", "SCR1", "GetParentScheme", {E::T2_ERRPARENTSCHEME}, FAILED},
        // Read once for the run, reported again for every scheme that needs the list.
        {"design rules", "design", "GetIterClearRules", {E::T2_ERRDESIGNITERCR, E::T2_ERRDESIGNITERCR}, FAILED},
        {"rule name", "R", "GetName", {E::T2_ERRNAMECR, E::T2_ERRNAMECR}, FAILED},
        // The schema clear rules read their parent's index first.
        {"rule index", "R", "GetIndex", {E::T2_ERRPARENTINDEXCR, E::T2_ERRPARENTINDEXCR}, FAILED},
        {"rule fetch", "R", "GetNorvClearRule", {E::T2_ERRGETCRDESIGN, E::T2_ERRGETCRDESIGN}, FAILED},
        {"rule's list", "R", "GetSchemaClearRuleMappedObjList", {E::T2_ERRGETLISTSCRFROMCR, E::T2_ERRGETLISTSCRFROMCR},
         FAILED},
    };
    for (const FailureCase& c : cases)
    {
        Design design;
        const Index r = design.b.ClearRule(design.design, "R");
        const Index s1 = design.b.Scheme(design.design, "S1");
        design.b.Scheme(design.design, "S2");
        const std::string target = c.target;
        Index object = target == "design" ? design.design : target == "S1" ? s1 : target == "R" ? r : Index();
        if (target == "SCR1")
            object = design.store().List(s1, Field::schemaClearRules).front();
        design.b.Fail(object, c.op);
        CClearRuleInSchemes t;
        const Outcome out = RunTest(t, *design.session);
        EXPECT_EQ(out.codes(), c.codes) << c.what;
        EXPECT_EQ(out.status, c.status) << c.what;
    }
}

TEST_F(ClearRuleInSchemesTest, DesignRulesAreReadOncePerRun)
{
    for (const char* name : {"R1", "R2", "R3"})
        d.b.ClearRule(d.design, name);
    for (const char* name : {"S1", "S2", "S3", "S4"})
        d.b.Scheme(d.design, name);
    Lumo::StandIn::GetCallCounts(*d.session).Reset();
    EXPECT_EQ(run().status, OK);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetIterClearRules"), 1u);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetSchemaClearRuleMappedObjList"), 3u);
}

TEST_F(ClearRuleInSchemesTest, LogTextsShowEmptyIndexesBesideTheNames)
{
    const Index wide = d.b.ClearRule(d.design, "Wide");
    d.b.Scheme(d.design, "S");
    const Index dup = d.b.Scheme(d.design, "s");
    d.b.Delete(schemaRule(dup, wide));
    run();
    const std::vector<std::string> expected = {
        "ERROR 225: Scheme name s is not unique across the design",
        "ERROR 217: There is missing clearance rule: Wide (0-0-0) in scheme: s (0-0-0)",
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(ClearRuleInSchemesTest, CheckerWritesTheFindingsInItsBlock)
{
    const Index wide = d.b.ClearRule(d.design, "Wide");
    const Index s = d.b.Scheme(d.design, "S");
    d.b.Delete(schemaRule(s, wide));
    EXPECT_EQ(CheckerBlock(*d.session, "ClearRuleInScheme"),
              "Test: Clearance rule in all schemes\n"
              "ERROR 217: There is missing clearance rule: Wide (0-0-0) in scheme: S (0-0-0)\n"
              "Result: FAILED\n");
}

TEST_F(ClearRuleInSchemesTest, QueuedRepairsGetRuleOrSchemeFirst)
{
    const Index wide = d.b.ClearRule(d.design, "Wide");
    const Index r = d.b.ClearRule(d.design, "R");
    d.b.Scheme(d.design, "S");
    const Index dup = d.b.Scheme(d.design, "s");
    d.b.Delete(schemaRule(dup, wide));
    const Index extra = d.b.Add(Kind::SchemaClearRule, dup, "R");
    d.b.Link(extra, Field::parentClearRule, r);
    const std::vector<Finding> expected = {
        {E::T2_DUPLICATEDNAMEOFSCHEME, {{Index(), "s"}, {dup, ""}}},
        {E::T2_MISSINGCRSCHEME, {{Index(), "Wide"}, {Index(), "s"}}},
        {E::T2_MANYSCRFORCR, {{Index(), "R"}, {Index(), "s"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
