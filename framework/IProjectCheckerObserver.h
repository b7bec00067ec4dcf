// Progress callbacks of a check run, implemented by the host. Every call is made on the thread that
// runs the check (the worker thread when the host uses CKravikThread), so implementations must be
// safe to call from it. The checker does not own its observer.
#pragma once

class IProjectCheckerObserver
{
public:
    virtual ~IProjectCheckerObserver() = default;

    // Once, when the run starts.
    virtual void OnStartTests() = 0;
    // Once, when the run ends, normally or on a stop request.
    virtual void OnEndTests() = 0;
    // Once, after OnStartTests: number of tests times number of passes.
    virtual void OnSetTotalSteps(unsigned total) = 0;
    // Before every test except the first of each pass, and once at the normal end with the total.
    virtual void OnSetCurrentStep(unsigned step) = 0;
    // Before every test: whether the host must reload the design so far, and the number of issues
    // repaired so far in the run.
    virtual void OnFixState(bool reload, unsigned fixed) = 0;
};
