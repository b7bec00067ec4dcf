// Repairs that keep the Norv nets in step with the flat nets of the schematic: a missing parent
// electrical net, physical nets of one name, a flat net without a physical net, a name that
// differs from the flat net's and a physical net without a flat net.
#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include "framework/CFixMgr.h"
#include "framework/FixContext.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

const char* const kCannotFindPhysNet = "Cannot find physical net.";

// The design-pin and component type bits that mark what the schematic forwards to the board.
const uint32_t kForwardedPinBit = 0x100000;
const uint32_t kForwardedCompBit = 0x800;

// Renames a physical net under its own lock; the unlock is not examined.
Result RenamePhysNet(const ContainerT<const INorvPhysicalNet>& net, const String& name)
{
    MutableContainerT<INorvPhysicalNet> locked;
    Result r = LockerT<INorvPhysicalNet>::Lock(net, locked);
    if (r)
        r = locked->SetName(name);
    if (r)
        LockerT<INorvPhysicalNet>::UnLock(locked);
    return r;
}

// Connects to the new net the first Norv pin of a design pin that the schematic forwards from a
// forwarded component; other design pins, and those without Norv pins, are passed over.
Result ConnectForwardedPin(const IteratorT<const IPin>& pin, MutableContainerT<INorvPhysicalNet>& newNet)
{
    Index pinIndex;
    BitContainerT<EPinType> pinTypes;
    Result r;
    if (!(r = pin->GetIndex(pinIndex)) || !(r = pin->GetType(pinTypes)))
        return r;
    if ((pinTypes.GetWord() & kForwardedPinBit) == 0)
        return r;
    ContainerT<const IComp> comp;
    BitContainerT<ECompType> compTypes;
    if (!(r = pin->GetParent(comp)) || !(r = comp->GetType(compTypes)))
        return r;
    if ((compTypes.GetWord() & kForwardedCompBit) == 0)
        return r;
    ListT<Index> norvPins;
    if (!FixContext::s_fixNorvConfig->GetListNorvPinByPin(norvPins, pinIndex) || norvPins.IsEmpty())
        return Result();
    ContainerT<const INorvPin> norvPin;
    MutableContainerT<INorvPin> lockedPin;
    if (!(r = Uids()->GetNorvPin(norvPin, *norvPins.GetIterator())) ||
        !(r = LockerT<INorvPin>::Lock(norvPin, lockedPin)))
        return r;
    return newNet->ConnectPin(*lockedPin);
}

// Whether the electrical net holds a live physical net other than the given one.
Result HasOtherPhysNet(const ContainerT<const INorvElectricalNet>& net, const Index& phys, bool& other)
{
    other = false;
    IteratorT<const INorvPhysicalNet> it;
    Result walk = net->GetIterPhysicalNets(it);
    for (; !other && walkOn(it, walk); ++it)
    {
        Index index;
        if (Result r = it->GetIndex(index); !r)
            return r;
        other = index != phys;
    }
    return walk;
}

} // namespace

std::string CFixNetInternal::NumberedName(const std::string& base, int n)
{
    char number[100];
    std::snprintf(number, sizeof number, "%d", n);
    return base + "_" + number;
}

CFixStatus CFixNet::AddMissingParentElecNet()
{
    const Index slot = FixContext::s_fixIndex1;
    if (!IsIndexOf(slot, OT_NorvPhysicalNet))
        return CFixStatus(false, true, kCannotFindPhysNet);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> phys;
    if (!Uids()->GetNorvPhysicalNet(phys, slot))
        return CFixStatus();
    IteratorT<const IPin> connected;
    bool withoutPins = !phys->GetIterPinsConnected(connected);
    if (!withoutPins)
    {
        int count = 0;
        withoutPins = connected.GetCount(count) && count == 0;
    }
    MutableContainerT<INorvConfig> config;
    Result r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config);
    if (!r)
        return CFixStatus(r);
    ContainerT<const INorvElectricalNet> parent;
    if (withoutPins)
    {
        if (phys->GetParentElectricalNet(parent))
        {
            LockerT<INorvConfig>::UnLock(config);
            return CFixStatus(true);
        }
        MutableContainerT<INorvElectricalNet> created;
        CFIXNET_TRY(config->AddElectricalNet(created, phys));
    }
    // For a net with connected pins the update is what brings the parent into being.
    ListT<Index> physNets;
    physNets.Add(slot);
    CFIXNET_TRY(config->UpdateIncremental(physNets, ListT<Index>()));
    LockerT<INorvConfig>::UnLock(config);
    CFIXNET_TRY(phys->GetParentElectricalNet(parent));
    return CFixStatus(true);
}

