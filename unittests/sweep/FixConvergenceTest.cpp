// Fix convergence: a repaired design stays repaired. For every example design (with the full
// constraints file and with the one examples/README.md names for it) and for generated designs with
// seeded defects, the check runs in check mode, in fix mode saving to out.json, then in check mode on
// out.json, then in fix mode again:
// - the check-mode run leaves the design file as it was, bytes and modification time;
// - no finding that the fix run logged " - Fixed." comes back in the re-check;
// - the second fix run repairs nothing (no " - Fixed." line, exit code not 1) and leaves the design
//   as it was: what it saves holds the bytes of the design it read.
//
// A finding is known by its test and its log line (code and message) with every index masked and
// without the fix status. Indexes cannot identify it: a repair that re-creates an object gives it a
// new index, and the fix log writes the index of an object that a repair deleted as empty; the names
// in the message are what stays. Findings of one key are counted: if the first check reported C of a
// key and the fix run fixed F of them, the re-check may report at most C - F.
//
// Examples with a few values changed add cases whose repairs, as they are meant to work, report
// fixed while the test still raises the finding; each names the codes it allows to come back and to
// be repaired again, and why. Others hold findings whose repairs once came back or grew the design
// on every run, and allow nothing.
//
// Runs the host's check in this process, with hidden tests on and off; the ctest label "sweep".
#include "host/Commands.h"
#include "host/CommandLine.h"
#include "host/ExitCode.h"

#include "bench/DesignGenerator.h"

#include "SweepSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace KravikSweep;

struct Finding
{
    std::string key;  // test, then the line without its fix status, indexes masked
    std::string code; // "ERROR 217"
    bool fixed = false;
};

std::string MaskIndexes(const std::string& text)
{
    static const std::regex index("-?[0-9]+-[0-9]+-[0-9]+");
    return std::regex_replace(text, index, "#");
}

// The findings of a check log, in order: every "ERROR n:", "WARNING n:" and "INFO n:" line.
std::vector<Finding> FindingsOf(const std::string& log)
{
    static const std::regex finding("^((ERROR|WARNING|INFO) [0-9]+): ");
    std::vector<Finding> found;
    std::istringstream in(log);
    std::string test, line;
    std::smatch match;
    while (std::getline(in, line))
    {
        if (line.compare(0, 6, "Test: ") == 0)
            test = line.substr(6);
        if (!std::regex_search(line, match, finding))
            continue;
        Finding f;
        f.code = match[1];
        // The fix status closes the line: " - Fixed." or " - Not Fixed." with an optional reason.
        const size_t notFixed = line.rfind(" - Not Fixed.");
        if (line.size() >= 9 && line.compare(line.size() - 9, 9, " - Fixed.") == 0)
        {
            f.fixed = true;
            line.resize(line.size() - 9);
        }
        else if (notFixed != std::string::npos)
        {
            line.resize(notFixed);
        }
        f.key = test + "\t" + MaskIndexes(line);
        found.push_back(f);
    }
    return found;
}

// A value of an example replaced: the JSON pointer and the new value (JSON text). A pointer that
// ends in "/-" appends the value to the list.
struct Edit
{
    std::string pointer, value;
};

struct ConvergenceCase
{
    std::string name;
    std::string example;     // file name under examples/; empty for a generated design
    std::string constraints; // file name under examples/
    kravik_bench::DesignOptions generated;
    bool hidden;
    std::vector<Edit> edits;       // made to the example; none: as it is
    std::set<std::string> allowed; // codes that may come back ("ERROR 1228")
    std::set<std::string> repaired; // codes the first fix run must repair at least once
};

// Examples with values changed: repairs that report fixed while their test still raises the
// finding, as they are meant to work, each with the codes it allows; and findings whose repair
// must leave a design that a second run does not change.
struct EditedExample
{
    const char* name;
    const char* example;
    std::vector<Edit> edits;
    std::set<std::string> allowed;
    std::set<std::string> repaired = {};
};

// Net class HS with its rule in "(Master)", and another class's rule whose child rule GHOST names a
// net class that is gone.
const std::vector<Edit> kClassBesideDanglingRule = {
    {"/snapshots/0/norvConfigs/0/design/netClasses/-", R"({"id": "NC_HS", "name": "HS"})"},
    {"/snapshots/0/norvConfigs/0/design/schemes/0/schemaNetClassRules/-",
     R"({"name": "HS", "parentNetClass": "NC_HS",
         "layerRules": [{"layerIndex": 1, "parentLayer": "L1"}, {"layerIndex": 2, "parentLayer": "L2"}]})"},
    {"/snapshots/0/norvConfigs/0/design/schemes/0/schemaNetClassRules/0",
     R"j({"name": "(Default)", "parentNetClass": "NC_DEF", "constraints": [{"name": "LINE_WIDTH", "value": 5.0}],
          "layerRules": [{"layerIndex": 1, "parentLayer": "L1"}, {"layerIndex": 2, "parentLayer": "L2"}],
          "childRules": [{"name": "GHOST", "parentNetClass": "9999-0-24"}]})j"},
};

