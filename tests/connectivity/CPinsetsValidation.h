// CPinsetsValidation: pin sets of T, Balanced and Unbalanced topology exist only in nets whose
// topology is "Complex", a net has one virtual pin-set pin per such set, and every member of a set
// is a pin of the net, no virtual pin and no other pin set. Family T39.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "framework/EqualPairs.h"

#include <string>

class CPinsetsValidation : public CNorvDetailChecker
{
public:
    CPinsetsValidation();
    ~CPinsetsValidation() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The net's pins; only nets with pin sets look any up.
    using PinSet = KeyedPositions<Lumo::Index>;

    // The net's "ORDER_TYPE" as text; false without raising when the net has none, false after
    // raising when its value cannot be read.
    bool getOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, std::string& value);
    // Checks the members and nested sets of the set; returns the test's status.
    TestStatus checkPinSetContents(const PinSet& pins, const Lumo::IteratorT<const Lumo::INorvPin>& set);
    // Raises when the pin is not among the net's pins; returns the test's status.
    TestStatus isPinInNet(const PinSet& pins, Lumo::Index pin);

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinsMask;
    Lumo::BitContainerT<Lumo::ENorvPinType> m_allSetsMask;
    Lumo::BitContainerT<Lumo::ENorvPinType> m_countedSetsMask;
    Lumo::BitContainerT<Lumo::ENorvPinType> m_virtualSetPinMask;
};
