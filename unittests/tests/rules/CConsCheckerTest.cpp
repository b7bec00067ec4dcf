#include "tests/rules/CConsChecker.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <set>

using namespace ruletest;
using E = CDICErrors;

namespace
{

// Every owner and level that the level mapping asks for.
const char* kOwners = R"(
    { "name": "ENET", "levels": [ "Rule", "DiffPair", "ElecNet", "Net", "PinPair", "FromTo", "Pin" ] },
    { "name": "PART", "levels": [ "Part", "PartPin", "Comp", "CompPin", "PartPinPair" ] },
    { "name": "DESIGN", "levels": [ "Design", "NetClass", "ClearRule", "ViaSpan", "GenClear", "PartTech", "Const",
                                    "PkgTypeRule", "ParRuleDef", "Scheme", "Via" ] },
    { "name": "LAYER", "levels": [ "Layer" ] },
    { "name": "CLASS_CLASS_RULE", "levels": [ "default" ] },
    { "name": "PKGTYPE_PKGTYPE_RULE", "levels": [ "default", "Seg" ] },
    { "name": "PARALLEL_RULE", "levels": [ "NoiseRule" ] },
    { "name": "SCHEME_CLASS_LAYER", "levels": [ "NetClass", "ViaAssign", "Layer" ] },
    { "name": "SCHEME_RULE_LAYER", "levels": [ "NetClass", "Layer" ] })";

const char* kAllOwners = R"([ "ENET", "PART", "DESIGN", "LAYER", "CLASS_CLASS_RULE", "PKGTYPE_PKGTYPE_RULE",
                              "PARALLEL_RULE", "SCHEME_CLASS_LAYER", "SCHEME_RULE_LAYER" ])";

std::string ownersFile(const std::string& definitions)
{
    return ConstraintsJson(kOwners, definitions);
}

class CConsCheckerTest : public ::testing::Test, public World<CConsChecker>
{
};

// The session's UID manager, through which objects are handed to validateObjectConstraints directly.
::testing::AssertionResult OpenUidManager(Design& d, Lumo::IUIDManager& uid)
{
    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    if (!d.session->GetSnapshotByName(snapshot, "main") || !snapshot->GetUIDManager(uid))
        return ::testing::AssertionFailure() << "no UID manager";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST_F(CConsCheckerTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Constraints consistency");
    EXPECT_EQ(test.getTestShortName(), "ConsConsistency");
    EXPECT_EQ(test.getTestDescription(), "Test checks consistency of constraints");
}

// A path that is no regular file, a missing file and a malformed file all give one finding and
// read no object of the design.
TEST_F(CConsCheckerTest, UnloadableConstraintsFileGivesOneFindingAndNoWalk)
{
    TempFile malformed("{ \"format\": \"kravik-constraints\", \"version\": 2 }");
    TempFile notJson("owners: none");
    for (const std::string& path : {std::string(), std::string("/tmp"), std::string("/tmp/no-such-conskit-file.json"),
                                    malformed.path(), notJson.path()}) {
        CConsChecker fresh;
        Lumo::StandIn::GetCallCounts(*d.session).Reset();
        const Outcome out = RunTest(fresh, *d.session, path);
        EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T54_CANTLOADSPECIFIEDCNSFILE)}) << path;
        EXPECT_EQ(out.status, FAILED) << path;
        EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetIterElectricalNets"), 0u) << path;
        EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetIterLayers"), 0u) << path;
    }
}

