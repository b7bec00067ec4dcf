// End-to-end tests of what a person at the command line meets first: the command overview and
// version, the documented first commands, the note on hidden tests and Ctrl-C during a check.
#include "KravikRunner.h"

#include "bench/DesignGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace KravikTest {
namespace {

struct OverviewCase
{
    std::vector<std::string> args;
    int exitCode;
    std::string outPattern; // the whole standard output, as a regular expression
    std::string err = "";   // the whole standard error
};

const char kCommands[] = "Usage: kravik COMMAND \\[OPTIONS\\]\n\nCommands:\n"
                         "  check       Check a design file[^\n]+\n  list-tests  List the tests[^\n]+\n"
                         "  init        [^\n]+\n  clear       [^\n]+\n  format      [^\n]+\n  recreate    [^\n]+\n"
                         "  object      [^\n]+\n  stats       [^\n]+\n\nRun 'kravik COMMAND --help'[^\n]+\n";

// Plain kravik and an unknown command list the commands; `kravik help [COMMAND]` is the help.
TEST(KravikOverviewTest, PlainKravikListsTheCommandsAndVersionPrintsIt)
{
    const OverviewCase cases[] = {
        {{}, 16, "kravik: [^\n]+\n\n" + std::string(kCommands)},
        {{"--version"}, 0, "kravik [0-9]+\\.[0-9]+\\.[0-9]+\n"},
        {{"chek", "x.json"}, 16, "", "kravik: unknown command 'chek'\n"},
    };
    for (const OverviewCase& c : cases)
    {
        const KravikRun run = RunKravik(c.args);
        EXPECT_EQ(c.exitCode, run.exitCode) << run.err;
        EXPECT_TRUE(std::regex_match(run.out, std::regex(c.outPattern))) << run.out;
        if (c.err.empty())
            EXPECT_EQ("", run.err);
        else
            EXPECT_TRUE(std::regex_match(run.err, std::regex(c.err + kCommands))) << run.err;
    }
    for (const char* command : {"", "check", "stats"})
    {
        std::vector<std::string> asked = {"help"}, flagged = {"--help"};
        if (*command != '\0')
        {
            asked.push_back(command);
            flagged.insert(flagged.begin(), command);
        }
        const KravikRun help = RunKravik(asked);
        EXPECT_EQ(0, help.exitCode) << help.err;
        EXPECT_EQ(RunKravik(flagged).out, help.out) << command;
        EXPECT_NE(std::string::npos, help.out.find("Usage: kravik " + std::string(command))) << help.out;
    }
}

// The `kravik check` commands that the help and the README show, with their paths taken from the
// source folder.
std::vector<std::vector<std::string>> ShownCommands()
{
    std::vector<std::vector<std::string>> commands;
    std::istringstream help(RunKravik({"--help"}).out), readme(ReadFile(KRAVIK_SOURCE_DIR "/README.md"));
    for (std::istream* text : {static_cast<std::istream*>(&help), static_cast<std::istream*>(&readme)})
        for (std::string line; std::getline(*text, line);)
        {
            const size_t at = line.find("kravik check examples/");
            if (at == std::string::npos)
                continue;
            std::istringstream words(line.substr(at + 7));
            std::vector<std::string> args;
            for (std::string word; words >> word;)
                args.push_back(word.rfind("examples/", 0) == 0 ? KRAVIK_SOURCE_DIR "/" + word : word);
            commands.push_back(args);
        }
    return commands;
}

// The first command a user copies must check the clean example clean: against its constraints file.
TEST(KravikOverviewTest, TheCommandsShownCheckTheCleanExampleClean)
{
    const std::vector<std::vector<std::string>> commands = ShownCommands();
    ASSERT_GE(commands.size(), 2u) << "the help and the README each show a kravik check command";
    for (const std::vector<std::string>& args : commands)
    {
        std::string line;
        for (const std::string& arg : args)
            line += " " + arg;
        EXPECT_NE(std::string::npos, line.find(" --constraints ")) << line;
        EXPECT_EQ(0, RunKravik(args).exitCode) << line;
    }
}

// A full list shows nothing; the Tamsa flow leaves out tests of its own.
TEST(KravikListTestsNoteTest, TerminalNoteCountsTheTestsTheEnvironmentLeavesOut)
{
    const size_t all = RegisteredTests({"NORV_CIC_RUN_HIDDEN_TESTS=1"}).size();
    const size_t plain = RegisteredTests().size();
    const size_t tamsaHidden = RegisteredTests({"NORV_CIC_RUN_HIDDEN_TESTS=1", "NORV_TAMSA_FLOW=1"}).size();
    const std::string hidden = std::to_string(all - plain) + " hidden tests are not listed; set NORV_CIC_RUN_HIDDEN_TESTS=1 to show them";
    const std::string tamsa = std::to_string(all - tamsaHidden) + " tests are left out in the Tamsa flow (set by NORV_TAMSA_FLOW or QUIL_VERSION)";
    const struct
    {
        std::vector<std::string> env;
        std::string note;
    } cases[] = {
        {{}, "kravik: " + hidden + "\r\n"},
        {{"NORV_CIC_RUN_HIDDEN_TESTS=1"}, ""},
        {{"NORV_TAMSA_FLOW=1"}, "kravik: " + hidden + "; " + tamsa + "\r\n"},
        {{"NORV_CIC_RUN_HIDDEN_TESTS=1", "QUIL_VERSION=9.3TAMSA"}, "kravik: " + tamsa + "\r\n"},
    };
    for (const auto& c : cases)
    {
        const KravikRun run = RunKravikOnTerminal({"list-tests"}, c.env);
        EXPECT_EQ(0, run.exitCode);
        EXPECT_EQ(c.note, run.err);
        EXPECT_EQ(RunKravik({"list-tests"}, c.env).out, run.out) << "the list itself is unchanged";
    }
}

// A design that takes a noticeable time to load and check, written once per test program.
const std::string& SlowDesign()
{
    static const TempDir dir;
    static const std::string path = [] {
        kravik_bench::DesignOptions options;
        options.pins = 40000;
        std::ofstream out(dir.File("slow.json"), std::ios::binary);
        kravik_bench::GenerateDesign(options, out);
        return dir.File("slow.json");
    }();
    return path;
}

std::vector<std::string> CheckSlow(std::vector<std::string> options)
{
    options.insert(options.begin(), {"check", SlowDesign(), "--constraints", ExamplePath("constraints-example.json")});
    return options;
}

const char kNotice[] = "\r\x1b[Kkravik: stopping after the current test; press Ctrl-C again to quit at once\r\n";

// A first Ctrl-C, pressed while the design loads or during the run, stops the run before its next
// test: no final log, exit code 32, and in fix mode nothing written, to --output or onto the design.
TEST(KravikInterruptTest, FirstCtrlCStopsTheRunAndSavesNothing)
{
    TempDir dir;
    const std::string copy = dir.File("design.json"), output = dir.File("repaired.json");
    WriteFile(copy, ReadFile(SlowDesign()));
    const std::string loading = "\rLoading ", running = "\r[1/";
    const struct
    {
        std::vector<std::string> args;
        std::string design;
        std::string pressedAfter;
        std::string reason;
    } cases[] = {
        {CheckSlow({}), SlowDesign(), loading, "stopped by Ctrl-C"},
        {CheckSlow({}), SlowDesign(), running, "stopped by Ctrl-C"},
        {CheckSlow({"--thread"}), SlowDesign(), running, "stopped by Ctrl-C"},
        {CheckSlow({"--fix", "--output", output}), SlowDesign(), loading, "stopped by Ctrl-C; nothing was saved"},
        {CheckSlow({"--fix", "--output", output}), SlowDesign(), running, "stopped by Ctrl-C; nothing was saved"},
        {{"check", copy, "--fix"}, copy, running, "stopped by Ctrl-C; nothing was saved"},
    };
    for (const auto& c : cases)
    {
        const KravikRun run = RunKravikInterrupted(c.args, 1, c.pressedAfter);
        EXPECT_EQ(32, run.exitCode) << c.pressedAfter << run.err;
        EXPECT_NE(std::string::npos, run.err.find(kNotice)) << run.err;
        const std::string last = "kravik: " + c.design + ": " + c.reason + "\r\n";
        EXPECT_EQ(last, run.err.substr(run.err.size() - std::min(run.err.size(), last.size()))) << run.err;
        EXPECT_EQ("", run.out) << "a stopped run writes no final log";
    }
    EXPECT_EQ(std::vector<std::string>{"design.json"}, dir.List()) << "no repaired design, no backup";
    EXPECT_EQ(ReadFile(SlowDesign()), ReadFile(copy));
}

TEST(KravikInterruptTest, SecondCtrlCEndsKravikAtOnce)
{
    TempDir dir;
    const KravikRun run = RunKravikInterrupted(CheckSlow({"--fix", "--output", dir.File("repaired.json")}), 2);
    EXPECT_EQ(SIGINT, run.signal) << run.err;
    EXPECT_NE(std::string::npos, run.err.find(kNotice)) << run.err;
    // Nothing saved; the lock of the output stays, as any killed writer's, for the next run to take over.
    EXPECT_EQ(std::vector<std::string>{"repaired.json.lock"}, dir.List());
}

} // namespace
} // namespace KravikTest
