#include "tests/rules/CNoiseRuleChecker.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

// Constraint classes A and A/B, electrical nets CLK, DATA and Data.
struct NoiseRuleCheckerWorld : World<CNoiseRuleChecker>
{
    Index nc = d.b.NetClass(d.design, "(Default)");
    Index a = d.b.ConstraintClass(d.design, "A", nc);
    Index ab = d.b.ConstraintClass(a, "B", nc);
    Index clk = d.b.ElectricalNet(d.config, "CLK");
    Index data = d.b.ElectricalNet(d.config, "DATA");
    Index data2 = d.b.ElectricalNet(d.config, "Data");

    // A rule of the given type whose ends are named by text (null: not given).
    Index noise(const std::string& name, int type, const char* victim, const char* aggressor)
    {
        const Index rule = d.b.Add(Kind::NoiseRule, d.design, name);
        d.b.SetInt(rule, Field::noiseType, type);
        if (victim)
            d.b.Constraint(rule, "PR_FROM_OBJ", victim);
        if (aggressor)
            d.b.Constraint(rule, "PR_TO_OBJ", aggressor);
        return rule;
    }
};

struct NoiseRuleCheckerTest : ::testing::Test, NoiseRuleCheckerWorld
{
};

TEST_F(NoiseRuleCheckerTest, EndsThatResolveOrPassAreOk)
{
    EXPECT_EQ(run().status, OK); // no rules
    noise("skip", 0, nullptr, nullptr);
    noise("nets", 4, "CLK", "(None)");
    noise("victim net", 5, "CLK", "(All Nets)");
    noise("all nets", 8, "(All Nets)", "(All Nets)");
    noise("classes", 1, "A/B", "(All)");
    noise("all classes", 7, "(All Classes)", "(All Classes)");
    CNoiseRuleChecker t;
    const Outcome out = RunTest(t, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(NoiseRuleCheckerTest, EndsThatDoNotResolve)
{
    struct Case
    {
        const char* what;
        int type;
        const char* victim;
        const char* aggressor;
        // code, role, whether a third pair names the end
        std::vector<std::tuple<unsigned, std::string, std::string>> expected;
    };
    const std::vector<Case> cases = {
        {"net found twice", 4, "CLK", "DATA", {{E::T30_CANTFINDNETFORNOISERULE_2, "aggressor", "DATA"}}},
        {"no such net", 5, "NONE", "(All Nets)", {{E::T30_CANTFINDNETFORNOISERULE_2, "victim", "NONE"}}},
        {"no such class", 3, nullptr, "Nope", {{E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_6, "aggressor", "Nope"}}},
        {"no such first element", 2, "Nope/B", "(All Classes)",
         {{E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_3, "victim", "Nope/B"}}},
        {"no such child", 2, "A/X", "(All Classes)", {{E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE, "victim", ""}}},
        {"no such grandchild", 1, "A/B/C", "A",
         {{E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE, "victim", ""}}},
    };
    for (const Case& c : cases)
    {
        NoiseRuleCheckerWorld f;
        const Index rule = f.noise("N", c.type, c.victim, c.aggressor);
        const Outcome out = RunTest(f.test, *f.d.session);
        std::vector<Finding> expected;
        for (const auto& e : c.expected)
        {
            const unsigned code = std::get<0>(e);
            if (code == E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE)
                expected.push_back({code, {{Index(), std::get<1>(e)}, {rule, ""}}});
            else
                expected.push_back({code, {{Index(), std::get<1>(e)}, {rule, "N"}, {Index(), std::get<2>(e)}}});
        }
        EXPECT_EQ(out.findings, expected) << c.what;
        EXPECT_EQ(out.status, FAILED) << c.what;
    }
}

TEST_F(NoiseRuleCheckerTest, MissingEndsAreWarningsWithoutSearch)
{
    const Index unknown = noise("N9", 9, nullptr, "");
    const Index nameless = noise("N1", 1, nullptr, "A/B");
    d.b.SetRefOnly(nameless, Field::victim, a);
    d.b.Fail(a, "GetHierarchicalName");
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T30_ERRNOVICTIMSPECIFIEDFORNOISERULE, {{unknown, "N9"}}},
        {E::T30_ERRNOAGRESSORSPECIFIEDFORNOISERULE, {{unknown, "N9"}}},
        {E::T30_ERRNOVICTIMSPECIFIEDFORNOISERULE, {{nameless, "N1"}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, WARNINGS);
}

TEST_F(NoiseRuleCheckerTest, ReadFailuresEndOneRuleOrOneEnd)
{
    struct Case
    {
        const char* what;
        const char* target; // rule, design, config
        const char* op;
        int type;
        const char* victim;
        const char* aggressor;
        std::vector<unsigned> codes;
    };
    const std::vector<Case> cases = {
        {"type", "rule", "GetType", 4, "CLK", "CLK", {E::T30_ERRTYPEOFNOISERULE}},
        {"ends", "rule", "Get", 4, "CLK", "CLK", {E::T30_ERRNOAGRESSORFORNOISERULE}},
        {"aggressor not given", "rule", "", 4, "CLK", nullptr, {E::T30_ERRNOAGRESSORFORNOISERULE}},
        {"net search", "config", "FindElectricalNet", 4, "CLK", "CLK",
         {E::T30_CANTFINDNETFORNOISERULE, E::T30_CANTFINDNETFORNOISERULE}},
        {"class search", "design", "FindConstraintClass", 1, "A", "A/B",
         {E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_5, E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_2}},
        {"class fetch", "design", "GetConstraintClass", 1, "A", "A/B", {E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_4}},
    };
    for (const Case& c : cases)
    {
        NoiseRuleCheckerWorld f;
        const Index rule = f.noise("N", c.type, c.victim, c.aggressor);
        f.noise("Next", 4, "CLK", "DATA"); // the walk goes on: DATA is found twice
        const std::string t = c.target;
        if (*c.op)
            f.d.b.Fail(t == "rule" ? rule : t == "design" ? f.d.design : f.d.config, c.op);
        std::vector<unsigned> codes = c.codes;
        if (t != "config")
            codes.push_back(E::T30_CANTFINDNETFORNOISERULE_2);
        else
            codes.insert(codes.end(), {E::T30_CANTFINDNETFORNOISERULE, E::T30_CANTFINDNETFORNOISERULE});
        const Outcome out = RunTest(f.test, *f.d.session);
        EXPECT_EQ(out.codes(), codes) << c.what;
    }
}

TEST_F(NoiseRuleCheckerTest, RuleWhoseIndexCannotBeReadNeverCarriesTheLastIndex)
{
    noise("First", 4, "CLK", "CLK");
    const Index second = noise("Second", 4, "CLK", "CLK");
    d.b.Fail(second, "GetIndex");
    d.b.Fail(second, "GetType");
    const std::vector<Finding> expected = {{E::T30_ERRTYPEOFNOISERULE, {{Index(), "Second"}}}};
    EXPECT_EQ(run().findings, expected);
}

TEST_F(NoiseRuleCheckerTest, FailedIteratorEndsTheTest)
{
    d.b.Fail(d.design, "GetIterNoiseRules");
    const Outcome out = run();
    EXPECT_EQ(out.codes(), std::vector<unsigned>{E::T30_ERRITERNOUSERULES});
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(NoiseRuleCheckerTest, LogTextsShowTheRoleInTheNameSlot)
{
    const Index twice = noise("N1", 4, "CLK", "DATA");
    noise("N2", 2, "A/X", "(All Classes)");
    const Index none = noise("N3", 9, nullptr, "");
    run();
    const std::vector<std::string> expected = {
        "ERROR 3014: Can't find Net aggressor (0-0-0) for noise rule: N1 (" + twice.ToText() + ")",
        "ERROR 3007: Can't find Constraint Class victim for noise rule: 0-0-0",
        "WARNING 3005: No victim is specified for noise rule: N3 (" + none.ToText() + ")",
        "WARNING 3006: No aggressor is specified for noise rule: N3 (" + none.ToText() + ")",
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(NoiseRuleCheckerTest, CheckerWritesTheFindingsInItsBlock)
{
    const Index rule = noise("N1", 5, "Nope", "(All Nets)");
    EXPECT_EQ(CheckerBlock(*d.session, "NoiseRuleChecker"),
              "Test: Victims and aggressors valid\n"
              "ERROR 3014: Can't find Net victim (0-0-0) for noise rule: N1 (" + rule.ToText() + ")\n"
              "Result: FAILED\n");
}

TEST_F(NoiseRuleCheckerTest, QueuedRepairsGetTheRoleFirst)
{
    const Index twice = noise("N1", 4, "CLK", "DATA");
    const Index child = noise("N2", 3, nullptr, "A/X");
    const Index typeless = noise("N3", 4, "CLK", "CLK");
    d.b.Fail(typeless, "GetType");
    const std::vector<Finding> expected = {
        {E::T30_CANTFINDNETFORNOISERULE_2, {{Index(), "aggressor"}, {twice, "N1"}, {Index(), "DATA"}}},
        {E::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE, {{Index(), "aggressor"}, {child, ""}}},
        {E::T30_ERRTYPEOFNOISERULE, {{typeless, "N3"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
