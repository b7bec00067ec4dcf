#include "tests/connectivity/CFromToInOneNet.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct FromToDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    int count = 0;

    Index net(const std::string& name, const char* topology)
    {
        Index phys = b.PhysicalNet(config, name);
        if (topology)
            b.Constraint(phys, "ORDER_TYPE", topology);
        return phys;
    }
    Index pin(Index phys, int kind = Lumo::NPT_NetPin)
    {
        const std::string name = "P" + std::to_string(++count);
        return kind == Lumo::NPT_NetPin ? b.Pin(comp, name, kind, phys) : b.Pin(phys, name, kind, phys);
    }
    Index fromTo(Index phys, Index from, Index to) { return b.FromTo(phys, "FT" + std::to_string(++count), from, to); }
};

} // namespace

TEST(CFromToInOneNetTest, TopologyAndPinMembership)
{
    FromToDesign d;
    Index mst = d.net("Mst", "MST");
    d.fromTo(mst, d.pin(mst), d.pin(mst));
    for (const char* other : {"mst", "CHAINED", "Custom"}) {
        Index n = d.net(other, other);
        d.fromTo(n, d.pin(n), d.pin(n));
    }
    d.net("ChainedEmpty", "Chained");
    Index outside = d.net("Outside", "Custom");
    Index elsewhere = d.net("Elsewhere", "Custom");
    d.fromTo(outside, d.pin(outside), d.pin(elsewhere));
    Index sets = d.net("Sets", "Custom");
    Index pinSet = d.pin(sets, Lumo::NPT_PinSetChained);
    Index virtualSetPin = d.pin(sets, Lumo::NPT_VirtualPinSetPin);
    d.b.Link(virtualSetPin, Field::parentPin, pinSet);
    Index orphanSetPin = d.pin(sets, Lumo::NPT_VirtualPinSetPin);
    d.fromTo(sets, virtualSetPin, d.pin(sets, Lumo::NPT_EbdPin));
    d.fromTo(sets, pinSet, orphanSetPin);
    TestRun<CFromToInOneNet> run(d);
    EXPECT_EQ(run.findings(),
              (Findings{finding(2210, {{mst, "Mst"}}), finding(2217, {{outside, "Outside"}}),
                        finding(2217, {{sets, "Sets"}}),
                        finding(2214, {{sets, "Sets"}, {orphanSetPin, d.b.GetStore().Name(orphanSetPin)}})}));
    EXPECT_EQ(run.firstLine(), "ERROR 2210: Net Mst (" + mst.ToText() + ") with topology MST or CHAINED contains FromTos\n");
}

TEST(CFromToInOneNetTest, FromToUnderTheWrongParentIsStillChecked)
{
    FromToDesign d;
    Index a = d.net("A", "Custom");
    Index b = d.net("B", "Custom");
    Index ft = d.fromTo(b, d.pin(a), d.pin(b));
    d.b.AppendOnly(a, Field::fromTos, ft);
    TestRun<CFromToInOneNet> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(2207, {{a, ""}}), finding(2217, {{a, "A"}}), finding(2217, {{b, "B"}})}));
}

TEST(CFromToInOneNetTest, ReadFailures)
{
    {
        // A failed from-to index ends the test before the topology finding.
        FromToDesign d;
        Index n = d.net("N", "Chained");
        Index ft = d.fromTo(n, d.pin(n), d.pin(n));
        d.net("Later", nullptr);
        d.faults().FailOn(ft, "GetIndex");
        TestRun<CFromToInOneNet> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2204, {{n, ""}})}));
    }
    {
        // A net without topology ends the test; later nets are not visited.
        FromToDesign d;
        Index none = d.net("None", nullptr);
        Index later = d.net("Later", "MST");
        d.fromTo(later, d.pin(later), d.pin(later));
        TestRun<CFromToInOneNet> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2203, {{none, ""}})}));
    }
    {
        // Failures inside the pin check are raised once per pin looked for.
        FromToDesign d;
        Index n = d.net("N", "Custom");
        d.fromTo(n, d.pin(n), d.pin(n));
        Index m = d.net("M", "Custom");
        Index ft = d.fromTo(m, d.pin(m), d.pin(m));
        d.faults().FailOn(n, "GetIterPins");
        d.faults().FailOn(ft, "GetPinTo");
        TestRun<CFromToInOneNet> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(2215, {{n, ""}}), finding(2215, {{n, ""}}),
                                            finding(2209, {{ft, ""}, {m, ""}})}));
    }
}
