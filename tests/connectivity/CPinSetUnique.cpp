#include "tests/connectivity/CPinSetUnique.h"

#include "framework/EqualPairs.h"

#include <unordered_map>

CPinSetUnique::CPinSetUnique()
{
    for (Lumo::ENorvPinType kind : {Lumo::NPT_PinSetChained, Lumo::NPT_PinSetT, Lumo::NPT_PinSetMst,
                                    Lumo::NPT_PinSetBalanced, Lumo::NPT_PinSetUnbalanced, Lumo::NPT_VirtualPinSetPin})
        m_pinTypes |= kind;
}

CPinSetUnique::~CPinSetUnique() = default;

std::string CPinSetUnique::getTestDescription() const { return "Test checks if pin sets in physical net are unique"; }
std::string CPinSetUnique::getTestName() const { return "Unique pin sets in physical net"; }
std::string CPinSetUnique::getTestShortName() const { return "UniquePinSetsInPhysNet"; }

TestStatus CPinSetUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    if (!m_config->GetIterPhysicalNets(net))
        return raiseError(CDICErrors::T50_ERRITEROVERPHYSNETS);
    // The names of the current net not reported so far, by folded name; no two of them are equal.
    std::unordered_map<std::string, std::string> names;
    Lumo::Result netWalk;
    for (; walkOn(net, netWalk); ++net) {
        std::string netName;
        Lumo::Index netIndex;
        if (!readName(net, netName, CDICErrors::T50_ERRNAMEOFPHYSNET))
            return m_status;
        if (!readIndex(net, netIndex, CDICErrors::T50_ERRINDEXOFPHYSNET))
            return m_status;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        if (!net->GetIterPins(pin, m_pinTypes))
            return raiseError(CDICErrors::T50_ERRITEROVERPINSINPHYSNET);
        names.clear();
        Lumo::Result pinWalk;
        for (; walkOn(pin, pinWalk); ++pin) {
            std::string pinName;
            Lumo::Index pinIndex;
            if (!readName(pin, pinName, CDICErrors::T50_ERRNAMEOFPINSET))
                return m_status;
            if (!readIndex(pin, pinIndex, CDICErrors::T50_ERRINDEXOFPINSET))
                return m_status;
            const auto kept = names.emplace(FoldCase(pinName), pinName);
            if (kept.second)
                continue;
            // The base's name check on the kept names plus this one would report exactly this pair.
            m_message = "Name duplicated: \"" + kept.first->second;
            raiseError();
            raiseError(CDICErrors::T50_PHYSNETHASDUPLICATEDPINSETS, netIndex, netName, pinIndex,
                       pinName);
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T50_ERRITEROVERPINSINPHYSNET);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T50_ERRITEROVERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
