#include "tests/connectivity/CPinPairUnique.h"

#include "framework/CNorvProjectChecker.h"
#include "tests/connectivity/ConnectivityHelpers.h"
#include "tests/connectivity/PinPairKey.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace
{

// Positions by key, ascending, and each position's rank within its group.
struct Groups
{
    std::unordered_map<std::string, std::vector<std::size_t>> members;
    std::vector<const std::vector<std::size_t>*> groupOf;
    std::vector<std::size_t> rank;

    explicit Groups(const std::vector<std::string>& keys) : groupOf(keys.size()), rank(keys.size())
    {
        members.reserve(keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            std::vector<std::size_t>& group = members[keys[i]];
            rank[i] = group.size();
            group.push_back(i);
            groupOf[i] = &group;
        }
    }
    // The later positions with the same key as i, ascending.
    std::vector<std::size_t>::const_iterator laterBegin(std::size_t i) const
    {
        return groupOf[i]->begin() + static_cast<std::ptrdiff_t>(rank[i] + 1);
    }
    std::vector<std::size_t>::const_iterator laterEnd(std::size_t i) const { return groupOf[i]->end(); }
};

unsigned pinUsedTwiceCode(Lumo::EPinPairType type)
{
    switch (type) {
    case Lumo::PPT_Ordinary: return CDICErrors::T37_PAIRINVALIDPINUSEDTWICE;
    case Lumo::PPT_Connection: return CDICErrors::T37_CONNECTIONPAIRINVALIDPINUSEDTWICE;
    }
    return CDICErrors::T37_UNKNOWNPAIRINVALIDPINUSEDTWICE;
}

unsigned duplicateCode(Lumo::EPinPairType type)
{
    switch (type) {
    case Lumo::PPT_Ordinary: return CDICErrors::T37_ENETHASDUPLICATEDPINPAIRS;
    case Lumo::PPT_Connection: return CDICErrors::T37_ENETHASDUPLICATEDCONNECTIONPINPAIRS;
    }
    return CDICErrors::T37_ENETHASDUPLICATEDUNKNOWNPINPAIRS;
}

} // namespace

CPinPairUnique::CPinPairUnique()
{
    m_pairTypes = Lumo::PPT_Ordinary;
    m_pairTypes |= Lumo::PPT_Connection;
}

CPinPairUnique::~CPinPairUnique() = default;

std::string CPinPairUnique::getTestDescription() const
{
    return CNorvProjectChecker::IsFlowTamsa() ? "Test checks if pin pairs in physical net are unique"
                                              : "Test checks if pin pairs in electrical net are unique";
}
std::string CPinPairUnique::getTestName() const
{
    return CNorvProjectChecker::IsFlowTamsa() ? "Unique pin pairs in physical net" : "Unique pin pairs in electrical net";
}
std::string CPinPairUnique::getTestShortName() const { return "UniquePinPairsInElecNet"; }

void CPinPairUnique::readNetPins(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net)
{
    m_netPins = NetPins();
    walkNetPins(net);
    // A walk that met a failed read serves this look-up only; the next one walks again.
    m_netPins.walked = m_netPins.failCode == 0;
}

void CPinPairUnique::walkNetPins(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net)
{
    Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
    Lumo::Result physNetWalk = net->GetIterPhysicalNets(physNet);
    for (; walkOn(physNet, physNetWalk); ++physNet) {
        Lumo::BitContainerT<Lumo::ENorvPinType> kinds(Lumo::NPT_NetPin);
        kinds |= Lumo::NPT_VirtualPin;
        kinds |= Lumo::NPT_VirtualPinSetPin;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = physNet->GetIterPins(pin, kinds);
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index index;
            if (!pin->GetIndex(index)) {
                m_netPins.failCode = CDICErrors::T37_ERRINDEXOFRETRIEVEDPIN;
                return;
            }
            m_netPins.pins.insert(index);
        }
        if (!pinWalk) {
            m_netPins.failCode = CDICErrors::T37_ERRITEROVERPINSINPHYSNET;
            return;
        }
    }
    if (!physNetWalk) {
        m_netPins.failCode = CDICErrors::T37_ERRITEROVERPHYSNETSINELECNET;
        return;
    }
}

bool CPinPairUnique::checkPinPairPins(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                      const Lumo::ContainerT<const Lumo::INorvPin>& pin)
{
    Lumo::Index pinIndex;
    if (!readIndex(pin, pinIndex, CDICErrors::T37_ERRINDEXOFPIN))
        return false;
    if (!m_netPins.walked)
        readNetPins(net);
    if (m_netPins.pins.count(pinIndex))
        return true;
    if (m_netPins.failCode) {
        raiseError(m_netPins.failCode);
        return false;
    }
    raiseError(CDICErrors::T37_ENETHASINVALIDPINPAIR, m_netIndex, m_netName, pinIndex, "");
    return false;
}

