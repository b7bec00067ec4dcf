// Scaling of the connectivity tests that compare nets, from-tos and pins: for designs of n physical
// nets (each in its own electrical net, two net pins bound to design pins, a mapped flat net, a
// from-to, with one net name in ten a letter-case duplicate and one from-to in twenty doubled in
// reverse), the time per net of each test should stay flat as n grows.
//
//   bench_connectivity [max nets, default 100000]

#include "framework/CTestLog.h"
#include "tests/connectivity/CEnetUnique.h"
#include "tests/connectivity/CFlatNetCheck.h"
#include "tests/connectivity/CFlatPinVsNorvPinChecker.h"
#include "tests/connectivity/CFromToInOneNet.h"
#include "tests/connectivity/CFromToUnique.h"
#include "tests/connectivity/CPnetUnique.h"

#include "lumopi/StandIn.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

std::unique_ptr<Lumo::LumoPI> makeDesign(size_t nets)
{
    auto session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    const Index config = b.NorvConfig("TOP");
    b.DefaultObjects(b.Design(config));
    const Index schematic = b.DefaultConfig("TOP");
    const Index comp = b.NorvComp(config, "U1");
    const Index logic = b.LogicComp(schematic, "U1");
    b.SetInt(logic, Field::types, 1 << Lumo::CT_ForwardPCB);
    for (size_t i = 0; i < nets; ++i) {
        const std::string name = i % 10 == 9 ? "net_" + std::to_string(i - 1) : "NET_" + std::to_string(i);
        const Index elec = b.ElectricalNet(config, name);
        const Index phys = b.PhysicalNet(config, name, elec);
        b.Constraint(phys, "ORDER_TYPE", "Custom");
        const Index flat = b.FlatNet(schematic, name, phys);
        const Index page = b.Add(Kind::PageNet, flat);
        b.Add(Kind::Path, page);
        Index pins[2];
        for (Index& pin : pins) {
            pin = b.Pin(comp, "P", Lumo::NPT_NetPin, phys);
            const Index design = b.DesignPin(logic, "D");
            b.SetInt(design, Field::types, 1 << Lumo::PT_ForwardPCB);
            b.Link(page, Field::pinsConnected, design);
            b.Link(pin, Field::flatPins, design);
        }
        b.FromTo(phys, "FT", pins[0], pins[1]);
        if (i % 20 == 0)
            b.FromTo(phys, "FT2", pins[1], pins[0]);
    }
    return session;
}

template <class Test>
void timeTest(const char* label, Lumo::LumoPI& session, size_t nets)
{
    CTestLog log(nullptr, false);
    Test test;
    test.initTest(&session, "main", "TOP", &log, nullptr, 1, "");
    const auto start = std::chrono::steady_clock::now();
    test.runTest(false);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-26s %10zu %10.4f %12.1f %10zu\n", label, nets, seconds, seconds * 1e9 / static_cast<double>(nets),
                test.GetIssuesList().size());
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxNets = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::printf("%-26s %10s %10s %12s %10s\n", "test", "nets", "seconds", "ns per net", "findings");
    for (size_t n = 1000; n <= maxNets; n *= 10) {
        auto session = makeDesign(n);
        timeTest<CPnetUnique>("CPnetUnique", *session, n);
        timeTest<CEnetUnique>("CEnetUnique", *session, n);
        timeTest<CFlatNetCheck>("CFlatNetCheck", *session, n);
        timeTest<CFlatPinVsNorvPinChecker>("CFlatPinVsNorvPinChecker", *session, n);
        timeTest<CFromToInOneNet>("CFromToInOneNet", *session, n);
        timeTest<CFromToUnique>("CFromToUnique", *session, n);
    }
    return 0;
}
