// CDiffPairConsistency: every differential pair has two different electrical nets that belong to
// it alone; their physical nets are not power nets, carry at least two net pins per electrical net
// and share the pair's topology; the pair's topology is allowed for pairs and equals its nets'.
// Family T12.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CDiffPairConsistency : public CNorvDetailChecker
{
public:
    CDiffPairConsistency();
    ~CDiffPairConsistency() override;

    // Name and description speak of physical nets in the Tamsa flow, of electrical nets otherwise.
    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    bool getElecNetOrderType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, std::string& value);
    bool getPhysNetOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, std::string& value);
    bool getDiffPairOrderType(const Lumo::ContainerT<const Lumo::INorvDiffPair>& pair, std::string& value);
    TestStatus checkDiffPair(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, Lumo::Index diffPairIndex);
};
