// The topology repairs of nets with from-tos (MST or Chained with from-tos) and of power nets.
#include "NetFixKit.h"

#include "repairs/nets/CFixNet.h"

#include <functional>

namespace netfix
{
namespace
{

// An electrical net E with one physical net P holding two pins and a from-to between them.
struct FromToNet : NetDesign
{
    Index e = b->ElectricalNet(cfg, "E");
    Index p = b->PhysicalNet(cfg, "P", e);
    Index pin1 = b->Pin(b->NorvComp(cfg, "U1"), "1", Lumo::NPT_NetPin, p);
    Index pin2 = b->Pin(b->NorvComp(cfg, "U2"), "1", Lumo::NPT_NetPin, p);
    Index ft = b->FromTo(p, "U1.1-U2.1", pin1, pin2);

    explicit FromToNet(const char* topology = "MST")
    {
        b->Constraint(e, "ORDER_TYPE", topology);
        b->Constraint(p, "ORDER_TYPE", topology);
    }
};

struct ChainedCase
{
    const char* name;
    std::function<void(FromToNet&)> change;
    const char* outcome;
    const char* topology; // of both nets afterwards
    size_t fromTos;
};

TEST(CFixNetTopologyFromTosTest, ChainedTopologyWithFromTos)
{
    const ChainedCase cases[] = {
        {"a from-to marked 0 deletes all from-tos",
         [](FromToNet& d) {
             d.b->Constraint(d.ft, "ORDER_TYPE", 1);
             d.b->Constraint(d.b->FromTo(d.p, "second", d.pin2, d.pin1), "ORDER_TYPE", 0);
         },
         "fixed", "MST", 0},
        {"no pin set makes Custom", [](FromToNet& d) { d.b->Constraint(d.ft, "ORDER_TYPE", 1); }, "fixed", "Custom", 1},
        {"a virtual pin-set pin makes Complex",
         [](FromToNet& d) {
             d.b->Constraint(d.ft, "ORDER_TYPE", 1);
             d.b->Pin(d.p, "VPS", Lumo::NPT_VirtualPinSetPin, d.p);
         },
         "fixed", "Complex", 1},
        {"a virtual pin alone keeps Custom",
         [](FromToNet& d) {
             d.b->Constraint(d.ft, "ORDER_TYPE", 1);
             d.b->Pin(d.p, "VP", Lumo::NPT_VirtualPin, d.p);
         },
         "fixed", "Custom", 1},
        {"two physical nets are left alone",
         [](FromToNet& d) {
             d.b->Constraint(d.ft, "ORDER_TYPE", 1);
             d.b->PhysicalNet(d.cfg, "P2", d.e);
         },
         "not fixed", "MST", 1},
        {"a net of a differential pair is left alone",
         [](FromToNet& d) {
             d.b->Constraint(d.ft, "ORDER_TYPE", 0);
             d.b->DiffPair(d.cfg, "DP", d.e, d.b->ElectricalNet(d.cfg, "E2"));
         },
         "not fixed", "MST", 1},
        {"a from-to without its own ORDER_TYPE fails the repair", [](FromToNet&) {}, "not fixed, failed", "MST", 1},
    };
    for (const ChainedCase& c : cases)
    {
        FromToNet d;
        c.change(d);
        d.Bind();
        d.Slots({{d.p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::FixChainedTopologyWithFromTos()), c.outcome) << c.name;
        EXPECT_EQ(d.Value(d.p, "ORDER_TYPE"), c.topology) << c.name;
        EXPECT_EQ(d.Value(d.e, "ORDER_TYPE"), c.topology) << c.name;
        EXPECT_EQ(d.list(d.p, Field::fromTos).size(), c.fromTos) << c.name;
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;
    }
}

TEST(CFixNetTopologyFromTosTest, ChainedTopologySlotsAndVanishedNet)
{
    FromToNet d;
    d.Bind();
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::FixChainedTopologyWithFromTos()), "not fixed, error: Cannot load physical net.");
    d.b->Delete(d.p);
    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixChainedTopologyWithFromTos()), "fixed");
    EXPECT_EQ(d.Value(d.e, "ORDER_TYPE"), "MST");
}

