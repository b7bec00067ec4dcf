// A record's name and back entries: a name of up to 15 bytes stands in the record, a longer one in a buffer of
// its own; back entries live in a counted heap block. Names must survive every change of length, copies of
// snapshots (backups) and deletion; back entries must follow list edits, which deletion and renaming rely on.
#include "LumoFixture.h"
#include "platform/lumo/src/Store.h"

#include <algorithm>
#include <functional>

namespace LumoTest {
namespace {

using detail::BackList;
using detail::RecordName;

std::string Letters(size_t n, char first)
{
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>(first + static_cast<char>(i % 26));
    return s;
}

TEST(RecordNameTest, KeepsEveryLengthThroughReassignmentCopiesAndMoves)
{
    // around the inline limit of 15 bytes, an embedded zero byte, and a long name
    const std::vector<std::string> texts = {"",         "A",           Letters(14, 'a'), Letters(15, 'b'),
                                            Letters(16, 'c'), Letters(17, 'd'), std::string("N\0T", 3), Letters(300, 'e')};
    for (const std::string& from : texts) {
        for (const std::string& to : texts) {
            const std::string pair = std::to_string(from.size()) + " -> " + std::to_string(to.size());
            RecordName n;
            n = from;
            EXPECT_EQ(from, n.str()) << pair;
            n = to;
            EXPECT_EQ(to, n.str()) << pair;
            EXPECT_EQ(to.size(), n.size()) << pair;
            EXPECT_EQ(to.empty(), n.empty()) << pair;
            // a copy is deep: changing it leaves the original
            RecordName copy(n);
            copy = from;
            EXPECT_EQ(to, n.str()) << pair;
            EXPECT_EQ(from, copy.str()) << pair;
            copy = n;
            EXPECT_EQ(to, copy.str()) << pair;
            // a move leaves the source empty
            RecordName moved(std::move(copy));
            EXPECT_EQ(to, moved.str()) << pair;
            EXPECT_TRUE(copy.empty()) << pair;
            RecordName target;
            target = from;
            target = std::move(moved);
            EXPECT_EQ(to, target.str()) << pair;
            EXPECT_TRUE(moved.empty()) << pair;
            // assigning a part of its own text
            target = target.view().substr(to.size() / 2);
            EXPECT_EQ(to.substr(to.size() / 2), target.str()) << pair;
        }
    }
}

TEST(BackListTest, FollowsAVectorThroughAppendsRemovalsAndCopies)
{
    // Each step changes the list and a vector alike; they must then hold the same entries.
    const struct
    {
        const char* name;
        std::function<void(BackList&, std::vector<uint64_t>&)> step;
    } steps[] = {
        {"the first entry", [](BackList& b, std::vector<uint64_t>& v) { b.push_back(7); v.push_back(7); }},
        {"past several capacities",
         [](BackList& b, std::vector<uint64_t>& v) {
             for (uint64_t k = 0; k < 100; ++k) {
                 b.push_back(k % 9);
                 v.push_back(k % 9);
             }
         }},
        {"a removal of every occurrence",
         [](BackList& b, std::vector<uint64_t>& v) {
             b.Remove(3);
             v.erase(std::remove(v.begin(), v.end(), 3), v.end());
         }},
        {"a removal of an absent key", [](BackList& b, std::vector<uint64_t>&) { b.Remove(12345); }},
        {"a reserve", [](BackList& b, std::vector<uint64_t>&) { b.reserve(1000); }},
        {"a copy into a shorter list",
         [](BackList& b, std::vector<uint64_t>&) {
             BackList other;
             other.push_back(1);
             other = b;
             b = BackList();
             b = other;
         }},
        {"a copy over a longer list",
         [](BackList& b, std::vector<uint64_t>& v) {
             BackList small;
             small.push_back(42);
             b = small;
             v = {42};
         }},
        {"a move", [](BackList& b, std::vector<uint64_t>&) { BackList m(std::move(b)); b = std::move(m); }},
        {"removing the last entries",
         [](BackList& b, std::vector<uint64_t>& v) {
             b.Remove(42);
             v.clear();
         }},
        {"an append after emptying", [](BackList& b, std::vector<uint64_t>& v) { b.push_back(5); v.push_back(5); }},
        {"a copy of an empty list",
         [](BackList& b, std::vector<uint64_t>& v) {
             b = BackList();
             v.clear();
         }},
    };
    BackList b;
    std::vector<uint64_t> v;
    for (const auto& s : steps) {
        s.step(b, v);
        EXPECT_EQ(v, std::vector<uint64_t>(b.begin(), b.end())) << s.name;
        EXPECT_EQ(v.size(), b.size()) << s.name;
        if (!v.empty()) {
            EXPECT_EQ(v.back(), b.back()) << s.name;
        }
    }
}

class StoreRecordTest : public LumoFixture {};

TEST_F(StoreRecordTest, NamesSurviveRenamingBackupsAndDeletion)
{
    // Pins named across the inline limit, renamed across it after a backup; the backup keeps the old names.
    const std::vector<std::string> names = {"", "7", Letters(15, 'a'), Letters(16, 'b'), Letters(40, 'c')};
    std::vector<Index> pins;
    for (const std::string& n : names) pins.push_back(b->Pin(u1, n, NPT_NetPin, n3));
    GIndex g;
    ASSERT_TRUE(session->RequestProjectBackup(g, PBT_8, "before", "rename"));
    for (size_t i = 0; i < pins.size(); ++i) store().SetName(pins[i], names[names.size() - 1 - i]);
    b->Delete(pins[1]);
    ASSERT_TRUE(session->RequestProjectBackup(g, PBT_8, "after", "rename"));
    const auto& backups = StandIn::GetBackups(*session);
    ASSERT_EQ(2u, backups.size());
    for (size_t i = 0; i < pins.size(); ++i) {
        const std::string renamed = names[names.size() - 1 - i];
        EXPECT_EQ(i != 1, store().IsAlive(pins[i])) << i;
        EXPECT_EQ(renamed, store().Name(pins[i])) << i;
        const detail::ObjRecord* before = backups[0].snapshots[0]->Find(pins[i].GetValue());
        const detail::ObjRecord* after = backups[1].snapshots[0]->Find(pins[i].GetValue());
        ASSERT_TRUE(before && after) << i;
        EXPECT_EQ(names[i], before->name.str()) << i;
        EXPECT_EQ(renamed, after->name.str()) << i;
        // the database reads the name back, and finds a pin by it
        if (i == 1) continue;
        String got;
        ASSERT_TRUE(Fetch(pins[i], &IUIDManager::GetNorvPin)->GetName(got)) << i;
        EXPECT_EQ(renamed, got.str()) << i;
    }
}

TEST_F(StoreRecordTest, BackEntriesFollowListEditsForDeletion)
{
    // A pin listed by several nets' lists: deleting it must take it out of exactly the lists that still hold it,
    // which the pin's back entries name.
    Index pin;
    std::vector<Index> nets;
    const struct
    {
        const char* name;
        std::function<void()> edit;
        std::vector<int> holding;   // nets whose pin list holds the pin when it is deleted
    } cases[] = {
        {"listed by every net", [] {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"some lists cleared", [&] {
             for (int i : {0, 5, 11}) store().ClearList(nets[static_cast<size_t>(i)], Field::pins);
         }, {1, 2, 3, 4, 6, 7, 8, 9, 10}},
        {"cleared and listed again", [&] {
             for (int i : {0, 5}) store().ClearList(nets[static_cast<size_t>(i)], Field::pins);
             for (int i : {0, 5}) store().Append(nets[static_cast<size_t>(i)], Field::pins, pin);
         }, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    };
    for (const auto& c : cases) {
        SetUp();
        pin = b->Pin(u1, "X", NPT_NetPin, n3);
        nets.clear();
        for (int i = 0; i < 12; ++i) nets.push_back(b->PhysicalNet(cfg, "L" + std::to_string(i), e2));
        for (const Index& n : nets) store().Append(n, Field::pins, pin);
        c.edit();
        // another pin in every list, which stays
        const Index other = b->Pin(u1, "Y", NPT_NetPin, n3);
        for (const Index& n : nets) store().Append(n, Field::pins, other);
        for (size_t i = 0; i < nets.size(); ++i) {
            const bool holds = std::count(c.holding.begin(), c.holding.end(), static_cast<int>(i)) != 0;
            const auto list = store().List(nets[i], Field::pins);
            EXPECT_EQ(holds, std::find(list.begin(), list.end(), pin) != list.end()) << c.name << " net " << i;
        }
        b->Delete(pin);
        for (size_t i = 0; i < nets.size(); ++i) {
            const auto list = store().List(nets[i], Field::pins);
            EXPECT_EQ(std::vector<Index>{other}, list) << c.name << " net " << i;
        }
        EXPECT_EQ(std::vector<Index>{other}, store().List(n3, Field::pins)) << c.name;
    }
}

}  // namespace
}  // namespace LumoTest
