#include "FrameworkTestSupport.h"

#include "framework/TestRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <stdexcept>

using namespace fwtest;
using Lumo::StandIn::Kind;

namespace
{

const std::string kRule = std::string(99, '-') + "\n";

// Test times depend on the clock; the checks compare them as zero.
std::string normaliseTimes(const std::string& log)
{
    return std::regex_replace(log, std::regex("Time: [0-9]+ seconds"), "Time: 0 seconds");
}

std::string block(const std::string& name, const std::string& lines, const std::string& result)
{
    return "Test: " + name + "\n" + lines + "Result: " + result + "\nTime: 0 seconds\n\n" + kRule;
}

bool g_broken = true;

CFixStatus repairAndReload()
{
    g_broken = false;
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true);
}

class CNorvProjectCheckerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        unsetenv("NORV_CIC_RUN_HIDDEN_TESTS");
        g_broken = true;
    }

    std::string tempFile(const std::string& content)
    {
        char path[] = "/tmp/kravik-filter-XXXXXX";
        const int fd = mkstemp(path);
        EXPECT_GE(fd, 0);
        FILE* file = fdopen(fd, "w");
        std::fputs(content.c_str(), file);
        std::fclose(file);
        m_files.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const std::string& path : m_files)
            std::remove(path.c_str());
    }

    ProcessStateGuard guard;
    Design d;
    CapturingLog log;
    RecordingObserver observer;
    std::vector<std::string> m_files;
};

TEST_F(CNorvProjectCheckerTest, RegistersTheTableRowsTheSwitchesAdmit)
{
    const bool tamsa = CNorvProjectChecker::IsFlowTamsa();
    for (const char* hidden : {"", "1"}) {
        setenv("NORV_CIC_RUN_HIDDEN_TESTS", hidden, 1);
        std::vector<std::string> expected;
        for (const TestRegistration& row : TestRegistryTable())
            if (IsRegisteredUnder(row.gating, *hidden != 0, tamsa))
                expected.push_back(std::unique_ptr<CNorvDetailChecker>(row.create())->getTestShortName());
        CNorvProjectChecker checker(d.session.get(), "TOP", &log, "", 1, 0, "", false, false, "", false);
        ASSERT_EQ(checker.GetTestCount(), expected.size()) << "hidden=" << hidden;
        for (unsigned i = 0; i < expected.size(); ++i) {
            std::string shortName, name, description;
            ASSERT_TRUE(checker.GetTestInfo(i, shortName, name, description));
            EXPECT_EQ(shortName, expected[i]);
        }
    }
}

TEST_F(CNorvProjectCheckerTest, TestInfoGivesTheShortNameTwice)
{
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A"), new ScriptedTest("B")});
    std::string a = "x", b = "y", c = "z";
    EXPECT_FALSE(checker.GetTestInfo(2, a, b, c));
    EXPECT_EQ(a + b + c, "xyz");
    ASSERT_TRUE(checker.GetTestInfo(1, a, b, c));
    EXPECT_EQ(a, "ShortB");
    EXPECT_EQ(b, "ShortB");
    EXPECT_EQ(c, "Checks B");
}

TEST_F(CNorvProjectCheckerTest, FilterFileNumbers)
{
    const struct
    {
        const char* content;
        std::vector<int> numbers;
    } cases[] = {
        {"3\n3\n7\n", {3, 3, 7}},
        {"2 word 5", {2}},
        {"1 99999999999 2", {1}},
        {"-4\t+5\n\n 6", {-4, 5, 6}},
        {"12abc 4", {12}},
        {"", {}},
        {"2147483647 -2147483648 2147483648", {2147483647, -2147483647 - 1}},
    };
    for (const auto& c : cases) {
        TestableChecker checker(d.session.get(), &log, 1, false, false, 1, tempFile(c.content));
        EXPECT_EQ(checker.filter(), c.numbers) << c.content;
        EXPECT_EQ(checker.useFilter(), 1);
    }
    TestableChecker missing(d.session.get(), &log, 1, false, false, 1, "/nonexistent/filter.txt");
    EXPECT_TRUE(missing.filter().empty());
    EXPECT_EQ(missing.useFilter(), 1);
    TestableChecker unused(d.session.get(), &log, 1, false, false, 0, tempFile("1 2"));
    EXPECT_TRUE(unused.filter().empty());
    EXPECT_EQ(unused.useFilter(), 0);
}

