#include "tests/connectivity/CDiffPairConsistency.h"

#include "framework/CNorvProjectChecker.h"
#include "tests/connectivity/ConnectivityHelpers.h"

namespace
{

bool isAllowedPairTopology(const std::string& topology)
{
    for (const char* allowed : {"Custom", "Star", "TShape", "HTree", "Complex"})
        if (topology == allowed)
            return true;
    return false;
}

} // namespace

CDiffPairConsistency::CDiffPairConsistency() = default;
CDiffPairConsistency::~CDiffPairConsistency() = default;

std::string CDiffPairConsistency::getTestDescription() const
{
    return CNorvProjectChecker::IsFlowTamsa()
               ? "Test checks if all differential pairs have two existing and different physical nets"
               : "Test checks if all differential pairs have two existing and different electrical nets";
}

std::string CDiffPairConsistency::getTestName() const
{
    return CNorvProjectChecker::IsFlowTamsa() ? "Differential pair with two physical nets"
                                              : "Differential pair with two electrical nets";
}

std::string CDiffPairConsistency::getTestShortName() const { return "TwoElecNetsInDiffPairs"; }

bool CDiffPairConsistency::getElecNetOrderType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                               std::string& value)
{
    return connectivity::readOrderType(*this, net, value, CDICErrors::T12_ERRINDEXOFENET_2,
                                       CDICErrors::T12_CANTGETORDERTYPEFROMENET);
}

bool CDiffPairConsistency::getPhysNetOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net,
                                               std::string& value)
{
    return connectivity::readOrderType(*this, net, value, CDICErrors::T12_ERRINDEXOFENET_2,
                                       CDICErrors::T12_CANTGETORDERTYPEFROMPNET);
}

bool CDiffPairConsistency::getDiffPairOrderType(const Lumo::ContainerT<const Lumo::INorvDiffPair>& pair,
                                                std::string& value)
{
    return connectivity::readOrderType(*this, pair, value, CDICErrors::T12_ERRINDEXOFDIFFPAIR_3,
                                       CDICErrors::T12_CANTGETORDERTYPEFROMDIFFPAIR, true);
}

TestStatus CDiffPairConsistency::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvDiffPair> pair;
    Lumo::Result pairWalk = m_config->GetIterDiffPairs(pair);

    for (; walkOn(pair, pairWalk); ++pair) {
        Lumo::Index index;
        if (!pair->GetIndex(index)) {
            raiseError(CDICErrors::T12_ERRINDEXOFDIFFPAIR);
            continue;
        }
        Lumo::String name;
        if (!pair->GetName(name)) {
            raiseError(CDICErrors::T12_ERRNAMEOFDIFFPAIR, index);
            continue;
        }
        Lumo::ContainerT<const Lumo::INorvElectricalNet> first, second;
        if (!pair->GetFirstElecNet(first)) {
            raiseError(CDICErrors::T12_ERRFIRSTENETOFDIFFPAIR, index, name);
            continue;
        }
        if (!pair->GetSecondElecNet(second)) {
            raiseError(CDICErrors::T12_ERRSECONDENETOFDIFFPAIR, index, name);
            continue;
        }
        checkDiffPair(first, index);
        checkDiffPair(second, index);

        Lumo::Index firstIndex, secondIndex;
        if (!readThrough(first, [&] { return first->GetIndex(firstIndex); })) {
            raiseError(CDICErrors::T12_ERRINDEXFIRSTENETOFDIFFPAIR);
            continue;
        }
        if (!readThrough(second, [&] { return second->GetIndex(secondIndex); })) {
            raiseError(CDICErrors::T12_ERRINDEXSECONDENETOFDIFFPAIR);
            continue;
        }
        if (firstIndex == secondIndex) {
            raiseError(CDICErrors::T12_BOTHENETSOFDIFFPAIREQUAL, index, name);
            continue;
        }

        std::string firstTopology, secondTopology, pairTopology;
        if (!getElecNetOrderType(first, firstTopology)) {
            raiseError(CDICErrors::T12_CENTGETTOPOLOGYOFFIRSTENETOFDIFFPAIR, index, name);
            continue;
        }
        if (!getElecNetOrderType(second, secondTopology)) {
            raiseError(CDICErrors::T12_CENTGETTOPOLOGYOFSECONDENETOFDIFFPAIR, index, name);
            continue;
        }
        if (!getDiffPairOrderType(pair, pairTopology)) {
            raiseError(CDICErrors::T12_CENTGETTOPOLOGYOFDIFFPAIR, index, name);
            continue;
        }
        if (pairTopology != firstTopology || pairTopology != secondTopology) {
            raiseError(CDICErrors::T12_TOPOLOGYOFENETSINDIFFERENTTHANDIFFPAIRS, index, name);
            continue;
        }
        if (!isAllowedPairTopology(pairTopology))
            raiseError(CDICErrors::T12_NOTALLOWEDTOPOLOGYOFDIFFPAIR, Lumo::Index(), pairTopology, index,
                       name);
    }
    if (!pairWalk)
        return raiseError(CDICErrors::T12_ERRITERDIFFPAIRS);

    raiseStatus(OK);
    return m_status;
}

