// CPartHasName: every part of the Norv configuration has a non-empty name and no two parts share
// one, compared exactly. Family T31.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPartHasName : public CNorvDetailChecker
{
public:
    CPartHasName();
    ~CPartHasName() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
