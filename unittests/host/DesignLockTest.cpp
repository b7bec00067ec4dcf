// The design lock on its own: a second holder is refused with the first named, the lock file lies
// beside the file a link leads to and goes with the lock, and a design replaced or rewritten since
// the lock was taken is refused for the save.
#include "host/DesignLock.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

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
