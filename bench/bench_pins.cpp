// Scaling of the pin, pin-pair and pin-set tests on one ground net: for designs whose net GND has n
// net pins (two per component, on components of one part), n/10 virtual pins (one name in ten
// repeated), n/10 pin pairs (one in ten doubled in reverse), n/10 EBD pins (one name in ten repeating
// the name of another component's EBD pin) and n/100 T pin sets in layers of two, each holding ten net pins and the
// virtual pin-set pins of both sets of the layer below, the time per pin of each test should stay
// flat as n grows.
//
//   bench_pins [max pins, default 100000]

#include "framework/CTestLog.h"
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

#include "lumopi/StandIn.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
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
    auto session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    const Index config = b.NorvConfig("TOP");
    b.DefaultObjects(b.Design(config));
    b.DefaultConfig("TOP");
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
    return session;
}

template <class Test>
void timeTest(const char* label, Lumo::LumoPI& session, size_t pins)
{
    CTestLog log(nullptr, false);
    Test test;
    test.initTest(&session, "main", "TOP", &log, nullptr, 1, "");
    const auto start = std::chrono::steady_clock::now();
    test.runTest(false);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-20s %10zu %10.4f %12.1f %10zu\n", label, pins, seconds, seconds * 1e9 / static_cast<double>(pins),
                test.GetIssuesList().size());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxPins = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::printf("%-20s %10s %10s %12s %10s\n", "test", "pins", "seconds", "ns per pin", "findings");
    for (size_t n = 1000; n <= maxPins; n *= 10) {
        auto session = makeDesign(n);
        timeTest<CPinConnection>("CPinConnection", *session, n);
        timeTest<CPinInComponent>("CPinInComponent", *session, n);
        timeTest<CPinUnique>("CPinUnique", *session, n);
        timeTest<CPinUniqueInPart>("CPinUniqueInPart", *session, n);
        timeTest<CEbdPinUnique>("CEbdPinUnique", *session, n);
        timeTest<CVirtualPinUnique>("CVirtualPinUnique", *session, n);
        timeTest<CPinNumVsPinName>("CPinNumVsPinName", *session, n);
        timeTest<CPinPairUnique>("CPinPairUnique", *session, n);
        timeTest<CConnectionPinPair>("CConnectionPinPair", *session, n);
        timeTest<CPinPairAndTopology>("CPinPairAndTopology", *session, n);
        timeTest<CPinsetsTreeLike>("CPinsetsTreeLike", *session, n);
        timeTest<CPinsetsValidation>("CPinsetsValidation", *session, n);
        timeTest<CPinSetUnique>("CPinSetUnique", *session, n);
    }
    return 0;
}
