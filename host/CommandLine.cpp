#include "host/CommandLine.h"

#include "host/CommandOptions.h"
#include "host/DesignFile.h"
#include "host/ExitCode.h"
#include "utils/TextUtils.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace KravikHost {

namespace {

const char* const kFooter = R"(
Check a design against its constraints file (without --constraints the
constraint-definition checks report ERROR 5401 and the run exits with 4):
  kravik check examples/clean.json --constraints examples/constraints-example.json

Exit codes (as fsck):
  0   nothing was reported
  1   findings were repaired and none is left (fix mode)
  4   warnings or errors remain
  8   operational error: unreadable or malformed design, missing snapshot or top
      block, unreadable filter file, --output not a regular file, a failed
      write of the log or standard output, Norv data locked against repairs,
      check stopped before its end, repaired design not saved, or an injected
      fault fired in a run that would otherwise have been clean; for the
      maintenance commands: the operation refused or failed, no Norv object
      INDEX, no Norv data for format or recreate, changed design not saved
  16  usage error (also an unknown command, an empty path, a malformed INDEX,
      --no-backup outside clear, --output on stats, --log and --output naming
      one file)
  32  canceled by user request: the run was stopped by Ctrl-C; nothing was saved

Environment:
  NORV_CIC_RUN_HIDDEN_TESTS  set and not empty: the hidden tests are registered too
  NORV_TAMSA_FLOW            set and not empty: the Tamsa flow (fewer tests)
  QUIL_VERSION               "9.3TAMSA" or "9.3.1TAMSA" also select the Tamsa flow
  KRAVIK_FLOW_ID             the flow identifier of the stats report's Install ID line
  KRAVIK_INSTALL_ID          the install identifier printed after it

The check log goes to standard output (or --log FILE); when standard error is a
terminal it shows the progress of the run. A check never writes the design; in fix
mode a changed design is saved back onto DESIGN after its previous content is kept
as DESIGN.bak; with --output FILE, a run that ends with 0, 1 or 4 always saves the
design as it stands after the run to FILE, changed or not. The file formats are
described in docs/.

The maintenance commands (init, clear, format, recreate, object, stats) write their
messages and the statistics report to standard output (or --log FILE). A design
they change is saved like a repaired one: to --output FILE, or else back onto DESIGN
after keeping DESIGN.bak; an unchanged design or a failed operation writes nothing.
Unless given --no-backup, clear requests a project backup first, kept in the
design's backups. object prints "INDEX has constraints or attributes" or "INDEX has
no constraints or attributes"; with --clear it clears them and prints "INDEX cleared".
The fault switches act for the run only: a saved design keeps the faults its file
declared.)";

void AddCheckCommand(CLI::App& app, CommandLine& line, FaultSwitchTexts& faultTexts)
{
    CheckOptions& o = line.check;
    CLI::App* check = app.add_subcommand("check", "Check a design file (and repair it with --fix)");
    check->callback([&line] { line.command = CommandLine::CHECK; });
    check->add_option("DESIGN", o.design, "Design file (JSON)")->required()->check(NonEmptyPath)->type_name("FILE");
    check->add_option("--snapshot", o.snapshot, "Snapshot to check (default: the file's first)")
        ->type_name("NAME");
    check->add_option("--top", o.topBlock, "Top block to check (default: the snapshot's first)")
        ->type_name("BLOCK");
    check->add_option("--constraints", o.constraints,
                      "Constraints file for the constraint checks (without it they report ERROR 5401)")
        ->check(NonEmptyPath)
        ->type_name("FILE");
    check->add_option("--log-level", o.logLevel, "0 errors, 1 also warnings (default), 2 also infos")
        ->check(CLI::Range(0, 2).description(""))
        ->type_name("0|1|2");
    check->add_option("--log", o.logFile, "Write the check log to FILE instead of standard output")
        ->check(NonEmptyPath)
        ->type_name("FILE");
    check->add_option("--filter", o.filterFile, "Skip the tests whose run numbers FILE lists")
        ->check(NonEmptyPath)
        ->type_name("FILE");
    CLI::Option* fix = check->add_flag("--fix", o.fix, "Repair what the check finds (two passes)");
    check->add_flag("--back-end", o.backEnd, "Run as the back end: only repairs allowed there");
    check->add_flag("--thread", o.thread, "Run the check on the checker's worker thread");
    check->add_option("--output", o.outputFile, "Fix mode: save the repaired design to FILE")
        ->check(NonEmptyPath)
        ->type_name("FILE")
        ->needs(fix);

    AddFaultOptions(check, o.faults, faultTexts);
}

void AddListTestsCommand(CLI::App& app, CommandLine& line)
{
    CLI::App* list = app.add_subcommand("list-tests", "List the tests in force, by run number");
    list->callback([&line] { line.command = CommandLine::LIST_TESTS; });
    list->add_option("--filter", line.listTests.filterFile, "Leave out the tests whose run numbers FILE lists")
        ->check(NonEmptyPath)
        ->type_name("FILE");
}

