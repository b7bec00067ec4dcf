// The loader's positions: JSON Pointers with escaped keys and element numbers, a reused leaf, and staged
// objects whose positions are only made when a pointer is built.
#include "platform/lumo/src/PathTable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Lumo::detail::PathTable;

TEST(PathTableTest, BuildsJsonPointers)
{
    PathTable paths;
    const uint32_t root = PathTable::kRoot;
    const uint32_t snapshots = paths.Add(root, "snapshots");
    const uint32_t first = paths.Add(snapshots, {}, 0);
    const uint32_t odd = paths.Add(first, "a/b~c");
    const uint32_t keyed = paths.Add(first, "pins", 3);   // the element of a keyed list

    const auto none = [](uint32_t) -> uint32_t { ADD_FAILURE() << "no staged object here"; return PathTable::kRoot; };
    struct Case {
        uint32_t node;
        const char* key;
        int64_t pos;
        const char* pointer;
    };
    for (const Case& c : {Case{root, "", -1, ""}, Case{root, "session", -1, "/session"},
                          Case{snapshots, "", 2, "/snapshots/2"}, Case{first, "name", -1, "/snapshots/0/name"},
                          Case{odd, "", -1, "/snapshots/0/a~1b~0c"}, Case{keyed, "x", 1, "/snapshots/0/pins/3/x/1"}}) {
        SCOPED_TRACE(c.pointer);
        EXPECT_EQ(paths.Build(c.node, c.key, c.pos, none), c.pointer);
    }
}

TEST(PathTableTest, ReusesTheLeafAndPlacesStagedObjectsOnDemand)
{
    PathTable paths;
    const uint32_t objects = paths.Add(PathTable::kRoot, "objects");
    const auto none = [](uint32_t) { return PathTable::kRoot; };
    const uint32_t leaf = paths.Leaf(objects, "id", -1);
    EXPECT_EQ(paths.Leaf(objects, "kind", 4), leaf);
    EXPECT_EQ(paths.Build(leaf, "", -1, none), "/objects/kind/4");

    // Staged object 7 stands as element 5 of "objects"; the position of a key under it is found through it.
    int asked = 0;
    const auto objectPath = [&](uint32_t obj) {
        ++asked;
        EXPECT_EQ(obj, 7u);
        return paths.Add(objects, {}, 5);
    };
    EXPECT_EQ(paths.Build(PathTable::ObjectRef(7), "net", -1, objectPath), "/objects/5/net");
    EXPECT_EQ(asked, 1);

    paths.Clear();
    EXPECT_EQ(paths.Build(paths.Add(PathTable::kRoot, "backups"), "", 0, none), "/backups/0");
}

} // namespace
