// End-to-end tests of the kravik program: each runs the built binary on a design file and compares
// the whole check log with the expected log under data/ (KravikRunner.h says how those are kept).
#include "KravikRunner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace KravikTest {
namespace {

const std::string kConstraints = ExamplePath("constraints-example.json");

std::vector<std::string> Check(const std::string& design, std::vector<std::string> options = {})
{
    options.insert(options.begin(), {"check", design, "--constraints", kConstraints});
    return options;
}

// The tests registered with no environment switch, asked once.
const std::vector<std::string>& Tests()
{
    static const std::vector<std::string> names = RegisteredTests();
    return names;
}

struct LogCase
{
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* expectedLog;
    std::string expectedErr = ""; // standard error is no terminal here: no progress line
};

std::ostream& operator<<(std::ostream& out, const LogCase& c)
{
    return out << c.name;
}

class CheckLogTest : public ::testing::TestWithParam<LogCase>
{
};

TEST_P(CheckLogTest, WritesTheExpectedLogAndExitCode)
{
    const LogCase& c = GetParam();
    const KravikRun run = RunKravik(c.args);
    EXPECT_EQ(c.exitCode, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath(c.expectedLog), Tests()));
    EXPECT_EQ(c.expectedErr, run.err);
}

INSTANTIATE_TEST_SUITE_P(
    Kravik, CheckLogTest,
    ::testing::Values(
        LogCase{"CleanExample", Check(ExamplePath("clean.json")), 0, "clean.log"},
        LogCase{"BrokenExample", Check(ExamplePath("broken.json")), 4, "broken.log"},
        LogCase{"FailNextSwitch", Check(ExamplePath("clean.json"), {"--fail-next", "FindScheme=1"}), 4,
                "clean-fail-next.log",
                "kravik: " + ExamplePath("clean.json")
                    + ": 1 injected fault fired, the first on FindScheme of 21-0-21; the check is incomplete\n"}),
    [](const ::testing::TestParamInfo<LogCase>& info) { return std::string(info.param.name); });

// The worker thread must give the same log and exit code as the host's own thread.
TEST(KravikCheckTest, WorkerThreadGivesTheSameLog)
{
    // Fix mode saves the repaired design over its input: it works on a copy, written afresh per run.
    TempDir dir;
    const std::string copy = dir.File("broken.json");
    const std::string original = ReadFile(ExamplePath("broken.json"));
    const std::vector<std::vector<std::string>> cases = {
        Check(ExamplePath("clean.json")),
        Check(ExamplePath("broken.json")),
        Check(copy, {"--fix"}),
        Check(TwoSnapshotDesign(), {"--snapshot", "final", "--fail-on", "500-0-21:GetNorvGenClear"}),
    };
    for (std::vector<std::string> args : cases)
    {
        WriteFile(copy, original);
        const KravikRun own = RunKravik(args);
        WriteFile(copy, original);
        args.push_back("--thread");
        const KravikRun worker = RunKravik(args);
        EXPECT_EQ(own.exitCode, worker.exitCode) << args[1];
        EXPECT_EQ(NormaliseTimes(own.out), NormaliseTimes(worker.out)) << args[1];
        EXPECT_EQ(own.err, worker.err);
    }
}

TEST(KravikCheckTest, FirstSnapshotByDefaultOtherOnRequest)
{
    const KravikRun first = RunKravik(Check(TwoSnapshotDesign()));
    const KravikRun draft = RunKravik(Check(TwoSnapshotDesign(), {"--snapshot", "draft"}));
    EXPECT_EQ(4, first.exitCode);
    EXPECT_EQ(NormaliseTimes(draft.out), NormaliseTimes(first.out));
    EXPECT_NE(std::string::npos, first.out.find("ERROR 108: No NorvGenClear in database!\n")) << first.out;

    const KravikRun final = RunKravik(Check(TwoSnapshotDesign(), {"--snapshot", "final"}));
    EXPECT_EQ(0, final.exitCode);
    EXPECT_EQ("", CompareLog(final.out, DataPath("clean.log"), Tests()));
}

// The fault lands on the object of the snapshot being checked, though its index is issued in both.
TEST(KravikCheckTest, FailOnSwitchFailsTheNamedObject)
{
    const KravikRun run = RunKravik(
        Check(TwoSnapshotDesign(), {"--snapshot", "final", "--fail-on", "500-0-21:GetNorvGenClear"}));
    EXPECT_EQ(4, run.exitCode);
    EXPECT_EQ("", CompareLog(run.out, DataPath("clean-fail-on.log"), Tests()));
}

