// Shared pieces of the suites of the constraint-definition, default-object, rule, template and
// session-state tests: a small design built with the stand-in's builder, constraints files written
// for one case, one run of a test (stored findings, or the findings the repair manager queued in
// fix mode) and the log lines its findings give.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/CTestLog.h"

#include "lumopi/StandIn.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace conskit
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

// A session with snapshot "main", Norv configuration "TOP" and its design.
struct Design
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b{*session, "main"};
    Index config = b.NorvConfig("TOP");
    Index design = b.Design(config);

    Lumo::StandIn::Faults& faults() { return Lumo::StandIn::GetFaults(*session); }
    Lumo::StandIn::Store& store() { return b.GetStore(); }
    Index find(Kind kind, const std::string& name)
    {
        for (Index index : store().AllLive(kind))
            if (store().Name(index) == name)
                return index;
        return Index();
    }
};

// A file in the temporary folder, removed when the object goes.
class TempFile
{
public:
    explicit TempFile(const std::string& content)
    {
        char path[] = "/tmp/conskit-XXXXXX";
        const int fd = mkstemp(path);
        if (fd >= 0)
            close(fd);
        m_path = path;
        std::ofstream(m_path, std::ios::binary) << content;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// A constraints file of the given owners and definitions (JSON array bodies).
inline std::string ConstraintsJson(const std::string& owners, const std::string& definitions)
{
    return "{ \"format\": \"kravik-constraints\", \"version\": 1, \"owners\": [" + owners + "], \"definitions\": [" +
           definitions + "] }";
}

inline std::string ExampleConstraintsPath()
{
    return std::string(KRAVIK_SOURCE_DIR) + "/examples/constraints-example.json";
}

struct Finding
{
    unsigned code = 0;
    std::vector<std::pair<Index, std::string>> pairs;

    bool operator==(const Finding& o) const { return code == o.code && pairs == o.pairs; }
    bool operator!=(const Finding& o) const { return !(*this == o); }
};

inline void PrintTo(const Finding& f, std::ostream* os)
{
    *os << "{" << f.code;
    for (const auto& p : f.pairs)
        *os << ", (" << p.first.ToText() << ", \"" << p.second << "\")";
    *os << "}";
}

inline Finding F(unsigned code, std::vector<std::pair<Index, std::string>> pairs = {})
{
    return Finding{code, std::move(pairs)};
}

inline Finding FromIssue(const CFixIssue& issue)
{
    Finding f;
    f.code = issue.GetCode();
    const Index indexes[4] = {issue.GetIndex1(), issue.GetIndex2(), issue.GetIndex3(), issue.GetIndex4()};
    const std::string names[4] = {issue.GetName1(), issue.GetName2(), issue.GetName3(), issue.GetName4()};
    for (unsigned i = 0; i < issue.GetCount() && i < 4; ++i)
        f.pairs.emplace_back(indexes[i], names[i]);
    return f;
}

inline std::vector<Finding> FindingsOf(CNorvDetailChecker& test)
{
    std::vector<Finding> out;
    for (const CFixIssue& issue : test.GetIssuesList())
        out.push_back(FromIssue(issue));
    return out;
}

inline std::vector<unsigned> CodesOf(const std::vector<Finding>& findings)
{
    std::vector<unsigned> out;
    for (const Finding& f : findings)
        out.push_back(f.code);
    return out;
}

// A log writing into memory, at level 2 unless told.
class MemoryLog
{
public:
    explicit MemoryLog(int level = 2) : m_file(open_memstream(&m_buffer, &m_size)), m_log(m_file, false)
    {
        m_log.setLogLevel(level);
    }
    ~MemoryLog()
    {
        std::fclose(m_file);
        std::free(m_buffer);
    }
    MemoryLog(const MemoryLog&) = delete;
    MemoryLog& operator=(const MemoryLog&) = delete;

    CTestLog& log() { return m_log; }
    std::string text()
    {
        std::fflush(m_file);
        return std::string(m_buffer, m_size);
    }

private:
    char* m_buffer = nullptr;
    std::size_t m_size = 0;
    FILE* m_file;
    CTestLog m_log;
};

struct Outcome
{
    TestStatus status = NOT_TESTED;
    std::vector<Finding> findings;
    std::string immediate;  // what the test wrote to the log during the run
    std::vector<unsigned> codes() const { return CodesOf(findings); }
};

// One run outside fix mode on snapshot "main", top block "TOP". afterInit runs between initTest
// and runTest (faults that must not fire in initTest).
inline Outcome RunTest(CNorvDetailChecker& test, Lumo::LumoPI& session, const std::string& consFile = "",
                   const std::function<void()>& afterInit = {}, int logLevel = 2)
{
    MemoryLog log(logLevel);
    Outcome out;
    test.initTest(&session, "main", "TOP", &log.log(), nullptr, 1, consFile);
    if (afterInit)
        afterInit();
    out.status = test.runTest(false);
    out.findings = FindingsOf(test);
    out.immediate = log.text();
    return out;
}

// One run in fix mode with a repair manager that repairs nothing: the findings as it queued them.
inline std::vector<Finding> RunQueued(CNorvDetailChecker& test, Lumo::LumoPI& session, const std::string& consFile = "")
{
    MemoryLog log;
    CFixMgr manager(false);
    manager.EnablePostFixIssuesMode(true);
    test.initTest(&session, "main", "TOP", &log.log(), &manager, 1, consFile);
    test.runTest(false);
    unsigned fixed = 0;
    manager.RunPostTestFixIssues(&test, true, fixed);
    return FindingsOf(test);
}

// Runs a fresh test once per call of a run, failing the k-th call from the start of runTest, until
// a run makes fewer calls; returns every code that the runs raised.
template <class Test>
std::vector<unsigned> SweepEveryCall(Lumo::LumoPI& session, const std::string& consFile = "")
{
    std::vector<unsigned> seen;
    for (uint64_t k = 1; k < 5000; ++k) {
        Test test;
        const Outcome out = RunTest(test, session, consFile, [&] { Lumo::StandIn::GetFaults(session).SetCountdown(k); });
        const bool fired = Lumo::StandIn::GetFaults(session).GetCountdown() == 0;
        Lumo::StandIn::GetFaults(session).ClearAll();
        for (const Finding& f : out.findings)
            seen.push_back(f.code);
        if (!fired)
            break;
    }
    return seen;
}

// The coded lines the stored findings give, as the checker writes them after a run.
inline std::vector<std::string> LogLines(CNorvDetailChecker& test)
{
    MemoryLog memory;
    CTestLog& log = memory.log();
    for (const CFixIssue& issue : test.GetIssuesList()) {
        const int code = static_cast<int>(issue.GetCode());
        const DICSeverity sev = issue.GetSeverity();
        switch (issue.GetCount()) {
        case 0: log.logMsg(sev, &test, code); break;
        case 1: log.logMsg(sev, &test, code, issue.GetName1(), issue.GetIndex1()); break;
        case 2:
            log.logMsg(sev, &test, code, issue.GetName1(), issue.GetIndex1(), issue.GetName2(), issue.GetIndex2());
            break;
        case 3:
            log.logMsg(sev, &test, code, issue.GetName1(), issue.GetIndex1(), issue.GetName2(), issue.GetIndex2(),
                       issue.GetName3(), issue.GetIndex3());
            break;
        default:
            log.logMsg(sev, &test, code, issue.GetName1(), issue.GetIndex1(), issue.GetName2(), issue.GetIndex2(),
                       issue.GetName3(), issue.GetIndex3(), issue.GetName4(), issue.GetIndex4());
            break;
        }
    }
    std::vector<std::string> lines;
    const std::string text = memory.text();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

} // namespace conskit