void CPinPairUnique::judgeRecords(const std::vector<PinPairRecord>& records)
{
    std::vector<std::string> names, pinKeys;
    names.reserve(records.size());
    pinKeys.reserve(records.size());
    for (const PinPairRecord& record : records) {
        names.push_back(record.name);
        pinKeys.push_back(connectivity::unorderedPairKey(record.firstPin, record.secondPin));
    }
    // A later record is a duplicate when it has the same name or the same pins: the union of the
    // two groups after i, each reported once, in ascending order.
    const Groups byName(names), byPins(pinKeys);
    std::vector<std::size_t> later;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PinPairRecord& record = records[i];
        if (record.firstPin == record.secondPin)
            raiseError(pinUsedTwiceCode(record.type), m_netIndex, m_netName, record.pairIndex,
                       record.name);
        later.clear();
        std::set_union(byName.laterBegin(i), byName.laterEnd(i), byPins.laterBegin(i), byPins.laterEnd(i),
                       std::back_inserter(later));
        for (std::size_t j = 0; j < later.size(); ++j)
            raiseError(duplicateCode(record.type), m_netIndex, m_netName, record.pairIndex,
                       record.name);
    }
}

TestStatus CPinPairUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvElectricalNet> net;
    Lumo::Result netWalk = m_config->GetIterElectricalNets(net);
    std::vector<PinPairRecord> records;
    for (; walkOn(net, netWalk); ++net) {
        // Each net starts from nothing, so that a failed read never names the net before it.
        m_netIndex = Lumo::Index();
        m_netName.clear();
        m_netPins = NetPins();
        Lumo::String name;
        net->GetIndex(m_netIndex);
        if (net->GetName(name))
            m_netName = name.str();

        Lumo::IteratorT<const Lumo::INorvPinPair> pair;
        if (!net->GetIterPinPairs(pair, m_pairTypes)) {
            raiseError(CDICErrors::T37_ERRITEROVERPINPAIRS);
            continue;
        }
        records.clear();
        Lumo::Result pairWalk;
        for (; walkOn(pair, pairWalk); ++pair) {
            PinPairRecord record;
            if (!readIndex(pair, record.pairIndex, CDICErrors::T37_ERRINDEXOFPINPAIR))
                continue;
            if (!pair->GetType(record.type)) {
                raiseError(CDICErrors::T37_ERRTYPEOFPINPAIR);
                continue;
            }
            if (!readName(pair, record.name, CDICErrors::T37_ERRNAMEOFPINPAIR, record.pairIndex))
                continue;
            Lumo::ContainerT<const Lumo::INorvElectricalNet> parent;
            if (!pair->GetParentElectricalNet(parent)) {
                raiseError(CDICErrors::T37_ERRPARENTELECNETOFPINPAIR, record.pairIndex, record.name);
                continue;
            }
            Lumo::Index parentIndex;
            if (!readIndexThrough(parent, parentIndex, CDICErrors::T37_ERRINDEXOFPARENTELECNETOFPINPAIR,
                                  record.pairIndex, record.name))
                continue;
            if (parentIndex != m_netIndex) {
                raiseError(CDICErrors::T37_WRONGREFERENCEFROMPINPAIRTOPARENTELECNET);
                continue;
            }
            Lumo::ContainerT<const Lumo::INorvPin> first, second;
            if (!pair->GetFirstPin(first)) {
                raiseError(CDICErrors::T37_ERRFIRSTPINOFPINPAIR);
                continue;
            }
            if (!pair->GetSecondPin(second)) {
                raiseError(CDICErrors::T37_ERRSECONDPINOFPINPAIR);
                continue;
            }
            if (!readThrough(first, [&] { return first->GetIndex(record.firstPin); }))
                return raiseError(CDICErrors::T37_ERRINDEXOFFIRSTPINOFPINPAIR);
            if (!readThrough(second, [&] { return second->GetIndex(record.secondPin); }))
                return raiseError(CDICErrors::T37_ERRINDEXOFSECONDPINOFPINPAIR);
            if (!checkPinPairPins(net, second) || !checkPinPairPins(net, first))
                raiseError(CDICErrors::T37_PAIRINVALID, record.pairIndex, record.name);
            records.push_back(record);
        }
        if (!pairWalk) {
            raiseError(CDICErrors::T37_ERRITEROVERPINPAIRS);
            continue;
        }
        judgeRecords(records);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T37_ERRITEROVERELECNETS);

    raiseStatus(OK);
    return m_status;
}
