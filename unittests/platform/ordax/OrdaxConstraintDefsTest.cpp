#include "ordaxcons/OrdaxConstraintDefs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using norv_ordaxcons::COrdaxConsDef;
using norv_ordaxcons::COrdaxConsOwner;
using norv_ordaxcons::COrdaxConsOwnerLevel;
using norv_ordaxcons::COrdaxConstraintDefs;

namespace {

const std::string kExamplePath = std::string(KRAVIK_SOURCE_DIR) + "/examples/constraints-example.json";

std::vector<std::string> LevelNames(COrdaxConsOwner* owner)
{
    std::vector<std::string> names;
    for (COrdaxConsOwnerLevel* level : owner->GetLevels())
        names.push_back(level->GetName());
    return names;
}

class OrdaxConstraintDefsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/ordaxcons-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }

    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string WriteFile(const std::string& name, const std::string& text)
    {
        const std::string path = m_dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static void ExpectEmpty(COrdaxConstraintDefs& defs)
    {
        EXPECT_TRUE(defs.GetConsDefs().empty());
        EXPECT_EQ(defs.GetOwner("ENET"), nullptr);
        EXPECT_EQ(defs.GetConsDef("LINE_WIDTH"), nullptr);
    }

    std::string m_dir;
};

TEST_F(OrdaxConstraintDefsTest, NewSetIsEmpty)
{
    COrdaxConstraintDefs defs;
    ExpectEmpty(defs);
    EXPECT_EQ(defs.GetOwner(nullptr), nullptr);
    EXPECT_EQ(defs.GetConsDef(nullptr), nullptr);
}

TEST_F(OrdaxConstraintDefsTest, ExampleKeepsOwnersLevelsAndDefinitionsInFileOrder)
{
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true)) << defs.GetLastError();
    EXPECT_EQ(defs.GetLastError(), "");

    COrdaxConsOwner* enet = defs.GetOwner("ENET");
    ASSERT_NE(enet, nullptr);
    EXPECT_EQ(enet->GetName(), "ENET");
    EXPECT_EQ(LevelNames(enet), (std::vector<std::string>{"Rule", "DiffPair", "ElecNet", "Net", "PinPair",
                                                          "FromTo", "Pin", "PowerNet", "PowerPin"}));
    EXPECT_EQ(LevelNames(defs.GetOwner("SCHEME_RULE_LAYER")),
              (std::vector<std::string>{"Scheme", "NetClass", "ClearRule", "Layer"}));
    ASSERT_NE(defs.GetOwner("ZAXIS_CLEARRULE"), nullptr);

    std::vector<std::string> names;
    for (COrdaxConsDef* def : defs.GetConsDefs())
        names.push_back(def->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"ORDER_TYPE", "LINE_WIDTH", "MAX_VIAS", "LAYER_USAGE",
                                               "C2C_SCHEME", "P2P_CLEARANCE", "PR_TYPE", "OLD_LIMIT",
                                               "ODD_TYPE"}));
}

TEST_F(OrdaxConstraintDefsTest, ExampleDefinitionsCarryTypeDefaultOwnersAndFlags)
{
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true)) << defs.GetLastError();

    struct Row
    {
        const char* name;
        int type;
        const char* defValue;
        bool disabled;
        std::vector<std::string> owners;
    };
    const Row rows[] = {
        {"ORDER_TYPE", 3, "MST", false, {"ENET"}},
        {"LINE_WIDTH", 2, "5.0", false, {"ENET", "SCHEME_CLASS_LAYER"}},
        {"MAX_VIAS", 1, "10", false, {"ENET"}},
        {"LAYER_USAGE", 3, "", false, {"LAYER"}},
        {"OLD_LIMIT", 1, "1", true, {"DESIGN"}},
        {"ODD_TYPE", 7, "", false, {"DESIGN", "NO_SUCH_OWNER", "DESIGN"}},
    };
    for (const Row& row : rows) {
        COrdaxConsDef* def = defs.GetConsDef(row.name);
        ASSERT_NE(def, nullptr) << row.name;
        EXPECT_EQ(def->GetName(), row.name);
        EXPECT_EQ(static_cast<int>(def->GetLUMOConstDataType()), row.type) << row.name;
        EXPECT_EQ(def->GetDefValue(), row.defValue) << row.name;
        EXPECT_EQ(def->IsLUMODisabled(), row.disabled) << row.name;
        EXPECT_EQ(def->GetOwners(), row.owners) << row.name;
    }
}

