// A walk whose iterator fails on the way is a failed read of that walk: failing the first step of
// a walk's iterator ("GetIterX.IsValid") must give the very log and exit code that failing its
// GetIterX call gives, never the log of a shorter list.
#include "KravikRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KravikTest {
namespace {

KravikRun CheckFailing(const std::string& operation)
{
    return RunKravik({"check", ExamplePath("broken.json"), "--constraints", ExamplePath("constraints-example.json"),
                      "--fail-next", operation + "=1"});
}

// The walks of the example's check, by the GetIter* call that opens them; each is the first call
// of its name in the run, and the first step of its walk is the first IsValid of that name.
// GetIterDiffPairs is not here: its first iterator is only opened, never walked.
const std::vector<std::string> kWalks = {
    "GetIterChildConstraintClasses", "GetIterChildNetClasses", "GetIterClearRules", "GetIterConstraintClasses",
    "GetIterConstraints", "GetIterElectricalNets", "GetIterFlatNets", "GetIterFromTos", "GetIterGenObjTypes",
    "GetIterLayerClearRules", "GetIterLayerRules", "GetIterLayers", "GetIterLogicComp", "GetIterNetClasses",
    "GetIterNoiseRules", "GetIterNorvComps", "GetIterParRuleDefs", "GetIterPartPins", "GetIterParts",
    "GetIterPhysicalNets", "GetIterPinPairs", "GetIterPins", "GetIterPkgTypeClearRules", "GetIterSchemaClearRules",
    "GetIterSchemaNetClassRules", "GetIterSchemeNetClassRuleChild", "GetIterSchemes", "GetIterViaAssigns",
    "GetIterViaSpans", "GetIterZAxisClearRules"};

TEST(KravikWalkTest, AFailedStepReadsAsTheFailedGetIterOfItsWalk)
{
    for (const std::string& walk : kWalks)
    {
        const KravikRun opened = CheckFailing(walk);
        const KravikRun stepped = CheckFailing(walk + ".IsValid");
        EXPECT_NE(std::string::npos, stepped.err.find("1 injected fault fired, the first on " + walk + ".IsValid"))
            << stepped.err;
        EXPECT_EQ(opened.exitCode, stepped.exitCode) << walk;
        EXPECT_EQ(NormaliseTimes(opened.out), NormaliseTimes(stepped.out)) << walk;
    }
}

// The failed walk over the electrical nets no longer passes for a design whose net names are unique.
TEST(KravikWalkTest, AFailedNetWalkIsReportedNotPassed)
{
    const KravikRun run = CheckFailing("GetIterElectricalNets.IsValid");
    EXPECT_EQ(4, run.exitCode);
    const std::string block = "Test: Electrical net unique\n"
                              "ERROR 1801: Can't get iterator of electrical nets from NorvConfig.\n"
                              "Result: FAILED\n";
    EXPECT_NE(std::string::npos, run.out.find(block)) << run.out;
}

} // namespace
} // namespace KravikTest