TEST_F(CConsCheckerTest, CleanDesignEndsOk)
{
    TempFile file(ownersFile(R"({ "name": "LINE_WIDTH", "type": 2, "owners": [ "ENET" ] })"));
    const Index net = d.b.ElectricalNet(d.config, "E1");
    d.b.Constraint(net, "LINE_WIDTH", 5.0);
    d.b.Definition("LINE_WIDTH", 5.0);
    const Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

struct LevelCase
{
    Lumo::EObjectType type;
    const char* owner;
    const char* level;
    unsigned mismatchCode;
};

// The level of every object type under its own owner, and the type's diagnostic under another.
TEST_F(CConsCheckerTest, LevelNameOfEveryObjectType)
{
    const LevelCase cases[] = {
        {Lumo::OT_NorvDesign, "DESIGN", "Design", E::T54_NOLEVELNAMEFORTHISOWNER_NORVDESIGN},
        {Lumo::OT_NorvLayer, "LAYER", "Layer", E::T54_NOLEVELNAMEFORTHISOWNER_LAYER},
        {Lumo::OT_NorvNetClass, "DESIGN", "NetClass", E::T54_NOLEVELNAMEFORTHISOWNER_NETCLASS},
        {Lumo::OT_NorvClearRule, "DESIGN", "ClearRule", E::T54_NOLEVELNAMEFORTHISOWNER_CLEARRULE},
        {Lumo::OT_NorvConstraintClass, "ENET", "Rule", E::T54_NOLEVELNAMEFORTHISOWNER_CONSTRCLASS},
        {Lumo::OT_NorvViaSpan, "DESIGN", "ViaSpan", E::T54_NOLEVELNAMEFORTHISOWNER_VIASPAN},
        {Lumo::OT_NorvGenClear, "DESIGN", "GenClear", E::T54_NOLEVELNAMEFORTHISOWNER_GENCLEAR},
        {Lumo::OT_NorvPartTech, "DESIGN", "PartTech", E::T54_NOLEVELNAMEFORTHISOWNER_PARTTECH},
        {Lumo::OT_NorvConstVar, "DESIGN", "Const", E::T54_NOLEVELNAMEFORTHISOWNER_CONSTVAR},
        {Lumo::OT_NorvC2CClearRule, "CLASS_CLASS_RULE", "default", E::T54_NOLEVELNAMEFORTHISOWNER_C2CCLEARRULE},
        {Lumo::OT_NorvPkgTypeClearRule, "DESIGN", "PkgTypeRule", E::T54_NOLEVELNAMEFORTHISOWNER_PKGTYPECLEARRULE},
        {Lumo::OT_NorvP2PClearRule, "PKGTYPE_PKGTYPE_RULE", "default", E::T54_NOLEVELNAMEFORTHISOWNER_P2PCLEARRULE},
        {Lumo::OT_NorvParRuleDef, "DESIGN", "ParRuleDef", E::T54_NOLEVELNAMEFORTHISOWNER_PARRULEDEF},
        {Lumo::OT_NorvParRuleSection, "PKGTYPE_PKGTYPE_RULE", "Seg", E::T54_NOLEVELNAMEFORTHISOWNER_PARRULESECTION},
        {Lumo::OT_NorvNoiseRule, "PARALLEL_RULE", "NoiseRule", E::T54_NOLEVELNAMEFORTHISOWNER_NOISERULE},
        {Lumo::OT_NorvScheme, "DESIGN", "Scheme", E::T54_NOLEVELNAMEFORTHISOWNER_NORVSCHEME},
        {Lumo::OT_NorvSchemeNetClassRule, "SCHEME_CLASS_LAYER", "NetClass", E::T54_NOLEVELNAMEFORTHISOWNER_SCHEMENETCLASSRULE},
        {Lumo::OT_NorvViaAssign, "SCHEME_CLASS_LAYER", "ViaAssign", E::T54_NOLEVELNAMEFORTHISOWNER_VIAASSIGN},
        {Lumo::OT_NorvLayerRule, "SCHEME_CLASS_LAYER", "Layer", E::T54_NOLEVELNAMEFORTHISOWNER_LAYERRULE},
        {Lumo::OT_NorvSchemeClearRule, "SCHEME_RULE_LAYER", "NetClass", E::T54_NOLEVELNAMEFORTHISOWNER_SCHEMACLEARRULE},
        {Lumo::OT_NorvLayerClearRule, "SCHEME_RULE_LAYER", "Layer", E::T54_NOLEVELNAMEFORTHISOWNER_LAYERCLEARRULE},
        {Lumo::OT_NorvDiffPair, "ENET", "DiffPair", E::T54_NOLEVELNAMEFORTHISOWNER_DIFFPAIR},
        {Lumo::OT_NorvElectricalNet, "ENET", "ElecNet", E::T54_NOLEVELFORTHISOWNER_ENET},
        {Lumo::OT_NorvPinPair, "ENET", "PinPair", E::T54_NOLEVELNAMEFORTHISOWNER_PINPAIR},
        {Lumo::OT_NorvPhysicalNet, "ENET", "Net", E::T54_NOLEVELNAMEFORTHISOWNER_PNET},
        {Lumo::OT_NorvFromTo, "ENET", "FromTo", E::T54_NOLEVELNAMEFORTHISOWNER_FROMTO},
        {Lumo::OT_NorvComp, "PART", "Comp", E::T54_NOLEVELNAMEFORTHISOWNER_NORVCOMP},
        {Lumo::OT_NorvPin, "ENET", "Pin", E::T54_NOLEVELNAMEFORTHISOWNER_NORVPIN},
        {Lumo::OT_NorvPin, "PART", "CompPin", E::T54_NOLEVELNAMEFORTHISOWNER_NORVPIN},
        {Lumo::OT_NorvPart, "PART", "Part", E::T54_NOLEVELNAMEFORTHISOWNER_NORVPART},
        {Lumo::OT_NorvPartPin, "PART", "PartPin", E::T54_NOLEVELNAMEFORTHISOWNER_NORVPARTPIN},
        {Lumo::OT_NorvVia, "DESIGN", "Via", E::T54_NOLEVELNAMEFORTHISOWNER_VIA},
        {Lumo::OT_NorvPartPinPair, "PART", "PartPinPair", E::T54_NOLEVELNAMEFORTHISOWNER_NORVPARTPINPAIR},
    };
    test.initTest(d.session.get(), "main", "TOP", nullptr, nullptr, 1, "");
    for (const LevelCase& c : cases) {
        std::string level;
        EXPECT_TRUE(test.getLevelName(c.type, c.owner, level)) << c.type;
        EXPECT_EQ(level, c.level) << c.type;

        std::string unchanged;
        EXPECT_TRUE(test.getLevelName(c.type, "OTHER", unchanged)) << c.type;
        EXPECT_EQ(unchanged, "") << c.type;
    }
    std::vector<Finding> expected;
    for (const LevelCase& c : cases)
        expected.push_back(F(c.mismatchCode, {{Index(), "OTHER"}}));
    EXPECT_EQ(FindingsOf(test), expected);
}

TEST_F(CConsCheckerTest, GenericAndUnknownTypesHaveNoLevel)
{
    test.initTest(d.session.get(), "main", "TOP", nullptr, nullptr, 1, "");
    std::string level;
    EXPECT_TRUE(test.getLevelName(Lumo::OT_NorvGenObjType, "DESIGN", level));
    EXPECT_TRUE(test.getLevelName(Lumo::OT_NorvGenCompObj, "", level));
    EXPECT_TRUE(test.getLevelName(Lumo::OT_NorvGenObj, "ENET", level));
    EXPECT_EQ(level, "");
    for (int type : {0, 22, 55, 61, 72, 255})
        EXPECT_FALSE(test.getLevelName(static_cast<Lumo::EObjectType>(type), "ENET", level)) << type;
    EXPECT_EQ(FindingsOf(test),
              (std::vector<Finding>{F(E::T54_NOLEVELNAMEFORTHISOWNER_GENOBJTYPE, {{Index(), "DESIGN"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_GENCOMPOBJ, {{Index(), ""}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_GENOBJ, {{Index(), "ENET"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}}),
                                    F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}})}));
}

TEST_F(CConsCheckerTest, ObjectOfUnmappedTypeIsNotRead)
{
    TempFile file(ownersFile(""));
    test.initTest(d.session.get(), "main", "TOP", nullptr, nullptr, 1, file.path());
    test.validateObjectConstraints(nullptr, "", "ENET");
    // A constraint handed in as an object: type 22 has no level.
    const Index net = d.b.ElectricalNet(d.config, "E1");
    const Index constraint = d.b.Constraint(net, "X", 1);
    Lumo::IUIDManager uid;
    ASSERT_TRUE(OpenUidManager(d, uid));
    Lumo::ContainerT<const Lumo::INorvElectricalNet> enet;
    ASSERT_TRUE(uid.GetNorvElectricalNet(enet, net));
    d.faults().FailOn(net, "GetIndex");
    test.validateObjectConstraints(&*enet, "E1", "ENET");
    EXPECT_EQ(FindingsOf(test), (std::vector<Finding>{F(E::T54_ERRORINOBJECTCONVERSION),
                                                      F(E::T54_NOLEVELNAMEFORTHISOWNER_XXX, {{Index(), "ENET"}}),
                                                      F(E::T54_UNKNOWNOBJECTTYPE)}));
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetIterConstraints"), 0u);
    (void)constraint;
}

// One object validated under two owners in turn, and again after the file changed: each call
// judges the constraint by the definitions of its own owner and level, as loaded by the last run.
TEST_F(CConsCheckerTest, EveryCallUsesTheDefinitionsOfItsOwnOwnerAndLevel)
{
    const Index part = d.b.Part(d.config, "P1");
    const Index comp = d.b.NorvComp(d.config, "C1", part);
    const Index pin = d.b.Pin(comp, "C1.1", Lumo::NPT_NetPin, Index());
    const Index lw = d.b.Constraint(pin, "LW", 1.0);
    d.b.Definition("LW", 1.0);
    Lumo::IUIDManager uid;
    ASSERT_TRUE(OpenUidManager(d, uid));
    Lumo::ContainerT<const Lumo::INorvPin> handle;
    ASSERT_TRUE(uid.GetNorvPin(handle, pin));

    const struct
    {
        const char* forbidden; // the owner whose pin level forbids the constraint
        const char* level;
    } files[] = {{"ENET", "Pin"}, {"PART", "CompPin"}, {"ENET", "Pin"}};
    for (const auto& file : files) {
        TempFile cons(ownersFile(std::string(R"({ "name": "LW", "type": 2, "owners": [ "ENET", "PART" ],
            "forbidden": [ { "owner": ")") + file.forbidden + R"(", "level": ")" + file.level + R"(" } ] })"));
        const Outcome run = RunTest(test, *d.session, cons.path());
        ASSERT_EQ(run.findings, std::vector<Finding>{}) << file.forbidden;
        std::vector<Finding> expected;
        for (const char* owner : {"ENET", "PART", "ENET", "PART"}) {
            test.validateObjectConstraints(&*handle, "C1.1", owner);
            if (std::string(owner) == file.forbidden)
                expected.push_back(F(E::T54_FORBIDDENCONSTRAINT,
                                     {{Index(), std::string(owner) + "->" + file.level + "->C1.1->LW"}, {lw, ""}, {pin, ""}}));
        }
        EXPECT_EQ(FindingsOf(test), expected) << file.forbidden;
        test.GetIssuesList().clear();
    }
}

// One constraint on an object of every owner and level that the walks visit, each of a type the
// file does not allow: the findings name them in walk order.
TEST_F(CConsCheckerTest, WalksVisitEveryOwnerAndLevelInOrder)
{
    TempFile file(ownersFile(std::string(R"({ "name": "WRONG", "type": 7, "owners": )") + kAllOwners + " }"));
    d.b.Definition("WRONG", 1);
    auto& b = d.b;
    std::vector<Index> holders;
    auto mark = [&](Index object) {
        b.Constraint(object, "WRONG", 1);
        return object;
    };

    const Index e1 = mark(b.ElectricalNet(d.config, "E1"));
    const Index n1 = mark(b.PhysicalNet(d.config, "N1", e1));
    mark(b.FromTo(n1, "FT1", Index(), Index()));
    const Index part = b.Part(d.config, "P1");
    const Index comp = b.NorvComp(d.config, "C1", part);
    mark(b.Pin(comp, "C1.1", Lumo::NPT_NetPin, n1));
    mark(b.Pin(n1, "PS1", Lumo::NPT_PinSetChained));
    mark(b.Pin(n1, "PU1", Lumo::NPT_PinSetUnbalanced));
    mark(b.Pin(n1, "VP1", Lumo::NPT_VirtualPin));
    mark(b.PinPair(e1, "PP0", Index(), Index(), Lumo::PPT_Ordinary));
    mark(b.PinPair(e1, "PP1", Index(), Index(), Lumo::PPT_Connection));
    const Index e2 = b.ElectricalNet(d.config, "E2");
    mark(b.DiffPair(d.config, "D1", e1, e2));
    mark(comp);
    mark(part);
    mark(b.Add(Kind::PartPin, part, "PPIN"));
    mark(d.design);
    mark(b.Layer(d.design, "L1", 1, 1));
    mark(b.Add(Kind::ViaSpan, d.design, "VS"));
    mark(b.Add(Kind::C2CClearRule, d.design, "C2C"));
    mark(b.Add(Kind::PkgTypeClearRule, d.design, "PT"));
    mark(b.Add(Kind::P2PClearRule, d.design, "P2P"));
    const Index parDef = mark(b.Add(Kind::ParRuleDef, d.design, "PRD"));
    mark(b.Add(Kind::ParRuleSection, parDef, "SEC"));
    mark(b.Add(Kind::NoiseRule, d.design, "NR"));
    const Index scheme = mark(b.Add(Kind::Scheme, d.design, "S"));
    const Index ncRule = mark(b.Add(Kind::SchemaNetClassRule, scheme, "NCR"));
    mark(b.Add(Kind::ViaAssign, ncRule, "VA"));
    mark(b.Add(Kind::LayerRule, ncRule, "LR"));
    const Index clearRule = mark(b.Add(Kind::SchemaClearRule, scheme, "SCR"));
    mark(b.Add(Kind::LayerClearRule, clearRule, "LCR"));

    const Outcome out = RunTest(test, *d.session, file.path());
    std::vector<Finding> expected;
    for (const char* path :
         {"ENET->ElecNet->E1->WRONG", "ENET->Net->N1->WRONG", "ENET->FromTo->FT1->WRONG", "ENET->Pin->C1.1->WRONG",
          "ENET->Pin->PS1->WRONG", "ENET->Pin->VP1->WRONG", "ENET->PinPair->PP0->WRONG", "ENET->PinPair->PP1->WRONG",
          "ENET->DiffPair->D1->WRONG", "PART->Comp->C1->WRONG", "PART->Part->P1->WRONG", "PART->PartPin->PPIN->WRONG",
          "DESIGN->Design->->WRONG", "LAYER->Layer->L1->WRONG", "DESIGN->ViaSpan->VS->WRONG",
          "CLASS_CLASS_RULE->default->->WRONG", "DESIGN->PkgTypeRule->PT->WRONG",
          "PKGTYPE_PKGTYPE_RULE->default->->WRONG", "PKGTYPE_PKGTYPE_RULE->Seg->SEC->WRONG",
          "PARALLEL_RULE->NoiseRule->->WRONG", "SCHEME_CLASS_LAYER->NetClass->NCR->WRONG",
          "SCHEME_CLASS_LAYER->ViaAssign->VA->WRONG", "SCHEME_CLASS_LAYER->Layer->->WRONG",
          "SCHEME_RULE_LAYER->NetClass->SCR->WRONG", "SCHEME_RULE_LAYER->Layer->->WRONG"})
        expected.push_back(F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), path}}));
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

