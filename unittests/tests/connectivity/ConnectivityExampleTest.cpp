// The connectivity tests end to end on the example designs: each reports at least one finding on the
// broken example, none on the clean one, and the same findings with their pairs in the same order
// when they run in fix mode with the repair queue (the repairs read the pairs by position).
#include "tests/connectivity/CDiffPairConsistency.h"
#include "tests/connectivity/CDiffPairNCCheck.h"
#include "tests/connectivity/CENetConsistency.h"
#include "tests/connectivity/CEnetOneAnalogPnet.h"
#include "tests/connectivity/CEnetUnique.h"
#include "tests/connectivity/CFlatNetCheck.h"
#include "tests/connectivity/CFlatPinVsNorvPinChecker.h"
#include "tests/connectivity/CFromToInOneNet.h"
#include "tests/connectivity/CFromToUnique.h"
#include "tests/connectivity/CPNetTopo.h"
#include "tests/connectivity/CPnetUnique.h"
#include "tests/connectivity/CPowerNetTopology.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct Outcome
{
    Findings plain, fixMode;
};

template <class T>
Outcome runOn(const std::string& file)
{
    Lumo::StandIn::LoadError err;
    auto session = Lumo::StandIn::LoadSession(std::string(KRAVIK_SOURCE_DIR) + "/examples/" + file, &err);
    EXPECT_TRUE(session) << err.path << ": " << err.message;
    if (!session)
        return {};
    TestRun<T> plain(session.get(), "rev-a", "CTRL_BOARD");
    TestRun<T> fixMode(session.get(), "rev-a", "CTRL_BOARD", true);
    return {plain.findings(), fixMode.findings()};
}

using Runner = Outcome (*)(const std::string&);

const std::vector<std::pair<const char*, Runner>>& allTests()
{
    static const std::vector<std::pair<const char*, Runner>> tests = {
        {"CPnetUnique", &runOn<CPnetUnique>},
        {"CEnetUnique", &runOn<CEnetUnique>},
        {"CENetConsistency", &runOn<CENetConsistency>},
        {"CEnetOneAnalogPnet", &runOn<CEnetOneAnalogPnet>},
        {"CDiffPairConsistency", &runOn<CDiffPairConsistency>},
        {"CDiffPairNCCheck", &runOn<CDiffPairNCCheck>},
        {"CPowerNetTopology", &runOn<CPowerNetTopology>},
        {"CFromToUnique", &runOn<CFromToUnique>},
        {"CFromToInOneNet", &runOn<CFromToInOneNet>},
        {"CFlatNetCheck", &runOn<CFlatNetCheck>},
        {"CFlatPinVsNorvPinChecker", &runOn<CFlatPinVsNorvPinChecker>},
        {"CPNetTopo", &runOn<CPNetTopo>},
    };
    return tests;
}

} // namespace

TEST(ConnectivityExampleTest, BrokenExampleGivesEveryTestAFindingInBothModes)
{
    for (const auto& test : allTests()) {
        const Outcome outcome = test.second("broken.json");
        EXPECT_FALSE(outcome.plain.empty()) << test.first;
        EXPECT_EQ(outcome.plain, outcome.fixMode) << test.first;
    }
}

TEST(ConnectivityExampleTest, CleanExampleGivesNoFinding)
{
    for (const auto& test : allTests())
        EXPECT_EQ(test.second("clean.json").plain, Findings{}) << test.first;
}
