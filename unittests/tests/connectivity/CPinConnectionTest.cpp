#include "tests/connectivity/CPinConnection.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PinDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index other = b.NorvComp(config, "U2");
    Index net = b.PhysicalNet(config, "N1");
    Index second = b.PhysicalNet(config, "N2");
    Index a = b.Pin(comp, "1", Lumo::NPT_NetPin, net);
    Index p = b.Pin(comp, "2", Lumo::NPT_NetPin, net);
};

} // namespace

TEST(CPinConnectionTest, HealthyDesignAndOtherPinKindsGiveNothing)
{
    PinDesign d;
    d.b.Pin(d.comp, "E", Lumo::NPT_EbdPin, d.net);
    d.b.Pin(d.net, "V", Lumo::NPT_VirtualPin, d.net);
    TestRun<CPinConnection> run(d);
    EXPECT_EQ(run.findings(), Findings{});
    EXPECT_EQ(run.status, OK);
}

TEST(CPinConnectionTest, NetPinsAgainstComponentPins)
{
    PinDesign d;
    // Listed by a second net that is not its parent: a wrong relation, and that record stays unseen.
    d.b.AppendOnly(d.second, Field::pins, d.a);
    // Listed by the net but by no component.
    Index orphan = d.b.Pin(d.comp, "3", Lumo::NPT_NetPin, d.net);
    d.b.GetStore().ClearList(d.comp, Field::pins);
    d.b.AppendOnly(d.comp, Field::pins, d.a);
    d.b.AppendOnly(d.comp, Field::pins, d.p);
    // Listed by two components.
    d.b.AppendOnly(d.other, Field::pins, d.p);
    // Listed twice by its net and once by a component: both records are matched.
    Index twice = d.b.Pin(d.other, "4", Lumo::NPT_NetPin, d.second);
    d.b.AppendOnly(d.second, Field::pins, twice);
    // The check-only run comes first: the fix-mode run repairs the design.
    for (bool fixMode : {false, true}) {
        TestRun<CPinConnection> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(3410), finding(3411), finding(3412, {{orphan, "3"}, {d.net, "N1"}}),
                                            finding(3412, {{d.a, "1"}, {d.second, "N2"}})}))
            << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
        if (!fixMode) {
            ASSERT_EQ(run.test.GetIssuesList().size(), 4u);
            run.test.GetIssuesList().pop_front();
            run.test.GetIssuesList().pop_front();
            EXPECT_EQ(run.firstLine(), "ERROR 3412: Component pin 3 (" + orphan.ToText() + ") exists in net N1 (" +
                                           d.net.ToText() + "), but not in components.\n");
        }
    }
}

TEST(CPinConnectionTest, ComponentPinWithoutReadableParentNet)
{
    // A failed parent read skips the pin, so its net record stays unseen; a parent that comes back
    // not valid fails the read of its index, which ends the run.
    for (bool invalid : {false, true}) {
        PinDesign d;
        if (invalid) {
            Index gone = d.b.PhysicalNet(d.config, "GONE");
            d.b.GetStore().ClearList(d.config, Field::physicalNets);
            d.b.AppendOnly(d.config, Field::physicalNets, d.net);
            d.b.SetRefOnly(d.a, Field::parentPhysicalNet, gone);
            d.b.Invalid(gone);
        } else {
            d.faults().FailOn(d.a, "GetParentPhysicalNet");
        }
        TestRun<CPinConnection> run(d);
        EXPECT_EQ(run.findings(), invalid ? Findings{finding(3409)} : (Findings{finding(3412, {{d.a, "1"}, {d.net, "N1"}})}))
            << invalid;
    }
}

