// A save killed at any point leaves every file whole: a large generated design that fix mode repairs
// in place is saved by a kravik process that gets SIGKILL at spread points of its save (from early
// in its backup copy to its end), and a small one at each step of its save (the test seam stops it
// just before the step). Afterwards the design file is the old design or the repaired one (which
// loads), byte for byte, DESIGN.bak the older backup or the old design, the user's files beside
// them as they were, and the only other files are the save's named temporary files (the repaired
// design, the backup's copy, the older backup's second name), which the next save removes; the
// killed writer's lock file stays until the next writer takes it over. The ctest label "sweep";
// about half a minute.
#include "bench/DesignGenerator.h"
#include "host/DesignFile.h"

#include "SweepSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using namespace KravikSweep;
using Clock = std::chrono::steady_clock;

const std::string kKravik = std::string(KRAVIK_BINARY_DIR) + "/host/kravik";

const std::string kOlderBackup = "the older backup";
// Files of the user's beside the design, named as a save's temporary files could be.
const std::vector<std::string> kUsersFiles = {".design.json.backup", ".design.json.Ab12Cd", "design.json.bak.120726",
                                              "design.json.bak.before"};

pid_t StartKravik(const std::vector<std::string>& args, const std::vector<std::string>& environment = {})
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kKravik.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> env(environ, environ + [] { size_t n = 0; while (environ[n] != nullptr) ++n; return n; }());
    for (const std::string& variable : environment)
        env.push_back(const_cast<char*>(variable.c_str()));
    env.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, kKravik.c_str(), &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// The exit code of a finished process, -1 while it runs, or 128 + the signal that ended it.
