#include "tests/connectivity/CENetConsistency.h"

#include "framework/PathGuard.h"
#include "tests/connectivity/ConnectivityHelpers.h"


CENetConsistency::CENetConsistency()
{
    for (const char* name : {"MST", "Chained", "TShape", "HTree", "Star", "Custom", "Complex", "Mixed"})
        m_topologies.insert(name);
}

CENetConsistency::~CENetConsistency() = default;

std::string CENetConsistency::getTestDescription() const
{
    return "Test checks if all electrical nets contain correct physical nets";
}
std::string CENetConsistency::getTestName() const { return "Electrical net consistency"; }
std::string CENetConsistency::getTestShortName() const { return "ElecNetConsistency"; }

TestStatus CENetConsistency::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvElectricalNet> net;
    Lumo::Result netWalk = m_config->GetIterElectricalNets(net);

    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index)) {
            raiseError(CDICErrors::T15_ERRINDEXOFENET);
            continue;
        }
        Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
        Lumo::Result physNetWalk = net->GetIterPhysicalNets(physNet);

        std::string combined;
        int counted = 0;
        for (; walkOn(physNet, physNetWalk); ++physNet) {
            Lumo::Index physIndex;
            if (!physNet->GetIndex(physIndex)) {
                raiseError(CDICErrors::T15_ERRINDEXOFPHYSNET);
                continue;
            }
            checkPhysNetParent(physNet, index);
            std::string topology;
            if (!getPhysNetOrderType(physNet, topology)) {
                raiseError(CDICErrors::T15_ERRTOPOLOGYOFPHYSNET, physIndex);
                continue;
            }
            if (!m_topologies.count(topology))
                raiseError(CDICErrors::T15_ERRPHYSINVALIDTOPOTYPE, physIndex, indexToName(physIndex));
            if (counted == 0)
                combined = topology;
            else if (topology != combined)
                combined = "Mixed";
            ++counted;
        }
        if (!physNetWalk)
            return raiseError(CDICErrors::T15_ERRITEROFPHYSNETSINENET, index);

        std::string topology;
        if (!getElecNetOrderType(net, topology)) {
            raiseError(CDICErrors::T15_ERRTOPOLOGYOFELECNET, index);
            continue;
        }
        if (!m_topologies.count(topology))
            raiseError(CDICErrors::T15_ERRENETINVALIDTOPOTYPE, index, indexToName(index));
        if (topology != combined) {
            raiseError(CDICErrors::T15_DIFFERENTTOPOLOGIESOFENETANDPHYSNET, index, indexToName(index));
            continue;
        }
        checkDelayType(net);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T15_ERRITERENETS);

    raiseStatus(OK);
    return m_status;
}

void CENetConsistency::checkPhysNetParent(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& physNet,
                                          Lumo::Index elecNetIndex)
{
    Lumo::Index index;
    if (!physNet->GetIndex(index)) {
        raiseError(CDICErrors::T15_ERRINDEXOFPHYSNET_2);
        return;
    }
    Lumo::ContainerT<const Lumo::INorvElectricalNet> parent;
    if (!physNet->GetParentElectricalNet(parent)) {
        raiseError(CDICErrors::T15_ERRPARENTENETOFPHYSNET, index);
        return;
    }
    Lumo::Index parentIndex;
    if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); })) {
        raiseError(CDICErrors::T15_ERRINDEXOFENET_2);
        return;
    }
    if (parentIndex == elecNetIndex)
        return;
    Lumo::String name;
    if (!physNet->GetName(name)) {
        raiseError(CDICErrors::T15_ERRNAMEOFPHYSNET, index);
        return;
    }
    raiseError(CDICErrors::T15_PHYSNETINMANYENETS, index, name, parentIndex, indexToName(parentIndex),
               elecNetIndex, indexToName(elecNetIndex));
}

bool CENetConsistency::getElecNetOrderType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                           std::string& value)
{
    return connectivity::readOrderType(*this, net, value, CDICErrors::T15_ERRINDEXOFELECNET_3, CDICErrors::T15_ERRVALORDERTYPEFROMENET);
}

bool CENetConsistency::getPhysNetOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net,
                                           std::string& value)
{
    return connectivity::readOrderType(*this, net, value, CDICErrors::T15_ERRINDEXOFPHYSNET_3,
                         CDICErrors::T15_ERRVALORDERTYPEFROMPHYSNET);
}

bool CENetConsistency::hasMatchTolerance(Lumo::ContainerT<const Lumo::INorvConstraintClass>& constraintClass)
{
    PathGuard chain;
    for (;;) {
        Lumo::ContainerT<const Lumo::INorvConstraint> tolerance;
        if (constraintClass->GetConstraint(tolerance, "MATCH_TOLERANCE") && tolerance.IsValid())
            return true;
        // A chain that comes back to a class already met has no match group. A class whose index
        // cannot be read is not known again.
        Lumo::Index index;
        if (!constraintClass->GetIndex(index))
            index = Lumo::Index();
        if (!chain.Enter(index))
            return false;
        if (!constraintClass->GetParentConstraintClass(constraintClass) || !constraintClass.IsValid())
            return false;
    }
}

void CENetConsistency::checkDelayType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net)
{
    Lumo::Index index;
    if (!net.IsValid() || !net->GetIndex(index))
        return;
    Lumo::ContainerT<const Lumo::INorvConstraintClass> matchGroup;
    // A class that is not valid carries no match group: asking it would fail the same way.
    if (!net->GetConstraintClass(matchGroup) || !matchGroup.IsValid())
        return;
    if (!hasMatchTolerance(matchGroup))
        return;
    Lumo::ContainerT<const Lumo::INorvConstraint> netDelay, groupDelay;
    if (!net->GetConstraint(netDelay, "DELAY_TYPE") || !netDelay.IsValid())
        return;
    if (!matchGroup->GetConstraint(groupDelay, "DELAY_TYPE") || !groupDelay.IsValid())
        return;
    Lumo::String netValue, groupValue;
    if (!netDelay->GetValueByString(netValue) || !groupDelay->GetValueByString(groupValue))
        return;
    if (netValue == groupValue)
        return;
    Lumo::Index groupIndex;
    if (!matchGroup->GetIndex(groupIndex))
        return;
    raiseError(CDICErrors::T15_ERRINVALIDDELAYTYPE, index, indexToName(index), groupIndex,
               indexToName(groupIndex));
}
