// Fault injection (countdown, next N per operation, per object) and call counting.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class FaultsTest : public LumoFixture {};

TEST_F(FaultsTest, PerObjectFaultFiresOnlyOnThatObjectAndOperation)
{
    faults().FailOn(n1, "GetName", 2);
    String name;
    EXPECT_EQ("injected failure: GetName", Text(Net(n1)->GetName(name)));
    EXPECT_TRUE(Net(n2)->GetName(name));
    Index i;
    EXPECT_TRUE(Net(n1)->GetIndex(i));
    EXPECT_FALSE(Net(n1)->GetName(name));
    EXPECT_TRUE(Net(n1)->GetName(name));
    ASSERT_EQ(2u, faults().Fired().size());
    EXPECT_EQ("GetName", faults().Fired()[0].operation);
    EXPECT_EQ(n1, faults().Fired()[0].object);
}

TEST_F(FaultsTest, ObjectValidityAndWalkValidityAreSeparateKeys)
{
    faults().FailOn(n1, "IsValid");
    faults().FailOn(n2, "GetIterPins.IsValid");
    faults().FailOn(n2, "GetIterPins.GetCount", 1);
    auto net1 = Net(n1);
    EXPECT_FALSE(net1.IsValid());
    EXPECT_FALSE(net1->IsValid());
    IteratorT<const INorvPin> pins;
    ASSERT_TRUE(net1->GetIterPins(pins));
    EXPECT_TRUE(pins.IsValid());

    b->Pin(n2, "V", NPT_VirtualPin);
    auto net2 = Net(n2);
    EXPECT_TRUE(net2.IsValid());
    ASSERT_TRUE(net2->GetIterPins(pins));
    EXPECT_EQ("injected failure: GetIterPins.IsValid", Text(pins.IsValid()));
    EXPECT_TRUE(pins->IsValid());   // the element itself is fine
    int count = 0;
    EXPECT_FALSE(pins.GetCount(count));
    EXPECT_TRUE(pins.GetCount(count));
    EXPECT_EQ(1, count);
}

TEST_F(FaultsTest, NextNFailsWhateverTheReceiver)
{
    faults().FailNext("GetNorvPhysicalNet", 2);
    ContainerT<const INorvPhysicalNet> c;
    EXPECT_FALSE(uid.GetNorvPhysicalNet(c, n1));
    EXPECT_FALSE(c.IsValid());
    EXPECT_FALSE(uid.GetNorvPhysicalNet(c, n2));
    EXPECT_TRUE(uid.GetNorvPhysicalNet(c, n3));
    EXPECT_TRUE(faults().GetFailNext().empty());
}

TEST_F(FaultsTest, CountdownFailsTheKthCallThenDisarms)
{
    faults().SetCountdown(3);
    String name;
    auto net = Net(n1);   // call 1
    EXPECT_TRUE(net->GetName(name));    // 2
    EXPECT_FALSE(net->GetName(name));   // 3
    EXPECT_TRUE(net->GetName(name));
    EXPECT_EQ(0u, faults().GetCountdown());
}

TEST_F(FaultsTest, InjectedWritesChangeNothingAndFailedSearchesLeaveListsEmpty)
{
    auto m = Locked(config);
    faults().FailOn(cfg, "DeletePhysicalNet", 1);
    EXPECT_FALSE(m->DeletePhysicalNet(n1));
    EXPECT_TRUE(store().IsAlive(n1));
    EXPECT_FALSE(StandIn::IsModified(*session));
    faults().FailNext("AddNorvComp", 1);
    MutableContainerT<INorvComp> comp;
    const size_t before = store().RecordCount();
    EXPECT_FALSE(m->AddNorvComp(comp, ContainerT<const INorvPart>(), "X"));
    EXPECT_EQ(before, store().RecordCount());
    EXPECT_FALSE(comp.IsValid());

    faults().FailOn(cfg, "FindPhysicalNet", 1);
    ListT<NorvObjectInfo> out;
    out.Add(NorvObjectInfo{n1, "N1"});
    EXPECT_FALSE(config->FindPhysicalNet(out, "N1", SP_MatchCase));
    EXPECT_TRUE(out.IsEmpty());
    faults().FailOnSession("GetListClients", 1);
    b->Client("a:1", {"X (NORV)"});
    ListT<ClientInfo> clients;
    EXPECT_FALSE(session->GetListClients(clients));
    EXPECT_TRUE(clients.IsEmpty());
    EXPECT_TRUE(session->GetListClients(clients));
    EXPECT_EQ(1, clients.Count());
}

TEST_F(FaultsTest, LocksAndSnapshotOperationsCanBeInjected)
{
    faults().FailOn(n1, "Lock", 1);
    MutableContainerT<INorvPhysicalNet> m;
    EXPECT_EQ("injected failure: Lock", Text(LockerT<INorvPhysicalNet>::Lock(Net(n1), m)));
    EXPECT_TRUE(LockerT<INorvPhysicalNet>::Lock(Net(n1), m));
    faults().FailOnSnapshot(store().SnapshotIndex(), "GetNorvConfig", 1);
    ContainerT<const INorvConfig> c;
    EXPECT_FALSE(snap->GetNorvConfig(c, "TOP"));
    EXPECT_TRUE(snap->GetNorvConfig(c, "TOP"));
}

TEST_F(FaultsTest, CallsAreCountedPerOperationIncludingInjectedOnes)
{
    counts().Reset();
    faults().FailNext("GetName", 1);
    String name;
    auto net = Net(n1);
    net->GetName(name);
    net->GetName(name);
    IteratorT<const INorvPin> pins;
    net->GetIterPins(pins);
    for (; pins.IsValid(); ++pins) {
    }
    EXPECT_EQ(2u, counts().Get("GetName"));
    EXPECT_EQ(1u, counts().Get("GetNorvPhysicalNet"));
    EXPECT_EQ(3u, counts().Get("GetIterPins.IsValid"));
    EXPECT_EQ(7u, counts().Total());
    EXPECT_EQ(2u, counts().Snapshot().at("GetName"));
    ContainerT<const INorvPhysicalNet> copy = net;
    copy.Release();
    EXPECT_EQ(7u, counts().Total());
}

}  // namespace
}  // namespace LumoTest
