// Locks: conflicts with other sub-clients, re-entrance, deep locks, release by UnLock and by dropping the
// last handle, and writes through handles that are not locked.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class LocksTest : public LumoFixture {
protected:
    std::vector<StandIn::LockEntry> Own()
    {
        std::vector<StandIn::LockEntry> own;
        for (const auto& e : store().Locks())
            if (!e.declared) own.push_back(e);
        return own;
    }
};

TEST_F(LocksTest, ReentrantCountedAndReleasedByTheLastHandle)
{
    auto net = Net(n1);
    {
        MutableContainerT<INorvPhysicalNet> a, copy;
        ASSERT_TRUE(LockerT<INorvPhysicalNet>::Lock(net, a));
        {
            MutableContainerT<INorvPhysicalNet> again;
            ASSERT_TRUE(LockerT<INorvPhysicalNet>::Lock(net, again));
            ASSERT_EQ(1u, Own().size());
            EXPECT_EQ(2u, Own()[0].count);
        }
        EXPECT_EQ(1u, Own()[0].count);
        copy = a;
        a.Release();
        EXPECT_EQ(1u, Own().size());
        EXPECT_TRUE(copy.IsValid());
    }
    EXPECT_TRUE(Own().empty());
}

TEST_F(LocksTest, UnlockEndsEveryCopyAndUnlockingTwiceSucceeds)
{
    MutableContainerT<INorvPhysicalNet> a = Locked(Net(n1));
    MutableContainerT<INorvPhysicalNet> copy = a;
    ASSERT_TRUE(LockerT<INorvPhysicalNet>::UnLock(a));
    EXPECT_TRUE(Own().empty());
    EXPECT_EQ("not locked: " + n1.ToText(), Text(copy.IsValid()));
    EXPECT_EQ("not locked: " + n1.ToText(), Text(copy->SetName("X")));
    EXPECT_EQ("N1", store().Name(n1));
    EXPECT_TRUE(LockerT<INorvPhysicalNet>::UnLock(copy));
    MutableContainerT<INorvPhysicalNet> never;
    EXPECT_TRUE(LockerT<INorvPhysicalNet>::UnLock(never));
    String name;
    EXPECT_TRUE(copy->GetName(name));   // reads still work
}

TEST_F(LocksTest, ConflictsWithOtherSubClients)
{
    Index nc = store().List(design, Field::netClasses).front();
    b->ForeignLock(n1, "ws-2:99", "Editor (FE NORV)");
    b->ForeignLock(design, "ws-3:1", "Other (NORV)", true);
    b->ForeignLock(p2, "standin-host", "Kravik (FE NORV)");   // the session's own identity
    MutableContainerT<INorvPhysicalNet> m;
    EXPECT_EQ("locked by another sub-client: ws-2:99, Editor (FE NORV)", Text(LockerT<INorvPhysicalNet>::Lock(Net(n1), m)));
    EXPECT_FALSE(m.IsValid());
    MutableContainerT<INorvNetClass> c;
    EXPECT_EQ("locked by another sub-client: ws-3:1, Other (NORV)",
              Text(LockerT<INorvNetClass>::Lock(Fetch(nc, &IUIDManager::GetNorvNetClass), c)));
    EXPECT_TRUE(LockerT<INorvPhysicalNet>::Lock(Net(n2), m));
    MutableContainerT<INorvComp> comp;
    EXPECT_TRUE(LockerT<INorvComp>::DeepLock(Fetch(u1, &IUIDManager::GetNorvComp), comp));   // own entry below
    MutableContainerT<INorvConfig> deep;
    EXPECT_FALSE(LockerT<INorvConfig>::DeepLock(config, deep));   // a foreign lock below
    EXPECT_TRUE(LockerT<INorvConfig>::Lock(config, deep));

    ListT<LockInfo> locks;
    ASSERT_TRUE(snap->GetListLocks(locks));
    std::vector<Index> order;
    for (auto it = locks.GetIterator(); it.IsValid(); ++it) order.push_back(it->index);
    EXPECT_EQ((std::vector<Index>{n1, design, p2, n2, u1, cfg}), order);
}

TEST_F(LocksTest, ReentrantLockUnderOwnDeepLockAndNewObjectsComeBackLocked)
{
    MutableContainerT<INorvConfig> deep;
    ASSERT_TRUE(LockerT<INorvConfig>::DeepLock(config, deep));
    MutableContainerT<INorvPhysicalNet> net = Locked(Net(n1));
    MutableContainerT<INorvComp> comp;
    ASSERT_TRUE(deep->AddNorvComp(comp, Fetch(part, &IUIDManager::GetNorvPart), "U9"));
    EXPECT_TRUE(comp.IsValid());
    IteratorT<const INorvPin> pins;
    ASSERT_TRUE(comp->GetIterPins(pins));
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), Names(pins));
    ASSERT_TRUE(comp->SetName("U10"));
    ASSERT_TRUE(LockerT<INorvComp>::UnLock(comp));
    EXPECT_FALSE(comp->SetName("U11"));
}

TEST_F(LocksTest, LockNeedsAValidObject)
{
    MutableContainerT<INorvPhysicalNet> m;
    EXPECT_EQ("empty container", Text(LockerT<INorvPhysicalNet>::Lock(ContainerT<const INorvPhysicalNet>(), m)));
    auto net = Net(n1);
    b->Invalid(n1);
    EXPECT_EQ("object is not valid: " + n1.ToText(), Text(LockerT<INorvPhysicalNet>::Lock(net, m)));
    b->Delete(n1);
    EXPECT_EQ("object does not exist: " + n1.ToText(), Text(LockerT<INorvPhysicalNet>::Lock(net, m)));
}

}  // namespace
}  // namespace LumoTest
