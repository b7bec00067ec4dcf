// CValidNames: checks the names of the schemes and of the clearance rules. Every scheme and every
// clearance rule needs a readable index and name made only of the characters allowed for its kind,
// and names unique among their kind without regard to case.
// Runs on the checker's thread; keeps nothing from one run to the next.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CValidNames : public CNorvDetailChecker
{
public:
    CValidNames();
    ~CValidNames() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    TestStatus checkSchemes(Lumo::IteratorT<const Lumo::INorvScheme>& it, Lumo::Result& walk);
    TestStatus checkClearRules(Lumo::IteratorT<const Lumo::INorvClearRule>& it, Lumo::Result& walk);
};
