// Scaling of the constraint-definition, default-object, rule and template tests: each test runs on
// synthetic designs of growing size, and the time per object should stay flat as the design grows
// (definitions and definition constraints looked up by name, referenced names in hash sets).
//
// The design of size n: n electrical nets with one physical net each, both carrying ORDER_TYPE,
// LINE_WIDTH and MAX_VIAS; n/10 net classes, each with a rule in 4 schemes ("(Minimum)" among them)
// and one layer rule per layer, each with LINE_WIDTH; n/10 clearance rules, class-to-class rules,
// package-to-package rules, via spans and templates (one net and one pin set each), and the
// constraints file of every owner and level that the tests ask for.
//
//   bench_rules_constraints [max size, default 16000]

#include "bench/BenchHarness.h"
#include "tests/rules/CC2CClearRules.h"
#include "tests/rules/CConsChecker.h"
#include "tests/rules/CDefaultObjects.h"
#include "tests/rules/CDefaults.h"
#include "tests/rules/CP2PRules.h"
#include "tests/rules/CTemplatesUnique.h"
#include "tests/rules/CTemplatesValid.h"
#include "tests/rules/CViaSpanValid.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

const char* kConstraints = R"({ "format": "kravik-constraints", "version": 1,
  "owners": [
    { "name": "ENET", "levels": [ "Rule", "DiffPair", "ElecNet", "Net", "PinPair", "FromTo", "Pin" ] },
    { "name": "PART", "levels": [ "Part", "PartPin", "Comp", "CompPin" ] },
    { "name": "DESIGN", "levels": [ "Design", "Layer", "ViaSpan", "GenClear", "PkgTypeRule" ] },
    { "name": "LAYER", "levels": [ "Layer" ] },
    { "name": "CLASS_CLASS_RULE", "levels": [ "default" ] },
    { "name": "PKGTYPE_PKGTYPE_RULE", "levels": [ "default", "Seg" ] },
    { "name": "SCHEME_CLASS_LAYER", "levels": [ "NetClass", "ViaAssign", "Layer" ] },
    { "name": "SCHEME_RULE_LAYER", "levels": [ "NetClass", "Layer" ] } ],
  "definitions": [
    { "name": "ORDER_TYPE", "type": 3, "owners": [ "ENET" ], "default": "MST" },
    { "name": "LINE_WIDTH", "type": 2, "owners": [ "ENET", "SCHEME_CLASS_LAYER" ], "default": "5.0" },
    { "name": "MAX_VIAS", "type": 1, "owners": [ "ENET" ], "default": "10" },
    { "name": "C2C_SCHEME", "type": 3, "owners": [ "CLASS_CLASS_RULE" ] },
    { "name": "C2C_RULE_TYPE", "type": 3, "owners": [ "CLASS_CLASS_RULE" ] },
    { "name": "C2C_RULE", "type": 3, "owners": [ "CLASS_CLASS_RULE" ] },
    { "name": "P2P_FRPKGTYPE", "type": 3, "owners": [ "PKGTYPE_PKGTYPE_RULE" ] },
    { "name": "P2P_TOPKGTYPE", "type": 3, "owners": [ "PKGTYPE_PKGTYPE_RULE" ] },
    { "name": "P2P_SIDE", "type": 3, "owners": [ "PKGTYPE_PKGTYPE_RULE" ] },
    { "name": "P2P_DIRECTION", "type": 3, "owners": [ "PKGTYPE_PKGTYPE_RULE" ] },
    { "name": "P2P_CLEARANCE", "type": 2, "owners": [ "PKGTYPE_PKGTYPE_RULE" ], "default": "0.2" } ] })";

