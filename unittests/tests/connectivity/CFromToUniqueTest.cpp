#include "tests/connectivity/CFromToUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct FromToDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index net = b.PhysicalNet(config, "N");
    Index a = b.Pin(comp, "A", Lumo::NPT_NetPin, net);
    Index p = b.Pin(comp, "B", Lumo::NPT_NetPin, net);
    Index c = b.Pin(comp, "C", Lumo::NPT_NetPin, net);

    Index fromTo(const std::string& name, Index from, Index to, Index owner = Index())
    {
        return b.FromTo(owner.IsEmpty() ? net : owner, name, from, to);
    }
};

} // namespace

TEST(CFromToUniqueTest, DuplicatesInEitherDirection)
{
    FromToDesign d;
    Index f1 = d.fromTo("F1", d.a, d.p);
    Index f2 = d.fromTo("F2", d.c, d.a);
    Index f3 = d.fromTo("F3", d.p, d.a);
    Index f4 = d.fromTo("F4", d.a, d.p);
    Index f5 = d.fromTo("F5", d.c, d.c);
    Index f6 = d.fromTo("F6", d.a, d.c);
    Index f7 = d.fromTo("F7", d.c, d.c);
    const std::string selfKey = d.c.ToText() + "," + d.c.ToText();
    const Findings expected{
        finding(2311, {{d.net, "N"}, {f1, "F1"}, {f3, "F3"}}), finding(2311, {{d.net, "N"}, {f1, "F1"}, {f4, "F4"}}),
        finding(2311, {{d.net, "N"}, {f2, "F2"}, {f6, "F6"}}), finding(2311, {{d.net, "N"}, {f3, "F3"}, {f4, "F4"}}),
        finding(2310, {{d.net, "N"}, {f5, selfKey}}),        finding(2311, {{d.net, "N"}, {f5, "F5"}, {f7, "F7"}}),
        finding(2310, {{d.net, "N"}, {f7, selfKey}}),
    };
    for (bool fixMode : {false, true}) {
        TestRun<CFromToUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
    TestRun<CFromToUnique> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 2311: Physnet N has duplicated fromtos: a: F1 b:F3\n");
}

TEST(CFromToUniqueTest, PinsOutsideTheNet)
{
    FromToDesign d;
    Index other = d.b.PhysicalNet(d.config, "O");
    Index outside = d.b.Pin(d.comp, "X", Lumo::NPT_NetPin, other);
    Index pinSet = d.b.Pin(d.net, "S", Lumo::NPT_PinSetMst, d.net);
    Index ebd = d.b.Pin(d.comp, "E", Lumo::NPT_EbdPin, d.net);
    Index guide = d.b.Pin(d.net, "G", Lumo::NPT_GuidePin, d.net);
    Index f1 = d.fromTo("F1", outside, d.a);    // to pin fine, from pin outside
    Index f2 = d.fromTo("F2", d.a, pinSet);     // to pin outside: from pin not tested
    Index f3 = d.fromTo("F3", ebd, d.a);
    d.fromTo("F4", guide, d.a);
    Index f5 = d.fromTo("F5", d.a, outside);
    TestRun<CFromToUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(2315, {{d.net, "N"}}), finding(2309, {{f1, "F1"}}),
                                        finding(2315, {{d.net, "N"}}), finding(2309, {{f2, "F2"}}),
                                        finding(2315, {{d.net, "N"}}), finding(2309, {{f3, "F3"}}),
                                        finding(2315, {{d.net, "N"}}), finding(2309, {{f5, "F5"}}),
                                        finding(2311, {{d.net, "N"}, {f1, "F1"}, {f5, "F5"}})}));
}

TEST(CFromToUniqueTest, ReadFailures)
{
    {
        // An unreadable name ends the test before any record of the net is scanned.
        FromToDesign d;
        d.fromTo("F1", d.a, d.p);
        d.fromTo("F2", d.a, d.p);
        Index broken = d.fromTo("F3", d.a, d.c);
        d.faults().FailOn(broken, "GetName");
        TestRun<CFromToUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2304, {{broken, ""}, {d.net, "N"}})}));
    }
    {
        // The pin walk of the net fails for every pin looked for, and the from-to is invalid.
        FromToDesign d;
        Index f1 = d.fromTo("F1", d.a, d.p);
        Index f2 = d.fromTo("F2", d.p, d.c);
        d.faults().FailOn(d.net, "GetIterPins");
        TestRun<CFromToUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2313), finding(2309, {{f1, "F1"}}), finding(2313),
                                            finding(2309, {{f2, "F2"}})}));
    }
    {
        // A pin met before the one whose index cannot be read is found; the others meet the failure.
        FromToDesign d;
        Index f1 = d.fromTo("F1", d.a, d.a);
        Index f2 = d.fromTo("F2", d.a, d.c);
        d.faults().FailOn(d.p, "GetIndex");
        TestRun<CFromToUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2314), finding(2309, {{f2, "F2"}}),
                                            finding(2310, {{d.net, "N"}, {f1, d.a.ToText() + "," + d.a.ToText()}})}));
    }
    {
        FromToDesign d;
        d.fromTo("F1", d.a, d.p);
        Index second = d.b.PhysicalNet(d.config, "M");
        d.faults().FailOn(second, "GetIterFromTos");
        TestRun<CFromToUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2302, {{second, "M"}})}));
    }
}
