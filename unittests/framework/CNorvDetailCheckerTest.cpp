#include "FrameworkTestSupport.h"

#include "framework/CCharsValidator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace fwtest;
using Lumo::StandIn::Kind;

namespace
{

CFixStatus repairSucceeds()
{
    return CFixStatus(true);
}

CFixStatus repairFails()
{
    return CFixStatus(false, true, "Cannot repair");
}

class CNorvDetailCheckerTest : public ::testing::Test
{
protected:
    // Binds the test to the design; level is the log's level.
    bool bind(int level = 1, CFixMgr* fixMgr = nullptr, unsigned pass = 1)
    {
        log.setLogLevel(level);
        return test.initTest(d.session.get(), "main", "TOP", &log, fixMgr, pass, "cons.json");
    }

    ProcessStateGuard guard;
    Design d;
    CapturingLog log;
    ScriptedTest test{"Scripted"};
};

TEST_F(CNorvDetailCheckerTest, StartsNotTestedWithTheBaseTexts)
{
    CNorvDetailChecker base;
    EXPECT_EQ(base.getStatus(), NOT_TESTED);
    EXPECT_EQ(base.getStatusString(), "empty test: Not TESTED\n");
    EXPECT_EQ(base.getTestName(), "empty test");
    EXPECT_EQ(base.getTestShortName(), "empty test");
    EXPECT_EQ(base.getTestDescription(), "empty test.");
    EXPECT_EQ(base.runTest(true), NOT_TESTED);
}

TEST_F(CNorvDetailCheckerTest, StatusIsOnlyRaisedAndUndoRestoresThePreviousOne)
{
    test.raiseStatus(WARNINGS);
    test.raiseStatus(TESTING);
    EXPECT_EQ(test.getStatus(), WARNINGS);
    test.raiseStatus(FAILED);
    test.undoRaiseStatus();
    EXPECT_EQ(test.getStatus(), WARNINGS);

    test.SetStatus(OK);
    EXPECT_EQ(test.getStatus(), OK);
    DICSeverity info = DIC_INFO, warning = DIC_WARNING, error = DIC_ERROR;
    test.reRaiseStatus(info);
    EXPECT_EQ(test.getStatus(), OK);
    test.reRaiseStatus(warning);
    EXPECT_EQ(test.getStatus(), WARNINGS);
    test.reRaiseStatus(error);
    EXPECT_EQ(test.getStatus(), FAILED);
}

TEST_F(CNorvDetailCheckerTest, InitTestOpensTheRunsHandles)
{
    ASSERT_TRUE(bind());
    EXPECT_EQ(test.getStatus(), NOT_TESTED);
    EXPECT_TRUE(test.design().IsValid());
    bool exists = false;
    EXPECT_TRUE(test.uid().ObjectExists(d.design, exists));
    EXPECT_TRUE(exists);
}

TEST_F(CNorvDetailCheckerTest, InitTestReportsTheFirstFailedOpen)
{
    struct Case
    {
        const char* snapshot;
        const char* topBlock;
        std::function<void(Design&)> breakIt;
        const char* text;
    };
    const Case cases[] = {
        {"other", "TOP", nullptr, "Can't get snapshot: other"},
        {"main", "TOP",
         [](Design& design) {
             Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
             design.session->GetSnapshotByName(snapshot, "main");
             Lumo::Index index;
             snapshot->GetIndex(index);
             Lumo::StandIn::GetFaults(*design.session).FailOnSnapshot(index, "GetUIDManager");
         },
         "Can't get UIDManager."},
        {"main", "OTHER", nullptr, "Can't get NORV Configuration having top block: OTHER"},
        {"main", "TOP", [](Design& design) { design.builder.Delete(design.design); }, "Can't get NORV design "},
    };
    for (const Case& c : cases) {
        Design design;
        if (c.breakIt)
            c.breakIt(design);
        CapturingLog out;
        ScriptedTest broken("Broken");
        EXPECT_FALSE(broken.initTest(design.session.get(), c.snapshot, c.topBlock, &out, nullptr, 1, ""));
        EXPECT_EQ(broken.getStatus(), FAILED) << c.text;
        EXPECT_EQ(broken.getStatusString(), c.text);
        EXPECT_EQ(out.written, std::string("ERROR: Broken\t") + c.text + "\n");
        EXPECT_EQ(broken.GetUnqueuedStatus(), FAILED);
    }
}

TEST_F(CNorvDetailCheckerTest, InitTestWithoutSessionOrLogFailsSafely)
{
    EXPECT_FALSE(test.initTest(nullptr, "main", "TOP", nullptr, nullptr, 1, ""));
    EXPECT_EQ(test.getStatus(), FAILED);
    EXPECT_EQ(test.getStatusString(), "Can't get snapshot: main");
}

TEST_F(CNorvDetailCheckerTest, FailedInitTestHandsEmptyHandlesToTheRepairManager)
{
    CFixMgr fixMgr(false);
    ASSERT_TRUE(bind(1, &fixMgr));
    EXPECT_NE(FixContext::s_fixUIDManager, nullptr);
    EXPECT_TRUE(FixContext::s_fixNorvDesign.IsValid());

    ScriptedTest broken("Broken");
    EXPECT_FALSE(broken.initTest(d.session.get(), "main", "NOPE", &log, &fixMgr, 1, ""));
    EXPECT_EQ(FixContext::s_fixUIDManager, nullptr);
    EXPECT_FALSE(FixContext::s_fixNorvDesign.IsValid());
    EXPECT_FALSE(FixContext::s_fixNorvConfig.IsValid());
    EXPECT_FALSE(FixContext::s_fixSnapshot.IsValid());
}

TEST_F(CNorvDetailCheckerTest, SeverityAndLogLevelDecideWhatARaiseDoes)
{
    const struct
    {
        int level;
        unsigned code;
        TestStatus status;
        size_t stored;
    } cases[] = {
        {0, CDICErrors::T4_ERRDEFAULTCONFIG, OK, 0},       // warning not reported at level 0
        {1, CDICErrors::T4_ERRDEFAULTCONFIG, WARNINGS, 1},
        {1, CDICErrors::T7_NODEFAULTCONFIG, OK, 0},        // info needs level 2
        {2, CDICErrors::T7_NODEFAULTCONFIG, TESTING, 1},   // a reported info leaves the status
        {-1, CDICErrors::T4_ERRDEFAULTCONFIG, WARNINGS, 1}, // a negative level reports everything
        {0, CDICErrors::T1_NODESIGN, FAILED, 1},
        {0, CDICErrors::T2_ERRNAMESCR, OK, 0},             // no record: never reported
        {2, 4999, OK, 0},
    };
    for (const auto& c : cases) {
        ScriptedTest one("One");
        log.setLogLevel(c.level);
        ASSERT_TRUE(one.initTest(d.session.get(), "main", "TOP", &log, nullptr, 1, ""));
        one.raiseStatus(TESTING);
        EXPECT_EQ(one.raiseError(static_cast<int>(c.code)), c.status) << c.code << " at level " << c.level;
        EXPECT_EQ(one.GetIssuesList().size(), c.stored) << c.code << " at level " << c.level;
    }
    EXPECT_EQ(log.written, "");
}

TEST_F(CNorvDetailCheckerTest, PairsAreStoredInTheOrderGiven)
{
    ASSERT_TRUE(bind());
    const Lumo::Index a(1), b(2), c(3), e(4);
    const int code = CDICErrors::T1_NOCONFIGFORTOP;
    test.raiseError(code);
    test.raiseError(code, "text only");
    test.raiseError(code, a);
    test.raiseError(code, a, "A");
    test.raiseError(code, a, "A", b, "B");
    test.raiseError(code, a, "A", b, "B", c, "C");
    test.raiseError(code, a, "A", b, "B", c, "C", e, nullptr);

    struct Expected
    {
        unsigned count;
        Lumo::Index i1, i2, i3, i4;
        const char *n1, *n2, *n3, *n4;
    };
    const Lumo::Index none;
    const Expected expected[] = {
        {0, none, none, none, none, "", "", "", ""},
        {1, none, none, none, none, "text only", "", "", ""},
        {1, a, none, none, none, "", "", "", ""},
        {1, a, none, none, none, "A", "", "", ""},
        {2, a, b, none, none, "A", "B", "", ""},
        {3, a, b, c, none, "A", "B", "C", ""},
        {4, a, b, c, e, "A", "B", "C", ""},
    };
    ASSERT_EQ(test.GetIssuesList().size(), 7u);
    auto issue = test.GetIssuesList().begin();
    for (const Expected& x : expected) {
        EXPECT_EQ(issue->GetCode(), static_cast<unsigned>(code));
        EXPECT_EQ(issue->GetCount(), x.count);
        EXPECT_EQ(issue->GetIndex1(), x.i1);
        EXPECT_EQ(issue->GetIndex2(), x.i2);
        EXPECT_EQ(issue->GetIndex3(), x.i3);
        EXPECT_EQ(issue->GetIndex4(), x.i4);
        EXPECT_EQ(issue->GetName1(), x.n1);
        EXPECT_EQ(issue->GetName2(), x.n2);
        EXPECT_EQ(issue->GetName3(), x.n3);
        EXPECT_EQ(issue->GetName4(), x.n4);
        EXPECT_EQ(issue->GetSeverity(), DIC_ERROR);
        EXPECT_EQ(issue->GetPass(), 0u);
        EXPECT_FALSE(issue->GetFixStatus());
        ++issue;
    }
    EXPECT_EQ(log.written, "");
}

TEST_F(CNorvDetailCheckerTest, DatabaseErrorIsLoggedAtOnceAndNotStored)
{
    ASSERT_TRUE(bind());
    Lumo::Result ok;
    test.raiseError(CDICErrors::T1_NOCONFIGFORTOP, ok);
    Lumo::StandIn::SetStringResultsEnabledForTest(true);
    Lumo::Result failed = Lumo::StandIn::Failure("object does not exist: 5-0-49");
    test.raiseError(CDICErrors::T1_NOCONFIGFORTOP, failed);
    EXPECT_EQ(log.written, "ERROR 101: No NorvConfig for top block (  ) in database!\n"
                           "ERROR 101: No NorvConfig for top block (  LUMO error: object does not exist: 5-0-49 ) "
                           "in database!\n");
    EXPECT_TRUE(test.GetIssuesList().empty());
    EXPECT_EQ(test.getStatus(), FAILED);
}

TEST_F(CNorvDetailCheckerTest, FreeTextErrorsAndWarningsAreLoggedOnceEach)
{
    ASSERT_TRUE(bind(1));
    test.message() = "first";
    EXPECT_EQ(test.raiseWarning(), WARNINGS);
    test.message() = "second";
    EXPECT_EQ(test.raiseError(), FAILED);
    test.raiseError();
    EXPECT_EQ(log.written, "WARNING: Scripted\tfirst\nERROR: Scripted\tsecond\nERROR: Scripted\t\n");
    EXPECT_TRUE(test.GetIssuesList().empty());
    EXPECT_EQ(test.GetUnqueuedStatus(), FAILED);
}

TEST_F(CNorvDetailCheckerTest, WarningsWithoutTheirLevelChangeNothing)
{
    ASSERT_TRUE(bind(0));
    test.message() = "quiet";
    EXPECT_EQ(test.raiseWarning(), NOT_TESTED);
    EXPECT_EQ(test.GetUnqueuedStatus(), NOT_TESTED);
    EXPECT_EQ(log.written, "");
}

TEST_F(CNorvDetailCheckerTest, MessageHelpersAndEcho)
{
    ASSERT_TRUE(bind(2));
    test.message() = "net ";
    test.addErrIndex(Lumo::Index((49ull << 56) | 7));
    test.message() += " count ";
    test.addErrInt(-3);
    test.echo();
    test.echo();
    EXPECT_EQ(log.written, "INFO: Scripted\tnet 7-0-49 count -3\nINFO: Scripted\t\n");
    EXPECT_EQ(test.calculateMessage("Class %N of %N", "A"), "Class A of %N");
    EXPECT_EQ(test.calculateMessage("no marker", "A"), "no marker");
    EXPECT_EQ(test.calculateMessage("Net %N", std::string("A\0B", 3)), std::string("Net A\0B", 7));
    EXPECT_EQ(test.calculateMessage("Class %N", d.find(Kind::NetClass, "(Default)")), "Class (Default)");
}

TEST_F(CNorvDetailCheckerTest, FixModeRepairsAtOnceOutsidePostTestMode)
{
    CFixMgr fixMgr(false);
    fixMgr.RegisterMethod(CDICErrors::T1_NOALLCC, &repairSucceeds, CFixMgr::MethodDescr());
    fixMgr.RegisterMethod(CDICErrors::T1_NODEFAULTNC, &repairFails, CFixMgr::MethodDescr());
    ASSERT_TRUE(bind(1, &fixMgr));
    test.raiseStatus(TESTING);

    EXPECT_EQ(test.raiseError(CDICErrors::T1_NOALLCC), TESTING);
    EXPECT_EQ(test.raiseError(CDICErrors::T1_NODEFAULTNC, Lumo::Index(9), "x"), FAILED);
    EXPECT_EQ(FixContext::s_fixName1, "x");
    EXPECT_TRUE(test.GetIssuesList().empty());
    EXPECT_EQ(log.written, "");
}

TEST_F(CNorvDetailCheckerTest, FixModeQueuesInPostTestMode)
{
    CFixMgr fixMgr(false);
    fixMgr.EnablePostFixIssuesMode(true);
    fixMgr.RegisterMethod(CDICErrors::T1_NOALLCC, &repairSucceeds, CFixMgr::MethodDescr());
    ASSERT_TRUE(bind(1, &fixMgr, 2));
    Lumo::Result failed = Lumo::StandIn::Failure("x");
    test.raiseError(CDICErrors::T1_NOALLCC, Lumo::Index(3), "A", Lumo::Index(4), "B");
    test.raiseError(CDICErrors::T1_NODESIGN, failed);
    EXPECT_EQ(test.getStatus(), FAILED);
    EXPECT_EQ(fixMgr.GetQueuedCount(), 2u);
    EXPECT_TRUE(test.GetIssuesList().empty());
    EXPECT_EQ(log.written, "");

    unsigned fixed = 0;
    EXPECT_EQ(fixMgr.RunPostTestFixIssues(&test, true, fixed), FAILED);
    EXPECT_EQ(fixed, 1u);
    ASSERT_EQ(test.GetIssuesList().size(), 2u);
    EXPECT_EQ(test.GetIssuesList().front().GetPass(), 2u);
    EXPECT_EQ(test.GetIssuesList().front().GetName2(), "B");
    EXPECT_EQ(test.GetIssuesList().back().GetCount(), 0u);
}

TEST_F(CNorvDetailCheckerTest, CheckNameReportsEachInvalidCharacterOnce)
{
    const std::string scheme = CCharsValidator::SCHEME_VALID_CHARS();
    const struct
    {
        const char* name;
        const char* valid;
        const char* invalid;
    } cases[] = {
        {"a\"\"", scheme.c_str(), "\""},
        {"Net/Class!/", scheme.c_str(), "/!"},
        {"(Default)", scheme.c_str(), ""},
        {"abc", nullptr, "abc"},
        {"aab", "", "ab"},
        {nullptr, scheme.c_str(), ""},
        {"Tab\tx", scheme.c_str(), "\t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test.checkName(c.name, c.valid), c.invalid) << (c.name ? c.name : "(null)");
}

TEST_F(CNorvDetailCheckerTest, ValidCharacterSets)
{
    const std::string all = CCharsValidator::ALL_VALID_CHARS();
    EXPECT_EQ(all.size(), 95u);
    for (char c = ' '; c <= '~'; ++c)
        EXPECT_NE(all.find(c), std::string::npos) << c;
    EXPECT_EQ(CCharsValidator::CLEARRULE_VALID_CHARS().size(), 92u);
    EXPECT_EQ(CCharsValidator::SCHEME_VALID_CHARS().size(), 91u);
    EXPECT_EQ(CCharsValidator::TEMPLATE_VALID_CHARS().size(), 94u);
    EXPECT_EQ(CCharsValidator::SCHEME_VALID_CHARS().find('/'), std::string::npos);
    EXPECT_NE(CCharsValidator::CLEARRULE_VALID_CHARS().find('/'), std::string::npos);
    EXPECT_EQ(CCharsValidator::TEMPLATE_VALID_CHARS().find('\\'), std::string::npos);
}

TEST_F(CNorvDetailCheckerTest, DuplicateNamesAreReportedEarlierIndexFirst)
{
    ASSERT_TRUE(bind());
    std::vector<std::string> names = {"a", "B", "A", "b", "a", "c"};
    EXPECT_FALSE(test.checkNamesUnique(names));
    EXPECT_EQ(log.written, "ERROR: Scripted\tName duplicated: \"a\n"   // 0-2
                           "ERROR: Scripted\tName duplicated: \"a\n"   // 0-4
                           "ERROR: Scripted\tName duplicated: \"B\n"   // 1-3
                           "ERROR: Scripted\tName duplicated: \"A\n"); // 2-4
    EXPECT_EQ(test.getStatus(), FAILED);

    const struct
    {
        std::vector<std::string> names;
        bool unique;
        size_t lines;
    } cases[] = {
        {{"Net", "NET", "other"}, false, 1},
        {{"x", "x", "x"}, false, 3},
        {{"x", "y", "x y"}, true, 0},
        {{}, true, 0},
    };
    for (auto c : cases) {
        CapturingLog out;
        ScriptedTest one("One");
        ASSERT_TRUE(one.initTest(d.session.get(), "main", "TOP", &out, nullptr, 1, ""));
        EXPECT_EQ(one.checkNamesUnique(c.names), c.unique);
        EXPECT_EQ(static_cast<size_t>(std::count(out.written.begin(), out.written.end(), '\n')), c.lines);
    }
}

TEST_F(CNorvDetailCheckerTest, IndexToNameNamesTheObjectsItCanFetch)
{
    ASSERT_TRUE(bind());
    const Lumo::Index netClass = d.find(Kind::NetClass, "(Default)");
    const Lumo::Index scheme = d.find(Kind::Scheme, "(Master)");
    const Lumo::Index net = d.builder.PhysicalNet(d.config, "VCC");
    const Lumo::Index unnamed = d.builder.PhysicalNet(d.config, "");
    const Lumo::Index c2c = d.builder.Add(Kind::C2CClearRule, d.design, "C2C");
    const Lumo::Index gone = d.builder.PhysicalNet(d.config, "GONE");
    d.builder.Delete(gone);

    EXPECT_EQ(test.indexToName(Lumo::Index()), "");
    EXPECT_EQ(test.indexToName(netClass), "(Default)");
    EXPECT_EQ(test.indexToName(scheme), "(Master)");
    EXPECT_EQ(test.indexToName(net), "VCC");
    EXPECT_EQ(test.indexToName(unnamed), "<...>");
    EXPECT_EQ(test.indexToName(c2c), "<...>");
    EXPECT_EQ(test.indexToName(gone), "<...>");
    EXPECT_EQ(test.indexToName(d.design), "<...>");
}

TEST_F(CNorvDetailCheckerTest, AddIssuesCanKeepOnlyRepairedOnes)
{
    std::list<CFixIssue> issues;
    issues.emplace_back(DIC_ERROR, 101u, 0u);
    issues.emplace_back(DIC_ERROR, 102u, 0u);
    issues.back().SetFixStatus(CFixStatus(true));
    test.AddIssues(issues, true);
    ASSERT_EQ(test.GetIssuesList().size(), 1u);
    EXPECT_EQ(test.GetIssuesList().front().GetCode(), 102u);
    test.AddIssues(issues, false);
    EXPECT_EQ(test.GetIssuesList().size(), 3u);

    std::list<CFixIssue> unrepaired(1, CFixIssue(DIC_ERROR, 103u, 0u));
    test.AddIssues(unrepaired, true);
    EXPECT_EQ(test.GetIssuesList().size(), 3u);

    test.SetTestTime(7);
    test.clearRunData();
    EXPECT_TRUE(test.GetIssuesList().empty());
    EXPECT_EQ(test.GetTestTime(), 0);
}

TEST_F(CNorvDetailCheckerTest, WalkHelpersRaiseTheReadFailureCode)
{
    const Lumo::Index good = d.builder.PhysicalNet(d.config, "GOOD");
    const Lumo::Index noName = d.builder.PhysicalNet(d.config, "NONAME");
    const Lumo::Index noIndex = d.builder.PhysicalNet(d.config, "NOINDEX");
    d.builder.PhysicalNet(d.config, "STOP");
    d.builder.PhysicalNet(d.config, "AFTER");
    d.builder.Fail(noName, "GetName");
    d.builder.Fail(noIndex, "GetIndex");
    ASSERT_TRUE(bind());

    Lumo::ContainerT<const Lumo::INorvConfig> config;
    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    ASSERT_TRUE(d.session->GetSnapshotByName(snapshot, "main"));
    ASSERT_TRUE(snapshot->GetNorvConfig(config, "TOP"));
    Lumo::IteratorT<const Lumo::INorvPhysicalNet> nets;
    ASSERT_TRUE(config->GetIterPhysicalNets(nets));

    std::vector<std::string> seen;
    Lumo::Result walk;
    for (; walkOn(nets, walk); ++nets) {
        Lumo::Index index;
        std::string name;
        if (!test.readIndexOf(nets, index, CDICErrors::T40_ERRINDEXELECNET))
            continue;
        if (!test.readNameOf(nets, name, CDICErrors::T40_ERRNAMEELECNET, index, "path"))
            continue;
        seen.push_back(name);
        if (name == "STOP")
            break;
    }
    EXPECT_TRUE(walk);
    EXPECT_EQ(seen, (std::vector<std::string>{"GOOD", "STOP"}));
    ASSERT_EQ(test.GetIssuesList().size(), 2u);
    EXPECT_EQ(test.GetIssuesList().front().GetCode(), CDICErrors::T40_ERRNAMEELECNET);
    EXPECT_EQ(test.GetIssuesList().front().GetIndex1(), noName);
    EXPECT_EQ(test.GetIssuesList().front().GetName1(), "path");
    EXPECT_EQ(test.GetIssuesList().back().GetCode(), CDICErrors::T40_ERRINDEXELECNET);
    EXPECT_EQ(test.GetIssuesList().back().GetCount(), 0u);
    (void)good;
}

// A walk ends quietly at the end of its list; an iterator that fails on the way (or a walk whose
// GetIter* failed) leaves the failure in the walk's result. Both with result texts on and off: the
// end is told by its text, and the switch stands as it stood before the walk.
TEST_F(CNorvDetailCheckerTest, WalkOnKeepsAFailureButNotTheEnd)
{
    d.builder.PhysicalNet(d.config, "A");
    d.builder.PhysicalNet(d.config, "B");
    d.builder.PhysicalNet(d.config, "C");
    ASSERT_TRUE(bind());
    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    Lumo::ContainerT<const Lumo::INorvConfig> config;
    ASSERT_TRUE(d.session->GetSnapshotByName(snapshot, "main"));
    ASSERT_TRUE(snapshot->GetNorvConfig(config, "TOP"));

    const struct
    {
        const char* failOp; // the call made to fail, none when null
        int failAfter;      // steps taken before the iterator's IsValid fails (0: at the start)
        int steps;
        bool walkOk;
    } cases[] = {
        {nullptr, 0, 3, true},
        {"GetIterPhysicalNets.IsValid", 2, 2, false},
        {"GetIterPhysicalNets.IsValid", 3, 3, false},
        {"GetIterPhysicalNets", 0, 0, false},
    };
    for (const bool texts : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(texts ? "texts on, " : "texts off, ") + (c.failOp ? c.failOp : "no fault") +
                         " after " + std::to_string(c.failAfter));
            Lumo::StandIn::SetStringResultsEnabledForTest(texts);
            if (c.failOp && c.failAfter == 0)
                Lumo::StandIn::GetFaults(*d.session).FailNext(c.failOp, 1);
            Lumo::IteratorT<const Lumo::INorvPhysicalNet> nets;
            Lumo::Result walk = config->GetIterPhysicalNets(nets);
            int steps = 0;
            for (; walkOn(nets, walk); ++nets)
                if (++steps == c.failAfter && c.failOp)
                    Lumo::StandIn::GetFaults(*d.session).FailNext(c.failOp, 1);
            EXPECT_EQ(steps, c.steps);
            EXPECT_EQ(static_cast<bool>(walk), c.walkOk);
            EXPECT_EQ(Lumo::StandIn::IsStringResultsEnabled(), texts);
            if (!c.walkOk && texts) {
                EXPECT_EQ(walk.GetDescription().str().rfind("injected failure: ", 0), 0u);
            }
        }
    }
}

} // namespace
