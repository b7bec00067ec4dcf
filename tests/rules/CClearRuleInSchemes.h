// CClearRuleInSchemes: checks that every clearance rule of the design has exactly one schema clear
// rule of its name in every scheme, and every schema clear rule exactly one clearance rule; that
// the two point at each other; that each schema clear rule belongs to the scheme it is listed in;
// and that scheme names are unique without regard to case.
// The design's clearance rules and their lists of schema clear rules do not change during a run:
// they are read once per run and reused for every scheme, a failed read being reported again
// wherever it would have been met. Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/MappedIndexCache.h"
#include "tests/rules/NameIndexRecord.h"

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

class CClearRuleInSchemes : public CNorvDetailChecker
{
public:
    CClearRuleInSchemes();
    ~CClearRuleInSchemes() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The design's clearance rules, kept for the run once read whole (read); failCode is the code
    // of the read that stopped the last reading (0 when all were read).
    struct DesignRules
    {
        bool read = false;
        unsigned failCode = 0;
        std::vector<NameIndexRecord> rules;
        std::unordered_map<std::string, std::vector<std::size_t>> byName; // exact name -> positions
    };
    TestStatus checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme);
    TestStatus collectClearRules(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme,
                                 const std::string& schemeName);
    TestStatus compareRulesWithSchemes(const std::vector<NameIndexRecord>& clearRules,
                                       const std::vector<NameIndexRecord>& schemaRules,
                                       const std::string& schemeName);
    TestStatus checkSchemaClearRuleReachable(const NameIndexRecord& clearRule, const NameIndexRecord& schemaRule);
    const DesignRules& designClearRules();

    std::set<std::string> m_schemeNames; // upper-cased names of the schemes seen in this run
    DesignRules m_designRules;
    NorvRules::MappedIndexCache m_mappedRules; // schema clear rules by clearance rule index
};

// A copy of the text with every character upper-cased.
std::string toUpperString(const std::string& text);
