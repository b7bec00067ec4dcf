// Every repair, on a design that gives it work, run once per database call with that call failing:
// no crash, a repair that reports fixed has really repaired the design, one whose unlock failed
// after it repaired reports fixed, and the reload flag goes only with a fixed rename or re-creation.
#include "RepairTestKit.h"

#include "framework/EqualPairs.h"

#include "repairs/CFixC2CClearRule.h"
#include "repairs/CFixClearRule.h"
#include "repairs/CFixConstraint.h"
#include "repairs/CFixConstraintClass.h"
#include "repairs/CFixNetClass.h"
#include "repairs/CFixScheme.h"

#include <functional>
#include <set>

namespace repairtest
{
namespace
{

using Build = std::function<std::vector<Pair>(Design&)>;
using Repaired = std::function<bool(Design&)>;

struct SweepCase
{
    const char* name;
    FixMethod method;
    Build build;
    Repaired repaired;
    // The one failing operation, if any, that reports fixed with nothing changed by design.
    const char* fixedUnchangedOp = "";
    // The repair saves values on the side as far as it can read them: a walk of them that fails,
    // like their GetIter* call that fails, leaves them unsaved without failing the repair.
    bool savesBestEffort = false;
};

std::vector<Index> Live(Design& d, Kind kind, const std::string& name)
{
    std::vector<Index> out;
    for (Index index : d.store().AllLive(kind))
        if (d.store().Name(index) == name)
            out.push_back(index);
    return out;
}

// No two live objects of the kind below the owner bear one name, compared without regard to case.
bool UniqueBelow(Design& d, Kind kind, Index owner)
{
    std::set<std::string> seen;
    for (Index index : d.store().AllLive(kind))
        if (d.store().Owner(index) == owner && !seen.insert(FoldCase(d.store().Name(index))).second)
            return false;
    return true;
}

Index SchemaRuleOf(Design& d, Index scheme, const std::string& name)
{
    for (Index rule : d.store().List(scheme, Field::schemaClearRules))
        if (d.store().IsAlive(rule) && d.store().Name(rule) == name)
            return rule;
    return Index();
}

SweepCase DefaultCase(const char* name, FixMethod method, Kind kind, const char* objectName)
{
    return {name, method,
            [=](Design& d) {
                d.b.Delete(d.find(kind, objectName));
                return std::vector<Pair>();
            },
            [=](Design& d) { return Live(d, kind, objectName).size() == 1; }};
}

SweepCase InvalidNameCase(const char* name, FixMethod method, Kind kind)
{
    return {name, method,
            [=](Design& d) {
                d.b.Add(kind, d.design, "A_B");
                return std::vector<Pair>{{d.b.Add(kind, d.design, "A/B"), ""}};
            },
            [=](Design& d) { return Live(d, kind, "A/B").empty() && UniqueBelow(d, kind, d.design); }};
}

SweepCase DuplicateClassCase(const char* name, FixMethod method, Kind kind)
{
    return {name, method,
            [=](Design& d) {
                const Index parent = d.b.Add(kind, d.design, "P");
                d.b.Add(kind, parent, "N");
                const Index dup = d.b.Add(kind, parent, "N");
                d.b.Add(kind, parent, "N_1");
                return std::vector<Pair>{{{}, "P/N"}, {dup, ""}};
            },
            [=](Design& d) { return UniqueBelow(d, kind, d.find(kind, "P")); }};
}

std::vector<SweepCase> Cases()
{
    return {
        DefaultCase("103", &CFixConstraintClass::AddAllConstraintClass, Kind::ConstraintClass, "(All)"),
        DefaultCase("104", &CFixNetClass::AddDefaultNetClass, Kind::NetClass, "(Default)"),
        DefaultCase("105", &CFixScheme::AddMasterScheme, Kind::Scheme, "(Master)"),
        DefaultCase("106", &CFixScheme::AddMinimumScheme, Kind::Scheme, "(Minimum)"),
        DefaultCase("107", &CFixClearRule::AddDefaultClearRule, Kind::ClearRule, "(Default Rule)"),
        DefaultCase("108", &CFixClearRule::AddMissingGenClear, Kind::GenClear, ""),
        InvalidNameCase("905", &CFixConstraintClass::RenameInvalidName, Kind::ConstraintClass),
        InvalidNameCase("2905", &CFixNetClass::RenameInvalidName, Kind::NetClass),
        InvalidNameCase("clear rule name", &CFixClearRule::RenameInvalidClearRuleName, Kind::ClearRule),
        DuplicateClassCase("906", &CFixConstraintClass::RenameDuplicatedName, Kind::ConstraintClass),
        DuplicateClassCase("2828", &CFixNetClass::RenameDuplicatedNetClass, Kind::NetClass),
        {"911", &CFixConstraintClass::SetDefaultNetClass,
         [](Design& d) { return std::vector<Pair>{{d.b.ConstraintClass(d.design, "CC"), "CC"}}; },
         [](Design& d) { return d.store().Ref(d.find(Kind::ConstraintClass, "CC"), Field::netClass) == d.find(Kind::NetClass, "(Default)"); }},
        {"225", &CFixClearRule::RenameDuplicatedScheme,
         [](Design& d) {
             d.b.Scheme(d.design, "S");
             d.b.Scheme(d.design, "s_1");
             return std::vector<Pair>{{{}, "s"}, {d.b.Scheme(d.design, "s"), ""}};
         },
         [](Design& d) { return UniqueBelow(d, Kind::Scheme, d.design); }},
        {"5310", &CFixClearRule::RenameDuplicatedClearRule,
         [](Design& d) {
             d.b.ClearRule(d.design, "R");
             d.b.ClearRule(d.design, "R_1");
             return std::vector<Pair>{{{}, "R"}, {d.b.ClearRule(d.design, "R"), "R"}};
         },
         [](Design& d) { return UniqueBelow(d, Kind::ClearRule, d.design); }},
        {"217", &CFixClearRule::RecreateClearRule,
         [](Design& d) {
             const Index tight = d.b.ClearRule(d.design, "Tight");
             d.b.Constraint(tight, "GAP", 1);
             d.b.Constraint(SchemaRuleOf(d, d.find(Kind::Scheme, "(Master)"), "Tight"), "LINE", 2.0);
             d.b.Delete(SchemaRuleOf(d, d.b.Scheme(d.design, "Gap"), "Tight"));
             return std::vector<Pair>{{{}, "Tight"}, {{}, "Gap"}};
         },
         [](Design& d) {
             return Live(d, Kind::ClearRule, "Tight").size() == 1 &&
                    !SchemaRuleOf(d, d.find(Kind::Scheme, "Gap"), "Tight").IsEmpty();
         },
         "", true},
        {"218", &CFixClearRule::RebuildSchemeClearRules,
         [](Design& d) {
             const Index r = d.b.ClearRule(d.design, "R");
             d.b.NetClass(d.design, "NC");
             const Index scheme = d.b.Scheme(d.design, "S");
             d.b.Constraint(SchemaRuleOf(d, scheme, "R"), "LINE", 1.0);
             const Index extra = d.b.Add(Kind::SchemaClearRule, scheme, "R");
             d.b.Link(extra, Field::parentClearRule, r);
             return std::vector<Pair>{{{}, "R"}, {{}, "S"}};
         },
         [](Design& d) {
             const std::vector<Index> schemes = Live(d, Kind::Scheme, "S");
             int rules = 0;
             for (Index rule : schemes.empty() ? std::vector<Index>() : d.store().List(schemes[0], Field::schemaClearRules))
                 rules += d.store().IsAlive(rule) && d.store().Name(rule) == "R";
             return schemes.size() == 1 && rules == 1 && Live(d, Kind::Scheme, "S_TMP").empty();
         }},
        {"2829", &CFixScheme::RecreateSchemeWithoutDefaultRule,
         [](Design& d) {
             const Index scheme = d.b.Scheme(d.design, "S");
             for (Index rule : d.store().List(scheme, Field::schemaNetClassRules))
                 d.b.Delete(rule);
             return std::vector<Pair>{{scheme, "S"}};
         },
         [](Design& d) {
             const std::vector<Index> schemes = Live(d, Kind::Scheme, "S");
             return schemes.size() == 1 && !d.store().List(schemes[0], Field::schemaNetClassRules).empty();
         }},
        {"1027", &CFixScheme::SetMinimumConstraintValue,
         [](Design& d) {
             const Index owner = SchemaRuleOf(d, d.find(Kind::Scheme, "(Minimum)"), "(Default Rule)");
             const Index minimum = d.b.Constraint(owner, "GAP", 10);
             const Index other = d.b.Constraint(d.find(Kind::Scheme, "(Master)"), "GAP", 5);
             return std::vector<Pair>{{minimum, "GAP"}, {other, "GAP"}, {minimum, ""}, {other, ""}};
         },
         [](Design& d) {
             return OwnValue(d, SchemaRuleOf(d, d.find(Kind::Scheme, "(Minimum)"), "(Default Rule)"), "GAP").intValue == 5;
         },
         // A constraint loaded into a container that is not valid counts as gone.
         "IsValid"},
        {"5704", &CFixScheme::DeleteViaSpanWithoutVias,
         [](Design& d) {
             const Index span = d.b.Add(Kind::ViaSpan, d.design, "Span");
             d.faults().FailOn(span, "GetIterAllowedVias");
             return std::vector<Pair>{{{}, "Span"}, {span, ""}};
         },
         [](Design& d) { return Live(d, Kind::ViaSpan, "Span").empty(); }},
        {"5444", &CFixConstraint::RemoveForbiddenConstraint,
         [](Design& d) {
             const Index rule = d.b.ClearRule(d.design, "R");
             return std::vector<Pair>{{{}, "path"}, {d.b.Constraint(rule, "X", 1), ""}, {rule, ""}};
         },
         [](Design& d) { return OwnValue(d, d.find(Kind::ClearRule, "R"), "X").kind == 0; }},
        {"5446", &CFixConstraint::ReattachMismatchedConstraint,
         [](Design& d) {
             const Index rule = d.b.ClearRule(d.design, "R");
             const Index c = d.b.Constraint(rule, "X", 7);
             d.b.ConstraintParent(c, d.b.ClearRule(d.design, "P"));
             return std::vector<Pair>{{{}, "path"}, {rule, "X"}, {c, ""}};
         },
         [](Design& d) {
             return OwnValue(d, d.find(Kind::ClearRule, "R"), "X").intValue == 7 &&
                    OwnValue(d, d.find(Kind::ClearRule, "P"), "X").intValue == 7;
         }},
        {"6005", &CFixC2CClearRule::DeleteInvalidC2CClearRule,
         [](Design& d) { return std::vector<Pair>{{d.b.Add(Kind::C2CClearRule, d.design, "C"), ""}}; },
         [](Design& d) { return Live(d, Kind::C2CClearRule, "C").empty(); }},
    };
}

TEST(RepairFaultSweepTest, EveryFailedCallGivesAnHonestOutcome)
{
    for (const SweepCase& c : Cases())
    {
        for (std::uint64_t k = 1;; ++k)
        {
            Design d;
            d.b.DefaultObjects(d.design);
            const std::vector<Pair> pairs = c.build(d);
            FixScope scope(*d.session);
            d.faults().SetCountdown(k);
            const CFixStatus status = RunRepair(c.method, pairs);
            const bool fired = d.faults().GetCountdown() == 0;
            const std::string failedOp = fired ? d.faults().Fired().back().operation : std::string();
            d.faults().ClearAll();
            if (!fired)
            {
                EXPECT_TRUE(status.fixed) << c.name;
                EXPECT_TRUE(c.repaired(d)) << c.name;
                break;
            }
            // A walk that stops on a failed step is a failed read of the walk, never a shorter list.
            const bool walkStep = failedOp.compare(0, 7, "GetIter") == 0 &&
                                  failedOp.size() > 8 && failedOp.compare(failedOp.size() - 8, 8, ".IsValid") == 0;
            if (walkStep && !c.savesBestEffort)
            {
                EXPECT_FALSE(status.fixed) << c.name << ", " << failedOp << " (call " << k << ") failing";
            }
            // An unlock that fails after the change leaves the design changed: the repair is fixed,
            // so that its finding is logged with the pass that changed the design.
            if (failedOp == "UnLock" && c.repaired(d))
            {
                EXPECT_TRUE(status.fixed) << c.name << ", UnLock (call " << k << ") failing";
            }
            if (status.fixed && failedOp != c.fixedUnchangedOp)
                EXPECT_TRUE(c.repaired(d)) << c.name << ", " << failedOp << " (call " << k << ") failing";
            else
                EXPECT_FALSE(CFixMgr::m_bReloadFlag) << c.name << ", call " << k << " failing";
        }
    }
}

} // namespace
} // namespace repairtest
