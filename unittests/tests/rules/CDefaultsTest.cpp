#include "tests/rules/CDefaults.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ruletest;
using E = CDICErrors;

namespace
{

const char* kOwners = R"(
    { "name": "ENET", "levels": [ "Rule", "DiffPair", "ElecNet", "Net", "PinPair", "Pin", "PowerNet" ] },
    { "name": "PART", "levels": [ "Part", "Comp", "CompPin", "EbdPin" ] },
    { "name": "DESIGN", "levels": [ "Design", "Rule", "Layer", "ViaSpan", "GenClear", "PkgTypeRule" ] },
    { "name": "LAYER", "levels": [ "Layer", "Other" ] },
    { "name": "CLASS_CLASS_RULE", "levels": [ "default" ] },
    { "name": "PKGTYPE_PKGTYPE_RULE", "levels": [ "default", "Seg" ] },
    { "name": "PARALLEL_RULE", "levels": [ "NoiseRule" ] },
    { "name": "ZAXIS_CLEARRULE", "levels": [ "ZClearRule", "Layer" ] },
    { "name": "TOPOTMPL", "levels": [ "Net" ] })";

std::string file(const std::string& definitions)
{
    return ConstraintsJson(kOwners, definitions);
}

class CDefaultsTest : public ::testing::Test
{
protected:
    // Every design has its general clearance.
    CDefaultsTest() : genClear(d.b.Add(Kind::GenClear, d.design, "GC")) {}
    void TearDown() override { Lumo::StandIn::SetStringResultsEnabledForTest(false); }

    Design d;
    Index genClear;
};

std::vector<std::string> namesOf(const std::vector<norv_ordaxcons::COrdaxConsDef*>& definitions)
{
    std::vector<std::string> names;
    for (const auto* definition : definitions)
        names.push_back(definition->GetName());
    return names;
}

} // namespace

TEST_F(CDefaultsTest, NamesItselfAndSwitchesOnResultTexts)
{
    Lumo::StandIn::SetStringResultsEnabledForTest(false);
    CDefaults test;
    EXPECT_TRUE(Lumo::StandIn::IsStringResultsEnabled());
    EXPECT_EQ(test.getTestName(), "Default constraints");
    EXPECT_EQ(test.getTestShortName(), "DefaultConstraints");
    EXPECT_EQ(test.getTestDescription(), "Test checks default values of constraints");
}

TEST_F(CDefaultsTest, UnloadableFileGivesOneFindingAndNoWalk)
{
    TempFile malformed("{");
    for (const std::string& path : {std::string("/tmp"), std::string("/tmp/no-such-conskit.json"), malformed.path()}) {
        CDefaults test;
        Lumo::StandIn::GetCallCounts(*d.session).Reset();
        const Outcome out = RunTest(test, *d.session, path);
        EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T11_CANTLOADSPECIFIEDCNS)}) << path;
        EXPECT_EQ(out.status, FAILED);
        EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetIterElectricalNets"), 0u);
        EXPECT_TRUE(CDefaults::s_mapDefaults.empty());
    }
}

