#include "host/Interrupt.h"

#include <csignal>
#include <cstring>

#include <unistd.h>

namespace KravikHost {

namespace {

volatile std::sig_atomic_t g_requested = 0;
const char* g_notice = "";
struct sigaction g_previous;

const char kNotice[] = "kravik: stopping after the current test; press Ctrl-C again to quit at once\n";
const char kTerminalNotice[] = "\r\x1b[Kkravik: stopping after the current test; press Ctrl-C again to quit at once\n";

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
    g_requested = 1;
    const ssize_t written = write(STDERR_FILENO, g_notice, std::strlen(g_notice));
    (void)written; // nothing to be done about a notice that could not be written
}

} // namespace

InterruptGuard::InterruptGuard(bool terminal)
{
    g_requested = 0;
    g_notice = terminal ? kTerminalNotice : kNotice;
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
}

bool InterruptGuard::Requested()
{
    return g_requested != 0;
}

} // namespace KravikHost
