// Design-level operations: per-kind deletion through the design, generic objects, unique creations and
// design-level fetches.
#include "LumoFixture.h"

#include <functional>
#include <vector>

namespace LumoTest {
namespace {

class DesignWritesTest : public LumoFixture {
protected:
    bool Alive(Index i) { return store().IsAlive(i); }
};

TEST_F(DesignWritesTest, DeletingEachKindTakesWhatItOwns)
{
    struct Row {
        const char* what;
        Index target;
        std::vector<Index> alsoGone;
        std::vector<Index> stays;
        std::function<Result(MutableContainerT<INorvDesign>&)> remove;
    };
    Index def = store().List(design, Field::netClasses).front();
    Index all = store().List(design, Field::constraintClasses).front();
    Index subCC = b->ConstraintClass(all, "SUB");
    b->SetRefOnly(e1, Field::constraintClass, subCC);
    Index scheme = store().List(design, Field::schemes).front();
    Index sncr = store().List(scheme, Field::schemaNetClassRules).front();
    Index scr = store().List(scheme, Field::schemaClearRules).front();
    Index layerRule = store().List(sncr, Field::layerRules).front();
    Index prd = b->Add(Kind::ParRuleDef, design, "PR");
    Index section = b->Add(Kind::ParRuleSection, prd, "S");
    Index zr = b->Add(Kind::ZAxisClearRule, design, "Z");
    Index zl = b->Add(Kind::ZAxisLayerRule, zr, "ZL");
    Index span = b->Add(Kind::ViaSpan, design, "SPAN");
    Index via = store().List(design, Field::vias).front();
    b->AppendOnly(span, Field::allowedVias, via);
    Index c2c = b->Add(Kind::C2CClearRule, design, "C");
    Index c2cConstraint = b->Constraint(c2c, "C2C_RULE", "(Default Rule)");
    const Row rows[] = {
        {"constraint class", all, {subCC}, {def},
         [&](MutableContainerT<INorvDesign>& d) { return d->DeleteConstraintClass(all); }},
        {"scheme", scheme, {sncr, scr, layerRule}, {def},
         [&](MutableContainerT<INorvDesign>& d) { return d->DeleteScheme(scheme); }},
        {"par rule def", prd, {section}, {}, [&](MutableContainerT<INorvDesign>& d) { return d->DeleteAllParRuleDefs(); }},
        {"z-axis rule", zr, {zl}, {}, [&](MutableContainerT<INorvDesign>& d) { return d->DeleteAllZAxisClearRules(); }},
        {"via span", span, {}, {via}, [&](MutableContainerT<INorvDesign>& d) { return d->DeleteViaSpan(span); }},
        {"c2c rule", c2c, {c2cConstraint}, {}, [&](MutableContainerT<INorvDesign>& d) { return d->DeleteC2CClearRule(c2c); }},
    };
    auto d = Locked(Design());
    for (const Row& row : rows) {
        ASSERT_TRUE(row.remove(d)) << row.what;
        EXPECT_FALSE(Alive(row.target)) << row.what;
        for (Index i : row.alsoGone) EXPECT_FALSE(Alive(i)) << row.what << " " << i.ToText();
        for (Index i : row.stays) EXPECT_TRUE(Alive(i)) << row.what << " " << i.ToText();
    }
    ContainerT<const INorvConstraintClass> cc;
    EXPECT_EQ("no reference", Text(ENet(e1)->GetConstraintClass(cc)));
    EXPECT_TRUE(store().List(def, Field::schemaNetClassRules).size() == 1);   // only the other scheme's rule
    EXPECT_TRUE(d->DeleteAllNoiseRules());   // none is fine
}

TEST_F(DesignWritesTest, ConnectivityDeletionsKeepReferencesDangling)
{
    Index pair = b->PinPair(e1, "PP", p1, p2);
    Index dp = b->DiffPair(cfg, "D", e1, e2);
    auto m = Locked(config);
    ASSERT_TRUE(m->DeleteElectricalNet(e1));
    EXPECT_FALSE(Alive(pair));
    EXPECT_EQ(e1, store().Ref(n1, Field::parentElectricalNet));
    ContainerT<const INorvElectricalNet> first;
    EXPECT_FALSE(Fetch(dp, &IUIDManager::GetNorvDiffPair)->GetFirstElecNet(first));
    ASSERT_TRUE(m->DeleteAllDiffPairs());
    EXPECT_FALSE(Alive(dp));
    ContainerT<const INorvDiffPair> parent;
    EXPECT_FALSE(ENet(e2)->GetParentDiffPair(parent));

    Index ft = b->FromTo(n3, "FT", p1, p2);
    auto pin = Locked(Net(n1));
    ASSERT_TRUE(pin->DeletePin(p1));
    ContainerT<const INorvPin> from;
    EXPECT_FALSE(Fetch(ft, &IUIDManager::GetNorvFromTo)->GetPinFrom(from));
    EXPECT_EQ(std::vector<Index>{p2}, store().List(u1, Field::pins));

    const Index partPin = store().List(part, Field::partPins).front();
    b->SetRefOnly(p2, Field::parentPartPin, partPin);
    Index u2 = b->NorvComp(cfg, "U2", part);
    auto d = Locked(config);
    ASSERT_TRUE(d->DeleteNorvComp(u2));
    b->Delete(part);
    EXPECT_FALSE(Alive(partPin));
    ContainerT<const INorvPart> pp;
    EXPECT_FALSE(Fetch(u1, &IUIDManager::GetNorvComp)->GetParentPart(pp));
}

TEST_F(DesignWritesTest, GenericObjectsAddFindAndDeleteAtAnyDepth)
{
    Index type = b->Add(Kind::GenObjType, design, "TOPOTMPL");
    Index tmpl = b->Add(Kind::GenCompObj, type, "T1");
    Index net = b->Add(Kind::GenCompObj, tmpl, "NET");
    b->SetText(net, Field::level, "Net");
    auto comp = Locked(Fetch(net, &IUIDManager::GetNorvGenCompObj));
    MutableContainerT<INorvGenObj> obj;
    ASSERT_TRUE(comp->AddGenObj("TOP", "Layer", obj));
    ASSERT_TRUE(comp->AddGenObj("TOP", "Layer"));
    ContainerT<const INorvGenObj> found;
    ASSERT_TRUE(comp->GetGenObj("TOP", "Layer", found));
    String level;
    ASSERT_TRUE(found->GetLevel(level));
    EXPECT_EQ("Layer", level.str());
    EXPECT_EQ("not found: TOP", Text(comp->GetGenObj("TOP", "Device", found)));

    // A long list (a Z-axis rule holds an object per layer) is searched by name: exact names, the first of the
    // asked level in list order, renames and deletions followed.
    std::vector<Index> objects;
    for (int i = 0; i < 20; ++i) {
        objects.push_back(b->Add(Kind::GenObj, net, "L" + std::to_string(i)));
        b->SetText(objects.back(), Field::level, i == 3 ? "Device" : "Layer");
    }
    const Index twin = b->Add(Kind::GenObj, net, "L3");
    b->SetText(twin, Field::level, "Layer");
    auto lookUp = [&](const char* name, const char* typeText) {
        ContainerT<const INorvGenObj> f;
        Index i;
        if (comp->GetGenObj(name, typeText, f)) {
            EXPECT_TRUE(f->GetIndex(i));
        }
        return i;
    };
    EXPECT_EQ(objects[7], lookUp("L7", "Layer"));
    EXPECT_EQ(Index(), lookUp("l7", "Layer"));
    EXPECT_EQ(twin, lookUp("L3", "Layer"));
    EXPECT_EQ(objects[3], lookUp("L3", "Device"));
    b->SetName(objects[7], "L7X");
    EXPECT_EQ(Index(), lookUp("L7", "Layer"));
    EXPECT_EQ(objects[7], lookUp("L7X", "Layer"));
    b->Delete(twin);
    EXPECT_EQ(Index(), lookUp("L3", "Layer"));
    ASSERT_TRUE(Fetch(net, &IUIDManager::GetNorvGenCompObj)->GetLevel(level));
    EXPECT_EQ("Net", level.str());

    auto t = Locked(Fetch(type, &IUIDManager::GetNorvGenObjType));
    ASSERT_TRUE(t->DeleteGenCompObj(net));   // a grandchild
    EXPECT_FALSE(Alive(net));
    EXPECT_TRUE(store().List(tmpl, Field::genCompObjs).empty());
    EXPECT_EQ("not a child of this object: " + e1.ToText(), Text(t->DeleteGenCompObj(e1)));
    ListT<NorvObjectInfo> out;
    ASSERT_TRUE(Design()->FindGenObjType(out, "topotmpl", SP_0));
    EXPECT_EQ(1, out.Count());
}

TEST_F(DesignWritesTest, UniqueCreationsAndDesignFetches)
{
    auto m = Locked(config);
    MutableContainerT<INorvDesign> d2;
    EXPECT_FALSE(m->AddNorvDesign(d2));
    auto s = Locked(snap);
    MutableContainerT<INorvConfig> c2;
    EXPECT_EQ("already exists: TOP", Text(s->AddNorvConfig(c2, "TOP")));
    ASSERT_TRUE(s->AddNorvConfig(c2, "OTHER"));
    ASSERT_TRUE(c2->AddNorvDesign(d2));
    ContainerT<const INorvDesign> other;
    ASSERT_TRUE(c2->GetNorvDesign(other));
    ContainerT<const INorvGenClear> gc;
    EXPECT_EQ("not found: GenClear", Text(other->GetNorvGenClear(gc)));
    EXPECT_TRUE(Design()->GetNorvGenClear(gc));

    ContainerT<const INorvLayer> layer;
    EXPECT_TRUE(Design()->GetLayer(l1, layer));
    EXPECT_EQ("not a child of this object: " + l1.ToText(), Text(other->GetLayer(l1, layer)));
    Index sub = b->ConstraintClass(store().List(design, Field::constraintClasses).front(), "SUB");
    ContainerT<const INorvConstraintClass> cc;
    EXPECT_TRUE(Design()->GetConstraintClass(sub, cc));
    ListT<NorvObjectInfo> out;
    ASSERT_TRUE(Design()->FindConstraintClass(out, "SUB", SP_MatchCase));
    EXPECT_TRUE(out.IsEmpty());   // top level only
    ASSERT_TRUE(cc->GetParentConstraintClass(cc));
    ASSERT_TRUE(cc->FindChildConstraintClass(out, "sub", SP_0));
    EXPECT_EQ(1, out.Count());
    int32_t number = 0;
    ASSERT_TRUE(Design()->GetLayer(l1, layer));   // the failed fetch above emptied it
    auto l = Locked(layer);
    ASSERT_TRUE(l->SetLayerNumber(9));
    ASSERT_TRUE(layer->GetLayerNumber(number));
    EXPECT_EQ(9, number);
}

}  // namespace
}  // namespace LumoTest
