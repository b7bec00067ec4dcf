#include "utils/Thread.h"
#include "utils/UtilsException.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

void pause1ms()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void waitFor(const std::atomic<bool>& flag)
{
    while (!flag)
        pause1ms();
}

// Counts its runs; with hold set, the body waits until released.
class CountingThread : public LumoUtils::Thread {
public:
    explicit CountingThread(bool hold = false) : m_hold(hold) {}
    ~CountingThread() override { Join(); }

    void release() { m_hold = false; }
    int runs() const { return m_runs; }
    const std::atomic<bool>& started() const { return m_started; }

protected:
    void Run() override
    {
        m_started = true;
        while (m_hold)
            pause1ms();
        ++m_runs;
        SetFinished(1);
    }

private:
    std::atomic<bool> m_hold;
    std::atomic<bool> m_started{false};
    std::atomic<int> m_runs{0};
};

TEST(ThreadTest, NewThreadIsNeitherRunningNorFinished)
{
    CountingThread thread;
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(0, thread.IsFinished());
}

TEST(ThreadTest, StartRunsBodyAndJoinClearsRunning)
{
    CountingThread thread;
    thread.Start();
    EXPECT_TRUE(thread.IsRunning());
    thread.Join();
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(1, thread.runs());
    EXPECT_EQ(1, thread.IsFinished());
}

TEST(ThreadTest, RunningStaysSetAfterBodyReturnsUntilJoin)
{
    CountingThread thread;
    thread.Start();
    while (thread.IsFinished() != 1)
        pause1ms();
    EXPECT_TRUE(thread.IsRunning());
    thread.Start(); // still marked running: no second body
    thread.Join();
    EXPECT_EQ(1, thread.runs());
}

TEST(ThreadTest, SecondStartWhileRunningCreatesNoSecondThread)
{
    CountingThread thread(true);
    thread.Start();
    thread.Start();
    thread.release();
    thread.Join();
    EXPECT_EQ(1, thread.runs());
}

TEST(ThreadTest, StartAfterJoinRunsTheBodyAgain)
{
    CountingThread thread;
    thread.Start();
    thread.Join();
    thread.Start();
    thread.Join();
    EXPECT_EQ(2, thread.runs());
}

TEST(ThreadTest, JoinAndKillWithoutStartDoNothing)
{
    CountingThread thread;
    EXPECT_NO_THROW(thread.Join());
    EXPECT_NO_THROW(thread.Kill());
    EXPECT_EQ(0, thread.runs());
}

TEST(ThreadTest, FinishedValueIsWhateverWasLastSet)
{
    CountingThread thread;
    thread.SetFinished(7);
    EXPECT_EQ(7, thread.IsFinished());
    thread.SetFinished(0);
    EXPECT_EQ(0, thread.IsFinished());
}

TEST(ThreadTest, KillLetsTheBodyFinishInsteadOfCuttingItShort)
{
    CountingThread thread(true);
    thread.Start();
    waitFor(thread.started());
    std::thread releaser([&thread] {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        thread.release();
    });
    thread.Kill();
    releaser.join();
    EXPECT_EQ(1, thread.runs());
    EXPECT_FALSE(thread.IsRunning());
}

// A body that touches only what it was given, so that it may outlive the derived object.
class DetachedBody : public LumoUtils::Thread {
public:
    DetachedBody(std::atomic<bool>& go, std::atomic<bool>& started, std::atomic<int>& done)
        : m_go(&go), m_started(&started), m_done(&done)
    {
    }

protected:
    void Run() override
    {
        std::atomic<bool>* go = m_go;
        std::atomic<int>* done = m_done;
        *m_started = true;
        while (!*go)
            pause1ms();
        ++*done;
    }

private:
    std::atomic<bool>* m_go;
    std::atomic<bool>* m_started;
    std::atomic<int>* m_done;
};

TEST(ThreadTest, DestroyingARunningThreadWaitsForItsBody)
{
    std::atomic<bool> go{false};
    std::atomic<bool> started{false};
    std::atomic<int> done{0};
    auto* thread = new DetachedBody(go, started, done);
    thread->Start();
    waitFor(started);
    std::thread releaser([&go] {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        go = true;
    });
    delete thread;
    releaser.join();
    EXPECT_EQ(1, done);
}

// Calls Exit from its body, or Join/Kill on itself, and records what happened.
class SelfCallingThread : public LumoUtils::Thread {
public:
    enum Action { CallExit, CallJoin, CallKill };
    SelfCallingThread(Action action, std::atomic<bool>& finished) : m_action(action), m_finished(&finished) {}

    std::atomic<bool> pastCall{false};
    std::atomic<int> errorCode{-1};

protected:
    void Run() override
    {
        std::atomic<bool>* finished = m_finished;
        try {
            if (m_action == CallExit) {
                *finished = true;
                Exit();
            } else if (m_action == CallJoin) {
                Join();
            } else {
                Kill();
            }
        } catch (const LumoUtils::UtilsException& e) {
            errorCode = e.getErrorCode();
        }
        pastCall = true;
        *finished = true;
    }

private:
    Action m_action;
    std::atomic<bool>* m_finished;
};

TEST(ThreadTest, ExitEndsTheBodyAndLeavesNothingToJoin)
{
    std::atomic<bool> finished{false};
    SelfCallingThread thread(SelfCallingThread::CallExit, finished);
    thread.Start();
    while (thread.IsRunning())
        pause1ms();
    EXPECT_NO_THROW(thread.Join());
    EXPECT_FALSE(thread.pastCall);
}

TEST(ThreadTest, ExitFromAnotherThreadDoesNothing)
{
    CountingThread thread(true);
    thread.Start();
    thread.Exit();
    EXPECT_TRUE(thread.IsRunning());
    thread.release();
    thread.Join();
    EXPECT_EQ(1, thread.runs());
}

TEST(ThreadTest, JoinFromItsOwnBodyThrowsWaitFailed)
{
    std::atomic<bool> finished{false};
    SelfCallingThread thread(SelfCallingThread::CallJoin, finished);
    thread.Start();
    waitFor(finished);
    EXPECT_EQ(LumoUtils::UtilsException::ThreadWaitFailed, thread.errorCode);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadTest, KillFromItsOwnBodyReturnsWithoutThrowing)
{
    std::atomic<bool> finished{false};
    SelfCallingThread thread(SelfCallingThread::CallKill, finished);
    thread.Start();
    waitFor(finished);
    EXPECT_EQ(-1, thread.errorCode);
    EXPECT_TRUE(thread.pastCall);
    EXPECT_FALSE(thread.IsRunning());
}

} // namespace