// The checks of one constraint, each independent, in their fixed order.
TEST_F(CConsCheckerTest, ConstraintChecksRunInOrder)
{
    TempFile file(ownersFile(R"(
        { "name": "BAD\tNAME", "type": 2, "owners": [ "ENET" ], "forbidden": [ { "owner": "ENET", "level": "ElecNet" } ] },
        { "name": "OTHER\tOWNER", "type": 1, "owners": [ "PART" ] },
        { "name": "DEF_WITH_PARENT", "type": 1, "owners": [ "ENET" ] },
        { "name": "POWER_NET", "type": 9, "owners": [ "ENET" ], "forbidden": [ { "owner": "ENET", "level": "ElecNet" } ] })"));
    for (const char* name : {"BAD\tNAME", "OTHER\tOWNER", "UNDEF\tINED", "POWER_NET"})
        d.b.Definition(name, 1);
    const Index net = d.b.ElectricalNet(d.config, "E1");
    const Index other = d.b.ElectricalNet(d.config, "E2");
    const Index bad = d.b.Constraint(net, "BAD\tNAME", 1);
    d.b.ConstraintParent(bad, other);
    d.b.Constraint(net, "OTHER\tOWNER", std::string("x"));
    d.b.Constraint(net, "UNDEF\tINED", 1);
    d.b.Constraint(net, "POWER_NET", 1);
    const Index definition = d.b.Constraint(net, "DEF_WITH_PARENT", 1);
    d.b.ConstraintFlags(definition, true);
    d.b.ConstraintParent(definition, other);

    const Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_EQ(out.findings,
              (std::vector<Finding>{
                  F(E::T54_FORBIDDENCONSTRAINT, {{Index(), "ENET->ElecNet->E1->BAD\tNAME"}, {bad, ""}, {other, ""}}),
                  F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), "ENET->ElecNet->E1->BAD\tNAME"}}),
                  F(E::T54_MISMATCHINPARENTINDEX, {{Index(), "ENET->ElecNet->E1->BAD\tNAME"}, {net, "BAD\tNAME"}, {bad, ""}}),
                  F(E::T54_INVALIDCHARINCONSTRAINT, {{Index(), "\t"}, {Index(), "ENET->ElecNet->E1->BAD\tNAME"}}),
                  F(E::T54_INVALIDCHARINCONSTRAINT, {{Index(), "\t"}, {Index(), "ENET->ElecNet->E1->OTHER\tOWNER"}}),
                  F(E::T54_ADDEDNONSTANDARDCONSTRAINT, {{Index(), "ENET->ElecNet->E1->UNDEF\tINED"}}),
                  F(E::T54_MISMATCHINPARENTINDEXDEFHASPARENT, {{Index(), "ENET->ElecNet->E1->DEF_WITH_PARENT   (%I)"}, {net, ""}}),
              }));
    EXPECT_EQ(out.status, FAILED);
}

