#include "RepairTestKit.h"

#include "repairs/CFixClearRule.h"

namespace repairtest
{
namespace
{

using Lumo::StandIn::GetCallCounts;

struct FixClearRuleTest : ::testing::Test
{
    Design d;
    Index layer = d.b.Layer(d.design, "TOP", 1, 1);
    FixScope scope{*d.session};

    FixClearRuleTest() { d.b.DefaultObjects(d.design); }

    // The first live entry of the object's list with that name; the first live entry for "".
    Index child(Index parent, Field list, const std::string& name = "")
    {
        for (Index c : d.store().List(parent, list))
            if (d.store().IsAlive(c) && (name.empty() || d.store().Name(c) == name))
                return c;
        return Index();
    }
    Index schemaRule(Index scheme, const std::string& rule) { return child(scheme, Field::schemaClearRules, rule); }
    std::vector<Index> live(Kind kind, const std::string& name)
    {
        std::vector<Index> out;
        for (Index index : d.store().AllLive(kind))
            if (d.store().Name(index) == name)
                out.push_back(index);
        return out;
    }
};

TEST_F(FixClearRuleTest, DuplicatedSchemeTakesTheFirstFreeNumberedName)
{
    const Index upper = d.b.Scheme(d.design, "S");
    const Index dup = d.b.Scheme(d.design, "s");
    d.b.Scheme(d.design, "s_1");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameDuplicatedScheme, {{{}, "s"}, {dup, ""}})), kFixed);
    EXPECT_EQ(d.store().Name(dup), "s_2");
    EXPECT_EQ(d.store().Name(upper), "S");
    EXPECT_TRUE(CFixMgr::m_bReloadFlag);

    // The finding no longer holds: renamed since (name 1 differs beyond case), or unique again
    // (Fast against FAST counts as the same name; the search decides).
    CFixMgr::m_bReloadFlag = false;
    const Index fast = d.b.Scheme(d.design, "Fast");
    for (const char* name1 : {"other", "FAST"})
        EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameDuplicatedScheme, {{{}, name1}, {fast, ""}})), kFixed);
    EXPECT_EQ(d.store().Name(fast), "Fast");
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameDuplicatedScheme, {{{}, "s"}})),
              " - Not Fixed. Error: Cannot rename scheme.\n");
}

TEST_F(FixClearRuleTest, DuplicatedClearRuleSkipsTakenNamesAndAFailedSearchWritesNothing)
{
    d.b.ClearRule(d.design, "R");
    const Index dup = d.b.ClearRule(d.design, "R");
    d.b.ClearRule(d.design, "R_1");
    d.b.ClearRule(d.design, "r_2");
    const Index scheme = d.find(Kind::Scheme, "(Master)");

    d.faults().FailNext("FindClearRule", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameDuplicatedClearRule, {{{}, "R"}, {dup, "R"}})),
              " - Not Fixed. Database error: injected failure: FindClearRule.\n");
    EXPECT_EQ(d.store().Name(dup), "R");
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);

    const CFixStatus status = RunRepair(&CFixClearRule::RenameDuplicatedClearRule, {{{}, "R"}, {dup, "R"}});
    EXPECT_EQ(OutcomeLine(status), kFixed);
    EXPECT_EQ(status.message, "Duplicated clearance rule renamed to R_3");
    EXPECT_EQ(d.store().Name(dup), "R_3");
    EXPECT_TRUE(schemaRule(scheme, "R_3").GetValue() != 0); // the scheme rules follow the rename
    EXPECT_TRUE(CFixMgr::m_bReloadFlag);
}

TEST_F(FixClearRuleTest, InvalidClearRuleNameIsCleanedAndMadeUniqueWithItsIndex)
{
    const Index slash = d.b.ClearRule(d.design, "A/B");
    const Index plain = d.b.ClearRule(d.design, "AB");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameInvalidClearRuleName, {{slash, "A/B"}})), kFixed);
    EXPECT_EQ(d.store().Name(slash), "A_B");
    const Index again = d.b.ClearRule(d.design, "A!B");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameInvalidClearRuleName, {{again, ""}})), kFixed);
    EXPECT_EQ(d.store().Name(again), "A_B_" + std::to_string(again.GetValue()));
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameInvalidClearRuleName, {{plain, ""}})), kNotFixed);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RenameInvalidClearRuleName)),
              " - Not Fixed. Error: Cannot rename clearance rule.\n");
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
}

