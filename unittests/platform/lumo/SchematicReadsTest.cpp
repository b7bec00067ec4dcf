// Reads of the schematic side and of scheme rules: sets, attributes, raw hierarchy lists, layer-rule searches
// and per-parent fetches.
#include "LumoFixture.h"

#include <functional>
#include <utility>

namespace LumoTest {
namespace {

class SchematicReadsTest : public LumoFixture {};

TEST_F(SchematicReadsTest, SetsAttributesAndRawHierarchy)
{
    Index lc = b->LogicComp(sch, "U1");
    b->SetInt(lc, Field::types, 1 << CT_ForwardPCB);
    Index dp = b->DesignPin(lc, "U1.1");
    b->SetInt(dp, Field::width, 2);
    b->Attribute(dp, "Pin Number", "7", 3, 1);
    Index flat = b->FlatNet(sch, "F");
    b->SetInt(flat, Field::forwardPcbFlags, 1 << FPF_NotForwarded);
    Index page = b->Add(Kind::PageNet, flat);
    b->SetText(page, Field::label, "F_LABEL");
    Index path = b->Add(Kind::Path, page);
    b->AppendOnly(path, Field::hierarchy, lc);
    b->AppendOnly(path, Field::hierarchy, Idx(77, 255));

    BitContainerT<ECompType> compTypes;
    ASSERT_TRUE(Fetch(lc, &IUIDManager::GetComp)->GetType(compTypes));
    EXPECT_EQ(0x800u, compTypes.GetWord());
    BitContainerT<EForwardPCBFlag> flags;
    ASSERT_TRUE(Fetch(flat, &IUIDManager::GetFlatNet)->GetForwardPCBFlag(flags));
    EXPECT_TRUE(flags.Contains(FPF_NotForwarded));
    EXPECT_EQ(0x4u, flags.GetWord());

    auto pin = Fetch(dp, &IUIDManager::GetPin);
    int32_t width = 0;
    ASSERT_TRUE(pin->GetWidth(width));
    EXPECT_EQ(2, width);
    String v;
    ASSERT_TRUE(pin->GetAttribute("Pin Number", v, AT_3, 1));
    EXPECT_EQ("7", v.str());
    ASSERT_TRUE(pin->GetAttribute("Pin Number", v, AT_3));
    EXPECT_EQ("", v.str());
    ContainerT<const IComp> parent;
    ASSERT_TRUE(pin->GetParent(parent));

    auto comp = Locked(Fetch(lc, &IUIDManager::GetComp));
    ASSERT_TRUE(comp->SetAttribute("Ref Designator", "U1", AT_3));
    ASSERT_TRUE(Fetch(lc, &IUIDManager::GetComp)->GetAttribute("Ref Designator", v, AT_3));
    EXPECT_EQ("U1", v.str());
    ASSERT_TRUE(Fetch(lc, &IUIDManager::GetComp)->GetAttribute("Ref Designator", v, AT_0));
    EXPECT_EQ("", v.str());

    IteratorT<const INet> nets;
    ASSERT_TRUE(Fetch(flat, &IUIDManager::GetFlatNet)->GetIterNetsConnected(nets));
    ASSERT_TRUE(nets->GetLabel(v));
    EXPECT_EQ("F_LABEL", v.str());
    ContainerT<const IPath> p;
    ASSERT_TRUE(nets->GetPath(p));
    ListT<Index> hierarchy;
    ASSERT_TRUE(p->GetListHierarchyIndexes(hierarchy));
    std::vector<Index> got;
    for (auto it = hierarchy.GetIterator(); it.IsValid(); ++it) got.push_back(*it);
    EXPECT_EQ((std::vector<Index>{lc, Idx(77, 255)}), got);
}

TEST_F(SchematicReadsTest, SchemeRuleSearchesAndPerParentFetches)
{
    const Index scheme = store().List(design, Field::schemes).front();
    const Index rule = store().List(scheme, Field::schemaNetClassRules).front();
    const Index clear = store().List(scheme, Field::schemaClearRules).front();
    auto r = Fetch(rule, &IUIDManager::GetNorvSchemaNetClassRule);
    ListT<NorvObjectExtInfo> ext;
    ext.Add(NorvObjectExtInfo{});
    ASSERT_TRUE(r->FindLayerRule(ext, 2));
    ASSERT_EQ(1, ext.Count());
    EXPECT_EQ(2, ext.GetIterator()->layerIndex);
    ContainerT<const INorvLayerRule> lr;
    ASSERT_TRUE(r->GetLayerRule(ext.GetIterator()->index, lr));
    ContainerT<const INorvLayer> layer;
    ASSERT_TRUE(lr->GetParentLayer(layer));
    EXPECT_EQ("not a child of this object: " + clear.ToText(), Text(r->GetLayerRule(clear, lr)));
    ListT<NorvObjectInfo> vias;
    ASSERT_TRUE(r->FindViaAssign(vias, "v2", SP_0));
    EXPECT_EQ(1, vias.Count());
    ContainerT<const INorvScheme> s;
    ASSERT_TRUE(r->GetParentScheme(s));
    ContainerT<const INorvDesign> d;
    ASSERT_TRUE(s->GetParentDesign(d));
    ESchemeType type = ST_Ordinary;
    ASSERT_TRUE(s->GetType(type));
    EXPECT_EQ(store().Int(scheme, Field::schemeType), type);
    ContainerT<const INorvSchemaClearRule> cr;
    ASSERT_TRUE(s->GetSchemaClearRule(clear, cr));
    ContainerT<const INorvClearRule> parentRule;
    ASSERT_TRUE(cr->GetParentClearRule(parentRule));
    ASSERT_TRUE(cr->FindLayerClearRule(ext, 1));
    EXPECT_EQ(1, ext.Count());
    ListT<NorvObjectInfo> found;
    ASSERT_TRUE(s->FindSchemaClearRule(found, "(DEFAULT RULE)", SP_0));
    EXPECT_EQ(1, found.Count());
    ASSERT_TRUE(s->FindSchemaNetClassRule(found, "(default)", SP_MatchCase));
    EXPECT_EQ(0, found.Count());
}

// A rule with a layer rule per layer is searched by number through an index of its list: after every change
// of the list, of a listed rule or of a layer, each number finds what a scan of the list finds, in list order.
TEST_F(SchematicReadsTest, LayerRuleSearchOfALongListFollowsEveryChange)
{
    const Index scheme = store().List(design, Field::schemes).front();
    const Index rule = store().List(scheme, Field::schemaNetClassRules).front();
    const Index clear = store().List(scheme, Field::schemaClearRules).front();
    std::vector<Index> made;
    for (int n = 48; n >= 3; --n) {   // numbers out of order, as a hand-written list may hold them
        made.push_back(b->Add(Kind::LayerRule, rule));
        b->SetInt(made.back(), Field::layerIndex, n);
        b->SetInt(b->Add(Kind::LayerClearRule, clear), Field::layerIndex, n);
    }
    auto scan = [&](Index holder, Field list, Kind kind, int32_t number) {
        std::vector<std::string> out;
        for (Index i : store().List(holder, list))
            if (store().Exists(i) && store().KindOf(i) == kind && store().IsAlive(i) && store().Int(i, Field::layerIndex) == number)
                out.push_back(i.ToText());
        return out;
    };
    auto texts = [](const ListT<NorvObjectExtInfo>& found, int32_t number) {
        std::vector<std::string> out;
        for (auto it = found.GetIterator(); it.IsValid(); ++it) {
            EXPECT_EQ(number, it->layerIndex);
            out.push_back(it->index.ToText());
        }
        return out;
    };
    auto expectLikeAScan = [&](const char* step) {
        auto r = Fetch(rule, &IUIDManager::GetNorvSchemaNetClassRule);
        auto c = Fetch(clear, &IUIDManager::GetNorvSchemaClearRule);
        for (int32_t number = -1; number <= 50; ++number) {
            ListT<NorvObjectExtInfo> found;
            ASSERT_TRUE(r->FindLayerRule(found, number));
            EXPECT_EQ(scan(rule, Field::layerRules, Kind::LayerRule, number), texts(found, number)) << step << ", layer " << number;
            ASSERT_TRUE(c->FindLayerClearRule(found, number));
            EXPECT_EQ(scan(clear, Field::layerClearRules, Kind::LayerClearRule, number), texts(found, number))
                << step << ", clearance layer " << number;
        }
    };
    const Index otherKind = b->Add(Kind::LayerClearRule, clear);
    b->SetInt(otherKind, Field::layerIndex, 49);
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"built", [] {}},
        {"listed again at the end", [&] { b->AppendOnly(rule, Field::layerRules, made.front()); }},
        {"listed again out of order", [&] { b->AppendOnly(rule, Field::layerRules, made.back()); }},
        {"new rule", [&] { b->SetInt(b->Add(Kind::LayerRule, rule), Field::layerIndex, 7); }},
        {"rule renumbered", [&] { b->SetInt(made[5], Field::layerIndex, 3); }},
        {"rule renumbered out of range", [&] { b->SetInt(made[6], Field::layerIndex, int64_t{1} << 33); }},
        {"layer renumbered", [&] { b->SetInt(l1, Field::layerNumber, 20); }},
        {"rule listed twice deleted", [&] { b->Delete(made.front()); }},
        {"rule deleted", [&] { b->Delete(made[10]); }},
        {"layer deleted", [&] { b->Delete(l2); }},
        {"rule dead", [&] { store().SetFlag(made[11], "alive", false); }},
        {"rules alive again", [&] {
             store().SetFlag(made[11], "alive", true);
             store().SetFlag(made[10], "alive", true);   // deleted: no longer listed
         }},
        {"entry of another kind", [&] { b->AppendOnly(rule, Field::layerRules, otherKind); }},
        {"entry naming no record", [&] { b->AppendOnly(rule, Field::layerRules, Idx(900000, OT_NorvLayerRule)); }},
        {"list emptied, one rule listed again", [&] {
             b->Literal(rule, Field::layerRules);
             b->AppendOnly(rule, Field::layerRules, made[1]);
         }},
        {"list refilled", [&] {
             for (size_t i = 12; i < made.size(); ++i) b->AppendOnly(rule, Field::layerRules, made[i]);
         }},
        {"clearance rule deleted", [&] { b->Delete(otherKind); }},
    };
    for (const auto& step : steps) {
        step.second();
        expectLikeAScan(step.first);
    }
}

