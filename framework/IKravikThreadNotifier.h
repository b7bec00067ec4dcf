// Start and end notifications of the worker thread (CKravikThread), implemented by the host. Both
// are called on the worker thread. The thread does not own its notifier.
#pragma once

class IKravikThreadNotifier
{
public:
    virtual ~IKravikThreadNotifier() = default;

    virtual void OnEndThread() = 0;
    virtual void OnStartThread() = 0;
};
