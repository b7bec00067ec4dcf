// CNetClassesInScheme: checks that every scheme holds a tree of scheme net class rules matching the
// tree of global net classes: the hierarchical names of the global net classes are unique without
// regard to case, and per scheme every rule has exactly one global net class of its path name that
// it derives from, and every global net class exactly one rule.
// The global net classes and the lists of scheme rules they map to do not change during a run: they
// are read once per run and reused for every scheme. Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/MappedIndexCache.h"
#include "tests/rules/NameIndexRecord.h"
#include "tests/rules/RuleWalk.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CNetClassesInScheme : public CNorvDetailChecker
{
public:
    CNetClassesInScheme();
    ~CNetClassesInScheme() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    TestStatus collectNetClasses(Lumo::IteratorT<const Lumo::INorvNetClass>& it,
                                 std::vector<NameIndexRecord>& globalList, Lumo::Result& walk);
    TestStatus checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme,
                           const std::vector<NameIndexRecord>& globalList);
    TestStatus collectSchemeNetClasses(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& it,
                                       std::vector<NameIndexRecord>& schemeList,
                                       const std::vector<NameIndexRecord>& globalList,
                                       const Lumo::Index& schemeIndex, int depth, Lumo::Result& walk);
    TestStatus getSchemeNetClassName(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule,
                                     const Lumo::Index& ruleIndex, std::string& name);
    TestStatus matchNetClasses(const std::vector<NameIndexRecord>& schemeList,
                               const std::vector<NameIndexRecord>& globalList, const Lumo::Index& schemeIndex);
    TestStatus checkNetClassReachable(const NameIndexRecord& globalRecord, const NameIndexRecord& schemeRecord);
    std::string schemeNameOf(const Lumo::Index& schemeIndex);

    // Positions in the global list by case-folded hierarchical name.
    std::unordered_map<std::string, std::vector<std::size_t>> m_globalByName;
    NorvRules::MappedIndexCache m_mappedRules;                    // scheme rules by net class index
    PathGuard m_classPath;                                        // net classes being descended into
    PathGuard m_rulePath;                                         // scheme rules being descended into
};
