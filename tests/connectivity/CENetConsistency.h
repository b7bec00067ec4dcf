// CENetConsistency: every electrical net holds physical nets that name it as their parent, it and
// its physical nets have known topologies, its topology equals the combined topology of its
// physical nets, and its "DELAY_TYPE" equals that of its match group (the nearest constraint class
// up its class's parent chain that carries "MATCH_TOLERANCE"). Family T15.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <set>

class CENetConsistency : public CNorvDetailChecker
{
public:
    CENetConsistency();
    ~CENetConsistency() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    void checkPhysNetParent(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& physNet, Lumo::Index elecNetIndex);
    bool getElecNetOrderType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, std::string& value);
    bool getPhysNetOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, std::string& value);
    // Replaces the class by the nearest class of its parent chain (itself first) that carries
    // "MATCH_TOLERANCE"; false when there is none or the chain comes back to a class already seen.
    bool hasMatchTolerance(Lumo::ContainerT<const Lumo::INorvConstraintClass>& constraintClass);
    void checkDelayType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net);

    std::set<std::string> m_topologies;
};
