#include "tests/connectivity/CFlatNetCheck.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct FlatDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index part = b.Part(config, "PART");

    // A physical net mapped to a flat net; a non-empty label gives the flat net one page net.
    Index mapped(const std::string& physName, const std::string& flatName, const std::string& label, int type = 0)
    {
        Index phys = b.PhysicalNet(config, physName);
        setType(phys, type);
        Index flat = b.FlatNet(schematic, flatName, phys);
        if (!label.empty())
            b.SetText(pageNet(flat), Field::label, label);
        return phys;
    }
    Index pageNet(Index flat, Index hierarchyComp = Index())
    {
        Index page = b.Add(Kind::PageNet, flat);
        Index path = b.Add(Kind::Path, page);
        if (!hierarchyComp.IsEmpty())
            b.AppendOnly(path, Field::hierarchy, hierarchyComp);
        return page;
    }
    Index logicComp(const std::string& name, bool forwardPcb)
    {
        Index logic = b.LogicComp(schematic, name);
        b.SetInt(logic, Field::types, forwardPcb ? (1 << Lumo::CT_ForwardPCB) : 0);
        return logic;
    }
    // A net pin on the physical net whose part pin has the given type.
    void pin(Index phys, int partPinType)
    {
        static int count = 0;
        Index pin = b.Pin(comp, "P" + std::to_string(++count), Lumo::NPT_NetPin, phys);
        Index typed = b.Add(Kind::PartPin, part, "PP" + std::to_string(count));
        b.SetInt(typed, Field::partPinType, partPinType);
        b.SetRefOnly(pin, Field::parentPartPin, typed);
        b.SetRefOnly(pin, Field::designPin, b.DesignPin(b.LogicComp(schematic, "L" + std::to_string(count)), "1"));
    }
};

} // namespace

TEST(CFlatNetCheckTest, PhysicalNetNamesAgainstFlatNetsAndLabels)
{
    struct Case
    {
        const char* phys;
        const char* flat;
        const char* label;
        int type;
        bool mismatch;
    };
    const Case cases[] = {
        {"CLK", "CLK", "X", 0, false},          {"clk", "CLK", "CLK", 0, true},      {"DATA_12", "DATA", "DATA", 0, false},
        {"DATA_12", "DATA", "DATA", 1, true},    {"DATA_1A", "DATA", "DATA", 0, true}, {"DATA-1", "DATA", "DATA", 0, true},
        {"DATA12", "DATA", "DATA", 0, true},     {"DATA_", "DATA", "DATA", 0, false},  {"BUS__1", "BUS_", "BUS_", 0, true},
        {"A_1", "A_2", "A", 0, false},           {"Q", "R", "", 0, false},              {"(NET0)-5", "Z", "Y", 0, false},
    };
    FlatDesign d;
    Findings expected;
    for (const Case& c : cases) {
        Index phys = d.mapped(c.phys, c.flat, c.label, c.type);
        if (c.mismatch)
            expected.push_back(finding(2114, {{phys, c.phys}, {d.b.GetStore().Ref(phys, Field::flatNet), c.flat}}));
    }
    TestRun<CFlatNetCheck> run(d);
    EXPECT_EQ(run.findings(), expected);
    EXPECT_EQ(run.firstLine(), "ERROR 2114: Physical net: clk has different name than its flat net: CLK\n");
}

TEST(CFlatNetCheckTest, SwappedNamesAgree)
{
    FlatDesign d;
    Index a = d.b.PhysicalNet(d.config, "A");
    Index b = d.b.PhysicalNet(d.config, "B");
    d.b.SetText(d.pageNet(d.b.FlatNet(d.schematic, "B", a)), Field::label, "L");
    d.b.SetText(d.pageNet(d.b.FlatNet(d.schematic, "A", b)), Field::label, "L");
    TestRun<CFlatNetCheck> run(d);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.status, OK);
}

