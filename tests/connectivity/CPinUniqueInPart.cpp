#include "tests/connectivity/CPinUniqueInPart.h"

#include "framework/EqualPairs.h"
#include "tests/connectivity/ConnectivityHelpers.h"
#include "tests/connectivity/PinPairKey.h"

CPinUniqueInPart::CPinUniqueInPart() = default;
CPinUniqueInPart::~CPinUniqueInPart() = default;

std::string CPinUniqueInPart::getTestDescription() const
{
    return "Test checks if part pins are unique, part pin pairs valid and not duplicated";
}
std::string CPinUniqueInPart::getTestName() const { return "Pin and pin pair in part"; }
std::string CPinUniqueInPart::getTestShortName() const { return "UniquePinAndPinPairInNorvPart"; }

bool CPinUniqueInPart::checkPartPins(const Lumo::ContainerT<const Lumo::INorvPart>& part, Lumo::Index partIndex,
                                     const std::string& partName)
{
    Lumo::IteratorT<const Lumo::INorvPartPin> pin;
    Lumo::Result pinWalk = part->GetIterPartPins(pin);
    std::vector<PartPinRecord> records;
    for (; walkOn(pin, pinWalk); ++pin) {
        PartPinRecord record;
        if (!readIndex(pin, record.pin, CDICErrors::T52_ERRINDEXOFPIN))
            return false;
        if (!readName(pin, record.name, CDICErrors::T52_ERRNAMEOFPIN, record.pin))
            return false;
        Lumo::ContainerT<const Lumo::INorvPart> parent;
        if (!pin->GetParentPart(parent)) {
            raiseError(CDICErrors::T52_ERRPARENTPARTOFPIN, record.pin);
        } else {
            Lumo::Index parentIndex;
            if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); }))
                raiseError(CDICErrors::T52_ERRINDEXOFPARENTPARTOFPIN);
            if (parentIndex != partIndex)
                raiseError(CDICErrors::T52_INDEXOFPARENTPARTOFPINDIFFERSFROMEXAMINEDPART);
        }
        records.push_back(record);
    }
    if (!pinWalk) {
        raiseError(CDICErrors::T52_ERRITERPINSINPART, partIndex);
        return false;
    }

    std::vector<std::string> names;
    names.reserve(records.size());
    for (const PartPinRecord& record : records)
        names.push_back(record.name);
    ForEachEqualPair(names, [&](std::size_t i, std::size_t) {
        raiseError(CDICErrors::T52_TWOPINSWITHSAMENAMEINPART, records[i].pin, records[i].name, partIndex,
                   partName);
    });
    return true;
}

bool CPinUniqueInPart::checkPartPinPairs(const Lumo::ContainerT<const Lumo::INorvPart>& part, Lumo::Index partIndex)
{
    Lumo::IteratorT<const Lumo::INorvPartPinPair> pair;
    Lumo::Result pairWalk = part->GetIterPartPinPairs(pair);
    std::vector<PartPinPairRecord> records;
    for (; walkOn(pair, pairWalk); ++pair) {
        PartPinPairRecord record;
        if (!readIndex(pair, record.pair, CDICErrors::T52_ERRINDEXOFPARTPINPAIR))
            return false;
        if (!readName(pair, record.name, CDICErrors::T52_ERRNAMEOFPARTPINPAIR, record.pair))
            return false;
        Lumo::ContainerT<const Lumo::INorvPartPin> first, second;
        if (!pair->GetFirstPartPin(first)) {
            raiseError(CDICErrors::T52_ERRFIRSTPINOFPARTPINPAIR, record.pair);
            return false;
        }
        if (!pair->GetSecondPartPin(second)) {
            raiseError(CDICErrors::T52_ERRSECONDPINOFPARTPINPAIR, record.pair);
            return false;
        }
        if (!readIndexThrough(first, record.firstPin, CDICErrors::T52_ERRINDEXOFFIRSTPINOFPARTPINPAIR, record.pair))
            return false;
        if (!readIndexThrough(second, record.secondPin, CDICErrors::T52_ERRINDEXOFSECONDPINOFPARTPINPAIR, record.pair))
            return false;
        if (record.firstPin == record.secondPin)
            raiseError(CDICErrors::T52_BOTHPINSOFPARTPINPAIRARETHESAMEPIN, record.pair, "", record.firstPin, "");
        records.push_back(record);
    }
    if (!pairWalk) {
        raiseError(CDICErrors::T52_ERRITEROVERPINSINPART_2, partIndex);
        return false;
    }

    std::vector<std::string> keys;
    keys.reserve(records.size());
    for (const PartPinPairRecord& record : records)
        keys.push_back(connectivity::unorderedPairKey(record.firstPin, record.secondPin));
    ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) {
        raiseError(CDICErrors::T52_DUPLICATEDPARTPINPAIRINPART, records[i].pair, "", records[j].pair, "");
    });
    return true;
}

TestStatus CPinUniqueInPart::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPart> part;
    Lumo::Result partWalk = m_config->GetIterParts(part);
    for (; walkOn(part, partWalk); ++part) {
        Lumo::Index partIndex;
        std::string partName;
        if (!readIndex(part, partIndex, CDICErrors::T52_ERRINDEXOFPART))
            return m_status;
        if (!readName(part, partName, CDICErrors::T52_ERRNAMEOFPART, partIndex))
            return m_status;
        if (!checkPartPins(part, partIndex, partName) || !checkPartPinPairs(part, partIndex))
            return m_status;
    }
    if (!partWalk)
        return raiseError(CDICErrors::T52_ERRITEROVERPARTS);

    raiseStatus(OK);
    return m_status;
}
