#include "tests/connectivity/CEnetUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CEnetUniqueTest, DuplicatesIncludingImplicitNames)
{
    Design d;
    Index a = d.b.ElectricalNet(d.config, "(net0)-a");
    Index b = d.b.ElectricalNet(d.config, "Sig");
    Index c = d.b.ElectricalNet(d.config, "(NET0)-A");
    Index e = d.b.ElectricalNet(d.config, "sig");
    TestRun<CEnetUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1804, {{a, "(net0)-a"}, {c, "(NET0)-A"}}),
                                        finding(1804, {{b, "Sig"}, {e, "sig"}})}));
    EXPECT_EQ(run.firstLine(), "ERROR 1804: Two electrical nets have the same name: (net0)-a (" + a.ToText() +
                                   ") - (NET0)-A (" + c.ToText() + ")\n");
}

TEST(CEnetUniqueTest, FirstPhysicalNetOfImplicitPowerGivesWarning)
{
    struct Case
    {
        bool firstPower, secondPower;
        unsigned code;
        int reported;
    };
    for (const Case& c : {Case{true, false, 1805, 0}, Case{false, true, 1806, 1}}) {
        Design d;
        Index e[] = {d.b.ElectricalNet(d.config, "GND"), d.b.ElectricalNet(d.config, "gnd")};
        Index p0 = d.b.PhysicalNet(d.config, "P0", e[0]);
        Index p1 = d.b.PhysicalNet(d.config, "P1", e[1]);
        // Only the first physical net counts: a power net in second place is not looked at.
        d.setType(d.b.PhysicalNet(d.config, "P2", e[0]), 1);
        d.setType(p0, c.firstPower ? 1 : 0);
        d.setType(p1, c.secondPower ? 1 : 0);
        TestRun<CEnetUnique> run(d);
        const char* names[] = {"GND", "gnd"};
        EXPECT_EQ(run.findings(), (Findings{finding(c.code, {{e[c.reported], names[c.reported]}})}));
        EXPECT_EQ(run.status, WARNINGS);
    }
}

TEST(CEnetUniqueTest, ReadFailures)
{
    Design d;
    Index a = d.b.ElectricalNet(d.config, "A");
    Index b = d.b.ElectricalNet(d.config, "a");
    Index c = d.b.ElectricalNet(d.config, "c");
    d.faults().FailOn(a, "GetName");
    d.faults().FailOn(c, "GetIndex");
    TestRun<CEnetUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1803, {{a, ""}}), finding(1802)}));
    (void)b;

    d.faults().FailOn(d.config, "GetIterElectricalNets");
    TestRun<CEnetUnique> ended(d);
    EXPECT_EQ(ended.findings(), (Findings{finding(1801)}));
}