TEST_F(CNorvProjectCheckerTest, PrintTestListLeavesFilteredTestsOutAndDropsAll)
{
    TestableChecker checker(d.session.get(), &log, 1, false, false, 1, tempFile("0\n"));
    checker.setTests({new ScriptedTest("A"), new ScriptedTest("B"), new ScriptedTest(std::string(45, 'L'))});
    ::testing::internal::CaptureStdout();
    checker.printTestList();
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "List of tests being in force (test filter defined) :\n"
                       "1\t B" + std::string(39, ' ') + "\tChecks B\n\n"
                       "2\t " + std::string(45, 'L') + "\tChecks " + std::string(45, 'L') + "\n\n");
    EXPECT_EQ(checker.GetTestCount(), 0u);

    checker.SetObserver(&observer);
    EXPECT_TRUE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"start", "total 0", "step 0", "end"}));
    EXPECT_EQ(checker.GetResult().passed + checker.GetResult().errors + checker.GetResult().warnings, 0);
}

TEST_F(CNorvProjectCheckerTest, PrintTestListWithAMissingFilterFileListsEverything)
{
    TestableChecker checker(d.session.get(), &log, 1, false, false, 1, "/nonexistent/filter.txt");
    checker.setTests({new ScriptedTest("A")});
    ::testing::internal::CaptureStdout();
    checker.printTestList();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "List of tests being in force (test filter defined) :\n0\t A" + std::string(39, ' ') + "\tChecks A\n\n");
}

TEST_F(CNorvProjectCheckerTest, CheckModeObserverCallsAndFinalLog)
{
    TestableChecker checker(d.session.get(), &log);
    auto* b = new ScriptedTest("B", [](ScriptedTest& t) {
        t.raiseError(CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, Lumo::Index(), "VCC");
        return NOT_TESTED;
    });
    checker.setTests({new ScriptedTest("A"), b, new ScriptedTest("C")});
    checker.SetObserver(&observer);
    ASSERT_TRUE(checker.Check_NorvLUMO("main"));

    EXPECT_EQ(observer.calls, (std::vector<std::string>{"start", "total 3", "fix 0 0", "step 1", "fix 0 0", "step 2",
                                                        "fix 0 0", "step 3", "end"}));
    EXPECT_EQ(normaliseTimes(log.written),
              block("A", "", "OK") +
                  block("B", "ERROR 2828: Net class name VCC is not unique across the design\n", "FAILED") +
                  block("C", "", "OK"));
    EXPECT_EQ(checker.GetTestsResults(), (std::map<int, TestStatus>{{0, OK}, {1, FAILED}, {2, OK}}));
    EXPECT_EQ(checker.GetExecutionTime().size(), 3u);
    EXPECT_EQ(checker.GetResult().passed, 2);
    EXPECT_EQ(checker.GetResult().errors, 1);
    EXPECT_EQ(checker.GetResult().warnings, 0);
    EXPECT_EQ(checker.GetResult().fixed, 0);
    EXPECT_FALSE(checker.GetReloadFlag());
    EXPECT_TRUE(b->lastRunArg);
    EXPECT_FALSE(checker.GetTestRunState());
    EXPECT_EQ(checker.GetCurrentTestProceeded(), 0u);
}

TEST_F(CNorvProjectCheckerTest, RunStateIsVisibleDuringTheRun)
{
    TestableChecker checker(d.session.get(), &log);
    std::vector<std::pair<bool, unsigned>> seen;
    auto probe = [&](ScriptedTest&) {
        seen.emplace_back(checker.GetTestRunState(), checker.GetCurrentTestProceeded());
        return NOT_TESTED;
    };
    checker.setTests({new ScriptedTest("A", probe), new ScriptedTest("B", probe)});
    checker.Check_NorvLUMO("main");
    EXPECT_EQ(seen, (std::vector<std::pair<bool, unsigned>>{{true, 1u}, {true, 2u}}));
}

