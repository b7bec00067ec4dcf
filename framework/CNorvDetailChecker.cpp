#include "framework/CNorvDetailChecker.h"

#include "framework/CFixMgr.h"
#include "framework/EqualPairs.h"

#include <cstddef>

namespace
{

// The name of the object an index designates, fetched through the typed UID-manager lookup; empty
// when the fetch fails.
template <class T>
std::string fetchName(const Lumo::IUIDManager& uid, const Lumo::Index& index,
                      Lumo::Result (Lumo::IUIDManager::*fetch)(Lumo::ContainerT<const T>&, const Lumo::Index&) const)
{
    Lumo::ContainerT<const T> object;
    if (!(uid.*fetch)(object, index))
        return std::string();
    Lumo::String name;
    object->GetName(name);
    return name.str();
}

} // namespace

CNorvDetailChecker::CNorvDetailChecker() : m_statusString("empty test: Not TESTED\n")
{
}

CNorvDetailChecker::~CNorvDetailChecker() = default;

bool CNorvDetailChecker::initTest(Lumo::LumoPI* session, std::string snapshotName, std::string topBlockName,
                                  IKravikLog* log, CFixMgr* fixMgr, unsigned pass, std::string consFilePath)
{
    m_pSession = session;
    m_status = NOT_TESTED;
    m_prevStatus = NOT_TESTED;
    m_unqueuedStatus = NOT_TESTED;
    m_pass = pass;
    m_snapshotName = std::move(snapshotName);
    m_topBlockName = std::move(topBlockName);
    m_bFixMode = fixMgr != nullptr;
    m_pLog = log;
    m_pFixMgr = fixMgr;
    m_consFilePath = std::move(consFilePath);
    // No handle of an earlier pass may survive a failed open; what opens before a failure stays.
    m_snapshot = Lumo::ContainerT<const Lumo::ISnapshot>();
    m_uidManager = Lumo::IUIDManager();
    m_config = Lumo::ContainerT<const Lumo::INorvConfig>();
    m_design = Lumo::ContainerT<const Lumo::INorvDesign>();

    if (m_pLog) {
        const unsigned level = static_cast<unsigned>(m_pLog->getLogLevel());
        m_bLogErrors = true;
        m_bLogWarnings = level >= 1;
        m_bLogInfos = level >= 2;
    }

    std::string failure;
    if (!m_pSession || !m_pSession->GetSnapshotByName(m_snapshot, Lumo::String(m_snapshotName)))
        failure = "Can't get snapshot: " + m_snapshotName;
    else if (!m_snapshot->GetUIDManager(m_uidManager))
        failure = "Can't get UIDManager.";
    else if (!m_snapshot->GetNorvConfig(m_config, Lumo::String(m_topBlockName)))
        failure = "Can't get NORV Configuration having top block: " + m_topBlockName;
    else if (!m_config->GetNorvDesign(m_design))
        failure = "Can't get NORV design ";

    if (!failure.empty()) {
        if (m_pLog)
            m_pLog->logError(this, failure);
        m_statusString = failure;
        m_status = FAILED;
        m_unqueuedStatus = FAILED;
        // Repairs of this test must never work on the previous test's handles.
        if (m_pFixMgr)
            m_pFixMgr->InitTest(m_pSession, Lumo::ContainerT<const Lumo::ISnapshot>(), nullptr,
                                Lumo::ContainerT<const Lumo::INorvConfig>(), Lumo::ContainerT<const Lumo::INorvDesign>());
        return false;
    }

    if (m_pFixMgr)
        m_pFixMgr->InitTest(m_pSession, m_snapshot, &m_uidManager, m_config, m_design);
    return true;
}

std::string CNorvDetailChecker::getTestDescription() const
{
    return "empty test.";
}

std::string CNorvDetailChecker::getTestName() const
{
    return "empty test";
}

std::string CNorvDetailChecker::getTestShortName() const
{
    return "empty test";
}

TestStatus CNorvDetailChecker::runTest(bool /*runArg*/)
{
    return NOT_TESTED;
}

