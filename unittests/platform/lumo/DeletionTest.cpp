// Deletion: what each kind takes along, removal from every list, dangling references and refusal under a
// foreign lock.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class DeletionTest : public LumoFixture {
protected:
    bool Exists(Index i)
    {
        bool e = false;
        EXPECT_TRUE(uid.ObjectExists(i, e));
        return e;
    }
};

TEST_F(DeletionTest, PhysicalNetTakesItsPinsAndFromTosButNotComponentPins)
{
    Index vp = b->Pin(n1, "VP", NPT_VirtualPin);
    Index ft = b->FromTo(n1, "FT", p1, p2);
    Index flat = b->FlatNet(sch, "F1", n1);
    auto m = Locked(config);
    ASSERT_TRUE(m->DeletePhysicalNet(n1));
    for (Index gone : {n1, vp, ft}) EXPECT_FALSE(Exists(gone)) << gone.ToText();
    EXPECT_TRUE(Exists(p1));
    EXPECT_EQ(n1, store().Ref(p1, Field::parentPhysicalNet));   // dangling, read as absent
    ContainerT<const INorvPhysicalNet> pn;
    EXPECT_FALSE(Fetch(p1, &IUIDManager::GetNorvPin)->GetParentPhysicalNet(pn));
    EXPECT_EQ(std::vector<Index>{n2}, store().List(e1, Field::physicalNets));
    EXPECT_EQ(n1, store().Ref(flat, Field::physicalNet));
    EXPECT_EQ("not a child of this object: " + e2.ToText(), Text(m->DeletePhysicalNet(e2)));
}

TEST_F(DeletionTest, ComponentTakesItsPinsAndLeavesItsPartsList)
{
    Index u2 = b->NorvComp(cfg, "U2", part);
    auto m = Locked(config);
    ASSERT_TRUE(m->DeleteNorvComp(u1));
    for (Index gone : {u1, p1, p2}) EXPECT_FALSE(Exists(gone));
    EXPECT_EQ(std::vector<Index>{u2}, store().List(part, Field::norvComps));
    EXPECT_TRUE(store().List(n1, Field::pins).empty());
}

TEST_F(DeletionTest, NetClassTakesChildrenAndItsSchemeRules)
{
    Index child = b->NetClass(store().List(design, Field::netClasses).front(), "CHILD");
    Index def = store().List(design, Field::netClasses).front();
    b->Link(n1, Field::netClass, child);
    const std::vector<Index> rules = store().List(child, Field::schemaNetClassRules);
    ASSERT_EQ(2u, rules.size());   // one per scheme
    const std::vector<Index> layerRules = store().List(rules[0], Field::layerRules);
    auto d = Locked(Design());
    ASSERT_TRUE(d->DeleteNetClass(def));
    for (Index gone : {def, child, rules[0], rules[1], layerRules[0]}) EXPECT_FALSE(Exists(gone));
    for (Index scheme : store().List(design, Field::schemes)) EXPECT_TRUE(store().List(scheme, Field::schemaNetClassRules).empty());
    EXPECT_EQ(child, store().Ref(n1, Field::netClass));
    ContainerT<const INorvNetClass> nc;
    EXPECT_FALSE(Net(n1)->GetNetClass(nc));
}

TEST_F(DeletionTest, ClearRuleTakesItsSchemaClearRules)
{
    Index cr = store().List(design, Field::clearRules).front();
    const std::vector<Index> mapped = store().List(cr, Field::schemaClearRules);
    ASSERT_EQ(2u, mapped.size());
    auto d = Locked(Design());
    ASSERT_TRUE(d->DeleteClearRule(cr));
    for (Index gone : mapped) EXPECT_FALSE(Exists(gone));
    EXPECT_EQ("not a child of this object: " + n1.ToText(), Text(d->DeleteClearRule(n1)));
}

