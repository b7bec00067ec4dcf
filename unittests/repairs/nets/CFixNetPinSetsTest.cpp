// The repairs of pin sets, virtual pin-set pins and virtual pins.
#include "NetFixKit.h"

#include "repairs/nets/CFixNet.h"

#include <functional>

namespace netfix
{
namespace
{

// The physical net P of the electrical net E, with two component pins.
struct PinSetNet : NetDesign
{
    Index e = b->ElectricalNet(cfg, "E");
    Index p = b->PhysicalNet(cfg, "P", e);
    Index comp = b->NorvComp(cfg, "U1");
    Index pin1 = b->Pin(comp, "1", Lumo::NPT_NetPin, p);
    Index pin2 = b->Pin(comp, "2", Lumo::NPT_NetPin, p);

    Index pin(const std::string& name, int kind) { return b->Pin(p, name, kind, p); }
    // A pin set of the kind with its members and a virtual pin-set pin.
    Index set(const std::string& name, int kind, std::vector<Index> members)
    {
        const Index s = pin(name, kind);
        for (Index m : members)
            b->Link(s, Field::members, m);
        b->Link(s, Field::virtualPinSetPin, pin("V" + name, Lumo::NPT_VirtualPinSetPin));
        return s;
    }
};

TEST(CFixNetPinSetsTest, DuplicatedPinSetTakesTheFirstFreeNumberedName)
{
    PinSetNet d;
    const Index set = d.pin("Group", Lumo::NPT_PinSetT);
    d.pin("P_1", Lumo::NPT_VirtualPin);
    d.pin("p_2", Lumo::NPT_PinSetMst);
    d.b->Pin(d.comp, "P_3", Lumo::NPT_NetPin, d.p); // a net pin does not hold the name
    d.Bind();
    d.Slots({{d.p, "P"}, {set, "P"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedPinSet()), "fixed");
    EXPECT_EQ(d.name(set), "P_3");
    EXPECT_EQ(d.OwnLocks(), 0u);

    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedPinSet()), "not fixed, error: Cannot load pinset.");
    d.Slots({{Index(), ""}, {set, "P"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedPinSet()), "not fixed, error: Cannot load physical net.");
    d.b->Delete(set);
    d.Slots({{d.p, "P"}, {set, "P"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedPinSet()), "fixed");
    // A name search that fails leaves the pin set alone.
    const Index other = d.pin("Other", Lumo::NPT_PinSetT);
    d.faults().FailOn(d.p, "FindPin");
    d.Slots({{d.p, "P"}, {other, "Other"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedPinSet()), "not fixed");
    EXPECT_EQ(d.name(other), "Other");
}

struct ComplexCase
{
    const char* name;
    std::function<void(PinSetNet&)> change;
    const char* outcome;
    const char* elecAfter; // the electrical net's ORDER_TYPE afterwards
};

TEST(CFixNetPinSetsTest, PinSetInANetThatIsNotComplex)
{
    const ComplexCase cases[] = {
        {"a single physical net", [](PinSetNet&) {}, "fixed", "Complex"},
        {"another net reading MST makes Mixed",
         [](PinSetNet& d) { d.b->Constraint(d.b->PhysicalNet(d.cfg, "Q", d.e), "ORDER_TYPE", "MST"); }, "fixed",
         "Mixed"},
        {"another net without a value counts as Complex",
         [](PinSetNet& d) { d.b->PhysicalNet(d.cfg, "Q", d.e); }, "fixed", "Complex"},
        {"only Chained and MST pin sets", [](PinSetNet& d) { d.b->Delete(d.store().List(d.p, Field::pins)[2]); },
         "not fixed", "MST"},
    };
    for (const ComplexCase& c : cases)
    {
        PinSetNet d;
        d.b->Constraint(d.p, "ORDER_TYPE", "MST");
        d.b->Constraint(d.e, "ORDER_TYPE", "MST");
        d.set("T", Lumo::NPT_PinSetT, {d.pin1});
        d.set("C", Lumo::NPT_PinSetChained, {d.pin2});
        c.change(d);
        d.Bind();
        d.Slots({{d.p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::FixPinSetInNonComplexNet()), c.outcome) << c.name;
        EXPECT_EQ(d.Value(d.e, "ORDER_TYPE"), c.elecAfter) << c.name;
        EXPECT_EQ(d.Value(d.p, "ORDER_TYPE"), std::string(c.outcome) == "fixed" ? "Complex" : "MST") << c.name;
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;
    }
}

TEST(CFixNetPinSetsTest, PinSetInANetThatIsNotComplexEdges)
{
    PinSetNet d;
    d.b->Constraint(d.p, "ORDER_TYPE", "MST");
    d.set("T", Lumo::NPT_PinSetBalanced, {d.pin1});
    d.Bind();
    // An electrical net without a readable ORDER_TYPE is left alone.
    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixPinSetInNonComplexNet()), "fixed");
    EXPECT_EQ(d.Value(d.e, "ORDER_TYPE"), "-");
    d.Slots({{d.e, "E"}});
    EXPECT_EQ(Outcome(CFixNet::FixPinSetInNonComplexNet()), "not fixed, error: Cannot find physical net.");
    d.b->Delete(d.p);
    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixPinSetInNonComplexNet()), "not fixed");
}

// A refused write of "Complex" on the reported net leaves the finding standing: the writer's status.
TEST(CFixNetPinSetsTest, PinSetInANetWhoseTopologyCannotBeWritten)
{
    PinSetNet d;
    const Index topology = d.b->Constraint(d.p, "ORDER_TYPE", "MST");
    d.b->Constraint(d.e, "ORDER_TYPE", "MST");
    d.set("T", Lumo::NPT_PinSetT, {d.pin1});
    d.Bind();
    d.faults().FailOn(topology, "SetValue");
    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixPinSetInNonComplexNet()), "not fixed");
    EXPECT_EQ(d.Value(d.e, "ORDER_TYPE"), "Complex"); // the rest still ran
    d.faults().ClearAll();
    d.faults().FailOn(topology, "Lock");
    EXPECT_EQ(Outcome(CFixNet::FixPinSetInNonComplexNet()), "not fixed, failed");
    EXPECT_EQ(d.OwnLocks(), 0u);
}

