// CPnetUnique: no two physical nets of the Norv configuration share a name (without regard to
// case), unless one of them is an implicit power net, and every physical net is listed exactly
// once by its parent electrical net. Implicit "(net0)-" nets are left out. Family T40.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPnetUnique : public CNorvDetailChecker
{
public:
    CPnetUnique();
    ~CPnetUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct PnetNameRecord
    {
        Lumo::Index index;
        std::string name;
        std::string upperName;
    };

    // Reports the duplicate pair, or the implicit power net among them; false when it raised a
    // duplicate finding.
    bool checkPairUnique(const PnetNameRecord& first, const PnetNameRecord& second);
    std::string toUpper(const std::string& text) const;
};
