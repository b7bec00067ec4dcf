// CFlatPinVsNorvPinChecker: net by net, the forward-PCB pins of each schematic flat net and the net
// pins of the physical net it maps to must reference each other. A read failure or a broken link
// stops the comparison of that net and adds a summary finding for the pair of nets. Family T7.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <vector>

class CFlatPinVsNorvPinChecker : public CNorvDetailChecker
{
public:
    CFlatPinVsNorvPinChecker();
    ~CFlatPinVsNorvPinChecker() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct PinLinkRecord
    {
        Lumo::Index index;
        bool referenced = false;
        Lumo::Index netIndex;
        bool excluded = false;  // flat pins of implicit-power or no-connect type
    };
    using PinList = std::vector<PinLinkRecord>;

    // Each returns false to stop the work on the current flat net.
    bool pathHasFlaggedComp(const Lumo::ContainerT<const Lumo::IPath>& path);
    bool findPhysicalNetForFlatNet(Lumo::ContainerT<const Lumo::INorvPhysicalNet>& physNet,
                                   const Lumo::ContainerT<const Lumo::IFlatNet>& flatNet);
    bool collectFlatPins(PinList& flatPins, const Lumo::ContainerT<const Lumo::IFlatNet>& flatNet);
    bool collectNorvPins(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& physNet, PinList& norvPins);
    bool comparePins(PinList& norvPins, PinList& flatPins, Lumo::Index flatNetIndex, Lumo::Index physNetIndex);

    // The pin indexes of the two lists that comparePins compares; their storage is kept from one
    // net to the next.
    std::vector<Lumo::Index> m_flatIndexes, m_norvIndexes;
};
