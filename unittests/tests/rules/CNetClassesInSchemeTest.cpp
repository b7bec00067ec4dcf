#include "tests/rules/CNetClassesInScheme.h"

#include "RuleTestKit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

struct NetClassesInSchemeTest : ::testing::Test, World<CNetClassesInScheme>
{
    // The scheme net class rule of the class in the scheme (searched in the whole rule tree).
    Index rule(Index scheme, Index netClass)
    {
        std::vector<Index> todo = d.store().List(scheme, Field::schemaNetClassRules);
        while (!todo.empty())
        {
            const Index r = todo.back();
            todo.pop_back();
            if (d.store().Ref(r, Field::parentNetClass) == netClass)
                return r;
            for (Index c : d.store().List(r, Field::childRules))
                todo.push_back(c);
        }
        return Index();
    }
};

TEST_F(NetClassesInSchemeTest, ConsistentTreesAreOk)
{
    const Index a = d.b.NetClass(d.design, "A");
    d.b.NetClass(a, "B");
    d.b.NetClass(d.design, "C");
    d.b.Scheme(d.design, "S1");
    d.b.Scheme(d.design, "S2");
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(NetClassesInSchemeTest, DuplicatedGlobalNamesWithoutSchemes)
{
    const Index first = d.b.NetClass(d.design, "Fast");
    d.b.NetClass(d.design, "FAST");
    d.b.NetClass(d.design, "fast");
    const Index second = d.store().List(d.design, Field::netClasses)[1];
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T28_DUPLICATEDGLOBALNETCLASS, {{Index(), "FAST"}, {first, ""}}},
        {E::T28_DUPLICATEDGLOBALNETCLASS, {{Index(), "fast"}, {first, ""}}},
        {E::T28_DUPLICATEDGLOBALNETCLASS, {{Index(), "fast"}, {second, ""}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(NetClassesInSchemeTest, MissingAndUnknownRules)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index c = d.b.NetClass(d.design, "C");
    const Index s1 = d.b.Scheme(d.design, "S1");
    const Index s2 = d.b.Scheme(d.design, "S2");
    d.b.Delete(rule(s1, c));
    d.b.SetName(rule(s2, a), "a");      // names are compared without regard to case
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS, {{c, "C"}, {s1, "S1"}}},
    };
    EXPECT_EQ(out.findings, expected);

    // A rule whose name no global class has hides the missing ones of its scheme.
    Design design;
    design.b.NetClass(design.design, "A");
    const Index cc = design.b.NetClass(design.design, "C");
    const Index s = design.b.Scheme(design.design, "S");
    const Index renamed = design.store().List(s, Field::schemaNetClassRules)[1];
    ASSERT_EQ(design.store().Ref(renamed, Field::parentNetClass), cc);
    design.b.SetName(renamed, "Z");
    CNetClassesInScheme t;
    const std::vector<Finding> hidden = {
        {E::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, {{renamed, "Z"}, {s, "S"}}},
    };
    EXPECT_EQ(RunTest(t, *design.session).findings, hidden);
}

TEST_F(NetClassesInSchemeTest, RuleNamedLikeAnotherClassEndsTheSchemeMatching)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index c = d.b.NetClass(d.design, "C");
    const Index s = d.b.Scheme(d.design, "S");
    d.b.NetClass(d.design, "D"); // would be fine; the matching of S ends before the global side
    const Index ruleC = rule(s, c);
    d.b.SetName(ruleC, "A");
    (void)a;
    const std::vector<Finding> expected = {
        {E::T28_SCHEMENETCLASSNOTDERIVERFROMNETCLASSWITHSAMENAME, {{ruleC, "A"}}},
    };
    EXPECT_EQ(run().findings, expected);
}