std::vector<Edit> With(std::vector<Edit> edits, const std::vector<Edit>& more)
{
    edits.insert(edits.end(), more.begin(), more.end());
    return edits;
}

const EditedExample kEditedExamples[] = {
    // The pair's topology is no topology name: the pair becomes "Custom" and its nets keep "Star",
    // which the repair leaves as they are, so the pair and its nets still differ.
    {"pair_topology_no_name", "clean.json", {{"/snapshots/0/norvConfigs/0/diffPairs/0/constraints/0/value", "\"dU1_4\""}},
     {"ERROR 1228"}},
    // The net's "TEMPLATE" is a list of texts: "(None)" is written keeping the value's kind, which
    // leaves the list as it was, so every repair reports fixed and the link stays.
    {"net_template_text_list", "broken-repairs.json",
     {{"/snapshots/0/norvConfigs/0/electricalNets/3/constraints/0/type", "6"}}, {"ERROR 6111"}},
    // A layer rule of layer number 1 names the other layer: the repair finds a layer rule of that
    // number, counts the layer as there and changes nothing.
    {"layer_rule_other_layer", "clean.json",
     {{"/snapshots/0/norvConfigs/0/design/schemes/1/schemaNetClassRules/0/layerRules/0/parentLayer", "\"L2\""}},
     {"ERROR 2521"}},
    // A logic component whose design pins have no "Pin Number": its pins cannot be paired, so the
    // component is left as it is.
    {"logic_pins_without_number", "clean.json",
     {{"/snapshots/0/norvConfigs/0/norvComps/-",
       R"({"id": "R9", "name": "R9", "parentPart": "P_RES", "logicComps": ["LR9"],
           "pins": [{"id": "R9_1", "name": "1", "parentPartPin": "rp1"},
                    {"id": "R9_2", "name": "2", "parentPartPin": "rp2"}]})"},
      {"/snapshots/0/defaultConfigs/0/logicComps/-",
       R"({"id": "LR9", "name": "R9", "types": [11],
           "attributes": [{"name": "Ref Designator", "type": 3, "value": "R9"}],
           "pins": [{"id": "dR9_1", "name": "R9.1", "types": [20]}, {"id": "dR9_2", "name": "R9.2", "types": [20]}]})"}},
     {}},
    // Default objects named in other letter case: the default one is not added beside them.
    {"master_scheme_lower_case", "clean.json", {{"/snapshots/0/norvConfigs/0/design/schemes/0/name", "\"(master)\""}}, {}},
    {"minimum_scheme_lower_case", "clean.json", {{"/snapshots/0/norvConfigs/0/design/schemes/1/name", "\"(minimum)\""}}, {}},
    {"default_clear_rule_lower_case", "clean.json",
     {{"/snapshots/0/norvConfigs/0/design/clearRules/0/name", "\"(default rule)\""}}, {}},
    // A net class whose rule in "(Master)" is missing from its own rule list, and which has none in
    // "(Minimum)": re-creating the class would leave that rule behind, so the class stays.
    {"net_class_rule_unlisted", "clean.json",
     {{"/snapshots/0/norvConfigs/0/design/netClasses/-",
       R"({"id": "NC_HS", "name": "HS", "literal": ["schemaNetClassRules"], "schemaNetClassRules": []})"},
      {"/snapshots/0/norvConfigs/0/design/schemes/0/schemaNetClassRules/-",
       R"({"name": "HS", "parentNetClass": "NC_HS"})"}},
     {}},
    // A pair's net without a net class: the pair's classes cannot be made one, and the outcome says
    // why.
    {"pair_net_without_class", "clean.json", {{"/snapshots/0/norvConfigs/0/physicalNets/1/netClass", "null"}}, {}},
    // Net classes made again beside a rule whose parent cannot be read: that rule is not the class's,
    // so the class is made again, once. HS has no rule in "(Minimum)", or one without layer L2.
    {"net_class_rule_missing_dangling_child", "clean.json", kClassBesideDanglingRule, {}, {"ERROR 2818"}},
    {"net_class_layer_missing_dangling_child", "clean.json",
     With(kClassBesideDanglingRule,
          {{"/snapshots/0/norvConfigs/0/design/schemes/1/schemaNetClassRules/-",
            R"({"name": "HS", "parentNetClass": "NC_HS", "layerRules": [{"layerIndex": 1, "parentLayer": "L1"}]})"}}),
     {}, {"ERROR 2521"}},
};

