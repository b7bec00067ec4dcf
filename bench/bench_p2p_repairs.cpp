// Fix mode against check mode on a design with many package-to-package rules, half of them lacking one
// of their five constraints. The test raises one finding per missing constraint and every finding
// leads to the repair that deletes all broken rules; the first sweep of a test's queue repairs them
// all, so fix mode (two passes and a save) should stay within a small multiple of a check.
//
//   bench_p2p_repairs [rules, default 10000]
//
// Both runs go as kravik runs them: the design file is loaded, checked (in fix mode: repaired in two
// passes) and, in fix mode, saved. Prints the seconds of each, their ratio (goal: at most 4; the exit
// code is 1 above it), the findings, the walks over the rules and the rules left.

#include "bench/BenchHarness.h"
#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Kind;

const char* const kConstraints[] = {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION", "P2P_CLEARANCE"};

// rules package-to-package rules; every second one lacks one constraint, in turn.
std::unique_ptr<BenchHarness::NorvDesign> BuildDesign(size_t rules)
{
    auto d = std::make_unique<BenchHarness::NorvDesign>();
    const Index design = d->b.GetStore().Ref(d->config, Lumo::StandIn::Field::design);
    for (size_t i = 0; i < rules; ++i)
    {
        const Index rule = d->b.Add(Kind::P2PClearRule, design, "PK" + std::to_string(i));
        for (size_t c = 0; c < 5; ++c)
            if (i % 2 == 0 || c != (i / 2) % 5)
                d->b.Constraint(rule, kConstraints[c], "1");
    }
    return d;
}

struct Run
{
    double seconds = 0;
    std::string log;
    uint64_t walks = 0;  // GetIterP2PClearRules calls
    size_t rulesLeft = 0;
};

// As kravik runs: load the design file, one whole checker run, and in fix mode a save.
Run RunChecker(const std::string& designPath, bool fix, const std::string& savePath)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* memory = open_memstream(&buffer, &size);
    Run run;
    {
        CTestLog log(memory, false);
        log.setLogLevel(1);
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(designPath);
        if (!session)
            return run;
        CNorvProjectChecker checker(session.get(), "TOP", &log, "", 1, 0, "", false, fix, "", false);
        checker.Check_NorvLUMO("main");
        if (fix)
            Lumo::StandIn::SaveSession(*session, savePath, true);
        run.seconds = BenchHarness::SecondsSince(start);
        run.walks = Lumo::StandIn::GetCallCounts(*session).Get("GetIterP2PClearRules");
        run.rulesLeft = Lumo::StandIn::GetStore(*session).AllLive(Kind::P2PClearRule).size();
    }
    std::fclose(memory);
    run.log.assign(buffer, size);
    std::free(buffer);
    return run;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

std::string TempPath()
{
    char path[] = "/tmp/bench-p2p-XXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0)
        close(fd);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t rules = BenchHarness::MaxSize(argc, argv, 10000);
    const std::string designPath = TempPath();
    const std::string savePath = TempPath();
    Lumo::StandIn::SaveSession(*BuildDesign(rules)->session, designPath, true);

    const Run check = RunChecker(designPath, false, "");
    const Run fix = RunChecker(designPath, true, savePath);
    std::remove(designPath.c_str());
    std::remove(savePath.c_str());

    std::printf("%-8s %8s %10s %10s %10s %10s\n", "mode", "rules", "seconds", "6203 lines", "rule walks", "rules left");
    for (const auto& row : {std::make_pair("check", &check), std::make_pair("fix", &fix)})
        std::printf("%-8s %8zu %10.3f %10zu %10llu %10zu\n", row.first, rules, row.second->seconds,
                    Count(row.second->log, "ERROR 6203:"), static_cast<unsigned long long>(row.second->walks),
                    row.second->rulesLeft);
    std::printf("fix / check: %.2f (goal: at most 4); repaired findings: %zu\n", fix.seconds / check.seconds,
                Count(fix.log, " - Fixed."));
    return fix.seconds <= 4 * check.seconds ? 0 : 1;
}
