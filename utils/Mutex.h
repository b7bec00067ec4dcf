// Mutex and ScopedLock: a plain (non-recursive) lock and its scoped guard.
// A Mutex may be shared between threads; it must not be locked again by the thread that holds it.
// A ScopedLock belongs to one thread and does not own its Mutex. Failures throw UtilsException
// (NoMemory when the lock cannot be created, MutexLockFailed when locking fails).
#pragma once

namespace LumoUtils {

class MutexImpl;

class Mutex {
public:
    Mutex();
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    void unlock();
    // True when the lock was free and is now held.
    bool tryLock();

private:
    MutexImpl* m_impl; // owned
};

class MutexImpl {
public:
    MutexImpl();
    ~MutexImpl();
    MutexImpl(const MutexImpl&) = delete;
    MutexImpl& operator=(const MutexImpl&) = delete;

    void lock();
    void unlock();
    bool tryLock();

private:
    struct Native;
    Native* m_native; // owned
};

// Holds a Mutex from construction to destruction unless unlocked earlier. A null mutex makes
// every operation a no-op (and tryLock false).
class ScopedLock {
public:
    explicit ScopedLock(Mutex* mutex);
    // Locks only when lockNow is true.
    ScopedLock(Mutex* mutex, bool lockNow);
    ~ScopedLock();
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

    void unlock();
    void relock();
    // Tries to take the lock when it is not held yet; returns whether it is held.
    bool tryLock();

private:
    Mutex* m_mutex; // not owned
    bool m_locked;
};

} // namespace LumoUtils
