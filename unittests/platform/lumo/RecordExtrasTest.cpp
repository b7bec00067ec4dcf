// A record's inherited names and attributes, and a constraint's value: texts kept once per snapshot, one or two
// inherited names held in the record itself, more (or any attribute) in one heap block, a value's lists in a block
// of their own. Every read must give back what was written, in its order, with duplicates, empty and long texts,
// types and bits, through every change of layout, backups (copies of the snapshot) and saving and loading.
#include "JsonTestUtil.h"
#include "LumoFixture.h"
#include "SessionDump.h"
#include "platform/lumo/src/Store.h"

#include <functional>

namespace LumoTest {
namespace {

using detail::AttrEntry;
using detail::RecordExtras;

TEST(RecordExtrasTest, KeepsInheritsAndAttributesThroughEveryLayout)
{
    // Each content is assigned over each other one, then copied and moved; the ids beyond 31 bits cannot stand
    // in the record.
    const uint32_t big = 0x80000000u;
    const struct
    {
        const char* name;
        std::vector<uint32_t> inherits;
        std::vector<AttrEntry> attrs;
    } contents[] = {
        {"nothing", {}, {}},
        {"one name", {5}, {}},
        {"two names", {0, 0x7FFFFFFFu}, {}},
        {"three names", {1, 2, 1}, {}},
        {"a name past 31 bits", {big}, {}},
        {"two names, the second past 31 bits", {3, big + 7}, {}},
        {"one attribute", {}, {{1, 2, 3, -1}}},
        {"names and attributes", {4, 4}, {{1, 2, 3, 0}, {1, 2, 0, -1}, {9, 9, INT32_MIN, INT32_MAX}}},
    };
    auto same = [](const RecordExtras& e, const std::vector<uint32_t>& inherits, const std::vector<AttrEntry>& attrs,
                   const std::string& what) {
        ASSERT_EQ(inherits.size(), e.InheritCount()) << what;
        for (size_t i = 0; i < inherits.size(); ++i) EXPECT_EQ(inherits[i], e.Inherit(i)) << what << " inherit " << i;
        ASSERT_EQ(attrs.size(), e.AttrCount()) << what;
        for (size_t i = 0; i < attrs.size(); ++i) {
            const AttrEntry& a = e.Attrs()[i];
            EXPECT_TRUE(a.name == attrs[i].name && a.value == attrs[i].value && a.type == attrs[i].type &&
                        a.bit == attrs[i].bit)
                << what << " attribute " << i;
        }
        EXPECT_EQ(inherits.empty() && attrs.empty(), e.empty()) << what;
    };
    for (const auto& from : contents) {
        for (const auto& to : contents) {
            const std::string what = std::string(from.name) + " -> " + to.name;
            RecordExtras e;
            e.Assign(from.inherits.data(), from.inherits.size(), from.attrs.data(), from.attrs.size());
            same(e, from.inherits, from.attrs, what);
            e.Assign(to.inherits.data(), to.inherits.size(), to.attrs.data(), to.attrs.size());
            same(e, to.inherits, to.attrs, what);
            // a copy is deep: changing it leaves the original
            RecordExtras copy(e);
            copy.SetInherits(from.inherits.data(), from.inherits.size());
            same(e, to.inherits, to.attrs, what + " (original)");
            same(copy, from.inherits, to.attrs, what + " (copy, inherits set)");
            copy.SetAttrs(from.attrs.data(), from.attrs.size());
            same(copy, from.inherits, from.attrs, what + " (copy, attributes set)");
            copy = e;
            same(copy, to.inherits, to.attrs, what + " (copied over)");
            // setting a part from its own content
            copy.SetAttrs(copy.Attrs(), copy.AttrCount());
            same(copy, to.inherits, to.attrs, what + " (attributes set from themselves)");
            RecordExtras moved(std::move(copy));
            same(moved, to.inherits, to.attrs, what + " (moved)");
            EXPECT_TRUE(copy.empty()) << what;
        }
    }
}

class RecordExtrasStepsTest : public LumoFixture {};

// Steps through the database and the builder on one net and one design pin, against a model of what each must
// read back; after each step a backup is taken, which must keep that step's content through the later ones.
TEST_F(RecordExtrasStepsTest, ReadBackWhatWasWrittenAndBackupsKeepIt)
{
    struct Model {
        std::vector<std::string> inherits;
        std::vector<StandIn::StoreAttribute> netAttrs, pinAttrs;
    };
    const Index pin = b->DesignPin(b->LogicComp(sch, "U1"), "U1.1");
    auto net = Locked(Net(n1));
    const std::string longText(300, 'x');
    auto attr = [](std::string n, std::string v, int32_t t = 0, int32_t b = -1) {
        return StandIn::StoreAttribute{std::move(n), std::move(v), t, b};
    };
    const struct
    {
        const char* name;
        std::function<void(Model&)> step;
    } steps[] = {
        {"one inherited name", [&](Model& m) { b->Inherit(n1, "LINE_WIDTH"); m.inherits = {"LINE_WIDTH"}; }},
        {"a second, then the first again",
         [&](Model& m) {
             b->Inherit(n1, "MAX_VIAS");
             b->Inherit(n1, "LINE_WIDTH");
             m.inherits = {"LINE_WIDTH", "MAX_VIAS", "LINE_WIDTH"};
         }},
        {"attributes beside the inherited names",
         [&](Model& m) {
             ASSERT_TRUE(net->SetAttribute("A", "1"));
             ASSERT_TRUE(net->SetAttribute("", ""));
             ASSERT_TRUE(net->SetAttribute(longText, longText));
             m.netAttrs = {attr("A", "1"), attr("", ""), attr(longText, longText)};
         }},
        {"a value replaced in place, an empty one set",
         [&](Model& m) {
             ASSERT_TRUE(net->SetAttribute("", "now set"));
             ASSERT_TRUE(net->SetAttribute("A", ""));
             m.netAttrs[1].value = "now set";
             m.netAttrs[0].value = "";
         }},
        {"an inherited name after the attributes",
         [&](Model& m) {
             b->Inherit(n1, longText);
             m.inherits.push_back(longText);
         }},
        {"pin numbers by type and bit",
         [&](Model& m) {
             b->Attribute(pin, "Pin Number", "7", 3, -1);
             b->Attribute(pin, "Pin Number", "7", 0, -1);
             b->Attribute(pin, "Pin Number", "8", 3, 1);
             b->Attribute(pin, "Pin Number", "9", 3, -1);   // replaces the first
             m.pinAttrs = {attr("Pin Number", "9", 3, -1), attr("Pin Number", "7", 0, -1),
                           attr("Pin Number", "8", 3, 1)};
         }},
        {"saved and loaded", [&](Model&) {
             // the session (and its backups) reads the same after a reload, and saves the same bytes again
             TempDir dir;
             ASSERT_TRUE(StandIn::SaveSession(*session, dir.File("a.json"), true));
             StandIn::LoadError err;
             auto again = StandIn::LoadSession(dir.File("a.json"), &err);
             ASSERT_TRUE(again) << err.path << ": " << err.message;
             EXPECT_TRUE(DumpSession(*session) == DumpSession(*again));
             ASSERT_TRUE(StandIn::SaveSession(*again, dir.File("b.json"), true));
             EXPECT_TRUE(ReadText(dir.File("a.json")) == ReadText(dir.File("b.json")));
         }},
        // a type on a net, which the file does not hold (the database does)
        {"a typed attribute, whose value the database sets by name alone",
         [&](Model& m) {
             b->Attribute(n1, "T", "t", 3, 2);
             ASSERT_TRUE(net->SetAttribute("T", "u"));
             m.netAttrs.push_back(attr("T", "u", 3, 2));
         }},
        // a repeated name the file cannot hold (the database can)
        {"the attributes replaced by a list with a repeated name",
         [&](Model& m) {
             ListAttribute list;
             list.Add(Attribute{String("B"), String("2")});
             list.Add(Attribute{String("B"), String("3")});
             list.Add(Attribute{String("A"), String("1")});
             ASSERT_TRUE(net->SetAttributes(list));
             m.netAttrs = {attr("B", "2"), attr("B", "3"), attr("A", "1")};
         }},
        {"the first of the repeated name replaced",
         [&](Model& m) {
             ASSERT_TRUE(net->SetAttribute("B", "4"));
             m.netAttrs[0].value = "4";
         }},
        {"every attribute removed", [&](Model& m) { ASSERT_TRUE(net->RemoveAttributes()); m.netAttrs.clear(); }},
    };
    auto check = [&](const Model& m, const std::string& what, const detail::SnapshotData* backup) {
        if (backup) {
            const detail::ObjRecord* n = backup->Find(n1.GetValue());
            const detail::ObjRecord* p = backup->Find(pin.GetValue());
            ASSERT_TRUE(n && p) << what;
            EXPECT_EQ(m.inherits, backup->Inherits(*n)) << what;
            auto same = [&](const std::vector<StandIn::StoreAttribute>& want, const std::vector<detail::AttributeRec>& got) {
                ASSERT_EQ(want.size(), got.size()) << what;
                for (size_t i = 0; i < want.size(); ++i)
                    EXPECT_TRUE(want[i].name == got[i].name && want[i].value == got[i].value &&
                                want[i].type == got[i].type && want[i].bit == got[i].bit)
                        << what << " attribute " << i;
            };
            same(m.netAttrs, backup->Attributes(*n));
            same(m.pinAttrs, backup->Attributes(*p));
            return;
        }
        EXPECT_EQ(m.inherits, store().Inherits(n1)) << what;
        for (const auto& [index, want] : {std::make_pair(n1, m.netAttrs), std::make_pair(pin, m.pinAttrs)}) {
            const auto got = store().Attributes(index);
            ASSERT_EQ(want.size(), got.size()) << what;
            for (size_t i = 0; i < want.size(); ++i)
                EXPECT_TRUE(want[i].name == got[i].name && want[i].value == got[i].value &&
                            want[i].type == got[i].type && want[i].bit == got[i].bit)
                    << what << " attribute " << i;
        }
        // the database's own reads agree
        ListAttribute list;
        ASSERT_TRUE(Net(n1)->GetAttributes(list)) << what;
        std::vector<std::string> read;
        for (auto it = list.GetIterator(); it.IsValid(); ++it) read.push_back(it->name.str() + "=" + it->value.str());
        std::vector<std::string> want;
        for (const auto& a : m.netAttrs) want.push_back(a.name + "=" + a.value);
        EXPECT_EQ(want, read) << what;
    };
    std::vector<Model> models;
    Model m;
    for (const auto& s : steps) {
        s.step(m);
        check(m, s.name, nullptr);
        GIndex g;
        ASSERT_TRUE(session->RequestProjectBackup(g, PBT_8, s.name, ""));
        models.push_back(m);
    }
    const auto& backups = StandIn::GetBackups(*session);
    ASSERT_EQ(models.size(), backups.size());
    for (size_t i = 0; i < models.size(); ++i)
        check(models[i], std::string("backup after ") + steps[i].name, backups[i].snapshots[0].get());
}

// Every part of a value, alone and together, over every other value: read back from the store, through the
// database, from a backup taken before the value was replaced, and after saving and loading.
TEST_F(RecordExtrasStepsTest, ConstraintValuesKeepEveryPart)
{
    auto value = [](int32_t kind, int32_t i, double d, std::string text, std::vector<int32_t> il = {},
                    std::vector<double> dl = {}, std::vector<std::string> tl = {}) {
        ConstraintData v;
        v.kind = kind;
        v.intValue = i;
        v.doubleValue = d;
        v.textValue = String(text);
        v.intList = std::move(il);
        v.doubleList = std::move(dl);
        for (std::string& t : tl) v.textList.push_back(String(std::move(t)));
        return v;
    };
    const std::vector<ConstraintData> values = {
        value(CDT_Int, 7, 0, ""),
        value(CDT_Double, 0, -2.5e-300, ""),
        value(CDT_Text, 0, 0, "MST"),
        value(CDT_Text, 0, 0, std::string(300, 'y')),
        value(CDT_IntList, 0, 0, "", {1, -2, 3}),
        value(CDT_DoubleList, 0, 0, "", {}, {0.5, 1e10}),
        value(CDT_TextList, 0, 0, "", {}, {}, {"a", "", std::string(40, 'z')}),
        value(CDT_Int, 3, 4.5, "3", {9}, {8.5}, {"7"}),   // every part set at once
    };
    auto same = [](const ConstraintData& a, const ConstraintData& b) {
        return a.kind == b.kind && a.intValue == b.intValue && a.doubleValue == b.doubleValue &&
               a.textValue == b.textValue && a.intList == b.intList && a.doubleList == b.doubleList &&
               a.textList == b.textList;
    };
    std::vector<Index> held;
    for (size_t i = 0; i < values.size(); ++i) held.push_back(b->Constraint(n1, "C" + std::to_string(i), values[i]));
    GIndex g;
    ASSERT_TRUE(session->RequestProjectBackup(g, PBT_8, "values", ""));
    // each constraint takes the next one's value
    for (size_t i = 0; i < values.size(); ++i) {
        ContainerT<const INorvConstraint> read;
        ASSERT_TRUE(Net(n1)->GetConstraint(read, String("C" + std::to_string(i)))) << i;
        ASSERT_TRUE(Locked(read)->SetValue(values[(i + 1) % values.size()])) << i;
    }
    TempDir dir;
    ASSERT_TRUE(StandIn::SaveSession(*session, dir.File("a.json"), true));
    StandIn::LoadError err;
    auto again = StandIn::LoadSession(dir.File("a.json"), &err);
    ASSERT_TRUE(again) << err.path << ": " << err.message;
    StandIn::Builder reloaded(*again, "main");
    const detail::SnapshotData& backup = *StandIn::GetBackups(*session)[0].snapshots[0];
    for (size_t i = 0; i < values.size(); ++i) {
        const ConstraintData& now = values[(i + 1) % values.size()];
        EXPECT_TRUE(same(now, store().ConstraintValue(held[i]))) << i;
        // the file keeps the part of the value its kind names
        const ConstraintData loaded = reloaded.GetStore().ConstraintValue(held[i]);
        EXPECT_EQ(now.kind, loaded.kind) << i << " reloaded";
        EXPECT_EQ(now.GetValueAsString().str(), loaded.GetValueAsString().str()) << i << " reloaded";
        ContainerT<const INorvConstraint> read;
        ASSERT_TRUE(Net(n1)->GetConstraint(read, String("C" + std::to_string(i)))) << i;
        ConstraintData got;
        ASSERT_TRUE(read->GetValue(got)) << i;
        EXPECT_TRUE(same(now, got)) << i << " through the database";
        const detail::ConstraintPayload* p = backup.Payload(*backup.Find(held[i].GetValue()));
        ASSERT_TRUE(p) << i;
        EXPECT_TRUE(same(values[i], backup.Value(*p))) << i << " in the backup";
    }
}

}  // namespace
}  // namespace LumoTest