// A clearance rule missing from two schemes: the first finding re-creates it with the values that
// it and its scheme rules held; the second finds it in its scheme and changes nothing.
TEST_F(FixClearRuleTest, MissingClearRuleIsRecreatedOnceWithItsValues)
{
    const Index tight = d.b.ClearRule(d.design, "Tight");
    d.b.Constraint(tight, "GAP", 5);
    d.b.Attribute(tight, "origin", "lib");
    const Index full = d.b.Scheme(d.design, "Full");
    d.b.Constraint(schemaRule(full, "Tight"), "LINE", 2.5);
    d.b.Constraint(child(schemaRule(full, "Tight"), Field::layerClearRules), "VIA", 7);
    // A second scheme rule of that name in one scheme: its layer-0 values go to the scheme rule,
    // never into the layer rule looked up before it.
    const Index extra = d.b.Add(Kind::SchemaClearRule, full, "Tight");
    d.b.Link(extra, Field::parentClearRule, tight);
    d.b.Constraint(extra, "LINE", 3.5);
    for (const char* name : {"Gap1", "Gap2"})
        d.b.Delete(schemaRule(d.b.Scheme(d.design, name), "Tight"));

    const CFixStatus status = RunRepair(&CFixClearRule::RecreateClearRule, {{{}, "Tight"}, {{}, "Gap1"}});
    EXPECT_EQ(OutcomeLine(status), kFixed);
    EXPECT_EQ(status.message, "Clear rule 'Tight' was recreated, please verify constraints!");
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    const std::vector<Index> rules = live(Kind::ClearRule, "Tight");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_NE(rules[0], tight);
    EXPECT_EQ(OwnValue(d, rules[0], "GAP").intValue, 5);
    ASSERT_EQ(d.store().Attributes(rules[0]).size(), 1u);
    EXPECT_EQ(d.store().Attributes(rules[0])[0].value, "lib");
    const Index restored = schemaRule(full, "Tight");
    EXPECT_EQ(OwnValue(d, restored, "LINE").doubleValue, 3.5);
    const Index layerRule = child(restored, Field::layerClearRules);
    EXPECT_EQ(OwnValue(d, layerRule, "VIA").intValue, 7);
    EXPECT_EQ(OwnValue(d, layerRule, "LINE").kind, 0);

    GetCallCounts(*d.session).Reset();
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RecreateClearRule, {{{}, "Tight"}, {{}, "Gap2"}})), kFixed);
    EXPECT_EQ(GetCallCounts(*d.session).Get("AddClearRule"), 0u);
    EXPECT_EQ(live(Kind::ClearRule, "Tight"), rules);
    EXPECT_EQ(CheckerBlock(*d.session, "ClearRuleInScheme"), "Test: Clearance rule in all schemes\nResult: OK\n");
}

TEST_F(FixClearRuleTest, RecreatedRuleGivesEachSchemeOfASharedNameItsOwnValues)
{
    const Index tight = d.b.ClearRule(d.design, "Tight");
    const Index first = d.b.Scheme(d.design, "Twin");
    const Index second = d.b.Scheme(d.design, "Twin");
    d.b.Constraint(schemaRule(first, "Tight"), "LINE", 1.0);
    d.b.Constraint(schemaRule(second, "Tight"), "LINE", 2.0);
    d.b.Delete(schemaRule(d.b.Scheme(d.design, "Gap"), "Tight"));
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RecreateClearRule, {{{}, "Tight"}, {{}, "Gap"}})), kFixed);
    EXPECT_FALSE(d.store().IsAlive(tight));
    EXPECT_EQ(OwnValue(d, schemaRule(first, "Tight"), "LINE").doubleValue, 1.0);
    EXPECT_EQ(OwnValue(d, schemaRule(second, "Tight"), "LINE").doubleValue, 2.0);
}

TEST_F(FixClearRuleTest, RecreationThatCannotAddKeepsTheRuleAndAFailedDeleteIsItsResult)
{
    const Index tight = d.b.ClearRule(d.design, "Tight");
    d.b.Delete(schemaRule(d.b.Scheme(d.design, "Gap"), "Tight"));
    const std::vector<Pair> pairs = {{{}, "Tight"}, {{}, "Gap"}};
    d.faults().FailOn(d.design, "AddClearRule", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RecreateClearRule, pairs)), kNotFixed);
    EXPECT_EQ(live(Kind::ClearRule, "Tight"), std::vector<Index>{tight});

    d.faults().FailOn(d.design, "DeleteClearRule", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RecreateClearRule, pairs)),
              " - Not Fixed. Database error: injected failure: DeleteClearRule.\n");
    EXPECT_EQ(live(Kind::ClearRule, "Tight").size(), 2u); // no roll-back

    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RecreateClearRule, {{{}, "Gone"}, {{}, "Gap"}})), kFixed);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RecreateClearRule, {{{}, ""}})),
              " - Not Fixed. Error: Cannot get clearance rule!.\n");
}

