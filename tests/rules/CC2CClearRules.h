// CC2CClearRules: checks that every class-to-class clearance rule names, through its constraints
// "C2C_SCHEME", "C2C_RULE_TYPE" and "C2C_RULE", a scheme and a clearance rule or Z-axis clearance
// rule that exist. Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CC2CClearRules : public CNorvDetailChecker
{
public:
    CC2CClearRules();
    ~CC2CClearRules() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
