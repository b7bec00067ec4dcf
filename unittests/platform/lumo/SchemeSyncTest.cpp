// Scheme synchronisation: new schemes, classes and clearance rules, renames and moves keep every scheme's
// rules in step with the classes.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class SchemeSyncTest : public LumoFixture {
protected:
    void SetUp() override
    {
        LumoFixture::SetUp();
        def = store().List(design, Field::netClasses).front();
        child = b->NetClass(def, "CHILD");
        grand = b->NetClass(child, "GRAND");
        schemes = store().List(design, Field::schemes);
    }

    // Every live class has exactly one rule in every scheme, named like it, nested like the classes, with
    // both sides of the class reference and one layer rule per metallic layer.
    void ExpectInStep()
    {
        for (Index scheme : store().List(design, Field::schemes)) {
            for (Index cls : store().AllLive(Kind::NetClass)) {
                ContainerT<const INorvNetClass> c = Fetch(cls, &IUIDManager::GetNorvNetClass);
                std::vector<Index> inScheme;
                for (Index r : store().List(cls, Field::schemaNetClassRules)) {
                    ContainerT<const INorvSchemaNetClassRule> rule = Fetch(r, &IUIDManager::GetNorvSchemaNetClassRule);
                    ContainerT<const INorvScheme> s;
                    ASSERT_TRUE(rule->GetScheme(s));
                    Index si;
                    s->GetIndex(si);
                    if (si == scheme) inScheme.push_back(r);
                }
                ASSERT_EQ(1u, inScheme.size()) << store().Name(cls) << " in " << store().Name(scheme);
                const Index rule = inScheme[0];
                EXPECT_EQ(store().Name(cls), store().Name(rule));
                EXPECT_EQ(cls, store().Ref(rule, Field::parentNetClass));
                EXPECT_EQ(2u, store().List(rule, Field::layerRules).size());
                const Index parentClass = store().Owner(cls);
                const Index ruleOwner = store().Owner(rule);
                if (store().KindOf(parentClass) == Kind::NetClass)
                    EXPECT_EQ(parentClass, store().Ref(ruleOwner, Field::parentNetClass));
                else
                    EXPECT_EQ(scheme, ruleOwner);
            }
            EXPECT_EQ(store().AllLive(Kind::ClearRule).size(), store().List(scheme, Field::schemaClearRules).size());
        }
    }

    Index def, child, grand;
    std::vector<Index> schemes;
};

TEST_F(SchemeSyncTest, PopulatedSchemesFollowTheClassTree)
{
    ASSERT_EQ(2u, schemes.size());
    ExpectInStep();
    const Index rule = store().List(schemes[0], Field::schemaNetClassRules).front();
    const std::vector<Index> layerRules = store().List(rule, Field::layerRules);
    EXPECT_EQ(1, store().Int(layerRules[0], Field::layerIndex));
    EXPECT_EQ(l2, store().Ref(layerRules[1], Field::parentLayer));
    EXPECT_EQ(2u, store().List(rule, Field::viaAssigns).size());
    EXPECT_EQ("V1", store().Name(store().List(rule, Field::viaAssigns).front()));

    auto d = Locked(Design());
    MutableContainerT<INorvScheme> s;
    ASSERT_TRUE(d->AddScheme(s, "Third", ST_Ordinary));
    MutableContainerT<INorvClearRule> cr;
    ASSERT_TRUE(d->AddClearRule(cr, "WIDE"));
    ExpectInStep();
}

TEST_F(SchemeSyncTest, NewSchemeCoversEveryClassOfAListWithDuplicates)
{
    const Index second = b->NetClass(design, "SECOND");
    b->Literal(design, Field::netClasses);
    for (Index c : {def, def, second}) b->AppendOnly(design, Field::netClasses, c);
    auto d = Locked(Design());
    MutableContainerT<INorvScheme> s;
    ASSERT_TRUE(d->AddScheme(s, "Third", ST_Ordinary));
    IteratorT<const INorvSchemaNetClassRule> it;
    ASSERT_TRUE(s->GetIterSchemaNetClassRules(it));
    EXPECT_EQ((std::vector<std::string>{"(Default)", "SECOND"}), Names(it));
}

