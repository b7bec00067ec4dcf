// Helpers that several fixer classes share: the handles of the fix context, search selections,
// the free-name search of the renaming repairs, a rename under the object's own lock, the repairs
// that the constraint-class and net-class fixers share through a kind description, constraint and
// attribute writes, the moves of nets and constraint classes between net classes, and the search for
// scheme rules of a net class that its rule list leaves out. Everything here runs on the checker's
// thread and reads FixContext, which CFixMgr fills before each repair; nothing logs or throws:
// failures come back as CFixStatus or Lumo::Result.
#pragma once

#include "framework/CCharsValidator.h"
#include "framework/CFixMgr.h"
#include "framework/CFixStatus.h"
#include "framework/EqualPairs.h"
#include "framework/FixContext.h"
#include "framework/ReadThrough.h"
#include "repairs/CFixerBase.h"

#include "lumopi/LumoPI.h"

#include <map>
#include <string>

namespace RepairSupport {

using Lumo::SearchParams;

inline SearchParams Search(Lumo::ESearchParams a, Lumo::ESearchParams b)
{
    return SearchParams(a) | b;
}
inline SearchParams Search(Lumo::ESearchParams a, Lumo::ESearchParams b, Lumo::ESearchParams c)
{
    return SearchParams(a) | b | c;
}

inline const Lumo::ContainerT<const Lumo::INorvDesign>& Design()
{
    return FixContext::s_fixNorvDesign;
}

// The UID manager of the fix context; every fetch through it fails when there is none.
inline const Lumo::IUIDManager& Uids()
{
    static const Lumo::IUIDManager unbound;
    return FixContext::s_fixUIDManager ? *FixContext::s_fixUIDManager : unbound;
}

// The first free name of the form base + "_" + n, n = 1, 2, ...: search(candidate, list) fills the
// list with the objects of that name. A failed search ends the loop with its result (the candidate
// might be taken); on success `name` is the free candidate.
template <class SearchFn>
Lumo::Result FindFreeName(const std::string& base, SearchFn&& search, std::string& name)
{
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    for (unsigned long long n = 1;; ++n)
    {
        const std::string candidate = base + "_" + std::to_string(n);
        found.RemoveAll();
        const Lumo::Result result = search(Lumo::String(candidate), found);
        if (!result)
            return result;
        if (found.IsEmpty())
        {
            name = candidate;
            return result;
        }
    }
}

// Unlocks an object that the repair has changed through this lock. The change stands when the
// unlock fails: the failure goes to the fix context (FixContext::Run puts it in the repair's
// status) and the result is success, so that the repair goes on and reports what it changed.
template <class T>
Lumo::Result UnLockChanged(Lumo::MutableContainerT<T>& locked)
{
    if (Lumo::Result r = Lumo::LockerT<T>::UnLock(locked); !r && FixContext::s_fixUnlockFailure)
        FixContext::s_fixUnlockFailure = r;
    return Lumo::Result();
}

// Locks the object, makes the change through the lock and unlocks it (UnLockChanged); a failed lock
// or change as its result (a failed change returns without the unlock).
template <class T, class Change>
Lumo::Result LockAndChange(const Lumo::ContainerT<const T>& object, Change&& change)
{
    Lumo::MutableContainerT<T> locked;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(object, locked); !r)
        return r;
    if (Lumo::Result r = change(*locked); !r)
        return r;
    return UnLockChanged(locked);
}

// Locks the object, renames it and unlocks it; a failed step returns its result at once.
template <class T>
Lumo::Result RenameLocked(const Lumo::ContainerT<const T>& object, const std::string& name)
{
    return LockAndChange(object, [&name](T& locked) { return locked.SetName(Lumo::String(name)); });
}

// A duplicated name made unique: search(name, list) finds the objects of a name among the object's
// siblings. Its own name found once: fixed (unique again); not at all: not fixed. Otherwise the
// object takes the first free name own name + "_" + n and the reload flag is raised.
template <class T, class SearchFn>
CFixStatus RenameToFreeName(const Lumo::ContainerT<const T>& object, const Lumo::String& ownName, SearchFn&& search)
{
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = search(ownName, found); !r)
        return CFixStatus(r);
    if (found.IsEmpty())
        return CFixStatus();
    if (found.Count() == 1)
        return CFixStatus(true);
    std::string name;
    if (Lumo::Result r = FindFreeName(ownName.str(), search, name); !r)
        return CFixStatus(r);
    if (Lumo::Result r = RenameLocked(object, name); !r)
        return CFixStatus(r);
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true);
}

inline CFixStatus Confirmed(Lumo::MutableContainerT<Lumo::INorvDesign>&)
{
    return CFixStatus(true);
}

// Adds a default object when a search of the read design finds none (search values 5, 0, 4):
// not fixed when it exists. add(design, name) adds the object through the locked design; the
// design's unlock is not tested; confirm(locked design) then gives the outcome (fixed unless told).
// Given a clash status, a search that ignores case (values 5 and 0) comes before the add: an object
// whose name differs only in case ends the repair with that status and nothing added, since the
// add would make a second object of one name, renamed by the duplicate repair and added again on
// the next run.
template <class FindFn, class AddFn, class ConfirmFn = decltype(&Confirmed)>
CFixStatus AddDefaultObject(const char* name, FindFn&& find, AddFn&& add, ConfirmFn&& confirm = &Confirmed,
                            const CFixStatus* clash = nullptr)
{
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = find(*Design(), found, Lumo::String(name), Search(Lumo::SP_5, Lumo::SP_0, Lumo::SP_MatchCase)); !r)
        return CFixStatus(r);
    if (!found.IsEmpty())
        return CFixStatus();
    if (clash != nullptr)
    {
        if (Lumo::Result r = find(*Design(), found, Lumo::String(name), Search(Lumo::SP_5, Lumo::SP_0)); !r)
            return CFixStatus(r);
        if (!found.IsEmpty())
            return *clash;
    }
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    if (Lumo::Result r = add(*design, Lumo::String(name)); !r)
        return CFixStatus(r);
    Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);
    return confirm(design);
}

