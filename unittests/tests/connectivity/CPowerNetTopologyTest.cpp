#include "tests/connectivity/CPowerNetTopology.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CPowerNetTopologyTest, AnalogPowerNetsAndTheirAnalogParentsMustBeMst)
{
    struct Case
    {
        const char* name;
        int type;
        const char* physAnalog;  // nullptr: no constraint
        const char* physTopology;
        const char* elecAnalog;
        const char* elecTopology;
        bool physReported, elecReported;
    };
    const Case cases[] = {
        {"P1", 1, "1", "Star", nullptr, nullptr, true, false},
        {"P2", 1, "1", "MST", "1", "Star", false, true},
        {"P3", 2, "1", "Chained", "1", "Chained", true, true},
        {"P4", 1, nullptr, "Star", "0", "Star", false, false},
        {"P5", 1, "yes", "Star", "1", "MST", false, false},
        {"P6", 0, "1", "Star", "1", "Star", false, false},
        {"(Net0)-7", 1, "1", "Star", "1", "Star", false, false},
    };
    Design d;
    Findings expected;
    for (const Case& c : cases) {
        const std::string elecName = std::string("E") + c.name;
        Index elec = d.b.ElectricalNet(d.config, elecName);
        Index phys = d.b.PhysicalNet(d.config, c.name, elec);
        d.setType(phys, c.type);
        if (c.physAnalog)
            d.b.Constraint(phys, "ANALOG", c.physAnalog);
        d.b.Constraint(phys, "ORDER_TYPE", c.physTopology);
        if (c.elecAnalog)
            d.b.Constraint(elec, "ANALOG", c.elecAnalog);
        if (c.elecTopology)
            d.b.Constraint(elec, "ORDER_TYPE", c.elecTopology);
        if (c.elecReported)
            expected.push_back(finding(5807, {{elec, elecName}}));
        if (c.physReported)
            expected.push_back(finding(5806, {{phys, c.name}}));
    }
    TestRun<CPowerNetTopology> run(d);
    EXPECT_EQ(run.findings(), expected);
    EXPECT_EQ(run.firstLine(), "ERROR 5806: Topology for physical power net P1 different than \"MST\".\n");
}

TEST(CPowerNetTopologyTest, ReadFailuresSkipTheNet)
{
    Design d;
    Index orphan = d.b.PhysicalNet(d.config, "Orphan");
    d.setType(orphan, 1);
    Index elec = d.b.ElectricalNet(d.config, "E");
    Index badParent = d.b.PhysicalNet(d.config, "P", elec);
    d.setType(badParent, 1);
    Index badType = d.b.PhysicalNet(d.config, "T");
    Index badName = d.b.PhysicalNet(d.config, "N");
    d.faults().FailOn(elec, "GetName");
    d.faults().FailOn(badType, "GetType");
    d.faults().FailOn(badName, "GetName");
    TestRun<CPowerNetTopology> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(5805, {{orphan, "Orphan"}}), finding(5802), finding(5808),
                                        finding(5804)}));

    d.faults().FailOn(d.config, "GetIterPhysicalNets");
    TestRun<CPowerNetTopology> ended(d);
    EXPECT_EQ(ended.findings(), (Findings{finding(5800)}));
}
