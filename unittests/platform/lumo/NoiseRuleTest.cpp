// Noise rules: type and ends derived from their constraints, explicit overrides and unresolved ends.
#include "LumoFixture.h"

namespace LumoTest {
namespace {

class NoiseRuleTest : public LumoFixture {
protected:
    Index Rule(const char* type, const char* from, const char* to)
    {
        Index r = b->Add(Kind::NoiseRule, design, "NR");
        if (type) b->Constraint(r, "PR_TYPE", type);
        if (from) b->Constraint(r, "PR_FROM_OBJ", from);
        if (to) b->Constraint(r, "PR_TO_OBJ", to);
        return r;
    }
    ContainerT<const INorvNoiseRule> NR(Index i) { return Fetch(i, &IUIDManager::GetNorvNoiseRule); }
};

TEST_F(NoiseRuleTest, TypeFollowsFamilyAndAllEnds)
{
    struct Case {
        const char *type, *from, *to;
        int expected;
    };
    const Case cases[] = {
        {"Class-Class", "A", "B", 1},
        {"Class-Class", "A", "(All Classes)", 2},
        {"Class-Class", "(All Classes)", "B", 3},
        {"Class-Class", "(All Classes)", "(All Classes)", 7},
        {"Net-Net", "A", "B", 4},
        {"Net-Net", "A", "(All Nets)", 5},
        {"Net-Net", "(All Nets)", "B", 6},
        {"Net-Net", "(All Nets)", "(All Nets)", 8},
    };
    for (const Case& c : cases) {
        ENoiseRuleType t = NRT_Skip;
        ASSERT_TRUE(NR(Rule(c.type, c.from, c.to))->GetType(t)) << c.type << " " << c.from << " " << c.to;
        EXPECT_EQ(c.expected, t) << c.type << " " << c.from << " " << c.to;
    }
    ENoiseRuleType t = NRT_8;
    EXPECT_EQ("unknown noise rule type", Text(NR(Rule("Other", "A", "B"))->GetType(t)));
    EXPECT_EQ(NRT_8, t);
    Index fixed = Rule(nullptr, nullptr, "");
    b->SetInt(fixed, Field::noiseType, 12);
    ASSERT_TRUE(NR(fixed)->GetType(t));
    EXPECT_EQ(12, t);
}

TEST_F(NoiseRuleTest, EndsResolveByPathOrNameAndElseGivePlaceholders)
{
    Index all = store().List(design, Field::constraintClasses).front();
    Index sub = b->ConstraintClass(all, "SUB");
    ContainerT<const INorvConstraintClass> victim, aggressor;
    ENoiseRuleType t = NRT_Skip;
    ASSERT_TRUE(NR(Rule("Class-Class", "(All)/SUB", "MISSING"))->Get(victim, aggressor, t));
    EXPECT_EQ(NRT_1, t);
    Index vi;
    victim->GetIndex(vi);
    EXPECT_EQ(sub, vi);
    String name;
    ASSERT_TRUE(aggressor->GetName(name));
    EXPECT_EQ("MISSING", name.str());
    ASSERT_TRUE(aggressor->GetHierarchicalName(name, '/'));
    EXPECT_EQ("MISSING", name.str());
    Index ai = n1;
    ASSERT_TRUE(aggressor->GetIndex(ai));
    EXPECT_TRUE(ai.IsEmpty());
    EXPECT_FALSE(aggressor.IsValid());

    ContainerT<const INorvElectricalNet> ev, ea;
    ASSERT_TRUE(NR(Rule("Net-Net", "E2", "(All Nets)"))->Get(ev, ea, t));
    EXPECT_EQ(NRT_5, t);
    ev->GetIndex(vi);
    EXPECT_EQ(e2, vi);
    EXPECT_FALSE(ea.IsValid());

    EXPECT_EQ("no reference", Text(NR(Rule("Net-Net", "E2", nullptr))->Get(ev, ea, t)));
    Index explicitRule = Rule(nullptr, nullptr, nullptr);
    b->SetRefOnly(explicitRule, Field::aggressor, e1);
    b->SetRefOnly(explicitRule, Field::victim, all);
    ASSERT_TRUE(NR(explicitRule)->Get(ev, ea, t));
    EXPECT_EQ(NRT_Skip, t);
    EXPECT_FALSE(ev.IsValid());   // a class is not a net
    ea->GetIndex(ai);
    EXPECT_EQ(e1, ai);
}

TEST_F(NoiseRuleTest, AliasedSchemeRuleReceiverClimbsToItsParent)
{
    Index def = store().List(design, Field::netClasses).front();
    b->NetClass(def, "CHILD");
    const Index scheme = store().List(design, Field::schemes).front();
    const Index top = store().List(scheme, Field::schemaNetClassRules).front();
    const Index childRule = store().List(top, Field::childRules).front();
    auto r = Fetch(childRule, &IUIDManager::GetNorvSchemaNetClassRule);
    ASSERT_TRUE(r->GetParentSchemeNetClassRule(r));
    Index got;
    r->GetIndex(got);
    EXPECT_EQ(top, got);
    EXPECT_FALSE(r->GetParentSchemeNetClassRule(r));
    EXPECT_FALSE(r.IsValid());
}

}  // namespace
}  // namespace LumoTest
