#include "repairs/CFixTemplates.h"

#include "RepairKit.h"

#include <gtest/gtest.h>

using namespace repairkit;

namespace
{

struct TemplateDesign : RepairDesign
{
    Index type = b.Add(Kind::GenObjType, design, "TOPOTMPL");

    Index comp(Index owner, const std::string& compName, const char* level)
    {
        const Index c = b.Add(Kind::GenCompObj, owner, compName);
        b.SetText(c, Field::level, level);
        return c;
    }
    Index templ(const std::string& templName) { return comp(type, templName, "TopoTemplate"); }
};

TEST(CFixTemplatesTest, DeleteDuplicatedTemplateDeletesTheSecond)
{
    TemplateDesign d;
    const Index t1 = d.templ("T");
    const Index t2 = d.templ("T");
    const Index other = d.templ("U");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeleteDuplicatedTemplate, {{t1, "T"}, {other, "U"}})), "fixed");
    EXPECT_TRUE(d.alive(other));
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeleteDuplicatedTemplate, {{t1, "T"}, {t2, "T"}},
                            [&] { d.faults().FailOn(t2, "GetNorvGenCompObj"); })),
              "error (result)");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeleteDuplicatedTemplate, {{t1, "T"}, {t2, "T"}})), "fixed");
    EXPECT_TRUE(d.alive(t1));
    EXPECT_FALSE(d.alive(t2));
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeleteDuplicatedTemplate, {{t1, "T"}, {t2, "T"}})), "fixed");

    // Without exactly one template type there is nothing to delete from.
    const Index t3 = d.templ("T");
    d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeleteDuplicatedTemplate, {{t1, "T"}, {t3, "T"}})), "not fixed");
    EXPECT_TRUE(d.alive(t3));
}

TEST(CFixTemplatesTest, ClearMissingTemplateReferences)
{
    RepairDesign d;
    const Index net = d.b.ElectricalNet(d.config, "N");
    const Index own = d.b.Constraint(net, "TEMPLATE", "GONE");
    d.b.ConstraintFlags(own, false, false); // not the user's own: the net still gets "(None)"
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::ClearMissingElecNetTemplate, {{net, "N"}})), "fixed");
    EXPECT_EQ(d.constraint(net, "TEMPLATE"), "(None)");

    const Index a = d.b.ElectricalNet(d.config, "A");
    const Index b = d.b.ElectricalNet(d.config, "B");
    const Index pair = d.b.DiffPair(d.config, "DP", a, b);
    const Index inherited = d.b.Constraint(pair, "TEMPLATE", "GONE");
    d.b.ConstraintFlags(inherited, false, false);
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::ClearMissingDiffPairTemplate, {{pair, "DP"}})), "not fixed");
    EXPECT_EQ(d.constraint(pair, "TEMPLATE"), "GONE");
    d.b.ConstraintFlags(inherited, false, true);
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::ClearMissingDiffPairTemplate, {{pair, "DP"}})), "fixed");
    EXPECT_EQ(d.constraint(pair, "TEMPLATE"), "(None)");

    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::ClearMissingElecNetTemplate, {{Index(), "N"}})), "not fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::ClearMissingElecNetTemplate, {{a, "A"}})), "error (result)");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::ClearMissingElecNetTemplate, {{net, "N"}},
                            [&] { d.faults().FailNext("SetValue", 1); })),
              "not fixed");
}

TEST(CFixTemplatesTest, DeletePinSetWithIncorrectPinOnlyWhenEmpty)
{
    TemplateDesign d;
    const Index t = d.templ("T");
    const Index full = d.comp(t, "FULL", "Net");
    d.b.Add(Kind::GenObj, full, "P1");
    const Index empty = d.comp(t, "EMPTY", "Net");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeletePinSetWithIncorrectPin, {{t, "T"}, {full, "FULL"}})), "not fixed");
    EXPECT_TRUE(d.alive(full));
    // A count that cannot be read deletes nothing.
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeletePinSetWithIncorrectPin, {{t, "T"}, {empty, "EMPTY"}},
                            [&] { d.faults().FailNext("GetIterGenObjs.GetCount", 1); })),
              "error (result)");
    EXPECT_TRUE(d.alive(empty));
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeletePinSetWithIncorrectPin, {{t, "T"}, {empty, "EMPTY"}})), "fixed");
    EXPECT_FALSE(d.alive(empty));
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::DeletePinSetWithIncorrectPin, {{t, "T"}, {empty, "EMPTY"}})), "fixed");
}

