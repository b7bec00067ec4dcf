// CPartPinPairValid: every part pin pair of a part belongs to that part, joins two distinct,
// readable part pins of the same part, is listed by both pins among their parent pairs, and no two
// pairs of one part share a name or join the same two pins. Family T32.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

class CPartPinPairValid : public CNorvDetailChecker
{
public:
    CPartPinPairValid();
    ~CPartPinPairValid() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct PartPinPairRecord
    {
        std::string name;
        Lumo::Index firstPin;
        Lumo::Index secondPin;
    };

    bool checkPairParent(const Lumo::ContainerT<const Lumo::INorvPartPinPair>& pair, Lumo::Index partIndex);
    bool checkPartPinPair(const Lumo::ContainerT<const Lumo::INorvPartPinPair>& pair, Lumo::Index partIndex,
                          std::vector<PartPinPairRecord>& records);
    bool checkPartPinParent(Lumo::Index partIndex, const Lumo::ContainerT<const Lumo::INorvPartPin>& pin);
    bool isPairInPinParentPairs(const Lumo::ContainerT<const Lumo::INorvPartPin>& pin, Lumo::Index pinIndex,
                                Lumo::Index pairIndex);
    void reportDuplicates(const std::vector<PartPinPairRecord>& records);

    // The parent pairs of each part pin whose list was read, kept for the run.
    std::unordered_map<Lumo::Index, std::unordered_set<Lumo::Index>> m_parentPairs;
};
