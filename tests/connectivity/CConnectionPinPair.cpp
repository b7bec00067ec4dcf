#include "tests/connectivity/CConnectionPinPair.h"

namespace
{

const char* const COMPOSITE_MARKER = "^^^";

} // namespace

CConnectionPinPair::CConnectionPinPair() { m_pairTypes = Lumo::PPT_Connection; }
CConnectionPinPair::~CConnectionPinPair() = default;

std::string CConnectionPinPair::getTestDescription() const
{
    return "Test checks if valid connection pin pairs exist in electrical nets that contain multiple physical nets";
}
std::string CConnectionPinPair::getTestName() const { return "Connection pin pairs in electrical net"; }
std::string CConnectionPinPair::getTestShortName() const { return "ConnPinPairsInElecNet"; }

bool CConnectionPinPair::checkPinPairs(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                       Lumo::Index netIndex, const std::string& netName)
{
    const std::string& name = netName;
    Lumo::IteratorT<const Lumo::INorvPinPair> pair;
    if (!net->GetIterPinPairs(pair, m_pairTypes)) {
        raiseError(CDICErrors::T8_ERRITERPINPAIRSINENET, netIndex, name);
        return false;
    }
    int count = 0;
    if (!pair.GetCount(count)) {
        raiseError(CDICErrors::T8_ERRCOUNTPINPAIRSINENET, netIndex, name);
        return false;
    }
    if (count < 0) {
        raiseError(CDICErrors::T8_NEGATIVECOUNTPINPAIRSINENET, netIndex, name);
        return false;
    }
    if (count == 0) {
        raiseError(CDICErrors::T8_NOPINPAIRSINCOMPOSITEENET, netIndex, name);
        return true;
    }
    Lumo::Result pairWalk;
    for (; walkOn(pair, pairWalk); ++pair) {
        Lumo::Index pairIndex;
        std::string pairName;
        if (!readIndex(pair, pairIndex, CDICErrors::T8_ERRINDEXOFPINPAIRINENET, netIndex, name))
            return false;
        if (!readName(pair, pairName, CDICErrors::T8_ERRNAMEOFPINPAIRINENET, netIndex, name, pairIndex, ""))
            return false;
        const std::string& pairText = pairName;
        Lumo::ContainerT<const Lumo::INorvPin> first, second;
        if (!pair->GetFirstPin(first)) {
            raiseError(CDICErrors::T8_ERRFIRSTPINOFPINPAIRINENET, pairIndex, pairText);
            return false;
        }
        if (!pair->GetSecondPin(second)) {
            raiseError(CDICErrors::T8_ERRSECONDPINOFPINPAIRINENET, pairIndex, pairText);
            return false;
        }
        Lumo::Index firstIndex, secondIndex;
        if (!readIndexThrough(first, firstIndex, CDICErrors::T8_ERRINDEXOFFIRSTPINOFPINPAIRINENET, pairIndex,
                              pairText) ||
            !readIndexThrough(second, secondIndex, CDICErrors::T8_ERRINDEXOFSECONDPINOFPINPAIRINENET, pairIndex,
                              pairText))
            return false;
        Lumo::ContainerT<const Lumo::INorvComp> firstComp, secondComp;
        if (!first->GetParentNorvComp(firstComp)) {
            raiseError(CDICErrors::T8_ERRPARENTCOMPOFFIRSTPINOFPINPAIRINENET, pairIndex, pairText);
            return false;
        }
        if (!second->GetParentNorvComp(secondComp)) {
            raiseError(CDICErrors::T8_ERRPARENTCOMPOFSECONDPINOFPINPAIRINENET, pairIndex, pairText);
            return false;
        }
        Lumo::Index firstCompIndex, secondCompIndex;
        if (!readIndexThrough(firstComp, firstCompIndex, CDICErrors::T8_ERRINDEXOFPARENTCOMPOFFIRSTPINOFPINPAIRINENET,
                              pairIndex, pairText) ||
            !readIndexThrough(secondComp, secondCompIndex, CDICErrors::T8_ERRINDEXOFPARENTCOMPOFSECONDPINOFPINPAIRINENET,
                              pairIndex, pairText))
            return false;
        if (firstCompIndex != secondCompIndex)
            raiseError(CDICErrors::T8_DIFFERENTPARENTSOFPINSOFPINPAIRINENET, pairIndex, pairText);
    }
    if (!pairWalk) {
        raiseError(CDICErrors::T8_ERRITERPINPAIRSINENET, netIndex, name);
        return false;
    }
    return true;
}

TestStatus CConnectionPinPair::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvElectricalNet> net;
    Lumo::Result netWalk = m_config->GetIterElectricalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        // Each net starts from nothing, so that a failed read never names the net before it.
        Lumo::Index netIndex;
        Lumo::String text;
        net->GetIndex(netIndex);
        net->GetName(text);
        const std::string netName = text.str();

        Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
        if (!net->GetIterPhysicalNets(physNet))
            return raiseError(CDICErrors::T8_ERRITERPHYSNETSINENET, netIndex, netName);
        int count = 0;
        if (!physNet.GetCount(count))
            return raiseError(CDICErrors::T8_ERRCOUNTPHYSNETSINENET, netIndex, netName);
        if (count < 0)
            return raiseError(CDICErrors::T8_NEGATIVECOUNTPHYSNETSINENET, netIndex, netName);
        if (count == 0) {
            raiseError(CDICErrors::T8_NOPHYSNETSINENET, netIndex, netName);
            continue;
        }
        const bool marked = netName.find(COMPOSITE_MARKER) != std::string::npos;
        if (count == 1) {
            if (marked)
                raiseError(CDICErrors::T8_WRONGNAMEFORENETNOTCOMPOSITE, netIndex, netName);
            continue;
        }
        if (!marked)
            raiseError(CDICErrors::T8_WRONGNAMEFORENETCOMPOSITE, netIndex, netName);
        if (!checkPinPairs(net, netIndex, netName))
            return m_status;
    }
    if (!netWalk)
        return raiseError(CDICErrors::T8_ERRITERELECNETS);

    raiseStatus(OK);
    return m_status;
}
