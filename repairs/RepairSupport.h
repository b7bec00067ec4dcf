// RepairSupport: small helpers that several fixer classes share. Internal to repairs/; everything
// here runs on the checker's thread and reads FixContext, which CFixMgr fills before each repair.
// Nothing here logs or throws: failures come back as CFixStatus or Lumo::Result.
#pragma once

#include "framework/CFixStatus.h"
#include "framework/FixContext.h"

#include "lumopi/LumoPI.h"

#include <map>

namespace RepairSupport
{

// The UID manager of the repair, or an unbound one (every call through it fails) when the fix
// context has none, so that a repair never dereferences a null pointer.
inline const Lumo::IUIDManager& Uids()
{
    static const Lumo::IUIDManager unbound;
    return FixContext::s_fixUIDManager ? *FixContext::s_fixUIDManager : unbound;
}

// The search set holding the three values.
inline Lumo::SearchParams SearchSet(Lumo::ESearchParams a, Lumo::ESearchParams b, Lumo::ESearchParams c)
{
    Lumo::SearchParams set(a);
    set |= b;
    set |= c;
    return set;
}

// Gives the object the constraint name with value. An own constraint whose text already equals
// the value's is left; an own one is otherwise set under its lock (not fixed when the set fails).
// A missing or only inherited constraint is added under the object's lock; when that add fails,
// the object's unlock result is tested only with testUnlockOnFailedAdd.
template <class T>
CFixStatus SetObjectConstraint(const Lumo::ContainerT<const T>& object, const char* name,
                               const Lumo::ConstraintData& value, bool testUnlockOnFailedAdd)
{
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    const bool found = static_cast<bool>(object->GetConstraint(constraint, name));
    bool definition = false;
    if (found)
    {
        if (Lumo::Result r = constraint->IsDefinition(definition); !r)
            return CFixStatus(r);
    }
    if (found && !definition)
    {
        Lumo::ConstraintData current;
        if (Lumo::Result r = constraint->GetValue(current); !r)
            return CFixStatus(r);
        if (current.GetValueAsString() == value.GetValueAsString())
            return CFixStatus(true);
        Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::Lock(constraint, locked); !r)
            return CFixStatus(r);
        const bool set = static_cast<bool>(locked->SetValue(value));
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::UnLock(locked); !r)
            return CFixStatus(r);
        return CFixStatus(set);
    }

    Lumo::MutableContainerT<T> lockedObject;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(object, lockedObject); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvConstraint> added;
    if (lockedObject->AddConstraint(name, value, added))
    {
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::UnLock(added); !r)
            return CFixStatus(r);
        if (Lumo::Result r = Lumo::LockerT<T>::UnLock(lockedObject); !r)
            return CFixStatus(r);
        return CFixStatus(true);
    }
    const Lumo::Result unlocked = Lumo::LockerT<T>::UnLock(lockedObject);
    if (testUnlockOnFailedAdd && !unlocked)
        return CFixStatus(unlocked);
    return CFixStatus(false);
}

// Locks the object, makes the change through the lock and unlocks it; the first failure as its result
// (a failed change returns without the unlock).
template <class T, class Change>
Lumo::Result LockAndChange(const Lumo::ContainerT<const T>& object, Change&& change)
{
    Lumo::MutableContainerT<T> locked;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(object, locked); !r)
        return r;
    if (Lumo::Result r = change(*locked); !r)
        return r;
    return Lumo::LockerT<T>::UnLock(locked);
}

// A text constraint value.
inline Lumo::ConstraintData TextValue(const char* text)
{
    Lumo::ConstraintData value;
    value.kind = Lumo::CDT_Text;
    value.textValue = text;
    return value;
}

// Loads the physical net, locks it, gives it the locked class and unlocks it; the first failure as its
// result.
Lumo::Result MoveNetToClass(const Lumo::Index& physicalNet, Lumo::INorvNetClass& lockedClass);

// Points every constraint class of the design (top-level and below) whose net class is a key of
// netClasses at the class its value names, so that deleting the key class loses no link.
Lumo::Result RepointConstraintClasses(const std::map<Lumo::Index, Lumo::Index>& netClasses);

// Copies every attribute of source to target in list order: not fixed when either is missing, the
// first failed read or write as result, else fixed.
template <class S, class T>
CFixStatus CopyAttributes(const S* source, T* target)
{
    if (source == nullptr || target == nullptr)
        return CFixStatus(false);
    Lumo::ListAttribute attributes;
    if (Lumo::Result r = source->GetAttributes(attributes); !r)
        return CFixStatus(r);
    for (auto it = attributes.GetIterator(); it.IsValid(); ++it)
    {
        if (Lumo::Result r = target->SetAttribute(it->name, it->value); !r)
            return CFixStatus(r);
    }
    return CFixStatus(true);
}

} // namespace RepairSupport