TestStatus CDiffPairConsistency::checkDiffPair(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                               Lumo::Index diffPairIndex)
{
    Lumo::Index index;
    if (!readThrough(net, [&] { return net->GetIndex(index); }))
        return raiseError(CDICErrors::T12_ERRINDEXOFENET);
    Lumo::ContainerT<const Lumo::INorvDiffPair> parent;
    if (!net->GetParentDiffPair(parent))
        return raiseError(CDICErrors::T12_ERRPARENTDIFFPAIROFENET, index);
    Lumo::Index parentIndex;
    if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); }))
        return raiseError(CDICErrors::T12_ERRINDEXOFDIFFPAIR_2);
    Lumo::String parentName;
    if (!parent->GetName(parentName))
        return m_status;
    if (parentIndex != diffPairIndex) {
        Lumo::String name;
        if (!net->GetName(name))
            return raiseError(CDICErrors::T12_ERRNAMEOFENET, index);
        return raiseError(CDICErrors::T12_ENETINMANYDIFFPAIRS, index, name, diffPairIndex, "");
    }
    std::string pairTopology;
    if (!getDiffPairOrderType(parent, pairTopology))
        return m_status;
    Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
    Lumo::Result physNetWalk = net->GetIterPhysicalNets(physNet);

    int pins = 0;
    for (; walkOn(physNet, physNetWalk); ++physNet) {
        Lumo::Index physIndex;
        if (!physNet->GetIndex(physIndex)) {
            raiseError(CDICErrors::T12_ERRINDEXOFPHYSNET);
            continue;
        }
        Lumo::String physName;
        if (!physNet->GetName(physName))
            return raiseError(CDICErrors::T12_ERRNAMEOFPNET, physIndex);
        Lumo::EPhysicalNetType type = Lumo::PNT_Ordinary;
        if (!physNet->GetType(type)) {
            raiseError(CDICErrors::T12_ERRNETTYPE);
            type = Lumo::PNT_Ordinary;
        }
        if (type == Lumo::PNT_ImplicitPower) {
            raiseError(CDICErrors::T12_DIFFPAIRNETPOWERNET, physIndex, physName, diffPairIndex,
                       parentName);
            continue;
        }
        Lumo::IteratorT<const Lumo::INorvPin> netPins;
        if (!physNet->GetIterPins(netPins, Lumo::BitContainerT<Lumo::ENorvPinType>(Lumo::NPT_NetPin))) {
            raiseError(CDICErrors::T12_ERRITEROFPINS);
            continue;
        }
        int count = 0;
        if (!netPins.GetCount(count)) {
            raiseError(CDICErrors::T12_ERRCOUNTOFPINS);
            continue;
        }
        pins += count;
        std::string topology;
        if (!getPhysNetOrderType(physNet, topology))
            raiseError(CDICErrors::T12_CENTGETTOPOLOGYOFPNET, diffPairIndex, parentName);
        else if (topology != pairTopology)
            raiseError(CDICErrors::T12_TOPOLOGYOFPNETSINDIFFERENTTHANDIFFPAIRS, diffPairIndex, parentName);
    }
    if (!physNetWalk)
        return raiseError(CDICErrors::T12_ERRITEROFPHYSNETSINENET, index);

    if (pins < 2) {
        Lumo::String name;
        if (!net->GetName(name))
            return raiseError(CDICErrors::T12_ERRNAMEOFENET);
        raiseError(CDICErrors::T12_INSUFFICIENTNROFPINSFORELECNET, index, name, diffPairIndex,
                   parentName);
    }
    return m_status;
}
