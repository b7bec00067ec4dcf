#include "tests/connectivity/CEbdPinUnique.h"

#include <unordered_set>

CEbdPinUnique::CEbdPinUnique() { m_pinTypes = Lumo::NPT_EbdPin; }
CEbdPinUnique::~CEbdPinUnique() = default;

std::string CEbdPinUnique::getTestDescription() const
{
    return "Test checks if there are no duplicated EBD pins in component";
}
std::string CEbdPinUnique::getTestName() const { return "EBD pin in only one component"; }
std::string CEbdPinUnique::getTestShortName() const { return "EbdPinsInOneCompOnly"; }

TestStatus CEbdPinUnique::runTest(bool)
{
    m_statusString.clear();
    raiseStatus(TESTING);
    bool duplicated = false;

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);
    std::unordered_set<std::string> names;
    for (; walkOn(comp, compWalk); ++comp) {
        names.clear();
        std::string compName;
        Lumo::Index compIndex;
        if (!readName(comp, compName, CDICErrors::T14_ERRNAMEOFCOMP))
            return m_status;
        if (!readIndex(comp, compIndex, CDICErrors::T14_ERRINDEXOFCOMP, compName))
            return m_status;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = comp->GetIterPins(pin, m_pinTypes);
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index pinIndex;
            std::string pinName;
            if (!readIndex(pin, pinIndex, CDICErrors::T14_ERRINDEXOFPIN, compIndex))
                return m_status;
            if (!readName(pin, pinName, CDICErrors::T14_ERRNAMEOFPIN, compIndex))
                return m_status;
            if (names.insert(pinName).second)
                continue;
            raiseError(CDICErrors::T14_DUPLICATEDEBDPIN, pinIndex, pinName, compIndex, compName);
            duplicated = true;
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T14_ERRITERPINSOFCOMP, compIndex);
    }
    if (!compWalk)
        return raiseError(CDICErrors::T14_ERRITEROFCOMPS);
    if (duplicated)
        raiseError(CDICErrors::T14_DUPLICATEDEBDPINSINCOMP);

    raiseStatus(OK);
    return m_status;
}
