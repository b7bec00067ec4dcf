// CPartPinValid: every part pin that a part lists names that part as its parent. Family T33.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPartPinValid : public CNorvDetailChecker
{
public:
    CPartPinValid();
    ~CPartPinValid() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
