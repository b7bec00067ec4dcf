// What the design file says beyond the shape of the design: fault entries, completion rules and literal
// lists, constraint values and their kinds, definitions and inheritance, and the serial counters.
#include "JsonTestUtil.h"

#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

using namespace Lumo;
using namespace Lumo::StandIn;
using LumoTest::Design;
using LumoTest::Ix;
using LumoTest::LoadText;

namespace {

std::unique_ptr<LumoPI> MustLoad(const std::string& json)
{
    LoadError err;
    auto s = LoadText(json, &err);
    EXPECT_TRUE(s) << err.path << ": " << err.message;
    return s;
}

std::string Config(const std::string& keys, const std::string& top = "")
{
    return Design(R"("norvConfigs": [ { "id": "CFG", "index": "2-0-102", "topBlock": "TOP", )" + keys + " } ]", top);
}

}  // namespace

TEST(JsonContent, FaultEntriesFromTheFile)
{
    auto s = MustLoad(Config(R"("physicalNets": [ { "index": "11-0-49", "name": "N",
                                   "fail": [ "GetName", { "op": "GetIterPins", "count": 1 }, { "op": "GetType", "count": 0 } ] } ])",
                             R"("session": { "fail": [ "GetListClients" ], "failNext": { "GetNorvPhysicalNet": 1 }, "countdown": 0 },)"));
    ASSERT_TRUE(s);
    ContainerT<const ISnapshot> snap;
    ASSERT_TRUE(s->GetSnapshotByName(snap, "main"));
    IUIDManager uid;
    ASSERT_TRUE(snap->GetUIDManager(uid));
    ContainerT<const INorvPhysicalNet> net;
    EXPECT_FALSE(uid.GetNorvPhysicalNet(net, Ix(49, 11)));   // the next call of the operation
    ASSERT_TRUE(uid.GetNorvPhysicalNet(net, Ix(49, 11)));
    String name;
    EXPECT_FALSE(net->GetName(name));   // every call
    EXPECT_FALSE(net->GetName(name));
    IteratorT<const INorvPin> pins;
    EXPECT_FALSE(net->GetIterPins(pins));   // once
    EXPECT_TRUE(net->GetIterPins(pins));
    EPhysicalNetType type;
    EXPECT_TRUE(net->GetType(type));   // a count of 0 is used up
    ListT<ClientInfo> clients;
    EXPECT_FALSE(s->GetListClients(clients));
    EXPECT_EQ(GetFaults(*s).GetCountdown(), 0u);
}

TEST(JsonContent, ConstraintValuesTakeTheirKindFromTheJsonTypeOrTheirType)
{
    const struct {
        const char* constraint;
        int32_t kind;
        const char* text;
    } cases[] = {
        {R"("value": 10)", CDT_Int, "10"},
        {R"("value": 5.0)", CDT_Double, "5"},
        {R"("value": 2.5e-1)", CDT_Double, "0.25"},
        {R"("value": "MST")", CDT_Text, "MST"},
        {R"("value": [1, 2])", CDT_IntList, "1,2"},
        {R"("value": [1, 2.5])", CDT_DoubleList, "1,2.5"},
        {R"("value": ["a", "b"])", CDT_TextList, "a,b"},
        {R"("type": 2, "value": 5)", CDT_Double, "5"},
        {R"("type": 1, "value": "12")", CDT_Int, "12"},
        {R"("type": 5, "value": "1,2.5")", CDT_DoubleList, "1,2.5"},
        {R"("type": 3, "value": "7")", CDT_Text, "7"},
        {R"("type": 7, "value": "x")", 7, "x"},
        {R"("type": 0, "value": "10")", CDT_Int, "10"},     // MAX_VIAS is an integer definition
        {R"("type": 0, "value": "Star")", CDT_Text, "Star"},
        {R"("value": "caf\u00e9")", CDT_Text, "caf\xc3\xa9"},
    };
    for (const auto& c : cases) {
        const bool byDefinition = std::string(c.constraint).find("\"type\": 0") != std::string::npos;
        const std::string name = byDefinition && std::string(c.text) == "10" ? "MAX_VIAS" : "OTHER";
        auto s = MustLoad(Config(R"("physicalNets": [ { "index": "11-0-49", "constraints": [ { "index": "12-0-22", "name": ")" +
                                     name + "\", " + c.constraint + " } ] } ]",
                                 R"("session": { "definitions": [ { "name": "MAX_VIAS", "value": 10 } ] },)"));
        ASSERT_TRUE(s) << c.constraint;
        const ConstraintData v = GetStore(*s).ConstraintValue(Ix(22, 12));
        EXPECT_EQ(v.kind, c.kind) << c.constraint;
        EXPECT_EQ(v.GetValueAsString().str(), c.text) << c.constraint;
    }
}

