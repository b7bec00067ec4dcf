// End-to-end tests of the maintenance commands of the kravik program: what each prints, which
// exit code it gives, and when and where it saves the design.
#include "KravikRunner.h"

#include "host/DesignLock.h"
#include "lumopi/StandIn.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace KravikTest {
namespace {

using Kind = Lumo::StandIn::Kind;

// The flow text comes from the environment: keep the test's own out of the report.
const std::vector<std::string> kNoFlowIds = {"KRAVIK_FLOW_ID=", "KRAVIK_INSTALL_ID="};

const std::string kClearLog = "Preparing backup...\nBackup created...\nChecking NORV clients...\nInitializing design...\n"
                              "Differential Pairs cleared...\nElectrical Nets cleared...\nPhysical Nets cleared...\n"
                              "Parts cleared...\nComponents cleared...\nNet Classes cleared...\nClearance Rules "
                              "cleared...\nScheme cleared...\nConstraint Classes cleared...\nElectrical nets "
                              "regenerated...\n";

KravikRun Kravik(const std::vector<std::string>& args)
{
    return RunKravik(args, kNoFlowIds);
}

// A copy of an example in a temporary folder.
std::string CopyOf(const TempDir& dir, const std::string& example, const std::string& name = "design.json")
{
    WriteFile(dir.File(name), ReadFile(ExamplePath(example)));
    return dir.File(name);
}

// The index text of the first live object of a kind with that name in a design file.
std::string IndexOf(const std::string& design, Kind kind, const std::string& name)
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(design);
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(*session);
    for (Lumo::Index index : store.AllLive(kind))
        if (store.Name(index) == name)
            return index.ToText();
    return "";
}

nlohmann::json Json(const std::string& path)
{
    return nlohmann::json::parse(ReadFile(path));
}

// clean.json without its Norv data: the schematic alone knows the top block.
std::string SchematicOnly(const TempDir& dir)
{
    nlohmann::json design = Json(ExamplePath("clean.json"));
    design["snapshots"][0].erase("norvConfigs");
    WriteFile(dir.File("schematic.json"), design.dump(2));
    return dir.File("schematic.json");
}

std::vector<std::string> Codes(const std::string& log)
{
    std::vector<std::string> codes;
    size_t at = 0;
    while ((at = log.find("ERROR ", at)) != std::string::npos)
    {
        const size_t colon = log.find(':', at);
        codes.push_back(log.substr(at + 6, colon - at - 6));
        at = colon;
    }
    return codes;
}

TEST(KravikMaintenanceTest, StatsOfTheCleanExample)
{
    const KravikRun run = Kravik({"stats", ExamplePath("clean.json")});
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(ReadFile(DataPath("clean-stats.txt")), run.out);
    EXPECT_EQ("", run.err);

    const KravikRun withIds = RunKravik({"stats", ExamplePath("clean.json")},
                                        {"KRAVIK_FLOW_ID=F-17", "KRAVIK_INSTALL_ID=I-4"});
    EXPECT_NE(std::string::npos, withIds.out.find("\n\nInstall ID ............................. F-17 I-4\n\n"))
        << withIds.out;
}

// init on the broken example creates the missing scheme and general clearance: the check no
// longer reports them, and reports everything else as before.
TEST(KravikMaintenanceTest, InitMendsWhatTheInitialisationTestReports)
{
    TempDir dir;
    const std::string design = CopyOf(dir, "broken.json");
    const KravikRun run = Kravik({"init", design});
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("Initializing design...\n", run.out);
    EXPECT_EQ("kravik: saved " + design + "\n", run.err);
    EXPECT_EQ(ReadFile(ExamplePath("broken.json")), ReadFile(design + ".bak"));

    const std::string before = Kravik({"check", ExamplePath("broken.json")}).out;
    const std::string after = Kravik({"check", design}).out;
    std::vector<std::string> expected = Codes(before);
    // 1006 ("(Minimum)" does not exist) goes with 106, its twin of the initialisation test.
    for (const char* gone : {"106", "108", "1006"})
    {
        ASSERT_NE(expected.end(), std::find(expected.begin(), expected.end(), gone));
        expected.erase(std::find(expected.begin(), expected.end(), gone));
    }
    EXPECT_EQ(expected, Codes(after));

    // Repeated: nothing to create, nothing written.
    const std::string saved = ReadFile(design);
    const KravikRun again = Kravik({"init", design, "--output", dir.File("again.json")});
    EXPECT_EQ(0, again.exitCode);
    EXPECT_EQ("kravik: " + design + ": nothing to change, not saved\n", again.err);
    EXPECT_FALSE(FileExists(dir.File("again.json")));
    EXPECT_EQ(saved, ReadFile(design));
}

