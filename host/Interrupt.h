// Ctrl-C during a command: the first SIGINT asks the run to stop (a check after its current test; the
// host then saves nothing and ends as "stopped"), a second one ends the process at once. A save
// asks, just before it replaces its first file, whether to stop; a first SIGINT after that changes
// nothing, so that a save that has begun to replace files ends.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

namespace KravikHost {

// Catches SIGINT while it lives and gives back the previous handling when destroyed. One at a time.
class InterruptGuard
{
public:
    // terminal: standard error is a terminal, so the notice first erases the progress line there.
    // saving: the run has no tests to finish; a Ctrl-C only keeps it from saving.
    explicit InterruptGuard(bool terminal, bool saving = false);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // A SIGINT arrived since the guard was made.
    static bool Requested();

    // The run's tests are over: from now on a Ctrl-C says that nothing will be saved.
    static void ChecksEnded();

    // Called by a save just before it replaces its first file: whether a SIGINT arrived, when the
    // save must stop there. From then on a first SIGINT prints nothing and stops nothing.
    static bool StopBeforeReplacing();

    // What to call, on a thread of the guard's, when the first SIGINT arrives (such as the
    // checker's Terminate); empty: nothing. A request made before it is set is not repeated.
    void SetStopRequest(std::function<void()> stop);

private:
    void Watch();

    std::mutex m_mutex;
    std::function<void()> m_stop;
    std::thread m_watcher;
};

} // namespace KravikHost