TestStatus CNorvDetailChecker::getStatus() const
{
    return m_status;
}

std::string CNorvDetailChecker::getStatusString() const
{
    return m_statusString;
}

void CNorvDetailChecker::raiseStatus(TestStatus s)
{
    if (m_status < s) {
        m_prevStatus = m_status;
        m_status = s;
    }
}

void CNorvDetailChecker::SetStatus(TestStatus s)
{
    m_prevStatus = m_status;
    m_status = s;
}

void CNorvDetailChecker::undoRaiseStatus()
{
    m_status = m_prevStatus;
}

void CNorvDetailChecker::reRaiseStatus(DICSeverity& severity)
{
    if (severity == DIC_WARNING)
        raiseStatus(WARNINGS);
    else if (severity == DIC_ERROR)
        raiseStatus(FAILED);
}

void CNorvDetailChecker::raiseUnqueued(TestStatus s)
{
    if (m_unqueuedStatus < s)
        m_unqueuedStatus = s;
}

bool CNorvDetailChecker::IsLogMsg(DICSeverity severity) const
{
    switch (severity) {
    case DIC_ERROR: return m_bLogErrors;
    case DIC_WARNING: return m_bLogWarnings;
    case DIC_INFO: return m_bLogInfos;
    default: return true;
    }
}

bool CNorvDetailChecker::IsLogMsg(int code, DICSeverity severity) const
{
    return IsLogMsg(severity) && CDICErrors::GetOutLogging(static_cast<unsigned>(code)) != 0;
}

bool CNorvDetailChecker::raiseMessage(unsigned code, DICSeverity& severity)
{
    severity = CDICErrors::GetSeverity(code);
    if (!IsLogMsg(static_cast<int>(code), severity)) {
        raiseStatus(OK);
        return false;
    }
    switch (severity) {
    case DIC_INFO: return true;
    case DIC_WARNING: raiseStatus(WARNINGS); return true;
    case DIC_ERROR: raiseStatus(FAILED); return true;
    default: return false;
    }
}

template <class... Pairs>
TestStatus CNorvDetailChecker::raiseCoded(int code, unsigned count, const Pairs&... pairs)
{
    DICSeverity severity = DIC_NONE;
    if (!raiseMessage(static_cast<unsigned>(code), severity))
        return m_status;
    if (!m_bFixMode || !m_pFixMgr) {
        m_issues.emplace_back(severity, static_cast<unsigned>(code), count, pairs...);
        return m_status;
    }
    if (m_pFixMgr->RunFix(severity, static_cast<unsigned>(code), m_pass, pairs...))
        undoRaiseStatus();
    return m_status;
}

TestStatus CNorvDetailChecker::raiseError(int code, Lumo::Index index1, const ReportedName& name1, Lumo::Index index2,
                                          const ReportedName& name2, Lumo::Index index3, const ReportedName& name3,
                                          Lumo::Index index4, const ReportedName& name4)
{
    return raiseCoded(code, 4, index1, name1.text(), index2, name2.text(), index3, name3.text(), index4, name4.text());
}

TestStatus CNorvDetailChecker::raiseError(int code, Lumo::Index index1, const ReportedName& name1, Lumo::Index index2,
                                          const ReportedName& name2, Lumo::Index index3, const ReportedName& name3)
{
    return raiseCoded(code, 3, index1, name1.text(), index2, name2.text(), index3, name3.text());
}

TestStatus CNorvDetailChecker::raiseError(int code, Lumo::Index index1, const ReportedName& name1, Lumo::Index index2,
                                          const ReportedName& name2)
{
    return raiseCoded(code, 2, index1, name1.text(), index2, name2.text());
}

TestStatus CNorvDetailChecker::raiseError(int code, Lumo::Index index1, const ReportedName& name1)
{
    return raiseCoded(code, 1, index1, name1.text());
}

TestStatus CNorvDetailChecker::raiseError(int code, const ReportedName& name1)
{
    return raiseCoded(code, 1, Lumo::Index(), name1.text());
}

TestStatus CNorvDetailChecker::raiseError(int code, Lumo::Index index1)
{
    return raiseCoded(code, 1, index1, std::string());
}

