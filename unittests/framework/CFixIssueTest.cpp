#include "framework/CFixIssue.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

namespace
{

class CFixIssueTest : public ::testing::Test
{
};

TEST_F(CFixIssueTest, FixStatusConstructorsAndTruth)
{
    const CFixStatus none;
    EXPECT_FALSE(none);
    EXPECT_FALSE(none.error);
    EXPECT_FALSE(none.postponed);
    EXPECT_TRUE(none.message.empty());
    EXPECT_TRUE(none.result);

    EXPECT_TRUE(CFixStatus(true));
    EXPECT_FALSE(CFixStatus(false));

    const CFixStatus failed(false, true, "Cannot load fromto.");
    EXPECT_FALSE(failed);
    EXPECT_TRUE(failed.error);
    EXPECT_EQ(failed.message, "Cannot load fromto.");
    EXPECT_EQ(CFixStatus(true, false, nullptr).message, "");

    // A database failure is an error whatever the result says.
    const CFixStatus fromSuccess{Lumo::Result()};
    EXPECT_FALSE(fromSuccess);
    EXPECT_TRUE(fromSuccess.error);
    const CFixStatus fromFailure{Lumo::StandIn::Failure("x")};
    EXPECT_FALSE(fromFailure.result);

    CFixStatus postponed;
    postponed.postponed = true;
    EXPECT_FALSE(postponed);
}

TEST_F(CFixIssueTest, PairsFillTheSlotsFromTheFirst)
{
    const Lumo::Index a(11), b(12), c(13), e(14);
    const CFixIssue none(DIC_WARNING, 413u, 0u);
    EXPECT_EQ(none.GetCount(), 0u);
    EXPECT_EQ(none.GetCode(), 413u);
    EXPECT_TRUE(none.GetIndex1().IsEmpty());
    EXPECT_TRUE(none.GetIndex4().IsEmpty());
    EXPECT_EQ(none.GetName1(), "");
    EXPECT_EQ(none.GetSeverity(), DIC_WARNING);
    EXPECT_EQ(none.GetPass(), 0u);
    EXPECT_FALSE(none.GetFixStatus());

    const CFixIssue two(DIC_ERROR, 2828u, 2u, a, "A", b, "B");
    EXPECT_EQ(two.GetIndex2(), b);
    EXPECT_EQ(two.GetName2(), "B");
    EXPECT_TRUE(two.GetIndex3().IsEmpty());
    EXPECT_EQ(two.GetName3(), "");

    // The count is stored as given, also where the caller's count and pairs differ.
    const CFixIssue four(DIC_ERROR, 906u, 3u, a, "A", b, "B", c, "C", e, "E");
    EXPECT_EQ(four.GetCount(), 3u);
    EXPECT_EQ(four.GetIndex4(), e);
    EXPECT_EQ(four.GetName4(), "E");
}

TEST_F(CFixIssueTest, CopyKeepsEveryField)
{
    CFixIssue issue(DIC_ERROR, 2311u, 3u, Lumo::Index(1), "A", Lumo::Index(2), "B", Lumo::Index(3), "C");
    issue.SetPass(2);
    issue.SetFixStatus(CFixStatus(false, true, "Cannot load fromto."));
    const CFixIssue copy = issue;
    EXPECT_EQ(copy.GetCount(), 3u);
    EXPECT_EQ(copy.GetCode(), 2311u);
    EXPECT_EQ(copy.GetIndex3(), Lumo::Index(3));
    EXPECT_EQ(copy.GetName3(), "C");
    EXPECT_EQ(copy.GetPass(), 2u);
    EXPECT_TRUE(copy.GetFixStatus().error);
    EXPECT_EQ(copy.GetFixStatus().message, "Cannot load fromto.");
}

} // namespace
