#include "tests/connectivity/CEnetUnique.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include "framework/EqualPairs.h"

CEnetUnique::CEnetUnique() = default;
CEnetUnique::~CEnetUnique() = default;

std::string CEnetUnique::getTestDescription() const { return "Test checks if electrical net name is unique"; }
std::string CEnetUnique::getTestName() const { return "Electrical net unique"; }
std::string CEnetUnique::getTestShortName() const { return "UniqueEnet"; }

std::string CEnetUnique::toUpper(const std::string& text) const
{
    return connectivity::toUpperText(text);
}

TestStatus CEnetUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    std::vector<EnetNameRecord> records;

    Lumo::IteratorT<const Lumo::INorvElectricalNet> net;
    Lumo::Result netWalk = m_config->GetIterElectricalNets(net);

    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index)) {
            raiseError(CDICErrors::T18_ERRINDEXOFENET);
            continue;
        }
        Lumo::String name;
        if (!net->GetName(name)) {
            raiseError(CDICErrors::T18_ERRNAMEOFENET, index);
            continue;
        }
        records.push_back({index, name.str(), toUpper(name.str())});
    }
    if (!netWalk)
        return raiseError(CDICErrors::T18_ERRITERENETS);

    std::vector<std::string> keys;
    keys.reserve(records.size());
    for (const EnetNameRecord& record : records)
        keys.push_back(record.upperName);
    ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) { checkPairUnique(records[i], records[j]); });

    raiseStatus(OK);
    return m_status;
}

bool CEnetUnique::checkPairUnique(const EnetNameRecord& first, const EnetNameRecord& second)
{
    if (first.upperName != second.upperName)
        return true;
    // Only the first physical net of each electrical net tells whether it is an implicit power net.
    auto firstPhysNetIsPower = [this](const Lumo::Index& index) {
        Lumo::ContainerT<const Lumo::INorvElectricalNet> net;
        Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
        Lumo::EPhysicalNetType type = Lumo::PNT_Ordinary;
        return m_config->GetElectricalNet(index, net) &&
               readThrough(net, [&] { return net->GetIterPhysicalNets(physNet); }) && physNet.IsValid() &&
               physNet->GetType(type) && type == Lumo::PNT_ImplicitPower;
    };
    if (firstPhysNetIsPower(first.index)) {
        raiseError(CDICErrors::T18_IMPLICITPOWERS, first.index, first.name);
        return true;
    }
    if (firstPhysNetIsPower(second.index)) {
        raiseError(CDICErrors::T18_IMPLICITPOWERS_2, second.index, second.name);
        return true;
    }
    raiseError(CDICErrors::T18_DUPLICATEDENETS, first.index, first.name, second.index, second.name);
    return false;
}
