// Reads: fetches and getters over absent and dangling references, searches, failure texts and constraints.
#include "LumoFixture.h"

#include <functional>

namespace LumoTest {
namespace {

class ReadsTest : public LumoFixture {};

TEST_F(ReadsTest, FetchFailsForAbsentWrongKindAndDeletedIndexes)
{
    ContainerT<const INorvPhysicalNet> c;
    Result r = uid.GetNorvPhysicalNet(c, Idx(999, 49));
    EXPECT_FALSE(r);
    EXPECT_EQ("object does not exist: 999-0-49", Text(r));
    r = uid.GetNorvPhysicalNet(c, e1);
    EXPECT_EQ("wrong object kind: " + e1.ToText(), Text(r));
    EXPECT_FALSE(c.IsValid());
    b->Delete(n3);
    EXPECT_FALSE(uid.GetNorvPhysicalNet(c, n3));

    bool exists = true;
    for (Index i : {n3, Idx(999, 49), Index(), Idx(5, 255)}) {
        EXPECT_TRUE(uid.ObjectExists(i, exists));
        EXPECT_FALSE(exists) << i.ToText();
    }
    EXPECT_TRUE(uid.ObjectExists(n1, exists));
    EXPECT_TRUE(exists);
    IUIDManager unbound;
    EXPECT_EQ("UID manager not bound", Text(unbound.ObjectExists(n1, exists)));
}

TEST_F(ReadsTest, GettersFailOnAbsentDanglingAndWrongKindReferences)
{
    b->SetRefOnly(n1, Field::netClass, Idx(99, 24));   // never issued
    b->SetRefOnly(n2, Field::netClass, e1);            // another kind
    ContainerT<const INorvNetClass> nc;
    for (Index n : {n1, n2, n3}) {
        Result r = Net(n)->GetNetClass(nc);
        EXPECT_FALSE(r) << n.ToText();
        EXPECT_EQ("no reference", Text(r));
        EXPECT_FALSE(nc.IsValid());
    }
    ContainerT<const INorvElectricalNet> en;
    EXPECT_TRUE(Net(n3)->GetParentElectricalNet(en));
    b->Delete(e2);
    EXPECT_FALSE(Net(n3)->GetParentElectricalNet(en));
    EXPECT_EQ(e2, store().Ref(n3, Field::parentElectricalNet));   // the reference itself stays
}

TEST_F(ReadsTest, InvalidObjectIsReturnedButNotValid)
{
    b->Invalid(e1);
    ContainerT<const INorvElectricalNet> en;
    ASSERT_TRUE(Net(n1)->GetParentElectricalNet(en));
    EXPECT_EQ("object is not valid: " + e1.ToText(), Text(en.IsValid()));
    String name;
    EXPECT_FALSE(en->GetName(name));
    bool exists = false;
    EXPECT_TRUE(uid.ObjectExists(e1, exists));
    EXPECT_TRUE(exists);
}

TEST_F(ReadsTest, EmptyContainerCallsFail)
{
    ContainerT<const INorvPhysicalNet> empty;
    String name;
    EXPECT_EQ("empty container", Text(empty->GetName(name)));
    EXPECT_FALSE(empty);
    Index i;
    b->EmptyIndex(n1);
    EXPECT_TRUE(Net(n1)->GetIndex(i));
    EXPECT_TRUE(i.IsEmpty());
}

TEST_F(ReadsTest, AliasedReceiverIsReplacedByItsParent)
{
    Index top = b->ConstraintClass(design, "TOPC");
    Index child = b->ConstraintClass(top, "CHILD");
    ContainerT<const INorvConstraintClass> c = Fetch(child, &IUIDManager::GetNorvConstraintClass);
    ASSERT_TRUE(c->GetParentConstraintClass(c));
    Index got;
    ASSERT_TRUE(c->GetIndex(got));
    EXPECT_EQ(top, got);
    EXPECT_FALSE(c->GetParentConstraintClass(c));
    EXPECT_FALSE(c.IsValid());
}

TEST_F(ReadsTest, SearchMatchesWholeNamesWithCaseRule)
{
    b->PhysicalNet(cfg, "n1");
    b->PhysicalNet(cfg, "N10");
    struct Case {
        SearchParams params;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {SearchParams(SP_MatchCase), {"N1"}},
        {SearchParams(SP_0), {"N1", "n1"}},
        {SearchParams(SP_5) | SP_0, {"N1", "n1"}},
        {SearchParams(SP_0) | SP_5 | SP_MatchCase, {"N1"}},
    };
    for (const Case& c : cases) {
        ListT<NorvObjectInfo> out;
        out.Add(NorvObjectInfo{Index(), "stale"});
        ASSERT_TRUE(config->FindPhysicalNet(out, "N1", c.params));
        std::vector<std::string> names;
        for (auto it = out.GetIterator(); it.IsValid(); ++it) names.push_back(it->name.str());
        EXPECT_EQ(c.names, names) << c.params.GetWord();
    }
    EXPECT_EQ(0, String("Abc").Compare("aBC", SP_0));
    EXPECT_NE(0, String("Abc").Compare("aBC", SP_MatchCase));
    EXPECT_LT(String("abc").Compare("abd", SP_0), 0);
}

TEST_F(ReadsTest, SearchOfALongListUsesItsIndexAndFollowsRenamesAndDeletions)
{
    std::vector<Index> nets;
    for (int i = 0; i < 40; ++i) nets.push_back(b->PhysicalNet(cfg, "NET" + std::to_string(i)));
    b->AppendOnly(cfg, Field::physicalNets, nets[7]);   // listed twice
    ListT<NorvObjectInfo> out;
    ASSERT_TRUE(config->FindPhysicalNet(out, "net7", SP_0));
    EXPECT_EQ(2, out.Count());
    auto pn = Net(nets[7]);
    auto m = Locked(pn);
    ASSERT_TRUE(m->SetName("Renamed"));
    EXPECT_TRUE(config->FindPhysicalNet(out, "NET7", SP_0));
    EXPECT_EQ(0, out.Count());
    EXPECT_TRUE(config->FindPhysicalNet(out, "renamed", SP_0));
    EXPECT_EQ(2, out.Count());
    b->Delete(nets[7]);
    EXPECT_TRUE(config->FindPhysicalNet(out, "Renamed", SP_MatchCase));
    EXPECT_EQ(0, out.Count());
    ASSERT_TRUE(config->FindPhysicalNet(out, "NET39", SP_MatchCase));
    ASSERT_EQ(1, out.Count());
    EXPECT_EQ(nets[39], out.GetIterator()->index);
}

TEST_F(ReadsTest, DescriptionsAreEmptyWhileStringResultsAreOff)
{
    ContainerT<const INorvPhysicalNet> c;
    StandIn::SetStringResultsEnabledForTest(false);
    Result r = uid.GetNorvPhysicalNet(c, Idx(999, 49));
    EXPECT_EQ("", Text(r));
    Result::SetStringResultsEnabled(true);
    EXPECT_EQ("object does not exist: 999-0-49", Text(r));
}

TEST_F(ReadsTest, ValueTexts)
{
    EXPECT_EQ("0-0-0", Index().ToText());
    EXPECT_EQ("5-0-24", Idx(5, 24).ToText());
    EXPECT_EQ("-3-0-255", Index(0xFF000000FFFFFFFDull).ToText());
    ConstraintData d;
    d.kind = CDT_Double;
    d.doubleValue = 0.1;
    EXPECT_EQ("0.1", d.GetValueAsString().str());
    d.kind = CDT_DoubleList;
    d.doubleList = {1.0, 2.5};
    EXPECT_EQ("1,2.5", d.GetValueAsString().str());
    d.kind = CDT_IntList;
    d.intList = {3, -4};
    EXPECT_EQ("3,-4", d.GetValueAsString().str());
    BitContainerT<EPinType> set(PT_ForwardPCB);
    set |= static_cast<EPinType>(40);
    EXPECT_EQ(0x100000u, set.GetWord());
}

// ---------------------------------------------------------------------------------------------------------
// Constraints

class ConstraintsTest : public LumoFixture {};

TEST_F(ConstraintsTest, GetConstraintPrefersOwnRecordThenDefinitionRecordThenInherited)
{
    b->Definition("LINE_WIDTH", 5.0);
    b->Definition("MAX_VIAS", 10);
    Index defRec = b->Constraint(n1, "LINE_WIDTH", 7.0);
    b->ConstraintFlags(defRec, true);
    b->Inherit(n1, "LINE_WIDTH");
    b->Inherit(n1, "MAX_VIAS");
    auto net = Net(n1);
    ContainerT<const INorvConstraint> c;
    Index got;
    ASSERT_TRUE(net->GetConstraint(c, "LINE_WIDTH"));
    c->GetIndex(got);
    EXPECT_EQ(defRec, got);
    Index parent = n1;
    ASSERT_TRUE(c->GetParentIndex(parent));
    EXPECT_TRUE(parent.IsEmpty());

    Index own = b->Constraint(n1, "LINE_WIDTH", 8.0);
    ASSERT_TRUE(net->GetConstraint(c, "LINE_WIDTH"));
    c->GetIndex(got);
    EXPECT_EQ(own, got);
    ASSERT_TRUE(c->GetParentIndex(parent));
    EXPECT_EQ(n1, parent);

    ASSERT_TRUE(net->GetConstraint(c, "MAX_VIAS"));
    c->GetIndex(got);
    EXPECT_EQ(OT_NorvConstraintDef, got.GetType());
    bool flag = false;
    EXPECT_TRUE(c->IsDefinition(flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(c->IsUserConstraint(flag));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(c->GetParentIndex(parent));
    EXPECT_TRUE(parent.IsEmpty());
    MutableContainerT<INorvConstraint> m;
    EXPECT_EQ("wrong object kind: " + got.ToText(), Text(LockerT<INorvConstraint>::Lock(c, m)));
    auto mn = Locked(net);
    EXPECT_EQ("wrong object kind: " + got.ToText(), Text(mn->DeleteConstraint(got)));

    Result r = net->GetConstraint(c, "ORDER_TYPE");
    EXPECT_EQ("not found: ORDER_TYPE", Text(r));
    EXPECT_FALSE(c.IsValid());
}

TEST_F(ConstraintsTest, IterationYieldsOwnRecordsThenInheritedNotOverridden)
{
    b->Definition("A", 1);
    b->Definition("B", 2);
    b->Definition("C", 3);
    b->Constraint(n1, "B", 20);
    b->Constraint(n1, "X", "x");
    b->Inherit(n1, "C");
    b->Inherit(n1, "B");
    b->Inherit(n1, "A");
    b->Inherit(n1, "C");
    b->Inherit(n1, "NONE");
    IteratorT<const INorvConstraint> it;
    ASSERT_TRUE(Net(n1)->GetIterConstraints(it));
    EXPECT_EQ((std::vector<std::string>{"B", "X", "C", "A"}), Names(it));

    auto m = Locked(Net(n1));
    ASSERT_TRUE(m->DeleteAllConstraints());
    ASSERT_TRUE(Net(n1)->GetIterConstraints(it));
    EXPECT_EQ((std::vector<std::string>{"C", "B", "A"}), Names(it));
}

// A walk over an object's constraints yields them as they stood when it was filled, whether it reads the
// stored list in place (own live records only) or a list made for it (inherited ones, other entries).
TEST_F(ConstraintsTest, ConstraintWalkKeepsItsRecordsWhileOneIsAdded)
{
    const struct
    {
        const char* name;
        std::function<void()> setup;
        std::vector<std::string> walked, fresh;
    } cases[] = {
        {"own only", [] {}, {"A", "B"}, {"A", "B", "C"}},
        {"inherited too",
         [&] {
             b->Definition("D", 4);
             b->Inherit(n1, "D");
         },
         {"A", "B", "D"},
         {"A", "B", "C", "D"}},
        {"another kind listed", [&] { b->AppendOnly(n1, Field::constraints, n2); }, {"A", "B"}, {"A", "B", "C"}},
        {"a dead record listed", [&] { store().SetFlag(b->Constraint(n1, "Z", 9), "alive", false); }, {"A", "B"},
         {"A", "B", "C"}},
    };
    for (const auto& c : cases) {
        SetUp();
        b->Constraint(n1, "A", 1);
        b->Constraint(n1, "B", 2);
        c.setup();
        IteratorT<const INorvConstraint> walk;
        ASSERT_TRUE(Net(n1)->GetIterConstraints(walk)) << c.name;
        MutableContainerT<INorvConstraint> added;
        ConstraintData v;
        v.kind = CDT_Int;
        v.intValue = 3;
        ASSERT_TRUE(Locked(Net(n1))->AddConstraint("C", v, added)) << c.name;
        EXPECT_EQ(c.walked, Names(walk)) << c.name;
        ASSERT_TRUE(Net(n1)->GetIterConstraints(walk)) << c.name;
        EXPECT_EQ(c.fresh, Names(walk)) << c.name;
    }
}

TEST_F(ConstraintsTest, DefaultKindTakesTheDefinitionsKind)
{
    b->Definition("MAX_VIAS", 10);
    auto m = Locked(Net(n1));
    ConstraintData v;
    v.textValue = "12";
    MutableContainerT<INorvConstraint> c;
    ASSERT_TRUE(m->AddConstraint("MAX_VIAS", v, c));
    ConstraintData got;
    ASSERT_TRUE(c->GetValue(got));
    EXPECT_EQ(CDT_Int, got.kind);
    EXPECT_EQ(12, got.intValue);

    ASSERT_TRUE(m->AddConstraint("FREE", v, c));
    ASSERT_TRUE(c->GetValue(got));
    EXPECT_EQ(CDT_Text, got.kind);

    v.textValue = "many";
    MutableContainerT<INorvConstraint> again;
    EXPECT_EQ("invalid value: MAX_VIAS", Text(m->AddConstraint("MAX_VIAS", v, again)));
    ContainerT<const INorvConstraint> rc;
    ASSERT_TRUE(Net(n1)->GetConstraint(rc, "MAX_VIAS"));
    ASSERT_TRUE(rc->GetValue(got));
    EXPECT_EQ(12, got.intValue);

    // a second add of the same name replaces the value instead of adding a record
    v.textValue = "14";
    ASSERT_TRUE(m->AddConstraint("MAX_VIAS", v, again));
    IteratorT<const INorvConstraint> it;
    ASSERT_TRUE(Net(n1)->GetIterConstraints(it));
    EXPECT_EQ((std::vector<std::string>{"MAX_VIAS", "FREE"}), Names(it));
}

TEST_F(ConstraintsTest, AddConstraintDoesNotTakeARecordAnotherSubClientHolds)
{
    Index held = b->Constraint(n1, "WIDTH", 5);
    b->ForeignLock(held, "ws-2:99", "Editor (FE NORV)");
    auto m = Locked(Net(n1));
    ConstraintData v;
    v.kind = CDT_Int;
    v.intValue = 7;
    MutableContainerT<INorvConstraint> c;
    EXPECT_EQ("locked by another sub-client: ws-2:99, Editor (FE NORV)", Text(m->AddConstraint("WIDTH", v, c)));
    EXPECT_FALSE(c.IsValid());
    EXPECT_EQ(5, store().ConstraintValue(held).intValue);
}

TEST_F(ConstraintsTest, SetValueByStringParsesPerKindAndKeepsValueOnError)
{
    Index c = b->Constraint(n1, "W", 1.5);
    ContainerT<const INorvConstraint> rc = Fetch(c, &IUIDManager::GetNorvConstraint);
    auto m = Locked(rc);
    EXPECT_EQ("invalid value: W", Text(m->SetValueByString("abc")));
    EXPECT_TRUE(m->SetValueByString("2.25"));
    EXPECT_TRUE(m->SetValueByString("1,2", CDT_IntList));
    String text;
    EConstraintType type = CDT_Default;
    ASSERT_TRUE(rc->GetValueByString(text, type));
    EXPECT_EQ("1,2", text.str());
    EXPECT_EQ(CDT_IntList, type);
    EXPECT_EQ("invalid value: W", Text(m->SetValueByString("1,x", CDT_IntList)));
    ASSERT_TRUE(rc->GetValueByString(text));
    EXPECT_EQ("1,2", text.str());
}

TEST_F(ConstraintsTest, IsDefaultValueComparesWithTheDefinitionUnlessFlagged)
{
    b->Definition("ORDER_TYPE", "MST");
    Index same = b->Constraint(n1, "ORDER_TYPE", "MST");
    Index other = b->Constraint(n2, "ORDER_TYPE", "Star");
    Index flagged = b->Constraint(n3, "ORDER_TYPE", "Star");
    b->ConstraintIsDefault(flagged, true);
    const std::pair<Index, bool> cases[] = {{same, true}, {other, false}, {flagged, true}};
    for (const auto& c : cases) {
        bool flag = !c.second;
        ASSERT_TRUE(Fetch(c.first, &IUIDManager::GetNorvConstraint)->IsDefaultValue(flag));
        EXPECT_EQ(c.second, flag) << c.first.ToText();
    }
}

TEST_F(ConstraintsTest, DeleteConstraintThroughItsRecordedParent)
{
    Index c = b->Constraint(n1, "X", 1);
    b->ConstraintParent(c, n2);
    auto other = Locked(Net(n3));
    EXPECT_EQ("not a child of this object: " + c.ToText(), Text(other->DeleteConstraint(c)));
    auto parent = Locked(Net(n2));
    ASSERT_TRUE(parent->DeleteConstraint(c));
    EXPECT_FALSE(store().IsAlive(c));
    EXPECT_TRUE(store().List(n1, Field::constraints).empty());
}

TEST_F(ConstraintsTest, AttributesReadAsEmptyWhenUnset)
{
    ContainerT<const ISnapshot> s = snap;
    String v = "stale";
    ASSERT_TRUE(s->GetAttribute("NORV_MIGRATION_STATUS", v));
    EXPECT_EQ("", v.str());
    b->SnapshotAttribute("NORV_MIGRATION_STATUS", "0:ok");
    ASSERT_TRUE(s->GetAttribute("NORV_MIGRATION_STATUS", v));
    EXPECT_EQ("0:ok", v.str());

    auto m = Locked(Net(n1));
    ASSERT_TRUE(m->SetAttribute("A", "1"));
    ASSERT_TRUE(m->SetAttribute("B", "2"));
    ASSERT_TRUE(m->SetAttribute("A", "3"));
    ListAttribute list;
    ASSERT_TRUE(Net(n1)->GetAttributes(list));
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("3", list.GetIterator()->value.str());
    ASSERT_TRUE(m->RemoveAttributes());
    ASSERT_TRUE(Net(n1)->GetAttributes(list));
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(ConstraintsTest, AConstraintSetsOneAttributeUnderItsLock)
{
    const Index c = b->Constraint(n1, "LINE_WIDTH", 7.0);
    ContainerT<const INorvConstraint> read;
    ASSERT_TRUE(Net(n1)->GetConstraint(read, "LINE_WIDTH"));
    EXPECT_FALSE(MutableContainerT<INorvConstraint>()->SetAttribute("A", "1"));

    auto m = Locked(read);
    ASSERT_TRUE(m->SetAttribute("A", "1"));
    ASSERT_TRUE(m->SetAttribute("B", "2"));
    ASSERT_TRUE(m->SetAttribute("A", "3")); // replaces, keeping the place
    ListAttribute list;
    ASSERT_TRUE(read->GetAttributes(list));
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("A", list.GetIterator()->name.str());
    EXPECT_EQ("3", list.GetIterator()->value.str());
    EXPECT_EQ(3u, counts().Get("SetAttribute"));

    faults().FailOn(c, "SetAttribute", 1);
    EXPECT_FALSE(m->SetAttribute("C", "4"));
    ASSERT_TRUE(read->GetAttributes(list));
    EXPECT_EQ(2, list.Count());
}

}  // namespace
}  // namespace LumoTest