// A filtered test is not run: its block says NOT TESTED and the other blocks stay as they were.
TEST(KravikCheckTest, FilterSkipsTheListedRunNumbers)
{
    const KravikRun all = RunKravik(Check(ExamplePath("broken.json")));
    const KravikRun run = RunKravik(Check(ExamplePath("broken.json"), {"--filter", DataPath("skip-first.txt")}));
    const std::string rule = std::string(99, '-') + "\n";
    const std::string initBlock = "Test: NORV database initialization\nResult: NOT TESTED (test broken?)\n"
                                  "Time: 0 seconds\n\n" + rule;
    ASSERT_NE(std::string::npos, all.out.find(rule));
    EXPECT_EQ(NormaliseTimes(initBlock + all.out.substr(all.out.find(rule) + rule.size())), NormaliseTimes(run.out));
    const bool findingsLeft = run.out.find("Result: FAILED") != std::string::npos
        || run.out.find("Result: WARNINGS") != std::string::npos;
    EXPECT_EQ(findingsLeft ? 4 : 0, run.exitCode);
}

// The clean example must stay clean as tests are added, whichever tests the switches register.
TEST(KravikCheckTest, CleanExamplePassesEveryRegisteredTest)
{
    const std::vector<std::vector<std::string>> switches = {
        {}, {"NORV_CIC_RUN_HIDDEN_TESTS=1"}, {"NORV_TAMSA_FLOW=1"}, {"NORV_CIC_RUN_HIDDEN_TESTS=1", "QUIL_VERSION=9.3.1TAMSA"}};
    // Fix mode locks the design it may save: it works on a copy, which other tests do not lock.
    TempDir dir;
    const std::string copy = dir.File("clean.json");
    WriteFile(copy, ReadFile(ExamplePath("clean.json")));
    for (const std::vector<std::string>& env : switches)
        for (const char* mode : {"--log-level=2", "--fix"})
        {
            const KravikRun run = RunKravik(Check(copy, {mode}), env);
            const std::string what = std::string(mode) + (env.empty() ? "" : " " + env[0]);
            EXPECT_EQ(0, run.exitCode) << what << "\n" << run.out << run.err;
            EXPECT_EQ("", CompareLog(run.out, DataPath("clean.log"), RegisteredTests(env))) << what;
        }
}

// On a terminal the progress line first shows the design loading, then counts the tests of both
// passes, and is erased at the end; the log is the same as without it.
TEST(KravikCheckTest, ProgressLineOnATerminal)
{
    TempDir dir;
    const std::string copy = dir.File("clean.json");
    WriteFile(copy, ReadFile(ExamplePath("clean.json")));
    for (const char* thread : {"--log-level=1", "--thread"})
    {
        const KravikRun run = RunKravikOnTerminal(Check(copy, {"--fix", thread}));
        EXPECT_EQ(0, run.exitCode);
        EXPECT_EQ("", CompareLog(run.out, DataPath("clean.log"), Tests()));
        const std::string total = std::to_string(2 * Tests().size());
        // The load lines (cut to the terminal's width) come first; the last one is erased for the tests.
        const size_t lastLoad = run.err.rfind("\rLoading ");
        const size_t firstTest = run.err.find("\r[1/" + total + "] InitializationTest\x1b[K");
        EXPECT_EQ(0u, run.err.rfind("\rLoading ", 0)) << run.err;
        ASSERT_TRUE(lastLoad < firstTest && firstTest != std::string::npos) << run.err;
        EXPECT_EQ("\x1b[K\r\x1b[K", run.err.substr(firstTest - 7, 7)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("\r[" + total + "/" + total + "] ")) << run.err;
        EXPECT_EQ("\r\x1b[K", run.err.substr(run.err.size() - 4)) << run.err;
    }
}

TEST(KravikCheckTest, TopBlockWithoutDesignFailsEveryTest)
{
    const KravikRun run = RunKravik(Check(TwoSnapshotDesign(), {"--snapshot", "final", "--top", "SUB"}));
    EXPECT_EQ(4, run.exitCode);
    // Each test reports the missing design when it starts, before the blocks of the final log.
    EXPECT_EQ(0u, run.out.rfind("ERROR: NORV database initialization\tCan't get NORV design \n", 0)) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("Test: NORV database initialization\nERROR 102: No NorvDesign in database!\n"
                                              "Result: FAILED\n"))
        << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("Result: OK")) << run.out;
}

