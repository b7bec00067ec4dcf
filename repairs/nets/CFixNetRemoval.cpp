// Removal repairs of differential pairs and electrical nets, the common net class of a pair's
// nets and the ANALOG electrical net with several physical nets.
#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include "framework/FixContext.h"

#include <string>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

const std::string s_defaultNetClassName = "(Default)";

const char* const kCannotFindElecNet = "Cannot find electrical net.";
const char* const kCannotFindDiffPair = "Cannot find differential pair.";
const char* const kIllegalPairRemoved = "Illegal Differential Pair definition removed!";

// "Differential pair was removed!", naming the pair when its name is known.
std::string PairRemovedText(const String& name)
{
    if (name.IsEmpty())
        return "Differential pair was removed!";
    return "Differential pair " + name.str() + " was removed!";
}

// An electrical net is preserved when its own PRESERVED constraint reads as the integer 1.
bool IsPreserved(const ContainerT<const INorvElectricalNet>& net, ContainerT<const INorvConstraint>& constraint)
{
    ConstraintData value;
    return net->GetConstraint(constraint, "PRESERVED") && constraint->GetValue(value) && value.intValue == 1;
}

// The net class a net of a differential pair offers: the first class of its physical nets that is
// not the default one, or the class of its last physical net. count is the iterator's count.
CFixStatus CandidateClass(const ContainerT<const INorvElectricalNet>& net, ContainerT<const INorvNetClass>& candidate,
                          int& count)
{
    count = 0;
    IteratorT<const INorvPhysicalNet> phys;
    Result physWalk = net->GetIterPhysicalNets(phys);
    if (!walkOn(phys, physWalk))
        return physWalk ? CFixStatus(true) : CFixStatus(physWalk);
    CFIXNET_TRY(phys.GetCount(count));
    for (; walkOn(phys, physWalk); ++phys)
    {
        CFIXNET_TRY(phys->GetNetClass(candidate));
        String name;
        CFIXNET_TRY(candidate->GetHierarchicalName(name, '/'));
        if (name != s_defaultNetClassName)
            break;
    }
    CFIXNET_TRY(physWalk);
    return CFixStatus(true);
}

// Gives every physical net of net whose class is not named chosenName the class chosen.
CFixStatus SetClassOfPhysNets(const ContainerT<const INorvElectricalNet>& net,
                              const ContainerT<const INorvNetClass>& chosen, const String& chosenName)
{
    IteratorT<const INorvPhysicalNet> phys;
    Result physWalk = net->GetIterPhysicalNets(phys);
    for (; walkOn(phys, physWalk); ++phys)
    {
        Result r;
        ContainerT<const INorvNetClass> current;
        String name;
        if (!(r = phys->GetNetClass(current)) || !(r = current->GetHierarchicalName(name, '/')))
            return CFixStatus(r);
        if (name == chosenName)
            continue;
        MutableContainerT<INorvPhysicalNet> lockedNet;
        MutableContainerT<INorvNetClass> lockedClass;
        if (!(r = LockerT<INorvPhysicalNet>::Lock(phys, lockedNet)) ||
            !(r = LockerT<INorvNetClass>::Lock(chosen, lockedClass)) || !(r = lockedNet->SetNetClass(*lockedClass)))
            return CFixStatus(r);
    }
    CFIXNET_TRY(physWalk);
    return CFixStatus(true);
}

// Locks the configuration and deletes the differential pair in it; the unlock is not examined.
Result DeleteDiffPairInConfig(const Index& pair)
{
    MutableContainerT<INorvConfig> config;
    Result r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config);
    if (r && (r = DeleteDiffPairLocked(config, pair)))
        LockerT<INorvConfig>::UnLock(config);
    return r;
}

// Locks the configuration and deletes the electrical net; with a list of physical nets, the
// deletion is followed by the incremental update of those and the net. The unlock is not examined.
Result DeleteElecNetInConfig(const Index& net, const ListT<Index>* physNetsToUpdate)
{
    MutableContainerT<INorvConfig> config;
    Result r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config);
    if (!r)
        return r;
    ListT<Index> deleted;
    deleted.Add(net);
    if (!(r = config->DeleteElectricalNet(net)))
        return r;
    if (physNetsToUpdate != nullptr && !(r = config->UpdateIncremental(*physNetsToUpdate, deleted)))
        return r;
    LockerT<INorvConfig>::UnLock(config);
    return r;
}

} // namespace

Result CFixNetInternal::DeleteDiffPairLocked(MutableContainerT<INorvConfig>& config, const Index& pair)
{
    Result r = config->DeleteDiffPair(pair);
    if (r)
        r = config->Synchronize(true);
    return r;
}

