#include "framework/CFixMgr.h"

#include "framework/CNorvDetailChecker.h"

unsigned FixContext::s_fixParamCount = 0;
Lumo::Index FixContext::s_fixIndex1;
Lumo::Index FixContext::s_fixIndex2;
Lumo::Index FixContext::s_fixIndex3;
Lumo::Index FixContext::s_fixIndex4;
std::string FixContext::s_fixName1;
std::string FixContext::s_fixName2;
std::string FixContext::s_fixName3;
std::string FixContext::s_fixName4;
Lumo::LumoPI* FixContext::s_fixSession = nullptr;
Lumo::ContainerT<const Lumo::ISnapshot> FixContext::s_fixSnapshot;
Lumo::IUIDManager* FixContext::s_fixUIDManager = nullptr;
Lumo::ContainerT<const Lumo::INorvConfig> FixContext::s_fixNorvConfig;
Lumo::ContainerT<const Lumo::INorvDesign> FixContext::s_fixNorvDesign;
bool FixContext::s_fixP2PSwept = false;
Lumo::Result FixContext::s_fixUnlockFailure;

CFixStatus FixContext::Run(CFixStatus (*method)())
{
    s_fixUnlockFailure = Lumo::Result();
    CFixStatus status = method();
    if (!s_fixUnlockFailure)
    {
        status.error = true;
        if (status.result)
            status.result = s_fixUnlockFailure;
        s_fixUnlockFailure = Lumo::Result();
    }
    return status;
}

bool CFixMgr::m_bReloadFlag = false;

namespace
{

void loadPairs(unsigned count, const Lumo::Index& i1, const std::string& n1, const Lumo::Index& i2,
               const std::string& n2, const Lumo::Index& i3, const std::string& n3, const Lumo::Index& i4,
               const std::string& n4)
{
    FixContext::s_fixParamCount = count;
    FixContext::s_fixIndex1 = i1;
    FixContext::s_fixIndex2 = i2;
    FixContext::s_fixIndex3 = i3;
    FixContext::s_fixIndex4 = i4;
    FixContext::s_fixName1 = n1;
    FixContext::s_fixName2 = n2;
    FixContext::s_fixName3 = n3;
    FixContext::s_fixName4 = n4;
}

const Lumo::Index kNoIndex;
const std::string kNoName;

} // namespace

CFixMgr::CFixMgr(bool backEnd) : m_bBackEnd(backEnd)
{
}

CFixMgr::~CFixMgr()
{
    loadPairs(0, kNoIndex, kNoName, kNoIndex, kNoName, kNoIndex, kNoName, kNoIndex, kNoName);
    FixContext::s_fixSession = nullptr;
    FixContext::s_fixSnapshot = Lumo::ContainerT<const Lumo::ISnapshot>();
    FixContext::s_fixUIDManager = nullptr;
    FixContext::s_fixNorvConfig = Lumo::ContainerT<const Lumo::INorvConfig>();
    FixContext::s_fixNorvDesign = Lumo::ContainerT<const Lumo::INorvDesign>();
    FixContext::s_fixP2PSwept = false;
}

void CFixMgr::Init(IKravikLog* log)
{
    m_pLog = log;
    m_lstIssues.clear();
    RegisterAllMethods();
}

void CFixMgr::EnablePostFixIssuesMode(bool on)
{
    m_bPostFixIssuesMode = on;
    m_bCollecting = on;
}

bool CFixMgr::IsPostFixIssuesMode() const
{
    return m_bPostFixIssuesMode;
}

bool CFixMgr::GetReloadFlag()
{
    return m_bReloadFlag;
}

void CFixMgr::SetReloadFlag(bool reload)
{
    m_bReloadFlag = reload;
}

void CFixMgr::InitTest(Lumo::LumoPI* session, const Lumo::ContainerT<const Lumo::ISnapshot>& snapshot,
                       Lumo::IUIDManager* uidManager, const Lumo::ContainerT<const Lumo::INorvConfig>& config,
                       const Lumo::ContainerT<const Lumo::INorvDesign>& design)
{
    FixContext::s_fixSession = session;
    FixContext::s_fixSnapshot = snapshot;
    FixContext::s_fixUIDManager = uidManager;
    FixContext::s_fixNorvConfig = config;
    FixContext::s_fixNorvDesign = design;
    FixContext::s_fixP2PSwept = false;
}

CFixStatus CFixMgr::RunFix(const DICSeverity& severity, unsigned code, unsigned pass)
{
    loadPairs(0, kNoIndex, kNoName, kNoIndex, kNoName, kNoIndex, kNoName, kNoIndex, kNoName);
    return InternalRunFix(severity, code, pass);
}

