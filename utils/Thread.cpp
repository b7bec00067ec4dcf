#include "utils/Thread.h"

#include "utils/Mutex.h"
#include "utils/UtilsException.h"

#include <cerrno>
#include <new>
#include <pthread.h>

namespace LumoUtils {

struct ThreadData {
    bool running = false;
    int finished = 0;
    pthread_t threadId{};
    Mutex stateLock;  // guards running and threadId
    Mutex statusLock; // guards finished
};

Thread::Thread() : m_data(new (std::nothrow) ThreadData)
{
    if (!m_data)
        throw UtilsException(UtilsException::NoMemory, "Could not create thread");
}

Thread::~Thread()
{
    if (m_data) {
        Kill();
        delete m_data;
        m_data = nullptr;
    }
}

void* ThreadEntry(void* argument)
{
    if (!argument)
        return nullptr;
    static_cast<Thread*>(argument)->Run();
    return nullptr;
}

extern "C" {
static void* threadEntryTrampoline(void* argument)
{
    return ThreadEntry(argument);
}
}

void Thread::Start()
{
    ScopedLock lock(&m_data->stateLock);
    if (m_data->running)
        return;
    pthread_t id;
    if (pthread_create(&id, nullptr, threadEntryTrampoline, this) != 0)
        throw UtilsException(UtilsException::NoThread);
    m_data->threadId = id;
    m_data->running = true;
}

void Thread::Join()
{
    ScopedLock lock(&m_data->stateLock);
    if (!m_data->running)
        return;
    m_data->running = false;
    const pthread_t id = m_data->threadId;
    lock.unlock();
    // A thread cannot wait for itself (joining oneself is undefined on some systems): it is
    // released instead, so that it does not linger after its end, and the wait is reported failed.
    if (pthread_equal(id, pthread_self())) {
        pthread_detach(id);
        throw UtilsException(UtilsException::ThreadWaitFailed);
    }
    if (pthread_join(id, nullptr) != 0)
        throw UtilsException(UtilsException::ThreadWaitFailed);
}

void Thread::Exit()
{
    ScopedLock lock(&m_data->stateLock);
    if (!m_data->running || !pthread_equal(m_data->threadId, pthread_self()))
        return;
    m_data->running = false;
    lock.unlock();
    // Nobody will join a thread that is no longer marked running.
    pthread_detach(pthread_self());
    pthread_exit(nullptr);
}

void Thread::Kill()
{
    ScopedLock lock(&m_data->stateLock);
    if (!m_data->running)
        return;
    m_data->running = false;
    const pthread_t id = m_data->threadId;
    // Released before waiting: the body may still ask IsRunning.
    lock.unlock();
    if (pthread_equal(id, pthread_self()) || pthread_join(id, nullptr) != 0)
        pthread_detach(id);
}

bool Thread::IsRunning() const
{
    ScopedLock lock(&m_data->stateLock);
    return m_data->running;
}

void Thread::SetFinished(int finished)
{
    ScopedLock lock(&m_data->statusLock);
    m_data->finished = finished;
}

int Thread::IsFinished() const
{
    ScopedLock lock(&m_data->statusLock);
    return m_data->finished;
}

} // namespace LumoUtils
