// The repairs as the checker runs them in fix mode: the findings of a pass with their outcomes, the
// second pass for what is left, the back end's refusal of repairs not allowed there, and the reload
// flag that only renames and re-creations raise.
#include "RepairTestKit.h"

#include "framework/CNorvProjectChecker.h"

namespace repairtest
{
namespace
{

struct FixModeRepairsTest : ::testing::Test
{
    Design d;
    Index rule;

    FixModeRepairsTest()
    {
        d.b.DefaultObjects(d.design);
        d.b.ConstraintClass(d.design, "A/B", d.find(Kind::NetClass, "(Default)"));
        d.b.NetClass(d.design, "N/C");
        // Removed scheme and removed clearance rule: two findings of one rule.
        rule = d.b.Add(Kind::C2CClearRule, d.design, "");
        d.b.Constraint(rule, "C2C_SCHEME", "Gone");
        d.b.Constraint(rule, "C2C_RULE_TYPE", "ClearRule");
        d.b.Constraint(rule, "C2C_RULE", "GoneRule");
        CFixMgr::m_bReloadFlag = false;
    }
    ~FixModeRepairsTest() override { CFixMgr::m_bReloadFlag = false; }

    std::string fix(bool backEnd)
    {
        return CheckerBlocks(*d.session, {"UniqueConsClass", "UniqueNetClassName", "SchemeInC2CClearRule"}, "main", "TOP",
                             true, backEnd);
    }
};

TEST_F(FixModeRepairsTest, BackEndRefusesTheRepairsNotAllowedThereAndRunsTheOthers)
{
    // The vanished rule prints its index empty; the refused repair is not fixed in pass 2.
    const Index netClass = d.find(Kind::NetClass, "N/C");
    const Index constraintClass = d.find(Kind::ConstraintClass, "A/B");
    const std::string log = fix(true);
    EXPECT_EQ(log,
              "Test: Net class name unique\n"
              "----- Pass #1\n"
              "ERROR 2905: NetClass name N/C (" + netClass.ToText() +
                  ") contains invalid character(s): /\n - Fixed.\n"
              "Result: OK\n"
              "Test: Constraint class name unique\n"
              "----- Pass #2\n"
              "ERROR 905: ConstraintClass name A/B (" + constraintClass.ToText() +
                  ") contains invalid character(s): '/'\n - Not Fixed.\n"
              "Result: FAILED\n"
              "Test: Schemes and rules in all class to class clearance rules\n"
              "----- Pass #1\n"
              "ERROR 6005: There is class to class clearance rule  (0-0-0) which contains removed scheme: Gone (0-0-0)\n"
              " - Fixed.\n"
              "ERROR 6013: There is class to class clearance rule  (0-0-0) which contains removed clearance rule: "
              "GoneRule (0-0-0)\n - Fixed.\n"
              "Result: OK\n");
    EXPECT_FALSE(d.store().IsAlive(rule));
    EXPECT_FALSE(CFixMgr::m_bReloadFlag); // cleaning a name reloads nothing

    // Off the back end the constraint class is cleaned too, and a re-check finds nothing.
    EXPECT_EQ(fix(false).find("Not Fixed"), std::string::npos);
    EXPECT_EQ(d.find(Kind::ConstraintClass, "A/B"), Index());
    EXPECT_FALSE(d.find(Kind::ConstraintClass, "A_B").IsEmpty());
    EXPECT_EQ(CheckerBlocks(*d.session, {"UniqueConsClass", "UniqueNetClassName", "SchemeInC2CClearRule"}),
              "Test: Net class name unique\nResult: OK\n"
              "Test: Constraint class name unique\nResult: OK\n"
              "Test: Schemes and rules in all class to class clearance rules\nResult: OK\n");
}

} // namespace
} // namespace repairtest
