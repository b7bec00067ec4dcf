// CPinInComponent: every net pin of a physical net has a valid parent component, and every physical
// net has at least two net pins. Family T35.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPinInComponent : public CNorvDetailChecker
{
public:
    CPinInComponent();
    ~CPinInComponent() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
};
