// Cost of the net repairs against the check that finds them, end to end through the kravik program:
//  - a generated design of about 10,000 physical nets (no pairs, composite nets, pin pairs or from-tos of
//    its own) in which every net carries one seeded defect for a per-object net repair, in turn: TOPO_ORDERED
//    "Yes" on a Custom net without from-tos (6406), a from-to from a pin to itself (2310), a duplicated pin pair (3717), a
//    virtual pin-set pin without a pin set (3910), a name that differs from the flat net's (2114), and a
//    second electrical net that lists the net (1512). `kravik check --fix` should take at most 3 times
//    `kravik check` of it;
//  - separately, the same base design with 1,000 duplicated virtual-pin names (5907), whose repair walks the
//    virtual pins of the design once per finding.
//
//   bench_net_repairs [--nets N] [--kravik PATH] [--dir DIR] [--keep]
//
// The kravik program defaults to ../host/kravik beside this program's folder.
#include "bench/BenchHarness.h"
#include "bench/DesignGenerator.h"

#include "lumopi/StandIn.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

struct Options
{
    uint64_t nets = 10000;
    std::string kravik;
    std::string dir = "/tmp";
    bool keep = false;
};

// Writes the generated base design: nets with two pins each and nothing for the net repairs to find.
bool WriteBase(const Options& o, const std::string& path)
{
    kravik_bench::DesignOptions design;
    design.pins = o.nets * 4;
    design.diffPairRate = 0.0;
    design.compositeRate = 0.0;
    design.pinPairRate = 0.0;
    design.fromToRate = 0.0;
    std::ofstream out(path);
    kravik_bench::GenerateDesign(design, out);
    return static_cast<bool>(out);
}

// The live physical nets with a live parent electrical net and at least two pins, in store order.
std::vector<Index> UsableNets(Lumo::StandIn::Store& store)
{
    std::vector<Index> nets;
    for (Index net : store.AllLive(Kind::PhysicalNet))
        if (store.IsAlive(store.Ref(net, Field::parentElectricalNet)) && store.List(net, Field::pins).size() >= 2)
            nets.push_back(net);
    return nets;
}

// Seeds one defect per usable net, the kinds in turn; returns the number of defects per code.
std::map<std::string, uint64_t> SeedPerObjectDefects(Lumo::LumoPI& session)
{
    Lumo::StandIn::Builder b(session, "main");
    Lumo::StandIn::Store& store = b.GetStore();
    const std::vector<Index> nets = UsableNets(store);
    std::map<std::string, uint64_t> seeded;
    for (size_t i = 0; i < nets.size(); ++i)
    {
        const Index net = nets[i];
        const std::vector<Index> pins = store.List(net, Field::pins);
        const Index parent = store.Ref(net, Field::parentElectricalNet);
        switch (i % 6)
        {
        case 0:
            // The TOPO_ORDERED check looks at Custom and Complex nets only.
            for (Index holder : {net, parent})
            {
                for (Index c : store.List(holder, Field::constraints))
                    if (store.Name(c) == "ORDER_TYPE")
                        b.Delete(c);
                b.Constraint(holder, "ORDER_TYPE", "Custom");
            }
            b.Constraint(net, "TOPO_ORDERED", "Yes");
            ++seeded["6406 TOPO_ORDERED without from-tos"];
            break;
        case 1:
            b.Constraint(b.FromTo(net, "SELF", pins[0], pins[0]), "FROMTO_USERDEFINED", 0);
            ++seeded["2310 from-to on one pin"];
            break;
        case 2:
            b.PinPair(parent, "A", pins[0], pins[1]);
            b.PinPair(parent, "B", pins[0], pins[1]);
            ++seeded["3717 duplicated pin pair"];
            break;
        case 3:
            b.Pin(net, "VPS", Lumo::NPT_VirtualPinSetPin, net);
            ++seeded["3910 virtual pin-set pin without pin set"];
            break;
        case 4:
            b.SetName(net, "X_" + store.Name(net));
            ++seeded["2114 name differs from the flat net's"];
            break;
        default:
            b.AppendOnly(store.Ref(nets[(i + 1) % nets.size()], Field::parentElectricalNet), Field::physicalNets, net);
            ++seeded["1512 net in two electrical nets"];
            break;
        }
    }
    return seeded;
}

// Gives 1,001 nets a virtual pin of one name: 1,000 duplicates.
std::map<std::string, uint64_t> SeedDuplicatedVirtualPins(Lumo::LumoPI& session)
{
    Lumo::StandIn::Builder b(session, "main");
    const std::vector<Index> nets = UsableNets(b.GetStore());
    std::map<std::string, uint64_t> seeded;
    for (size_t i = 0; i < nets.size() && i <= 1000; ++i)
        b.Pin(nets[i], "VP", Lumo::NPT_VirtualPin, nets[i]);
    seeded["5907 duplicated virtual pin"] = nets.size() > 1000 ? 1000 : nets.size() - 1;
    return seeded;
}

