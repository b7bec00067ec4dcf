// The call protocol shared by every operation: capture the receiver, count the call, run the fault hooks,
// resolve the receiver and check its kind; plus the failure texts and helpers to fill handles and walks.
#pragma once

#include "Store.h"

namespace Lumo {
namespace detail {

Result FailShared(const std::shared_ptr<const std::string>& text);
Result Fail(const std::string& text);
Result FailEmpty();
Result FailNoRef();
Result FailNotFound(const std::string& name);
Result FailNotChild(uint64_t index);
Result FailWrongKind(uint64_t index);
Result FailNotExist(uint64_t index);
Result FailNotValid(uint64_t index);
Result FailNotLocked(uint64_t index);
Result FailExists(const std::string& name);
Result FailCyclic(uint64_t index);
Result FailInvalidValue(const std::string& text);

// Hook for a call while something may fire (a countdown, next-N or per-object faults), or the first counted.
Result HookArmed(SessionData* s, SnapshotData* table, int32_t key, uint64_t object);

// Counts one call of the operation key and runs the fault hooks; an injected failure is returned.
// object is the index per-object faults are looked up on (table: where its faults live; null for none).
// With nothing armed the call is only counted, here.
inline Result Hook(SessionData* s, SnapshotData* table, int32_t key, uint64_t object)
{
    if (!s) return Result();
    std::vector<uint64_t>& byKey = s->counters.byKey;
    if (s->countdown == 0 && s->failNextByKey.empty() && (!table || table->faults.empty()) &&
        static_cast<size_t>(key) < byKey.size()) {
        ++byKey[static_cast<size_t>(key)];
        ++s->counters.total;
        return Result();
    }
    return HookArmed(s, table, key, object);
}
Result HookSession(SessionData* s, int32_t key);

// The table a record of this index lives in: the session definitions for type 72, else the snapshot.
SnapshotData* TableFor(SessionData* s, SnapshotData* snap, uint64_t index);

// A captured receiver.
struct Ctx {
    SessionData* s = nullptr;
    SnapshotData* snap = nullptr;   // the snapshot of the handle
    SnapshotData* tbl = nullptr;    // the table holding the record
    uint64_t index = 0;
    AcqPtr acq;
    uint32_t slot = 0;

    Ctx() = default;
    explicit Ctx(const IObject& self);
    ObjRecord& R() const { return tbl->records[slot]; }
    Kind K() const { return tbl->records[slot].kind; }

    // Counts and hooks op, then resolves the receiver: it must be live, valid and of one of the kinds.
    Result Enter(int32_t op, uint64_t kinds);
    // As Enter, for write operations: the handle's lock must also be live.
    Result EnterWrite(int32_t op, uint64_t kinds);
    // Successful end of a write.
    Result Done();
};


// Fills handles.
void SetObject(IObject& out, SessionData* s, SnapshotData* snap, uint64_t index);
void SetLocked(IObject& out, SessionData* s, SnapshotData* snap, uint64_t index);   // new own plain lock
template <class T>
void SetC(ContainerT<T>& out, const Ctx& c, uint64_t index) { SetObject(Access::Obj(out), c.s, c.snap, index); }
template <class T>
void SetM(MutableContainerT<T>& out, const Ctx& c, uint64_t index) { SetLocked(Access::Obj(out), c.s, c.snap, index); }
template <class T>
void ResetC(ContainerT<T>& out) { ClearObject(Access::Obj(out)); }
template <class T>
void ResetM(MutableContainerT<T>& out) { ClearObject(Access::Obj(out)); }

// Walks. A filter of kNoFilter passes everything.
constexpr uint32_t kNoFilter = 0xFFFFFFFFu;
void FillIterState(IterState& st, IObject& elem, const Ctx& c, int32_t op, std::vector<uint64_t> items,
                   bool filtered, uint32_t filter);
// As FillIterState over a stored list of the receiver's table, which the walk borrows instead of copying.
void LendIterState(IterState& st, IObject& elem, const Ctx& c, int32_t op, const RefList& list, bool filtered,
                   uint32_t filter);
void ResetIterState(IterState& st, IObject& elem, const Ctx& c, int32_t op);
template <class T>
void ResetI(IteratorT<T>& out, const Ctx& c, int32_t op) { ResetIterState(Access::State(out), Access::Obj(out), c, op); }
template <class T>
void FillI(IteratorT<T>& out, const Ctx& c, int32_t op, std::vector<uint64_t> items, bool filtered = false,
           uint32_t filter = kNoFilter)
{
    FillIterState(Access::State(out), Access::Obj(out), c, op, std::move(items), filtered, filter);
}
template <class T>
void LendI(IteratorT<T>& out, const Ctx& c, int32_t op, const RefList& list, bool filtered = false,
           uint32_t filter = kNoFilter)
{
    LendIterState(Access::State(out), Access::Obj(out), c, op, list, filtered, filter);
}

// Fails when another owner's lock covers the object (or, for deep, anything it owns).
Result LockConflict(const SnapshotData& snap, uint64_t index, bool deep);

// Records an own lock entry and returns the acquisition for it.
Acquisition* Acquire(SnapshotData& snap, uint64_t index, bool deep);

inline int32_t OpKey(int32_t op, int variant = 0) { return op * 3 + variant; }

}  // namespace detail
}  // namespace Lumo

// The operation id of the enclosing method, looked up once.
#define LUMO_OP(name) static const int32_t op = ::Lumo::detail::OpId(name)
