#include "tests/connectivity/CPinUnique.h"

#include "framework/KeySort.h"

#include <vector>

namespace
{

struct PinEntry
{
    Lumo::Index pin;
    Lumo::Index net;
};

} // namespace

CPinUnique::CPinUnique()
{
    m_pinTypes.Clear();
    m_pinTypes |= Lumo::NPT_NetPin;
    m_pinTypes |= Lumo::NPT_VirtualPin;
    m_pinTypes |= Lumo::NPT_GuidePin;
    m_pinTypes |= Lumo::NPT_EbdPin;
    m_pinTypes |= Lumo::NPT_BoundaryPin;
}

CPinUnique::~CPinUnique() = default;

std::string CPinUnique::getTestDescription() const { return "Test checks if pin exists in only one net"; }
std::string CPinUnique::getTestName() const { return "Pin in only one net"; }
std::string CPinUnique::getTestShortName() const { return "UniquePinInNet"; }

TestStatus CPinUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    bool tooFew = false;
    bool sameNet = false;
    bool differentNets = false;

    std::vector<PinEntry> entries;
    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        std::string netName;
        Lumo::Index netIndex;
        if (!readName(net, netName, CDICErrors::T51_ERRNAMEOFPHYSNET))
            return m_status;
        if (!readIndex(net, netIndex, CDICErrors::T51_ERRINDEXOFPHYSNET))
            return m_status;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, m_pinTypes);
        unsigned count = 0;
        for (; walkOn(pin, pinWalk); ++pin) {
            PinEntry entry;
            if (!readIndex(pin, entry.pin, CDICErrors::T51_ERRINDEXOFPINSINPHYSNET, netIndex, netName))
                return m_status;
            entry.net = netIndex;
            entries.push_back(entry);
            ++count;
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T51_ERRITEROFPINSINPHYSNET, netIndex, netName);
        if (count < 2) {
            raiseError(CDICErrors::T51_ERRPHYSNETHASTOOFEWPINS, netIndex, netName);
            tooFew = true;
        }
    }
    if (!netWalk)
        return raiseError(CDICErrors::T51_ERRITEROVERPHYSNETS);

    // Stable, so that the entries of one pin keep the order in which the nets listed it.
    StableSortByKey(entries, [](const PinEntry& entry) { return entry.pin.GetValue(); });
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const PinEntry& previous = entries[i - 1];
        const PinEntry& current = entries[i];
        if (previous.pin != current.pin)
            continue;
        const std::string pinName = indexToName(current.pin);
        if (previous.net == current.net) {
            raiseError(CDICErrors::T51_ERRPINDUPLICATEDINPHYSNET, current.pin, pinName, current.net,
                       indexToName(current.net));
            sameNet = true;
        } else {
            raiseError(CDICErrors::T51_PININTWOPHYSNETS_1, current.pin, pinName, previous.net,
                       indexToName(previous.net));
            raiseError(CDICErrors::T51_PININTWOPHYSNETS_2, current.net, indexToName(current.net));
            differentNets = true;
        }
    }

    if (tooFew)
        raiseError(CDICErrors::T51_SOMEPHYSNETSHAVENOPPINS);
    if (sameNet)
        raiseError(CDICErrors::T51_SOMEPINSDUPLICATEDINSAMENETPHYSNETS);
    if (differentNets)
        raiseError(CDICErrors::T51_SOMEPINSDUPLICATEDINDIFFERENTPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
