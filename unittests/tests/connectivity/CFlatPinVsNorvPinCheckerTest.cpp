#include "tests/connectivity/CFlatPinVsNorvPinChecker.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PinDesign : Design
{
    Index logic = logicComp("U1", true);
    Index norvComp = b.NorvComp(config, "U1");
    int count = 0;

    Index logicComp(const std::string& name, bool forwardPcb)
    {
        Index comp = b.LogicComp(schematic, name);
        b.SetInt(comp, Field::types, forwardPcb ? (1 << Lumo::CT_ForwardPCB) : 0);
        return comp;
    }
    // A flat net mapped to a new physical net, with one page net.
    std::pair<Index, Index> nets(const std::string& name)
    {
        Index phys = b.PhysicalNet(config, name);
        Index flat = b.FlatNet(schematic, name, phys);
        Index page = b.Add(Kind::PageNet, flat);
        b.Add(Kind::Path, page);
        return {flat, phys};
    }
    Index pageOf(Index flat) { return b.GetStore().List(flat, Field::pageNets).front(); }
    // A forward-PCB design pin on the flat net's page net.
    Index designPin(Index flat, Index comp = Index(), int extraType = -1)
    {
        Index pin = b.DesignPin(comp.IsEmpty() ? logic : comp, "D" + std::to_string(++count));
        int types = 1 << Lumo::PT_ForwardPCB;
        if (extraType >= 0)
            types |= 1 << extraType;
        b.SetInt(pin, Field::types, types);
        b.Link(pageOf(flat), Field::pinsConnected, pin);
        return pin;
    }
    // A Norv net pin on the physical net, linked to the design pin when one is given.
    Index norvPin(Index phys, Index design = Index(), int pinType = 0)
    {
        Index pin = b.Pin(norvComp, "N" + std::to_string(++count), Lumo::NPT_NetPin, phys);
        b.SetInt(pin, Field::pinType, pinType);
        if (!design.IsEmpty())
            b.Link(pin, Field::flatPins, design);
        return pin;
    }
};

} // namespace

TEST(CFlatPinVsNorvPinCheckerTest, MatchingPinsPass)
{
    PinDesign d;
    auto n = d.nets("A");
    d.norvPin(n.second, d.designPin(n.first));
    d.norvPin(n.second, d.designPin(n.first));
    d.b.Link(d.pageOf(n.first), Field::pinsConnected, d.b.DesignPin(d.logic, "NotForwarded"));
    TestRun<CFlatPinVsNorvPinChecker> run(d);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.status, OK);
}

TEST(CFlatPinVsNorvPinCheckerTest, FindingsThatLetTheComparisonFinish)
{
    PinDesign d;
    auto n = d.nets("A");
    d.norvPin(n.second, d.designPin(n.first));
    Index extra = d.norvPin(n.second);                              // no flat pin at all
    Index noConnect = d.norvPin(n.second, d.designPin(n.first), 13);  // compared all the same
    d.norvPin(n.second, Index(), 7);                                // implicit: needs no flat pin
    Index foreign = d.logicComp("U2", false);
    Index unflagged = d.designPin(n.first, foreign);
    Index oneWay = d.designPin(n.first);                            // its Norv pin does not list it back
    Index oneWayNorv = d.norvPin(n.second);
    d.b.AppendOnly(oneWay, Field::norvPins, oneWayNorv);
    TestRun<CFlatPinVsNorvPinChecker> run(d);
    EXPECT_EQ(run.findings(),
              (Findings{finding(722, {{unflagged, "D" + std::to_string(7)}, {foreign, "U2"}}),
                        finding(413, {{noConnect, d.b.GetStore().Name(noConnect)}}),
                        finding(740, {{extra, ""}, {n.second, ""}}),
                        finding(741, {{Index(), d.b.GetStore().Name(oneWay)}, {Index(), "A"}})}));
    run.test.GetIssuesList().erase(run.test.GetIssuesList().begin(), std::next(run.test.GetIssuesList().begin(), 3));
    EXPECT_EQ(run.firstLine(), "ERROR 741: Wrong relation: Pin " + d.b.GetStore().Name(oneWay) +
                                   " on net A in schematic is not found on corresponding net in NORV\n");
}

