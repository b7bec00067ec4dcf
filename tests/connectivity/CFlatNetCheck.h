// CFlatNetCheck: every schematic flat net maps to a Norv physical net, every physical net comes
// from a flat net, and a physical net carries its flat net's name or one derived from the label
// of the flat net's first page net. Implicit "(net0)-" nets are left out. Family T21.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CFlatNetCheck : public CNorvDetailChecker
{
public:
    CFlatNetCheck();
    ~CFlatNetCheck() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // True when a component of the page net's hierarchy (other than the flat net itself) carries
    // the ForwardPCB type bit. An unreadable path has an empty hierarchy; without a UID manager no
    // component can be looked at, so the answer is false.
    bool pathHasFlaggedComp(const Lumo::ContainerT<const Lumo::ISnapshot>& snapshot,
                            const Lumo::ContainerT<const Lumo::IPath>& path, Lumo::Index flatNet) const;
    // A physical net without a flat net: reported as implicit when all its net pins are implicit
    // power pins (or it has none), else as a net whose flat net cannot be found.
    void checkImplicitNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, Lumo::Index index,
                          const Lumo::String& name);
};
