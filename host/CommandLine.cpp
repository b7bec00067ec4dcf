#include "host/CommandLine.h"

#include "host/ExitCode.h"

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
      block, unreadable filter file, unwritable log, Norv data locked against
      repairs, check stopped before its end, repaired design not saved, or
      an injected fault fired in a run that would otherwise have been clean
  16  usage error

Environment:
  NORV_CIC_RUN_HIDDEN_TESTS  set and not empty: the hidden tests are registered too
  NORV_TAMSA_FLOW            set and not empty: the Tamsa flow (fewer tests)
  QUIL_VERSION               "9.3TAMSA" or "9.3.1TAMSA" also select the Tamsa flow

The check log goes to standard output (or --log FILE); when standard error is a
terminal it shows the progress of the run. A check never writes the design; in fix
mode a changed design is saved to --output FILE, or else back onto DESIGN after its
previous content is kept as DESIGN.bak. The file formats are described in docs/.)";

// Checks a repeatable switch's text with the given parser; CLI11 reports the text it returns.
template <typename Switch>
CLI::Validator SwitchValidator(std::string (*parse)(const std::string&, Switch&))
{
    return CLI::Validator(
        [parse](std::string& text) {
            Switch parsed;
            return parse(text, parsed);
        },
        "");
}

std::string CountdownError(std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    const bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly || errno != 0 || *end != '\0' || value == 0)
        return "K must be a positive number: " + text;
    return "";
}

template <typename Switch>
std::vector<Switch> ParseAll(const std::vector<std::string>& texts,
                             std::string (*parse)(const std::string&, Switch&))
{
    std::vector<Switch> result(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        parse(texts[i], result[i]); // already validated by CLI11
    return result;
}

void AddCheckCommand(CLI::App& app, CommandLine& line, std::vector<std::string>& failNext,
                     std::vector<std::string>& failOn)
{
    CheckOptions& o = line.check;
    CLI::App* check = app.add_subcommand("check", "Check a design file (and repair it with --fix)");
    check->callback([&line] { line.command = CommandLine::CHECK; });
    check->add_option("DESIGN", o.design, "Design file (JSON)")->required()->type_name("FILE");
    check->add_option("--snapshot", o.snapshot, "Snapshot to check (default: the file's first)")
        ->type_name("NAME");
    check->add_option("--top", o.topBlock, "Top block to check (default: the snapshot's first)")
        ->type_name("BLOCK");
    check->add_option("--constraints", o.constraints,
                      "Constraints file for the constraint checks (without it they report ERROR 5401)")
        ->type_name("FILE");
    check->add_option("--log-level", o.logLevel, "0 errors, 1 also warnings (default), 2 also infos")
        ->check(CLI::Range(0, 2).description(""))
        ->type_name("0|1|2");
    check->add_option("--log", o.logFile, "Write the check log to FILE instead of standard output")
        ->type_name("FILE");
    check->add_option("--filter", o.filterFile, "Skip the tests whose run numbers FILE lists")
        ->type_name("FILE");
    CLI::Option* fix = check->add_flag("--fix", o.fix, "Repair what the check finds (two passes)");
    check->add_flag("--back-end", o.backEnd, "Run as the back end: only repairs allowed there");
    check->add_flag("--thread", o.thread, "Run the check on the checker's worker thread");
    check->add_option("--output", o.outputFile, "Fix mode: save the repaired design to FILE")
        ->type_name("FILE")
        ->needs(fix);

    const char* faults = "Database faults and counts";
    check->add_option("--fail-call", o.faults.failCall, "Fail the K-th database call of the run")
        ->check(CLI::Validator(&CountdownError, ""))
        ->type_name("K")
        ->group(faults);
    check->add_option("--fail-next", failNext, "Fail the next N calls of operation OP (repeatable)")
        ->check(SwitchValidator(&ParseFailNext))
        ->type_name("OP=N")
        ->group(faults);
    check->add_option("--fail-on", failOn,
                      "Fail calls of OP on object INDEX (e.g. 5-0-49), every call or COUNT (repeatable)")
        ->check(SwitchValidator(&ParseFailOn))
        ->type_name("INDEX:OP[:COUNT]")
        ->group(faults);
    check->add_flag("--count-calls", o.faults.countCalls,
                    "Print the database calls per operation to standard error after the run")
        ->group(faults);
}

void AddListTestsCommand(CLI::App& app, CommandLine& line)
{
    CLI::App* list = app.add_subcommand("list-tests", "List the tests in force, by run number");
    list->callback([&line] { line.command = CommandLine::LIST_TESTS; });
    list->add_option("--filter", line.listTests.filterFile, "Leave out the tests whose run numbers FILE lists")
        ->type_name("FILE");
}

// What plain `kravik` prints: every command of the app with its one-line description, so that a
// command added to the app is listed without more code.
void PrintCommands(const CLI::App& app, std::ostream& out)
{
    out << app.get_description() << "\n\nUsage: kravik COMMAND [OPTIONS]\n\nCommands:\n";
    size_t width = 0;
    for (const CLI::App* command : app.get_subcommands({}))
        width = std::max(width, command->get_name().size());
    for (const CLI::App* command : app.get_subcommands({}))
        out << "  " << command->get_name() << std::string(width - command->get_name().size() + 2, ' ')
            << command->get_description() << "\n";
    out << "\nRun 'kravik COMMAND --help' for a command's options, 'kravik --help' for all of them." << std::endl;
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
        return std::string("kravik: ") + e.what() + "\nRun 'kravik --help' for the commands and options.\n";
    });

    std::vector<std::string> failNext, failOn;
    AddCheckCommand(app, line, failNext, failOn);
    AddListTestsCommand(app, line);
    if (argc <= 1)
    {
        PrintCommands(app, out);
        return EXIT_USAGE;
    }

    try
    {
        app.parse(argc, argv);
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

    line.check.faults.failNext = ParseAll(failNext, &ParseFailNext);
    line.check.faults.failOn = ParseAll(failOn, &ParseFailOn);
    return -1;
}

} // namespace KravikHost
