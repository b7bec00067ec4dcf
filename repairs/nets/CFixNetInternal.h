// Helpers shared by the CFixNet sources of this folder, and by nothing else: reading and building
// topology values, the common statuses, pin and from-to counts. They keep no state beyond
// function-static names built on first use (the check runs one repair at a time).
#pragma once

#include "framework/CFixStatus.h"
#include "framework/FixContext.h"
#include "lumopi/LumoPI.h"

#include <string>

namespace CFixNetInternal
{

// The constraint names and topology texts the net repairs write or compare.
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

// Deletes the differential pair on the locked configuration, then synchronises the configuration.
Lumo::Result DeleteDiffPairLocked(Lumo::MutableContainerT<Lumo::INorvConfig>& config, const Lumo::Index& pair);

// Locks the repair context's configuration and hands the two lists to UpdateIncremental (physical
// nets first, electrical nets second). The result of the lock or the update; the unlock is not
// examined.
Lumo::Result UpdateNetsIncrementally(const Lumo::ListT<Lumo::Index>& physNets,
                                     const Lumo::ListT<Lumo::Index>& elecNets);

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
