// Shared pieces of the framework suites: a small design built with the stand-in's builder, a test
// whose body is given by the suite, a log and an observer that record what they receive, and a
// checker whose tests a suite can replace.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"
#include "framework/IProjectCheckerObserver.h"

#include "lumopi/StandIn.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fwtest
{

// A session with snapshot "main", Norv configuration "TOP", its design and the standard objects.
struct Design
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder builder{*session, "main"};
    Lumo::Index config = builder.NorvConfig("TOP");
    Lumo::Index design = builder.Design(config);

    Design() { builder.DefaultObjects(design); }
    Lumo::StandIn::Store& store() { return builder.GetStore(); }
    // The live object of a kind with that name (empty index when there is none).
    Lumo::Index find(Lumo::StandIn::Kind kind, const std::string& name)
    {
        for (Lumo::Index index : store().AllLive(kind))
            if (store().Name(index) == name)
                return index;
        return Lumo::Index();
    }
};

// A test whose runTest is the given body; everything else is the base's.
class ScriptedTest : public CNorvDetailChecker
{
public:
    using Body = std::function<TestStatus(ScriptedTest&)>;

    explicit ScriptedTest(std::string name, Body body = nullptr) : m_name(std::move(name)), m_body(std::move(body)) {}

    std::string getTestName() const override { return m_name; }
    std::string getTestShortName() const override { return "Short" + m_name; }
    std::string getTestDescription() const override { return "Checks " + m_name; }
    TestStatus runTest(bool runArg) override
    {
        ++runs;
        lastRunArg = runArg;
        raiseStatus(TESTING);
        m_statusString.clear();
        if (m_body) {
            const TestStatus early = m_body(*this);
            if (early != NOT_TESTED)
                return early;
        }
        raiseStatus(OK);
        return m_status;
    }

    // Reach the protected parts from a body.
    Lumo::IUIDManager& uid() { return m_uidManager; }
    const Lumo::ContainerT<const Lumo::INorvDesign>& design() const { return m_design; }
    std::string& message() { return m_message; }
    unsigned pass() const { return m_pass; }
    template <class T, class... Pairs>
    bool readIndexOf(const Lumo::ContainerT<const T>& object, Lumo::Index& index, int failCode, Pairs&&... pairs)
    {
        return readIndex(object, index, failCode, std::forward<Pairs>(pairs)...);
    }
    template <class T, class... Pairs>
    bool readNameOf(const Lumo::ContainerT<const T>& object, std::string& name, int failCode, Pairs&&... pairs)
    {
        return readName(object, name, failCode, std::forward<Pairs>(pairs)...);
    }

    int runs = 0;
    bool lastRunArg = false;

private:
    std::string m_name;
    Body m_body;
};

// A log that keeps everything it writes.
class CapturingLog : public CTestLog
{
public:
    explicit CapturingLog(bool noNewline = false, int level = 1) : CTestLog(nullptr, noNewline) { setLogLevel(level); }
    void emitMessage(std::string text) override { written += text; }
    std::string written;
};

// Records the observer calls as short texts: "start", "total 3", "step 2", "fix 0 1", "end".
class RecordingObserver : public IProjectCheckerObserver
{
public:
    void OnStartTests() override { calls.push_back("start"); }
    void OnEndTests() override { calls.push_back("end"); }
    void OnSetTotalSteps(unsigned total) override { calls.push_back("total " + std::to_string(total)); }
    void OnSetCurrentStep(unsigned step) override { calls.push_back("step " + std::to_string(step)); }
    void OnFixState(bool reload, unsigned fixed) override
    {
        calls.push_back("fix " + std::to_string(reload ? 1 : 0) + " " + std::to_string(fixed));
    }
    std::vector<std::string> calls;
};

// A checker whose registered tests a suite replaces with its own (the checker deletes them).
class TestableChecker : public CNorvProjectChecker
{
public:
    using CNorvProjectChecker::CNorvProjectChecker;

    TestableChecker(Lumo::LumoPI* session, IKravikLog* log, int logLevel = 1, bool fixMode = false,
                    bool backEnd = false, int useFilter = 0, const std::string& filterFile = "")
        : CNorvProjectChecker(session, "TOP", log, "", logLevel, useFilter, filterFile, true, fixMode, "", backEnd)
    {
    }

    void setTests(std::vector<CNorvDetailChecker*> tests)
    {
        for (CNorvDetailChecker* test : m_vecTests)
            delete test;
        m_vecTests = std::move(tests);
    }
    const std::vector<int>& filter() const { return m_vecFilter; }
    int useFilter() const { return m_bUseFilter; }
    IKravikLog* log() const { return m_pLog; }
    CFixMgr* fixMgr() const { return m_pFixMgr; }
    CNorvDetailChecker* test(size_t i) const { return m_vecTests.at(i); }
};

// Keeps the reload flag and the string-results switch from leaking between cases.
struct ProcessStateGuard
{
    ProcessStateGuard() { CFixMgr::m_bReloadFlag = false; }
    ~ProcessStateGuard()
    {
        CFixMgr::m_bReloadFlag = false;
        Lumo::StandIn::SetStringResultsEnabledForTest(false);
    }
};

} // namespace fwtest
