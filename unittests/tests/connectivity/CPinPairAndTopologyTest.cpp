#include "tests/connectivity/CPinPairAndTopology.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CPinPairAndTopologyTest, OnlyUnreadableTopologiesAreReported)
{
    Design d;
    Index comp = d.b.NorvComp(d.config, "U1");
    Index withTopology = d.b.ElectricalNet(d.config, "MST_NET");
    d.b.Constraint(withTopology, "ORDER_TYPE", "MST");
    d.b.PinPair(withTopology, "PP", d.b.Pin(comp, "1"), d.b.Pin(comp, "2"));
    Index without = d.b.ElectricalNet(d.config, "NONE");
    Index unreadable = d.b.ElectricalNet(d.config, "BROKEN");
    Index constraint = d.b.Constraint(unreadable, "ORDER_TYPE", "Chained");
    d.faults().FailOn(constraint, "GetValueByString");
    const Findings expected{finding(3602, {{without, "NONE"}}), finding(3605), finding(3602, {{unreadable, "BROKEN"}})};
    for (bool fixMode : {false, true}) {
        TestRun<CPinPairAndTopology> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
    TestRun<CPinPairAndTopology> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 3602: Can't get topology from Enet NONE " + without.ToText() + "\n");
}

TEST(CPinPairAndTopologyTest, FailedIteratorsEndTheRun)
{
    for (bool pairs : {false, true}) {
        Design d;
        Index net = d.b.ElectricalNet(d.config, "N");
        d.b.Constraint(net, "ORDER_TYPE", "MST");
        d.b.ElectricalNet(d.config, "NONE"); // would give a finding
        d.faults().FailOn(pairs ? net : d.config, pairs ? "GetIterPinPairs" : "GetIterElectricalNets");
        TestRun<CPinPairAndTopology> run(d);
        EXPECT_EQ(run.findings(), Findings{pairs ? finding(3603, {{net, "N"}}) : finding(3601)});
        EXPECT_EQ(run.status, FAILED);
    }
}

TEST(CPinPairAndTopologyTest, EachNetIsNamedByItsOwnReads)
{
    // The second net's name cannot be read: its finding carries an empty name, not the first net's.
    Design d;
    Index first = d.b.ElectricalNet(d.config, "FIRST");
    Index second = d.b.ElectricalNet(d.config, "SECOND");
    d.faults().FailOn(second, "GetName");
    TestRun<CPinPairAndTopology> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(3602, {{first, "FIRST"}}), finding(3602, {{second, ""}})}));
}
