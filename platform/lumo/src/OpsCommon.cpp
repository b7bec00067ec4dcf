// Helpers shared by the operation sources.
#include "Ops.h"

#include <algorithm>
#include <unordered_set>

namespace Lumo {
namespace detail {

uint64_t NorvKinds()
{
    static const uint64_t mask = [] {
        uint64_t m = 0;
        for (size_t k = 0; k < kKindCount; ++k)
            if (InfoOf(static_cast<Kind>(k)).norv) m |= 1ull << k;
        return m;
    }();
    return mask;
}

Result RefTo(const Ctx& c, IObject& out, uint64_t target, uint64_t kinds)
{
    if (target == 0 || target == kUnsetRef) return FailNoRef();
    SnapshotData* t = TableFor(c.s, c.snap, target);
    const ObjRecord* r = t ? t->FindLive(target) : nullptr;
    if (!IsKind(r, kinds)) return FailNoRef();
    // The caller reads the object next.
    PrefetchFields(*r);
    SetObject(out, c.s, c.snap, target);
    return Result();
}

std::vector<uint32_t> MatchList(SnapshotData& snap, uint32_t slot, Field list, const std::string& name, bool matchCase)
{
    std::vector<uint32_t> out;
    const auto& items = snap.GetList(snap.records[slot], list);
    if (items.size() > 16) {
        const NameIndex& idx = snap.IndexOfList(slot, list);
        auto it = idx.byFolded.find(FoldName(name));
        if (it == idx.byFolded.end()) return out;
        std::vector<std::pair<uint64_t, uint32_t>> hits;
        for (const auto& p : it->second) {
            const ObjRecord& r = snap.records[p.second];
            if (!r.Alive()) continue;
            if (matchCase && r.name != name) continue;
            hits.push_back(p);
        }
        std::sort(hits.begin(), hits.end());
        for (const auto& p : hits) out.push_back(p.second);
        return out;
    }
    const std::string folded = matchCase ? std::string() : FoldName(name);
    for (uint64_t i : items) {
        const int64_t s = snap.SlotOfIndex(i);
        if (s < 0) continue;
        const ObjRecord& r = snap.records[static_cast<size_t>(s)];
        if (!r.Alive()) continue;
        if (matchCase ? r.name == name : (r.name.size() == name.size() && FoldName(r.name) == folded))
            out.push_back(static_cast<uint32_t>(s));
    }
    return out;
}

Result FindInList(const Ctx& c, ListT<NorvObjectInfo>& out, uint32_t slot, Field list, const String& name,
                  const SearchParams& params, uint64_t kinds)
{
    for (uint32_t s : MatchList(*c.snap, slot, list, name.str(), params.Contains(SP_MatchCase))) {
        const ObjRecord& r = c.snap->records[s];
        if (!(kinds & KindBit(r.kind))) continue;
        out.Add(NorvObjectInfo{Index(r.index), String(r.name)});
    }
    return Result();
}

namespace {
// Erases a collected deletion set, or nothing when another owner's lock covers any of it.
Result EraseUnlessLocked(const Ctx& c, const std::vector<uint32_t>& set)
{
    for (uint32_t x : set) {
        if (Result r = LockConflict(*c.snap, c.snap->records[x].index, false); !r) return r;
    }
    c.snap->Erase(set);
    if (c.s) c.s->modified = true;
    return Result();
}
}  // namespace

Result DeleteObject(const Ctx& c, uint64_t target)
{
    const int64_t slot = LiveSlot(c, target);
    if (slot < 0) return FailNotExist(target);
    return EraseUnlessLocked(c, c.snap->CollectDeletion(static_cast<uint32_t>(slot)));
}

Result DeleteChild(Ctx& c, Field list, uint64_t target, uint64_t kinds)
{
    const ObjRecord* t = Live(c, target);
    if (!t) return FailNotExist(target);
    if (!IsKind(t, kinds) || !OwnedOrListed(c, list, *t)) return FailNotChild(target);
    if (Result r = DeleteObject(c, target); !r) return r;
    return c.Done();
}

Result DeleteListed(const Ctx& c, Field list, uint64_t target, uint64_t kinds)
{
    const ObjRecord* t = Live(c, target);
    if (!t) return FailNotExist(target);
    if (!IsKind(t, kinds) || !c.snap->Contains(c.R(), list, target)) return FailNotChild(target);
    return DeleteObject(c, target);
}

Result DeleteAllListed(const Ctx& c, Field list, uint64_t kinds)
{
    // One set for all entries, so that a foreign lock anywhere refuses the whole call with nothing deleted.
    std::vector<uint32_t> set;
    std::unordered_set<uint32_t> seen;
    for (uint64_t i : c.snap->GetList(c.R(), list)) {
        const int64_t slot = LiveSlot(c, i);
        if (slot < 0 || !IsKind(&c.snap->records[static_cast<size_t>(slot)], kinds)) continue;
        if (seen.count(static_cast<uint32_t>(slot))) continue;
        for (uint32_t x : c.snap->CollectDeletion(static_cast<uint32_t>(slot)))
            if (seen.insert(x).second) set.push_back(x);
    }
    return EraseUnlessLocked(c, set);
}

uint32_t CreateOwned(SnapshotData& snap, Kind kind, uint64_t owner, const std::string& name)
{
    const uint32_t slot = snap.Create(kind);
    snap.records[slot].name = name;
    snap.Place(slot, owner);
    return slot;
}

Result ResolveArg(const Ctx& c, const IObject& arg, uint64_t kinds, bool mustBeLocked, uint32_t& slot)
{
    const Ref& ref = Access::RefOf(arg);
    if (!ref.session || ref.index == 0) return FailEmpty();
    if (ref.snapshot != c.snap) return FailNotChild(ref.index);
    const int64_t s = LiveSlot(c, ref.index);
    if (s < 0) return FailNotExist(ref.index);
    const ObjRecord& r = c.snap->records[static_cast<size_t>(s)];
    if (!(r.flags & kValid)) return FailNotValid(ref.index);
    if (!(kinds & KindBit(r.kind))) return FailWrongKind(ref.index);
    if (mustBeLocked && !IsLocked(arg)) return FailNotLocked(ref.index);
    slot = static_cast<uint32_t>(s);
    return Result();
}

void RecordCall(SessionData* s, StandIn::Record rec)
{
    if (s) s->calls.push_back(std::move(rec));
}

}  // namespace detail
}  // namespace Lumo

