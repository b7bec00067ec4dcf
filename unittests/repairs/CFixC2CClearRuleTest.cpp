#include "RepairTestKit.h"

#include "repairs/CFixC2CClearRule.h"

namespace repairtest
{
namespace
{

TEST(FixC2CClearRuleTest, BrokenRuleIsDeletedOnceAndItsLaterFindingsAreFixed)
{
    Design d;
    FixScope scope(*d.session);
    const Index rule = d.b.Add(Kind::C2CClearRule, d.design, "C2C");
    const Index kept = d.b.Add(Kind::C2CClearRule, d.design, "Other");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixC2CClearRule::DeleteInvalidC2CClearRule)),
              " - Not Fixed. Error: Cannot get class to class clearance rule!.\n");
    for (const char* op : {"Lock", "DeleteC2CClearRule"})
    {
        d.faults().FailOn(d.design, op, 1);
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixC2CClearRule::DeleteInvalidC2CClearRule, {{rule, ""}})),
                  std::string(" - Not Fixed. Database error: injected failure: ") + op + ".\n");
    }
    EXPECT_TRUE(d.store().IsAlive(rule));
    // A removed scheme (6005) and then a removed rule (6013) of the same rule: one delete.
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixC2CClearRule::DeleteInvalidC2CClearRule, {{rule, ""}, {{}, "gone scheme"}})), kFixed);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixC2CClearRule::DeleteInvalidC2CClearRule, {{rule, ""}, {{}, "gone rule"}})), kFixed);
    EXPECT_FALSE(d.store().IsAlive(rule));
    EXPECT_TRUE(d.store().IsAlive(kept));
    // Deleting a rule that is not the design's own is still refused.
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixC2CClearRule::DeleteInvalidC2CClearRule, {{d.design, ""}})).rfind(" - Not Fixed.", 0),
              0u);
}

} // namespace
} // namespace repairtest
