// CNorvDetailChecker: the base of every test. The checker calls initTest (binds the test to the
// run: session, snapshot, UID manager, Norv configuration and design, log, repair manager, pass)
// and runTest once per pass, then reads the status, the time and the stored findings.
//
// Writing a test: derive from this class, override the destructor, getTestDescription,
// getTestName, getTestShortName and runTest, and report every finding through raiseError with a
// diagnostic code of the test's family and up to four (index, name) pairs. The catalogue decides
// severity and whether the code is reported; outside fix mode the finding is stored, in fix mode
// it goes to the repair manager. runTest follows: raiseStatus(TESTING), m_statusString empty,
// walk, raiseStatus(OK), return m_status (or return the raise that ended the walk early). A walk
// over a GetIter* iterator loops on walkOn (framework/ReadThrough.h), so that an iterator that
// fails mid-walk is reported with the code of its failed GetIter* call, not taken for the end.
//
// A test runs on the thread of the check and is touched by no other. The log and repair manager
// are not owned.
#pragma once

#include "framework/CCharsValidator.h"
#include "framework/CDICErrors.h"
#include "framework/CFixIssue.h"
#include "framework/IKravikLog.h"
#include "framework/ReadThrough.h"
#include "framework/TestStatus.h"

#include "lumopi/LumoPI.h"

#include <list>
#include <string>
#include <utility>
#include <vector>

class CFixMgr;

// A name that raiseError reports, with all its bytes: a std::string or Lumo::String whole (a name
// may hold a NUL, which a C string would end at), a C string up to its end, null as empty.
class ReportedName
{
public:
    ReportedName(const char* text) : m_text(text ? text : "") {}
    ReportedName(std::string text) : m_text(std::move(text)) {}
    ReportedName(const Lumo::String& text) : m_text(text.str()) {}
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

class CNorvDetailChecker : public CCharsValidator
{
public:
    CNorvDetailChecker();
    CNorvDetailChecker(const CNorvDetailChecker&) = default;
    CNorvDetailChecker& operator=(const CNorvDetailChecker&) = default;
    virtual ~CNorvDetailChecker();

    // Opens the snapshot, its UID manager, the Norv configuration of the top block and its design.
    // On a failure the test is FAILED, the failure is logged and false is returned. In fix mode
    // the repair manager is always given this test's handles (empty after a failure).
    virtual bool initTest(Lumo::LumoPI* session, std::string snapshotName, std::string topBlockName,
                          IKravikLog* log, CFixMgr* fixMgr, unsigned pass, std::string consFilePath);
    virtual std::string getTestDescription() const;
    virtual std::string getTestName() const;
    virtual std::string getTestShortName() const;
    virtual TestStatus runTest(bool runArg);
    virtual TestStatus getStatus() const;
    virtual std::string getStatusString() const;
    // Raises the status to s when s is higher; never lowers it.
    virtual void raiseStatus(TestStatus s);

    // A failure without a code: raises FAILED and logs m_message as an error line at once.
    virtual TestStatus raiseError();
    // A code together with a failed database result; outside fix mode logged at once (not stored).
    virtual TestStatus raiseError(int code, Lumo::Result& result);
    // A code with four, three, two, one or no (index, name) pairs, kept in the order given.
    virtual TestStatus raiseError(int code, Lumo::Index index1, const ReportedName& name1, Lumo::Index index2,
                                  const ReportedName& name2, Lumo::Index index3, const ReportedName& name3,
                                  Lumo::Index index4, const ReportedName& name4);
    virtual TestStatus raiseError(int code, Lumo::Index index1, const ReportedName& name1, Lumo::Index index2,
                                  const ReportedName& name2, Lumo::Index index3, const ReportedName& name3);
    virtual TestStatus raiseError(int code, Lumo::Index index1, const ReportedName& name1, Lumo::Index index2,
                                  const ReportedName& name2);
    virtual TestStatus raiseError(int code, Lumo::Index index1, const ReportedName& name1);
    // One pair: the empty index and the name (a text that only fills a "%N").
    virtual TestStatus raiseError(int code, const ReportedName& name1);
    // One pair: the index and the empty name.
    virtual TestStatus raiseError(int code, Lumo::Index index1);
    virtual TestStatus raiseError(int code);
    // A warning without a code: raises WARNINGS and logs m_message as a warning line at once.
    virtual TestStatus raiseWarning();
    // Logs m_message as an info line.
    virtual void echo();