TEST_F(FixClearRuleTest, SchemeWithTwoRulesForOneClearRuleIsRebuiltKeepingItsTypeAndValues)
{
    const Index netClass = d.b.NetClass(d.design, "NC");
    d.b.Via(d.design, "V1");
    const Index r = d.b.ClearRule(d.design, "R");
    const Index old = d.b.Scheme(d.design, "S", Lumo::ST_Master);
    d.b.Constraint(old, "SC", 1);
    d.b.Attribute(old, "owner", "me");
    d.b.Constraint(schemaRule(old, "R"), "LINE", 1.0);
    d.b.Constraint(child(schemaRule(old, "R"), Field::layerClearRules), "VIA", 3);
    const Index dupRule = d.b.Add(Kind::SchemaClearRule, old, "R");
    d.b.Link(dupRule, Field::parentClearRule, r);
    d.b.Constraint(dupRule, "LINE", 2.0);
    const Index ncRule = child(old, Field::schemaNetClassRules, "NC");
    d.b.Constraint(ncRule, "W", 4);
    d.b.Constraint(child(ncRule, Field::layerRules), "LW", 5);
    d.b.Constraint(child(ncRule, Field::viaAssigns, "V1"), "VC", 6);
    const std::vector<Pair> pairs = {{{}, "R"}, {{}, "S"}};

    // A failure part-way leaves what was done: the temporary scheme stays beside the old one.
    d.faults().FailOn(old, "GetIndex", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RebuildSchemeClearRules, pairs)),
              " - Not Fixed. Database error: injected failure: GetIndex.\n");
    EXPECT_EQ(live(Kind::Scheme, "S_TMP").size(), 1u);
    d.b.Delete(live(Kind::Scheme, "S_TMP")[0]);
    ASSERT_TRUE(d.store().IsAlive(old));

    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RebuildSchemeClearRules, pairs)), kFixed);
    const std::vector<Index> schemes = live(Kind::Scheme, "S");
    ASSERT_EQ(schemes.size(), 1u);
    const Index rebuilt = schemes[0];
    EXPECT_NE(rebuilt, old);
    EXPECT_TRUE(live(Kind::Scheme, "S_TMP").empty());
    EXPECT_EQ(d.store().Int(rebuilt, Field::schemeType), Lumo::ST_Master);
    EXPECT_EQ(OwnValue(d, rebuilt, "SC").intValue, 1);
    EXPECT_EQ(d.store().Attributes(rebuilt).size(), 1u);
    EXPECT_EQ(OwnValue(d, schemaRule(rebuilt, "R"), "LINE").doubleValue, 1.0);
    EXPECT_EQ(OwnValue(d, child(schemaRule(rebuilt, "R"), Field::layerClearRules), "VIA").intValue, 3);
    const Index newNcRule = child(rebuilt, Field::schemaNetClassRules, "NC");
    EXPECT_EQ(d.store().Ref(newNcRule, Field::parentNetClass), netClass);
    EXPECT_EQ(OwnValue(d, newNcRule, "W").intValue, 4);
    EXPECT_EQ(OwnValue(d, child(newNcRule, Field::layerRules), "LW").intValue, 5);
    EXPECT_EQ(OwnValue(d, child(newNcRule, Field::viaAssigns, "V1"), "VC").intValue, 6);
    EXPECT_EQ(CheckerBlock(*d.session, "ClearRuleInScheme"), "Test: Clearance rule in all schemes\nResult: OK\n");

    // Healthy again, or a name that two schemes bear: nothing changes.
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RebuildSchemeClearRules, pairs)), kFixed);
    d.b.Scheme(d.design, "s");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixClearRule::RebuildSchemeClearRules, pairs)), kNotFixed);
    EXPECT_EQ(live(Kind::Scheme, "S"), schemes);
}

