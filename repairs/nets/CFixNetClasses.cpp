// A physical net that two electrical nets claim, and the default classes of nets whose class
// cannot be found.
#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include "framework/FixContext.h"

#include <sstream>
#include <utility>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// The exact search of the design's default classes: options 0 and 5, combined with 4.
SearchParams DefaultClassSearch()
{
    SearchParams params(SP_0);
    params |= SP_5;
    return params | SP_MatchCase;
}

// Takes the physical net out of the giving net when the keeping net is gone, gives it back to its
// own parent and removes the giving net if that left it empty.
CFixStatus RecoverWithOwnParent(const ContainerT<const INorvPhysicalNet>& phys, const Index& physIndex,
                                const Index& giving)
{
    ContainerT<const INorvElectricalNet> own;
    Index ownIndex;
    Result r;
    if (!(r = phys->GetParentElectricalNet(own)) || !(r = own->GetIndex(ownIndex)))
        return CFixStatus(r);
    if (ownIndex == giving)
        return CFixStatus(true);
    ContainerT<const INorvElectricalNet> givingNet;
    if (!Uids()->GetNorvElectricalNet(givingNet, giving))
        return CFixStatus(true);
    {
        MutableContainerT<INorvElectricalNet> locked;
        CFIXNET_TRY(LockerT<INorvElectricalNet>::Lock(givingNet, locked));
        locked->RemovePhysicalNet(physIndex);
        RepairSupport::UnLockChanged(locked);
    }
    CFixNet::RemoveElectricalNet(giving);
    MutableContainerT<INorvElectricalNet> locked;
    CFIXNET_TRY(LockerT<INorvElectricalNet>::Lock(own, locked));
    locked->RemovePhysicalNet(physIndex);
    locked->AddPhysicalNet(*phys);
    RepairSupport::UnLockChanged(locked);
    return CFixStatus(true);
}

} // namespace

CFixStatus CFixNet::FixPhysNetInManyElecNets()
{
    const Index physIndex = FixContext::s_fixIndex1;
    Index keeping = FixContext::s_fixIndex2;
    Index giving = FixContext::s_fixIndex3;
    if (Uids() == nullptr)
        return NoDatabase();

    String keepingPairName;
    String givingPairName;
    const Index keepingPair = GetParentDiffPairOfElecNet(keeping, keepingPairName);
    const Index givingPair = GetParentDiffPairOfElecNet(giving, givingPairName);
    std::ostringstream removed;
    Result r;
    if (!keepingPair.IsEmpty() && !givingPair.IsEmpty())
    {
        MutableContainerT<INorvConfig> config;
        if (!(r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config)) ||
            !(r = DeleteDiffPairLocked(config, keepingPair)))
            return CFixStatus(r);
        removed << "Diffpair " << keepingPairName.str() << " was removed. ";
        if (givingPair != keepingPair)
        {
            removed << "Diffpair " << givingPairName.str() << " was removed. ";
            CFIXNET_TRY(DeleteDiffPairLocked(config, givingPair));
        }
        LockerT<INorvConfig>::UnLock(config);
    }
    // The net that alone belongs to a differential pair keeps the physical net; otherwise the
    // first net of the finding does.
    if (!givingPair.IsEmpty() && keepingPair.IsEmpty())
        std::swap(keeping, giving);

    ContainerT<const INorvPhysicalNet> phys;
    CFIXNET_TRY(Uids()->GetNorvPhysicalNet(phys, physIndex));
    ContainerT<const INorvElectricalNet> keepingNet;
    if (!Uids()->GetNorvElectricalNet(keepingNet, keeping))
        return RecoverWithOwnParent(phys, physIndex, giving);
    ContainerT<const INorvElectricalNet> givingNet;
    if (!Uids()->GetNorvElectricalNet(givingNet, giving))
        return CFixStatus(true);

    {
        MutableContainerT<INorvElectricalNet> lockedKeeping;
        MutableContainerT<INorvElectricalNet> lockedGiving;
        if (!(r = LockerT<INorvElectricalNet>::Lock(keepingNet, lockedKeeping)) ||
            !(r = LockerT<INorvElectricalNet>::Lock(givingNet, lockedGiving)))
            return CFixStatus(r);
        lockedKeeping->RemovePhysicalNet(physIndex);
        lockedGiving->RemovePhysicalNet(physIndex);
        lockedKeeping->AddPhysicalNet(*phys);
        RepairSupport::UnLockChanged(lockedKeeping);
        RepairSupport::UnLockChanged(lockedGiving);
    }
    RemoveElectricalNet(giving);
    ListT<Index> physNets;
    ListT<Index> elecNets;
    physNets.Add(physIndex);
    elecNets.Add(keeping);
    CFIXNET_TRY(UpdateNetsIncrementally(physNets, elecNets));
    const std::string message = removed.str();
    if (message.empty())
        return CFixStatus(true);
    return CFixStatus(true, false, message);
}

CFixStatus CFixNet::SetDefaultNetClassOfPhysNet()
{
    const Index slot = FixContext::s_fixIndex2;
    if (!IsIndexOf(slot, OT_NorvPhysicalNet))
        return CFixStatus(false, true, "Cannot find physical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> phys;
    if (!Uids()->GetNorvPhysicalNet(phys, slot))
        return CFixStatus();
    ListT<NorvObjectInfo> found;
    Result r = FixContext::s_fixNorvDesign->FindNetClass(found, "(Default)", DefaultClassSearch());
    if (!r)
        return CFixStatus(r);
    if (found.IsEmpty())
        return CFixStatus(false);
    ContainerT<const INorvNetClass> netClass;
    CFIXNET_TRY(Uids()->GetNorvNetClass(netClass, found.GetIterator()->index));
    MutableContainerT<INorvPhysicalNet> lockedNet;
    MutableContainerT<INorvNetClass> lockedClass;
    if (!(r = LockerT<INorvPhysicalNet>::Lock(phys, lockedNet)) ||
        !(r = LockerT<INorvNetClass>::Lock(netClass, lockedClass)) || !(r = lockedNet->SetNetClass(*lockedClass)) ||
        !(r = RepairSupport::UnLockChanged(lockedNet)) || !(r = RepairSupport::UnLockChanged(lockedClass)))
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixNet::SetAllConstraintClassOfElecNet()
{
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> net;
    Result r = Uids()->GetNorvElectricalNet(net, FixContext::s_fixIndex1);
    if (!r)
        return CFixStatus(r);
    ListT<NorvObjectInfo> found;
    CFIXNET_TRY(FixContext::s_fixNorvDesign->FindConstraintClass(found, "(All)", DefaultClassSearch()));
    if (found.IsEmpty())
        return CFixStatus(false);
    ContainerT<const INorvConstraintClass> constraintClass;
    CFIXNET_TRY(Uids()->GetNorvConstraintClass(constraintClass, found.GetIterator()->index));
    MutableContainerT<INorvElectricalNet> lockedNet;
    MutableContainerT<INorvConstraintClass> lockedClass;
    if (!(r = LockerT<INorvElectricalNet>::Lock(net, lockedNet)) ||
        !(r = LockerT<INorvConstraintClass>::Lock(constraintClass, lockedClass)) ||
        !(r = lockedNet->SetConstraintClass(*lockedClass)) ||
            !(r = RepairSupport::UnLockChanged(lockedNet)) ||
            !(r = RepairSupport::UnLockChanged(lockedClass)))
        return CFixStatus(r);
    return CFixStatus(true);
}
