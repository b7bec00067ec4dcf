#include "tests/connectivity/CPinUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PinDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index netA = b.PhysicalNet(config, "A");
    Index netB = b.PhysicalNet(config, "B");
    Index a1 = b.Pin(comp, "1", Lumo::NPT_NetPin, netA);
    Index a2 = b.Pin(comp, "2", Lumo::NPT_NetPin, netA);
    Index b1 = b.Pin(comp, "3", Lumo::NPT_NetPin, netB);
    Index b2 = b.Pin(netB, "G", Lumo::NPT_GuidePin, netB);
};

} // namespace

TEST(CPinUniqueTest, PinsListedTwiceAndNetsWithTooFewPins)
{
    PinDesign d;
    d.b.AppendOnly(d.netA, Field::pins, d.a1);                // twice in A
    d.b.AppendOnly(d.netB, Field::pins, d.a2);                // in A and B
    Index lone = d.b.PhysicalNet(d.config, "LONE");
    d.b.Pin(lone, "S", Lumo::NPT_PinSetT, lone);              // pin sets are not collected
    d.b.Pin(lone, "VS", Lumo::NPT_VirtualPinSetPin, lone);
    Index thrice = d.b.Pin(lone, "V", Lumo::NPT_VirtualPin, lone);
    d.b.AppendOnly(d.netA, Field::pins, thrice);
    d.b.AppendOnly(d.netB, Field::pins, thrice);
    const Findings expected{
        finding(5105, {{lone, "LONE"}}),
        finding(5106, {{d.a1, "1"}, {d.netA, "A"}}),
        finding(5107, {{d.a2, "2"}, {d.netA, "A"}}),
        finding(5108, {{d.netB, "B"}}),
        finding(5107, {{thrice, "V"}, {d.netA, "A"}}),
        finding(5108, {{d.netB, "B"}}),
        finding(5107, {{thrice, "V"}, {d.netB, "B"}}),
        finding(5108, {{lone, "LONE"}}),
        finding(5109),
        finding(5110),
        finding(5111),
    };
    for (bool fixMode : {false, true}) {
        TestRun<CPinUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
    TestRun<CPinUnique> run(d);
    run.test.GetIssuesList().pop_front();
    EXPECT_EQ(run.firstLine(), "ERROR 5106: Pin 1 (" + d.a1.ToText() + ") duplicated in the net: A (" +
                                   d.netA.ToText() + ")\n");
}

TEST(CPinUniqueTest, ANetWithOnePinOnlyWarns)
{
    PinDesign d;
    Index lone = d.b.PhysicalNet(d.config, "LONE");
    d.b.Pin(d.comp, "9", Lumo::NPT_BoundaryPin, lone);
    TestRun<CPinUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(5105, {{lone, "LONE"}}), finding(5109)}));
    EXPECT_EQ(run.status, WARNINGS);
}

TEST(CPinUniqueTest, ReadFailuresEndTheRunWithoutScanOrSummary)
{
    struct Case
    {
        const char* op;
        int target; // -1 configuration, 0 net A, 1 pin a2
        Findings (*expected)(PinDesign&);
        TestStatus status;
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", -1, [](PinDesign&) { return Findings{finding(5101)}; }, FAILED},
        // The net-name code has no catalogue record: nothing is reported, the run ends all the same.
        {"GetName", 0, [](PinDesign&) { return Findings{}; }, OK},
        {"GetIndex", 0, [](PinDesign&) { return Findings{finding(5102)}; }, FAILED},
        {"GetIterPins", 0, [](PinDesign& d) { return Findings{finding(5103, {{d.netA, "A"}})}; }, FAILED},
        {"GetIndex", 1, [](PinDesign& d) { return Findings{finding(5104, {{d.netA, "A"}})}; }, FAILED},
    };
    for (const Case& c : cases) {
        PinDesign d;
        d.b.AppendOnly(d.netB, Field::pins, d.a1); // a duplicate that the scan would report
        d.b.PhysicalNet(d.config, "EMPTY");
        d.faults().FailOn(c.target < 0 ? d.config : c.target == 0 ? d.netA : d.a2, c.op);
        TestRun<CPinUnique> run(d);
        EXPECT_EQ(run.findings(), c.expected(d)) << c.op << " " << c.target;
        EXPECT_EQ(run.status, c.status) << c.op << " " << c.target;
    }
}
