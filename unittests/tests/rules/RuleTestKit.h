// Shared pieces of the rule test suites: a small design built with the stand-in's builder,
// constraints files written for one case, a run of one test outside fix mode (its stored findings)
// or in fix mode (the findings as the repair manager queued them), a sweep that fails every call of
// a run in turn, the log lines the findings give, and a run of the whole checker that keeps only
// the blocks of chosen tests.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"

#include "lumopi/StandIn.h"

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ruletest
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

// A session with snapshot "main", Norv configuration "TOP" and its design; nothing else unless a
// suite adds it (DefaultObjects adds the standard classes, schemes and rules).
struct Design
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b{*session, "main"};
    Index config = b.NorvConfig("TOP");
    Index design = b.Design(config);

    Lumo::StandIn::Faults& faults() { return Lumo::StandIn::GetFaults(*session); }
    Lumo::StandIn::Store& store() { return b.GetStore(); }
    // Takes the object out of the parent's list, keeping the others in order.
    void unlist(Index parent, Field list, Index object)
    {
        std::vector<Index> kept = store().List(parent, list);
        store().ClearList(parent, list);
        for (Index k : kept)
            if (k != object)
                store().Append(parent, list, k);
    }
    // The first live object of the kind with the name; the empty index when there is none.
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
        char path[] = "/tmp/ruletest-XXXXXX";
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

// Sets (or, with a null value, unsets) an environment variable for the life of the scope and then
// restores what was there.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        if (m_had)
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

// One stored or queued finding: its code and its (index, name) pairs in raise order.
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

// The codes alone, for cases where the pairs are checked elsewhere.
inline std::vector<unsigned> CodesOf(const std::vector<Finding>& findings)
{
    std::vector<unsigned> out;
    for (const Finding& f : findings)
        out.push_back(f.code);
    return out;
}

// What one runTest gave outside fix mode.
struct Outcome
{
    TestStatus status = NOT_TESTED;
    std::vector<Finding> findings;
    std::string immediate; // what the test wrote to the log during the run
    std::vector<unsigned> codes() const { return CodesOf(findings); }
};

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

// Runs the test once on snapshot "main", top block "TOP", outside fix mode, with the constraints
// file consFile. afterInit runs between initTest and runTest (to arm a fault countdown that must not
// fire in initTest).
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

inline Outcome RunTest(CNorvDetailChecker& test, Lumo::LumoPI& session, const std::function<void()>& afterInit)
{
    return RunTest(test, session, "", afterInit);
}

// A design and the test under check, the base of a suite's fixture; run() runs the test once
// outside fix mode.
template <class Test>
struct World
{
    Design d;
    Test test;

    Outcome run() { return RunTest(test, *d.session); }
};

// Runs the test once in fix mode with a repair manager that knows no repairs, and returns the
// findings as the manager queued them (the pairs a repair would read, in the order it would).
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
    for (std::uint64_t k = 1; k < 5000; ++k)
    {
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

// The coded lines the stored findings of a test give, as the checker writes them at the end of a
// run (objects that exist keep their indexes).
inline std::vector<std::string> LogLines(CNorvDetailChecker& test)
{
    MemoryLog memory;
    CTestLog& log = memory.log();
    for (const CFixIssue& issue : test.GetIssuesList())
    {
        const int code = static_cast<int>(issue.GetCode());
        const DICSeverity sev = issue.GetSeverity();
        switch (issue.GetCount())
        {
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
    std::string text = memory.text();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Runs the whole checker (log level 2; outside fix mode unless asked, then for the back end when
// asked) on the snapshot and top block with every test filtered out but those of the given short
// names, and returns the blocks those tests wrote, each from its "Test: " line to its "Result: "
// line (the time that follows varies), in run order. Tests that are not registered (the
// environment decides) give no block.
inline std::string CheckerBlocks(Lumo::LumoPI& session, const std::vector<std::string>& shortNames,
                                 const std::string& snapshot = "main", const std::string& topBlock = "TOP",
                                 bool fixMode = false, bool backEnd = false)
{
    char filterPath[] = "/tmp/ruletest-filter-XXXXXX";
    const int fd = mkstemp(filterPath);
    if (fd < 0)
        return std::string();

    MemoryLog memory;
    bool any = false;
    {
        // The run numbers depend on the environment: ask a first checker for them.
        CNorvProjectChecker probe(&session, topBlock, &memory.log(), "", 2, 0, "", false, false, "", false);
        std::string filter;
        for (unsigned n = 0; n < probe.GetTestCount(); ++n)
        {
            std::string shortText, nameText, description;
            probe.GetTestInfo(n, shortText, nameText, description);
            bool wanted = false;
            for (const std::string& name : shortNames)
                wanted = wanted || name == shortText;
            if (wanted)
                any = true;
            else
                filter += std::to_string(n) + "\n";
        }
        if (write(fd, filter.data(), filter.size()) != static_cast<ssize_t>(filter.size()))
            any = false;
    }
    close(fd);
    if (any)
    {
        CNorvProjectChecker checker(&session, topBlock, &memory.log(), "", 2, 1, filterPath, false, fixMode, "", backEnd);
        checker.Check_NorvLUMO(snapshot);
    }
    std::remove(filterPath);
    if (!any)
        return std::string();

    // Filtered tests write empty blocks too; the tests that ran are those not left NOT TESTED.
    const std::string text = memory.text();
    std::string blocks;
    std::size_t pos = 0;
    while ((pos = text.find("Test: ", pos)) != std::string::npos)
    {
        const std::size_t result = text.find("Result: ", pos);
        if (result == std::string::npos)
            break;
        const std::size_t lineEnd = text.find('\n', result);
        const std::size_t end = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
        if (text.compare(result, 18, "Result: NOT TESTED") != 0)
            blocks += text.substr(pos, end - pos);
        pos = end;
    }
    return blocks;
}

inline std::string CheckerBlock(Lumo::LumoPI& session, const std::string& shortName)
{
    return CheckerBlocks(session, {shortName});
}

} // namespace ruletest
