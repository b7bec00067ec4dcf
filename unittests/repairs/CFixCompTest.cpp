#include "repairs/CFixComp.h"

#include "RepairKit.h"
#include "tests/rules/RuleTestKit.h"

#include <gtest/gtest.h>

using namespace repairkit;

namespace
{

struct CompDesign : RepairDesign
{
    Index part = b.Part(config, "SOIC", 2);
    Index net = b.PhysicalNet(config, "N1");

    // A component of the part with pins 1 and 2; connected puts pin 1 on a net.
    Index comp(const std::string& compName, bool connected = true)
    {
        const Index c = b.NorvComp(config, compName, part);
        b.Pin(c, "1", Lumo::NPT_NetPin, connected ? net : Index());
        b.Pin(c, "2");
        return c;
    }
    // A logic component of the component with design pins numbered 1 and 2, bound to its pins.
    Index logic(Index c, const std::string& refDes)
    {
        const Index l = b.LogicComp(schematic, "L" + std::to_string(++m_count));
        b.SetInt(l, Field::types, 1 << Lumo::CT_ForwardPCB);
        if (!refDes.empty())
            b.Attribute(l, "Ref Designator", refDes, 3);
        b.AppendOnly(c, Field::logicComps, l);
        const std::vector<Index> pins = list(c, Field::pins);
        for (size_t i = 0; i < 2; ++i)
        {
            const Index p = b.DesignPin(l, "P" + std::to_string(i + 1), std::to_string(i + 1));
            b.SetInt(p, Field::types, 1 << Lumo::PT_ForwardPCB);
            b.SetInt(p, Field::width, 1);
            if (i < pins.size())
                b.Link(pins[i], Field::designPin, p);
        }
        return l;
    }
    std::string refDes(Index l)
    {
        for (const auto& a : store().Attributes(l))
            if (a.name == "Ref Designator" && a.type == 3)
                return a.value;
        return "-";
    }
    std::vector<Index> comps(const std::string& compName)
    {
        std::vector<Index> out;
        for (Index c : store().AllLive(Kind::NorvComp))
            if (name(c) == compName)
                out.push_back(c);
        return out;
    }

private:
    int m_count = 0;
};

TEST(CFixCompTest, RenameDuplicatedCompsCountsOnFromTheName)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> renamed; // the later connected duplicates, in index order
    };
    const Case cases[] = {
        {"U1", {"U2", "U3"}}, {"C007", {"C008"}}, {"C009", {"C0010"}}, {"12", {"13"}},
        {"U", {"U1", "U2"}},  {"C00", {"C001"}},
    };
    for (const Case& c : cases)
    {
        CompDesign d;
        std::vector<Index> comps = {d.comp(c.name)};
        for (size_t i = 0; i < c.renamed.size(); ++i)
        {
            comps.push_back(d.comp(c.name));
            d.logic(comps.back(), c.name);
        }
        EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameDuplicatedComps, {{comps[0], c.name}, {comps[1], c.name}})), "fixed")
            << c.name;
        EXPECT_EQ(d.name(comps[0]), c.name);
        for (size_t i = 0; i < c.renamed.size(); ++i)
        {
            EXPECT_EQ(d.name(comps[i + 1]), c.renamed[i]) << c.name;
            EXPECT_EQ(d.refDes(d.list(comps[i + 1], Field::logicComps)[0]), c.renamed[i]) << c.name;
        }
    }
}

TEST(CFixCompTest, RenameDuplicatedCompsSkipsTakenNamesAndKeepsOtherDesignators)
{
    CompDesign d;
    const Index first = d.comp("U1");
    const Index second = d.comp("U1");
    const Index l = d.logic(second, "OTHER");
    d.comp("U2");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameDuplicatedComps, {{first, "U1"}, {second, "U1"}})), "fixed");
    EXPECT_EQ(d.name(second), "U3");
    EXPECT_EQ(d.refDes(l), "OTHER");
    // Nothing is duplicated any more.
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameDuplicatedComps, {{first, "U1"}, {second, "U1"}})), "fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameDuplicatedComps, {{first, ""}, {second, ""}})), "not fixed");
}

