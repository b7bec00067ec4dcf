#include "utils/Mutex.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using LumoUtils::Mutex;
using LumoUtils::ScopedLock;

// Whether another thread can take the mutex right now (leaves it free again).
bool freeFromOtherThread(Mutex& mutex)
{
    bool taken = false;
    std::thread other([&] {
        taken = mutex.tryLock();
        if (taken)
            mutex.unlock();
    });
    other.join();
    return taken;
}

TEST(MutexTest, TryLockFailsWhileHeldElsewhere)
{
    Mutex mutex;
    EXPECT_TRUE(mutex.tryLock());
    EXPECT_FALSE(freeFromOtherThread(mutex));
    mutex.unlock();
    EXPECT_TRUE(freeFromOtherThread(mutex));
}

TEST(MutexTest, SerialisesConcurrentIncrements)
{
    Mutex mutex;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < 10000; ++i) {
            ScopedLock lock(&mutex);
            ++counter;
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(20000, counter);
}

TEST(ScopedLockTest, HoldsTheMutexUntilDestroyed)
{
    Mutex mutex;
    {
        ScopedLock lock(&mutex);
        EXPECT_FALSE(freeFromOtherThread(mutex));
    }
    EXPECT_TRUE(freeFromOtherThread(mutex));
}

TEST(ScopedLockTest, DeferredLockTakesNothingUntilRelock)
{
    Mutex mutex;
    ScopedLock lock(&mutex, false);
    EXPECT_TRUE(freeFromOtherThread(mutex));
    lock.relock();
    EXPECT_FALSE(freeFromOtherThread(mutex));
}

TEST(ScopedLockTest, UnlockReleasesEarlyAndRelockTakesItBack)
{
    Mutex mutex;
    ScopedLock lock(&mutex);
    lock.unlock();
    EXPECT_TRUE(freeFromOtherThread(mutex));
    lock.unlock(); // a second unlock must not release someone else's hold
    lock.relock();
    lock.relock(); // already held: not entered twice
    EXPECT_FALSE(freeFromOtherThread(mutex));
}

TEST(ScopedLockTest, TryLockReportsWhetherHeld)
{
    Mutex mutex;
    ScopedLock lock(&mutex, false);
    EXPECT_TRUE(lock.tryLock());
    EXPECT_TRUE(lock.tryLock()); // already held by this guard
    lock.unlock();

    mutex.lock();
    ScopedLock other(&mutex, false);
    std::thread contender([&] { EXPECT_FALSE(other.tryLock()); });
    contender.join();
    mutex.unlock();
}

TEST(ScopedLockTest, NullMutexDoesNothing)
{
    ScopedLock lock(nullptr);
    EXPECT_FALSE(lock.tryLock());
    lock.unlock();
    lock.relock();
    EXPECT_FALSE(lock.tryLock());
    ScopedLock deferred(nullptr, true);
    EXPECT_FALSE(deferred.tryLock());
}

} // namespace
