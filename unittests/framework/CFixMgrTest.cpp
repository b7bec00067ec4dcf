#include "FrameworkTestSupport.h"

#include "framework/FixRegistry.h"

#include <gtest/gtest.h>

#include <set>

using namespace fwtest;

namespace
{

// What the last repair method saw in the fix context.
struct Seen
{
    unsigned count = 99;
    Lumo::Index i1, i2, i3, i4;
    std::string n1, n2, n3, n4;
    int calls = 0;
};
Seen g_seen;

CFixStatus recordContext()
{
    g_seen.count = FixContext::s_fixParamCount;
    g_seen.i1 = FixContext::s_fixIndex1;
    g_seen.i2 = FixContext::s_fixIndex2;
    g_seen.i3 = FixContext::s_fixIndex3;
    g_seen.i4 = FixContext::s_fixIndex4;
    g_seen.n1 = FixContext::s_fixName1;
    g_seen.n2 = FixContext::s_fixName2;
    g_seen.n3 = FixContext::s_fixName3;
    g_seen.n4 = FixContext::s_fixName4;
    ++g_seen.calls;
    return CFixStatus(true);
}

CFixStatus notFixed()
{
    ++g_seen.calls;
    return CFixStatus(false, true, "Cannot find physical net.");
}

CFixStatus fixedWithError()
{
    return CFixStatus(true, true, "partly");
}

// Codes used below: 101/102 errors, 401 a warning, 704 an info.
constexpr unsigned kError = CDICErrors::T1_NODESIGN;
constexpr unsigned kError2 = CDICErrors::T1_NOALLCC;
constexpr unsigned kWarning = CDICErrors::T4_ERRDEFAULTCONFIG;
constexpr unsigned kInfo = CDICErrors::T7_NODEFAULTCONFIG;

class CFixMgrTest : public ::testing::Test
{
protected:
    void SetUp() override { g_seen = Seen(); }

