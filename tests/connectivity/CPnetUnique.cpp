#include "tests/connectivity/CPnetUnique.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include "framework/EqualPairs.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace
{

// What the walk of one electrical net's physical nets gave; walked once per electrical net. The
// indexes read stand, sorted, in one array that all electrical nets share (first, first + count).
struct ChildList
{
    bool walked = false;
    bool iteratorFailed = false;
    int unreadIndexes = 0;
    std::size_t first = 0;
    std::size_t count = 0;
};

} // namespace

CPnetUnique::CPnetUnique() = default;
CPnetUnique::~CPnetUnique() = default;

std::string CPnetUnique::getTestDescription() const { return "Test checks if physical net name is unique"; }
std::string CPnetUnique::getTestName() const { return "Physical net unique"; }
std::string CPnetUnique::getTestShortName() const { return "PNetUnique"; }

std::string CPnetUnique::toUpper(const std::string& text) const
{
    return connectivity::toUpperText(text);
}

TestStatus CPnetUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    std::vector<PnetNameRecord> records;

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);

    std::unordered_map<Lumo::Index, ChildList> parents;
    std::vector<Lumo::Index> childIndexes;
    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index)) {
            raiseError(CDICErrors::T40_ERRINDEXELECNET);
            continue;
        }
        Lumo::String name;
        if (!net->GetName(name)) {
            raiseError(CDICErrors::T40_ERRNAMEELECNET);
            continue;
        }
        if (connectivity::isImplicitNetName(name.c_str()))
            continue;
        records.push_back({index, name.str(), toUpper(name.str())});

        Lumo::ContainerT<const Lumo::INorvElectricalNet> parent;
        if (!net->GetParentElectricalNet(parent)) {
            raiseError(CDICErrors::T40_ERRPARENTELECNETPHYS, index, name);
            continue;
        }
        // The parent's child list is walked once and kept by the parent's index, so that an
        // electrical net with many physical nets is not walked once per child. A walk that met a
        // failed read is not kept: the next child walks again.
        const bool valid = static_cast<bool>(parent.IsValid());
        Lumo::Index parentIndex;
        const bool keyed = valid && parent->GetIndex(parentIndex) && !parentIndex.IsEmpty();
        ChildList local;
        ChildList& children = keyed ? parents[parentIndex] : local;
        if (!children.walked) {
            // What an earlier walk that met a failed read left is read again.
            children.iteratorFailed = false;
            children.unreadIndexes = 0;
            children.first = childIndexes.size();
            Lumo::IteratorT<const Lumo::INorvPhysicalNet> child;
            if (!valid || !parent->GetIterPhysicalNets(child)) {
                children.iteratorFailed = true;
            } else {
                Lumo::Result childWalk;
                for (; walkOn(child, childWalk); ++child) {
                    Lumo::Index childIndex;
                    if (child->GetIndex(childIndex))
                        childIndexes.push_back(childIndex);
                    else
                        ++children.unreadIndexes;
                }
                if (!childWalk)
                    children.iteratorFailed = true;
            }
            children.count = childIndexes.size() - children.first;
            std::sort(childIndexes.begin() + children.first, childIndexes.end());
            children.walked = !children.iteratorFailed && children.unreadIndexes == 0;
        }
        if (children.iteratorFailed) {
            raiseError(CDICErrors::T40_ERRPARENTELECNET);
            continue;
        }
        for (int i = 0; i < children.unreadIndexes; ++i)
            raiseError(CDICErrors::T40_ERRINDEXPHYSNET);
        const auto listed = childIndexes.begin() + children.first;
        const auto found = std::equal_range(listed, listed + children.count, index);
        if (found.second - found.first != 1) {
            Lumo::Index elecIndex;
            Lumo::String elecName;
            parent->GetIndex(elecIndex);
            parent->GetName(elecName);
            raiseError(CDICErrors::T40_ERRWRONGNETSREF, elecIndex, elecName);
        }
    }
    if (!netWalk)
        return raiseError(CDICErrors::T40_ERRITERPHYSNETS);

    std::vector<std::string> keys;
    keys.reserve(records.size());
    for (const PnetNameRecord& record : records)
        keys.push_back(record.upperName);
    ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) {
        if (!checkPairUnique(records[i], records[j])) {
            addErrIndex(records[i].index);
            m_message += "   ";
            addErrIndex(records[j].index);
        }
    });

    raiseStatus(OK);
    return m_status;
}

bool CPnetUnique::checkPairUnique(const PnetNameRecord& first, const PnetNameRecord& second)
{
    if (first.upperName != second.upperName)
        return true;
    for (const PnetNameRecord* record : {&first, &second}) {
        Lumo::ContainerT<const Lumo::INorvPhysicalNet> net;
        Lumo::EPhysicalNetType type = Lumo::PNT_Ordinary;
        if (m_config->GetPhysicalNet(record->index, net) && readThrough(net, [&] { return net->GetType(type); }) &&
            type == Lumo::PNT_ImplicitPower) {
            raiseError(CDICErrors::T40_IMPLICITPOWERS, record->index, record->name);
            return true;
        }
    }
    raiseError(CDICErrors::T40_ERRPHYSNETNOTUNIEQUE, first.index, first.name, second.index,
               second.name);
    return false;
}
