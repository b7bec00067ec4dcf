// Helpers shared by the CFixNet sources of this folder, and by nothing else: reading and building
// topology values, the common statuses, pin and from-to counts. They keep no state beyond
// function-static names built on first use (the check runs one repair at a time).
#pragma once

#include "framework/CFixStatus.h"
#include "framework/FixContext.h"
#include "framework/ReadThrough.h"
#include "lumopi/LumoPI.h"
#include "repairs/RepairSupport.h"

#include <string>

namespace CFixNetInternal
{

// Names of the constraints the net repairs write, built on first use.
const Lumo::String& OrderTypeName();   // "ORDER_TYPE"
const Lumo::String& TopoOrderedName(); // "TOPO_ORDERED"

// A text constraint value: kind 3 with the text.
Lumo::ConstraintData TextValue(const Lumo::String& text);

// The repair context's UID manager; null when the current test opened no database.
inline const Lumo::IUIDManager* Uids()
{
    return FixContext::s_fixUIDManager;
}

// The status of a repair that finds no UID manager in the repair context: it calls nothing.
CFixStatus NoDatabase();

// Reads the object's "ORDER_TYPE": the value record and its text. The first failed call's result.
Lumo::Result ReadOrderType(const Lumo::IObjectNorv& object, Lumo::ConstraintData& value, Lumo::String& text);

// A topology as read from an object: the value record (what is passed on) and its text (what is
// compared).
struct Topology
{
    Lumo::ConstraintData value;
    Lumo::String text;
};

// Loose comparison of a topology value with a name: equal under the search options {0}.
bool LooseMatch(const Lumo::String& value, const char* name);

// The number of pins of the kinds selected on the physical net, then of its from-tos.
Lumo::Result CountPins(const Lumo::INorvPhysicalNet& net, const Lumo::BitContainerT<Lumo::ENorvPinType>& kinds,
                       int& count);
Lumo::Result CountFromTos(const Lumo::INorvPhysicalNet& net, int& count);

// Pin-kind selections: the five pin-set kinds, and those with the virtual pin-set pin (10) or the
// virtual pin (6).
Lumo::BitContainerT<Lumo::ENorvPinType> PinSetKinds();
Lumo::BitContainerT<Lumo::ENorvPinType> PinSetAndVirtualPinSetPinKinds();
Lumo::BitContainerT<Lumo::ENorvPinType> PinSetAndVirtualPinKinds();

// How WriteConstraint treats the object's own constraint. Setter: a value that already stands is
// left alone without a lock, and a refused SetValue or AddConstraint gives a silent not fixed.
// Direct: the value is always written, and every failed call gives its result.
enum class WriteMode
{
    Setter,
    Direct
};

// Writes value as the object's own constraint of that name: in place when the object has its own,
// added to the object when it sees the constraint only through a definition or not at all.
// Handles are declared parent first, so that an early return drops the new constraint's lock
// before its owner's.
template <class T>
CFixStatus WriteConstraint(const Lumo::ContainerT<const T>& object, const Lumo::String& name,
                           const Lumo::ConstraintData& value, WriteMode mode);

// Deletes the differential pair on the locked configuration, then synchronises the configuration.
Lumo::Result DeleteDiffPairLocked(Lumo::MutableContainerT<Lumo::INorvConfig>& config, const Lumo::Index& pair);

// Locks the repair context's configuration and hands the two lists to UpdateIncremental (physical
// nets first, electrical nets second). The result of the lock or the update; the unlock is not
// examined.
Lumo::Result UpdateNetsIncrementally(const Lumo::ListT<Lumo::Index>& physNets,
                                     const Lumo::ListT<Lumo::Index>& elecNets);

// Whether a finding's slot names an object of that type (and so is not empty).
inline bool IsIndexOf(const Lumo::Index& index, Lumo::EObjectType type)
{
    return !index.IsEmpty() && index.GetType() == type;
}

// base + "_" + n in decimal: the candidates of the free-name searches.
std::string NumberedName(const std::string& base, int n);

} // namespace CFixNetInternal

// Returns the failed result of a database call from the enclosing repair as its status.
#define CFIXNET_TRY(call)                                                                                  \
    do                                                                                                     \
    {                                                                                                      \
        Lumo::Result cfixnetResult_ = (call);                                                              \
        if (!cfixnetResult_)                                                                               \
            return CFixStatus(cfixnetResult_);                                                             \
    } while (false)

// Reads the object's "ORDER_TYPE" into a Topology; a failed read returns its result from the
// enclosing repair.
#define CFIXNET_READ(object, topology)                                                                     \
    CFIXNET_TRY(CFixNetInternal::ReadOrderType((object), (topology).value, (topology).text))

template <class T>
CFixStatus CFixNetInternal::WriteConstraint(const Lumo::ContainerT<const T>& object, const Lumo::String& name,
                                            const Lumo::ConstraintData& value, WriteMode mode)
{
    const bool setter = mode == WriteMode::Setter;
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    if (object->GetConstraint(constraint, name))
    {
        bool definition = false;
        CFIXNET_TRY(constraint->IsDefinition(definition));
        if (!definition)
        {
            if (setter)
            {
                Lumo::ConstraintData current;
                CFIXNET_TRY(constraint->GetValue(current));
                if (current.GetValueAsString() == value.GetValueAsString())
                    return CFixStatus(true);
            }
            Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
            CFIXNET_TRY(Lumo::LockerT<Lumo::INorvConstraint>::Lock(constraint, locked));
            const Lumo::Result set = locked->SetValue(value);
            if (!setter)
                CFIXNET_TRY(set);
            RepairSupport::UnLockChanged(locked);
            return CFixStatus(static_cast<bool>(set));
        }
    }

    Lumo::MutableContainerT<T> owner;
    CFIXNET_TRY(Lumo::LockerT<T>::Lock(object, owner));
    Lumo::MutableContainerT<Lumo::INorvConstraint> added;
    const Lumo::Result add = owner->AddConstraint(name, value, added);
    if (!add)
    {
        if (!setter)
            return CFixStatus(add);
        CFIXNET_TRY(Lumo::LockerT<T>::UnLock(owner));
        return CFixStatus(false);
    }
    RepairSupport::UnLockChanged(added);
    RepairSupport::UnLockChanged(owner);
    return CFixStatus(true);
}
