// Shared harness of the test-scaling benchmarks: the size argument, a Norv design to fill, timing one
// test run and printing the result tables.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "framework/CTestLog.h"

#include "lumopi/StandIn.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace BenchHarness
{

// A file of the given content under /tmp, removed with the object (a constraints file of a run).
class TempFile
{
public:
    explicit TempFile(const char* content)
    {
        char path[] = "/tmp/bench-XXXXXX";
        const int fd = mkstemp(path);
        if (fd >= 0)
            close(fd);
        m_path = path;
        std::ofstream(m_path) << content;
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* Path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

// The largest design size: the first argument, or fallback without one.
inline size_t MaxSize(int argc, char** argv, size_t fallback)
{
    return argc > 1 ? std::strtoul(argv[1], nullptr, 10) : fallback;
}

// A session of design "main" with the Norv configuration TOP, its design holding the default objects and
// the default schematic configuration of the same name, ready to be filled through the builder.
struct NorvDesign
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b{*session, "main"};
    Lumo::Index config = b.NorvConfig("TOP");
    Lumo::Index schematic = DefaultObjectsAndConfig();

private:
    Lumo::Index DefaultObjectsAndConfig()
    {
        b.DefaultObjects(b.Design(config));
        return b.DefaultConfig("TOP");
    }
};

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds one run of an initialised test takes.
inline double TimeRun(CNorvDetailChecker& test)
{
    const auto start = std::chrono::steady_clock::now();
    test.runTest(false);
    return SecondsSince(start);
}

// A table of one row per test and design size: seconds, nanoseconds per object and findings.
struct NsTable
{
    int labelWidth;
    int countWidth;
    int perWidth;

    NsTable(int labelWidth_, const char* countTitle, int countWidth_, const char* perTitle, int perWidth_)
        : labelWidth(labelWidth_), countWidth(countWidth_), perWidth(perWidth_)
    {
        std::printf("%-*s %*s %10s %*s %10s\n", labelWidth, "test", countWidth, countTitle, "seconds", perWidth,
                    perTitle, "findings");
    }

    // Runs a fresh Test once on the session's design TOP and prints its row.
    template <class Test>
    void Time(const char* label, Lumo::LumoPI& session, size_t count) const
    {
        CTestLog log(nullptr, false);
        Test test;
        test.initTest(&session, "main", "TOP", &log, nullptr, 1, "");
        const double seconds = TimeRun(test);
        std::printf("%-*s %*zu %10.4f %*.1f %10zu\n", labelWidth, label, countWidth, count, seconds, perWidth,
                    seconds * 1e9 / static_cast<double>(count), test.GetIssuesList().size());
        std::fflush(stdout);
    }
};

// A named test of a case table.
struct Case
{
    const char* name;
    std::function<std::unique_ptr<CNorvDetailChecker>()> make;
};

template <class Test>
Case MakeCase(const char* name)
{
    return {name, [] { return std::make_unique<Test>(); }};
}

// Runs every case once on the session's design TOP (with the constraints file, "" for none) and prints
// one row each: findings, seconds, microseconds per size and database calls.
inline void RunCases(const std::vector<Case>& cases, Lumo::LumoPI& session, size_t n, int labelWidth,
                     const char* constraints)
{
    CTestLog log(nullptr, false);
    for (const Case& c : cases)
    {
        auto test = c.make();
        test->initTest(&session, "main", "TOP", &log, nullptr, 1, constraints);
        Lumo::StandIn::GetCallCounts(session).Reset();
        const double seconds = TimeRun(*test);
        std::printf("%-*s %8zu %10zu %12.4f %14.3f %10llu\n", labelWidth, c.name, n, test->GetIssuesList().size(),
                    seconds, seconds * 1e6 / static_cast<double>(n),
                    static_cast<unsigned long long>(Lumo::StandIn::GetCallCounts(session).Total()));
    }
}

// The case table over designs of size 1000, 4000, ... up to maxSize, each made by build(size).
template <class Build>
void RunCaseTable(const std::vector<Case>& cases, size_t maxSize, int labelWidth, const char* constraints, Build build)
{
    std::printf("%-*s %8s %10s %12s %14s %10s\n", labelWidth, "test", "size", "findings", "seconds", "us per size",
                "db calls");
    for (size_t n = 1000; n <= maxSize; n *= 4)
        RunCases(cases, *build(n), n, labelWidth, constraints);
}

} // namespace BenchHarness
