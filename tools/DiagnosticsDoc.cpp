#include "tools/DiagnosticsDoc.h"

#include "framework/CDICErrors.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/FixRegistry.h"
#include "framework/TestRegistry.h"

#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace KravikDocs {

const char* const kRegenerateCommand = "cmake --build build/release --target diagnostics-doc";

namespace {

// Codes are family x 100 + a running number; the families end well below this.
constexpr unsigned kCodeLimit = 100 * 100;

struct CodeName
{
    std::string name;      // T1_NODESIGN
    std::string testClass; // the class named above the code's family in the header
};

// The names of the codes and the classes of their families, from the header's declarations.
std::map<unsigned, CodeName> ReadCodeNames(const std::string& header)
{
    static const std::regex classComment(R"(^\s*// (C[A-Za-z0-9]+)\s*$)");
    static const std::regex declaration(R"(static constexpr unsigned (T[0-9]+_[A-Za-z0-9_]+)\s*=\s*([0-9]+);)");
    std::map<unsigned, CodeName> names;
    std::istringstream lines(header);
    std::string line, testClass;
    std::smatch match;
    while (std::getline(lines, line))
    {
        if (std::regex_match(line, match, classComment))
            testClass = match[1];
        else if (std::regex_search(line, match, declaration))
            names.emplace(static_cast<unsigned>(std::stoul(match[2])), CodeName{match[1], testClass});
    }
    return names;
}

struct RepairName
{
    std::string code;   // T23_FROMTOINVALID
    std::string method; // CFixNet::DeleteInvalidFromTo
    bool allowedOnBackEnd;
};

// The rows of the registry's source that are in force (not commented out), in order. A row may go
// on over the next lines with what its repair changes, which the built row gives.
std::vector<RepairName> ReadRepairNames(const std::string& source)
{
    static const std::regex row(R"(^\s*\{CDICErrors::(\w+),\s*&(\w+::\w+),\s*(true|false)\s*[,}].*$)");
    std::vector<RepairName> rows;
    std::istringstream lines(source);
    std::smatch match;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_match(line, match, row))
            rows.push_back({match[1], match[2], match[3] == "true"});
    return rows;
}

// The name each test shows in the log, by class, for the tests that can be registered.
std::map<std::string, std::string> TestNames()
{
    std::map<std::string, std::string> names;
    for (const TestRegistration& row : TestRegistryTable())
    {
        const std::unique_ptr<CNorvDetailChecker> test(row.create());
        std::string name = test->getTestName();
        if (row.gating == TestGating::HiddenTestsOn)
            name += " (hidden test)";
        else if (row.gating == TestGating::OutsideTamsaFlow)
            name += " (not in the Tamsa flow)";
        names.emplace(row.className, name);
    }
    return names;
}

// A text in a table cell: pipes escaped, nothing else touched.
std::string Cell(const char* text)
{
    std::string cell;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c)
        cell += *c == '|' ? std::string("\\|") : std::string(1, *c);
    return cell.empty() ? "-" : cell;
}

const char* SeverityWord(DICSeverity severity)
{
    switch (severity)
    {
    case DIC_ERROR: return "ERROR";
    case DIC_WARNING: return "WARNING";
    case DIC_INFO: return "INFO";
    case DIC_NONE: break;
    }
    return "INFO"; // the log writes a code without a severity as INFO
}

const char* const kIntroduction = R"(# Diagnostic codes

Every finding of a check is one line of the check log: the severity, the code and the message, as
in `ERROR 217: There is missing clearance rule: Tight (0-0-0) in scheme: (Master) (0-0-0)`. A code is
the number of its family (one family per test) times 100 plus a running number. The tables below
list every code of the catalogue, by the test that raises it:

- **Severity**: an ERROR makes the test end FAILED, a WARNING makes it end with WARNINGS (when
  nothing failed); INFO lines are written only with `--log-level 2`, WARNING lines with level 1 or 2.
