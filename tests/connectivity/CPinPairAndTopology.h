// CPinPairAndTopology: reads the topology ("ORDER_TYPE") of every electrical net and steps through
// its ordinary pin pairs. No rule judges a pin pair against a readable topology, so only failed
// reads are reported. Family T36.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPinPairAndTopology : public CNorvDetailChecker
{
public:
    CPinPairAndTopology();
    ~CPinPairAndTopology() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The net's "ORDER_TYPE" as text; false without raising when the net has none, false after
    // raising when its value cannot be read.
    bool getOrderType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, std::string& value);

    Lumo::BitContainerT<Lumo::EPinPairType> m_pairTypes;
};
