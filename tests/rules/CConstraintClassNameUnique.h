// CConstraintClassNameUnique: checks the tree of constraint classes the way the net class name
// test checks net classes: a readable index and name for every class, names made only of the
// characters allowed in scheme names, unique without regard to case among siblings; and every
// constraint class must have a readable net class.
// Runs on the checker's thread; keeps nothing from one run to the next.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/RuleWalk.h"

#include <string>

class CConstraintClassNameUnique : public CNorvDetailChecker
{
public:
    CConstraintClassNameUnique();
    ~CConstraintClassNameUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // Each walks the iterator; a walk that fails on the way leaves its failure in walk.
    TestStatus checkConstraintClass(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it, std::string path,
                                    Lumo::Result& walk);
    TestStatus checkConstraintClassChildren(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it,
                                            std::string path, Lumo::Result& walk);

    PathGuard m_path; // classes being descended into, to stop on a cycle
};
