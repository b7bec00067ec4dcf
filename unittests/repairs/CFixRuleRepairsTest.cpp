// The noise-rule, parallel-rule and package-to-package rule repairs.
#include "repairs/CFixNoiseRule.h"
#include "repairs/CFixP2PRule.h"
#include "repairs/CFixParRule.h"

#include "RepairKit.h"

#include <gtest/gtest.h>

using namespace repairkit;

namespace
{

// Constraint classes A and A/B, electrical net CLK with physical net CLK_P, and a noise rule.
struct NoiseDesign : RepairDesign
{
    Index nc = b.NetClass(design, "(Default)");
    Index a = b.ConstraintClass(design, "A", nc);
    Index ab = b.ConstraintClass(a, "B", nc);
    Index clk = b.ElectricalNet(config, "CLK");
    Index clkP = b.PhysicalNet(config, "CLK_P", clk);
    Index rule = b.Add(Kind::NoiseRule, design, "R1");

    std::string type() { return constraint(rule, "PR_TYPE"); }
};

TEST(CFixNoiseRuleTest, SetNoiseRuleTypeComparesExactly)
{
    struct Case
    {
        const char* before; // null: no PR_TYPE
        const char* after;
    };
    const Case cases[] = {{"Net-Net", "Net-Net"}, {"Class-Class", "Class-Class"}, {"net-net", "Class-Class"},
                          {"Other", "Class-Class"}, {nullptr, "Class-Class"}};
    for (const Case& c : cases)
    {
        NoiseDesign d;
        if (c.before)
            d.b.Constraint(d.rule, "PR_TYPE", c.before);
        EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::SetNoiseRuleType, {{d.rule, "R1"}})), "fixed");
        EXPECT_EQ(d.type(), c.after) << (c.before ? c.before : "none");
    }

    // An inherited type is added to the rule; the definition stays.
    NoiseDesign d;
    const Index definition = d.b.Definition("PR_TYPE", "Other");
    d.b.Inherit(d.rule, "PR_TYPE");
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::SetNoiseRuleType, {{d.rule, "R1"}})), "fixed");
    EXPECT_EQ(d.type(), "Class-Class");
    EXPECT_EQ(d.store().ConstraintValue(definition).GetValueAsString().str(), "Other");

    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::SetNoiseRuleType, {{Index(), "R1"}})), "error: Cannot find noise rule.");
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::SetNoiseRuleType, {{d.rule, "R1"}},
                            [&] { d.faults().FailOn(d.rule, "GetNorvNoiseRule"); })),
              "error (result)");
    // A failed write is not fixed, not an error.
    NoiseDesign other;
    other.b.Constraint(other.rule, "PR_TYPE", "Other");
    EXPECT_EQ(Outcome(other.fix(&CFixNoiseRule::SetNoiseRuleType, {{other.rule, "R1"}},
                                [&] { other.faults().FailNext("SetValue", 1); })),
              "not fixed");
    EXPECT_EQ(other.type(), "Other");
}

TEST(CFixNoiseRuleTest, ResetMissingNoiseRuleNets)
{
    struct Case
    {
        const char* role;
        const char* missing;
        const char* constraint;
        const char* value; // "-": nothing written
    };
    const Case cases[] = {
        {"victim", "CLK_P", "PR_FROM_OBJ", "CLK"}, // a physical net stands for its electrical net
        {"aggressor", "GONE", "PR_TO_OBJ", "(None)"},
        {"victim", "CLK", "PR_FROM_OBJ", "-"}, // the net exists again
        {"victim", "(All Nets)", "PR_FROM_OBJ", "-"},
        {"victim", "(None)", "PR_FROM_OBJ", "-"},
    };
    for (const Case& c : cases)
    {
        NoiseDesign d;
        EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::ResetMissingNoiseRuleNets,
                                {{Index(), c.role}, {d.rule, "R1"}, {Index(), c.missing}})),
                  "fixed")
            << c.missing;
        EXPECT_EQ(d.constraint(d.rule, c.constraint), c.value) << c.missing;
    }
    NoiseDesign d;
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::ResetMissingNoiseRuleNets, {{Index(), "victim"}, {Index(), "R1"}, {Index(), "X"}})),
              "error: Cannot find noise rule.");
    // Only whether the write worked reaches the caller.
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::ResetMissingNoiseRuleNets, {{Index(), "victim"}, {d.rule, "R1"}, {Index(), "X"}},
                            [&] { d.faults().FailOn(d.rule, "Lock"); })),
              "not fixed");
}