TEST_F(CDefaultsTest, ObjectTypeOfOwnerAndLevel)
{
    const struct
    {
        const char* owner;
        const char* level;
        int type;
    } cases[] = {
        {"ENET", "Rule", 26}, {"ENET", "DiffPair", 46}, {"ENET", "ElecNet", 47}, {"ENET", "Net", 49},
        {"ENET", "PinPair", 48}, {"ENET", "FromTo", 50}, {"ENET", "Pin", 52}, {"ENET", "PowerNet", 0},
        {"ENET", "PowerPin", 0}, {"PART", "Part", 53}, {"PART", "PartPin", 54}, {"PART", "Comp", 51},
        {"PART", "PartPinPair", 71}, {"PART", "EbdPin", 3}, {"PART", "CompPin", 52}, {"PART", "Pin", 0},
        {"DESIGN", "Design", 21}, {"DESIGN", "Const", 30}, {"DESIGN", "Var", 30}, {"DESIGN", "GenClear", 28},
        {"DESIGN", "Scheme", 37}, {"DESIGN", "NetClass", 24}, {"DESIGN", "Rule", 26}, {"DESIGN", "ClearRule", 25},
        {"DESIGN", "Layer", 23}, {"DESIGN", "Via", 62}, {"DESIGN", "ViaSpan", 27}, {"DESIGN", "ParRuleDef", 34},
        {"DESIGN", "PkgTypeRule", 32}, {"DESIGN", "Seg", 35}, {"DESIGN", "PartTech", 29}, {"DESIGN", "design", 0},
        {"SCHEME_CLASS_LAYER", "Scheme", 37}, {"SCHEME_CLASS_LAYER", "Layer", 40}, {"SCHEME_CLASS_LAYER", "NetClass", 38},
        {"SCHEME_CLASS_LAYER", "ViaAssign", 39}, {"SCHEME_CLASS_LAYER", "ClearRule", 0},
        {"SCHEME_RULE_LAYER", "Scheme", 37}, {"SCHEME_RULE_LAYER", "Layer", 42}, {"SCHEME_RULE_LAYER", "ClearRule", 41},
        {"SCHEME_RULE_LAYER", "NetClass", 0}, {"CLASS_CLASS_RULE", "anything", 31}, {"PKGTYPE_PKGTYPE_RULE", "", 33},
        {"PARALLEL_RULE", "x", 36}, {"LAYER", "Top", 23}, {"ZAXIS_CLEARRULE", "ZClearRule", 2},
        {"ZAXIS_CLEARRULE", "Layer", 1}, {"ZAXIS_CLEARRULE", "Rule", 0}, {"TOPOTMPL", "Net", 0}, {"enet", "Rule", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDefaults::objectTypeFromOwnerLevel(c.owner, c.level), c.type) << c.owner << "/" << c.level;
}

TEST_F(CDefaultsTest, OwnerAndLevelOfObjectType)
{
    std::string owner = "kept";
    std::string level = "kept";
    for (int type : {0, 20, 22, 41, 55, 61, 63, 70, 72, 82, 200})
        EXPECT_FALSE(CDefaults::ownerLevelFromObjectType(type, owner, level)) << type;
    EXPECT_TRUE(CDefaults::ownerLevelFromObjectType(44, owner, level));
    EXPECT_EQ(owner + "/" + level, "kept/kept");
    const struct
    {
        int type;
        const char* expected;
    } cases[] = {{21, "DESIGN/Design"}, {23, "LAYER/Layer"}, {26, "ENET/Rule"}, {31, "CLASS_CLASS_RULE/default"},
                 {33, "PKGTYPE_PKGTYPE_RULE/default"}, {35, "DESIGN/Seg"}, {36, "PARALLEL_RULE/NoiseRule"},
                 {40, "SCHEME_CLASS_LAYER/Layer"}, {42, "SCHEME_RULE_LAYER/Layer"}, {52, "ENET/Pin"},
                 {62, "DESIGN/Via"}, {71, "PART/PartPinPair"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(CDefaults::ownerLevelFromObjectType(c.type, owner, level)) << c.type;
        EXPECT_EQ(owner + "/" + level, c.expected);
    }
}

// Which definitions are recorded for which types: skipped definitions, "default" and forbidden
// levels, and a definition recorded once per (owner, level) that yields the type.
TEST_F(CDefaultsTest, MapOfDefaults)
{
    TempFile cns(file(R"(
        { "name": "NO_DEFAULT", "type": 1, "owners": [ "ENET" ] },
        { "name": "DISABLED", "type": 1, "owners": [ "ENET" ], "default": "1", "databaseDisabled": true },
        { "name": "PCLASS", "type": 3, "owners": [ "ENET" ], "default": "x" },
        { "name": "CONSTRAINT_CLASS", "type": 3, "owners": [ "ENET" ], "default": "x" },
        { "name": "TWICE", "type": 1, "owners": [ "ENET", "DESIGN", "NO_OWNER" ], "default": "2",
          "forbidden": [ { "owner": "ENET", "level": "Pin" } ] },
        { "name": "LAYERS", "type": 1, "owners": [ "LAYER", "DESIGN" ], "default": "3" },
        { "name": "C2C", "type": 1, "owners": [ "CLASS_CLASS_RULE" ], "default": "4" },
        { "name": "P2P", "type": 1, "owners": [ "PKGTYPE_PKGTYPE_RULE" ], "default": "5" },
        { "name": "UNWALKED", "type": 1, "owners": [ "ZAXIS_CLEARRULE", "PART" ], "default": "6",
          "forbidden": [ { "owner": "PART", "level": "Part" }, { "owner": "PART", "level": "Comp" },
                         { "owner": "PART", "level": "CompPin" } ] })"));
    CDefaults test;
    RunTest(test, *d.session, cns.path());
    const auto& map = CDefaults::s_mapDefaults;
    EXPECT_EQ(namesOf(map.at(Lumo::OT_NorvConstraintClass)), (std::vector<std::string>{"TWICE", "TWICE", "LAYERS"}));
    EXPECT_EQ(namesOf(map.at(Lumo::OT_NorvElectricalNet)), (std::vector<std::string>{"TWICE"}));
    EXPECT_EQ(map.count(Lumo::OT_NorvPin), 0u);
    EXPECT_EQ(namesOf(map.at(Lumo::OT_NorvLayer)), (std::vector<std::string>{"TWICE", "LAYERS", "LAYERS", "LAYERS"}));
    EXPECT_EQ(map.count(Lumo::OT_NorvC2CClearRule), 0u);
    EXPECT_EQ(namesOf(map.at(Lumo::OT_NorvP2PClearRule)), (std::vector<std::string>{"P2P"}));
    // Numbers that no walk looks up.
    for (int type : {1, 2, 3})
        EXPECT_EQ(namesOf(map.at(type)), (std::vector<std::string>{"UNWALKED"})) << type;
    EXPECT_EQ(map.count(Lumo::OT_NorvComp), 0u);
}

// One default missing on an object of every walked kind: the findings in walk order, each with
// its code and (definition name, object name); the rule-to-rule rule carries the definition name only.
TEST_F(CDefaultsTest, MissingDefaultOnEveryWalkedKind)
{
    TempFile cns(file(R"({ "name": "DEF", "type": 1, "default": "1",
        "owners": [ "ENET", "PART", "DESIGN", "PKGTYPE_PKGTYPE_RULE", "PARALLEL_RULE", "LAYER" ] })"));
    auto& b = d.b;
    const Index e1 = b.ElectricalNet(d.config, "E1");
    const Index e2 = b.ElectricalNet(d.config, "E2");
    b.PhysicalNet(d.config, "N1", e1);
    const Index part = b.Part(d.config, "P1");
    b.NorvComp(d.config, "C1", part);
    b.DiffPair(d.config, "D1", e1, e2);
    b.Layer(d.design, "L1", 1, 1);
    b.ConstraintClass(d.design, "CC");
    b.Add(Kind::ViaSpan, d.design, "VS");
    b.Add(Kind::PkgTypeClearRule, d.design, "PT");
    b.Add(Kind::P2PClearRule, d.design, "P2P");
    b.Add(Kind::NoiseRule, d.design, "NR");
    // Objects that carry the default raise nothing.
    b.Constraint(b.ElectricalNet(d.config, "E3"), "DEF", 1);
    b.Definition("DEF", 1);
    b.Inherit(b.PhysicalNet(d.config, "N2", e2), "DEF");

    CDefaults test;
    const Outcome out = RunTest(test, *d.session, cns.path());
    auto missing = [](unsigned code, const char* object) { return F(code, {{Index(), "DEF"}, {Index(), object}}); };
    EXPECT_EQ(out.findings,
              (std::vector<Finding>{missing(E::T11_ERRDEFCONSTROFENET, "E1"), missing(E::T11_ERRDEFCONSTROFENET, "E2"),
                                    missing(E::T11_ERRDEFCONSTROFPHYSNET, "N1"), missing(E::T11_ERRDEFCONSTROFNORVCOMP, "C1"),
                                    missing(E::T11_ERRDEFOCONSTRDIFFPAIR, "D1"), missing(E::T11_ERRDEFCONSTROFNORVPART, "P1"),
                                    missing(E::T11_ERRDEFCONSTOFLAYER, "L1"), missing(E::T11_ERRDEFCONSTOFLAYER, "L1"),
                                    missing(E::T11_ERRDEFCONSTOFLAYER, "L1"),
                                    missing(E::T11_ERRDEFCONSTROFCONSTRCLASS, "CC"), missing(E::T11_ERRDEFCONSTROFCONSTRCLASS, "CC"),
                                    missing(E::T11_ERRDEFCONSTRVIASPAN, "VS"), missing(E::T11_ERRDEFCONSTRPKGTYPECLERRULE, "PT"),
                                    F(E::T11_ERRDEFCONSTRP2PCLEARRULE, {{Index(), "DEF"}}),
                                    missing(E::T11_ERRDEFCONSTRNOISERULE, "NR"), missing(E::T11_ERRDEFCONSTRGENCLEAR, "GC")}));
    EXPECT_EQ(out.status, FAILED);
}

// A failed name read is reported with the database's text and the missing constraint follows
// with an empty name, never the name of an earlier object.
TEST_F(CDefaultsTest, UnreadableNameIsReportedWithTheDatabaseText)
{
    TempFile cns(file(R"({ "name": "DEF", "type": 1, "default": "1", "owners": [ "ENET" ] })"));
    d.b.ElectricalNet(d.config, "E1");
    const Index e2 = d.b.ElectricalNet(d.config, "E2");
    d.b.Fail(e2, "GetName");
    CDefaults test;
    const Outcome out = RunTest(test, *d.session, cns.path());
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T11_ERRDEFCONSTROFENET, {{Index(), "DEF"}, {Index(), "E1"}}),
                                                  F(E::T11_ERRNAMEOFENET, {{Index(), "injected failure: GetName"}}),
                                                  F(E::T11_ERRDEFCONSTROFENET, {{Index(), "DEF"}, {Index(), ""}})}));
    EXPECT_EQ(LogLines(test),
              (std::vector<std::string>{"ERROR 1104: Can't get default constraint DEF of electrical net E1",
                                        "ERROR 1103: Couldn't get name of electrical net from LUMO! LUMO result: injected failure: GetName",
                                        "ERROR 1104: Can't get default constraint DEF of electrical net "}));
}

