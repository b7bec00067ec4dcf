// kravik: the command-line host of the Kravik70 checks (see `kravik --help`).

#include "host/CommandLine.h"
#include "host/Commands.h"
#include "host/ExitCode.h"
#include "host/LogOutput.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

#include <stdio_ext.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

KravikHost::Terminal StandardErrorTerminal()
{
    KravikHost::Terminal terminal;
    terminal.isTerminal = isatty(STDERR_FILENO) != 0;
    winsize size{};
    if (terminal.isTerminal && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        terminal.width = size.ws_col;
    return terminal;
}

int Run(int argc, char** argv)
{
    KravikHost::CommandLine line;
    const int parsed = KravikHost::ParseCommandLine(argc, argv, line, std::cout, std::cerr);
    if (parsed >= 0)
        return parsed;

    switch (line.command)
    {
    case KravikHost::CommandLine::CHECK:
        return KravikHost::RunCheck(line.check, std::cerr, StandardErrorTerminal());
    case KravikHost::CommandLine::LIST_TESTS:
        return KravikHost::RunListTests(line.listTests, std::cerr, StandardErrorTerminal());
    case KravikHost::CommandLine::MAINTENANCE:
        return KravikHost::RunMaintenance(line.maintenance, std::cerr);
    case KravikHost::CommandLine::NONE:
        break;
    }
    return KravikHost::EXIT_USAGE;
}

} // namespace

int main(int argc, char** argv)
{
    // Descriptors 0, 1 and 2 stay taken, so that no file the run opens (a lock file, a log) becomes
    // its standard input, output or error. One that was closed gets /dev/null, read-only: reading
    // finds nothing and writing fails as on the closed descriptor, so a log meant for a closed
    // standard output is still a failed write.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF && open("/dev/null", O_RDONLY) < 0)
            break;
    const int code = Run(argc, argv);
    // The last of standard output (the help, a log) is written out by its close: a failure there is
    // the run's failure, unless the run has already failed. A closed standard output that was never
    // written to is no failure.
    const bool unused = !std::ferror(stdout) && __fpending(stdout) == 0;
    KravikHost::OwnedFile standardOutput(stdout);
    const std::string failure = KravikHost::FinishLog(stdout, standardOutput, 0);
    if (failure.empty() || code == KravikHost::EXIT_OPERATIONAL || (unused && errno == EBADF))
        return code;
    return KravikHost::OperationalError(std::cerr, KravikHost::LogName(""), "cannot write: " + failure);
}
