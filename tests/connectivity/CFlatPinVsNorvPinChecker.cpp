#include "tests/connectivity/CFlatPinVsNorvPinChecker.h"

#include "tests/connectivity/ConnectivityHelpers.h"

#include "framework/EqualPairs.h"

CFlatPinVsNorvPinChecker::CFlatPinVsNorvPinChecker() = default;
CFlatPinVsNorvPinChecker::~CFlatPinVsNorvPinChecker() = default;

std::string CFlatPinVsNorvPinChecker::getTestDescription() const
{
    return "Test checks if all schematic pins and physical pins are mapped correctly";
}
std::string CFlatPinVsNorvPinChecker::getTestName() const { return "Consistency of pins in schematic and physical nets"; }
std::string CFlatPinVsNorvPinChecker::getTestShortName() const { return "ComparePinsFromFlatAndPhysNets"; }

TestStatus CFlatPinVsNorvPinChecker::runTest(bool)
{
    Lumo::ContainerT<const Lumo::IConfig> defaultConfig;
    if (!m_snapshot->GetDefaultConfig(defaultConfig, m_topBlockName))
        return raiseError(CDICErrors::T7_NODEFAULTCONFIG);
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::IFlatNet> flatNet;
    Lumo::Result flatNetWalk = defaultConfig->GetIterFlatNets(flatNet);
    // The pins of one flat net and of its physical net; emptied for every flat net, their storage
    // kept from one to the next.
    PinList flatPins, norvPins;

    for (; walkOn(flatNet, flatNetWalk); ++flatNet) {
        Lumo::Index flatIndex;
        if (!flatNet->GetIndex(flatIndex)) {
            raiseError(CDICErrors::T7_ERROINDEXOFFLATNET);
            continue;
        }
        Lumo::String flatName;
        if (!flatNet->GetName(flatName)) {
            raiseError(CDICErrors::T7_ERRONAMEOFFLATNET, flatIndex);
            continue;
        }
        Lumo::ContainerT<const Lumo::INorvPhysicalNet> physNet;
        if (!findPhysicalNetForFlatNet(physNet, flatNet))
            continue;
        Lumo::Index physIndex;
        if (!readThrough(physNet, [&] { return physNet->GetIndex(physIndex); })) {
            raiseError(CDICErrors::T7_ERROINDEXOFPHYSNET);
            continue;
        }
        Lumo::String physName;
        if (!physNet->GetName(physName)) {
            raiseError(CDICErrors::T7_ERRONAMEOFPHYSNET);
            continue;
        }
        flatPins.clear();
        if (!collectFlatPins(flatPins, flatNet))
            continue;
        Lumo::EPhysicalNetType type = Lumo::PNT_Ordinary;
        if (!physNet->GetType(type)) {
            raiseError(CDICErrors::T7_ERROTYPEOFPHYSNET, flatName);
            continue;
        }
        if (type == Lumo::PNT_ImplicitPower)
            continue;
        norvPins.clear();
        if (!collectNorvPins(physNet, norvPins))
            continue;
        if (!comparePins(norvPins, flatPins, flatIndex, physIndex))
            raiseError(CDICErrors::T7_PINSOFFLATNOTMATCHPINSOFPHYS, physIndex, physName, flatIndex,
                       flatName);
    }
    if (!flatNetWalk)
        return raiseError(CDICErrors::T7_NOITEROFFLATNETS);

    raiseStatus(OK);
    return m_status;
}

bool CFlatPinVsNorvPinChecker::pathHasFlaggedComp(const Lumo::ContainerT<const Lumo::IPath>& path)
{
    Lumo::ListT<Lumo::Index> hierarchy;
    if (path.IsValid())
        path->GetListHierarchyIndexes(hierarchy);
    return connectivity::hierarchyHasForwardPcbComp(m_uidManager, hierarchy);
}

