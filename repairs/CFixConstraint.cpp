#include "repairs/CFixConstraint.h"

#include "repairs/RepairSupport.h"

using namespace RepairSupport;

namespace {

// What became of a change made on an object by index.
struct ObjectChange
{
    bool refused = false;  // the index's type carries no constraints: nothing was tried
    bool done = false;     // the change was made
    Lumo::Result failure;  // the failed fetch, lock or change (success when refused or done)
};

template <class T>
using Fetch = Lumo::Result (Lumo::IUIDManager::*)(Lumo::ContainerT<const T>&, const Lumo::Index&) const;

// Locks the object, applies change(locked object) and unlocks it (the unlock is not tested).
template <class T, class Change>
ObjectChange ChangeLocked(const Lumo::ContainerT<const T>& object, Change& change)
{
    ObjectChange out;
    Lumo::MutableContainerT<T> locked;
    out.failure = Lumo::LockerT<T>::Lock(object, locked);
    if (!out.failure)
        return out;
    out.failure = change(static_cast<Lumo::IObjectNorv&>(*locked));
    out.done = static_cast<bool>(out.failure);
    Lumo::LockerT<T>::UnLock(locked);
    return out;
}

template <class T, class Change>
ObjectChange FetchAndChange(Fetch<T> fetch, const Lumo::Index& index, Change& change)
{
    Lumo::ContainerT<const T> object;
    ObjectChange out;
    out.failure = (Uids().*fetch)(object, index);
    if (!out.failure)
        return out;
    return ChangeLocked(object, change);
}

// Applies change to the Norv object of the index, fetched by the kind its type names.
template <class Change>
ObjectChange ChangeObject(const Lumo::Index& index, Change&& change)
{
    using namespace Lumo;
    switch (static_cast<int>(index.GetType()))
    {
    case OT_NorvDesign: {
        const ContainerT<const INorvDesign> design = Design();
        return ChangeLocked(design, change);
    }
#define KRAVIK_FETCH_CASE(type, Iface, Getter) \
    case type: return FetchAndChange<Iface>(&IUIDManager::Getter, index, change);
    KRAVIK_FETCH_CASE(OT_NorvLayer, INorvLayer, GetNorvLayer)
    KRAVIK_FETCH_CASE(OT_NorvNetClass, INorvNetClass, GetNorvNetClass)
    KRAVIK_FETCH_CASE(OT_NorvClearRule, INorvClearRule, GetNorvClearRule)
    KRAVIK_FETCH_CASE(OT_NorvConstraintClass, INorvConstraintClass, GetNorvConstraintClass)
    KRAVIK_FETCH_CASE(OT_NorvViaSpan, INorvViaSpan, GetNorvViaSpan)
    KRAVIK_FETCH_CASE(OT_NorvGenClear, INorvGenClear, GetNorvGenClear)
    KRAVIK_FETCH_CASE(OT_NorvPartTech, INorvPartTech, GetNorvPartTech)
    KRAVIK_FETCH_CASE(OT_NorvConstVar, INorvConstVar, GetNorvConstVar)
    KRAVIK_FETCH_CASE(OT_NorvC2CClearRule, INorvC2CClearRule, GetNorvC2CClearRule)
    KRAVIK_FETCH_CASE(OT_NorvPkgTypeClearRule, INorvPkgTypeClearRule, GetNorvPkgTypeClearRule)
    KRAVIK_FETCH_CASE(OT_NorvP2PClearRule, INorvP2PClearRule, GetNorvP2PClearRule)
    KRAVIK_FETCH_CASE(OT_NorvParRuleDef, INorvParRuleDef, GetNorvParRuleDef)
    KRAVIK_FETCH_CASE(OT_NorvParRuleSection, INorvParRuleSection, GetNorvParRuleSection)
    KRAVIK_FETCH_CASE(OT_NorvNoiseRule, INorvNoiseRule, GetNorvNoiseRule)
    KRAVIK_FETCH_CASE(OT_NorvScheme, INorvScheme, GetNorvScheme)
    KRAVIK_FETCH_CASE(OT_NorvSchemeNetClassRule, INorvSchemaNetClassRule, GetNorvSchemaNetClassRule)
    KRAVIK_FETCH_CASE(OT_NorvViaAssign, INorvViaAssign, GetNorvViaAssign)
    KRAVIK_FETCH_CASE(OT_NorvLayerRule, INorvLayerRule, GetNorvLayerRule)
    KRAVIK_FETCH_CASE(OT_NorvSchemeClearRule, INorvSchemaClearRule, GetNorvSchemaClearRule)
    KRAVIK_FETCH_CASE(OT_NorvLayerClearRule, INorvLayerClearRule, GetNorvLayerClearRule)
    KRAVIK_FETCH_CASE(OT_NorvGenObjType, INorvGenObjType, GetNorvGenObjType)
    KRAVIK_FETCH_CASE(OT_NorvGenCompObj, INorvGenCompObj, GetNorvGenCompObj)
    KRAVIK_FETCH_CASE(OT_NorvGenObj, INorvGenObj, GetNorvGenObj)
    KRAVIK_FETCH_CASE(OT_NorvDiffPair, INorvDiffPair, GetNorvDiffPair)
    KRAVIK_FETCH_CASE(OT_NorvElectricalNet, INorvElectricalNet, GetNorvElectricalNet)
    KRAVIK_FETCH_CASE(OT_NorvPinPair, INorvPinPair, GetNorvPinPair)
    KRAVIK_FETCH_CASE(OT_NorvPhysicalNet, INorvPhysicalNet, GetNorvPhysicalNet)
    KRAVIK_FETCH_CASE(OT_NorvFromTo, INorvFromTo, GetNorvFromTo)
    KRAVIK_FETCH_CASE(OT_NorvComp, INorvComp, GetNorvComp)
    KRAVIK_FETCH_CASE(OT_NorvPin, INorvPin, GetNorvPin)
    KRAVIK_FETCH_CASE(OT_NorvPart, INorvPart, GetNorvPart)
    KRAVIK_FETCH_CASE(OT_NorvPartPin, INorvPartPin, GetNorvPartPin)
    KRAVIK_FETCH_CASE(OT_NorvVia, INorvVia, GetNorvVia)
    KRAVIK_FETCH_CASE(OT_NorvPartPinPair, INorvPartPinPair, GetNorvPartPinPair)
    KRAVIK_FETCH_CASE(OT_NorvZAxisClearRule, INorvZAxisClearRule, GetNorvZAxisClearRule)
    KRAVIK_FETCH_CASE(OT_NorvZAxisLayerRule, INorvZAxisLayerRule, GetNorvZAxisLayerRule)
#undef KRAVIK_FETCH_CASE
    default: {
        ObjectChange refused;
        refused.refused = true;
        return refused;
    }
    }
}

ObjectChange DeleteConstraintOf(const Lumo::Index& object, const Lumo::Index& constraint)
{
    return ChangeObject(object, [&](Lumo::IObjectNorv& locked) { return locked.DeleteConstraint(constraint); });
}

} // namespace

