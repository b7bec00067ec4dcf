#include "RepairTestKit.h"

#include "framework/CDICErrors.h"
#include "repairs/CFixScheme.h"

#include <cmath>

namespace repairtest
{
namespace
{

using Lumo::StandIn::GetCallCounts;

struct FixSchemeTest : ::testing::Test
{
    Design d;
    FixScope scope{*d.session};

    FixSchemeTest() { d.b.DefaultObjects(d.design); }

    Index defaultRule(Index scheme)
    {
        for (Index rule : d.store().List(scheme, Field::schemaNetClassRules))
            if (d.store().IsAlive(rule) && d.store().Name(rule) == "(Default)")
                return rule;
        return Index();
    }
};

TEST_F(FixSchemeTest, SchemeWithoutDefaultRuleIsReplacedByOneOfItsNameAndType)
{
    const Index healthy = d.b.Scheme(d.design, "Ok");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::RecreateSchemeWithoutDefaultRule, {{healthy, "Ok"}})), kNotFixed);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::RecreateSchemeWithoutDefaultRule, {{healthy, ""}})),
              " - Not Fixed. Error: Cannot get scheme name!.\n");
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);

    const Index old = d.b.Scheme(d.design, "S", Lumo::ST_Master);
    d.b.Delete(defaultRule(old));
    // A failed fetch of a scheme that exists, or a failed add: the old scheme stays.
    for (const char* op : {"GetNorvScheme", "AddScheme"})
    {
        d.faults().FailOn(op == std::string("AddScheme") ? d.design : old, op, 1);
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::RecreateSchemeWithoutDefaultRule, {{old, "S"}})),
                  std::string(" - Not Fixed. Database error: injected failure: ") + op + ".\n");
        EXPECT_EQ(Names(d, Kind::Scheme), (std::vector<std::string>{"(Master)", "(Minimum)", "Ok", "S"}));
    }
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);

    // Reached through the repair manager, as the code's registration gives it.
    CFixMgr manager(false);
    manager.Init(nullptr);
    const CFixStatus status = manager.RunFix(DIC_ERROR, CDICErrors::T28_SCHEMENETCLASSHASNODEFAULTNETCLASS, 1, old, "S");
    EXPECT_EQ(OutcomeLine(status), kFixed);
    EXPECT_EQ(status.message, "Scheme 'S' was recreated, please verify constraints!");
    EXPECT_TRUE(CFixMgr::m_bReloadFlag);
    EXPECT_FALSE(d.store().IsAlive(old));
    const Index rebuilt = d.find(Kind::Scheme, "S");
    EXPECT_EQ(d.store().Int(rebuilt, Field::schemeType), Lumo::ST_Master);
    EXPECT_FALSE(defaultRule(rebuilt).IsEmpty());
    // The scheme is gone now: nothing more to do.
    EXPECT_EQ(OutcomeLine(manager.RunFix(DIC_ERROR, CDICErrors::T28_SCHEMENETCLASSHASNODEFAULTNETCLASS, 1, old, "S")),
              kFixed);
}

struct MinimumCase
{
    const char* name;
    Lumo::ConstraintData minimum;
    Lumo::ConstraintData smaller;
    bool definition;           // the minimum is a session definition that its owner inherits
    Lumo::EObjectType owner;   // the object type of the owner pair
    std::string line;
    int32_t intAfter;          // the owner's own value afterwards (0: none, or unchanged)
    double doubleAfter;
};

Lumo::ConstraintData Int(int32_t v)
{
    Lumo::ConstraintData c;
    c.kind = Lumo::CDT_Int;
    c.intValue = v;
    return c;
}

Lumo::ConstraintData Dbl(double v)
{
    Lumo::ConstraintData c;
    c.kind = Lumo::CDT_Double;
    c.doubleValue = v;
    return c;
}

