#include "tests/rules/CLayerInZAxisRules.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

// Metallic layers TOP and BOTTOM around a dielectric DIE, and the Z-axis rule type.
struct LayerInZAxisRulesWorld : World<CLayerInZAxisRules>
{
    Index top = d.b.Layer(d.design, "TOP", 1, 1);
    Index die = d.b.Layer(d.design, "DIE", 2, -1, Lumo::LT_Substrate);
    Index bottom = d.b.Layer(d.design, "BOTTOM", 3, 2);
    Index type = d.b.Add(Kind::GenObjType, d.design, "ZAXIS_CLEARRULE");

    Index zrule(const std::string& name, const std::vector<std::string>& layers, Index ofType = Index())
    {
        const Index rule = d.b.Add(Kind::GenCompObj, ofType.IsEmpty() ? type : ofType, name);
        for (const std::string& layer : layers)
            d.b.Add(Kind::GenObj, rule, layer);
        return rule;
    }
};

struct LayerInZAxisRulesTest : ::testing::Test, LayerInZAxisRulesWorld
{
};

TEST_F(LayerInZAxisRulesTest, RulesNamingEveryMetallicLayerOnceAreOk)
{
    zrule("Z1", {"TOP", "BOTTOM"});
    zrule("Z2", {"BOTTOM", "TOP"});
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(LayerInZAxisRulesTest, WithoutTheRuleTypeThereIsNothingToCheck)
{
    d.b.SetName(type, "zaxis_clearrule"); // the type name is compared exactly
    zrule("Z1", {});
    const Outcome out = run();
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(LayerInZAxisRulesTest, LayerFaultsOfOneRule)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> entries;
        bool twinTop;
        std::vector<std::pair<unsigned, std::string>> expected; // code, layer name or entry
    };
    const std::vector<Case> cases = {
        {"missing", {"TOP"}, false, {{E::T26_MISSINGLAYER, "BOTTOM"}}},
        {"named twice", {"TOP", "BOTTOM", "TOP"}, false, {{E::T26_MORETHANONELAYERINZAXISRULE, "TOP"}}},
        {"dielectric", {"TOP", "BOTTOM", "DIE"}, false, {{E::T26_UNKNOWNLAYERINZAXISRULE, "DIE"}}},
        {"case differs", {"TOP", "bottom"}, false,
         {{E::T26_MISSINGLAYER, "BOTTOM"}, {E::T26_UNKNOWNLAYERINZAXISRULE, "bottom"}}},
        {"two layers of one name", {"TOP", "BOTTOM"}, true, {{E::T26_MORETHANONELAYERINZAXISRULE_2, "TOP"}}},
        {"empty rule", {}, false, {{E::T26_MISSINGLAYER, "TOP"}, {E::T26_MISSINGLAYER, "BOTTOM"}}},
    };
    for (const Case& c : cases)
    {
        LayerInZAxisRulesWorld f;
        if (c.twinTop)
            f.d.b.Layer(f.d.design, "TOP", 4, 3);
        const Index rule = f.zrule("Z1", c.entries);
        const Outcome out = RunTest(f.test, *f.d.session);
        std::vector<Finding> expected;
        for (const auto& e : c.expected)
        {
            const bool layerSide = e.first == E::T26_MISSINGLAYER || e.first == E::T26_MORETHANONELAYERINZAXISRULE;
            expected.push_back({e.first, {{Index(), e.second}, {layerSide ? rule : Index(), "Z1"}}});
        }
        EXPECT_EQ(out.findings, expected) << c.what;
        EXPECT_EQ(out.status, FAILED) << c.what;
    }
}

TEST_F(LayerInZAxisRulesTest, OfSeveralRuleTypesTheLastCounts)
{
    zrule("Z1", {}); // of the first type: not checked
    const Index second = d.b.Add(Kind::GenObjType, d.design, "ZAXIS_CLEARRULE");
    zrule("Z2", {"TOP", "BOTTOM"}, second);
    EXPECT_TRUE(run().findings.empty());
}

