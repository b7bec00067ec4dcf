// The loader's passes over a design: ids are filed in one batch after staging, and in designs with more
// objects than the loader reads between two releases of the file's values, what lies before the object being
// read is given back, so references, errors and the saved file late in a large design must not depend on it.
#include "JsonTestUtil.h"

#include "SessionDump.h"
#include "lumopi/StandIn.h"
#include "platform/lumo/src/Store.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using namespace Lumo::StandIn;
using LumoTest::Design;
using LumoTest::LoadText;

constexpr int kNets = 20000;   // more objects than one release step

// One configuration of kNets physical nets, each with an id, a name, an attribute and a reference to an
// electrical net near the start of the file whose id has an escape and is longer than eight bytes; the
// last net holds `lastKeys`.
std::string LargeDesign(const std::string& lastKeys)
{
    std::string nets;
    nets.reserve(static_cast<size_t>(kNets) * 140);
    for (int i = 0; i < kNets; ++i) {
        const std::string n = std::to_string(i);
        nets += R"({ "id": "N)" + n + R"(", "name": "net)" + n + R"(", "parentElectricalNet": "E\u00e9-first-net",)" +
                R"( "attributes": [ { "name": "a", "value": "v)" + n + R"(" } ] }, )";
    }
    return Design(R"("norvConfigs": [ { "topBlock": "TOP", "electricalNets": [ { "id": "E\u00e9-first-net" } ], "physicalNets": [ )" +
                  nets + "{ " + lastKeys + " } ] } ]");
}

TEST(JsonLoadLarge, ErrorsLateInALargeDesignKeepTheirPointer)
{
    const std::string last = "/snapshots/0/norvConfigs/0/physicalNets/" + std::to_string(kNets);
    const struct {
        const char* what;
        std::string lastKeys;
        std::string path;
        const char* message;
    } cases[] = {
        {"unknown id", R"("parentElectricalNet": "NOPE")", last + "/parentElectricalNet", "unknown id \"NOPE\""},
        {"id of an early object, of a kind the key does not allow", R"("netClass": "E\u00e9-first-net")", last + "/netClass",
         "names kind ElectricalNet"},
        {"duplicate id", R"("id": "N0")", last + "/id", "duplicate id \"N0\""},
        {"duplicate attribute", R"("attributes": [ { "name": "a", "value": "1" }, { "name": "a", "value": "2" } ])",
         last + "/attributes/1", "duplicate attribute \"a\""},
        {"unknown attribute key", R"("attributes": [ { "name": "a", "value": "1" }, { "name": "b", "value": "2", "colour": 1 } ])",
         last + "/attributes/1/colour", "unknown key \"colour\""},
        {"wrong JSON type", R"("name": 7)", last + "/name", "expected a string, found an integer"},
    };
    for (const auto& c : cases) {
        LoadError err;
        EXPECT_FALSE(LoadText(LargeDesign(c.lastKeys), &err)) << c.what;
        EXPECT_EQ(c.path, err.path) << c.what << ": " << err.message;
        EXPECT_NE(std::string::npos, err.message.find(c.message)) << c.what << ": " << err.message;
    }
}

TEST(JsonLoadLarge, ALargeDesignResolvesLateReferencesAndRoundTrips)
{
    LumoTest::TempDir dir;
    const std::string design = dir.File("large.json");
    LumoTest::WriteText(design, LargeDesign(R"("name": "last", "parentElectricalNet": "E\u00e9-first-net")"));
    LoadError err;
    auto first = LoadSession(design, &err);
    ASSERT_TRUE(first) << err.path << ": " << err.message;
    ASSERT_TRUE(SaveSession(*first, dir.File("a.json")));
    const std::string saved = LumoTest::ReadText(dir.File("a.json"));
    // every net, the last one included, is listed by the electrical net that completion filled in
    EXPECT_NE(std::string::npos, saved.find("\"last\"")) << "the last net was lost";
    auto second = LoadSession(dir.File("a.json"), &err);
    ASSERT_TRUE(second) << err.path << ": " << err.message;
    ASSERT_TRUE(SaveSession(*second, dir.File("b.json")));
    EXPECT_EQ(saved, LumoTest::ReadText(dir.File("b.json")));
}