TEST(KravikMaintenanceTest, ClearSavesTheBackupWithTheDesignUnlessRefused)
{
    TempDir dir;
    const std::string design = CopyOf(dir, "clean.json");
    const KravikRun run = Kravik({"clear", design, "--output", dir.File("cleared.json")});
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(kClearLog, run.out);
    EXPECT_EQ("kravik: saved " + dir.File("cleared.json") + "\n", run.err);
    EXPECT_EQ(ReadFile(ExamplePath("clean.json")), ReadFile(design)); // --output leaves the design alone
    const nlohmann::json cleared = Json(dir.File("cleared.json"));
    ASSERT_EQ(1u, cleared["backups"].size());
    const nlohmann::json& backup = cleared["backups"][0];
    EXPECT_EQ(8, backup["type"]);
    EXPECT_EQ("NORV", backup["text1"]);
    EXPECT_EQ("Before clear all constraints", backup["text2"]);

    const KravikRun noBackup = Kravik({"clear", design, "--no-backup"});
    EXPECT_EQ(0, noBackup.exitCode) << noBackup.err;
    EXPECT_EQ(kClearLog.substr(kClearLog.find("Checking")), noBackup.out);
    EXPECT_EQ(ReadFile(ExamplePath("clean.json")), ReadFile(design + ".bak"));
    EXPECT_TRUE(Json(design)["backups"].empty());
}

TEST(KravikMaintenanceTest, FormatThenRecreateRebuildsTheNorvData)
{
    TempDir dir;
    const std::string design = CopyOf(dir, "clean.json");
    EXPECT_EQ(0, Kravik({"format", design}).exitCode);
    EXPECT_EQ(ReadFile(ExamplePath("clean.json")), ReadFile(design + ".bak"));
    EXPECT_TRUE(Json(design)["snapshots"][0]["norvConfigs"].is_null()
                || Json(design)["snapshots"][0]["norvConfigs"].empty());

    const KravikRun noData = Kravik({"recreate", design});
    EXPECT_EQ(8, noData.exitCode);
    EXPECT_EQ("kravik: " + design + ": no Norv data for top block \"CTRL_BOARD\" in snapshot \"rev-a\"; run kravik "
              "init first\n",
              noData.err);
    EXPECT_EQ("kravik: " + design + ": no Norv data for top block \"CTRL_BOARD\" in snapshot \"rev-a\"\n",
              Kravik({"format", design}).err);

    EXPECT_EQ(0, Kravik({"init", design}).exitCode);
    const KravikRun recreated = Kravik({"recreate", design});
    EXPECT_EQ(0, recreated.exitCode) << recreated.err;
    EXPECT_EQ("Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\n", recreated.out);
    for (const char* net : {"CLK_P", "CLK_N", "DATA"})
        EXPECT_NE("", IndexOf(design, Kind::PhysicalNet, net)) << net;
}

TEST(KravikMaintenanceTest, InitAcceptsATopBlockOnlyTheSchematicKnows)
{
    TempDir dir;
    const std::string design = SchematicOnly(dir);
    EXPECT_EQ(8, Kravik({"stats", design}).exitCode);
    EXPECT_EQ("Can't get NORV Configuration having top block: CTRL_BOARD", Kravik({"stats", design}).out);
    const KravikRun run = Kravik({"init", design, "--top", "CTRL_BOARD"});
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_NE("", IndexOf(design, Kind::NetClass, "(Default)"));
    EXPECT_EQ(0, Kravik({"recreate", design}).exitCode);
    EXPECT_EQ(0, Kravik({"stats", design}).exitCode);
}