int Reap(pid_t pid, bool wait)
{
    int status = 0;
    if (waitpid(pid, &status, wait ? 0 : WNOHANG) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The bytes a process has written so far (its "wchar" in /proc), -1 when they cannot be read.
long long Written(pid_t pid)
{
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string key;
    long long value = -1;
    while (io >> key >> value)
        if (key == "wchar:")
            return value;
    return -1;
}

class KilledSaveTest : public ::testing::Test
{
protected:
    // Lays out an emptied run/: a fresh copy of the old design, an older backup and the user's files.
    void LayOut()
    {
        for (const std::string& name : m_run.List())
            unlink(m_run.File(name).c_str());
        WriteFile(m_run.File("design.json"), m_old);
        WriteFile(m_run.File("design.json.bak"), kOlderBackup);
        for (const std::string& name : kUsersFiles)
            WriteFile(m_run.File(name), "the user's " + name);
    }

    std::vector<std::string> FixArgs() const
    {
        return {"check", m_run.File("design.json"), "--fix", "--constraints", ExamplePath("constraints-full.json"),
                "--log", "/dev/null"};
    }

    // Starts the in-place repair of a freshly laid out run/ and waits until the save begins: the
    // backup copy is under way once the process has written more than its log could hold. False,
    // with the process ended, if the run ended before or took more than a minute to get there, or if
    // what it wrote cannot be read.
    bool StartSave(pid_t& pid, Clock::time_point& saveStart)
    {
        LayOut();
        pid = StartKravik(FixArgs());
        if (pid < 0)
            return false;
        const Clock::time_point giveUp = Clock::now() + std::chrono::minutes(1);
        for (;;)
        {
            const long long written = Written(pid);
            if (written > static_cast<long long>(m_old.size() / 8))
            {
                saveStart = Clock::now();
                return true;
            }
            if (Reap(pid, false) >= 0)
                return false;
            if (written < 0 || Clock::now() > giveUp)
            {
                kill(pid, SIGKILL);
                Reap(pid, true);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    // What a killed save left in run/: the design old or repaired, the backup older or the old
    // design, the user's files as they were, and temporary files of the save's own names only.
    // Returns how many temporary files there were.
    int ExpectWholeFiles(const std::string& repaired, const std::string& label)
    {
        const std::string design = ReadFile(m_run.File("design.json")), backup = ReadFile(m_run.File("design.json.bak"));
        EXPECT_TRUE(design == m_old || design == repaired) << label << ": the design is neither whole";
        EXPECT_TRUE(backup == kOlderBackup || backup == m_old) << label << ": the backup is neither whole";
        int temporaries = 0;
        for (const std::string& name : m_run.List())
        {
            const bool user = std::find(kUsersFiles.begin(), kUsersFiles.end(), name) != kUsersFiles.end();
            const bool ofDesign = name.size() == 26 && name.compare(0, 20, ".design.json.kravik-") == 0,
                       ofBackup = name.size() == 30 && name.compare(0, 24, ".design.json.bak.kravik-") == 0;
            const std::string content = ReadFile(m_run.File(name));
            if (user)
                EXPECT_EQ("the user's " + name, content) << label;
            else if (ofDesign)
                EXPECT_EQ(repaired, content) << label << ": " << name;
            else if (ofBackup)
                EXPECT_TRUE(content == m_old || content == kOlderBackup) << label << ": " << name;
            else
                EXPECT_TRUE(name == "design.json" || name == "design.json.bak" || name == "design.json.lock")
                    << label << ": " << name << " left behind";
            temporaries += ofDesign || ofBackup;
        }
        return temporaries;
    }

    // The next save removes what a killed one left, and nothing else.
    void ExpectTheNextSaveCleans(const std::string& label)
    {
        const pid_t pid = StartKravik(FixArgs());
        Reap(pid, true);
        std::vector<std::string> expected = kUsersFiles;
        expected.insert(expected.end(), {"design.json", "design.json.bak"});
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, m_run.List()) << label << ": the next save leaves the temporary files";
    }

    TempDir m_dir, m_run;
    std::string m_old;
};

TEST_F(KilledSaveTest, DesignIsOldOrNewWholeAndNoTemporaryIsLeft)
{
    kravik_bench::DesignOptions options = kravik_bench::SeededDesign(100000, 11, 0.02);
    options.schemeDefectRate = 0.05;
    {
        std::ofstream out(m_dir.File("old.json"), std::ios::binary);
        kravik_bench::GenerateDesign(options, out);
    }
    m_old = ReadFile(m_dir.File("old.json"));

    // An unkilled run: the repaired design, and how long the save takes.
    pid_t pid = -1;
    Clock::time_point saveStart;
    ASSERT_TRUE(StartSave(pid, saveStart)) << "the save was not seen to begin";
    const int exitCode = Reap(pid, true);
    const auto saveTime = Clock::now() - saveStart;
    ASSERT_TRUE(exitCode == 1 || exitCode == 4) << "exit " << exitCode;
    const std::string repaired = ReadFile(m_run.File("design.json"));
    ASSERT_NE(m_old, repaired);
    KravikHost::OpenDesign loaded;
    std::string error;
    ASSERT_TRUE(KravikHost::OpenDesignFile(m_run.File("design.json"), "", "", loaded, error)) << error;
    loaded.session.reset();
    EXPECT_EQ(m_old, ReadFile(m_run.File("design.json.bak")));
    EXPECT_EQ(0, ExpectWholeFiles(repaired, "unkilled"));

    // Kills spread over the save, from its start to a little after its end (under a sweep stride,
    // every stride-th of them).
    const int kKills = 8;
    const int stride = static_cast<int>(SweepStride());
    std::mt19937 random(options.seed);
    int old = 0, whole = 0, finished = 0, named = 0, kills = 0;
    for (int k = 0; k < kKills; k += stride, ++kills)
    {
        ASSERT_TRUE(StartSave(pid, saveStart));
        const double at = (k + std::uniform_real_distribution<double>(0.0, 1.0)(random)) / kKills * 1.1;
        std::this_thread::sleep_until(saveStart + std::chrono::duration_cast<Clock::duration>(saveTime * at));
        kill(pid, SIGKILL);
        if (Reap(pid, true) != 128 + SIGKILL)
            ++finished;

        const std::string label = "kill " + std::to_string(k);
        (ReadFile(m_run.File("design.json")) == m_old ? old : whole) += 1;
        if (ExpectWholeFiles(repaired, label) > 0)
        {
            ++named;
            ExpectTheNextSaveCleans(label);
        }
    }
    std::cout << "[ killed   ] " << kills << " kills over a save of " << m_old.size() << " bytes taking "
              << std::chrono::duration_cast<std::chrono::milliseconds>(saveTime).count() << " ms: old design " << old
              << ", repaired design " << whole << " (" << finished << " runs had finished); temporary files left "
              << named << " times" << std::endl;
}

// A save stopped at each of its steps: before the new file and the backup's copy are written, before
// the older backup gets its second name, before the other names, before the last check, before the
// backup and the design are put in place, and before the older backup's second name goes.
TEST_F(KilledSaveTest, EveryStepOfASaveKilledLeavesEveryFileWhole)
{
    m_old = ReadFile(ExamplePath("broken.json"));
    LayOut();
    ASSERT_EQ(4, Reap(StartKravik(FixArgs()), true));
    const std::string repaired = ReadFile(m_run.File("design.json"));
    const struct
    {
        const char* step;
        bool replaced; // the design is the repaired one
        int temporaries;
    } steps[] = {{"write", false, 0},  {"copy", false, 0},  {"keep", false, 0},    {"name", false, 1},
                 {"check", false, 3},  {"backup", false, 3}, {"replace", false, 2}, {"clean", true, 1}};
    for (const auto& step : steps)
    {
        LayOut();
        EXPECT_EQ(128 + SIGKILL, Reap(StartKravik(FixArgs(), {"KRAVIK_TEST_SAVE_STEP=" + std::string(step.step) + ":kill"}),
                                      true))
            << step.step;
        EXPECT_EQ(step.replaced ? repaired : m_old, ReadFile(m_run.File("design.json"))) << step.step;
        EXPECT_EQ(std::string(step.step) == "replace" || step.replaced ? m_old : kOlderBackup,
                  ReadFile(m_run.File("design.json.bak")))
            << step.step;
        EXPECT_EQ(step.temporaries, ExpectWholeFiles(repaired, step.step));
        ExpectTheNextSaveCleans(step.step);
    }
}

} // namespace
