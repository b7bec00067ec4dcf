// Net writes: UpdateIncremental, new electrical and physical nets, pin connection and component binding.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class NetWritesTest : public LumoFixture {
protected:
    static ListT<Index> L(std::initializer_list<Index> items)
    {
        ListT<Index> l;
        for (Index i : items) l.Add(i);
        return l;
    }
    Index ParentOf(Index net) { return store().Ref(net, Field::parentElectricalNet); }
};

TEST_F(NetWritesTest, UpdateIncrementalDissolvesANetWhosePhysicalNetsAreAllListed)
{
    auto m = Locked(config);
    ASSERT_TRUE(m->UpdateIncremental(L({n1, n2}), L({e1})));
    EXPECT_FALSE(store().IsAlive(e1));
    for (Index n : {n1, n2}) {
        const Index e = ParentOf(n);
        ASSERT_TRUE(store().IsAlive(e));
        EXPECT_EQ(store().Name(n), store().Name(e));
        EXPECT_EQ(std::vector<Index>{n}, store().List(e, Field::physicalNets));
        EXPECT_EQ(store().AllLive(Kind::ConstraintClass).front(), store().Ref(e, Field::constraintClass));
    }
    const auto& records = StandIn::GetRecords(*session);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("UpdateIncremental", records[0].operation);
    EXPECT_EQ((std::vector<Index>{n1, n2}), records[0].physNets);
}

TEST_F(NetWritesTest, UpdateIncrementalLeavesNetsWithUnlistedPhysicalNets)
{
    auto m = Locked(config);
    ASSERT_TRUE(m->UpdateIncremental(L({n1}), L({e1})));   // N2 is not listed
    EXPECT_TRUE(store().IsAlive(e1));
    EXPECT_EQ(e1, ParentOf(n1));
    ASSERT_TRUE(m->UpdateIncremental(L({n1, n2}), L({})));   // no electrical net listed
    EXPECT_TRUE(store().IsAlive(e1));
    EXPECT_EQ(2u, store().AllLive(Kind::ElectricalNet).size());
}

TEST_F(NetWritesTest, UpdateIncrementalGivesOrphansOfDeletedNetsNewNets)
{
    b->ElectricalNet(cfg, "n3");   // takes the name, case-insensitively
    auto m = Locked(config);
    ASSERT_TRUE(m->DeleteElectricalNet(e2));
    ASSERT_TRUE(m->UpdateIncremental(L({}), L({e2})));
    const Index e = ParentOf(n3);
    ASSERT_TRUE(store().IsAlive(e));
    EXPECT_EQ("N3_1", store().Name(e));
}

TEST_F(NetWritesTest, AddElectricalNetMovesThePhysicalNet)
{
    auto m = Locked(config);
    MutableContainerT<INorvElectricalNet> e;
    ASSERT_TRUE(m->AddElectricalNet(e, Net(n2)));
    Index ei;
    e->GetIndex(ei);
    EXPECT_EQ(ei, ParentOf(n2));
    EXPECT_EQ(std::vector<Index>{n1}, store().List(e1, Field::physicalNets));
    EXPECT_EQ("N2", store().Name(ei));
    MutableContainerT<INorvElectricalNet> none;
    EXPECT_EQ("empty container", Text(m->AddElectricalNet(none, ContainerT<const INorvPhysicalNet>())));
}

// The configuration's electrical nets are looked up by name through an index that grows with them: every
// name repeated (in any case) must still be seen, however many nets came before.
TEST_F(NetWritesTest, NewElectricalNetNamesStayUniqueAsTheirIndexGrows)
{
    const int distinct = 1000;
    std::vector<Index> nets;
    for (int i = 0; i < 3 * distinct; ++i)
        nets.push_back(b->PhysicalNet(cfg, ((i + i / distinct) % 2 ? "P" : "p") + std::to_string(i % distinct)));
    auto m = Locked(config);
    for (size_t i = 0; i < nets.size(); ++i) {
        MutableContainerT<INorvElectricalNet> e;
        ASSERT_TRUE(m->AddElectricalNet(e, Net(nets[i]))) << i;
        const int round = static_cast<int>(i) / distinct;   // earlier nets of the same folded name
        const std::string want = store().Name(nets[i]) + (round ? "_" + std::to_string(round) : "");
        ASSERT_EQ(want, store().Name(ParentOf(nets[i]))) << i;
    }
}