TEST_F(FixSchemeTest, MinimumConstraintTakesTheSmallerValueOnlyWhenItIsSmallerOfTheSameKind)
{
    const MinimumCase cases[] = {
        {"int lowered", Int(10), Int(8), false, Lumo::OT_NorvSchemeClearRule, kFixed, 8, 0},
        {"equal", Int(8), Int(8), false, Lumo::OT_NorvSchemeClearRule, kFixed, 8, 0},
        {"larger", Dbl(1.0), Dbl(2.0), false, Lumo::OT_NorvSchemeClearRule, kFixed, 0, 1.0},
        {"kinds differ", Dbl(3.0), Int(1), false, Lumo::OT_NorvSchemeClearRule, kFixed, 0, 3.0},
        {"nan", Dbl(3.0), Dbl(std::nan("")), false, Lumo::OT_NorvSchemeClearRule, kFixed, 0, 3.0},
        {"definition gives its owner a value", Dbl(3.0), Dbl(2.5), true, Lumo::OT_NorvSchemeClearRule, kFixed, 0, 2.5},
        {"definition of another owner type", Dbl(3.0), Dbl(2.5), true, Lumo::OT_NorvScheme, kNotFixed, 0, 0},
    };
    int n = 0;
    for (const MinimumCase& c : cases)
    {
        const std::string name = "C" + std::to_string(n++);
        const Index owner = d.find(Kind::SchemaClearRule, "(Default Rule)");
        const Index minimum = c.definition ? d.b.Definition(name, c.minimum) : d.b.Constraint(owner, name, c.minimum);
        if (c.definition)
            d.b.Inherit(owner, name);
        const Index other = d.b.Constraint(d.find(Kind::Scheme, "(Master)"), name, c.smaller);
        const Index ownerPair = c.owner == Lumo::OT_NorvScheme ? d.find(Kind::Scheme, "(Minimum)") : owner;
        GetCallCounts(*d.session).Reset();
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::SetMinimumConstraintValue,
                                        {{ownerPair, name}, {other, name}, {minimum, ""}, {other, ""}})),
                  c.line)
            << c.name;
        const Lumo::ConstraintData after = OwnValue(d, owner, name);
        EXPECT_EQ(after.intValue, c.intAfter) << c.name;
        EXPECT_EQ(after.doubleValue, c.doubleAfter) << c.name;
        if (std::string(c.name) == "equal")
        {
            EXPECT_EQ(GetCallCounts(*d.session).Get("SetValue") + GetCallCounts(*d.session).Get("AddConstraint"), 0u);
        }
    }
}

TEST_F(FixSchemeTest, MinimumConstraintIsFixedWhenGoneAndAFailedReadOfALiveOneIsItsResult)
{
    const Index owner = d.find(Kind::SchemaClearRule, "(Default Rule)");
    const Index minimum = d.b.Constraint(owner, "GAP", 10);
    const Index other = d.b.Constraint(d.find(Kind::Scheme, "(Master)"), "GAP", 5);
    const std::vector<Pair> pairs = {{owner, "GAP"}, {other, "GAP"}, {minimum, ""}, {other, ""}};
    for (const char* op : {"GetNorvConstraint", "GetValue"})
    {
        d.faults().FailOn(minimum, op, 1);
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::SetMinimumConstraintValue, pairs)),
                  std::string(" - Not Fixed. Database error: injected failure: ") + op + ".\n");
    }
    d.faults().FailOn(minimum, "Lock", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::SetMinimumConstraintValue, pairs)),
              " - Not Fixed. Database error: injected failure: Lock.\n");
    EXPECT_EQ(OwnValue(d, owner, "GAP").intValue, 10);
    // An index of another type names no constraint: nothing to do.
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::SetMinimumConstraintValue, {{owner, "GAP"}, {other, ""}, {owner, ""}, {other, ""}})),
              kFixed);
    d.b.Delete(other);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::SetMinimumConstraintValue, pairs)), kFixed);
    EXPECT_EQ(OwnValue(d, owner, "GAP").intValue, 10);
}

TEST_F(FixSchemeTest, ViaSpanIsDeletedOnlyWhileItsViasCannotBeRead)
{
    const Index span = d.b.Add(Kind::ViaSpan, d.design, "Span");
    const std::vector<Pair> pairs = {{{}, "Span"}, {span, ""}};
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::DeleteViaSpanWithoutVias, pairs)), kFixed);
    EXPECT_TRUE(d.store().IsAlive(span));

    d.faults().FailOn(span, "GetIterAllowedVias");
    d.faults().FailOn(d.design, "GetViaSpan", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::DeleteViaSpanWithoutVias, pairs)),
              " - Not Fixed. Database error: injected failure: GetViaSpan.\n");
    d.faults().FailOn(d.design, "DeleteViaSpan", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::DeleteViaSpanWithoutVias, pairs)),
              " - Not Fixed. Database error: injected failure: DeleteViaSpan.\n");
    EXPECT_TRUE(d.store().IsAlive(span));
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::DeleteViaSpanWithoutVias, pairs)), kFixed);
    EXPECT_FALSE(d.store().IsAlive(span));
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixScheme::DeleteViaSpanWithoutVias, pairs)), kFixed);
}

} // namespace
} // namespace repairtest
