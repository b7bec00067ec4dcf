// Every way the design file expresses a broken design, read back through the product-facing interface.
#include "JsonTestUtil.h"

#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Lumo;
using namespace Lumo::StandIn;
using LumoTest::Design;
using LumoTest::IndexesOf;
using LumoTest::Ix;
using LumoTest::LoadText;

namespace {

Index N(uint64_t serial) { return Ix(OT_NorvPhysicalNet, serial); }
Index E(uint64_t serial) { return Ix(OT_NorvElectricalNet, serial); }

class BrokenDesign : public ::testing::Test {
protected:
    void Load(const std::string& configKeys, const std::string& snapshotKeys = "")
    {
        LoadError err;
        m_s = LoadText(Design(R"("norvConfigs": [ { "id": "CFG", "index": "2-0-102", "topBlock": "TOP", )" + configKeys +
                                  " } ]" + (snapshotKeys.empty() ? "" : ", " + snapshotKeys)),
                       &err);
        ASSERT_TRUE(m_s) << err.path << ": " << err.message;
        ContainerT<const ISnapshot> snap;
        ASSERT_TRUE(m_s->GetSnapshotByName(snap, "main"));
        ASSERT_TRUE(snap->GetUIDManager(m_uid));
        m_snap = snap;
    }

    // The indexes an electrical net's walk yields.
    std::vector<Index> NetsOf(Index elecNet)
    {
        ContainerT<const INorvElectricalNet> e;
        EXPECT_TRUE(m_uid.GetNorvElectricalNet(e, elecNet));
        IteratorT<const INorvPhysicalNet> it;
        EXPECT_TRUE(e->GetIterPhysicalNets(it));
        return IndexesOf(it);
    }

    // The parent electrical net a physical net reports, or the empty index when the getter fails.
    Index ParentOf(Index physNet)
    {
        ContainerT<const INorvPhysicalNet> n;
        EXPECT_TRUE(m_uid.GetNorvPhysicalNet(n, physNet));
        ContainerT<const INorvElectricalNet> e;
        Index i;
        if (n->GetParentElectricalNet(e)) {
            EXPECT_TRUE(e->GetIndex(i));
        }
        return i;
    }

    std::vector<Index> PinsOf(Index physNet)
    {
        ContainerT<const INorvPhysicalNet> n;
        EXPECT_TRUE(m_uid.GetNorvPhysicalNet(n, physNet));
        IteratorT<const INorvPin> it;
        EXPECT_TRUE(n->GetIterPins(it));
        return IndexesOf(it);
    }

    std::unique_ptr<LumoPI> m_s;
    ContainerT<const ISnapshot> m_snap;
    IUIDManager m_uid;
};

// The same set of nets and electrical nets, broken differently per test below.
const char* kNets = R"(
    "physicalNets": [ { "id": "N1", "index": "11-0-49" }, { "id": "N2", "index": "12-0-49" },
                      { "id": "N3", "index": "13-0-49" }, { "id": "N4", "index": "14-0-49" } ], )";

}  // namespace

TEST_F(BrokenDesign, DuplicateInAListIsKeptAndNotCompletedFurther)
{
    Load(std::string(kNets) + R"("electricalNets": [ { "id": "E1", "index": "21-0-47", "physicalNets": [ "N1", "N1" ] } ])");
    EXPECT_EQ(NetsOf(E(21)), (std::vector<Index>{N(11), N(11)}));
    EXPECT_EQ(ParentOf(N(11)), E(21));
}

TEST_F(BrokenDesign, ListedWithoutBackReference)
{
    Load(R"("physicalNets": [ { "id": "N2", "index": "12-0-49", "parentElectricalNet": null } ],
            "electricalNets": [ { "id": "E1", "index": "21-0-47", "physicalNets": [ "N2" ] } ])");
    EXPECT_EQ(NetsOf(E(21)), std::vector<Index>{N(12)});
    EXPECT_TRUE(ParentOf(N(12)).IsEmpty());
}

TEST_F(BrokenDesign, WrongBackReferenceAndBackReferenceNotListed)
{
    Load(R"("physicalNets": [ { "id": "N3", "index": "13-0-49", "parentElectricalNet": "E2" },
                              { "id": "N4", "index": "14-0-49", "parentElectricalNet": "E1" } ],
            "electricalNets": [ { "id": "E1", "index": "21-0-47", "physicalNets": [ "N3" ], "literal": [ "physicalNets" ] },
                                { "id": "E2", "index": "22-0-47", "physicalNets": [], "literal": [ "physicalNets" ] } ])");
    EXPECT_EQ(NetsOf(E(21)), std::vector<Index>{N(13)});   // N4 points here but is not listed
    EXPECT_TRUE(NetsOf(E(22)).empty());                     // N3 points here but is not listed
    EXPECT_EQ(ParentOf(N(13)), E(22));
    EXPECT_EQ(ParentOf(N(14)), E(21));
}

