// CPowerNetTopology: an analog ("ANALOG" "1") power physical net must have the topology "MST", and
// so must its parent electrical net when that one is analog. Implicit "(net0)-" nets are skipped.
// Family T58.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPowerNetTopology : public CNorvDetailChecker
{
public:
    CPowerNetTopology();
    ~CPowerNetTopology() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    bool getPhysNetConstraint(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, const char* name,
                              std::string& value) const;
    bool getElecNetConstraint(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, const char* name,
                              std::string& value) const;
};