// In fix mode the repairs read the pairs of a forbidden constraint and a wrong parent; a
// constraint without a parent names its object in the third pair of the forbidden finding.
TEST_F(CConsCheckerTest, QueuedFindingsCarryTheirPairsInRepairOrder)
{
    TempFile file(ownersFile(R"({ "name": "LW", "type": 2, "owners": [ "ENET" ],
                                  "forbidden": [ { "owner": "ENET", "level": "Net" } ] })"));
    d.b.Definition("LW", 1.0);
    const Index net = d.b.PhysicalNet(d.config, "N1", d.b.ElectricalNet(d.config, "E1"));
    const Index lw = d.b.Constraint(net, "LW", 1.0);
    d.b.ConstraintParent(lw, Index());

    EXPECT_EQ(RunQueued(test, *d.session, file.path()),
              (std::vector<Finding>{F(E::T54_FORBIDDENCONSTRAINT, {{Index(), "ENET->Net->N1->LW"}, {lw, ""}, {net, ""}}),
                                    F(E::T54_MISMATCHINPARENTINDEX, {{Index(), "ENET->Net->N1->LW"}, {net, "LW"}, {lw, ""}})}));
}

TEST_F(CConsCheckerTest, LogLinesOfConstraintFindings)
{
    TempFile file(ownersFile(R"({ "name": "LW", "type": 2, "owners": [ "ENET" ],
                                  "forbidden": [ { "owner": "ENET", "level": "ElecNet" } ] })"));
    d.b.Definition("LW", 1.0);
    d.b.Definition("EXTRA", 1);
    const Index net = d.b.ElectricalNet(d.config, "E1");
    d.b.Constraint(net, "LW", 1.0);
    d.b.Constraint(net, "EXTRA", 1);
    RunTest(test, *d.session, file.path());
    EXPECT_EQ(LogLines(test), (std::vector<std::string>{"ERROR 5444: Forbidden constraint: ENET->ElecNet->E1->LW",
                                                        "WARNING 5449: Added nonstandard constraints: ENET->ElecNet->E1->EXTRA"}));
}