TEST_F(FixClearRuleTest, ValueSnapshotKeepsTheSmallerValueAndWritesItBackAsTheSameDouble)
{
    d.b.NetClass(d.design, "NC");
    const Index from = d.b.Scheme(d.design, "From");
    const Index to = d.b.Scheme(d.design, "To");
    const Index fromRule = child(from, Field::schemaNetClassRules, "NC");
    const Index toRule = child(to, Field::schemaNetClassRules, "NC");
    const Index toLayer = child(toRule, Field::layerRules);
    const double odd = 0.1 + 0.2;
    d.b.Constraint(fromRule, "W", odd);
    d.b.Constraint(fromRule, "W", 5.0);
    d.b.Constraint(fromRule, "TEXT", "t");
    d.b.Constraint(fromRule, "ROUTE", 3);
    d.b.Constraint(child(fromRule, Field::layerRules), "LW", 2.0);
    // The kinds of the values written back as text come from the session definitions.
    d.b.Definition("DEF", 2.0);
    d.b.Inherit(toLayer, "DEF");
    for (const char* name : {"W", "LW", "GAP"})
        d.b.Definition(name, 0.0);
    d.b.Definition("ROUTE", 0);

    const Lumo::IUIDManager& uids = *FixContext::s_fixUIDManager;
    Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule> fromRead, toRead;
    ASSERT_TRUE(uids.GetNorvSchemaNetClassRule(fromRead, fromRule));
    ASSERT_TRUE(uids.GetNorvSchemaNetClassRule(toRead, toRule));
    RuleValueSnapshot root;
    EXPECT_FALSE(CFixClearRule::SaveSchemaNetClassRule(*fromRead, root, false, true));
    EXPECT_TRUE(CFixClearRule::SaveSchemaNetClassRule(*fromRead, root, true, true));
    const RuleValueSnapshot& node = *root.children.at("NC");
    EXPECT_EQ(node.values.size(), 1u);
    EXPECT_EQ(node.values.at("W"), odd);
    EXPECT_EQ(node.route, 3);
    RuleValueSnapshot& layerNode = *node.children.at("TOP");
    EXPECT_EQ(layerNode.values.at("LW"), 2.0);

    // Written into the rule of another scheme: the same double, "ROUTE" on net-class and layer
    // rules, and a value equal to the definition's default not added.
    layerNode.values["DEF"] = 2.0;
    EXPECT_TRUE(CFixClearRule::RestoreLayerRules(toRead, root));
    EXPECT_EQ(OwnValue(d, toRule, "W").doubleValue, odd);
    EXPECT_EQ(OwnValue(d, toRule, "ROUTE").intValue, 3);
    EXPECT_EQ(OwnValue(d, toLayer, "LW").doubleValue, 2.0);
    EXPECT_EQ(OwnValue(d, toLayer, "ROUTE").intValue, 1);
    EXPECT_EQ(OwnValue(d, toLayer, "DEF").kind, 0);

    const Index fromClear = schemaRule(from, "(Default Rule)");
    const Index toClear = schemaRule(to, "(Default Rule)");
    d.b.Constraint(fromClear, "GAP", 1.25);
    Lumo::ContainerT<const Lumo::INorvSchemaClearRule> fromClearRead, toClearRead;
    ASSERT_TRUE(uids.GetNorvSchemaClearRule(fromClearRead, fromClear));
    ASSERT_TRUE(uids.GetNorvSchemaClearRule(toClearRead, toClear));
    RuleValueSnapshot clearRoot;
    EXPECT_TRUE(CFixClearRule::SaveSchemaClearRule(*fromClearRead, clearRoot, true));
    EXPECT_TRUE(CFixClearRule::RestoreLayerClearRules(toClearRead, clearRoot));
    EXPECT_EQ(OwnValue(d, toClear, "GAP").doubleValue, 1.25);
    EXPECT_EQ(OwnValue(d, toClear, "ROUTE").kind, 0);
    EXPECT_FALSE(CFixClearRule::RestoreLayerClearRules(toClearRead, RuleValueSnapshot()));
}

TEST_F(FixClearRuleTest, ConstraintByStringSetsOwnValuesAppendsToListsAndAddsOthers)
{
    const Index rule = d.b.ClearRule(d.design, "R");
    d.b.Constraint(rule, "INTS", std::vector<int32_t>{1});
    d.b.Constraint(rule, "NUM", 1);
    Lumo::ContainerT<const Lumo::INorvClearRule> read;
    ASSERT_TRUE(FixContext::s_fixUIDManager->GetNorvClearRule(read, rule));
    Lumo::MutableContainerT<Lumo::INorvClearRule> locked;
    ASSERT_TRUE(Lumo::LockerT<Lumo::INorvClearRule>::Lock(read, locked));
    EXPECT_TRUE(CFixClearRule::SetConstraintByString(*locked, "INTS", "2", false));
    EXPECT_TRUE(CFixClearRule::SetConstraintByString(*locked, "NUM", "5", false));
    EXPECT_TRUE(CFixClearRule::SetConstraintByString(*locked, "NEW", "x", false));
    EXPECT_TRUE(CFixClearRule::SetConstraintByString(*locked, "EMPTY", "", false));
    EXPECT_FALSE(CFixClearRule::SetConstraintByString(*locked, "NUM", "five", false));
    EXPECT_EQ(OwnValue(d, rule, "INTS").intList, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(OwnValue(d, rule, "NUM").intValue, 5);
    EXPECT_EQ(OwnValue(d, rule, "NEW").textValue, "x");
    EXPECT_EQ(OwnValue(d, rule, "EMPTY").kind, 0);
}

} // namespace
} // namespace repairtest