TEST(JsonContent, ConstraintFlagsParentsAndInheritance)
{
    auto s = MustLoad(Config(R"("physicalNets": [ { "index": "11-0-49", "inherits": [ "LINE_WIDTH" ], "constraints": [
            { "index": "12-0-22", "name": "A", "value": 1 },
            { "index": "13-0-22", "name": "B", "value": 1, "definition": true },
            { "index": "14-0-22", "name": "C", "value": 1, "parent": "99-0-24", "user": false, "isDefaultValue": true },
            { "index": "15-0-22", "name": "D", "value": 1, "parent": null,
              "attributes": [ { "name": "LOCKED", "value": "1" } ] } ] } ])",
                             R"("session": { "definitions": [ { "index": "4-0-72", "name": "LINE_WIDTH", "value": 5.0 } ] },)"));
    ASSERT_TRUE(s);
    ContainerT<const ISnapshot> snap;
    ASSERT_TRUE(s->GetSnapshotByName(snap, "main"));
    IUIDManager uid;
    ASSERT_TRUE(snap->GetUIDManager(uid));
    ContainerT<const INorvPhysicalNet> net;
    ASSERT_TRUE(uid.GetNorvPhysicalNet(net, Ix(49, 11)));
    const struct {
        const char* name;
        Index parent;
        bool definition, user;
    } rows[] = {
        {"A", Ix(49, 11), false, true},
        {"B", Index(), true, true},
        {"C", Ix(24, 99), false, false},
        {"D", Index(), false, true},
        {"LINE_WIDTH", Index(), true, false},
    };
    for (const auto& r : rows) {
        ContainerT<const INorvConstraint> c;
        ASSERT_TRUE(net->GetConstraint(c, r.name)) << r.name;
        Index parent = Ix(1, 1);
        bool definition = !r.definition, user = !r.user;
        EXPECT_TRUE(c->GetParentIndex(parent));
        EXPECT_TRUE(c->IsDefinition(definition));
        EXPECT_TRUE(c->IsUserConstraint(user));
        EXPECT_EQ(parent, r.parent) << r.name;
        EXPECT_EQ(definition, r.definition) << r.name;
        EXPECT_EQ(user, r.user) << r.name;
    }
    ContainerT<const INorvConstraint> c;
    ASSERT_TRUE(net->GetConstraint(c, "C"));
    bool isDefault = false;
    EXPECT_TRUE(c->IsDefaultValue(isDefault));
    EXPECT_TRUE(isDefault);
    ASSERT_TRUE(net->GetConstraint(c, "D"));
    ListAttribute attrs;
    ASSERT_TRUE(c->GetAttributes(attrs));
    EXPECT_EQ(attrs.Count(), 1);
}

TEST(JsonContent, PinCompletionFromOwnerAndDesignPins)
{
    auto s = MustLoad(Design(R"(
        "defaultConfigs": [ { "topBlock": "TOP", "logicComps": [ { "pins": [
            { "id": "d1", "index": "3-0-107" }, { "id": "d2", "index": "4-0-107" }, { "id": "d3", "index": "5-0-107", "norvPins": [ "P3" ] } ] } ] } ],
        "norvConfigs": [ { "topBlock": "TOP",
            "physicalNets": [ { "id": "N", "index": "10-0-49", "pins": [ { "id": "V", "index": "11-0-52", "norvType": 6 } ] } ],
            "norvComps": [ { "id": "U", "index": "20-0-51", "pins": [
                { "id": "P1", "index": "21-0-52", "designPin": "d1" },
                { "id": "P2", "index": "22-0-52", "flatPins": [ "d2", "d1" ] },
                { "id": "P3", "index": "23-0-52" },
                { "id": "P4", "index": "24-0-52", "designPin": "d2", "flatPins": [], "literal": [ "flatPins" ] } ] } ] } ])"));
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    const Index d1 = Ix(107, 3), d2 = Ix(107, 4), d3 = Ix(107, 5);
    const Index v = Ix(52, 11), p1 = Ix(52, 21), p2 = Ix(52, 22), p3 = Ix(52, 23), p4 = Ix(52, 24);
    EXPECT_EQ(st.Ref(v, Field::parentPhysicalNet), Ix(49, 10));
    EXPECT_TRUE(st.Ref(v, Field::parentNorvComp).IsEmpty());
    EXPECT_EQ(st.Ref(p1, Field::parentNorvComp), Ix(51, 20));
    EXPECT_EQ(st.List(p1, Field::flatPins), std::vector<Index>{d1});          // the design pin is a flat pin
    EXPECT_EQ(st.Ref(p2, Field::designPin), d2);                              // first of the flat pins
    EXPECT_EQ(st.Ref(p3, Field::designPin), d3);                              // from the design pin's side
    EXPECT_TRUE(st.List(p4, Field::flatPins).empty());                        // literal
    EXPECT_EQ(st.List(d1, Field::norvPins), (std::vector<Index>{p1, p2}));
    EXPECT_EQ(st.List(d2, Field::norvPins), std::vector<Index>{p2});
}

TEST(JsonContent, WithoutCompletionTheFileIsReadLiterally)
{
    auto s = MustLoad(Config(R"("physicalNets": [ { "id": "N", "index": "11-0-49" } ],
                               "electricalNets": [ { "index": "12-0-47", "physicalNets": [ "N" ] } ],
                               "diffPairs": [ { "index": "13-0-46", "firstElecNet": "12-0-47" } ])",
                             R"("complete": false,)"));
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    EXPECT_TRUE(st.Ref(Ix(49, 11), Field::parentElectricalNet).IsEmpty());
    EXPECT_TRUE(st.Ref(Ix(47, 12), Field::parentDiffPair).IsEmpty());
    EXPECT_EQ(st.Owner(Ix(49, 11)), Ix(102, 2));   // placement is not completion
}