TEST_F(SchematicReadsTest, ConfigurationFetchesAndPinSearches)
{
    auto m = Locked(snap);
    MutableContainerT<INorvConfig> other;
    ASSERT_TRUE(m->AddNorvConfig(other, "OTHER"));
    Index foreignNet = b->PhysicalNet(Idx(0, 0), "X");   // no owner at all
    ContainerT<const INorvPhysicalNet> pn;
    EXPECT_TRUE(config->GetPhysicalNet(n1, pn));
    EXPECT_EQ("not a child of this object: " + n1.ToText(), Text(other->GetPhysicalNet(n1, pn)));
    EXPECT_FALSE(config->GetPhysicalNet(foreignNet, pn));
    MutableContainerT<INorvElectricalNet> e;
    EXPECT_EQ("not a child of this object: " + n1.ToText(), Text(other->AddElectricalNet(e, Net(n1))));

    b->Pin(n1, "VP", NPT_VirtualPin);
    ListT<NorvObjectInfo> out;
    ASSERT_TRUE(Net(n1)->FindPin(out, "vp", SP_0, BitContainerT<ENorvPinType>(NPT_VirtualPin)));
    EXPECT_EQ(1, out.Count());
    ASSERT_TRUE(Net(n1)->FindPin(out, "vp", SP_0, BitContainerT<ENorvPinType>(NPT_NetPin)));
    EXPECT_EQ(0, out.Count());
    ContainerT<const INorvPin> pin;
    EXPECT_TRUE(Fetch(u1, &IUIDManager::GetNorvComp)->GetPin(p1, pin));

    auto cm = Locked(config);
    b->Add(Kind::PhysicalNet, cfg, "ORPHAN");
    ASSERT_TRUE(cm->UpdateAllElectricalNets());
    ListT<NorvObjectInfo> nets;
    ASSERT_TRUE(config->FindElectricalNet(nets, "ORPHAN", SP_MatchCase));
    EXPECT_EQ(1, nets.Count());
    EXPECT_EQ("UpdateAllElectricalNets", StandIn::GetRecords(*session).back().operation);
}

}  // namespace
}  // namespace LumoTest
