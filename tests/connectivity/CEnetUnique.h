// CEnetUnique: no two electrical nets of the Norv configuration share a name (without regard to
// case), unless the first physical net of one of them is an implicit power net, which is then
// reported as a warning instead. Family T18.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CEnetUnique : public CNorvDetailChecker
{
public:
    CEnetUnique();
    ~CEnetUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct EnetNameRecord
    {
        Lumo::Index index;
        std::string name;
        std::string upperName;
    };

    bool checkPairUnique(const EnetNameRecord& first, const EnetNameRecord& second);
    std::string toUpper(const std::string& text) const;
};