TEST(KravikCheckTest, LogFileTakesTheLogInsteadOfStandardOutput)
{
    TempDir dir;
    WriteFile(dir.File("check.log"), "an earlier log, longer than the new one will be" + std::string(9999, '.'));
    const KravikRun run = RunKravik(Check(ExamplePath("broken.json"), {"--log", dir.File("check.log")}));
    EXPECT_EQ(4, run.exitCode);
    EXPECT_EQ("", run.out);
    EXPECT_EQ(NormaliseTimes(RunKravik(Check(ExamplePath("broken.json"))).out),
              NormaliseTimes(ReadFile(dir.File("check.log"))));
}

TEST(KravikCheckTest, CheckModeNeverWritesTheDesign)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken.json"));
    WriteFile(dir.File("design.json"), original);
    for (const std::vector<std::string>& extra : {std::vector<std::string>{}, {"--thread"}, {"--back-end"}})
        EXPECT_EQ(4, RunKravik(Check(dir.File("design.json"), extra)).exitCode);
    const KravikRun logOnDesign = RunKravik(Check(dir.File("design.json"), {"--log", dir.Path() + "/./design.json"}));
    EXPECT_EQ(8, logOnDesign.exitCode);
    EXPECT_NE(std::string::npos, logOnDesign.err.find("the log would overwrite the design")) << logOnDesign.err;
    EXPECT_EQ(std::vector<std::string>{"design.json"}, dir.List());
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));
}

// Control characters of names and paths are written as \xHH wherever kravik writes them, in files
// too: a name can neither forge log lines ("Result: OK") nor drive the terminal.
TEST(KravikCheckTest, ControlCharactersOfNamesAndPathsAreEscaped)
{
    TempDir dir;
    std::string design = ReadFile(ExamplePath("broken.json"));
    for (const auto& rename : std::vector<std::pair<std::string, std::string>>{
             {"\"X9\"", "\"X\\u001b[2J9\""},
             {"\"AN1\"", "\"AN1\\nERROR 9999: forged\\nResult: OK\""},
             {"\"rev-a\"", "\"rev\\u0007-a\""},
             {"\"N_CLK_P\", \"name\": \"CLK_P\"", "\"N_CLK_P\", \"name\": \"CLK_P\\u0000X\""},
             {"\"N_CLK_N\", \"name\": \"CLK_N\"", "\"N_CLK_N\", \"name\": \"CLK_P\\u0000Y\""},
             {"\"CTRL_BOARD\"", "\"CTRL\\u0000BOARD\""},
             {"\"CTRL_BOARD\"", "\"CTRL\\u0000BOARD\""}})
    {
        const size_t at = design.find(rename.first);
        ASSERT_NE(std::string::npos, at) << rename.first;
        design.replace(at, rename.first.size(), rename.second);
    }
    const std::string path = dir.File("de\x1b[2Jsign.json"), shownPath = dir.File("de\\x1B[2Jsign.json");
    WriteFile(path, design);

    EXPECT_EQ(4, RunKravik(Check(path, {"--log", dir.File("check.log")})).exitCode);
    const struct
    {
        const char* name;
        std::string text;
        std::vector<std::string> escaped;
    } cases[] = {
        {"log file", ReadFile(dir.File("check.log")),
         {"component X\\x1B[2J9 ", "AN1\\x0AERROR 9999: forged\\x0AResult: OK (", "Physnet CLK_P\\x00X has",
          "net: CLK_P\\x00X has different name than its flat net: CLK_P\n",
          "net: CLK_P\\x00Y has different name than its flat net: CLK_N\n"}},
        {"terminal", RunKravikOnTerminal(Check(path), {}, true).err,
         {"\rLoading " + shownPath, "component X\\x1B[2J9 "}},
        {"error line", RunKravik({"check", path + ".missing"}).err, {"kravik: " + shownPath + ".missing: "}},
        {"stats", RunKravik({"stats", path}).out, {"rev\\x07-a", "CTRL\\x00BOARD"}},
    };
    for (const auto& c : cases)
    {
        for (const std::string& escaped : c.escaped)
            EXPECT_NE(std::string::npos, c.text.find(escaped)) << c.name << ": " << c.text;
        for (const char* raw : {"\x1b[2J", "\nERROR 9999", "\nResult: OK (", "\a"})
            EXPECT_EQ(std::string::npos, c.text.find(raw)) << c.name << ": " << c.text;
    }
}

