// The pin, pin-pair and pin-set tests, and the component and part tests, end to end through the
// kravik program: a broken design per group that gives each of its tests its findings, and the clean
// example, which gives none. The hidden tests are switched on, so that all of them run.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{

const std::vector<std::string> kPinTests = {
    "Pin in net and component",        "Pin in only one net",
    "EBD pin in only one component",   "Pin and pin pair in part",
    "Unique pin sets in physical net", "Pin sets consistency",
    "Pin sets structure validation",   "Pin reference to net valid",
    "Unique pin pairs in electrical net", "Connection pin pairs in electrical net",
    "Pin pairs valid for net topology", "Pin number vs. pin name",
    "Unique virtual pin names",
};

const std::vector<std::string> kComponentTests = {
    "Part name valid",   "Part pins references valid", "Part pin pairs valid",
    "Component in part", "Component valid",            "Component name unique",
    "Reference designator vs. component name",
};

struct Check
{
    int exitCode = -1;
    std::string log;
};

Check RunCheck(const std::string& design)
{
    const std::string command = "NORV_CIC_RUN_HIDDEN_TESTS=1 NORV_TAMSA_FLOW= QUIL_VERSION= '" +
                                std::string(KRAVIK_BINARY_DIR) + "/host/kravik' check '" + design + "' 2>/dev/null";
    Check check;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return check;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        check.log.append(buffer, n);
    const int status = pclose(pipe);
    check.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return check;
}

// The blocks of the named tests, in run order, from "Test: " to the end of "Result: "; times left out.
std::string TestBlocks(const std::string& log, const std::vector<std::string>& tests)
{
    std::string blocks;
    std::istringstream lines(log);
    std::string line;
    bool inBlock = false;
    while (std::getline(lines, line)) {
        if (line.rfind("Test: ", 0) == 0) {
            const std::string name = line.substr(6);
            inBlock = false;
            for (const std::string& test : tests)
                inBlock = inBlock || name == test;
        }
        if (!inBlock)
            continue;
        blocks += line + "\n";
        if (line.rfind("Result: ", 0) == 0) {
            blocks += "\n";
            inBlock = false;
        }
    }
    return blocks;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(PinTestsExampleTest, BrokenDesignGivesEveryPinTestItsFindings)
{
    const std::string dir = std::string(KRAVIK_SOURCE_DIR) + "/unittests/tests/connectivity/data/";
    const Check check = RunCheck(dir + "pins-broken.json");
    EXPECT_EQ(check.exitCode, 4) << check.log;
    const std::string blocks = TestBlocks(check.log, kPinTests);
    EXPECT_EQ(blocks, ReadText(dir + "pins-broken.log"));
    EXPECT_EQ(blocks.find("Result: OK"), std::string::npos);
    // The name check of the pin-set test writes its line while the test runs.
    EXPECT_NE(check.log.find("ERROR: Unique pin sets in physical net\tName duplicated: \"GRP\n"), std::string::npos);
}

TEST(PinTestsExampleTest, BrokenDesignGivesEveryComponentAndPartTestItsFindings)
{
    const std::string dir = std::string(KRAVIK_SOURCE_DIR) + "/unittests/tests/connectivity/data/";
    const Check check = RunCheck(dir + "components-broken.json");
    EXPECT_EQ(check.exitCode, 4) << check.log;
    const std::string blocks = TestBlocks(check.log, kComponentTests);
    EXPECT_EQ(blocks, ReadText(dir + "components-broken.log"));
    EXPECT_EQ(blocks.find("Result: OK"), std::string::npos);
}

TEST(PinTestsExampleTest, CleanExampleGivesNoPinComponentOrPartTestAFinding)
{
    const Check check = RunCheck(std::string(KRAVIK_SOURCE_DIR) + "/examples/clean.json");
    for (const std::vector<std::string>* tests : {&kPinTests, &kComponentTests}) {
        const std::string blocks = TestBlocks(check.log, *tests);
        std::size_t results = 0;
        for (std::size_t at = blocks.find("Result: OK\n"); at != std::string::npos;
             at = blocks.find("Result: OK\n", at + 1))
            ++results;
        EXPECT_EQ(results, tests->size()) << blocks;
    }
}
