// The kravik command line: its commands, their options, --help and the usage errors. Parsing only
// fills the option records; the commands run elsewhere.
#pragma once

#include "host/FaultSwitches.h"

#include <ostream>
#include <string>

namespace KravikHost {

struct CheckOptions
{
    std::string design;      // the design file
    std::string snapshot;    // empty: the file's first snapshot
    std::string topBlock;    // empty: the snapshot's first top block
    std::string constraints; // constraints file handed to the checks; empty: none
    int logLevel = 1;        // 0 errors, 1 and warnings, 2 and infos
    std::string logFile;     // empty: standard output
    std::string filterFile;  // empty: no filter
    bool fix = false;
    bool backEnd = false;
    bool thread = false;     // run on the checker's worker thread
    std::string outputFile;  // fix mode: where the repaired design goes; empty: back onto the design
    FaultSwitches faults;
};

// init, clear, format, recreate, object and stats: one maintenance operation on a design file.
struct MaintenanceOptions
{
    enum Operation
    {
        INIT,
        CLEAR,
        FORMAT,
        RECREATE,
        OBJECT,
        STATS
    };

    Operation operation = INIT;
    std::string design;
    std::string snapshot;    // empty: the file's first snapshot
    std::string topBlock;    // empty: the snapshot's first top block
    std::string logFile;     // empty: standard output
    std::string outputFile;  // where a changed design goes; empty: back onto the design
    bool noBackup = false;   // clear: no project backup before clearing
    std::string indexText;   // object: the index as given
    uint64_t index = 0;      // object: the index parsed
    bool clearObject = false; // object: clear its constraints and attributes
    FaultSwitches faults;

    // Whether the operation may change the design, and so saves it.
    bool Saves() const { return operation != STATS && (operation != OBJECT || clearObject); }
};

struct ListTestsOptions
{
    std::string filterFile; // empty: no filter
};

struct CommandLine
{
    enum Command
    {
        NONE,
        CHECK,
        LIST_TESTS,
        MAINTENANCE
    };

    Command command = NONE;
    CheckOptions check;
    MaintenanceOptions maintenance;
    ListTestsOptions listTests;
};

// Parses the arguments into `line`. Returns -1 when a command is to run; otherwise the process's
// exit code, after writing the help to `out` (0) or the usage error to `err` (EXIT_USAGE).
int ParseCommandLine(int argc, const char* const* argv, CommandLine& line, std::ostream& out, std::ostream& err);

} // namespace KravikHost
