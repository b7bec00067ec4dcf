// Scaling of the connectivity tests that compare nets, from-tos and pins: for designs of n physical
// nets (each in its own electrical net, two net pins bound to design pins, a mapped flat net, a
// from-to, with one net name in ten a letter-case duplicate and one from-to in twenty doubled in
// reverse), the time per net of each test should stay flat as n grows.
//
//   bench_connectivity [max nets, default 100000]

#include "bench/BenchHarness.h"
#include "tests/connectivity/CEnetUnique.h"
#include "tests/connectivity/CFlatNetCheck.h"
#include "tests/connectivity/CFlatPinVsNorvPinChecker.h"
#include "tests/connectivity/CFromToInOneNet.h"
#include "tests/connectivity/CFromToUnique.h"
#include "tests/connectivity/CPnetUnique.h"

#include <memory>
#include <string>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

std::unique_ptr<Lumo::LumoPI> makeDesign(size_t nets)
{
    BenchHarness::NorvDesign d;
    auto& b = d.b;
    const Index config = d.config;
    const Index schematic = d.schematic;
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
    return std::move(d.session);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxNets = BenchHarness::MaxSize(argc, argv, 100000);
    const BenchHarness::NsTable table(26, "nets", 10, "ns per net", 12);
    for (size_t n = 1000; n <= maxNets; n *= 10) {
        auto session = makeDesign(n);
        table.Time<CPnetUnique>("CPnetUnique", *session, n);
        table.Time<CEnetUnique>("CEnetUnique", *session, n);
        table.Time<CFlatNetCheck>("CFlatNetCheck", *session, n);
        table.Time<CFlatPinVsNorvPinChecker>("CFlatPinVsNorvPinChecker", *session, n);
        table.Time<CFromToInOneNet>("CFromToInOneNet", *session, n);
        table.Time<CFromToUnique>("CFromToUnique", *session, n);
    }
    return 0;
}
