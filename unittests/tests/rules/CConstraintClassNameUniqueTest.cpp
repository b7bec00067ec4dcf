#include "tests/rules/CConstraintClassNameUnique.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

struct ConstraintClassNameUniqueTest : ::testing::Test, World<CConstraintClassNameUnique>
{
    Index netClass = d.b.NetClass(d.design, "(Default)");

    Index cc(Index parent, const std::string& name) { return d.b.ConstraintClass(parent, name, netClass); }
};

TEST_F(ConstraintClassNameUniqueTest, CleanTreeIsOk)
{
    const Index all = cc(d.design, "(All)");
    cc(all, "Fast");
    cc(d.design, "Fast"); // another level
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(ConstraintClassNameUniqueTest, DuplicatesNameTheEarlierClassByItsHierarchicalName)
{
    const Index p = cc(d.design, "P");
    const Index x1 = cc(p, "X");
    cc(p, "x");
    const Index x3 = cc(p, "X");
    const Outcome out = run();
    // Pairs 1-2, 1-3 and 2-3: the first two name class 1, the third class 2.
    const Index x2 = d.store().List(p, Field::childConstraintClasses)[1];
    const std::vector<Finding> expected = {
        {E::T9_DUPLICATEDNAMEOFCC, {{Index(), "P/X"}, {x1, ""}}},
        {E::T9_DUPLICATEDNAMEOFCC, {{Index(), "P/X"}, {x1, ""}}},
        {E::T9_DUPLICATEDNAMEOFCC, {{Index(), "P/x"}, {x2, ""}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
    (void)x3;
}

TEST_F(ConstraintClassNameUniqueTest, CharactersAreCheckedOnThePlainName)
{
    const Index p = cc(d.design, "P");
    const Index bad = cc(p, "b!\"");
    cc(d.design, "Has New... inside"); // no rule about "New..." here
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T9_INVALIDNAMEOFCC, {{bad, "P/b!\""}, {Index(), "!\""}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(ConstraintClassNameUniqueTest, MissingNetClassIsReportedByLevelAndWalk)
{
    const Index p = cc(d.design, "P");
    const Index orphan = d.b.ConstraintClass(p, "C");
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T9_MISSING_NC_FOR_CC, {{orphan, "P/C"}}},
        {E::T9_MISSING_NC_FOR_CC, {{orphan, "C"}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(ConstraintClassNameUniqueTest, ReadFailuresOfOneClass)
{
    struct Case
    {
        const char* op;
        std::vector<unsigned> codes;
    };
    const std::vector<Case> cases = {
        {"GetIndex", {E::T9_ERRINDEXOFCC, E::T9_ERRINDEXOFCC_2}},
        {"GetHierarchicalName", {E::T9_ERRNAMEOFCC}}, // the walk reads only the plain name
        {"GetName", {E::T9_ERRNAMEOFCC, E::T9_ERRNAMEOFCC_2}},
        {"GetNetClass", {E::T9_MISSING_NC_FOR_CC, E::T9_MISSING_NC_FOR_CC}},
        {"GetIterChildConstraintClasses", {E::T9_ERRITERCHILDCC}},
    };
    for (const Case& c : cases)
    {
        Design design;
        const Index nc = design.b.NetClass(design.design, "(Default)");
        const Index p = design.b.ConstraintClass(design.design, "P", nc);
        const Index child = design.b.ConstraintClass(p, "C", nc);
        design.b.Fail(child, c.op);
        CConstraintClassNameUnique t;
        const Outcome out = RunTest(t, *design.session);
        EXPECT_EQ(out.codes(), c.codes) << c.op;
        EXPECT_EQ(out.status, FAILED) << c.op;
    }
}

TEST_F(ConstraintClassNameUniqueTest, FailedReadsCarryRoleWordsAndPaths)
{
    const Index p = cc(d.design, "P");
    const Index named = cc(p, "N");
    const Index parent = cc(p, "Q");
    d.b.Fail(named, "GetName");
    d.b.Fail(parent, "GetIterChildConstraintClasses");
    run();
    const std::vector<std::string> expected = {
        "ERROR 904: Can't get name of ConstraintClass. ConstraintClass = " + named.ToText() + " path = .P",
        "ERROR 908: Can't get name of Constraint Class (" + named.ToText() + ") (path = .P)",
    };
    EXPECT_EQ(LogLines(test), expected);

    // With the name readable the walk reaches Q, whose children cannot be read: the path shown is
    // the path of those children.
    Design design;
    const Index nc = design.b.NetClass(design.design, "(Default)");
    const Index p2 = design.b.ConstraintClass(design.design, "P", nc);
    const Index q = design.b.ConstraintClass(p2, "Q", nc);
    design.b.Fail(q, "GetIterChildConstraintClasses");
    CConstraintClassNameUnique t;
    RunTest(t, *design.session);
    EXPECT_EQ(LogLines(t), std::vector<std::string>{"ERROR 909: Can't get iterator of child constraint classes of "
                                                    "Constraint Classes (" + q.ToText() + ") (path = .P.Q)"});
}

TEST_F(ConstraintClassNameUniqueTest, ClassListedBelowItselfEndsThatBranch)
{
    const Index a = cc(d.design, "A");
    const Index b = cc(a, "B");
    d.b.AppendOnly(b, Field::childConstraintClasses, a);
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T9_ERRITERCHILDCC, {{a, "Constraint Classes"}, {Index(), ".A.B.A"}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(ConstraintClassNameUniqueTest, CheckerWritesTheFindingsInItsBlock)
{
    const Index p = cc(d.design, "P");
    cc(p, "Fast");
    cc(p, "FAST");
    EXPECT_EQ(CheckerBlock(*d.session, "UniqueConsClass"),
              "Test: Constraint class name unique\n"
              "ERROR 906: Constraint class name P/Fast is not unique across the design\n"
              "Result: FAILED\n");
}

TEST_F(ConstraintClassNameUniqueTest, QueuedRepairsGetTheirPairsInOrder)
{
    const Index first = cc(d.design, "Dup");
    cc(d.design, "dup");
    const Index orphan = d.b.ConstraintClass(d.design, "Lone");
    const std::vector<Finding> expected = {
        {E::T9_MISSING_NC_FOR_CC, {{orphan, "Lone"}}},
        {E::T9_DUPLICATEDNAMEOFCC, {{Index(), "Dup"}, {first, ""}}},
        {E::T9_MISSING_NC_FOR_CC, {{orphan, "Lone"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
