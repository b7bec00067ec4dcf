#include "tests/rules/CLayerInAllNetClasses.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

// Two metallic layers and a dielectric one, classes A and A/B, and scheme S whose rules carry one
// layer rule per metallic layer.
struct LayerInAllNetClassesWorld : World<CLayerInAllNetClasses>
{
    Index l1 = d.b.Layer(d.design, "L1", 1, 1);
    Index die = d.b.Layer(d.design, "DIE", 2, -1, Lumo::LT_Substrate);
    Index l2 = d.b.Layer(d.design, "L2", 3, 2);
    Index a = d.b.NetClass(d.design, "A");
    Index b = d.b.NetClass(a, "B");
    Index s = d.b.Scheme(d.design, "S");
    Index ruleA = d.store().List(s, Field::schemaNetClassRules).front();
    Index ruleB = d.store().List(ruleA, Field::childRules).front();

    Index layerRule(Index rule, int number, Index parent)
    {
        const Index lr = d.b.Add(Kind::LayerRule, rule, "");
        d.b.SetInt(lr, Field::layerIndex, number);
        d.b.SetRefOnly(lr, Field::parentLayer, parent);
        return lr;
    }
    // The layer rule of the rule that names the layer.
    Index layerRuleOf(Index rule, Index layer)
    {
        for (Index lr : d.store().List(rule, Field::layerRules))
            if (d.store().Ref(lr, Field::parentLayer) == layer)
                return lr;
        return Index();
    }
    static Index number(int n) { return Index(static_cast<uint64_t>(static_cast<int64_t>(n))); }
};

struct LayerInAllNetClassesTest : ::testing::Test, LayerInAllNetClassesWorld
{
};

TEST_F(LayerInAllNetClassesTest, RulesMatchingTheMetallicLayersAreOk)
{
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(LayerInAllNetClassesTest, LayerWithoutRuleInEveryNetClass)
{
    const Index l3 = d.b.Layer(d.design, "L3", 4, 3); // added after the scheme: no layer rules
    const std::vector<Finding> expected = {
        {E::T25_RULELAYERSMAPPEDTONOLAYERS, {{Index(), "L3"}, {ruleA, "A"}, {number(4), ""}}},
        {E::T25_RULELAYERSMAPPEDTONOLAYERS, {{Index(), "L3"}, {ruleB, "B"}, {number(4), ""}}},
    };
    (void)l3;
    EXPECT_EQ(run().findings, expected);
}

TEST_F(LayerInAllNetClassesTest, MatchingFaultsOfOneRule)
{
    struct Case
    {
        const char* what;
        std::function<void(LayerInAllNetClassesWorld&)> breakIt;
        std::vector<unsigned> codes;
    };
    const std::vector<Case> cases = {
        {"layer named twice", [](LayerInAllNetClassesWorld& f) { f.layerRule(f.ruleB, 3, f.l2); },
         {E::T25_MANYRULELAYERSMAPPEDTOLAYER}},
        // Number of L2 but object of L1, L1 listed first.
        {"number and object disagree",
         [](LayerInAllNetClassesWorld& f) {
             f.d.b.SetRefOnly(f.layerRuleOf(f.ruleB, f.l2), Field::parentLayer, f.l1);
         },
         {E::T25_RULELAYERNUMBERDOESNTMATCHLAYERNUMBER, E::T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT,
          E::T25_NOLAYERFORRULELAYER, E::T25_RULELAYERSMAPPEDTONOLAYERS}},
        {"rule for a dielectric layer", [](LayerInAllNetClassesWorld& f) { f.layerRule(f.ruleB, 2, f.die); },
         {E::T25_NOLAYERFORRULELAYER}},
        {"two layers of one number",
         [](LayerInAllNetClassesWorld& f) {
             const Index twin = f.d.b.Layer(f.d.design, "TWIN", 1, 3);
             f.layerRule(f.ruleA, 1, twin);
             f.layerRule(f.ruleB, 1, twin);
         },
         // Per rule: L1's layer rule against TWIN, TWIN's against L1.
         {E::T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT, E::T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT,
          E::T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT, E::T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT}},
    };
    for (const Case& c : cases)
    {
        LayerInAllNetClassesWorld f;
        c.breakIt(f);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.what;
        EXPECT_EQ(out.status, FAILED) << c.what;
    }
}

TEST_F(LayerInAllNetClassesTest, IllegalMetallicNumberEndsEveryRuleCheck)
{
    const Index bad = d.b.Layer(d.design, "BAD", 4, 0);
    const std::vector<Finding> expected = {
        {E::T25_METALLICLAYERHASILLEGALNUMBER, {{bad, ""}}},
        {E::T25_METALLICLAYERHASILLEGALNUMBER, {{bad, ""}}},
    };
    EXPECT_EQ(run().findings, expected);
}

// The failed read of one object and the codes it gives; every rule of S is A or B.
struct FailureCase
{
    const char* target; // design, S, A (rule of A), L1, LR (A's layer rule of L1)
    const char* op;
    std::vector<unsigned> codes;
};

TEST_F(LayerInAllNetClassesTest, ReadFailures)
{
    const std::vector<FailureCase> cases = {
        {"design", "GetIterSchemes", {E::T25_ERRITEROFSCHEMES}},
        {"S", "GetIndex", {E::T25_ERRINDEXOFSCHEME}},
        {"S", "GetName", {E::T25_ERRNAMEOFSCHEME}},
        {"S", "GetIterSchemaNetClassRules", {E::T25_ERRITERNETCLASSESINSCHEME}},
        // The rule's own check and its children's walk read its index.
        {"A", "GetIndex", {E::T25_ERRINDEXOFSCHEMANETCLASSRULE, E::T25_ERRINDEXSCHEMENETCLASS}},
        // A's layers cannot be read; its child B is still checked.
        {"A", "GetName", {E::T25_ERRNAMESCHEMENETCLASS}},
        {"A", "GetIterLayerRules", {E::T25_ERRITERLAYERRULESOFSCHEMANETCLASSRULE}},
        {"A", "GetIterSchemeNetClassRuleChild", {E::T25_ERRLOWERLEVELSSCHEMENETCLASS}},
        {"LR", "GetLayerIndex", {E::T25_ERRLAYERRULENYMBER}},
        {"LR", "GetParentLayer", {E::T25_ERRLAYERRULEPARENTLAYER}},
        // The design's layers are read once; their failure is reported for every rule.
        {"design", "GetIterLayers", {E::T25_ERRITERLAYERSFROMDESIGN, E::T25_ERRITERLAYERSFROMDESIGN}},
        {"L1", "GetType", {E::T25_ERRTYPEOFLAYER, E::T25_ERRTYPEOFLAYER}},
        {"L1", "GetLayerNumber", {E::T25_ERRNUMBEROFLAYER, E::T25_ERRNUMBEROFLAYER}},
        {"L1", "GetMetallicLayerNumber", {E::T25_ERRMETALLICNUMBEROFLAYER, E::T25_ERRMETALLICNUMBEROFLAYER}},
        {"L1", "GetName", {E::T25_ERRNAMEOFLAYER, E::T25_ERRNAMEOFLAYER}},
        // The parent layer's index is read for each layer rule first.
        {"L1", "GetIndex", {E::T25_ERRINDEXLAYERRULEPARENTLAYER, E::T25_ERRINDEXLAYERRULEPARENTLAYER}},
    };
    for (const FailureCase& c : cases)
    {
        LayerInAllNetClassesWorld f;
        const std::string t = c.target;
        const Index object = t == "design" ? f.d.design
                             : t == "S"    ? f.s
                             : t == "A"    ? f.ruleA
                             : t == "L1"   ? f.l1
                                           : f.layerRuleOf(f.ruleA, f.l1);
        f.d.b.Fail(object, c.op);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, FAILED) << c.target << " " << c.op;
    }
}