// A constraints file that cannot be loaded leaves the checks without definitions, which the log
// reports; standard error names the file and the reason.
TEST(KravikCheckTest, AnUnloadableConstraintsFileIsNamedWithItsReason)
{
    TempDir dir;
    WriteFile(dir.File("malformed.json"), "{ \"owners\": ");
    // A second "definitions" would otherwise drop every definition the first one gave.
    std::string repeated = ReadFile(ExamplePath("constraints-full.json"));
    repeated.insert(repeated.rfind('}'), ", \"definitions\": []");
    WriteFile(dir.File("repeated.json"), repeated);
    ASSERT_EQ(0, ::mkfifo(dir.File("fifo.json").c_str(), 0600));
    const struct
    {
        std::string file;
        const char* reason;
    } cases[] = {
        {dir.File("missing.json"), "No such file or directory"},
        {dir.File("malformed.json"), "invalid JSON"},
        {dir.File("fifo.json"), "not a regular file"},
        {dir.File("repeated.json"), "cannot be loaded: /definitions: duplicate key \"definitions\"\n"},
    };
    for (const auto& c : cases)
    {
        const KravikRun run = RunKravik({"check", ExamplePath("clean.json"), "--constraints", c.file});
        EXPECT_EQ(4, run.exitCode) << c.file;
        EXPECT_NE(std::string::npos, run.out.find("ERROR 5401")) << run.out;
        EXPECT_EQ(0u, run.err.rfind("kravik: " + c.file + ": the constraints file cannot be loaded: ", 0)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.reason)) << run.err;
        EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    }
}

// No output may be the same file as an input or another output, however it is spelled (a
// hard link, "./"): the run is refused before anything is written.
TEST(KravikCheckTest, OutputsThatWouldDestroyAnInputAreRefused)
{
    TempDir dir;
    const std::string design = ReadFile(ExamplePath("broken.json"));
    const std::string constraints = ReadFile(ExamplePath("constraints-full.json"));
    WriteFile(dir.File("design.json"), design);
    WriteFile(dir.File("cns.json"), constraints);
    WriteFile(dir.File("filter.txt"), "1\n");
    WriteFile(dir.File("out.json"), "old output");
    ASSERT_EQ(0, ::link(dir.File("cns.json").c_str(), dir.File("cns-link.json").c_str()));
    const std::vector<std::string> base = {"--constraints", dir.File("cns.json"), "--filter", dir.File("filter.txt")};
    const struct
    {
        std::vector<std::string> extra;
        const char* reason;
    } cases[] = {
        {{"--log", dir.Path() + "/./design.json"}, "the log would overwrite the design"},
        {{"--log", dir.File("cns-link.json")}, "the log would overwrite the constraints file"},
        {{"--log", dir.File("filter.txt")}, "the log would overwrite the filter file"},
        {{"--fix", "--output", dir.File("cns.json")}, "the output would overwrite the constraints file"},
        {{"--fix", "--output", dir.File("filter.txt")}, "the output would overwrite the filter file"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> args = {"check", dir.File("design.json")};
        args.insert(args.end(), base.begin(), base.end());
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const KravikRun run = RunKravik(args);
        EXPECT_EQ(8, run.exitCode) << c.reason;
        EXPECT_NE(std::string::npos, run.err.find(c.reason)) << run.err;
        EXPECT_EQ("", run.out);
    }
    EXPECT_EQ(design, ReadFile(dir.File("design.json")));
    EXPECT_EQ(constraints, ReadFile(dir.File("cns.json")));
    EXPECT_EQ("1\n", ReadFile(dir.File("filter.txt")));
    EXPECT_EQ("old output", ReadFile(dir.File("out.json")));
}

// An unchanged design is not saved back onto itself; --output gets it all the same, so that a
// script can check the output next.
TEST(KravikFixTest, UnchangedDesignIsNotSavedInPlaceButToTheOutput)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("clean.json"));
    WriteFile(dir.File("design.json"), original);
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--fix"}, {"--fix", "--output", dir.Path() + "/./design.json"}, {"--fix", "--thread"}})
    {
        const KravikRun run = RunKravik(Check(dir.File("design.json"), extra));
        EXPECT_EQ(0, run.exitCode) << run.err;
        EXPECT_EQ("", CompareLog(run.out, DataPath("clean.log"), Tests()));
    }
    EXPECT_EQ(std::vector<std::string>{"design.json"}, dir.List()); // no backup
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));

    EXPECT_EQ(0, RunKravik(Check(dir.File("design.json"), {"--fix", "--output", dir.File("out.json")})).exitCode);
    const KravikRun next = RunKravik(Check(dir.File("out.json")));
    EXPECT_EQ(0, next.exitCode) << next.err;
    EXPECT_EQ("", CompareLog(next.out, DataPath("clean.log"), Tests()));
}