TEST(KravikMaintenanceTest, ObjectTellsAndClearsConstraints)
{
    TempDir dir;
    const std::string design = CopyOf(dir, "clean.json");
    const std::string net = IndexOf(design, Kind::ElectricalNet, "CLK_P");
    const std::string rule = IndexOf(design, Kind::ClearRule, "(Default Rule)");
    ASSERT_NE("", net);

    EXPECT_EQ(net + " has constraints or attributes\n", Kravik({"object", design, net}).out);
    const KravikRun bare = Kravik({"object", design, rule, "--clear"});
    EXPECT_EQ(0, bare.exitCode);
    EXPECT_EQ(rule + " has no constraints or attributes\n", bare.out);
    EXPECT_FALSE(FileExists(design + ".bak"));

    // A failed lock writes nothing.
    const KravikRun locked = Kravik({"object", design, net, "--clear", "--fail-next", "Lock=1"});
    EXPECT_EQ(8, locked.exitCode);
    EXPECT_EQ("kravik: " + design + ": 1 injected fault fired, the first on Lock of " + net + "; nothing was saved\n"
                  + "kravik: " + design + ": the constraints of " + net + " could not be cleared\n",
              locked.err);
    EXPECT_FALSE(FileExists(design + ".bak"));

    const KravikRun cleared = Kravik({"object", design, net, "--clear"});
    EXPECT_EQ(0, cleared.exitCode) << cleared.err;
    EXPECT_EQ(net + " cleared\n", cleared.out);
    EXPECT_EQ(ReadFile(ExamplePath("clean.json")), ReadFile(design + ".bak"));
    std::unique_ptr<Lumo::LumoPI> saved = Lumo::StandIn::LoadSession(design);
    Lumo::Index index;
    for (Lumo::Index live : Lumo::StandIn::GetStore(*saved).AllLive(Kind::ElectricalNet))
        if (live.ToText() == net)
            index = live;
    EXPECT_TRUE(Lumo::StandIn::GetStore(*saved).List(index, Lumo::StandIn::Field::constraints).empty());

    // The design object itself has no fetch by index: it is found through its configuration.
    std::unique_ptr<Lumo::LumoPI> loaded = Lumo::StandIn::LoadSession(design);
    const std::string designIndex = Lumo::StandIn::GetStore(*loaded).AllLive(Kind::Design).front().ToText();
    const KravikRun designObject = Kravik({"object", design, designIndex});
    EXPECT_EQ(0, designObject.exitCode) << designObject.err;
    EXPECT_EQ(designIndex + " has no constraints or attributes\n", designObject.out);

    const KravikRun gone = Kravik({"object", design, "999-0-49"});
    EXPECT_EQ(8, gone.exitCode);
    EXPECT_EQ("kravik: " + design + ": no Norv object 999-0-49\n", gone.err);
    EXPECT_EQ("", gone.out);
}

// A failed operation writes nothing, whatever it changed in the database before failing, and
// names the failed call before what could not be done.
TEST(KravikMaintenanceTest, FailedOperationWritesNothing)
{
    TempDir dir;
    const std::string design = CopyOf(dir, "clean.json");
    const struct
    {
        std::vector<std::string> args;
        const char* reason;
    } cases[] = {
        {{"clear", design, "--fail-next", "UpdateAllElectricalNets=1"}, "the constraints could not be cleared"},
        {{"recreate", design, "--fail-next", "AddElectricalNet=1"}, "the Norv data could not be re-created"},
        {{"format", design, "--fail-next", "RemoveConfig=1"}, "the Norv data could not be removed"},
        {{"init", design, "--fail-next", "GetSnapshotByName=1"}, "the Norv data could not be initialised"},
        {{"stats", design, "--fail-next", "GetNorvDesign=1"}, "the statistics report could not be made"},
    };
    for (const auto& c : cases)
    {
        const KravikRun run = Kravik(c.args);
        EXPECT_EQ(8, run.exitCode) << c.args[0];
        const std::string operation = c.args[3].substr(0, c.args[3].find('='));
        EXPECT_EQ(0u, run.err.find("kravik: " + design + ": 1 injected fault fired, the first on " + operation + " of "))
            << run.err;
        const std::string last = "; " + std::string(c.args[0] == "stats" ? "the report is incomplete" : "nothing was saved")
                                 + "\nkravik: " + design + ": " + c.reason + "\n";
        EXPECT_EQ(last, run.err.substr(run.err.size() - std::min(run.err.size(), last.size())));
    }
    EXPECT_EQ(std::vector<std::string>{"design.json"}, dir.List());
    EXPECT_EQ(ReadFile(ExamplePath("clean.json")), ReadFile(design));
}

// A second Norv client on the database refuses the clearing before anything changes.
TEST(KravikMaintenanceTest, ClearRefusesASecondNorvClient)
{
    TempDir dir;
    nlohmann::json shared = Json(ExamplePath("clean.json"));
    shared["snapshots"][0]["clients"].push_back({{"name", "ws-18:99"}, {"subClients", {"Router (NORV)"}}});
    WriteFile(dir.File("design.json"), shared.dump(2));
    const KravikRun run = Kravik({"clear", dir.File("design.json"), "--no-backup"});
    EXPECT_EQ(8, run.exitCode);
    EXPECT_EQ("Checking NORV clients...\nERROR: Cannot clear all constraints. There is more than one NORV client "
              "connected to database.\n",
              run.out);
    EXPECT_EQ("kravik: " + dir.File("design.json") + ": the constraints could not be cleared\n", run.err);
    EXPECT_EQ(std::vector<std::string>{"design.json"}, dir.List());
}

