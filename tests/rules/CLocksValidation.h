// CLocksValidation: checks that every lock held in the snapshot belongs to the sub-client of the
// current session; the first foreign lock is reported. Not registered with the checker.
// Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CLocksValidation : public CNorvDetailChecker
{
public:
    CLocksValidation();
    ~CLocksValidation() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
