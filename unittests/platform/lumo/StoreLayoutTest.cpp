// Record storage: field blocks cut from a growing arena and a record table that moves to larger blocks as it
// grows. Every record must keep its fields, lists and constraints however many were made after it.
#include "LumoFixture.h"

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

}  // namespace
}  // namespace LumoTest
