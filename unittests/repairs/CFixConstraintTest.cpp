#include "RepairTestKit.h"

#include "repairs/CFixConstraint.h"

namespace repairtest
{
namespace
{

struct FixConstraintTest : ::testing::Test
{
    Design d;
    Index rule = d.b.ClearRule(d.design, "R");
    Index other = d.b.ClearRule(d.design, "Other");
    FixScope scope{*d.session};

    bool alive(Index index) { return d.store().IsAlive(index); }
};

TEST_F(FixConstraintTest, ForbiddenConstraintIsDeletedFromItsObjectOrReportedAsTheLogShowsIt)
{
    const Index forbidden = d.b.Constraint(rule, "FORBIDDEN", 3);
    const Index onConstraint = d.b.Constraint(other, "KEEP", 1);
    struct Case
    {
        std::vector<Pair> pairs;
        std::string line;
    };
    const Case cases[] = {
        {{{}, {}, {rule, ""}}, " - Not Fixed. Error: Cannot load constraint..\n"},
        {{{}, {forbidden, ""}}, " - Not Fixed. Error: Cannot load object..\n"},
        // A constraint is no holder of constraints: refused, nothing tried.
        {{{}, {onConstraint, ""}, {onConstraint, ""}}, kNotFixed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::RemoveForbiddenConstraint, c.pairs)), c.line);
    EXPECT_TRUE(alive(forbidden));
    EXPECT_TRUE(alive(onConstraint));

    // A failed lock or delete leaves the constraint and says why.
    for (const char* op : {"Lock", "DeleteConstraint"})
    {
        d.faults().FailOn(rule, op, 1);
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::RemoveForbiddenConstraint, {{}, {forbidden, ""}, {rule, ""}})),
                  std::string(" - Not Fixed. Database error: injected failure: ") + op + ".\n");
        EXPECT_TRUE(alive(forbidden));
    }

    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::RemoveForbiddenConstraint, {{}, {forbidden, ""}, {rule, ""}})),
              kFixed);
    EXPECT_FALSE(alive(forbidden));
    EXPECT_TRUE(alive(rule));
    // Its object gone with it, a second finding of the constraint needs nothing.
    d.b.Delete(rule);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::RemoveForbiddenConstraint, {{}, {forbidden, ""}, {rule, ""}})),
              kFixed);
}

TEST_F(FixConstraintTest, ObjectOperationsChooseTheFetchByTypeAndReportFailures)
{
    Lumo::String name("WIDTH");
    Lumo::ConstraintData value;
    value.kind = Lumo::CDT_DoubleList;
    value.doubleList = {1.5, 2.5};

    Index design = d.design;
    EXPECT_TRUE(CFixConstraint::AddObjectConstraint(design, name, value));
    EXPECT_EQ(OwnValue(d, d.design, "WIDTH").doubleList, value.doubleList);
    Index scheme = d.b.Scheme(d.design, "S");
    EXPECT_TRUE(CFixConstraint::AddObjectConstraint(scheme, name, value));

    Index added;
    for (Index c : d.store().List(scheme, Field::constraints))
        added = c;
    Index definition = d.b.Definition("WIDTH", 2.0);
    for (Index refused : {added, definition, d.config})
    {
        EXPECT_FALSE(CFixConstraint::AddObjectConstraint(refused, name, value)) << refused.ToText();
        EXPECT_FALSE(CFixConstraint::DeleteObjectConstraint(refused, added)) << refused.ToText();
    }

    d.faults().FailOn(scheme, "Lock", 1);
    EXPECT_FALSE(CFixConstraint::DeleteObjectConstraint(scheme, added));
    d.faults().FailOn(scheme, "DeleteConstraint", 1);
    EXPECT_FALSE(CFixConstraint::DeleteObjectConstraint(scheme, added));
    d.faults().FailOn(scheme, "AddConstraint", 1);
    EXPECT_FALSE(CFixConstraint::AddObjectConstraint(scheme, name, value));
    EXPECT_TRUE(alive(added));
    EXPECT_TRUE(CFixConstraint::DeleteObjectConstraint(scheme, added));
    EXPECT_FALSE(alive(added));
}

TEST_F(FixConstraintTest, MismatchedConstraintMovesUnderItsObjectAndParentWithItsWholeValue)
{
    std::vector<double> list = {0.1, 0.2};
    const Index moved = d.b.Constraint(rule, "GAP", list);
    d.b.ConstraintParent(moved, other);
    const std::vector<Pair> pairs = {{{}, "path"}, {rule, "GAP"}, {moved, ""}};

    // A failed add leaves what was done before it: the constraint is already deleted.
    d.faults().FailOn(rule, "AddConstraint", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::ReattachMismatchedConstraint, pairs)), kNotFixed);
    EXPECT_FALSE(alive(moved));
    EXPECT_EQ(OwnValue(d, rule, "GAP").kind, 0);

    const Index again = d.b.Constraint(rule, "GAP", list);
    d.b.ConstraintParent(again, other);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::ReattachMismatchedConstraint, {{{}, "path"}, {rule, "GAP"}, {again, ""}})),
              kFixed);
    EXPECT_FALSE(alive(again));
    EXPECT_EQ(OwnValue(d, rule, "GAP").doubleList, list);
    EXPECT_EQ(OwnValue(d, other, "GAP").doubleList, list);
    EXPECT_EQ(d.store().Owner(d.store().List(rule, Field::constraints).back()), rule);

    // A recorded parent that is gone: the constraint is re-made under its object only.
    const Index orphan = d.b.Constraint(rule, "SPACE", 4);
    d.b.ConstraintParent(orphan, d.b.ClearRule(d.design, "Gone"));
    d.b.Delete(d.find(Kind::ClearRule, "Gone"));
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::ReattachMismatchedConstraint, {{{}, "p"}, {rule, "SPACE"}, {orphan, ""}})),
              kFixed);
    EXPECT_FALSE(alive(orphan));
    EXPECT_EQ(OwnValue(d, rule, "SPACE").intValue, 4);
}

TEST_F(FixConstraintTest, MismatchedConstraintOfAGoneObjectIsFixedUnreadAndReadFailuresAreResults)
{
    const Index c = d.b.Constraint(other, "GAP", 1);
    d.b.ConstraintParent(c, rule);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::ReattachMismatchedConstraint, {{}, {other, "GAP"}})), kNotFixed);
    for (const char* op : {"ObjectExists", "GetValue", "GetParentIndex"})
    {
        d.faults().FailOn(op == std::string("ObjectExists") ? other : c, op, 1);
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::ReattachMismatchedConstraint, {{}, {other, "GAP"}, {c, ""}})),
                  std::string(" - Not Fixed. Database error: injected failure: ") + op + ".\n");
    }
    EXPECT_TRUE(alive(c));

    d.b.Delete(other);
    Lumo::StandIn::GetCallCounts(*d.session).Reset();
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraint::ReattachMismatchedConstraint, {{}, {other, "GAP"}, {c, ""}})), kFixed);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*d.session).Get("GetNorvConstraint"), 0u);
}

} // namespace
} // namespace repairtest
