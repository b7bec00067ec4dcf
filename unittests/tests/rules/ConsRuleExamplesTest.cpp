// The example designs against the example constraints files, through the whole checker: every test
// of the constraint definitions, default objects, rules and templates reports the broken example
// and passes the clean one.
#include "framework/CNorvProjectChecker.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

using namespace ruletest;

namespace
{

const char* const kShortNames[] = {"ConsConsistency", "DefaultConstraints", "CheckDefaultObjects", "ViaSpanValid",
                                   "SchemeInC2CClearRule", "UniqueTemplates", "ValidTemplates", "P2PRulesValid"};

// Status per short name of one whole run, hidden tests on.
std::map<std::string, TestStatus> RunChecker(const std::string& design, const std::string& constraints)
{
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session =
        Lumo::StandIn::LoadSession(std::string(KRAVIK_SOURCE_DIR) + "/examples/" + design, &error);
    EXPECT_TRUE(session) << error.path << ": " << error.message;
    if (!session)
        return {};
    setenv("NORV_CIC_RUN_HIDDEN_TESTS", "1", 1);
    MemoryLog log;
    CNorvProjectChecker checker(session.get(), "CTRL_BOARD", &log.log(),
                                std::string(KRAVIK_SOURCE_DIR) + "/examples/" + constraints, 2, 0, "", false, false, "",
                                false);
    unsetenv("NORV_CIC_RUN_HIDDEN_TESTS");
    checker.Check_NorvLUMO("rev-a");
    std::map<std::string, TestStatus> statuses;
    for (const auto& result : checker.GetTestsResults()) {
        std::string shortName, name, description;
        if (checker.GetTestInfo(static_cast<unsigned>(result.first), shortName, name, description))
            statuses[shortName] = result.second;
    }
    return statuses;
}

} // namespace

TEST(ConsRuleExamplesTest, BrokenExampleFailsEveryTest)
{
    for (const char* constraints : {"constraints-example.json", "constraints-full.json"}) {
        const std::map<std::string, TestStatus> statuses = RunChecker("broken-constraints.json", constraints);
        for (const char* shortName : kShortNames) {
            // Tests left out by the Tamsa flow are not run.
            if (!statuses.count(shortName) && CNorvProjectChecker::IsFlowTamsa())
                continue;
            ASSERT_TRUE(statuses.count(shortName)) << shortName;
            EXPECT_EQ(statuses.at(shortName), FAILED) << shortName << " with " << constraints;
        }
    }
}

TEST(ConsRuleExamplesTest, CleanExamplePassesEveryTest)
{
    const std::map<std::string, TestStatus> statuses = RunChecker("clean.json", "constraints-example.json");
    for (const char* shortName : kShortNames) {
        if (!statuses.count(shortName) && CNorvProjectChecker::IsFlowTamsa())
            continue;
        ASSERT_TRUE(statuses.count(shortName)) << shortName;
        EXPECT_EQ(statuses.at(shortName), OK) << shortName;
    }
}