TEST_F(OrdaxConstraintDefsTest, LookUpsAreExactAndCaseSensitive)
{
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true)) << defs.GetLastError();
    COrdaxConsOwner* enet = defs.GetOwner("ENET");
    ASSERT_NE(enet, nullptr);

    for (const char* name : {"enet", "ENET ", "ENE", "NO_SUCH_OWNER", ""})
        EXPECT_EQ(defs.GetOwner(name), nullptr) << '"' << name << '"';
    for (const char* name : {"line_width", "LINE_WIDTH ", "LINE", "NO_SUCH", ""})
        EXPECT_EQ(defs.GetConsDef(name), nullptr) << '"' << name << '"';
    for (const char* name : {"pin", "Pins", "", "Design"})
        EXPECT_EQ(enet->GetLevel(name), nullptr) << '"' << name << '"';
    EXPECT_EQ(enet->GetLevel(nullptr), nullptr);
    ASSERT_NE(enet->GetLevel("Pin"), nullptr);
    EXPECT_EQ(enet->GetLevel("Pin")->GetName(), "Pin");
}

TEST_F(OrdaxConstraintDefsTest, ForbiddenPairsMatchByIdentityOnly)
{
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true)) << defs.GetLastError();
    COrdaxConsDef* width = defs.GetConsDef("LINE_WIDTH");
    COrdaxConsOwner* enet = defs.GetOwner("ENET");
    COrdaxConsOwner* design = defs.GetOwner("DESIGN");
    COrdaxConsOwner* pkg = defs.GetOwner("PKGTYPE_PKGTYPE_RULE");
    ASSERT_TRUE(width && enet && design && pkg);

    EXPECT_TRUE(width->GetDisabled(enet, enet->GetLevel("Pin")));
    for (COrdaxConsOwnerLevel* level : enet->GetLevels()) {
        if (level->GetName() != "Pin") {
            EXPECT_FALSE(width->GetDisabled(enet, level)) << level->GetName();
        }
    }
    // Owners the definition does not list, and another owner's level of the same name.
    EXPECT_FALSE(width->GetDisabled(design, design->GetLevel("Seg")));
    EXPECT_FALSE(width->GetDisabled(pkg, pkg->GetLevel("Seg")));
    EXPECT_FALSE(width->GetDisabled(design, enet->GetLevel("Pin")));
    EXPECT_FALSE(width->GetDisabled(nullptr, enet->GetLevel("Pin")));
    EXPECT_FALSE(width->GetDisabled(enet, nullptr));
    EXPECT_FALSE(defs.GetConsDef("ORDER_TYPE")->GetDisabled(enet, enet->GetLevel("Pin")));

    // The same names in another set are other objects.
    COrdaxConstraintDefs other;
    ASSERT_TRUE(other.LoadCnsFile(kExamplePath, false, true));
    COrdaxConsOwner* otherEnet = other.GetOwner("ENET");
    EXPECT_FALSE(width->GetDisabled(otherEnet, otherEnet->GetLevel("Pin")));
    EXPECT_TRUE(other.GetConsDef("LINE_WIDTH")->GetDisabled(otherEnet, otherEnet->GetLevel("Pin")));
}

TEST_F(OrdaxConstraintDefsTest, PointersStayValidForTheLifeOfTheSet)
{
    // Enough owners, levels and definitions that any vector of objects would have reallocated.
    std::string owners, definitions;
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        owners += std::string(i ? "," : "") + "{\"name\":\"O" + n + "\",\"levels\":[\"A\",\"B\",\"L" + n + "\"]}";
        definitions += std::string(i ? "," : "") + "{\"name\":\"D" + n + "\",\"type\":1,\"owners\":[\"O" + n +
                       "\"],\"forbidden\":[{\"owner\":\"O" + n + "\",\"level\":\"B\"}]}";
    }
    const std::string path = WriteFile("many.json", "{\"format\":\"kravik-constraints\",\"version\":1,\"owners\":[" +
                                                        owners + "],\"definitions\":[" + definitions + "]}");
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(path, false, true)) << defs.GetLastError();

    std::vector<COrdaxConsDef*>& list = defs.GetConsDefs();
    ASSERT_EQ(list.size(), 300u);
    EXPECT_EQ(&defs.GetConsDefs(), &list);
    for (int i = 0; i < 300; ++i) {
        const std::string n = std::to_string(i);
        COrdaxConsDef* def = defs.GetConsDef(("D" + n).c_str());
        COrdaxConsOwner* owner = defs.GetOwner(("O" + n).c_str());
        ASSERT_EQ(def, list[i]);
        ASSERT_EQ(owner->GetLevels().size(), 3u);
        EXPECT_EQ(owner->GetLevel("B"), owner->GetLevels()[1]);
        EXPECT_TRUE(def->GetDisabled(owner, owner->GetLevels()[1])) << n;
        EXPECT_FALSE(def->GetDisabled(owner, owner->GetLevels()[0])) << n;
    }
    // A first-read pointer is still the object that later look-ups return.
    COrdaxConsOwner* first = defs.GetOwner("O0");
    COrdaxConsOwnerLevel* firstLevel = first->GetLevel("L0");
    EXPECT_EQ(defs.GetOwner("O0"), first);
    EXPECT_EQ(first->GetLevels()[2], firstLevel);
    EXPECT_EQ(firstLevel->GetName(), "L0");
}