TEST_F(CNorvProjectCheckerTest, CountingFollowsTheLogLevel)
{
    auto ending = [](TestStatus s) {
        return [s](ScriptedTest& t) {
            t.raiseStatus(s);
            return NOT_TESTED;
        };
    };
    const struct
    {
        int level;
        std::map<int, TestStatus> results;
        int passed, warnings, errors;
    } cases[] = {
        {1, {{0, OK}, {1, WARNINGS}, {2, FAILED}}, 1, 1, 1},
        {0, {{0, OK}, {1, OK}, {2, FAILED}}, 2, 0, 1},
        {-1, {{0, OK}, {1, OK}, {2, OK}}, 3, 0, 0},
    };
    for (const auto& c : cases) {
        CapturingLog out(false, c.level);
        TestableChecker checker(d.session.get(), &out, c.level);
        checker.setTests({new ScriptedTest("A"), new ScriptedTest("W", ending(WARNINGS)),
                          new ScriptedTest("F", ending(FAILED))});
        checker.Check_NorvLUMO("main");
        EXPECT_EQ(checker.GetTestsResults(), c.results) << "level " << c.level;
        EXPECT_EQ(checker.GetResult().passed, c.passed) << "level " << c.level;
        EXPECT_EQ(checker.GetResult().warnings, c.warnings) << "level " << c.level;
        EXPECT_EQ(checker.GetResult().errors, c.errors) << "level " << c.level;
        // The test keeps its own status for the final log.
        EXPECT_NE(out.written.find("Test: F\nResult: FAILED\n"), std::string::npos) << "level " << c.level;
    }
}

TEST_F(CNorvProjectCheckerTest, FilteredTestIsSkippedButKeepsItsBlock)
{
    TestableChecker checker(d.session.get(), &log, 1, false, false, 1, tempFile("1"));
    auto* skipped = new ScriptedTest("B");
    checker.setTests({new ScriptedTest("A"), skipped});
    checker.SetObserver(&observer);
    checker.Check_NorvLUMO("main");
    EXPECT_EQ(skipped->runs, 0);
    EXPECT_EQ(checker.GetTestsResults().at(1), NOT_TESTED);
    EXPECT_EQ(checker.GetExecutionTime().at(1), 0);
    EXPECT_EQ(normaliseTimes(log.written), block("A", "", "OK") + block("B", "", "NOT TESTED (test broken?)"));
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"start", "total 2", "fix 0 0", "step 1", "fix 0 0", "step 2",
                                                        "end"}));
}

TEST_F(CNorvProjectCheckerTest, VanishedObjectsAreWrittenWithTheEmptyIndex)
{
    const Lumo::Index n1 = d.builder.PhysicalNet(d.config, "N1");
    const Lumo::Index e1 = d.builder.ElectricalNet(d.config, "E1");
    const Lumo::Index e2 = d.builder.ElectricalNet(d.config, "E2");
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A", [&](ScriptedTest& t) {
        t.raiseError(CDICErrors::T15_PHYSNETINMANYENETS, n1, "N1", e1, "E1", e2, "E2");
        d.builder.Delete(e1);
        return NOT_TESTED;
    })});
    checker.Check_NorvLUMO("main");
    const std::string line = "ERROR " + std::to_string(CDICErrors::T15_PHYSNETINMANYENETS) + ": Physical net: N1 (" + n1.ToText() +
                             ") belongs to more than one electrical nets: E1 (0-0-0) and E2 (" + e2.ToText() + ")\n";
    EXPECT_EQ(normaliseTimes(log.written), block("A", line, "FAILED"));
}

TEST_F(CNorvProjectCheckerTest, SecondRunReportsOnlyItsOwnFindings)
{
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A", [](ScriptedTest& t) {
        t.message() = "free text";
        t.raiseError(CDICErrors::T1_NODESIGN);
        return NOT_TESTED;
    })});
    checker.Check_NorvLUMO("main");
    log.written.clear();
    checker.Check_NorvLUMO("main");
    EXPECT_EQ(normaliseTimes(log.written), block("A", "ERROR 102: No NorvDesign in database!\n", "FAILED"));
}

TEST_F(CNorvProjectCheckerTest, FixModeRepairsAfterEachTestOverTwoPasses)
{
    CapturingLog fixLog(true);
    TestableChecker checker(d.session.get(), &fixLog, 1, true);
    checker.fixMgr()->RegisterMethod(CDICErrors::T1_NOALLCC, &repairAndReload, CFixMgr::MethodDescr());
    auto* a = new ScriptedTest("A", [](ScriptedTest& t) {
        if (g_broken)
            t.raiseError(CDICErrors::T1_NOALLCC);
        t.raiseError(CDICErrors::T1_NODESIGN); // no repair: stays
        return NOT_TESTED;
    });
    checker.setTests({a, new ScriptedTest("B")});
    checker.SetObserver(&observer);
    ASSERT_TRUE(checker.Check_NorvLUMO("main"));

    EXPECT_EQ(observer.calls,
              (std::vector<std::string>{"start", "total 4", "fix 0 0", "step 1", "fix 1 1", "fix 1 1", "step 3",
                                        "fix 1 1", "step 4", "end"}));
    EXPECT_EQ(normaliseTimes(fixLog.written),
              block("A",
                    "----- Pass #1\nERROR 103: No NorvConstraintClass \"All\" in database! - Fixed.\n"
                    "----- Pass #2\nERROR 102: No NorvDesign in database! - Not Fixed.\n",
                    "FAILED") +
                  block("B", "", "OK"));
    EXPECT_EQ(checker.GetResult().fixed, 1);
    EXPECT_EQ(checker.GetResult().errors, 1);
    EXPECT_TRUE(checker.GetReloadFlag());
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(a->pass(), 2u);
}

