// End-to-end checks of generated designs: without seeded defects a design checks clean, and with
// them the check reports exactly the findings that the generator announces.
#include "KravikRunner.h"

#include "bench/DesignGenerator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace KravikTest {
namespace {

// "ERROR <code>" / "WARNING <code>" -> lines of the log.
std::map<std::string, uint64_t> Findings(const std::string& log)
{
    static const std::regex line("^((ERROR|WARNING) [0-9]+):");
    std::map<std::string, uint64_t> found;
    std::istringstream in(log);
    std::string text;
    std::smatch match;
    while (std::getline(in, text))
        if (std::regex_search(text, match, line))
            ++found[match[1]];
    return found;
}

std::string Describe(const std::map<std::string, uint64_t>& findings)
{
    std::string out;
    for (const auto& f : findings)
        out += f.first + " x" + std::to_string(f.second) + "; ";
    return out;
}

struct GeneratedCase
{
    const char* name;
    kravik_bench::DesignOptions options;
};

std::ostream& operator<<(std::ostream& out, const GeneratedCase& c)
{
    return out << c.name;
}

kravik_bench::DesignOptions Options(uint64_t pins, uint64_t seed, double defectRate, double pinsPerNet = 4.0,
                                    double diffPairRate = 0.1)
{
    kravik_bench::DesignOptions o = kravik_bench::SeededDesign(pins, seed, defectRate);
    o.avgPinsPerNet = pinsPerNet;
    o.diffPairRate = diffPairRate;
    return o;
}

class GeneratedDesignTest : public ::testing::TestWithParam<GeneratedCase>
{
};

// With hidden tests on, with and without the full constraints file: the findings are those that
// ExpectedFindings gives for the seeded defects (none but the two missing-file errors when clean).
TEST_P(GeneratedDesignTest, CheckReportsExactlyTheSeededFindings)
{
    TempDir dir;
    const std::string design = dir.File("design.json");
    kravik_bench::DesignStats stats;
    {
        std::ofstream out(design, std::ios::binary);
        stats = kravik_bench::GenerateDesign(GetParam().options, out);
    }
    uint64_t seeded = 0;
    for (const auto& d : stats.defects)
        seeded += d.second;
    EXPECT_EQ(GetParam().options.defectRate > 0, seeded > 0);

    for (bool constraintsFile : {false, true}) {
        std::vector<std::string> args{"check", design};
        if (constraintsFile)
            args.insert(args.end(), {"--constraints", ExamplePath("constraints-full.json")});
        const KravikRun run = RunKravik(args, {"NORV_CIC_RUN_HIDDEN_TESTS=1"});
        const auto expected = kravik_bench::ExpectedFindings(stats.defects, constraintsFile);
        EXPECT_EQ(Describe(expected), Describe(Findings(run.out))) << "constraints file: " << constraintsFile;
        EXPECT_EQ(constraintsFile && seeded == 0 ? 0 : 4, run.exitCode) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, GeneratedDesignTest,
    ::testing::Values(GeneratedCase{"Clean", Options(4000, 1, 0.0)},
                      GeneratedCase{"CleanTwoPinNets", Options(1500, 9, 0.0, 2.0)},
                      GeneratedCase{"CleanLargeNetsAllPaired", Options(2500, 3, 0.0, 30.0, 1.0)},
                      GeneratedCase{"FewDefects", Options(3000, 2, 0.03)},
                      GeneratedCase{"DefectInEveryPlainNet", Options(600, 8, 1.0)}),
    [](const ::testing::TestParamInfo<GeneratedCase>& info) { return std::string(info.param.name); });

// A design of 100k pins with seeded defects, checked with hidden tests on and the full constraints
// file: the whole log stays as it is (data/generated-100k.log), whatever the store and the checks do
// to go faster at this scale.
TEST(GeneratedDesignLogTest, LargeDesignWithDefectsKeepsItsLog)
{
    TempDir dir;
    const std::string design = dir.File("design.json");
    {
        std::ofstream out(design, std::ios::binary);
        kravik_bench::GenerateDesign(Options(100000, 7, 0.02), out);
    }
    const std::vector<std::string> env{"NORV_CIC_RUN_HIDDEN_TESTS=1"};
    const KravikRun run =
        RunKravik({"check", design, "--constraints", ExamplePath("constraints-full.json")}, env);
    EXPECT_EQ(4, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("generated-100k.log"), RegisteredTests(env)));
}

} // namespace
} // namespace KravikTest