// The usage and every command of the app with its one-line description, so that a command added
// to the app is listed without more code.
void PrintCommands(const CLI::App& app, std::ostream& out)
{
    out << "Usage: kravik COMMAND [OPTIONS]\n\nCommands:\n";
    size_t width = 0;
    for (const CLI::App* command : app.get_subcommands({}))
        width = std::max(width, command->get_name().size());
    for (const CLI::App* command : app.get_subcommands({}))
        out << "  " << command->get_name() << std::string(width - command->get_name().size() + 2, ' ')
            << command->get_description() << "\n";
    out << "\nRun 'kravik COMMAND --help' for a command's options, 'kravik --help' for all of them." << std::endl;
}

bool IsCommand(const CLI::App& app, const std::string& name)
{
    for (const CLI::App* command : app.get_subcommands({}))
        if (command->get_name() == name)
            return true;
    return false;
}

int UnknownCommand(const CLI::App& app, const std::string& name, std::ostream& err)
{
    err << "kravik: unknown command '" << name << "'\n";
    PrintCommands(app, err);
    return EXIT_USAGE;
}

int UsageError(const std::string& text, std::ostream& err)
{
    err << "kravik: " << text << "\nRun 'kravik --help' for the commands and options." << std::endl;
    return EXIT_USAGE;
}

// The log written into the file a changed design is saved to would be lost, or would be the saved
// design: refused by path, whether or not the file exists yet.
int SharedLogAndOutput(const std::string& log, const std::string& output, std::ostream& err)
{
    if (log.empty() || output.empty() || !SameFile(log, output))
        return -1;
    return UsageError(log + ": --log and --output name the same file", err);
}

// The log of a run that saves would be replaced or removed by the save's own files: the backup kept of
// a design saved in place, or the lock file of the file saved.
int LogOverSaveFiles(const std::string& log, const std::string& design, const std::string& output, bool saves,
                     std::ostream& err)
{
    if (!saves || log.empty())
        return -1;
    const bool inPlace = SavesInPlace(design, output);
    const std::string saved = inPlace ? design : output;
    if (inPlace && SameFile(log, design + ".bak"))
        return UsageError(log + ": --log names the design's backup", err);
    if (SameFile(log, SiblingName(ResolvedPath(saved), ".lock")))
        return UsageError(log + (inPlace ? ": --log names the design's lock file" : ": --log names the output's lock file"),
                          err);
    return -1;
}

} // namespace

int ParseCommandLine(int argc, const char* const* argv, CommandLine& line, std::ostream& out, std::ostream& err)
{
    CLI::App app("kravik: checks and repairs the Norv constraint data of a design file", "kravik");
    app.set_help_flag();
    app.set_help_all_flag("-h,--help", "Print this help and exit");
    app.set_version_flag("--version", "kravik " KRAVIK_VERSION, "Print the version and exit");
    app.require_subcommand(1);
    app.footer(kFooter);
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        // The message quotes the arguments as given: their control characters must not reach the terminal.
        return "kravik: " + LumoUtils::escapeControls(e.what())
            + "\nRun 'kravik --help' for the commands and options.\n";
    });

    FaultSwitchTexts faultTexts;
    AddCheckCommand(app, line, faultTexts);
    AddListTestsCommand(app, line);
    AddMaintenanceCommands(app, line, faultTexts);
    if (argc <= 1)
    {
        out << app.get_description() << "\n\n";
        PrintCommands(app, out);
        return EXIT_USAGE;
    }

    // `kravik help [COMMAND]` is `kravik [COMMAND] --help`.
    std::vector<std::string> words(argv, argv + argc);
    if (words[1] == "help")
    {
        if (words.size() > 3)
            return UsageError("help takes one COMMAND at most", err);
        words.erase(words.begin() + 1);
        if (words.size() > 1 && words[1] == "help")
            words.erase(words.begin() + 1);
        words.push_back("--help");
    }
    if (words.size() > 1 && words[1].rfind('-', 0) != 0 && !IsCommand(app, words[1]))
        return UnknownCommand(app, words[1], err);

    try
    {
        std::vector<std::string> reversed(words.rbegin(), words.rend() - 1);
        app.parse(reversed);
    }
    catch (const CLI::Success& e)
    {
        return app.exit(e, out, err);
    }
    catch (const CLI::ParseError& e)
    {
        app.exit(e, out, err);
        return EXIT_USAGE;
    }

    ParseFaultTexts(faultTexts, line.check.faults);
    ParseFaultTexts(faultTexts, line.maintenance.faults);
    if (line.command == CommandLine::CHECK)
    {
        const CheckOptions& o = line.check;
        const int shared = SharedLogAndOutput(o.logFile, o.outputFile, err);
        return shared >= 0 ? shared : LogOverSaveFiles(o.logFile, o.design, o.outputFile, o.fix, err);
    }
    if (line.command == CommandLine::MAINTENANCE)
    {
        const MaintenanceOptions& o = line.maintenance;
        const int shared = SharedLogAndOutput(o.logFile, o.outputFile, err);
        return shared >= 0 ? shared : LogOverSaveFiles(o.logFile, o.design, o.outputFile, o.Saves(), err);
    }
    return -1;
}

} // namespace KravikHost