    ProcessStateGuard guard;
    CFixMgr mgr{false};
    ScriptedTest test{"T"};
};

TEST_F(CFixMgrTest, RunFixLoadsThePairsAndClearsTheUnusedSlots)
{
    mgr.RegisterMethod(kError, &recordContext, CFixMgr::MethodDescr());
    const Lumo::Index a(1), b(2), c(3), e(4);
    mgr.RunFix(DIC_ERROR, kError, 1, a, "A", b, "B", c, "C", e, "E");
    EXPECT_EQ(g_seen.count, 4u);
    EXPECT_EQ(g_seen.i4, e);
    EXPECT_EQ(g_seen.n4, "E");

    const CFixStatus result = mgr.RunFix(DIC_ERROR, kError, 1, a, "A", b, "B");
    EXPECT_TRUE(result);
    EXPECT_EQ(g_seen.count, 2u);
    EXPECT_EQ(g_seen.i2, b);
    EXPECT_EQ(g_seen.n2, "B");
    EXPECT_TRUE(g_seen.i3.IsEmpty());
    EXPECT_TRUE(g_seen.i4.IsEmpty());
    EXPECT_EQ(g_seen.n3, "");
    EXPECT_EQ(g_seen.n4, "");

    mgr.RunFix(DIC_ERROR, kError, 1);
    EXPECT_EQ(g_seen.count, 0u);
    EXPECT_TRUE(g_seen.i1.IsEmpty());
    EXPECT_EQ(g_seen.n1, "");
}

TEST_F(CFixMgrTest, CollectingQueuesWithThePass)
{
    mgr.RegisterMethod(kError, &recordContext, CFixMgr::MethodDescr());
    mgr.EnablePostFixIssuesMode(true);
    EXPECT_TRUE(mgr.IsPostFixIssuesMode());
    const CFixStatus queued = mgr.RunFix(DIC_ERROR, kError, 2, Lumo::Index(7), "N");
    EXPECT_FALSE(queued);
    EXPECT_TRUE(queued.postponed);
    EXPECT_FALSE(queued.error);
    EXPECT_TRUE(queued.message.empty());
    EXPECT_EQ(g_seen.calls, 0);
    EXPECT_EQ(mgr.GetQueuedCount(), 1u);

    unsigned fixed = 0;
    EXPECT_EQ(mgr.RunPostTestFixIssues(&test, true, fixed), OK);
    EXPECT_EQ(fixed, 1u);
    EXPECT_EQ(g_seen.count, 1u);
    EXPECT_EQ(g_seen.i1, Lumo::Index(7));
    ASSERT_EQ(test.GetIssuesList().size(), 1u);
    EXPECT_EQ(test.GetIssuesList().front().GetPass(), 2u);
    EXPECT_TRUE(test.GetIssuesList().front().GetFixStatus());
    EXPECT_EQ(mgr.GetQueuedCount(), 0u);
    // Still collecting afterwards.
    mgr.RunFix(DIC_ERROR, kError, 1);
    EXPECT_EQ(mgr.GetQueuedCount(), 1u);
}

TEST_F(CFixMgrTest, PostTestStatusComesFromWhatStaysUnrepaired)
{
    mgr.RegisterMethod(kError, &notFixed, CFixMgr::MethodDescr());
    mgr.RegisterMethod(kError2, &fixedWithError, CFixMgr::MethodDescr());
    mgr.RegisterMethod(kWarning, &notFixed, CFixMgr::MethodDescr());
    mgr.RegisterMethod(kInfo, &notFixed, CFixMgr::MethodDescr());
    mgr.EnablePostFixIssuesMode(true);

    const struct
    {
        std::vector<std::pair<DICSeverity, unsigned>> raised;
        TestStatus status;
        unsigned fixed;
    } cases[] = {
        {{}, OK, 0},
        {{{DIC_INFO, kInfo}}, OK, 0},
        {{{DIC_WARNING, kWarning}}, WARNINGS, 0},
        {{{DIC_WARNING, kWarning}, {DIC_ERROR, kError}}, FAILED, 0},
        {{{DIC_ERROR, kError}, {DIC_WARNING, kWarning}}, FAILED, 0},
        {{{DIC_ERROR, kError2}}, FAILED, 1}, // fixed with the error flag: counted and still raising
        {{{DIC_ERROR, 4999u}}, FAILED, 0},  // no method
    };
    for (const auto& c : cases) {
        for (const auto& raised : c.raised)
            mgr.RunFix(raised.first, raised.second, 1);
        unsigned fixed = 0;
        EXPECT_EQ(mgr.RunPostTestFixIssues(&test, true, fixed), c.status);
        EXPECT_EQ(fixed, c.fixed);
    }
}

TEST_F(CFixMgrTest, OnlyTheLastPassHandsBackUnrepairedIssues)
{
    mgr.RegisterMethod(kError, &notFixed, CFixMgr::MethodDescr());
    mgr.RegisterMethod(kError2, &recordContext, CFixMgr::MethodDescr());
    mgr.EnablePostFixIssuesMode(true);
    mgr.RunFix(DIC_ERROR, kError, 1);
    mgr.RunFix(DIC_ERROR, kError2, 1);
    unsigned fixed = 5;
    EXPECT_EQ(mgr.RunPostTestFixIssues(&test, false, fixed), FAILED);
    EXPECT_EQ(fixed, 6u);
    ASSERT_EQ(test.GetIssuesList().size(), 1u);
    EXPECT_EQ(test.GetIssuesList().front().GetCode(), kError2);

    mgr.RunFix(DIC_ERROR, kError, 2);
    mgr.RunPostTestFixIssues(&test, true, fixed);
    ASSERT_EQ(test.GetIssuesList().size(), 2u);
    EXPECT_EQ(test.GetIssuesList().back().GetFixStatus().message, "Cannot find physical net.");
}

TEST_F(CFixMgrTest, WithoutPostTestModeTheQueueIsLeftAlone)
{
    unsigned fixed = 3;
    EXPECT_EQ(mgr.RunPostTestFixIssues(&test, true, fixed), FAILED);
    EXPECT_EQ(fixed, 3u);
}

TEST_F(CFixMgrTest, BackEndRunsOnlyAllowedMethods)
{
    CFixMgr backEnd(true);
    backEnd.RegisterMethod(kError, &recordContext, CFixMgr::MethodDescr(false));
    backEnd.RegisterMethod(kError2, &recordContext, CFixMgr::MethodDescr(true));

    const CFixStatus refused = backEnd.RunFix(DIC_ERROR, kError, 1);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.error);
    EXPECT_EQ(refused.message, "Cannot repair the problem on the Back End");
    EXPECT_EQ(g_seen.calls, 0);

    EXPECT_TRUE(backEnd.RunFix(DIC_ERROR, kError2, 1));
    EXPECT_EQ(g_seen.calls, 1);

    const CFixStatus unknown = backEnd.RunFix(DIC_ERROR, 4999, 1);
    EXPECT_FALSE(unknown);
    EXPECT_FALSE(unknown.error);
    EXPECT_TRUE(unknown.message.empty());

