#include "tests/connectivity/CPinPairUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PairDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index enet = b.ElectricalNet(config, "E");
    Index phys1 = b.PhysicalNet(config, "E1", enet);
    Index phys2 = b.PhysicalNet(config, "E2", enet);
    Index p = b.Pin(comp, "1", Lumo::NPT_NetPin, phys1);
    Index q = b.Pin(comp, "2", Lumo::NPT_NetPin, phys2);
    Index r = b.Pin(phys2, "V", Lumo::NPT_VirtualPin, phys2);

    Index pair(const std::string& name, Index first, Index second, int type = 0, Index owner = Index())
    {
        return b.PinPair(owner.IsEmpty() ? enet : owner, name, first, second, type);
    }
};

} // namespace

TEST(CPinPairUniqueTest, DuplicatesAndPinsUsedTwice)
{
    PairDesign d;
    Index a = d.pair("A", d.p, d.q);
    d.pair("B", d.q, d.p);          // same pins reversed: duplicate of A
    Index x1 = d.pair("X", d.p, d.r, 1);
    d.pair("X", d.q, d.r);          // same name, other type: the code follows the earlier record
    d.pair("X", d.r, d.r, 2);       // a kind outside the walked kinds: never read
    d.pair("a", d.r, d.q);          // differs from A by case only
    Index self = d.pair("S", d.q, d.q);
    d.pair("T", d.q, d.q);
    const Findings expected{
        finding(3717, {{d.enet, "E"}, {a, "A"}}),
        finding(3718, {{d.enet, "E"}, {x1, "X"}}),
        finding(3717, {{d.enet, "E"}, {d.b.GetStore().List(d.enet, Field::pinPairs)[3], "X"}}), // and "a"
        finding(3714, {{d.enet, "E"}, {self, "S"}}),
        finding(3717, {{d.enet, "E"}, {self, "S"}}),
        finding(3714, {{d.enet, "E"}, {d.b.GetStore().List(d.enet, Field::pinPairs)[7], "T"}}),
    };
    // The check-only run comes first: the fix-mode run repairs the design.
    for (bool fixMode : {false, true}) {
        TestRun<CPinPairUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
        if (!fixMode) {
            EXPECT_EQ(run.firstLine(), "ERROR 3717: Elecnet E (" + d.enet.ToText() + ") has duplicated pinpair A (" +
                                           a.ToText() + ")\n");
        }
    }
}

TEST(CPinPairUniqueTest, PinsOutsideTheNetsPhysicalNets)
{
    PairDesign d;
    Index other = d.b.PhysicalNet(d.config, "O");
    Index outside = d.b.Pin(d.comp, "9", Lumo::NPT_NetPin, other);
    Index guide = d.b.Pin(d.phys1, "G", Lumo::NPT_GuidePin, d.phys1);
    Index first = d.pair("F", outside, d.q);  // second pin fine, first outside
    Index second = d.pair("G", d.p, guide);   // a guide pin is outside the kinds looked at
    Index both = d.pair("H", outside, outside);
    const Findings expected{
        finding(3724, {{d.enet, "E"}, {outside, ""}}), finding(3713, {{first, "F"}}),
        finding(3724, {{d.enet, "E"}, {guide, ""}}),   finding(3713, {{second, "G"}}),
        finding(3724, {{d.enet, "E"}, {outside, ""}}), finding(3713, {{both, "H"}}),
        finding(3714, {{d.enet, "E"}, {both, "H"}}),
    };
    TestRun<CPinPairUnique> run(d);
    EXPECT_EQ(run.findings(), expected);
}

