// The design lock on its own: a second holder is refused with the first named, the lock file lies
// beside the file a link leads to (also for an output not there yet) and goes with the lock, a lock
// file that cannot be opened refuses, and a design replaced or rewritten since the lock was taken is
// refused for the save.
#include "host/DesignLock.h"

#include "host/DesignFile.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using KravikTest::ReadFile;
using KravikTest::TempDir;
using KravikTest::WriteFile;

TEST(DesignLockTest, OneHolderAtATimeBesideTheLinkedFile)
{
    TempDir dir;
    WriteFile(dir.File("design.json"), "{}");
    ASSERT_EQ(0, symlink("design.json", dir.File("link.json").c_str()));

    KravikHost::DesignLock first, second;
    std::string error;
    ASSERT_TRUE(first.Take(dir.File("link.json"), "clear", error)) << error;
    EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.lock", "link.json"}), dir.List());
    EXPECT_FALSE(second.Take(dir.File("design.json"), "init", error));
    EXPECT_EQ("in use by process " + std::to_string(getpid()) + " (kravik clear)", error);

    first.Release();
    EXPECT_EQ((std::vector<std::string>{"design.json", "link.json"}), dir.List());
    ASSERT_TRUE(second.Take(dir.File("design.json"), "init", error)) << error;

    // No lock on a design that does not exist: its load reports it.
    KravikHost::DesignLock none;
    EXPECT_TRUE(none.Take(dir.File("missing.json"), "init", error));
    EXPECT_FALSE(none.Held());
    EXPECT_EQ("", none.SaveRefusal());
}

// The lock of an output not there yet lies beside the file its link leads to and is readable by
// every user whatever the umask. A lock file that cannot be opened (as root the taker runs as
// nobody) refuses: it may be held.
TEST(DesignLockTest, OutputLocksAndLockFilesThatCannotBeRead)
{
    TempDir dir;
    ASSERT_EQ(0, symlink("new.json", dir.File("link.json").c_str()));
    KravikHost::DesignLock output, second;
    std::string error;
    const mode_t mask = umask(077);
    ASSERT_TRUE(output.Take(dir.File("link.json"), "init", error, true)) << error;
    umask(mask);
    struct stat info;
    ASSERT_EQ(0, stat(dir.File("new.json.lock").c_str(), &info));
    EXPECT_EQ(0644u, info.st_mode & 07777);
    EXPECT_FALSE(second.Take(dir.File("new.json"), "check", error, true));
    EXPECT_EQ("in use by process " + std::to_string(getpid()) + " (kravik init)", error);

    const std::string design = dir.File("design.json");
    WriteFile(design, "{}");
    WriteFile(design + ".lock", "1 clear\n");
    ASSERT_EQ(0, chmod(dir.Path().c_str(), 0777) | chmod(design.c_str(), 0666) | chmod((design + ".lock").c_str(), 0));
    const pid_t child = fork();
    if (child == 0)
        _exit((getuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0)) && !second.Take(design, "clear", error)
                      && error == "cannot open the lock file " + design + ".lock: Permission denied"
                  ? 0
                  : 1);
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    // A lock file that is a symbolic link is named so; a holder whose line names no running process
    // (it could not write itself into another user's lock file) is not named.
    const std::string other = dir.File("other.json");
    WriteFile(other, "{}");
    ASSERT_EQ(0, symlink("elsewhere", (other + ".lock").c_str()));
    EXPECT_FALSE(second.Take(other, "clear", error));
    EXPECT_EQ("the lock file " + other + ".lock is a symbolic link", error);
    output.Release();
    ASSERT_TRUE(output.Take(dir.File("new.json"), "init", error, true)) << error;
    // Nor is a process that does not hold the lock, though it has the holder's process id now, or
    // runs with the start time the text gives (anyone may read process 1's).
    const std::string init = ReadFile("/proc/1/stat");
    std::istringstream fields(init.substr(init.rfind(')') + 2));
    std::string started;
    for (int field = 3; field <= 22; ++field)
        fields >> started;
    for (const std::string& holder : {std::string("999999999 clear\n"), std::to_string(getpid()) + " clear\nstarted 1\n",
                                      "1 clear\nstarted " + started + "\n"})
    {
        WriteFile(dir.File("new.json.lock"), holder);
        EXPECT_FALSE(second.Take(dir.File("new.json"), "check", error, true));
        EXPECT_EQ("in use by another process (holder unknown)", error) << holder;
    }
}

