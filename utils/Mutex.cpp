#include "utils/Mutex.h"

#include "utils/UtilsException.h"

#include <mutex>
#include <new>
#include <system_error>

namespace LumoUtils {

struct MutexImpl::Native {
    std::mutex mutex;
};

MutexImpl::MutexImpl() : m_native(new (std::nothrow) Native)
{
    if (!m_native)
        throw UtilsException(UtilsException::NoMutex);
}

MutexImpl::~MutexImpl()
{
    delete m_native;
}

void MutexImpl::lock()
{
    try {
        m_native->mutex.lock();
    } catch (const std::system_error&) {
        throw UtilsException(UtilsException::MutexLockFailed);
    }
}

void MutexImpl::unlock()
{
    m_native->mutex.unlock();
}

bool MutexImpl::tryLock()
{
    return m_native->mutex.try_lock();
}

Mutex::Mutex() : m_impl(new (std::nothrow) MutexImpl)
{
    if (!m_impl)
        throw UtilsException(UtilsException::NoMemory, "Could not create mutex");
}

Mutex::~Mutex()
{
    delete m_impl;
    m_impl = nullptr;
}

void Mutex::lock()
{
    m_impl->lock();
}

void Mutex::unlock()
{
    m_impl->unlock();
}

bool Mutex::tryLock()
{
    return m_impl->tryLock();
}

ScopedLock::ScopedLock(Mutex* mutex) : ScopedLock(mutex, true) {}

ScopedLock::ScopedLock(Mutex* mutex, bool lockNow) : m_mutex(mutex), m_locked(false)
{
    if (m_mutex && lockNow) {
        m_mutex->lock();
        m_locked = true;
    }
}

ScopedLock::~ScopedLock()
{
    if (m_mutex && m_locked)
        m_mutex->unlock();
    m_mutex = nullptr;
    m_locked = false;
}

void ScopedLock::unlock()
{
    if (m_mutex && m_locked) {
        m_mutex->unlock();
        m_locked = false;
    }
}

void ScopedLock::relock()
{
    if (m_mutex && !m_locked) {
        m_mutex->lock();
        m_locked = true;
    }
}

bool ScopedLock::tryLock()
{
    if (m_mutex && !m_locked)
        m_locked = m_mutex->tryLock();
    return m_locked;
}

} // namespace LumoUtils
