#include "tests/rules/CLayerInAllClearRules.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

// Two metallic layers and a dielectric one, clearance rule R and scheme S whose schema clear rule
// carries one layer clear rule per metallic layer.
struct LayerInAllClearRulesWorld : World<CLayerInAllClearRules>
{
    Index l1 = d.b.Layer(d.design, "L1", 1, 1);
    Index die = d.b.Layer(d.design, "DIE", 2, -1, Lumo::LT_Substrate);
    Index l2 = d.b.Layer(d.design, "L2", 3, 2);
    Index r = d.b.ClearRule(d.design, "R");
    Index s = d.b.Scheme(d.design, "S");
    Index scr = d.store().List(s, Field::schemaClearRules).front();

    Index layerRule(Index rule, int number, Index parent)
    {
        const Index lr = d.b.Add(Kind::LayerClearRule, rule, "");
        d.b.SetInt(lr, Field::layerIndex, number);
        d.b.SetRefOnly(lr, Field::parentLayer, parent);
        return lr;
    }
};

struct LayerInAllClearRulesTest : ::testing::Test, LayerInAllClearRulesWorld
{
};

TEST_F(LayerInAllClearRulesTest, RulesMatchingTheMetallicLayersAreOk)
{
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(LayerInAllClearRulesTest, MatchingFaults)
{
    const Index bare = d.b.Add(Kind::SchemaClearRule, s, "Bare");
    const Index twice = d.b.Add(Kind::SchemaClearRule, s, "Twice");
    layerRule(twice, 1, l1);
    layerRule(twice, 1, l1);
    layerRule(twice, 3, l2);
    layerRule(twice, 2, die); // dielectric layers never take part
    const std::vector<Finding> expected = {
        {E::T24_SOMERULELAYERSMAPPEDTONOLAYERS, {{bare, ""}}},
        {E::T24_SOMERULELAYERSMAPPEDTONOLAYERS, {{bare, ""}}},
        {E::T24_NOLAYERFORRULELAYER, {{die, ""}}},
        {E::T24_MORERULELAYERSMAPPEDTOONELAYER, {{twice, ""}}},
    };
    EXPECT_EQ(run().findings, expected);
}

TEST_F(LayerInAllClearRulesTest, NumberAndObjectDisagree)
{
    const Index odd = d.b.Add(Kind::SchemaClearRule, s, "Odd");
    layerRule(odd, 1, l1);
    layerRule(odd, 1, l2); // number of L1, object of L2
    const std::vector<Finding> expected = {
        {E::T24_LAYEROBJECTSDIFFERENTFORSAMELAYERNUMBER, {}},
        {E::T24_LAYERNUMBERSDIFFERENTFORSAMELAYEROBJECT, {}},
        {E::T24_NOLAYERFORRULELAYER, {{l2, ""}}},
        {E::T24_SOMERULELAYERSMAPPEDTONOLAYERS, {{odd, ""}}},
    };
    EXPECT_EQ(run().findings, expected);
}

TEST_F(LayerInAllClearRulesTest, IllegalMetallicNumberEndsEveryRuleCheck)
{
    const Index bad = d.b.Layer(d.design, "BAD", 4, -1);
    d.b.ClearRule(d.design, "R2");
    const std::vector<Finding> expected = {
        {E::T24_ERRMETALLICLAYERHASINVALIDNUMBER, {{bad, ""}}},
        {E::T24_ERRMETALLICLAYERHASINVALIDNUMBER, {{bad, ""}}},
    };
    EXPECT_EQ(run().findings, expected);
}

struct FailureCase
{
    const char* target; // design, S, SCR, LCR (its layer clear rule of L1), L1
    const char* op;
    std::vector<unsigned> codes;
};

TEST_F(LayerInAllClearRulesTest, ReadFailures)
{
    const std::vector<FailureCase> cases = {
        {"design", "GetIterSchemes", {E::T24_ERRITEROFSCHEMES}},
        {"S", "GetIndex", {E::T24_ERRINDEXOFSCHEME}},
        {"S", "GetName", {E::T24_ERRNAMEOFSCHEME}},
        {"S", "GetIterSchemaClearRules", {E::T24_ERRITERCLEARRULESINSCHEME}},
        {"SCR", "GetIndex", {E::T24_ERRINDEXCLEARRULE}},
        {"SCR", "GetIterLayerClearRules", {E::T24_ERRITERLAYERCLEARRULESINSCHEMECLEARRULE}},
        {"LCR", "GetLayerIndex", {E::T24_ERRLAYERCLEARRULENUMBER}},
        {"LCR", "GetParentLayer", {E::T24_ERRLAYERCLEARRULEPARENTLAYER}},
        {"L1", "GetIndex", {E::T24_ERRINDEXCLEARRULEPARENTLAYER, E::T24_ERRINDEXCLEARRULEPARENTLAYER}},
        // The design's layers are read once; their failure is reported for every rule.
        {"design", "GetIterLayers", {E::T24_ERRITERLAYERSINDESIGN, E::T24_ERRITERLAYERSINDESIGN}},
        {"L1", "GetType", {E::T24_ERRTYPELAYERINDESIGN, E::T24_ERRTYPELAYERINDESIGN}},
        {"L1", "GetLayerNumber", {E::T24_ERRLAYERNUMBER, E::T24_ERRLAYERNUMBER}},
        {"L1", "GetMetallicLayerNumber", {E::T24_ERRLAYERMETALLICNUMBER, E::T24_ERRLAYERMETALLICNUMBER}},
    };
    for (const FailureCase& c : cases)
    {
        LayerInAllClearRulesWorld f;
        f.d.b.ClearRule(f.d.design, "R2"); // a second schema clear rule in S
        const std::string t = c.target;
        Index object = t == "design" ? f.d.design : t == "S" ? f.s : t == "SCR" ? f.scr : f.l1;
        if (t == "LCR")
            object = f.d.store().List(f.scr, Field::layerClearRules).front();
        f.d.b.Fail(object, c.op);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, FAILED) << c.target << " " << c.op;
    }
}

TEST_F(LayerInAllClearRulesTest, LogTexts)
{
    const Index odd = d.b.Add(Kind::SchemaClearRule, s, "Odd");
    layerRule(odd, 2, die);
    run();
    const std::vector<std::string> expected = {
        "ERROR 2418: There is no layer for RuleLayer (" + die.ToText() + ")",
        "ERROR 2420: Some RuleLayers mapped to no Layers. ClearRuleLayer: " + odd.ToText(),
        "ERROR 2420: Some RuleLayers mapped to no Layers. ClearRuleLayer: " + odd.ToText(),
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(LayerInAllClearRulesTest, CheckerRunsItOnlyWithHiddenTests)
{
    d.b.Add(Kind::SchemaClearRule, s, "Bare");
    {
        ScopedEnv off("NORV_CIC_RUN_HIDDEN_TESTS", nullptr);
        EXPECT_EQ(CheckerBlock(*d.session, "LayerInAllClearRules"), "");
    }
    ScopedEnv on("NORV_CIC_RUN_HIDDEN_TESTS", "1");
    const std::string block = CheckerBlock(*d.session, "LayerInAllClearRules");
    const Index bare = d.store().List(s, Field::schemaClearRules).back();
    EXPECT_EQ(block, "Test: Layer in all clearance rules\n"
                     "ERROR 2420: Some RuleLayers mapped to no Layers. ClearRuleLayer: " + bare.ToText() + "\n"
                     "ERROR 2420: Some RuleLayers mapped to no Layers. ClearRuleLayer: " + bare.ToText() + "\n"
                     "Result: FAILED\n");
}

} // namespace