TEST(JsonLoadLarge, TheFirstErrorOfTheFileIsReported)
{
    const std::string nets = R"("norvConfigs": [ { "topBlock": "T", "physicalNets": [ { "id": "N" }, )";
    const struct {
        const char* what;
        std::string json;
        const char* path;
        const char* message;
    } cases[] = {
        {"duplicate id before an unknown kind", Design(nets + R"({ "id": "N" } ] } ], "objects": [ { "kind": "Gadget", "in": null } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/1/id", "duplicate id \"N\""},
        {"unknown kind before a duplicate id", Design(R"("objects": [ { "kind": "Gadget", "in": null } ], )" + nets + R"({ "id": "N" } ] } ])"),
         "/snapshots/0/objects/0/kind", "unknown kind \"Gadget\""},
        {"duplicate id before a malformed index of the same object", Design(nets + R"({ "id": "N", "index": "five" } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/1/id", "duplicate id \"N\""},
        {"malformed index before a duplicate id of the same object", Design(nets + R"({ "index": "five", "id": "N" } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/1/index", "malformed index"},
        {"the second of three uses of an id", Design(nets + R"({ "id": "M" }, { "id": "N" }, { "id": "M" } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/2/id", "duplicate id \"N\""},
        {"duplicate id among definitions",
         Design("", R"("session": { "definitions": [ { "id": "D", "name": "A" }, { "id": "D", "name": "B" } ] },)"),
         "/session/definitions/1/id", "duplicate id \"D\""},
    };
    for (const auto& c : cases) {
        LoadError err;
        EXPECT_FALSE(LoadText(c.json, &err)) << c.what;
        EXPECT_EQ(c.path, err.path) << c.what << ": " << err.message;
        EXPECT_NE(std::string::npos, err.message.find(c.message)) << c.what << ": " << err.message;
    }
}

TEST(JsonLoadLarge, DuplicateAttributesAreFoundInShortAndLongLists)
{
    // A logic component with `count` attributes "A0", "A1"... of type 3, then `last`.
    auto design = [](int count, const std::string& last) {
        std::string attrs;
        for (int i = 0; i < count; ++i) attrs += R"({ "name": "A)" + std::to_string(i) + R"(", "type": 3, "value": "v" }, )";
        return Design(R"("defaultConfigs": [ { "topBlock": "T", "logicComps": [ { "attributes": [ )" + attrs + last + " ] } ] } ]");
    };
    const struct {
        int count;
        const char* last;
        bool duplicate;
    } cases[] = {
        {3, R"({ "name": "A1", "type": 3, "value": "w" })", true},
        {3, R"({ "name": "A1", "type": 4, "value": "w" })", false},   // another type: another attribute
        {15, R"({ "name": "A0", "type": 3, "value": "w" })", true},   // the last one compared in place
        {16, R"({ "name": "A0", "type": 3, "value": "w" })", true},   // the first one hashed
        {40, R"({ "name": "A39", "type": 3, "value": "w" })", true},
        {40, R"({ "name": "A7", "type": 3, "value": "w" })", true},
        {40, R"({ "name": "A7", "type": 5, "value": "w" })", false},
        {40, R"({ "name": "A40", "type": 3, "value": "w" })", false},
    };
    for (const auto& c : cases) {
        LoadError err;
        auto loaded = LoadText(design(c.count, c.last), &err);
        EXPECT_EQ(!c.duplicate, loaded != nullptr) << c.count << " " << c.last << ": " << err.message;
        if (c.duplicate) {
            EXPECT_EQ("/snapshots/0/defaultConfigs/0/logicComps/0/attributes/" + std::to_string(c.count), err.path);
            EXPECT_NE(std::string::npos, err.message.find("duplicate attribute")) << err.message;
        }
    }
}

// Loads the design, saves it and loads the saved file, which must give the same session: what completion
// filled in on the first load (the saved file leaves out what it rebuilds) comes back on the second.
std::unique_ptr<Lumo::LumoPI> LoadSaveLoad(const std::string& design)
{
    LumoTest::TempDir dir;
    LumoTest::WriteText(dir.File("d.json"), design);
    LoadError err;
    auto first = LoadSession(dir.File("d.json"), &err);
    EXPECT_TRUE(first) << err.path << ": " << err.message;
    if (!first || !SaveSession(*first, dir.File("saved.json"))) return nullptr;
    auto second = LoadSession(dir.File("saved.json"), &err);
    EXPECT_TRUE(second) << err.path << ": " << err.message;
    if (second) {
        EXPECT_EQ(LumoTest::DumpSession(*first), LumoTest::DumpSession(*second));
    }
    return second;
}

// The ids of the list `key` of the object with that id in the session's first snapshot, joined by spaces; "?"
// when no object has that id.
std::string ListOf(const Lumo::LumoPI& session, const std::string& id, const std::string& key)
{
    using namespace Lumo::detail;
    const SnapshotData& t = *Access::DataOf(session)->snapshots[0];
    Field field = Field::Count;
    for (size_t f = 0; f < static_cast<size_t>(Field::Count); ++f)
        if (key == FieldName(static_cast<Field>(f))) field = static_cast<Field>(f);
    for (uint32_t i = 0; i < t.records.size(); ++i) {
        if (!t.records[i].Alive() || t.FileId(i) != id) continue;
        std::string found;
        for (uint64_t e : t.GetList(t.records[i], field))
            found += (found.empty() ? "" : " ") + t.FileId(static_cast<uint32_t>(t.SlotOfIndex(e)));
        return found;
    }
    return "?";
}

// Completion fills each list with the objects that name it, in document order, after what the file lists and
// without repeating it; a literal list stays as written. Here the names come from all over a large design, in
// more pairs than completion takes in one batch per target, and the pins of two components far apart name
// each of half the nets.
TEST(JsonLoadLarge, CompletedListsKeepDocumentOrderInALargeDesign)
{
    constexpr int kNetCount = 6000, kComps = 2000, kPins = 3;
    auto netOfPin = [](int pin) { return pin * 7919 % (kNetCount / 2); };
    std::string nets, comps;
    for (int i = 0; i < kNetCount; ++i)
        nets += std::string(i ? ", " : "") + R"({ "id": "N)" + std::to_string(i) + R"(", "name": "n", "netClass": "NC)" + std::to_string(i % 3) + R"(" })";
    for (int c = 0; c < kComps; ++c) {
        comps += std::string(c ? ", " : "") + R"({ "id": "C)" + std::to_string(c) + R"(", "name": "c", "pins": [ )";
        for (int j = 0; j < kPins; ++j) {
            const int pin = c * kPins + j;
            comps += std::string(j ? ", " : "") + R"({ "id": "P)" + std::to_string(pin) + R"(", "name": "p", "parentPhysicalNet": "N)" +
                     std::to_string(netOfPin(pin)) + R"(" })";
        }
        comps += " ] }";
    }
    const std::string design = Design(
        R"("norvConfigs": [ { "topBlock": "TOP", "design": { "netClasses": [ { "id": "NC0", "name": "a" },)"
        R"( { "id": "NC1", "name": "b", "physicalNets": [ "N4" ] },)"
        R"( { "id": "NC2", "name": "c", "literal": [ "physicalNets" ], "physicalNets": [ "N2", "N0" ] } ] },)"
        R"( "norvComps": [ )" + comps + R"( ], "physicalNets": [ )" + nets + " ] } ]");

    // what completion must give
    auto netsOfClass = [&](int cls, int first) {
        std::string s = first >= 0 ? "N" + std::to_string(first) : "";
        for (int i = cls; i < kNetCount; i += 3)
            if (i != first) s += (s.empty() ? "N" : " N") + std::to_string(i);
        return s;
    };
    auto pinsOfNet = [&](int net) {
        std::string s;
        for (int pin = 0; pin < kComps * kPins; ++pin)
            if (netOfPin(pin) == net) s += (s.empty() ? "P" : " P") + std::to_string(pin);
        return s;
    };
    const struct {
        const char* id;
        const char* key;
        std::string expected;
    } cases[] = {
        {"NC0", "physicalNets", netsOfClass(0, -1)},
        {"NC1", "physicalNets", netsOfClass(1, 4)},   // the listed net first, not repeated
        {"NC2", "physicalNets", "N2 N0"},             // literal: as written
        {"N0", "pins", pinsOfNet(0)},
        {"N1", "pins", pinsOfNet(1)},
        {"N1234", "pins", pinsOfNet(1234)},
        {"N2999", "pins", pinsOfNet(2999)},
        {"N3000", "pins", ""},                        // named by no pin
    };

    const auto saved = LoadSaveLoad(design);
    ASSERT_TRUE(saved);
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ListOf(*saved, c.id, c.key)) << c.id << " " << c.key;
    }
}

