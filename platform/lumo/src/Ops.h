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
// True when the receiver owns t or holds it in the list.
inline bool OwnedOrListed(const Ctx& c, Field list, const ObjRecord& t)
{
    return t.owner == c.index || c.snap->Contains(c.R(), list, t.index);
}
// Deletes a live object of the kinds that the receiver owns or holds in the list; else "not a child".
Result DeleteChild(Ctx& c, Field list, uint64_t target, uint64_t kinds);

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

namespace Lumo {
namespace detail {

// The value of an attribute with this key, or null.
// ConnectPin semantics: the pin leaves its other live parent net's list, joins the net's list and points to it.
void ConnectPinTo(SnapshotData& snap, uint32_t pinSlot, uint32_t netSlot);
// Text of a placeholder index (an unresolved noise-rule end), or null.
const std::string* PlaceholderText(const SnapshotData* snap, uint64_t index);
// The distinct design pins of a flat net's page nets, in page-net order.
std::vector<uint64_t> FlatNetPins(const SnapshotData& snap, const ObjRecord& flatNet);
// A new electrical net for a physical net (AddElectricalNet and UpdateIncremental).
uint32_t NewElectricalNetFor(SnapshotData& snap, uint32_t configSlot, uint32_t physSlot);

}  // namespace detail
}  // namespace Lumo

// Operation bodies that only read one field.
#define LUMO_REF_GETTER(Cls, Method, OutT, Recv, Fld, Targets)                                    \
    Result Cls::Method(ContainerT<const OutT>& out) const                                          \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        ResetC(out);                                                                               \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        return RefGet(c, out, c.snap->GetRef(c.R(), Fld), Targets);                                \
    }

#define LUMO_LIST_ITER(Cls, Method, ElemT, Recv, Fld)                                              \
    Result Cls::Method(IteratorT<const ElemT>& out) const                                          \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        ResetI(out, c, op);                                                                        \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        LendI(out, c, op, c.tbl->GetList(c.R(), Fld));                                             \
        return Result();                                                                           \
    }

#define LUMO_FILTER_ITER(Cls, Method, ElemT, E, Recv, Fld)                                         \
    LUMO_LIST_ITER(Cls, Method, ElemT, Recv, Fld)                                                  \
    Result Cls::Method(IteratorT<const ElemT>& out, const BitContainerT<E>& filter) const          \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        ResetI(out, c, op);                                                                        \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        LendI(out, c, op, c.tbl->GetList(c.R(), Fld), true, filter.GetWord());                     \
        return Result();                                                                           \
    }

#define LUMO_INT_GETTER(Cls, Method, OutT, Recv, Fld)                                              \
    Result Cls::Method(OutT& out) const                                                            \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        out = static_cast<OutT>(c.snap->GetInt(c.R(), Fld));                                       \
        return Result();                                                                           \
    }

// The indexes of a list field, as they stand.
#define LUMO_INDEX_LIST(Cls, Method, Recv, Fld)                                                    \
    Result Cls::Method(ListT<Index>& out) const                                                    \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        out.RemoveAll();                                                                           \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        for (uint64_t i : c.snap->GetList(c.R(), Fld)) out.Add(Index(i));                          \
        return Result();                                                                           \
    }

#define LUMO_TEXT_GETTER(Cls, Method, Recv, Fld)                                                   \
    Result Cls::Method(String& out) const                                                          \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        out = String(c.snap->GetText(c.R(), Fld));                                                 \
        return Result();                                                                           \
    }

// Searches a list field of the receiver by name.
#define LUMO_FIND_IN_LIST(Cls, Method, Recv, Fld)                                                  \
    Result Cls::Method(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        out.RemoveAll();                                                                           \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        return FindInList(c, out, c.slot, Fld, name, params);                                      \
    }

#define LUMO_DELETE_CHILD(Cls, Method, Recv, Fld, Kinds)                                           \
    Result Cls::Method(const Index& index)                                                         \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        if (Result r = c.EnterWrite(op, Recv); !r) return r;                                       \
        return DeleteChild(c, Fld, index.GetValue(), Kinds);                                       \
    }

// Deletes every live entry of the kinds in a list field of the receiver.
#define LUMO_DELETE_ALL(Cls, Method, Recv, Fld, Kinds)                                             \
    Result Cls::Method()                                                                           \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        if (Result r = c.EnterWrite(op, Recv); !r) return r;                                       \
        if (Result r = DeleteAllListed(c, Fld, Kinds); !r) return r;                               \
        return c.Done();                                                                           \
    }

// Renames the receiver, then runs the statement Then (which may use c).
#define LUMO_SET_NAME_THEN(Cls, Recv, Then)                                                        \
    Result Cls::SetName(const String& name)                                                        \
    {                                                                                              \
        LUMO_OP("SetName");                                                                        \
        Ctx c(*this);                                                                              \
        if (Result r = c.EnterWrite(op, Recv); !r) return r;                                       \
        c.snap->SetName(c.slot, name.str());                                                       \
        Then;                                                                                      \
        return c.Done();                                                                           \
    }

#define LUMO_SET_NAME(Cls, Recv) LUMO_SET_NAME_THEN(Cls, Recv, )