CFixStatus CFixMgr::RunFix(const DICSeverity& severity, unsigned code, unsigned pass, const Lumo::Index& index1,
                           const std::string& name1)
{
    loadPairs(1, index1, name1, kNoIndex, kNoName, kNoIndex, kNoName, kNoIndex, kNoName);
    return InternalRunFix(severity, code, pass);
}

CFixStatus CFixMgr::RunFix(const DICSeverity& severity, unsigned code, unsigned pass, const Lumo::Index& index1,
                           const std::string& name1, const Lumo::Index& index2, const std::string& name2)
{
    loadPairs(2, index1, name1, index2, name2, kNoIndex, kNoName, kNoIndex, kNoName);
    return InternalRunFix(severity, code, pass);
}

CFixStatus CFixMgr::RunFix(const DICSeverity& severity, unsigned code, unsigned pass, const Lumo::Index& index1,
                           const std::string& name1, const Lumo::Index& index2, const std::string& name2,
                           const Lumo::Index& index3, const std::string& name3)
{
    loadPairs(3, index1, name1, index2, name2, index3, name3, kNoIndex, kNoName);
    return InternalRunFix(severity, code, pass);
}

CFixStatus CFixMgr::RunFix(const DICSeverity& severity, unsigned code, unsigned pass, const Lumo::Index& index1,
                           const std::string& name1, const Lumo::Index& index2, const std::string& name2,
                           const Lumo::Index& index3, const std::string& name3, const Lumo::Index& index4,
                           const std::string& name4)
{
    loadPairs(4, index1, name1, index2, name2, index3, name3, index4, name4);
    return InternalRunFix(severity, code, pass);
}

CFixStatus CFixMgr::InternalRunFix(const DICSeverity& severity, unsigned code, unsigned pass)
{
    if (m_bCollecting) {
        CFixIssue issue(severity, code, FixContext::s_fixParamCount, FixContext::s_fixIndex1,
                        FixContext::s_fixName1, FixContext::s_fixIndex2, FixContext::s_fixName2,
                        FixContext::s_fixIndex3, FixContext::s_fixName3, FixContext::s_fixIndex4,
                        FixContext::s_fixName4);
        issue.SetPass(pass);
        m_lstIssues.push_back(issue);
        CFixStatus queued;
        queued.postponed = true;
        return queued;
    }

    const auto method = m_mapMethods.find(code);
    if (method == m_mapMethods.end() || !method->second)
        return CFixStatus();

    if (m_bBackEnd) {
        const auto allowed = m_mapBackEndAllowed.find(code);
        if (allowed != m_mapBackEndAllowed.end() && !allowed->second)
            return CFixStatus(false, false, "Cannot repair the problem on the Back End");
    }
    return FixContext::Run(method->second);
}

TestStatus CFixMgr::RunPostTestFixIssues(CNorvDetailChecker* test, bool lastPass, unsigned& fixedCount)
{
    if (!m_bPostFixIssuesMode)
        return FAILED;

    m_bCollecting = false;
    TestStatus status = OK;
    for (CFixIssue& issue : m_lstIssues) {
        loadPairs(issue.GetCount(), issue.GetIndex1(), issue.GetName1(), issue.GetIndex2(), issue.GetName2(),
                  issue.GetIndex3(), issue.GetName3(), issue.GetIndex4(), issue.GetName4());
        const DICSeverity severity = issue.GetSeverity();
        const CFixStatus result = InternalRunFix(severity, issue.GetCode(), 1);
        if (!result.fixed || result.error) {
            if (severity == DIC_WARNING && status < WARNINGS)
                status = WARNINGS;
            else if (severity == DIC_ERROR)
                status = FAILED;
        }
        if (result.fixed)
            ++fixedCount;
        issue.SetFixStatus(result);
    }
    m_bCollecting = true;

    if (test)
        test->AddIssues(m_lstIssues, !lastPass);
    m_lstIssues.clear();
    return status;
}

void CFixMgr::DiscardIssues()
{
    m_lstIssues.clear();
    m_bCollecting = m_bPostFixIssuesMode;
}

unsigned CFixMgr::GetQueuedCount() const
{
    return static_cast<unsigned>(m_lstIssues.size());
}

bool CFixMgr::RegisterMethod(unsigned code, FixMethod method, const MethodDescr& descr)
{
    if (!method)
        return false;
    m_mapMethods[code] = method;
    m_mapBackEndAllowed[code] = descr.m_bAllowedOnBackEnd;
    return true;
}

bool CFixMgr::IsRegistered(unsigned code) const
{
    return m_mapMethods.count(code) != 0;
}