TEST_F(NetClassesInSchemeTest, ChildRulesAreNamedByTheirPath)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index b = d.b.NetClass(a, "B");
    const Index s = d.b.Scheme(d.design, "S");
    EXPECT_TRUE(run().findings.empty());

    // Without its parent rule's name the child is "B", which no global class is.
    d.b.Fail(rule(s, a), "GetName");
    CNetClassesInScheme t;
    const std::vector<Finding> expected = {
        {E::T28_ERRNAMEOFSCHEMENETCLASS, {}},
        {E::T28_ERRNAMEOFSCHEMENETCLASS, {}},
        {E::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, {{rule(s, a), ""}, {s, "S"}}},
        {E::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, {{rule(s, b), "B"}, {s, "S"}}},
    };
    EXPECT_EQ(RunTest(t, *d.session).findings, expected);
}

TEST_F(NetClassesInSchemeTest, RuleOfAnotherSchemeAndUnreachableRules)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index s1 = d.b.Scheme(d.design, "S1");
    const Index s2 = d.b.Scheme(d.design, "S2");
    d.b.AppendOnly(s1, Field::schemaNetClassRules, rule(s2, a));
    const std::vector<Finding> expected = {
        {E::T28_PARENTSCHEMEOFSCHEMENETCLASSDIFFERENTTHANEXAMINED, {}},
        {E::T28_NETCLASSHASMANYCORRESPONDINGSCHEMENETCLASSES, {{a, ""}}},
    };
    EXPECT_EQ(run().findings, expected);

    // The class no longer lists its rules: every scheme reports its rule unreachable.
    Design design;
    const Index c = design.b.NetClass(design.design, "C");
    design.b.Scheme(design.design, "S1");
    design.b.Scheme(design.design, "S2");
    design.store().ClearList(c, Field::schemaNetClassRules);
    CNetClassesInScheme t;
    EXPECT_EQ(RunTest(t, *design.session).codes(),
              (std::vector<unsigned>{E::T28_CANTREACHSCHEMENETCLASSFROMNETCLASS,
                                     E::T28_CANTREACHSCHEMENETCLASSFROMNETCLASS}));
}

// One global class A and one scheme S; the failed read of one object and the codes it gives.
struct FailureCase
{
    const char* target; // "design", "A", "S", "rule" (A's rule in S)
    const char* op;
    std::vector<unsigned> codes;
};

TEST_F(NetClassesInSchemeTest, ReadFailures)
{
    const unsigned noGlobal = E::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS;
    const unsigned noRule = E::T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS;
    const std::vector<FailureCase> cases = {
        {"design", "GetIterSchemes", {E::T28_ERRITEROFSCHEMES}},
        {"design", "GetIterNetClasses", {E::T28_ERRITEROFNETCLASSES}},
        // The scheme's rule reads its parent class's index too and is left out.
        {"A", "GetIndex", {E::T28_ERRINDEXOFNETCLASS, E::T28_ERRINDEXOFPARENTNETCLASSOFSCHEMENETCLASS}},
        {"A", "GetHierarchicalName", {E::T28_ERRNAMEOFNETCLASS, noGlobal}},
        {"A", "GetIterChildNetClasses", {}},
        {"A", "GetNorvNetClass", {E::T28_ERRNETCLASSFROMDESIGN}},
        {"A", "GetSchemaNetClassMappedObjList", {E::T28_ERRLISTOFNETCLASSESFROMSCHEMENETCLASS}},
        {"S", "GetIndex", {E::T28_ERRINDEXOFSCHEME}},
        {"S", "GetName", {E::T28_ERRNAMEOFSCHEME}},
        {"S", "GetIterSchemaNetClassRules", {E::T28_ERRITEROFNETCLASSESINSCHEME}},
        {"rule", "GetIndex", {E::T28_ERRINDEXOFSCHEMENETCLASS, noRule}},
        {"rule", "GetParentNetClass", {E::T28_ERRPARENTNETCLASSOFSCHEMENETCLASS, noRule}},
        {"rule", "GetName", {E::T28_ERRNAMEOFSCHEMENETCLASS, noGlobal}},
        {"rule", "GetParentScheme", {E::T28_ERRPARENTSCHEMEOFSCHEMENETCLASS, noRule}},
        {"rule", "GetIterSchemeNetClassRuleChild", {}},
    };
    for (const FailureCase& c : cases)
    {
        Design design;
        const Index a = design.b.NetClass(design.design, "A");
        const Index s = design.b.Scheme(design.design, "S");
        const std::string target = c.target;
        const Index object = target == "design" ? design.design
                             : target == "A"    ? a
                             : target == "S"    ? s
                                                : design.store().List(s, Field::schemaNetClassRules).front();
        design.b.Fail(object, c.op);
        CNetClassesInScheme t;
        const Outcome out = RunTest(t, *design.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, c.codes.empty() ? OK : FAILED) << c.target << " " << c.op;
    }
}

