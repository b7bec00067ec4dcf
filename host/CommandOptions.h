// Pieces of the command-line parser that several commands share: the fault switches and the
// maintenance commands. Parsing only fills the option records (CommandLine.h).
#pragma once

#include "host/CommandLine.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace KravikHost {

// The texts of the repeatable fault switches as given, parsed once the whole line is.
struct FaultSwitchTexts
{
    std::vector<std::string> failNext;
    std::vector<std::string> failOn;
};

// Refuses an empty path (an unset shell variable): it names no file, so it must not pass for an
// option left out.
extern const CLI::Validator NonEmptyPath;

// --fail-call, --fail-next, --fail-on and --count-calls on one command.
void AddFaultOptions(CLI::App* command, FaultSwitches& faults, FaultSwitchTexts& texts);
// Parses the texts (already validated) into `faults`.
void ParseFaultTexts(const FaultSwitchTexts& texts, FaultSwitches& faults);

// init, clear, format, recreate, object and stats.
void AddMaintenanceCommands(CLI::App& app, CommandLine& line, FaultSwitchTexts& texts);

} // namespace KravikHost
