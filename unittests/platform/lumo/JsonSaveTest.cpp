// Saving: atomic and never replacing a file unasked, live records only with their serials kept out of reuse,
// and everything a session keeps (faults, locks, clients, counters, backups, values) surviving a reload.
#include "JsonTestUtil.h"
#include "SessionDump.h"

#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"
#include "platform/lumo/src/Store.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>

using namespace Lumo;
using namespace Lumo::StandIn;
using LumoTest::DumpSession;
using LumoTest::ReadText;
using LumoTest::TempDir;
using LumoTest::WriteText;

namespace {

const std::string kExample = std::string(KRAVIK_SOURCE_DIR) + "/examples/design-example.json";

std::unique_ptr<LumoPI> Reload(const LumoPI& s, const TempDir& dir, const std::string& name = "saved.json")
{
    Result r = SaveSession(s, dir.File(name), true);
    EXPECT_TRUE(r);
    LoadError err;
    auto again = LoadSession(dir.File(name), &err);
    EXPECT_TRUE(again) << err.path << ": " << err.message;
    return again;
}

int FilesIn(const std::string& dir)
{
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.')) ++n;
        closedir(d);
    }
    return n;
}

}  // namespace

TEST(JsonSave, NeverReplacesAFileUnlessAsked)
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    ASSERT_TRUE(s);
    TempDir dir;
    const std::string path = dir.File("design.json");
    WriteText(path, "keep me");
    SetStringResultsEnabledForTest(true);
    Result refused = SaveSession(*s, path);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.GetDescription().str().find("exists"), std::string::npos) << refused.GetDescription().str();
    SetStringResultsEnabledForTest(false);
    EXPECT_EQ(ReadText(path), "keep me");
    EXPECT_TRUE(SaveSession(*s, path, true));
    EXPECT_NE(ReadText(path), "keep me");
    EXPECT_EQ(FilesIn(dir.File("")), 1);   // no temporary file left behind
    EXPECT_FALSE(SaveSession(*s, dir.File("no/such/folder/design.json"), true));
}

// Written to an open file, a session gives the bytes a save gives; a failed write says the system's reason.
TEST(JsonSave, WrittenToAnOpenFileAsSaved)
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    ASSERT_TRUE(s);
    TempDir dir;
    ASSERT_TRUE(SaveSession(*s, dir.File("saved.json")));
    const int fd = ::open(dir.File("written.json").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(WriteSessionTo(*s, fd));
    ::close(fd);
    EXPECT_EQ(ReadText(dir.File("saved.json")), ReadText(dir.File("written.json")));

    const int full = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    SetStringResultsEnabledForTest(true);
    const Result failed = WriteSessionTo(*s, full);
    EXPECT_FALSE(failed);
    EXPECT_EQ("No space left on device", failed.GetDescription().str());
    SetStringResultsEnabledForTest(false);
    ::close(full);
}