struct FailureCase
{
    const char* target; // design, type, Z1, entry (Z1's first entry), TOP
    const char* op;
    std::vector<unsigned> codes;
    TestStatus status;
};

TEST_F(LayerInZAxisRulesTest, ReadFailures)
{
    const std::vector<FailureCase> cases = {
        {"design", "GetIterGenObjTypes", {}, OK},
        {"type", "GetName", {}, OK},
        {"type", "GetIterGenCompObjs", {E::T26_ERRITEROFZAXISRULES}, FAILED},
        {"Z1", "GetIndex", {E::T26_ERRINDEXOFZAXISRULE}, FAILED},
        {"Z1", "GetName", {E::T26_ERRNAMEOFZAXISRULE}, FAILED},
        {"Z1", "GetIterGenObjs", {E::T26_ERRITERLAYERSOFZAXISRULE}, FAILED},
        {"entry", "GetName", {E::T26_ERRNAMELAYER}, FAILED},
        // The design's layers are read once; their failure is reported for every rule.
        {"design", "GetIterLayers", {E::T26_ERRITERLAYERSINDESIGN, E::T26_ERRITERLAYERSINDESIGN}, FAILED},
        {"TOP", "GetIndex", {E::T26_ERRINDEXLAYER, E::T26_ERRINDEXLAYER}, FAILED},
        {"TOP", "GetType", {E::T26_ERRTYPELAYER, E::T26_ERRTYPELAYER}, FAILED},
        {"TOP", "GetName", {E::T26_ERRNAMELAYER_2, E::T26_ERRNAMELAYER_2}, FAILED},
    };
    for (const FailureCase& c : cases)
    {
        LayerInZAxisRulesWorld f;
        const Index z1 = f.zrule("Z1", {"TOP", "BOTTOM"});
        f.zrule("Z2", {"TOP", "BOTTOM"});
        const std::string t = c.target;
        Index object = t == "design" ? f.d.design : t == "type" ? f.type : t == "Z1" ? z1 : f.top;
        if (t == "entry")
            object = f.d.store().List(z1, Field::genObjs).front();
        f.d.b.Fail(object, c.op);
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), c.codes) << c.target << " " << c.op;
        EXPECT_EQ(out.status, c.status) << c.target << " " << c.op;
    }
}

TEST_F(LayerInZAxisRulesTest, LogTexts)
{
    zrule("Z1", {"TOP", "TOP", "INNER"});
    const Index z2 = zrule("Z2", {"TOP", "BOTTOM"});
    d.b.Fail(z2, "GetIterGenObjs");
    run();
    const std::vector<std::string> expected = {
        "ERROR 2611: There is more than one layer: TOP in Z-Axis rule: Z1",
        "ERROR 2610: There is missing layer: BOTTOM in Z-Axis rule: Z1",
        "ERROR 2612: There is unknown layer: INNER in Z-Axis rule: Z1",
        "ERROR 2604: Can't get iterator of Layers form Z-Axis rule: Z2",
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(LayerInZAxisRulesTest, CheckerWritesTheFindingsInItsBlock)
{
    zrule("Z1", {"TOP"});
    EXPECT_EQ(CheckerBlock(*d.session, "LayerInAllZAxisRules"),
              "Test: Layer in all Z-axis clearance rules\n"
              "ERROR 2610: There is missing layer: BOTTOM in Z-Axis rule: Z1\n"
              "Result: FAILED\n");
}

TEST_F(LayerInZAxisRulesTest, QueuedRepairsGetLayerThenRule)
{
    const Index rule = zrule("Z1", {"TOP", "TOP"});
    const std::vector<Finding> expected = {
        {E::T26_MORETHANONELAYERINZAXISRULE, {{Index(), "TOP"}, {rule, "Z1"}}},
        {E::T26_MISSINGLAYER, {{Index(), "BOTTOM"}, {rule, "Z1"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
