// The repairs that keep the Norv nets in step with the flat nets of the schematic.
#include "NetFixKit.h"

#include "repairs/nets/CFixNet.h"

namespace netfix
{
namespace
{

// Schematic helpers: flat nets with a page net, forwarded components and design pins on them.
struct FlatDesign : NetDesign
{
    Index norvComp = b->NorvComp(cfg, "U1");
    int count = 0;

    Index flat(const std::string& name, Index phys = Index())
    {
        const Index f = b->FlatNet(sch, name, phys);
        b->Add(Kind::Path, b->Add(Kind::PageNet, f));
        return f;
    }
    Index logicComp(bool forwarded)
    {
        const Index comp = b->LogicComp(sch, "L" + std::to_string(++count));
        b->SetInt(comp, Field::types, forwarded ? (1 << Lumo::CT_ForwardPCB) : 0);
        return comp;
    }
    Index designPin(Index flatNet, Index comp, bool forwarded)
    {
        const Index pin = b->DesignPin(comp, "D" + std::to_string(++count));
        b->SetInt(pin, Field::types, forwarded ? (1 << Lumo::PT_ForwardPCB) : 0);
        b->Link(store().List(flatNet, Field::pageNets).front(), Field::pinsConnected, pin);
        return pin;
    }
    // A component net pin, on phys when given, bound to the design pin when given.
    Index norvPin(Index phys = Index(), Index design = Index())
    {
        const Index pin = b->Pin(norvComp, "N" + std::to_string(++count), Lumo::NPT_NetPin, phys);
        if (!design.IsEmpty())
            b->Link(pin, Field::flatPins, design);
        return pin;
    }
};

TEST(CFixNetFlatNetsTest, MissingParentElectricalNet)
{
    FlatDesign d;
    // Without connected pins but with a parent: fixed, nothing created.
    const Index e = d.b->ElectricalNet(d.cfg, "E");
    const Index parented = d.b->PhysicalNet(d.cfg, "A", e);
    // Without connected pins and without a parent: a new net and an update.
    const Index orphan = d.b->PhysicalNet(d.cfg, "B");
    // With connected pins: only the update, which makes the parent.
    const Index connected = d.b->PhysicalNet(d.cfg, "C");
    const Index f = d.flat("C", connected);
    d.designPin(f, d.logicComp(true), true);
    d.Bind();

    d.Slots({{parented, "A"}});
    EXPECT_EQ(Outcome(CFixNet::AddMissingParentElecNet()), "fixed");
    EXPECT_TRUE(d.updates().empty());
    EXPECT_EQ(d.store().AllLive(Kind::ElectricalNet).size(), 1u);

    d.Slots({{orphan, "B"}});
    EXPECT_EQ(Outcome(CFixNet::AddMissingParentElecNet()), "fixed");
    const Index made = d.ref(orphan, Field::parentElectricalNet);
    EXPECT_EQ(d.name(made), "B");
    ASSERT_EQ(d.updates().size(), 1u);
    EXPECT_EQ(d.updates()[0], orphan.ToText() + " |");

    d.Slots({{connected, "C"}});
    EXPECT_EQ(Outcome(CFixNet::AddMissingParentElecNet()), "fixed");
    EXPECT_TRUE(d.Alive(d.ref(connected, Field::parentElectricalNet)));
    EXPECT_EQ(d.updates().size(), 2u);
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(d.OwnLocks(), 0u);

    d.Slots({{e, "E"}});
    EXPECT_EQ(Outcome(CFixNet::AddMissingParentElecNet()), "not fixed, error: Cannot find physical net.");
    d.b->Delete(orphan);
    d.Slots({{orphan, "B"}});
    EXPECT_EQ(Outcome(CFixNet::AddMissingParentElecNet()), "not fixed");
}

struct RenameCase
{
    const char* name;
    const char* net1;
    const char* net2;
    const char* flat1;
    const char* flat2;
    const char* outcome;
    const char* after1;
    const char* after2;
    bool reload;
};

TEST(CFixNetFlatNetsTest, PhysicalNetsOfOneName)
{
    const RenameCase cases[] = {
        {"each takes its flat net's name", "DATA", "DATA", "DATA", "DATA_B", "fixed", "DATA", "DATA_B", true},
        // Names that differ only in case stay a finding of the case-blind test: not reported fixed.
        {"names that differ only in case", "DATA", "Data", "DATA", "DATA_B", "not fixed", "DATA", "Data", false},
        {"names that differ otherwise", "DATA", "DATA2", "X", "Y", "fixed", "DATA", "DATA2", false},
        {"flat nets of one name", "DATA", "DATA", "F", "F", "not fixed", "DATA", "DATA", false},
        // Flat-net names that differ only in case: renamed, reloaded, but the finding stays.
        {"flat names that differ only in case", "N", "N", "Data", "DATA", "not fixed", "Data", "DATA", true},
    };
    for (const RenameCase& c : cases)
    {
        FlatDesign d;
        const Index p1 = d.b->PhysicalNet(d.cfg, c.net1);
        const Index p2 = d.b->PhysicalNet(d.cfg, c.net2);
        d.flat(c.flat1, p1);
        d.flat(c.flat2, p2);
        d.Bind();
        d.Slots({{p1, c.net1}, {p2, c.net2}});
        EXPECT_EQ(Outcome(CFixNet::RenameNonUniquePhysNet()), c.outcome) << c.name;
        EXPECT_EQ(d.name(p1), c.after1) << c.name;
        EXPECT_EQ(d.name(p2), c.after2) << c.name;
        EXPECT_EQ(CFixMgr::m_bReloadFlag, c.reload) << c.name;
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;
    }
    FlatDesign d;
    d.Bind();
    d.Slots({{Index(), "A"}, {Index(), "A"}});
    EXPECT_EQ(Outcome(CFixNet::RenameNonUniquePhysNet()), "not fixed, error: Cannot find physical net.");
}

TEST(CFixNetFlatNetsTest, NetsRebuiltFromAFlatNet)
{
    FlatDesign d;
    const Index f = d.flat("CLK");
    const Index forwardedComp = d.logicComp(true);
    const Index notForwardedPin = d.designPin(f, forwardedComp, false);
    const Index onPlainComp = d.designPin(f, d.logicComp(false), true);
    const Index good = d.designPin(f, forwardedComp, true);
    d.norvPin(Index(), notForwardedPin);
    d.norvPin(Index(), onPlainComp);
    const Index first = d.norvPin(Index(), good);
    const Index second = d.norvPin(Index(), good);
    d.Bind();
    d.Slots({{f, "CLK"}});
    EXPECT_EQ(Outcome(CFixNet::RebuildNetsFromFlatNet()), "fixed");
    const Index phys = d.ref(f, Field::physicalNet);
    EXPECT_EQ(d.name(phys), "CLK");
    EXPECT_EQ(d.list(phys, Field::pins), std::vector<Index>{first});
    EXPECT_EQ(d.ref(first, Field::parentPhysicalNet), phys);
    EXPECT_TRUE(d.ref(second, Field::parentPhysicalNet).IsEmpty());
    EXPECT_TRUE(d.Alive(d.ref(phys, Field::parentElectricalNet)));
    EXPECT_TRUE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(d.OwnLocks(), 0u);
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::RebuildNetsFromFlatNet()), "not fixed, error: Cannot find flat net.");
}