TEST_F(DeletionTest, RemoveConfigKeepsTheSchematicSide)
{
    Index lc = b->LogicComp(sch, "U1");
    Index dp = b->DesignPin(lc, "U1.1", "1");
    b->Link(p1, Field::designPin, dp);
    Index flat = b->FlatNet(sch, "F1", n1);
    MutableContainerT<ISnapshot> s = Locked(snap);
    ASSERT_TRUE(s->RemoveConfig(cfg));
    for (Index gone : {cfg, design, e1, n1, u1, p1, part}) EXPECT_FALSE(Exists(gone));
    EXPECT_TRUE(Exists(flat));
    EXPECT_TRUE(store().List(dp, Field::norvPins).empty());
    ContainerT<const INorvConfig> c;
    EXPECT_EQ("not found: TOP", Text(snap->GetNorvConfig(c, "TOP")));
    EXPECT_EQ("object does not exist: " + cfg.ToText(), Text(s->RemoveConfig(cfg)));
}

// Small deletions and ones of thousands of objects are kept differently while collected and erased: both must
// take the same objects along and leave the same lists behind.
TEST_F(DeletionTest, RemoveConfigOfAnySizeTakesItsObjectsAndEmptiesTheSchematicLists)
{
    for (const int comps : {3, 1500}) {
        SetUp();
        Index lc = b->LogicComp(sch, "U1");
        Index flat = b->FlatNet(sch, "F1", n1);
        std::vector<Index> designPins, pins;
        for (int i = 0; i < comps; ++i) {
            const std::string name = "C" + std::to_string(i);
            Index comp = b->NorvComp(cfg, name, part);
            designPins.push_back(b->DesignPin(lc, name + ".1", "1"));
            pins.push_back(b->Pin(comp, "1", NPT_NetPin, i % 2 ? n1 : n2));
            b->Link(pins.back(), Field::designPin, designPins.back());
            b->Link(pins.back(), Field::parentNorvComp, comp);
        }
        MutableContainerT<ISnapshot> s = Locked(snap);
        ASSERT_TRUE(s->RemoveConfig(cfg)) << comps;
        for (Index gone : {cfg, design, e1, n1, n2, u1, p1, part, pins.front(), pins.back()})
            EXPECT_FALSE(Exists(gone)) << comps << " " << gone.ToText();
        for (Index kept : {lc, flat, designPins.front(), designPins.back()}) EXPECT_TRUE(Exists(kept)) << comps;
        for (Index d : designPins) ASSERT_TRUE(store().List(d, Field::norvPins).empty()) << comps << " " << d.ToText();
        EXPECT_EQ(designPins.size(), store().List(lc, Field::pins).size());
    }
}

TEST_F(DeletionTest, ForeignLockInsideTheSetRefusesAndChangesNothing)
{
    b->ForeignLock(p1, "ws-2:99", "Editor (FE NORV)");
    auto m = Locked(config);
    EXPECT_EQ("locked by another sub-client: ws-2:99, Editor (FE NORV)", Text(m->DeleteNorvComp(u1)));
    EXPECT_TRUE(Exists(u1));
    EXPECT_TRUE(Exists(p1));
    EXPECT_EQ(2u, store().List(n1, Field::pins).size());
}

TEST_F(DeletionTest, DeleteAllRefusedByOneForeignLockDeletesNothing)
{
    Index pp1 = b->PinPair(e1, "PP1", p1, p2);
    Index pp2 = b->PinPair(e1, "PP2", p2, p1);
    b->ForeignLock(pp2, "ws-2:99", "Editor (FE NORV)");
    auto m = Locked(ENet(e1));
    EXPECT_EQ("locked by another sub-client: ws-2:99, Editor (FE NORV)", Text(m->DeleteAllPinPair()));
    EXPECT_TRUE(Exists(pp1));
    EXPECT_EQ((std::vector<Index>{pp1, pp2}), store().List(e1, Field::pinPairs));
}

TEST_F(DeletionTest, DeletedSerialsAreNotReused)
{
    auto m = Locked(config);
    ASSERT_TRUE(m->DeletePhysicalNet(n3));
    MutableContainerT<INorvComp> comp;
    ASSERT_TRUE(m->AddNorvComp(comp, ContainerT<const INorvPart>(), "NEW"));
    Index i;
    comp->GetIndex(i);
    EXPECT_GT(i.GetValue() & 0xFFFFFFFFull, n3.GetValue() & 0xFFFFFFFFull);
    EXPECT_FALSE(Exists(n3));
}

}  // namespace
}  // namespace LumoTest
