#include "framework/EqualPairs.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

// What comparing every two elements finds, in its order.
Pairs EveryTwo(const std::vector<std::string>& keys)
{
    Pairs pairs;
    for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j)
            if (keys[i] == keys[j])
                pairs.emplace_back(i, j);
    return pairs;
}

// Every key in one bucket: only the key comparison can tell groups apart.
struct OneHash
{
    std::size_t operator()(const std::string&) const { return 7; }
};

TEST(EqualPairsTest, PairsComeInTheOrderOfComparingEveryTwo)
{
    // Long enough that the positions are sorted by distribution rather than by comparison.
    std::vector<std::string> many;
    for (int i = 0; i < 600; ++i)
        many.push_back("k" + std::to_string((i * 37) % 211));
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"a"},
        {"a", "b", "c"},
        {"a", "a"},
        {"b", "a", "b", "a", "b"},
        {"x", "y", "x", "z", "y", "x", "x"},
        {"", "", "q", ""},
        many,
    };
    for (const auto& keys : lists) {
        Pairs plain, collided;
        ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) { plain.emplace_back(i, j); });
        ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) { collided.emplace_back(i, j); }, OneHash());
        EXPECT_EQ(EveryTwo(keys), plain) << keys.size();
        EXPECT_EQ(EveryTwo(keys), collided) << keys.size();
    }
}

TEST(EqualPairsTest, PositionsByKeyGivesEachKeysPositionsInOrder)
{
    const std::vector<std::string> keys = {"n2", "n1", "n2", "n3", "n2", "n1"};
    const PositionsByKey<std::string> positions(keys);
    const struct
    {
        const char* key;
        std::vector<std::size_t> expected;
    } cases[] = {{"n1", {1, 5}}, {"n2", {0, 2, 4}}, {"n3", {3}}, {"n4", {}}, {"", {}}};
    for (const auto& c : cases) {
        std::vector<std::size_t> found;
        for (std::size_t at : positions.Of(c.key))
            found.push_back(at);
        EXPECT_EQ(c.expected, found) << c.key;
        EXPECT_EQ(c.expected.empty(), positions.Of(c.key).empty()) << c.key;
    }
}

} // namespace

namespace {

// Lists on both sides of the length up to which PositionsByKey scans in place: every key's
// positions must be those a scan finds, in ascending order, present keys and absent ones alike.
TEST(EqualPairsTest, PositionsByKeyAgreesWithAScanAtEveryLength)
{
    const std::size_t lengths[] = {0, 1, 2, PositionsByKey<int>::kScanned - 1, PositionsByKey<int>::kScanned,
                                   PositionsByKey<int>::kScanned + 1, 40, 257};
    const struct
    {
        const char* name;
        int (*key)(std::size_t);
    } patterns[] = {
        {"all distinct", [](std::size_t i) { return static_cast<int>(1000 - i); }},
        {"all equal", [](std::size_t) { return 7; }},
        {"three keys interleaved", [](std::size_t i) { return static_cast<int>((i * 5) % 3); }},
        {"runs of four, descending", [](std::size_t i) { return static_cast<int>(100 - i / 4); }},
    };
    for (const auto& pattern : patterns)
        for (std::size_t length : lengths) {
            std::vector<int> keys;
            for (std::size_t i = 0; i < length; ++i)
                keys.push_back(pattern.key(i));
            const PositionsByKey<int> positions(keys);
            std::vector<int> probes(keys);
            probes.push_back(-1); // never listed
            for (int probe : probes) {
                std::vector<std::size_t> expected, found;
                for (std::size_t i = 0; i < keys.size(); ++i)
                    if (keys[i] == probe)
                        expected.push_back(i);
                const auto range = positions.Of(probe);
                for (std::size_t at : range)
                    found.push_back(at);
                ASSERT_EQ(expected, found) << pattern.name << ", length " << length << ", key " << probe;
                ASSERT_EQ(expected.empty(), range.empty()) << pattern.name << ", length " << length;
            }
        }
}

} // namespace

namespace {

// First and Last against a scan of what was recorded, for lists short enough to be scanned and
// long enough to be sorted, with keys recorded again after a look-up and a Clear between rounds.
TEST(EqualPairsTest, KeyedPositionsFindTheFirstAndLastOfAKey)
{
    const struct
    {
        const char* name;
        std::size_t length;
        int (*key)(std::size_t);
    } cases[] = {
        {"empty", 0, [](std::size_t) { return 0; }},
        {"short, repeated keys", 9, [](std::size_t i) { return static_cast<int>(i % 3); }},
        {"at the scan limit", PositionsByKey<int>::kScanned, [](std::size_t i) { return static_cast<int>(i / 5); }},
        {"long, descending runs", 70, [](std::size_t i) { return static_cast<int>(50 - i / 7); }},
        {"long, interleaved", 301, [](std::size_t i) { return static_cast<int>((i * 7) % 11); }},
    };
    KeyedPositions<int> recorded;
    for (const auto& c : cases) {
        recorded.Clear();
        std::vector<std::pair<int, std::size_t>> added;
        // Positions recorded out of order, and the second half after the first look-ups.
        const auto record = [&](std::size_t from, std::size_t to) {
            for (std::size_t i = from; i < to; ++i) {
                const std::size_t position = (i * 13) % (c.length + 1);
                recorded.Add(c.key(i), position);
                added.emplace_back(c.key(i), position);
            }
        };
        const auto lookUp = [&](const char* round) {
            for (int key = -1; key <= 60; ++key) {
                bool expectedFound = false;
                std::size_t first = 0, last = 0;
                for (const auto& entry : added)
                    if (entry.first == key) {
                        first = expectedFound ? std::min(first, entry.second) : entry.second;
                        last = expectedFound ? std::max(last, entry.second) : entry.second;
                        expectedFound = true;
                    }
                std::size_t foundFirst = 99999, foundLast = 99999;
                ASSERT_EQ(expectedFound, recorded.First(key, foundFirst)) << c.name << " " << round << " key " << key;
                ASSERT_EQ(expectedFound, recorded.Last(key, foundLast)) << c.name << " " << round << " key " << key;
                ASSERT_EQ(expectedFound, recorded.Contains(key)) << c.name << " " << round << " key " << key;
                if (expectedFound) {
                    EXPECT_EQ(first, foundFirst) << c.name << " " << round << " key " << key;
                    EXPECT_EQ(last, foundLast) << c.name << " " << round << " key " << key;
                }
            }
        };
        record(0, c.length / 2);
        lookUp("first half");
        record(c.length / 2, c.length);
        lookUp("all");
    }
}

} // namespace