TEST_F(BrokenDesign, WithoutLiteralTheListIsCompletedInDocumentOrder)
{
    Load(R"("physicalNets": [ { "id": "N3", "index": "13-0-49", "parentElectricalNet": "E2" },
                              { "id": "N4", "index": "14-0-49", "parentElectricalNet": "E2" } ],
            "electricalNets": [ { "id": "E1", "index": "21-0-47", "physicalNets": [ "N3" ] },
                                { "id": "E2", "index": "22-0-47", "physicalNets": [ "N4" ] } ])");
    EXPECT_EQ(NetsOf(E(21)), std::vector<Index>{N(13)});
    EXPECT_EQ(NetsOf(E(22)), (std::vector<Index>{N(14), N(13)}));   // explicit entries first
}

TEST_F(BrokenDesign, ReferenceToAnObjectThatMustNotExist)
{
    Load(R"("physicalNets": [ { "id": "N1", "index": "11-0-49", "netClass": "99-0-24" } ])");
    ContainerT<const INorvPhysicalNet> n;
    ASSERT_TRUE(m_uid.GetNorvPhysicalNet(n, N(11)));
    ContainerT<const INorvNetClass> cls;
    EXPECT_FALSE(n->GetNetClass(cls));
    bool exists = true;
    ASSERT_TRUE(m_uid.ObjectExists(Ix(OT_NorvNetClass, 99), exists));
    EXPECT_FALSE(exists);
    // the serial the dangling reference names is never issued to a new object
    EXPECT_EQ(GetStore(*m_s).Ref(N(11), Field::netClass), Ix(OT_NorvNetClass, 99));
}

TEST_F(BrokenDesign, PinListedByTwoNets)
{
    Load(R"("physicalNets": [ { "id": "N1", "index": "11-0-49", "pins": [ { "id": "P", "index": "30-0-52", "norvType": 6 } ] },
                              { "id": "N2", "index": "12-0-49", "pins": [ "P" ] } ])");
    EXPECT_EQ(PinsOf(N(11)), std::vector<Index>{Ix(OT_NorvPin, 30)});
    EXPECT_EQ(PinsOf(N(12)), std::vector<Index>{Ix(OT_NorvPin, 30)});
    ContainerT<const INorvPin> pin;
    ASSERT_TRUE(m_uid.GetNorvPin(pin, Ix(OT_NorvPin, 30)));
    ContainerT<const INorvPhysicalNet> parent;
    ASSERT_TRUE(pin->GetParentPhysicalNet(parent));
    Index i;
    EXPECT_TRUE(parent->GetIndex(i));
    EXPECT_EQ(i, N(11));
}

TEST_F(BrokenDesign, OwnedButMissingFromTheOwnersListAndWithoutOwner)
{
    Load(R"("physicalNets": [ { "id": "N1", "index": "11-0-49" } ], "literal": [ "physicalNets" ])",
         R"("objects": [ { "kind": "PhysicalNet", "index": "12-0-49", "in": "CFG" },
                         { "kind": "PhysicalNet", "index": "13-0-49", "in": null },
                         { "kind": "PhysicalNet", "index": "14-0-49", "in": "77-0-102" } ])");
    ContainerT<const INorvConfig> cfg;
    ASSERT_TRUE(m_snap->GetNorvConfig(cfg, "TOP"));
    IteratorT<const INorvPhysicalNet> it;
    ASSERT_TRUE(cfg->GetIterPhysicalNets(it));
    int count = 0;
    ASSERT_TRUE(it.GetCount(count));
    EXPECT_EQ(count, 1);
    Store& st = GetStore(*m_s);
    EXPECT_EQ(st.Owner(N(12)), Ix(OT_NorvConfig, 2));
    EXPECT_TRUE(st.Owner(N(13)).IsEmpty());
    EXPECT_EQ(st.Owner(N(14)), Ix(OT_NorvConfig, 77));
    // the one not held by its owner is still fetched by index, and still owned: the owner's deletion takes it
    ContainerT<const INorvPhysicalNet> n;
    EXPECT_TRUE(m_uid.GetNorvPhysicalNet(n, N(12)));
}

TEST_F(BrokenDesign, FreeObjectsJoinTheirOwnersListWithoutLiteral)
{
    Load(R"("physicalNets": [ { "id": "N1", "index": "11-0-49" } ])",
         R"("objects": [ { "kind": "PhysicalNet", "index": "12-0-49", "in": "CFG" } ])");
    EXPECT_EQ(GetStore(*m_s).List(Ix(OT_NorvConfig, 2), Field::physicalNets), (std::vector<Index>{N(11), N(12)}));
}