TEST_F(NetWritesTest, AddPhysicalNetTakesTheFlatNetAndTheDefaultClass)
{
    Index flat = b->FlatNet(sch, "F", n3);
    IteratorT<const IFlatNet> flats;
    ASSERT_TRUE(config->GetIterFlatNets(flats));
    ASSERT_TRUE(flats.IsValid());
    auto m = Locked(config);
    MutableContainerT<INorvPhysicalNet> pn;
    ASSERT_TRUE(m->AddPhysicalNet(pn, "NEW", *flats));
    Index pi;
    pn->GetIndex(pi);
    EXPECT_EQ(pi, store().Ref(flat, Field::physicalNet));
    EXPECT_EQ(flat, store().Ref(n3, Field::flatNet));   // the old net keeps its one-sided reference
    const Index def = store().List(design, Field::netClasses).front();
    EXPECT_EQ(def, store().Ref(pi, Field::netClass));
    EXPECT_TRUE(store().List(def, Field::physicalNets).back() == pi);
    ContainerT<const INorvPhysicalNet> byFlat;
    ASSERT_TRUE(config->GetPhysicalNetByFlatNet(flat, byFlat));
}

TEST_F(NetWritesTest, ConnectAndDisconnectPins)
{
    auto pin = Locked(Fetch(p1, &IUIDManager::GetNorvPin));
    auto net3 = Locked(Net(n3));
    ASSERT_TRUE(net3->ConnectPin(*pin));
    EXPECT_EQ(n3, store().Ref(p1, Field::parentPhysicalNet));
    EXPECT_EQ(std::vector<Index>{p2}, store().List(n1, Field::pins));
    ASSERT_TRUE(net3->DisconnectPin(*pin));
    EXPECT_TRUE(store().Ref(p1, Field::parentPhysicalNet).IsEmpty());
    EXPECT_EQ("not a child of this object: " + p1.ToText(), Text(net3->DisconnectPin(*pin)));
    // listed without being the parent (the pin listed by two nets)
    b->AppendOnly(n3, Field::pins, p2);
    auto pin2 = Locked(Fetch(p2, &IUIDManager::GetNorvPin));
    ASSERT_TRUE(net3->DisconnectPin(*pin2));
    EXPECT_EQ(n1, store().Ref(p2, Field::parentPhysicalNet));
}

TEST_F(NetWritesTest, AddLogicCompBindsByPinNumberAndCreatesNothingWithAList)
{
    Index lc = b->LogicComp(sch, "U1");
    Index d1 = b->DesignPin(lc, "U1.1", "1");
    Index d2 = b->DesignPin(lc, "U1.2", "2");
    Index d3 = b->DesignPin(lc, "U1.3", "3");
    Index flat = b->FlatNet(sch, "F3", n3);
    Index page = b->Add(Kind::PageNet, flat);
    b->Link(page, Field::pinsConnected, d3);
    auto comp = Locked(Fetch(u1, &IUIDManager::GetNorvComp));
    auto logic = Locked(Fetch(lc, &IUIDManager::GetComp));
    ListT<ContainerT<const INorvPin>> norvPins;
    norvPins.Add(Fetch(p2, &IUIDManager::GetNorvPin));   // the pin of number 1 is missing
    ListT<ContainerT<const IPin>> designPins;
    for (Index d : {d1, d2, d3, d2}) designPins.Add(Fetch(d, &IUIDManager::GetPin));
    const size_t before = store().RecordCount();
    ASSERT_TRUE(comp->AddLogicComp(*logic, norvPins, designPins));
    EXPECT_EQ(before, store().RecordCount());
    EXPECT_EQ(d2, store().Ref(p2, Field::designPin));
    EXPECT_EQ(std::vector<Index>{p2}, store().List(d2, Field::norvPins));
    EXPECT_TRUE(store().Ref(p1, Field::designPin).IsEmpty());
    EXPECT_EQ(std::vector<Index>{lc}, store().List(u1, Field::logicComps));

    // without a list, missing pins are made and connected through their flat net
    ASSERT_TRUE(comp->AddLogicComp(*logic, ListT<ContainerT<const INorvPin>>(), designPins));
    EXPECT_EQ(d1, store().Ref(p1, Field::designPin));
    const std::vector<Index> pins3 = store().List(d3, Field::norvPins);
    ASSERT_EQ(1u, pins3.size());
    EXPECT_EQ("3", store().Name(pins3[0]));
    EXPECT_EQ(n3, store().Ref(pins3[0], Field::parentPhysicalNet));

    ASSERT_TRUE(comp->RemoveLogicComp(*logic));
    EXPECT_TRUE(store().Ref(p1, Field::designPin).IsEmpty());
    EXPECT_TRUE(store().List(d1, Field::norvPins).empty());
    EXPECT_TRUE(store().List(p1, Field::flatPins).empty());
}

TEST_F(NetWritesTest, SetNetClassKeepsBothSides)
{
    auto d = Locked(Design());
    MutableContainerT<INorvNetClass> nc;
    ASSERT_TRUE(d->AddNetClass(nc, "FAST"));
    auto net = Locked(Net(n1));
    ASSERT_TRUE(net->SetNetClass(*nc));
    Index fast;
    nc->GetIndex(fast);
    EXPECT_EQ(fast, store().Ref(n1, Field::netClass));
    EXPECT_EQ(std::vector<Index>{n1}, store().List(fast, Field::physicalNets));
    EXPECT_TRUE(StandIn::IsModified(*session));
}

}  // namespace
}  // namespace LumoTest