CFixStatus CFixNet::RenameNonUniquePhysNet()
{
    const Index slot1 = FixContext::s_fixIndex1;
    const Index slot2 = FixContext::s_fixIndex2;
    if (slot1.IsEmpty() || slot2.IsEmpty())
        return CFixStatus(false, true, kCannotFindPhysNet);
    const String name1(FixContext::s_fixName1);
    const String name2(FixContext::s_fixName2);
    if (name1 != name2)
    {
        // Names that differ only in letter case stay a finding of the case-blind test, so they
        // are not reported repaired.
        return CFixStatus(!LooseMatch(name1, name2.c_str()));
    }
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> phys1;
    ContainerT<const INorvPhysicalNet> phys2;
    ContainerT<const IFlatNet> flat1;
    ContainerT<const IFlatNet> flat2;
    String flatName1;
    String flatName2;
    Index flatIndex1;
    Index flatIndex2;
    Result r;
    if (!(r = Uids()->GetNorvPhysicalNet(phys1, slot1)) ||
        !(r = Uids()->GetNorvPhysicalNet(phys2, slot2)) || !(r = phys1->GetFlatNet(flat1)) ||
        !(r = phys2->GetFlatNet(flat2)) || !(r = flat1->GetName(flatName1)) || !(r = flat2->GetName(flatName2)) ||
        !(r = flat1->GetIndex(flatIndex1)) || !(r = flat2->GetIndex(flatIndex2)))
        return CFixStatus(r);
    if (flatIndex1 == flatIndex2 || flatName1 == flatName2)
        return CFixStatus(false);
    if (flatName1 != name1 && !(r = RenamePhysNet(phys1, flatName1)))
        return CFixStatus(r);
    if (flatName2 != name2 && !(r = RenamePhysNet(phys2, flatName2)))
        return CFixStatus(r);
    CFixMgr::m_bReloadFlag = true;
    // Flat-net names that differ only in case leave the two nets a finding of the case-blind test.
    return CFixStatus(!LooseMatch(flatName1, flatName2.c_str()));
}

CFixStatus CFixNet::RebuildNetsFromFlatNet()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot find flat net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const IFlatNet> flat;
    IteratorT<const IPin> pin;
    String name;
    Result r;
    if (!(r = Uids()->GetFlatNet(flat, slot)) || !(r = flat->GetIterPinsConnected(pin)) ||
        !(r = flat->GetName(name)))
        return CFixStatus(r);
    MutableContainerT<IFlatNet> lockedFlat;
    MutableContainerT<INorvConfig> config;
    if (!(r = LockerT<IFlatNet>::Lock(flat, lockedFlat)) ||
        !(r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config)))
        return CFixStatus(r);
    MutableContainerT<INorvPhysicalNet> newPhys;
    MutableContainerT<INorvElectricalNet> newElec;
    CFIXNET_TRY(config->AddPhysicalNet(newPhys, name, *lockedFlat));
    CFIXNET_TRY(config->AddElectricalNet(newElec, newPhys));
    Result pinWalk;
    for (; walkOn(pin, pinWalk); ++pin)
    {
        CFIXNET_TRY(ConnectForwardedPin(pin, newPhys));
    }
    CFIXNET_TRY(pinWalk);
    RepairSupport::UnLockChanged(lockedFlat);
    RepairSupport::UnLockChanged(newPhys);
    RepairSupport::UnLockChanged(newElec);
    RepairSupport::UnLockChanged(config);
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true);
}

