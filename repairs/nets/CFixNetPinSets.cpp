// Repairs of pin sets, virtual pin-set pins and virtual pins: repeated pin-set names, pin sets
// in a net that is not Complex, virtual pin-set pins without a pin set, nested pin sets and
// virtual-pin names repeated in the design.
#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include "framework/FixContext.h"

#include <string>
#include <unordered_set>
#include <vector>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

using PinKinds = BitContainerT<ENorvPinType>;

const char* const kCannotFindPhysNet = "Cannot find physical net.";

// Reads a net's own topology text; false when the net has no readable value.
bool ReadTopology(const IObjectNorv& net, const String& constraintName, String& value)
{
    ContainerT<const INorvConstraint> constraint;
    EConstraintType type = CDT_Default;
    return net.GetConstraint(constraint, constraintName) && constraint->GetValueByString(value, type);
}

} // namespace

CFixStatus CFixNet::RenameDuplicatedPinSet()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, "Cannot load physical net.");
    if (FixContext::s_fixIndex2.IsEmpty())
        return CFixStatus(false, true, "Cannot load pinset.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    ContainerT<const INorvPin> pinSet;
    if (!Uids()->GetNorvPhysicalNet(net, FixContext::s_fixIndex1) ||
        !Uids()->GetNorvPin(pinSet, FixContext::s_fixIndex2))
        return CFixStatus(true);
    const SearchParams options(SP_1);
    const PinKinds kinds = PinSetAndVirtualPinSetPinKinds() | NPT_VirtualPin;
    // One indexed search per candidate, from "<name>_1" up, until a name is free.
    std::string candidate;
    int counter = 1;
    Result r;
    ListT<NorvObjectInfo> found;
    do
    {
        candidate = NumberedName(FixContext::s_fixName2, counter++);
        r = net->FindPin(found, candidate, options, kinds);
    } while (r && !found.IsEmpty());
    if (!r)
        return CFixStatus(false);
    MutableContainerT<INorvPin> locked;
    if (!(r = LockerT<INorvPin>::Lock(pinSet, locked)) || !(r = locked->SetName(candidate)) ||
        !(r = RepairSupport::UnLockChanged(locked)))
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixNet::FixPinSetInNonComplexNet()
{
    const String& s_orderType = OrderTypeName();
    static const String s_complex("Complex");
    static const String s_mixed("Mixed");

    const Index slot = FixContext::s_fixIndex1;
    if (!IsIndexOf(slot, OT_NorvPhysicalNet))
        return CFixStatus(false, true, kCannotFindPhysNet);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    if (!Uids()->GetNorvPhysicalNet(net, slot))
        return CFixStatus();
    PinKinds kinds;
    kinds |= NPT_PinSetT;
    kinds |= NPT_PinSetBalanced;
    kinds |= NPT_PinSetUnbalanced;
    IteratorT<const INorvPin> pin;
    Result pinWalk = net->GetIterPins(pin, kinds);
    int pinSets = 0;
    for (; walkOn(pin, pinWalk); ++pin)
    {
        Index index;
        if (pin->GetIndex(index))
            ++pinSets;
    }
    if (!pinWalk)
        return CFixStatus(pinWalk);
    if (pinSets == 0)
        return CFixStatus(false);

    const CFixStatus written = SetPhysNetConstraint(net, s_orderType, TextValue(s_complex));
    ContainerT<const INorvElectricalNet> parent;
    IteratorT<const INorvPhysicalNet> sibling;
    Result r;
    if (!(r = net->GetParentElectricalNet(parent)) || !(r = parent->GetIterPhysicalNets(sibling)))
        return CFixStatus(r);
    int count = 0;
    bool otherTopology = false;
    Result siblingWalk;
    for (; walkOn(sibling, siblingWalk); ++sibling)
    {
        ++count;
        String value;
        if (ReadTopology(*sibling, s_orderType, value) && value != s_complex)
            otherTopology = true;
    }
    if (!siblingWalk)
        return CFixStatus(siblingWalk);
    const String& wanted = (count == 1 || !otherTopology) ? s_complex : s_mixed;
    String current;
    if (ReadTopology(*parent, s_orderType, current) && current != wanted)
        SetElecNetConstraint(parent, s_orderType, TextValue(wanted));
    // A failed write of "Complex" on the net itself leaves the finding standing.
    if (!written)
        return written;
    return CFixStatus(true);
}

CFixStatus CFixNet::FixVirtualPinSetPinCount()
{
    const Index slot = FixContext::s_fixIndex1;
    if (!IsIndexOf(slot, OT_NorvPhysicalNet))
        return CFixStatus(false, true, kCannotFindPhysNet);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    Result r = Uids()->GetNorvPhysicalNet(net, slot);
    if (!r)
        return CFixStatus(r);
    IteratorT<const INorvPin> pin;
    CFIXNET_TRY(net->GetIterPins(pin, NPT_VirtualPinSetPin));
    std::vector<Index> orphans;
    Result pinWalk;
    for (; walkOn(pin, pinWalk); ++pin)
    {
        ENorvPinType kind = NPT_NetPin;
        CFIXNET_TRY(pin->GetNorvType(kind));
        if (kind != NPT_VirtualPinSetPin)
            continue;
        Index index;
        CFIXNET_TRY(pin->GetIndex(index));
        ContainerT<const INorvPin> parent;
        if (pin->GetParentPin(parent) && parent->IsValid())
            continue;
        orphans.push_back(index);
    }
    CFIXNET_TRY(pinWalk);
    for (const Index& orphan : orphans)
    {
        MutableContainerT<INorvPhysicalNet> locked;
        if (!(r = LockerT<INorvPhysicalNet>::Lock(net, locked)) || !(r = locked->DeletePin(orphan)) ||
            !(r = RepairSupport::UnLockChanged(locked)))
            return CFixStatus(r);
    }
    return CFixStatus(!orphans.empty());
}

CFixStatus CFixNet::FixPinSetContainingPinSet()
{
    if (!IsIndexOf(FixContext::s_fixIndex1, OT_NorvPin) || !IsIndexOf(FixContext::s_fixIndex2, OT_NorvPin))
        return CFixStatus(false, true, "Cannot find pin set.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPin> container;
    ContainerT<const INorvPhysicalNet> net;
    Result r;
    if (!(r = Uids()->GetNorvPin(container, FixContext::s_fixIndex1)) ||
        !(r = container->GetParentPhysicalNet(net)))
        return CFixStatus(r);
    const PinKinds kinds = PinSetKinds();
    // Every pin set nested in a pin set of the net goes, each followed by its virtual pin-set pin.
    std::vector<Index> doomed;
    IteratorT<const INorvPin> pinSet;
    CFIXNET_TRY(net->GetIterPins(pinSet, kinds));
    Result pinSetWalk;
    for (; walkOn(pinSet, pinSetWalk); ++pinSet)
    {
        IteratorT<const INorvPin> member;
        Result memberWalk = pinSet->GetIterPins(member, kinds);
        for (; walkOn(member, memberWalk); ++member)
        {
            Index memberIndex;
            ContainerT<const INorvPin> virtualPin;
            Index virtualIndex;
            CFIXNET_TRY(member->GetIndex(memberIndex));
            doomed.push_back(memberIndex);
            if (!(r = member->GetVirutalPinSetPin(virtualPin)) || !(r = virtualPin->GetIndex(virtualIndex)))
                return CFixStatus(r);
            doomed.push_back(virtualIndex);
        }
        CFIXNET_TRY(memberWalk);
    }
    CFIXNET_TRY(pinSetWalk);
    int deleted = 0;
    {
        MutableContainerT<INorvPhysicalNet> locked;
        CFIXNET_TRY(LockerT<INorvPhysicalNet>::Lock(net, locked));
        for (const Index& index : doomed)
        {
            if (locked->DeletePin(index))
                ++deleted;
        }
        RepairSupport::UnLockChanged(locked);
    }
    ContainerT<const INorvElectricalNet> parent;
    CFIXNET_TRY(net->GetParentElectricalNet(parent));
    if (const CFixStatus reset = ResetTopoOrderedOfElecNet(parent); !reset)
        return reset;
    return CFixStatus(deleted > 0);
}

CFixStatus CFixNet::RenameDuplicatedVirtualPin()
{
    const Index slot = FixContext::s_fixIndex1;
    if (slot.IsEmpty())
        return CFixStatus(false, true, "Cannot find virtual pin.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPin> pin;
    if (!Uids()->GetNorvPin(pin, slot))
        return CFixStatus(true);
    ENorvPinType kind = NPT_NetPin;
    Result r = pin->GetNorvType(kind);
    if (!r)
        return CFixStatus(r);
    if (kind != NPT_VirtualPin)
        return CFixStatus(false);
    MutableContainerT<INorvPin> locked;
    CFIXNET_TRY(LockerT<INorvPin>::Lock(pin, locked));
    std::string name;
    CFIXNET_TRY(MakeUniqueVirtualPinName(name));
    if (name.empty())
        return CFixStatus(false);
    if (!(r = locked->SetName(name)) || !(r = RepairSupport::UnLockChanged(locked)))
        return CFixStatus(r);
    return CFixStatus(true);
}

Result CFixNet::MakeUniqueVirtualPinName(std::string& name)
{
    name.clear();
    IteratorT<const INorvPhysicalNet> net;
    Result netWalk = FixContext::s_fixNorvConfig->GetIterPhysicalNets(net);
    // The names are collected once, so each candidate costs one hash look-up.
    std::unordered_set<std::string> taken;
    size_t listed = 0;
    for (; walkOn(net, netWalk); ++net)
    {
        IteratorT<const INorvPin> pin;
        if (!net->GetIterPins(pin, NPT_VirtualPin))
            continue;
        Result pinWalk;
        for (; walkOn(pin, pinWalk); ++pin)
        {
            String pinName;
            if (pin->GetName(pinName))
            {
                taken.insert(pinName.str());
                ++listed;
            }
        }
        if (!pinWalk)
            return pinWalk;
    }
    if (!netWalk)
        return netWalk;
    for (size_t n = 1; n <= listed + 1; ++n)
    {
        std::string candidate = "VP" + std::to_string(n);
        if (taken.count(candidate) == 0)
        {
            name = candidate;
            break;
        }
    }
    return Result();
}
