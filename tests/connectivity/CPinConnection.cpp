#include "tests/connectivity/CPinConnection.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include "framework/EqualPairs.h"

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
            return raiseError(CDICErrors::T34_ERRINDEXOFPHYSNET, name.c_str());
        }
        if (!readName(net, netName, CDICErrors::T34_ERRNAMEOFPHYSNET, netIndex))
            return m_status;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, m_pinTypes);
        for (; walkOn(pin, pinWalk); ++pin) {
            PinRecord record;
            if (!readIndex(pin, record.pin, CDICErrors::T34_ERRINDEXOFPIN, netIndex, netName.c_str()))
                return m_status;
            record.net = netIndex;
            records.push_back(record);
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T34_ERRITERPINSINPHYSNET, netIndex, netName.c_str());
    }
    if (!netWalk)
        return raiseError(CDICErrors::T34_ERRITEROVERPHYSNETS);

    // Record positions by pin index, ascending: the records a full scan of the list would meet.
    std::vector<Lumo::Index> pinOfRecord;
    pinOfRecord.reserve(records.size());
    for (const PinRecord& record : records)
        pinOfRecord.push_back(record.pin);
    const PositionsByKey<Lumo::Index> recordsOfPin(pinOfRecord);
    std::vector<Lumo::Index>().swap(pinOfRecord);

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
            for (std::size_t position : recordsOfPin.Of(pinIndex)) {
                PinRecord& record = records[position];
                if (record.net != parentIndex) {
                    raiseError(CDICErrors::T34_WRONGRELATIONTOPARENTNETFORPIN);
                    continue;
                }
                if (record.seen)
                    raiseError(CDICErrors::T34_PINUSEDMORETHANONCEINCOMPONENTS);
                record.seen = true;
            }
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T34_ERRITEROVERPINSINCOMPONENT);
    }
    if (!compWalk)
        return raiseError(CDICErrors::T34_ERRITEROVERCOMPONENTS);

    for (const PinRecord& record : records)
        if (!record.seen)
            raiseError(CDICErrors::T34_COMPONENTPININNETBUTNOTINCOMPONENTS, record.pin,
                       indexToName(record.pin).c_str(), record.net, indexToName(record.net).c_str());

    raiseStatus(OK);
    return m_status;
}
