#include "framework/KeySort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

// A key and the record's place in the input, so that the order of equal keys can be told.
struct Keyed
{
    std::uint64_t key = 0;
    std::size_t place = 0;
    bool operator==(const Keyed& other) const { return key == other.key && place == other.place; }
};

std::uint64_t KeyOf(const Keyed& record) { return record.key; }

std::vector<Keyed> WithPlaces(const std::vector<std::uint64_t>& keys)
{
    std::vector<Keyed> records;
    for (std::size_t i = 0; i < keys.size(); ++i)
        records.push_back({keys[i], i});
    return records;
}

// count keys from [low, low + spread), drawn with a fixed seed (spread 0: every key is low).
std::vector<std::uint64_t> Drawn(std::size_t count, std::uint64_t low, std::uint64_t spread)
{
    std::mt19937_64 random(17);
    std::vector<std::uint64_t> keys;
    for (std::size_t i = 0; i < count; ++i)
        keys.push_back(spread ? low + random() % spread : low);
    return keys;
}

// Every case must come out as a comparison sort that keeps equal keys in order leaves it.
TEST(KeySortTest, OrdersAsAStableComparisonSort)
{
    const std::uint64_t typeBits = std::uint64_t(0x2A) << 56;
    struct Case
    {
        std::string name;
        std::vector<std::uint64_t> keys;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"one", {5}},
        {"few, compared", {9, 3, 9, 1, 3, 0}},
        {"many duplicates", Drawn(5000, 0, 40)},
        {"index values sharing their type bits", Drawn(20000, typeBits, 3000000)},
        {"keys differing in the top bit only", [] {
             std::vector<std::uint64_t> keys = Drawn(1000, 0, 2);
             for (std::uint64_t& key : keys)
                 key <<= 63;
             return keys;
         }()},
        {"keys across the whole range", Drawn(3000, 0, 0)},
        {"all equal", Drawn(600, 77, 0)},
        {"already sorted", [] {
             std::vector<std::uint64_t> keys;
             for (std::uint64_t i = 0; i < 4000; ++i)
                 keys.push_back(typeBits | (i / 3));
             return keys;
         }()},
    };
    // Full 64-bit keys: every digit differs somewhere.
    std::mt19937_64 random(3);
    for (std::uint64_t& key : cases[6].keys)
        key = random();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Keyed> expected = WithPlaces(c.keys);
        std::stable_sort(expected.begin(), expected.end(),
                         [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
        std::vector<Keyed> sorted = WithPlaces(c.keys);
        StableSortByKey(sorted, KeyOf);
        EXPECT_TRUE(sorted == expected);
    }
}

} // namespace
