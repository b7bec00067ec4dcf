#include "tests/connectivity/CPnetUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

// Physical nets each in an electrical net of its own, in the order given.
std::vector<Index> physNets(Design& d, const std::vector<std::string>& names)
{
    std::vector<Index> nets;
    for (const std::string& name : names)
        nets.push_back(d.b.PhysicalNet(d.config, name, d.b.ElectricalNet(d.config, "E" + name)));
    return nets;
}

} // namespace

TEST(CPnetUniqueTest, DuplicatesByCaseOnlyAndImplicitNetsLeftOut)
{
    Design d;
    auto n = physNets(d, {"Clk", "data", "CLK", "(NET0)-x", "(net0)-X", "data ", "(net0)x", "(NET0)X"});
    TestRun<CPnetUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(4007, {{n[0], "Clk"}, {n[2], "CLK"}}),
                                        finding(4007, {{n[6], "(net0)x"}, {n[7], "(NET0)X"}})}));
    EXPECT_EQ(run.status, FAILED);
    EXPECT_EQ(run.firstLine(), "ERROR 4007: Two physical nets have the same name: first: Clk (" + n[0].ToText() +
                                   "), second: CLK (" + n[2].ToText() + ").\n");
}

TEST(CPnetUniqueTest, ThreeEqualNamesGiveEveryPairInScanOrder)
{
    Design d;
    auto n = physNets(d, {"a", "b", "A", "B", "a"});
    for (bool fixMode : {false, true}) {
        TestRun<CPnetUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(4007, {{n[0], "a"}, {n[2], "A"}}),
                                            finding(4007, {{n[0], "a"}, {n[4], "a"}}),
                                            finding(4007, {{n[1], "b"}, {n[3], "B"}}),
                                            finding(4007, {{n[2], "A"}, {n[4], "a"}})}))
            << "fix mode " << fixMode;
    }
}

TEST(CPnetUniqueTest, ImplicitPowerNetOfAPairIsReportedInstead)
{
    struct Case
    {
        int firstType, secondType;
        int reported;  // 0 first, 1 second
    };
    for (const Case& c : {Case{1, 0, 0}, Case{0, 1, 1}, Case{1, 1, 0}}) {
        Design d;
        auto n = physNets(d, {"VCC", "vcc"});
        d.setType(n[0], c.firstType);
        d.setType(n[1], c.secondType);
        TestRun<CPnetUnique> run(d);
        const char* names[] = {"VCC", "vcc"};
        EXPECT_EQ(run.findings(), (Findings{finding(4008, {{n[c.reported], names[c.reported]}})}));
    }
}

TEST(CPnetUniqueTest, ParentMustListTheNetExactlyOnce)
{
    Design d;
    Index e1 = d.b.ElectricalNet(d.config, "E1");
    Index e2 = d.b.ElectricalNet(d.config, "E2");
    Index once = d.b.PhysicalNet(d.config, "P1", e1);
    Index twice = d.b.PhysicalNet(d.config, "P2", e2);
    d.b.AppendOnly(e2, Field::physicalNets, twice);
    Index missing = d.b.PhysicalNet(d.config, "P3");
    d.b.SetRefOnly(missing, Field::parentElectricalNet, e1);
    Index orphan = d.b.PhysicalNet(d.config, "P4");
    Index implicitNet = d.b.PhysicalNet(d.config, "(net0)-P5");
    (void)once;
    (void)implicitNet;
    TestRun<CPnetUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(4006, {{e2, "E2"}}), finding(4006, {{e1, "E1"}}),
                                        finding(4003, {{orphan, "P4"}})}));
}

TEST(CPnetUniqueTest, ReadFailures)
{
    {
        Design d;
        physNets(d, {"A", "a"});
        d.faults().FailOn(d.config, "GetIterPhysicalNets");
        TestRun<CPnetUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(4000)}));
        EXPECT_EQ(run.status, FAILED);
    }
    {
        // A child whose index cannot be read is reported by its sibling's parent check, then the
        // walk goes on; the net itself is left out of the comparison.
        Design d;
        Index e = d.b.ElectricalNet(d.config, "E");
        Index a = d.b.PhysicalNet(d.config, "A", e);
        Index b = d.b.PhysicalNet(d.config, "a", e);
        Index c = d.b.PhysicalNet(d.config, "C", d.b.ElectricalNet(d.config, "EC"));
        Index named = d.b.PhysicalNet(d.config, "c", d.b.ElectricalNet(d.config, "ED"));
        d.faults().FailOn(b, "GetIndex");
        d.faults().FailOn(named, "GetName");
        TestRun<CPnetUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(4005), finding(4001), finding(4002)}));
        (void)a;
        (void)c;
    }
    {
        Design d;
        Index e = d.b.ElectricalNet(d.config, "E");
        d.b.PhysicalNet(d.config, "A", e);
        d.b.PhysicalNet(d.config, "B", e);
        d.faults().FailOn(e, "GetIterPhysicalNets");
        TestRun<CPnetUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(4004), finding(4004)}));
    }
}

TEST(CPnetUniqueTest, ParentThatComesBackNotValidFailsTheWalkOfItsPhysicalNets)
{
    Design d;
    Index e = d.b.ElectricalNet(d.config, "E");
    d.b.PhysicalNet(d.config, "P", e);
    d.b.Invalid(e);
    TestRun<CPnetUnique> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(4004)});
}

// Electrical nets whose children the walk meets interleaved: each parent's count stands apart from
// the others' although their lists are kept side by side.
TEST(CPnetUniqueTest, InterleavedParentsCountTheirOwnChildren)
{
    struct Case
    {
        const char* name;
        std::vector<int> firstList, secondList; // children (0-3) each electrical net lists
        std::vector<int> reported;              // electrical nets named by 4006, in walk order
    };
    // Children 0 and 2 belong to the first electrical net, 1 and 3 to the second; the walk meets
    // them in the order 0, 1, 2, 3.
    const std::vector<Case> cases = {
        {"both exact", {0, 2}, {1, 3}, {}},
        {"lists in reverse", {2, 0}, {3, 1}, {}},
        {"first lists a child twice", {2, 0, 2}, {1, 3}, {0}},
        {"second lists the first's child", {0, 2}, {1, 3, 0}, {}},
        {"second misses a child", {0, 2}, {1}, {1}},
        {"first lists the second's children only", {1, 3}, {1, 3}, {0, 0}},
    };
    for (const Case& c : cases) {
        Design d;
        const Index parents[] = {d.b.ElectricalNet(d.config, "E1"), d.b.ElectricalNet(d.config, "E2")};
        std::vector<Index> children;
        for (int i = 0; i < 4; ++i)
            children.push_back(d.b.PhysicalNet(d.config, "P" + std::to_string(i), parents[i % 2]));
        for (int p = 0; p < 2; ++p) {
            d.b.GetStore().ClearList(parents[p], Field::physicalNets);
            for (int child : p == 0 ? c.firstList : c.secondList)
                d.b.AppendOnly(parents[p], Field::physicalNets, children[static_cast<size_t>(child)]);
        }
        Findings expected;
        for (int p : c.reported)
            expected.push_back(finding(4006, {{parents[p], p == 0 ? "E1" : "E2"}}));
        TestRun<CPnetUnique> run(d);
        EXPECT_EQ(run.findings(), expected) << c.name;
    }
}