CFixStatus CFixNet::RenamePhysNetToFlatNetName()
{
    const Index slot1 = FixContext::s_fixIndex1;
    const Index slot2 = FixContext::s_fixIndex2;
    if (slot1.IsEmpty())
        return CFixStatus(false, true, kCannotFindPhysNet);
    if (slot2.IsEmpty())
        return CFixStatus(false, true, "Cannot find flat net.");
    const std::string& target = FixContext::s_fixName2;
    if (target == FixContext::s_fixName1)
        return CFixStatus(true);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const IFlatNet> flat;
    Result r = Uids()->GetFlatNet(flat, slot2);
    if (!r)
        return CFixStatus(r);
    const SearchParams exactOrNot(SP_0);
    ListT<NorvObjectInfo> found;
    CFIXNET_TRY(FixContext::s_fixNorvConfig->FindPhysicalNet(found, target, exactOrNot));
    if (found.GetIterator().IsValid())
    {
        // Another net holds the name: it moves to the first free name "<target>_<n>".
        ContainerT<const INorvPhysicalNet> holder;
        CFIXNET_TRY(Uids()->GetNorvPhysicalNet(holder, found.GetIterator()->index));
        std::string candidate;
        int counter = 0;
        do
        {
            candidate = NumberedName(target, counter++);
            found.RemoveAll();
            CFIXNET_TRY(FixContext::s_fixNorvConfig->FindPhysicalNet(found, candidate, exactOrNot));
        } while (!found.IsEmpty());
        CFIXNET_TRY(RenamePhysNet(holder, candidate));
    }
    ContainerT<const INorvPhysicalNet> phys;
    if (!(r = Uids()->GetNorvPhysicalNet(phys, slot1)) || !(r = RenamePhysNet(phys, target)))
        return CFixStatus(r);
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true);
}

CFixStatus CFixNet::DeletePhysNetWithoutFlatNet()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, kCannotFindPhysNet);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> phys;
    Result r = Uids()->GetNorvPhysicalNet(phys, slot);
    if (!r)
        return CFixStatus(r);
    ContainerT<const IFlatNet> flat;
    if (phys->GetFlatNet(flat) && flat->IsValid())
    {
        CFixMgr::m_bReloadFlag = true;
        return CFixStatus(true);
    }
    std::vector<ContainerT<const INorvPin>> orphans;
    IteratorT<const INorvPin> pin;
    CFIXNET_TRY(phys->GetIterPins(pin, NPT_NetPin));
    Result pinWalk;
    for (; walkOn(pin, pinWalk); ++pin)
    {
        // A pin goes only when its design pins are read and there are none.
        IteratorT<const IPin> designPin;
        Result designPinWalk = pin->GetIterFlatPins(designPin);
        if (walkOn(designPin, designPinWalk))
            return CFixStatus(false);
        CFIXNET_TRY(designPinWalk);
        orphans.push_back(pin);
    }
    CFIXNET_TRY(pinWalk);
    if (!orphans.empty())
    {
        MutableContainerT<INorvPhysicalNet> lockedNet;
        CFIXNET_TRY(LockerT<INorvPhysicalNet>::Lock(phys, lockedNet));
        for (const ContainerT<const INorvPin>& orphan : orphans)
        {
            MutableContainerT<INorvPin> lockedPin;
            if (!(r = LockerT<INorvPin>::Lock(orphan, lockedPin)) || !(r = lockedNet->DisconnectPin(*lockedPin)))
                return CFixStatus(r);
        }
        LockerT<INorvPhysicalNet>::UnLock(lockedNet);
    }
    ContainerT<const INorvElectricalNet> parent;
    Index parentIndex;
    bool parentHoldsOthers = false;
    if (!(r = phys->GetParentElectricalNet(parent)) || !(r = parent->GetIndex(parentIndex)) ||
        !(r = HasOtherPhysNet(parent, slot, parentHoldsOthers)))
        return CFixStatus(r);
    // The parent goes with the net only when it holds no other live physical net, which would
    // otherwise lose it with its constraints, pin pairs and pair.
    MutableContainerT<INorvConfig> config;
    if (!(r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config)) ||
        (!parentHoldsOthers && !(r = config->DeleteElectricalNet(parentIndex))) ||
        !(r = config->DeletePhysicalNet(slot)) || !(r = RepairSupport::UnLockChanged(config)))
        return CFixStatus(r);
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true);
}