bool CFlatPinVsNorvPinChecker::findPhysicalNetForFlatNet(Lumo::ContainerT<const Lumo::INorvPhysicalNet>& physNet,
                                                         const Lumo::ContainerT<const Lumo::IFlatNet>& flatNet)
{
    Lumo::Index index;
    if (!flatNet->GetIndex(index)) {
        raiseError(CDICErrors::T7_ERRINDEXOFFLAT_2);
        return false;
    }
    Lumo::String name;
    if (!flatNet->GetName(name)) {
        raiseError(CDICErrors::T7_ERRNAMEOFFLAT_2, index);
        return false;
    }
    Lumo::IteratorT<const Lumo::INet> pageNet;
    Lumo::Result pageNetWalk = flatNet->GetIterNetsConnected(pageNet);
    for (; walkOn(pageNet, pageNetWalk); ++pageNet) {
        Lumo::ContainerT<const Lumo::IPath> path;
        if (!pageNet->GetPath(path)) {
            raiseError(CDICErrors::T7_ERRPATHOFPNET);
            return false;
        }
        if (pathHasFlaggedComp(path))
            continue;
        if (!m_config->GetPhysicalNetByFlatNet(index, physNet)) {
            raiseError(CDICErrors::T7_ERRPHYSFORFLAT, index, name);
            return false;
        }
        return true;
    }
    if (!pageNetWalk) {
        raiseError(CDICErrors::T7_ERRITERPNETSOFFLAT);
        return false;
    }
    return false;
}

bool CFlatPinVsNorvPinChecker::collectFlatPins(PinList& flatPins, const Lumo::ContainerT<const Lumo::IFlatNet>& flatNet)
{
    Lumo::IteratorT<const Lumo::INet> pageNet;
    if (!flatNet->GetIterNetsConnected(pageNet)) {
        raiseError(CDICErrors::T7_ERRITERPNETSOFFLAT_2);
        return false;
    }
    Lumo::Index flatIndex;
    if (!flatNet->GetIndex(flatIndex)) {
        raiseError(CDICErrors::T7_ERRINDEXOFFLAT_3);
        return false;
    }
    Lumo::Result pageNetWalk;
    for (; walkOn(pageNet, pageNetWalk); ++pageNet) {
        Lumo::ContainerT<const Lumo::IPath> path;
        if (!pageNet->GetPath(path)) {
            raiseError(CDICErrors::T7_ERRPATHOFPNET_2);
            return false;
        }
        if (pathHasFlaggedComp(path))
            continue;
        Lumo::IteratorT<const Lumo::IPin> pin;
        Lumo::Result pinWalk = pageNet->GetIterPinsConnected(pin);
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index pinIndex;
            if (!pin->GetIndex(pinIndex)) {
                raiseError(CDICErrors::T7_ERRINDEXOFPIN);
                return false;
            }
            Lumo::BitContainerT<Lumo::EPinType> pinTypes;
            if (!pin->GetType(pinTypes)) {
                raiseError(CDICErrors::T7_ERRTYPEOFPIN);
                return false;
            }
            if (!pinTypes.Contains(Lumo::PT_ForwardPCB))
                continue;
            Lumo::ContainerT<const Lumo::IComp> comp;
            if (!pin->GetParent(comp)) {
                raiseError(CDICErrors::T7_ERRPARENTCOMPONENTOFPIN);
                return false;
            }
            Lumo::BitContainerT<Lumo::ECompType> compTypes;
            if (!readThrough(comp, [&] { return comp->GetType(compTypes); })) {
                raiseError(CDICErrors::T7_ERRTYPEOFPARENTCOMPONENTOFPIN);
                return false;
            }
            if (compTypes.Contains(Lumo::CT_ForwardPCB)) {
                PinLinkRecord record;
                record.index = pinIndex;
                record.netIndex = flatIndex;
                record.excluded = pinTypes.Contains(Lumo::PT_ImplicitPower7) ||
                                  pinTypes.Contains(Lumo::PT_ImplicitPower8) || pinTypes.Contains(Lumo::PT_NoConnect);
                flatPins.push_back(record);
                continue;
            }
            Lumo::String compName, pinName;
            Lumo::Index compIndex;
            comp->GetName(compName);
            comp->GetIndex(compIndex);
            pin->GetName(pinName);
            raiseError(CDICErrors::T7_PINFWDPCBCOMPNOTFWDPCB, pinIndex, pinName, compIndex, compName);
        }
        if (!pinWalk) {
            raiseError(CDICErrors::T7_ERRITERPINSOFPNET);
            return false;
        }
    }
    if (!pageNetWalk) {
        raiseError(CDICErrors::T7_ERRITERPNETSOFFLAT_2);
        return false;
    }
    return true;
}

