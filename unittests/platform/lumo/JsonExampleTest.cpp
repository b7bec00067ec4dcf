// The complete example design: it loads with the documented indexes, completion fills every relation the
// example leaves to it, the product-facing interface walks it, and load-save-load gives the same session.
#include "JsonTestUtil.h"
#include "SessionDump.h"

#include "bench/DesignGenerator.h"

#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>


using namespace Lumo;
using namespace Lumo::StandIn;
using LumoTest::DumpSession;
using LumoTest::TempDir;

namespace {

const std::string kExample = std::string(KRAVIK_SOURCE_DIR) + "/examples/design-example.json";

Index Ix(const char* text)
{
    uint64_t serial = 0, type = 0;
    sscanf(text, "%lu-0-%lu", &serial, &type);
    return Index((type << 56) | serial);
}

std::unique_ptr<LumoPI> LoadExample()
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    EXPECT_TRUE(s) << err.path << ": " << err.message;
    return s;
}

// Every object reachable from the configuration through the product-facing walks, by kind name.
struct Walk {
    std::multiset<std::string> seen;
    void Add(const char* what, const IObject& o)
    {
        String name;
        EXPECT_TRUE(o.GetName(name));
        seen.insert(std::string(what) + ":" + name.str());
    }
};

template <class T, class F>
void Each(IteratorT<T>& it, F&& f)
{
    for (; it.IsValid(); ++it) f(*it);
}

}  // namespace

