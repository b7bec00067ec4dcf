// Exit codes of the kravik host, in the manner of fsck: each condition has its own bit, so that a
// script can test them, and the worst condition of a run decides the code.
#pragma once

namespace KravikHost {

enum ExitCode
{
    EXIT_CLEAN = 0,        // nothing was reported
    EXIT_REPAIRED = 1,     // findings were repaired and none is left
    EXIT_FINDINGS = 4,     // warnings or errors remain
    EXIT_OPERATIONAL = 8,  // the design could not be read, opened, checked or saved
    EXIT_USAGE = 16,       // the command line is wrong
    EXIT_CANCELED = 32     // the user stopped the run (Ctrl-C)
};

// What the host knows of a check run once it is over.
struct RunSummary
{
    bool completed = false; // the run went through all its passes and wrote its final log
    int warnings = 0;       // tests that ended with warnings (last pass)
    int errors = 0;         // tests that failed (last pass)
    int fixed = 0;          // issues repaired over all passes
};

ExitCode ExitCodeFor(const RunSummary& summary);

} // namespace KravikHost