Result CFixNetInternal::UpdateNetsIncrementally(const ListT<Index>& physNets, const ListT<Index>& elecNets)
{
    MutableContainerT<INorvConfig> config;
    Result r = LockerT<INorvConfig>::Lock(FixContext::s_fixNorvConfig, config);
    if (r && (r = config->UpdateIncremental(physNets, elecNets)))
        LockerT<INorvConfig>::UnLock(config);
    return r;
}

CFixStatus CFixNet::RemoveDiffPairWithEqualNets()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot load differential pair.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvDiffPair(pair, slot))
        return CFixStatus(true);
    Index own;
    Result r = pair->GetIndex(own);
    if (!r)
        return CFixStatus(r);
    String name;
    pair->GetName(name);
    CFIXNET_TRY(DeleteDiffPairInConfig(own));
    return CFixStatus(true, false, PairRemovedText(name));
}

CFixStatus CFixNet::RemoveBrokenDiffPair()
{
    const Index slot = FixContext::s_fixIndex2;
    if (!IsIndexOf(slot, OT_NorvDiffPair))
        return CFixStatus(false, true, kCannotFindDiffPair);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvDiffPair(pair, slot))
        return CFixStatus(true);
    CFIXNET_TRY(DeleteDiffPairInConfig(slot));
    return CFixStatus(true, false, "Broken differential pair was removed!");
}

CFixStatus CFixNet::RemoveIllegalDiffPair()
{
    const Index slot = FixContext::s_fixIndex1;
    if (!IsIndexOf(slot, OT_NorvDiffPair))
        return CFixStatus(false, true, kCannotFindDiffPair);
    // Without a UID manager no database of the run is open: the pair is not deleted either.
    if (Uids() == nullptr)
        return NoDatabase();
    CFIXNET_TRY(DeleteDiffPairInConfig(slot));
    return CFixStatus(true, false, kIllegalPairRemoved);
}

CFixStatus CFixNet::FixElecNetInManyDiffPairs()
{
    const Index net = FixContext::s_fixIndex1;
    const Index slot = FixContext::s_fixIndex2;
    if (!IsIndexOf(net, OT_NorvElectricalNet))
        return CFixStatus(false, true, kCannotFindElecNet);
    if (!IsIndexOf(slot, OT_NorvDiffPair))
        return CFixStatus(false, true, kCannotFindDiffPair);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvDiffPair(pair, slot))
        return CFixStatus(true);
    CFIXNET_TRY(DeleteDiffPairInConfig(slot));
    DeleteElectricalNetWithPhysNets(net);
    return CFixStatus(true, false, kIllegalPairRemoved);
}

CFixStatus CFixNet::RemoveElectricalNet(const Index& net)
{
    if (!IsIndexOf(net, OT_NorvElectricalNet))
        return CFixStatus(false, true, kCannotFindElecNet);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> elec;
    Result r = Uids()->GetNorvElectricalNet(elec, net);
    if (!r)
        return CFixStatus(r);
    ContainerT<const INorvDiffPair> pair;
    if (elec->GetParentDiffPair(pair))
        return CFixStatus(false);
    IteratorT<const INorvPhysicalNet> phys;
    if (elec->GetIterPhysicalNets(phys))
    {
        int count = 0;
        if (phys.GetCount(count) && count > 0)
            return CFixStatus(false);
    }
    CFIXNET_TRY(DeleteElecNetInConfig(net, nullptr));
    return CFixStatus(true, false, "Electrical net was removed");
}

CFixStatus CFixNet::RemoveDuplicatedElectricalNet(const Index& net)
{
    if (!IsIndexOf(net, OT_NorvElectricalNet))
        return CFixStatus(false, true, kCannotFindElecNet);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> elec;
    if (!Uids()->GetNorvElectricalNet(elec, net))
        return CFixStatus(true);
    ContainerT<const INorvDiffPair> pair;
    if (elec->GetParentDiffPair(pair))
        return CFixStatus(false);

    ListT<Index> detached;
    bool detaching = false;
    IteratorT<const INorvPhysicalNet> phys;
    bool deleteNow = !elec->GetIterPhysicalNets(phys);
    if (!deleteNow)
    {
        int count = 0;
        if (!phys.GetCount(count))
            detaching = true;
        deleteNow = count == 0;
    }
    if (!deleteNow)
    {
        Result physWalk;
        for (; walkOn(phys, physWalk); ++phys)
        {
            Result r;
            if (!detaching)
            {
                ContainerT<const INorvElectricalNet> parent;
                if (phys->GetParentElectricalNet(parent))
                {
                    Index parentIndex;
                    CFIXNET_TRY(parent->GetIndex(parentIndex));
                    if (parentIndex == net)
                        continue;
                }
            }
            // Another net claims this physical net (or an earlier one was detached): take it out.
            detaching = true;
            Index physIndex;
            CFIXNET_TRY(phys->GetIndex(physIndex));
            MutableContainerT<INorvElectricalNet> locked;
            if (!(r = LockerT<INorvElectricalNet>::Lock(elec, locked)) ||
                !(r = locked->RemovePhysicalNet(physIndex)) || !(r = RepairSupport::UnLockChanged(locked)))
                return CFixStatus(r);
            detached.Add(physIndex);
        }
        CFIXNET_TRY(physWalk);
        if (!detaching)
            return CFixStatus(false);
    }
    CFIXNET_TRY(DeleteElecNetInConfig(net, &detached));
    return CFixStatus(true);
}

