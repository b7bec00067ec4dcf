#include "repairs/CFixLayer.h"

#include "RepairKit.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace repairkit;

namespace
{

struct LayerDesign : RepairDesign
{
    // Layers named L<i> with the given numbers, in design order.
    std::vector<Index> layers(const std::vector<int>& numbers)
    {
        std::vector<Index> out;
        for (size_t i = 0; i < numbers.size(); ++i)
            out.push_back(b.Layer(design, "L" + std::to_string(i), numbers[i], numbers[i]));
        return out;
    }
    std::vector<int> numbers(const std::vector<Index>& layerList)
    {
        std::vector<int> out;
        for (Index l : layerList)
            out.push_back(static_cast<int>(store().Int(l, Field::layerNumber)));
        return out;
    }
    Index zrule(const std::vector<std::string>& layerNames)
    {
        const Index type = b.Add(Kind::GenObjType, design, "ZAXIS_CLEARRULE");
        const Index rule = b.Add(Kind::GenCompObj, type, "Z1");
        for (const std::string& layer : layerNames)
        {
            const Index entry = b.Add(Kind::GenObj, rule, layer);
            b.SetText(entry, Field::level, "Layer");
        }
        return rule;
    }
};

TEST(CFixLayerTest, RenumberLayersGivesOneToNInNumberOrder)
{
    struct Case
    {
        std::vector<int> before;
        std::vector<int> after;
    };
    const Case cases[] = {
        {{3, 7, 9}, {1, 2, 3}},
        {{9, 3, 7}, {3, 1, 2}},
        {{1, 2, 3}, {1, 2, 3}},
        {{1, 1, 2}, {1, 2, 3}}, // a shared number keeps the design's order
    };
    for (const Case& c : cases)
    {
        LayerDesign d;
        const std::vector<Index> layers = d.layers(c.before);
        Lumo::StandIn::GetCallCounts(*d.session).Reset();
        EXPECT_EQ(Outcome(d.fix(&CFixLayer::RenumberLayers)), "fixed");
        EXPECT_EQ(d.numbers(layers), c.after);
        if (c.before == c.after)
        {
            EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("SetLayerNumber"), 0u);
        }
    }

    // A failed write stops the walk; the layers renumbered before it keep their numbers.
    LayerDesign d;
    const std::vector<Index> layers = d.layers({3, 7, 9});
    const CFixStatus status =
        d.fix(&CFixLayer::RenumberLayers, {}, [&] { d.faults().FailOn(layers[1], "SetLayerNumber"); });
    EXPECT_EQ(Outcome(status), "error (result)");
    EXPECT_EQ(d.numbers(layers), (std::vector<int>{1, 7, 9}));

    // A failed unlock leaves its layer renumbered: the walk goes on and the repair is fixed, with
    // the unlock's result.
    LayerDesign unlock;
    const std::vector<Index> unlocked = unlock.layers({3, 7, 9});
    EXPECT_EQ(Outcome(unlock.fix(&CFixLayer::RenumberLayers, {}, [&] { unlock.faults().FailNext("UnLock", 1); })),
              "fixed (result)");
    EXPECT_EQ(unlock.numbers(unlocked), (std::vector<int>{1, 2, 3}));
}

TEST(CFixLayerTest, MoveDuplicatedLayerNumberCascadesUpward)
{
    LayerDesign d;
    const std::vector<Index> layers = d.layers({1, 2, 2, 3});
    const Pairs finding = {{layers[1], "2"}, {layers[2], "L2"}};
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::MoveDuplicatedLayerNumber, finding)),
              "fixed: Layer: L2 moved to new layer position: 3. Layer: L3 moved to new layer position: 4.  Please "
              "review Stackup");
    EXPECT_EQ(d.numbers(layers), (std::vector<int>{1, 2, 3, 4}));
    // The finding no longer holds: nothing moves, and the repair says so.
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::MoveDuplicatedLayerNumber, finding)), "not fixed");

    LayerDesign top;
    const std::vector<Index> atTop = top.layers({1, 3, 3});
    EXPECT_EQ(Outcome(top.fix(&CFixLayer::MoveDuplicatedLayerNumber, {{atTop[1], "3"}, {atTop[2], "L2"}})),
              "not fixed");
    EXPECT_EQ(top.numbers(atTop), (std::vector<int>{1, 3, 3}));

    const std::pair<Pairs, const char*> missing[] = {
        {{{Index(), "2"}, {atTop[2], "L2"}}, "error: Cannot load layer."},
        {{{atTop[1], ""}, {atTop[2], "L2"}}, "error: Cannot get layer name."},
        {{{atTop[1], "2"}, {Index(), "L2"}}, "error: Cannot load layer."},
        {{{atTop[1], "2"}, {atTop[2], ""}}, "error: Cannot get layer name."},
    };
    for (const auto& c : missing)
        EXPECT_EQ(Outcome(top.fix(&CFixLayer::MoveDuplicatedLayerNumber, c.first)), c.second);
}

