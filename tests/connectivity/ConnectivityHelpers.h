// Small helpers that several connectivity tests share: the implicit-net name rule, case folding,
// reading a constraint's value as text, a physical net's pin indexes and the ForwardPCB component
// search of a hierarchy.
// Stateless free functions; safe from any thread.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include "lumopi/LumoPI.h"

#include <string>
#include <unordered_set>

namespace connectivity
{

// Constraint names and values that several tests compare (exact, case-sensitive).
extern const char* const ORDER_TYPE;
extern const char* const TOPO_ORDERED;
extern const char* const ANALOG;
extern const char* const TOPOLOGY_CUSTOM;
extern const char* const TOPOLOGY_COMPLEX;

// True when the first 7 characters are "(net0)-" without regard to case.
bool isImplicitNetName(const char* name);
inline bool isImplicitNetName(const std::string& name) { return isImplicitNetName(name.c_str()); }

// Every byte passed through toupper as an unsigned char.
std::string toUpperText(const std::string& text);

// The value of the named constraint of the object as text; false (out unchanged) when the
// constraint or its value cannot be read.
bool readConstraintText(const Lumo::IObjectNorv& object, const char* name, std::string& out);

// Reads the object's "ORDER_TYPE" as text: a missing constraint is silent, a failed value read calls
// onValueFailure(). False when no value was read.
template <class T, class OnFailure>
bool readOrderTypeValue(const Lumo::ContainerT<const T>& object, std::string& value, OnFailure onValueFailure)
{
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    if (!object->GetConstraint(constraint, Lumo::String(ORDER_TYPE)))
        return false;
    Lumo::String text;
    Lumo::EConstraintType type;
    if (!constraint->GetValueByString(text, type)) {
        onValueFailure();
        return false;
    }
    value = text.str();
    return true;
}

// Reads the object's "ORDER_TYPE" as text for a test: a failed index read raises indexCode (code
// only), a missing constraint is silent, a failed value read raises valueCode, with the object's
// index unless valueCodeOnly. False when no value was read.
template <class T>
bool readOrderType(CNorvDetailChecker& test, const Lumo::ContainerT<const T>& object, std::string& value,
                   int indexCode, int valueCode, bool valueCodeOnly = false)
{
    Lumo::Index index;
    if (!object->GetIndex(index)) {
        test.raiseError(indexCode);
        return false;
    }
    return readOrderTypeValue(object, value, [&] {
        if (valueCodeOnly)
            test.raiseError(valueCode);
        else
            test.raiseError(valueCode, index);
    });
}

// The indexes of a physical net's pins of the given kinds, read in one walk that stops at the first
// pin whose index cannot be read (the pins before it are kept).
struct NetPinIndexes
{
    bool iteratorFailed = false;
    bool indexFailed = false;
    std::unordered_set<Lumo::Index> pins;
};
NetPinIndexes readNetPinIndexes(const Lumo::INorvPhysicalNet& net, const Lumo::BitContainerT<Lumo::ENorvPinType>& kinds);

// True when a component among the hierarchy indexes, other than skip, carries the ForwardPCB type;
// a component that cannot be fetched is passed over.
bool hierarchyHasForwardPcbComp(const Lumo::IUIDManager& uidManager, const Lumo::ListT<Lumo::Index>& hierarchy,
                                Lumo::Index skip = Lumo::Index());

} // namespace connectivity
