#include "tests/rules/CDefaultObjects.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ruletest;
using E = CDICErrors;

namespace
{

// A design with two layers, the standard objects (their scheme rules with layer rules) and a
// third scheme "S2".
class CDefaultObjectsTest : public ::testing::Test, public World<CDefaultObjects>
{
protected:
    CDefaultObjectsTest()
    {
        d.b.Layer(d.design, "TOP", 1, 1);
        d.b.Layer(d.design, "BOTTOM", 2, 2);
        d.b.DefaultObjects(d.design);
        d.b.Scheme(d.design, "S2");
    }

    // The schema rule of an owner (net class or clearance rule) in the scheme of that name.
    Index ruleIn(const std::string& scheme, const std::string& ownerName, Kind ownerKind)
    {
        const Index owner = d.find(ownerKind, ownerName);
        const Field field = ownerKind == Kind::NetClass ? Field::schemaNetClassRules : Field::schemaClearRules;
        for (Index rule : d.store().List(owner, field)) {
            Index up = d.store().Owner(rule);
            while (!up.IsEmpty() && d.store().KindOf(up) != Kind::Scheme)
                up = d.store().Owner(up);
            if (d.store().Name(up) == scheme)
                return rule;
        }
        return Index();
    }
    Index netClassRule(const std::string& scheme) { return ruleIn(scheme, "(Default)", Kind::NetClass); }
    Index clearRule(const std::string& scheme) { return ruleIn(scheme, "(Default Rule)", Kind::ClearRule); }
    Index layerRule(Index rule, int32_t layerNumber)
    {
        const Field field = d.store().KindOf(rule) == Kind::SchemaNetClassRule ? Field::layerRules : Field::layerClearRules;
        for (Index layer : d.store().List(rule, field))
            if (d.store().Int(layer, Field::layerIndex) == layerNumber)
                return layer;
        return Index();
    }
};

Finding notMinimum(Index minimum, Index other, const std::string& name)
{
    return F(E::T10_CONSTRAINTNOTMIN, {{minimum, name}, {other, name}, {minimum, ""}, {other, ""}});
}

} // namespace

TEST_F(CDefaultObjectsTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Default objects");
    EXPECT_EQ(test.getTestShortName(), "CheckDefaultObjects");
    EXPECT_EQ(test.getTestDescription(),
              "Test checks if standard and default objects exist for schemes, clearance rules and net classes");
}

TEST_F(CDefaultObjectsTest, StandardDesignPasses)
{
    const Outcome out = RunTest(test, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(CDefaultObjectsTest, MissingStandardObjects)
{
    Design bare;
    const Outcome out = RunTest(test, *bare.session);
    EXPECT_EQ(out.codes(), (std::vector<unsigned>{E::T10_NOMASTERSCHEME, E::T10_NOMINIMUMSCHEME, E::T10_NODEFAULTRULECLEARRULE,
                                                  E::T10_NODEFAULTNETCLASS, E::T10_NOALLCONSTRAINTCLASS}));
    EXPECT_EQ(out.status, FAILED);
}

// Standard names are compared exactly: another letter case or a blank does not count.
TEST_F(CDefaultObjectsTest, StandardNamesAreExact)
{
    Design near;
    near.b.Scheme(near.design, "(minimum)");
    near.b.Scheme(near.design, " (Master)");
    near.b.ClearRule(near.design, "(Default Rule) ");
    near.b.NetClass(near.design, "(DEFAULT)");
    near.b.ConstraintClass(near.design, "(all)");
    EXPECT_EQ(RunTest(test, *near.session).codes(),
              (std::vector<unsigned>{E::T10_NOMASTERSCHEME, E::T10_NOMINIMUMSCHEME, E::T10_NODEFAULTRULECLEARRULE,
                                     E::T10_NODEFAULTNETCLASS, E::T10_NOALLCONSTRAINTCLASS}));
}

// Without "(Master)" the minimum comparison still runs.
TEST_F(CDefaultObjectsTest, MissingMasterStillCompares)
{
    d.b.Delete(d.find(Kind::Scheme, "(Master)"));
    const Index minimum = d.b.Constraint(netClassRule("(Minimum)"), "LW", 5);
    const Index other = d.b.Constraint(netClassRule("S2"), "LW", 4);
    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{F(E::T10_NOMASTERSCHEME), notMinimum(minimum, other, "LW")}));
}

