// CPinSetUnique: within each physical net no two pin sets (nor virtual pin-set pins) bear the same
// name, compared without regard to case; every later one is reported against the first of its
// name. Family T50. The names of a net are kept in a hash map by their case-folded form.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPinSetUnique : public CNorvDetailChecker
{
public:
    CPinSetUnique();
    ~CPinSetUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
};
