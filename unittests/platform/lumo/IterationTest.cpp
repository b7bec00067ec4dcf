// Walks: copies of lists that survive deletion, filters by filter value, counts and iterator-level faults.
#include "LumoFixture.h"

#include <climits>
#include <functional>

namespace LumoTest {
namespace {

class IterationTest : public LumoFixture {};

TEST_F(IterationTest, WalkSurvivesDeletionOfItsCurrentElement)
{
    IteratorT<const INorvPhysicalNet> it;
    ASSERT_TRUE(config->GetIterPhysicalNets(it));
    auto m = Locked(config);
    std::vector<std::string> seen;
    for (; it.IsValid(); ++it) {
        String name;
        ASSERT_TRUE(it->GetName(name));
        seen.push_back(name.str());
        Index i;
        it->GetIndex(i);
        if (name == "N1") {
            ASSERT_TRUE(m->DeletePhysicalNet(i));
            ASSERT_TRUE(m->DeletePhysicalNet(n2));   // the next one goes too
        }
    }
    EXPECT_EQ((std::vector<std::string>{"N1", "N3"}), seen);
    int count = -1;
    EXPECT_TRUE(it.GetCount(count));
    EXPECT_EQ(1, count);
    // a new walk sees the list as it is now
    ASSERT_TRUE(config->GetIterPhysicalNets(it));
    EXPECT_EQ((std::vector<std::string>{"N3"}), Names(it));
}

TEST_F(IterationTest, FilterUsesFilterTypeWhenSetAndTypeReportsStoredValue)
{
    Index odd = b->PinPair(e1, "ODD", p1, p2, 5);
    b->SetInt(odd, Field::filterType, 0);
    b->PinPair(e1, "PLAIN5", p1, p2, 5);
    b->PinPair(e1, "ORD", p1, p2, 0);
    IteratorT<const INorvPinPair> it;
    ASSERT_TRUE(ENet(e1)->GetIterPinPairs(it, BitContainerT<EPinPairType>(PPT_Ordinary) | PPT_Connection));
    int count = 0;
    ASSERT_TRUE(it.GetCount(count));
    EXPECT_EQ(2, count);
    ASSERT_TRUE(it.IsValid());
    EPinPairType type = PPT_Ordinary;
    ASSERT_TRUE(it->GetType(type));
    EXPECT_EQ(5, type);
    EXPECT_EQ((std::vector<std::string>{"ODD", "ORD"}), Names(it));

    Index big = b->Pin(n1, "BIG", 40);
    b->SetInt(big, Field::filterType, NPT_PinSetT);
    IteratorT<const INorvPin> pins;
    ASSERT_TRUE(Net(n1)->GetIterPins(pins, BitContainerT<ENorvPinType>(NPT_PinSetT)));
    EXPECT_EQ((std::vector<std::string>{"BIG"}), Names(pins));
    ASSERT_TRUE(Net(n1)->GetIterPins(pins));
    EXPECT_EQ((std::vector<std::string>{"1", "2", "BIG"}), Names(pins));
}

// A filtered walk reads the kind a record keeps for it: every write of the fields it derives from
// (the kind, the filter type, through the builder or the store) must show in the next walk.
TEST_F(IterationTest, FilteredWalksFollowEveryWriteOfAPinsKind)
{
    Index big = b->Pin(n1, "BIG", 40);   // a kind no filter can name
    const struct
    {
        const char* step;
        std::function<void()> write;
        std::vector<std::string> pinSets, netPins;
    } steps[] = {
        {"created", [] {}, {}, {"1", "2"}},
        {"kind", [&] { b->SetInt(big, Field::norvType, NPT_PinSetT); }, {"BIG"}, {"1", "2"}},
        {"filter type", [&] { store().SetInt(big, Field::filterType, NPT_NetPin); }, {}, {"1", "2", "BIG"}},
        {"kind under a filter type", [&] { store().SetInt(big, Field::norvType, NPT_NetPin); }, {}, {"1", "2", "BIG"}},
        {"filter type unset", [&] { store().SetInt(big, Field::filterType, INT64_MIN); }, {}, {"1", "2", "BIG"}},
        {"kind again", [&] { b->SetInt(big, Field::norvType, NPT_PinSetT); }, {"BIG"}, {"1", "2"}},
    };
    for (const auto& s : steps) {
        s.write();
        IteratorT<const INorvPin> pins;
        ASSERT_TRUE(Net(n1)->GetIterPins(pins, BitContainerT<ENorvPinType>(NPT_PinSetT)));
        EXPECT_EQ(s.pinSets, Names(pins)) << s.step;
        ASSERT_TRUE(Net(n1)->GetIterPins(pins, BitContainerT<ENorvPinType>(NPT_NetPin)));
        EXPECT_EQ(s.netPins, Names(pins)) << s.step;
    }
}

TEST_F(IterationTest, IteratorIsValidOnInvalidElementWhileElementIsNot)
{
    b->Invalid(n2);
    IteratorT<const INorvPhysicalNet> it;
    ASSERT_TRUE(ENet(e1)->GetIterPhysicalNets(it));
    ++it;
    EXPECT_TRUE(it.IsValid());
    EXPECT_FALSE(it->IsValid());
    ContainerT<const INorvPhysicalNet> asContainer = it;
    EXPECT_FALSE(asContainer.IsValid());
}

TEST_F(IterationTest, FailedOrDefaultIteratorIsNotValid)
{
    IteratorT<const INorvPhysicalNet> it;
    int count = 7;
    EXPECT_FALSE(it.IsValid());
    EXPECT_FALSE(it.GetCount(count));
    EXPECT_EQ(7, count);
    faults().FailOn(e1, "GetIterPhysicalNets", 1);
    EXPECT_FALSE(ENet(e1)->GetIterPhysicalNets(it));
    EXPECT_FALSE(it.IsValid());
    EXPECT_FALSE(it.GetCount(count));
    // a default iterator belongs to no session, so only the failed walk's count is counted
    EXPECT_EQ(1u, counts().Get("GetIterPhysicalNets.GetCount"));
    EXPECT_TRUE(ENet(e1)->GetIterPhysicalNets(it));
    EXPECT_TRUE(it.IsValid());
}

TEST_F(IterationTest, DuplicatesAndDanglingEntriesOfAList)
{
    b->AppendOnly(e1, Field::physicalNets, n1);
    b->AppendOnly(e1, Field::physicalNets, Idx(4242, 49));
    IteratorT<const INorvPhysicalNet> it;
    ASSERT_TRUE(ENet(e1)->GetIterPhysicalNets(it));
    EXPECT_EQ((std::vector<std::string>{"N1", "N2", "N1"}), Names(it));
}

// Walks read a stored list in place: a change of the list while walks are on it must leave every one of them
// (copies included, and copies made after the change) on the list as it stood when the walk was filled, while
// a new walk sees the change. Each walk has yielded N1 when the list changes.
TEST_F(IterationTest, WalksKeepTheirListWhileItChanges)
{
    const struct
    {
        const char* change;
        std::function<void()> write;
        std::vector<std::string> rest, fresh;   // what the walks yield after N1; what a new walk yields
    } cases[] = {
        {"nothing", [] {}, {"N2"}, {"N1", "N2"}},
        {"appended", [&] { store().Append(e1, Field::physicalNets, n3); }, {"N2"}, {"N1", "N2", "N3"}},
        {"cleared", [&] { store().ClearList(e1, Field::physicalNets); }, {"N2"}, {}},
        // refilled in place (the elements stand inside the list): the walks keep the copy of the list as it was
        {"cleared and refilled", [&] {
             store().ClearList(e1, Field::physicalNets);
             store().Append(e1, Field::physicalNets, n2);
             store().Append(e1, Field::physicalNets, n3);
         }, {"N2"}, {"N2", "N3"}},
        {"grown and cut back", [&] {
             store().Append(e1, Field::physicalNets, n3);
             store().Append(e1, Field::physicalNets, n3);
             ASSERT_TRUE(Locked(config)->DeletePhysicalNet(n3));
         }, {"N2"}, {"N1", "N2"}},
        {"entry deleted", [&] { ASSERT_TRUE(Locked(config)->DeletePhysicalNet(n2)); }, {}, {"N1"}},
        {"other list", [&] { store().Append(e2, Field::physicalNets, n1); }, {"N2"}, {"N1", "N2"}},
        {"renamed", [&] { store().SetName(n2, "M2"); }, {"M2"}, {"N1", "M2"}},
    };
    for (const auto& c : cases) {
        SetUp();
        IteratorT<const INorvPhysicalNet> walk, other, before;
        ASSERT_TRUE(ENet(e1)->GetIterPhysicalNets(walk));
        ASSERT_TRUE(ENet(e1)->GetIterPhysicalNets(other));
        ++walk;
        ++other;
        before = walk;
        {
            IteratorT<const INorvPhysicalNet> gone = walk;   // a copy that leaves before the change
        }
        c.write();
        IteratorT<const INorvPhysicalNet> after = walk;
        int count = -1;
        ASSERT_TRUE(walk.GetCount(count)) << c.change;
        EXPECT_EQ(static_cast<int>(c.rest.size()) + 1, count) << c.change;
        EXPECT_EQ(c.rest, Names(walk)) << c.change;
        EXPECT_EQ(c.rest, Names(other)) << c.change;
        EXPECT_EQ(c.rest, Names(before)) << c.change;
        EXPECT_EQ(c.rest, Names(after)) << c.change;
        ASSERT_TRUE(ENet(e1)->GetIterPhysicalNets(walk));
        EXPECT_EQ(c.fresh, Names(walk)) << c.change;
    }
}

// A filtered walk over a net's pins keeps its list too; a refill, and walks destroyed after their session, are safe.
TEST_F(IterationTest, FilteredWalkKeepsItsListAndOutlivesItsSession)
{
    IteratorT<const INorvPin> pins;
    ASSERT_TRUE(Net(n1)->GetIterPins(pins, BitContainerT<ENorvPinType>(NPT_NetPin)));
    const Index added = b->Pin(u1, "3", NPT_NetPin, n1);
    store().SetInt(p2, Field::norvType, NPT_VirtualPin);   // the filter reads the pin as it is now
    EXPECT_EQ((std::vector<std::string>{"1"}), Names(pins));
    ASSERT_TRUE(Net(n1)->GetIterPins(pins, BitContainerT<ENorvPinType>(NPT_NetPin)));
    EXPECT_EQ((std::vector<std::string>{"1", "3"}), Names(pins));
    EXPECT_TRUE(store().List(n1, Field::pins).back() == added);
    ASSERT_TRUE(Net(n1)->GetIterPins(pins));
    IteratorT<const INorvPin> copy = pins;
    // walks may outlive their session (never to be used again): destroying them then must touch nothing
    b.reset();
    session.reset();
}

}  // namespace
}  // namespace LumoTest
