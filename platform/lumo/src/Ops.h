// Helpers shared by the operation sources: kind masks, getters, walks, searches and deletion.
#pragma once

#include "Core.h"

namespace Lumo {
namespace detail {

#define LUMO_K(k) ::Lumo::detail::KindBit(::Lumo::StandIn::Kind::k)

constexpr uint64_t kAllKinds = ~0ull;
uint64_t NorvKinds();   // kinds with constraints (IObjectNorv)

// Fills out with the live object that target names when its kind is allowed; otherwise "no reference".
Result RefTo(const Ctx& c, IObject& out, uint64_t target, uint64_t kinds);
template <class T>
Result RefGet(const Ctx& c, ContainerT<T>& out, uint64_t target, uint64_t kinds)
{
    return RefTo(c, Access::Obj(out), target, kinds);
}

// A live record of this snapshot or null.
inline ObjRecord* Live(const Ctx& c, uint64_t index) { return c.snap ? c.snap->FindLive(index) : nullptr; }
inline bool IsKind(const ObjRecord* r, uint64_t kinds) { return r && (kinds & KindBit(r->kind)); }

// Searches a list of the receiver (or of another record) by name. params without SP_MatchCase fold case.
Result FindInList(const Ctx& c, ListT<NorvObjectInfo>& out, uint32_t slot, Field list, const String& name,
                  const SearchParams& params, uint64_t kinds = kAllKinds);
// Matching entries of a list (slots, in list order, one per occurrence).
std::vector<uint32_t> MatchList(SnapshotData& snap, uint32_t slot, Field list, const std::string& name, bool matchCase);

// Deletes an object as the database does (cascade, list removal); refused when another owner's lock
// covers anything it takes along.
Result DeleteObject(const Ctx& c, uint64_t target);
// Deletes the object when it is a live one of the kinds in the receiver's list; else "not a child".
Result DeleteListed(const Ctx& c, Field list, uint64_t target, uint64_t kinds);
// Deletes every live entry of the receiver's list (of the kinds).
Result DeleteAllListed(const Ctx& c, Field list, uint64_t kinds);

// Slot of a live record of this snapshot, or -1.
inline int64_t LiveSlot(const Ctx& c, uint64_t index)
{
    const int64_t s = c.snap ? c.snap->SlotOfIndex(index) : -1;
    return (s >= 0 && c.snap->records[static_cast<size_t>(s)].Alive()) ? s : -1;
}

// Creates an object owned by owner (placed in the owner's home list) with a name.
uint32_t CreateOwned(SnapshotData& snap, Kind kind, uint64_t owner, const std::string& name);

// True when a handle argument holds a live lock.
inline bool IsLocked(const IObject& o)
{
    Acquisition* a = Access::AcqOf(o).get();
    return a && a->live;
}

// Resolves an interface argument (a container's or handle's object) to a live record of this snapshot.
Result ResolveArg(const Ctx& c, const IObject& arg, uint64_t kinds, bool mustBeLocked, uint32_t& slot);

void RecordCall(SessionData* s, StandIn::Record rec);

inline Result NotImplemented() { return Fail("not implemented"); }

}  // namespace detail
}  // namespace Lumo

namespace Lumo {
namespace detail {

// Scheme synchronisation: the database keeps every scheme's rules in step with the net classes and the
// clearance rules.
uint64_t DesignOf(const SnapshotData& snap, uint64_t index);                 // climbs owners to the Design
uint64_t SchemeOfRule(const SnapshotData& snap, uint64_t rule);               // 0 when the chain breaks or cycles
uint64_t RuleOfClassInScheme(const SnapshotData& snap, uint64_t netClass, uint64_t scheme);
void PopulateScheme(SnapshotData& snap, uint32_t schemeSlot);                 // S1
void SyncNewClass(SnapshotData& snap, uint32_t classSlot);                    // S2
void SyncNewClearRule(SnapshotData& snap, uint32_t ruleSlot);                 // S3
void RenameMapped(SnapshotData& snap, uint32_t slot);                         // S4
void SyncMovedClass(SnapshotData& snap, uint32_t classSlot);                  // S5, after the class moved

}  // namespace detail
}  // namespace Lumo
