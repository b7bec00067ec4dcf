#include "repairs/nets/CFixNet.h"

#include "framework/CFixMgr.h"
#include "repairs/nets/CFixNetInternal.h"

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// One row of the delete-from-owner repairs: how to fetch the object, find its owner and delete it.
template <class Object, class Owner>
struct DeleteFromOwner
{
    Result (IUIDManager::*fetch)(ContainerT<const Object>&, const Index&) const;
    Result (Object::*owner)(ContainerT<const Owner>&) const;
    Result (Owner::*erase)(const Index&);
    const char* emptySlotMessage;
};

// Deletes the object of the slot from the net that owns it; an object already gone counts as
// repaired.
template <class Object, class Owner>
CFixStatus DeleteFromItsOwner(const Index& index, const DeleteFromOwner<Object, Owner>& row)
{
    if (index.IsEmpty())
        return CFixStatus(false, true, row.emptySlotMessage);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const Object> object;
    if (!(Uids()->*row.fetch)(object, index))
        return CFixStatus(true);
    ContainerT<const Owner> owner;
    CFIXNET_TRY(((*object).*row.owner)(owner));
    MutableContainerT<Owner> locked;
    CFIXNET_TRY(LockerT<Owner>::Lock(owner, locked));
    CFIXNET_TRY(((*locked).*row.erase)(index));
    RepairSupport::UnLockChanged(locked);
    return CFixStatus(true);
}

const DeleteFromOwner<INorvFromTo, INorvPhysicalNet> kFromTo = {
    &IUIDManager::GetNorvFromTo, &INorvFromTo::GetParentPhysicalNet, &INorvPhysicalNet::DeleteFromTo,
    "Cannot load fromto."};
const DeleteFromOwner<INorvPinPair, INorvElectricalNet> kPinPair = {
    &IUIDManager::GetNorvPinPair, &INorvPinPair::GetParentElectricalNet, &INorvElectricalNet::DeletePinPair,
    "Cannot load pinpair."};

// Reads the "FROMTO_USERDEFINED" value of a from-to: 1 marks one the user defined.
Result ReadUserDefined(const INorvFromTo& fromTo, int32_t& value)
{
    ContainerT<const INorvConstraint> constraint;
    Result result = fromTo.GetConstraint(constraint, "FROMTO_USERDEFINED");
    ConstraintData data;
    if (result)
        result = constraint->GetValue(data);
    if (result)
        value = data.intValue;
    return result;
}

// Locks the physical net that owns the from-to.
Result LockOwnerNet(const INorvFromTo& fromTo, MutableContainerT<INorvPhysicalNet>& locked)
{
    ContainerT<const INorvPhysicalNet> net;
    const Result owner = fromTo.GetParentPhysicalNet(net);
    return owner ? LockerT<INorvPhysicalNet>::Lock(net, locked) : owner;
}

Result DeleteFromToAndUnlock(MutableContainerT<INorvPhysicalNet>& locked, const Index& fromTo)
{
    const Result deleted = locked->DeleteFromTo(fromTo);
    return deleted ? RepairSupport::UnLockChanged(locked) : deleted;
}

// A pin may be disconnected only when it is a net pin no design pin refers to.
bool HasNoFlatPins(const INorvPin& pin)
{
    IteratorT<const IPin> flatPins;
    return !pin.GetIterFlatPins(flatPins) || !flatPins.IsValid();
}

// Disconnects the pin from the physical net, the net locked first; the pin's lock is dropped
// before the net is unlocked.
CFixStatus Disconnect(const ContainerT<const INorvPhysicalNet>& net, const ContainerT<const INorvPin>& pin)
{
    MutableContainerT<INorvPhysicalNet> lockedNet;
    CFIXNET_TRY(LockerT<INorvPhysicalNet>::Lock(net, lockedNet));
    MutableContainerT<INorvPin> lockedPin;
    CFIXNET_TRY(LockerT<INorvPin>::Lock(pin, lockedPin));
    CFIXNET_TRY(lockedNet->DisconnectPin(*lockedPin));
    lockedPin.Release();
    RepairSupport::UnLockChanged(lockedNet);
    return CFixStatus(true);
}

} // namespace

CFixStatus CFixNet::DeleteInvalidFromTo()
{
    return DeleteFromItsOwner(FixContext::s_fixIndex1, kFromTo);
}

CFixStatus CFixNet::DeleteDuplicatedPinPair()
{
    return DeleteFromItsOwner(FixContext::s_fixIndex2, kPinPair);
}

