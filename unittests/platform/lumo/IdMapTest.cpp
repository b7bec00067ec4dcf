// The loader's id table: ids of every length are found again with their object and kind, near misses are not,
// a duplicate id is reported at its position in the batch, and growing the table keeps what it held.
#include "platform/lumo/src/IdMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lumo::detail::IdMap;
using Lumo::StandIn::Kind;

TEST(IdMapTest, FindsEveryIdItHoldsAndNoNearMiss)
{
    // Ids up to eight bytes compare by their prefix alone, longer ones also by their text after it.
    const std::vector<std::string> ids{"", "a", "pin-1", "12345678", "123456789", "123456780", "component/U1.pin-17"};
    std::vector<IdMap::Pending> batch;
    for (size_t i = 0; i < ids.size(); ++i)
        batch.push_back({ids[i], static_cast<uint32_t>(10 + i), i % 2 ? Kind::NorvPin : Kind::NorvComp});
    IdMap map;
    ASSERT_EQ(map.InsertAll(batch), SIZE_MAX);
    EXPECT_EQ(map.Count(), ids.size());
    for (size_t i = 0; i < ids.size(); ++i) {
        SCOPED_TRACE(ids[i]);
        const IdMap::Hit hit = map.Find(ids[i]);
        ASSERT_TRUE(hit.Found());
        EXPECT_EQ(hit.obj, 10 + i);
        EXPECT_EQ(hit.kind, i % 2 ? Kind::NorvPin : Kind::NorvComp);
    }
    for (const char* miss : {"b", "pin-", "pin-10", "1234567", "1234567890", "123456788", "component/U1.pin-1"}) {
        SCOPED_TRACE(miss);
        EXPECT_FALSE(map.Find(miss).Found());
    }
    EXPECT_FALSE(IdMap().Find("a").Found());
}

TEST(IdMapTest, ReportsTheFirstDuplicateOfABatch)
{
    struct Case {
        const char* name;
        std::vector<std::string> held;    // inserted first
        std::vector<std::string> batch;
        size_t duplicate;                 // position in the batch, SIZE_MAX for none
    };
    const std::vector<Case> cases{
        {"within the batch", {}, {"a", "b", "a", "b"}, 2},
        {"of a held id", {"long-id-of-a-pin"}, {"x", "long-id-of-a-pin"}, 1},
        {"same prefix, other tail", {"12345678-a"}, {"12345678-b", "12345678"}, SIZE_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IdMap map;
        std::vector<IdMap::Pending> held, batch;
        for (const std::string& id : c.held) held.push_back({id, static_cast<uint32_t>(held.size()), Kind::NorvPin});
        for (const std::string& id : c.batch) batch.push_back({id, static_cast<uint32_t>(100 + batch.size()), Kind::NorvPin});
        ASSERT_EQ(map.InsertAll(held), SIZE_MAX);
        EXPECT_EQ(map.InsertAll(batch), c.duplicate);
        // The earlier holder of a duplicate id keeps it.
        if (c.duplicate != SIZE_MAX && !c.held.empty()) {
            EXPECT_EQ(map.Find(c.batch[c.duplicate]).obj, 0u);
        }
    }
}

TEST(IdMapTest, GrowingKeepsEveryId)
{
    IdMap map;
    std::vector<std::string> ids;
    for (int i = 0; i < 20000; ++i) ids.push_back("pin-" + std::to_string(i * 7919));
    // Batches of growing size, so that the table is rehashed several times with ids in it.
    size_t next = 0;
    for (size_t size = 1; next < ids.size(); size *= 3) {
        std::vector<IdMap::Pending> batch;
        for (; batch.size() < size && next < ids.size(); ++next)
            batch.push_back({ids[next], static_cast<uint32_t>(next), Kind::NorvPin});
        ASSERT_EQ(map.InsertAll(batch), SIZE_MAX);
    }
    ASSERT_EQ(map.Count(), ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ASSERT_EQ(map.Find(ids[i]).obj, i) << ids[i];
    EXPECT_FALSE(map.Find("pin-1").Found());
}

} // namespace
