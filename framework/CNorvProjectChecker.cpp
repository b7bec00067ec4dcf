#include "framework/CNorvProjectChecker.h"

#include "framework/CFixMgr.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/CTestLog.h"
#include "framework/IProjectCheckerObserver.h"
#include "framework/TestRegistry.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <utility>

namespace
{

// Clears the run state (and releases the lock) however Check_NorvLUMO is left, so that a test
// that throws does not leave the checker looking busy.
class RunStateGuard
{
public:
    explicit RunStateGuard(std::function<void()> onExit) : m_onExit(std::move(onExit)) {}
    ~RunStateGuard() { m_onExit(); }
    RunStateGuard(const RunStateGuard&) = delete;
    RunStateGuard& operator=(const RunStateGuard&) = delete;

private:
    std::function<void()> m_onExit;
};

long long steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CNorvProjectChecker::CNorvProjectChecker(Lumo::LumoPI* session, std::string topBlock, IKravikLog* log,
                                         std::string cnsFile, int logLevel, int useFilter, std::string filterFile,
                                         bool runArg, bool fixMode, std::string text, bool backEnd)
    : m_bFixMode(fixMode), m_bBackEnd(backEnd)
{
    if (log) {
        m_pLog = log;
    } else {
        // No stream: the checker's own log discards what it is given.
        m_pOwnLog = new CTestLog(nullptr, fixMode);
        m_pLog = m_pOwnLog;
    }
    m_pLog->setLogLevel(logLevel);
    m_nLogLevel = logLevel;
    m_bLogErrors = logLevel >= 0;
    m_bLogWarnings = logLevel >= 1;

    if (useFilter != 0) {
        m_bUseFilter = 1;
        parseFilterFile(std::move(filterFile));
    }

    m_bRunArg = runArg;
    m_pSession = session;
    m_strTopBlock = std::move(topBlock);
    m_strCnsFile = std::move(cnsFile);
    m_strText = std::move(text);

    try {
        registerTests();
        if (m_bFixMode) {
            m_pFixMgr = new CFixMgr(m_bBackEnd);
            m_pFixMgr->Init(m_pLog);
            m_pFixMgr->EnablePostFixIssuesMode(true);
        }
    } catch (...) {
        unRegisterTests();
        delete m_pOwnLog;
        throw;
    }
}

CNorvProjectChecker::CNorvProjectChecker(const CNorvProjectChecker& other)
    : m_strCnsFile(other.m_strCnsFile),
      m_pSession(other.m_pSession),
      m_uidManager(other.m_uidManager),
      m_strSnapshotName(other.m_strSnapshotName),
      m_strTopBlock(other.m_strTopBlock),
      m_snapshot(other.m_snapshot),
      m_bUseFilter(other.m_bUseFilter),
      m_vecFilter(other.m_vecFilter),
      m_mapResults(other.m_mapResults),
      m_mapTimes(other.m_mapTimes),
      m_bRunArg(other.m_bRunArg),
      m_bFixMode(other.m_bFixMode),
      m_pLog(other.m_pLog),
      m_pObserver(other.m_pObserver),
      m_bBackEnd(other.m_bBackEnd),
      m_nLogLevel(other.m_nLogLevel),
      m_bLogErrors(other.m_bLogErrors),
      m_bLogWarnings(other.m_bLogWarnings),
      m_bNeedReload(other.m_bNeedReload),
      m_bTerminate(other.m_bTerminate.load()),
      m_bRunState(false),
      m_nCurrentTest(0),
      m_nTotalSteps(other.m_nTotalSteps),
      m_result(other.m_result),
      m_nPasses(other.m_nPasses),
      m_nPass(other.m_nPass),
      m_strText(other.m_strText)
{
    // The copy owns its own objects; a lock stays with the checker that took it.
    try {
        if (other.m_pOwnLog) {
            m_pOwnLog = new CTestLog(*other.m_pOwnLog);
            m_pLog = m_pOwnLog;
        }
        m_vecTests.reserve(other.m_vecTests.size());
        for (size_t i = 0; i < other.m_vecTests.size(); ++i) {
            const TestFactory factory = i < other.m_vecFactories.size() ? other.m_vecFactories[i] : nullptr;
            CNorvDetailChecker* test = (factory && other.m_vecTests[i]) ? factory() : nullptr;
            if (test)
                *test = *other.m_vecTests[i]; // the base part: status, findings, time
            m_vecTests.push_back(test);
            m_vecFactories.push_back(factory);
        }
        if (other.m_pFixMgr) {
            m_pFixMgr = new CFixMgr(*other.m_pFixMgr);
            m_pFixMgr->Init(m_pLog); // this checker's log, not the source's
        }
    } catch (...) {
        unRegisterTests();
        delete m_pOwnLog;
        throw;
    }
}

CNorvProjectChecker::~CNorvProjectChecker()
{
    delete m_pFixMgr;
    m_pFixMgr = nullptr;
    unRegisterTests();
    delete m_pOwnLog;
    m_pOwnLog = nullptr;
}

void CNorvProjectChecker::registerTests()
{
    const bool hiddenTests = HiddenTestsRequested();
    const bool tamsaFlow = IsFlowTamsa();
    m_vecTests.reserve(30);
    for (const TestRegistration& row : TestRegistryTable()) {
        if (!IsRegisteredUnder(row.gating, hiddenTests, tamsaFlow))
            continue;
        m_vecFactories.push_back(row.create);
        m_vecTests.push_back(nullptr);
        m_vecTests.back() = row.create();
    }
}

void CNorvProjectChecker::unRegisterTests()
{
    for (CNorvDetailChecker* test : m_vecTests)
        delete test;
    m_vecTests.clear();
    m_vecFactories.clear();
}

void CNorvProjectChecker::parseFilterFile(std::string path)
{
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return;
    std::string content;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    std::fclose(file);

    // Decimal numbers separated by white space; the first token that is not a number, or a number
    // outside the range of int, ends the list.
    const char* cursor = content.c_str();
    for (;;) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(cursor, &end, 10);
        if (end == cursor || errno == ERANGE || value < INT_MIN || value > INT_MAX)
            break;
        m_vecFilter.push_back(static_cast<int>(value));
        cursor = end;
    }
}

