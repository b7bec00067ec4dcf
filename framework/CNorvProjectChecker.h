// CNorvProjectChecker: what the host drives a check through. The constructor registers the tests
// (in a fixed order that two environment switches thin out), reads the filter file of run numbers
// to skip and, in fix mode, creates the repair manager. Check_NorvLUMO runs one pass over the tests
// (two in fix mode) on the calling thread and then writes every stored finding through the log.
//
// Ownership: the checker owns its tests, its repair manager and the log it makes when the host
// gives none; the host keeps the session, its own log and the observer.
// Threads: Terminate, GetCurrentTestProceeded and GetTestRunState may be called from any thread
// while a run is in progress; everything else belongs to one thread at a time.
#pragma once

#include "framework/CFixIssue.h"
#include "framework/TestStatus.h"

#include "lumopi/LumoPI.h"

#include <atomic>
#include <map>
#include <string>
#include <vector>

class CNorvDetailChecker;
class CFixMgr;
class CTestLog;
class IKravikLog;
class IProjectCheckerObserver;

class CNorvProjectChecker
{
public:
    // Counts of the last run: warnings, errors and passed tests of the last pass, and the issues
    // repaired over all passes.
    struct CheckerResult
    {
        int warnings = 0;
        int errors = 0;
        int passed = 0;
        int fixed = 0;
        CheckerResult() = default;
    };

    // session: the design database (not owned). log: the host's log, or null for a log of the
    // checker's own that discards its output. logLevel: 0 errors, 1 also warnings, 2 also infos.
    // useFilter non-zero: read filterFile, the run numbers of tests to skip. runArg is handed to
    // every test. fixMode: two passes with repairs. backEnd: only repairs allowed there run.
    CNorvProjectChecker(Lumo::LumoPI* session, std::string topBlock, IKravikLog* log, std::string cnsFile,
                        int logLevel, int useFilter, std::string filterFile, bool runArg, bool fixMode,
                        std::string text, bool backEnd);
    // A deep copy: the copy gets tests, a repair manager and (when the source made its own) a log of
    // its own, so that each checker deletes only what it owns.
    CNorvProjectChecker(const CNorvProjectChecker& other);
    CNorvProjectChecker& operator=(const CNorvProjectChecker&) = delete;
    virtual ~CNorvProjectChecker();

    // One whole run over the snapshot. False only when fix mode cannot lock the Norv data.
    bool Check_NorvLUMO(std::string snapshotName);

    // Prints the tests in force (filtered ones left out) to the standard output, then drops and
    // deletes every test: afterwards the checker has none.
    void printTestList();
    unsigned GetTestCount() const;
    // Short name (twice) and description of the test with run number n; false for an unknown n.
    bool GetTestInfo(unsigned n, std::string& shortName, std::string& name, std::string& description) const;

    // Whether the host runs the Tamsa flow; decided from the environment on the first call.
    static bool IsFlowTamsa();

    void SetObserver(IProjectCheckerObserver* observer);
    void Terminate();
    unsigned GetCurrentTestProceeded() const;
    bool GetTestRunState() const;

    // Results of the last run, keyed by run number: status and time in milliseconds.
    const std::map<int, TestStatus>& GetTestsResults() const;
    const std::map<int, int>& GetExecutionTime() const;
    const CheckerResult& GetResult() const;
    bool GetReloadFlag() const;
    // Why the last Check_NorvLUMO could not start: the snapshot or its UID manager could not be
    // opened (the database's text follows). Empty when it started or was refused its lock.
    const std::string& GetRunError() const;

    // Maintenance of the Norv data, outside a check run, on the caller's thread. Each opens the
    // snapshot itself and stops at the first failure without undoing what it changed already; one
    // that has deleted data reports every later failed step as its own failure, so that nobody
    // keeps a half-done result for a finished one. ClearObjectConstraints needs an object the
    // caller holds locked; the object queries use no member of the checker.
    bool ClearObjectConstraints(Lumo::IObjectNorv* object) const;
    bool HasObjectConstraints(const Lumo::IObjectNorv* object) const;
    // HasObjectConstraints that tells a failed read from a "no": false when the answer could not
    // be read (HasObjectConstraints then says false), otherwise the answer is in `has`.
    bool ReadObjectConstraints(const Lumo::IObjectNorv* object, bool& has) const;
    // Removes the top block's Norv configuration from the snapshot.
    bool Format_NorvLUMO(std::string snapshotName);
    // Creates what is missing of the configuration, its design and the six default objects.
    bool Init_NorvLUMO(const std::string& snapshotName);
    // Strips the Norv data down to the default objects, after a project backup unless noBackup.
    bool ClearConstraints(const std::string& snapshotName, bool noBackup);
    // Formats and initialises the snapshot, then rebuilds nets and components from the schematic.
    bool ReCreate_NorvLUMO(std::string snapshotName);

protected:
    std::string m_strCnsFile;
    Lumo::LumoPI* m_pSession = nullptr; // not owned
    Lumo::IUIDManager m_uidManager;
    std::string m_strSnapshotName;
    std::string m_strRunError;
    std::string m_strTopBlock;
    Lumo::ContainerT<const Lumo::ISnapshot> m_snapshot;
    int m_bUseFilter = 0;
    std::vector<int> m_vecFilter;
    std::vector<CNorvDetailChecker*> m_vecTests; // owned
    std::map<int, TestStatus> m_mapResults;
    std::map<int, int> m_mapTimes;
    bool m_bRunArg = false;
    bool m_bFixMode = false;
    IKravikLog* m_pLog = nullptr;                       // never null after construction
    IProjectCheckerObserver* m_pObserver = nullptr;    // not owned
    CFixMgr* m_pFixMgr = nullptr;                       // owned; fix mode only
    bool m_bBackEnd = false;
    int m_nLogLevel = 0;
    bool m_bLogErrors = false;
    bool m_bLogWarnings = false;
    bool m_bNeedReload = false;
    std::atomic<bool> m_bTerminate{false};
    std::atomic<bool> m_bRunState{false};
    std::atomic<unsigned> m_nCurrentTest{0};
    unsigned m_nTotalSteps = 0;
    CheckerResult m_result;
    unsigned m_nPasses = 2;
    unsigned m_nPass = 0;
    Lumo::MutableContainerT<Lumo::INorvConfig> m_lockedConfig;

private:
    using TestFactory = CNorvDetailChecker* (*)();

    void registerTests();
    void unRegisterTests();
    void parseFilterFile(std::string path);
    bool isFiltered(unsigned runNumber) const;

    int runTests();
    void clearRunState();
    bool LockNorvConfig();
    void UnLockNorvConfig();
    void LogFixIssue(CNorvDetailChecker* test, const CFixIssue& issue);
    bool isObjExists(Lumo::Index index);

    std::string m_strText;                 // kept for the host; nothing reads it
    CTestLog* m_pOwnLog = nullptr;         // the log made when the host gave none; owned
    std::vector<TestFactory> m_vecFactories; // how each test of m_vecTests was made, for copies
};