TEST_F(BrokenDesign, ContainerReturnedButNotValidAndPinWithEmptyIndex)
{
    Load(R"("parts": [ { "partPins": [ { "id": "pp1", "index": "41-0-54", "valid": false }, { "id": "pp2", "index": "42-0-54" } ],
                         "partPinPairs": [ { "index": "43-0-71", "firstPartPin": "pp1", "secondPartPin": "pp2" } ] } ],
            "norvComps": [ { "pins": [ { "index": "44-0-52", "emptyIndex": true } ] } ])");
    ContainerT<const INorvPartPinPair> pair;
    ASSERT_TRUE(m_uid.GetNorvPartPinPair(pair, Ix(OT_NorvPartPinPair, 43)));
    ContainerT<const INorvPartPin> first, second;
    EXPECT_TRUE(pair->GetFirstPartPin(first));
    EXPECT_FALSE(first.IsValid());
    EXPECT_TRUE(pair->GetSecondPartPin(second));
    EXPECT_TRUE(second.IsValid());
    ContainerT<const INorvPin> pin;
    ASSERT_TRUE(m_uid.GetNorvPin(pin, Ix(OT_NorvPin, 44)));
    Index i = Ix(1, 1);
    EXPECT_TRUE(pin->GetIndex(i));
    EXPECT_TRUE(i.IsEmpty());
}

TEST_F(BrokenDesign, KindsTheWalksDoNotAskFor)
{
    Load(R"("electricalNets": [ { "index": "21-0-47", "pinPairs": [
                { "index": "31-0-48", "pairType": 5, "filterType": 0 }, { "index": "32-0-48", "pairType": 5 } ] } ],
            "physicalNets": [ { "index": "11-0-49", "pins": [ { "index": "33-0-52", "norvType": 40, "filterType": 2 } ] } ])");
    ContainerT<const INorvElectricalNet> e;
    ASSERT_TRUE(m_uid.GetNorvElectricalNet(e, E(21)));
    IteratorT<const INorvPinPair> pairs;
    ASSERT_TRUE(e->GetIterPinPairs(pairs, BitContainerT<EPinPairType>(PPT_Ordinary) | PPT_Connection));
    std::vector<Index> seen;
    for (; pairs.IsValid(); ++pairs) {
        Index i;
        EXPECT_TRUE(pairs->GetIndex(i));
        EPinPairType type = PPT_Ordinary;
        EXPECT_TRUE(pairs->GetType(type));
        EXPECT_EQ(type, 5);
        seen.push_back(i);
    }
    EXPECT_EQ(seen, std::vector<Index>{Ix(OT_NorvPinPair, 31)});
    ContainerT<const INorvPhysicalNet> n;
    ASSERT_TRUE(m_uid.GetNorvPhysicalNet(n, N(11)));
    IteratorT<const INorvPin> pins;
    ASSERT_TRUE(n->GetIterPins(pins, BitContainerT<ENorvPinType>(NPT_PinSetT)));
    ASSERT_TRUE(pins.IsValid());
    ENorvPinType kind = NPT_NetPin;
    EXPECT_TRUE(pins->GetNorvType(kind));
    EXPECT_EQ(kind, 40);
}

TEST_F(BrokenDesign, CycleInAClassTreeIsAccepted)
{
    Load(R"("design": { "index": "3-0-21", "netClasses": [ { "id": "A", "index": "51-0-24", "childNetClasses": [ { "id": "B", "index": "52-0-24" } ] } ] })",
         R"("objects": [ { "kind": "NetClass", "id": "C", "index": "53-0-24", "in": "B", "childNetClasses": [ "A" ] } ])");
    Store& st = GetStore(*m_s);
    EXPECT_EQ(st.Owner(Ix(OT_NorvNetClass, 53)), Ix(OT_NorvNetClass, 52));
    EXPECT_EQ(st.List(Ix(OT_NorvNetClass, 52), Field::childNetClasses), std::vector<Index>{Ix(OT_NorvNetClass, 53)});
    EXPECT_EQ(st.List(Ix(OT_NorvNetClass, 53), Field::childNetClasses), std::vector<Index>{Ix(OT_NorvNetClass, 51)});
}

TEST_F(BrokenDesign, ForeignLocksAndTwoNorvClients)
{
    Load(R"("physicalNets": [ { "id": "N1", "index": "11-0-49" } ])",
         R"j("locks": [ { "object": "N1", "address": "ws-2:99", "subClient": "Editor (FE NORV)" } ],
            "clients": [ { "name": "a:1", "subClients": [ "X (NORV)" ] }, { "name": "b:2", "subClients": [ "Y (FE NORV)" ] } ])j");
    ListT<LockInfo> locks;
    ASSERT_TRUE(m_snap->GetListLocks(locks));
    ASSERT_EQ(locks.Count(), 1);
    auto l = locks.GetIterator();
    EXPECT_EQ(l->index, N(11));
    EXPECT_EQ(l->address, "ws-2:99");
    EXPECT_EQ(l->subClientName, "Editor (FE NORV)");
    ContainerT<const INorvPhysicalNet> n;
    ASSERT_TRUE(m_uid.GetNorvPhysicalNet(n, N(11)));
    MutableContainerT<INorvPhysicalNet> locked;
    EXPECT_FALSE(LockerT<INorvPhysicalNet>::Lock(n, locked));
    ListT<ClientInfo> clients;
    ASSERT_TRUE(m_s->GetListClients(clients));
    ASSERT_EQ(clients.Count(), 2);
    auto c = clients.GetIterator();
    EXPECT_EQ(c->name, "a:1");
    ++c;
    EXPECT_EQ(c->name, "b:2");
}