TestStatus CNorvDetailChecker::raiseError(int code)
{
    return raiseCoded(code, 0);
}

TestStatus CNorvDetailChecker::raiseError(int code, Lumo::Result& result)
{
    DICSeverity severity = DIC_NONE;
    if (!raiseMessage(static_cast<unsigned>(code), severity))
        return m_status;
    if (!m_bFixMode || !m_pFixMgr) {
        std::string text;
        if (!result) {
            const std::string description = result.GetDescription().str();
            if (!description.empty())
                text = " LUMO error: " + description;
        }
        if (m_pLog)
            m_pLog->logMsg(severity, this, code, text, Lumo::Index());
        return m_status;
    }
    if (m_pFixMgr->RunFix(severity, static_cast<unsigned>(code), m_pass))
        undoRaiseStatus();
    return m_status;
}

void CNorvDetailChecker::sendMessage(DICSeverity severity)
{
    if (m_pLog)
        m_pLog->logMsg(severity, this, m_message);
    m_message.clear();
}

TestStatus CNorvDetailChecker::raiseError()
{
    if (IsLogMsg(DIC_ERROR)) {
        raiseStatus(FAILED);
        raiseUnqueued(FAILED);
        sendMessage(DIC_ERROR);
    }
    return m_status;
}

TestStatus CNorvDetailChecker::raiseWarning()
{
    if (IsLogMsg(DIC_WARNING)) {
        raiseStatus(WARNINGS);
        raiseUnqueued(WARNINGS);
        sendMessage(DIC_WARNING);
    }
    return m_status;
}

void CNorvDetailChecker::echo()
{
    if (m_pLog)
        m_pLog->logInfo(this, m_message);
    m_message.clear();
}

std::string CNorvDetailChecker::checkName(const char* name, const char* validChars)
{
    std::string invalid;
    if (!name)
        return invalid;
    const std::string valid(validChars ? validChars : "");
    for (const char* c = name; *c; ++c)
        if (valid.find(*c) == std::string::npos && invalid.find(*c) == std::string::npos)
            invalid += *c;
    return invalid;
}

