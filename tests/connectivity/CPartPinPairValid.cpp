#include "tests/connectivity/CPartPinPairValid.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

namespace
{

using PinKey = std::pair<std::uint64_t, std::uint64_t>;

struct PinKeyHash
{
    std::size_t operator()(const PinKey& key) const noexcept
    {
        return std::hash<std::uint64_t>()(key.first) ^ (std::hash<std::uint64_t>()(key.second) * 0x9E3779B97F4A7C15ull);
    }
};

} // namespace

CPartPinPairValid::CPartPinPairValid() = default;
CPartPinPairValid::~CPartPinPairValid() = default;

std::string CPartPinPairValid::getTestDescription() const { return "Test checks if all part pin pairs are valid"; }
std::string CPartPinPairValid::getTestName() const { return "Part pin pairs valid"; }
std::string CPartPinPairValid::getTestShortName() const { return "PartPinPairsValid"; }

TestStatus CPartPinPairValid::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    m_parentPairs.clear();

    Lumo::IteratorT<const Lumo::INorvPart> part;
    Lumo::Result partWalk = m_config->GetIterParts(part);

    std::vector<PartPinPairRecord> records;
    for (; walkOn(part, partWalk); ++part) {
        Lumo::Index partIndex;
        if (!part->GetIndex(partIndex)) {
            raiseError(CDICErrors::T32_ERRINDEXOFPART);
            continue;
        }
        Lumo::String partName;
        if (!part->GetName(partName)) {
            raiseError(CDICErrors::T32_ERRNAMEOFPART, partIndex);
            continue;
        }
        Lumo::IteratorT<const Lumo::INorvPartPinPair> pair;
        if (!part->GetIterPartPinPairs(pair))
            return raiseError(CDICErrors::T32_ERRITEROVERPARTPINS);

        records.clear();
        Lumo::Result pairWalk;
        for (; walkOn(pair, pairWalk); ++pair) {
            checkPairParent(pair, partIndex);
            checkPartPinPair(pair, partIndex, records);
        }
        if (!pairWalk)
            return raiseError(CDICErrors::T32_ERRITEROVERPARTPINS);
        reportDuplicates(records);
    }
    if (!partWalk)
        return raiseError(CDICErrors::T32_ERRITEROVERPARTS);

    raiseStatus(OK);
    return m_status;
}

void CPartPinPairValid::reportDuplicates(const std::vector<PartPinPairRecord>& records)
{
    // Pairs are grouped by name and by their pins in order; a pair's swapped twins are the group
    // of its reversed pins. For each record the later records matching it in any of the three
    // ways are visited in order, and each raises its codes in the order name, same, swapped.
    std::unordered_map<std::string, std::vector<std::size_t>> byName;
    std::unordered_map<PinKey, std::vector<std::size_t>, PinKeyHash> byPins;
    for (std::size_t i = 0; i < records.size(); ++i) {
        byName[records[i].name].push_back(i);
        byPins[{records[i].firstPin.GetValue(), records[i].secondPin.GetValue()}].push_back(i);
    }
    auto appendLater = [](const std::vector<std::size_t>& group, std::size_t i, std::vector<std::size_t>& out) {
        for (auto it = std::upper_bound(group.begin(), group.end(), i); it != group.end(); ++it)
            out.push_back(*it);
    };
    std::vector<std::size_t> later;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PartPinPairRecord& a = records[i];
        later.clear();
        appendLater(byName[a.name], i, later);
        appendLater(byPins[{a.firstPin.GetValue(), a.secondPin.GetValue()}], i, later);
        const auto swapped = byPins.find({a.secondPin.GetValue(), a.firstPin.GetValue()});
        if (swapped != byPins.end())
            appendLater(swapped->second, i, later);
        std::sort(later.begin(), later.end());
        later.erase(std::unique(later.begin(), later.end()), later.end());
        for (std::size_t j : later) {
            const PartPinPairRecord& b = records[j];
            if (a.name == b.name)
                raiseError(CDICErrors::T32_PARTPINPAIRSHAVESAMENAMES);
            if (a.firstPin == b.firstPin && a.secondPin == b.secondPin)
                raiseError(CDICErrors::T32_PARTPINPAIRSDUPLICATED);
            if (a.firstPin == b.secondPin && a.secondPin == b.firstPin)
                raiseError(CDICErrors::T32_PARTPINPAIRSDUPLICATED_2);
        }
    }
}

bool CPartPinPairValid::checkPairParent(const Lumo::ContainerT<const Lumo::INorvPartPinPair>& pair,
                                        Lumo::Index partIndex)
{
    Lumo::ContainerT<const Lumo::INorvPart> parent;
    if (!pair->GetParentPart(parent)) {
        raiseError(CDICErrors::T32_ERRPARENTPARTOFPARTPINPAIR);
        return false;
    }
    Lumo::Index parentIndex;
    if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); })) {
        raiseError(CDICErrors::T32_ERRINDEXOFPARENTPARTOFPARTPINPAIR);
        return false;
    }
    if (parentIndex != partIndex) {
        raiseError(CDICErrors::T32_WRONGPARTPINPAIRPARENT, parentIndex, "", partIndex, "");
        return false;
    }
    return true;
}

