// Handles on database objects: read containers, write (mutable) containers, iterators and the locker.
// A handle holds a binding to its snapshot and an object index; it never owns the object. Calls through an
// empty or dead handle fail; nothing crashes. Handles of one session are not safe to use from two threads at
// once. A handle must not be used after its session is destroyed (a mutable handle may still be destroyed).
#pragma once

#include "lumopi/LumoTypes.h"

#include <type_traits>

namespace Lumo {

class IObject;
class IUIDManager;
class LumoPI;

namespace detail {

struct SessionData;
struct SnapshotData;
struct Acquisition;

// What a handle is bound to: session, snapshot and the object's index.
struct Ref {
    SessionData* session = nullptr;
    SnapshotData* snapshot = nullptr;
    uint64_t index = 0;
};

void AcqAddRef(Acquisition* a);
void AcqRelease(Acquisition* a);

// Shared acquisition token of a mutable handle; the lock is released when the last copy goes.
class AcqPtr {
public:
    AcqPtr() = default;
    explicit AcqPtr(Acquisition* a) : m_a(a) {}  // adopts one reference
    AcqPtr(const AcqPtr& o) : m_a(o.m_a) { if (m_a) AcqAddRef(m_a); }
    AcqPtr(AcqPtr&& o) noexcept : m_a(o.m_a) { o.m_a = nullptr; }
    AcqPtr& operator=(const AcqPtr& o)
    {
        if (o.m_a) AcqAddRef(o.m_a);
        Acquisition* old = m_a;
        m_a = o.m_a;
        if (old) AcqRelease(old);
        return *this;
    }
    AcqPtr& operator=(AcqPtr&& o) noexcept
    {
        if (this != &o) {
            Acquisition* old = m_a;
            m_a = o.m_a;
            o.m_a = nullptr;
            if (old) AcqRelease(old);
        }
        return *this;
    }
    ~AcqPtr() { if (m_a) AcqRelease(m_a); }
    Acquisition* get() const { return m_a; }
    void reset() { if (m_a) { Acquisition* old = m_a; m_a = nullptr; AcqRelease(old); } }

private:
    Acquisition* m_a = nullptr;
};

// What a copy of a walk takes over as it stands: its own list if any, filter, position and source.
struct IterPosition {
    std::shared_ptr<const std::vector<uint64_t>> items;   // own copy (computed lists; a lent list that changed)
    size_t pos = 0;
    uint32_t filter = 0;
    bool filtered = false;
    bool filled = false;     // a GetIter* call succeeded
    int32_t source = -1;     // operation id of the GetIter* call, -1 when never filled
    uint64_t parent = 0;     // the object whose GetIter* made the walk
};

// A walk's list, its filter, its position and the operation that filled it. A walk over a stored list borrows
// the list itself (lent) instead of copying it: the snapshot keeps its borrowers in a chain and, before it
// changes a lent list, gives each of them a copy of the list as it was, so a walk always sees its list as it
// stood when the walk was filled.
struct IterState : IterPosition {
    const uint64_t* lent = nullptr;                       // the stored list's elements, while it stays unchanged
    size_t lentCount = 0;
    SnapshotData* lender = nullptr;                       // the table holding the lent list
    IterState* prevBorrower = nullptr;                    // the lender's chain of walks over lent lists
    IterState* nextBorrower = nullptr;

    // The elements a walk reads: the lent list's or the own copy's.
    struct Elements {
        const uint64_t* p = nullptr;
        size_t n = 0;
        size_t size() const { return n; }
        uint64_t operator[](size_t i) const { return p[i]; }
        const uint64_t* begin() const { return p; }
        const uint64_t* end() const { return p + n; }
    };

    IterState() = default;
    IterState(const IterState& o) { CopyFrom(o); }
    IterState& operator=(const IterState& o)
    {
        if (this != &o) {
            Unborrow();
            CopyFrom(o);
        }
        return *this;
    }
    ~IterState() { Unborrow(); }
    // Whether the walk has a list (lent or its own copy): false before a fill.
    bool HasList() const { return lent || items; }
    // The walked list: the lent one or the own copy; empty without a list.
    Elements List() const
    {
        if (lent) return Elements{lent, lentCount};
        return items ? Elements{items->data(), items->size()} : Elements{};
    }
    // Leaves the lender's chain (the walk then has no list unless it holds a copy).
    void Unborrow()
    {
        if (lender) LeaveLender();
    }

private:
    void CopyFrom(const IterState& o);
    void LeaveLender();
};

struct Access;

Result ContainerIsValid(const IObject& obj, bool requireLive);
Result IteratorIsValid(const IterState& state, const IObject& obj);
Result IteratorGetCount(const IterState& state, const IObject& obj, int& count);
void IteratorAdvance(IterState& state, IObject& obj);
Result LockObject(const IObject& in, IObject& out, bool deep);
Result UnlockObject(IObject& handle);
void ClearObject(IObject& obj);
void CopyReadOnly(const IObject& from, IObject& to);

}  // namespace detail

template <class T>
class LockerT;

// Read handle (used as ContainerT<const IX>). operator-> never returns null: a call through an empty or dead
// container fails.
template <class T>
class ContainerT {
public:
    using Object = std::remove_const_t<T>;

