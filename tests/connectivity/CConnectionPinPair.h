// CConnectionPinPair: an electrical net of several physical nets carries "^^^" in its name and at
// least one connection pin pair, whose two pins sit on one component; a net of one physical net
// carries no "^^^". Family T8.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CConnectionPinPair : public CNorvDetailChecker
{
public:
    CConnectionPinPair();
    ~CConnectionPinPair() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // Checks the connection pin pairs of a composite net; false when a failed read ended the run.
    bool checkPinPairs(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, Lumo::Index netIndex,
                       const std::string& netName);

    Lumo::BitContainerT<Lumo::EPinPairType> m_pairTypes;
};
