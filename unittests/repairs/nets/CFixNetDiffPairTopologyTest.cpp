#include "NetRepairTestKit.h"

#include <array>

using namespace nettest;

namespace
{

// Pair D of N1 (physical nets P11, P12) and N2 (P21); values given in that order.
using Values = std::array<const char*, 6>;

class CFixNetDiffPairTopologyTest : public NetRepairTest
{
public:
    void Build(const Values& values, bool pinSetOnP21 = false)
    {
        n1 = b->ElectricalNet(cfg, "N1");
        n2 = b->ElectricalNet(cfg, "N2");
        objects = {Index(), n1, n2, b->PhysicalNet(cfg, "P11", n1), b->PhysicalNet(cfg, "P12", n1),
                   b->PhysicalNet(cfg, "P21", n2)};
        objects[0] = pair = b->DiffPair(cfg, "D", n1, n2);
        for (size_t i = 0; i < values.size(); ++i)
            b->Constraint(objects[i], "ORDER_TYPE", values[i]);
        if (pinSetOnP21)
            b->Pin(objects[5], "S", NPT_PinSetChained, objects[5]);
    }
    Values Now()
    {
        Values now;
        for (size_t i = 0; i < objects.size(); ++i)
        {
            texts[i] = Topo(objects[i]);
            now[i] = texts[i].c_str();
        }
        return now;
    }
    std::vector<std::string> Strings(const Values& values) { return {values.begin(), values.end()}; }