TEST(CFixLayerTest, RenameDuplicatedLayerTakesTheFirstFreeBracketedNumber)
{
    LayerDesign d;
    const Index top = d.b.Layer(d.design, "TOP", 1, 1);
    d.b.Layer(d.design, "TOP", 2, 2);
    d.b.Layer(d.design, "TOP(1)", 3, 3);
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RenameDuplicatedLayer, {{top, "TOP"}})), "fixed");
    EXPECT_EQ(d.name(top), "TOP(2)");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RenameDuplicatedLayer, {{Index(), "TOP"}})), "error: Cannot load layer.");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RenameDuplicatedLayer, {{top, ""}})), "error: Cannot get layer name.");

    // A layer that is gone is repaired; one that exists but cannot be loaded is not.
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RenameDuplicatedLayer, {{top, "TOP"}},
                            [&] { d.faults().FailOn(top, "GetNorvLayer"); })),
              "error (result)");
    EXPECT_EQ(d.name(top), "TOP(2)");
    d.b.Delete(top);
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RenameDuplicatedLayer, {{top, "TOP"}})), "fixed");
}

TEST(CFixLayerTest, SetLayerUsageFollowsTheLayerType)
{
    struct Case
    {
        int type;
        const char* planeNets; // null: no PLANE_NETS constraint
        const char* outcome;
        const char* usage;
    };
    const Case cases[] = {
        {Lumo::LT_Substrate, nullptr, "fixed", "Substrate"},
        {Lumo::LT_Metallic, "GND", "fixed", "Plane"},
        {Lumo::LT_Metallic, "", "fixed", "Signal"},
        {Lumo::LT_Metallic, nullptr, "fixed", "Signal"},
        {5, nullptr, "not fixed", "-"},
    };
    for (const Case& c : cases)
    {
        LayerDesign d;
        const Index layer = d.b.Layer(d.design, "L", 1, 1, static_cast<Lumo::ELayerType>(c.type));
        if (c.planeNets)
            d.b.Constraint(layer, "PLANE_NETS", c.planeNets);
        EXPECT_EQ(Outcome(d.fix(&CFixLayer::SetLayerUsage, {{layer, "L"}})), c.outcome) << c.type;
        EXPECT_EQ(d.constraint(layer, "LAYER_USAGE"), c.usage) << c.type;
    }
    LayerDesign d;
    const Index layer = d.b.Layer(d.design, "L", 1, 1);
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::SetLayerUsage, {{Index(), "L"}})), "error: Cannot get layer.");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::SetLayerUsage, {{layer, "L"}}, [&] { d.faults().FailOn(layer, "GetType"); })),
              "error: Cannot get layer type.");
}

TEST(CFixLayerTest, ZAxisRuleLayers)
{
    LayerDesign d;
    const Index rule = d.zrule({"TOP", "BOT", "TOP", "TOP"});
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RemoveDuplicatedZAxisLayers, {{Index(), "TOP"}, {rule, "Z1"}})),
              "fixed: Duplicated layers were removed");
    EXPECT_EQ(d.names(rule, Field::genObjs), (std::vector<std::string>{"TOP", "BOT"}));
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RemoveDuplicatedZAxisLayers, {{Index(), "TOP"}, {rule, "Z1"}})),
              "error: Cannot find duplicated layers.");

    EXPECT_EQ(Outcome(d.fix(&CFixLayer::AddMissingZAxisLayer, {{Index(), "MID"}, {rule, "Z1"}})), "fixed");
    EXPECT_EQ(d.names(rule, Field::genObjs), (std::vector<std::string>{"TOP", "BOT", "MID"}));
    EXPECT_EQ(d.store().Text(d.find(Kind::GenObj, "MID"), Field::level), "Layer");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::AddMissingZAxisLayer, {{Index(), "MID"}, {rule, "Z1"}})), "fixed");
    EXPECT_EQ(d.names(rule, Field::genObjs).size(), 3u);

    for (FixMethod method : {&CFixLayer::AddMissingZAxisLayer, &CFixLayer::RemoveDuplicatedZAxisLayers})
    {
        EXPECT_EQ(Outcome(d.fix(method, {{Index(), ""}, {rule, "Z1"}})), "error: Cannot get layer name.");
        EXPECT_EQ(Outcome(d.fix(method, {{Index(), "TOP"}, {Index(), "Z1"}})),
                  "error: Cannot load Z-axis clearance rule.");
        EXPECT_EQ(Outcome(d.fix(method, {{Index(), "NEW"}, {rule, "Z1"}},
                                [&] { d.faults().FailOn(rule, "GetNorvGenCompObj"); })),
                  "error (result)");
    }
    d.b.Delete(rule);
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::AddMissingZAxisLayer, {{Index(), "NEW"}, {rule, "Z1"}})), "fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RemoveDuplicatedZAxisLayers, {{Index(), "TOP"}, {rule, "Z1"}})), "fixed");
}