std::ostream& operator<<(std::ostream& out, const ConvergenceCase& c)
{
    return out << c.name;
}

// The constraints file that examples/README.md checks the example with, empty if it names none.
std::string ReadmeConstraints(const std::string& example)
{
    std::istringstream readme(ReadFile(ExamplePath("README.md")));
    const std::regex row("^\\| `" + std::regex_replace(example, std::regex("\\."), "\\.") + "` \\|.*--constraints examples/([^ `]+)");
    std::string line;
    std::smatch match;
    while (std::getline(readme, line))
        if (std::regex_search(line, match, row))
            return match[1];
    return "";
}

class FixConvergenceTest : public ::testing::TestWithParam<ConvergenceCase>
{
protected:
    void SetUp() override
    {
        if (GetParam().hidden)
            setenv("NORV_CIC_RUN_HIDDEN_TESTS", "1", 1);
        else
            unsetenv("NORV_CIC_RUN_HIDDEN_TESTS");
    }
    void TearDown() override { unsetenv("NORV_CIC_RUN_HIDDEN_TESTS"); }

    // One check of `design`, its log in `log`; in fix mode the repaired design goes to `output`. What
    // the host says on standard error (a design's own test aids make reads fail) goes into `log` too.
    int Run(const std::string& design, bool fix, const std::string& output, std::string& log)
    {
        KravikHost::CheckOptions options;
        options.design = design;
        options.constraints = ExamplePath(GetParam().constraints);
        options.logFile = m_dir.File("log.txt");
        options.fix = fix;
        options.outputFile = output;
        std::ostringstream err;
        const int code = KravikHost::RunCheck(options, err, KravikHost::Terminal());
        log = ReadFile(options.logFile) + err.str();
        EXPECT_EQ("", TextlessFailure(log)) << (fix ? "fix of " : "check of ") << design;
        return code;
    }

    TempDir m_dir;
};