TEST(CFixCompTest, RenameDuplicatedCompsDropsUnconnectedDuplicates)
{
    CompDesign d;
    const Index connected = d.comp("R5");
    const Index loose = d.comp("R5", false);
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameDuplicatedComps, {{connected, "R5"}, {loose, "R5"}})), "fixed");
    EXPECT_TRUE(d.alive(connected));
    EXPECT_FALSE(d.alive(loose));
    EXPECT_EQ(d.name(connected), "R5");

    CompDesign both;
    const Index a = both.comp("R5", false);
    const Index b = both.comp("R5", false);
    EXPECT_EQ(Outcome(both.fix(&CFixComp::RenameDuplicatedComps, {{a, "R5"}, {b, "R5"}})), "not fixed");
    EXPECT_TRUE(both.alive(a) && both.alive(b));

    CompDesign pinless;
    const Index p = pinless.comp("R5");
    pinless.b.NorvComp(pinless.config, "R5", pinless.part);
    EXPECT_EQ(Outcome(pinless.fix(&CFixComp::RenameDuplicatedComps, {{p, "R5"}, {p, "R5"}})), "not fixed");
}

TEST(CFixCompTest, RefDesRepairs)
{
    CompDesign d;
    const Index u1 = d.comp("U1");
    const Index l = d.logic(u1, "");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::SetEmptyRefDes, {{u1, "U1"}, {l, ""}})), "fixed");
    EXPECT_EQ(d.refDes(l), "U1");

    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameCompToRefDes, {{Index(), "u1"}, {u1, "U1"}})),
              "not fixed: Please repackage the design to correct");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameCompToRefDes, {{Index(), "U7"}, {u1, "U1"}})), "fixed");
    EXPECT_EQ(d.name(u1), "U7");
    d.logic(u1, "U7");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameCompToRefDes, {{Index(), "U8"}, {u1, "U7"}})),
              "not fixed: Please repackage the design to correct");
    EXPECT_EQ(d.name(u1), "U7");
}

TEST(CFixCompTest, VerifyPinCountsOnlyLooks)
{
    CompDesign d;
    const Index u1 = d.comp("U1");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::VerifyPinCounts, {{u1, "U1"}})), "fixed");
    d.b.Pin(u1, "3");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::VerifyPinCounts, {{u1, "U1"}})), "not fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::VerifyPinCounts, {{u1, "U1"}}, [&] { d.faults().FailOn(u1, "GetParentPart"); })),
              "fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::VerifyPinCounts, {{u1, "U1"}},
                            [&] { d.faults().FailNext("GetIterPins.GetCount", 1); })),
              "not fixed");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::VerifyPinCounts, {{u1, "U1"}}, [&] { d.faults().FailOn(u1, "GetNorvComp"); })),
              "error (result)");
    d.b.Delete(u1);
    EXPECT_EQ(Outcome(d.fix(&CFixComp::VerifyPinCounts, {{u1, "U1"}})), "fixed");
}

TEST(CFixCompTest, ReattachLogicCompPairsThePinsFirst)
{
    CompDesign d;
    const Index u1 = d.comp("U1");
    const Index l = d.logic(u1, "U1");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::ReattachLogicComp, {{u1, "U1"}, {l, ""}})), "fixed");
    EXPECT_EQ(d.list(u1, Field::logicComps), std::vector<Index>{l});
    const std::vector<Index> pins = d.list(u1, Field::pins);
    EXPECT_EQ(d.store().Ref(pins[0], Field::designPin), d.list(l, Field::pins)[0]);

    // Pins that cannot be paired leave the component as it was.
    EXPECT_EQ(Outcome(d.fix(&CFixComp::ReattachLogicComp, {{u1, "U1"}, {l, ""}},
                            [&] { d.faults().FailOn(u1, "GetIterPins"); })),
              "not fixed");
    EXPECT_EQ(d.list(u1, Field::logicComps), std::vector<Index>{l});
    EXPECT_EQ(d.store().Ref(pins[0], Field::designPin), d.list(l, Field::pins)[0]);
}