bool CFlatPinVsNorvPinChecker::collectNorvPins(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& physNet,
                                               PinList& norvPins)
{
    Lumo::Index physIndex;
    if (!physNet->GetIndex(physIndex)) {
        raiseError(CDICErrors::T7_ERRINDEXOFPHYSNET);
        return false;
    }
    Lumo::IteratorT<const Lumo::INorvPin> pin;
    Lumo::Result pinWalk = physNet->GetIterPins(pin, Lumo::BitContainerT<Lumo::ENorvPinType>(Lumo::NPT_NetPin));
    for (; walkOn(pin, pinWalk); ++pin) {
        Lumo::Index pinIndex;
        if (!pin->GetIndex(pinIndex)) {
            raiseError(CDICErrors::T7_ERRINDEXOFPINSINPHYSNET);
            return false;
        }
        Lumo::EPinType type = static_cast<Lumo::EPinType>(1);
        if (!pin->GetType(type)) {
            raiseError(CDICErrors::T4_ERRTYPEPIN, pinIndex);
            continue;
        }
        PinLinkRecord record;
        record.index = pinIndex;
        // Implicit power pins need no flat pin.
        record.referenced = type == Lumo::PT_ImplicitPower7 || type == Lumo::PT_ImplicitPower8;
        record.netIndex = physIndex;
        if (type == Lumo::PT_NoConnect)
            raiseError(CDICErrors::T4_NCISCONNECTED, pinIndex, indexToName(pinIndex));
        norvPins.push_back(record);
    }
    if (!pinWalk) {
        raiseError(CDICErrors::T7_ERRITEROFPINSINPHYSNET);
        return false;
    }
    return true;
}