TEST(CFixLayerTest, RemoveDuplicatedZAxisLayersStopsAtAFailedDelete)
{
    LayerDesign d;
    const Index rule = d.zrule({"TOP", "TOP", "TOP"});
    const std::vector<Index> entries = d.list(rule, Field::genObjs);
    const CFixStatus status = d.fix(&CFixLayer::RemoveDuplicatedZAxisLayers, {{Index(), "TOP"}, {rule, "Z1"}},
                                    [&] { d.faults().FailNext("DeleteGenObj", 1); });
    EXPECT_EQ(Outcome(status), "error (result)");
    EXPECT_EQ(d.list(rule, Field::genObjs), entries);
}

// ---------------------------------------------------------------------------------------------------
// Re-creating a net class whose rule lacks a layer rule.

struct NetClassDesign : RepairDesign
{
    Index top = b.Layer(design, "TOP", 1, 1);
    Index bottom = b.Layer(design, "BOT", 2, 2);
    Index via = b.Via(design, "V1");
    NetClassDesign()
    {
        b.DefaultObjects(design);
        // Constraints are copied as text, which the definitions parse.
        b.Definition("MAX_VIAS", 10);
        b.Definition("LINE_WIDTH", 5.0);
    }
    int kind(Index holder, const std::string& constraintName)
    {
        for (Index c : list(holder, Field::constraints))
            if (alive(c) && name(c) == constraintName)
                return store().ConstraintValue(c).kind;
        return -1;
    }

    Index layerRule(Index r, int number)
    {
        for (Index l : list(r, Field::layerRules))
            if (store().Int(l, Field::layerIndex) == number)
                return l;
        return Index();
    }
    // Takes the layer rule of the number out of the rule, as a broken design has it.
    void dropLayerRule(Index r, int number) { b.Delete(layerRule(r, number)); }
    Pairs finding(Index r, const std::string& className, int number)
    {
        return {{Index(), "(Master)"}, {r, className}, {Index(static_cast<uint64_t>(number)), "L"}};
    }
};

TEST(CFixLayerTest, RecreateNetClassCarriesTheContentsOver)
{
    NetClassDesign d;
    const Index hs = d.b.NetClass(d.design, "HS");
    d.b.NetClass(d.design, "HS_0"); // the temporary name moves on to HS_1
    const Index child = d.b.NetClass(hs, "HSC");
    const Index n1 = d.net("N1", hs);
    const Index n2 = d.net("N2", child);
    d.b.Constraint(hs, "MAX_VIAS", 3);
    d.b.Attribute(hs, "owner", "pcb");
    const Index cc = d.b.ConstraintClass(d.design, "CC", hs);
    const Index master = d.rule(hs, "(Master)");
    d.b.Constraint(d.layerRule(master, 1), "LINE_WIDTH", 5);
    d.b.Attribute(d.layerRule(master, 1), "note", "x");
    const Index minimum = d.rule(hs, "(Minimum)");
    d.b.Constraint(d.layerRule(minimum, 1), "LINE_WIDTH", 1);
    d.b.Attribute(d.layerRule(minimum, 1), "note", "m");
    d.dropLayerRule(master, 2);

    const CFixStatus status = d.fix(&CFixLayer::RecreateNetClass, d.finding(master, "HS", 2));
    EXPECT_EQ(Outcome(status), "fixed");
    EXPECT_FALSE(d.reloadFlag);
    EXPECT_FALSE(d.alive(hs));
    EXPECT_FALSE(d.alive(child));
    const Index fresh = d.find(Kind::NetClass, "HS");
    ASSERT_FALSE(fresh.IsEmpty());
    EXPECT_EQ(d.netClassOf(n1), fresh);
    const Index freshChild = d.find(Kind::NetClass, "HSC");
    EXPECT_EQ(d.store().Owner(freshChild), fresh);
    EXPECT_EQ(d.netClassOf(n2), freshChild);
    EXPECT_EQ(d.store().Ref(cc, Field::netClass), fresh);
    EXPECT_EQ(d.constraint(fresh, "MAX_VIAS"), "3");
    EXPECT_EQ(d.kind(fresh, "MAX_VIAS"), Lumo::CDT_Int);
    EXPECT_EQ(d.store().Attributes(fresh).size(), 1u);
    EXPECT_TRUE(d.find(Kind::NetClass, "HS_1").IsEmpty());

    const Index freshMaster = d.rule(fresh, "(Master)");
    ASSERT_FALSE(d.layerRule(freshMaster, 2).IsEmpty());
    EXPECT_EQ(d.constraint(d.layerRule(freshMaster, 1), "LINE_WIDTH"), "5");
    // "(Minimum)" gets the attributes but not the constraints.
    const Index freshMinimum = d.layerRule(d.rule(fresh, "(Minimum)"), 1);
    EXPECT_EQ(d.constraint(freshMinimum, "LINE_WIDTH"), "-");
    ASSERT_EQ(d.store().Attributes(freshMinimum).size(), 1u);
    EXPECT_EQ(d.store().Attributes(freshMinimum)[0].value, "m");
}

