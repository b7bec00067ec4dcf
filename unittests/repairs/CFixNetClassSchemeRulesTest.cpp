#include "repairs/CFixNetClass.h"

#include "RepairKit.h"
#include "tests/rules/RuleTestKit.h"

#include <gtest/gtest.h>

using namespace repairkit;

namespace
{

struct ClassDesign : RepairDesign
{
    Index layer = b.Layer(design, "TOP", 1, 1);
    ClassDesign() { b.DefaultObjects(design); }
};

const char* const kRecreatedHS = "fixed: Net class 'HS' was recreated, please verify constraints!";

TEST(CFixNetClassTest, NameComponents)
{
    const std::pair<const char*, const char*> trims[] = {{"a//", "a"}, {"//", ""}, {"a/b", "a/b"}, {"", ""}};
    for (const auto& c : trims)
        EXPECT_EQ(CFixNetClass::TrimRight(c.first, '/'), c.second) << c.first;
    const std::pair<const char*, const char*> last[] = {{"a/b/c", "c"}, {"a/b/", "b"}, {"c", "c"}, {"/", ""}};
    for (const auto& c : last)
        EXPECT_EQ(CFixNetClass::LastNameComponent(c.first, '/'), c.second) << c.first;
}

TEST(CFixNetClassTest, RecreateMissingNetClassMovesTheClassSoItsRulesComeBack)
{
    ClassDesign d;
    const Index hs = d.b.NetClass(d.design, "HS");
    const Index master = d.rule(hs, "(Master)");
    d.b.SetName(master, "OLD/HS");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{master, "HS"}})), kRecreatedHS);
    EXPECT_TRUE(d.reloadFlag);
    EXPECT_EQ(d.store().Owner(hs), d.design);
    EXPECT_EQ(d.name(d.rule(hs, "(Master)")), "HS");

    // A child class is moved below its own parent.
    const Index parent = d.b.NetClass(d.design, "P");
    const Index child = d.b.NetClass(parent, "C");
    const Index childRule = d.rule(child, "(Master)");
    d.b.SetName(childRule, "X");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{childRule, "P/C"}})),
              "fixed: Net class 'P/C' was recreated, please verify constraints!");
    EXPECT_EQ(d.store().Owner(child), parent);
    EXPECT_EQ(d.name(d.rule(child, "(Master)")), "C");

    // "(Default)" cannot go below itself: the move to the design alone does it.
    const Index defaultClass = d.find(Kind::NetClass, "(Default)");
    const Index defaultRule = d.rule(defaultClass, "(Master)");
    d.b.SetName(defaultRule, "X");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{defaultRule, "(Default)"}})),
              "fixed: Net class '(Default)' was recreated, please verify constraints!");
    EXPECT_EQ(d.store().Owner(defaultClass), d.design);
    EXPECT_EQ(d.name(d.rule(defaultClass, "(Master)")), "(Default)");
}

TEST(CFixNetClassTest, RecreateMissingNetClassWhenItCannot)
{
    ClassDesign d;
    const Index hs = d.b.NetClass(d.design, "HS");
    const Index master = d.rule(hs, "(Master)");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{master, ""}})), "error: Cannot get net class!");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{master, "HS"}},
                            [&] { d.faults().FailOn(master, "GetNorvSchemaNetClassRule"); })),
              "error (result)");
    EXPECT_FALSE(d.reloadFlag);
    d.b.SetName(d.find(Kind::NetClass, "(Default)"), "Other");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{master, "HS"}})), "not fixed");
    EXPECT_FALSE(d.reloadFlag);
    d.b.Delete(hs);
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateMissingNetClass, {{master, "HS"}})), "fixed");
    EXPECT_FALSE(d.reloadFlag);
}

TEST(CFixNetClassTest, RecreateNetClassWithoutRuleLosesNoChildNetOrLink)
{
    ClassDesign d;
    const Index g = d.b.NetClass(d.design, "G");
    const Index f = d.b.NetClass(g, "F");
    const Index sub = d.b.NetClass(f, "SUB");
    const Index n1 = d.net("N1", f);
    const Index n2 = d.net("N2", f);
    const Index n3 = d.net("N3", sub);
    const Index cc = d.b.ConstraintClass(d.design, "CC", f);
    d.b.Delete(d.rule(f, "(Master)"));

    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{f, "G/F"}})),
              "fixed: Net class 'G/F' was recreated, please verify constraints!");
    EXPECT_TRUE(d.reloadFlag);
    EXPECT_FALSE(d.alive(f));
    const Index fresh = d.find(Kind::NetClass, "F");
    EXPECT_EQ(d.store().Owner(fresh), g);
    EXPECT_FALSE(d.rule(fresh, "(Master)").IsEmpty());
    EXPECT_EQ(d.netClassOf(n1), fresh);
    EXPECT_EQ(d.netClassOf(n2), fresh);
    EXPECT_TRUE(d.alive(sub));
    EXPECT_EQ(d.store().Owner(sub), fresh);
    EXPECT_EQ(d.netClassOf(n3), sub);
    EXPECT_EQ(d.store().Ref(cc, Field::netClass), fresh);

    // A top-level class without nets.
    const Index hs = d.b.NetClass(d.design, "HS");
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{hs, "HS"}})), kRecreatedHS);
    EXPECT_FALSE(d.alive(hs));
    EXPECT_EQ(d.store().Owner(d.find(Kind::NetClass, "HS")), d.design);
}

