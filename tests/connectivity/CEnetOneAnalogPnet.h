// CEnetOneAnalogPnet: the "ANALOG" value of every physical net is "0" or "1", and an electrical
// net that holds an analog physical net holds no other. Family T16. Unlike most tests, a failed
// read of a net's index or name, or of a constraint's definition flag, ends the run.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CEnetOneAnalogPnet : public CNorvDetailChecker
{
public:
    CEnetOneAnalogPnet();
    ~CEnetOneAnalogPnet() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;
};