    Index n1, n2, pair;
    std::vector<Index> objects;
    std::array<std::string, 6> texts;
};

TEST_F(CFixNetDiffPairTopologyTest, Paths)
{
    struct Case
    {
        const char* what;
        bool notAllowed; // the not-allowed finding (slot 2), else the nets' finding (slot 1)
        Values before, after;
        bool fixed;
        bool pinSet = false;
    };
    const Case cases[] = {
        {"allowed value kept", true, {"Star", "MST", "MST", "MST", "MST", "MST"},
         {"Star", "MST", "MST", "MST", "MST", "MST"}, true},
        {"spelling repaired everywhere", true, {"tshape", "tshape", "tshape", "tshape", "tshape", "tshape"},
         {"TShape", "TShape", "TShape", "TShape", "TShape", "TShape"}, true},
        {"a net already exact: nothing", true, {"tshape", "tshape", "TShape", "tshape", "tshape", "tshape"},
         {"tshape", "tshape", "TShape", "tshape", "tshape", "tshape"}, false},
        {"a physical net differs: stops there", true, {"tshape", "tshape", "tshape", "tshape", "Star", "tshape"},
         {"TShape", "tshape", "tshape", "TShape", "Star", "tshape"}, false},
        {"no allowed spelling", true, {"Chained", "MST", "MST", "MST", "MST", "MST"},
         {"Chained", "MST", "MST", "MST", "MST", "MST"}, false},
        {"MST pair, nets Star", true, {"MST", "Star", "Star", "MST", "MST", "MST"},
         {"Star", "Star", "Star", "MST", "MST", "MST"}, true},
        // The pair takes the proper spelling first, then, differing from its nets, "Custom".
        {"MST pair, nets misspelt alike", true, {"MST", "htree", "htree", "MST", "MST", "MST"},
         {"Custom", "htree", "htree", "MST", "MST", "MST"}, true},
        {"MST pair, nets differ", true, {"MST", "Star", "HTree", "MST", "MST", "MST"},
         {"Custom", "Star", "HTree", "MST", "MST", "MST"}, true},
        {"MST pair, nets MST", true, {"MST", "MST", "MST", "Star", "MST", "HTree"},
         {"Custom", "Custom", "Custom", "Custom", "Custom", "Custom"}, true},
        {"Custom and Complex with a pin set", false, {"Custom", "Custom", "Complex", "MST", "MST", "MST"},
         {"Complex", "Complex", "Complex", "Complex", "Complex", "MST"}, true, true},
        {"Custom and Complex without one", false, {"Custom", "Custom", "Complex", "MST", "MST", "MST"},
         {"Custom", "Custom", "Custom", "MST", "MST", "Custom"}, true},
        {"Custom pair, nets Complex", false, {"Custom", "Complex", "Complex", "MST", "MST", "MST"},
         {"Complex", "Complex", "Complex", "MST", "MST", "MST"}, true},
        {"Custom pair, nets Star", false, {"Custom", "Star", "Star", "MST", "MST", "MST"},
         {"Custom", "Star", "Star", "MST", "MST", "MST"}, false},
        {"all Star but a physical net", false, {"Star", "Star", "Star", "Custom", "Star", "Star"},
         {"Star", "Star", "Star", "Custom", "Star", "Star"}, false},
        {"Star pair, second net MST", false, {"Star", "Star", "MST", "HTree", "MST", "MST"},
         {"Custom", "Custom", "Custom", "Custom", "Custom", "Custom"}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Build(c.before, c.pinSet);
        c.notAllowed ? Slots(n1, pair) : Slots(pair);
        const CFixStatus status = c.notAllowed ? CFixNet::FixNotAllowedDiffPairTopology() : CFixNet::FixDiffPairNetsTopology();
        ExpectStatus(status, c.fixed);
        EXPECT_EQ(Strings(c.after), Strings(Now()));
        EXPECT_EQ(0u, OwnLocks());
    }
}

TEST_F(CFixNetDiffPairTopologyTest, NormalisingResetsTopoOrderedAndSpellingDoesNot)
{
    Build({"MST", "Star", "Star", "MST", "MST", "MST"});
    Slots(n1, pair);
    CFixNet::FixNotAllowedDiffPairTopology();
    for (size_t i = 1; i < objects.size(); ++i)
        EXPECT_EQ("No", TopoOrdered(objects[i])) << i;
    EXPECT_EQ("-", TopoOrdered(pair));

    TearDown();
    SetUp();
    Build({"star", "star", "star", "star", "star", "star"});
    Slots(n1, pair);
    ExpectStatus(CFixNet::FixNotAllowedDiffPairTopology(), true);
    for (Index object : objects)
        EXPECT_EQ("-", TopoOrdered(object));
}

TEST_F(CFixNetDiffPairTopologyTest, MissingPairsAndFailures)
{
    Build({"MST", "MST", "MST", "MST", "MST", "MST"});
    Slots(n1);
    ExpectStatus(CFixNet::FixNotAllowedDiffPairTopology(), false, true, "Cannot load differential pair.");
    Slots();
    ExpectStatus(CFixNet::FixDiffPairNetsTopology(), false, true, "Cannot load differential pair.");

    // A failed read of a net's value ends the repair with its result; the resets already happened.
    faults().FailOn(store().List(n2, Field::constraints).front(), "GetValue");
    Slots(pair);
    ExpectFailure(CFixNet::FixDiffPairNetsTopology());
    EXPECT_EQ("No", TopoOrdered(n2));
    faults().ClearAll();

    // A failed write to a physical net: not fixed, silent; the nets before it keep their value.
    faults().FailOn(objects[4], "AddConstraint");
    faults().FailOn(store().List(objects[4], Field::constraints).front(), "SetValue");
    Slots(n1, pair);
    ExpectStatus(CFixNet::FixNotAllowedDiffPairTopology(), false);
    EXPECT_EQ((std::vector<std::string>{"Custom", "MST", "MST", "Custom", "MST", "MST"}), Strings(Now()));
    faults().ClearAll();

    // The pair gone: fixed for the not-allowed finding, the default status for the other.
    b->Delete(pair);
    ExpectStatus(CFixNet::FixNotAllowedDiffPairTopology(), true);
    Slots(pair);
    ExpectStatus(CFixNet::FixDiffPairNetsTopology(), false);
}

} // namespace