TEST(CFixNoiseRuleTest, ResetMissingNoiseRuleClasses)
{
    struct Case
    {
        const char* missing;
        const char* value;
    };
    const Case cases[] = {{"A", "-"},       {"A/B", "-"},      {"(All Classes)", "-"}, {"(None)", "-"},
                          {"A/C", "(None)"}, {"Z/B", "(None)"}, {"Z", "(None)"},       {"", "(None)"}};
    for (const Case& c : cases)
    {
        NoiseDesign d;
        EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::ResetMissingNoiseRuleClasses,
                                {{Index(), "aggressor"}, {d.rule, "R1"}, {Index(), c.missing}})),
                  "fixed")
            << c.missing;
        EXPECT_EQ(d.constraint(d.rule, "PR_TO_OBJ"), c.value) << c.missing;
    }
    NoiseDesign d;
    EXPECT_FALSE(CFixNoiseRule::FindChildConstraintClass(nullptr, "A/B", 2));
}

TEST(CFixNoiseRuleTest, DeleteNoiseRuleWithoutAggressor)
{
    NoiseDesign d;
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::DeleteNoiseRuleWithoutAggressor, {{d.rule, "R1"}})),
              "fixed: Noise rule was removed");
    EXPECT_FALSE(d.alive(d.rule));
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::DeleteNoiseRuleWithoutAggressor, {{Index(), "R1"}})),
              "error: Cannot find noise rule.");
    EXPECT_EQ(Outcome(d.fix(&CFixNoiseRule::DeleteNoiseRuleWithoutAggressor, {{d.rule, "R1"}})), "error (result)");
}

TEST(CFixParRuleTest, DeleteParRuleDefs)
{
    RepairDesign d;
    const Index r1 = d.b.Add(Kind::ParRuleDef, d.design, "P1");
    const Index r2 = d.b.Add(Kind::ParRuleDef, d.design, "P2");
    EXPECT_EQ(Outcome(d.fix(&CFixParRule::DeleteInvalidParRuleDef, {{r1, "P1"}})), "fixed");
    EXPECT_FALSE(d.alive(r1));
    EXPECT_TRUE(d.alive(r2));
    EXPECT_EQ(Outcome(d.fix(&CFixParRule::DeleteInvalidParRuleDef, {{Index(), "P1"}})), "error: Cannot load object.");
    EXPECT_EQ(Outcome(d.fix(&CFixParRule::DeleteAllParRuleDefs)), "fixed");
    EXPECT_FALSE(d.alive(r2));
    // The design lock ends with the repair.
    EXPECT_TRUE(d.store().Locks().empty());
}