    // Outside the back end the flag does not matter.
    mgr.RegisterMethod(kError, &recordContext, CFixMgr::MethodDescr(false));
    EXPECT_TRUE(mgr.RunFix(DIC_ERROR, kError, 1));
}

TEST_F(CFixMgrTest, RegistrationRefusesNullAndReplaces)
{
    EXPECT_FALSE(mgr.RegisterMethod(kError, nullptr, CFixMgr::MethodDescr()));
    EXPECT_FALSE(mgr.IsRegistered(kError));
    EXPECT_TRUE(mgr.RegisterMethod(kError, &notFixed, CFixMgr::MethodDescr()));
    EXPECT_TRUE(mgr.RegisterMethod(kError, &recordContext, CFixMgr::MethodDescr()));
    EXPECT_TRUE(mgr.RunFix(DIC_ERROR, kError, 1));
}

TEST_F(CFixMgrTest, InitRegistersTheWholeTableAndEmptiesTheQueue)
{
    mgr.EnablePostFixIssuesMode(true);
    mgr.RunFix(DIC_ERROR, kError, 1);
    mgr.Init(nullptr);
    EXPECT_EQ(mgr.GetQueuedCount(), 0u);
    for (const FixRegistration& row : FixRegistryTable())
        EXPECT_TRUE(mgr.IsRegistered(row.code)) << row.code;
}

TEST_F(CFixMgrTest, RegistryTableRowsAreDistinctCataloguedCodes)
{
    std::set<unsigned> codes;
    for (const FixRegistration& row : FixRegistryTable()) {
        EXPECT_TRUE(codes.insert(row.code).second) << "code twice: " << row.code;
        EXPECT_NE(CDICErrors::GetOutLogging(row.code), 0) << row.code;
        EXPECT_NE(row.method, nullptr) << row.code;
    }
    EXPECT_LE(codes.size(), 111u);
}

TEST_F(CFixMgrTest, DiscardDropsTheQueue)
{
    mgr.EnablePostFixIssuesMode(true);
    mgr.RunFix(DIC_ERROR, kError, 1);
    mgr.DiscardIssues();
    EXPECT_EQ(mgr.GetQueuedCount(), 0u);
    mgr.RunFix(DIC_ERROR, kError, 1);
    EXPECT_EQ(mgr.GetQueuedCount(), 1u);
}

TEST_F(CFixMgrTest, InitTestFillsAndDestructionClearsTheContext)
{
    Design d;
    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    ASSERT_TRUE(d.session->GetSnapshotByName(snapshot, "main"));
    Lumo::IUIDManager uid;
    ASSERT_TRUE(snapshot->GetUIDManager(uid));
    Lumo::ContainerT<const Lumo::INorvConfig> config;
    ASSERT_TRUE(snapshot->GetNorvConfig(config, "TOP"));
    Lumo::ContainerT<const Lumo::INorvDesign> design;
    ASSERT_TRUE(config->GetNorvDesign(design));
    {
        CFixMgr scoped(false);
        scoped.RegisterMethod(kError, &recordContext, CFixMgr::MethodDescr());
        scoped.InitTest(d.session.get(), snapshot, &uid, config, design);
        EXPECT_EQ(FixContext::s_fixSession, d.session.get());
        EXPECT_EQ(FixContext::s_fixUIDManager, &uid);
        EXPECT_TRUE(FixContext::s_fixNorvDesign.IsValid());
        scoped.RunFix(DIC_ERROR, kError, 1, Lumo::Index(5), "x");
    }
    EXPECT_EQ(FixContext::s_fixSession, nullptr);
    EXPECT_EQ(FixContext::s_fixUIDManager, nullptr);
    EXPECT_FALSE(FixContext::s_fixSnapshot.IsValid());
    EXPECT_FALSE(FixContext::s_fixNorvConfig.IsValid());
    EXPECT_FALSE(FixContext::s_fixNorvDesign.IsValid());
    EXPECT_EQ(FixContext::s_fixParamCount, 0u);
    EXPECT_EQ(FixContext::s_fixName1, "");
}

TEST_F(CFixMgrTest, ReloadFlagIsProcessWide)
{
    EXPECT_FALSE(CFixMgr::GetReloadFlag());
    CFixMgr::SetReloadFlag(true);
    EXPECT_TRUE(CFixMgr::m_bReloadFlag);
}

} // namespace