    // The severity of the code (out) and whether it is reported; raises the status by it.
    bool raiseMessage(unsigned code, DICSeverity& severity);
    void SetStatus(TestStatus s);
    void undoRaiseStatus();
    void reRaiseStatus(DICSeverity& severity);

    // The characters of name not in validChars, each once, in order of first occurrence.
    std::string checkName(const char* name, const char* validChars);
    // The display name of any object by its index; "<...>" when it cannot be named.
    std::string indexToName(Lumo::Index index);
    // Raises a "Name duplicated" error for every two names equal without regard to case (earlier
    // index first); true when all names differ.
    bool checkNamesUnique(std::vector<std::string>& names);
    // text with its first "%N" replaced.
    std::string calculateMessage(const std::string& text, const ReportedName& name);
    std::string calculateMessage(const std::string& text, Lumo::Index index);
    void addErrIndex(Lumo::Index index);
    void addErrInt(int value);

    std::list<CFixIssue>& GetIssuesList();
    // Appends copies of the issues; with onlyFixed, only the repaired ones.
    void AddIssues(const std::list<CFixIssue>& issues, bool onlyFixed);
    long GetTestTime() const;
    void SetTestTime(long seconds);

    // The highest status raised outside the repair queue in the current pass (a failed initTest,
    // raiseError() or raiseWarning()); in fix mode the final status is never below it.
    TestStatus GetUnqueuedStatus() const;
    // Forgets the findings, message and time of earlier runs; the checker calls it when a run starts.
    void clearRunData();

protected:
    // Walking helpers. Each reads one value of the object a container (or iterator) holds and, on
    // a failed read, raises failCode with the given pairs (as raiseError takes them) and returns
    // false, so a walk reads as: if (!readIndex(it, index, T_ERRINDEX)) continue;
    template <class T, class... Pairs>
    bool readIndex(const Lumo::ContainerT<const T>& object, Lumo::Index& index, int failCode, Pairs&&... pairs)
    {
        if (object->GetIndex(index))
            return true;
        raiseError(failCode, std::forward<Pairs>(pairs)...);
        return false;
    }
    // readIndex of an object that a getter returned: one that is not valid fails the read without a
    // call through its container (readThrough).
    template <class T, class... Pairs>
    bool readIndexThrough(const Lumo::ContainerT<const T>& object, Lumo::Index& index, int failCode, Pairs&&... pairs)
    {
        if (readThrough(object, [&] { return object->GetIndex(index); }))
            return true;
        raiseError(failCode, std::forward<Pairs>(pairs)...);
        return false;
    }
    template <class T, class... Pairs>
    bool readName(const Lumo::ContainerT<const T>& object, std::string& name, int failCode, Pairs&&... pairs)
    {
        Lumo::String text;
        if (object->GetName(text)) {
            name = text.str();
            return true;
        }
        raiseError(failCode, std::forward<Pairs>(pairs)...);
        return false;
    }
    std::string m_snapshotName;
    std::string m_topBlockName;
    std::string m_consFilePath;
    IKravikLog* m_pLog = nullptr;        // not owned
    Lumo::LumoPI* m_pSession = nullptr;  // not owned
    Lumo::ContainerT<const Lumo::ISnapshot> m_snapshot;
    Lumo::IUIDManager m_uidManager;
    Lumo::ContainerT<const Lumo::INorvConfig> m_config;
    Lumo::ContainerT<const Lumo::INorvDesign> m_design;
    TestStatus m_status = NOT_TESTED;
    TestStatus m_prevStatus = NOT_TESTED;
    std::string m_statusString;
    std::string m_message;
    bool m_bFixMode = false;
    CFixMgr* m_pFixMgr = nullptr;        // not owned
    std::list<CFixIssue> m_issues;
    bool m_bLogErrors = true;
    bool m_bLogWarnings = false;
    bool m_bLogInfos = false;
    long m_testTime = 0;
    unsigned m_pass = 0;

private:
    bool IsLogMsg(DICSeverity severity) const;
    bool IsLogMsg(int code, DICSeverity severity) const;
    void raiseUnqueued(TestStatus s);
    // Sends m_message to the log by severity, then clears it.
    void sendMessage(DICSeverity severity);
    // Stores the finding (outside fix mode) or hands it to the repair manager.
    template <class... Pairs>
    TestStatus raiseCoded(int code, unsigned count, const Pairs&... pairs);

    TestStatus m_unqueuedStatus = NOT_TESTED;
};