struct P2PDesign : RepairDesign
{
    Index rule(const std::string& ruleName, const std::string& without = "")
    {
        const Index r = b.Add(Kind::P2PClearRule, design, ruleName);
        for (const char* c : {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION", "P2P_CLEARANCE"})
            if (without != c)
                b.Constraint(r, c, "1");
        return r;
    }
};

TEST(CFixP2PRuleTest, OneSweepDeletesEveryBrokenRule)
{
    P2PDesign d;
    const Index whole = d.rule("OK");
    const Index noSide = d.rule("S", "P2P_SIDE");
    const Index noClearance = d.rule("C", "P2P_CLEARANCE");
    EXPECT_EQ(Outcome(d.fix(&CFixP2PRule::DeleteBrokenP2PClearRules)), "fixed");
    EXPECT_TRUE(d.alive(whole));
    EXPECT_FALSE(d.alive(noSide));
    EXPECT_FALSE(d.alive(noClearance));
    EXPECT_EQ(Outcome(d.fix(&CFixP2PRule::DeleteBrokenP2PClearRules)), "fixed");

    P2PDesign failing;
    const Index broken = failing.rule("S", "P2P_SIDE");
    EXPECT_EQ(Outcome(failing.fix(&CFixP2PRule::DeleteBrokenP2PClearRules, {},
                                  [&] { failing.faults().FailNext("DeleteP2PClearRule", 1); })),
              "error (result)");
    EXPECT_TRUE(failing.alive(broken));
    EXPECT_EQ(Outcome(failing.fix(&CFixP2PRule::DeleteBrokenP2PClearRules, {},
                                  [&] { failing.faults().FailOn(failing.design, "GetIterP2PClearRules"); })),
              "not fixed");
}

TEST(CFixP2PRuleTest, LaterFindingsOfTheSameQueueFindTheSweepDone)
{
    P2PDesign d;
    d.rule("S", "P2P_SIDE");
    const Index late = d.rule("C", "P2P_CLEARANCE");
    Lumo::StandIn::CallCounts& counts = Lumo::StandIn::GetCallCounts(*d.session);
    // A sweep that skipped a rule (its design lock failed) repairs again on the next finding.
    EXPECT_EQ(Outcome(d.fix(&CFixP2PRule::DeleteBrokenP2PClearRules, {}, [&] {
                  d.faults().FailOn(d.design, "Lock", 1);
                  CFixStatus first = CFixP2PRule::DeleteBrokenP2PClearRules();
                  EXPECT_TRUE(first.fixed);
                  EXPECT_FALSE(FixContext::s_fixP2PSwept);
                  counts.Reset();
              })),
              "fixed");
    EXPECT_FALSE(d.alive(late));
    EXPECT_EQ(counts.Get("GetIterP2PClearRules"), 1u);
    // After a complete sweep the rest of the queue walks nothing; a new test's binding clears the flag.
    EXPECT_EQ(Outcome(d.fix(&CFixP2PRule::DeleteBrokenP2PClearRules, {}, [&] {
                  CFixP2PRule::DeleteBrokenP2PClearRules();
                  EXPECT_TRUE(FixContext::s_fixP2PSwept);
                  counts.Reset();
              })),
              "fixed");
    EXPECT_EQ(counts.Get("GetIterP2PClearRules"), 0u);
}

TEST(CFixNoiseRuleTest, AFailedWriteEndsTheRepairWithItsResultOrNotFixed)
{
    const auto typed = [](NoiseDesign& d) {
        d.b.Constraint(d.rule, "PR_TYPE", "Other");
        return Pairs{{d.rule, "R1"}};
    };
    EXPECT_EQ(UnreportedWrites(SweepFaults<NoiseDesign>(typed, &CFixNoiseRule::SetNoiseRuleType), {"SetValue"}),
              std::vector<std::string>{});
    const auto untyped = [](NoiseDesign& d) { return Pairs{{d.rule, "R1"}}; };
    EXPECT_EQ(UnreportedWrites(SweepFaults<NoiseDesign>(untyped, &CFixNoiseRule::SetNoiseRuleType), {"AddConstraint"}),
              std::vector<std::string>{});
    EXPECT_EQ(UnreportedWrites(SweepFaults<NoiseDesign>(untyped, &CFixNoiseRule::DeleteNoiseRuleWithoutAggressor), {"UnLock"}),
              std::vector<std::string>{});
    // Only whether the end was written reaches the caller of the end repairs; an unlock that fails
    // after the write leaves it written.
    const auto end = [](NoiseDesign& d) { return Pairs{{Index(), "victim"}, {d.rule, "R1"}, {Index(), "CLK_P"}}; };
    for (const SweepStep& step : SweepFaults<NoiseDesign>(end, &CFixNoiseRule::ResetMissingNoiseRuleNets))
    {
        if (step.operation == "Lock" || step.operation == "AddConstraint")
        {
            EXPECT_EQ(step.outcome, "not fixed") << step.operation;
        }
        if (step.operation == "UnLock")
        {
            EXPECT_EQ(step.outcome, "fixed (result)") << step.operation;
        }
    }
}

TEST(CFixP2PRuleTest, AFailedDeleteEndsTheSweepWithItsResult)
{
    const auto broken = [](P2PDesign& d) {
        d.rule("OK");
        d.rule("S", "P2P_SIDE");
        d.rule("C", "P2P_CLEARANCE");
        return Pairs{};
    };
    // A rule whose index or design lock cannot be had is left for the next finding.
    EXPECT_EQ(UnreportedWrites(SweepFaults<P2PDesign>(broken, &CFixP2PRule::DeleteBrokenP2PClearRules), {"Lock", "UnLock"}),
              std::vector<std::string>{});
}

} // namespace
