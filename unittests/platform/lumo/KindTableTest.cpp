// The kind, field and relation tables that the builder, loader and saver all drive from.
#include "LumoFixture.h"

#include "platform/lumo/src/Store.h"

namespace LumoTest {
namespace {

using namespace Lumo::detail;

TEST(KindTableTest, NamesTypesAndFieldsRoundTrip)
{
    for (size_t k = 1; k < kKindCount; ++k) {
        const Kind kind = static_cast<Kind>(k);
        Kind back = Kind::None;
        ASSERT_TRUE(StandIn::KindFromName(StandIn::KindName(kind), back)) << k;
        EXPECT_EQ(kind, back);
        EXPECT_EQ(kind, StandIn::KindOfType(StandIn::TypeOfKind(kind))) << StandIn::KindName(kind);
    }
    for (size_t f = 0; f < kFieldCount; ++f) {
        Field back = Field::Count;
        ASSERT_TRUE(StandIn::FieldFromName(StandIn::FieldName(static_cast<Field>(f)), back)) << f;
        EXPECT_EQ(static_cast<Field>(f), back);
    }
    for (int type : {0, 6, 8, 55, 63, 73, 84, 100, 108, 110, 255}) EXPECT_EQ(Kind::None, StandIn::KindOfType(type)) << type;
}

TEST(KindTableTest, BothSidesOfEveryRelationExistWithMatchingShapes)
{
    for (const RelationSpec& r : Relations()) {
        const SlotRef* a = SlotOf(r.kindA, r.fieldA);
        const SlotRef* b = SlotOf(r.kindB, r.fieldB);
        ASSERT_TRUE(a && b) << "R" << r.id;
        EXPECT_TRUE(IsListCat(a->cat) || IsRefCat(a->cat)) << "R" << r.id;
        EXPECT_TRUE(IsListCat(b->cat) || IsRefCat(b->cat)) << "R" << r.id;
        EXPECT_TRUE(SpecOf(r.kindA, r.fieldA)->targets & KindBit(r.kindB)) << "R" << r.id;
        EXPECT_TRUE(SpecOf(r.kindB, r.fieldB)->targets & KindBit(r.kindA)) << "R" << r.id;
        bool sideA = false;
        EXPECT_TRUE(RelationOf(r.kindA, r.fieldA, sideA) && sideA) << "R" << r.id;
    }
}

TEST(KindTableTest, EveryOwnedKindHasAHomeInItsOwner)
{
    const std::pair<Kind, Kind> homes[] = {
        {Kind::Snapshot, Kind::NorvConfig},        {Kind::NorvConfig, Kind::Design},
        {Kind::NorvConfig, Kind::PhysicalNet},     {Kind::Design, Kind::NetClass},
        {Kind::NetClass, Kind::NetClass},          {Kind::Scheme, Kind::SchemaNetClassRule},
        {Kind::SchemaNetClassRule, Kind::SchemaNetClassRule}, {Kind::SchemaNetClassRule, Kind::LayerRule},
        {Kind::PhysicalNet, Kind::NorvPin},        {Kind::NorvComp, Kind::NorvPin},
        {Kind::PageNet, Kind::Path},               {Kind::LogicComp, Kind::DesignPin},
        {Kind::Layer, Kind::Constraint},           {Kind::GenCompObj, Kind::GenObj},
    };
    for (const auto& h : homes) EXPECT_NE(Field::Count, HomeField(h.first, h.second)) << StandIn::KindName(h.second);
    EXPECT_EQ(Field::Count, HomeField(Kind::DesignPin, Kind::Constraint));   // not a Norv kind
    EXPECT_EQ(Field::Count, HomeField(Kind::NorvComp, Kind::PhysicalNet));
}

TEST(KindTableTest, NewRecordsTakeTheTableDefaults)
{
    auto s = StandIn::NewSession();
    StandIn::Builder b(*s, "main");
    StandIn::Store& st = b.GetStore();
    Index cfg = b.NorvConfig("TOP");
    Index d = b.Design(cfg);
    Index layer = b.Add(Kind::Layer, d, "L");
    Index scheme = b.Add(Kind::Scheme, d, "S");
    Index pin = b.Add(Kind::NorvPin, b.Add(Kind::NorvComp, cfg, "U"), "1");
    EXPECT_EQ(-1, st.Int(layer, Field::metallicLayerNumber));
    EXPECT_EQ(1, st.Int(scheme, Field::schemeType));
    EXPECT_FALSE(st.HasInt(pin, Field::filterType));
    EXPECT_TRUE(st.HasInt(pin, Field::norvType));
    EXPECT_EQ(d, st.Ref(cfg, Field::design));
    EXPECT_EQ(cfg, st.Owner(d));
    EXPECT_EQ(Kind::Layer, st.KindOf(layer));
    EXPECT_TRUE(st.Flag(layer, "valid"));
    EXPECT_FALSE(st.Flag(layer, "emptyIndex"));
}

}  // namespace
}  // namespace LumoTest

namespace LumoTest {
namespace {

TEST(StoreTablesTest, FileIdsAndTextsLiveInSnapshotTablesAndSurviveClones)
{
    auto s = StandIn::NewSession();
    StandIn::Builder b(*s, "main");
    SnapshotData* snap = detail::Access::DataOf(*s)->CurrentSnapshot();
    Index cfg = b.NorvConfig("TOP");
    const uint32_t slot = static_cast<uint32_t>(snap->SlotOfIndex(cfg.GetValue()));
    EXPECT_EQ("", snap->FileId(slot));
    snap->SetFileId(slot, "CFG");
    EXPECT_EQ("CFG", snap->FileId(slot));
    const std::string huge(70000, 'x');
    snap->SetFileId(slot, huge);
    EXPECT_EQ(huge, snap->FileId(slot));
    snap->SetFileId(slot, "CFG");
    Index page = b.Add(Kind::PageNet, b.Add(Kind::FlatNet, b.DefaultConfig("TOP"), "F"));
    b.SetText(page, Field::label, "L1");
    const std::shared_ptr<SnapshotData> copy = snap->Clone();
    b.SetText(page, Field::label, "");
    EXPECT_EQ("", b.GetStore().Text(page, Field::label));
    EXPECT_EQ("CFG", copy->FileId(slot));
    EXPECT_EQ("L1", copy->GetText(*copy->Find(page.GetValue()), Field::label));
}

}  // namespace
}  // namespace LumoTest
