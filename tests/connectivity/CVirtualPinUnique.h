// CVirtualPinUnique: no virtual pin name occurs twice among the virtual pins of all physical nets
// of the design (names compared byte for byte); every later pin with a name already seen is
// reported. Family T59. A failed read skips the net or pin and the walk goes on.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CVirtualPinUnique : public CNorvDetailChecker
{
public:
    CVirtualPinUnique();
    ~CVirtualPinUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
