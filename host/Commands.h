// The commands of the kravik host. Each returns the process's exit code (ExitCode.h) and reports
// an operational error as one line "kravik: <file>: <reason>" on `err`; the check log and the
// test list go to the C standard output (or the --log file).
#pragma once

#include "host/CommandLine.h"

#include <ostream>

namespace Lumo { class LumoPI; }

namespace KravikHost {

// How the host's standard error looks: the progress line is drawn only on a terminal.
struct Terminal
{
    bool isTerminal = false;
    unsigned width = 80;
};

int RunCheck(const CheckOptions& options, std::ostream& err, const Terminal& terminal);
// On a terminal, one line after the list says how many tests the environment leaves out and
// which variable decides it.
int RunListTests(const ListTestsOptions& options, std::ostream& err, const Terminal& terminal);
// The maintenance operations; their messages and the report go to the log (standard output or
// --log FILE), and a changed design is saved as check --fix saves it.
int RunMaintenance(const MaintenanceOptions& options, std::ostream& err);

// A maintenance command's name on the command line ("init").
const char* MaintenanceCommandName(MaintenanceOptions::Operation operation);

class DesignLock;

// The save of a command that may change the design, in two steps. Before the load: refuse an
// `output` that a save cannot replace, or a design whose backup name could not exist when the save
// will replace the design itself, and take `lock` on the file the save will replace for `command`.
// An `output` that is a hard link of the design is refused (saved under that name, the design's other
// name would keep the old bytes). After the run: save to `output`, or in place when it is empty,
// refused at the last moment when the locked file changed on disk since, and say "kravik: saved
// PATH". Each returns EXIT_CLEAN, or EXIT_OPERATIONAL after its error line on `err`; SaveDesign
// returns EXIT_CANCELED, having saved nothing, when a Ctrl-C came before the save replaced a file.
int PrepareSave(DesignLock& lock, const std::string& design, const std::string& output, const std::string& command,
                std::ostream& err);
int SaveDesign(const Lumo::LumoPI& session, DesignLock& lock, const std::string& design, const std::string& output,
               std::ostream& err);

// Writes "kravik: <file>: <reason>", control characters of both as \xHH, and returns EXIT_OPERATIONAL.
int OperationalError(std::ostream& err, const std::string& file, const std::string& reason);

} // namespace KravikHost