// Seconds one run of the kravik program takes; its log goes to logPath.
double RunKravik(const Options& o, const std::string& args, const std::string& logPath, int& exitCode)
{
    const std::string command = "'" + o.kravik + "' check " + args + " --log '" + logPath + "' >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = BenchHarness::SecondsSince(start);
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return seconds;
}

// Findings per code in a check log, and how many of them a repair reported fixed.
struct LogCounts
{
    uint64_t findings = 0;
    uint64_t fixed = 0;
};

LogCounts CountLog(const std::string& path, const std::map<std::string, uint64_t>& seeded)
{
    LogCounts counts;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        for (const auto& entry : seeded)
            if (line.rfind("ERROR " + entry.first.substr(0, entry.first.find(' ')) + ":", 0) == 0)
            {
                ++counts.findings;
                counts.fixed += line.find(" - Fixed.") != std::string::npos;
            }
    return counts;
}

bool Scenario(const Options& o, const char* title, const std::string& basePath,
              std::map<std::string, uint64_t> (*seed)(Lumo::LumoPI&), const char* tag)
{
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(basePath, &error);
    if (!session)
    {
        std::fprintf(stderr, "cannot load %s: %s %s\n", basePath.c_str(), error.path.c_str(), error.message.c_str());
        return false;
    }
    const std::map<std::string, uint64_t> seeded = seed(*session);
    const std::string stem = o.dir + "/kravik-bench-nets-" + tag;
    const std::string design = stem + ".json";
    if (!Lumo::StandIn::SaveSession(*session, design, true))
    {
        std::fprintf(stderr, "cannot save %s\n", design.c_str());
        return false;
    }
    session.reset();

    int checkExit = 0;
    int fixExit = 0;
    const double check = RunKravik(o, "'" + design + "'", stem + "-check.log", checkExit);
    const double fix =
        RunKravik(o, "'" + design + "' --fix --output '" + stem + "-fixed.json'", stem + "-fix.log", fixExit);
    int againExit = 0;
    RunKravik(o, "'" + stem + "-fixed.json'", stem + "-again.log", againExit);
    const LogCounts found = CountLog(stem + "-check.log", seeded);
    const LogCounts repaired = CountLog(stem + "-fix.log", seeded);
    const LogCounts left = CountLog(stem + "-again.log", seeded);

    std::printf("\n%s\n", title);
    for (const auto& entry : seeded)
        std::printf("  seeded %6llu  %s\n", static_cast<unsigned long long>(entry.second), entry.first.c_str());
    std::printf("  %-28s %10s %10s %10s\n", "", "findings", "fixed", "seconds");
    std::printf("  %-28s %10llu %10s %10.3f   (exit %d)\n", "kravik check", static_cast<unsigned long long>(found.findings),
                "", check, checkExit);
    std::printf("  %-28s %10llu %10llu %10.3f   (exit %d)\n", "kravik check --fix --output",
                static_cast<unsigned long long>(repaired.findings), static_cast<unsigned long long>(repaired.fixed), fix,
                fixExit);
    std::printf("  %-28s %10llu\n", "check of the saved design", static_cast<unsigned long long>(left.findings));
    std::printf("  fix / check: %.2f\n", fix / check);
    if (!o.keep)
        for (const char* suffix : {".json", "-fixed.json", "-check.log", "-fix.log", "-again.log"})
            std::remove((stem + suffix).c_str());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    const std::string self = argv[0];
    const size_t slash = self.rfind('/');
    o.kravik = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/../host/kravik";
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--nets" && i + 1 < argc)
            o.nets = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--kravik" && i + 1 < argc)
            o.kravik = argv[++i];
        else if (arg == "--dir" && i + 1 < argc)
            o.dir = argv[++i];
        else if (arg == "--keep")
            o.keep = true;
        else
        {
            std::fprintf(stderr, "usage: %s [--nets N] [--kravik PATH] [--dir DIR] [--keep]\n", argv[0]);
            return 2;
        }
    }
    const std::string base = o.dir + "/kravik-bench-nets-base.json";
    if (!WriteBase(o, base))
    {
        std::fprintf(stderr, "cannot write %s\n", base.c_str());
        return 1;
    }
    std::printf("net repairs end to end, about %llu physical nets (%s)\n", static_cast<unsigned long long>(o.nets),
                o.kravik.c_str());
    const bool ok = Scenario(o, "one per-object defect per net", base, &SeedPerObjectDefects, "per-object") &&
                    Scenario(o, "1,000 duplicated virtual pins", base, &SeedDuplicatedVirtualPins, "virtual-pins");
    if (!o.keep)
        std::remove(base.c_str());
    return ok ? 0 : 1;
}