TEST(CFixNetFlatNetsTest, PhysicalNetTakesItsFlatNetsName)
{
    FlatDesign d;
    const Index p = d.b->PhysicalNet(d.cfg, "clk_old");
    const Index f = d.flat("CLK", p);
    const Index holder = d.b->PhysicalNet(d.cfg, "CLK");
    const Index taken = d.b->PhysicalNet(d.cfg, "CLK_0");
    d.Bind();
    d.Slots({{p, "clk_old"}, {f, "CLK"}});
    EXPECT_EQ(Outcome(CFixNet::RenamePhysNetToFlatNetName()), "fixed");
    EXPECT_EQ(d.name(p), "CLK");
    EXPECT_EQ(d.name(holder), "CLK_1");
    EXPECT_EQ(d.name(taken), "CLK_0");
    EXPECT_TRUE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(d.OwnLocks(), 0u);

    // Equal names: fixed without a single call.
    d.counts().Reset();
    d.Slots({{p, "CLK"}, {f, "CLK"}});
    EXPECT_EQ(Outcome(CFixNet::RenamePhysNetToFlatNetName()), "fixed");
    EXPECT_EQ(d.counts().Total(), 0u);
    d.Slots({{p, "A"}, {Index(), "B"}});
    EXPECT_EQ(Outcome(CFixNet::RenamePhysNetToFlatNetName()), "not fixed, error: Cannot find flat net.");
}

