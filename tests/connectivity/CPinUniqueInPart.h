// CPinUniqueInPart: each part pin belongs to the part that lists it, no two pins of a part share a
// name, each part pin pair joins two different pins and no two pairs of a part join the same two
// pins. Family T52. Duplicates are grouped by key, in the order that comparing every two gives.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <vector>

class CPinUniqueInPart : public CNorvDetailChecker
{
public:
    CPinUniqueInPart();
    ~CPinUniqueInPart() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct PartPinRecord
    {
        std::string name;
        Lumo::Index pin;
    };
    struct PartPinPairRecord
    {
        Lumo::Index pair;
        std::string name;
        Lumo::Index firstPin;
        Lumo::Index secondPin;
    };

    // Reads the part's pins and raises the parent and name findings; false when a read ended the run.
    bool checkPartPins(const Lumo::ContainerT<const Lumo::INorvPart>& part, Lumo::Index partIndex,
                       const std::string& partName);
    // Reads the part's pin pairs and raises the pair findings; false when a read ended the run.
    bool checkPartPinPairs(const Lumo::ContainerT<const Lumo::INorvPart>& part, Lumo::Index partIndex);
};
