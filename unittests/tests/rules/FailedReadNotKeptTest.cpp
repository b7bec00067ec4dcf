// Lists that a rule test reads once per run for speed, against a read that fails once: the failure
// is reported where the list was first needed, and the next use reads the list again, so the run
// gives its clean findings plus that one failure, as a fresh read at every use would.

#include "tests/rules/CClearRuleInSchemes.h"
#include "tests/rules/CLayerInAllClearRules.h"
#include "tests/rules/CLayerInAllNetClasses.h"
#include "tests/rules/CLayerInZAxisRules.h"
#include "tests/rules/CNetClassesInScheme.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ruletest;
using E = CDICErrors;

namespace
{

template <class T>
std::vector<unsigned> codesOf(Design& d, const std::function<void()>& fault)
{
    T test;
    std::vector<unsigned> codes = RunTest(test, *d.session, "", fault ? fault : [] {}).codes();
    std::sort(codes.begin(), codes.end());
    return codes;
}

struct Case
{
    const char* what;
    std::vector<unsigned> (*run)(Design&, const std::function<void()>&);
    // Builds the design (used by at least two rules, schemes or classes) and returns its fault.
    std::function<std::function<void()>(Design&)> build;
    unsigned code;  // the one failure reported
};

// Two metallic layers, the first returned.
Index twoLayers(Design& d)
{
    Index first = d.b.Layer(d.design, "L1", 1, 1);
    d.b.Layer(d.design, "L2", 2, 2);
    return first;
}

// Two metallic layers, the first returned, with two clearance rules in a scheme.
Index twoLayersInTwoClearanceRules(Design& d)
{
    Index first = twoLayers(d);
    d.b.ClearRule(d.design, "R1");
    d.b.ClearRule(d.design, "R2");
    d.b.Scheme(d.design, "S");
    return first;
}

// Two schemes, which both map the object; returns the object.
Index inTwoSchemes(Design& d, Index object)
{
    d.b.Scheme(d.design, "S1");
    d.b.Scheme(d.design, "S2");
    return object;
}

} // namespace

TEST(FailedReadNotKeptTest, ListReadAgainAfterAFailureThatDoesNotRepeat)
{
    const Case cases[] = {
        {"layers in all clearance rules: a layer's type", &codesOf<CLayerInAllClearRules>,
         [](Design& d) -> std::function<void()> {
             Index layer = twoLayersInTwoClearanceRules(d);
             return [&d, layer] { d.faults().FailOn(layer, "GetType", 1); };
         },
         E::T24_ERRTYPELAYERINDESIGN},
        {"layers in all clearance rules: the design's layers", &codesOf<CLayerInAllClearRules>,
         [](Design& d) -> std::function<void()> {
             twoLayersInTwoClearanceRules(d);
             return [&d] { d.faults().FailOn(d.design, "GetIterLayers", 1); };
         },
         E::T24_ERRITERLAYERSINDESIGN},
        {"layers in all net classes: a layer's type", &codesOf<CLayerInAllNetClasses>,
         [](Design& d) -> std::function<void()> {
             Index layer = twoLayers(d);
             d.b.NetClass(d.design, "A");
             d.b.NetClass(d.design, "B");
             d.b.Scheme(d.design, "S");
             return [&d, layer] { d.faults().FailOn(layer, "GetType", 1); };
         },
         E::T25_ERRTYPEOFLAYER},
        {"layers in all Z-axis rules: a layer's name", &codesOf<CLayerInZAxisRules>,
         [](Design& d) -> std::function<void()> {
             Index layer = twoLayers(d);
             Index type = d.b.Add(Kind::GenObjType, d.design, "ZAXIS_CLEARRULE");
             for (const char* name : {"Z1", "Z2"}) {
                 Index rule = d.b.Add(Kind::GenCompObj, type, name);
                 d.b.Add(Kind::GenObj, rule, "L1");
                 d.b.Add(Kind::GenObj, rule, "L2");
             }
             return [&d, layer] { d.faults().FailOn(layer, "GetName", 1); };
         },
         E::T26_ERRNAMELAYER_2},
        {"clearance rules in schemes: the design's clearance rules", &codesOf<CClearRuleInSchemes>,
         [](Design& d) -> std::function<void()> {
             inTwoSchemes(d, d.b.ClearRule(d.design, "R"));
             return [&d] { d.faults().FailOn(d.design, "GetIterClearRules", 1); };
         },
         E::T2_ERRDESIGNITERCR},
        {"clearance rules in schemes: a clearance rule's mapped schema rules", &codesOf<CClearRuleInSchemes>,
         [](Design& d) -> std::function<void()> {
             Index rule = inTwoSchemes(d, d.b.ClearRule(d.design, "R"));
             return [&d, rule] { d.faults().FailOn(rule, "GetSchemaClearRuleMappedObjList", 1); };
         },
         E::T2_ERRGETLISTSCRFROMCR},
        {"net classes in schemes: a net class's mapped scheme rules", &codesOf<CNetClassesInScheme>,
         [](Design& d) -> std::function<void()> {
             Index netClass = inTwoSchemes(d, d.b.NetClass(d.design, "N"));
             return [&d, netClass] { d.faults().FailOn(netClass, "GetSchemaNetClassMappedObjList", 1); };
         },
         E::T28_ERRLISTOFNETCLASSESFROMSCHEMENETCLASS},
    };
    for (const Case& c : cases) {
        Design d;
        const std::function<void()> fault = c.build(d);
        std::vector<unsigned> expected = c.run(d, nullptr);
        ASSERT_TRUE(expected.empty()) << c.what << ": the design is meant to be clean";
        expected.push_back(c.code);
        EXPECT_EQ(c.run(d, fault), expected) << c.what;
    }
}