TEST_F(CNorvProjectCheckerTest, FixModeFinalStatusKeepsFailuresOutsideTheQueue)
{
    TestableChecker checker(d.session.get(), &log, 1, true);
    checker.setTests({new ScriptedTest("A", [](ScriptedTest& t) {
                          t.message() = "Name duplicated: \"x";
                          t.raiseError();
                          return NOT_TESTED;
                      }),
                      new ScriptedTest("B")});
    checker.Check_NorvLUMO("main");
    EXPECT_EQ(checker.GetTestsResults().at(0), FAILED);
    EXPECT_EQ(checker.test(0)->getStatus(), FAILED);
    EXPECT_EQ(checker.GetTestsResults().at(1), OK);
    EXPECT_EQ(checker.GetResult().errors, 1);
}

TEST_F(CNorvProjectCheckerTest, StopEndsTheRunBeforeTheNextTest)
{
    TestableChecker checker(d.session.get(), &log);
    auto* after = new ScriptedTest("D");
    checker.setTests({new ScriptedTest("A"), new ScriptedTest("B"), new ScriptedTest("C", [&](ScriptedTest&) {
                          checker.Terminate();
                          return NOT_TESTED;
                      }),
                      after});
    checker.SetObserver(&observer);
    EXPECT_TRUE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(after->runs, 0);
    EXPECT_EQ(checker.GetTestsResults().size(), 3u);
    EXPECT_EQ(checker.GetResult().passed, 3);
    EXPECT_EQ(log.written, "");
    EXPECT_EQ(observer.calls.back(), "end");
    EXPECT_EQ(observer.calls[observer.calls.size() - 2], "fix 0 0");
    EXPECT_FALSE(checker.GetTestRunState());

    // A stop requested before a run does not affect it.
    checker.Terminate();
    EXPECT_TRUE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(after->runs, 0); // C stops the run again
}

TEST_F(CNorvProjectCheckerTest, StopInFixModeReportsRepairsAndLeavesNothingQueued)
{
    TestableChecker checker(d.session.get(), &log, 1, true);
    checker.fixMgr()->RegisterMethod(CDICErrors::T1_NOALLCC, &repairAndReload, CFixMgr::MethodDescr());
    bool stop = true;
    checker.setTests({new ScriptedTest("A", [](ScriptedTest& t) {
                          if (g_broken)
                              t.raiseError(CDICErrors::T1_NOALLCC);
                          return NOT_TESTED;
                      }),
                      new ScriptedTest("B", [&](ScriptedTest& t) {
                          t.raiseError(CDICErrors::T1_NODESIGN);
                          if (stop)
                              checker.Terminate();
                          return NOT_TESTED;
                      }),
                      new ScriptedTest("C")});
    EXPECT_TRUE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(checker.GetResult().fixed, 1);
    EXPECT_TRUE(checker.GetReloadFlag());
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(checker.fixMgr()->GetQueuedCount(), 0u);
    EXPECT_EQ(checker.GetTestsResults().at(1), FAILED);

    // The next run repairs nothing of the stopped one and reports only its own findings.
    stop = false;
    log.written.clear();
    EXPECT_TRUE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(checker.GetResult().fixed, 0);
    EXPECT_FALSE(checker.GetReloadFlag());
    EXPECT_EQ(normaliseTimes(log.written),
              block("A", "", "OK") +
                  block("B", "----- Pass #2\nERROR 102: No NorvDesign in database!\n - Not Fixed.\n", "FAILED") +
                  block("C", "", "OK"));
}

TEST_F(CNorvProjectCheckerTest, StopInTheLastTestOfTheLastPassLeavesNothingQueued)
{
    TestableChecker checker(d.session.get(), &log, 1, true);
    checker.setTests({new ScriptedTest("A", [&](ScriptedTest& t) {
        t.raiseError(CDICErrors::T1_NODESIGN);
        if (t.pass() == 2)
            checker.Terminate();
        return NOT_TESTED;
    })});
    EXPECT_TRUE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(checker.fixMgr()->GetQueuedCount(), 0u);
}

