// CCompUnique: no two packaged Norv components (those with a parent part) share a name, compared
// exactly. Family T5.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CCompUnique : public CNorvDetailChecker
{
public:
    CCompUnique();
    ~CCompUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