TEST_F(CConsCheckerTest, UnreadableConstraintAndMissingDefinitionConstraintSkipOnlyThatConstraint)
{
    TempFile file(ownersFile(R"({ "name": "A", "type": 7, "owners": [ "ENET" ] },
                                { "name": "B", "type": 7, "owners": [ "ENET" ] },
                                { "name": "C", "type": 7, "owners": [ "ENET" ] })"));
    d.b.Definition("A", 1);
    d.b.Definition("C", 1);
    const Index net = d.b.ElectricalNet(d.config, "E1");
    const Index a = d.b.Constraint(net, "A", 1);
    d.b.Constraint(net, "B", 1);  // no definition constraint in the database
    d.b.Constraint(net, "C", 1);
    d.b.Fail(a, "GetName");
    const Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T54_UNKNOWNCONSTRAINTNAMECONSTRAINTNOTVALIDATED, {{Index(), "E1"}}),
                                                  F(E::T54_CANTGETCONSTRAINTDEFINITIONCONSTRAINTNOTVALIDATED),
                                                  F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), "ENET->ElecNet->E1->C"}})}));
}

// An object whose owner or level the file lacks is not validated; a failed constraint walk
// abandons its object only.
TEST_F(CConsCheckerTest, ObjectsOutsideTheFileOrWithoutConstraintWalk)
{
    TempFile file(ConstraintsJson(R"({ "name": "ENET", "levels": [ "ElecNet" ] })",
                                  R"({ "name": "A", "type": 7, "owners": [ "ENET", "LAYER" ] })"));
    d.b.Definition("A", 1);
    const Index e1 = d.b.ElectricalNet(d.config, "E1");
    const Index e2 = d.b.ElectricalNet(d.config, "E2");
    d.b.Constraint(e1, "A", 1);
    d.b.Constraint(e2, "A", 1);
    d.b.Constraint(d.b.PhysicalNet(d.config, "N1", e2), "A", 1);  // level "Net" absent
    d.b.Constraint(d.b.Layer(d.design, "L1", 1, 1), "A", 1);        // owner "LAYER" absent
    d.b.Fail(e1, "GetIterConstraints");
    const Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T54_SOMECONSTRAINTSNOTVALIDATED),
                                                  F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), "ENET->ElecNet->E2->A"}})}));
}

