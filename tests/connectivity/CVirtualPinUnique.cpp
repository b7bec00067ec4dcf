#include "tests/connectivity/CVirtualPinUnique.h"

#include <unordered_set>

CVirtualPinUnique::CVirtualPinUnique() = default;
CVirtualPinUnique::~CVirtualPinUnique() = default;

std::string CVirtualPinUnique::getTestDescription() const
{
    return "Test checks if virtual pin names are unique in the design";
}
std::string CVirtualPinUnique::getTestName() const { return "Unique virtual pin names"; }
std::string CVirtualPinUnique::getTestShortName() const { return "UniqueVirtualPinsInPhysNet"; }

TestStatus CVirtualPinUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    if (!m_config->GetIterPhysicalNets(net))
        return raiseError(CDICErrors::T59_ERRITEROVERPHYSNETS);
    std::unordered_set<std::string> names; // every readable virtual pin name of the design so far
    Lumo::Result netWalk;
    for (; walkOn(net, netWalk); ++net) {
        std::string netName;
        Lumo::Index netIndex;
        if (!readName(net, netName, CDICErrors::T59_ERRNAMEOFPHYSNET))
            continue;
        if (!readIndex(net, netIndex, CDICErrors::T59_ERRINDEXOFPHYSNET, Lumo::Index(), netName))
            continue;
        const Lumo::BitContainerT<Lumo::ENorvPinType> kinds(Lumo::NPT_VirtualPin);
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, kinds);
        for (; walkOn(pin, pinWalk); ++pin) {
            std::string pinName;
            Lumo::Index pinIndex;
            if (!readName(pin, pinName, CDICErrors::T59_ERRNAMEOFVIRTUALPIN))
                continue;
            if (!readIndex(pin, pinIndex, CDICErrors::T59_ERRINDEXOFVIRTUALPIN, Lumo::Index(), pinName))
                continue;
            if (!names.insert(pinName).second)
                raiseError(CDICErrors::T59_VIRTUALPINDUPLICATEDINTHEDESIGN, pinIndex, pinName, netIndex,
                           netName);
        }
        if (!pinWalk) {
            raiseError(CDICErrors::T59_ERRITEROVERPINSINPHYSNET, netIndex, netName);
            continue;
        }
    }
    if (!netWalk)
        return raiseError(CDICErrors::T59_ERRITEROVERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