// A power net: electrical net E (ANALOG 1, topology Star) with the physical net P holding a pin set,
// its virtual pin-set pin, a virtual pin and a from-to, a second physical net Q, and a pin pair.
struct PowerNet : FromToNet
{
    Index q = b->PhysicalNet(cfg, "Q", e);
    Index set = b->Pin(p, "PS", Lumo::NPT_PinSetT, p);
    Index vps = b->Pin(p, "VPS", Lumo::NPT_VirtualPinSetPin, p);
    Index vp = b->Pin(p, "VP", Lumo::NPT_VirtualPin, p);
    Index pair = b->PinPair(e, "pair", pin1, pin2);

    PowerNet() : FromToNet("Star") {}
};

TEST(CFixNetTopologyFromTosTest, PowerNetOfAPhysicalNet)
{
    PowerNet d;
    d.Bind();
    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "fixed");
    for (Index gone : {d.set, d.vps, d.vp, d.ft, d.pair})
        EXPECT_FALSE(d.Alive(gone)) << gone.ToText();
    EXPECT_TRUE(d.Alive(d.pin1));
    EXPECT_EQ(d.Value(d.p, "ORDER_TYPE"), "MST");
    EXPECT_EQ(d.Value(d.e, "ORDER_TYPE"), "MST");
    EXPECT_EQ(d.Value(d.q, "ORDER_TYPE"), "-"); // only the repaired physical net gets MST
    for (Index net : {d.e, d.p, d.q})
        EXPECT_EQ(d.Value(net, "TOPO_ORDERED"), "No");
    EXPECT_EQ(d.OwnLocks(), 0u);
}

TEST(CFixNetTopologyFromTosTest, PowerNetOfAnElectricalNetAndOtherIndexes)
{
    PowerNet d;
    d.Bind();
    d.Slots({{d.e, "E"}});
    EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "fixed");
    EXPECT_EQ(d.Value(d.q, "ORDER_TYPE"), "MST");
    EXPECT_EQ(d.Value(d.p, "ORDER_TYPE"), "MST");

    const Index empty = d.b->ElectricalNet(d.cfg, "EMPTY");
    d.Slots({{empty, "EMPTY"}});
    EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "fixed");
    EXPECT_EQ(d.Value(empty, "TOPO_ORDERED"), "-");

    d.Slots({{d.pin1, "1"}});
    EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "not fixed");
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "not fixed, error: Cannot find physical/electrical net.");
}

TEST(CFixNetTopologyFromTosTest, PowerNetPinsThatRefuseDeletion)
{
    {
        // Every special pin refuses: the step fails and the from-tos stay.
        PowerNet d;
        d.Bind();
        d.faults().FailOn(d.p, "DeletePin");
        d.Slots({{d.p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "not fixed");
        EXPECT_TRUE(d.Alive(d.ft));
        EXPECT_TRUE(d.Alive(d.pair));
        EXPECT_EQ(d.Value(d.p, "ORDER_TYPE"), "Star");
        EXPECT_EQ(d.OwnLocks(), 0u);
    }
    {
        // One of three refuses: the repair goes on.
        PowerNet d;
        d.Bind();
        d.faults().FailOn(d.p, "DeletePin", 1);
        d.Slots({{d.p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::FixPowerNetTopology()), "fixed");
        EXPECT_TRUE(d.Alive(d.set));
        EXPECT_FALSE(d.Alive(d.ft));
        EXPECT_EQ(d.Value(d.p, "ORDER_TYPE"), "MST");
    }
}

TEST(CFixNetTopologyFromTosTest, EveryFailedCallOfTheChainedRepair)
{
    // Every from-to is read (none marked 0), then the net is set to Complex.
    SweepEveryCall<FromToNet>(
        [](FromToNet& d) {
            d.b->Constraint(d.ft, "ORDER_TYPE", 1);
            d.b->Constraint(d.b->FromTo(d.p, "second", d.pin2, d.pin1), "ORDER_TYPE", 1);
            d.b->Pin(d.p, "VPS", Lumo::NPT_VirtualPinSetPin, d.p);
            d.Bind();
            d.Slots({{d.p, "P"}});
        },
        &CFixNet::FixChainedTopologyWithFromTos);
}

TEST(CFixNetTopologyFromTosTest, EveryFailedCallOfThePowerNetRepair)
{
    SweepEveryCall<PowerNet>(
        [](PowerNet& d) {
            d.Bind();
            d.Slots({{d.e, "E"}});
        },
        &CFixNet::FixPowerNetTopology);
}

} // namespace
} // namespace netfix