TEST_P(FixConvergenceTest, RepairedFindingsStayRepaired)
{
    const ConvergenceCase& c = GetParam();
    const std::string design = m_dir.File("design.json"), out = m_dir.File("out.json");
    if (!c.example.empty() && !c.edits.empty())
    {
        nlohmann::ordered_json edited = nlohmann::ordered_json::parse(ReadFile(ExamplePath(c.example)));
        for (const Edit& e : c.edits)
        {
            const nlohmann::ordered_json value = nlohmann::ordered_json::parse(e.value);
            const bool append = e.pointer.size() > 2 && e.pointer.compare(e.pointer.size() - 2, 2, "/-") == 0;
            if (append)
                edited.at(nlohmann::ordered_json::json_pointer(e.pointer.substr(0, e.pointer.size() - 2))).push_back(value);
            else
                edited.at(nlohmann::ordered_json::json_pointer(e.pointer)) = value;
        }
        WriteFile(design, edited.dump(1));
    }
    else if (!c.example.empty())
    {
        WriteFile(design, ReadFile(ExamplePath(c.example)));
    }
    else
    {
        std::ofstream file(design, std::ios::binary);
        kravik_bench::GenerateDesign(c.generated, file);
    }

    // The check: it changes nothing.
    const FileState before = StateOf(design);
    std::string log;
    const int checked = Run(design, false, "", log);
    ASSERT_NE(KravikHost::EXIT_OPERATIONAL, checked) << log;
    EXPECT_EQ("", ChangeOf(design, before));
    std::map<std::string, int> reported;
    for (const Finding& f : FindingsOf(log))
        ++reported[f.key];

    // The repair.
    const int repaired = Run(design, true, out, log);
    ASSERT_NE(KravikHost::EXIT_OPERATIONAL, repaired) << log;
    std::map<std::string, int> fixed;
    std::map<std::string, std::string> codes;
    std::set<std::string> unrepaired = c.repaired;
    for (const Finding& f : FindingsOf(log))
    {
        if (f.fixed)
        {
            ++fixed[f.key];
            unrepaired.erase(f.code);
        }
        codes[f.key] = f.code;
    }
    EXPECT_TRUE(unrepaired.empty()) << "not repaired: " << *unrepaired.begin();
    // Nothing modified, nothing saved: the re-check reads the design itself. A repair that reports
    // fixed changes the design, unless it is one allowed to report fixed while the finding stays.
    const bool saved = access(out.c_str(), F_OK) == 0;
    bool onlyAllowedFixed = true;
    for (const auto& f : fixed)
        onlyAllowedFixed = onlyAllowedFixed && c.allowed.count(codes[f.first]) != 0;
    EXPECT_TRUE(saved || onlyAllowedFixed) << "fixed " << fixed.size() << " kinds of finding, nothing saved";
    const std::string repairedDesign = saved ? out : design;

    // The re-check: what was fixed stays fixed.
    const int rechecked = Run(repairedDesign, false, "", log);
    ASSERT_NE(KravikHost::EXIT_OPERATIONAL, rechecked) << log;
    std::map<std::string, int> remaining;
    for (const Finding& f : FindingsOf(log))
        ++remaining[f.key];
    int fixedCount = 0, cameBack = 0, allowed = 0;
    for (const auto& f : fixed)
    {
        fixedCount += f.second;
        const int left = std::max(0, reported[f.first] - f.second);
        if (remaining[f.first] <= left)
            continue;
        if (c.allowed.count(codes[f.first]))
        {
            ++allowed;
            continue;
        }
        ++cameBack;
        ADD_FAILURE() << "fixed " << f.second << " of " << reported[f.first] << ", the re-check reports "
                      << remaining[f.first] << ": " << f.first;
    }

    // A second repair finds nothing more to repair.
    const std::string againFile = m_dir.File("again.json");
    const int again = Run(repairedDesign, true, againFile, log);
    bool allowedAgain = false;
    for (const Finding& f : FindingsOf(log))
    {
        if (f.fixed && c.allowed.count(f.code))
            allowedAgain = true;
        else
            EXPECT_FALSE(f.fixed) << "repaired again: " << f.key;
    }
    if (!allowedAgain)
    {
        EXPECT_NE(KravikHost::EXIT_REPAIRED, again);
        // What it saves is the design it read, byte for byte; a first run that saved nothing left
        // nothing to save.
        if (access(againFile.c_str(), F_OK) == 0)
        {
            EXPECT_TRUE(saved) << "the second repair saved a design the first left as it was";
            EXPECT_TRUE(saved && ReadFile(againFile) == ReadFile(repairedDesign)) << "the second repair changed the design";
        }
    }

    std::cout << "[ converge ] " << c.name << ": " << reported.size() << " kinds of finding, " << fixedCount
              << " fixed; came back " << cameBack << ", allowed " << allowed << "; exits " << checked << " "
              << repaired << " " << rechecked << " " << again << std::endl;
}

kravik_bench::DesignOptions Generated(uint64_t pins, uint64_t seed, double defectRate, double schemeDefectRate,
                                      double pinsPerNet = 4.0)
{
    kravik_bench::DesignOptions o = kravik_bench::SeededDesign(pins, seed, defectRate);
    o.schemeDefectRate = schemeDefectRate;
    o.avgPinsPerNet = pinsPerNet;
    return o;
}

std::vector<ConvergenceCase> Cases()
{
    std::vector<ConvergenceCase> cases;
    for (bool hidden : {false, true})
    {
        const std::string suffix = hidden ? "_hidden" : "";
        for (const std::string& example : ExampleDesigns())
        {
            const std::string base = example.substr(0, example.size() - 5);
            std::set<std::string> constraints{"constraints-full.json"};
            const std::string readme = ReadmeConstraints(example);
            if (!readme.empty())
                constraints.insert(readme);
            for (const std::string& file : constraints)
                cases.push_back({base + "_" + file.substr(0, file.size() - 5) + suffix, example, file, {}, hidden, {}, {}, {}});
        }
        for (const EditedExample& e : kEditedExamples)
            cases.push_back({std::string(e.name) + suffix, e.example, "constraints-full.json", {}, hidden, e.edits,
                             e.allowed, e.repaired});
        const struct
        {
            const char* name;
            kravik_bench::DesignOptions options;
        } generated[] = {
            {"generated_every_net", Generated(600, 8, 1.0, 0.2)},
            {"generated_few", Generated(3000, 2, 0.05, 0.05)},
            {"generated_two_pin_nets", Generated(1500, 9, 0.2, 0.1, 2.0)},
            {"generated_schemes_only", Generated(1000, 5, 0.0, 0.3)},
        };
        for (const auto& g : generated)
            cases.push_back({g.name + suffix, "", "constraints-full.json", g.options, hidden, {}, {}, {}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Designs, FixConvergenceTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ConvergenceCase>& info) {
                             std::string name = info.param.name;
                             std::replace_if(name.begin(), name.end(),
                                             [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
                             return name;
                         });

} // namespace
