#include "tests/connectivity/CVirtualPinUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct VirtualDesign : Design
{
    Index n1 = b.PhysicalNet(config, "N1");
    Index n2 = b.PhysicalNet(config, "N2");
    Index n3 = b.PhysicalNet(config, "N3");
    Index v1 = b.Pin(n1, "VP", Lumo::NPT_VirtualPin, n1);
    Index v2 = b.Pin(n2, "VP", Lumo::NPT_VirtualPin, n2);
    Index v3 = b.Pin(n3, "VP", Lumo::NPT_VirtualPin, n3);
};

} // namespace

TEST(CVirtualPinUniqueTest, LaterPinsWithANameSeenBeforeAreReported)
{
    VirtualDesign d;
    Index sameNet = d.b.Pin(d.n3, "VP", Lumo::NPT_VirtualPin, d.n3);
    d.b.Pin(d.n3, "vp", Lumo::NPT_VirtualPin, d.n3); // differs by case
    d.b.Pin(d.n3, "W", Lumo::NPT_GuidePin, d.n3);
    d.b.Pin(d.n2, "W", Lumo::NPT_VirtualPin, d.n2);  // the guide pin's name does not count
    const Findings expected{finding(5907, {{d.v2, "VP"}, {d.n2, "N2"}}), finding(5907, {{d.v3, "VP"}, {d.n3, "N3"}}),
                            finding(5907, {{sameNet, "VP"}, {d.n3, "N3"}})};
    TestRun<CVirtualPinUnique> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 5907: Virtual pin name VP in physical net N2 is not unique across the design.\n");
    // The fix-mode run repairs what it finds, so it comes last.
    for (bool fixMode : {false, true}) {
        TestRun<CVirtualPinUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
}

TEST(CVirtualPinUniqueTest, FailedReadsSkipTheNetOrPin)
{
    struct Case
    {
        const char* op;
        int target; // 0 net N2, 1 pin v2
        Findings (*expected)(VirtualDesign&);
    };
    const std::vector<Case> cases = {
        {"GetName", 0, [](VirtualDesign& d) { return Findings{finding(5902), finding(5907, {{d.v3, "VP"}, {d.n3, "N3"}})}; }},
        {"GetIndex", 0,
         [](VirtualDesign& d) { return Findings{finding(5903, {{Index(), "N2"}}), finding(5907, {{d.v3, "VP"}, {d.n3, "N3"}})}; }},
        {"GetIterPins", 0,
         [](VirtualDesign& d) { return Findings{finding(5904, {{d.n2, "N2"}}), finding(5907, {{d.v3, "VP"}, {d.n3, "N3"}})}; }},
        // A pin that cannot be read is not remembered either.
        {"GetName", 1, [](VirtualDesign& d) { return Findings{finding(5905), finding(5907, {{d.v3, "VP"}, {d.n3, "N3"}})}; }},
        {"GetIndex", 1,
         [](VirtualDesign& d) { return Findings{finding(5906, {{Index(), "VP"}}), finding(5907, {{d.v3, "VP"}, {d.n3, "N3"}})}; }},
    };
    for (const Case& c : cases) {
        VirtualDesign d;
        d.faults().FailOn(c.target == 0 ? d.n2 : d.v2, c.op);
        TestRun<CVirtualPinUnique> run(d);
        EXPECT_EQ(run.findings(), c.expected(d)) << c.op << " " << c.target;
    }
    VirtualDesign d;
    d.faults().FailOn(d.config, "GetIterPhysicalNets");
    TestRun<CVirtualPinUnique> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(5901)});
    EXPECT_EQ(run.status, FAILED);
}