// The fault switches act for the run only: the saved design keeps the faults its file declared.
TEST(KravikMaintenanceTest, SwitchedFaultsAreNotSaved)
{
    TempDir dir;
    nlohmann::json declared = Json(ExamplePath("clean.json"));
    declared["session"]["failNext"] = {{"GetAttribute", 2}};
    WriteFile(dir.File("design.json"), declared.dump(2));
    const std::string design = dir.File("design.json");
    const std::string net = IndexOf(design, Kind::PhysicalNet, "CLK_P");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"clear", design, "--no-backup", "--fail-next", "Unused=3", "--fail-on",
                                   net + ":Unused"},
          {"check", design, "--fix", "--fail-next", "Unused=3", "--fail-on", net + ":Unused"}})
    {
        WriteFile(design, declared.dump(2));
        RunKravik(args);
        const nlohmann::json saved = Json(design);
        EXPECT_EQ(nlohmann::json({{"GetAttribute", 2}}), saved["session"]["failNext"]) << args[0];
        EXPECT_EQ(std::string::npos, saved.dump().find("Unused")) << args[0];
    }
}

// Whether `err` is the one line of a writer refused while `holder` holds the design.
bool RefusedFor(const std::string& err, const std::string& design, const std::string& holder)
{
    const std::string head = "kravik: " + design + ": in use by process ", tail = " (kravik " + holder + ")\n";
    return err.size() > head.size() + tail.size() && err.compare(0, head.size(), head) == 0
        && err.compare(err.size() - tail.size(), tail.size(), tail) == 0
        && err.find_first_not_of("0123456789", head.size()) == err.size() - tail.size();
}

// Two writers started together on one design: one is refused, naming the other, or they run one
// after the other; either way the design holds every change that was reported as made, and the
// backup holds the design as the last writer found it. A lock left by a dead writer is taken over.
TEST(KravikMaintenanceTest, TwoWritersNeverLoseAChange)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("broken.json"));
    const std::string design = dir.File("design.json");
    const std::vector<std::string> fix = {"check", design, "--fix", "--log", "/dev/null"};
    const std::vector<std::string> clear = {"clear", design, "--no-backup", "--log", "/dev/null"};
    // The design after each writer alone and after both in either order.
    const auto after = [&](const std::vector<std::vector<std::string>>& writers) {
        WriteFile(design, original);
        for (const std::vector<std::string>& args : writers)
            EXPECT_NE(8, Kravik(args).exitCode) << args[0];
        return ReadFile(design);
    };
    const std::string fixed = after({fix}), cleared = after({clear}), fixedThenCleared = after({fix, clear}),
                      clearedThenFixed = after({clear, fix});
    ASSERT_EQ(4u, std::set<std::string>({fixed, cleared, fixedThenCleared, clearedThenFixed}).size());

    WriteFile(design, original);
    WriteFile(design + ".lock", "999999999 clear\n");
    const KravikRun takenOver = Kravik(clear);
    EXPECT_EQ(0, takenOver.exitCode) << takenOver.err;
    EXPECT_EQ(cleared, ReadFile(design));

    int refused = 0;
    for (int round = 0; round < 12; ++round)
    {
        WriteFile(design, original);
        unlink((design + ".bak").c_str());
        // Either may start first.
        const bool fixFirst = round % 2 == 0;
        std::vector<KravikRun> runs = RunKravikTogether(fixFirst ? std::vector<std::vector<std::string>>{fix, clear}
                                                                 : std::vector<std::vector<std::string>>{clear, fix});
        const KravikRun& fixRun = runs[fixFirst ? 0 : 1];
        const KravikRun& clearRun = runs[fixFirst ? 1 : 0];
        const bool fixRefused = fixRun.exitCode == 8, clearRefused = clearRun.exitCode == 8;
        EXPECT_TRUE(fixRun.exitCode == 4 || (fixRefused && RefusedFor(fixRun.err, design, "clear")))
            << "round " << round << ": exit " << fixRun.exitCode << "\n" << fixRun.err;
        EXPECT_TRUE(clearRun.exitCode == 0 || (clearRefused && RefusedFor(clearRun.err, design, "check")))
            << "round " << round << ": exit " << clearRun.exitCode << "\n" << clearRun.err;
        ASSERT_FALSE(fixRefused && clearRefused) << "round " << round;
        const std::string now = ReadFile(design), backup = ReadFile(design + ".bak");
        if (fixRefused)
            EXPECT_TRUE(now == cleared && backup == original) << "round " << round;
        else if (clearRefused)
            EXPECT_TRUE(now == fixed && backup == original) << "round " << round;
        else
            EXPECT_TRUE((now == fixedThenCleared && backup == fixed) || (now == clearedThenFixed && backup == cleared))
                << "round " << round << ": a change was lost";
        EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.bak"}), dir.List()) << "round " << round;
        refused += fixRefused || clearRefused;
    }
    std::cout << "[ writers  ] 12 rounds of two writers: one refused in " << refused << std::endl;
}