bool CFixConstraint::DeleteObjectConstraint(Lumo::Index& object, Lumo::Index& constraint)
{
    return DeleteConstraintOf(object, constraint).done;
}

bool CFixConstraint::AddObjectConstraint(Lumo::Index& object, Lumo::String& name, Lumo::ConstraintData& value)
{
    bool valid = false;
    ChangeObject(object, [&](Lumo::IObjectNorv& locked) {
        // The new constraint's own lock goes with its container.
        Lumo::MutableContainerT<Lumo::INorvConstraint> added;
        locked.AddConstraint(name, value, added);
        valid = static_cast<bool>(added.IsValid());
        return Lumo::Result();
    });
    return valid;
}

CFixStatus CFixConstraint::RemoveForbiddenConstraint()
{
    const Lumo::Index constraint = FixContext::s_fixIndex2;
    if (constraint.IsEmpty())
        return CFixStatus(false, true, "Cannot load constraint.");
    const Lumo::Index object = FixContext::s_fixIndex3;
    if (object.IsEmpty())
        return CFixStatus(false, true, "Cannot load object.");
    const ObjectChange change = DeleteConstraintOf(object, constraint);
    if (change.refused)
        return CFixStatus();
    if (change.done)
        return CFixStatus(true);
    return FixedIfGone(change.failure, constraint);
}

CFixStatus CFixConstraint::ReattachMismatchedConstraint()
{
    Lumo::Index object = FixContext::s_fixIndex2;
    Lumo::Index constraint = FixContext::s_fixIndex3;
    Lumo::String name(FixContext::s_fixName2);
    if (constraint.IsEmpty() || object.IsEmpty())
        return CFixStatus();
    bool exists = false;
    if (Lumo::Result r = Uids().ObjectExists(object, exists); !r)
        return CFixStatus(r);
    if (!exists)
        return CFixStatus(true);
    Lumo::ContainerT<const Lumo::INorvConstraint> read;
    if (Lumo::Result r = Uids().GetNorvConstraint(read, constraint); !r)
        return CFixStatus(r);
    // The whole value moves, list values included.
    Lumo::ConstraintData value;
    if (Lumo::Result r = read->GetValue(value); !r)
        return CFixStatus(r);
    Lumo::Index parent;
    if (Lumo::Result r = read->GetParentIndex(parent); !r)
        return CFixStatus(r);
    bool parentExists = false;
    if (Lumo::Result r = Uids().ObjectExists(parent, parentExists); !r)
        return CFixStatus(r);

    if (parentExists)
    {
        if (!DeleteObjectConstraint(parent, constraint) || !AddObjectConstraint(object, name, value) ||
            !AddObjectConstraint(parent, name, value))
            return CFixStatus();
    }
    else if (!DeleteObjectConstraint(object, constraint) || !AddObjectConstraint(object, name, value))
    {
        return CFixStatus();
    }
    return CFixStatus(true);
}