TEST(CFixLayerTest, RecreateNetClassOfAChildAndFindingsThatNoLongerHold)
{
    NetClassDesign d;
    const Index parent = d.b.NetClass(d.design, "P");
    const Index hs = d.b.NetClass(parent, "HS");
    const Index n1 = d.net("N1", hs);
    const Index master = d.rule(hs, "(Master)");
    d.dropLayerRule(master, 2);
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, d.finding(master, "HS", 2))), "fixed");
    const Index fresh = d.find(Kind::NetClass, "HS");
    EXPECT_EQ(d.store().Owner(fresh), parent);
    EXPECT_EQ(d.netClassOf(n1), fresh);
    EXPECT_EQ(d.list(parent, Field::childNetClasses), std::vector<Index>{fresh});

    // The old rule is gone with its class; the new rule has the layer.
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, d.finding(master, "HS", 2))), "fixed");
    const Index freshMaster = d.rule(fresh, "(Master)");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, d.finding(freshMaster, "HS", 2))), "fixed");
    EXPECT_EQ(d.find(Kind::NetClass, "HS"), fresh);
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, d.finding(freshMaster, "HS", 2),
                            [&] { d.faults().FailOn(freshMaster, "GetNorvSchemaNetClassRule"); })),
              "error (result)");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, {{Index(), ""}, {freshMaster, "HS"}})), "not fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, {{Index(), "S"}, {freshMaster, ""}})), "not fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, {{Index(), "S"}, {Index(), "HS"}})), "not fixed");
}

TEST(CFixLayerTest, RecreateNetClassThatCannotCarryAViaAssignLeavesTheDesignAsFound)
{
    for (bool child : {false, true})
    {
        NetClassDesign d;
        const Index owner = child ? d.b.NetClass(d.design, "P") : d.design;
        const Index hs = d.b.NetClass(owner, "HS");
        const Index sub = d.b.NetClass(hs, "SUB");
        const Index n1 = d.net("N1", hs);
        const Index n2 = d.net("N2", sub);
        const Index master = d.rule(hs, "(Master)");
        d.dropLayerRule(master, 2);
        d.b.Via(d.design, "V1"); // a new rule gets two via assigns named V1
        const size_t classes = d.store().AllLive(Kind::NetClass).size();

        EXPECT_EQ(Outcome(d.fix(&CFixLayer::RecreateNetClass, d.finding(master, "HS", 2))), "not fixed") << child;
        EXPECT_EQ(d.name(hs), "HS");
        EXPECT_TRUE(d.alive(hs) && d.alive(sub));
        EXPECT_EQ(d.store().Owner(sub), hs);
        EXPECT_EQ(d.netClassOf(n1), hs);
        EXPECT_EQ(d.netClassOf(n2), sub);
        EXPECT_EQ(d.store().AllLive(Kind::NetClass).size(), classes) << child;
    }
}

TEST(CFixLayerTest, RecreateNetClassKeepsWhatWasDoneBeforeAFailure)
{
    NetClassDesign d;
    const Index hs = d.b.NetClass(d.design, "HS");
    const Index master = d.rule(hs, "(Master)");
    d.dropLayerRule(master, 2);
    const CFixStatus status = d.fix(&CFixLayer::RecreateNetClass, d.finding(master, "HS", 2),
                                    [&] { d.faults().FailNext("AddNetClass", 1); });
    EXPECT_EQ(Outcome(status), "error (result)");
    EXPECT_EQ(d.name(hs), "HS_0");
}

