// Scaling of the pin, pin-pair and pin-set tests on one ground net: for designs whose net GND has n
// net pins (two per component, on components of one part), n/10 virtual pins (one name in ten
// repeated), n/10 pin pairs (one in ten doubled in reverse), n/10 EBD pins (one name in ten repeating
// the name of another component's EBD pin) and n/100 T pin sets in layers of two, each holding ten net pins and the
// virtual pin-set pins of both sets of the layer below, the time per pin of each test should stay
// flat as n grows.
//
//   bench_pins [max pins, default 100000]

#include "bench/BenchHarness.h"
#include "tests/connectivity/CConnectionPinPair.h"
#include "tests/connectivity/CEbdPinUnique.h"
#include "tests/connectivity/CPinConnection.h"
#include "tests/connectivity/CPinInComponent.h"
#include "tests/connectivity/CPinNumVsPinName.h"
#include "tests/connectivity/CPinPairAndTopology.h"
#include "tests/connectivity/CPinPairUnique.h"
#include "tests/connectivity/CPinSetUnique.h"
#include "tests/connectivity/CPinUnique.h"
#include "tests/connectivity/CPinUniqueInPart.h"
#include "tests/connectivity/CPinsetsTreeLike.h"
#include "tests/connectivity/CPinsetsValidation.h"
#include "tests/connectivity/CVirtualPinUnique.h"

#include <memory>
#include <string>
#include <vector>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

std::unique_ptr<Lumo::LumoPI> makeDesign(size_t pins)
{
    BenchHarness::NorvDesign d;
    auto& b = d.b;
    const Index config = d.config;
    const Index part = b.Part(config, "R", 2);
    const Index elec = b.ElectricalNet(config, "GND");
    b.Constraint(elec, "ORDER_TYPE", "Complex");
    const Index gnd = b.PhysicalNet(config, "GND", elec);
    b.Constraint(gnd, "ORDER_TYPE", "Complex");

    std::vector<Index> netPins;
    netPins.reserve(pins);
    Index comp;
    for (size_t i = 0; i < pins; ++i) {
        if (i % 2 == 0)
            comp = b.NorvComp(config, "C" + std::to_string(i / 2), part);
        netPins.push_back(b.Pin(comp, std::to_string(i % 2 + 1), Lumo::NPT_NetPin, gnd));
        if (i % 10 == 0)
            b.Pin(comp, i % 100 == 90 ? "E" + std::to_string(i - 10) : "E" + std::to_string(i), Lumo::NPT_EbdPin);
    }
    for (size_t i = 0; i < pins / 10; ++i) {
        b.Pin(gnd, "VP" + std::to_string(i % 10 == 9 ? i - 1 : i), Lumo::NPT_VirtualPin, gnd);
        b.PinPair(elec, "PP" + std::to_string(i), netPins[2 * i], netPins[2 * i + 1]);
        if (i % 10 == 0)
            b.PinPair(elec, "PR" + std::to_string(i), netPins[2 * i + 1], netPins[2 * i]);
    }
    std::vector<Index> virtualPins; // of set i, at position i
    for (size_t i = 0; i < pins / 100; ++i) {
        const std::string name = "S" + std::to_string(i);
        const Index set = b.Pin(gnd, name, Lumo::NPT_PinSetT, gnd);
        virtualPins.push_back(b.Pin(gnd, "V" + name, Lumo::NPT_VirtualPinSetPin, gnd));
        b.SetRefOnly(set, Field::virtualPinSetPin, virtualPins.back());
        for (size_t k = 0; k < 10; ++k)
            b.AppendOnly(set, Field::members, netPins[(10 * i + k) % pins]);
        // Both sets of the layer below: 2^layers paths lead to the bottom sets.
        if (i >= 2) {
            const size_t layer = i / 2;
            b.AppendOnly(set, Field::members, virtualPins[2 * layer - 2]);
            b.AppendOnly(set, Field::members, virtualPins[2 * layer - 1]);
        }
    }
    return std::move(d.session);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxPins = BenchHarness::MaxSize(argc, argv, 100000);
    const BenchHarness::NsTable table(20, "pins", 10, "ns per pin", 12);
    for (size_t n = 1000; n <= maxPins; n *= 10) {
        auto session = makeDesign(n);
        table.Time<CPinConnection>("CPinConnection", *session, n);
        table.Time<CPinInComponent>("CPinInComponent", *session, n);
        table.Time<CPinUnique>("CPinUnique", *session, n);
        table.Time<CPinUniqueInPart>("CPinUniqueInPart", *session, n);
        table.Time<CEbdPinUnique>("CEbdPinUnique", *session, n);
        table.Time<CVirtualPinUnique>("CVirtualPinUnique", *session, n);
        table.Time<CPinNumVsPinName>("CPinNumVsPinName", *session, n);
        table.Time<CPinPairUnique>("CPinPairUnique", *session, n);
        table.Time<CConnectionPinPair>("CConnectionPinPair", *session, n);
        table.Time<CPinPairAndTopology>("CPinPairAndTopology", *session, n);
        table.Time<CPinsetsTreeLike>("CPinsetsTreeLike", *session, n);
        table.Time<CPinsetsValidation>("CPinsetsValidation", *session, n);
        table.Time<CPinSetUnique>("CPinSetUnique", *session, n);
    }
    return 0;
}