std::unique_ptr<Lumo::LumoPI> BuildDesign(size_t n)
{
    auto session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b(*session, "main");
    const Index config = b.NorvConfig("TOP");
    const Index design = b.Design(config);
    b.Definition("ORDER_TYPE", "MST");
    b.Definition("LINE_WIDTH", 5.0);
    b.Definition("MAX_VIAS", 10);
    for (const char* name : {"C2C_SCHEME", "C2C_RULE_TYPE", "C2C_RULE", "P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE",
                             "P2P_DIRECTION"})
        b.Definition(name, "");
    b.Definition("P2P_CLEARANCE", 0.2);
    for (int i = 0; i < 6; ++i)
        b.Layer(design, "L" + std::to_string(i), i + 1, i + 1);
    b.DefaultObjects(design);
    for (int s = 0; s < 2; ++s)
        b.Scheme(design, "S" + std::to_string(s));

    for (size_t i = 0; i < n / 10; ++i) {
        b.NetClass(design, "NC" + std::to_string(i));
        b.ClearRule(design, "CR" + std::to_string(i));
    }
    auto& store = b.GetStore();
    for (Index constraintClass : store.AllLive(Kind::ConstraintClass))
        for (const char* name : {"ORDER_TYPE", "LINE_WIDTH", "MAX_VIAS"})
            b.Inherit(constraintClass, name);
    for (Index rule : store.AllLive(Kind::SchemaNetClassRule)) {
        b.Constraint(rule, "LINE_WIDTH", store.Name(store.Owner(rule)) == "(Minimum)" ? 4.0 : 5.0);
        for (Index layerRule : store.List(rule, Field::layerRules))
            b.Constraint(layerRule, "LINE_WIDTH", 5.0);
    }

    for (size_t i = 0; i < n; ++i) {
        const Index enet = b.ElectricalNet(config, "E" + std::to_string(i));
        const Index pnet = b.PhysicalNet(config, "E" + std::to_string(i), enet);
        for (Index net : {enet, pnet}) {
            b.Constraint(net, "ORDER_TYPE", "MST");
            b.Constraint(net, "LINE_WIDTH", 5.0);
            b.Constraint(net, "MAX_VIAS", 10);
        }
    }

    const Index templates = b.Add(Kind::GenObjType, design, "TOPOTMPL");
    for (size_t i = 0; i < n / 10; ++i) {
        const std::string id = std::to_string(i);
        const Index c2c = b.Add(Kind::C2CClearRule, design, "");
        b.Constraint(c2c, "C2C_SCHEME", ("S" + std::to_string(i % 2)).c_str());
        b.Constraint(c2c, "C2C_RULE_TYPE", "ClearRule");
        b.Constraint(c2c, "C2C_RULE", ("CR" + id).c_str());
        const Index p2p = b.Add(Kind::P2PClearRule, design, "");
        for (const char* name : {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION"})
            b.Constraint(p2p, name, "x");
        b.Constraint(p2p, "P2P_CLEARANCE", 0.2);
        b.Add(Kind::ViaSpan, design, "VS" + id);

        const Index templ = b.Add(Kind::GenCompObj, templates, "T" + id);
        b.SetText(templ, Field::level, "TopoTemplate");
        const Index net = b.Add(Kind::GenCompObj, templ, "N");
        b.SetText(net, Field::level, "Net");
        b.Constraint(net, "ORDER_TYPE", "Complex");
        const Index device = b.Add(Kind::GenCompObj, net, "PS");
        b.SetText(device, Field::level, "Device");
        b.Constraint(device, "TOPO_DEVICE", "<Pin Set>");
        b.Constraint(b.Add(Kind::GenObj, device, "P"), "TOPO_PINSET_TYPE", "MST");
    }
    return session;
}

} // namespace

int main(int argc, char** argv)
{
    const size_t maxSize = BenchHarness::MaxSize(argc, argv, 16000);

    const BenchHarness::TempFile constraints(kConstraints);

    const std::vector<BenchHarness::Case> cases = {
        BenchHarness::MakeCase<CConsChecker>("ConsConsistency"),
        BenchHarness::MakeCase<CDefaults>("DefaultConstraints"),
        BenchHarness::MakeCase<CDefaultObjects>("CheckDefaultObjects"),
        BenchHarness::MakeCase<CViaSpanValid>("ViaSpanValid"),
        BenchHarness::MakeCase<CC2CClearRules>("SchemeInC2CClearRule"),
        BenchHarness::MakeCase<CTemplatesUnique>("UniqueTemplates"),
        BenchHarness::MakeCase<CTemplatesValid>("ValidTemplates"),
        BenchHarness::MakeCase<CP2PRules>("P2PRulesValid"),
    };

    BenchHarness::RunCaseTable(cases, maxSize, 22, constraints.Path(), BuildDesign);
    return 0;
}
