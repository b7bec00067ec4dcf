#include "framework/CKravikThread.h"

#include "framework/CNorvProjectChecker.h"

#include <chrono>
#include <exception>
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

std::string CKravikThread::GetFailure() const
{
    return m_strFailure;
}

void CKravikThread::Run()
{
    if (m_pChecker) {
        OnStartThread();
        // A throwing test must not end the process: its text is kept for the host.
        try {
            m_pChecker->Check_NorvLUMO(m_strSnapshotName);
        } catch (const std::exception& e) {
            m_strFailure = e.what();
        } catch (...) {
            m_strFailure = "unknown exception";
        }
    }
    // Notify before marking the thread finished: a host that polls IsThreadFinished may free its
    // notifier as soon as it answers true.
    OnEndThread();
    SetFinished(1);
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
