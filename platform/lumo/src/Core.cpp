// Call protocol, failure texts, fault hooks and the handle, walk and lock machinery.
#include "Core.h"

#include <algorithm>

namespace Lumo {
namespace detail {

// ---------------------------------------------------------------------------------------------------------
// Operation names

namespace {
const char* const kOpNames[] = {
#include "OpNames.inc"
};
constexpr size_t kOps = sizeof(kOpNames) / sizeof(kOpNames[0]);

const std::unordered_map<std::string, int32_t>& OpMap()
{
    static const auto m = [] {
        std::unordered_map<std::string, int32_t> r;
        for (size_t i = 0; i < kOps; ++i) r.emplace(kOpNames[i], static_cast<int32_t>(i));
        return r;
    }();
    return m;
}
}  // namespace

int32_t OpId(const std::string& name)
{
    auto it = OpMap().find(name);
    return it == OpMap().end() ? -1 : it->second;
}

const std::string& OpName(int32_t op)
{
    static const std::vector<std::string> names(kOpNames, kOpNames + kOps);
    static const std::string none;
    return (op >= 0 && static_cast<size_t>(op) < kOps) ? names[static_cast<size_t>(op)] : none;
}

size_t OpCount() { return kOps; }

int32_t OpKeyFromName(const std::string& name)
{
    static const char* const suffixes[] = {".IsValid", ".GetCount"};
    for (int v = 0; v < 2; ++v) {
        const std::string suf = suffixes[v];
        if (name.size() > suf.size() && name.compare(name.size() - suf.size(), suf.size(), suf) == 0) {
            const int32_t op = OpId(name.substr(0, name.size() - suf.size()));
            return op < 0 ? -1 : op * 3 + v + 1;
        }
    }
    const int32_t op = OpId(name);
    return op < 0 ? -1 : op * 3;
}

std::string OpKeyName(int32_t key)
{
    if (key < 0) return std::string();
    const std::string& base = OpName(key / 3);
    switch (key % 3) {
    case 1: return base + ".IsValid";
    case 2: return base + ".GetCount";
    default: return base;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Failures

namespace {
std::shared_ptr<const std::string> Shared(const char* text) { return std::make_shared<const std::string>(text); }
}  // namespace

Result Fail(const std::string& text) { return FailShared(std::make_shared<const std::string>(text)); }
Result FailEmpty()
{
    static const auto t = Shared("empty container");
    return FailShared(t);
}
Result FailNoRef()
{
    static const auto t = Shared("no reference");
    return FailShared(t);
}
Result FailNotFound(const std::string& name) { return Fail("not found: " + name); }
Result FailNotChild(uint64_t index) { return Fail("not a child of this object: " + IndexText(index)); }
Result FailWrongKind(uint64_t index) { return Fail("wrong object kind: " + IndexText(index)); }
Result FailNotExist(uint64_t index) { return Fail("object does not exist: " + IndexText(index)); }
Result FailNotValid(uint64_t index) { return Fail("object is not valid: " + IndexText(index)); }
Result FailNotLocked(uint64_t index) { return Fail("not locked: " + IndexText(index)); }
Result FailExists(const std::string& name) { return Fail("already exists: " + name); }
Result FailCyclic(uint64_t index) { return Fail("cyclic hierarchy: " + IndexText(index)); }
Result FailInvalidValue(const std::string& text) { return Fail("invalid value: " + text); }

// ---------------------------------------------------------------------------------------------------------
// Counting and faults

namespace {

Result Injected(SessionData* s, int32_t key, uint64_t object)
{
    const std::string name = OpKeyName(key);
    s->fired.push_back(StandIn::Faults::FiredEntry{name, Index(object)});
    return Fail("injected failure: " + name);
}

bool TakeFault(std::vector<FaultEntry>& entries, int32_t key)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        FaultEntry& e = entries[i];
        if (e.key != key) continue;
        if (e.count < 0) return true;
        if (e.count == 0) continue;
        if (--e.count == 0) entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
        return true;
    }
    return false;
}

// Counts the call and runs the countdown and next-N hooks.
bool GlobalHooks(SessionData* s, int32_t key)
{
    Counters& c = s->counters;
    if (c.byKey.size() <= static_cast<size_t>(key)) c.byKey.resize(OpCount() * 3, 0);
    ++c.byKey[static_cast<size_t>(key)];
    ++c.total;
    if (s->countdown > 0 && --s->countdown == 0) return true;
    if (!s->failNextByKey.empty() && s->failNextByKey[static_cast<size_t>(key)] > 0) {
        --s->failNextByKey[static_cast<size_t>(key)];
        auto it = s->failNext.find(OpKeyName(key));
        if (it != s->failNext.end() && --it->second <= 0) s->failNext.erase(it);
        return true;
    }
    return false;
}

}  // namespace

Result HookArmed(SessionData* s, SnapshotData* table, int32_t key, uint64_t object)
{
    if (!s) return Result();
    if (GlobalHooks(s, key)) return Injected(s, key, object);
    if (table && !table->faults.empty()) {
        auto it = table->faults.find(object);
        if (it != table->faults.end() && TakeFault(it->second, key)) {
            if (it->second.empty()) table->faults.erase(it);
            return Injected(s, key, object);
        }
    }
    return Result();
}

Result HookSession(SessionData* s, int32_t key)
{
    if (GlobalHooks(s, key)) return Injected(s, key, 0);
    if (!s->sessionFaults.empty() && TakeFault(s->sessionFaults, key)) return Injected(s, key, 0);
    return Result();
}

SnapshotData* TableFor(SessionData* s, SnapshotData* snap, uint64_t index)
{
    if (TypeOf(index) == OT_NorvConstraintDef) return s ? s->defs.get() : nullptr;
    return snap;
}

// ---------------------------------------------------------------------------------------------------------
// Receiver resolution

Ctx::Ctx(const IObject& self)
{
    const Ref& r = Access::RefOf(self);
    s = r.session;
    snap = r.snapshot;
    index = r.index;
    acq = Access::AcqOf(self);
    tbl = TableFor(s, snap, index);
}

namespace {
Result Resolve(Ctx& c, uint64_t kinds)
{
    if (!c.s || c.index == 0 || !c.tbl) return FailEmpty();
    const int64_t slot = c.tbl->SlotOfIndex(c.index);
    if (slot < 0 || !c.tbl->records[static_cast<size_t>(slot)].Alive()) return FailNotExist(c.index);
    c.slot = static_cast<uint32_t>(slot);
    const ObjRecord& r = c.R();
    if (!(r.flags & kValid)) return FailNotValid(c.index);
    if (!(kinds & KindBit(r.kind))) return FailWrongKind(c.index);
    return Result();
}
}  // namespace

Result Ctx::Enter(int32_t op, uint64_t kinds)
{
    if (Result r = Hook(s, tbl, OpKey(op), index); !r) return r;
    return Resolve(*this, kinds);
}

Result Ctx::EnterWrite(int32_t op, uint64_t kinds)
{
    if (Result r = Enter(op, kinds); !r) return r;
    if (!acq.get() || !acq.get()->live) return FailNotLocked(index);
    return Result();
}

Result Ctx::Done()
{
    if (s) s->modified = true;
    return Result();
}


// ---------------------------------------------------------------------------------------------------------
// Handles

void SetObject(IObject& out, SessionData* s, SnapshotData* snap, uint64_t index)
{
    Ref& r = Access::RefOf(out);
    r.session = s;
    r.snapshot = snap;
    r.index = index;
    Access::AcqOf(out).reset();
}

void SetLocked(IObject& out, SessionData* s, SnapshotData* snap, uint64_t index)
{
    SetObject(out, s, snap, index);
    Access::AcqOf(out) = AcqPtr(Acquire(*snap, index, false));
}

void ClearObject(IObject& obj) { SetObject(obj, nullptr, nullptr, 0); }

void CopyReadOnly(const IObject& from, IObject& to)
{
    const Ref r = Access::RefOf(from);
    SetObject(to, r.session, r.snapshot, r.index);
}

Result ContainerIsValid(const IObject& obj, bool requireLive)
{
    LUMO_OP("IsValid");
    Ctx c(obj);
    if (Result r = c.Enter(op, ~0ull); !r) return r;
    if (requireLive && (!c.acq.get() || !c.acq.get()->live)) return FailNotLocked(c.index);
    return Result();
}

// ---------------------------------------------------------------------------------------------------------
// Walks

namespace {

// The live record of the element when it passes the walk's filter, else null. A filtered walk asks the element's
// tag first, so that the elements it passes over are never read (an unfiltered one reads every record it
// yields anyway).
const ObjRecord* Passing(const IterState& st, const Ref& ref, uint64_t index)
{
    const SnapshotData* t = TableFor(ref.session, ref.snapshot, index);
    if (!t) return nullptr;
    if (const uint16_t tag = st.filtered ? t->TagOf(index) : 0) {
        if (!(tag & kTagAlive) || !TagPasses(tag, st.filter)) return nullptr;
        return &t->records[(index & kSerialMask) - 1];
    }
    const ObjRecord* r = t->FindLive(index);
    if (!r || !st.filtered) return r;
    const int64_t v = SnapshotData::FilterValue(*r);
    return v >= 0 && v < 32 && ((st.filter >> v) & 1u) ? r : nullptr;
}

bool Passes(const IterState& st, const Ref& ref, uint64_t index) { return Passing(st, ref, index) != nullptr; }

// Starts loading what a walk reads first of an element: its tag in a filtered walk, else its record.
void PrefetchElement(const IterState& st, const Ref& ref, uint64_t index)
{
    const SnapshotData* t = TableFor(ref.session, ref.snapshot, index);
    if (!t) return;
    if (st.filtered)
        t->PrefetchTag(index);
    else
        t->Prefetch(index);
}

// Starts loading what a walk reads second of the element after the current one, whose first read was fetched
// the step before: the record of an element that passes a filtered walk (its tag tells), else the field block
// of its record.
void PrefetchSecond(const IterState& st, const Ref& ref, uint64_t index)
{
    const SnapshotData* t = TableFor(ref.session, ref.snapshot, index);
    if (!t) return;
    if (st.filtered) {
        const uint16_t tag = t->TagOf(index);
        if ((tag & kTagAlive) && TagPasses(tag, st.filter)) __builtin_prefetch(&t->records[(index & kSerialMask) - 1]);
        return;
    }
    const uint64_t serial = index & kSerialMask;
    if (serial - 1 < t->records.size()) PrefetchFields(t->records[serial - 1]);
}

// Moves to the first element at or after st.pos that passes. The caller now reads the current element, whose
// record and field block were fetched during the steps before; the next two elements are fetched a step ahead.
void Position(IterState& st, IObject& elem)
{
    Ref& ref = Access::RefOf(elem);
    const IterState::Elements items = st.List();
    const ObjRecord* current = nullptr;
    while (st.pos < items.size() && !(current = Passing(st, ref, items[st.pos]))) ++st.pos;
    ref.index = st.pos < items.size() ? items[st.pos] : 0;
    if (current) PrefetchFields(*current);
    if (st.pos + 1 < items.size()) PrefetchSecond(st, ref, items[st.pos + 1]);
    if (st.pos + 2 < items.size()) PrefetchElement(st, ref, items[st.pos + 2]);
}

int32_t IterKey(const IterState& st, int variant)
{
    static const int32_t anon = OpId("IteratorT");
    return OpKey(st.source >= 0 ? st.source : anon, variant);
}

SnapshotData* ParentTable(const Ref& ref, const IterState& st)
{
    if (st.source < 0) return nullptr;
    if (st.parent == 0) return nullptr;
    return TableFor(ref.session, ref.snapshot, st.parent);
}

}  // namespace

void ResetIterState(IterState& st, IObject& elem, const Ctx& c, int32_t op)
{
    st = IterState();
    st.source = op;
    st.parent = c.index;
    SetObject(elem, c.s, c.snap, 0);
}

namespace {
// Most lists walked are empty (from-tos, pin pairs, pins of one kind): they share one empty copy.
const std::shared_ptr<const std::vector<uint64_t>>& SharedEmpty()
{
    static const std::shared_ptr<const std::vector<uint64_t>> empty = std::make_shared<const std::vector<uint64_t>>();
    return empty;
}

void StartWalk(IterState& st, IObject& elem, const Ctx& c, int32_t op, bool filtered, uint32_t filter)
{
    st.pos = 0;
    st.filter = filter;
    st.filtered = filtered;
    st.filled = true;
    st.source = op;
    st.parent = c.index;
    SetObject(elem, c.s, c.snap, 0);
    // What the walk reads first of its first two elements goes out at once: Position then waits for the first
    // element while the second is on its way, instead of fetching the second only once it has the first.
    const IterState::Elements items = st.List();
    if (items.size() > 1) {
        const Ref& ref = Access::RefOf(elem);
        PrefetchElement(st, ref, items[0]);
        PrefetchElement(st, ref, items[1]);
    }
    Position(st, elem);
}
}  // namespace

void FillIterState(IterState& st, IObject& elem, const Ctx& c, int32_t op, std::vector<uint64_t> items,
                   bool filtered, uint32_t filter)
{
    st.Unborrow();
    st.items = items.empty() ? SharedEmpty() : std::make_shared<const std::vector<uint64_t>>(std::move(items));
    StartWalk(st, elem, c, op, filtered, filter);
}

void LendIterState(IterState& st, IObject& elem, const Ctx& c, int32_t op, const RefList& list, bool filtered,
                   uint32_t filter)
{
    if (list.empty() || !c.tbl) {
        st.Unborrow();
        st.items = SharedEmpty();
    } else {
        c.tbl->Lend(st, list.data(), list.size());
    }
    StartWalk(st, elem, c, op, filtered, filter);
}

void IterState::CopyFrom(const IterState& o)
{
    static_cast<IterPosition&>(*this) = o;
    if (o.lender) o.lender->Lend(*this, o.lent, o.lentCount);
}

void IterState::LeaveLender()
{
    if (prevBorrower)
        prevBorrower->nextBorrower = nextBorrower;
    else
        lender->borrowers = nextBorrower;
    if (nextBorrower) nextBorrower->prevBorrower = prevBorrower;
    lender = nullptr;
    lent = nullptr;
    lentCount = 0;
    prevBorrower = nullptr;
    nextBorrower = nullptr;
}

Result IteratorIsValid(const IterState& st, const IObject& obj)
{
    const Ref& ref = Access::RefOf(obj);
    if (ref.session) {
        if (Result r = Hook(ref.session, ParentTable(ref, st), IterKey(st, 1), st.parent); !r) return r;
    }
    const IterState::Elements items = st.List();
    if (!st.filled || !st.HasList() || st.pos >= items.size()) return FailEmpty();
    const uint64_t index = items[st.pos];
    if (!Passes(st, ref, index)) return FailNotExist(index);
    return Result();
}

Result IteratorGetCount(const IterState& st, const IObject& obj, int& count)
{
    const Ref& ref = Access::RefOf(obj);
    if (ref.session) {
        if (Result r = Hook(ref.session, ParentTable(ref, st), IterKey(st, 2), st.parent); !r) return r;
    }
    if (!st.filled || !st.HasList()) return FailEmpty();
    int n = 0;
    for (uint64_t index : st.List())
        if (Passes(st, ref, index)) ++n;
    count = n;
    return Result();
}

void IteratorAdvance(IterState& st, IObject& obj)
{
    if (!st.filled || !st.HasList()) return;
    if (st.pos < st.List().size()) ++st.pos;
    Position(st, obj);
}

// ---------------------------------------------------------------------------------------------------------
// Locks

void AcqAddRef(Acquisition* a) { a->refs.fetch_add(1, std::memory_order_relaxed); }

namespace {
void ReleaseEntry(SnapshotData& snap, uint64_t index, bool deep)
{
    for (size_t i = 0; i < snap.locks.size(); ++i) {
        LockRec& e = snap.locks[i];
        if (e.object != index || !e.own || e.deep != deep || e.count == 0) continue;
        if (--e.count == 0) snap.locks.erase(snap.locks.begin() + static_cast<std::ptrdiff_t>(i));
        return;
    }
}

void ReleaseAcq(Acquisition* a)
{
    if (!a->live) return;
    a->live = false;
    if (auto snap = a->snapshot.lock()) ReleaseEntry(*snap, a->object, a->deep);
}

bool IsAncestor(const SnapshotData& snap, uint64_t ancestor, uint64_t index)
{
    // true when ancestor is on the owner chain above index (index itself excluded)
    const ObjRecord* r = snap.Find(index);
    size_t steps = 0;
    while (r && r->owner && steps++ <= snap.records.size()) {
        if (r->owner == ancestor) return true;
        r = snap.Find(r->owner);
    }
    return false;
}

const LockRec* Conflict(const SnapshotData& snap, uint64_t index, bool deep)
{
    if (snap.locks.empty()) return nullptr;
    for (const LockRec& e : snap.locks) {
        if (e.own) continue;
        if (e.object == index) return &e;
        if (e.deep && IsAncestor(snap, e.object, index)) return &e;
        if (deep && IsAncestor(snap, index, e.object)) return &e;
    }
    return nullptr;
}
}  // namespace

void AcqRelease(Acquisition* a)
{
    if (a->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        ReleaseAcq(a);
        delete a;
    }
}

Acquisition* Acquire(SnapshotData& snap, uint64_t index, bool deep)
{
    bool found = false;
    for (LockRec& e : snap.locks) {
        if (e.object == index && e.own && e.deep == deep) {
            ++e.count;
            found = true;
            break;
        }
    }
    if (!found) {
        LockRec e;
        e.object = index;
        e.address = snap.session->identity.address;
        e.subClient = snap.session->identity.subClient;
        e.deep = deep;
        e.own = true;
        e.count = 1;
        snap.locks.push_back(std::move(e));
    }
    auto* a = new Acquisition();
    a->object = index;
    a->deep = deep;
    for (const auto& sp : snap.session->snapshots) {
        if (sp.get() == &snap) a->snapshot = sp;
    }
    return a;
}

Result LockConflict(const SnapshotData& snap, uint64_t index, bool deep)
{
    if (const LockRec* e = Conflict(snap, index, deep))
        return Fail("locked by another sub-client: " + e->address + ", " + e->subClient);
    return Result();
}

Result LockObject(const IObject& in, IObject& out, bool deep)
{
    LUMO_OP("Lock");
    static const int32_t deepOp = OpId("DeepLock");
    Ctx c(in);
    ClearObject(out);
    if (Result r = Hook(c.s, c.tbl, OpKey(deep ? deepOp : op), c.index); !r) return r;
    if (!c.s || c.index == 0 || !c.tbl) return FailEmpty();
    const int64_t slot = c.tbl->SlotOfIndex(c.index);
    if (slot < 0 || !c.tbl->records[static_cast<size_t>(slot)].Alive()) return FailNotExist(c.index);
    const ObjRecord& r = c.tbl->records[static_cast<size_t>(slot)];
    if (!(r.flags & kValid)) return FailNotValid(c.index);
    if (r.kind == Kind::ConstraintDef || c.tbl != c.snap) return FailWrongKind(c.index);
    if (Result rc = LockConflict(*c.snap, c.index, deep); !rc) return rc;
    SetObject(out, c.s, c.snap, c.index);
    Access::AcqOf(out) = AcqPtr(Acquire(*c.snap, c.index, deep));
    return Result();
}

Result UnlockObject(IObject& handle)
{
    LUMO_OP("UnLock");
    Ctx c(handle);
    if (Result r = Hook(c.s, c.tbl, OpKey(op), c.index); !r) return r;
    if (Acquisition* a = Access::AcqOf(handle).get()) ReleaseAcq(a);
    return Result();
}

}  // namespace detail
}  // namespace Lumo