TEST(CFixTemplatesTest, SetTopoPinSetTypeByMarker)
{
    struct Case
    {
        const char* origin;
        const char* outcome;
        const char* type;
    };
    const Case cases[] = {
        {"X_VP_BL_1", "fixed", "Balanced"},   {"VP_UB_VP_T_", "fixed", "Unbalanced"},
        {"A.VP_T_2", "fixed", "T"},           {"VP_X", "not fixed", "-"},
    };
    for (const Case& c : cases)
    {
        TemplateDesign d;
        const Index t = d.templ("T");
        const Index pin = d.b.Add(Kind::GenObj, d.comp(t, "S", "Net"), "P");
        d.b.Constraint(pin, "TOPO_ORIG_NAME", c.origin);
        EXPECT_EQ(Outcome(d.fix(&CFixTemplates::SetTopoPinSetType, {{t, "T"}, {pin, "P"}})), c.outcome) << c.origin;
        EXPECT_EQ(d.constraint(pin, "TOPO_PINSET_TYPE"), c.type) << c.origin;
    }
    TemplateDesign d;
    const Index t = d.templ("T");
    const Index pin = d.b.Add(Kind::GenObj, d.comp(t, "S", "Net"), "P");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::SetTopoPinSetType, {{t, "T"}, {pin, "P"}})), "error (result)");
    d.b.Delete(pin);
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::SetTopoPinSetType, {{t, "T"}, {pin, "P"}})), "fixed");
}

TEST(CFixTemplatesTest, SetPinSetTemplateTopologyNeedsOnePinSet)
{
    TemplateDesign d;
    const Index t = d.templ("T");
    d.b.Constraint(t, "ORDER_TYPE", "MST");
    const Index device = d.comp(t, "D", "Device");
    const Index set = d.comp(t, "S", "Net");
    EXPECT_EQ(Outcome(d.fix(&CFixTemplates::SetPinSetTemplateTopology, {{t, "T"}})), "fixed");
    EXPECT_EQ(d.constraint(t, "ORDER_TYPE"), "Complex");
    EXPECT_EQ(d.constraint(set, "ORDER_TYPE"), "Complex");
    EXPECT_EQ(d.constraint(device, "ORDER_TYPE"), "-");

    TemplateDesign two;
    const Index t2 = two.templ("T");
    two.b.Constraint(t2, "ORDER_TYPE", "MST");
    two.comp(t2, "S1", "Net");
    two.comp(t2, "S2", "Net");
    EXPECT_EQ(Outcome(two.fix(&CFixTemplates::SetPinSetTemplateTopology, {{t2, "T"}})), "not fixed");
    EXPECT_EQ(two.constraint(t2, "ORDER_TYPE"), "MST");
    EXPECT_EQ(Outcome(two.fix(&CFixTemplates::SetPinSetTemplateTopology, {{Index(), "T"}})), "not fixed");
}

TEST(CFixTemplatesTest, AFailedWriteEndsTheRepairWithItsResultOrNotFixed)
{
    const auto duplicate = [](TemplateDesign& d) { return Pairs{{d.templ("T"), "T"}, {d.templ("T"), "T"}}; };
    EXPECT_EQ(UnreportedWrites(SweepFaults<TemplateDesign>(duplicate, &CFixTemplates::DeleteDuplicatedTemplate)),
              std::vector<std::string>{});
    const auto empty = [](TemplateDesign& d) {
        const Index t = d.templ("T");
        return Pairs{{t, "T"}, {d.comp(t, "S", "Net"), "S"}};
    };
    EXPECT_EQ(UnreportedWrites(SweepFaults<TemplateDesign>(empty, &CFixTemplates::DeletePinSetWithIncorrectPin)),
              std::vector<std::string>{});
    const auto net = [](TemplateDesign& d) {
        const Index n = d.b.ElectricalNet(d.config, "N");
        d.b.Constraint(n, "TEMPLATE", "GONE");
        return Pairs{{n, "N"}};
    };
    EXPECT_EQ(UnreportedWrites(SweepFaults<TemplateDesign>(net, &CFixTemplates::ClearMissingElecNetTemplate),
                               {"SetValue", "UnLock"}),
              std::vector<std::string>{});
    // Only whether the constraint was written reaches the caller of the pin-set repairs.
    const auto topology = [](TemplateDesign& d) {
        const Index t = d.templ("T");
        d.b.Constraint(t, "ORDER_TYPE", "MST");
        d.comp(t, "S", "Net");
        return Pairs{{t, "T"}};
    };
    for (const SweepStep& step : SweepFaults<TemplateDesign>(topology, &CFixTemplates::SetPinSetTemplateTopology))
    {
        if (step.operation == "Lock" || step.operation == "AddConstraint")
        {
            EXPECT_EQ(step.outcome, "not fixed") << step.operation;
        }
    }
    // A template or pin that cannot be loaded but exists is not repaired.
    const auto pinSet = [](TemplateDesign& d) {
        const Index t = d.templ("T");
        const Index pin = d.b.Add(Kind::GenObj, d.comp(t, "S", "Net"), "P");
        d.b.Constraint(pin, "TOPO_ORIG_NAME", "VP_T_1");
        return Pairs{{t, "T"}, {pin, "P"}};
    };
    for (const SweepStep& step : SweepFaults<TemplateDesign>(pinSet, &CFixTemplates::SetTopoPinSetType))
    {
        if (step.operation == "GetNorvGenCompObj" || step.operation == "GetNorvGenObj")
        {
            EXPECT_EQ(step.outcome, "error (result)") << step.operation;
        }
    }
    for (const SweepStep& step : SweepFaults<TemplateDesign>(empty, &CFixTemplates::DeletePinSetWithIncorrectPin))
    {
        if (step.operation == "GetNorvGenCompObj")
        {
            EXPECT_EQ(step.outcome, "error (result)") << step.operation;
        }
    }
}

} // namespace