TEST_F(CConsCheckerTest, ParallelRuleDefinitionsWithoutSections)
{
    TempFile file(ownersFile(""));
    const Index first = d.b.Add(Kind::ParRuleDef, d.design, "PR1");
    const Index second = d.b.Add(Kind::ParRuleDef, d.design, "PR2");
    Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T57_PARRULEDEF_INVALID_ALL)});

    d.b.Add(Kind::ParRuleSection, d.b.Add(Kind::ParRuleDef, d.design, "PR3"), "SEC");
    CConsChecker again;
    out = RunTest(again, *d.session, file.path());
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T57_PARRULEDEF_INVALID, {{first, "PR1"}}),
                                                  F(E::T57_PARRULEDEF_INVALID, {{second, "PR2"}})}));

    // A definition whose sections cannot be read is neither counted nor listed.
    d.b.Fail(first, "GetIterParRuleSections");
    CConsChecker third;
    out = RunTest(third, *d.session, file.path());
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T54_ERRITEROVERPARRULESECTIONSINDESIGN),
                                                  F(E::T57_PARRULEDEF_INVALID, {{second, "PR2"}})}));
}

// A failed walk query ends its own walk only: the physical nets of the first electrical net end
// the connectivity walk, while the design walk still runs.
TEST_F(CConsCheckerTest, FailedQueryEndsItsWalk)
{
    TempFile file(ownersFile(std::string(R"({ "name": "WRONG", "type": 7, "owners": )") + kAllOwners + " }"));
    d.b.Definition("WRONG", 1);
    const Index e1 = d.b.ElectricalNet(d.config, "E1");
    d.b.Constraint(e1, "WRONG", 1);
    d.b.Constraint(d.b.ElectricalNet(d.config, "E2"), "WRONG", 1);
    d.b.Constraint(d.b.Part(d.config, "P1"), "WRONG", 1);
    d.b.Constraint(d.b.Layer(d.design, "L1", 1, 1), "WRONG", 1);
    d.b.Fail(e1, "GetIterPhysicalNets");
    const Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), "ENET->ElecNet->E1->WRONG"}}),
                                                  F(E::T54_ERRITEROVERPHYSNETSINELECNET),
                                                  F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), "LAYER->Layer->L1->WRONG"}})}));
}

TEST_F(CConsCheckerTest, FailedViaAssignQueryEndsTheDesignWalk)
{
    TempFile file(ownersFile(std::string(R"({ "name": "WRONG", "type": 7, "owners": )") + kAllOwners + " }"));
    d.b.Definition("WRONG", 1);
    const Index scheme = d.b.Add(Kind::Scheme, d.design, "S1");
    const Index rule = d.b.Add(Kind::SchemaNetClassRule, scheme, "R1");
    d.b.Constraint(d.b.Add(Kind::SchemaNetClassRule, scheme, "R2"), "WRONG", 1);
    d.b.Constraint(d.b.Add(Kind::SchemaClearRule, scheme, "C1"), "WRONG", 1);
    d.b.Constraint(d.b.Add(Kind::SchemaNetClassRule, d.b.Add(Kind::Scheme, d.design, "S2"), "R3"), "WRONG", 1);
    d.b.Fail(rule, "GetIterViaAssigns");
    const Outcome out = RunTest(test, *d.session, file.path());
    EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T54_ERRITEROVERVIAASSIGNSINSCHEME)});
}

