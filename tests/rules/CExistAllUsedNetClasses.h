// CExistAllUsedNetClasses: checks that the net class of every physical net exists among the net
// classes of the design, by hierarchical name (exact, case-sensitive). The physical nets are
// reached through the electrical nets and again through the two electrical nets of every
// differential pair. The design's classes are collected once per run into a list and a hash set
// of their path names. Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/ClassPathWalk.h"

#include <string>
#include <unordered_set>
#include <vector>

class CExistAllUsedNetClasses : public CNorvDetailChecker
{
public:
    CExistAllUsedNetClasses();
    ~CExistAllUsedNetClasses() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    bool collectNetClasses();
    bool collectChildNetClasses(Lumo::IteratorT<const Lumo::INorvNetClass>& it, const std::string& parentPath,
                                Lumo::Result& walk);
    bool containsName(const std::string& name) const;
    void checkElectricalNet(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net);
    void checkDiffPair(const Lumo::ContainerT<const Lumo::INorvDiffPair>& pair);

    std::vector<IndexNameRecord> m_existingClasses; // depth-first, a class before its children
    std::unordered_set<std::string> m_existingNames; // the path names of m_existingClasses
    PathGuard m_path;                               // classes being descended into
};
