// A physical net that two electrical nets claim, and the default classes of nets.
#include "NetFixKit.h"

#include "repairs/nets/CFixNet.h"

#include <algorithm>
#include <functional>

namespace netfix
{
namespace
{

// The physical net P is claimed by E2 (its parent) and by E3 (which lists it too); E3 also has Q.
struct ClaimedNet : NetDesign
{
    Index e2 = b->ElectricalNet(cfg, "E2");
    Index e3 = b->ElectricalNet(cfg, "E3");
    Index p = b->PhysicalNet(cfg, "P", e2);

    ClaimedNet() { b->AppendOnly(e3, Field::physicalNets, p); }

    void Finding() { Slots({{p, "P"}, {e2, "E2"}, {e3, "E3"}}); }
};

struct KeepCase
{
    const char* name;
    std::function<void(ClaimedNet&)> change;
    const char* outcome;
    int keeper;         // 2 or 3: the net that holds P afterwards
    bool loserKept;     // the other net still exists
    size_t pairsLeft;   // differential pairs still alive
};

TEST(CFixNetClassesTest, WhichNetKeepsThePhysicalNet)
{
    const KeepCase cases[] = {
        {"neither in a pair: the first keeps it", [](ClaimedNet&) {}, "fixed", 2, false, 0},
        {"the second keeps further nets and stays",
         [](ClaimedNet& d) { d.b->PhysicalNet(d.cfg, "Q", d.e3); }, "fixed", 2, true, 0},
        {"only the second in a pair: it keeps P",
         [](ClaimedNet& d) {
             d.b->PhysicalNet(d.cfg, "Q", d.e3);
             d.b->DiffPair(d.cfg, "D-B", d.e3, d.b->ElectricalNet(d.cfg, "X"));
         },
         "fixed", 3, false, 1},
        {"both in one pair: deleted once",
         [](ClaimedNet& d) { d.b->DiffPair(d.cfg, "D-A", d.e2, d.e3); },
         "fixed: Diffpair D-A was removed. ", 2, false, 0},
        {"both in different pairs: both deleted",
         [](ClaimedNet& d) {
             d.b->DiffPair(d.cfg, "D-A", d.e2, d.b->ElectricalNet(d.cfg, "X"));
             d.b->DiffPair(d.cfg, "D-B", d.e3, d.b->ElectricalNet(d.cfg, "Y"));
         },
         "fixed: Diffpair D-A was removed. Diffpair D-B was removed. ", 2, false, 0},
    };
    for (const KeepCase& c : cases)
    {
        ClaimedNet d;
        c.change(d);
        d.Bind();
        d.Finding();
        EXPECT_EQ(Outcome(CFixNet::FixPhysNetInManyElecNets()), c.outcome) << c.name;
        const Index keeper = c.keeper == 2 ? d.e2 : d.e3;
        const Index loser = c.keeper == 2 ? d.e3 : d.e2;
        EXPECT_EQ(d.ref(d.p, Field::parentElectricalNet), keeper) << c.name;
        const std::vector<Index> held = d.list(keeper, Field::physicalNets);
        EXPECT_EQ(std::count(held.begin(), held.end(), d.p), 1) << c.name;
        EXPECT_EQ(d.Alive(loser), c.loserKept) << c.name;
        EXPECT_EQ(d.store().AllLive(Kind::DiffPair).size(), c.pairsLeft) << c.name;
        ASSERT_EQ(d.updates().size(), 1u) << c.name;
        EXPECT_EQ(d.updates()[0], d.p.ToText() + " | " + keeper.ToText()) << c.name;
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;
    }
}

TEST(CFixNetClassesTest, KeepingNetGoneFallsBackOnTheOwnParent)
{
    {
        // The keeping net is gone and P names the giving net: already consistent.
        ClaimedNet d;
        d.b->SetRefOnly(d.p, Field::parentElectricalNet, d.e3);
        d.b->Delete(d.e2);
        d.Bind();
        d.Finding();
        EXPECT_EQ(Outcome(CFixNet::FixPhysNetInManyElecNets()), "fixed");
        EXPECT_TRUE(d.Alive(d.e3));
        EXPECT_TRUE(d.updates().empty());
    }
    {
        // The keeping net is gone and P names a third net Q: the giving net loses P and goes.
        ClaimedNet d;
        const Index q = d.b->ElectricalNet(d.cfg, "Q");
        d.b->Link(d.p, Field::parentElectricalNet, q);
        d.b->Delete(d.e2);
        d.Bind();
        d.Finding();
        EXPECT_EQ(Outcome(CFixNet::FixPhysNetInManyElecNets()), "fixed");
        EXPECT_FALSE(d.Alive(d.e3));
        EXPECT_EQ(d.ref(d.p, Field::parentElectricalNet), q);
        EXPECT_TRUE(d.updates().empty());
    }
    {
        // The giving net is gone on the main path: fixed, nothing moved.
        ClaimedNet d;
        d.b->Delete(d.e3);
        d.Bind();
        d.Finding();
        EXPECT_EQ(Outcome(CFixNet::FixPhysNetInManyElecNets()), "fixed");
        EXPECT_TRUE(d.updates().empty());
    }
}

TEST(CFixNetClassesTest, EveryFailedCallOfTheKeepingRepair)
{
    SweepEveryCall<ClaimedNet>(
        [](ClaimedNet& d) {
            d.b->DiffPair(d.cfg, "D-A", d.e2, d.e3);
            d.Bind();
            d.Finding();
        },
        &CFixNet::FixPhysNetInManyElecNets);
}

TEST(CFixNetClassesTest, DefaultNetClassOfAPhysicalNet)
{
    NetDesign d;
    const Index p = d.b->PhysicalNet(d.cfg, "P");
    d.b->SetRefOnly(p, Field::netClass, Index(99ull | (24ull << 56)));
    d.Bind();
    d.Slots({{Index(), "LOST"}, {p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::SetDefaultNetClassOfPhysNet()), "fixed");
    EXPECT_EQ(d.name(d.ref(p, Field::netClass)), "(Default)");
    EXPECT_EQ(d.OwnLocks(), 0u);

    d.Slots({{p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::SetDefaultNetClassOfPhysNet()), "not fixed, error: Cannot find physical net.");
    d.b->Delete(p);
    d.Slots({{Index(), "LOST"}, {p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::SetDefaultNetClassOfPhysNet()), "not fixed");
}

TEST(CFixNetClassesTest, DefaultClassesMissingFromTheDesign)
{
    NetDesign d;
    const Index p = d.b->PhysicalNet(d.cfg, "P");
    const Index e = d.b->ElectricalNet(d.cfg, "E");
    for (Index c : d.list(d.design, Field::netClasses))
        d.b->Delete(c);
    for (Index c : d.list(d.design, Field::constraintClasses))
        d.b->Delete(c);
    d.Bind();
    d.Slots({{Index(), ""}, {p, "P"}});
    EXPECT_EQ(Outcome(CFixNet::SetDefaultNetClassOfPhysNet()), "not fixed");
    d.Slots({{e, "E"}});
    EXPECT_EQ(Outcome(CFixNet::SetAllConstraintClassOfElecNet()), "not fixed");
    // An empty slot is not tested: the fetch fails.
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::SetAllConstraintClassOfElecNet()), "not fixed, failed");
}

TEST(CFixNetClassesTest, AllConstraintClassOfAnElectricalNet)
{
    NetDesign d;
    const Index e = d.b->ElectricalNet(d.cfg, "E");
    d.Bind();
    d.Slots({{e, "E"}});
    EXPECT_EQ(Outcome(CFixNet::SetAllConstraintClassOfElecNet()), "fixed");
    EXPECT_EQ(d.name(d.ref(e, Field::constraintClass)), "(All)");
    EXPECT_EQ(d.OwnLocks(), 0u);
}

} // namespace
} // namespace netfix

namespace netfix
{
namespace
{

// A run whose test opened no database has no UID manager: every repair fails, calling nothing.
TEST(CFixNetClassesTest, WithoutADatabaseEveryRepairFailsWithoutACall)
{
    const FixMethod methods[] = {
        &CFixNet::FixChainedTopologyWithFromTos, &CFixNet::FixPowerNetTopology,
        &CFixNet::RemoveDiffPairWithEqualNets,   &CFixNet::RemoveBrokenDiffPair,
        &CFixNet::RemoveIllegalDiffPair,         &CFixNet::FixElecNetInManyDiffPairs,
        &CFixNet::DeleteInvalidElecNet,          &CFixNet::DeleteElecNetWithWrongRefs,
        &CFixNet::UnifyDiffPairNetClasses,       &CFixNet::FixAnalogElecNetManyPhysNets,
        &CFixNet::FixCompositeElecNetWithoutPinPairs, &CFixNet::FixPhysNetInManyElecNets,
        &CFixNet::SetDefaultNetClassOfPhysNet,   &CFixNet::SetAllConstraintClassOfElecNet,
        &CFixNet::AddMissingParentElecNet,       &CFixNet::RenameNonUniquePhysNet,
        &CFixNet::RebuildNetsFromFlatNet,        &CFixNet::RenamePhysNetToFlatNetName,
        &CFixNet::DeletePhysNetWithoutFlatNet,   &CFixNet::RenameDuplicatedPinSet,
        &CFixNet::FixPinSetInNonComplexNet,      &CFixNet::FixVirtualPinSetPinCount,
        &CFixNet::FixPinSetContainingPinSet,     &CFixNet::RenameDuplicatedVirtualPin,
    };
    ClaimedNet d;
    const Index pin = d.b->Pin(d.p, "VP", Lumo::NPT_VirtualPin, d.p);
    const Index pair = d.b->DiffPair(d.cfg, "DP", d.e2, d.e3);
    d.Bind();
    FixContext::s_fixUIDManager = nullptr;
    // Slots of every kind a repair tests, so that each gets past its slot checks. One name for all,
    // so that the renames go on to the database; the rename to the flat net's name then has nothing to
    // do, by the names alone.
    const std::vector<std::vector<std::pair<Index, std::string>>> findings = {
        {{d.p, "N"}, {d.e2, "N"}, {d.e3, "N"}},
        {{d.e2, "N"}, {pair, "N"}},
        {{pair, "N"}, {d.p, "N"}},
        {{pin, "N"}, {pin, "N"}},
    };
    for (FixMethod method : methods)
    {
        for (const auto& finding : findings)
        {
            d.Slots(finding);
            const CFixStatus status = method();
            EXPECT_TRUE(!status.fixed || method == &CFixNet::RenamePhysNetToFlatNetName);
        }
    }
    EXPECT_EQ(d.counts().Total(), 0u);
}

} // namespace
} // namespace netfix
