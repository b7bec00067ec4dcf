// CViaSpanValid: checks that every via span of the Norv design has a readable name and index and
// that the query of its allowed vias succeeds. Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CViaSpanValid : public CNorvDetailChecker
{
public:
    CViaSpanValid();
    ~CViaSpanValid() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