// Every query of the walks fails in turn: each gives its own code once and nothing crashes.
TEST_F(CConsCheckerTest, EveryWalkQueryFailureHasItsCode)
{
    TempFile file(ownersFile(""));
    const Index e1 = d.b.ElectricalNet(d.config, "E1");
    const Index n1 = d.b.PhysicalNet(d.config, "N1", e1);
    const Index part = d.b.Part(d.config, "P1");
    const Index scheme = d.b.Add(Kind::Scheme, d.design, "S1");
    const Index ncRule = d.b.Add(Kind::SchemaNetClassRule, scheme, "R1");
    const Index clearRule = d.b.Add(Kind::SchemaClearRule, scheme, "C1");
    const Index parDef = d.b.Add(Kind::ParRuleDef, d.design, "PR");
    d.b.Add(Kind::ParRuleSection, parDef, "SEC");
    const struct
    {
        Index object;
        const char* op;
        unsigned code;
    } cases[] = {
        {d.config, "GetIterElectricalNets", E::T54_ERRITEROVERELECNETS},
        {e1, "GetIterPhysicalNets", E::T54_ERRITEROVERPHYSNETSINELECNET},
        {n1, "GetIterFromTos", E::T54_ERRITEROVERFROMTOSINPHYSNET},
        {n1, "GetIterPins", E::T54_ERRITEROVERPINSINPHYSNET},
        {e1, "GetIterPinPairs", E::T54_ERRITEROVERPINPAIRSINELECNET},
        {d.config, "GetIterDiffPairs", E::T54_ERRITEROVERDIFFPAIRSINNORVCFG},
        {d.config, "GetIterNorvComps", E::T54_ERRITEROVERCOMPSINNORVCFG},
        {d.config, "GetIterParts", E::T54_ERRITEROVERPARTSINNORVCFG},
        {part, "GetIterPartPins", E::T54_ERRITEROVERPARTPINSINPART},
        {d.design, "GetIterLayers", E::T54_ERRITEROVERLAYERSINDESIGN},
        {d.design, "GetIterViaSpans", E::T54_ERRITEROVERVIASPANSINDESIGN},
        {d.design, "GetIterC2CClearRules", E::T54_ERRITEROVERC2CCLEARRULESINDESIGN},
        {d.design, "GetIterPkgTypeClearRules", E::T54_ERRITEROVERPKGTYPECLEARRULESINDESIGN},
        {d.design, "GetIterP2PClearRules", E::T54_ERRITEROVERP2PCLEARRULESINDESIGN},
        {d.design, "GetIterParRuleDefs", E::T54_ERRITEROVERPARRULEDEFSINDESIGN},
        {d.design, "GetIterNoiseRules", E::T54_ERRITEROVERNOISERULESINDESIGN},
        {d.design, "GetIterSchemes", E::T54_ERRITEROVERSCHEMESINDESIGN},
        {scheme, "GetIterSchemaNetClassRules", E::T54_ERRITEROVERSCHEMANETCLASSRULESINSCHEME},
        {ncRule, "GetIterLayerRules", E::T54_ERRITEROVERLAYERRULESINSCHEMENETCLASS},
        {scheme, "GetIterSchemaClearRules", E::T54_ERRITEROVERSCHEMACLEARRULESINSCHEME},
        {clearRule, "GetIterLayerClearRules", E::T54_ERRITEROVERLAYERRULESINSCHEMECLEARRULE},
    };
    for (const auto& c : cases) {
        CConsChecker fresh;
        const Outcome out = RunTest(fresh, *d.session, file.path(), [&] { d.faults().FailOn(c.object, c.op, 1); });
        EXPECT_EQ(out.codes(), std::vector<unsigned>{c.code}) << c.op;
        EXPECT_EQ(out.status, FAILED) << c.op;
        d.faults().ClearAll();
    }
}

// Every call of a run fails in turn: nothing crashes, and the pin walks of every kind and both
// pin-pair walks report their own codes; pins of kind 5 are never read.
TEST_F(CConsCheckerTest, FailingEveryCallInTurn)
{
    TempFile file(ownersFile(R"({ "name": "A", "type": 7, "owners": [ "ENET" ] })"));
    d.b.Definition("A", 1);
    const Index e1 = d.b.ElectricalNet(d.config, "E1");
    const Index n1 = d.b.PhysicalNet(d.config, "N1", e1);
    d.b.Constraint(d.b.Pin(n1, "PU", Lumo::NPT_PinSetUnbalanced), "A", 1);
    d.b.Constraint(e1, "A", 1);

    std::set<unsigned> seen;
    for (uint64_t k = 1; k < 2000; ++k) {
        CConsChecker fresh;
        Lumo::StandIn::GetCallCounts(*d.session).Reset();
        const Outcome out = RunTest(fresh, *d.session, file.path(), [&] { d.faults().SetCountdown(k); });
        const bool fired = d.faults().GetCountdown() == 0;
        d.faults().ClearAll();
        const std::vector<unsigned> codes = out.codes();
        seen.insert(codes.begin(), codes.end());
        for (const Finding& f : out.findings)
            EXPECT_NE(f, F(E::T54_MISMATCHINCONSTRAINTTYPE_2, {{Index(), "ENET->Pin->PU->A"}}));
        if (!fired)
            break;
    }
    for (unsigned code : {E::T54_ERRITEROVERPINSINPHYSNET, E::T54_ERRITEROVERPINSETCHAINSSINPHYSNET,
                          E::T54_ERRITEROVERPINSETTINPHYSNET, E::T54_ERRITEROVERPINSETMSTINPHYSNET,
                          E::T54_ERRITEROVERPINSETBALANCEINPHYSNET, E::T54_ERRITEROVERVIRTUALSPININPHYSNET,
                          E::T54_ERRITEROVERGUIDEPINSINPHYSNET, E::T54_ERRITEROVEREBDPINSINPHYSNET,
                          E::T54_ERRITEROVERBOUNDARYPINSINPHYSNET, E::T54_ERRITEROVERVIRTUALPINSETPINSINPHYSNET,
                          E::T54_ERRITEROVERPINPAIRSINELECNET, E::T54_ERRITEROVERCONNECTIONPINPAIRSINELECNET,
                          E::T54_SOMECONSTRAINTSNOTVALIDATED, E::T54_UNKNOWNCONSTRAINTNAMECONSTRAINTNOTVALIDATED,
                          E::T54_CANTGETCONSTRAINTDEFINITIONCONSTRAINTNOTVALIDATED})
        EXPECT_TRUE(seen.count(code)) << code;
}

