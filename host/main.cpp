// kravik: the command-line host of the Kravik70 checks (see `kravik --help`).

#include "host/CommandLine.h"
#include "host/Commands.h"
#include "host/ExitCode.h"

#include <iostream>

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

} // namespace

int main(int argc, char** argv)
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