namespace Lumo {
namespace detail {

const std::string* PlaceholderText(const SnapshotData* snap, uint64_t index)
{
    if (TypeOf(index) != kPlaceholderType || !snap) return nullptr;
    const uint64_t n = index & kSerialMask;
    if (n == 0 || n > snap->placeholders.size()) return nullptr;
    return &snap->placeholders[n - 1];
}

void ConnectPinTo(SnapshotData& snap, uint32_t pinSlot, uint32_t netSlot)
{
    const uint64_t pin = snap.records[pinSlot].index;
    const uint64_t net = snap.records[netSlot].index;
    const uint64_t old = snap.GetRef(snap.records[pinSlot], Field::parentPhysicalNet);
    if (old != net) {
        const int64_t os = snap.SlotOfIndex(old);
        if (os >= 0 && snap.records[static_cast<size_t>(os)].Alive() &&
            snap.records[static_cast<size_t>(os)].kind == Kind::PhysicalNet)
            snap.RemoveFromList(static_cast<uint32_t>(os), Field::pins, pin);
    }
    if (!snap.Contains(snap.records[netSlot], Field::pins, pin)) snap.Append(netSlot, Field::pins, pin);
    snap.SetRef(pinSlot, Field::parentPhysicalNet, net);
}

uint32_t NewElectricalNetFor(SnapshotData& snap, uint32_t configSlot, uint32_t physSlot)
{
    const uint64_t config = snap.records[configSlot].index;
    const std::string base = snap.records[physSlot].name;
    // unique among the live electrical nets of the configuration, compared ASCII case-insensitively
    std::string name = base;
    for (int n = 1; !MatchList(snap, configSlot, Field::electricalNets, name, false).empty(); ++n)
        name = base + "_" + std::to_string(n);
    const uint32_t e = CreateOwned(snap, Kind::ElectricalNet, config, name);
    const uint64_t enet = snap.records[e].index;
    const uint64_t phys = snap.records[physSlot].index;
    const uint64_t old = snap.GetRef(snap.records[physSlot], Field::parentElectricalNet);
    const int64_t os = snap.SlotOfIndex(old);
    if (os >= 0 && snap.records[static_cast<size_t>(os)].Alive() &&
        snap.records[static_cast<size_t>(os)].kind == Kind::ElectricalNet)
        snap.RemoveFromList(static_cast<uint32_t>(os), Field::physicalNets, phys);
    snap.Append(e, Field::physicalNets, phys);
    snap.SetRef(physSlot, Field::parentElectricalNet, enet);
    // the first top-level "(All)" constraint class of the design
    const uint64_t design = snap.GetRef(snap.records[configSlot], Field::design);
    const int64_t ds = snap.SlotOfIndex(design);
    if (ds >= 0 && snap.records[static_cast<size_t>(ds)].Alive()) {
        for (uint64_t cc : snap.GetList(snap.records[static_cast<size_t>(ds)], Field::constraintClasses)) {
            const ObjRecord* r = snap.FindLive(cc);
            if (r && r->kind == Kind::ConstraintClass && r->name == "(All)") {
                snap.SetRef(e, Field::constraintClass, cc);
                break;
            }
        }
    }
    return e;
}

}  // namespace detail
}  // namespace Lumo
