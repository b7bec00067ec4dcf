// CPinUnique: every pin (net, virtual, guide, EBD and boundary pins) is listed by one physical net
// only, once, and every physical net lists at least two of them. Family T51. Duplicates are found
// by sorting the collected pins by index and comparing neighbours.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPinUnique : public CNorvDetailChecker
{
public:
    CPinUnique();
    ~CPinUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
};
