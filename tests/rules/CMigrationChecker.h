// CMigrationChecker: reports the outcome of the migration of the Norv data that the snapshot
// records in its attributes (status, log file name, date). Not registered with the checker.
// Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>

class CMigrationChecker : public CNorvDetailChecker
{
public:
    CMigrationChecker();
    ~CMigrationChecker() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