// A net class without its rule in "(Minimum)", through the checker in fix mode: re-created, it gets
// a rule in every scheme. When its rule in "(Master)" is also missing from the class's own rule
// list, deleting the class would leave that rule behind, naming a deleted class: the class stays,
// not fixed, and the re-check finds the same.
TEST(CFixNetClassTest, RecreateNetClassWithoutRuleThroughTheChecker)
{
    const struct
    {
        const char* name;
        bool unlisted;
        const char* outcome;
    } cases[] = {
        {"rule missing in one scheme", false, "in scheme (Minimum)\n - Fixed.\n"},
        {"other rule missing from the class's list", true, "in scheme (Minimum)\n - Not Fixed.\n"},
    };
    for (const auto& c : cases)
    {
        ClassDesign d;
        const Index hs = d.b.NetClass(d.design, "HS");
        const Index master = d.rule(hs, "(Master)");
        d.b.Delete(d.rule(hs, "(Minimum)"));
        if (c.unlisted)
            d.b.Literal(hs, Field::schemaNetClassRules);
        const std::string before = ruletest::CheckerBlock(*d.session, "NetClassInSchemes");
        ASSERT_NE(before.find("Global net class HS has no corresponding net class in scheme (Minimum)"), std::string::npos)
            << c.name << before;

        const std::string fixed = ruletest::CheckerBlocks(*d.session, {"NetClassInSchemes"}, "main", "TOP", true);
        EXPECT_NE(fixed.find(c.outcome), std::string::npos) << c.name << fixed;
        EXPECT_EQ(d.alive(hs), c.unlisted) << c.name;
        EXPECT_EQ(d.store().Ref(master, Field::parentNetClass), hs) << c.name;
        const Index now = d.find(Kind::NetClass, "HS");
        EXPECT_EQ(d.rule(now, "(Minimum)").IsEmpty(), c.unlisted) << c.name;
        EXPECT_EQ(ruletest::CheckerBlock(*d.session, "NetClassInSchemes"),
                  c.unlisted ? before : "Test: Net class in all schemes\nResult: OK\n")
            << c.name;
    }
}

TEST(CFixNetClassTest, RecreateNetClassWithoutRuleAndItsNets)
{
    ClassDesign d;
    const Index hs = d.b.NetClass(d.design, "HS");
    const Index gone = d.net("GONE", hs);
    const Index stuck = d.net("STUCK", hs);
    const Index n1 = d.net("N1", hs);
    d.b.Delete(gone);
    d.b.AppendOnly(hs, Field::physicalNets, gone);
    // A net that is gone is skipped; one that exists but cannot be loaded stops the repair after the others.
    EXPECT_EQ(Outcome(d.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{hs, "HS"}},
                            [&] { d.faults().FailOn(stuck, "GetNorvPhysicalNet"); })),
              "error (result)");
    EXPECT_FALSE(d.reloadFlag);
    EXPECT_TRUE(d.alive(hs));
    EXPECT_EQ(d.netClassOf(stuck), hs);
    EXPECT_NE(d.netClassOf(n1), hs);

    // A failure after the new class was made keeps the old one and every assignment.
    ClassDesign failing;
    const Index c = failing.b.NetClass(failing.design, "HS");
    const Index n = failing.net("N", c);
    EXPECT_EQ(Outcome(failing.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{c, "HS"}},
                                  [&] { failing.faults().FailNext("DeleteNetClass", 1); })),
              "error (result)");
    EXPECT_TRUE(failing.alive(c));
    EXPECT_TRUE(failing.alive(failing.netClassOf(n)));

    EXPECT_EQ(Outcome(failing.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{c, ""}})), "error: Cannot get net class!");
    EXPECT_EQ(Outcome(failing.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{c, "HS"}},
                                  [&] { failing.faults().FailOn(c, "GetNorvNetClass"); })),
              "error (result)");
    failing.b.Delete(c);
    EXPECT_EQ(Outcome(failing.fix(&CFixNetClass::RecreateNetClassWithoutRule, {{c, "HS"}})), "fixed");
    EXPECT_FALSE(failing.reloadFlag);
}

TEST(CFixNetClassTest, AFailedWriteEndsTheRepairWithItsResultAndNoReload)
{
    for (bool child : {false, true})
    {
        const auto missing = [child](ClassDesign& d) {
            const Index owner = child ? d.b.NetClass(d.design, "G") : d.design;
            const Index hs = d.b.NetClass(owner, "HS");
            const Index master = d.rule(hs, "(Master)");
            d.b.SetName(master, "X");
            return Pairs{{master, "HS"}};
        };
        const std::vector<SweepStep> moved = SweepFaults<ClassDesign>(missing, &CFixNetClass::RecreateMissingNetClass);
        EXPECT_EQ(UnreportedWrites(moved, {"UnLock"}), std::vector<std::string>{}) << child;
        EXPECT_EQ(UnreportedWalkSteps(moved), std::vector<std::string>{}) << child;
        const auto without = [child](ClassDesign& d) {
            const Index owner = child ? d.b.NetClass(d.design, "G") : d.design;
            const Index f = d.b.NetClass(owner, "F");
            d.b.NetClass(f, "SUB");
            d.net("N1", f);
            d.b.ConstraintClass(d.design, "CC", f);
            return Pairs{{f, child ? "G/F" : "F"}};
        };
        const std::vector<SweepStep> recreated = SweepFaults<ClassDesign>(without, &CFixNetClass::RecreateNetClassWithoutRule);
        EXPECT_EQ(UnreportedWrites(recreated, {child ? "UnLock" : ""}), std::vector<std::string>{}) << child;
        EXPECT_EQ(UnreportedWalkSteps(recreated, UnlistedRuleSearchWalks()), std::vector<std::string>{}) << child;
        EXPECT_EQ(UnfixedSteps(recreated, UnlistedRuleSearchWalks()), std::vector<std::string>{}) << child;
        for (const SweepStep& step : recreated)
            EXPECT_NE(step.outcome, "fixed") << step.operation;
    }
}

} // namespace
