// CDiffPairNCCheck: the physical nets of the two electrical nets of each differential pair are
// assigned the same set of net classes (compared by hierarchical name). Family T13.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CDiffPairNCCheck : public CNorvDetailChecker
{
public:
    CDiffPairNCCheck();
    ~CDiffPairNCCheck() override;

    // Name and description speak of physical nets in the Tamsa flow, of electrical nets otherwise.
    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // Adds the net-class names of the net's physical nets to the sorted, duplicate-free set; a
    // failed read ends the collection with what was collected.
    void collectNetClassNames(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                              std::vector<std::string>& names);
};
