// The kravik host's own logic, without a run: exit-code policy, command line, fault switches and
// the progress line.
#include "host/CommandLine.h"
#include "host/ExitCode.h"
#include "host/FaultSwitches.h"
#include "host/ProgressDisplay.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace KravikHost {
namespace {

struct ExitCase
{
    bool completed;
    int warnings, errors, fixed;
    ExitCode expected;
};

TEST(ExitCodeTest, WorstConditionOfTheRunDecides)
{
    const ExitCase cases[] = {
        {true, 0, 0, 0, EXIT_CLEAN},
        {true, 0, 0, 3, EXIT_REPAIRED},
        {true, 1, 0, 0, EXIT_FINDINGS},
        {true, 0, 2, 0, EXIT_FINDINGS},
        {true, 1, 1, 5, EXIT_FINDINGS}, // repaired some, but findings remain
        {false, 0, 0, 0, EXIT_OPERATIONAL},
        {false, 2, 2, 2, EXIT_OPERATIONAL},
    };
    for (const ExitCase& c : cases)
    {
        RunSummary summary;
        summary.completed = c.completed;
        summary.warnings = c.warnings;
        summary.errors = c.errors;
        summary.fixed = c.fixed;
        EXPECT_EQ(c.expected, ExitCodeFor(summary))
            << c.completed << " " << c.warnings << " " << c.errors << " " << c.fixed;
    }
}

TEST(FaultSwitchesTest, IndexTextGivesTheIndexValue)
{
    const struct
    {
        const char* text;
        uint64_t value;
    } cases[] = {
        {"5-0-49", (49ull << 56) | 5},
        {"0-0-0", 0},
        {"-3-0-255", (255ull << 56) | 0xFFFFFFFDull},
        {"4294967295-16777215-255", 0xFFFFFFFFFFFFFFFFull},
        {"7-2-24", (24ull << 56) | (2ull << 32) | 7},
    };
    for (const auto& c : cases)
    {
        uint64_t value = 1;
        EXPECT_EQ("", ParseIndexText(c.text, value)) << c.text;
        EXPECT_EQ(c.value, value) << c.text;
    }
    for (const char* bad : {"", "5", "5-0", "5-0-256", "5-16777216-1", "a-0-1", "5--1-49", "5-0-49-1", "5-0-4 9"})
    {
        uint64_t value = 0;
        EXPECT_NE("", ParseIndexText(bad, value)) << bad;
    }
}

TEST(FaultSwitchesTest, FailNextTakesOperationAndPositiveCount)
{
    FailNextSwitch parsed;
    ASSERT_EQ("", ParseFailNext("GetIterPins.IsValid=3", parsed));
    EXPECT_EQ("GetIterPins.IsValid", parsed.operation);
    EXPECT_EQ(3, parsed.count);
    for (const char* bad : {"GetName", "=2", "GetName=", "GetName=0", "GetName=-1", "GetName=2x", "GetName=99999999999"})
        EXPECT_NE("", ParseFailNext(bad, parsed)) << bad;
}

// A fault on an operation the database does not have would never fire: both switches refuse it,
// as the design loader does.
TEST(FaultSwitchesTest, UnknownOperationsAreRefused)
{
    FailNextSwitch next;
    FailOnSwitch on;
    for (const char* unknown : {"GetNmae", "getname", "GetName.Count", "GetIterPins.IsValid.IsValid"})
    {
        EXPECT_EQ("unknown operation \"" + std::string(unknown) + "\"", ParseFailNext(std::string(unknown) + "=1", next));
        EXPECT_EQ("unknown operation \"" + std::string(unknown) + "\"", ParseFailOn(std::string("63-0-49:") + unknown, on));
    }
    EXPECT_EQ("", ParseFailNext("GetName=1", next));
    EXPECT_EQ("", ParseFailOn("63-0-49:GetIterPins.IsValid:1", on));
}

TEST(FaultSwitchesTest, FailOnTakesIndexOperationAndOptionalCount)
{
    FailOnSwitch parsed;
    ASSERT_EQ("", ParseFailOn("63-0-49:GetIterPins", parsed));
    EXPECT_EQ((49ull << 56) | 63, parsed.index);
    EXPECT_EQ("GetIterPins", parsed.operation);
    EXPECT_EQ(-1, parsed.count);

    ASSERT_EQ("", ParseFailOn("63-0-49:GetIterPins.GetCount:2", parsed));
    EXPECT_EQ("GetIterPins.GetCount", parsed.operation);
    EXPECT_EQ(2, parsed.count);

    for (const char* bad : {"63-0-49", "63-0-49:", "63-0-49::2", "x:GetName", "63-0-49:GetName:0", "63-0-49:GetName:a"})
        EXPECT_NE("", ParseFailOn(bad, parsed)) << bad;
}

// Parses a command line given as words, the program name first.
int Parse(std::vector<const char*> words, CommandLine& line, std::string* err = nullptr)
{
    words.insert(words.begin(), "kravik");
    std::ostringstream out, errors;
    const int code = ParseCommandLine(static_cast<int>(words.size()), words.data(), line, out, errors);
    if (err != nullptr)
        *err = errors.str();
    return code;
}

TEST(CommandLineTest, CheckTakesEveryOption)
{
    CommandLine line;
    ASSERT_EQ(-1, Parse({"check", "d.json", "--snapshot", "s", "--top", "T", "--constraints", "c.json",
                         "--log-level", "2", "--log", "l.txt", "--filter", "f.txt", "--fix", "--back-end", "--thread",
                         "--output", "o.json", "--fail-call", "7", "--fail-next", "GetName=2", "--fail-next", "Lock=1",
                         "--fail-on", "5-0-49:GetIterPins:1", "--count-calls"},
                        line));
    const CheckOptions& o = line.check;
    EXPECT_EQ(CommandLine::CHECK, line.command);
    EXPECT_EQ("d.json", o.design);
    EXPECT_EQ("s", o.snapshot);
    EXPECT_EQ("T", o.topBlock);
    EXPECT_EQ("c.json", o.constraints);
    EXPECT_EQ(2, o.logLevel);
    EXPECT_EQ("l.txt", o.logFile);
    EXPECT_EQ("f.txt", o.filterFile);
    EXPECT_TRUE(o.fix && o.backEnd && o.thread);
    EXPECT_EQ("o.json", o.outputFile);
    EXPECT_EQ(7u, o.faults.failCall);
    ASSERT_EQ(2u, o.faults.failNext.size());
    EXPECT_EQ("Lock", o.faults.failNext[1].operation);
    ASSERT_EQ(1u, o.faults.failOn.size());
    EXPECT_EQ(1, o.faults.failOn[0].count);
    EXPECT_TRUE(o.faults.countCalls);
}

TEST(CommandLineTest, CheckDefaults)
{
    CommandLine line;
    ASSERT_EQ(-1, Parse({"check", "d.json"}, line));
    EXPECT_EQ(1, line.check.logLevel);
    EXPECT_TRUE(line.check.snapshot.empty() && line.check.topBlock.empty() && line.check.logFile.empty());
    EXPECT_FALSE(line.check.fix || line.check.thread || line.check.faults.Any() || line.check.faults.countCalls);
}

TEST(CommandLineTest, UsageErrorsGiveTheUsageCode)
{
    const std::vector<std::vector<const char*>> cases = {
        {"check"},
        {"frobnicate"},
        {"check", "a.json", "b.json"},
        {"check", "a.json", "--log-level", "3"},
        {"check", "a.json", "--log-level", "x"},
        {"check", "a.json", "--output", "o.json"}, // a check never writes the design
        {"check", "a.json", "--fail-call", "0"},
        {"check", "a.json", "--fail-next", "GetName"},
        {"check", "a.json", "--fail-on", "GetName"},
        {"check", "a.json", "--no-such-option"},
        {"list-tests", "extra"},
    };
    for (const auto& words : cases)
    {
        CommandLine line;
        std::string err;
        EXPECT_EQ(EXIT_USAGE, Parse(words, line, &err)) << (words.empty() ? "(none)" : words[0]);
        EXPECT_EQ(0u, err.rfind("kravik: ", 0)) << err;
    }
}

TEST(CommandLineTest, HelpListsCommandsOptionsAndExitCodes)
{
    std::vector<const char*> words = {"kravik", "--help"};
    CommandLine line;
    std::ostringstream out, err;
    EXPECT_EQ(0, ParseCommandLine(2, words.data(), line, out, err));
    for (const char* text : {"check", "list-tests", "--snapshot", "--top", "--constraints", "--log-level", "--log",
                             "--filter", "--fix", "--back-end", "--thread", "--output", "--fail-call", "--fail-next",
                             "--fail-on", "--count-calls", "Exit codes", "NORV_CIC_RUN_HIDDEN_TESTS"})
        EXPECT_NE(std::string::npos, out.str().find(text)) << text;
    EXPECT_EQ("", err.str());
}

TEST(CommandLineTest, ListTestsTakesAFilter)
{
    CommandLine line;
    ASSERT_EQ(-1, Parse({"list-tests", "--filter", "skip.txt"}, line));
    EXPECT_EQ(CommandLine::LIST_TESTS, line.command);
    EXPECT_EQ("skip.txt", line.listTests.filterFile);
}

// Drives the observer as a fix-mode run over two tests does: two passes, a step before every test
// but the first of each pass, the total at the end.
void FixModeRun(ProgressDisplay& progress, bool stopBeforeThird)
{
    progress.OnStartTests();
    progress.OnSetTotalSteps(4);
    progress.OnFixState(false, 0);
    progress.OnSetCurrentStep(1);
    progress.OnFixState(false, 1);
    progress.OnFixState(false, 2); // first test of pass 2: no step is reported
    if (stopBeforeThird)
    {
        progress.OnEndTests();
        return;
    }
    progress.OnSetCurrentStep(3);
    progress.OnFixState(true, 2);
    progress.OnSetCurrentStep(4);
    progress.OnEndTests();
}

TEST(ProgressDisplayTest, DrawsOneLinePerTestAndErasesItAtTheEnd)
{
    std::ostringstream out;
    ProgressDisplay progress(out, true, {"InitializationTest", "UniqueNetClassName"});
    FixModeRun(progress, false);
    EXPECT_EQ("\r[1/4] InitializationTest\x1b[K"
              "\r[2/4] UniqueNetClassName (1 fixed)\x1b[K"
              "\r[3/4] InitializationTest (2 fixed)\x1b[K"
              "\r[4/4] UniqueNetClassName (2 fixed)\x1b[K"
              "\r\x1b[K",
              out.str());
    EXPECT_TRUE(progress.Started());
    EXPECT_TRUE(progress.Completed());
}

TEST(ProgressDisplayTest, StoppedRunIsNotCompleted)
{
    std::ostringstream out;
    ProgressDisplay progress(out, false, {"A", "B"});
    FixModeRun(progress, true);
    EXPECT_TRUE(progress.Started());
    EXPECT_FALSE(progress.Completed());
    EXPECT_EQ("", out.str()); // drawing off: nothing written
}

TEST(ProgressDisplayTest, NoRunIsNeitherStartedNorCompleted)
{
    std::ostringstream out;
    ProgressDisplay progress(out, true, {"A"});
    EXPECT_FALSE(progress.Started());
    EXPECT_FALSE(progress.Completed());
    progress.Clear(); // nothing drawn, nothing to erase
    EXPECT_EQ("", out.str());
}

TEST(ProgressDisplayTest, LongLinesAreCutToTheTerminalWidth)
{
    std::ostringstream out;
    ProgressDisplay progress(out, true, {std::string(100, 'x')}, 20);
    progress.OnStartTests();
    progress.OnSetTotalSteps(1);
    progress.OnFixState(false, 0);
    EXPECT_EQ("\r[1/1] xxxxxxxxxxxxx\x1b[K", out.str()); // 19 columns: the cursor stays on the line
}

} // namespace
} // namespace KravikHost
