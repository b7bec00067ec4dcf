#include "FrameworkTestSupport.h"

#include "framework/CNorvInitTest.h"

#include <gtest/gtest.h>

using namespace fwtest;
using Lumo::StandIn::Kind;

namespace
{

class CNorvInitTestTest : public ::testing::Test
{
protected:
    // Runs the test as the checker does: initTest (its result ignored), then runTest.
    TestStatus run(Lumo::LumoPI* session, const char* topBlock = "TOP")
    {
        test.initTest(session, "main", topBlock, &log, nullptr, 1, "");
        return test.runTest(false);
    }
    std::vector<unsigned> codes() const
    {
        std::vector<unsigned> found;
        for (const CFixIssue& issue : const_cast<CNorvInitTest&>(test).GetIssuesList())
            found.push_back(issue.GetCode());
        return found;
    }

    ProcessStateGuard guard;
    CapturingLog log;
    CNorvInitTest test;
};

TEST_F(CNorvInitTestTest, Texts)
{
    EXPECT_EQ(test.getTestName(), "NORV database initialization");
    EXPECT_EQ(test.getTestShortName(), "InitializationTest");
    EXPECT_EQ(test.getTestDescription(), "Test checks if NORV database is correctly initialized");
}

TEST_F(CNorvInitTestTest, CompleteDesignPasses)
{
    Design d;
    EXPECT_EQ(run(d.session.get()), OK);
    EXPECT_TRUE(codes().empty());
    EXPECT_EQ(test.getStatusString(), "");
}

TEST_F(CNorvInitTestTest, MissingConfigurationIsTheOnlyFinding)
{
    Design d;
    EXPECT_EQ(run(d.session.get(), "OTHER"), FAILED);
    ASSERT_EQ(codes(), std::vector<unsigned>{CDICErrors::T1_NOCONFIGFORTOP});
    EXPECT_EQ(test.GetIssuesList().front().GetName1(), "OTHER");
    EXPECT_TRUE(test.GetIssuesList().front().GetIndex1().IsEmpty());

    Design invalid;
    invalid.builder.Invalid(invalid.config);
    CNorvInitTest second;
    second.initTest(invalid.session.get(), "main", "TOP", &log, nullptr, 1, "");
    EXPECT_EQ(second.runTest(false), FAILED);
    ASSERT_EQ(second.GetIssuesList().size(), 1u);
    EXPECT_EQ(second.GetIssuesList().front().GetCode(), CDICErrors::T1_NOCONFIGFORTOP);
}

TEST_F(CNorvInitTestTest, MissingDesignEndsTheTest)
{
    Design d;
    d.builder.Delete(d.design);
    EXPECT_EQ(run(d.session.get()), FAILED);
    EXPECT_EQ(codes(), std::vector<unsigned>{CDICErrors::T1_NODESIGN});
}

TEST_F(CNorvInitTestTest, EachMissingObjectIsReportedAlone)
{
    const struct
    {
        Kind kind;
        const char* name;
        unsigned code;
    } cases[] = {
        {Kind::ConstraintClass, "(All)", CDICErrors::T1_NOALLCC},
        {Kind::NetClass, "(Default)", CDICErrors::T1_NODEFAULTNC},
        {Kind::Scheme, "(Master)", CDICErrors::T1_NOMASTERSCHEME},
        {Kind::Scheme, "(Minimum)", CDICErrors::T1_NOMINIMUMSCHEME},
        {Kind::ClearRule, "(Default Rule)", CDICErrors::T1_NODEFAULTCR},
        {Kind::GenClear, "", CDICErrors::T1_NOGENCLEAR},
    };
    for (const auto& c : cases) {
        Design d;
        const Lumo::Index gone = d.find(c.kind, c.name);
        ASSERT_FALSE(gone.IsEmpty()) << c.name;
        d.builder.Delete(gone);
        CNorvInitTest one;
        one.initTest(d.session.get(), "main", "TOP", &log, nullptr, 1, "");
        EXPECT_EQ(one.runTest(false), FAILED) << c.code;
        ASSERT_EQ(one.GetIssuesList().size(), 1u) << c.code;
        EXPECT_EQ(one.GetIssuesList().front().GetCode(), c.code);
        EXPECT_EQ(one.GetIssuesList().front().GetCount(), 0u);
    }
}

TEST_F(CNorvInitTestTest, EmptyDesignGetsSixFindingsInOrder)
{
    auto session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    b.Design(b.NorvConfig("TOP"));
    EXPECT_EQ(run(session.get()), FAILED);
    EXPECT_EQ(codes(), (std::vector<unsigned>{CDICErrors::T1_NOALLCC, CDICErrors::T1_NODEFAULTNC,
                                               CDICErrors::T1_NOMASTERSCHEME, CDICErrors::T1_NOMINIMUMSCHEME,
                                               CDICErrors::T1_NODEFAULTCR, CDICErrors::T1_NOGENCLEAR}));
}

TEST_F(CNorvInitTestTest, NamesAreFoundWithoutRegardToCase)
{
    Design d;
    d.store().SetName(d.find(Kind::NetClass, "(Default)"), "(default)");
    EXPECT_EQ(run(d.session.get()), OK);
}

TEST_F(CNorvInitTestTest, SearchParametersCombineBothValues)
{
    const auto params = CombineSearchParamsV(Lumo::SP_5, Lumo::SP_0);
    EXPECT_EQ(params.GetWord(), 0x21u);
    EXPECT_FALSE(params.Contains(Lumo::SP_MatchCase));
}

} // namespace
