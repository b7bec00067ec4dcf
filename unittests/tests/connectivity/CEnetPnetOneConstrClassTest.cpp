#include "tests/connectivity/CEnetPnetOneConstrClass.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CEnetPnetOneConstrClassTest, PassesWithoutReadingTheDesign)
{
    Design d;
    d.b.PhysicalNet(d.config, "P", d.b.ElectricalNet(d.config, "E"));
    d.faults().FailOn(d.config, "GetIterElectricalNets");
    TestRun<CEnetPnetOneConstrClass> run(d);
    EXPECT_EQ(run.status, OK);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.test.getTestShortName(), "ElecAndPhysNetInOneConstrClass");
}
