// End-to-end tests of the repairs that remove pairs and electrical nets, keep a physical net in one
// electrical net, rebuild nets from flat nets and repair pin sets and virtual pins: kravik checks and
// repairs examples/broken-nets.json (with the hidden tests, which hold the pin-set name check), saves
// the repaired design, and a check of that design no longer reports what was repaired.
#include "KravikRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>
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

// The names of the objects that the saved design lists under that key, anywhere in the file.
std::multiset<std::string> Names(const nlohmann::json& node, const std::string& key)
{
    std::multiset<std::string> names;
    if (node.is_object())
        for (const auto& entry : node.items())
        {
            if (entry.key() == key && entry.value().is_array())
                for (const nlohmann::json& item : entry.value())
                    if (item.is_object())
                        names.insert(item.value("name", ""));
            const std::multiset<std::string> below = Names(entry.value(), key);
            names.insert(below.begin(), below.end());
        }
    else if (node.is_array())
        for (const nlohmann::json& item : node)
        {
            const std::multiset<std::string> below = Names(item, key);
            names.insert(below.begin(), below.end());
        }
    return names;
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

    const nlohmann::json saved = nlohmann::json::parse(ReadFile(dir.File("fixed.json")));
    const std::multiset<std::string> physNets = Names(saved, "physicalNets");
    const std::multiset<std::string> elecNets = Names(saved, "electricalNets");
    const std::multiset<std::string> pairs = Names(saved, "diffPairs");
    const std::multiset<std::string> pins = Names(saved, "pins");
    // Renamed after their flat nets, rebuilt from one, or gone without one.
    EXPECT_EQ(1u, physNets.count("SIGNAL"));
    EXPECT_EQ(0u, physNets.count("MISNAMED"));
    EXPECT_EQ(1u, physNets.count("SAME2"));
    EXPECT_EQ(1u, physNets.count("NEWNET"));
    EXPECT_EQ(0u, physNets.count("STRAY"));
    // Empty, unnamed, unwalkable and duplicated electrical nets are gone; the composite one is
    // dissolved into one net per physical net.
    for (const char* gone : {"EMPTY", "dupe", "NOWALK", "BUS^^^"})
        EXPECT_EQ(0u, elecNets.count(gone)) << gone;
    EXPECT_EQ(1u, elecNets.count("BUSA"));
    // Broken pairs are gone, the pair whose nets now share a class stays.
    for (const char* gone : {"EQPAIR", "MPAIR2", "PWPAIR", "NNPAIR"})
        EXPECT_EQ(0u, pairs.count(gone)) << gone;
    EXPECT_EQ(1u, pairs.count("CPAIR"));
    // The nested pin set and the loose virtual pin-set pin are gone; repeated names are renamed.
    for (const char* gone : {"INNER", "INNERV", "LOOSEV"})
        EXPECT_EQ(0u, pins.count(gone)) << gone;
    EXPECT_EQ(1u, pins.count("grp_1"));
    EXPECT_EQ(1u, pins.count("VP"));
    EXPECT_EQ(1u, pins.count("VP1"));
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
    // Nothing was repaired: the output holds the design as it was.
    EXPECT_EQ(NormaliseTimes(RunKravik(CheckNets(ExamplePath("broken-nets.json")), kHidden).out),
              NormaliseTimes(RunKravik(CheckNets(dir.File("fixed.json")), kHidden).out));
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
