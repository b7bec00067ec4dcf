#include "tests/connectivity/CENetConsistency.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

// An electrical net with the given topology (nullptr: none) and physical nets of the topologies given.
Index netWith(Design& d, const std::string& name, const char* topology, std::vector<const char*> physTopologies,
              std::vector<Index>* physNets = nullptr)
{
    Index elec = d.b.ElectricalNet(d.config, name);
    if (topology)
        d.b.Constraint(elec, "ORDER_TYPE", topology);
    int i = 0;
    for (const char* physTopology : physTopologies) {
        Index phys = d.b.PhysicalNet(d.config, name + "_" + std::to_string(++i), elec);
        if (physTopology)
            d.b.Constraint(phys, "ORDER_TYPE", physTopology);
        if (physNets)
            physNets->push_back(phys);
    }
    return elec;
}

} // namespace

TEST(CENetConsistencyTest, TopologyOfTheNetAgainstItsPhysicalNets)
{
    Design d;
    std::vector<Index> p;
    netWith(d, "Same", "MST", {"MST", "MST"});
    Index mixed = netWith(d, "Mixed", "MST", {"MST", "Star"});
    netWith(d, "MixedOk", "Mixed", {"MST", "Star"});
    Index empty = netWith(d, "Empty", "MST", {});
    Index lower = netWith(d, "Lower", "mst", {"mst"}, &p);
    Index none = netWith(d, "None", nullptr, {"Star"});
    Index partly = netWith(d, "Partly", "Star", {nullptr, "Star"}, &p);
    TestRun<CENetConsistency> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1507, {{mixed, "Mixed"}}), finding(1507, {{empty, "Empty"}}),
                                        finding(1519, {{p[0], "Lower_1"}}), finding(1518, {{lower, "Lower"}}),
                                        finding(1506, {{none, ""}}), finding(1505, {{p[1], ""}})}));
    (void)partly;
}

TEST(CENetConsistencyTest, PhysicalNetWalkedUnderAnotherParent)
{
    Design d;
    Index owner = netWith(d, "Owner", "MST", {});
    std::vector<Index> p;
    Index lister = netWith(d, "Lister", "MST", {"MST"}, &p);
    d.b.SetRefOnly(p[0], Field::parentElectricalNet, owner);
    TestRun<CENetConsistency> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1507, {{owner, "Owner"}}),
                                        finding(1512, {{p[0], "Lister_1"}, {owner, "Owner"}, {lister, "Lister"}})}));
    run.test.GetIssuesList().pop_front();
    EXPECT_EQ(run.firstLine(), "ERROR 1512: Physical net: Lister_1 (" + p[0].ToText() +
                                   ") belongs to more than one electrical nets: Owner (" + owner.ToText() +
                                   ") and Lister (" + lister.ToText() + ")\n");
}

TEST(CENetConsistencyTest, DelayTypeAgainstTheNearestMatchGroup)
{
    struct Case
    {
        bool groupHasTolerance;
        const char* netDelay;
        bool cyclic;
        bool reported;
        bool emptyIndexes = false;  // the classes below the group: no cycle for all that
    };
    for (const Case& c : {Case{true, "B", false, true}, Case{true, "A", false, false}, Case{false, "B", false, false},
                          Case{true, nullptr, false, false}, Case{false, "B", true, false},
                          Case{true, "B", false, true, true}}) {
        Design d;
        Index grand = d.b.ConstraintClass(d.design, "Grand");
        Index parent = d.b.ConstraintClass(grand, "Parent");
        Index own = d.b.ConstraintClass(parent, "Own");
        if (c.groupHasTolerance)
            d.b.Constraint(grand, "MATCH_TOLERANCE", 5);
        if (c.cyclic)
            d.b.SetRefOnly(grand, Field::in, own);
        if (c.emptyIndexes) {
            d.b.EmptyIndex(parent);
            d.b.EmptyIndex(own);
        }
        d.b.Constraint(grand, "DELAY_TYPE", "A");
        Index net = netWith(d, "N", "MST", {"MST"});
        d.b.SetRefOnly(net, Field::constraintClass, own);
        if (c.netDelay)
            d.b.Constraint(net, "DELAY_TYPE", c.netDelay);
        TestRun<CENetConsistency> run(d);
        EXPECT_EQ(run.findings(),
                  c.reported ? Findings{finding(1517, {{net, "N"}, {grand, "Grand"}})} : Findings{});
    }
}

TEST(CENetConsistencyTest, ReadFailures)
{
    Design d;
    std::vector<Index> p;
    netWith(d, "A", "MST", {"MST", "MST"}, &p);
    Index stop = netWith(d, "Stop", "MST", {"MST"});
    netWith(d, "Never", "Star", {"MST"});
    d.faults().FailOn(p[0], "GetParentElectricalNet");
    d.faults().FailOn(p[1], "GetConstraint");
    d.faults().FailOn(stop, "GetIterPhysicalNets");
    TestRun<CENetConsistency> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1509, {{p[0], ""}}), finding(1505, {{p[1], ""}}),
                                        finding(1503, {{stop, ""}})}));
    EXPECT_EQ(run.status, FAILED);

    d.faults().ClearAll();
    d.faults().FailOn(d.config, "GetIterElectricalNets");
    TestRun<CENetConsistency> ended(d);
    EXPECT_EQ(ended.findings(), (Findings{finding(1501)}));
}
