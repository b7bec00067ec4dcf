// Fix mode against check mode: the whole checker runs once outside and once inside fix mode on two
// copies of one generated design with n findings each of 1027 (a "(Minimum)" value above the
// "(Master)" one), 5444 (a forbidden constraint), 5446 (a constraint recorded under another parent)
// and 906 (two constraint classes whose names differ in case), and n/5 clearance rules missing from
// five schemes each (217). Repairs look objects up by name or index, and a rule missing from several
// schemes is re-created once, so fix mode should stay within three times check mode.
//
// A second design holds many layers: every net-class rule has a layer rule per layer but one in a hundred
// (2521, repaired by re-creating the class with all its layer rules and carrying the values over), and a Z-axis
// rule names every second layer (2610, repaired by adding the layer). Tests and repairs find a rule's layer rule
// by number, and a Z-axis rule's layer by name, once per layer, which must not scan the rule's list each time.
//
//   bench_repairs [n, default 10000] [layers, default 100000]

#include "bench/BenchHarness.h"
#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"

#include <cstdio>
#include <functional>
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
    { "name": "DESIGN", "levels": [ "Design", "ViaSpan" ] },
    { "name": "LAYER", "levels": [ "Layer" ] },
    { "name": "SCHEME_CLASS_LAYER", "levels": [ "Scheme", "NetClass", "ViaAssign", "Layer" ] } ],
  "definitions": [
    { "name": "LAYER_USAGE", "type": 3, "owners": [ "LAYER" ], "default": "Signal" },
    { "name": "BAD", "type": 1, "owners": [ "DESIGN" ], "forbidden": [ { "owner": "DESIGN", "level": "ViaSpan" } ] },
    { "name": "MAX_SPAN", "type": 1, "owners": [ "DESIGN" ], "default": "4" },
    { "name": "LINE_WIDTH", "type": 2, "owners": [ "SCHEME_CLASS_LAYER" ], "default": "5.0" } ] })";

// A session "main" whose Norv configuration TOP has a design of the given metallic layers with the default
// objects, and the definitions of the constraints file.
struct LayeredDesign
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b{*session, "main"};
    Lumo::StandIn::Store& store = b.GetStore();
    Index design;

    explicit LayeredDesign(size_t layers)
        : design(b.Design(b.NorvConfig("TOP")))
    {
        b.DefaultConfig("TOP");
        b.Definition("LAYER_USAGE", "Signal");
        b.Definition("BAD", 1);
        b.Definition("MAX_SPAN", 4);
        b.Definition("LINE_WIDTH", 5.0);
        for (size_t i = 1; i <= layers; ++i)
        {
            const int32_t number = static_cast<int32_t>(i);
            b.Constraint(b.Layer(design, "L" + std::to_string(i), number, number), "LAYER_USAGE", "Signal");
        }
        b.DefaultObjects(design);
    }
};

std::unique_ptr<Lumo::LumoPI> BuildDesign(size_t n)
{
    LayeredDesign d(2);
    Lumo::StandIn::Builder& b = d.b;
    auto& store = d.store;
    const Index design = d.design;
    const Index defaultClass = store.AllLive(Kind::NetClass).front();
    for (int s = 0; s < 5; ++s)
        b.Scheme(design, "S" + std::to_string(s));

    // 1027: the "(Minimum)" rule of each class holds 5.0, the "(Master)" one 4.0.
    for (size_t i = 0; i < n; ++i)
        b.NetClass(design, "NC" + std::to_string(i));
    for (Index rule : store.AllLive(Kind::SchemaNetClassRule))
    {
        const std::string scheme = store.Name(store.Owner(rule));
        if (scheme == "(Minimum)" || scheme == "(Master)")
            b.Constraint(rule, "LINE_WIDTH", scheme == "(Minimum)" ? 5.0 : 4.0);
    }

    // 5444 and 5446 on each via span (its MAX_SPAN recorded under the design); 906 on each pair of
    // constraint classes.
    for (size_t i = 0; i < n; ++i)
    {
        const std::string id = std::to_string(i);
        const Index span = b.Add(Kind::ViaSpan, design, "VS" + id);
        b.Constraint(span, "BAD", 1);
        b.ConstraintParent(b.Constraint(span, "MAX_SPAN", 4), design);
        b.ConstraintClass(design, "CC" + id, defaultClass);
        b.ConstraintClass(design, "cc" + id, defaultClass);
    }

    // 217: each rule is missing from the five ordinary schemes.
    for (size_t i = 0; i < n / 5; ++i)
    {
        const Index rule = b.ClearRule(design, "CR" + std::to_string(i));
        for (Index schemaRule : store.List(rule, Field::schemaClearRules))
            if (store.Name(store.Owner(schemaRule))[0] == 'S')
                b.Delete(schemaRule);
    }
    return std::move(d.session);
}

