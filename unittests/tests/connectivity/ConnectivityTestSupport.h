// Shared pieces of the connectivity suites: a small design built with the stand-in's builder, a
// runner that binds a test to it (plain or fix mode with queued repairs) and runs it once, and the
// findings written as short texts "code idx:name idx:name" for exact comparison.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/CTestLog.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace conntest
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

// A log that keeps everything it writes.
class CapturingLog : public CTestLog
{
public:
    explicit CapturingLog(int level = 2) : CTestLog(nullptr, false) { setLogLevel(level); }
    void emitMessage(std::string text) override { written += text; }
    std::string written;
};

// A session with snapshot "main", Norv configuration "TOP" with its design, and the schematic
// configuration of the same top block.
struct Design
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b{*session, "main"};
    Index config = b.NorvConfig("TOP");
    Index design = b.Design(config);
    Index schematic = b.DefaultConfig("TOP");

    Lumo::StandIn::Faults& faults() { return Lumo::StandIn::GetFaults(*session); }
    void setType(Index physNet, int type) { b.SetInt(physNet, Field::netType, type); }
};

// "code" followed by " index:name" per pair.
inline std::string finding(unsigned code, std::initializer_list<std::pair<Index, std::string>> pairs = {})
{
    std::string text = std::to_string(code);
    for (const auto& pair : pairs)
        text += " " + pair.first.ToText() + ":" + pair.second;
    return text;
}

inline std::string finding(const CFixIssue& issue)
{
    const std::pair<Index, std::string> all[] = {{issue.GetIndex1(), issue.GetName1()},
                                                 {issue.GetIndex2(), issue.GetName2()},
                                                 {issue.GetIndex3(), issue.GetName3()},
                                                 {issue.GetIndex4(), issue.GetName4()}};
    std::string text = std::to_string(issue.GetCode());
    for (unsigned i = 0; i < issue.GetCount() && i < 4; ++i)
        text += " " + all[i].first.ToText() + ":" + all[i].second;
    return text;
}

// Binds a test of class T to the design and runs it once.
template <class T>
struct TestRun
{
    T test;
    CapturingLog log;
    TestStatus status = NOT_TESTED;

    // beforeRun runs between initTest and runTest (for faults that initTest must not meet).
    explicit TestRun(Design& d, bool fixMode = false, const std::function<void()>& beforeRun = nullptr)
        : TestRun(d.session.get(), "main", "TOP", fixMode, beforeRun)
    {
    }

    TestRun(Lumo::LumoPI* session, const std::string& snapshot, const std::string& top, bool fixMode = false,
            const std::function<void()>& beforeRun = nullptr)
    {
        if (!fixMode) {
            test.initTest(session, snapshot, top, &log, nullptr, 1, "");
            if (beforeRun)
                beforeRun();
            status = test.runTest(false);
            return;
        }
        // Fix mode with the repair queue: the findings come back in raise order after the test.
        CFixMgr fixMgr(false);
        fixMgr.Init(&log);
        fixMgr.EnablePostFixIssuesMode(true);
        test.initTest(session, snapshot, top, &log, &fixMgr, 1, "");
        if (beforeRun)
            beforeRun();
        status = test.runTest(false);
        unsigned fixed = 0;
        fixMgr.RunPostTestFixIssues(&test, true, fixed);
    }

    std::vector<std::string> findings()
    {
        std::vector<std::string> texts;
        for (const CFixIssue& issue : test.GetIssuesList())
            texts.push_back(finding(issue));
        return texts;
    }

    // The log line of the first stored finding, as the checker writes it.
    std::string firstLine()
    {
        const auto& issues = test.GetIssuesList();
        if (issues.empty())
            return "";
        const CFixIssue& i = issues.front();
        Index i1 = i.GetIndex1(), i2 = i.GetIndex2(), i3 = i.GetIndex3(), i4 = i.GetIndex4();
        log.written.clear();
        switch (i.GetCount()) {
        case 0: log.logMsg(i.GetSeverity(), &test, i.GetCode()); break;
        case 1: log.logMsg(i.GetSeverity(), &test, i.GetCode(), i.GetName1(), i1); break;
        case 2: log.logMsg(i.GetSeverity(), &test, i.GetCode(), i.GetName1(), i1, i.GetName2(), i2); break;
        case 3:
            log.logMsg(i.GetSeverity(), &test, i.GetCode(), i.GetName1(), i1, i.GetName2(), i2, i.GetName3(), i3);
            break;
        default:
            log.logMsg(i.GetSeverity(), &test, i.GetCode(), i.GetName1(), i1, i.GetName2(), i2, i.GetName3(), i3,
                       i.GetName4(), i4);
        }
        return log.written;
    }
};

using Findings = std::vector<std::string>;

// Runs a test of class T once on the design and gives its findings.
template <class T>
Findings findingsOf(Design& d)
{
    TestRun<T> run(d);
    return run.findings();
}

// A row of a table over several tests: the test to run and what builds the design (and its
// faults) and returns the findings expected.
struct DesignCase
{
    const char* what;
    Findings (*run)(Design&);
    std::function<Findings(Design&)> build;
};

// Runs every row on a design of its own.
inline void RunDesignCases(const std::vector<DesignCase>& cases)
{
    for (const DesignCase& c : cases) {
        Design d;
        const Findings expected = c.build(d);
        EXPECT_EQ(c.run(d), expected) << c.what;
    }
}

} // namespace conntest
