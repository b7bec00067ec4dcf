// Scaling of the component and part tests: for designs of n Norv components (two net pins each, bound
// to the part pins of one of n/10 parts, one logical component with a designator and a design pin,
// with one component name in ten and one part name in ten repeated), the time per component of
// each test should stay flat as n grows.
//
//   bench_components [max components, default 100000]

#include "framework/CTestLog.h"
#include "tests/connectivity/CCompInPart.h"
#include "tests/connectivity/CCompUnique.h"
#include "tests/connectivity/CCompValid.h"
#include "tests/connectivity/CPartHasName.h"
#include "tests/connectivity/CPartPinPairValid.h"
#include "tests/connectivity/CPartPinValid.h"
#include "tests/connectivity/CRefDesVsCompName.h"

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

std::unique_ptr<Lumo::LumoPI> makeDesign(size_t comps)
{
    auto session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    const Index config = b.NorvConfig("TOP");
    b.DefaultObjects(b.Design(config));
    const Index schematic = b.DefaultConfig("TOP");
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
    return session;
}

template <class Test>
void timeTest(const char* label, Lumo::LumoPI& session, size_t comps)
{
    CTestLog log(nullptr, false);
    Test test;
    test.initTest(&session, "main", "TOP", &log, nullptr, 1, "");
    const auto start = std::chrono::steady_clock::now();
    test.runTest(false);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-20s %12zu %10.4f %16.1f %10zu\n", label, comps, seconds, seconds * 1e9 / static_cast<double>(comps),
                test.GetIssuesList().size());
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxComps = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    std::printf("%-20s %12s %10s %16s %10s\n", "test", "components", "seconds", "ns per component", "findings");
    for (size_t n = 1000; n <= maxComps; n *= 10) {
        auto session = makeDesign(n);
        timeTest<CCompValid>("CCompValid", *session, n);
        timeTest<CCompUnique>("CCompUnique", *session, n);
        timeTest<CCompInPart>("CCompInPart", *session, n);
        timeTest<CRefDesVsCompName>("CRefDesVsCompName", *session, n);
        timeTest<CPartHasName>("CPartHasName", *session, n);
        timeTest<CPartPinValid>("CPartPinValid", *session, n);
        timeTest<CPartPinPairValid>("CPartPinPairValid", *session, n);
    }
    return 0;
}