std::unique_ptr<Lumo::LumoPI> BuildLayersDesign(size_t layers)
{
    LayeredDesign d(layers);
    Lumo::StandIn::Builder& b = d.b;
    b.NetClass(d.design, "NC0");
    b.NetClass(d.design, "NC1");

    // A Z-axis clearance rule of every second layer (2610 for each other one, repaired by adding it).
    const Index zRule = b.Add(Kind::GenCompObj, b.Add(Kind::GenObjType, d.design, "ZAXIS_CLEARRULE"), "Z1");
    for (size_t i = 1; i <= layers; i += 2)
        b.SetText(b.Add(Kind::GenObj, zRule, "L" + std::to_string(i)), Field::level, "Layer");

    // Each rule's list is written again without the layer rules left out, which then go (deleting them
    // from the full list would scan it once per deletion).
    size_t k = 0;
    for (Index rule : d.store.AllLive(Kind::SchemaNetClassRule))
    {
        const std::vector<Index> layerRules = d.store.List(rule, Field::layerRules);
        b.Literal(rule, Field::layerRules);
        for (Index layerRule : layerRules)
        {
            if (++k % 100 == 0)
                b.Delete(layerRule);
            else
                b.AppendOnly(rule, Field::layerRules, layerRule);
        }
    }
    return std::move(d.session);
}

struct Run
{
    double seconds = 0;
    int errors = 0;
    int fixed = 0;
};

Run RunChecker(const std::function<std::unique_ptr<Lumo::LumoPI>()>& build, bool fixMode, const std::string& constraints)
{
    std::unique_ptr<Lumo::LumoPI> session = build();
    FILE* sink = std::getenv("BENCH_LOG") ? stdout : std::fopen("/dev/null", "w");
    CTestLog log(sink, false);
    CNorvProjectChecker checker(session.get(), "TOP", &log, constraints, 1, 0, "", false, fixMode, "", false);
    const auto start = std::chrono::steady_clock::now();
    checker.Check_NorvLUMO("main");
    Run run;
    run.seconds = BenchHarness::SecondsSince(start);
    run.errors = checker.GetResult().errors;
    run.fixed = checker.GetResult().fixed;
    if (sink != stdout)
        std::fclose(sink);
    return run;
}

// Runs the checker on a design of the given size outside and inside fix mode and prints both rows and
// their ratio.
void Compare(const char* design, size_t size, const std::function<std::unique_ptr<Lumo::LumoPI>(size_t)>& build,
             const std::string& constraints)
{
    const auto make = [&] { return build(size); };
    const Run check = RunChecker(make, false, constraints);
    std::printf("%-7s %8zu %-6s %10.3f %10d %10d\n", design, size, "check", check.seconds, check.errors, check.fixed);
    const Run fix = RunChecker(make, true, constraints);
    std::printf("%-7s %8zu %-6s %10.3f %10d %10d\n", design, size, "fix", fix.seconds, fix.errors, fix.fixed);
    std::printf("fix / check = %.2f (goal: at most 3)\n", fix.seconds / check.seconds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t n = BenchHarness::MaxSize(argc, argv, 10000);
    const size_t layers = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 100000;
    const BenchHarness::TempFile constraints(kConstraints);

    std::printf("%-7s %8s %-6s %10s %10s %10s\n", "design", "n", "mode", "seconds", "errors", "fixed");
    Compare("rules", n, BuildDesign, constraints.Path());
    Compare("layers", layers, BuildLayersDesign, constraints.Path());
    return 0;
}