TEST(CFixNetFlatNetsTest, PhysicalNetWithoutFlatNet)
{
    {
        // The flat net is there after all: reload, fixed, nothing changed.
        FlatDesign d;
        const Index p = d.b->PhysicalNet(d.cfg, "P", d.b->ElectricalNet(d.cfg, "E"));
        d.flat("P", p);
        d.Bind();
        d.Slots({{p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::DeletePhysNetWithoutFlatNet()), "fixed");
        EXPECT_TRUE(d.Alive(p));
        EXPECT_TRUE(CFixMgr::m_bReloadFlag);
    }
    {
        // A pin still bound to a design pin: nothing changes.
        FlatDesign d;
        const Index p = d.b->PhysicalNet(d.cfg, "P", d.b->ElectricalNet(d.cfg, "E"));
        const Index other = d.flat("OTHER");
        const Index pin = d.norvPin(p, d.designPin(other, d.logicComp(true), true));
        d.Bind();
        d.Slots({{p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::DeletePhysNetWithoutFlatNet()), "not fixed");
        EXPECT_EQ(d.ref(pin, Field::parentPhysicalNet), p);
        EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    }
    {
        // Without a parent electrical net the pins are disconnected, then the read fails.
        FlatDesign d;
        const Index p = d.b->PhysicalNet(d.cfg, "P");
        const Index pin = d.norvPin(p);
        d.Bind();
        d.Slots({{p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::DeletePhysNetWithoutFlatNet()), "not fixed, failed");
        EXPECT_TRUE(d.ref(pin, Field::parentPhysicalNet).IsEmpty());
        EXPECT_TRUE(d.Alive(p));
        EXPECT_EQ(d.OwnLocks(), 0u);
    }
}

// The parent goes with the net only when it holds no other live physical net.
TEST(CFixNetFlatNetsTest, PhysicalNetWithoutFlatNetKeepsASharedParent)
{
    for (bool shared : {false, true})
    {
        FlatDesign d;
        const Index e = d.b->ElectricalNet(d.cfg, "E");
        const Index p = d.b->PhysicalNet(d.cfg, "P", e);
        const Index pin = d.norvPin(p);
        const Index sibling = shared ? d.b->PhysicalNet(d.cfg, "Q", e) : Index();
        if (!shared)
        {
            // A sibling that is already gone does not count.
            d.b->Delete(d.b->PhysicalNet(d.cfg, "GONE", e));
        }
        d.Bind();
        d.Slots({{p, "P"}});
        EXPECT_EQ(Outcome(CFixNet::DeletePhysNetWithoutFlatNet()), "fixed") << shared;
        EXPECT_FALSE(d.Alive(p));
        EXPECT_TRUE(d.Alive(pin));
        EXPECT_EQ(d.Alive(e), shared);
        EXPECT_EQ(d.ref(sibling, Field::parentElectricalNet), shared ? e : Index());
        EXPECT_TRUE(CFixMgr::m_bReloadFlag);
        EXPECT_EQ(d.OwnLocks(), 0u);
    }
}

TEST(CFixNetFlatNetsTest, EveryFailedCallOfTheDeletion)
{
    // Two orphaned pins, and a parent that keeps a sibling.
    SweepEveryCall<FlatDesign>(
        [](FlatDesign& d) {
            const Index e = d.b->ElectricalNet(d.cfg, "E");
            const Index p = d.b->PhysicalNet(d.cfg, "P", e);
            d.norvPin(p);
            d.norvPin(p);
            d.b->PhysicalNet(d.cfg, "Q", e);
            d.Bind();
            d.Slots({{p, "P"}});
        },
        &CFixNet::DeletePhysNetWithoutFlatNet);
}

TEST(CFixNetFlatNetsTest, EveryFailedCallOfTheRebuild)
{
    SweepEveryCall<FlatDesign>(
        [](FlatDesign& d) {
            const Index f = d.flat("CLK");
            const Index comp = d.logicComp(true);
            d.norvPin(Index(), d.designPin(f, comp, true));
            d.norvPin(Index(), d.designPin(f, comp, true));
            d.Bind();
            d.Slots({{f, "CLK"}});
        },
        &CFixNet::RebuildNetsFromFlatNet);
}

} // namespace
} // namespace netfix
