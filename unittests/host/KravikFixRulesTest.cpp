// End-to-end repairs: kravik in fix mode on examples/broken-rules.json, whose every finding the rule,
// scheme, class and constraint repairs mend. The repaired design is saved to --output or, without
// it, back onto the design after a backup; either way a re-check of the saved design is clean.
#include "KravikRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KravikTest {
namespace {

// The constraints file that defines every constraint the example carries.
std::vector<std::string> Check(const std::string& design, std::vector<std::string> options = {})
{
    options.insert(options.begin(), {"check", design, "--constraints", ExamplePath("constraints-full.json")});
    return options;
}

const std::vector<std::string>& Tests()
{
    static const std::vector<std::string> names = RegisteredTests();
    return names;
}

// A re-check of the repaired design finds nothing.
void ExpectClean(const std::string& design)
{
    const KravikRun recheck = RunKravik(Check(design));
    EXPECT_EQ(0, recheck.exitCode) << recheck.err;
    EXPECT_EQ("", CompareLog(recheck.out, DataPath("clean.log"), Tests()));
}

TEST(KravikFixRulesTest, CheckReportsEveryDefectOfTheExample)
{
    const KravikRun run = RunKravik(Check(ExamplePath("broken-rules.json")));
    EXPECT_EQ(4, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-rules.log"), Tests()));
}

TEST(KravikFixRulesTest, FixToOutputRepairsEverythingAndLeavesTheDesignAlone)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken-rules.json"));
    WriteFile(dir.File("design.json"), original);
    const KravikRun run = RunKravik(Check(dir.File("design.json"), {"--fix", "--output", dir.File("fixed.json")}));
    EXPECT_EQ(1, run.exitCode) << run.err;
    // The example declares two faults, which fire in the run that repairs their objects.
    EXPECT_EQ("kravik: " + dir.File("design.json")
                  + ": 2 injected faults fired, the first on GetIterAllowedVias of 94-0-27; the check is incomplete\n"
                  + "kravik: saved " + dir.File("fixed.json") + "\n",
              run.err);
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-rules-fix.log"), Tests()));
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));
    EXPECT_EQ((std::vector<std::string>{"design.json", "fixed.json"}), dir.List());
    ExpectClean(dir.File("fixed.json"));
}

TEST(KravikFixRulesTest, FixInPlaceKeepsTheOldDesignAsBackup)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken-rules.json"));
    WriteFile(dir.File("design.json"), original);
    const KravikRun run = RunKravik(Check(dir.File("design.json"), {"--fix", "--thread"}));
    EXPECT_EQ(1, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-rules-fix.log"), Tests()));
    EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.bak"}), dir.List());
    EXPECT_EQ(original, ReadFile(dir.File("design.json.bak")));
    EXPECT_NE(original, ReadFile(dir.File("design.json")));
    ExpectClean(dir.File("design.json"));
}

} // namespace
} // namespace KravikTest
