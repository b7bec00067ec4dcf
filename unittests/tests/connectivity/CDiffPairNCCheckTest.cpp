#include "tests/connectivity/CDiffPairNCCheck.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct ClassDesign : Design
{
    // An electrical net whose physical nets are in the given net classes, by name.
    Index net(const std::string& name, std::vector<std::string> classes, std::vector<Index>* physNets = nullptr)
    {
        Index elec = b.ElectricalNet(config, name);
        int i = 0;
        for (const std::string& cls : classes) {
            Index phys = b.PhysicalNet(config, name + std::to_string(++i), elec);
            b.Link(phys, Field::netClass, netClass(cls));
            if (physNets)
                physNets->push_back(phys);
        }
        return elec;
    }
    Index netClass(const std::string& name)
    {
        for (Index known : b.GetStore().AllLive(Kind::NetClass))
            if (b.GetStore().Name(known) == name)
                return known;
        return b.NetClass(design, name);
    }
};

} // namespace

TEST(CDiffPairNCCheckTest, SetsOfNetClassesCompared)
{
    ClassDesign d;
    d.b.DiffPair(d.config, "Same", d.net("A", {"NC1", "NC2"}), d.net("B", {"NC2", "NC1", "NC1"}));
    Index subset = d.b.DiffPair(d.config, "Subset", d.net("C", {"NC1"}), d.net("D", {"NC1", "NC2"}));
    Index byCase = d.b.DiffPair(d.config, "ByCase", d.net("E", {"NC1"}), d.net("F", {"nc1"}));
    TestRun<CDiffPairNCCheck> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1306, {{subset, "Subset"}}), finding(1306, {{byCase, "ByCase"}})}));
    EXPECT_EQ(run.firstLine(),
              "ERROR 1306: Inconsistent net classes assigned to differential pair Subset (" + subset.ToText() + ")\n");
}

TEST(CDiffPairNCCheckTest, FailedReadKeepsWhatWasCollected)
{
    ClassDesign d;
    std::vector<Index> p;
    Index first = d.net("A", {"NC1", "NC2"}, &p);
    Index dp = d.b.DiffPair(d.config, "P", first, d.net("B", {"NC1"}));
    d.faults().FailOn(p[1], "GetNetClass");
    TestRun<CDiffPairNCCheck> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1311, {{p[1], "A2"}})}));

    d.faults().ClearAll();
    d.faults().FailOn(p[0], "GetNetClass");
    TestRun<CDiffPairNCCheck> differs(d);
    EXPECT_EQ(differs.findings(), (Findings{finding(1311, {{p[0], "A1"}}), finding(1306, {{dp, "P"}})}));

    d.faults().ClearAll();
    d.faults().FailOn(dp, "GetSecondElecNet");
    TestRun<CDiffPairNCCheck> noSecond(d);
    EXPECT_EQ(noSecond.findings(), (Findings{finding(1305, {{dp, "P"}})}));

    d.faults().ClearAll();
    d.faults().FailOn(d.config, "GetIterDiffPairs");
    TestRun<CDiffPairNCCheck> ended(d);
    EXPECT_EQ(ended.findings(), (Findings{finding(1301)}));
}
