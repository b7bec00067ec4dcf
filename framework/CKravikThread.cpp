#include "framework/CKravikThread.h"

#include "framework/CNorvProjectChecker.h"

#include <chrono>
#include <thread>

CKravikThread::CKravikThread(CNorvProjectChecker* checker, const std::string& snapshotName)
    : m_pChecker(checker), m_strSnapshotName(snapshotName)
{
}

CKravikThread::~CKravikThread()
{
    // The members must outlive Run: stop a check that is still going and wait for its end. The
    // stop is repeated because a check that has not started yet clears it when it starts.
    while (IsRunning() && !IsThreadFinished()) {
        Terminate();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Kill();
}

void CKravikThread::Terminate()
{
    if (m_pChecker)
        m_pChecker->Terminate();
}

bool CKravikThread::IsThreadFinished() const
{
    return IsFinished() == 1;
}

void CKravikThread::SetObserver(IKravikThreadNotifier* observer)
{
    m_pObserver = observer;
}

void CKravikThread::Run()
{
    if (!m_pChecker) {
        SetFinished(1);
        OnEndThread();
        return;
    }
    OnStartThread();
    try {
        m_pChecker->Check_NorvLUMO(m_strSnapshotName);
    } catch (...) {
        // The outcome is read from the checker; a throwing test must not end the process.
    }
    SetFinished(1);
    OnEndThread();
}

void CKravikThread::OnEndThread()
{
    if (IKravikThreadNotifier* observer = m_pObserver.load())
        observer->OnEndThread();
}

void CKravikThread::OnStartThread()
{
    if (IKravikThreadNotifier* observer = m_pObserver.load())
        observer->OnStartThread();
}