// A failed read skips its walk only; a type without recorded definitions is still read; a general
// clearance that is missing, or returned without an object, is a failed read.
TEST_F(CDefaultsTest, ReadFailuresSkipOnlyTheirWalk)
{
    TempFile cns(file(R"({ "name": "DEF", "type": 1, "default": "1", "owners": [ "ENET", "LAYER" ] })"));
    d.b.ElectricalNet(d.config, "E1");
    d.b.Layer(d.design, "L1", 1, 1);
    const struct
    {
        Index object;
        const char* op;
        unsigned code;
    } cases[] = {
        {d.config, "GetIterElectricalNets", E::T11_ERRITEROVERENETS},
        {d.config, "GetIterPhysicalNets", E::T11_ERRITEROVERPHYSNETS},
        {d.config, "GetIterNorvComps", E::T11_ERRITERNORVCOMPS},
        {d.config, "GetIterDiffPairs", E::T11_ERRITERDIFFPAIRS},
        {d.config, "GetIterParts", E::T11_ERRITERNORVPARTS},
        {d.design, "GetIterLayers", E::T11_ERRITERLAYERS},
        {d.design, "GetIterConstraintClasses", E::T11_ERRITERCONSTRCLASS},
        {d.design, "GetIterViaSpans", E::T11_ERRITERVIASPANS},
        {d.design, "GetIterPkgTypeClearRules", E::T11_ERRITERPKGTYPECLERRULE},
        {d.design, "GetIterP2PClearRules", E::T11_ERRITERP2PCLEARRULE},
        {d.design, "GetIterNoiseRules", E::T11_ERRITERNOISERULE},
    };
    for (const auto& c : cases) {
        CDefaults test;
        const Outcome out = RunTest(test, *d.session, cns.path(), [&] { d.faults().FailOn(c.object, c.op, 1); });
        std::vector<unsigned> codes = out.codes();
        std::vector<unsigned> expected{c.code};
        if (c.code != E::T11_ERRITEROVERENETS)
            expected.push_back(E::T11_ERRDEFCONSTROFENET);
        if (c.code != E::T11_ERRITERLAYERS)
            expected.insert(expected.end(), 2, E::T11_ERRDEFCONSTOFLAYER);  // levels "Layer" and "Other"
        std::sort(codes.begin(), codes.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(codes, expected) << c.op;
        d.faults().ClearAll();
    }

    CDefaults failedClearance;
    EXPECT_EQ(RunTest(failedClearance, *d.session, cns.path(), [&] { d.faults().FailOn(d.design, "GetNorvGenClear", 1); })
                  .codes(),
              (std::vector<unsigned>{E::T11_ERRDEFCONSTROFENET, E::T11_ERRDEFCONSTOFLAYER, E::T11_ERRDEFCONSTOFLAYER,
                                     E::T11_ERRGENCLEAR}));
    d.faults().ClearAll();

    // A clearance that is not valid is no failed read of the clearance: its reads fail instead, and
    // this file gives it no default constraint to read.
    d.b.Invalid(genClear);
    CDefaults invalidClearance;
    EXPECT_EQ(RunTest(invalidClearance, *d.session, cns.path()).codes(),
              (std::vector<unsigned>{E::T11_ERRDEFCONSTROFENET, E::T11_ERRDEFCONSTOFLAYER, E::T11_ERRDEFCONSTOFLAYER}));
}

TEST_F(CDefaultsTest, GeneralClearanceThatIsNotValidFailsTheReadsOfItsDefaults)
{
    TempFile cns(file(R"({ "name": "GCDEF", "type": 1, "default": "1", "owners": [ "DESIGN" ] })"));
    d.b.Invalid(genClear);
    CDefaults test;
    const Outcome out = RunTest(test, *d.session, cns.path());
    // The name read fails with the database's own answer, which names the clearance.
    const std::vector<Finding> expected{F(E::T11_ERRNAMEGENCLEAR, {{Index(), "object is not valid: " + genClear.ToText()}}),
                                        F(E::T11_ERRDEFCONSTRGENCLEAR, {{Index(), "GCDEF"}, {Index(), ""}})};
    ASSERT_GE(out.findings.size(), expected.size());
    EXPECT_EQ(std::vector<Finding>(out.findings.end() - 2, out.findings.end()), expected);
    EXPECT_EQ(std::count_if(out.findings.begin(), out.findings.end(),
                            [](const Finding& f) { return f.code == E::T11_ERRGENCLEAR; }),
              0);
}

// The design's own constraints against the definitions: the four checks in order, with the
// design's constraint path; "POWER_NET" and undefined constraints are never reported.
TEST_F(CDefaultsTest, DesignConstraintsAreValidated)
{
    TempFile cns(file(R"(
        { "name": "BAD\tONE", "type": 2, "owners": [ "DESIGN" ], "forbidden": [ { "owner": "DESIGN", "level": "Design" } ] },
        { "name": "POWER_NET", "type": 9, "owners": [ "DESIGN" ], "forbidden": [ { "owner": "DESIGN", "level": "Design" } ] },
        { "name": "GOOD", "type": 1, "owners": [ "ENET" ] })"));
    const Index other = d.b.ElectricalNet(d.config, "E1");
    const Index bad = d.b.Constraint(d.design, "BAD\tONE", 1);
    d.b.ConstraintParent(bad, other);
    d.b.Constraint(d.design, "POWER_NET", 1);
    d.b.Constraint(d.design, "UNDEFINED\t", 1);
    d.b.Constraint(d.design, "GOOD", 1);
    CDefaults test;
    const Outcome out = RunTest(test, *d.session, cns.path());
    const std::string path = "DESIGN->Design->->BAD\tONE";
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T11_FORBIDDENCONSTRAINT, {{Index(), path}, {d.design, ""}}),
                                                  F(E::T11_MISMATCHEDCONSTRAINTTYPE, {{Index(), path}, {d.design, ""}}),
                                                  F(E::T11_MISMATCHEDPARENTINDEX, {{d.design, path}, {other, ""}}),
                                                  F(E::T11_INVALIDCHARINCONSTRAINT, {{Index(), path}, {d.design, ""}})}));
}

