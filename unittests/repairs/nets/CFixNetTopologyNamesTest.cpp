#include "NetRepairTestKit.h"

#include <algorithm>

using namespace nettest;

namespace
{

TEST(CFixNetMatchOrderTypeNameTest, OtherSpellingsOfAListName)
{
    struct Case
    {
        const char* text;
        const char* match; // null: no match
    };
    const Case cases[] = {
        {"tshape", "TShape"}, {"TSHAPE", "TShape"}, {"star", "Star"},   {"mIXED", "Mixed"}, {"mst", "MST"},
        {"htree", "HTree"},   {"CUSTOM", "Custom"}, {"complex", "Complex"}, {"chained", "Chained"},
        {"TShape", nullptr},  {"Star", nullptr},    {"T-Shape", nullptr}, {"", nullptr},     {"Stars", nullptr},
    };
    for (const Case& c : cases)
    {
        String name("unchanged");
        EXPECT_EQ(c.match != nullptr, CFixNet::MatchOrderTypeName(c.text, name)) << c.text;
        EXPECT_EQ(c.match ? c.match : "unchanged", name.str()) << c.text;
    }
}

// A pair with two nets of two physical nets each, and a net of its own; every value misspelt.
class CFixNetTopologyNamesTest : public NetRepairTest
{
public:
    void SetUp() override
    {
        NetRepairTest::SetUp();
        n1 = b->ElectricalNet(cfg, "N1");
        n2 = b->ElectricalNet(cfg, "N2");
        lone = b->ElectricalNet(cfg, "L");
        p11 = b->PhysicalNet(cfg, "P11", n1);
        p12 = b->PhysicalNet(cfg, "P12", n1);
        p21 = b->PhysicalNet(cfg, "P21", n2);
        p22 = b->PhysicalNet(cfg, "P22", n2);
        pl = b->PhysicalNet(cfg, "PL", lone);
        orphan = b->PhysicalNet(cfg, "O");
        pair = b->DiffPair(cfg, "D", n1, n2);
        for (Index net : All())
            b->Constraint(net, "ORDER_TYPE", "tshape");
    }
    std::vector<Index> All() const { return {pair, n1, n2, lone, p11, p12, p21, p22, pl, orphan}; }
    // The objects whose value was rewritten.
    std::vector<Index> Rewritten()
    {
        std::vector<Index> rewritten;
        for (Index net : All())
            if (Topo(net) == "TShape")
                rewritten.push_back(net);
        return rewritten;
    }

    Index n1, n2, lone, p11, p12, p21, p22, pl, orphan, pair;
};

TEST_F(CFixNetTopologyNamesTest, NormalisesEverythingBelowTheTopmostOwner)
{
    struct Case
    {
        Index CFixNetTopologyNamesTest::*reported;
        std::vector<Index CFixNetTopologyNamesTest::*> rewritten;
    };
    using T = CFixNetTopologyNamesTest;
    const std::vector<Index T::*> underPair = {&T::pair, &T::n1, &T::n2, &T::p11, &T::p12, &T::p21, &T::p22};
    const Case cases[] = {
        {&T::p21, underPair},
        {&T::n1, underPair},
        {&T::pl, {&T::lone, &T::pl}},
        {&T::lone, {&T::lone, &T::pl}},
        {&T::orphan, {&T::orphan}},
    };
    for (const Case& c : cases)
    {
        TearDown();
        SetUp();
        Slots(this->*c.reported);
        ExpectStatus(CFixNet::FixInvalidTopologyType(), true);
        std::vector<Index> expected;
        for (Index T::*member : c.rewritten)
            expected.push_back(this->*member);
        std::vector<Index> got = Rewritten();
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(expected, got) << store().Name(this->*c.reported);
        EXPECT_EQ(0u, OwnLocks());
    }
}

TEST_F(CFixNetTopologyNamesTest, WrongSlotsAndMissingObjects)
{
    const char* wrongKind = "Cannot find physical or electrical net.";
    for (Index slot : {Index(), pair, b->PinPair(n1, "PP", Index(), Index())})
    {
        Slots(slot);
        ExpectStatus(CFixNet::FixInvalidTopologyType(), false, true, wrongKind);
    }
    faults().FailOn(p11, "GetNorvPhysicalNet");
    Slots(p11);
    ExpectStatus(CFixNet::FixInvalidTopologyType(), false, true, "Cannot find physical net.");
    faults().FailOn(lone, "GetNorvElectricalNet");
    Slots(lone);
    ExpectStatus(CFixNet::FixInvalidTopologyType(), false, true, "Cannot find electrical net.");
    EXPECT_TRUE(Rewritten().empty());

    // A physical net of the walk that cannot be fetched stops it after the nets before it.
    faults().ClearAll();
    faults().FailOn(p12, "GetNorvPhysicalNet");
    Slots(n1);
    ExpectStatus(CFixNet::FixInvalidTopologyType(), false, true, "Cannot find physical net.");
    EXPECT_EQ((std::vector<Index>{pair, n1, p11}), Rewritten());

    // The normalisers' own messages.
    ExpectStatus(CFixNet::NormalizeOrderTypeOfPhysNet(n1), false, true, "Cannot find Physical Net.");
    ExpectStatus(CFixNet::NormalizeOrderTypeOfElecNet(p11), false, true, "Cannot find Electrical Net.");
    ExpectStatus(CFixNet::NormalizeOrderTypeOfDiffPair(n1), false, true, "Cannot find Diff Pair.");
    Index bare = b->PhysicalNet(cfg, "B");
    ExpectStatus(CFixNet::NormalizeOrderTypeOfPhysNet(bare), false, true, "Cannot get constraint ORDER_TYPE.");
    faults().FailOn(pair, "GetSecondElecNet");
    ExpectStatus(CFixNet::NormalizeOrderTypeOfDiffPair(pair), false, true, "Cannot get electrical net from Diff Pair.");
}

// Fixed only when the reported net ends with a proper name: already, or by a rewrite that took.
TEST_F(CFixNetTopologyNamesTest, ReportedNetMustEndWithAListName)
{
    Slots(pl);
    faults().FailOn(store().List(pl, Field::constraints).front(), "SetValue");
    ExpectStatus(CFixNet::FixInvalidTopologyType(), false);
    EXPECT_EQ((std::vector<Index>{lone}), Rewritten()); // the failed write stopped nothing
    faults().ClearAll();

    Index exact = b->PhysicalNet(cfg, "X", lone);
    b->Constraint(exact, "ORDER_TYPE", "Star");
    Slots(exact);
    ExpectStatus(CFixNet::FixInvalidTopologyType(), true);
    EXPECT_EQ("Star", Topo(exact));
    EXPECT_EQ("TShape", Topo(pl)); // the rest of the walk still ran

    Index unknown = b->PhysicalNet(cfg, "U", lone);
    b->Constraint(unknown, "ORDER_TYPE", "Daisy");
    Slots(unknown);
    ExpectStatus(CFixNet::FixInvalidTopologyType(), false);
    EXPECT_EQ("Daisy", Topo(unknown));

    // The shared normaliser itself still reports a net it could read as fixed.
    ExpectStatus(CFixNet::NormalizeOrderTypeOfPhysNet(unknown), true);
}

} // namespace