CFixStatus CFixNet::DeleteInvalidPinPair()
{
    return DeleteFromItsOwner(FixContext::s_fixIndex1, kPinPair);
}

CFixStatus CFixNet::DeleteDuplicatedFromTo()
{
    const Index& indexA = FixContext::s_fixIndex2;
    const Index& indexB = FixContext::s_fixIndex3;
    if (indexA.IsEmpty() || indexB.IsEmpty())
        return CFixStatus(false, true, "Cannot load fromto.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvFromTo> a, b;
    if (!Uids()->GetNorvFromTo(a, indexA) || !Uids()->GetNorvFromTo(b, indexB))
        return CFixStatus(true);
    MutableContainerT<INorvPhysicalNet> locked;
    CFIXNET_TRY(LockOwnerNet(*a, locked));
    // The user-defined one goes: b only when b alone is marked, a in every other case.
    int32_t markA = 0;
    CFIXNET_TRY(ReadUserDefined(*a, markA));
    const Index* doomed = &indexA;
    if (markA != 1)
    {
        int32_t markB = 0;
        CFIXNET_TRY(ReadUserDefined(*b, markB));
        if (markB == 1)
            doomed = &indexB;
    }
    CFIXNET_TRY(DeleteFromToAndUnlock(locked, *doomed));
    return CFixStatus(true);
}

CFixStatus CFixNet::DeleteSamePinFromTo()
{
    const Index& index = FixContext::s_fixIndex2;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot load fromto.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvFromTo> fromTo;
    if (!Uids()->GetNorvFromTo(fromTo, index))
        return CFixStatus(true);
    MutableContainerT<INorvPhysicalNet> locked;
    CFIXNET_TRY(LockOwnerNet(*fromTo, locked));
    // Read only to be sure the from-to is whole; its value does not change what follows.
    int32_t mark = 0;
    CFIXNET_TRY(ReadUserDefined(*fromTo, mark));
    CFIXNET_TRY(DeleteFromToAndUnlock(locked, index));
    return CFixStatus(true);
}

CFixStatus CFixNet::DisconnectPinNotInComponents()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, "Cannot load component pin.");
    if (FixContext::s_fixIndex2.IsEmpty())
        return CFixStatus(false, true, "Cannot load physical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPin> pin;
    ContainerT<const INorvPhysicalNet> net;
    if (!Uids()->GetNorvPin(pin, FixContext::s_fixIndex1) ||
        !Uids()->GetNorvPhysicalNet(net, FixContext::s_fixIndex2))
        return CFixStatus(true);
    ENorvPinType kind = NPT_NetPin;
    if (pin->GetNorvType(kind) && kind != NPT_NetPin)
        return CFixStatus(false);
    if (!HasNoFlatPins(*pin))
        return CFixStatus(false);
    return Disconnect(net, pin);
}

CFixStatus CFixNet::DisconnectPinWithoutParentComp()
{
    if (FixContext::s_fixIndex2.IsEmpty())
        return CFixStatus(false, true, "Cannot load component pin.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPin> pin;
    CFIXNET_TRY(Uids()->GetNorvPin(pin, FixContext::s_fixIndex2));
    ENorvPinType kind = NPT_NetPin;
    CFIXNET_TRY(pin->GetNorvType(kind));
    if (kind != NPT_NetPin || !HasNoFlatPins(*pin))
        return CFixStatus(false);
    ContainerT<const INorvPhysicalNet> net;
    CFIXNET_TRY(pin->GetParentPhysicalNet(net));
    const CFixStatus disconnected = Disconnect(net, pin);
    if (!disconnected)
        return disconnected;
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true);
}

CFixStatus CFixNet::DeletePinPairWithPinUsedTwice()
{
    const Index& netIndex = FixContext::s_fixIndex1;
    const Index& pairIndex = FixContext::s_fixIndex2;
    if (netIndex.IsEmpty() || netIndex.GetType() != OT_NorvElectricalNet)
        return CFixStatus(false, true, "Cannot find electrical net.");
    if (pairIndex.IsEmpty() || pairIndex.GetType() != OT_NorvPinPair)
        return CFixStatus(false, true, "Cannot find pin pair.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> net;
    if (!Uids()->GetNorvElectricalNet(net, netIndex))
        return CFixStatus();
    MutableContainerT<INorvElectricalNet> locked;
    CFIXNET_TRY(LockerT<INorvElectricalNet>::Lock(net, locked));
    CFIXNET_TRY(locked->DeletePinPair(pairIndex));
    RepairSupport::UnLockChanged(locked);
    return CFixStatus(true, false, "Pin pair was removed");
}