// The renaming repairs that classes and clearance rules share. A kind describes one object kind:
//   using Object;                                      the object interface
//   static const char* RenameError();                  the message of a missing index
//   static Result Fetch(uids, container, index);       the fetch by index
//   static Result Find(design, list, name, params);    the search among the design's objects
// and, for RenameDuplicatedName (classes only):
//   static Result FindChild(parent, list, name, params);
//   static Result Parent(object, container);           the parent class
template <class Kind>
struct RenameRepairs
{
    using Object = typename Kind::Object;

    // The object of the index and its own name; a status that is not fixed ends the repair.
    static CFixStatus Load(const Lumo::Index& index, Lumo::ContainerT<const Object>& object, Lumo::String& name)
    {
        if (index.IsEmpty())
            return CFixStatus(false, true, Kind::RenameError());
        if (Lumo::Result r = Kind::Fetch(Uids(), object, index); !r)
            return CFixStatus(r);
        if (Lumo::Result r = object->GetName(name); !r)
            return CFixStatus(r);
        return CFixStatus(true);
    }

    // Cleans the object's own name of characters that scheme names may not hold. A cleaned name
    // that another object bears gets "_" and the object's index, without a further search.
    static CFixStatus RenameInvalidName()
    {
        Lumo::ContainerT<const Object> object;
        Lumo::String ownName;
        if (CFixStatus loaded = Load(FixContext::s_fixIndex1, object, ownName); !loaded.fixed)
            return loaded;
        Lumo::Index ownIndex;
        if (Lumo::Result r = object->GetIndex(ownIndex); !r)
            return CFixStatus(r);

        std::string name = ownName.str();
        const std::string allowed = CCharsValidator::SCHEME_VALID_CHARS();
        if (!CFixerBase::ReplaceInvalidChars(allowed.c_str(), ownIndex, name))
            return CFixStatus();
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        if (Lumo::Result r = Kind::Find(*Design(), found, Lumo::String(name), Search(Lumo::SP_0, Lumo::SP_5)); !r)
            return CFixStatus(r);
        if (!found.IsEmpty())
            CFixerBase::AppendIndexToName(ownIndex, name);
        if (Lumo::Result r = RenameLocked(object, name); !r)
            return CFixStatus(r);
        return CFixStatus(true);
    }

    // Gives the class of pair 2, whose hierarchical name (pair 1) is shared, the first free name
    // own name + "_" + n among its siblings, and raises the reload flag.
    static CFixStatus RenameDuplicatedName()
    {
        const std::string duplicated = FixContext::s_fixName1;
        Lumo::ContainerT<const Object> object;
        Lumo::String ownName;
        if (CFixStatus loaded = Load(FixContext::s_fixIndex2, object, ownName); !loaded.fixed)
            return loaded;
        Lumo::String hierarchical;
        if (Lumo::Result r = object->GetHierarchicalName(hierarchical, '/'); !r)
            return CFixStatus(r);
        if (FoldCase(hierarchical.str()) != FoldCase(duplicated))
            return CFixStatus(true);

        Lumo::ContainerT<const Object> parent;
        const bool underParent = static_cast<bool>(Kind::Parent(*object, parent));
        auto search = [&](const Lumo::String& name, Lumo::ListT<Lumo::NorvObjectInfo>& found) {
            const SearchParams params = Search(Lumo::SP_0, Lumo::SP_5);
            return underParent ? Kind::FindChild(*parent, found, name, params) : Kind::Find(*Design(), found, name, params);
        };
        return RenameToFreeName(object, ownName, search);
    }
};


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
        if (Lumo::Result r = set ? UnLockChanged(locked) : Lumo::LockerT<Lumo::INorvConstraint>::UnLock(locked); !r)
            return CFixStatus(r);
        return CFixStatus(set);
    }

    Lumo::MutableContainerT<T> lockedObject;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(object, lockedObject); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvConstraint> added;
    if (lockedObject->AddConstraint(name, value, added))
    {
        UnLockChanged(added);
        UnLockChanged(lockedObject);
        return CFixStatus(true);
    }
    const Lumo::Result unlocked = Lumo::LockerT<T>::UnLock(lockedObject);
    if (testUnlockOnFailedAdd && !unlocked)
        return CFixStatus(unlocked);
    return CFixStatus(false);
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

// Whether some scheme holds a net-class rule whose parent is the class but which the class's own rule
// list leaves out (unlisted). Deleting the class deletes the rules on that list only, so a class
// deleted and made again would leave such a rule behind, naming a deleted class, beside the rule the
// new class gets in that scheme. Only a failed read of the class's own rule list gives its result: a
// rule, a parent or a walk that cannot be read is passed over, so that no unreadable object elsewhere
// stops the repair.
Lumo::Result HasUnlistedRule(const Lumo::ContainerT<const Lumo::INorvNetClass>& netClass, const Lumo::Index& classIndex,
                             bool& unlisted);

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
