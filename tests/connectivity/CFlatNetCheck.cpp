#include "tests/connectivity/CFlatNetCheck.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include <cctype>
#include <unordered_map>
#include <utility>
#include <vector>

namespace
{

// A name derived from a label: the label, "_" and only decimal digits (possibly none), for a
// label that is not empty and does not itself end with "_".
bool isLabelWithSuffix(const std::string& name, const std::string& label)
{
    if (label.empty() || label.back() == '_' || name.size() <= label.size() || name.compare(0, label.size(), label) != 0 ||
        name[label.size()] != '_')
        return false;
    for (std::size_t i = label.size() + 1; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

} // namespace

CFlatNetCheck::CFlatNetCheck() = default;
CFlatNetCheck::~CFlatNetCheck() = default;

std::string CFlatNetCheck::getTestDescription() const
{
    return "Test checks if all schematic nets and physical nets are mapped correctly";
}
std::string CFlatNetCheck::getTestName() const { return "Mapping of schematic and physical nets"; }
std::string CFlatNetCheck::getTestShortName() const { return "MappingFlatAndPhysNets"; }

bool CFlatNetCheck::pathHasFlaggedComp(const Lumo::ContainerT<const Lumo::ISnapshot>& snapshot,
                                       const Lumo::ContainerT<const Lumo::IPath>& path, Lumo::Index flatNet) const
{
    Lumo::ListT<Lumo::Index> hierarchy;
    if (path.IsValid())
        path->GetListHierarchyIndexes(hierarchy);
    if (hierarchy.IsEmpty())
        return false;
    Lumo::IUIDManager uidManager;
    if (!snapshot->GetUIDManager(uidManager))
        return false;
    return connectivity::hierarchyHasForwardPcbComp(uidManager, hierarchy, flatNet);
}

void CFlatNetCheck::checkImplicitNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, Lumo::Index index,
                                     const Lumo::String& name)
{
    Lumo::IteratorT<const Lumo::INorvPin> pin;
    if (net->GetIterPins(pin, Lumo::BitContainerT<Lumo::ENorvPinType>(Lumo::NPT_NetPin))) {
        for (; pin.IsValid(); ++pin) {
            Lumo::ContainerT<const Lumo::IPin> designPin;
            Lumo::ContainerT<const Lumo::INorvPartPin> partPin;
            Lumo::EPartPinType type = Lumo::PPNT_0;
            if (!pin->GetPin(designPin) || !pin->GetParentPartPin(partPin) ||
                !readThrough(partPin, [&] { return partPin->GetType(type); }) ||
                (type != Lumo::PPNT_ImplicitPower7 && type != Lumo::PPNT_ImplicitPower8)) {
                raiseError(CDICErrors::T21_CANTFINDFLATNETFORPHYSNET, index, name);
                return;
            }
        }
    }
    raiseError(CDICErrors::T21_IMPLICITPHYSNET, index, name);
}

TestStatus CFlatNetCheck::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    // Flat net name to the name of its physical net; the first flat net of a name keeps its entry.
    // The pairs are kept in walk order and hashed only when a pair of nets disagrees on its name,
    // which a consistent design never asks for.
    std::vector<std::pair<std::string, std::string>> flatNetNames;
    std::unordered_map<std::string, std::string> flatNetNameMap;
    bool flatNetNamesHashed = false;

    Lumo::IteratorT<const Lumo::IFlatNet> flatNet;
    Lumo::Result flatNetWalk = m_config->GetIterFlatNets(flatNet);