TEST(JsonContent, OneWayRelationsCompleteOnlyTheirOtherSide)
{
    auto s = MustLoad(Config(R"("electricalNets": [ { "id": "E", "index": "12-0-47", "parentDiffPair": null } ],
                               "diffPairs": [ { "id": "DP", "index": "13-0-46", "firstElecNet": "E", "secondElecNet": "E" } ],
                               "parts": [ { "partPins": [ { "id": "pp", "index": "21-0-54" } ],
                                            "partPinPairs": [ { "index": "22-0-71", "firstPartPin": "pp", "secondPartPin": "pp" } ] } ])"));
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    EXPECT_TRUE(st.Ref(Ix(47, 12), Field::parentDiffPair).IsEmpty());   // present null is not filled
    EXPECT_EQ(st.List(Ix(54, 21), Field::parentPartPinPairs), std::vector<Index>{Ix(71, 22)});
}

// A raw index stands for the index it spells, also where it names an object of the file: completion does not
// add that object to a list again, and a raw reference offers nothing to the other side.
TEST(JsonContent, RawIndexesOfTheFilesObjectsCompleteAsTheirIndexes)
{
    auto s = MustLoad(Config(R"("physicalNets": [ { "id": "N", "index": "11-0-49", "parentElectricalNet": "E" },
                                                  { "id": "M", "index": "14-0-49", "parentElectricalNet": "E" } ],
                               "electricalNets": [ { "id": "E", "index": "12-0-47", "physicalNets": [ "11-0-49", "0-0-0" ] } ],
                               "diffPairs": [ { "index": "13-0-46", "firstElecNet": "12-0-47" } ])"));
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    EXPECT_EQ(st.List(Ix(47, 12), Field::physicalNets), (std::vector<Index>{Ix(49, 11), Index(), Ix(49, 14)}));
    EXPECT_TRUE(st.Ref(Ix(47, 12), Field::parentDiffPair).IsEmpty());
}

TEST(JsonContent, CountersAndAssignedIndexes)
{
    auto s = MustLoad(R"({ "format": "kravik-design", "version": 1,
        "session": { "nextSerial": 40, "definitions": [ { "name": "A", "value": 1 }, { "index": "1-0-72", "name": "B", "value": 2 } ] },
        "snapshots": [ { "name": "main", "nextSerial": 500,
            "norvConfigs": [ { "topBlock": "TOP", "physicalNets": [ { "index": "3-0-49" }, { "name": "X" } ] } ] } ],
        "backups": [ { "type": 8, "text1": "a", "text2": "b", "snapshots": [ { "name": "main" } ] } ] })");
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    EXPECT_EQ(st.Definitions(), (std::vector<Index>{Ix(72, 2), Ix(72, 1)}));   // explicit serials are skipped
    EXPECT_EQ(st.AllLive(Kind::PhysicalNet), (std::vector<Index>{Ix(49, 3), Ix(49, 4)}));
    Builder b(*s, "main");
    EXPECT_EQ(b.Add(Kind::PhysicalNet, Ix(102, 2), "new"), Ix(49, 500));
    ASSERT_EQ(GetBackups(*s).size(), 1u);
    EXPECT_EQ(GetBackups(*s)[0].gindex.GetValue(), (110ull << 56) | 40);
    EXPECT_EQ(b.Definition("C", 3), Ix(72, 41));
}

TEST(JsonContent, AnEarlyLargeSerialStaysReachableAsTheTableGrows)
{
    // the configuration's serial is issued before the serials around it exist
    std::string nets;
    for (int i = 0; i < 1200; ++i) nets += "{ }, ";
    auto s = MustLoad(Design(R"("norvConfigs": [ { "index": "70000-0-102", "topBlock": "TOP", "physicalNets": [ )" + nets +
                             R"({ "index": "70001-0-49" } ] } ])"));
    ASSERT_TRUE(s);
    ContainerT<const ISnapshot> snap;
    ASSERT_TRUE(s->GetSnapshotByName(snap, "main"));
    ContainerT<const INorvConfig> cfg;
    EXPECT_TRUE(snap->GetNorvConfig(cfg, "TOP"));
    EXPECT_EQ(GetStore(*s).Name(Ix(102, 70000)), "TOP");
}
