#include "tests/rules/CExistAllUsedNetClasses.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

// Net classes A and A/B; electrical nets E1 (physical net P1 in A) and E2 (P2 in A/B).
struct ExistAllUsedNetClassesWorld : World<CExistAllUsedNetClasses>
{
    Index a = d.b.NetClass(d.design, "A");
    Index b = d.b.NetClass(a, "B");
    Index e1 = d.b.ElectricalNet(d.config, "E1");
    Index e2 = d.b.ElectricalNet(d.config, "E2");
    Index p1 = pnet("P1", e1, a);
    Index p2 = pnet("P2", e2, b);

    Index pnet(const std::string& name, Index enet, Index cls)
    {
        const Index p = d.b.PhysicalNet(d.config, name, enet);
        if (!cls.IsEmpty())
            d.b.Link(p, Field::netClass, cls);
        return p;
    }
    // A class owned by the parent but missing from its list of children: it is not in the tree.
    Index unlisted(Index parent, const std::string& name)
    {
        const Index cls = d.b.NetClass(parent, name);
        d.unlist(parent, parent == d.design ? Field::netClasses : Field::childNetClasses, cls);
        return cls;
    }
};

struct ExistAllUsedNetClassesTest : ::testing::Test, ExistAllUsedNetClassesWorld
{
};

TEST_F(ExistAllUsedNetClassesTest, NetsOfClassesInTheTreeAreOk)
{
    d.b.DiffPair(d.config, "DP", e1, e2);
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(ExistAllUsedNetClassesTest, MissingClassIsReportedOncePerWayToTheNet)
{
    const Index e3 = d.b.ElectricalNet(d.config, "E3");
    const Index lower = pnet("P3", e3, unlisted(a, "b")); // A/b beside A/B
    d.b.DiffPair(d.config, "DP", e3, e1);
    const Finding missing{E::T20_CANTFINTNETCLASSOFPHYSNET, {{Index(), "A/b"}, {lower, "P3"}}};
    EXPECT_EQ(run().findings, (std::vector<Finding>{missing, missing}));
}

TEST_F(ExistAllUsedNetClassesTest, DiffPairFailures)
{
    const Index e3 = d.b.ElectricalNet(d.config, "E3");
    const Index stray = pnet("P3", e3, unlisted(d.design, "Z"));
    const Index broken = d.b.DiffPair(d.config, "DP", e1, e3);
    d.b.Fail(broken, "GetFirstElecNet");
    const Index nameless = d.b.DiffPair(d.config, "DP2", e3, e2);
    d.b.Fail(nameless, "GetName");
    const Finding missing{E::T20_CANTFINTNETCLASSOFPHYSNET, {{Index(), "Z"}, {stray, "P3"}}};
    const std::vector<Finding> expected = {
        missing, // from the walk of the electrical nets
        {E::T20_ERRFIRSTENETOFDIFFPAIR, {{broken, "DP"}}},
        missing, // the second net of DP is still checked
        {E::T20_ERRNAMEOFDIFFPAIR, {{nameless, "<...>"}}},
    };
    EXPECT_EQ(run().findings, expected);
}

TEST_F(ExistAllUsedNetClassesTest, FailuresOfOneNet)
{
    struct Case
    {
        const char* target; // E1, P1, A (the class's hierarchical name only), pair
        const char* op;
        std::vector<unsigned> codes;
    };
    const std::vector<Case> cases = {
        // E1 is walked twice: as an electrical net and as the first net of the pair.
        {"E1", "GetIterPhysicalNets", {E::T20_ERRITERPHYSNETSINENET, E::T20_ERRITERPHYSNETSINENET}},
        // P1 ends the walk of E1's physical nets: P1b, whose class is missing, is not checked.
        {"P1", "GetIndex", {E::T20_ERRINDEXOFPHYSNET, E::T20_ERRINDEXOFPHYSNET}},
        {"P1", "GetNetClass",
         {E::T20_ERRPCLASSOFPHYSNET, E::T20_CANTFINTNETCLASSOFPHYSNET, E::T20_ERRPCLASSOFPHYSNET,
          E::T20_CANTFINTNETCLASSOFPHYSNET}},
        {"A", "GetHierarchicalName",
         {E::T20_ERRPCLASSVALUEOFPHYSNET, E::T20_CANTFINTNETCLASSOFPHYSNET, E::T20_ERRPCLASSVALUEOFPHYSNET,
          E::T20_CANTFINTNETCLASSOFPHYSNET}},
        {"pair", "GetIndex", {E::T20_CANTFINTNETCLASSOFPHYSNET, E::T20_ERRINDEXOFDIFFPAIR}},
        {"pair", "GetSecondElecNet",
         {E::T20_CANTFINTNETCLASSOFPHYSNET, E::T20_ERRSECONDENETOFDIFFPAIR, E::T20_CANTFINTNETCLASSOFPHYSNET}},
    };
    for (const Case& c : cases)
    {
        ExistAllUsedNetClassesWorld f;
        f.pnet("P1b", f.e1, f.unlisted(f.d.design, "Z"));
        const Index pair = f.d.b.DiffPair(f.d.config, "DP", f.e1, f.e2);
        const std::string t = c.target;
        f.d.b.Fail(t == "E1" ? f.e1 : t == "P1" ? f.p1 : t == "A" ? f.a : pair, c.op);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, FAILED) << c.target << " " << c.op;
    }
}

