#include "tests/connectivity/CPNetTopo.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CPNetTopoTest, OrderedCustomOrComplexNetNeedsAFromTo)
{
    struct Case
    {
        const char* name;
        const char* topology;
        const char* ordered;  // nullptr: no TOPO_ORDERED constraint
        int fromTos;
        bool reported;
    };
    const Case cases[] = {
        {"N1", "Complex", "Yes", 0, true},   {"N2", "Custom", "Yes", 0, true},   {"N3", "Complex", "No", 0, false},
        {"N4", "Complex", "yes", 0, false},  {"N5", "custom", "Yes", 0, false},  {"N6", "Custom", "Yes", 1, false},
        {"N7", "Custom", nullptr, 0, false}, {"N8", "MST", "Yes", 0, false},     {"(NET0)-9", "Custom", "Yes", 0, false},
    };
    Design d;
    Findings expected;
    for (const Case& c : cases) {
        Index net = d.b.PhysicalNet(d.config, c.name);
        d.b.Constraint(net, "ORDER_TYPE", c.topology);
        if (c.ordered)
            d.b.Constraint(net, "TOPO_ORDERED", c.ordered);
        for (int i = 0; i < c.fromTos; ++i)
            d.b.FromTo(net, "FT", Index(), Index());
        if (c.reported)
            expected.push_back(finding(6406, {{net, c.name}}));
    }
    TestRun<CPNetTopo> run(d);
    EXPECT_EQ(run.findings(), expected);
    EXPECT_EQ(run.status, FAILED);
    EXPECT_EQ(run.firstLine(), "ERROR 6406: Physical net N1 has ordered topology but it has no FromTos objects.\n");
}

TEST(CPNetTopoTest, ReadFailuresGoOnWithTheNextNet)
{
    Design d;
    Index noTopology = d.b.PhysicalNet(d.config, "A");
    Index noFromTos = d.b.PhysicalNet(d.config, "B");
    d.b.Constraint(noFromTos, "ORDER_TYPE", "Custom");
    d.b.Constraint(noFromTos, "TOPO_ORDERED", "Yes");
    Index noName = d.b.PhysicalNet(d.config, "C");
    Index noIndex = d.b.PhysicalNet(d.config, "D");
    Index implicitNet = d.b.PhysicalNet(d.config, "(net0)-E");
    d.faults().FailOn(noFromTos, "GetIterFromTos");
    d.faults().FailOn(noName, "GetName");
    d.faults().FailOn(noIndex, "GetIndex");
    TestRun<CPNetTopo> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(6404), finding(6405), finding(6403), finding(6402)}));
    EXPECT_EQ(run.status, FAILED);
    (void)noTopology;
    (void)implicitNet;

    d.faults().FailOn(d.config, "GetIterPhysicalNets");
    TestRun<CPNetTopo> ended(d);
    EXPECT_EQ(ended.findings(), (Findings{finding(6401)}));
}

TEST(CPNetTopoTest, CleanDesignReturnsOk)
{
    Design d;
    Index net = d.b.PhysicalNet(d.config, "A");
    d.b.Constraint(net, "ORDER_TYPE", "MST");
    TestRun<CPNetTopo> run(d);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.status, OK);
}
