#include "tests/rules/CExistAllUsedConstrClasses.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

// Constraint classes A and A/B, and an electrical net of each.
struct ExistAllUsedConstrClassesWorld : World<CExistAllUsedConstrClasses>
{
    Index a = d.b.ConstraintClass(d.design, "A");
    Index b = d.b.ConstraintClass(a, "B");
    Index netA = net("NA", a);
    Index netB = net("NB", b);

    Index net(const std::string& name, Index cls)
    {
        const Index n = d.b.ElectricalNet(d.config, name);
        d.b.SetRefOnly(n, Field::constraintClass, cls);
        return n;
    }
    // A class owned by the parent but missing from its list of children: it is not in the tree.
    Index unlisted(Index parent, const std::string& name)
    {
        const Index cls = d.b.ConstraintClass(parent, name);
        d.unlist(parent, parent == d.design ? Field::constraintClasses : Field::childConstraintClasses, cls);
        return cls;
    }
};

struct ExistAllUsedConstrClassesTest : ::testing::Test, ExistAllUsedConstrClassesWorld
{
};

TEST_F(ExistAllUsedConstrClassesTest, NetsOfClassesInTheTreeAreOk)
{
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(ExistAllUsedConstrClassesTest, ClassesAreFoundByTheirWholePathExactly)
{
    const Index lower = net("NL", unlisted(a, "b")); // reads A/b beside A/B
    const Index stray = net("NS", unlisted(d.design, "B"));
    const std::vector<Finding> expected = {
        {E::T19_CANTFINDCONSTRAINTCLASSOFENET, {{lower, ""}}},
        {E::T19_CANTFINDCONSTRAINTCLASSOFENET, {{stray, ""}}},
    };
    EXPECT_EQ(run().findings, expected);
}

TEST_F(ExistAllUsedConstrClassesTest, FailuresOfOneNetSkipThatNet)
{
    const Index none = d.b.ElectricalNet(d.config, "NONE");
    const Index c = d.b.ConstraintClass(d.design, "C");
    const Index unnamed = net("NC", c);
    d.b.Fail(c, "GetHierarchicalName");
    const std::vector<Finding> expected = {
        {E::T19_ERRCONSTRAINTCLASSOFENET, {{none, ""}}},
        {E::T19_ERRVALUEOFCONSTRAINTCLASSOFENET, {{unnamed, ""}}},
    };
    const Outcome out = run();
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(ExistAllUsedConstrClassesTest, ReadFailuresThatEndTheTest)
{
    struct Case
    {
        const char* target; // design, config, A, NA
        const char* op;
        std::vector<unsigned> codes;
    };
    const std::vector<Case> cases = {
        {"design", "GetIterConstraintClasses", {E::T19_ERRITERCHILDRENOFCC, E::T19_CANTCOLLECTCONSTRAINTCLASSES}},
        {"A", "GetName", {E::T19_ERRNAMEOFCONSTRAINTCLASS, E::T19_CANTCOLLECTCONSTRAINTCLASSES}},
        {"A", "GetIndex", {E::T19_ERRINDEXOFCONSTRAINTCLASS, E::T19_CANTCOLLECTCONSTRAINTCLASSES}},
        {"A", "GetIterChildConstraintClasses",
         {E::T19_ERRITEROFCHILDRENOFCONSTRAINTCLASS_2, E::T19_CANTCOLLECTCONSTRAINTCLASSES}},
        {"config", "GetIterElectricalNets", {E::T19_ERRITEROFENETS}},
        // The remaining nets are not checked: NX's class would not be found.
        {"NA", "GetIndex", {E::T19_ERRINDEXOFENET}},
        // Only the iterator over the differential pairs is read; the nets come first.
        {"config", "GetIterDiffPairs", {E::T19_CANTFINDCONSTRAINTCLASSOFENET, E::T19_ERRITEROFDIFFPAIRS}},
    };
    for (const Case& c : cases)
    {
        ExistAllUsedConstrClassesWorld f;
        f.net("NX", f.unlisted(f.d.design, "X"));
        const std::string t = c.target;
        f.d.b.Fail(t == "design" ? f.d.design : t == "config" ? f.d.config : t == "A" ? f.a : f.netA, c.op);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, FAILED) << c.target << " " << c.op;
    }
}

TEST_F(ExistAllUsedConstrClassesTest, ClassListedBelowItselfEndsTheCollection)
{
    d.b.AppendOnly(b, Field::childConstraintClasses, a);
    EXPECT_EQ(run().codes(), (std::vector<unsigned>{E::T19_ERRITEROFCHILDRENOFCONSTRAINTCLASS_2,
                                                    E::T19_CANTCOLLECTCONSTRAINTCLASSES}));
}

TEST_F(ExistAllUsedConstrClassesTest, EveryRunCollectsTheClassesAnew)
{
    const Index c = d.b.ConstraintClass(d.design, "C");
    const Index netC = net("NC", c);
    EXPECT_TRUE(run().findings.empty());

    d.store().ClearList(d.design, Field::constraintClasses);
    d.store().Append(d.design, Field::constraintClasses, a);
    test.GetIssuesList().clear();
    EXPECT_EQ(run().findings, (std::vector<Finding>{{E::T19_CANTFINDCONSTRAINTCLASSOFENET, {{netC, ""}}}}));
}

TEST_F(ExistAllUsedConstrClassesTest, CheckerWritesTheFindingsInItsBlock)
{
    const Index stray = net("NS", unlisted(d.design, "S"));
    EXPECT_EQ(CheckerBlock(*d.session, "ExistAllUsedConsClasses"),
              "Test: All used constraint classes valid\n"
              "ERROR 1906: Can't find constraint class for Enet: " + stray.ToText() + "\n"
              "Result: FAILED\n");
}

TEST_F(ExistAllUsedConstrClassesTest, QueuedRepairGetsTheNetFirst)
{
    const Index stray = net("NS", unlisted(d.design, "S"));
    EXPECT_EQ(RunQueued(test, *d.session),
              (std::vector<Finding>{{E::T19_CANTFINDCONSTRAINTCLASSOFENET, {{stray, ""}}}}));
}

} // namespace