// Integers and doubles of the "(Minimum)" rule against the other schemes' rules; values of other
// kinds, equal or greater values, NaN and constraints only one side has raise nothing.
TEST_F(CDefaultObjectsTest, ValueComparison)
{
    const Index minRule = netClassRule("(Minimum)");
    const Index masterRule = netClassRule("(Master)");
    const Index s2Rule = netClassRule("S2");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Index intMin = d.b.Constraint(minRule, "INT", 5);
    const Index intLess = d.b.Constraint(masterRule, "INT", 4);
    d.b.Constraint(s2Rule, "INT", 5);
    const Index dblMin = d.b.Constraint(minRule, "DBL", 0.2);
    d.b.Constraint(masterRule, "DBL", 0.3);
    const Index dblLess = d.b.Constraint(s2Rule, "DBL", 0.1);
    d.b.Constraint(minRule, "NAN", nan);
    d.b.Constraint(masterRule, "NAN", 0.1);
    d.b.Constraint(minRule, "NAN2", 0.5);
    d.b.Constraint(s2Rule, "NAN2", nan);
    d.b.Constraint(minRule, "KINDS", 7);
    d.b.Constraint(masterRule, "KINDS", 0.5);  // a double against an integer is not compared
    d.b.Constraint(minRule, "TEXT", "b");
    d.b.Constraint(masterRule, "TEXT", "a");
    d.b.Constraint(minRule, "ONLY_MIN", 9);
    d.b.Constraint(masterRule, "ONLY_OTHER", 1);

    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{notMinimum(intMin, intLess, "INT"), notMinimum(dblMin, dblLess, "DBL")}));
    EXPECT_EQ(LogLines(test), (std::vector<std::string>{
                                  "ERROR 1027: Constraint INT is not minimum among all schemes - this constraint INT is smaller",
                                  "ERROR 1027: Constraint DBL is not minimum among all schemes - this constraint DBL is smaller"}));
}

// Layer rules of the "(Minimum)" rule are compared with the other rule's layer rule of the same
// layer; a layer the other rule has none of, or two of, is passed over. Clearance rules too.
TEST_F(CDefaultObjectsTest, LayerRulesAndClearanceRules)
{
    const Index minTop = layerRule(netClassRule("(Minimum)"), 1);
    const Index s2Top = layerRule(netClassRule("S2"), 1);
    ASSERT_FALSE(minTop.IsEmpty());
    ASSERT_FALSE(s2Top.IsEmpty());
    const Index a = d.b.Constraint(minTop, "W", 3);
    const Index b = d.b.Constraint(s2Top, "W", 2);
    // Two layer rules of layer 2 in "(Master)": not compared.
    const Index masterRule = netClassRule("(Master)");
    const Index extra = d.b.Add(Kind::LayerRule, masterRule, "EXTRA");
    d.b.SetInt(extra, Field::layerIndex, 2);
    d.b.Constraint(layerRule(netClassRule("(Minimum)"), 2), "W", 3);
    d.b.Constraint(layerRule(masterRule, 2), "W", 1);

    const Index minClear = d.b.Constraint(clearRule("(Minimum)"), "GAP", 1.5);
    const Index masterClear = d.b.Constraint(clearRule("(Master)"), "GAP", 1.0);

    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{notMinimum(a, b, "W"), notMinimum(minClear, masterClear, "GAP")}));
}

// An inherited definition stands for its object in the named pairs.
TEST_F(CDefaultObjectsTest, DefinitionIndexIsReplacedByTheComparedObject)
{
    const Index minRule = netClassRule("(Minimum)");
    const Index masterRule = netClassRule("(Master)");
    const Index definition = d.b.Definition("LW", 5);
    d.b.Inherit(minRule, "LW");
    const Index other = d.b.Constraint(masterRule, "LW", 4);
    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{F(E::T10_CONSTRAINTNOTMIN, {{minRule, "LW"}, {other, "LW"}, {definition, ""}, {other, ""}})}));
}

// The rule of the "(Minimum)" scheme is not compared with itself, and a net class without schema
// rules is reported while its children are still compared.
TEST_F(CDefaultObjectsTest, NetClassWithoutRulesAndItsChildren)
{
    const Index parent = d.b.Add(Kind::NetClass, d.design, "BARE");
    const Index child = d.b.NetClass(parent, "CHILD");
    const Index minimum = d.b.Constraint(ruleIn("(Minimum)", "CHILD", Kind::NetClass), "LW", 2);
    const Index other = d.b.Constraint(ruleIn("S2", "CHILD", Kind::NetClass), "LW", 1);
    d.b.Literal(parent, Field::schemaNetClassRules);
    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{F(E::T10_NORELATEDNETCLASSES, {{parent, "BARE"}}), notMinimum(minimum, other, "LW")}));
    (void)child;
}

TEST_F(CDefaultObjectsTest, RulesWithoutMinimumScheme)
{
    const Index netClass = d.find(Kind::NetClass, "(Default)");
    const Index clear = d.find(Kind::ClearRule, "(Default Rule)");
    d.b.Delete(netClassRule("(Minimum)"));
    d.b.Delete(clearRule("(Minimum)"));
    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{F(E::T10_NOMINNETCLASSRULE, {{Index(), "(Default)"}}),
                                    F(E::T10_NOMINSCHEMACLEARRULE, {{Index(), "(Default Rule)"}})}));
    (void)netClass;
    (void)clear;
}