// References by id are looked up in batches (those of the objects between two releases of the file's values,
// or of one long list), in the order of the id table rather than the file's. Here the electrical nets' ids
// cover every length the table compares differently (up to its eight-byte prefix, just past it, long, with an
// escape), more physical nets name them than one batch holds, and the physical nets' ids share their first
// bytes and length, so that a lookup passes many of them. Physical net i is object 9 + i of its snapshot.
constexpr int kBatchNets = 17000;
std::string NetId(int i)
{
    const std::string n = std::to_string(i);
    return "PhysicalNet-" + std::string(5 - n.size(), '0') + n;
}
const std::vector<std::string>& ElectricalIds()
{
    static const std::vector<std::string> ids = {"E", "E234567", "E2345678", "E23456789", "E234567890abcdef",
                                                 std::string("E") + std::string(70, 'x'), "E\\u00e9-net"};
    return ids;
}

// The design: the electrical nets, then kBatchNets physical nets (net i names electrical net i % 7), then the
// snapshot's free objects. `netKeys` replaces the keys after the name of the nets it holds.
std::string BatchDesign(const std::map<int, std::string>& netKeys, const std::string& electricalKeys = "",
                        const std::string& objects = "")
{
    const std::vector<std::string>& eids = ElectricalIds();
    std::string s = R"("norvConfigs": [ { "topBlock": "TOP", "electricalNets": [ )";
    for (size_t e = 0; e < eids.size(); ++e)
        s += std::string(e ? ", " : "") + R"({ "id": ")" + eids[e] + R"(")" + (e == 0 ? electricalKeys : "") + " }";
    s += R"( ], "physicalNets": [ )";
    for (int i = 0; i < kBatchNets; ++i) {
        const auto it = netKeys.find(i);
        s += std::string(i ? ", " : "") + R"({ "id": ")" + NetId(i) + R"(", "name": "n", )" +
             (it != netKeys.end() ? it->second : R"("parentElectricalNet": ")" + eids[i % eids.size()] + R"(")") + " }";
    }
    s += " ] } ]";
    if (!objects.empty()) s += R"(, "objects": [ )" + objects + " ]";
    return Design(s);
}

