// Broken designs stated with the builder read back as stated; session-level records and backups.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class BuilderTest : public LumoFixture {};

TEST_F(BuilderTest, LinkFillsBothSidesAndOneSidedSettersDoNot)
{
    EXPECT_EQ(e1, store().Ref(n1, Field::parentElectricalNet));
    EXPECT_EQ((std::vector<Index>{n1, n2}), store().List(e1, Field::physicalNets));
    EXPECT_EQ(u1, store().Ref(p1, Field::parentNorvComp));
    EXPECT_EQ((std::vector<Index>{p1, p2}), store().List(n1, Field::pins));
    EXPECT_EQ(std::vector<Index>{u1}, store().List(part, Field::norvComps));

    Index n4 = b->PhysicalNet(cfg, "N4");
    b->SetRefOnly(n4, Field::parentElectricalNet, e1);   // back reference, not listed
    b->AppendOnly(e2, Field::physicalNets, n1);          // listed by a second net
    IteratorT<const INorvPhysicalNet> it;
    ASSERT_TRUE(ENet(e1)->GetIterPhysicalNets(it));
    EXPECT_EQ((std::vector<std::string>{"N1", "N2"}), Names(it));
    ContainerT<const INorvElectricalNet> parent;
    ASSERT_TRUE(Net(n4)->GetParentElectricalNet(parent));
    ASSERT_TRUE(ENet(e2)->GetIterPhysicalNets(it));
    EXPECT_EQ((std::vector<std::string>{"N3", "N1"}), Names(it));
}

TEST_F(BuilderTest, DiffPairAndPartPinPairCompleteOneWay)
{
    Index dp = b->DiffPair(cfg, "CLK", e1, e2);
    EXPECT_EQ(dp, store().Ref(e1, Field::parentDiffPair));
    EXPECT_EQ(dp, store().Ref(e2, Field::parentDiffPair));
    const std::vector<Index> pins = store().List(part, Field::partPins);
    Index pair = b->Add(Kind::PartPinPair, part, "1-2");
    b->Link(pair, Field::firstPartPin, pins[0]);
    b->Link(pair, Field::secondPartPin, pins[1]);
    ListT<NorvObjectInfo> pairs;
    ASSERT_TRUE(Fetch(pins[1], &IUIDManager::GetNorvPartPin)->GetParentPartPinPair(pairs));
    ASSERT_EQ(1, pairs.Count());
    EXPECT_EQ(pair, pairs.GetIterator()->index);
    b->Invalid(pins[1]);
    ContainerT<const INorvPartPin> second;
    ASSERT_TRUE(Fetch(pair, &IUIDManager::GetNorvPartPinPair)->GetSecondPartPin(second));
    EXPECT_FALSE(second.IsValid());
}

TEST_F(BuilderTest, ObjectOwnedButMissingFromItsOwnersListAndObjectWithoutOwner)
{
    Index hidden = b->PhysicalNet(cfg, "HIDDEN");
    b->GetStore().ClearList(cfg, Field::physicalNets);
    b->AppendOnly(cfg, Field::physicalNets, n1);
    IteratorT<const INorvPhysicalNet> it;
    ASSERT_TRUE(config->GetIterPhysicalNets(it));
    EXPECT_EQ((std::vector<std::string>{"N1"}), Names(it));
    ContainerT<const INorvPhysicalNet> c;
    EXPECT_TRUE(config->GetPhysicalNet(hidden, c));   // still owned by the configuration
    Index orphan = b->Add(Kind::PinPair, Index(), "ORPHAN");
    ContainerT<const INorvElectricalNet> owner;
    EXPECT_EQ("no reference", Text(Fetch(orphan, &IUIDManager::GetNorvPinPair)->GetParentElectricalNet(owner)));
}

TEST_F(BuilderTest, VirtualPinSetPinAndDesignPinRelations)
{
    Index set = b->Pin(n1, "PS1", NPT_PinSetBalanced);
    Index vps = b->Pin(n1, "VPS1", NPT_VirtualPinSetPin);
    b->Link(set, Field::virtualPinSetPin, vps);
    b->AppendOnly(set, Field::members, p1);
    b->AppendOnly(set, Field::members, p2);
    EXPECT_EQ(set, store().Ref(vps, Field::parentPin));
    ContainerT<const INorvPin> parentSet;
    ASSERT_TRUE(Fetch(vps, &IUIDManager::GetNorvPin)->GetParentPin(parentSet));
    IteratorT<const INorvPin> members;
    ASSERT_TRUE(parentSet->GetIterPins(members, BitContainerT<ENorvPinType>(NPT_NetPin)));
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), Names(members));

    Index lc = b->LogicComp(sch, "U1");
    Index d1 = b->DesignPin(lc, "U1.1", "1");
    b->Link(p1, Field::designPin, d1);
    EXPECT_EQ(std::vector<Index>{d1}, store().List(p1, Field::flatPins));
    EXPECT_EQ(std::vector<Index>{p1}, store().List(d1, Field::norvPins));
    ListT<Index> byPin;
    ASSERT_TRUE(config->GetListNorvPinByPin(byPin, d1));
    EXPECT_EQ(1, byPin.Count());
    String number;
    ASSERT_TRUE(Fetch(d1, &IUIDManager::GetPin)->GetAttribute("Pin Number", number, AT_3));
    EXPECT_EQ("1", number.str());
    ASSERT_TRUE(Fetch(d1, &IUIDManager::GetPin)->GetAttribute("Pin Number", number, AT_2));
    EXPECT_EQ("", number.str());
}