CFixStatus CFixNet::DeleteElectricalNetWithPhysNets(const Index& net)
{
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> elec;
    Result r = Uids()->GetNorvElectricalNet(elec, net);
    if (!r)
        return CFixStatus(r);
    ListT<Index> physNets;
    ListT<Index> elecNets;
    elecNets.Add(net);
    IteratorT<const INorvPhysicalNet> phys;
    int count = 0;
    if (!(r = elec->GetIterPhysicalNets(phys)) || !(r = phys.GetCount(count)))
        return CFixStatus(r);
    int visits = 0;
    Result physWalk;
    for (; walkOn(phys, physWalk); ++phys)
    {
        Index physIndex;
        CFIXNET_TRY(phys->GetIndex(physIndex));
        physNets.Add(physIndex);
        ++visits;
    }
    CFIXNET_TRY(physWalk);
    // The net is deleted before the update only when its walk and its count disagree.
    if (visits != count && !(r = DeleteElecNetInConfig(net, nullptr)))
        return CFixStatus(r);
    CFIXNET_TRY(UpdateNetsIncrementally(physNets, elecNets));
    return CFixStatus(true);
}

CFixStatus CFixNet::DeleteElecNetConstraint(const ContainerT<const INorvElectricalNet>& net, const Index& constraint)
{
    MutableContainerT<INorvElectricalNet> locked;
    if (!LockerT<INorvElectricalNet>::Lock(net, locked) || !locked->DeleteConstraint(constraint))
        return CFixStatus(false);
    RepairSupport::UnLockChanged(locked);
    return CFixStatus(true);
}

Index CFixNet::GetParentDiffPairOfElecNet(const Index& net, String& name)
{
    name = String();
    if (Uids() == nullptr)
        return Index();
    ContainerT<const INorvElectricalNet> elec;
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvElectricalNet(elec, net) || !elec->GetParentDiffPair(pair))
        return Index();
    Index index;
    pair->GetIndex(index);
    pair->GetName(name);
    return index;
}

CFixStatus CFixNet::DeleteInvalidElecNet() { return RemoveElectricalNet(FixContext::s_fixIndex1); }

CFixStatus CFixNet::DeleteDuplicatedElecNets()
{
    // Both nets are tried: removing either one ends the duplicate. When neither is removed, a failed
    // database call for either net is the outcome (a slot without a net is not).
    const CFixStatus first = RemoveDuplicatedElectricalNet(FixContext::s_fixIndex1);
    const CFixStatus second = RemoveDuplicatedElectricalNet(FixContext::s_fixIndex2);
    if (first.fixed || second.fixed)
        return CFixStatus(true);
    if (first.error && !first.result)
        return first;
    if (second.error && !second.result)
        return second;
    return CFixStatus(false);
}

CFixStatus CFixNet::DeleteElecNetWithWrongRefs()
{
    const Index net = FixContext::s_fixIndex1;
    if (!IsIndexOf(net, OT_NorvElectricalNet))
        return CFixStatus(false, true, kCannotFindElecNet);
    if (Uids() == nullptr)
        return NoDatabase();
    const ListT<Index> noPhysNets;
    CFIXNET_TRY(DeleteElecNetInConfig(net, &noPhysNets));
    return CFixStatus(true);
}