TEST_F(OrdaxConstraintDefsTest, OptionalKeysDefaultAndOddNamesAreKept)
{
    const std::string path = WriteFile("minimal.json", R"({
        "format": "kravik-constraints", "version": 1,
        "owners": [ { "name": "BARE" }, { "name": "EMPTYLEVEL", "levels": [ "", "x" ] } ],
        "definitions": [ { "name": "PLAIN", "type": 3 },
                         { "name": "CAF\u00e9", "type": -4, "owners": [], "default": "",
                           "forbidden": [ { "owner": "EMPTYLEVEL", "level": "" } ], "databaseDisabled": false } ] })");
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(path, true, false)) << defs.GetLastError();

    EXPECT_TRUE(defs.GetOwner("BARE")->GetLevels().empty());
    COrdaxConsOwner* emptyLevel = defs.GetOwner("EMPTYLEVEL");
    ASSERT_NE(emptyLevel->GetLevel(""), nullptr);
    EXPECT_EQ(emptyLevel->GetLevels()[0], emptyLevel->GetLevel(""));

    COrdaxConsDef* plain = defs.GetConsDef("PLAIN");
    ASSERT_NE(plain, nullptr);
    EXPECT_TRUE(plain->GetOwners().empty());
    EXPECT_EQ(plain->GetDefValue(), "");
    EXPECT_FALSE(plain->IsLUMODisabled());

    COrdaxConsDef* cafe = defs.GetConsDef("CAF\xc3\xa9");
    ASSERT_NE(cafe, nullptr);
    EXPECT_EQ(static_cast<int>(cafe->GetLUMOConstDataType()), -4);
    EXPECT_TRUE(cafe->GetDisabled(emptyLevel, emptyLevel->GetLevel("")));
    EXPECT_FALSE(cafe->GetDisabled(emptyLevel, emptyLevel->GetLevel("x")));
}

TEST_F(OrdaxConstraintDefsTest, WellFormedFileWithoutDefinitionsLoads)
{
    const std::string path =
        WriteFile("empty.json", R"({"format":"kravik-constraints","version":1,"owners":[],"definitions":[]})");
    COrdaxConstraintDefs defs;
    EXPECT_TRUE(defs.LoadCnsFile(path, false, true)) << defs.GetLastError();
    ExpectEmpty(defs);
}

TEST_F(OrdaxConstraintDefsTest, MissingOrUnreadableFileLeavesTheSetEmpty)
{
    const std::string paths[] = {m_dir + "/no-such-file.json", m_dir, ""};
    for (const std::string& path : paths) {
        COrdaxConstraintDefs defs;
        ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true));
        EXPECT_FALSE(defs.LoadCnsFile(path, false, true)) << path;
        ExpectEmpty(defs);
        EXPECT_NE(defs.GetLastError(), "") << path;
    }
}