TEST_F(SchemeSyncTest, ChildClassRuleGoesUnderItsParentsRule)
{
    auto c = Locked(Fetch(child, &IUIDManager::GetNorvNetClass));
    MutableContainerT<INorvNetClass> added;
    auto d = Locked(Design());
    ASSERT_TRUE(c->AddChildNetClass(added, "SIBLING", *d));
    ExpectInStep();
    MutableContainerT<INorvNetClass> notLocked;
    ContainerT<const INorvDesign> plain = Design();
    MutableContainerT<INorvDesign> released = Locked(plain);
    LockerT<INorvDesign>::UnLock(released);
    EXPECT_FALSE(c->AddChildNetClass(notLocked, "X", *released));
}

TEST_F(SchemeSyncTest, RenamesReachTheMappedRules)
{
    auto c = Locked(Fetch(child, &IUIDManager::GetNorvNetClass));
    ASSERT_TRUE(c->SetName("RENAMED"));
    ExpectInStep();
    const Index cr = store().List(design, Field::clearRules).front();
    auto r = Locked(Fetch(cr, &IUIDManager::GetNorvClearRule));
    ASSERT_TRUE(r->SetName("(Other Rule)"));
    for (Index m : store().List(cr, Field::schemaClearRules)) EXPECT_EQ("(Other Rule)", store().Name(m));
}

TEST_F(SchemeSyncTest, MoveBringsRulesAlongAndRepairsOneSidedAndMisnamedRules)
{
    // in the first scheme, GRAND's rule is known only through its parentNetClass and carries another name
    const Index grandRule0 = store().List(grand, Field::schemaNetClassRules)[0];
    const Index grandRule1 = store().List(grand, Field::schemaNetClassRules)[1];
    b->Literal(grand, Field::schemaNetClassRules);
    b->AppendOnly(grand, Field::schemaNetClassRules, grandRule1);
    b->SetName(grandRule0, "(Default)/CHILD/GRAND");

    auto g = Locked(Fetch(grand, &IUIDManager::GetNorvNetClass));
    auto d = Locked(Design());
    ASSERT_TRUE(g->SetParent(*d));
    EXPECT_EQ(design, store().Owner(grand));
    EXPECT_EQ(grand, store().List(design, Field::netClasses).back());
    ExpectInStep();
    EXPECT_EQ("GRAND", store().Name(grandRule0));

    auto top = Locked(Fetch(def, &IUIDManager::GetNorvNetClass));
    EXPECT_EQ("cyclic hierarchy: " + def.ToText(), Text(top->SetParent(*Locked(Fetch(child, &IUIDManager::GetNorvNetClass)))));
    ASSERT_TRUE(g->SetParent(*Locked(Fetch(child, &IUIDManager::GetNorvNetClass))));
    ExpectInStep();
    String path;
    ASSERT_TRUE(Fetch(grand, &IUIDManager::GetNorvNetClass)->GetHierarchicalName(path, '/'));
    EXPECT_EQ("(Default)/CHILD/GRAND", path.str());
}

TEST_F(SchemeSyncTest, CyclicRuleTreeInALargeDesignIsWalkedOnce)
{
    // CHILD's rule lists itself as a child, GRAND's rule is known only through its parentNetClass, and the
    // design has many records, so following the cycle until the record count would run very deep.
    for (Index scheme : schemes) {
        const Index childRule = store().List(store().List(scheme, Field::schemaNetClassRules).front(), Field::childRules).front();
        b->AppendOnly(childRule, Field::childRules, childRule);
    }
    b->Literal(grand, Field::schemaNetClassRules);
    for (int i = 0; i < 300000; ++i) b->Add(Kind::ConstVar, design);
    auto g = Locked(Fetch(grand, &IUIDManager::GetNorvNetClass));
    MutableContainerT<INorvNetClass> added;
    ASSERT_TRUE(g->AddChildNetClass(added, "LEAF", *Locked(Design())));
    Index leaf;
    ASSERT_TRUE(added->GetIndex(leaf));
    const std::vector<Index> rules = store().List(leaf, Field::schemaNetClassRules);
    EXPECT_EQ(schemes.size(), rules.size());
    for (Index r : rules)
        EXPECT_EQ(grand, store().Ref(store().Owner(r), Field::parentNetClass));
}

TEST_F(SchemeSyncTest, CycleInTheClassTreeIsDetected)
{
    b->SetRefOnly(def, Field::in, grand);
    String path;
    EXPECT_EQ("cyclic hierarchy: " + child.ToText(),
              Text(Fetch(child, &IUIDManager::GetNorvNetClass)->GetHierarchicalName(path, '/')));
}

}  // namespace
}  // namespace LumoTest