TEST(CPinConnectionTest, ReadFailuresEndTheRun)
{
    struct Case
    {
        const char* op;
        int target; // -1 the configuration, 0 the first net, 1 pin 2, 2 the first component
        std::function<Findings(PinDesign&)> expected;
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", -1, [](PinDesign&) { return Findings{finding(3401)}; }},
        {"GetIndex", 0, [](PinDesign&) { return Findings{finding(3402, {{Index(), "N1"}})}; }},
        {"GetName", 0, [](PinDesign& d) { return Findings{finding(3403, {{d.net, ""}})}; }},
        {"GetIterPins", 0, [](PinDesign& d) { return Findings{finding(3404, {{d.net, "N1"}})}; }},
        {"GetIndex", 1, [](PinDesign& d) { return Findings{finding(3405, {{d.net, "N1"}})}; }},
        {"GetIterNorvComps", -1, [](PinDesign&) { return Findings{finding(3406)}; }},
        {"GetIterPins", 2, [](PinDesign&) { return Findings{finding(3407)}; }},
    };
    for (const Case& c : cases) {
        PinDesign d;
        d.b.Pin(d.other, "9", Lumo::NPT_NetPin, d.second); // a lone net pin: no summary may follow
        d.faults().FailOn(c.target < 0 ? d.config : c.target == 0 ? d.net : c.target == 1 ? d.p : d.comp, c.op);
        TestRun<CPinConnection> run(d);
        EXPECT_EQ(run.findings(), c.expected(d)) << c.op << " " << c.target;
        EXPECT_EQ(run.status, FAILED) << c.op;
    }
    // A component pin in no walked net: its own index, then its parent net's index.
    for (bool parentFails : {false, true}) {
        PinDesign d;
        Index hidden = d.b.PhysicalNet(d.config, "HIDDEN");
        d.b.GetStore().ClearList(d.config, Field::physicalNets);
        d.b.AppendOnly(d.config, Field::physicalNets, d.net);
        Index z = d.b.Pin(d.comp, "Z", Lumo::NPT_NetPin, hidden);
        d.b.Pin(d.other, "9", Lumo::NPT_NetPin, d.net);
        d.b.GetStore().ClearList(d.other, Field::pins);
        d.faults().FailOn(parentFails ? hidden : z, "GetIndex");
        TestRun<CPinConnection> run(d);
        EXPECT_EQ(run.findings(), Findings{finding(parentFails ? 3409 : 3408)});
    }
}

// The matches follow the component walk and the summary follows the nets' lists, whatever order the
// pins' indexes take: pins made last are listed first.
TEST(CPinConnectionTest, FindingsFollowTheWalksNotThePinIndexes)
{
    struct Case
    {
        const char* name;
        std::function<Findings(PinDesign&)> build; // arranges the lists, gives the findings
    };
    const std::vector<Case> cases = {
        {"unlisted pins in descending index order",
         [](PinDesign& d) {
             Index low = d.b.Pin(d.comp, "L", Lumo::NPT_NetPin, d.second);
             Index high = d.b.Pin(d.comp, "H", Lumo::NPT_NetPin, d.second);
             d.b.GetStore().ClearList(d.second, Field::pins);
             d.b.AppendOnly(d.second, Field::pins, high);
             d.b.AppendOnly(d.second, Field::pins, low);
             d.b.GetStore().ClearList(d.comp, Field::pins);
             d.b.AppendOnly(d.comp, Field::pins, d.a);
             d.b.AppendOnly(d.comp, Field::pins, d.p);
             return Findings{finding(3412, {{high, "H"}, {d.second, "N2"}}), finding(3412, {{low, "L"}, {d.second, "N2"}})};
         }},
        {"one pin listed by two nets and two components, walked high index first",
         [](PinDesign& d) {
             Index high = d.b.Pin(d.comp, "H", Lumo::NPT_NetPin, d.net);
             d.b.AppendOnly(d.second, Field::pins, d.a); // a wrong net lists pin 1
             d.b.GetStore().ClearList(d.comp, Field::pins);
             for (Index pin : {high, d.p, d.a})
                 d.b.AppendOnly(d.comp, Field::pins, pin);
             d.b.AppendOnly(d.other, Field::pins, high); // listed by a second component
             return Findings{finding(3410), finding(3411), finding(3412, {{d.a, "1"}, {d.second, "N2"}})};
         }},
        {"a long ascending list, then jumps back",
         [](PinDesign& d) {
             std::vector<Index> pins{d.a, d.p};
             for (int i = 0; i < 40; ++i)
                 pins.push_back(d.b.Pin(d.comp, "P" + std::to_string(i), Lumo::NPT_NetPin, d.net));
             d.b.AppendOnly(d.second, Field::pins, pins[23]);  // a wrong net lists it too
             d.b.AppendOnly(d.other, Field::pins, pins[41]);   // the last pin, then the first ones
             d.b.AppendOnly(d.other, Field::pins, pins[1]);
             d.b.AppendOnly(d.other, Field::pins, pins[0]);
             return Findings{finding(3410), finding(3411), finding(3411), finding(3411),
                             finding(3412, {{pins[23], "P21"}, {d.second, "N2"}})};
         }},
        {"a pin listed three times by its net",
         [](PinDesign& d) {
             d.b.AppendOnly(d.net, Field::pins, d.p);
             d.b.AppendOnly(d.net, Field::pins, d.p);
             return Findings{};
         }},
    };
    for (const Case& c : cases) {
        PinDesign d;
        const Findings expected = c.build(d);
        TestRun<CPinConnection> run(d);
        EXPECT_EQ(run.findings(), expected) << c.name;
    }
}
