// End-to-end tests of the layer, component, net-class, noise, parallel, package-to-package and
// template repairs: kravik repairs examples/broken-repairs.json, saves it, and a check of the saved
// design no longer finds what was repaired; in back-end mode only the repairs allowed there run.
#include "KravikRunner.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KravikTest {
namespace {

using Lumo::Index;

const std::string kConstraints = ExamplePath("constraints-example.json");

// The log lines that begin with prefix, in order.
std::vector<std::string> LinesStartingWith(const std::string& log, const std::string& prefix)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < log.size())
    {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(start, end - start);
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(KravikFixRepairsTest, RepairsTheExampleAndTheSavedDesignChecksWithoutTheFindings)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken-repairs.json"));
    WriteFile(dir.File("design.json"), original);
    const std::vector<std::string> options = {"--constraints", kConstraints, "--log-level", "2"};

    std::vector<std::string> fix = {"check", dir.File("design.json"), "--fix", "--output", dir.File("out.json")};
    fix.insert(fix.end(), options.begin(), options.end());
    const KravikRun run = RunKravik(fix);
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));

    // One finding of every repair family, each repaired in the first pass.
    const std::vector<std::string> codes = {"2816", "2818", "2716", "2711", "2713", "2521", "2611", "2610",
                                            "3002", "3004", "3007", "3014", "609",  "621",  "4105", "5486",
                                            "6106", "6111", "6307", "6311", "6310", "6203"};
    for (const std::string& code : codes)
    {
        const std::vector<std::string> lines = LinesStartingWith(run.out, "ERROR " + code + ":");
        ASSERT_FALSE(lines.empty()) << code << "\n" << run.out;
        for (const std::string& line : lines)
            EXPECT_TRUE(EndsWith(line, " - Fixed.")) << line;
    }
    // The success messages of the repairs stay with their status: the log prints none of them.
    EXPECT_EQ(run.out.find("Duplicated layers were removed"), std::string::npos);
    EXPECT_EQ(run.out.find("Noise rule was removed"), std::string::npos);

    std::vector<std::string> check = {"check", dir.File("out.json")};
    check.insert(check.end(), options.begin(), options.end());
    const KravikRun again = RunKravik(check);
    for (const std::string& code : codes)
        EXPECT_TRUE(LinesStartingWith(again.out, "ERROR " + code + ":").empty()) << code << "\n" << again.out;
}

// A design whose layers give 2709 and 2711 (repairs allowed in back-end mode) and 2716 (not allowed),
// and two connected components of one name (505, not allowed).
std::string BackEndDesign(const TempDir& dir)
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    const Index config = b.NorvConfig("TOP");
    const Index design = b.Design(config);
    b.Definition("LAYER_USAGE", "Signal");
    const int numbers[] = {1, 2, 2, 7};
    for (int i = 0; i < 4; ++i)
    {
        const Index layer = b.Layer(design, "L" + std::to_string(i), numbers[i], numbers[i]);
        if (i != 3)
            b.Inherit(layer, "LAYER_USAGE");
    }
    b.DefaultObjects(design);
    const Index part = b.Part(config, "P", 1);
    const Index net = b.PhysicalNet(config, "N", b.ElectricalNet(config, "N"));
    for (int i = 0; i < 2; ++i)
        b.Pin(b.NorvComp(config, "U1", part), "1", Lumo::NPT_NetPin, net);
    const std::string path = dir.File("backend.json");
    EXPECT_TRUE(Lumo::StandIn::SaveSession(*session, path, true));
    return path;
}

TEST(KravikFixRepairsTest, BackEndRunsOnlyTheRepairsAllowedThere)
{
    TempDir dir;
    const std::string design = BackEndDesign(dir);
    struct Case
    {
        const char* code;
        const char* frontEnd;
        const char* backEnd;
    };
    const Case cases[] = {
        {"2709", " - Fixed.", " - Fixed."},
        {"2711", " - Fixed.", " - Fixed."},
        {"2716", " - Fixed.", " - Not Fixed."},
        {"505", " - Fixed.", " - Not Fixed."},
    };
    for (bool backEnd : {false, true})
    {
        std::vector<std::string> args = {"check", design, "--fix", "--output", dir.File("out.json")};
        if (backEnd)
            args.push_back("--back-end");
        const KravikRun run = RunKravik(args);
        for (const Case& c : cases)
        {
            const std::vector<std::string> lines = LinesStartingWith(run.out, std::string("ERROR ") + c.code + ":");
            ASSERT_FALSE(lines.empty()) << c.code << "\n" << run.out;
            EXPECT_TRUE(EndsWith(lines.front(), backEnd ? c.backEnd : c.frontEnd))
                << (backEnd ? "back end: " : "front end: ") << lines.front();
        }
    }
}

} // namespace
} // namespace KravikTest
