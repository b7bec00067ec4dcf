// CNorvInitTest: the first test of every run. Checks that the Norv data of the design exists and
// holds the objects every other test and repair takes for granted: the configuration of the top
// block, its design, the "(All)" constraint class, the "(Default)" net class, the "(Master)" and
// "(Minimum)" schemes, the "(Default Rule)" clearance rule and the general clearance.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include "lumopi/LumoPI.h"

// The search selection made of a with b added.
Lumo::BitContainerT<Lumo::ESearchParams> CombineSearchParamsV(Lumo::ESearchParams a, Lumo::ESearchParams b);

class CNorvInitTest : public CNorvDetailChecker
{
public:
    CNorvInitTest() = default;
    ~CNorvInitTest() override = default;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