CFixStatus CFixNet::UnifyDiffPairNetClasses()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot load differential pair.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvDiffPair(pair, slot))
        return CFixStatus(true);
    ContainerT<const INorvElectricalNet> first;
    ContainerT<const INorvElectricalNet> second;
    Result r;
    if (!(r = pair->GetFirstElecNet(first)) || !(r = pair->GetSecondElecNet(second)))
        return CFixStatus(r);

    ContainerT<const INorvNetClass> candidate1;
    ContainerT<const INorvNetClass> candidate2;
    int count1 = 0;
    int count2 = 0;
    CFixStatus status = CandidateClass(first, candidate1, count1);
    if (!status)
        return status;
    if (!(status = CandidateClass(second, candidate2, count2)))
        return status;
    if (count1 == 0 || count2 == 0 || !candidate1->IsValid() || !candidate2->IsValid())
        return CFixStatus(false);

    String name1;
    String name2;
    if (!(r = candidate1->GetHierarchicalName(name1, '/')) || !(r = candidate2->GetHierarchicalName(name2, '/')))
        return CFixStatus(r);
    // Equal names or a default first candidate take the second; a default second takes the
    // first; otherwise the net with more physical nets wins, the first on a tie.
    bool takeSecond = true;
    if (name1 != name2 && name1 != s_defaultNetClassName)
        takeSecond = name2 != s_defaultNetClassName && count2 > count1;
    const ContainerT<const INorvNetClass>& chosen = takeSecond ? candidate2 : candidate1;
    const String& chosenName = takeSecond ? name2 : name1;
    if (!chosen.IsValid())
        return CFixStatus(false);

    if (!(status = SetClassOfPhysNets(first, chosen, chosenName)))
        return status;
    if (!(status = SetClassOfPhysNets(second, chosen, chosenName)))
        return status;
    return CFixStatus(true);
}

CFixStatus CFixNet::FixAnalogElecNetManyPhysNets()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot load electrical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> net;
    Result r = Uids()->GetNorvElectricalNet(net, slot);
    if (!r)
        return CFixStatus(r);
    IteratorT<const INorvPhysicalNet> phys;
    ContainerT<const INorvDiffPair> pair;
    if (net->GetParentDiffPair(pair) && pair->IsValid())
    {
        ConstraintData analog;
        analog.kind = 1;
        analog.intValue = 0;
        const String name("ANALOG");
        CFixStatus status = SetElecNetConstraint(net, name, analog);
        if (!status)
            return status;
        Result physWalk = net->GetIterPhysicalNets(phys);
        for (; walkOn(phys, physWalk); ++phys)
        {
            if (!(status = SetPhysNetConstraint(phys, name, analog)))
                return status;
        }
        CFIXNET_TRY(physWalk);
        return CFixStatus(true);
    }
    // Outside a pair the nets are only handed to the incremental update.
    ListT<Index> physNets;
    Result physWalk = net->GetIterPhysicalNets(phys);
    for (; walkOn(phys, physWalk); ++phys)
    {
        Index index;
        CFIXNET_TRY(phys->GetIndex(index));
        physNets.Add(index);
    }
    CFIXNET_TRY(physWalk);
    CFIXNET_TRY(UpdateNetsIncrementally(physNets, ListT<Index>()));
    return CFixStatus(true);
}

CFixStatus CFixNet::FixCompositeElecNetWithoutPinPairs()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot load electrical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> net;
    if (!Uids()->GetNorvElectricalNet(net, slot))
        return CFixStatus();
    ContainerT<const INorvDiffPair> pair;
    net->GetParentDiffPair(pair);
    if (!pair.IsValid())
        return DeleteElectricalNetWithPhysNets(slot);

    Index pairIndex;
    Result r = pair->GetIndex(pairIndex);
    if (!r)
        return CFixStatus(r);
    String name;
    pair->GetName(name);
    if (pairIndex.IsEmpty())
        return CFixStatus(false);
    ContainerT<const INorvElectricalNet> nets[2];
    Index indexes[2];
    if (!(r = pair->GetFirstElecNet(nets[0])) || !(r = nets[0]->GetIndex(indexes[0])) ||
        !(r = pair->GetSecondElecNet(nets[1])) || !(r = nets[1]->GetIndex(indexes[1])))
        return CFixStatus(r);
    for (const ContainerT<const INorvElectricalNet>& member : nets)
    {
        ContainerT<const INorvConstraint> preserved;
        if (!IsPreserved(member, preserved))
            continue;
        Index constraint;
        CFIXNET_TRY(preserved->GetIndex(constraint));
        if (!DeleteElecNetConstraint(member, constraint))
            return CFixStatus(false);
    }
    CFIXNET_TRY(DeleteDiffPairInConfig(pairIndex));
    const std::string message = PairRemovedText(name);
    // The pair stays removed when a member net cannot be deleted; both are tried, and the first
    // failure is the outcome.
    CFixStatus failed(true);
    for (const Index& member : indexes)
    {
        const CFixStatus deleted = DeleteElectricalNetWithPhysNets(member);
        if (deleted.error && failed.fixed)
            failed = deleted;
    }
    if (!failed.fixed)
        return failed;
    return CFixStatus(true, false, message);
}