// Fix mode writes the findings of each pass under its pass line, each followed by its repair's
// outcome; with --output the design file itself is left alone.
TEST(KravikFixTest, FixModeLogShowsPassesAndRepairOutcomes)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken.json"));
    WriteFile(dir.File("design.json"), original);
    const KravikRun run = RunKravik(Check(dir.File("design.json"), {"--fix", "--output", dir.File("out.json")}));
    EXPECT_EQ(4, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-fix.log"), Tests()));
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));
    EXPECT_FALSE(FileExists(dir.File("design.json.bak")));
}

TEST(KravikFixTest, LockedNorvDataStopsTheRepairs)
{
    for (const char* thread : {"--log-level=1", "--thread"})
    {
        const KravikRun run = RunKravik(Check(LockedDesign(), {"--fix", thread}));
        EXPECT_EQ(8, run.exitCode);
        EXPECT_EQ("Cannot lock NORV data to fix issues!\n", run.out);
        EXPECT_EQ("kravik: " + LockedDesign() + ": the Norv data could not be locked for repairs\n", run.err);
    }
    // A check only reads, so the other editor's lock does not stop it.
    const KravikRun run = RunKravik(Check(LockedDesign()));
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", CompareLog(run.out, DataPath("clean.log"), Tests()));
}

struct ExitCase
{
    std::vector<std::string> args;
    int exitCode;
    std::string err = "";            // when given: the first line of standard error
    std::string standardOutput = ""; // when given: where standard output goes (not read)
};

