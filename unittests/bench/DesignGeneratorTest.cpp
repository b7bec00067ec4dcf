#include "bench/DesignGenerator.h"
#include "bench/StoreWalk.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using kravik_bench::DesignOptions;
using kravik_bench::DesignStats;

class DesignGeneratorTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (const std::string& p : m_files)
            std::remove(p.c_str());
    }

    std::string Generate(const DesignOptions& options, DesignStats& stats)
    {
        const std::string path = "/tmp/kravik-gen-test-" + std::to_string(getpid()) + "-" +
                                 std::to_string(m_files.size()) + ".json";
        std::ofstream out(path, std::ios::binary);
        stats = kravik_bench::GenerateDesign(options, out);
        out.close();
        m_files.push_back(path);
        return path;
    }

    static std::string Text(const DesignOptions& options)
    {
        std::ostringstream out;
        kravik_bench::GenerateDesign(options, out);
        return out.str();
    }

    std::vector<std::string> m_files;
};

TEST_F(DesignGeneratorTest, SameSeedGivesTheSameFile)
{
    DesignOptions a;
    a.pins = 400;
    a.defectRate = 0.3;
    DesignOptions b = a;
    b.seed = 2;
    EXPECT_EQ(Text(a), Text(a));
    EXPECT_NE(Text(a), Text(b));
}

// A generated design loads, and every object and reference of it reads back.
TEST_F(DesignGeneratorTest, CleanDesignLoadsAndWalksWithoutFailures)
{
    DesignOptions options;
    options.pins = 500;
    DesignStats stats;
    const std::string path = Generate(options, stats);
    ASSERT_GE(stats.pins, 500u);

    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(path, &error);
    ASSERT_TRUE(session) << error.path << ": " << error.message;
    const kravik_bench::WalkCounts walk = kravik_bench::StoreWalk().Run(*session, "main", "TOP");
    EXPECT_EQ(walk.failures, 0u);
    // Every pin is listed by its net, every design pin by its page net.
    EXPECT_EQ(walk.memberships, stats.pins + stats.designPins + stats.physicalNets);
    EXPECT_GT(walk.objects, 2 * stats.pins);
    EXPECT_GT(walk.inherited, 0u);
}

TEST_F(DesignGeneratorTest, SeededDefectsOfEveryKindStillLoad)
{
    DesignOptions options;
    options.pins = 2000;
    options.defectRate = 1.0;
    DesignStats stats;
    const std::string path = Generate(options, stats);
    for (const auto& kind : stats.defects)
        EXPECT_GT(kind.second, 0u) << kind.first;

    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(path, &error);
    ASSERT_TRUE(session) << error.path << ": " << error.message;
    const kravik_bench::WalkCounts walk = kravik_bench::StoreWalk().Run(*session, "main", "TOP");
    EXPECT_GT(walk.failures, 0u);
}

// Scheme rules left out touch the schemes only; the rest of the file, seeded defects included,
// stays as it is, and the counts say what is missing.
TEST_F(DesignGeneratorTest, SchemeRulesLeftOutChangeTheSchemesOnly)
{
    DesignOptions options;
    options.pins = 3000;
    options.defectRate = 0.1;
    options.netClasses = 6;
    DesignOptions leaving = options;
    leaving.schemeDefectRate = 0.2;
    std::ostringstream full, partial;
    const DesignStats fullStats = kravik_bench::GenerateDesign(options, full);
    const DesignStats stats = kravik_bench::GenerateDesign(leaving, partial);
    EXPECT_TRUE(fullStats.schemeDefects.empty());
    EXPECT_EQ(fullStats.defects, stats.defects);

    std::istringstream fullLines(full.str()), partialLines(partial.str());
    std::string a, b, design;
    int differing = 0;
    while (std::getline(fullLines, a) && std::getline(partialLines, b))
    {
        if (a == b)
            continue;
        ++differing;
        design = b;
    }
    ASSERT_EQ(1, differing);
    ASSERT_EQ(0u, design.rfind("\"design\":", 0));
    // The line holds the design object and the comma after it.
    const nlohmann::json schemes = nlohmann::json::parse(design.substr(9, design.size() - 10))["schemes"];
    uint64_t netClassRules = 0, clearRules = 0, layerRules = 0;
    for (const nlohmann::json& scheme : schemes)
    {
        netClassRules += scheme["schemaNetClassRules"].size();
        clearRules += scheme["schemaClearRules"].size();
        for (const nlohmann::json& rule : scheme["schemaNetClassRules"])
            layerRules += rule["layerRules"].size();
    }
    for (const char* kind : {"net-class-rule", "clearance-rule", "layer-rule"})
        EXPECT_GT(stats.schemeDefects.count(kind) ? stats.schemeDefects.at(kind) : 0u, 0u) << kind;
    EXPECT_EQ(stats.schemes * stats.netClasses, netClassRules + stats.schemeDefects.at("net-class-rule"));
    EXPECT_EQ(stats.schemes * stats.clearRules, clearRules + stats.schemeDefects.at("clearance-rule"));
    EXPECT_EQ(netClassRules * stats.layers, layerRules + stats.schemeDefects.at("layer-rule"));
}

} // namespace
