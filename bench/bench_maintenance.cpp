// Times the maintenance operations on generated designs of growing size: clearing all constraints
// (without the project backup), re-creating the Norv data from the schematic and the statistics
// report. Each operation runs on a freshly loaded copy of the design, three times, and the best time
// counts; only the operation is timed.
// Every tenth physical net also gets a T pin set, so that clearing has pin sets to delete.
//
//     build/release/bench/bench_maintenance [largest net count, default 100000]

#include "bench/BenchHarness.h"
#include "bench/DesignGenerator.h"

#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"
#include "maintenance/CNorvStatistics.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

namespace
{

std::unique_ptr<Lumo::LumoPI> Load(const std::string& path)
{
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(path, &error);
    if (!session) {
        std::fprintf(stderr, "bench_maintenance: cannot load %s: %s\n", path.c_str(), error.message.c_str());
        std::exit(1);
    }
    Lumo::StandIn::Builder builder(*session, "main");
    Lumo::StandIn::Store& store = builder.GetStore();
    const std::vector<Lumo::Index> nets = store.AllLive(Lumo::StandIn::Kind::PhysicalNet);
    for (size_t i = 0; i < nets.size(); i += 10)
        builder.Pin(nets[i], "PS" + std::to_string(i), Lumo::NPT_PinSetT);
    return session;
}

struct Operation
{
    const char* name;
    std::function<bool(Lumo::LumoPI&)> run;
};

} // namespace

int main(int argc, char** argv)
{
    const size_t maxNets = BenchHarness::MaxSize(argc, argv, 100000);
    // The messages and the report are not what is measured.
    CTestLog log(nullptr, false);
    const std::vector<Operation> operations = {
        {"clear --no-backup",
         [&log](Lumo::LumoPI& session) {
             CNorvProjectChecker checker(&session, "TOP", &log, "", 1, 0, "", false, false, "", false);
             return checker.ClearConstraints("main", true);
         }},
        {"recreate",
         [&log](Lumo::LumoPI& session) {
             CNorvProjectChecker checker(&session, "TOP", &log, "", 1, 0, "", false, false, "", false);
             return checker.ReCreate_NorvLUMO("main");
         }},
        {"stats",
         [&log](Lumo::LumoPI& session) {
             CNorvStatistics statistics(&session, "TOP", &log, "", 1, 0, "", false, "", false);
             return statistics.GenerateStats("main");
         }},
    };

    std::printf("%-20s %10s %10s %12s %14s %8s\n", "operation", "nets", "objects", "seconds", "us per net", "ratio");
    std::vector<double> previous(operations.size(), 0.0);
    for (size_t nets = maxNets / 10 > 0 ? maxNets / 10 : maxNets; nets <= maxNets; nets *= 10) {
        kravik_bench::DesignOptions options;
        options.pins = nets * 4; // four pins a net on average
        const std::string path = "/tmp/kravik-bench-maintenance-" + std::to_string(nets) + ".json";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const kravik_bench::DesignStats stats = kravik_bench::GenerateDesign(options, out);
        out.close();

        for (size_t i = 0; i < operations.size(); ++i) {
            // The best of three runs, each on a fresh load: the machine may be shared.
            double seconds = 0.0;
            size_t objects = 0;
            bool done = true;
            for (int repeat = 0; repeat < 3; ++repeat) {
                std::unique_ptr<Lumo::LumoPI> session = Load(path);
                objects = Lumo::StandIn::GetStore(*session).RecordCount();
                const auto start = std::chrono::steady_clock::now();
                done = operations[i].run(*session) && done;
                const double run = BenchHarness::SecondsSince(start);
                seconds = repeat == 0 ? run : std::min(seconds, run);
            }
            const double ratio = previous[i] > 0 ? seconds / previous[i] : 0.0;
            std::printf("%-20s %10llu %10zu %12.4f %14.3f %8.2f%s\n", operations[i].name,
                        static_cast<unsigned long long>(stats.physicalNets), objects, seconds,
                        seconds * 1e6 / static_cast<double>(stats.physicalNets), ratio, done ? "" : "  FAILED");
            std::fflush(stdout);
            previous[i] = seconds;
        }
        std::remove(path.c_str());
    }
    return 0;
}
