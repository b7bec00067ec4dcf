#include "tests/connectivity/CPinInComponent.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PinDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index net = b.PhysicalNet(config, "N1");
    Index a = b.Pin(comp, "1", Lumo::NPT_NetPin, net);
    Index p = b.Pin(comp, "2", Lumo::NPT_NetPin, net);
};

} // namespace

TEST(CPinInComponentTest, PinsWithoutParentAndNetsWithTooFewPins)
{
    PinDesign d;
    Index lone = d.b.PhysicalNet(d.config, "LONE");
    d.b.Pin(d.comp, "3", Lumo::NPT_NetPin, lone);
    d.b.Pin(lone, "V", Lumo::NPT_VirtualPin, lone); // not counted
    Index empty = d.b.PhysicalNet(d.config, "EMPTY");
    Index broken = d.b.PhysicalNet(d.config, "BROKEN");
    Index orphan = d.b.Pin(d.comp, "4", Lumo::NPT_NetPin, broken);
    d.b.SetRefOnly(orphan, Field::parentNorvComp, Index());
    Index invalidParent = d.b.Pin(d.comp, "5", Lumo::NPT_NetPin, broken);
    Index gone = d.b.NorvComp(d.config, "GONE");
    d.b.SetRefOnly(invalidParent, Field::parentNorvComp, gone);
    d.b.Invalid(gone);
    Index nameless = d.b.Pin(d.comp, "6", Lumo::NPT_NetPin, broken);
    d.faults().FailOn(nameless, "GetParentNorvComp");
    d.faults().FailOn(nameless, "GetName");
    const Findings expected{
        finding(3507, {{lone, "LONE"}}),
        finding(3507, {{empty, "EMPTY"}}),
        finding(3506, {{broken, "BROKEN"}, {orphan, "4"}}),
        finding(3506, {{broken, "BROKEN"}, {invalidParent, "5"}}),
        finding(3506, {{broken, "BROKEN"}, {nameless, "(can't get pin name)"}}),
        finding(3508),
        finding(3509),
    };
    // The check-only run comes first: the fix-mode run repairs the design.
    for (bool fixMode : {false, true}) {
        TestRun<CPinInComponent> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
        if (!fixMode) {
            EXPECT_EQ(run.firstLine(), "WARNING 3507: Net: LONE (" + lone.ToText() + ") less than 2 pins.\n");
            EXPECT_EQ(run.status, FAILED);
        }
    }
}

TEST(CPinInComponentTest, OnlyTooFewPinsEndsWithWarnings)
{
    PinDesign d;
    d.b.PhysicalNet(d.config, "EMPTY");
    TestRun<CPinInComponent> run(d);
    EXPECT_EQ(run.findings().size(), 2u);
    EXPECT_EQ(run.status, WARNINGS);
}

TEST(CPinInComponentTest, ReadFailuresEndTheRunWithoutSummaries)
{
    struct Case
    {
        const char* op;
        bool onNet; // else on pin 2
        unsigned code;
        bool withPair;
        bool nameOnly;
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", false, 3501, false, false},
        {"GetName", true, 3502, false, false},
        {"GetIndex", true, 3503, false, true},
        {"GetIterPins", true, 3504, true, false},
        {"GetIndex", false, 3505, true, false},
    };
    for (const Case& c : cases) {
        PinDesign d;
        d.b.PhysicalNet(d.config, "EMPTY"); // would give findings after the failure
        Index target = c.code == 3501 ? d.config : c.onNet ? d.net : d.p;
        d.faults().FailOn(target, c.op);
        TestRun<CPinInComponent> run(d);
        const Findings expected{c.withPair   ? finding(c.code, {{d.net, "N1"}})
                                : c.nameOnly ? finding(c.code, {{Index(), "N1"}})
                                             : finding(c.code)};
        EXPECT_EQ(run.findings(), expected) << c.code;
    }
}
