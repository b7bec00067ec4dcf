// CEbdPinUnique: no EBD pin name occurs twice among the EBD pins of one Norv component (names
// compared byte for byte). Family T14.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CEbdPinUnique : public CNorvDetailChecker
{
public:
    CEbdPinUnique();
    ~CEbdPinUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
};
