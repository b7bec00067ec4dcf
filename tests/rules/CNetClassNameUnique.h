// CNetClassNameUnique: checks the names in the tree of net classes. Every net class needs a
// readable index and name made only of the characters allowed in scheme names, without "New...",
// and differing, without regard to case, from its siblings (same parent, or the top level).
// Runs on the checker's thread; keeps nothing from one run to the next.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/RuleWalk.h"

#include <string>

class CNetClassNameUnique : public CNorvDetailChecker
{
public:
    CNetClassNameUnique();
    ~CNetClassNameUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The level check: the net classes of one level and the uniqueness of their names.
    TestStatus checkNetClass(Lumo::IteratorT<const Lumo::INorvNetClass>& it, std::string path, Lumo::Result& walk);
    // The walk: the level of children of every net class of the level, recursively. A walk that
    // fails on the way (of either) leaves its failure in walk.
    TestStatus checkNetClassChildren(Lumo::IteratorT<const Lumo::INorvNetClass>& it, std::string path,
                                     Lumo::Result& walk);

    PathGuard m_path; // net classes being descended into, to stop on a cycle
};
