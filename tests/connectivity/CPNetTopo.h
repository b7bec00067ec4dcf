// CPNetTopo: a physical net whose ordered ("TOPO_ORDERED" "Yes") topology is "Custom" or "Complex"
// must have at least one from-to. Implicit "(net0)-" nets are skipped. Family T64.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPNetTopo : public CNorvDetailChecker
{
public:
    CPNetTopo();
    ~CPNetTopo() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    // Returns FAILED when anything was raised, OK otherwise, whatever repairs made of the status.
    TestStatus runTest(bool runArg) override;

private:
    static bool getConstraintValue(const Lumo::INorvPhysicalNet& net, const char* name, std::string& value);
};
