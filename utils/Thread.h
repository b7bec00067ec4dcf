// Thread: runs a derived class's Run on one operating-system thread of its own.
// Start, Join, Kill and IsRunning belong to the owner's thread; Run executes on the new thread;
// SetFinished and IsFinished may be called from either. The owner joins the thread before
// destroying the object: a derived class whose Run may still be executing must join (or stop and
// join) in its own destructor, because its members are gone by the time ~Thread runs.
// Failures throw UtilsException (NoMemory, NoThread, ThreadWaitFailed).
#pragma once

namespace LumoUtils {

struct ThreadData;

class Thread {
public:
    Thread();
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts the thread unless it is already marked running. The body runs at most once per
    // Start/Join cycle: running stays set after Run returns, until Join.
    void Start();
    // Waits for the thread's end and releases it; does nothing when not running.
    void Join();
    // Ends the calling thread, which must be this object's thread (from any other thread it does
    // nothing). The thread is released at once, so no Join is needed afterwards. The stack unwinds
    // as for an exception that a catch (...) must rethrow.
    void Exit();
    // Stops tracking the thread: waits for the body to return (it cannot be cut short safely).
    // Called from the thread itself, the thread is released instead. Never throws.
    void Kill();
    bool IsRunning() const;

    void SetFinished(int finished);
    int IsFinished() const;

protected:
    // The body. An exception that leaves it ends the process.
    virtual void Run() = 0;

private:
    friend void* ThreadEntry(void* argument);

    ThreadData* m_data; // owned
};

// The routine every thread starts in: runs the object's body.
void* ThreadEntry(void* argument);

} // namespace LumoUtils
