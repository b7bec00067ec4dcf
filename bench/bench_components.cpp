// Scaling of the component and part tests: for designs of n Norv components (two net pins each, bound
// to the part pins of one of n/10 parts, one logical component with a designator and a design pin,
// with one component name in ten and one part name in ten repeated), the time per component of
// each test should stay flat as n grows.
//
//   bench_components [max components, default 100000]

#include "bench/BenchHarness.h"
#include "tests/connectivity/CCompInPart.h"
#include "tests/connectivity/CCompUnique.h"
#include "tests/connectivity/CCompValid.h"
#include "tests/connectivity/CPartHasName.h"
#include "tests/connectivity/CPartPinPairValid.h"
#include "tests/connectivity/CPartPinValid.h"
#include "tests/connectivity/CRefDesVsCompName.h"

#include <memory>
#include <string>
#include <vector>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

std::unique_ptr<Lumo::LumoPI> makeDesign(size_t comps)
{
    BenchHarness::NorvDesign d;
    auto& b = d.b;
    const Index config = d.config;
    const Index schematic = d.schematic;
    const size_t partCount = comps / 10 + 1;
    std::vector<Index> parts;
    std::vector<std::vector<Index>> partPins;
    for (size_t k = 0; k < partCount; ++k) {
        const std::string name = k % 10 == 9 ? "PART_" + std::to_string(k - 1) : "PART_" + std::to_string(k);
        const Index part = b.Part(config, name, 2);
        const std::vector<Index> pins = b.GetStore().List(part, Field::partPins);
        const Index pair = b.Add(Kind::PartPinPair, part, "1-2");
        b.Link(pair, Field::firstPartPin, pins[0]);
        b.Link(pair, Field::secondPartPin, pins[1]);
        parts.push_back(part);
        partPins.push_back(pins);
    }
    for (size_t i = 0; i < comps; ++i) {
        const std::string name = i % 10 == 9 ? "U" + std::to_string(i - 1) : "U" + std::to_string(i);
        const size_t k = i % partCount;
        const Index comp = b.NorvComp(config, name, parts[k]);
        const Index logic = b.LogicComp(schematic, name);
        b.SetInt(logic, Field::types, 1 << Lumo::CT_ForwardPCB);
        b.Attribute(logic, "Ref Designator", name, 3);
        b.AppendOnly(comp, Field::logicComps, logic);
        for (const Index& partPin : partPins[k]) {
            const Index pin = b.Pin(comp, "P");
            b.SetRefOnly(pin, Field::parentPartPin, partPin);
            const Index design = b.DesignPin(logic, "D");
            b.SetInt(design, Field::types, 1 << Lumo::PT_ForwardPCB);
            b.AppendOnly(design, Field::norvPins, pin);
        }
    }
    return std::move(d.session);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxComps = BenchHarness::MaxSize(argc, argv, 100000);
    const BenchHarness::NsTable table(20, "components", 12, "ns per component", 16);
    for (size_t n = 1000; n <= maxComps; n *= 10) {
        auto session = makeDesign(n);
        table.Time<CCompValid>("CCompValid", *session, n);
        table.Time<CCompUnique>("CCompUnique", *session, n);
        table.Time<CCompInPart>("CCompInPart", *session, n);
        table.Time<CRefDesVsCompName>("CRefDesVsCompName", *session, n);
        table.Time<CPartHasName>("CPartHasName", *session, n);
        table.Time<CPartPinValid>("CPartPinValid", *session, n);
        table.Time<CPartPinPairValid>("CPartPinPairValid", *session, n);
    }
    return 0;
}
