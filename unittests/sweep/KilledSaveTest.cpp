// A save killed at any point leaves the design whole: a large generated design that fix mode
// repairs in place is saved by a kravik process that gets SIGKILL at spread points of its save
// (from early in its backup copy to its end). Afterwards the design file is the old design or the
// repaired one (which loads), byte for byte, the backup is the old design, and no temporary file is
// left in the folder but in the moment between naming the new design and renaming it onto the old
// one, and then the next save removes it; the killed writer's lock file stays until the next
// writer takes it over. The ctest label "sweep"; about half a minute.
#include "bench/DesignGenerator.h"
#include "host/DesignFile.h"

#include "SweepSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

pid_t StartKravik(const std::vector<std::string>& args)
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
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, kKravik.c_str(), &actions, nullptr, argv.data(), environ);
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
    // Starts the in-place repair of run/design.json (a fresh copy of the old design, in a folder
    // emptied first unless `keep`) and waits until the save begins: the backup copy is under way
    // once the process has written more than its log could hold. False, with the process ended, if
    // the run ended before or took more than a minute to get there, or if what it wrote cannot be read.
    bool StartSave(pid_t& pid, Clock::time_point& saveStart, bool keep = false)
    {
        if (!keep)
        {
            for (const std::string& name : m_run.List())
                unlink(m_run.File(name).c_str());
        }
        WriteFile(m_run.File("design.json"), m_old);
        pid = StartKravik({"check", m_run.File("design.json"), "--fix", "--constraints",
                           ExamplePath("constraints-full.json"), "--log", "/dev/null"});
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
    EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.bak"}), m_run.List());

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

        const std::string design = ReadFile(m_run.File("design.json"));
        EXPECT_TRUE(design == m_old || design == repaired) << "kill " << k << ": the design is neither whole";
        (design == m_old ? old : whole) += 1;
        bool namedTemporary = false;
        for (const std::string& name : m_run.List())
        {
            if (name == "design.json.bak")
            {
                EXPECT_EQ(m_old, ReadFile(m_run.File(name))) << "kill " << k << ": the backup is not whole";
            }
            else if (name.size() == 19 && name.compare(0, 13, ".design.json.") == 0)
            {
                // The complete new design gets a name of its own a moment before it replaces the
                // design; killed in that moment, it stays until the next save of the design.
                EXPECT_EQ(repaired, ReadFile(m_run.File(name))) << "kill " << k << ": " << name;
                namedTemporary = true;
            }
            else if (name != "design.json.lock") // a killed writer's lock, which the next one takes over
            {
                EXPECT_EQ("design.json", name) << "kill " << k << ": left behind";
            }
        }
        if (namedTemporary)
        {
            ++named;
            ASSERT_TRUE(StartSave(pid, saveStart, true));
            Reap(pid, true);
            EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.bak"}), m_run.List())
                << "kill " << k << ": the next save leaves the temporary file";
        }
    }
    std::cout << "[ killed   ] " << kills << " kills over a save of " << m_old.size() << " bytes taking "
              << std::chrono::duration_cast<std::chrono::milliseconds>(saveTime).count() << " ms: old design " << old
              << ", repaired design " << whole << " (" << finished << " runs had finished); temporary file left "
              << named << " times" << std::endl;
}

} // namespace