TEST(CFlatPinVsNorvPinCheckerTest, BrokenLinksStopTheComparison)
{
    {
        // A flat pin that leads to no Norv pin while the physical net has pins.
        PinDesign d;
        auto n = d.nets("A");
        d.norvPin(n.second, d.designPin(n.first));
        Index lonely = d.designPin(n.first);
        TestRun<CFlatPinVsNorvPinChecker> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(739, {{lonely, ""}}),
                                            finding(708, {{n.second, "A"}, {n.first, "A"}})}));
        EXPECT_EQ(run.firstLine(), "WARNING 739: Wrong relation: Number of NorvPins taken from FlatPin " +
                                       lonely.ToText() + " is ZERO.\n");
    }
    {
        // Without net pins on the physical net only a pin of width 1 stops the comparison.
        PinDesign d;
        auto n = d.nets("A");
        Index wide = d.designPin(n.first);
        d.b.SetInt(wide, Field::width, 4);
        TestRun<CFlatPinVsNorvPinChecker> run(d);
        EXPECT_TRUE(run.findings().empty());
        d.b.SetInt(wide, Field::width, 1);
        TestRun<CFlatPinVsNorvPinChecker> narrow(d);
        EXPECT_EQ(narrow.findings().size(), 2u);
    }
    {
        // A Norv pin whose flat pin belongs to another flat net.
        PinDesign d;
        auto n = d.nets("A");
        auto other = d.nets("B");
        Index elsewhere = d.designPin(other.first);
        d.norvPin(n.second, elsewhere);
        d.norvPin(other.second, elsewhere);
        TestRun<CFlatPinVsNorvPinChecker> run(d);
        EXPECT_EQ(run.findings()[0], finding(729, {{elsewhere, ""}, {n.first, ""}}));
        EXPECT_EQ(run.findings()[1], finding(708, {{n.second, "A"}, {n.first, "A"}}));
    }
}

TEST(CFlatPinVsNorvPinCheckerTest, NorvPinListedTwiceOrUnderAnotherNet)
{
    PinDesign d;
    auto n = d.nets("A");
    Index design = d.designPin(n.first);
    Index twice = d.norvPin(n.second, design);
    d.b.AppendOnly(n.second, Field::pins, twice);
    auto other = d.nets("B");
    d.b.SetRefOnly(twice, Field::parentPhysicalNet, other.second);
    TestRun<CFlatPinVsNorvPinChecker> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(736, {{twice, ""}}), finding(736, {{twice, ""}}),
                                        finding(738, {{twice, ""}, {design, ""}})}));
}

TEST(CFlatPinVsNorvPinCheckerTest, SkippedNets)
{
    PinDesign d;
    auto power = d.nets("P");
    d.setType(power.second, 1);
    d.designPin(power.first);
    auto hidden = d.nets("H");
    d.b.AppendOnly(d.b.GetStore().Ref(d.pageOf(hidden.first), Field::path), Field::hierarchy,
                   d.logicComp("Block", true));
    d.designPin(hidden.first);
    TestRun<CFlatPinVsNorvPinChecker> run(d);
    EXPECT_TRUE(run.findings().empty());
}

TEST(CFlatPinVsNorvPinCheckerTest, ReadFailures)
{
    PinDesign d;
    auto n = d.nets("A");
    Index design = d.designPin(n.first);
    Index pin = d.norvPin(n.second, design);
    auto noPath = d.nets("B");
    d.faults().FailOn(pin, "GetIterFlatPins");
    d.faults().FailOn(d.pageOf(noPath.first), "GetPath");
    TestRun<CFlatPinVsNorvPinChecker> run(d);
    EXPECT_EQ(run.findings(),
              (Findings{finding(727), finding(708, {{n.second, "A"}, {n.first, "A"}}), finding(712)}));

    // A Norv pin whose type cannot be read is reported by a code without catalogue record and left
    // out of the list, so its flat pin leads nowhere.
    d.faults().ClearAll();
    d.faults().FailOn(pin, "GetType");
    TestRun<CFlatPinVsNorvPinChecker> typeless(d);
    EXPECT_EQ(typeless.findings(), (Findings{finding(737, {{pin, ""}, {design, ""}}), finding(739, {{design, ""}}),
                                             finding(708, {{n.second, "A"}, {n.first, "A"}})}));

    d.faults().ClearAll();
    d.faults().FailOn(d.config, "GetPhysicalNetByFlatNet");
    TestRun<CFlatPinVsNorvPinChecker> unmapped(d);
    EXPECT_EQ(unmapped.findings(), (Findings{finding(713, {{n.first, "A"}}), finding(713, {{noPath.first, "B"}})}));

    d.faults().ClearAll();
    TestRun<CFlatPinVsNorvPinChecker> noDefault(d, false,
                                                [&] { d.faults().FailOnSnapshot(d.b.Snapshot(), "GetDefaultConfig"); });
    EXPECT_EQ(noDefault.findings(), (Findings{finding(701)}));
}
