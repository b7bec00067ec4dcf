// CFromToInOneNet: every from-to of a physical net names that net as its parent, both its pins are
// pins of the net, and a net of topology "MST" or "Chained" has no from-to at all. Family T22.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/connectivity/ConnectivityHelpers.h"

class CFromToInOneNet : public CNorvDetailChecker
{
public:
    CFromToInOneNet();
    ~CFromToInOneNet() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    bool getOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, std::string& value);
    TestStatus checkFromToPin(Lumo::Index net, Lumo::ContainerT<const Lumo::INorvPin> pin);

    // What the pin checks of one net read of the net: fetched and walked once per net, with the
    // failures kept so that every check raises them again at the same point.
    struct NetPins
    {
        Lumo::Index net;
        bool fetched = false;
        bool fetchFailed = false;
        bool nameFailed = false;
        std::string name;
        bool walked = false;
        connectivity::NetPinIndexes read;
    };

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
    NetPins m_netPins;
};