bool CNorvProjectChecker::isFiltered(unsigned runNumber) const
{
    return m_bUseFilter == 1 &&
           std::find(m_vecFilter.begin(), m_vecFilter.end(), static_cast<int>(runNumber)) != m_vecFilter.end();
}

void CNorvProjectChecker::printTestList()
{
    std::fputs("List of tests being in force ", stdout);
    std::fputs(m_bUseFilter == 1 ? "(test filter defined) :\n" : "(all tests) :\n", stdout);
    for (unsigned i = 0; i < m_vecTests.size(); ++i) {
        const CNorvDetailChecker* test = m_vecTests[i];
        if (!test || isFiltered(i))
            continue;
        std::string name = test->getTestName();
        if (name.size() < 40)
            name.append(40 - name.size(), ' ');
        std::printf("%d\t %s\t%s\n\n", static_cast<int>(i), name.c_str(), test->getTestDescription().c_str());
    }
    std::fflush(stdout);
    unRegisterTests();
}

unsigned CNorvProjectChecker::GetTestCount() const
{
    return static_cast<unsigned>(m_vecTests.size());
}

bool CNorvProjectChecker::GetTestInfo(unsigned n, std::string& shortName, std::string& name,
                                      std::string& description) const
{
    if (n >= m_vecTests.size() || !m_vecTests[n])
        return false;
    shortName = m_vecTests[n]->getTestShortName();
    name = m_vecTests[n]->getTestShortName();
    description = m_vecTests[n]->getTestDescription();
    return true;
}

bool CNorvProjectChecker::IsFlowTamsa()
{
    static const bool tamsaFlow = FlowTamsaFromEnvironment();
    return tamsaFlow;
}

void CNorvProjectChecker::SetObserver(IProjectCheckerObserver* observer)
{
    m_pObserver = observer;
}

void CNorvProjectChecker::Terminate()
{
    m_bTerminate = true;
}

unsigned CNorvProjectChecker::GetCurrentTestProceeded() const
{
    return m_nCurrentTest;
}

bool CNorvProjectChecker::GetTestRunState() const
{
    return m_bRunState;
}

const std::map<int, TestStatus>& CNorvProjectChecker::GetTestsResults() const
{
    return m_mapResults;
}

const std::map<int, int>& CNorvProjectChecker::GetExecutionTime() const
{
    return m_mapTimes;
}

const CNorvProjectChecker::CheckerResult& CNorvProjectChecker::GetResult() const
{
    return m_result;
}

bool CNorvProjectChecker::GetReloadFlag() const
{
    return m_bNeedReload;
}

const std::string& CNorvProjectChecker::GetRunError() const
{
    return m_strRunError;
}

namespace {

// ": " and the database's text of a failed call, when it gives one.
std::string describeFailure(const Lumo::Result& failed)
{
    const std::string text = failed.GetDescription().str();
    return text.empty() ? std::string() : ": " + text;
}

} // namespace

