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
using detail::RefList;

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

std::vector<uint64_t> Elements(const RefList& l) { return std::vector<uint64_t>(l.begin(), l.end()); }

RefList ListOf(const std::vector<uint64_t>& v)
{
    RefList l;
    for (uint64_t e : v) l.push_back(e);
    return l;
}

TEST(RefListTest, FollowsAVectorThroughGrowthInsertsErasuresAndCopies)
{
    // Lists of every length around the inline capacity of two, each edited at every position; the list must hold
    // what a vector edited alike holds, and keep its elements inline while they fit.
    const struct
    {
        const char* name;
        std::function<void(RefList&, std::vector<uint64_t>&, size_t at)> edit;
    } edits[] = {
        {"insert", [](RefList& l, std::vector<uint64_t>& v, size_t at) {
             EXPECT_EQ(99u, *l.insert(l.begin() + at, 99));
             v.insert(v.begin() + static_cast<std::ptrdiff_t>(at), 99);
         }},
        {"erase one", [](RefList& l, std::vector<uint64_t>& v, size_t at) {
             if (at == v.size()) return;
             l.erase(l.begin() + at);
             v.erase(v.begin() + static_cast<std::ptrdiff_t>(at));
         }},
        {"erase to the end", [](RefList& l, std::vector<uint64_t>& v, size_t at) {
             l.erase(l.begin() + at, l.end());
             v.erase(v.begin() + static_cast<std::ptrdiff_t>(at), v.end());
         }},
        {"append", [](RefList& l, std::vector<uint64_t>& v, size_t) { l.push_back(77); v.push_back(77); }},
        {"clear", [](RefList& l, std::vector<uint64_t>& v, size_t) { l.clear(); v.clear(); }},
        {"reserve", [](RefList& l, std::vector<uint64_t>&, size_t at) { l.reserve(at * 3); }},
        {"self-assignment", [](RefList& l, std::vector<uint64_t>&, size_t) {
             RefList& same = l;
             l = same;
         }},
        {"copy of itself back", [](RefList& l, std::vector<uint64_t>&, size_t) {
             const RefList copy(l);
             l.push_back(5);
             l = copy;
         }},
        {"move there and back", [](RefList& l, std::vector<uint64_t>&, size_t) {
             RefList moved(std::move(l));
             EXPECT_TRUE(l.empty());
             l = std::move(moved);
         }},
    };
    for (size_t n = 0; n <= 5; ++n) {
        std::vector<uint64_t> start;
        for (size_t i = 0; i < n; ++i) start.push_back(10 + i);
        for (const auto& e : edits) {
            for (size_t at = 0; at <= n; ++at) {
                const std::string what = std::string(e.name) + " at " + std::to_string(at) + " of " + std::to_string(n);
                RefList l = ListOf(start);
                std::vector<uint64_t> v = start;
                e.edit(l, v, at);
                EXPECT_EQ(v, Elements(l)) << what;
                EXPECT_EQ(v.size(), l.size()) << what;
                EXPECT_EQ(v.empty(), l.empty()) << what;
                EXPECT_GE(l.capacity(), l.size()) << what;
                if (l.size() <= RefList::kInline && !l.Spilled()) {
                    // inline elements stand in the list itself
                    const auto* self = reinterpret_cast<const char*>(&l);
                    EXPECT_TRUE(reinterpret_cast<const char*>(l.data()) >= self &&
                                reinterpret_cast<const char*>(l.data()) < self + sizeof l)
                        << what;
                }
                for (size_t i = 0; i < v.size(); ++i) EXPECT_EQ(v[i], l[i]) << what << " element " << i;
            }
        }
    }
}

TEST(RefListTest, CopiesBetweenInlineAndSpilledListsAreDeep)
{
    const std::vector<std::vector<uint64_t>> lists = {{}, {1}, {1, 2}, {1, 2, 3}, {4, 5, 6, 7, 8, 9, 10, 11, 12}};
    for (const auto& from : lists) {
        for (const auto& to : lists) {
            const std::string pair = std::to_string(from.size()) + " over " + std::to_string(to.size());
            RefList a = ListOf(from), b = ListOf(to);
            EXPECT_EQ(from.size() > RefList::kInline, a.Spilled()) << pair;
            b = a;
            EXPECT_EQ(from, Elements(b)) << pair;
            EXPECT_TRUE(a == b) << pair;
            // the copy owns its elements: changing either leaves the other
            b.push_back(100);
            a.push_back(200);
            if (!a.empty()) a[0] = 300;
            std::vector<uint64_t> expect = from;
            expect.push_back(100);
            EXPECT_EQ(expect, Elements(b)) << pair;
            EXPECT_FALSE(a == b) << pair;
            RefList c(b);
            b.clear();
            EXPECT_EQ(expect, Elements(c)) << pair;
            EXPECT_FALSE(b.Spilled()) << pair;
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

TEST_F(StoreRecordTest, BackupsKeepListsOfEveryLengthAsTheyStood)
{
    // Nets whose pin lists hold 0..4 pins (inline and spilled), backed up, then changed: the backup's copies own
    // their elements and keep them; the live lists show the changes.
    std::vector<Index> pins, nets;
    for (int i = 0; i < 4; ++i) pins.push_back(b->Pin(u1, "P" + std::to_string(i), NPT_NetPin, n3));
    for (size_t n = 0; n <= pins.size(); ++n) {
        nets.push_back(b->PhysicalNet(cfg, "L" + std::to_string(n), e2));
        for (size_t i = 0; i < n; ++i) store().Append(nets.back(), Field::pins, pins[i]);
    }
    GIndex g;
    ASSERT_TRUE(session->RequestProjectBackup(g, PBT_8, "before", "edit"));
    for (size_t n = 0; n < nets.size(); ++n) {
        if (n % 2) store().ClearList(nets[n], Field::pins);
        store().Append(nets[n], Field::pins, pins[0]);
    }
    const auto& backups = StandIn::GetBackups(*session);
    ASSERT_EQ(1u, backups.size());
    const detail::SnapshotData& kept = *backups[0].snapshots[0];
    for (size_t n = 0; n < nets.size(); ++n) {
        std::vector<Index> before(pins.begin(), pins.begin() + static_cast<std::ptrdiff_t>(n));
        const detail::ObjRecord* r = kept.Find(nets[n].GetValue());
        ASSERT_TRUE(r) << n;
        const auto& list = kept.GetList(*r, Field::pins);
        EXPECT_EQ(before, std::vector<Index>(list.begin(), list.end())) << n;
        std::vector<Index> now = n % 2 ? std::vector<Index>{} : before;
        now.push_back(pins[0]);
        EXPECT_EQ(now, store().List(nets[n], Field::pins)) << n;
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