bool CFlatPinVsNorvPinChecker::comparePins(PinList& norvPins, PinList& flatPins, Lumo::Index flatNetIndex,
                                           Lumo::Index physNetIndex)
{
    std::vector<Lumo::Index>& flatIndexes = m_flatIndexes;
    std::vector<Lumo::Index>& norvIndexes = m_norvIndexes;
    flatIndexes.clear();
    norvIndexes.clear();
    for (const PinLinkRecord& record : flatPins)
        flatIndexes.push_back(record.index);
    for (const PinLinkRecord& record : norvPins)
        norvIndexes.push_back(record.index);
    // Positions of the records of each list by pin index (an index may be listed more than once).
    const PositionsByKey<Lumo::Index> flatByIndex(flatIndexes);
    const PositionsByKey<Lumo::Index> norvByIndex(norvIndexes);

    // Every flat pin of every Norv pin must be a pin of the flat net.
    for (const PinLinkRecord& norv : norvPins) {
        Lumo::ContainerT<const Lumo::INorvPin> pin;
        if (!m_uidManager.GetNorvPin(pin, norv.index)) {
            raiseError(CDICErrors::T7_ERRPINOFPHYSNET, norv.index, indexToName(norv.index));
            return false;
        }
        Lumo::IteratorT<const Lumo::IPin> flatPin;
        Lumo::Result flatPinWalk = readThrough(pin, [&] { return pin->GetIterFlatPins(flatPin); });
        for (; walkOn(flatPin, flatPinWalk); ++flatPin) {
            Lumo::Index flatPinIndex;
            if (!flatPin->GetIndex(flatPinIndex)) {
                raiseError(CDICErrors::T7_ERRINDEXOFFLATPIN);
                return false;
            }
            const auto found = flatByIndex.Of(flatPinIndex);
            if (found.empty()) {
                raiseError(CDICErrors::T7_NOFLATPINFORPHYSPININFLATNET, flatPinIndex, "", flatNetIndex, "");
                return false;
            }
            for (std::size_t at : found)
                flatPins[at].referenced = true;
        }
        if (!flatPinWalk) {
            raiseError(CDICErrors::T7_ERRITEROFFLATPINSINPHYSPIN);
            return false;
        }
    }

    // Every flat pin must lead to Norv pins of this physical net. The list is filled afresh by
    // every query and keeps its storage from one flat pin to the next.
    Lumo::ListT<Lumo::Index> listed;
    for (PinLinkRecord& flat : flatPins) {
        if (!m_config->GetListNorvPinByPin(listed, flat.index)) {
            raiseError(CDICErrors::T7_ERRLISTNORVPINSFROMFLATPIN, flat.index);
            return false;
        }
        int allMatches = 0;
        for (auto it = listed.GetIterator(); it.IsValid(); ++it) {
            const Lumo::Index norvIndex = *it;
            int matches = 0;
            for (std::size_t at : norvByIndex.Of(norvIndex)) {
                Lumo::ContainerT<const Lumo::INorvPin> pin;
                if (!m_uidManager.GetNorvPin(pin, norvIndex)) {
                    raiseError(CDICErrors::T7_ERRNORVPIN, norvIndex);
                    return false;
                }
                Lumo::ContainerT<const Lumo::INorvPhysicalNet> parent;
                if (!readThrough(pin, [&] { return pin->GetParentPhysicalNet(parent); })) {
                    raiseError(CDICErrors::T7_ERRPARENTPHYSNETFORNORVPIN, norvIndex, indexToName(norvIndex));
                    return false;
                }
                Lumo::Index parentIndex;
                if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); })) {
                    raiseError(CDICErrors::T7_ERRINDEXOFPARENTPHYSNETFORNORVPIN, norvIndex);
                    return false;
                }
                if (parentIndex != physNetIndex)
                    raiseError(CDICErrors::T7_WRONGPARENTPHYSNETFORNORVPIN, norvIndex);
                ++matches;
                norvPins[at].referenced = true;
            }
            if (matches == 0)
                raiseError(CDICErrors::T7_NORVPINFROMFLATPINNOTINPHYSNET, norvIndex, "", flat.index, "");
            else if (matches > 1)
                raiseError(CDICErrors::T7_PHYSPINMORETHANONCEINFLATPIN, norvIndex, "", flat.index, "");
            allMatches += matches;
        }
        if (allMatches > 0)
            continue;
        // A wide pin may lead to no Norv pin when the physical net has none.
        Lumo::ContainerT<const Lumo::IPin> designPin;
        int32_t width = 0;
        if (m_uidManager.GetPin(designPin, flat.index))
            readThrough(designPin, [&] { return designPin->GetWidth(width); });
        if (!norvPins.empty() || width == 1) {
            raiseError(CDICErrors::T7_NUMBEROFNORVPINFROMFLATPINISZERO, flat.index);
            return false;
        }
        flat.referenced = true;
    }

    for (const PinLinkRecord& norv : norvPins)
        if (!norv.referenced)
            raiseError(CDICErrors::T7_NORVPINFROMPHYSNETNOTREFERENCEDBYPINSINFLATNET, norv.index, "", norv.netIndex,
                       "");

    for (const PinLinkRecord& flat : flatPins) {
        if (flat.excluded || flat.referenced)
            continue;
        Lumo::String netName, pinName;
        Lumo::ContainerT<const Lumo::IFlatNet> net;
        if (m_uidManager.GetFlatNet(net, flat.netIndex))
            readThrough(net, [&] { return net->GetName(netName); });
        Lumo::ContainerT<const Lumo::IPin> pin;
        if (m_uidManager.GetPin(pin, flat.index))
            readThrough(pin, [&] { return pin->GetName(pinName); });
        raiseError(CDICErrors::T7_FLATPINFROMFLATNETNOTREFERENCEDBYPINSINPHYSNET, Lumo::Index(), pinName,
                   Lumo::Index(), netName);
    }
    return true;
}