// A save through a symbolic link replaces the link's final target and keeps its mode; the links
// stay links. No other file of the folder is touched, not even one named as its temporary files are.
TEST(JsonSave, SavesThroughLinksKeepTheTargetsModeAndTouchNoOtherFile)
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    ASSERT_TRUE(s);
    TempDir dir;
    ASSERT_EQ(0, ::mkdir(dir.File("real").c_str(), 0700));
    const std::string target = dir.File("real/design.json");
    WriteText(target, "old");
    ASSERT_EQ(0, ::chmod(target.c_str(), 0640));
    ASSERT_EQ(0, ::symlink("real/design.json", dir.File("link1.json").c_str()));
    ASSERT_EQ(0, ::symlink("link1.json", dir.File("link2.json").c_str()));
    ASSERT_EQ(0, ::symlink("real/new.json", dir.File("dangling.json").c_str()));
    WriteText(dir.File("real/.design.json.a1B2c3"), "the user's");
    WriteText(dir.File("real/.design.json.keep"), "not ours");
    WriteText(dir.File("real/.other.json.a1B2c3"), "another file's");

    EXPECT_TRUE(SaveSession(*s, dir.File("link2.json"), true));
    struct stat st {};
    ASSERT_EQ(0, ::lstat(dir.File("link2.json").c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(0, ::lstat(dir.File("link1.json").c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(0, ::stat(target.c_str(), &st));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_NE(ReadText(target), "old");
    EXPECT_TRUE(LoadSession(dir.File("link2.json"), &err)) << err.message;
    EXPECT_EQ(FilesIn(dir.File("real")), 4);
    EXPECT_EQ(ReadText(dir.File("real/.design.json.a1B2c3")), "the user's");
    EXPECT_EQ(ReadText(dir.File("real/.design.json.keep")), "not ours");
    EXPECT_EQ(ReadText(dir.File("real/.other.json.a1B2c3")), "another file's");

    // A dangling link is saved through as well; without overwrite, an existing target is kept.
    EXPECT_TRUE(SaveSession(*s, dir.File("dangling.json"), true));
    EXPECT_EQ(ReadText(dir.File("real/new.json")), ReadText(target));
    EXPECT_FALSE(SaveSession(*s, dir.File("link1.json")));
    EXPECT_FALSE(SaveSession(*s, dir.File("real/design.json")));
    EXPECT_TRUE(SaveSession(*s, dir.File("real/fresh.json")));
    EXPECT_EQ(ReadText(dir.File("real/fresh.json")), ReadText(target));
}

TEST(JsonSave, DeletedRecordsAreNotWrittenAndTheirSerialsStayUnused)
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    ASSERT_TRUE(s);
    const Index clkP((49ull << 56) | 63), flat((104ull << 56) | 11);
    Builder b(*s, "main");
    b.Delete(clkP);
    TempDir dir;
    auto again = Reload(*s, dir);
    ASSERT_TRUE(again);
    EXPECT_EQ(DumpSession(*s), DumpSession(*again));
    Store& st = GetStore(*again);
    EXPECT_FALSE(st.Exists(clkP));
    EXPECT_EQ(st.Ref(flat, Field::physicalNet), clkP);   // the dangling reference stays, as a raw index
    EXPECT_EQ(ReadText(dir.File("saved.json")).find("\"index\": \"63-0-49\""), std::string::npos);
    Builder b2(*again, "main");
    const Index added = b2.Add(Kind::PhysicalNet, Index((102ull << 56) | 20), "NEW");
    EXPECT_GT(added.GetValue() & 0xFFFFFFFFFFFFFFull, 79u);   // beyond every serial the file ever used
}

TEST(JsonSave, SessionStateSurvivesAReload)
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    ASSERT_TRUE(s);
    const Index net((49ull << 56) | 63), snapIndex((101ull << 56) | 1);
    Faults& f = GetFaults(*s);
    f.FailOn(net, "GetName");
    f.FailOn(net, "GetIterPins.GetCount", 2);
    f.FailOnSnapshot(snapIndex, "GetAttribute", 1);
    f.FailOnSession("GetListClients", 3);
    f.FailNext("GetNorvPin", 4);
    Builder b(*s, "main");
    b.ForeignLock(net, "ws-2:99", "Editor (FE NORV)", true);
    b.Client("b:2", {"Y (FE NORV)"});
    b.SnapshotAttribute("NORV_MIGRATION_LOG", "none");
    GIndex backup;
    ASSERT_TRUE(s->RequestProjectBackup(backup, PBT_8, "before", "maintenance"));
    f.SetCountdown(7);
    const std::string before = DumpSession(*s);
    TempDir dir;
    auto again = Reload(*s, dir);
    ASSERT_TRUE(again);
    EXPECT_EQ(DumpSession(*again), before);
    ASSERT_EQ(GetBackups(*again).size(), 1u);
    EXPECT_EQ(GetBackups(*again)[0].gindex, backup);
    EXPECT_EQ(GetFaults(*again).GetCountdown(), 7u);
}

TEST(JsonSave, UsedUpFaultsAreNotWritten)
{
    LoadError err;
    auto s = LoadSession(kExample, &err);
    ASSERT_TRUE(s);
    GetFaults(*s).FailOnSession("GetSubClientInfo", 1);
    SubClientInfo info;
    EXPECT_FALSE(s->GetSubClientInfo(info));
    TempDir dir;
    ASSERT_TRUE(SaveSession(*s, dir.File("a.json")));
    EXPECT_EQ(ReadText(dir.File("a.json")).find("GetSubClientInfo"), std::string::npos);
}

TEST(JsonSave, ConstraintValuesKeepTheirKinds)
{
    auto s = NewSession();
    Builder b(*s, "main");
    const Index cfg = b.NorvConfig("TOP");
    const Index net = b.PhysicalNet(cfg, "N\xc3\xa9");   // UTF-8 bytes are kept as they are
    b.Constraint(net, "I", 7);
    b.Constraint(net, "D", 5.0);
    b.Constraint(net, "T", "a,b");
    b.Constraint(net, "IL", std::vector<int32_t>{1, -2});
    b.Constraint(net, "DL", std::vector<double>{0.5, 1e300});
    b.Constraint(net, "TL", std::vector<std::string>{"x,y", ""});
    b.Constraint(net, "INF", std::numeric_limits<double>::infinity());
    b.Constraint(net, "NANS", std::vector<double>{std::nan(""), 1.0});
    ConstraintData odd;
    odd.kind = 9;
    odd.textValue = "mismatch";
    b.Constraint(net, "ODD", odd);
    const Index flagged = b.Constraint(net, "F", 1);
    b.ConstraintFlags(flagged, true, false);
    b.ConstraintIsDefault(flagged, true);
    b.ConstraintParent(b.Constraint(net, "P", 1), Index());
    b.Definition("LINE_WIDTH", 5.0);
    b.Inherit(net, "LINE_WIDTH");
    b.Attribute(net, "a", "b");
    TempDir dir;
    auto again = Reload(*s, dir);
    ASSERT_TRUE(again);
    EXPECT_EQ(DumpSession(*s), DumpSession(*again));
    ConstraintData d = GetStore(*again).ConstraintValue(GetStore(*again).List(net, Field::constraints)[1]);
    EXPECT_EQ(d.kind, CDT_Double);
    EXPECT_EQ(d.doubleValue, 5.0);
}

TEST(JsonSave, TextsThatAreNotUtf8RefuseTheSave)
{
    auto s = NewSession();
    Builder b(*s, "main");
    b.PhysicalNet(b.NorvConfig("TOP"), "bad\xff");
    TempDir dir;
    SetStringResultsEnabledForTest(true);
    Result r = SaveSession(*s, dir.File("a.json"));
    EXPECT_FALSE(r);
    EXPECT_NE(r.GetDescription().str().find("UTF-8"), std::string::npos) << r.GetDescription().str();
    SetStringResultsEnabledForTest(false);
    EXPECT_EQ(FilesIn(dir.File("")), 0);
}

TEST(JsonSave, BuilderDesignsGetGeneratedIdsAndRoundTrip)
{
    auto s = NewSession();
    Builder b(*s, "main");
    const Index cfg = b.NorvConfig("TOP");
    const Index d = b.Design(cfg);
    b.Layer(d, "TOP", 1, 1);
    b.Layer(d, "BOTTOM", 2, 2);
    b.DefaultObjects(d);
    const Index e1 = b.ElectricalNet(cfg, "E1");
    const Index n1 = b.PhysicalNet(cfg, "N1", e1);
    b.SetRefOnly(n1, Field::netClass, Index(99ull | (24ull << 56)));
    b.AppendOnly(e1, Field::physicalNets, n1);
    const Index part = b.Part(cfg, "P", 2);
    const Index comp = b.NorvComp(cfg, "U1", part);
    b.Pin(comp, "1", NPT_NetPin, n1);
    const Index orphan = b.Add(Kind::NetClass, Index(), "orphan");
    (void)orphan;
    TempDir dir;
    auto again = Reload(*s, dir);
    ASSERT_TRUE(again);
    EXPECT_EQ(DumpSession(*s), DumpSession(*again));
    EXPECT_NE(ReadText(dir.File("saved.json")).find("\"k"), std::string::npos);
}

TEST(JsonSave, SeveralSnapshotsKeepTheirIdsApart)
{
    auto s = NewSession();
    for (const char* name : {"a", "b"}) {
        Builder b(*s, name);
        b.PhysicalNet(b.NorvConfig("TOP"), "N");
    }
    Builder(*s, "a").Definition("X", 1);
    TempDir dir;
    auto again = Reload(*s, dir);
    ASSERT_TRUE(again);
    EXPECT_EQ(DumpSession(*s), DumpSession(*again));
}

// The session's text without the back entries, which an edit of one side leaves as they were and a load
// derives from the lists anew.
std::string WithoutBackEntries(const std::string& dump)
{
    std::istringstream in(dump);
    std::string line, out;
    while (std::getline(in, line))
        if (line.rfind("  back", 0) != 0) out += line + "\n";
    return out;
}

// Random edits of one side of references and lists (to any object, a raw index or none, duplicates, other
// owners), deletions, new objects and flags: whatever the saved file leaves for completion to rebuild must come
// back as it stood, and the saved file must save again to the same bytes.
TEST(JsonSave, OneSidedEditsComeBackFromALeanSave)
{
    using namespace Lumo::detail;
    std::mt19937 rng(2024);
    auto below = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const std::string examples = std::string(KRAVIK_SOURCE_DIR) + "/examples/";
    for (int round = 0; round < 80; ++round) {
        LoadError err;
        auto s = LoadSession(examples + (round % 2 ? "broken.json" : "design-example.json"), &err);
        ASSERT_TRUE(s) << err.message;
        Builder b(*s, "main");
        const SnapshotData& t = *Access::DataOf(*s)->snapshots[0];
        auto live = [&](bool snapshotToo) {
            std::vector<uint32_t> slots;
            for (uint32_t i = 0; i < t.records.size(); ++i)
                if (t.records[i].Alive() && (snapshotToo || t.records[i].kind != Kind::Snapshot)) slots.push_back(i);
            return slots;
        };
        // mostly an object of a kind the key allows
        auto target = [&](uint64_t kinds = ~0ull) -> uint64_t {
            std::vector<uint32_t> fit;
            for (uint32_t i : live(true))
                if (below(3) == 0 || ((kinds >> static_cast<unsigned>(t.records[i].kind)) & 1u)) fit.push_back(i);
            switch (below(10)) {
            case 0: return 0;
            case 1: return (uint64_t{49} << 56) | (900 + below(5));   // names nothing
            default: return fit.empty() ? 0 : t.records[fit[below(fit.size())]].index;
            }
        };
        auto ofKind = [&](Kind kind) -> uint64_t {
            std::vector<uint32_t> fit;
            for (uint32_t i : live(false))
                if (t.records[i].kind == kind) fit.push_back(i);
            return fit.empty() ? 0 : t.records[fit[below(fit.size())]].index;
        };
        for (int edit = 0; edit < 12; ++edit) {
            if (below(2) == 0) {
                // one side of a relation, towards an object of the other side's kind
                const RelationSpec& rel = Relations()[below(Relations().size())];
                const bool sideA = below(2) == 0;
                const Index at(ofKind(sideA ? rel.kindA : rel.kindB));
                const Field field = sideA ? rel.fieldA : rel.fieldB;
                const Index to(below(sideA ? 3 : 8) == 0 ? 0 : ofKind(sideA ? rel.kindB : rel.kindA));
                if (IsListCat(SpecOf(sideA ? rel.kindA : rel.kindB, field)->cat))
                    b.AppendOnly(at, field, to);
                else
                    b.SetRefOnly(at, field, to);
                // named by a B side, naming nothing back
                if (!sideA && below(3) == 0 && !IsListCat(SpecOf(rel.kindA, rel.fieldA)->cat))
                    b.SetRefOnly(to, rel.fieldA, Index());
                continue;
            }
            const std::vector<uint32_t> objects = live(false);
            const ObjRecord& r = t.records[objects[below(objects.size())]];
            const Index at(r.index);
            const auto& fields = InfoOf(r.kind).fields;
            const FieldSpec* spec = fields.empty() ? nullptr : fields[below(fields.size())];
            switch (below(8)) {
            case 0: b.Delete(at); break;
            case 1: b.SetRefOnly(at, Field::in, Index(target())); break;
            case 2: b.Invalid(at, below(2) == 0); break;
            case 3: b.Add(Kind::NorvPin, Index(target()), "new"); break;
            default:
                if (!spec) break;
                if (IsListCat(spec->cat))
                    b.AppendOnly(at, spec->field, Index(target(spec->targets)));
                else if (IsRefCat(spec->cat))
                    b.SetRefOnly(at, spec->field, Index(target(spec->targets)));
            }
        }
        TempDir dir;
        auto again = Reload(*s, dir, "a.json");
        ASSERT_TRUE(again) << "round " << round;
        EXPECT_EQ(WithoutBackEntries(DumpSession(*s)), WithoutBackEntries(DumpSession(*again))) << "round " << round;
        ASSERT_TRUE(SaveSession(*again, dir.File("b.json")));
        EXPECT_EQ(ReadText(dir.File("a.json")), ReadText(dir.File("b.json"))) << "round " << round;
    }
}
