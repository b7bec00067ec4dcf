#include "utils/PathUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace LumoUtils;

TEST(PathUtilsTest, JoinPathUsesExactlyOneBackslash)
{
    struct Row {
        const char* a;
        const char* b;
        const char* expected;
    };
    const Row rows[] = {
        {"C:\\dir\\\\", "\\\\file", "C:\\dir\\file"},
        {"\\", "x", "\\x"},
        {"\\\\", "x", "\\\\x"},
        {"", "x", "x"},
        {"a", "", "a"},
        {"a", "b\\c\\", "a\\b\\c\\"},
        {"C:", "x", "C:\\x"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, joinPath(row.a, row.b)) << row.a << " + " << row.b;
    EXPECT_EQ("C:\\dir\\sub\\file", joinNormalizedPaths("C:/dir/", "sub/file"));
}

TEST(PathUtilsTest, NormalizePathConvertsSlashesAndStripsOneBackslash)
{
    struct Row {
        const char* path;
        const char* expected;
    };
    const Row rows[] = {
        {"C:/dir/", "C:\\dir"}, {"C:\\", "C:\\"},   {"C:", "C:"},       {"dir\\\\\\", "dir\\\\"},
        {"", ""},               {"\\", "\\"},       {"a/b", "a\\b"},
    };
    for (const Row& row : rows) {
        std::string path = row.path;
        EXPECT_EQ(row.expected, normalizePath(path)) << row.path;
        EXPECT_EQ(row.expected, path);
    }
    std::string mixed = "a\\b/c";
    EXPECT_EQ("a/b/c", toForwardSlashes(mixed));
    EXPECT_EQ("a\\b\\c", toBackslashes(mixed));
}

TEST(PathUtilsTest, PathKinds)
{
    struct Row {
        const char* path;
        bool root;
        bool absolute;
        bool unc;
    };
    const Row rows[] = {
        {"", true, false, false},
        {"\\", true, false, false},
        {"C:", true, true, false},
        {"C:\\", true, true, false},
        {"C:\\dir", false, true, false},
        {"\\\\", true, true, false},
        {"\\\\s", false, true, true},
        {"\\name", false, false, false},
        {"name", false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(row.root, isRootPath(row.path));
        EXPECT_EQ(row.absolute, isAbsolutePath(row.path));
        EXPECT_EQ(row.unc, isUncPath(row.path));
    }
}

TEST(PathUtilsTest, RelativePathAndInsideDirectory)
{
    struct Row {
        const char* path;
        const char* base;
        const char* relative;
        bool inside;
    };
    const Row rows[] = {
        {"C:\\A\\b\\c", "c:\\a", "b\\c", true},
        {"C:\\a\\b", "C:\\a\\b", "", true},
        {"C:\\a\\b\\", "C:/a/", "b", true},
        {"D:\\a\\b", "C:\\a", "D:\\a\\b", false},
        {"C:\\ab\\c", "C:\\a", "C:\\ab\\c", false}, // a prefix of a name is not a parent
        {"C:\\x\\y", "C:\\", "x\\y", true},
        {"C:\\x\\y", "C:", "\\x\\y", true},
        {"C:\\a", "C:\\a\\b", "C:\\a", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.path) + " in " + row.base);
        EXPECT_EQ(row.relative, relativePath(row.path, row.base));
        EXPECT_EQ(row.inside, isInsideDirectory(row.path, row.base));
    }
}

TEST(PathUtilsTest, SplitPathAndParentDirectory)
{
    struct Row {
        const char* path;
        const char* dir;
        const char* name;
        const char* parent;
    };
    const Row rows[] = {
        {"C:\\dir\\file\\", "C:\\dir", "file", "C:\\dir"},
        {"C:\\dir\\\\file", "C:\\dir", "file", "C:\\dir"},
        {"name", "", "name", ""},
        {"C:\\file", "C:", "file", "C:"},
        {"\\file", "\\", "file", ""},
        {"\\\\", "\\\\", "", "\\\\"},
        {"", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::string dir = "old";
        std::string name = "old";
        splitPath(row.path, dir, name);
        EXPECT_EQ(row.dir, dir);
        EXPECT_EQ(row.name, name);
        EXPECT_EQ(row.parent, parentDirectory(row.path));
    }
}

TEST(PathUtilsTest, CurrentDirectoryIsInBackslashForm)
{
    std::string expected = std::filesystem::current_path().string();
    EXPECT_EQ(toBackslashes(expected), currentDirectory());
}

TEST(PathUtilsTest, FullPathFoldsDotsWithoutTouchingTheFileSystem)
{
    EXPECT_EQ("C:\\a\\c", fullPath("C:/a/./b/../c/"));
    EXPECT_EQ("\\y", fullPath("\\x\\..\\..\\y"));
    EXPECT_EQ("\\", fullPath("/"));
    EXPECT_EQ("\\\\server\\share", fullPath("\\\\server\\share\\"));
    EXPECT_EQ(joinPath(currentDirectory(), "b"), fullPath("a\\..\\b"));
    EXPECT_EQ(currentDirectory(), fullPath(""));
}

TEST(PathUtilsTest, AbsolutePathPrefixesOnlyRelativePaths)
{
    EXPECT_EQ("C:\\x", absolutePath("C:\\x"));
    EXPECT_EQ("\\\\srv\\x", absolutePath("\\\\srv\\x"));
    EXPECT_EQ(joinPath(currentDirectory(), "rel\\x"), absolutePath("rel\\x"));
}

} // namespace
