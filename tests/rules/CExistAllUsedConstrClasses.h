// CExistAllUsedConstrClasses: checks that the constraint class of every electrical net is one of
// the constraint classes of the design, by hierarchical name (exact, case-sensitive).
// The design's classes are collected once per run into a list and a hash set of their path names.
// Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/ClassPathWalk.h"

#include <string>
#include <unordered_set>
#include <vector>

class CExistAllUsedConstrClasses : public CNorvDetailChecker
{
public:
    CExistAllUsedConstrClasses();
    ~CExistAllUsedConstrClasses() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    bool collectConstraintClasses();
    bool collectChildConstraintClasses(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it,
                                       const std::string& parentPath, Lumo::Result& walk);
    bool containsName(const std::string& name) const;

    std::vector<IndexNameRecord> m_existingClasses; // depth-first, a class before its children
    std::unordered_set<std::string> m_existingNames; // the path names of m_existingClasses
    PathGuard m_path;                               // classes being descended into
};
