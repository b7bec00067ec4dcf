#include "tests/connectivity/CPinConnection.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include "framework/KeySort.h"

#include <algorithm>
#include <cstdint>
#include <vector>

CPinConnection::CPinConnection()
{
    m_pinTypes.Clear();
    m_pinTypes |= Lumo::NPT_NetPin;
}

CPinConnection::~CPinConnection() = default;

std::string CPinConnection::getTestDescription() const
{
    return "Test checks if pin has a proper reference to physical net";
}
std::string CPinConnection::getTestName() const { return "Pin reference to net valid"; }
std::string CPinConnection::getTestShortName() const { return "PinReferenceToTheNet"; }

TestStatus CPinConnection::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    std::vector<PinRecord> records;

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index netIndex;
        std::string netName;
        if (!net->GetIndex(netIndex)) {
            // The index is read first; the name is read here only to say which net failed.
            Lumo::String name;
            net->GetName(name);
            return raiseError(CDICErrors::T34_ERRINDEXOFPHYSNET, name);
        }
        if (!readName(net, netName, CDICErrors::T34_ERRNAMEOFPHYSNET, netIndex))
            return m_status;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, m_pinTypes);
        for (; walkOn(pin, pinWalk); ++pin) {
            PinRecord record;
            if (!readIndex(pin, record.pin, CDICErrors::T34_ERRINDEXOFPIN, netIndex, netName))
                return m_status;
            record.net = netIndex;
            records.push_back(record);
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T34_ERRITERPINSINPHYSNET, netIndex, netName);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T34_ERRITEROVERPHYSNETS);

    // The records by pin index, and by position within a pin: the records a full scan of the list
    // would meet, in its order. Each entry carries its record's net and its seen mark, so that a
    // component pin reads neither the records nor anything beyond the sorted run it finds.
    struct PinEntry
    {
        Lumo::Index pin;
        Lumo::Index net;
        std::uint32_t position;
        bool seen;
    };
    std::vector<PinEntry> byPin;
    byPin.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        byPin.push_back({records[i].pin, records[i].net, static_cast<std::uint32_t>(i), false});
    // Entries go in by position, so a stable sort by pin orders them by position within a pin.
    StableSortByKey(byPin, [](const PinEntry& entry) { return entry.pin.GetValue(); });
    auto cursor = byPin.end(); // where the last component pin's entries begin

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);
    for (; walkOn(comp, compWalk); ++comp) {
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = comp->GetIterPins(pin, m_pinTypes);
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index pinIndex;
            if (!readIndex(pin, pinIndex, CDICErrors::T34_ERRINDEXOFPIN_2))
                return m_status;
            Lumo::ContainerT<const Lumo::INorvPhysicalNet> parent;
            if (!pin->GetParentPhysicalNet(parent))
                continue;
            Lumo::Index parentIndex;
            if (!readIndexThrough(parent, parentIndex, CDICErrors::T34_ERRINDEXOFPARENTNETFORPIN))
                return m_status;
            // Components list their pins mostly in ascending index order: the search gallops on
            // from the last pin found, and searches the whole array only for a pin below it.
            const auto below = [](const PinEntry& e, const Lumo::Index& pin) { return e.pin < pin; };
            auto from = byPin.begin();
            auto to = byPin.end();
            if (cursor != byPin.end() && !(pinIndex < cursor->pin)) {
                // Every entry before the cursor is below the pin: widen [from, to) until its end
                // is not, then search inside it.
                from = cursor;
                to = cursor;
                for (std::size_t step = 1;; step *= 2) {
                    if (static_cast<std::size_t>(byPin.end() - to) <= step) {
                        to = byPin.end();
                        break;
                    }
                    to += step;
                    if (!below(*to, pinIndex))
                        break;
                    from = to;
                }
            }
            auto entry = std::lower_bound(from, to, pinIndex, below);
            cursor = entry;
            for (; entry != byPin.end() && entry->pin == pinIndex; ++entry) {
                if (entry->net != parentIndex) {
                    raiseError(CDICErrors::T34_WRONGRELATIONTOPARENTNETFORPIN);
                    continue;
                }
                if (entry->seen)
                    raiseError(CDICErrors::T34_PINUSEDMORETHANONCEINCOMPONENTS);
                entry->seen = true;
            }
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T34_ERRITEROVERPINSINCOMPONENT);
    }
    if (!compWalk)
        return raiseError(CDICErrors::T34_ERRITEROVERCOMPONENTS);

    std::vector<unsigned char> seen(records.size(), 0);
    for (const PinEntry& entry : byPin)
        seen[entry.position] = entry.seen;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (const PinRecord& record = records[i]; !seen[i])
            raiseError(CDICErrors::T34_COMPONENTPININNETBUTNOTINCOMPONENTS, record.pin,
                       indexToName(record.pin), record.net, indexToName(record.net));

    raiseStatus(OK);
    return m_status;
}
