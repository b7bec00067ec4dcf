// Load errors of the design file: each kind stops the load and names the offending value by its JSON Pointer.
#include "JsonTestUtil.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

using namespace Lumo::StandIn;
using LumoTest::Design;
using LumoTest::LoadText;

namespace {

// A configuration "TOP" whose keys follow the top block.
std::string Config(const std::string& keys)
{
    return Design(R"("norvConfigs": [ { "topBlock": "TOP", )" + keys + " } ]");
}

struct ErrorCase {
    const char* what;
    std::string json;
    const char* path;
    const char* message;   // a part of the message
};

}  // namespace

TEST(JsonLoadError, EachErrorNamesItsPathAndReason)
{
    const std::string nets = R"("electricalNets": [ { "id": "E1" } ], "physicalNets": [ { "id": "N0" }, { "id": "N1" }, )";
    const ErrorCase cases[] = {
        {"invalid JSON", R"({ "format": )", "", "invalid JSON"},
        {"wrong format", R"({ "format": "other", "version": 1, "snapshots": [] })", "/format", "kravik-design"},
        {"wrong version", R"({ "format": "kravik-design", "version": 2, "snapshots": [] })", "/version", "version 2"},
        {"missing format", R"({ "version": 1, "snapshots": [] })", "", "missing required key \"format\""},
        {"missing snapshots", R"({ "format": "kravik-design", "version": 1 })", "", "missing required key \"snapshots\""},
        {"unknown top-level key", R"({ "format": "kravik-design", "version": 1, "snapshots": [], "extra": 1 })",
         "/extra", "unknown key \"extra\""},
        {"duplicate key", Config(R"("physicalNets": [ { "name": "a", "name": "b" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/name", "duplicate key \"name\""},
        {"duplicate top-level key",
         R"({ "format": "kravik-design", "version": 1, "snapshots": [ { "name": "a" } ], "snapshots": [] })",
         "/snapshots", "duplicate key \"snapshots\""},
        {"duplicate key of the session", R"({ "format": "kravik-design", "version": 1,)"
                                         R"( "session": { "address": "a", "address": "b" }, "snapshots": [] })",
         "/session/address", "duplicate key \"address\""},
        {"duplicate key of a fault", Config(R"("physicalNets": [ { "fail": [ { "op": "GetName", "op": "GetName" } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/fail/0/op", "duplicate key \"op\""},
        {"duplicate key of a lock", Design(R"("locks": [ { "object": "1-0-101", "deep": true, "deep": false } ])"),
         "/snapshots/0/locks/0/deep", "duplicate key \"deep\""},
        {"unknown key for the kind", Config(R"("colour": "red")"), "/snapshots/0/norvConfigs/0/colour",
         "unknown key \"colour\" for NorvConfig"},
        {"key of another kind", Config(R"("physicalNets": [ { "layerNumber": 1 } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/layerNumber", "unknown key \"layerNumber\" for PhysicalNet"},
        {"wrong JSON type", Config(R"("design": { "layers": [ { "layerNumber": "1" } ] })"),
         "/snapshots/0/norvConfigs/0/design/layers/0/layerNumber", "expected an integer, found a string"},
        {"wrong type of a list", Config(R"("physicalNets": { })"), "/snapshots/0/norvConfigs/0/physicalNets",
         "expected an array"},
        {"missing topBlock", Design(R"("norvConfigs": [ { } ])"), "/snapshots/0/norvConfigs/0",
         "missing required key \"topBlock\""},
        {"missing snapshot name", R"({ "format": "kravik-design", "version": 1, "snapshots": [ { } ] })", "/snapshots/0",
         "missing required key \"name\""},
        {"missing constraint name", Config(R"("physicalNets": [ { "constraints": [ { "value": 1 } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/constraints/0", "missing required key \"name\""},
        {"free object without in", Design(R"("objects": [ { "kind": "Layer" } ])"), "/snapshots/0/objects/0",
         "missing required key \"in\""},
        {"free object without kind", Design(R"("objects": [ { "in": null } ])"), "/snapshots/0/objects/0",
         "missing required key \"kind\""},
        {"unknown id", Config(nets + R"({ "parentElectricalNet": "NOPE" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/2/parentElectricalNet", "unknown id \"NOPE\""},
        {"unknown id in a list", Config(nets + R"({ } ], "diffPairs": [ { "firstElecNet": "E1", "secondElecNet": "E2" } ])"),
         "/snapshots/0/norvConfigs/0/diffPairs/0/secondElecNet", "unknown id \"E2\""},
        {"id of a kind the key does not allow", Config(nets + R"({ "netClass": "E1" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/2/netClass", "names kind ElectricalNet, which \"netClass\" does not allow"},
        {"owner of a kind that cannot own", Design(R"("norvConfigs": [ { "id": "C", "topBlock": "T" } ],
             "objects": [ { "kind": "Layer", "in": "C" } ])"),
         "/snapshots/0/objects/0/in", "names kind NorvConfig"},
        {"duplicate id", Config(R"("physicalNets": [ { "id": "N" }, { "id": "N" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/1/id", "duplicate id \"N\""},
        {"id shaped like an index", Config(R"("physicalNets": [ { "id": "1-0-49" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/id", "form of a raw index"},
        {"malformed index", Config(R"("physicalNets": [ { "index": "five" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/index", "malformed index \"five\""},
        {"index with serial 0", Config(R"("physicalNets": [ { "index": "0-0-49" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/index", "malformed index"},
        {"index out of range", Config(R"("physicalNets": [ { "index": "5-0-256" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/index", "malformed index"},
        {"duplicate index", Config(R"("physicalNets": [ { "index": "5-0-49" }, { "index": "5-0-49" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/1/index", "duplicate index \"5-0-49\""},
        {"serial used twice", Config(R"("physicalNets": [ { "index": "5-0-49" } ], "electricalNets": [ { "index": "5-0-47" } ])"),
         "/snapshots/0/norvConfigs/0/electricalNets/0/index", "reuses the serial"},
        {"index of another type", Config(R"("physicalNets": [ { "index": "5-0-24" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/index", "has type 24, PhysicalNet needs 49"},
        {"malformed raw reference", Config(R"("physicalNets": [ { "netClass": "1-0-999" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/netClass", "malformed index"},
        {"inline object in a non-home key", Config(R"("electricalNets": [ { "physicalNets": [ { } ] } ])"),
         "/snapshots/0/norvConfigs/0/electricalNets/0/physicalNets/0", "inline object not allowed"},
        {"null in a list", Config(R"("electricalNets": [ { "physicalNets": [ null ] } ])"),
         "/snapshots/0/norvConfigs/0/electricalNets/0/physicalNets/0", "expected an id or a raw index"},
        {"kind disagreeing with the key", Config(R"("physicalNets": [ { "kind": "NetClass" } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/kind", "does not fit \"physicalNets\""},
        {"unknown kind", Design(R"("objects": [ { "kind": "Gadget", "in": null } ])"), "/snapshots/0/objects/0/kind",
         "unknown kind \"Gadget\""},
        {"second NorvConfig for a top block", Design(R"("norvConfigs": [ { "topBlock": "T" }, { "topBlock": "T" } ])"),
         "/snapshots/0/norvConfigs/1/topBlock", "second NorvConfig for top block \"T\""},
        {"second DefaultConfig for a top block",
         Design(R"("defaultConfigs": [ { "topBlock": "T" } ], "objects": [ { "kind": "DefaultConfig", "in": null, "topBlock": "T" } ])"),
         "/snapshots/0/objects/0/topBlock", "second DefaultConfig"},
        {"duplicate snapshot name",
         R"({ "format": "kravik-design", "version": 1, "snapshots": [ { "name": "a" }, { "name": "a" } ] })",
         "/snapshots/1/name", "duplicate snapshot name"},
        {"duplicate attribute",
         Design(R"("defaultConfigs": [ { "topBlock": "T", "logicComps": [ { "attributes": [
             { "name": "Ref Designator", "type": 3, "value": "U1" }, { "name": "Ref Designator", "type": 3, "value": "U2" } ] } ] } ])"),
         "/snapshots/0/defaultConfigs/0/logicComps/0/attributes/1", "duplicate attribute \"Ref Designator\" (type 3)"},
        {"attribute key the kind does not use", Config(R"("physicalNets": [ { "attributes": [ { "name": "a", "value": "b", "bit": 0 } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/attributes/0/bit", "unknown key \"bit\""},
        {"set value outside 0..31", Design(R"("defaultConfigs": [ { "topBlock": "T", "logicComps": [ { "types": [ 11, 32 ] } ] } ])"),
         "/snapshots/0/defaultConfigs/0/logicComps/0/types/1", "set value 32 outside 0..31"},
        {"text for an integer type", Config(R"("physicalNets": [ { "constraints": [ { "name": "A", "type": 1, "value": "x" } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/constraints/0/value", "does not parse as type 1"},
        {"fraction for an integer type", Config(R"("physicalNets": [ { "constraints": [ { "name": "A", "type": 1, "value": 2.5 } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/constraints/0/value", "does not fit type 1"},
        {"mixed list", Config(R"("physicalNets": [ { "constraints": [ { "name": "A", "value": [ 1, "a" ] } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/constraints/0/value", "must all be integers"},
        {"number for another type", Config(R"("physicalNets": [ { "constraints": [ { "name": "A", "type": 9, "value": 1 } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/constraints/0/value", "type 9 needs a string"},
        {"type 0 against the definition's kind",
         Config(R"("physicalNets": [ { "constraints": [ { "name": "MAX", "type": 0, "value": "many" } ] } ])")
             .insert(1, R"("session": { "definitions": [ { "name": "MAX", "value": 10 } ] }, )"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/constraints/0/value", "definition \"MAX\""},
        {"unknown operation", Config(R"("physicalNets": [ { "fail": [ "GetNmae" ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/fail/0", "unknown operation \"GetNmae\""},
        {"bad fault count", Config(R"("physicalNets": [ { "fail": [ { "op": "GetName", "count": -2 } ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/fail/0/count", "count"},
        {"literal naming no list", Config(R"("physicalNets": [ { "literal": [ "netClass" ] } ])"),
         "/snapshots/0/norvConfigs/0/physicalNets/0/literal/0", "\"netClass\" is not a list key of PhysicalNet"},
        {"unknown session key", R"({ "format": "kravik-design", "version": 1, "session": { "host": "x" }, "snapshots": [] })",
         "/session/host", "unknown key \"host\""},
        {"lock without owner", Design(R"("locks": [ { "object": "1-0-101", "address": "a" } ])"), "/snapshots/0/locks/0",
         "missing required key \"subClient\""},
        {"malformed gindex",
         R"({ "format": "kravik-design", "version": 1, "snapshots": [], "backups": [ { "gindex": "3-0-101" } ] })",
         "/backups/0/gindex", "malformed gindex"},
    };
    for (const ErrorCase& c : cases) {
        LoadError err;
        auto s = LoadText(c.json, &err);
        EXPECT_FALSE(s) << c.what;
        EXPECT_EQ(err.path, c.path) << c.what << ": " << err.message;
        EXPECT_NE(err.message.find(c.message), std::string::npos) << c.what << ": " << err.message;
    }
}

TEST(JsonLoadError, UnreadableFilesAreReportedWithoutAPath)
{
    LumoTest::TempDir dir;
    LumoTest::WriteText(dir.File("empty.json"), "");
    // A FIFO without a writer would block an ordinary open for ever.
    ASSERT_EQ(0, ::mkfifo(dir.File("fifo.json").c_str(), 0600));
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {"/nonexistent/design.json", "cannot open"},
        {dir.File(""), "not a regular file"},
        {dir.File("fifo.json"), "not a regular file"},
        {"/dev/null", "not a regular file"},
        {dir.File("empty.json"), "invalid JSON"},
    };
    for (const auto& c : cases) {
        LoadError err;
        EXPECT_FALSE(LoadSession(c.path, &err)) << c.path;
        EXPECT_EQ(err.path, "");
        EXPECT_NE(err.message.find(c.message), std::string::npos) << err.message;
    }
}

// A file that changes while it is read gives an error, never a crash: /proc files report the
// size 0 and then give bytes, and a file that another thread keeps truncating and rewriting
// either loads whole or is refused.
TEST(JsonLoadError, AFileThatChangesWhileReadIsRefused)
{
    LoadError err;
    EXPECT_FALSE(LoadSession("/proc/self/status", &err));
    EXPECT_NE(err.message.find("the file changed while it was read"), std::string::npos) << err.message;

    LumoTest::TempDir dir;
    const std::string path = dir.File("design.json");
    const std::string design = LumoTest::ReadText(std::string(KRAVIK_SOURCE_DIR) + "/examples/design-example.json");
    LumoTest::WriteText(path, design);
    std::atomic<bool> stop{false};
    std::thread rewriter([&] {
        while (!stop) {
            if (FILE* f = std::fopen(path.c_str(), "r+")) {
                (void)::ftruncate(::fileno(f), static_cast<off_t>(design.size() / 3));
                std::fwrite(design.data(), 1, design.size(), f);
                std::fclose(f);
            }
        }
    });
    int loaded = 0, refused = 0;
    for (int i = 0; i < 200; ++i) {
        LoadError e;
        if (LoadSession(path, &e))
            ++loaded;
        else
            ++refused;
    }
    stop = true;
    rewriter.join();
    EXPECT_EQ(loaded + refused, 200);
}

TEST(JsonLoadError, NestingTooDeepIsRefused)
{
    std::string classes = "{ }";
    for (int i = 0; i < 3000; ++i) classes = R"({ "childNetClasses": [ )" + classes + " ] }";
    LoadError err;
    EXPECT_FALSE(LoadText(Config(R"("design": { "netClasses": [ )" + classes + " ] }"), &err));
    EXPECT_NE(err.message.find("nested deeper"), std::string::npos) << err.message;
}

TEST(JsonLoadError, ForwardReferencesAndKeyEscapesAreFine)
{
    LoadError err;
    // the net names a class defined after it; the key with "/" and "~" is escaped in the pointer
    auto s = LoadText(Config(R"("physicalNets": [ { "netClass": "NC" } ], "design": { "netClasses": [ { "id": "NC" } ] })"), &err);
    EXPECT_TRUE(s) << err.path << ": " << err.message;
    LoadText(Config(R"("a/b~c": 1)"), &err);
    EXPECT_EQ(err.path, "/snapshots/0/norvConfigs/0/a~1b~0c");
}
