#include "tests/connectivity/CEbdPinUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct EbdDesign : Design
{
    Index u1 = b.NorvComp(config, "U1");
    Index u2 = b.NorvComp(config, "U2");
    Index e1 = b.Pin(u1, "A1", Lumo::NPT_EbdPin);
    Index e2 = b.Pin(u2, "A1", Lumo::NPT_EbdPin); // same name on another component: fine
};

} // namespace

TEST(CEbdPinUniqueTest, RepeatedNamesWithinOneComponent)
{
    EbdDesign d;
    d.b.Pin(d.u1, "a1", Lumo::NPT_EbdPin);        // differs by case: fine
    d.b.Pin(d.u1, "A1", Lumo::NPT_NetPin);        // not an EBD pin
    Index second = d.b.Pin(d.u1, "A1", Lumo::NPT_EbdPin);
    Index third = d.b.Pin(d.u1, "A1", Lumo::NPT_EbdPin);
    const Findings expected{finding(1407, {{second, "A1"}, {d.u1, "U1"}}), finding(1407, {{third, "A1"}, {d.u1, "U1"}}),
                            finding(1408)};
    for (bool fixMode : {false, true}) {
        TestRun<CEbdPinUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
    TestRun<CEbdPinUnique> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 1407: Ebd pin A1 (" + second.ToText() +
                                   ") duplicated in the norv component: U1 (" + d.u1.ToText() + ")\n");
}

TEST(CEbdPinUniqueTest, ReadFailuresEndTheRunWithoutSummary)
{
    struct Case
    {
        const char* op;
        int target; // -1 configuration, 0 component U1, 1 its EBD pin
        unsigned code;
        int pair; // 0 none, 1 component name, 2 component index
    };
    const std::vector<Case> cases = {
        {"GetIterNorvComps", -1, 1401, 0}, {"GetName", 0, 1402, 0}, {"GetIndex", 0, 1403, 1},
        {"GetIterPins", 0, 1404, 2},       {"GetIndex", 1, 1405, 2}, {"GetName", 1, 1406, 2},
    };
    for (const Case& c : cases) {
        EbdDesign d;
        d.b.Pin(d.u2, "A1", Lumo::NPT_EbdPin); // a duplicate that is never reached
        d.faults().FailOn(c.target < 0 ? d.config : c.target == 0 ? d.u1 : d.e1, c.op);
        TestRun<CEbdPinUnique> run(d);
        const Findings expected{c.pair == 0   ? finding(c.code)
                                : c.pair == 1 ? finding(c.code, {{Index(), "U1"}})
                                              : finding(c.code, {{d.u1, ""}})};
        EXPECT_EQ(run.findings(), expected) << c.op << " " << c.target;
    }
}
