// CPinInComponent: every net pin of a physical net has a valid parent component, and every physical
// net has at least two net pins. Family T35.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>
#include <vector>

class CPinInComponent : public CNorvDetailChecker
{
public:
    CPinInComponent();
    ~CPinInComponent() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct NetEntry
    {
        Lumo::Index index;
        std::string name;
        std::size_t end;  // one past its last pin in the pin list
        bool complete;    // its pin walk reached the end of its list
    };
    struct PinEntry
    {
        Lumo::ContainerT<const Lumo::INorvPin> pin;
        Lumo::Index index;
        std::size_t walked; // its position in walk order
    };
    // Asks the parent component of every pin collected, in index order (the pins are sorted), then
    // raises the findings of the nets collected in walk order.
    void settle(const std::vector<NetEntry>& nets, std::vector<PinEntry>& pins, bool& tooFew, bool& noParent);

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
};
