#include "host/Interrupt.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace KravikHost {

namespace {

// Written by the signal handler, read by the checker's thread: a lock-free atomic is safe for both.
std::atomic<int> g_requested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");
// What the first SIGINT prints; it changes as the run goes on.
std::atomic<const char*> g_notice{""};
static_assert(std::atomic<const char*>::is_always_lock_free, "the signal handler needs a lock-free notice");
bool g_terminal = false;
int g_pipe[2] = {-1, -1}; // the handler wakes the watcher through it
struct sigaction g_previous;

const char kNotice[] = "kravik: stopping after the current test; press Ctrl-C again to quit at once\n";
const char kTerminalNotice[] = "\r\x1b[Kkravik: stopping after the current test; press Ctrl-C again to quit at once\n";
const char kSaveNotice[] = "kravik: stopping; nothing will be saved; press Ctrl-C again to quit at once\n";
const char kTerminalSaveNotice[] = "\r\x1b[Kkravik: stopping; nothing will be saved; press Ctrl-C again to quit at once\n";
const char kWake = 1, kQuit = 0;

// Only async-signal-safe calls here.
void OnInterrupt(int)
{
    if (g_requested != 0)
    {
        // The second one: the default action ends the process once this handler returns.
        std::signal(SIGINT, SIG_DFL);
        raise(SIGINT);
        return;
    }
    // Set before the notice is read: a save that cleared the notice first sees this flag, or else
    // this handler sees the cleared notice (StopBeforeReplacing).
    g_requested = 1;
    const int saved = errno;
    const char* notice = g_notice;
    // Nothing is to be done about a notice or wake-up that could not be written.
    ssize_t written = write(STDERR_FILENO, notice, std::strlen(notice));
    written = write(g_pipe[1], &kWake, 1);
    (void)written;
    errno = saved;
}

} // namespace

InterruptGuard::InterruptGuard(bool terminal, bool saving)
{
    g_requested = 0;
    g_terminal = terminal;
    if (saving)
        ChecksEnded();
    else
        g_notice = terminal ? kTerminalNotice : kNotice;
    if (pipe(g_pipe) == 0)
        m_watcher = std::thread(&InterruptGuard::Watch, this);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // reads and writes of the design and log go on
    sigaction(SIGINT, &action, &g_previous);
}

InterruptGuard::~InterruptGuard()
{
    sigaction(SIGINT, &g_previous, nullptr);
    if (m_watcher.joinable())
    {
        const ssize_t written = write(g_pipe[1], &kQuit, 1);
        (void)written;
        m_watcher.join();
    }
    for (int& end : g_pipe)
        if (end >= 0)
            close(end);
    g_pipe[0] = g_pipe[1] = -1;
}

bool InterruptGuard::Requested()
{
    return g_requested != 0;
}

void InterruptGuard::ChecksEnded()
{
    g_notice = g_terminal ? kTerminalSaveNotice : kSaveNotice;
}

bool InterruptGuard::StopBeforeReplacing()
{
    g_notice = "";
    return g_requested != 0;
}

void InterruptGuard::SetStopRequest(std::function<void()> stop)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = std::move(stop);
}

void InterruptGuard::Watch()
{
    for (char byte = kWake;;)
    {
        const ssize_t got = read(g_pipe[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || byte == kQuit)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stop)
            m_stop();
    }
}

} // namespace KravikHost