- **Message**: the text of the log line. In the log `%N` becomes a name, `%I` an object index in
  its text form (`63-0-51`, see [design-file.md](design-file.md#indexes)) and `%C` a name again.
- **Summary**: the shorter text for a report to the user.
- **Repair**: the repair that `kravik check --fix` runs for the code, and whether it also runs with
  `--back-end`. A code without one is only reported, in fix mode too.
- **What the repair changes**: what the repair does to the design; for one that deletes or
  re-creates an object, also what is lost with it. A remark that a repair makes on a finding it
  fixed, such as "please verify constraints!", is not written to the log: the line ends
  ` - Fixed.`.
)";

} // namespace

std::vector<RepairRow> BuiltRepairRegistry()
{
    std::vector<RepairRow> rows;
    for (const FixRegistration& row : FixRegistryTable())
        rows.push_back({row.code, row.allowedOnBackEnd, row.change != nullptr ? row.change : ""});
    return rows;
}

std::string RenderDiagnosticsDoc(const std::string& codesHeader, const std::string& registrySource,
                                 const std::vector<RepairRow>& registry)
{
    const std::map<unsigned, CodeName> names = ReadCodeNames(codesHeader);
    const std::vector<RepairName> repairNames = ReadRepairNames(registrySource);
    if (repairNames.size() != registry.size())
        throw std::runtime_error("the repair registry's source has " + std::to_string(repairNames.size())
                                 + " rows in force, the built registry " + std::to_string(registry.size()));

    // code -> "`Class::Method`" and what it changes (and further repairs registered for the same code)
    std::map<unsigned, std::pair<std::string, std::string>> repairs;
    for (size_t i = 0; i < registry.size(); ++i)
    {
        const RepairName& named = repairNames[i];
        const auto code = names.find(registry[i].code);
        if (code == names.end() || code->second.name != named.code || named.allowedOnBackEnd != registry[i].allowedOnBackEnd)
            throw std::runtime_error("row " + std::to_string(i + 1) + " of the repair registry's source ("
                                     + named.code + ") does not match the built registry");
        if (registry[i].change.empty())
            throw std::runtime_error("row " + std::to_string(i + 1) + " of the repair registry (" + named.code
                                     + ") does not say what its repair changes");
        auto& [method, change] = repairs[registry[i].code];
        method += (method.empty() ? "`" : "; `") + named.method + "`" + (named.allowedOnBackEnd ? " (also on the back end)" : "");
        change += (change.empty() ? "" : "; ") + Cell(registry[i].change.c_str());
    }

    const std::map<std::string, std::string> testNames = TestNames();
    std::ostringstream doc;
    doc << "<!-- Generated from the diagnostic catalogue and the repair registry; do not edit.\n"
        << "     Regenerate with: " << kRegenerateCommand << " -->\n"
        << kIntroduction;
    std::string currentClass;
    for (unsigned code = 1; code < kCodeLimit; ++code)
    {
        if (CDICErrors::GetInText(code) == nullptr)
            continue;
        const auto named = names.find(code);
        if (named == names.end())
            throw std::runtime_error("the catalogue holds code " + std::to_string(code) + ", which the header does not name");
        if (named->second.testClass != currentClass)
        {
            currentClass = named->second.testClass;
            const auto test = testNames.find(currentClass);
            doc << "\n## " << (test == testNames.end() ? currentClass + " (never run)" : test->second) << "\n\n"
                << "Raised by `" << currentClass << "`.\n\n"
                << "| Code | Name | Severity | Message | Summary | Repair | What the repair changes |\n"
                << "|---|---|---|---|---|---|---|\n";
        }
        const CDICErrors::ErrorCase& record = CDICErrors::GetErrorCase(code);
        const auto repair = repairs.find(code);
        doc << "| " << code << " | `" << named->second.name << "` | " << SeverityWord(record.severity) << " | "
            << Cell(record.inText) << " | " << Cell(record.outText)
            << " | " << (repair == repairs.end() ? "- | -" : repair->second.first + " | " + repair->second.second)
            << " |\n";
    }
    return doc.str();
}

} // namespace KravikDocs
