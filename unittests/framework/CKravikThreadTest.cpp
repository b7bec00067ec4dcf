#include "FrameworkTestSupport.h"

#include "framework/CKravikThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace fwtest;

namespace
{

class RecordingNotifier : public IKravikThreadNotifier
{
public:
    void OnStartThread() override { add("start"); }
    void OnEndThread() override { add("end"); }
    std::vector<std::string> calls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

private:
    void add(const char* call)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(call);
    }
    std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

class CKravikThreadTest : public ::testing::Test
{
protected:
    ProcessStateGuard guard;
    Design d;
    CapturingLog log;
    RecordingNotifier notifier;
};

TEST_F(CKravikThreadTest, RunsTheCheckAndNotifies)
{
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A")});
    CKravikThread thread(&checker, "main");
    thread.SetObserver(&notifier);
    EXPECT_FALSE(thread.IsThreadFinished());
    thread.Start();
    thread.Join();
    EXPECT_TRUE(thread.IsThreadFinished());
    EXPECT_EQ(notifier.calls(), (std::vector<std::string>{"start", "end"}));
    EXPECT_EQ(checker.GetTestsResults().at(0), OK);
    EXPECT_NE(log.written.find("Test: A\n"), std::string::npos);
}

TEST_F(CKravikThreadTest, WithoutCheckerOnlyTheEndIsNotified)
{
    CKravikThread thread(nullptr, "main");
    thread.SetObserver(&notifier);
    thread.Start();
    thread.Join();
    EXPECT_TRUE(thread.IsThreadFinished());
    EXPECT_EQ(notifier.calls(), std::vector<std::string>{"end"});
    thread.Terminate();
}

TEST_F(CKravikThreadTest, AThrowingTestEndsTheThreadNormally)
{
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A", [](ScriptedTest&) -> TestStatus { throw std::runtime_error("x"); }),
                      new ScriptedTest("B")});
    CKravikThread thread(&checker, "main");
    thread.SetObserver(&notifier);
    thread.Start();
    thread.Join();
    EXPECT_TRUE(thread.IsThreadFinished());
    EXPECT_EQ(notifier.calls(), (std::vector<std::string>{"start", "end"}));
    EXPECT_EQ(log.written, "");
    EXPECT_FALSE(checker.GetTestRunState());
    EXPECT_EQ(thread.GetFailure(), "x");
}

// The end is notified before the thread reads as finished, so that a host polling
// IsThreadFinished may free its notifier as soon as it answers true.
TEST_F(CKravikThreadTest, TheEndIsNotifiedBeforeTheThreadReadsFinished)
{
    class FinishedAtEnd : public IKravikThreadNotifier
    {
    public:
        CKravikThread* thread = nullptr;
        std::atomic<int> finishedAtEnd{-1};
        void OnStartThread() override {}
        void OnEndThread() override { finishedAtEnd = thread->IsThreadFinished() ? 1 : 0; }
    };
    for (bool withChecker : {true, false})
    {
        TestableChecker checker(d.session.get(), &log);
        checker.setTests({new ScriptedTest("A")});
        CKravikThread thread(withChecker ? &checker : nullptr, "main");
        FinishedAtEnd observer;
        observer.thread = &thread;
        thread.SetObserver(&observer);
        thread.Start();
        thread.Join();
        EXPECT_EQ(observer.finishedAtEnd, 0) << withChecker;
        EXPECT_EQ(thread.GetFailure(), "");
    }
}

TEST_F(CKravikThreadTest, WorksWithoutNotifier)
{
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A")});
    CKravikThread thread(&checker, "main");
    thread.Start();
    thread.Join();
    EXPECT_TRUE(thread.IsThreadFinished());
    EXPECT_EQ(checker.GetResult().passed, 1);
}

TEST_F(CKravikThreadTest, DestroyingARunningThreadStopsTheCheck)
{
    TestableChecker checker(d.session.get(), &log);
    std::atomic<int> ran{0};
    std::vector<CNorvDetailChecker*> tests;
    for (int i = 0; i < 200; ++i)
        tests.push_back(new ScriptedTest("T" + std::to_string(i), [&ran](ScriptedTest&) {
            ++ran;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return NOT_TESTED;
        }));
    checker.setTests(tests);
    {
        CKravikThread thread(&checker, "main");
        thread.Start();
        while (ran == 0)
            std::this_thread::yield();
    }
    // The destructor waited for the stopped check: nothing runs any more.
    EXPECT_FALSE(checker.GetTestRunState());
    const int stoppedAt = ran;
    EXPECT_LT(stoppedAt, 200);
    EXPECT_EQ(log.written, "");
}

TEST_F(CKravikThreadTest, TerminateBeforeTheCheckStartsHasNoEffect)
{
    TestableChecker checker(d.session.get(), &log);
    checker.setTests({new ScriptedTest("A"), new ScriptedTest("B")});
    CKravikThread thread(&checker, "main");
    thread.Terminate();
    thread.Start();
    thread.Join();
    EXPECT_EQ(checker.GetResult().passed, 2);
}

} // namespace