TEST_F(CNorvProjectCheckerTest, LockRefusedRunsNoTest)
{
    d.builder.ForeignLock(d.config, "ws-2:99", "Editor (FE NORV)");
    TestableChecker checker(d.session.get(), &log, 1, true);
    auto* a = new ScriptedTest("A");
    checker.setTests({a});
    EXPECT_FALSE(checker.Check_NorvLUMO("main"));
    EXPECT_EQ(log.written, "Cannot lock NORV data to fix issues!\n");
    EXPECT_EQ(a->runs, 0);
    EXPECT_FALSE(checker.GetTestRunState());

    TestableChecker missing(d.session.get(), &log, 1, true);
    EXPECT_FALSE(missing.Check_NorvLUMO("no such snapshot"));
}

// Without the snapshot or its UID manager no index of the final log could be printed: the run
// does not start, in check and in fix mode, and says why.
TEST_F(CNorvProjectCheckerTest, AnUnopenableSnapshotRunsNoTestAndSaysWhy)
{
    const struct
    {
        const char* snapshot;
        const char* failingOperation;
        const char* error;
    } cases[] = {
        {"no such snapshot", nullptr, "cannot open snapshot \"no such snapshot\""},
        {"main", "GetSnapshotByName", "cannot open snapshot \"main\""},
        {"main", "GetUIDManager", "cannot get the UID manager of snapshot \"main\""},
    };
    for (bool fixMode : {false, true})
        for (const auto& c : cases)
        {
            if (c.failingOperation)
                Lumo::StandIn::GetFaults(*d.session).FailNext(c.failingOperation, 1);
            TestableChecker checker(d.session.get(), &log, 1, fixMode);
            auto* a = new ScriptedTest("A");
            checker.setTests({a});
            EXPECT_FALSE(checker.Check_NorvLUMO(c.snapshot));
            EXPECT_EQ(checker.GetRunError().rfind(c.error, 0), 0u) << checker.GetRunError();
            EXPECT_EQ(a->runs, 0);
            EXPECT_FALSE(checker.GetTestRunState());
            EXPECT_TRUE(d.store().Locks().empty());
            Lumo::StandIn::GetFaults(*d.session).ClearAll();

            // The next run starts afresh.
            EXPECT_TRUE(checker.Check_NorvLUMO("main"));
            EXPECT_EQ(checker.GetRunError(), "");
            EXPECT_EQ(a->runs, fixMode ? 2 : 1);
        }
}

TEST_F(CNorvProjectCheckerTest, FixModeLockIsReleasedAfterTheRunEvenOnAThrow)
{
    TestableChecker checker(d.session.get(), &log, 1, true);
    checker.setTests({new ScriptedTest("A", [](ScriptedTest&) -> TestStatus { throw std::runtime_error("boom"); })});
    EXPECT_THROW(checker.Check_NorvLUMO("main"), std::runtime_error);
    EXPECT_FALSE(checker.GetTestRunState());
    EXPECT_TRUE(d.store().Locks().empty());
}

TEST_F(CNorvProjectCheckerTest, OwnLogDiscardsAndCopiesAreIndependent)
{
    for (bool fixMode : {false, true}) {
        auto* checker = new TestableChecker(d.session.get(), nullptr, 2, fixMode);
        ASSERT_NE(checker->log(), nullptr);
        auto* copy = new TestableChecker(*checker);
        EXPECT_NE(copy->log(), checker->log());
        EXPECT_EQ(copy->GetTestCount(), checker->GetTestCount());
        ASSERT_GT(copy->GetTestCount(), 0u);
        EXPECT_NE(copy->test(0), checker->test(0));
        EXPECT_EQ(fixMode, copy->fixMgr() != nullptr);
        if (fixMode) {
            EXPECT_NE(copy->fixMgr(), checker->fixMgr());
        }
        EXPECT_TRUE(checker->Check_NorvLUMO("main"));
        delete checker;
        EXPECT_TRUE(copy->Check_NorvLUMO("main"));
        EXPECT_EQ(copy->GetTestsResults().at(0), OK);
        delete copy;
    }
    TestableChecker hostLog(d.session.get(), &log);
    TestableChecker copy(hostLog);
    EXPECT_EQ(copy.log(), &log);
}

} // namespace