// Each malformed document fails the load, empties a previously filled set and names where it broke.
TEST_F(OrdaxConstraintDefsTest, MalformedFilesFailWithTheirPointer)
{
    const std::string head = R"("format":"kravik-constraints","version":1)";
    const std::string enet = R"("owners":[{"name":"ENET","levels":["Net","Pin"]}])";
    struct Case
    {
        std::string text;
        std::string pointer;  // expected at the start of GetLastError(); "" for a parse error
    };
    const Case cases[] = {
        {"{", ""},
        {"", ""},
        {"[]", "(document)"},
        {R"({"format":"kravik-design","version":1,"owners":[],"definitions":[]})", "/format"},
        {R"({"version":1,"owners":[],"definitions":[]})", "/format"},
        {R"({"format":"kravik-constraints","version":2,"owners":[],"definitions":[]})", "/version"},
        {R"({"format":"kravik-constraints","version":"1","owners":[],"definitions":[]})", "/version"},
        {R"({"format":"kravik-constraints","owners":[],"definitions":[]})", "/version"},
        {"{" + head + R"(,"definitions":[]})", "/owners"},
        {"{" + head + R"(,"owners":[]})", "/definitions"},
        {"{" + head + R"(,"owners":{},"definitions":[]})", "/owners"},
        {"{" + head + R"(,"owners":[],"definitions":[],"comment":"x"})", "/comment"},
        {"{" + head + R"(,"owners":[{"name":"A","level":["x"]}],"definitions":[]})", "/owners/0/level"},
        {"{" + head + R"(,"owners":[{"levels":[]}],"definitions":[]})", "/owners/0/name"},
        {"{" + head + R"(,"owners":[{"name":""}],"definitions":[]})", "/owners/0/name"},
        {"{" + head + R"(,"owners":[{"name":"A"},{"name":"A"}],"definitions":[]})", "/owners/1/name"},
        {"{" + head + R"(,"owners":[{"name":"A","levels":["x","y","x"]}],"definitions":[]})", "/owners/0/levels/2"},
        {"{" + head + R"(,"owners":[{"name":"A","levels":["x",3]}],"definitions":[]})", "/owners/0/levels/1"},
        {"{" + head + "," + enet + R"(,"definitions":[{"type":1}]})", "/definitions/0/name"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"","type":1}]})", "/definitions/0/name"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1},{"name":"W","type":2}]})",
         "/definitions/1/name"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W"}]})", "/definitions/0/type"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":"2"}]})", "/definitions/0/type"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":2.5}]})", "/definitions/0/type"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":4294967296}]})", "/definitions/0/type"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"owners":"ENET"}]})",
         "/definitions/0/owners"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"owners":["ENET",null]}]})",
         "/definitions/0/owners/1"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"default":5}]})",
         "/definitions/0/default"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"databaseDisabled":"no"}]})",
         "/definitions/0/databaseDisabled"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"disabled":true}]})",
         "/definitions/0/disabled"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"forbidden":[{"owner":"PART","level":"Pin"}]}]})",
         "/definitions/0/forbidden/0/owner"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"forbidden":[{"owner":"ENET","level":"pin"}]}]})",
         "/definitions/0/forbidden/0/level"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"forbidden":[{"owner":"ENET"}]}]})",
         "/definitions/0/forbidden/0/level"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"forbidden":[{"owner":"ENET","level":"Pin","x":1}]}]})",
         "/definitions/0/forbidden/0/x"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"forbidden":{}}]})",
         "/definitions/0/forbidden"},
        {"{" + head + R"(,"owners":[],"definitions":[{"name":"a~b/c","type":1,"bad":0}]})", "/definitions/0/bad"},
        {"{" + head + R"(,"owners":[],"definitions":[],"a/b~":0})", "/a~1b~0"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1}],"definitions":[]})", "/definitions"},
        {"{" + head + R"(,"owners":[{"name":"A","name":"B"}],"definitions":[]})", "/owners/0/name"},
        {"{" + head + "," + enet + R"(,"definitions":[{"name":"W","type":1,"forbidden":[{"owner":"ENET","level":"Pin","level":"Net"}]}]})",
         "/definitions/0/forbidden/0/level"},
        {"{" + head + R"(,"owners":[{"name":"A","levels":["x"]},{"name":"B","levels":[[],{"a/b":0,"a/b":1}]}],"definitions":[]})",
         "/owners/1/levels/1/a~1b"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = WriteFile("bad" + std::to_string(n++) + ".json", c.text);
        COrdaxConstraintDefs defs;
        ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true));
        EXPECT_FALSE(defs.LoadCnsFile(path, false, true)) << c.text;
        ExpectEmpty(defs);
        const std::string& error = defs.GetLastError();
        const std::string expected = c.pointer.empty() ? std::string("invalid JSON") : c.pointer + ": ";
        EXPECT_EQ(error.rfind(expected, 0), 0u) << c.text << " -> " << error;
    }
}

TEST_F(OrdaxConstraintDefsTest, ReloadReplacesTheWholeSet)
{
    const std::string path = WriteFile("other.json", R"({"format":"kravik-constraints","version":1,
        "owners":[{"name":"ENET","levels":["Net"]}],"definitions":[{"name":"ONLY","type":3}]})");
    COrdaxConstraintDefs defs;
    ASSERT_TRUE(defs.LoadCnsFile(kExamplePath, false, true));
    ASSERT_TRUE(defs.LoadCnsFile(path, false, true)) << defs.GetLastError();

    EXPECT_EQ(defs.GetConsDef("LINE_WIDTH"), nullptr);
    EXPECT_EQ(defs.GetOwner("PART"), nullptr);
    EXPECT_EQ(defs.GetOwner("ENET")->GetLevel("Pin"), nullptr);
    ASSERT_EQ(defs.GetConsDefs().size(), 1u);
    EXPECT_EQ(defs.GetConsDefs()[0]->GetName(), "ONLY");
}

} // namespace