TEST(CFixNetPinSetsTest, VirtualPinSetPinsWithoutAPinSet)
{
    PinSetNet d;
    d.set("A", Lumo::NPT_PinSetT, {d.pin1});
    d.set("B", Lumo::NPT_PinSetT, {d.pin2});
    const Index orphan = d.pin("VX", Lumo::NPT_VirtualPinSetPin);
    d.Bind();
    d.Slots({{d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixVirtualPinSetPinCount()), "fixed");
    EXPECT_FALSE(d.Alive(orphan));
    EXPECT_EQ(d.store().AllLive(Kind::NorvPin).size(), 6u);
    EXPECT_EQ(Outcome(CFixNet::FixVirtualPinSetPinCount()), "not fixed");
    d.Slots({{d.pin1, "1"}});
    EXPECT_EQ(Outcome(CFixNet::FixVirtualPinSetPinCount()), "not fixed, error: Cannot find physical net.");
}

TEST(CFixNetPinSetsTest, NestedPinSetsAreDeletedWithTheirVirtualPins)
{
    PinSetNet d;
    const Index q = d.b->PhysicalNet(d.cfg, "Q", d.e);
    const Index c = d.set("C", Lumo::NPT_PinSetMst, {d.pin1});
    const Index dd = d.set("D", Lumo::NPT_PinSetChained, {d.pin2});
    const Index a = d.set("A", Lumo::NPT_PinSetT, {c, dd});
    const Index b2 = d.set("B", Lumo::NPT_PinSetT, {d.pin1});
    const Index vc = d.ref(c, Field::virtualPinSetPin);
    const Index vd = d.ref(dd, Field::virtualPinSetPin);
    d.Bind();
    d.Slots({{a, "A"}, {c, "C"}});
    EXPECT_EQ(Outcome(CFixNet::FixPinSetContainingPinSet()), "fixed");
    for (Index gone : {c, vc, dd, vd})
        EXPECT_FALSE(d.Alive(gone)) << d.name(gone);
    EXPECT_TRUE(d.Alive(a));
    EXPECT_TRUE(d.Alive(b2));
    EXPECT_TRUE(d.Alive(d.pin1));
    for (Index net : {d.e, d.p, q})
        EXPECT_EQ(d.Value(net, "TOPO_ORDERED"), "No");
    // The deletions went in that order.
    EXPECT_EQ(d.counts().Get("DeletePin"), 4u);
    // Nothing is left to delete.
    EXPECT_EQ(Outcome(CFixNet::FixPinSetContainingPinSet()), "not fixed");
    d.Slots({{a, "A"}, {d.p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::FixPinSetContainingPinSet()), "not fixed, error: Cannot find pin set.");
    EXPECT_EQ(d.OwnLocks(), 0u);
}

TEST(CFixNetPinSetsTest, DuplicatedVirtualPinTakesTheSmallestFreeName)
{
    PinSetNet d;
    const Index q = d.b->PhysicalNet(d.cfg, "Q", d.e);
    const Index dup = d.pin("VP", Lumo::NPT_VirtualPin);
    d.b->Pin(q, "VP", Lumo::NPT_VirtualPin, q);
    d.b->Pin(q, "VP1", Lumo::NPT_VirtualPin, q);
    d.pin("VP2", Lumo::NPT_VirtualPin);
    d.pin("VP4", Lumo::NPT_VirtualPin);
    d.pin("VP3", Lumo::NPT_PinSetT); // not a virtual pin
    d.b->Pin(q, "vp3", Lumo::NPT_VirtualPin, q); // case counts
    d.Bind();
    d.Slots({{dup, "VP"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedVirtualPin()), "fixed");
    EXPECT_EQ(d.name(dup), "VP3");
    EXPECT_EQ(d.OwnLocks(), 0u);

    d.Slots({{d.pin1, "1"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedVirtualPin()), "not fixed");
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedVirtualPin()), "not fixed, error: Cannot find virtual pin.");
    // Nets that cannot be walked give no name: not fixed with their failure, and the pin's lock
    // is released.
    d.faults().FailOn(d.cfg, "GetIterPhysicalNets");
    d.Slots({{dup, "VP3"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedVirtualPin()), "not fixed, failed");
    EXPECT_EQ(d.OwnLocks(), 0u);
    d.b->Delete(dup);
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedVirtualPin()), "fixed");
}

TEST(CFixNetPinSetsTest, FirstVirtualPinNameIsVP1)
{
    PinSetNet d;
    const Index vp = d.pin("X", Lumo::NPT_VirtualPin);
    d.pin("X", Lumo::NPT_VirtualPin);
    d.Bind();
    std::string name;
    ASSERT_TRUE(CFixNet::MakeUniqueVirtualPinName(name));
    EXPECT_EQ(name, "VP1");
    d.Slots({{vp, "X"}});
    EXPECT_EQ(Outcome(CFixNet::RenameDuplicatedVirtualPin()), "fixed");
    EXPECT_EQ(d.name(vp), "VP1");
    ASSERT_TRUE(CFixNet::MakeUniqueVirtualPinName(name));
    EXPECT_EQ(name, "VP2");
}

TEST(CFixNetPinSetsTest, EveryFailedCallOfThePinSetRepairs)
{
    SweepEach<PinSetNet>({
        {"nested pin sets",
         [](PinSetNet& d) {
             const Index c = d.set("C", Lumo::NPT_PinSetMst, {d.pin1});
             const Index a = d.set("A", Lumo::NPT_PinSetT, {c, d.pin2});
             d.Bind();
             d.Slots({{a, "A"}, {c, "C"}});
         },
         &CFixNet::FixPinSetContainingPinSet},
        {"pin set in a net that is not complex",
         [](PinSetNet& d) {
             d.b->Constraint(d.p, "ORDER_TYPE", "MST");
             d.b->Constraint(d.e, "ORDER_TYPE", "MST");
             d.b->Constraint(d.b->PhysicalNet(d.cfg, "Q", d.e), "ORDER_TYPE", "MST");
             d.set("T", Lumo::NPT_PinSetT, {d.pin1});
             d.Bind();
             d.Slots({{d.p, "P"}});
         },
         &CFixNet::FixPinSetInNonComplexNet},
        {"virtual pin-set pin without a pin set",
         [](PinSetNet& d) {
             d.set("A", Lumo::NPT_PinSetT, {d.pin1});
             d.pin("VX", Lumo::NPT_VirtualPinSetPin);
             d.Bind();
             d.Slots({{d.p, "P"}});
         },
         &CFixNet::FixVirtualPinSetPinCount},
        {"duplicated virtual pin",
         [](PinSetNet& d) {
             const Index vp = d.pin("X", Lumo::NPT_VirtualPin);
             d.pin("X", Lumo::NPT_VirtualPin);
             d.Bind();
             d.Slots({{vp, "X"}});
         },
         &CFixNet::RenameDuplicatedVirtualPin},
    });
}

} // namespace
} // namespace netfix
