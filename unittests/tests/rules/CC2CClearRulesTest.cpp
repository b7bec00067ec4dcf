#include "tests/rules/CC2CClearRules.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

namespace
{

class CC2CClearRulesTest : public ::testing::Test, public World<CC2CClearRules>
{
protected:
    CC2CClearRulesTest()
    {
        d.b.Scheme(d.design, "S1");
        d.b.ClearRule(d.design, "CR1");
        d.b.Add(Kind::ZAxisClearRule, d.design, "Z1");
    }

    // A rule with the constraints given (null: the constraint is absent).
    Index rule(const char* scheme, const char* type, const char* target)
    {
        const Index r = d.b.Add(Kind::C2CClearRule, d.design, "");
        if (scheme)
            d.b.Constraint(r, "C2C_SCHEME", scheme);
        if (type)
            d.b.Constraint(r, "C2C_RULE_TYPE", type);
        if (target)
            d.b.Constraint(r, "C2C_RULE", target);
        return r;
    }
};

} // namespace

TEST_F(CC2CClearRulesTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Schemes and rules in all class to class clearance rules");
    EXPECT_EQ(test.getTestShortName(), "SchemeInC2CClearRule");
    EXPECT_EQ(test.getTestDescription(), "Test checks if all schemes and rules exist for class to class clearance rules");
}

TEST_F(CC2CClearRulesTest, RulesNamingExistingObjectsPass)
{
    EXPECT_EQ(RunTest(test, *d.session).status, OK);
    rule("S1", "ClearRule", "CR1");
    rule("S1", "ZClearRule", "Z1");
    rule("S1", "Other", "NOTHING");
    CC2CClearRules again;
    const Outcome out = RunTest(again, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(CC2CClearRulesTest, RulesNamingMissingObjects)
{
    const Index both = rule("S9", "ClearRule", "CR9");
    const Index zAxis = rule("S1", "ZClearRule", "CR1");       // a clearance rule's name is no Z-axis rule
    const Index caseDiffers = rule("s1", "clearrule", "CR9");  // type not recognised: only the scheme is checked
    const Index noType = rule("S1", nullptr, "CR9");
    const Index noScheme = rule(nullptr, "ClearRule", "CR9");
    const Index noRule = rule("S9", "ClearRule", nullptr);
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T60_ERRSCHEMEOFC2CCLEARRULE, {{both, ""}, {Index(), "S9"}}),
                                                  F(E::T60_ERRCLEARRULEOFC2CCLEARRULE, {{both, ""}, {Index(), "CR9"}}),
                                                  F(E::T60_ERRZAXISOFC2CCLEARRULE, {{zAxis, ""}, {Index(), "CR1"}}),
                                                  F(E::T60_ERRSCHEMEOFC2CCLEARRULE, {{caseDiffers, ""}, {Index(), "s1"}}),
                                                  F(E::T60_CANNOTGETRULETYPECONSTRAINT, {{noType, ""}}),
                                                  F(E::T60_CANNOTGETSCHEMECONSTRAINT, {{noScheme, ""}}),
                                                  F(E::T60_ERRSCHEMEOFC2CCLEARRULE, {{noRule, ""}, {Index(), "S9"}}),
                                                  F(E::T60_CANNOTGETRULECONSTRAINT, {{noRule, ""}})}));
    EXPECT_EQ(out.status, FAILED);
    EXPECT_EQ(LogLines(test).front(),
              "ERROR 6005: There is class to class clearance rule  (" + both.ToText() + ") which contains removed scheme: S9 (0-0-0)");
}

// A name that cannot be read leaves its object out: a rule naming it counts it as removed.
TEST_F(CC2CClearRulesTest, UnreadableNamesAndIndexes)
{
    const Index r = rule("S1", "ClearRule", "CR1");
    const Index unindexed = rule("S9", "ClearRule", "CR9");
    d.b.Fail(d.find(Kind::Scheme, "S1"), "GetName");
    d.b.Fail(d.find(Kind::ClearRule, "CR1"), "GetName");
    d.b.Fail(d.find(Kind::ZAxisClearRule, "Z1"), "GetName");
    d.b.Fail(unindexed, "GetIndex");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T60_ERRNAMESCHEME), F(E::T60_ERRNAMECLEARRULE), F(E::T60_ERRNAMEZAXIS),
                                                  F(E::T60_ERRSCHEMEOFC2CCLEARRULE, {{r, ""}, {Index(), "S1"}}),
                                                  F(E::T60_ERRCLEARRULEOFC2CCLEARRULE, {{r, ""}, {Index(), "CR1"}}),
                                                  F(E::T60_ERRINDEXOFC2CCLEARRULE)}));
}

TEST_F(CC2CClearRulesTest, FailedIteratorEndsTheRun)
{
    rule("S9", "ClearRule", "CR9");
    const struct
    {
        const char* op;
        unsigned code;
    } cases[] = {{"GetIterSchemes", E::T60_ERRITERSCHEMES},
                 {"GetIterClearRules", E::T60_ERRITERCLEARRULES},
                 {"GetIterZAxisClearRules", E::T60_ERRITERZAXIS},
                 {"GetIterC2CClearRules", E::T60_ERRITERC2CCLEARRULES}};
    for (const auto& c : cases) {
        CC2CClearRules fresh;
        const Outcome out = RunTest(fresh, *d.session, "", [&] { d.faults().FailOn(d.design, c.op, 1); });
        EXPECT_EQ(out.findings, std::vector<Finding>{F(c.code)}) << c.op;
        EXPECT_EQ(out.status, FAILED);
        d.faults().ClearAll();
    }
}
