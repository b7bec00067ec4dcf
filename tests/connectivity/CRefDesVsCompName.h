// CRefDesVsCompName: every logical component of a Norv component carries a "Ref Designator"
// attribute one of whose ";"-separated entries is the Norv component's name. Family T41.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CRefDesVsCompName : public CNorvDetailChecker
{
public:
    CRefDesVsCompName();
    ~CRefDesVsCompName() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