// The ids of all physical nets, last first, and then `more`: a list longer than one batch.
std::string AllNetsList(const std::string& more = "")
{
    std::string s = R"(, "physicalNets": [ )";
    for (int i = kBatchNets - 1; i >= 0; --i) s += "\"" + NetId(i) + "\", ";
    return s + (more.empty() ? std::string("\"") + NetId(0) + "\"" : more) + " ]";
}

TEST(JsonLoadLarge, BatchedLookupsResolveIdsOfEveryLength)
{
    // an explicit list comes first in the completed list
    const auto saved = LoadSaveLoad(BatchDesign({{9, R"("parentElectricalNet": null)"}},
                                                 R"(, "physicalNets": [ ")" + NetId(16100) + R"(", ")" + NetId(7) + R"(" ])"));
    ASSERT_TRUE(saved);
    const std::vector<std::string>& eids = ElectricalIds();
    for (size_t e = 0; e < eids.size(); ++e) {
        // completion lists each electrical net's physical nets, in document order, from their references
        std::string expected = e == 0 ? NetId(16100) + " " + NetId(7) : "";
        for (int i = static_cast<int>(e); i < kBatchNets; i += static_cast<int>(eids.size()))
            if (i != 9 && (e != 0 || (i != 7 && i != 16100))) expected += (expected.empty() ? "" : " ") + NetId(i);
        const std::string id = e + 1 == eids.size() ? "E\xc3\xa9-net" : eids[e];
        EXPECT_EQ(expected, ListOf(*saved, id, "physicalNets")) << id;
    }

    // a list longer than a batch, read before the references that name its owner
    const auto longSaved = LoadSaveLoad(BatchDesign({}, AllNetsList()));
    ASSERT_TRUE(longSaved);
    std::string expected;
    for (int i = kBatchNets - 1; i >= 0; --i) expected += NetId(i) + " ";
    EXPECT_EQ(expected + NetId(0), ListOf(*longSaved, "E", "physicalNets"));
}