TEST_F(NetClassesInSchemeTest, RuleCyclesEndTheirBranch)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index b = d.b.NetClass(a, "B");
    const Index s = d.b.Scheme(d.design, "S");
    // Listed below its own child: the walk down passes over it the second time.
    d.b.AppendOnly(rule(s, b), Field::childRules, rule(s, a));
    EXPECT_EQ(run().codes(), std::vector<unsigned>{E::T28_NETCLASSHASMANYCORRESPONDINGSCHEMENETCLASSES});

    // Owned by its own child: the climb for the path name stops where it comes round.
    Design design;
    const Index a2 = design.b.NetClass(design.design, "A");
    const Index b2 = design.b.NetClass(a2, "B");
    const Index s2 = design.b.Scheme(design.design, "S");
    const Index top = design.store().List(s2, Field::schemaNetClassRules).front();
    const Index child = design.store().List(top, Field::childRules).front();
    (void)b2;
    design.store().SetRef(top, Field::in, child);
    CNetClassesInScheme t;
    EXPECT_THAT(RunTest(t, *design.session).codes(), ::testing::Contains(E::T28_ERRNAMEOFSCHEMENETCLASS));
}

TEST_F(NetClassesInSchemeTest, GlobalListsAreReadOncePerRun)
{
    const Index a = d.b.NetClass(d.design, "A");
    d.b.NetClass(a, "B");
    for (const char* name : {"S1", "S2", "S3"})
        d.b.Scheme(d.design, name);
    Lumo::StandIn::GetCallCounts(*d.session).Reset();
    EXPECT_EQ(run().status, OK);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetHierarchicalName"), 2u);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetSchemaNetClassMappedObjList"), 2u);
}

TEST_F(NetClassesInSchemeTest, LogTexts)
{
    const Index a = d.b.NetClass(d.design, "A");
    d.b.NetClass(d.design, "a");
    const Index s = d.b.Scheme(d.design, "S");
    d.b.Delete(rule(s, a));
    run();
    const std::vector<std::string> expected = {
        "ERROR 2828: Net class name a is not unique across the design",
        "ERROR 2818: Global net class A has no corresponding net class in scheme S",
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(NetClassesInSchemeTest, CheckerWritesTheFindingsInItsBlock)
{
    d.b.NetClass(d.design, "A");
    const Index s = d.b.Scheme(d.design, "S");
    d.b.SetName(d.store().List(s, Field::schemaNetClassRules).front(), "Z");
    EXPECT_EQ(CheckerBlock(*d.session, "NetClassInSchemes"),
              "Test: Net class in all schemes\n"
              "ERROR 2816: Net class Z in scheme S has no corresponding global net class\n"
              "Result: FAILED\n");
}

TEST_F(NetClassesInSchemeTest, QueuedRepairsGetTheirPairsInOrder)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index dup = d.b.NetClass(d.design, "a");
    const Index s = d.b.Scheme(d.design, "S");
    const Index other = d.b.Scheme(d.design, "T");
    const Index ruleDup = rule(s, dup);
    d.b.Delete(rule(s, a));
    d.b.SetName(rule(other, dup), "Z");
    const std::vector<Finding> expected = {
        {E::T28_DUPLICATEDGLOBALNETCLASS, {{Index(), "a"}, {a, ""}}},
        {E::T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS, {{a, "A"}, {s, "S"}}},
        {E::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, {{rule(other, dup), "Z"}, {other, "T"}}},
    };
    (void)ruleDup;
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