TEST_F(CDefaultsTest, DesignConstraintReadFailures)
{
    TempFile cns(file(R"({ "name": "A", "type": 7, "owners": [ "DESIGN" ] })"));
    const Index a = d.b.Constraint(d.design, "A", 1);
    d.b.Constraint(d.design, "A", 1);
    d.b.Fail(a, "GetName");
    CDefaults test;
    EXPECT_EQ(RunTest(test, *d.session, cns.path()).findings,
              (std::vector<Finding>{F(E::T11_ERRCONSTRAINTNAME, {{d.design, ""}}),
                                    F(E::T11_MISMATCHEDCONSTRAINTTYPE, {{Index(), "DESIGN->Design->->A"}, {d.design, ""}})}));
    CDefaults again;
    EXPECT_EQ(RunTest(again, *d.session, cns.path(), [&] { d.faults().FailOn(d.design, "GetIterConstraints", 1); }).findings,
              (std::vector<Finding>{F(E::T11_ERRITEROVERCONSTRAINTS, {{d.design, ""}})}));
}

// Two runs in one process give the same findings; the map goes with the test that built it, and a
// failed load leaves no map pointing into a released set.
TEST_F(CDefaultsTest, MapLivesWithItsDefinitionSet)
{
    TempFile cns(file(R"({ "name": "DEF", "type": 1, "default": "1", "owners": [ "ENET" ] })"));
    d.b.ElectricalNet(d.config, "E1");
    {
        CDefaults test;
        MemoryLog log;
        test.initTest(d.session.get(), "main", "TOP", &log.log(), nullptr, 1, cns.path());
        test.runTest(false);
        const std::vector<Finding> first = FindingsOf(test);
        test.clearRunData();
        test.initTest(d.session.get(), "main", "TOP", &log.log(), nullptr, 2, cns.path());
        test.runTest(false);
        EXPECT_EQ(FindingsOf(test), first);
        EXPECT_EQ(first.size(), 1u);
        EXPECT_FALSE(CDefaults::s_mapDefaults.empty());

        test.clearRunData();
        test.initTest(d.session.get(), "main", "TOP", &log.log(), nullptr, 3, "/tmp");
        test.runTest(false);
        EXPECT_TRUE(CDefaults::s_mapDefaults.empty());
        test.initTest(d.session.get(), "main", "TOP", &log.log(), nullptr, 4, cns.path());
        test.runTest(false);
        EXPECT_FALSE(CDefaults::s_mapDefaults.empty());
    }
    EXPECT_TRUE(CDefaults::s_mapDefaults.empty());
}

// The example design with the example constraints file: the findings the file was written for.
TEST_F(CDefaultsTest, ExampleDesignAndConstraintsFile)
{
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session =
        Lumo::StandIn::LoadSession(std::string(KRAVIK_SOURCE_DIR) + "/examples/design-example.json", &error);
    ASSERT_TRUE(session) << error.path << ": " << error.message;
    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    CDefaults test;
    MemoryLog log;
    std::string snapshotName = Lumo::StandIn::GetStore(*session).SnapshotName();
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(*session);
    std::string topBlock;
    for (Index config : store.AllLive(Kind::NorvConfig))
        topBlock = store.Name(config);
    test.initTest(session.get(), snapshotName, topBlock, &log.log(), nullptr, 1, ExampleConstraintsPath());
    test.runTest(false);
    const std::vector<unsigned> codes = CodesOf(FindingsOf(test));
    EXPECT_EQ(codes.size(), 17u);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), E::T11_ERRDEFCONSTROFENET), 6);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), E::T11_ERRDEFCONSTROFPHYSNET), 6);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), E::T11_ERRDEFOCONSTRDIFFPAIR), 2);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), E::T11_ERRDEFCONSTROFCONSTRCLASS), 3);
}