// A second run loads the file afresh and reports the same findings.
TEST_F(CConsCheckerTest, SecondRunGivesTheSameFindings)
{
    TempFile file(ownersFile(R"({ "name": "A", "type": 7, "owners": [ "ENET" ] })"));
    d.b.Definition("A", 1);
    d.b.Constraint(d.b.ElectricalNet(d.config, "E1"), "A", 1);
    MemoryLog log;
    test.initTest(d.session.get(), "main", "TOP", &log.log(), nullptr, 1, file.path());
    test.runTest(false);
    const std::vector<Finding> first = FindingsOf(test);
    test.clearRunData();
    test.initTest(d.session.get(), "main", "TOP", &log.log(), nullptr, 2, file.path());
    EXPECT_EQ(test.runTest(false), FAILED);
    EXPECT_EQ(FindingsOf(test), first);
    EXPECT_EQ(first.size(), 1u);
}

// Objects of one type carrying different constraints at the same place in their lists: each
// constraint is judged by its own name, and a name without a definition constraint in the
// database is asked for again at every object.
TEST_F(CConsCheckerTest, EachConstraintIsJudgedByItsOwnNameWhereverItStands)
{
    TempFile file(ownersFile(R"(
        { "name": "GOOD", "type": 2, "owners": [ "ENET" ] },
        { "name": "BAD\tNAME", "type": 2, "owners": [ "ENET" ] },
        { "name": "FORB", "type": 2, "owners": [ "ENET" ], "forbidden": [ { "owner": "ENET", "level": "ElecNet" } ] },
        { "name": "NODEF", "type": 2, "owners": [ "ENET" ] })"));
    for (const char* name : {"GOOD", "BAD\tNAME", "FORB", "UNDEF"})
        d.b.Definition(name, 1.0);
    struct Net
    {
        const char* name;
        std::vector<const char*> constraints;
    };
    const std::vector<Net> nets = {{"E1", {"GOOD", "BAD\tNAME"}}, {"E2", {"BAD\tNAME", "GOOD"}},
                                   {"E3", {"UNDEF", "FORB"}},     {"E4", {"FORB", "UNDEF"}},
                                   {"E5", {"NODEF"}},             {"E6", {"NODEF", "GOOD"}}};
    std::vector<Index> netIndexes, forbidden;
    for (const Net& net : nets) {
        netIndexes.push_back(d.b.ElectricalNet(d.config, net.name));
        for (const char* constraint : net.constraints) {
            const Index index = d.b.Constraint(netIndexes.back(), constraint, 1.0);
            if (std::string(constraint) == "FORB")
                forbidden.push_back(index);
        }
    }
    Lumo::StandIn::GetCallCounts(*d.session).Reset();
    const Outcome out = RunTest(test, *d.session, file.path());
    const auto path = [](const std::string& net, const std::string& constraint) {
        return "ENET->ElecNet->" + net + "->" + constraint;
    };
    EXPECT_EQ(out.findings,
              (std::vector<Finding>{
                  F(E::T54_INVALIDCHARINCONSTRAINT, {{Index(), "\t"}, {Index(), path("E1", "BAD\tNAME")}}),
                  F(E::T54_INVALIDCHARINCONSTRAINT, {{Index(), "\t"}, {Index(), path("E2", "BAD\tNAME")}}),
                  F(E::T54_ADDEDNONSTANDARDCONSTRAINT, {{Index(), path("E3", "UNDEF")}}),
                  F(E::T54_FORBIDDENCONSTRAINT, {{Index(), path("E3", "FORB")}, {forbidden[0], ""}, {netIndexes[2], ""}}),
                  F(E::T54_FORBIDDENCONSTRAINT, {{Index(), path("E4", "FORB")}, {forbidden[1], ""}, {netIndexes[3], ""}}),
                  F(E::T54_ADDEDNONSTANDARDCONSTRAINT, {{Index(), path("E4", "UNDEF")}}),
                  F(E::T54_CANTGETCONSTRAINTDEFINITIONCONSTRAINTNOTVALIDATED),
                  F(E::T54_CANTGETCONSTRAINTDEFINITIONCONSTRAINTNOTVALIDATED),
              }));
    // Four names found once each, and the one without a definition constraint asked twice.
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetDefConstraint"), 6u);
}