TEST(CFixLayerTest, AttributeCopiesNeedBothObjects)
{
    EXPECT_EQ(Outcome(CFixLayer::CopyConstraintAttributes(nullptr, nullptr)), "not fixed");
    EXPECT_EQ(Outcome(CFixLayer::CopyNetClassAttributes(nullptr, nullptr)), "not fixed");
}

TEST(CFixLayerTest, AFailedWriteOrWalkEndsTheRepairWithItsResult)
{
    const auto layers = [](const std::vector<int>& numbers) {
        return [numbers](LayerDesign& d) {
            const std::vector<Index> l = d.layers(numbers);
            return Pairs{{l[1], "2"}, {l[2], "2"}};
        };
    };
    // A failed write or walk step is the outcome, save for the writes a repair tolerates. An unlock
    // that fails after the change leaves the change made: the repair is fixed and keeps the result,
    // so that the finding is logged with the pass that changed the design.
    const auto unreported = [](const std::vector<SweepStep>& steps, std::vector<std::string> tolerated) {
        const bool unlockChecked = std::find(tolerated.begin(), tolerated.end(), "UnLock") == tolerated.end();
        tolerated.push_back("UnLock");
        std::vector<std::string> out = UnreportedWrites(steps, tolerated);
        for (const std::string& walk : UnreportedWalkSteps(steps))
            out.push_back(walk);
        for (const SweepStep& step : steps)
            if (unlockChecked && step.operation == "UnLock" &&
                (step.outcome.rfind("fixed", 0) != 0 || step.outcome.find("(result)") == std::string::npos))
                out.push_back("UnLock -> " + step.outcome);
        return out;
    };
    EXPECT_EQ(unreported(SweepFaults<LayerDesign>(layers({3, 7, 9}), &CFixLayer::RenumberLayers), {}),
              std::vector<std::string>{});
    EXPECT_EQ(unreported(SweepFaults<LayerDesign>(layers({1, 2, 2, 3}), &CFixLayer::MoveDuplicatedLayerNumber), {}),
              std::vector<std::string>{});
    EXPECT_EQ(unreported(SweepFaults<LayerDesign>(
                             [](LayerDesign& d) {
                                 const Index top = d.b.Layer(d.design, "TOP", 1, 1);
                                 d.b.Layer(d.design, "TOP", 2, 2);
                                 return Pairs{{top, "TOP"}};
                             },
                             &CFixLayer::RenameDuplicatedLayer),
                         {}),
              std::vector<std::string>{});
    EXPECT_EQ(unreported(SweepFaults<LayerDesign>([](LayerDesign& d) { return Pairs{{d.b.Layer(d.design, "L", 1, 1), "L"}}; },
                                                  &CFixLayer::SetLayerUsage),
                         {}),
              std::vector<std::string>{});
    const auto zrule = [](LayerDesign& d) { return Pairs{{Index(), "TOP"}, {d.zrule({"TOP", "TOP", "TOP"}), "Z1"}}; };
    EXPECT_EQ(unreported(SweepFaults<LayerDesign>(zrule, &CFixLayer::RemoveDuplicatedZAxisLayers), {"UnLock"}),
              std::vector<std::string>{});
    const auto missing = [](LayerDesign& d) { return Pairs{{Index(), "BOT"}, {d.zrule({"TOP"}), "Z1"}}; };
    EXPECT_EQ(unreported(SweepFaults<LayerDesign>(missing, &CFixLayer::AddMissingZAxisLayer), {}),
              std::vector<std::string>{});
}

TEST(CFixLayerTest, AFailedWriteEndsTheNetClassRecreationWithItsResult)
{
    const auto steps = SweepFaults<NetClassDesign>(
        [](NetClassDesign& d) {
            const Index owner = d.b.NetClass(d.design, "P");
            const Index hs = d.b.NetClass(owner, "HS");
            d.b.NetClass(hs, "SUB");
            d.net("N1", hs);
            d.b.Constraint(hs, "MAX_VIAS", 3);
            d.b.ConstraintClass(d.design, "CC", hs);
            const Index master = d.rule(hs, "(Master)");
            d.b.Constraint(d.layerRule(master, 1), "LINE_WIDTH", 5);
            d.dropLayerRule(master, 2);
            return d.finding(master, "HS", 2);
        },
        &CFixLayer::RecreateNetClass);
    EXPECT_EQ(UnreportedWrites(steps), std::vector<std::string>{});
    EXPECT_EQ(UnreportedWalkSteps(steps, UnlistedRuleSearchWalks()), std::vector<std::string>{});
    EXPECT_EQ(UnfixedSteps(steps, UnlistedRuleSearchWalks()), std::vector<std::string>{});
}

} // namespace