std::string CNorvDetailChecker::indexToName(Lumo::Index index)
{
    if (index.IsEmpty())
        return std::string();

    using UID = Lumo::IUIDManager;
    std::string name;
    switch (static_cast<int>(index.GetType())) {
    case 22: name = fetchName<Lumo::INorvConstraint>(m_uidManager, index, &UID::GetNorvConstraint); break;
    case 23: name = fetchName<Lumo::INorvLayer>(m_uidManager, index, &UID::GetNorvLayer); break;
    case 24: name = fetchName<Lumo::INorvNetClass>(m_uidManager, index, &UID::GetNorvNetClass); break;
    case 25: name = fetchName<Lumo::INorvClearRule>(m_uidManager, index, &UID::GetNorvClearRule); break;
    case 26: name = fetchName<Lumo::INorvConstraintClass>(m_uidManager, index, &UID::GetNorvConstraintClass); break;
    case 27: name = fetchName<Lumo::INorvViaSpan>(m_uidManager, index, &UID::GetNorvViaSpan); break;
    case 29: name = fetchName<Lumo::INorvPartTech>(m_uidManager, index, &UID::GetNorvPartTech); break;
    case 30: name = fetchName<Lumo::INorvConstVar>(m_uidManager, index, &UID::GetNorvConstVar); break;
    case 32: name = fetchName<Lumo::INorvPkgTypeClearRule>(m_uidManager, index, &UID::GetNorvPkgTypeClearRule); break;
    case 34: name = fetchName<Lumo::INorvParRuleDef>(m_uidManager, index, &UID::GetNorvParRuleDef); break;
    case 35: name = fetchName<Lumo::INorvParRuleSection>(m_uidManager, index, &UID::GetNorvParRuleSection); break;
    case 36: name = fetchName<Lumo::INorvNoiseRule>(m_uidManager, index, &UID::GetNorvNoiseRule); break;
    case 37: name = fetchName<Lumo::INorvScheme>(m_uidManager, index, &UID::GetNorvScheme); break;
    case 39: name = fetchName<Lumo::INorvViaAssign>(m_uidManager, index, &UID::GetNorvViaAssign); break;
    case 43: name = fetchName<Lumo::INorvGenObjType>(m_uidManager, index, &UID::GetNorvGenObjType); break;
    case 44: name = fetchName<Lumo::INorvGenCompObj>(m_uidManager, index, &UID::GetNorvGenCompObj); break;
    case 45: name = fetchName<Lumo::INorvGenObj>(m_uidManager, index, &UID::GetNorvGenObj); break;
    case 46: name = fetchName<Lumo::INorvDiffPair>(m_uidManager, index, &UID::GetNorvDiffPair); break;
    case 47: name = fetchName<Lumo::INorvElectricalNet>(m_uidManager, index, &UID::GetNorvElectricalNet); break;
    case 48: name = fetchName<Lumo::INorvPinPair>(m_uidManager, index, &UID::GetNorvPinPair); break;
    case 49: name = fetchName<Lumo::INorvPhysicalNet>(m_uidManager, index, &UID::GetNorvPhysicalNet); break;
    case 50: name = fetchName<Lumo::INorvFromTo>(m_uidManager, index, &UID::GetNorvFromTo); break;
    case 51: name = fetchName<Lumo::INorvComp>(m_uidManager, index, &UID::GetNorvComp); break;
    case 52: name = fetchName<Lumo::INorvPin>(m_uidManager, index, &UID::GetNorvPin); break;
    case 53: name = fetchName<Lumo::INorvPart>(m_uidManager, index, &UID::GetNorvPart); break;
    case 54: name = fetchName<Lumo::INorvPartPin>(m_uidManager, index, &UID::GetNorvPartPin); break;
    case 62: name = fetchName<Lumo::INorvVia>(m_uidManager, index, &UID::GetNorvVia); break;
    case 71: name = fetchName<Lumo::INorvPartPinPair>(m_uidManager, index, &UID::GetNorvPartPinPair); break;
    default: break;
    }
    return name.empty() ? std::string("<...>") : name;
}

bool CNorvDetailChecker::checkNamesUnique(std::vector<std::string>& names)
{
    std::vector<std::string> keys;
    keys.reserve(names.size());
    for (const std::string& name : names)
        keys.push_back(FoldCase(name));
    bool unique = true;
    ForEachEqualPair(keys, [&](std::size_t earlier, std::size_t) {
        unique = false;
        m_message = "Name duplicated: \"" + names[earlier];
        raiseError();
    });
    return unique;
}

std::string CNorvDetailChecker::calculateMessage(const std::string& text, const ReportedName& name)
{
    std::string result(text);
    const std::string::size_type at = result.find("%N");
    if (at != std::string::npos)
        result.replace(at, 2, name.text());
    return result;
}

std::string CNorvDetailChecker::calculateMessage(const std::string& text, Lumo::Index index)
{
    return calculateMessage(text, indexToName(index));
}

void CNorvDetailChecker::addErrIndex(Lumo::Index index)
{
    if (m_pLog)
        m_pLog->addIndexToString(index, m_message);
}

void CNorvDetailChecker::addErrInt(int value)
{
    m_message += std::to_string(value);
}

std::list<CFixIssue>& CNorvDetailChecker::GetIssuesList()
{
    return m_issues;
}

void CNorvDetailChecker::AddIssues(const std::list<CFixIssue>& issues, bool onlyFixed)
{
    for (const CFixIssue& issue : issues)
        if (!onlyFixed || issue.GetFixStatus())
            m_issues.push_back(issue);
}

long CNorvDetailChecker::GetTestTime() const
{
    return m_testTime;
}

void CNorvDetailChecker::SetTestTime(long seconds)
{
    m_testTime = seconds;
}

TestStatus CNorvDetailChecker::GetUnqueuedStatus() const
{
    return m_unqueuedStatus;
}

void CNorvDetailChecker::clearRunData()
{
    m_issues.clear();
    m_message.clear();
    m_testTime = 0;
}
