// End-to-end tests of the topology, from-to, pin-pair and pin repairs: kravik checks and repairs
// examples/broken-topology.json, saves the repaired design, and a check of that design no longer
// reports what was repaired.
#include "KravikRunner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace KravikTest {
namespace {

const std::string kDesign = ExamplePath("broken-topology.json");

std::vector<std::string> Check(const std::string& design, std::vector<std::string> options = {})
{
    options.insert(options.begin(), {"check", design, "--constraints", ExamplePath("constraints-example.json")});
    return options;
}

const std::vector<std::string>& Tests()
{
    static const std::vector<std::string> names = RegisteredTests();
    return names;
}

// The codes the example raises and the repairs answer.
const char* const kRepairedCodes[] = {"1213", "1214", "1228", "1507", "1518", "1519", "2304", "2309", "2310",
                                      "2311", "3412", "3506", "3705", "3713", "3714", "3715", "3717", "6406"};

bool Reports(const std::string& log, const std::string& code)
{
    return log.find("ERROR " + code + ":") != std::string::npos;
}

// The object of the saved design with that id ("id" keys are kept by the saver), or null.
const nlohmann::json* Find(const nlohmann::json& node, const std::string& name, const std::string& list)
{
    if (node.is_object())
    {
        if (node.contains(list))
            for (const nlohmann::json& item : node[list])
                if (item.value("name", "") == name)
                    return &item;
        for (const auto& entry : node.items())
            if (const nlohmann::json* found = Find(entry.value(), name, list))
                return found;
    }
    else if (node.is_array())
    {
        for (const nlohmann::json& item : node)
            if (const nlohmann::json* found = Find(item, name, list))
                return found;
    }
    return nullptr;
}

std::string Constraint(const nlohmann::json* object, const std::string& name)
{
    if (object == nullptr || !object->contains("constraints"))
        return "-";
    for (const nlohmann::json& constraint : (*object)["constraints"])
        if (constraint.value("name", "") == name)
            return constraint["value"].is_string() ? constraint["value"].get<std::string>() : constraint["value"].dump();
    return "-";
}

TEST(KravikFixTopologyTest, CheckReportsEveryCodeOfTheExample)
{
    const KravikRun run = RunKravik(Check(kDesign));
    EXPECT_EQ(4, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-topology.log"), Tests()));
    for (const char* code : kRepairedCodes)
        EXPECT_TRUE(Reports(run.out, code)) << code;
}

TEST(KravikFixTopologyTest, FixRepairsAndTheSavedDesignChecksWithoutThoseFindings)
{
    TempDir dir;
    const std::string original = ReadFile(kDesign);
    const KravikRun run = RunKravik(Check(kDesign, {"--fix", "--output", dir.File("fixed.json")}));
    EXPECT_EQ(4, run.exitCode) << run.err;
    EXPECT_EQ("", CompareLog(run.out, DataPath("broken-topology-fix.log"), Tests()));
    EXPECT_EQ(original, ReadFile(kDesign));

    const KravikRun again = RunKravik(Check(dir.File("fixed.json")));
    EXPECT_EQ(4, again.exitCode) << again.err; // only findings no repair answers are left
    for (const char* code : kRepairedCodes)
        EXPECT_FALSE(Reports(again.out, code)) << code << "\n" << again.out;

    const nlohmann::json saved = nlohmann::json::parse(ReadFile(dir.File("fixed.json")));
    // Topology names in their proper spelling; the pair and nets brought to one topology.
    EXPECT_EQ("Star", Constraint(Find(saved, "TOPO", "physicalNets"), "ORDER_TYPE"));
    EXPECT_EQ("Star", Constraint(Find(saved, "TOPO", "electricalNets"), "ORDER_TYPE"));
    EXPECT_EQ("Custom", Constraint(Find(saved, "MIX", "physicalNets"), "ORDER_TYPE"));
    EXPECT_EQ("Star", Constraint(Find(saved, "Q", "diffPairs"), "ORDER_TYPE"));
    EXPECT_EQ("Custom", Constraint(Find(saved, "R", "diffPairs"), "ORDER_TYPE"));
    EXPECT_EQ("Custom", Constraint(Find(saved, "R_N", "physicalNets"), "ORDER_TYPE"));
    EXPECT_EQ("No", Constraint(Find(saved, "DATA", "physicalNets"), "TOPO_ORDERED"));
    // The user-defined duplicate, the same-pin and the invalid from-tos are gone; one stays.
    const nlohmann::json* clkN = Find(saved, "CLK_N", "physicalNets");
    ASSERT_NE(nullptr, clkN);
    ASSERT_TRUE(clkN->contains("fromTos"));
    ASSERT_EQ(1u, (*clkN)["fromTos"].size());
    EXPECT_EQ("U1.2-R1.2", (*clkN)["fromTos"][0]["name"]);
    // Of the pin pairs of DATA only the reversed duplicate of the reported one stays.
    const nlohmann::json* data = Find(saved, "DATA", "electricalNets");
    ASSERT_NE(nullptr, data);
    ASSERT_EQ(1u, (*data)["pinPairs"].size());
    EXPECT_EQ("U1.4-U1.3", (*data)["pinPairs"][0]["name"]);
}

// On the back end only the duplicated from-to and the TOPO_ORDERED repairs run.
TEST(KravikFixTopologyTest, BackEndRunsOnlyItsTwoRepairs)
{
    TempDir dir;
    const KravikRun run = RunKravik(Check(kDesign, {"--fix", "--back-end", "--output", dir.File("fixed.json")}));
    EXPECT_EQ(4, run.exitCode) << run.err;
    for (const char* code : kRepairedCodes)
    {
        const std::string line = "ERROR " + std::string(code) + ":";
        const size_t at = run.out.find(line);
        ASSERT_NE(std::string::npos, at) << code;
        const std::string rest = run.out.substr(at, run.out.find('\n', at) - at);
        const bool allowed = std::string(code) == "2311" || std::string(code) == "6406";
        EXPECT_EQ(allowed, rest.find(" - Fixed.") != std::string::npos) << rest;
    }
    // What the refused repairs would have changed is still there.
    const KravikRun again = RunKravik(Check(dir.File("fixed.json")));
    for (const char* code : kRepairedCodes)
    {
        const bool allowed = std::string(code) == "2311" || std::string(code) == "6406";
        EXPECT_NE(allowed, Reports(again.out, code)) << code;
    }
}

// Each database call of a fix run fails in turn (a sample of them, spread over the run): the run
// ends with an exit code and a log, never a crash.
TEST(KravikFixTopologyTest, FailedCallsOfAFixRunNeverCrash)
{
    TempDir dir;
    const KravikRun counted = RunKravik(Check(kDesign, {"--fix", "--output", dir.File("count.json"), "--count-calls"}));
    const size_t at = counted.err.find("total");
    ASSERT_NE(std::string::npos, at) << counted.err;
    const size_t lineStart = counted.err.rfind('\n', at);
    const long total = std::stol(counted.err.substr(lineStart == std::string::npos ? 0 : lineStart + 1));
    ASSERT_GT(total, 100);
    for (long k = 1; k <= total; k += 41)
    {
        const KravikRun run = RunKravik(
            Check(kDesign, {"--fix", "--output", dir.File("out" + std::to_string(k) + ".json"), "--fail-call",
                            std::to_string(k)}));
        EXPECT_TRUE(run.exitCode == 1 || run.exitCode == 4 || run.exitCode == 8) << k << ": " << run.err;
    }
}

} // namespace
} // namespace KravikTest
