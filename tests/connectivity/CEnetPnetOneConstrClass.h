// CEnetPnetOneConstrClass: the check that an electrical net and its physical nets belong to one
// constraint class. Its run passes without reading the design; the checker never registers it.
// Family T17.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CEnetPnetOneConstrClass : public CNorvDetailChecker
{
public:
    CEnetPnetOneConstrClass();
    ~CEnetPnetOneConstrClass() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