// Every condition has its code; a bad path or a failed write is refused with its reason and, in fix
// mode, nothing saved.
TEST(KravikExitCodeTest, EachConditionHasItsCode)
{
    const std::string clean = ExamplePath("clean.json"), broken = ExamplePath("broken.json");
    TempDir dir;
    const std::string fifo = dir.File("fifo"), out = dir.File("out.json"), noFolder = dir.File("no-folder/out.json");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const std::string full = "cannot write: No space left on device\n";
    TempDir names; // saves in place, names at the limits and a link to a file not there yet
    const std::string copy = names.File("broken.json"), longDesign = names.File(std::string(252, 'd')),
                      longOutput = names.File(std::string(255, 'o')), link = names.File("link.json");
    WriteFile(copy, ReadFile(broken));
    WriteFile(longDesign, ReadFile(broken));
    ASSERT_EQ(0, ::symlink("linked.json", link.c_str()));
    const std::string hardLink = names.File("hard.json"), linkedLock = names.File("locked.json");
    ASSERT_EQ(0, ::link(copy.c_str(), hardLink.c_str()));
    WriteFile(linkedLock, ReadFile(broken));
    ASSERT_EQ(0, ::symlink("elsewhere", (linkedLock + ".lock").c_str()));
    const ExitCase cases[] = {
        {{"--help"}, 0},
        {{"check", "--help"}, 0},
        {Check(clean), 0},
        {Check(ExamplePath("broken.json")), 4},
        {{"check", DataPath("no-such-design.json")}, 8},
        {{"check", DataPath("malformed.json")}, 8},
        {{"check", DataPath("not-json.json")}, 8},
        {Check(clean, {"--snapshot", "no-such-snapshot"}), 8},
        {Check(clean, {"--top", "NO_SUCH_BLOCK"}), 8},
        {Check(clean, {"--filter", DataPath("no-such-filter.txt")}), 8},
        {Check(clean, {"--filter", DataPath(".")}), 8}, // a folder
        {Check(clean, {"--log", DataPath("no-such-folder/check.log")}), 8},
        {{"list-tests", "--filter", DataPath("no-such-filter.txt")}, 8},
        {Check(clean, {"--fix", "--output", fifo}), 8, "kravik: " + fifo + ": not a regular file\n"},
        {Check(clean, {"--fix", "--output", dir.Path()}), 8, "kravik: " + dir.Path() + ": not a regular file\n"},
        {{"init", clean, "--output", fifo}, 8, "kravik: " + fifo + ": not a regular file\n"},
        {Check(broken, {"--fix", "--output", noFolder, "--log", "/dev/null"}), 8,
         "kravik: " + noFolder + ": cannot write: No such file or directory\n"},
        {Check(broken, {"--fix", "--output", out, "--log", "/dev/full"}), 8, "kravik: /dev/full: " + full},
        {Check(clean), 8, "kravik: standard output: " + full, "/dev/full"},
        {{"list-tests"}, 8, "kravik: standard output: " + full, "/dev/full"},
        {{"stats", clean, "--log", "/dev/full"}, 8, "kravik: /dev/full: " + full},
        {{"stats", clean}, 8, "kravik: standard output: " + full, "/dev/full"},
        {{"--help"}, 8, "kravik: standard output: " + full, "/dev/full"},
        {Check(copy, {"--fix"}), 8, "kravik: standard output: cannot write: Bad file descriptor\n", kClosedOutput},
        {{"clear", longDesign, "--no-backup"}, 8,
         "kravik: " + longDesign + ": the name is too long for a backup beside it (at most 251 bytes)\n"},
        {Check(broken, {"--fix", "--output", longOutput, "--log", "/dev/null"}), 4, "kravik: saved " + longOutput + "\n"},
        // Saved under the other name of a hard link, the design would keep the old bytes.
        {{"clear", copy, "--output", hardLink}, 8, "kravik: " + hardLink + ": the output is a hard link of the design; not saved\n"},
        {{"clear", linkedLock}, 8, "kravik: " + linkedLock + ": the lock file " + linkedLock + ".lock is a symbolic link\n"},
        {{}, 16}, // the usage errors themselves are the command line's unit tests
        {Check(clean, {"--output", "out.json"}), 16},
        {{"chek", clean}, 16, "kravik: unknown command 'chek'\n"},
        {{"help", "nosuch"}, 16, "kravik: unknown command 'nosuch'\n"},
        {{"check", ""}, 16, "kravik: DESIGN: the path is empty\n"},
        {Check(clean, {"--fix", "--output", ""}), 16, "kravik: --output: the path is empty\n"},
        {Check(clean, {"--log", ""}), 16, "kravik: --log: the path is empty\n"},
        {Check(clean, {"--filter", ""}), 16, "kravik: --filter: the path is empty\n"},
        {{"check", clean, "--constraints", ""}, 16, "kravik: --constraints: the path is empty\n"},
        {{"list-tests", "--filter", ""}, 16, "kravik: --filter: the path is empty\n"},
        {{"stats", ""}, 16, "kravik: DESIGN: the path is empty\n"},
        {Check(broken, {"--fix", "--log", out, "--output", dir.Path() + "/./out.json"}), 16,
         "kravik: " + out + ": --log and --output name the same file\n"},
        {{"init", clean, "--log", noFolder, "--output", noFolder}, 16,
         "kravik: " + noFolder + ": --log and --output name the same file\n"},
        {Check(broken, {"--fix", "--log", link, "--output", names.File("linked.json")}), 16,
         "kravik: " + link + ": --log and --output name the same file\n"},
        // The save would replace or remove the log.
        {Check(copy, {"--fix", "--log", copy + ".bak"}), 16, "kravik: " + copy + ".bak: --log names the design's backup\n"},
        {{"clear", copy, "--log", copy + ".lock"}, 16, "kravik: " + copy + ".lock: --log names the design's lock file\n"},
        {Check(copy, {"--fix", "--output", out, "--log", out + ".lock"}), 16,
         "kravik: " + out + ".lock: --log names the output's lock file\n"},
    };
    for (const ExitCase& c : cases)
    {
        const KravikRun run = c.standardOutput.empty() ? RunKravik(c.args) : RunKravikWithOutputTo(c.args, c.standardOutput);
        std::string line;
        for (const std::string& arg : c.args)
            line += " " + arg;
        EXPECT_EQ(c.exitCode, run.exitCode) << "kravik" << line << "\n" << run.err;
        if (!c.err.empty())
        {
            EXPECT_EQ(c.err, run.err.substr(0, run.err.find('\n') + 1)) << line;
        }
        if (c.exitCode == 8)
        {
            // One clear line that names the file; no log.
            EXPECT_EQ(0u, run.err.rfind("kravik: ", 0)) << line;
            EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
            EXPECT_EQ("", run.out) << line;
        }
    }
    EXPECT_EQ(std::vector<std::string>{"fifo"}, dir.List()) << "nothing saved, no log written";
    EXPECT_EQ((std::vector<std::string>{"broken.json", std::string(252, 'd'), "hard.json", "link.json", "locked.json",
                                        "locked.json.lock", std::string(255, 'o')}),
              names.List());
    EXPECT_EQ(ReadFile(broken), ReadFile(copy));
    EXPECT_EQ(ReadFile(broken), ReadFile(longDesign));
}