// A logic component whose Norv pins refer to no design pin, through the checker in fix mode: pins
// that carry a number are paired and the finding goes; pins without one (the attribute reads as
// empty) leave the component as it was, not fixed, and the re-check finds it again.
TEST(CFixCompTest, ReattachLogicCompThroughTheChecker)
{
    const struct
    {
        const char* name;
        int32_t numberType; // the attribute type that holds the pin numbers; -1: none
        const char* outcome;
        bool paired; // the Norv pins refer to the design pins afterwards
    } cases[] = {
        {"numbered pins", 3, "\n - Fixed.\n", true},
        {"pins numbered under a later type", 2, "\n - Fixed.\n", true},
        {"pins without number", -1, "\n - Not Fixed.\n", false},
    };
    for (const auto& c : cases)
    {
        CompDesign d;
        const Index r9 = d.comp("R9");
        const std::vector<Index> partPins = d.list(d.part, Field::partPins);
        for (size_t i = 0; i < partPins.size(); ++i)
            d.b.Link(d.list(r9, Field::pins)[i], Field::parentPartPin, partPins[i]);
        const Index l = d.b.LogicComp(d.schematic, "LR9");
        d.b.SetInt(l, Field::types, 1 << Lumo::CT_ForwardPCB);
        d.b.AppendOnly(r9, Field::logicComps, l);
        for (const char* number : {"1", "2"})
        {
            const Index p = d.b.DesignPin(l, std::string("R9.") + number);
            if (c.numberType >= 0)
                d.b.Attribute(p, "Pin Number", number, c.numberType);
            d.b.SetInt(p, Field::types, 1 << Lumo::PT_ForwardPCB);
            d.b.SetInt(p, Field::width, 1);
        }
        const std::string before = ruletest::CheckerBlock(*d.session, "ValidComp");
        ASSERT_NE(before.find("ERROR 621: Component R9"), std::string::npos) << c.name << before;

        const std::string fixed = ruletest::CheckerBlocks(*d.session, {"ValidComp"}, "main", "TOP", true);
        EXPECT_NE(fixed.find(std::string("has invalid logical component") + c.outcome), std::string::npos)
            << c.name << fixed;
        EXPECT_EQ(d.list(r9, Field::logicComps), std::vector<Index>{l}) << c.name;
        const std::vector<Index> pins = d.list(r9, Field::pins);
        EXPECT_EQ(d.store().Ref(pins[0], Field::designPin) == d.list(l, Field::pins)[0], c.paired) << c.name;
        EXPECT_EQ(ruletest::CheckerBlock(*d.session, "ValidComp"), c.paired ? "Test: Component valid\nResult: OK\n" : before)
            << c.name;
    }
}

TEST(CFixCompTest, RebuildCompPinsMovesEveryLogicCompToOneNewComponent)
{
    CompDesign d;
    const Index u1 = d.comp("U1");
    const Index l1 = d.logic(u1, "U1");
    const Index l2 = d.logic(u1, "U1");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RebuildCompPins, {{u1, "U1"}})), "fixed");
    EXPECT_FALSE(d.alive(u1));
    const std::vector<Index> rebuilt = d.comps("U1");
    ASSERT_EQ(rebuilt.size(), 1u);
    EXPECT_EQ(d.list(rebuilt[0], Field::logicComps), (std::vector<Index>{l1, l2}));
    EXPECT_EQ(d.store().Ref(rebuilt[0], Field::parentPart), d.part);
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RebuildCompPins, {{u1, "U1"}})), "fixed");

    // Without a readable part nothing is touched.
    const Index u2 = d.comp("U2");
    d.logic(u2, "U2");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RebuildCompPins, {{u2, "U2"}}, [&] { d.faults().FailOn(u2, "GetParentPart"); })),
              "not fixed");
    EXPECT_TRUE(d.alive(u2));
    EXPECT_TRUE(d.store().Locks().empty());
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RebuildCompPins, {{u2, "U2"}}, [&] { d.faults().FailOn(u2, "GetNorvComp"); })),
              "error (result)");
}

