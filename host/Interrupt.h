// Ctrl-C during a check: the first SIGINT asks the run to stop after the current test (the host
// then saves nothing and ends as "stopped"), a second one ends the process at once.
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
    explicit InterruptGuard(bool terminal);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // A SIGINT arrived since the guard was made.
    static bool Requested();

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