TEST(CPinPairUniqueTest, PairsThatCannotBeReadAreSkipped)
{
    struct Case
    {
        const char* op;
        bool onParent;
        Findings (*expected)(PairDesign&, Index broken);
    };
    const std::vector<Case> cases = {
        {"GetIndex", false, [](PairDesign&, Index) { return Findings{finding(3703)}; }},
        {"GetType", false, [](PairDesign&, Index) { return Findings{finding(3704)}; }},
        {"GetName", false, [](PairDesign&, Index b) { return Findings{finding(3705, {{b, ""}})}; }},
        {"GetParentElectricalNet", false, [](PairDesign&, Index b) { return Findings{finding(3706, {{b, "B"}})}; }},
        {"GetIndex", true, [](PairDesign&, Index b) { return Findings{finding(3707, {{b, "B"}})}; }},
        {"GetFirstPin", false, [](PairDesign&, Index) { return Findings{finding(3709)}; }},
        {"GetSecondPin", false, [](PairDesign&, Index) { return Findings{finding(3710)}; }},
    };
    for (const Case& c : cases) {
        PairDesign d;
        d.pair("A", d.p, d.q);
        Index broken = d.pair("B", d.p, d.q);
        Index parent = d.enet;
        if (c.onParent) {
            // A parent that is not the walked net, read through its own container.
            parent = d.b.ElectricalNet(d.config, "P");
            d.b.SetRefOnly(broken, Field::in, parent);
            d.b.GetStore().ClearList(d.config, Field::electricalNets);
            d.b.AppendOnly(d.config, Field::electricalNets, d.enet);
        }
        d.faults().FailOn(c.onParent ? parent : broken, c.op);
        TestRun<CPinPairUnique> run(d);
        EXPECT_EQ(run.findings(), c.expected(d, broken)) << c.op;
    }
    {
        // A parent that is another net, and one that is not valid.
        PairDesign d;
        Index moved = d.pair("M", d.p, d.q);
        Index gone = d.pair("N", d.p, d.q);
        Index otherNet = d.b.ElectricalNet(d.config, "OTHER");
        Index deadNet = d.b.ElectricalNet(d.config, "DEAD");
        d.b.SetRefOnly(moved, Field::in, otherNet);
        d.b.SetRefOnly(gone, Field::in, deadNet);
        d.b.Invalid(deadNet);
        d.b.GetStore().ClearList(d.config, Field::electricalNets);
        d.b.AppendOnly(d.config, Field::electricalNets, d.enet);
        TestRun<CPinPairUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(3708), finding(3706, {{gone, "N"}})}));
    }
}

TEST(CPinPairUniqueTest, FailedPinReadsOfTheNet)
{
    {
        // The second net's pin pairs cannot be iterated; the third net is still examined.
        PairDesign d;
        Index e2 = d.b.ElectricalNet(d.config, "E2");
        Index e3 = d.b.ElectricalNet(d.config, "E3");
        d.b.PhysicalNet(d.config, "P3", e3);
        Index pp = d.pair("Z", d.p, d.p, 0, e3);
        d.faults().FailOn(e2, "GetIterPinPairs");
        d.faults().FailOn(e3, "GetName");
        TestRun<CPinPairUnique> run(d);
        // Each net starts with an empty name: the unreadable name of E3 is never the name of E2.
        EXPECT_EQ(run.findings(), (Findings{finding(3702), finding(3724, {{e3, ""}, {d.p, ""}}),
                                            finding(3713, {{pp, "Z"}}), finding(3714, {{e3, ""}, {pp, "Z"}})}));
    }
    {
        // The second pin's index ends the test.
        PairDesign d;
        d.pair("A", d.p, d.p);
        d.pair("B", d.p, d.q);
        d.faults().FailOn(d.q, "GetIndex");
        TestRun<CPinPairUnique> run(d);
        EXPECT_EQ(run.findings(), Findings{finding(3712)});
    }
    // The physical nets' pins are read once per net; a failure meets every pin not found before it.
    struct Case
    {
        const char* op;
        int target; // 0 the net, 1 phys2, 2 pin r
        unsigned code;
    };
    for (const Case& c : std::vector<Case>{{"GetIterPhysicalNets", 0, 3721}, {"GetIterPins", 1, 3722}, {"GetIndex", 2, 3723}}) {
        PairDesign d;
        Index found = d.pair("A", d.p, d.p);  // p is read before the failure
        Index s = d.b.Pin(d.comp, "3", Lumo::NPT_NetPin, d.phys2); // read after r
        Index lost = d.pair("B", s, d.p);
        d.faults().FailOn(c.target == 0 ? d.enet : c.target == 1 ? d.phys2 : d.r, c.op);
        TestRun<CPinPairUnique> run(d);
        Findings expected;
        if (c.target == 0)
            expected.insert(expected.end(), {finding(c.code), finding(3713, {{found, "A"}})});
        expected.insert(expected.end(), {finding(c.code), finding(3713, {{lost, "B"}})});
        expected.push_back(finding(3714, {{d.enet, "E"}, {found, "A"}}));
        EXPECT_EQ(run.findings(), expected) << c.op;
    }
    PairDesign d;
    d.faults().FailOn(d.config, "GetIterElectricalNets");
    TestRun<CPinPairUnique> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(3701)});
}