TEST(CFixCompTest, RenameMismatchedPinsRebuildsAndKeepsThePinNames)
{
    CompDesign d;
    const Index u1 = d.comp("U1");
    const Index l = d.logic(u1, "U1");
    const std::vector<Index> oldPins = d.list(u1, Field::pins);
    d.b.SetName(oldPins[0], "A");
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameMismatchedPins, {{oldPins[0], "A"}, {u1, "U1"}})), "fixed");
    EXPECT_FALSE(d.alive(u1));
    const std::vector<Index> rebuilt = d.comps("U1");
    ASSERT_EQ(rebuilt.size(), 1u);
    EXPECT_EQ(d.list(rebuilt[0], Field::logicComps), std::vector<Index>{l});
    EXPECT_EQ(d.names(rebuilt[0], Field::pins), (std::vector<std::string>{"A", "2"}));

    // A failed add keeps the old component.
    const Index u2 = d.comp("U2");
    d.logic(u2, "U2");
    const Index pin = d.list(u2, Field::pins)[0];
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameMismatchedPins, {{pin, "1"}, {u2, "U2"}},
                            [&] { d.faults().FailNext("AddNorvComp", 1); })),
              "error (result)");
    EXPECT_TRUE(d.alive(u2));
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameMismatchedPins, {{pin, "1"}, {u2, "U2"}},
                            [&] { d.faults().FailOn(pin, "GetNorvPin"); })),
              "error (result)");
    d.b.Delete(u2);
    EXPECT_EQ(Outcome(d.fix(&CFixComp::RenameMismatchedPins, {{pin, "1"}, {u2, "U2"}})), "fixed");
}

TEST(CFixCompTest, AFailedWriteOrSearchEndsTheRepairWithItsResult)
{
    const auto duplicates = [](CompDesign& d) {
        const Index a = d.comp("U1");
        const Index b = d.comp("U1");
        d.logic(b, "U1");
        d.comp("U1", false);
        return Pairs{{a, "U1"}, {b, "U1"}};
    };
    const std::vector<SweepStep> steps = SweepFaults<CompDesign>(duplicates, &CFixComp::RenameDuplicatedComps);
    EXPECT_EQ(UnreportedWrites(steps), std::vector<std::string>{});
    EXPECT_EQ(UnreportedWalkSteps(steps), std::vector<std::string>{});
    // Every search for a free name ends with its failure, as the first search does.
    for (const SweepStep& step : steps)
    {
        if (step.operation == "FindNorvComp")
        {
            EXPECT_EQ(step.outcome, "error (result)");
        }
    }

    const auto rebuild = [](CompDesign& d) {
        const Index u = d.comp("U1");
        d.logic(u, "U1");
        d.logic(u, "U1");
        return Pairs{{u, "U1"}};
    };
    const std::vector<SweepStep> rebuilt = SweepFaults<CompDesign>(rebuild, &CFixComp::RebuildCompPins);
    EXPECT_EQ(UnreportedWrites(rebuilt), std::vector<std::string>{});
    EXPECT_EQ(UnreportedWalkSteps(rebuilt), std::vector<std::string>{});
    const auto mismatched = [](CompDesign& d) {
        const Index u = d.comp("U1");
        d.logic(u, "U1");
        return Pairs{{d.list(u, Field::pins)[0], "1"}, {u, "U1"}};
    };
    const std::vector<SweepStep> renamed = SweepFaults<CompDesign>(mismatched, &CFixComp::RenameMismatchedPins);
    EXPECT_EQ(UnreportedWrites(renamed, {"RemoveLogicComp"}), std::vector<std::string>{});
    EXPECT_EQ(UnreportedWalkSteps(renamed), std::vector<std::string>{});
    const auto reattach = [](CompDesign& d) {
        const Index u = d.comp("U1");
        return Pairs{{u, "U1"}, {d.logic(u, "U1"), ""}};
    };
    const std::vector<SweepStep> reattached = SweepFaults<CompDesign>(reattach, &CFixComp::ReattachLogicComp);
    EXPECT_EQ(UnreportedWrites(reattached), std::vector<std::string>{});
    EXPECT_EQ(UnreportedWalkSteps(reattached), std::vector<std::string>{});
    EXPECT_EQ(UnreportedWrites(SweepFaults<CompDesign>(reattach, &CFixComp::SetEmptyRefDes), {"SetAttribute"}),
              std::vector<std::string>{});
    const auto refDes = [](CompDesign& d) {
        const Index u = d.comp("U1");
        d.logic(u, "U7");
        return Pairs{{Index(), "U7"}, {u, "U1"}};
    };
    EXPECT_EQ(UnreportedWrites(SweepFaults<CompDesign>(refDes, &CFixComp::RenameCompToRefDes), {"UnLock"}),
              std::vector<std::string>{});
}

} // namespace