TEST(JsonLoadLarge, BatchedLookupsReportTheFirstErrorInReadingOrder)
{
    const std::string nets = "/snapshots/0/norvConfigs/0/physicalNets/";
    const std::string unknown = R"("parentElectricalNet": "NOPE")";
    const std::string unknownKey = R"("colour": 1)";
    const struct {
        const char* what;
        std::string json;
        std::string path;
        const char* message;
    } cases[] = {
        {"unknown id early", BatchDesign({{3, unknown}}), nets + "3/parentElectricalNet", "unknown id \"NOPE\""},
        {"unknown id, last of a batch", BatchDesign({{16374, unknown}}), nets + "16374/parentElectricalNet", "unknown id"},
        {"unknown id, first of the next batch", BatchDesign({{16375, unknown}}), nets + "16375/parentElectricalNet",
         "unknown id"},
        {"unknown id at the end of a list longer than a batch", BatchDesign({}, AllNetsList("\"NOPE\"")),
         "/snapshots/0/norvConfigs/0/electricalNets/0/physicalNets/" + std::to_string(kBatchNets), "unknown id \"NOPE\""},
        {"unknown id in a list longer than a batch, before other errors",
         BatchDesign({{3, unknown}}, AllNetsList("\"NOPE\", \"E\"")),
         "/snapshots/0/norvConfigs/0/electricalNets/0/physicalNets/" + std::to_string(kBatchNets), "unknown id \"NOPE\""},
        {"unknown id, last object", BatchDesign({{kBatchNets - 1, unknown}}),
         nets + std::to_string(kBatchNets - 1) + "/parentElectricalNet", "unknown id"},
        {"id of a kind the key does not allow", BatchDesign({{12000, R"("parentElectricalNet": ")" + NetId(7) + "\""}}),
         nets + "12000/parentElectricalNet", "id \"PhysicalNet-00007\" names kind PhysicalNet, which \"parentElectricalNet\" does not allow"},
        {"two unknown ids of one batch: the earlier one, whatever their slots",
         BatchDesign({{5, R"("parentElectricalNet": "AAA")"}, {10, R"("parentElectricalNet": "ZZZ")"}}),
         nets + "5/parentElectricalNet", "unknown id \"AAA\""},
        {"unknown ids in two batches", BatchDesign({{16000, R"("parentElectricalNet": "ZZZ")"}, {16380, unknown}}),
         nets + "16000/parentElectricalNet", "unknown id \"ZZZ\""},
        {"unknown id before another error", BatchDesign({{100, unknown}, {200, unknownKey}}),
         nets + "100/parentElectricalNet", "unknown id"},
        {"another error before an unknown id", BatchDesign({{100, unknownKey}, {200, unknown}}), nets + "100/colour",
         "unknown key \"colour\""},
        {"unknown id before another error of its object", BatchDesign({{100, unknown + ", " + unknownKey}}),
         nets + "100/parentElectricalNet", "unknown id"},
        {"another error before an unknown id of its object", BatchDesign({{100, unknownKey + ", " + unknown}}),
         nets + "100/colour", "unknown key"},
        {"id sharing the prefix and length of a nine-byte id", BatchDesign({{50, R"("parentElectricalNet": "E23456780")"}}),
         nets + "50/parentElectricalNet", "unknown id \"E23456780\""},
        {"id sharing the prefix and length of a long id",
         BatchDesign({{50, R"("parentElectricalNet": "E234567890abcdeX")"}}), nets + "50/parentElectricalNet",
         "unknown id \"E234567890abcdeX\""},
        {"id sharing the prefix and length of many ids", BatchDesign({{80, R"("parentElectricalNet": "PhysicalNet-99999")"}}),
         nets + "80/parentElectricalNet", "unknown id \"PhysicalNet-99999\""},
        {"unknown id in a list", BatchDesign({}, R"(, "physicalNets": [ "PhysicalNet-00000", "NOPE" ])"),
         "/snapshots/0/norvConfigs/0/electricalNets/0/physicalNets/1", "unknown id \"NOPE\""},
        {"list entry of a kind the list does not allow", BatchDesign({}, R"(, "physicalNets": [ "PhysicalNet-00000", "E" ])"),
         "/snapshots/0/norvConfigs/0/electricalNets/0/physicalNets/1", "id \"E\" names kind ElectricalNet"},
        {"unknown owner", BatchDesign({}, "", R"({ "kind": "ElectricalNet", "in": "NOPE" })"), "/snapshots/0/objects/0/in",
         "unknown id \"NOPE\""},
        {"unknown owner before an owner of the wrong kind",
         BatchDesign({}, "", R"({ "kind": "ElectricalNet", "in": "TOPX" }, { "kind": "ElectricalNet", "in": "PhysicalNet-00005" })"),
         "/snapshots/0/objects/0/in", "unknown id \"TOPX\""},
        {"owner of a kind that cannot own the object", BatchDesign({}, "", R"({ "kind": "ElectricalNet", "in": "PhysicalNet-00005" })"),
         "/snapshots/0/objects/0/in", "id \"PhysicalNet-00005\" names kind PhysicalNet, which \"in\" does not allow"},
    };
    for (const auto& c : cases) {
        LoadError err;
        EXPECT_FALSE(LoadText(c.json, &err)) << c.what;
        EXPECT_EQ(c.path, err.path) << c.what << ": " << err.message;
        EXPECT_NE(std::string::npos, err.message.find(c.message)) << c.what << ": " << err.message;
    }
}

}  // namespace
