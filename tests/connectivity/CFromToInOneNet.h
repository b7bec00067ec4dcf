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

    // What the pin checks of one net read of the net, kept once read: the fetched net and its name,
    // and its pins once a walk met no failed read. A failed read is not kept; the next check reads
    // again, so a failure that does not repeat is reported once.
    struct NetPins
    {
        Lumo::Index net;
        bool fetched = false;
        bool named = false;
        Lumo::ContainerT<const Lumo::INorvPhysicalNet> physNet;
        std::string name;
        bool walked = false;
        connectivity::NetPinIndexes read;
    };

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
    NetPins m_netPins;
};