// A writer that takes over the lock of a holder that died removes the temporary files the holder
// recorded, and only those that are the save's own temporary files of the locked file (named so,
// beside it, even where a long name is cut), while their paths still name the recorded files (a
// file made since may have the inode number of one removed). A file the lock file records that is
// another (elsewhere, or beside it by another name) stays, and so does every file an output's lock
// records as a backup's.
TEST(DesignLockTest, TakingOverADeadHoldersLockRemovesTheTemporariesItRecorded)
{
    TempDir dir, elsewhere;
    const std::string longName = std::string(240, 'd') + ".json";
    const struct
    {
        std::string name;
        bool isOutput;
    } cases[] = {{"design.json", false}, {longName, false}, {"out.json", true}};
    for (const auto& c : cases)
    {
        const std::string design = dir.File(c.name);
        WriteFile(design, "{}");
        const std::string temporary = KravikHost::SiblingName(dir.File("." + c.name), ".kravik-Ab12Cd"),
                          backups = KravikHost::SiblingName(dir.File("." + c.name + ".bak"), ".kravik-Bk34Zw"),
                          replaced = KravikHost::SiblingName(dir.File("." + c.name), ".kravik-Xy34Zw"),
                          notes = dir.File("notes.json"),
                          otherFolders = KravikHost::SiblingName(elsewhere.File("." + c.name), ".kravik-Ab12Cd"),
                          unrecorded = KravikHost::SiblingName(dir.File("." + c.name), ".kravik-Other1");
        const pid_t child = fork();
        if (child == 0)
        {
            KravikHost::DesignLock dying;
            std::string error;
            std::vector<KravikHost::SaveTemporary> records;
            for (const std::string& path : {temporary, backups, replaced, notes, otherFolders})
            {
                WriteFile(path, "made by the save");
                struct stat info;
                stat(path.c_str(), &info);
                records.push_back({path, info.st_dev, info.st_ino, info.st_size, info.st_mtim});
            }
            const bool taken = dying.Take(design, "clear", error, c.isOutput);
            dying.RecordTemporaries(records);
            _exit(taken ? 0 : 1); // killed: the lock file stays
        }
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name;
        unlink(replaced.c_str());
        WriteFile(replaced, "the user's, made since");
        WriteFile(unrecorded, "the user's");

        KravikHost::DesignLock next;
        std::string error;
        ASSERT_TRUE(next.Take(design, "init", error, c.isOutput)) << error;
        EXPECT_FALSE(KravikTest::FileExists(temporary)) << c.name;
        EXPECT_EQ(c.isOutput, KravikTest::FileExists(backups)) << c.name;
        for (const std::string& path : {replaced, notes, otherFolders, unrecorded})
            EXPECT_TRUE(KravikTest::FileExists(path)) << c.name << ": " << path;
        const std::string holder = KravikTest::ReadFile(design + ".lock");
        EXPECT_EQ(std::to_string(getpid()) + " init\nstarted ", holder.substr(0, holder.find("started ") + 8));
        next.Release();
        for (const std::string& name : dir.List())
            unlink(dir.File(name).c_str());
    }
}

// A writer that waits for a holder not yet named in the lock file takes the design as the holder
// saved it, so its own save is not refused.
TEST(DesignLockTest, AWriterThatWaitedTakesTheDesignAsItsHolderSavedIt)
{
    TempDir dir;
    const std::string design = dir.File("design.json");
    WriteFile(design, "{}");
    KravikHost::DesignLock first, second;
    std::string error;
    ASSERT_TRUE(first.Take(design, "clear", error)) << error;
    ASSERT_EQ(0, truncate((design + ".lock").c_str(), 0));
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WriteFile(design, "{ }");
        first.Release();
    });
    const bool taken = second.Take(design, "init", error);
    holder.join();
    ASSERT_TRUE(taken) << error;
    EXPECT_EQ("", second.SaveRefusal());
}

TEST(DesignLockTest, SaveRefusedOnceTheDesignChangedOnDisk)
{
    TempDir dir;
    const std::string design = dir.File("design.json");
    const std::string changed = "changed on disk since it was loaded; not saved";
    const struct
    {
        const char* change;
        void (*apply)(const std::string& path);
    } cases[] = {
        {"none", [](const std::string&) {}},
        {"rewritten", [](const std::string& path) { WriteFile(path, "{ }"); }},
        {"replaced by one of the same size and time",
         [](const std::string& path) {
             struct stat info;
             stat(path.c_str(), &info);
             WriteFile(path + ".new", "{}");
             const timespec times[2] = {info.st_atim, info.st_mtim};
             utimensat(AT_FDCWD, (path + ".new").c_str(), times, 0);
             rename((path + ".new").c_str(), path.c_str());
         }},
        {"touched", [](const std::string& path) { utimensat(AT_FDCWD, path.c_str(), nullptr, 0); }},
        {"given other permissions", [](const std::string& path) { chmod(path.c_str(), 0600); }},
    };
    for (const auto& c : cases)
    {
        WriteFile(design, "{}");
        timespec past[2] = {{1000, 0}, {1000, 0}};
        utimensat(AT_FDCWD, design.c_str(), past, 0);
        KravikHost::DesignLock lock;
        std::string error;
        ASSERT_TRUE(lock.Take(design, "check", error)) << error;
        c.apply(design);
        EXPECT_EQ(std::string(c.change) == "none" ? "" : changed, lock.SaveRefusal()) << c.change;
    }

    // A lock file that is not a regular file is not used.
    KravikHost::DesignLock lock;
    std::string error;
    ASSERT_EQ(0, mkdir((design + ".lock").c_str(), 0700));
    EXPECT_FALSE(lock.Take(design, "check", error));
    EXPECT_EQ("cannot create the lock file " + design + ".lock: Is a directory", error);
}

} // namespace