TEST_F(ExistAllUsedNetClassesTest, ReadFailuresThatEndTheTest)
{
    struct Case
    {
        const char* target; // design, config, A
        const char* op;
        std::vector<unsigned> codes;
    };
    const std::vector<Case> cases = {
        {"design", "GetIterNetClasses", {E::T20_ERRITERNETCLASSES, E::T20_CANTCOLLECTNETCLASSES}},
        {"A", "GetName", {E::T20_ERRNAMEOFNETCLASS, E::T20_CANTCOLLECTNETCLASSES}},
        {"A", "GetIndex", {E::T20_ERRINDEXOFNETCLASS, E::T20_CANTCOLLECTNETCLASSES}},
        {"A", "GetIterChildNetClasses", {E::T20_ERRITERCHILDRENOFNETCLASS, E::T20_CANTCOLLECTNETCLASSES}},
        {"config", "GetIterElectricalNets", {E::T20_ERRITERENETS}},
        {"config", "GetIterDiffPairs", {E::T20_ERRITERDIFFPAIRS}},
    };
    for (const Case& c : cases)
    {
        ExistAllUsedNetClassesWorld f;
        const std::string t = c.target;
        f.d.b.Fail(t == "design" ? f.d.design : t == "config" ? f.d.config : f.a, c.op);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, FAILED) << c.target << " " << c.op;
    }
}

TEST_F(ExistAllUsedNetClassesTest, ElectricalNetWithoutIndexIsNamedByNothing)
{
    d.b.Fail(e2, "GetIterPhysicalNets");
    d.b.Fail(e2, "GetIndex");
    EXPECT_EQ(run().findings, (std::vector<Finding>{{E::T20_ERRITERPHYSNETSINENET, {{Index(), ""}}}}));
}

TEST_F(ExistAllUsedNetClassesTest, LogTexts)
{
    pnet("P3", e1, unlisted(d.design, "Z"));
    const Index pair = d.b.DiffPair(d.config, "DP", e2, e2);
    d.b.Fail(pair, "GetName");
    d.b.Fail(e2, "GetIterPhysicalNets");
    run();
    const std::vector<std::string> expected = {
        // The empty index of the first pair fills the only index slot.
        "ERROR 2016: Can't find net class Z for Pnet: P3 (0-0-0)",
        "ERROR 2012: Can't get iterator of PhysNets in the Enet E2 (" + e2.ToText() + ").",
        "ERROR 2009: Can't get name of DiffPair <...> (" + pair.ToText() + ").",
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(ExistAllUsedNetClassesTest, CheckerWritesTheFindingsInItsBlock)
{
    pnet("P3", e1, unlisted(d.design, "Z"));
    EXPECT_EQ(CheckerBlock(*d.session, "ExistAllUsedNetClasses"),
              "Test: All used net classes valid\n"
              "ERROR 2016: Can't find net class Z for Pnet: P3 (0-0-0)\n"
              "Result: FAILED\n");
}

TEST_F(ExistAllUsedNetClassesTest, QueuedRepairsGetTheirPairsInOrder)
{
    const Index stray = pnet("P3", e1, unlisted(d.design, "Z"));
    const Index pair = d.b.DiffPair(d.config, "DP", e1, e1);
    d.b.Fail(pair, "GetName");
    d.b.Fail(e2, "GetIterPhysicalNets");
    const std::vector<Finding> expected = {
        {E::T20_CANTFINTNETCLASSOFPHYSNET, {{Index(), "Z"}, {stray, "P3"}}},
        {E::T20_ERRITERPHYSNETSINENET, {{e2, "E2"}}},
        {E::T20_ERRNAMEOFDIFFPAIR, {{pair, "<...>"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
