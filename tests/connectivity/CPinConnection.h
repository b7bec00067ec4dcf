// CPinConnection: every net pin that a physical net lists is listed by exactly one Norv component,
// and that component's pin names the listing net as its parent. Family T34. The net-pin records are
// sorted by pin index, so a component pin finds its records without scanning the whole list.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <vector>

class CPinConnection : public CNorvDetailChecker
{
public:
    CPinConnection();
    ~CPinConnection() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct PinRecord
    {
        Lumo::Index pin;
        Lumo::Index net;
    };

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
};