// The program and the libraries it loads start no other program: none of them imports a call that
// runs a command or a program, or makes a process that could.
TEST(KravikExitCodeTest, TheProgramAndItsLibrariesStartNoProgram)
{
    for (const char* file : {"host/kravik", "libKravik70.so", "platform/lumo/liblumopi.so",
                             "platform/ordax/libordaxcons.so", "platform/quil/libquilflow.so"})
    {
        FILE* symbols = popen(("nm -D --undefined-only " KRAVIK_BINARY_DIR "/" + std::string(file)).c_str(), "r");
        ASSERT_NE(nullptr, symbols);
        std::string imports; // lines "                 U name@VERSION"
        for (char line[1024]; std::fgets(line, sizeof line, symbols) != nullptr;)
            imports += line;
        EXPECT_EQ(0, pclose(symbols)) << file;
        EXPECT_NE(std::string::npos, imports.find(" U ")) << file;
        for (const char* call : {"system", "popen", "fork", "vfork", "clone", "clone3", "execl", "execle", "execlp",
                                 "execv", "execve", "execvp", "execvpe", "fexecve", "posix_spawn", "posix_spawnp",
                                 "wordexp"})
            EXPECT_EQ(std::string::npos, imports.find(" U " + std::string(call) + "@")) << file << " imports " << call;
    }
}

TEST(KravikExitCodeTest, MalformedDesignNamesTheFileAndTheOffendingValue)
{
    const std::string design = DataPath("malformed.json");
    const KravikRun run = RunKravik({"check", design});
    EXPECT_EQ(8, run.exitCode);
    const std::string prefix = "kravik: " + design + ": /snapshots/0/norvConfigs/0/physicalNets/0/parentElectricalNet: ";
    EXPECT_EQ(0u, run.err.rfind(prefix, 0)) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("E_MISSING")) << run.err;
}

TEST(KravikExitCodeTest, MissingSnapshotAndTopBlockAreNamed)
{
    const std::string design = TwoSnapshotDesign();
    EXPECT_EQ("kravik: " + design + ": no snapshot \"old\"\n", RunKravik({"check", design, "--snapshot", "old"}).err);
    EXPECT_EQ("kravik: " + design + ": no top block \"SUB\" in snapshot \"draft\"\n",
              RunKravik({"check", design, "--top", "SUB"}).err);
}

// The lines of a test list, without the empty line that follows each.
std::vector<std::string> ListLines(const std::string& list)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = list.find('\n', start)) != std::string::npos; start = end + 1)
        if (end > start)
            lines.push_back(list.substr(start, end - start));
    return lines;
}

TEST(KravikListTestsTest, ListsTheTestsInForceByRunNumber)
{
    const KravikRun run = RunKravik({"list-tests"});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", run.err);
    const std::vector<std::string> lines = ListLines(run.out);
    ASSERT_EQ(Tests().size() + 1, lines.size()) << run.out;
    EXPECT_EQ("List of tests being in force (all tests) :", lines[0]);
    EXPECT_EQ("0\t NORV database initialization            \tTest checks if NORV database is correctly initialized",
              lines[1]);
    for (size_t n = 0; n < Tests().size(); ++n)
        EXPECT_EQ(0u, lines[n + 1].rfind(std::to_string(n) + "\t " + Tests()[n], 0)) << lines[n + 1];
}

TEST(KravikListTestsTest, FilterLeavesOutTheListedRunNumbers)
{
    const std::vector<std::string> all = ListLines(RunKravik({"list-tests"}).out);
    const KravikRun run = RunKravik({"list-tests", "--filter", DataPath("skip-first.txt")});
    EXPECT_EQ(0, run.exitCode);
    std::vector<std::string> expected(all.begin() + 2, all.end()); // without the header and run number 0
    expected.insert(expected.begin(), "List of tests being in force (test filter defined) :");
    EXPECT_EQ(expected, ListLines(run.out));
}

