// The rule tests end to end on design files: a broken design that gives every one of them at least
// one finding, and the clean example, which gives none.
#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace ruletest;

namespace
{

const std::vector<std::string> kRuleTests = {
    "UniqueNetClassName",   "UniqueConsClass",      "ValidNames",           "ClearRuleInScheme",
    "NetClassInSchemes",    "LayerNumbering",       "LayerInAllNetClasses", "LayerInAllClearRules",
    "LayerInAllZAxisRules", "NoiseRuleChecker",     "ExistAllUsedConsClasses", "ExistAllUsedNetClasses",
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::unique_ptr<Lumo::LumoPI> Load(const std::string& path)
{
    Lumo::StandIn::LoadError error;
    auto session = Lumo::StandIn::LoadSession(path, &error);
    EXPECT_TRUE(session) << path << ": " << error.path << ": " << error.message;
    return session;
}

// Runs with the hidden tests switched on, so that the layers in clearance rules are checked too.
std::string BlocksWithHiddenTests(Lumo::LumoPI& session, const std::string& snapshot, const std::string& top)
{
    ScopedEnv hidden("NORV_CIC_RUN_HIDDEN_TESTS", "1");
    return CheckerBlocks(session, kRuleTests, snapshot, top);
}

TEST(RulesExampleTest, BrokenDesignGivesEveryRuleTestItsFindings)
{
    const std::string dir = std::string(KRAVIK_SOURCE_DIR) + "/unittests/tests/rules/data/";
    auto session = Load(dir + "rules-broken.json");
    ASSERT_TRUE(session);
    const std::string blocks = BlocksWithHiddenTests(*session, "main", "TOP");
    EXPECT_EQ(blocks, ReadText(dir + "rules-broken.log"));
    EXPECT_EQ(blocks.find("Result: OK"), std::string::npos);
}

TEST(RulesExampleTest, CleanExampleStaysClean)
{
    auto session = Load(std::string(KRAVIK_SOURCE_DIR) + "/examples/clean.json");
    ASSERT_TRUE(session);
    const std::string blocks = BlocksWithHiddenTests(*session, "rev-a", "CTRL_BOARD");
    std::size_t tests = 0;
    for (std::size_t pos = 0; (pos = blocks.find("Test: ", pos)) != std::string::npos; ++pos)
        ++tests;
    EXPECT_EQ(tests, kRuleTests.size());
    EXPECT_EQ(blocks.find("ERROR"), std::string::npos) << blocks;
    EXPECT_EQ(blocks.find("WARNING"), std::string::npos) << blocks;
}

} // namespace