bool CPartPinPairValid::checkPartPinPair(const Lumo::ContainerT<const Lumo::INorvPartPinPair>& pair,
                                         Lumo::Index partIndex, std::vector<PartPinPairRecord>& records)
{
    auto fail = [this](int code) {
        raiseError(code);
        return false;
    };
    Lumo::Index pairIndex;
    if (!pair->GetIndex(pairIndex))
        return fail(CDICErrors::T32_ERRINDEXOFPARTPINPAIR);

    Lumo::ContainerT<const Lumo::INorvPartPin> first;
    if (!pair->GetFirstPartPin(first))
        return fail(CDICErrors::T32_ERRFIRSTPINOFPARTPINPAIR);
    if (!first.IsValid())
        return fail(CDICErrors::T32_ERRFIRSTPINOFPARTPINPAIRINVALID);
    Lumo::Index firstIndex;
    if (!first->GetIndex(firstIndex))
        return fail(CDICErrors::T32_ERRINDEXFIRSTPINOFPARTPINPAIR);
    if (firstIndex.IsEmpty())
        return fail(CDICErrors::T32_ERRZEROINDEXFIRSTPINOFPARTPINPAIR);

    Lumo::ContainerT<const Lumo::INorvPartPin> second;
    if (!pair->GetSecondPartPin(second))
        return fail(CDICErrors::T32_ERRSECONDPINOFPARTPINPAIR);
    if (!second.IsValid())
        return fail(CDICErrors::T32_ERRSECONDPINOFPARTPINPAIRINVALID);
    Lumo::Index secondIndex;
    if (!second->GetIndex(secondIndex))
        return fail(CDICErrors::T32_ERRINDEXSECONDPINOFPARTPINPAIR);
    if (secondIndex.IsEmpty())
        return fail(CDICErrors::T32_ERRZEROINDEXSECONDPINOFPARTPINPAIR);

    if (firstIndex == secondIndex)
        return fail(CDICErrors::T32_ERRTHESAMEBOTHPINSOFPARTPINPAIR);
    Lumo::String name;
    if (!pair->GetName(name))
        return fail(CDICErrors::T32_ERRNAMEOFPARTPINPAIR);
    records.push_back({name.str(), firstIndex, secondIndex});

    if (!checkPartPinParent(partIndex, first))
        return fail(CDICErrors::T32_WRONGPARENTPARTFORPARTPINOFPARTPINPAIR);
    if (!checkPartPinParent(partIndex, second))
        return fail(CDICErrors::T32_WRONGPARENTPARTFORPARTPINOFPARTPINPAIR_2);
    if (!isPairInPinParentPairs(first, firstIndex, pairIndex))
        return fail(CDICErrors::T32_WRONGPARENTPAIRFORPARTPINOFPARTPINPAIR);
    if (!isPairInPinParentPairs(second, secondIndex, pairIndex))
        return fail(CDICErrors::T32_WRONGPARENTPAIRFORPARTPINOFPARTPINPAIR_2);
    return true;
}

bool CPartPinPairValid::checkPartPinParent(Lumo::Index partIndex, const Lumo::ContainerT<const Lumo::INorvPartPin>& pin)
{
    Lumo::Index pinIndex;
    if (!pin->GetIndex(pinIndex)) {
        raiseError(CDICErrors::T32_ERRINDEXOFPIN);
        return false;
    }
    Lumo::ContainerT<const Lumo::INorvPart> parent;
    if (!pin->GetParentPart(parent)) {
        raiseError(CDICErrors::T32_ERRPARENTPARTFORPIN, pinIndex);
        return false;
    }
    Lumo::Index parentIndex;
    if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); })) {
        raiseError(CDICErrors::T32_ERRPARENTPARTFORFIRSTPIN);
        return false;
    }
    if (parentIndex != partIndex) {
        raiseError(CDICErrors::T32_WRONGPARTPINPARENT, parentIndex, "", partIndex, "");
        return false;
    }
    return true;
}

bool CPartPinPairValid::isPairInPinParentPairs(const Lumo::ContainerT<const Lumo::INorvPartPin>& pin,
                                               Lumo::Index pinIndex, Lumo::Index pairIndex)
{
    // A pin joined by many pairs would otherwise have its whole list read and searched per pair.
    // Only a list that was read is kept; a failed read is made again for the next pair.
    auto found = m_parentPairs.find(pinIndex);
    if (found == m_parentPairs.end()) {
        Lumo::ListT<Lumo::NorvObjectInfo> list;
        if (!pin->GetParentPartPinPair(list)) {
            raiseError(CDICErrors::T32_ERRLISTOFPINPAIRSFORFIRSTPIN, pairIndex);
            return false;
        }
        std::unordered_set<Lumo::Index> pairs;
        for (auto it = list.GetIterator(); it.IsValid(); ++it)
            pairs.insert(it->index);
        found = m_parentPairs.emplace(pinIndex, std::move(pairs)).first;
    }
    return found->second.count(pairIndex) != 0;
}