// Two flat nets of one name: the first one's physical net is the one that a swap must match.
TEST(CFlatNetCheckTest, FirstFlatNetOfANameStandsForSwaps)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<const char*, const char*>> nets; // (flat net, physical net), walk order
        std::vector<std::size_t> mismatched;                    // nets reported by 2114
    };
    const std::vector<Case> cases = {
        {"second of a name is not a swap", {{"A", "C"}, {"A", "B"}, {"B", "A"}}, {0, 2}},
        {"first of a name is a swap", {{"A", "B"}, {"A", "C"}, {"B", "A"}}, {1}},
        {"a swap of three is none", {{"A", "B"}, {"B", "C"}, {"C", "A"}}, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        FlatDesign d;
        std::vector<Index> phys;
        for (const auto& net : c.nets) {
            phys.push_back(d.b.PhysicalNet(d.config, net.second));
            d.b.SetText(d.pageNet(d.b.FlatNet(d.schematic, net.first, phys.back())), Field::label, "L");
        }
        Findings expected;
        for (std::size_t at : c.mismatched)
            expected.push_back(finding(2114, {{phys[at], c.nets[at].second},
                                              {d.b.GetStore().Ref(phys[at], Field::flatNet), c.nets[at].first}}));
        TestRun<CFlatNetCheck> run(d);
        EXPECT_EQ(run.findings(), expected) << c.name;
    }
}

TEST(CFlatNetCheckTest, FlatNetsWithoutPhysicalNet)
{
    FlatDesign d;
    Index flagged = d.logicComp("F", true), plain = d.logicComp("G", false);
    Index noPages = d.b.FlatNet(d.schematic, "NoPages");
    Index excused = d.b.FlatNet(d.schematic, "Excused");
    d.pageNet(excused, flagged);
    d.pageNet(excused, flagged);
    Index partly = d.b.FlatNet(d.schematic, "Partly");
    d.pageNet(partly, flagged);
    d.pageNet(partly, plain);
    Index notForwarded = d.b.FlatNet(d.schematic, "NotForwarded");
    d.b.SetInt(notForwarded, Field::forwardPcbFlags, 1 << Lumo::FPF_NotForwarded);
    d.b.FlatNet(d.schematic, "(Net0)-9");
    TestRun<CFlatNetCheck> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(2106, {{noPages, "NoPages"}}), finding(2106, {{partly, "Partly"}})}));
}

TEST(CFlatNetCheckTest, PhysicalNetsWithoutFlatNet)
{
    FlatDesign d;
    Index bare = d.b.PhysicalNet(d.config, "Bare");
    Index implicitPins = d.b.PhysicalNet(d.config, "Implicit");
    d.pin(implicitPins, 7);
    d.pin(implicitPins, 8);
    Index realPin = d.b.PhysicalNet(d.config, "Real");
    d.pin(realPin, 7);
    d.pin(realPin, 0);
    TestRun<CFlatNetCheck> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(2113, {{bare, "Bare"}}), finding(2113, {{implicitPins, "Implicit"}}),
                                        finding(2112, {{realPin, "Real"}})}));
    EXPECT_EQ(run.status, FAILED);
}

TEST(CFlatNetCheckTest, UnobtainedHandlesAreNotCalled)
{
    FlatDesign d;
    Index flagged = d.logicComp("F", true);
    Index flat = d.b.FlatNet(d.schematic, "N");
    Index page = d.pageNet(flat, flagged);
    // Without a UID manager the flagged component cannot be seen: the flat net is not excused.
    TestRun<CFlatNetCheck> noUid(d, false, [&] { d.faults().FailOnSnapshot(d.b.Snapshot(), "GetUIDManager"); });
    EXPECT_EQ(noUid.findings(), (Findings{finding(2106, {{flat, "N"}})}));
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetComp"), 0u);

    d.faults().ClearAll();
    d.faults().FailOn(page, "GetPath");
    Lumo::StandIn::GetCallCounts(*d.session).Reset();
    TestRun<CFlatNetCheck> noPath(d);
    EXPECT_EQ(noPath.findings(), (Findings{finding(2105), finding(2106, {{flat, "N"}})}));
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetListHierarchyIndexes"), 0u);
}

TEST(CFlatNetCheckTest, FailuresThatEndTheTest)
{
    FlatDesign d;
    d.mapped("clk", "CLK", "CLK");
    d.faults().FailOn(d.config, "GetIterFlatNets");
    TestRun<CFlatNetCheck> noFlatNets(d);
    EXPECT_EQ(noFlatNets.findings(), (Findings{finding(2101)}));
    EXPECT_EQ(noFlatNets.status, WARNINGS);

    d.faults().ClearAll();
    TestRun<CFlatNetCheck> noDefault(d, false,
                                     [&] { d.faults().FailOnSnapshot(d.b.Snapshot(), "GetDefaultConfig"); });
    EXPECT_EQ(noDefault.findings(), (Findings{finding(2107)}));

    d.faults().ClearAll();
    d.faults().FailOn(d.config, "GetIterPhysicalNets");
    TestRun<CFlatNetCheck> noPhysNets(d);
    EXPECT_EQ(noPhysNets.findings(), (Findings{finding(2108)}));
}
