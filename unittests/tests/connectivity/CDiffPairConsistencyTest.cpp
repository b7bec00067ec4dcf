#include "tests/connectivity/CDiffPairConsistency.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PairDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    int pinCount = 0;

    // An electrical net of the topology with one physical net of physTopology and `pins` net pins.
    Index net(const std::string& name, const char* topology, const char* physTopology, int pins = 2,
              Index* physNet = nullptr)
    {
        Index elec = b.ElectricalNet(config, name);
        b.Constraint(elec, "ORDER_TYPE", topology);
        Index phys = b.PhysicalNet(config, name + "_p", elec);
        b.Constraint(phys, "ORDER_TYPE", physTopology);
        for (int i = 0; i < pins; ++i)
            b.Pin(comp, "P" + std::to_string(++pinCount), Lumo::NPT_NetPin, phys);
        if (physNet)
            *physNet = phys;
        return elec;
    }
    Index pair(const std::string& name, const char* topology, Index first, Index second)
    {
        Index dp = b.DiffPair(config, name, first, second);
        b.Constraint(dp, "ORDER_TYPE", topology);
        return dp;
    }
};

} // namespace

TEST(CDiffPairConsistencyTest, TopologiesOfPairAndNets)
{
    PairDesign d;
    d.pair("Good", "Star", d.net("G1", "Star", "Star"), d.net("G2", "Star", "Star"));
    Index mst = d.pair("Mst", "MST", d.net("M1", "MST", "MST"), d.net("M2", "MST", "MST"));
    Index mixed = d.pair("Mixed", "Star", d.net("X1", "Star", "Star"), d.net("X2", "Custom", "Star"));
    Index physOff = d.pair("PhysOff", "Custom", d.net("F1", "Custom", "Star"), d.net("F2", "Custom", "Custom"));
    TestRun<CDiffPairConsistency> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1214, {{Index(), "MST"}, {mst, "Mst"}}),
                                        finding(1213, {{mixed, "Mixed"}}), finding(1228, {{physOff, "PhysOff"}})}));
    // The first pair (the value, no index) fills the only "%I" of the text.
    EXPECT_EQ(run.firstLine(), "ERROR 1214: Not allowed Topology: MST of DiffPair : Mst (0-0-0)\n");
}

TEST(CDiffPairConsistencyTest, NetsSharedPowerOrShortOfPins)
{
    PairDesign d;
    Index same = d.net("S", "Star", "Star");
    Index samePair = d.pair("Same", "Star", same, same);
    Index shared = d.net("Sh", "Star", "Star");
    Index first = d.pair("First", "Star", shared, d.net("A", "Star", "Star"));
    d.pair("Second", "Star", d.net("B", "Star", "Star"), shared);
    Index power;
    Index powerNet = d.net("Pw", "Star", "Star", 2, &power);
    d.setType(power, 1);
    Index onePin = d.net("One", "Star", "Star", 1);
    Index powerPair = d.pair("Power", "Star", powerNet, onePin);
    Index bare = d.b.ElectricalNet(d.config, "Bare");
    d.b.Constraint(bare, "ORDER_TYPE", "Star");
    Index barePair = d.pair("BarePair", "Star", bare, d.net("C", "Star", "Star"));
    TestRun<CDiffPairConsistency> run(d);
    EXPECT_EQ(run.findings(),
              (Findings{finding(1208, {{samePair, "Same"}}), finding(1219, {{shared, "Sh"}, {first, ""}}),
                        finding(1233, {{power, "Pw_p"}, {powerPair, "Power"}}),
                        finding(1232, {{powerNet, "Pw"}, {powerPair, "Power"}}),
                        finding(1232, {{onePin, "One"}, {powerPair, "Power"}}),
                        finding(1232, {{bare, "Bare"}, {barePair, "BarePair"}})}));
    EXPECT_EQ(run.status, FAILED);
}

TEST(CDiffPairConsistencyTest, ShortOfPinsIsAWarning)
{
    PairDesign d;
    Index one = d.net("One", "Star", "Star", 1);
    Index dp = d.pair("P", "Star", one, d.net("Two", "Star", "Star"));
    TestRun<CDiffPairConsistency> run(d);
    EXPECT_EQ(run.status, WARNINGS);
    EXPECT_EQ(run.firstLine(), "WARNING 1232: Electrical net One (" + one.ToText() + ") belonged to differential pair P (" +
                                   dp.ToText() + ") has less pins than 2.\n");
}

TEST(CDiffPairConsistencyTest, ReadFailures)
{
    struct Case
    {
        const char* op;
        int target;  // 0 the pair, 1 its first net, 2 the first net's physical net
        Findings expected;
    };
    const Case cases[] = {
        {"GetName", 0, {"1203 #0:"}},
        {"GetFirstElecNet", 0, {"1204 #0:P"}},
        {"GetParentDiffPair", 1, {"1216 #1:"}},
        {"GetIterPins", 2, {"1230", "1232 #1:A #0:P"}},
        {"GetType", 2, {"1234"}},
        {"GetConstraint", 1, {"1209 #0:P"}},
        {"GetIterPhysicalNets", 1, {"1224 #1:"}},
    };
    for (const Case& c : cases) {
        PairDesign d;
        Index phys;
        Index a = d.net("A", "Star", "Star", 2, &phys);
        Index dp = d.pair("P", "Star", a, d.net("B", "Star", "Star"));
        const Index targets[] = {dp, a, phys};
        d.faults().FailOn(targets[c.target], c.op);
        Findings expected;
        for (std::string text : c.expected) {
            for (int k = 0; k < 2; ++k) {
                const std::string mark = "#" + std::to_string(k);
                for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark))
                    text.replace(at, mark.size(), (k == 0 ? dp : a).ToText());
            }
            expected.push_back(text);
        }
        TestRun<CDiffPairConsistency> run(d);
        EXPECT_EQ(run.findings(), expected) << c.op;
    }

    PairDesign d;
    d.faults().FailOn(d.config, "GetIterDiffPairs");
    TestRun<CDiffPairConsistency> ended(d);
    EXPECT_EQ(ended.findings(), (Findings{finding(1201)}));
}
