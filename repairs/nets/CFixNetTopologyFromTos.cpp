// Topology repairs of a net whose MST or Chained topology holds from-tos, and of power nets whose
// topology is not MST.
#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include "framework/FixContext.h"

#include <vector>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// Scans the from-tos: keep stays true unless a from-to's own ORDER_TYPE value has the integer
// field 0.
Result ScanFromTos(const ContainerT<const INorvPhysicalNet>& net, const String& orderType, bool& keep)
{
    keep = true;
    IteratorT<const INorvFromTo> fromTo;
    Result walk = net->GetIterFromTos(fromTo);
    for (; keep && walkOn(fromTo, walk); ++fromTo)
    {
        ContainerT<const INorvConstraint> constraint;
        ConstraintData value;
        Result r;
        if (!(r = fromTo->GetConstraint(constraint, orderType)) || !(r = constraint->GetValue(value)))
            return r;
        keep = value.intValue != 0;
    }
    return walk;
}

// Deletes the special pins and then the from-tos of one physical net of a power net. False when
// pins were to go and none could be deleted, or the from-tos could not be deleted.
Result StripPowerNet(const ContainerT<const INorvPhysicalNet>& net, bool& stripped)
{
    stripped = false;
    std::vector<Index> pins;
    IteratorT<const INorvPin> pin;
    Result r = net->GetIterPins(pin, PinSetAndVirtualPinSetPinKinds() | NPT_VirtualPin);
    for (; walkOn(pin, r); ++pin)
    {
        Index index;
        if (Result read = pin->GetIndex(index); !read)
            return read;
        pins.push_back(index);
    }
    MutableContainerT<INorvPhysicalNet> locked;
    if (!r || !(r = LockerT<INorvPhysicalNet>::Lock(net, locked)))
        return r;
    size_t deleted = 0;
    for (const Index& index : pins)
    {
        if (locked->DeletePin(index))
            ++deleted;
    }
    if (deleted > 0 || pins.empty())
        stripped = static_cast<bool>(locked->DeleteAllFromTos());
    LockerT<INorvPhysicalNet>::UnLock(locked);
    return r;
}

} // namespace

CFixStatus CFixNet::FixChainedTopologyWithFromTos()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot load physical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    if (!Uids()->GetNorvPhysicalNet(net, slot))
        return CFixStatus(true);

    // Every read is made before anything is decided.
    const String& orderType = OrderTypeName();
    ContainerT<const INorvElectricalNet> parent;
    bool keepFromTos = true;
    Result r;
    if (!(r = net->GetParentElectricalNet(parent)) || !(r = ScanFromTos(net, orderType, keepFromTos)))
        return CFixStatus(r);
    ContainerT<const INorvDiffPair> pair;
    parent->GetParentDiffPair(pair);
    IteratorT<const INorvPin> pin;
    int pinSetPins = 0;
    IteratorT<const INorvPhysicalNet> sibling;
    if (!(r = net->GetIterPins(pin, PinSetAndVirtualPinSetPinKinds())) || !(r = pin.GetCount(pinSetPins)) ||
        !(r = parent->GetIterPhysicalNets(sibling)))
        return CFixStatus(r);

    if (pair.IsValid())
        return CFixStatus(false);
    if (!keepFromTos)
    {
        MutableContainerT<INorvPhysicalNet> locked;
        if (!(r = LockerT<INorvPhysicalNet>::Lock(net, locked)) || !(r = locked->DeleteAllFromTos()) ||
            !(r = RepairSupport::UnLockChanged(locked)))
            return CFixStatus(r);
        return CFixStatus(true);
    }
    Result siblingWalk;
    if (!walkOn(sibling, siblingWalk))
        return siblingWalk ? CFixStatus(false) : CFixStatus(siblingWalk);
    int siblings = 0;
    CFIXNET_TRY(sibling.GetCount(siblings));
    if (siblings != 1)
        return CFixStatus(false);
    const ConstraintData topology = TextValue(pinSetPins == 0 ? "Custom" : "Complex");
    CFixStatus status = SetElecNetConstraint(parent, orderType, topology);
    if (!status)
        return status;
    if (!(status = SetPhysNetConstraint(net, orderType, topology)))
        return status;
    return CFixStatus(true);
}

CFixStatus CFixNet::FixPowerNetTopology()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot find physical/electrical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    std::vector<Index> work;
    Result r;
    if (slot.GetType() == OT_NorvPhysicalNet)
        work.push_back(slot);
    else if (slot.GetType() == OT_NorvElectricalNet)
    {
        ContainerT<const INorvElectricalNet> elec;
        IteratorT<const INorvPhysicalNet> phys;
        if (!(r = Uids()->GetNorvElectricalNet(elec, slot)) || !(r = elec->GetIterPhysicalNets(phys)))
            return CFixStatus(r);
        Result physWalk;
        for (; walkOn(phys, physWalk); ++phys)
        {
            Index index;
            CFIXNET_TRY(phys->GetIndex(index));
            work.push_back(index);
        }
        CFIXNET_TRY(physWalk);
    }
    else
        return CFixStatus(false);

    const String& orderType = OrderTypeName();
    // Unlike the other topology writes, the value kind stays the record's default.
    ConstraintData mst;
    mst.textValue = "MST";
    for (const Index& index : work)
    {
        ContainerT<const INorvPhysicalNet> net;
        bool stripped = false;
        if (!(r = Uids()->GetNorvPhysicalNet(net, index)) || !(r = StripPowerNet(net, stripped)))
            return CFixStatus(r);
        if (!stripped)
            return CFixStatus();
        ContainerT<const INorvElectricalNet> parent;
        CFIXNET_TRY(net->GetParentElectricalNet(parent));
        if (const CFixStatus reset = ResetTopoOrderedOfElecNet(parent); !reset)
            return reset;
        bool pinPairsDeleted = false;
        {
            MutableContainerT<INorvElectricalNet> locked;
            CFIXNET_TRY(LockerT<INorvElectricalNet>::Lock(parent, locked));
            pinPairsDeleted = static_cast<bool>(locked->DeleteAllPinPair());
            LockerT<INorvElectricalNet>::UnLock(locked);
        }
        if (!pinPairsDeleted || !SetElecNetConstraint(parent, orderType, mst) ||
            !SetPhysNetConstraint(net, orderType, mst))
            return CFixStatus(false);
    }
    return CFixStatus(true);
}
