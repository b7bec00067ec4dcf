#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// One body for the three writers. The own constraint is changed in place; a constraint seen only
// through a definition, or none at all, is added to the object. Handles are declared parent first
// so that a path that returns early drops the new constraint's lock before its owner's.
template <class T>
CFixStatus SetConstraint(const ContainerT<const T>& object, const String& name, const ConstraintData& value)
{
    ContainerT<const INorvConstraint> constraint;
    if (object->GetConstraint(constraint, name))
    {
        bool definition = false;
        CFIXNET_TRY(constraint->IsDefinition(definition));
        if (!definition)
        {
            ConstraintData current;
            CFIXNET_TRY(constraint->GetValue(current));
            if (current.GetValueAsString() == value.GetValueAsString())
                return CFixStatus(true);
            MutableContainerT<INorvConstraint> locked;
            CFIXNET_TRY(LockerT<INorvConstraint>::Lock(constraint, locked));
            const Result set = locked->SetValue(value);
            CFIXNET_TRY(LockerT<INorvConstraint>::UnLock(locked));
            return CFixStatus(static_cast<bool>(set));
        }
    }

    MutableContainerT<T> owner;
    CFIXNET_TRY(LockerT<T>::Lock(object, owner));
    MutableContainerT<INorvConstraint> added;
    if (!owner->AddConstraint(name, value, added))
    {
        CFIXNET_TRY(LockerT<T>::UnLock(owner));
        return CFixStatus(false);
    }
    CFIXNET_TRY(LockerT<INorvConstraint>::UnLock(added));
    CFIXNET_TRY(LockerT<T>::UnLock(owner));
    return CFixStatus(true);
}

ConstraintData TopoOrderedNo()
{
    return TextValue("No");
}

// Writes "TOPO_ORDERED" = "No" on the physical net and, when it has one, its parent electrical net.
// Returns the status of the physical net's write; the parent's is not examined.
CFixStatus ResetTopoOrderedOfPhysNetAndParent(const ContainerT<const INorvPhysicalNet>& net)
{
    const CFixStatus written = CFixNet::SetPhysNetConstraint(net, TopoOrderedName(), TopoOrderedNo());
    ContainerT<const INorvElectricalNet> parent;
    if (net->GetParentElectricalNet(parent) && parent.IsValid())
        CFixNet::SetElecNetConstraint(parent, TopoOrderedName(), TopoOrderedNo());
    return written;
}

} // namespace

CFixStatus CFixNet::SetPhysNetConstraint(const ContainerT<const INorvPhysicalNet>& net, const String& name,
                                         const ConstraintData& value)
{
    return SetConstraint(net, name, value);
}

CFixStatus CFixNet::SetElecNetConstraint(const ContainerT<const INorvElectricalNet>& net, const String& name,
                                         const ConstraintData& value)
{
    return SetConstraint(net, name, value);
}

CFixStatus CFixNet::SetDiffPairConstraint(const ContainerT<const INorvDiffPair>& pair, const String& name,
                                          const ConstraintData& value)
{
    return SetConstraint(pair, name, value);
}

CFixStatus CFixNet::ResetTopoOrderedOfElecNet(const ContainerT<const INorvElectricalNet>& net)
{
    SetElecNetConstraint(net, TopoOrderedName(), TopoOrderedNo());
    IteratorT<const INorvPhysicalNet> physNets;
    CFIXNET_TRY(net->GetIterPhysicalNets(physNets));
    for (; physNets.IsValid(); ++physNets)
        SetPhysNetConstraint(physNets, TopoOrderedName(), TopoOrderedNo());
    return CFixStatus(true);
}

CFixStatus CFixNet::ResetTopoOrderedOfPhysNet(const ContainerT<const INorvPhysicalNet>& net)
{
    ResetTopoOrderedOfPhysNetAndParent(net);
    return CFixStatus(true);
}

CFixStatus CFixNet::ResetWrongTopoOrdered()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    CFIXNET_TRY(Uids()->GetNorvPhysicalNet(net, FixContext::s_fixIndex1));
    // The reported net's own write decides: a reset that did not take is not reported fixed.
    const CFixStatus written = ResetTopoOrderedOfPhysNetAndParent(net);
    return written ? CFixStatus(true) : written;
}