// The last moment of a save, once the new file is written and before it replaces the old (where the
// test seam stops kravik): a change made to the file by then is refused and kept, and so is the
// earlier backup; a second writer then is refused at once, naming the first, by any path, and naming
// no process when the lock file names one that does not hold it. A step of the save that fails (the
// test seam makes its system call fail) leaves every file as it was and names the step; a Ctrl-C
// before the save replaces a file cancels it, one after changes nothing. The user's files beside
// the design, named as a save's temporary files could be, stay, and so does every file that a stale
// lock file records but that is not the save's own temporary file. A DESIGN.bak that is the design
// under another name saves, or stays linked when the save fails; a huge stale lock file is not read.
// A lock file with another name (a hard link of any file) is refused and changes nothing, and a file
// moved onto the lock file's name during the save stays. Every file that the run does not save is
// as it was (its inode, mode, owner, size and modification time), and a refused second writer leaves
// every file as it was. As root, with the writer not allowed to remove another user's file in a
// sticky folder (as a plain user is not), a save that cannot replace that user's DESIGN.bak leaves
// the folder as it was.
TEST(KravikMaintenanceTest, TheLastMomentOfASaveRefusesAChangeAndASecondWriter)
{
    TempDir dir, elsewhere;
    const std::string original = ReadFile(ExamplePath("broken.json"));
    const std::string design = dir.File("design.json"), out = dir.File("out.json"), link = dir.File("link.json"),
                      backup = design + ".bak", lock = design + ".lock";
    const std::vector<std::string> fix = {"check", design, "--fix", "--log", "/dev/null"},
                                   clear = {"clear", design, "--no-backup", "--log", "/dev/null"},
                                   clearToOut = {"clear", design, "--no-backup", "--output", out};
    WriteFile(design, original);
    ASSERT_EQ(4, Kravik(fix).exitCode);
    const std::string fixed = ReadFile(design);
    WriteFile(design, original);
    ASSERT_EQ(0, Kravik(clear).exitCode);
    const std::string cleared = ReadFile(design);
    ASSERT_EQ(0, ::symlink("out.json", link.c_str()));
    const std::vector<std::string> usersFiles = {".design.json.Ab12Cd", ".design.json.backup", ".design.json.kravik-Us3r0K",
                                                 "design.json.bak.120726", "design.json.bak.before"};
    const bool root = geteuid() == 0;

    // The state of every file in both folders, by name: a write moves a file's modification time.
    using FileStates = std::map<std::string, std::tuple<ino_t, mode_t, uid_t, off_t, time_t, long>>;
    const auto fileStates = [&] {
        FileStates states;
        for (const TempDir* folder : {&dir, &elsewhere})
            for (const std::string& name : folder->List())
            {
                struct stat info;
                if (lstat(folder->File(name).c_str(), &info) == 0)
                    states[folder->File(name)] = {info.st_ino, info.st_mode, info.st_uid, info.st_size,
                                                  info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
            }
        return states;
    };
    KravikRun second; // the second writer's run, which is refused and so leaves every file as it was
    const auto secondWriter = [&](const std::vector<std::string>& args) {
        return [&, args] {
            const FileStates before = fileStates();
            second = RunKravik(args);
            EXPECT_EQ(before, fileStates()) << second.err;
        };
    };
    const auto edit = [](const std::string& path) { return [path] { WriteFile(path, "edited"); }; };
    // A lock file left by a killed save that recorded these files, its own temporary files or not.
    const auto staleLock = [&](const std::vector<std::string>& recorded) {
        std::vector<KravikHost::SaveTemporary> records;
        for (const std::string& path : recorded)
        {
            WriteFile(path, "recorded");
            struct stat info;
            stat(path.c_str(), &info);
            records.push_back({path, info.st_dev, info.st_ino, info.st_size, info.st_mtim});
        }
        KravikHost::DesignLock holder;
        std::string error;
        ASSERT_TRUE(holder.Take(design, "clear", error)) << error;
        holder.RecordTemporaries(records);
        const std::string text = ReadFile(lock);
        holder.Release();
        WriteFile(lock, text);
    };
    const std::string notes = dir.File("notes.json"), killedSaves = dir.File(".design.json.kravik-K1lled"),
                      otherFolders = elsewhere.File(".design.json.kravik-Ab12Cd"), victim = dir.File("victim.txt");
    // A lock file that is another name of `target`, a file that only its owner may read.
    const auto linkedLock = [&](const std::string& target, const std::string& lockFile) {
        return [&, target, lockFile] {
            if (!FileExists(target))
                WriteFile(target, "the user's");
            ASSERT_EQ(0, chmod(target.c_str(), 0600) | ::link(target.c_str(), lockFile.c_str()));
        };
    };
    // What a kravik that runs as this test process writes into its lock file: a running process,
    // named with its true start time, that holds no lock of the design.
    std::string runningProcess;
    {
        KravikHost::DesignLock self;
        std::string error;
        ASSERT_TRUE(self.Take(elsewhere.File("self.json"), "clear", error, true)) << error;
        runningProcess = ReadFile(elsewhere.File("self.json.lock"));
    }
    const std::string changed = ": changed on disk since it was loaded; not saved\n",
                      outputChanged = "kravik: " + out + ": changed on disk since the run started; not saved\n",
                      savedDesign = "kravik: saved " + design + "\n",
                      stopping = "kravik: stopping; nothing will be saved; press Ctrl-C again to quit at once\n",
                      stopped = "kravik: " + design + ": stopped by Ctrl-C; nothing was saved\n";
    const struct
    {
        std::vector<std::string> args;
        std::function<void()> whileStopped; // run at the last check (KRAVIK_TEST_SAVE_STEP=check:stop)
        std::string err, designAfter, outputBefore, outputAfter; // output "": none
        const char* secondHolder = nullptr; // the holder the second writer names ("": unknown); null: none
        std::string step = "";              // KRAVIK_TEST_SAVE_STEP otherwise
        std::function<void()> before = nullptr;        // run before kravik starts
        std::vector<std::string> left = {};           // further files left beside the design
        bool asRoot = false;                          // the row needs root; the writer lacks CAP_FOWNER
    } cases[] = {
        {fix, edit(design), "kravik: " + design + changed, "edited", "", ""},
        {clear, [&] { edit(out)(); rename(out.c_str(), design.c_str()); }, "kravik: " + design + changed, "edited", "",
         ""},
        {clearToOut, edit(out), outputChanged, original, "old output", "edited"},
        // An output that another program creates while the run goes on is not replaced either.
        {clearToOut, edit(out), outputChanged, original, "", "edited"},
        {fix, secondWriter({"clear", design}), savedDesign, fixed, "", "", "check"},
        {{"clear", design, "--no-backup", "--output", link}, secondWriter({"init", design, "--output", out}),
         "kravik: saved " + link + "\n", original, "", cleared, "clear"},
        // A holder line naming a process long gone (a holder that could not write itself into another
        // user's lock file) names no holder, nor does one whose process id another process has now.
        {fix, [&] { WriteFile(lock, "999999999 clear\n"), secondWriter({"init", design})(); }, savedDesign, fixed, "",
         "", ""},
        {fix,
         [&] { WriteFile(lock, std::to_string(getpid()) + " clear\nstarted 1\n"), secondWriter({"init", design})(); },
         savedDesign, fixed, "", "", ""},
        // Nor does one naming a process that runs but does not hold the lock.
        {fix, [&] { WriteFile(lock, runningProcess), secondWriter({"init", design})(); }, savedDesign, fixed, "", "", ""},
        // A refused writer leaves the holder's lock file as it is, a lock file that only its owner
        // may read too; one that has another name it does not touch at all.
        {clear,
         [&] {
             ASSERT_EQ(0, chmod(lock.c_str(), 0600));
             secondWriter({"init", design})();
         },
         savedDesign, cleared, "", "", "clear"},
        {clear,
         [&] {
             ASSERT_EQ(0, ::link(lock.c_str(), victim.c_str()));
             secondWriter({"init", design})();
             EXPECT_EQ("kravik: " + design + ": the lock file " + lock + " has another name (a hard link)\n", second.err);
             EXPECT_EQ(8, second.exitCode);
         },
         savedDesign, cleared, "", "", nullptr, "", nullptr, {"victim.txt"}},
        // A file moved onto the lock file's name during the save is not removed with the lock.
        {clear, [&] { ASSERT_EQ(0, rename(notes.c_str(), lock.c_str())); }, savedDesign, cleared, "", "", nullptr, "",
         [&] { WriteFile(notes, "the user's"); }, {"design.json.lock"}},
        // A lock file that is another file's second name: of a file of the user's, of the design, of
        // DESIGN.bak, of the design read for --output.
        {fix, nullptr, "kravik: " + design + ": the lock file " + lock + " has another name (a hard link)\n", original,
         "", "", nullptr, "", linkedLock(victim, lock), {"design.json.lock", "victim.txt"}},
        {fix, nullptr, "kravik: " + design + ": the lock file " + lock + " has another name (a hard link)\n", original,
         "", "", nullptr, "", linkedLock(design, lock), {"design.json.lock"}},
        {clear, nullptr, "kravik: " + design + ": the lock file " + lock + " has another name (a hard link)\n", original,
         "", "", nullptr, "", linkedLock(backup, lock), {"design.json.lock"}},
        {clearToOut, nullptr, "kravik: " + out + ": the lock file " + out + ".lock has another name (a hard link)\n",
         original, "", "", nullptr, "", linkedLock(design, out + ".lock"), {"out.json.lock"}},
        {fix, nullptr, "kravik: " + design + ": cannot replace " + design + ": Operation not permitted\n",
         original, "", "", nullptr, "replace:EPERM"},
        {clear, nullptr, "kravik: " + design + ": cannot replace " + backup + ": No space left on device\n", original, "",
         "", nullptr, "backup:ENOSPC"},
        {fix, nullptr, "kravik: " + design + ": cannot write " + backup + ": Disk quota exceeded\n", original, "", "",
         nullptr, "name:EDQUOT"},
        {clearToOut, nullptr, "kravik: " + out + ": cannot replace " + out + ": Input/output error\n", original,
         "old output", "old output", nullptr, "replace:EIO"},
        {clearToOut, nullptr, "kravik: " + out + ": cannot create " + out + ": Operation not permitted\n", original, "",
         "", nullptr, "replace:EPERM"},
        // Where the older backup cannot get a second name (no hard links), a copy of it does.
        {fix, nullptr, savedDesign, fixed, "", "", nullptr, "keep:EPERM"},
        {fix, nullptr, stopping + stopped, original, "", "", nullptr, "name:interrupt"},
        {clear, nullptr, savedDesign, cleared, "", "", nullptr, "replace:interrupt"},
        // DESIGN.bak the design under another name.
        {clear, nullptr, savedDesign, cleared, "", "", nullptr, "", [&] { unlink(backup.c_str()), ::link(design.c_str(), backup.c_str()); }},
        {fix, nullptr, "kravik: " + design + ": cannot replace " + design + ": Input/output error\n", original, "", "",
         nullptr, "replace:EIO", [&] { unlink(backup.c_str()), ::link(design.c_str(), backup.c_str()); }},
        // A stale lock file removes the killed save's own temporary file only, and only when it is
        // the user's own and no one else could write it; a huge one is taken over without being read.
        {clear, nullptr, savedDesign, cleared, "", "", nullptr, "", [&] { staleLock({notes, otherFolders, killedSaves}); },
         {"notes.json"}},
        {clear, nullptr, savedDesign, cleared, "", "", nullptr, "",
         [&] {
             staleLock({notes, otherFolders, killedSaves});
             ASSERT_EQ(0, chown(lock.c_str(), 65534, 65534));
         },
         {"notes.json", ".design.json.kravik-K1lled"}, true},
        {clear, nullptr, savedDesign, cleared, "", "", nullptr, "",
         [&] {
             staleLock({notes, otherFolders, killedSaves});
             ASSERT_EQ(0, chmod(lock.c_str(), 0666));
         },
         {"notes.json", ".design.json.kravik-K1lled"}},
        {clear, nullptr, savedDesign, cleared, "", "", nullptr, "",
         [&] {
             WriteFile(lock, "");
             ASSERT_EQ(0, truncate(lock.c_str(), off_t(1) << 30));
         }},
        // Another user's DESIGN.bak in a sticky folder cannot be replaced: nothing is left of the save.
        {clear, nullptr, "kravik: " + design + ": cannot replace " + backup + ": Operation not permitted\n", original, "",
         "", nullptr, "",
         [&] {
             ASSERT_EQ(0, chmod(dir.Path().c_str(), 01777) | chown(dir.Path().c_str(), 65534, 65534)
                              | chown(backup.c_str(), 65534, 65534));
         },
         {}, true},
    };
    for (const auto& c : cases)
    {
        if (c.asRoot && !root)
            continue;
        const std::string label = c.step + " " + c.err;
        chmod(dir.Path().c_str(), 0700);
        chown(dir.Path().c_str(), geteuid(), getegid());
        for (const std::string& name : dir.List())
            if (name != "link.json")
                unlink(dir.File(name).c_str());
        WriteFile(design, original);
        WriteFile(backup, "older backup");
        for (const std::string& name : usersFiles)
            WriteFile(dir.File(name), name);
        if (!c.outputBefore.empty())
            WriteFile(out, c.outputBefore);
        if (c.before)
            c.before();
        const std::string olderBackup = ReadFile(backup);
        const std::vector<std::string> elsewhereBefore = elsewhere.List();
        FileStates atLastCheck = fileStates(); // or before the run, where kravik does not stop
        const std::function<void()> whileStopped = [&] {
            c.whileStopped();
            atLastCheck = fileStates();
        };
        const auto linked = [&] {
            struct stat a, b;
            return stat(design.c_str(), &a) == 0 && stat(backup.c_str(), &b) == 0 && a.st_ino == b.st_ino;
        };
        const bool linkedBefore = linked();
        second = KravikRun();
        const KravikRun run = RunKravikStopped(c.args, {"KRAVIK_TEST_SAVE_STEP=" + (c.whileStopped ? "check:stop" : c.step)},
                                               c.whileStopped ? whileStopped : nullptr, c.asRoot);
        const bool saved = run.err.find("kravik: saved") != std::string::npos;
        EXPECT_EQ(saved ? c.args[0] == "check" ? 4 : 0 : c.err.find("Ctrl-C; nothing") != std::string::npos ? 32 : 8,
                  run.exitCode)
            << label;
        EXPECT_EQ(c.err, run.err) << label;
        EXPECT_EQ(c.designAfter, ReadFile(design)) << label;
        const bool inPlace = std::find(c.args.begin(), c.args.end(), "--output") == c.args.end();
        EXPECT_EQ(saved && inPlace ? original : olderBackup, ReadFile(backup)) << label;
        EXPECT_EQ(linkedBefore && !saved, linked()) << label << ": DESIGN.bak is a link of the design as before";
        EXPECT_EQ(c.outputAfter, c.outputAfter.empty() ? "" : ReadFile(out)) << label;
        EXPECT_LT(run.maxResidentKb, 256 * 1024) << label;
        if (c.secondHolder != nullptr)
        {
            const std::string file = c.args.back() == link ? out : design;
            EXPECT_TRUE(*c.secondHolder == '\0' ? second.err == "kravik: " + file + ": in use by another process (holder unknown)\n"
                                                : RefusedFor(second.err, file, c.secondHolder))
                << label << "\n" << second.err;
            EXPECT_EQ(8, second.exitCode) << label;
        }
        std::vector<std::string> files = usersFiles;
        files.insert(files.end(), {"design.json", "design.json.bak", "link.json"});
        files.insert(files.end(), c.left.begin(), c.left.end());
        if (!c.outputAfter.empty())
            files.push_back("out.json");
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, dir.List()) << label << ": no lock or temporary file is left, no other file is gone";
        for (const std::string& name : usersFiles)
            EXPECT_EQ(name, ReadFile(dir.File(name))) << label;
        EXPECT_EQ(elsewhereBefore, elsewhere.List()) << label;
        const std::set<std::string> replaced = !saved ? std::set<std::string>{}
                                             : inPlace ? std::set<std::string>{design, backup}
                                                       : std::set<std::string>{out};
        const FileStates after = fileStates();
        for (const auto& [path, state] : atLastCheck)
        {
            if (after.count(path) != 0 && replaced.count(path) == 0)
            {
                EXPECT_EQ(state, after.at(path)) << label << ": " << path << " is as it was";
            }
        }
    }
}

TEST(KravikMaintenanceTest, UsageErrors)
{
    const std::string clean = ExamplePath("clean.json");
    const std::vector<std::vector<std::string>> usage = {
        {"object", clean, "63-0"},
        {"object", clean, "x-0-49"},
        {"object", clean},
        {"init", clean, "--no-backup"},
        {"recreate", clean, "--no-backup"},
        {"stats", clean, "--output", "out.json"},
        {"stats"},
        {"clear", clean, "--clear"},
    };
    for (const std::vector<std::string>& args : usage)
        EXPECT_EQ(16, Kravik(args).exitCode) << args[0] << " " << args.back();

    const KravikRun help = Kravik({"--help"});
    for (const char* text : {"init", "clear", "format", "recreate", "object", "stats", "KRAVIK_FLOW_ID",
                             "KRAVIK_INSTALL_ID", "--no-backup"})
        EXPECT_NE(std::string::npos, help.out.find(text)) << text;
    EXPECT_EQ(8, Kravik({"stats", clean, "--snapshot", "nope"}).exitCode);
    EXPECT_EQ(8, Kravik({"clear", clean, "--top", "NOPE"}).exitCode);
}

} // namespace
} // namespace KravikTest
