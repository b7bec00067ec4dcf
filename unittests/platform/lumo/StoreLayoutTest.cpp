// Record storage: field blocks cut from a growing arena and a record table that moves to larger blocks as it
// grows. Every record must keep its fields, lists and constraints however many were made after it. Filtered
// walks read the compact slot tags instead of the records: they must yield what the records say.
#include "JsonTestUtil.h"
#include "LumoFixture.h"

#include <functional>

namespace LumoTest {
namespace {

class StoreLayoutTest : public LumoFixture {};

TEST_F(StoreLayoutTest, RecordsKeepTheirFieldsAsTheTablesGrow)
{
    const struct
    {
        const char* name;
        int pins;   // the last sizes pass the first arena chunks and the huge-page record table
    } cases[] = {{"a few", 10}, {"past the first chunks", 3000}, {"past a large table", 50000}};
    for (const auto& c : cases) {
        SetUp();
        std::vector<Index> pins;
        for (int i = 0; i < c.pins; ++i) {
            const Index pin = b->Pin(u1, "P" + std::to_string(i), i % 2 ? NPT_VirtualPin : NPT_NetPin, n3);
            b->SetInt(pin, Field::filterType, i % 2 ? NPT_NetPin : NPT_VirtualPin);
            if (i % 100 == 0) b->Constraint(pin, "WIDTH", i);
            pins.push_back(pin);
        }
        // every thousandth pin deleted, through the database
        auto net = Locked(Net(n3));
        for (int i = 0; i < c.pins; i += 1000) ASSERT_TRUE(net->DeletePin(pins[static_cast<size_t>(i)])) << c.name;
        int wrong = 0;
        for (int i = 0; i < c.pins; ++i) {
            const Index pin = pins[static_cast<size_t>(i)];
            const bool alive = i % 1000 != 0;
            wrong += store().IsAlive(pin) != alive;
            wrong += store().Name(pin) != "P" + std::to_string(i);
            wrong += store().Int(pin, Field::norvType) != (i % 2 ? NPT_VirtualPin : NPT_NetPin);
            wrong += store().Int(pin, Field::filterType) != (i % 2 ? NPT_NetPin : NPT_VirtualPin);
            wrong += store().Ref(pin, Field::parentPhysicalNet) != n3;
            if (alive && i % 100 == 0) {
                ContainerT<const INorvConstraint> width;
                ConstraintData value;
                wrong += !Fetch(pin, &IUIDManager::GetNorvPin)->GetConstraint(width, "WIDTH") ||
                         !width->GetValue(value) || value.intValue != i;
            }
        }
        EXPECT_EQ(0, wrong) << c.name;
        // the filter reads each pin's own filter type: the odd pins are net pins, none of them deleted
        IteratorT<const INorvPin> walk;
        ASSERT_TRUE(Net(n3)->GetIterPins(walk, BitContainerT<ENorvPinType>(NPT_NetPin))) << c.name;
        int count = -1;
        ASSERT_TRUE(walk.GetCount(count)) << c.name;
        EXPECT_EQ(c.pins / 2, count) << c.name;
        EXPECT_EQ(static_cast<size_t>(c.pins - (c.pins + 999) / 1000), store().List(n3, Field::pins).size()) << c.name;
    }
}

// A pin filter of filtered walks, or none (an unfiltered walk).
struct PinFilter {
    const char* name;
    bool filtered;
    std::vector<ENorvPinType> kinds;
    uint32_t Word() const
    {
        uint32_t w = 0;
        for (ENorvPinType k : kinds) w |= 1u << k;
        return w;
    }
};

// What a walk over a physical net's pins yields according to the records: every live pin whose filter type (else
// its kind) is in the filter; every live object of the list when unfiltered.
std::vector<Index> ExpectedPins(StandIn::Store& st, Index net, const PinFilter& filter)
{
    std::vector<Index> out;
    for (const Index& pin : st.List(net, Field::pins)) {
        if (!st.IsAlive(pin)) continue;
        const int64_t v = st.HasInt(pin, Field::filterType) ? st.Int(pin, Field::filterType) : st.Int(pin, Field::norvType);
        if (!filter.filtered || (v >= 0 && v < 32 && ((filter.Word() >> v) & 1u))) out.push_back(pin);
    }
    return out;
}

// What the walk yields, and its count.
std::vector<Index> WalkedPins(const IUIDManager& uid, Index net, const PinFilter& filter, int& count)
{
    ContainerT<const INorvPhysicalNet> n;
    EXPECT_TRUE(uid.GetNorvPhysicalNet(n, net));
    IteratorT<const INorvPin> walk;
    BitContainerT<ENorvPinType> bits;
    for (ENorvPinType k : filter.kinds) bits |= k;
    EXPECT_TRUE(filter.filtered ? n->GetIterPins(walk, bits) : n->GetIterPins(walk));
    count = -1;
    EXPECT_TRUE(walk.GetCount(count));
    return IndexesOf(walk);
}

TEST(StoreTags, FilteredWalksFollowTheRecordsThroughChanges)
{
    // Pins at their serial's slot and at explicit indexes away from it: a dense one and, in the first design, one
    // far above every other serial (later pins then get serials away from their slots too).
    const struct
    {
        const char* name;
        const char* far;   // index of pin C
    } designs[] = {{"with a sparse index", "5000000-0-52"}, {"with dense indexes only", "60-0-52"}};
    const PinFilter filters[] = {
        {"net pins", true, {NPT_NetPin}},
        {"virtual pins", true, {NPT_VirtualPin}},
        {"EBD pins", true, {NPT_EbdPin}},
        {"net and virtual pin-set pins", true, {NPT_NetPin, NPT_VirtualPinSetPin}},
        {"none", true, {}},
        {"unfiltered", false, {}},
    };
    for (const auto& d : designs) {
        auto session = LoadText(Design(std::string(R"(
            "norvConfigs": [ { "topBlock": "TOP", "physicalNets": [ { "id": "N", "pins": [
                { "id": "A", "name": "A" },
                { "id": "B", "name": "B", "norvType": 6 },
                { "id": "C", "name": "C", "index": ")") + d.far + R"(" },
                { "id": "D", "name": "D", "index": "40-0-52", "norvType": 8 },
                { "id": "E", "name": "E", "norvType": 10, "filterType": 0 } ] } ] } ])"));
        ASSERT_TRUE(session) << d.name;
        StandIn::Builder b(*session, "main");
        StandIn::Store& st = b.GetStore();
        ContainerT<const ISnapshot> snap;
        ASSERT_TRUE(session->GetSnapshotByName(snap, "main"));
        IUIDManager uid;
        ASSERT_TRUE(snap->GetUIDManager(uid));
        ContainerT<const INorvConfig> config;
        ASSERT_TRUE(snap->GetNorvConfig(config, "TOP"));
        IteratorT<const INorvPhysicalNet> nets;
        ASSERT_TRUE(config->GetIterPhysicalNets(nets));
        Index n;
        ASSERT_TRUE(nets->GetIndex(n));
        auto pin = [&](const std::string& name) {
            for (const Index& p : st.List(n, Field::pins))
                if (st.Name(p) == name) return p;
            return Index();
        };
        const Index a = pin("A"), bPin = pin("B"), e = pin("E");
        const struct
        {
            const char* name;
            std::function<void()> change;
        } steps[] = {
            {"as loaded", [] {}},
            {"an unissued index and a pin index on the net's own serial listed",
             [&] {
                 b.AppendOnly(n, Field::pins, Ix(OT_NorvPin, 777777));
                 b.AppendOnly(n, Field::pins, Ix(OT_NorvPin, n.GetValue() & 0x00FFFFFFFFFFFFFFull));
             }},
            {"a pin deleted", [&] { b.Delete(bPin); }},
            {"pins made after the deletion, one under the old name",
             [&] {
                 b.Pin(n, "B", NPT_VirtualPin, n);
                 b.Pin(n, "F", NPT_EbdPin, n);
             }},
            {"a filter type given to a net pin", [&] { b.SetInt(a, Field::filterType, NPT_EbdPin); }},
            {"a kind changed under a filter type", [&] { b.SetInt(e, Field::norvType, NPT_VirtualPin); }},
            {"pins at and away from their serial's slot marked dead",
             [&] {
                 st.SetFlag(a, "alive", false);
                 st.SetFlag(e, "alive", false);
             }},
            {"the pins alive again",
             [&] {
                 st.SetFlag(a, "alive", true);
                 st.SetFlag(e, "alive", true);
             }},
        };
        for (const auto& step : steps) {
            step.change();
            for (const PinFilter& f : filters) {
                int count = 0;
                const std::vector<Index> walked = WalkedPins(uid, n, f, count);
                const std::vector<Index> expected = ExpectedPins(st, n, f);
                EXPECT_EQ(expected, walked) << d.name << ", " << step.name << ", " << f.name;
                EXPECT_EQ(static_cast<int>(expected.size()), count) << d.name << ", " << step.name << ", " << f.name;
            }
        }
        EXPECT_EQ(8u, st.List(n, Field::pins).size()) << d.name;   // the steps reached the list
    }
}

}  // namespace
}  // namespace LumoTest