    for (; walkOn(flatNet, flatNetWalk); ++flatNet) {
        Lumo::String name;
        if (!flatNet->GetName(name)) {
            raiseError(CDICErrors::T21_ERRNAMEOFFLATNET);
            continue;
        }
        if (connectivity::isImplicitNetName(name.c_str()))
            continue;
        Lumo::Index index;
        if (!flatNet->GetIndex(index)) {
            raiseError(CDICErrors::T21_ERRINDEXOFFLATNET, name);
            continue;
        }
        Lumo::BitContainerT<Lumo::EForwardPCBFlag> flags;
        if (flatNet->GetForwardPCBFlag(flags) && flags.Contains(Lumo::FPF_NotForwarded))
            continue;

        Lumo::ContainerT<const Lumo::INorvPhysicalNet> physNet;
        if (m_config->GetPhysicalNetByFlatNet(index, physNet)) {
            Lumo::String physName;
            if (!readThrough(physNet, [&] { return physNet->GetName(physName); }))
                raiseError(CDICErrors::T21_ERRNAMEPHYSNET);
            else
                flatNetNames.emplace_back(name.str(), physName.str());
            continue;
        }

        // Without a physical net the flat net passes only when every page net lies under a
        // ForwardPCB component.
        Lumo::IteratorT<const Lumo::INet> pageNet;
        Lumo::Result pageNetWalk = flatNet->GetIterNetsConnected(pageNet);
        bool anyPageNet = false;
        bool excused = true;
        for (; walkOn(pageNet, pageNetWalk); ++pageNet) {
            anyPageNet = true;
            Lumo::ContainerT<const Lumo::IPath> path;
            if (!pageNet->GetPath(path))
                raiseError(CDICErrors::T21_ERRPATHOFPAGENET);
            if (!pathHasFlaggedComp(m_snapshot, path, index)) {
                excused = false;
                break;
            }
        }
        if (!pageNetWalk)
            raiseError(CDICErrors::T21_ERRITERPAGENETSINFLATNET);
        if (!anyPageNet || !excused)
            raiseError(CDICErrors::T21_ERRPHYSNETFORFLATNET, index, name);
    }
    if (!flatNetWalk)
        return raiseError(CDICErrors::T21_ERRITERFLATNETS);

    Lumo::ContainerT<const Lumo::IConfig> defaultConfig;
    if (!m_snapshot->GetDefaultConfig(defaultConfig, m_topBlockName))
        return raiseError(CDICErrors::T21_ERRDEFAULTCONFIG);

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
    Lumo::Result physNetWalk = m_config->GetIterPhysicalNets(physNet);

    for (; walkOn(physNet, physNetWalk); ++physNet) {
        Lumo::String physName;
        if (!physNet->GetName(physName)) {
            raiseError(CDICErrors::T21_ERRNAMEPHYSNET);
            continue;
        }
        if (connectivity::isImplicitNetName(physName.c_str()))
            continue;
        Lumo::Index physIndex;
        if (!physNet->GetIndex(physIndex)) {
            raiseError(CDICErrors::T21_ERRINDEXPHYSNET, physName);
            continue;
        }
        Lumo::ContainerT<const Lumo::IFlatNet> flat;
        if (!physNet->GetFlatNet(flat)) {
            checkImplicitNet(physNet, physIndex, physName);
            continue;
        }
        Lumo::String flatName;
        if (!readThrough(flat, [&] { return flat->GetName(flatName); })) {
            raiseError(CDICErrors::T21_ERRNAMEOFFLATNET);
            continue;
        }
        Lumo::Index flatIndex;
        if (!flat->GetIndex(flatIndex)) {
            raiseError(CDICErrors::T21_ERRINDEXOFFLATNET, flatName);
            continue;
        }
        if (physName == flatName)
            continue;
        // Two nets whose names are swapped between the two sides agree.
        if (!flatNetNamesHashed) {
            flatNetNameMap.reserve(flatNetNames.size());
            for (auto& entry : flatNetNames)
                flatNetNameMap.emplace(std::move(entry.first), std::move(entry.second));
            std::vector<std::pair<std::string, std::string>>().swap(flatNetNames);
            flatNetNamesHashed = true;
        }
        const auto crossed = flatNetNameMap.find(physName.str());
        if (crossed != flatNetNameMap.end() && crossed->second == flatName.str())
            continue;

        Lumo::IteratorT<const Lumo::INet> pageNet;
        if (!flat->GetIterNetsConnected(pageNet) || !pageNet.IsValid())
            continue;
        Lumo::String label;
        if (!pageNet->GetLabel(label))
            continue;
        const std::string p = physName.str(), f = flatName.str(), l = label.str();
        bool physMatches = p == l;
        if (!physMatches && isLabelWithSuffix(p, l)) {
            Lumo::EPhysicalNetType type = Lumo::PNT_Ordinary;
            physNet->GetType(type);
            physMatches = type == Lumo::PNT_Ordinary;
        }
        const bool flatMatches = f == l || isLabelWithSuffix(f, l);
        if (!physMatches || !flatMatches)
            raiseError(CDICErrors::T21_FLATANDPNETNAMEMISMATCH, physIndex, physName, flatIndex,
                       flatName);
    }
    if (!physNetWalk)
        return raiseError(CDICErrors::T21_ERRITERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