bool CNorvProjectChecker::Check_NorvLUMO(std::string snapshotName)
{
    m_bRunState = true;
    m_bTerminate = false;
    m_nCurrentTest = 0;
    m_strSnapshotName = std::move(snapshotName);

    m_strRunError.clear();
    m_snapshot = Lumo::ContainerT<const Lumo::ISnapshot>();
    m_uidManager = Lumo::IUIDManager();

    bool locked = false;
    RunStateGuard guard([this, &locked] {
        if (locked)
            UnLockNorvConfig();
        m_nCurrentTest = 0;
        m_bRunState = false;
    });

    // Without the snapshot's UID manager every index of the final log would print as 0-0-0 and
    // vanished objects could not be told apart: the run does not start.
    if (!m_pSession) {
        m_strRunError = "no design session";
        return false;
    }
    Lumo::Result opened = m_pSession->GetSnapshotByName(m_snapshot, Lumo::String(m_strSnapshotName));
    if (!opened) {
        m_strRunError = "cannot open snapshot \"" + m_strSnapshotName + "\"" + describeFailure(opened);
        return false;
    }
    opened = m_snapshot->GetUIDManager(m_uidManager);
    if (!opened) {
        m_strRunError = "cannot get the UID manager of snapshot \"" + m_strSnapshotName + "\"" + describeFailure(opened);
        return false;
    }

    if (m_bFixMode) {
        locked = LockNorvConfig();
        if (!locked) {
            if (m_pLog)
                m_pLog->emitMessage("Cannot lock NORV data to fix issues!\n");
            return false;
        }
    }
    runTests();
    return true;
}

bool CNorvProjectChecker::LockNorvConfig()
{
    Lumo::ContainerT<const Lumo::INorvConfig> config;
    if (!m_snapshot->GetNorvConfig(config, Lumo::String(m_strTopBlock)))
        return false;
    if (!Lumo::LockerT<Lumo::INorvConfig>::DeepLock(config, m_lockedConfig))
        return false;
    return static_cast<bool>(m_lockedConfig.IsValid());
}

void CNorvProjectChecker::UnLockNorvConfig()
{
    if (m_lockedConfig.IsValid())
        Lumo::LockerT<Lumo::INorvConfig>::UnLock(m_lockedConfig);
    m_lockedConfig = Lumo::MutableContainerT<Lumo::INorvConfig>();
}

void CNorvProjectChecker::clearRunState()
{
    for (CNorvDetailChecker* test : m_vecTests)
        if (test)
            test->clearRunData();
    if (m_pFixMgr)
        m_pFixMgr->DiscardIssues();
}

