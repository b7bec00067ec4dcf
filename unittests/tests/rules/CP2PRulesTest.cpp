#include "tests/rules/CP2PRules.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

namespace
{

class CP2PRulesTest : public ::testing::Test, public World<CP2PRules>
{
protected:
    Index rule(const std::string& name, std::vector<const char*> constraints)
    {
        const Index r = d.b.Add(Kind::P2PClearRule, d.design, name);
        for (const char* c : constraints)
            d.b.Constraint(r, c, "x");
        return r;
    }
};

Finding missing(const char* name)
{
    return F(E::T62_CANNOTGETP2PCONSTRAINT, {{Index(), name}});
}

} // namespace

TEST_F(CP2PRulesTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "All used package clearance type rules valid");
    EXPECT_EQ(test.getTestShortName(), "P2PRulesValid");
    EXPECT_EQ(test.getTestDescription(), "Test checks if each package clearance type rule is fully defined");
}

TEST_F(CP2PRulesTest, CompleteRulesPass)
{
    EXPECT_EQ(RunTest(test, *d.session).status, OK);
    rule("R1", {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION", "P2P_CLEARANCE", "OTHER"});
    const Index inherited = rule("R2", {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION"});
    d.b.Definition("P2P_CLEARANCE", 0.2);
    d.b.Inherit(inherited, "P2P_CLEARANCE");
    CP2PRules again;
    const Outcome out = RunTest(again, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(CP2PRulesTest, MissingConstraintsInTableOrder)
{
    rule("EMPTY", {});
    rule("NO_SIDE_1", {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_DIRECTION", "P2P_CLEARANCE"});
    rule("NO_SIDE_2", {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_DIRECTION", "P2P_CLEARANCE"});
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{missing("P2P_FRPKGTYPE"), missing("P2P_TOPKGTYPE"), missing("P2P_SIDE"),
                                                  missing("P2P_DIRECTION"), missing("P2P_CLEARANCE"), missing("P2P_SIDE"),
                                                  missing("P2P_SIDE")}));
    EXPECT_EQ(out.status, FAILED);
    EXPECT_EQ(LogLines(test).front(), "ERROR 6203: There is missing constraint (P2P_FRPKGTYPE) in pkg2pkg rule.");
}

TEST_F(CP2PRulesTest, ReadFailures)
{
    const Index r = rule("EMPTY", {});
    d.b.Fail(r, "GetIndex");
    Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T62_ERRINDEXOFP2PRULE)});

    CP2PRules again;
    out = RunTest(again, *d.session, "", [&] { d.faults().FailOn(d.design, "GetIterP2PClearRules", 1); });
    EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T62_ERRITERP2PRULES)});
    EXPECT_EQ(out.status, FAILED);
}

// The status text is left as the test base set it.
TEST_F(CP2PRulesTest, StatusTextIsKept)
{
    RunTest(test, *d.session);
    EXPECT_EQ(test.getStatusString(), "empty test: Not TESTED\n");
}
