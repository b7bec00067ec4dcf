#include "tests/connectivity/CFromToUnique.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include "framework/EqualPairs.h"

CFromToUnique::CFromToUnique() = default;
CFromToUnique::~CFromToUnique() = default;

std::string CFromToUnique::getTestDescription() const { return "Test checks if all fromtos in physical net are unique"; }
std::string CFromToUnique::getTestName() const { return "Unique fromtos in physical net"; }
std::string CFromToUnique::getTestShortName() const { return "UniqueFromToInPhysNet"; }

std::string CFromToUnique::indexText(Lumo::Index index) const
{
    std::string text;
    if (m_pLog)
        m_pLog->indexToString(index, text);
    else
        text = index.ToText();
    return text;
}

bool CFromToUnique::pinBelongsToNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net,
                                    const Lumo::ContainerT<const Lumo::INorvPin>& pin)
{
    Lumo::Index pinIndex;
    if (!pin->GetIndex(pinIndex)) {
        raiseError(CDICErrors::T23_ERRINDEXOFPIN);
        return false;
    }
    NetPins& pins = m_netPins;
    if (!pins.walked) {
        Lumo::BitContainerT<Lumo::ENorvPinType> kinds(Lumo::NPT_NetPin);
        kinds |= Lumo::NPT_VirtualPin;
        kinds |= Lumo::NPT_GuidePin;
        kinds |= Lumo::NPT_VirtualPinSetPin;
        pins.read = connectivity::readNetPinIndexes(*net, kinds);
        // A walk that met a failed read serves this look-up only; the next one walks again.
        pins.walked = !pins.read.iteratorFailed && !pins.read.indexFailed;
    }
    if (pins.read.iteratorFailed) {
        raiseError(CDICErrors::T23_ERRITERPINSINPHYSNET);
        return false;
    }
    // A pin met before the unreadable one is found; any other pin meets the failure.
    if (pins.read.pins.count(pinIndex))
        return true;
    if (pins.read.indexFailed) {
        raiseError(CDICErrors::T23_ERRINDEXOFPINFROMPHYSNET);
        return false;
    }
    Lumo::String netName;
    Lumo::Index netIndex;
    net->GetName(netName);
    net->GetIndex(netIndex);
    raiseError(CDICErrors::T23_FROMTOINVALIDTYPEORNET, netIndex, netName);
    return false;
}

TestStatus CFromToUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);

    std::vector<FromToRecord> records;
    for (; walkOn(net, netWalk); ++net) {
        Lumo::String netName;
        Lumo::Index netIndex;
        net->GetName(netName);
        net->GetIndex(netIndex);
        Lumo::IteratorT<const Lumo::INorvFromTo> fromTo;
        if (!net->GetIterFromTos(fromTo))
            return raiseError(CDICErrors::T23_ERRITERFROMTOS, netIndex, netName);

        records.clear();
        m_netPins = NetPins();
        Lumo::Result fromToWalk;
        for (; walkOn(fromTo, fromToWalk); ++fromTo) {
            FromToRecord record;
            if (!fromTo->GetIndex(record.fromto))
                return raiseError(CDICErrors::T23_ERRINDEXOFFROMTO);
            if (!fromTo->GetName(record.name))
                return raiseError(CDICErrors::T23_ERRNAMEOFFROMTO, record.fromto, "", netIndex, netName);
            Lumo::ContainerT<const Lumo::INorvPin> from, to;
            if (!fromTo->GetPinFrom(from))
                return raiseError(CDICErrors::T23_ERRFROMPINOFFROMTO);
            if (!fromTo->GetPinTo(to))
                return raiseError(CDICErrors::T23_ERRTOPINOFFROMTO);
            if (!readThrough(from, [&] { return from->GetIndex(record.fromPin); }))
                return raiseError(CDICErrors::T23_ERRINDEXOFFROMPINOFFROMTO);
            if (!readThrough(to, [&] { return to->GetIndex(record.toPin); }))
                return raiseError(CDICErrors::T23_ERRINDEXOFTOPINOFFROMTO);
            // The same key for a from-to and its reverse.
            record.key = record.fromPin > record.toPin ? indexText(record.fromPin) + "," + indexText(record.toPin)
                                                       : indexText(record.toPin) + "," + indexText(record.fromPin);
            if (!pinBelongsToNet(net, to) || !pinBelongsToNet(net, from))
                raiseError(CDICErrors::T23_FROMTOINVALID, record.fromto, record.name);
            records.push_back(record);
        }
        if (!fromToWalk)
            return raiseError(CDICErrors::T23_ERRITERFROMTOS, netIndex, netName);

        // Equal keys are exactly the from-tos over the same two pins, in either direction.
        std::vector<std::string> keys;
        keys.reserve(records.size());
        for (const FromToRecord& record : records)
            keys.push_back(record.key);
        // Each from-to's own finding comes before its pairs with later from-tos.
        std::vector<std::pair<std::size_t, std::size_t>> pairs;
        ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) { pairs.emplace_back(i, j); });
        std::size_t next = 0;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const FromToRecord& r = records[i];
            if (r.fromPin == r.toPin)
                raiseError(CDICErrors::T23_FROMTOPINSARETHESAMEPIN, netIndex, netName, r.fromto,
                           r.key);
            for (; next < pairs.size() && pairs[next].first == i; ++next) {
                const FromToRecord& later = records[pairs[next].second];
                raiseError(CDICErrors::T23_FROMTODUPLICATEDINPHYSNET, netIndex, netName, r.fromto,
                           r.name, later.fromto, later.name);
            }
        }
    }
    if (!netWalk)
        return raiseError(CDICErrors::T23_ERRITERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