    ContainerT() = default;
    Result IsValid() const { return detail::ContainerIsValid(m_obj, false); }
    explicit operator bool() const { return static_cast<bool>(IsValid()); }
    void Release() { detail::ClearObject(m_obj); }
    const Object* operator->() const { return &m_obj; }
    const Object& operator*() const { return m_obj; }

protected:
    friend struct detail::Access;
    Object m_obj;
};

// Walk over a copy of a list; also a container of its current element.
template <class T>
class IteratorT : public ContainerT<T> {
public:
    IteratorT() = default;
    Result IsValid() const { return detail::IteratorIsValid(m_state, this->m_obj); }
    explicit operator bool() const { return static_cast<bool>(IsValid()); }
    IteratorT& operator++() { detail::IteratorAdvance(m_state, this->m_obj); return *this; }
    IteratorT operator++(int) { IteratorT r(*this); detail::IteratorAdvance(m_state, this->m_obj); return r; }
    Result GetCount(int& count) const { return detail::IteratorGetCount(m_state, this->m_obj, count); }

private:
    friend struct detail::Access;
    detail::IterState m_state;
};

// Write handle, filled by LockerT or by an Add* of a locked parent. Copies share one acquisition.
template <class T>
class MutableContainerT {
public:
    MutableContainerT() = default;
    Result IsValid() const { return detail::ContainerIsValid(m_obj, true); }
    explicit operator bool() const { return static_cast<bool>(IsValid()); }
    void Release() { detail::ClearObject(m_obj); }
    T* operator->() const { return &m_obj; }
    T& operator*() const { return m_obj; }
    ContainerT<const T> ReadOnly() const
    {
        ContainerT<const T> r;
        detail::CopyReadOnly(m_obj, AccessObj(r));
        return r;
    }

private:
    friend struct detail::Access;
    template <class U>
    static IObject& AccessObj(ContainerT<const U>& c);
    mutable T m_obj;
};

// Locks for the session: Lock, DeepLock (the object and everything it owns) and UnLock.
template <class T>
class LockerT {
public:
    static Result Lock(const ContainerT<const T>& in, MutableContainerT<T>& out);
    static Result DeepLock(const ContainerT<const T>& in, MutableContainerT<T>& out);
    static Result UnLock(MutableContainerT<T>& handle);
};

namespace detail {

// Reaches the object inside a handle (for the library and the templates above).
struct Access {
    template <class T>
    static const IObject& Obj(const ContainerT<T>& c) { return c.m_obj; }
    template <class T>
    static IObject& Obj(ContainerT<T>& c) { return c.m_obj; }
    template <class T>
    static IObject& Obj(const MutableContainerT<T>& c) { return c.m_obj; }
    template <class T>
    static IterState& State(IteratorT<T>& it) { return it.m_state; }
    template <class T>
    static const IterState& State(const IteratorT<T>& it) { return it.m_state; }
    static Ref& RefOf(IObject& o);
    static const Ref& RefOf(const IObject& o);
    static AcqPtr& AcqOf(IObject& o);
    static const AcqPtr& AcqOf(const IObject& o);
    static Ref& RefOf(IUIDManager& m);
    static const Ref& RefOf(const IUIDManager& m);
    static SessionData* DataOf(const LumoPI& session);
    static LumoPI* MakeSession(SessionData* data);  // the session takes ownership of data
};

}  // namespace detail

template <class T>
template <class U>
IObject& MutableContainerT<T>::AccessObj(ContainerT<const U>& c)
{
    return detail::Access::Obj(c);
}

template <class T>
Result LockerT<T>::Lock(const ContainerT<const T>& in, MutableContainerT<T>& out)
{
    return detail::LockObject(detail::Access::Obj(in), detail::Access::Obj(out), false);
}

template <class T>
Result LockerT<T>::DeepLock(const ContainerT<const T>& in, MutableContainerT<T>& out)
{
    return detail::LockObject(detail::Access::Obj(in), detail::Access::Obj(out), true);
}

template <class T>
Result LockerT<T>::UnLock(MutableContainerT<T>& handle)
{
    return detail::UnlockObject(detail::Access::Obj(handle));
}

}  // namespace Lumo
