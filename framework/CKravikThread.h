// CKravikThread: runs one check of a CNorvProjectChecker on a worker thread. The host constructs
// it, may set a notifier, calls Start (thread base), waits for OnEndThread or polls
// IsThreadFinished, calls Join and then reads the results from the checker. One object serves one
// run. Run and every callback execute on the worker thread; Terminate, IsThreadFinished and
// SetObserver belong to the host's thread. Destroying a thread whose check still runs stops the
// check and waits for it. Neither the checker nor the notifier is owned.
#pragma once

#include "framework/IKravikThreadNotifier.h"

#include "utils/Thread.h"

#include <atomic>
#include <string>

class CNorvProjectChecker;

class CKravikThread : public LumoUtils::Thread, public IKravikThreadNotifier
{
public:
    // May throw LumoUtils::UtilsException when the thread data cannot be made.
    CKravikThread(CNorvProjectChecker* checker, const std::string& snapshotName);
    ~CKravikThread() override;

    // Asks the checker to stop before its next test.
    virtual void Terminate();
    bool IsThreadFinished() const;
    void SetObserver(IKravikThreadNotifier* observer);
    // The text of the exception that ended the check, empty when none did. Read it once the
    // thread is finished (after Join, or once IsThreadFinished answers true).
    std::string GetFailure() const;

protected:
    void Run() override;
    void OnEndThread() override;
    void OnStartThread() override;

private:
    CNorvProjectChecker* m_pChecker;                  // not owned; may be null
    std::atomic<IKravikThreadNotifier*> m_pObserver{nullptr}; // not owned
    std::string m_strSnapshotName;
    std::string m_strFailure; // written by Run before the thread is marked finished
};