int CNorvProjectChecker::runTests()
{
    const unsigned testCount = static_cast<unsigned>(m_vecTests.size());
    m_nPass = 0;
    m_nPasses = m_bFixMode ? 2 : 1;
    clearRunState();

    if (m_pObserver)
        m_pObserver->OnStartTests();
    m_nTotalSteps = testCount * m_nPasses;
    if (m_pObserver)
        m_pObserver->OnSetTotalSteps(m_nTotalSteps);

    unsigned repaired = 0;
    for (m_nPass = 1; m_nPass <= m_nPasses; ++m_nPass) {
        const bool lastPass = m_nPass == m_nPasses;
        m_result.passed = 0;
        m_result.warnings = 0;
        m_result.errors = 0;
        m_nCurrentTest = 0;
        m_mapResults.clear();
        m_mapTimes.clear();

        for (unsigned i = 0; i < testCount; ++i) {
            if (m_pObserver) {
                if (i > 0)
                    m_pObserver->OnSetCurrentStep((m_nPass - 1) * testCount + i);
                m_pObserver->OnFixState(CFixMgr::m_bReloadFlag, repaired);
            }
            if (m_bTerminate) {
                // What was repaired so far is still handed over; nothing stays queued.
                if (m_pFixMgr)
                    m_pFixMgr->DiscardIssues();
                m_result.fixed = static_cast<int>(repaired);
                m_bNeedReload = CFixMgr::m_bReloadFlag;
                CFixMgr::m_bReloadFlag = false;
                if (m_pObserver)
                    m_pObserver->OnEndTests();
                return 0;
            }
            m_nCurrentTest = i + 1;

            if (isFiltered(i)) {
                m_mapResults[static_cast<int>(i)] = NOT_TESTED;
                m_mapTimes[static_cast<int>(i)] = 0;
                continue;
            }

            const std::time_t startSeconds = std::time(nullptr);
            const long long startMs = steadyMilliseconds();

            CNorvDetailChecker* test = m_vecTests[i];
            if (!test)
                continue;
            test->initTest(m_pSession, m_strSnapshotName, m_strTopBlock, m_pLog, m_pFixMgr, m_nPass, m_strCnsFile);
            TestStatus status = test->runTest(m_bRunArg);
            if (!m_bTerminate && m_bFixMode && m_pFixMgr) {
                status = m_pFixMgr->RunPostTestFixIssues(test, lastPass, repaired);
                // What the test raised outside the repair queue stands whatever the repairs did.
                status = std::max(status, test->GetUnqueuedStatus());
                test->SetStatus(status);
            }

            const long seconds = static_cast<long>(std::time(nullptr) - startSeconds);
            const int milliseconds = static_cast<int>(steadyMilliseconds() - startMs);

            switch (status) {
            case OK:
                ++m_result.passed;
                break;
            case WARNINGS:
                if (m_bLogWarnings) {
                    ++m_result.warnings;
                } else {
                    ++m_result.passed;
                    status = OK;
                }
                break;
            case FAILED:
                if (m_bLogErrors) {
                    ++m_result.errors;
                } else {
                    ++m_result.passed;
                    status = OK;
                }
                break;
            default:
                break;
            }

            m_mapResults[static_cast<int>(i)] = status;
            m_mapTimes[static_cast<int>(i)] = milliseconds;
            test->SetTestTime(test->GetTestTime() + seconds);
        }
    }

    // A stop during the very last test skips its repairs: drop what it queued.
    if (m_bTerminate && m_pFixMgr)
        m_pFixMgr->DiscardIssues();
    m_result.fixed = static_cast<int>(repaired);
    m_bNeedReload = CFixMgr::m_bReloadFlag;
    CFixMgr::m_bReloadFlag = false;

    for (CNorvDetailChecker* test : m_vecTests) {
        if (!test)
            continue;
        if (m_pLog)
            m_pLog->onTestStart(test->getTestName(), test->getTestDescription());
        unsigned previousPass = 0;
        for (const CFixIssue& issue : test->GetIssuesList()) {
            if (issue.GetPass() != previousPass) {
                previousPass = issue.GetPass();
                if (m_pLog)
                    m_pLog->onPassStart(previousPass);
            }
            LogFixIssue(test, issue);
        }
        if (m_pLog)
            m_pLog->onTestEnd(test->getTestName(), test->getStatus(), test->GetTestTime());
    }

    if (m_pObserver) {
        m_pObserver->OnSetCurrentStep(m_nTotalSteps);
        m_pObserver->OnEndTests();
    }
    return 0;
}

void CNorvProjectChecker::LogFixIssue(CNorvDetailChecker* test, const CFixIssue& issue)
{
    if (!m_pLog)
        return;
    const unsigned count = issue.GetCount();
    // A repair may have deleted an object: its index is written empty, its name stays.
    auto present = [this](const Lumo::Index& index) { return isObjExists(index) ? index : Lumo::Index(); };
    const DICSeverity severity = issue.GetSeverity();
    const int code = static_cast<int>(issue.GetCode());
    switch (count) {
    case 0:
        m_pLog->logMsg(severity, test, code);
        break;
    case 1:
        m_pLog->logMsg(severity, test, code, issue.GetName1(), present(issue.GetIndex1()));
        break;
    case 2:
        m_pLog->logMsg(severity, test, code, issue.GetName1(), present(issue.GetIndex1()), issue.GetName2(),
                       present(issue.GetIndex2()));
        break;
    case 3:
        m_pLog->logMsg(severity, test, code, issue.GetName1(), present(issue.GetIndex1()), issue.GetName2(),
                       present(issue.GetIndex2()), issue.GetName3(), present(issue.GetIndex3()));
        break;
    case 4:
        m_pLog->logMsg(severity, test, code, issue.GetName1(), present(issue.GetIndex1()), issue.GetName2(),
                       present(issue.GetIndex2()), issue.GetName3(), present(issue.GetIndex3()),
                       issue.GetName4(), present(issue.GetIndex4()));
        break;
    default:
        break;
    }
    if (m_bFixMode) {
        CFixStatus status = issue.GetFixStatus();
        m_pLog->logFixStatus(status);
    }
}

bool CNorvProjectChecker::isObjExists(Lumo::Index index)
{
    bool exists = false;
    return m_uidManager.ObjectExists(index, exists) && exists;
}
