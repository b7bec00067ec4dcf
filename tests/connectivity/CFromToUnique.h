// CFromToUnique: both pins of every from-to are pins of its physical net, no from-to joins a pin to
// itself, and no two from-tos of one net join the same two pins in either direction. Family T23.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/connectivity/ConnectivityHelpers.h"

class CFromToUnique : public CNorvDetailChecker
{
public:
    CFromToUnique();
    ~CFromToUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct FromToRecord
    {
        Lumo::Index fromto;
        std::string key;  // the two pin indexes as text, the greater first
        Lumo::String name;
        Lumo::Index fromPin;
        Lumo::Index toPin;
    };

    // The pins of the current net of the four kinds a from-to may join, read once per net. A walk
    // that met a failed read is not kept, so every look-up walks again until one succeeds.
    struct NetPins
    {
        bool walked = false;
        connectivity::NetPinIndexes read;
    };

    bool pinBelongsToNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net,
                         const Lumo::ContainerT<const Lumo::INorvPin>& pin);
    std::string indexText(Lumo::Index index) const;

    NetPins m_netPins;
};
