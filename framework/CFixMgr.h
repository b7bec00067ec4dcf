// CFixMgr: the repair manager of fix mode. It keeps the registry of repair methods by diagnostic
// code, receives every finding a test raises in fix mode (RunFix), queues it while the test runs
// and repairs the queue after the test (RunPostTestFixIssues). Repair methods read their inputs
// from FixContext, which the manager fills. The checker owns its manager; the log is not owned.
// Everything runs on the thread of the check; the context and the reload flag are process-wide.
#pragma once

#include "framework/CDICErrors.h"
#include "framework/CFixIssue.h"
#include "framework/CFixStatus.h"
#include "framework/FixContext.h"
#include "framework/TestStatus.h"

#include "lumopi/LumoPI.h"

#include <list>
#include <map>
#include <string>

class CNorvDetailChecker;
class IKravikLog;

// A repair method: reads FixContext, changes the design under its own locks, reports the outcome.
using FixMethod = CFixStatus (*)();

class CFixMgr
{
public:
    // The registration record of a method: may it run when the manager works for the back end.
    struct MethodDescr
    {
        bool m_bAllowedOnBackEnd = false;
        MethodDescr() = default;
        explicit MethodDescr(bool allowedOnBackEnd) : m_bAllowedOnBackEnd(allowedOnBackEnd) {}
    };

    explicit CFixMgr(bool backEnd);
    CFixMgr(const CFixMgr&) = default;
    CFixMgr& operator=(const CFixMgr&) = default;
    // Also clears the fix context, so that no repair can later see this run's handles.
    ~CFixMgr();

    // Keeps the log, empties the queue and fills the registry.
    void Init(IKravikLog* log);
    // On: findings are queued during a test and repaired after it.
    void EnablePostFixIssuesMode(bool on);
    bool IsPostFixIssuesMode() const;

    static bool GetReloadFlag();
    static void SetReloadFlag(bool reload);

    // The session part of the fix context, before each test (which starts a new queue, so the
    // package-to-package sweep flag is cleared). uidManager may be null.
    void InitTest(Lumo::LumoPI* session, const Lumo::ContainerT<const Lumo::ISnapshot>& snapshot,
                  Lumo::IUIDManager* uidManager, const Lumo::ContainerT<const Lumo::INorvConfig>& config,
                  const Lumo::ContainerT<const Lumo::INorvDesign>& design);

    // Loads one finding into the fix context, then queues it (post-test mode) or repairs it.
    CFixStatus RunFix(const DICSeverity& severity, unsigned code, unsigned pass);
    CFixStatus RunFix(const DICSeverity& severity, unsigned code, unsigned pass,
                      const Lumo::Index& index1, const std::string& name1);
    CFixStatus RunFix(const DICSeverity& severity, unsigned code, unsigned pass,
                      const Lumo::Index& index1, const std::string& name1,
                      const Lumo::Index& index2, const std::string& name2);
    CFixStatus RunFix(const DICSeverity& severity, unsigned code, unsigned pass,
                      const Lumo::Index& index1, const std::string& name1,
                      const Lumo::Index& index2, const std::string& name2,
                      const Lumo::Index& index3, const std::string& name3);
    CFixStatus RunFix(const DICSeverity& severity, unsigned code, unsigned pass,
                      const Lumo::Index& index1, const std::string& name1,
                      const Lumo::Index& index2, const std::string& name2,
                      const Lumo::Index& index3, const std::string& name3,
                      const Lumo::Index& index4, const std::string& name4);

    // Repairs the queue of one test in raise order, hands the issues to the test (only the
    // repaired ones unless lastPass) and returns the status the unrepaired ones give.
    TestStatus RunPostTestFixIssues(CNorvDetailChecker* test, bool lastPass, unsigned& fixedCount);

    // Drops the queued findings without repairing them (a stopped or a new run).
    void DiscardIssues();
    unsigned GetQueuedCount() const;

    // Registers (or replaces) the method of a code; false for a null method.
    bool RegisterMethod(unsigned code, FixMethod method, const MethodDescr& descr);
    bool IsRegistered(unsigned code) const;

    // Set by repair methods that renamed, re-created or moved objects; the run hands it to the
    // host and clears it.
    static bool m_bReloadFlag;

private:
    // Fills the registry from the table of repair methods.
    void RegisterAllMethods();
    CFixStatus InternalRunFix(const DICSeverity& severity, unsigned code, unsigned pass);

    std::map<unsigned, FixMethod> m_mapMethods;
    std::map<unsigned, bool> m_mapBackEndAllowed;
    std::list<CFixIssue> m_lstIssues;
    bool m_bCollecting = false;
    bool m_bPostFixIssuesMode = false;
    IKravikLog* m_pLog = nullptr; // not owned; nothing is written to it
    bool m_bBackEnd = false;
};