TEST_F(LayerInAllNetClassesTest, RuleListedBelowItselfIsReportedOnce)
{
    d.b.AppendOnly(ruleB, Field::childRules, ruleA);
    const std::vector<Finding> expected = {{E::T25_ERRLOWERLEVELSSCHEMENETCLASS, {{ruleA, ""}}}};
    EXPECT_EQ(run().findings, expected);
}

TEST_F(LayerInAllNetClassesTest, DesignLayersAreReadOncePerRun)
{
    d.b.Scheme(d.design, "S2");
    Lumo::StandIn::GetCallCounts(*d.session).Reset();
    EXPECT_EQ(run().status, OK);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetIterLayers"), 1u);
}

TEST_F(LayerInAllNetClassesTest, LogTexts)
{
    const Index l3 = d.b.Layer(d.design, "L3", 4, 3);
    layerRule(ruleA, 9, l3);
    run();
    const std::vector<std::string> expected = {
        "ERROR 2518: layer number does not match, but RuleLayer parent matches a layer object.",
        "ERROR 2519: Missing layer 9 for net class %N",
        "ERROR 2521: Missing layer L3 for net class A",
        "ERROR 2521: Missing layer L3 for net class B",
    };
    EXPECT_EQ(LogLines(test), expected);

    Design design;
    const Index bad = design.b.Layer(design.design, "BAD", 1, -1);
    design.b.NetClass(design.design, "A");
    design.b.Scheme(design.design, "S");
    CLayerInAllNetClasses t;
    RunTest(t, *design.session);
    EXPECT_EQ(LogLines(t), std::vector<std::string>{"ERROR 2516: Metallic layer (" + bad.ToText() +
                                                    ") has illegal number"});
}

TEST_F(LayerInAllNetClassesTest, CheckerWritesTheFindingsInItsBlock)
{
    d.b.Layer(d.design, "L3", 4, 3);
    EXPECT_EQ(CheckerBlock(*d.session, "LayerInAllNetClasses"),
              "Test: Layer in all net classes\n"
              "ERROR 2521: Missing layer L3 for net class A\n"
              "ERROR 2521: Missing layer L3 for net class B\n"
              "Result: FAILED\n");
}

TEST_F(LayerInAllNetClassesTest, QueuedRepairCarriesTheLayerNumberInTheThirdIndex)
{
    d.b.Delete(layerRuleOf(ruleB, l2));
    const std::vector<Finding> expected = {
        {E::T25_RULELAYERSMAPPEDTONOLAYERS, {{Index(), "L2"}, {ruleB, "B"}, {number(3), ""}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
