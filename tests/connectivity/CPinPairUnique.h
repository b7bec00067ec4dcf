// CPinPairUnique: every pin pair of an electrical net is readable, names the net as its parent,
// joins two pins of the net's physical nets, does not use one pin twice and does not repeat
// another pair of the net (same name, or the same two pins in either order). Family T37.
// The pins of a net's physical nets are read once per net into a hash set.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <unordered_set>
#include <vector>

class CPinPairUnique : public CNorvDetailChecker
{
public:
    CPinPairUnique();
    ~CPinPairUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct PinPairRecord
    {
        std::string name;
        Lumo::Index pairIndex;
        Lumo::Index firstPin;
        Lumo::Index secondPin;
        Lumo::EPinPairType type = Lumo::PPT_Ordinary;
    };

    // The pins of the current net's physical nets, read at the first look-up. A failed read stops
    // the walk; the pins met before it are still found, any other pin meets the failure. Such a
    // walk is not kept: the next look-up walks again.
    struct NetPins
    {
        bool walked = false;
        unsigned failCode = 0;
        std::unordered_set<Lumo::Index> pins;
    };

    // Whether the pin lies among the pins of the net's physical nets; raises its own findings.
    bool checkPinPairPins(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                          const Lumo::ContainerT<const Lumo::INorvPin>& pin);
    void readNetPins(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net);
    void walkNetPins(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net);
    // Raises the pin-used-twice and duplicate findings of the net's records.
    void judgeRecords(const std::vector<PinPairRecord>& records);

    Lumo::BitContainerT<Lumo::EPinPairType> m_pairTypes;
    NetPins m_netPins;
    Lumo::Index m_netIndex;
    std::string m_netName;
};