// Read failures: which end the test, which end one check, which skip one object.
TEST_F(CDefaultObjectsTest, ReadFailures)
{
    const Index masterRule = netClassRule("(Master)");
    const Index netClass = d.find(Kind::NetClass, "(Default)");
    const Index clear = d.find(Kind::ClearRule, "(Default Rule)");
    const Index minConstraint = d.b.Constraint(netClassRule("(Minimum)"), "LW", 5);
    d.b.Constraint(masterRule, "LW", 4);
    const unsigned notMin = E::T10_CONSTRAINTNOTMIN;
    const struct
    {
        Index object;
        const char* op;
        int count;
        std::vector<unsigned> codes;
    } cases[] = {
        {d.design, "GetIterSchemes", 1, {E::T10_ERRITERSCHEMES}},
        {d.design, "GetIterClearRules", 1, {E::T10_ERRITERCLEARRULES}},
        {d.find(Kind::Scheme, "(Master)"), "GetName", 1, {E::T10_ERRNAMEOFSCHEME}},
        {d.find(Kind::Scheme, "(Master)"), "GetIndex", 1, {E::T10_ERRINDEXOFSCHEME}},
        {netClass, "GetIndex", -1, {E::T10_ERRINDEXNETCLASS}},
        {netClass, "GetIterChildNetClasses", 1, {notMin, E::T10_NOITERNETCLASS}},
        {masterRule, "GetScheme", 1, {E::T10_NOPARENTSCHEME, notMin}},
        {masterRule, "GetIterConstraints", 1, {notMin}},
        {masterRule, "GetIndex", 1, {E::T10_NETCLASSRULEINDEX}},
        {minConstraint, "GetName", 1, {E::T10_NOCONSTRAINTNAME}},
        {minConstraint, "GetValue", 1, {E::T10_NOCONSTRAINTVALUE}},
        {minConstraint, "GetIndex", 1, {E::T10_NOCONSTRAINTINDEX}},
        {clear, "GetSchemaClearRuleMappedObjList", 1, {notMin, E::T10_NORELATEDCLEARRULES}},
        {d.design, "GetIterNetClasses", 2, {E::T10_NOITERNETCLASS, E::T10_NODEFAULTNETCLASS}},
    };
    for (const auto& c : cases) {
        CDefaultObjects fresh;
        const Outcome out = RunTest(fresh, *d.session, "", [&] { d.faults().FailOn(c.object, c.op, c.count); });
        EXPECT_EQ(out.codes(), c.codes) << c.op;
        d.faults().ClearAll();
    }
}

// A net-class name that cannot be read ends the net-class check without a report (its code has no
// catalogue record).
TEST_F(CDefaultObjectsTest, UnreadableNetClassNameReportsNothing)
{
    const Index netClass = d.find(Kind::NetClass, "(Default)");
    const Outcome out = RunTest(test, *d.session, "", [&] { d.faults().FailOn(netClass, "GetName"); });
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(CDefaultObjectsTest, FailingEveryCallInTurn)
{
    d.b.Constraint(layerRule(netClassRule("(Minimum)"), 1), "W", 3);
    d.b.Constraint(layerRule(netClassRule("S2"), 1), "W", 2);
    const std::vector<unsigned> seen = SweepEveryCall<CDefaultObjects>(*d.session);
    for (unsigned code : {E::T10_NOLAYERRULEINDEX, E::T10_NOLAYERRULE, E::T10_NOITERCONSTRAINTS, E::T10_SCHEMENAME,
                          E::T10_NONETCLASSRULE, E::T10_NOSCHEMACLEARRULE, E::T10_NOITERCLEARRULE})
        EXPECT_NE(std::find(seen.begin(), seen.end(), code), seen.end()) << code;
}

// Only the first "(Minimum)" rule of the list is the minimum; a second rule of that scheme is
// compared like any other.
TEST_F(CDefaultObjectsTest, SecondMinimumRuleIsCompared)
{
    const Index netClass = d.find(Kind::NetClass, "(Default)");
    const Index minimum = netClassRule("(Minimum)");
    const Index second = d.b.Add(Kind::SchemaNetClassRule, d.find(Kind::Scheme, "(Minimum)"), "(Default)");
    d.b.Link(second, Field::parentNetClass, netClass);
    const Index a = d.b.Constraint(minimum, "LW", 3);
    const Index b = d.b.Constraint(second, "LW", 2);
    EXPECT_EQ(RunTest(test, *d.session).findings, (std::vector<Finding>{notMinimum(a, b, "LW")}));
}
