// CNoiseRuleChecker: checks every noise rule: a readable type, a victim and an aggressor given,
// and each of them either a pass word or the name of exactly one object that can be found again by
// that name (a constraint class by its hierarchical name, or an electrical net by its name).
// Runs on the checker's thread; keeps nothing from one run to the next.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CNoiseRuleChecker : public CNorvDetailChecker
{
public:
    CNoiseRuleChecker();
    ~CNoiseRuleChecker() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    void findConstraintClass(Lumo::String name, Lumo::Index ruleIndex, Lumo::String ruleName, std::string role);
    void findChildConstraintClass(Lumo::ContainerT<const Lumo::INorvConstraintClass> parent, std::string path,
                                  unsigned start, Lumo::Index ruleIndex, std::string role);
    void findElectricalNet(Lumo::String name, Lumo::Index ruleIndex, Lumo::String ruleName, std::string role);
};