// The hidden tests are only added, keeping the order; the Tamsa flow only takes away (and some
// tests name themselves after its nets).
TEST(KravikListTestsTest, EnvironmentSwitchesChooseTheTests)
{
    const std::vector<std::string> hidden = RegisteredTests({"NORV_CIC_RUN_HIDDEN_TESTS=1"});
    const std::vector<std::string> tamsa = RegisteredTests({"QUIL_VERSION=9.3TAMSA"});
    EXPECT_EQ(tamsa, RegisteredTests({"NORV_TAMSA_FLOW=yes"}));
    EXPECT_EQ(Tests(), RegisteredTests({"QUIL_VERSION=9.3tamsa"})); // case matters
    EXPECT_EQ(Tests(), RegisteredTests({"NORV_CIC_RUN_HIDDEN_TESTS="}));
    const auto isSubsequence = [](const std::vector<std::string>& part, const std::vector<std::string>& whole) {
        auto at = whole.begin();
        for (const std::string& name : part)
            if ((at = std::find(at, whole.end(), name)) == whole.end())
                return false;
        return true;
    };
    EXPECT_TRUE(isSubsequence(Tests(), hidden));
    EXPECT_LE(tamsa.size(), Tests().size());
    EXPECT_EQ("NORV database initialization", tamsa.at(0));
    EXPECT_EQ("NORV database initialization", hidden.at(0));
}

TEST(KravikFaultTest, CountCallsPrintsEveryOperationAndTheTotal)
{
    const KravikRun run = RunKravik(Check(ExamplePath("clean.json"), {"--count-calls"}));
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ("", CompareLog(run.out, DataPath("clean.log"), Tests())); // the log is unchanged
    EXPECT_EQ(0u, run.err.rfind("Database calls by operation:\n", 0)) << run.err;
    for (const char* operation : {"\tFindScheme\n", "\tFindNetClass\n", "\tGetNorvGenClear\n", "\ttotal\n"})
        EXPECT_NE(std::string::npos, run.err.find(operation)) << operation << "\n" << run.err;
}

// Failing each of the first database calls in turn must never crash the host or stop the run:
// every failed read is a finding (or, for a read the checker does not consult, nothing).
TEST(KravikFaultTest, FailingAnySingleCallGivesFindingsNotACrash)
{
    const KravikRun counted = RunKravik(Check(ExamplePath("clean.json"), {"--count-calls"}));
    const size_t totalAt = counted.err.rfind('\n', counted.err.size() - 2);
    const unsigned long total = std::stoul(counted.err.substr(totalAt + 1));
    ASSERT_GT(total, 0u);
    for (unsigned long k = 1; k <= std::min(total, 48ul); ++k)
    {
        const KravikRun run = RunKravik(Check(ExamplePath("clean.json"), {"--fail-call", std::to_string(k)}));
        // A failure before the tests (opening the snapshot or its UID manager) is an operational
        // error with the reason; any later one gives findings. Once the fault fired the run never
        // passes for clean.
        const bool notStarted = run.err.find("cannot open snapshot") != std::string::npos
                                || run.err.find("cannot get the UID manager") != std::string::npos;
        EXPECT_TRUE(notStarted ? run.exitCode == 8 : (run.exitCode == 4 || run.exitCode == 8))
            << "--fail-call " << k << ": " << run.exitCode << "\n" << run.err;
        EXPECT_NE(std::string::npos, run.err.find("1 injected fault fired, the first on ")) << run.err;
        if (k <= 2)
        {
            EXPECT_TRUE(notStarted) << "--fail-call " << k << ": " << run.err;
        }
    }
}

} // namespace
} // namespace KravikTest

namespace KravikTest {
namespace {

// The one text the comparison leaves out must be exactly the seconds of a time line.
TEST(KravikRunnerTest, NormaliseTimesReplacesOnlyTheSecondsOfTimeLines)
{
    EXPECT_EQ("Test: A\nTime: N seconds\n\nTime: N seconds", NormaliseTimes("Test: A\nTime: 12 seconds\n\nTime: 0 seconds"));
    for (const char* kept : {"Time: 1 second\n", "Time:  seconds\n", "Time: 1x seconds\n", "ERROR 1: Time: 3 seconds\n"})
        EXPECT_EQ(kept, NormaliseTimes(kept));
}

} // namespace
} // namespace KravikTest
