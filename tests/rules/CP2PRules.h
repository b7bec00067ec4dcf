// CP2PRules: checks that every package-to-package clearance rule of the Norv design carries the
// five constraints that define it. Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CP2PRules : public CNorvDetailChecker
{
public:
    CP2PRules();
    ~CP2PRules() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