TEST(JsonExample, LoadsWithTheDocumentedIndexes)
{
    auto s = LoadExample();
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    EXPECT_EQ(st.SnapshotIndex(), Ix("1-0-101"));
    const struct {
        const char* index;
        Kind kind;
        const char* name;
    } rows[] = {
        {"20-0-102", Kind::NorvConfig, "TOP"}, {"21-0-21", Kind::Design, ""},
        {"26-0-24", Kind::NetClass, "(Default)"}, {"63-0-49", Kind::PhysicalNet, "CLK_P"},
        {"79-0-46", Kind::DiffPair, "CLK"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(st.KindOf(Ix(r.index)), r.kind) << r.index;
        EXPECT_EQ(st.Name(Ix(r.index)), r.name) << r.index;
    }
    ASSERT_EQ(st.Definitions().size(), 4u);
    EXPECT_FALSE(IsModified(*s));
}

TEST(JsonExample, CompletionFillsTheRelationsLeftOut)
{
    auto s = LoadExample();
    ASSERT_TRUE(s);
    Store& st = GetStore(*s);
    auto byName = [&](Kind k, const std::string& name) {
        for (Index i : st.AllLive(k))
            if (st.Name(i) == name) return i;
        ADD_FAILURE() << "no " << KindName(k) << " " << name;
        return Index();
    };
    const Index nClkP = byName(Kind::PhysicalNet, "CLK_P"), nClkN = byName(Kind::PhysicalNet, "CLK_N");
    const Index nData = byName(Kind::PhysicalNet, "DATA");
    const Index eClkP = byName(Kind::ElectricalNet, "CLK_P"), eClkN = byName(Kind::ElectricalNet, "CLK_N");
    const Index eData = byName(Kind::ElectricalNet, "DATA");
    const Index dp = byName(Kind::DiffPair, "CLK"), nc = byName(Kind::NetClass, "(Default)");
    const Index fClkP = byName(Kind::FlatNet, "CLK_P"), ps1 = byName(Kind::NorvPin, "PS1");
    const Index vps1 = byName(Kind::NorvPin, "VPS1");
    const Index soic = byName(Kind::Part, "SOIC4"), u1 = byName(Kind::NorvComp, "U1");

    EXPECT_EQ(st.List(eClkP, Field::physicalNets), std::vector<Index>{nClkP});
    EXPECT_EQ(st.List(eData, Field::physicalNets), std::vector<Index>{nData});
    EXPECT_EQ(st.Ref(eClkP, Field::parentDiffPair), dp);
    EXPECT_EQ(st.Ref(eClkN, Field::parentDiffPair), dp);
    EXPECT_TRUE(st.Ref(eData, Field::parentDiffPair).IsEmpty());
    EXPECT_EQ(st.List(nc, Field::physicalNets), (std::vector<Index>{nClkP, nClkN, nData}));
    EXPECT_EQ(st.List(nc, Field::schemaNetClassRules).size(), 2u);
    EXPECT_EQ(st.Ref(fClkP, Field::physicalNet), nClkP);
    EXPECT_EQ(st.Ref(vps1, Field::parentPin), ps1);
    EXPECT_EQ(st.Ref(ps1, Field::parentPhysicalNet), nData);
    EXPECT_EQ(st.List(soic, Field::norvComps), std::vector<Index>{u1});

    // Component pins: owner, component, design pin mirrored into flat pins and the design pin's Norv pins,
    // and the net lists them after its own pins.
    const std::vector<Index> comp = st.List(u1, Field::pins);
    ASSERT_EQ(comp.size(), 4u);
    for (Index pin : comp) {
        EXPECT_EQ(st.Owner(pin), u1);
        EXPECT_EQ(st.Ref(pin, Field::parentNorvComp), u1);
        const Index design = st.Ref(pin, Field::designPin);
        EXPECT_EQ(st.List(pin, Field::flatPins), std::vector<Index>{design});
        EXPECT_EQ(st.List(design, Field::norvPins), std::vector<Index>{pin});
        EXPECT_EQ(st.List(design, Field::netsConnected).size(), 1u);
    }
    EXPECT_EQ(st.List(nData, Field::pins), (std::vector<Index>{ps1, vps1, comp[2], comp[3]}));
    EXPECT_EQ(st.List(nClkP, Field::pins).size(), 2u);

    const Index pp1 = byName(Kind::PartPin, "1");
    EXPECT_EQ(st.List(pp1, Field::parentPartPinPairs).size(), 1u);
}

TEST(JsonExample, WalksThroughTheProductInterface)
{
    auto s = LoadExample();
    ASSERT_TRUE(s);
    ContainerT<const ISnapshot> snap;
    ASSERT_TRUE(s->GetSnapshotByName(snap, "main"));
    String attr;
    ASSERT_TRUE(snap->GetAttribute("NORV_MIGRATION_STATUS", attr));
    EXPECT_EQ(attr, "0:ok");
    ContainerT<const INorvConfig> cfg;
    ASSERT_TRUE(snap->GetNorvConfig(cfg, "TOP"));
    Walk w;
    IteratorT<const INorvPhysicalNet> nets;
    ASSERT_TRUE(cfg->GetIterPhysicalNets(nets));
    Each(nets, [&](const INorvPhysicalNet& n) {
        w.Add("net", n);
        IteratorT<const INorvPin> pins;
        EXPECT_TRUE(n.GetIterPins(pins));
        int count = -1;
        EXPECT_TRUE(pins.GetCount(count));
        w.seen.insert("pins:" + std::to_string(count));
        ContainerT<const INorvElectricalNet> parent;
        EXPECT_TRUE(n.GetParentElectricalNet(parent));
        ContainerT<const IFlatNet> flat;
        EXPECT_TRUE(n.GetFlatNet(flat));
    });
    IteratorT<const INorvComp> comps;
    ASSERT_TRUE(cfg->GetIterNorvComps(comps));
    Each(comps, [&](const INorvComp& c) {
        w.Add("comp", c);
        IteratorT<const INorvPin> pins;
        EXPECT_TRUE(c.GetIterPins(pins));
        Each(pins, [&](const INorvPin& p) {
            ContainerT<const IPin> design;
            EXPECT_TRUE(p.GetPin(design));
            ContainerT<const INorvPartPin> partPin;
            EXPECT_TRUE(p.GetParentPartPin(partPin));
            w.Add("pin", p);
        });
    });
    ContainerT<const INorvDesign> design;
    ASSERT_TRUE(cfg->GetNorvDesign(design));
    IteratorT<const INorvScheme> schemes;
    ASSERT_TRUE(design->GetIterSchemes(schemes));
    Each(schemes, [&](const INorvScheme& sc) {
        w.Add("scheme", sc);
        IteratorT<const INorvSchemaNetClassRule> rules;
        EXPECT_TRUE(sc.GetIterSchemaNetClassRules(rules));
        Each(rules, [&](const INorvSchemaNetClassRule& r) {
            ContainerT<const INorvNetClass> cls;
            EXPECT_TRUE(r.GetParentNetClass(cls));
            ContainerT<const INorvConstraint> width;
            ASSERT_TRUE(r.GetConstraint(width, "LINE_WIDTH"));
            ConstraintData v;
            EXPECT_TRUE(width->GetValue(v));
            w.seen.insert("width:" + v.GetValueAsString().str());
        });
    });
    const std::multiset<std::string> expected = {
        "net:CLK_P", "net:CLK_N", "net:DATA", "pins:2", "pins:2", "pins:4", "comp:U1", "comp:R1",
        "pin:1", "pin:2", "pin:3", "pin:4", "pin:1", "pin:2", "scheme:(Master)", "scheme:(Minimum)",
        "width:5", "width:4",
    };
    EXPECT_EQ(w.seen, expected);
}

TEST(JsonExample, LoadSaveLoadGivesTheSameSession)
{
    auto first = LoadExample();
    ASSERT_TRUE(first);
    TempDir dir;
    ASSERT_TRUE(SaveSession(*first, dir.File("a.json")));
    LoadError err;
    auto second = LoadSession(dir.File("a.json"), &err);
    ASSERT_TRUE(second) << err.path << ": " << err.message;
    EXPECT_EQ(DumpSession(*first), DumpSession(*second));
    // a saved file is a fixed point of load and save
    ASSERT_TRUE(SaveSession(*second, dir.File("b.json")));
    EXPECT_EQ(LumoTest::ReadText(dir.File("a.json")), LumoTest::ReadText(dir.File("b.json")));
}

// Every example design, and a generated one with defects of every kind: load and save give a file that
// loads to the same session and saves again to the same bytes, and that is not much larger than the file it
// came from (keys at their defaults and what completion rebuilds are left out).
TEST(JsonExample, EveryDesignRoundTripsByteForByte)
{
    TempDir dir;
    {
        kravik_bench::DesignOptions options;
        options.pins = 3000;
        options.defectRate = 0.3;
        std::ofstream out(dir.File("generated.json"), std::ios::binary);
        kravik_bench::GenerateDesign(options, out);
    }
    const std::string examples = std::string(KRAVIK_SOURCE_DIR) + "/examples/";
    for (const std::string& path :
         {examples + "design-example.json", examples + "clean.json", examples + "broken.json",
          examples + "broken-constraints.json", examples + "broken-nets.json", examples + "broken-repairs.json",
          examples + "broken-rules.json", examples + "broken-topology.json", dir.File("generated.json")}) {
        TempDir out;   // a fresh folder for each design
        LoadError err;
        auto first = LoadSession(path, &err);
        ASSERT_TRUE(first) << path << " " << err.path << ": " << err.message;
        ASSERT_TRUE(SaveSession(*first, out.File("a.json"))) << path;
        auto second = LoadSession(out.File("a.json"), &err);
        ASSERT_TRUE(second) << path << " " << err.path << ": " << err.message;
        EXPECT_EQ(DumpSession(*first), DumpSession(*second)) << path;
        ASSERT_TRUE(SaveSession(*second, out.File("b.json"))) << path;
        const std::string saved = LumoTest::ReadText(out.File("a.json"));
        EXPECT_EQ(saved, LumoTest::ReadText(out.File("b.json"))) << path;
        EXPECT_LE(saved.size(), LumoTest::ReadText(path).size() * 13 / 10) << path;
        EXPECT_EQ(saved.find("\"valid\":true"), std::string::npos) << path;
    }
}
