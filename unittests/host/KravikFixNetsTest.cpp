// End-to-end tests of the repairs that remove pairs and electrical nets, keep a physical net in one
// electrical net, rebuild nets from flat nets and repair pin sets and virtual pins: kravik checks and
// repairs examples/broken-nets.json (with the hidden tests, which hold the pin-set name check), saves
// the repaired design, and a check of that design no longer reports what was repaired.
#include "KravikRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KravikTest {
namespace {

const std::vector<std::string> kHidden = {"NORV_CIC_RUN_HIDDEN_TESTS=1"};

std::vector<std::string> CheckNets(const std::string& design, const std::vector<std::string>& options = {})
{
    std::vector<std::string> args = {"check", design, "--constraints", ExamplePath("constraints-example.json")};
    args.insert(args.end(), options.begin(), options.end());
    return args;
}

// Every code of these repairs; the example raises each of them.
const std::vector<std::string> kCodes = {"805",  "811",  "1208", "1219", "1233", "1306", "1509", "1512",
                                         "1608", "1609", "1803", "1804", "1906", "2009", "2012", "2016",
                                         "2106", "2112", "2114", "2210", "3909", "3910", "3919", "4003",
                                         "4006", "4007", "5003", "5806", "5807", "5907"};

// The log lines of the code, one text.
std::string LinesOf(const std::string& log, const std::string& code)
{
    std::string lines;
    const std::string start = "ERROR " + code + ":";
    for (size_t at = log.find(start); at != std::string::npos; at = log.find(start, at + 1))
        if (at == 0 || log[at - 1] == '\n')
            lines += log.substr(at, log.find('\n', at) - at + 1);
    return lines;
}

TEST(KravikFixNetsTest, CheckReportsEveryCodeOfTheExample)
{
    const KravikRun run = RunKravik(CheckNets(ExamplePath("broken-nets.json")), kHidden);
    EXPECT_EQ(4, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-nets.log"), RegisteredTests(kHidden)));
    for (const std::string& code : kCodes)
        EXPECT_NE("", LinesOf(run.out, code)) << code;
}

TEST(KravikFixNetsTest, FixRepairsEveryCodeAndTheSavedDesignNoLongerReportsThem)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken-nets.json"));
    const KravikRun run =
        RunKravik(CheckNets(ExamplePath("broken-nets.json"), {"--fix", "--output", dir.File("fixed.json")}), kHidden);
    EXPECT_EQ(4, run.exitCode) << run.err; // findings that no repair answers stay
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-nets-fix.log"), RegisteredTests(kHidden)));
    EXPECT_EQ(original, ReadFile(ExamplePath("broken-nets.json")));
    for (const std::string& code : kCodes)
    {
        const std::string lines = LinesOf(run.out, code);
        // The name of the net that the electrical-net name check deletes is never read by the
        // analog check, which runs after it.
        if (code == "1609")
            continue;
        EXPECT_NE("", lines) << code;
        EXPECT_EQ(std::string::npos, lines.find(" - Not Fixed.")) << lines;
    }

    const KravikRun again = RunKravik(CheckNets(dir.File("fixed.json")), kHidden);
    EXPECT_EQ(4, again.exitCode) << again.err;
    for (const std::string& code : kCodes)
        EXPECT_EQ("", LinesOf(again.out, code)) << again.out;
}

// The back end runs none of these repairs: every finding of theirs is refused and nothing is saved.
TEST(KravikFixNetsTest, BackEndRefusesTheRepairs)
{
    TempDir dir;
    const KravikRun run = RunKravik(
        CheckNets(ExamplePath("broken-nets.json"), {"--fix", "--back-end", "--output", dir.File("fixed.json")}),
        kHidden);
    EXPECT_EQ(4, run.exitCode) << run.err;
    for (const char* code : {"805", "1512", "2106", "3919", "5907"})
    {
        const std::string lines = LinesOf(run.out, code);
        EXPECT_NE(std::string::npos, lines.find(" - Not Fixed.")) << lines;
        EXPECT_EQ(std::string::npos, lines.find(" - Fixed.")) << lines;
    }
    EXPECT_FALSE(FileExists(dir.File("fixed.json")));
}

// Database calls of a fix run of the example fail in turn, a sample spread over the whole run: every
// run ends with an exit code and a log, never a crash.
TEST(KravikFixNetsTest, FailedCallsOfAFixRunNeverCrash)
{
    TempDir dir;
    const std::vector<std::string> fix = {"--fix", "--output", dir.File("fixed.json")};
    std::vector<std::string> counting = fix;
    counting.push_back("--count-calls");
    const unsigned long total = TotalCalls(RunKravik(CheckNets(ExamplePath("broken-nets.json"), counting), kHidden).err);
    ASSERT_GT(total, 1000u);
    const unsigned long stride = total / 60 + 1;
    for (unsigned long k = 1; k <= total; k += stride)
    {
        std::vector<std::string> failing = fix;
        failing.insert(failing.end(), {"--fail-call", std::to_string(k)});
        const KravikRun run = RunKravik(CheckNets(ExamplePath("broken-nets.json"), failing), kHidden);
        EXPECT_TRUE(run.exitCode == 1 || run.exitCode == 4 || run.exitCode == 8) << k << ": " << run.err;
    }
}

} // namespace
} // namespace KravikTest
