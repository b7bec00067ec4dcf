// Scaling of the constraint, rule and design tests of the first half of subsystem 3: each test runs
// on synthetic designs of growing size, and the time per object should stay flat as the design grows
// (names grouped by their comparison key, lists that do not change read once per run, look-ups by
// hash instead of scans).
//
// The design of size n: n net classes and n constraint classes (half of them top-level, the rest
// children of those; one name in ten is a case variant of another on its level), n/10 clearance
// rules, 4 schemes holding the net class and clearance rules with one layer rule per metallic layer,
// 6 metallic and 5 dielectric layers, n electrical nets with one physical net each, n/10 noise rules
// and 10 Z-axis rules.
//
//   bench_rules [max size, default 16000]

#include "bench/BenchHarness.h"
#include "tests/rules/CClearRuleInSchemes.h"
#include "tests/rules/CConstraintClassNameUnique.h"
#include "tests/rules/CExistAllUsedConstrClasses.h"
#include "tests/rules/CExistAllUsedNetClasses.h"
#include "tests/rules/CLayerInAllClearRules.h"
#include "tests/rules/CLayerInAllNetClasses.h"
#include "tests/rules/CLayerInZAxisRules.h"
#include "tests/rules/CLayerNumbering.h"
#include "tests/rules/CNetClassNameUnique.h"
#include "tests/rules/CNetClassesInScheme.h"
#include "tests/rules/CNoiseRuleChecker.h"
#include "tests/rules/CValidNames.h"

#include <cctype>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

std::string Name(const char* prefix, size_t i)
{
    // One name in ten repeats the one before it in another letter case.
    if (i % 10 == 9)
    {
        std::string lower = std::string(prefix) + std::to_string(i - 1);
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    }
    return std::string(prefix) + std::to_string(i);
}

std::unique_ptr<Lumo::LumoPI> BuildDesign(size_t n)
{
    auto session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    const Index config = b.NorvConfig("TOP");
    const Index design = b.Design(config);
    for (int i = 0; i < 11; ++i)
    {
        const bool metallic = i % 2 == 0;
        const Index layer = b.Layer(design, "L" + std::to_string(i), i + 1, metallic ? i / 2 + 1 : -1,
                                    metallic ? Lumo::LT_Metallic : Lumo::LT_Substrate);
        b.Constraint(layer, "LAYER_USAGE", metallic ? "Signal" : "Substrate");
    }
    for (int s = 0; s < 4; ++s)
        b.Scheme(design, "S" + std::to_string(s));

    std::vector<Index> netClasses;
    std::vector<Index> constraintClasses;
    const size_t top = n / 2;
    for (size_t i = 0; i < n; ++i)
    {
        const bool isTop = i < top;
        netClasses.push_back(b.NetClass(isTop ? design : netClasses[i % top], Name("NC", i)));
        constraintClasses.push_back(
            b.ConstraintClass(isTop ? design : constraintClasses[i % top], Name("CC", i), netClasses[i]));
    }
    for (size_t i = 0; i < n / 10; ++i)
        b.ClearRule(design, "CR" + std::to_string(i));

    std::vector<Index> nets;
    for (size_t i = 0; i < n; ++i)
    {
        const Index enet = b.ElectricalNet(config, "E" + std::to_string(i));
        b.SetRefOnly(enet, Field::constraintClass, constraintClasses[i]);
        const Index pnet = b.PhysicalNet(config, "P" + std::to_string(i), enet);
        b.Link(pnet, Field::netClass, netClasses[i]);
        nets.push_back(enet);
    }
    for (size_t i = 0; i + 1 < n / 10; i += 2)
        b.DiffPair(config, "DP" + std::to_string(i), nets[i], nets[i + 1]);

    for (size_t i = 0; i < n / 10; ++i)
    {
        const Index rule = b.Add(Kind::NoiseRule, design, "N" + std::to_string(i));
        b.SetInt(rule, Field::noiseType, i % 2 ? 4 : 1);
        b.Constraint(rule, "PR_FROM_OBJ", i % 2 ? "E" + std::to_string(i) : "CC" + std::to_string(i));
        b.Constraint(rule, "PR_TO_OBJ", i % 2 ? "E" + std::to_string(i + 1) : "CC" + std::to_string(i + 1));
    }

    const Index zType = b.Add(Kind::GenObjType, design, "ZAXIS_CLEARRULE");
    for (int z = 0; z < 10; ++z)
    {
        const Index rule = b.Add(Kind::GenCompObj, zType, "Z" + std::to_string(z));
        for (int i = 0; i < 11; i += 2)
            b.Add(Kind::GenObj, rule, "L" + std::to_string(i));
    }
    return session;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxSize = BenchHarness::MaxSize(argc, argv, 16000);

    const std::vector<BenchHarness::Case> cases = {
        BenchHarness::MakeCase<CNetClassNameUnique>("UniqueNetClassName"),
        BenchHarness::MakeCase<CConstraintClassNameUnique>("UniqueConsClass"),
        BenchHarness::MakeCase<CValidNames>("ValidNames"),
        BenchHarness::MakeCase<CClearRuleInSchemes>("ClearRuleInScheme"),
        BenchHarness::MakeCase<CNetClassesInScheme>("NetClassInSchemes"),
        BenchHarness::MakeCase<CLayerNumbering>("LayerNumbering"),
        BenchHarness::MakeCase<CLayerInAllNetClasses>("LayerInAllNetClasses"),
        BenchHarness::MakeCase<CLayerInAllClearRules>("LayerInAllClearRules"),
        BenchHarness::MakeCase<CLayerInZAxisRules>("LayerInAllZAxisRules"),
        BenchHarness::MakeCase<CNoiseRuleChecker>("NoiseRuleChecker"),
        BenchHarness::MakeCase<CExistAllUsedConstrClasses>("ExistAllUsedConsClasses"),
        BenchHarness::MakeCase<CExistAllUsedNetClasses>("ExistAllUsedNetClasses"),
    };

    BenchHarness::RunCaseTable(cases, maxSize, 24, "", BuildDesign);
    return 0;
}