TEST_F(BuilderTest, SchematicPinsOfAPhysicalNetComeFromItsFlatNetUnlessGiven)
{
    Index lc = b->LogicComp(sch, "U1");
    Index d1 = b->DesignPin(lc, "U1.1", "1");
    Index d2 = b->DesignPin(lc, "U1.2", "2");
    Index flat = b->FlatNet(sch, "F1", n1);
    for (Index d : {d1, d2, d1}) {
        Index page = b->Add(Kind::PageNet, flat);
        b->Link(page, Field::pinsConnected, d);
    }
    IteratorT<const IPin> pins;
    ASSERT_TRUE(Net(n1)->GetIterPinsConnected(pins));
    EXPECT_EQ((std::vector<std::string>{"U1.1", "U1.2"}), Names(pins));
    ASSERT_TRUE(Net(n2)->GetIterPinsConnected(pins));
    EXPECT_FALSE(pins.IsValid());
    b->Literal(n1, Field::pinsConnected);   // a given (empty) list overrides the flat net's pins
    ASSERT_TRUE(Net(n1)->GetIterPinsConnected(pins));
    EXPECT_FALSE(pins.IsValid());
    b->AppendOnly(n2, Field::pinsConnected, d2);
    ASSERT_TRUE(Net(n2)->GetIterPinsConnected(pins));
    EXPECT_EQ((std::vector<std::string>{"U1.2"}), Names(pins));
    IteratorT<const INet> nets;
    ASSERT_TRUE(Fetch(d1, &IUIDManager::GetPin)->GetIterNetsConnected(nets));
    int count = 0;
    ASSERT_TRUE(nets.GetCount(count));
    EXPECT_EQ(2, count);
}

TEST_F(BuilderTest, RecordedCallsAndBackups)
{
    auto m = Locked(config);
    ASSERT_TRUE(m->Synchronize(true));
    b->Client("ws-17:4711", {"Kravik (FE NORV)", "Viewer"});
    GIndex g;
    ASSERT_TRUE(session->RequestProjectBackup(g, PBT_8, "before", "clear"));
    EXPECT_EQ(OT_Backup, g.GetType());
    auto m2 = Locked(Net(n1));
    ASSERT_TRUE(m2->SetName("CHANGED"));
    const auto& backups = StandIn::GetBackups(*session);
    ASSERT_EQ(1u, backups.size());
    EXPECT_EQ("before", backups[0].text1);
    ASSERT_EQ(1u, backups[0].snapshots.size());
    EXPECT_EQ(PBT_8, backups[0].type);
    const auto& records = StandIn::GetRecords(*session);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("Synchronize", records[0].operation);
    EXPECT_TRUE(records[0].flag);
    EXPECT_EQ(cfg, records[0].receiver);
    EXPECT_EQ("RequestProjectBackup", records[1].operation);
}

TEST_F(BuilderTest, SessionIdentityAndClients)
{
    SubClientInfo info;
    ASSERT_TRUE(session->GetSubClientInfo(info));
    EXPECT_EQ("standin-host", info.address.str());
    EXPECT_EQ("Kravik (FE NORV)", info.subClientName.str());
    b->Client("a:1", {"X (NORV)"});
    ListT<ClientInfo> clients;
    ASSERT_TRUE(session->GetListClients(clients));
    ASSERT_EQ(1, clients.Count());
    EXPECT_EQ("a:1", clients.GetIterator()->name.str());
    ContainerT<const ISnapshot> s;
    EXPECT_EQ("not found: other", Text(session->GetSnapshotByName(s, "other")));
    ContainerT<const INorvConstraint> def;
    EXPECT_EQ("not found: LINE_WIDTH", Text(session->GetDefConstraint(def, "LINE_WIDTH")));
    b->Definition("LINE_WIDTH", 5.0);
    ASSERT_TRUE(session->GetDefConstraint(def, "LINE_WIDTH"));
    Index di;
    def->GetIndex(di);
    ContainerT<const INorvConstraint> byIndex;
    EXPECT_TRUE(uid.GetNorvConstraintDef(byIndex, di));
    EXPECT_FALSE(uid.GetNorvConstraint(byIndex, di));
}

}  // namespace
}  // namespace LumoTest
