#include "utils/FileUtils.h"
#include "utils/PathUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace LumoUtils;
using Names = std::list<std::string>;

// Each test works in a fresh temporary directory. Paths handed to the library are in its
// backslash form (base()); the checks read the file system through std::filesystem (native()).
class FileUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kravik-utils-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        m_root = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_root, ignored);
    }

    // The library's form of a path below the temporary directory.
    std::string base(const std::string& relative = "") const
    {
        std::string root = m_root.string();
        return relative.empty() ? toBackslashes(root) : joinPath(toBackslashes(root), relative);
    }
    fs::path native(const std::string& relative) const
    {
        std::string path = relative;
        return m_root / toForwardSlashes(path);
    }
    void write(const std::string& relative, const std::string& content) const
    {
        fs::create_directories(native(relative).parent_path());
        std::ofstream(native(relative), std::ios::binary) << content;
    }
    std::string read(const std::string& relative) const
    {
        std::ifstream in(native(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void mkdir(const std::string& relative) const { fs::create_directories(native(relative)); }
    bool exists(const std::string& relative) const { return fs::exists(fs::symlink_status(native(relative))); }

    // A tree with a file and a directory outside it that symbolic links inside point to:
    //   tree\a.txt  tree\Sub\b.txt  tree\Sub\deeper\c.txt  tree\skipme\d.txt
    //   tree\link-dir -> outside  tree\link-file -> outside\precious.txt
    void buildTree() const
    {
        write("tree\\a.txt", "A");
        write("tree\\Sub\\b.txt", "B");
        write("tree\\Sub\\deeper\\c.txt", "C");
        write("tree\\skipme\\d.txt", "D");
        write("outside\\precious.txt", "keep me");
        fs::create_directory_symlink(native("outside"), native("tree\\link-dir"));
        fs::create_symlink(native("outside\\precious.txt"), native("tree\\link-file"));
    }
    bool outsideIntact() const { return read("outside\\precious.txt") == "keep me"; }

    fs::path m_root;
};

TEST_F(FileUtilsTest, RegularFileAndDirectoryTests)
{
    write("file.txt", "x");
    mkdir("dir");
    EXPECT_TRUE(isRegularFile(base("file.txt")));
    EXPECT_FALSE(isRegularFile(base("dir")));
    EXPECT_FALSE(isRegularFile(base("missing")));
    EXPECT_TRUE(isDirectory(base("dir")));
    EXPECT_TRUE(isDirectory(base("dir") + "\\"));
    EXPECT_FALSE(isDirectory(base("file.txt")));
    EXPECT_FALSE(isDirectory(base("missing")));
}

TEST_F(FileUtilsTest, CheckRegularFileExplainsFailures)
{
    write("file.txt", "x");
    mkdir("dir");
    std::string message = "untouched";
    EXPECT_TRUE(checkRegularFile(base("file.txt"), message));
    EXPECT_EQ("untouched", message);

    EXPECT_FALSE(checkRegularFile(base("missing"), message));
    EXPECT_EQ("Could not stat file [" + base("missing") + "]: No such file or directory", message);

    EXPECT_FALSE(checkRegularFile(base("dir"), message));
    const std::string prefix = "[" + base("dir") + "] is not regular file. Mode [";
    ASSERT_EQ(prefix, message.substr(0, prefix.size()));
    const unsigned long mode = std::stoul(message.substr(prefix.size()));
    EXPECT_TRUE(S_ISDIR(mode));
    EXPECT_EQ(']', message.back());
}

TEST_F(FileUtilsTest, GetFileSizeHandlesSizesBeyond32Bits)
{
    write("small", "12345");
    std::int64_t size = -1;
    ASSERT_TRUE(getFileSize(base("small").c_str(), size));
    EXPECT_EQ(5, size);

    const std::int64_t big = (std::int64_t(5) << 30) + 7; // sparse, takes no disk space
    write("big", "");
    fs::resize_file(native("big"), static_cast<std::uintmax_t>(big));
    ASSERT_TRUE(getFileSize(base("big").c_str(), size));
    EXPECT_EQ(big, size);

    mkdir("dir");
    EXPECT_FALSE(getFileSize(base("dir").c_str(), size));
    EXPECT_FALSE(getFileSize(base("missing").c_str(), size));
    EXPECT_FALSE(getFileSize(nullptr, size));
}

TEST_F(FileUtilsTest, IsReadOnly)
{
    write("rw", "x");
    write("ro", "x");
    fs::permissions(native("ro"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    mkdir("dir");
    bool exists = false;
    EXPECT_FALSE(isReadOnly(base("rw"), exists));
    EXPECT_TRUE(exists);
    EXPECT_TRUE(isReadOnly(base("dir"), exists)); // cannot be opened for update by anyone
    EXPECT_TRUE(exists);
    EXPECT_FALSE(isReadOnly(base("missing"), exists));
    EXPECT_FALSE(exists);
    // Permission bits do not bind a privileged process, which may still write the file.
    EXPECT_EQ(::geteuid() != 0, isReadOnly(base("ro")));
}

TEST_F(FileUtilsTest, CreateFileOverwritesOnlyWhenAsked)
{
    EXPECT_TRUE(createFile(base("new"), false));
    EXPECT_TRUE(exists("new"));
    write("old", "content");
    EXPECT_FALSE(createFile(base("old"), false));
    EXPECT_EQ("content", read("old"));
    EXPECT_TRUE(createFile(base("old"), true));
    EXPECT_EQ("", read("old"));
    EXPECT_FALSE(createFile(base("missing-dir\\f"), true));
}

TEST_F(FileUtilsTest, CopyFileCopiesBytesAndPermissions)
{
    std::string content;
    for (int i = 0; i < 100000; ++i) // several buffers long
        content += static_cast<char>(i * 7 % 256);
    write("src", content);
    fs::permissions(native("src"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(copyFile(base("src"), base("dst"), false));
    EXPECT_EQ(content, read("dst"));
    EXPECT_EQ(fs::status(native("src")).permissions(), fs::status(native("dst")).permissions());

    write("empty", "");
    ASSERT_TRUE(copyFile(base("empty"), base("empty-copy"), false));
    EXPECT_TRUE(exists("empty-copy"));
    EXPECT_EQ("", read("empty-copy"));
}

TEST_F(FileUtilsTest, CopyFileOntoExistingTarget)
{
    write("src", "new");
    write("dst", "old");
    EXPECT_FALSE(copyFile(base("src"), base("dst"), false));
    EXPECT_EQ("old", read("dst"));
    EXPECT_TRUE(copyFile(base("src"), base("dst"), true));
    EXPECT_EQ("new", read("dst"));
}

TEST_F(FileUtilsTest, CopyFileRefusesWhatItCannotCopy)
{
    write("src", "data");
    mkdir("dir");
    EXPECT_FALSE(copyFile(base("missing"), base("t1"), true));
    EXPECT_FALSE(exists("t1"));
    EXPECT_FALSE(copyFile(base("dir"), base("t2"), true));
    EXPECT_FALSE(exists("t2"));
    // Copying a file onto itself (directly or through a link) must not truncate it.
    EXPECT_FALSE(copyFile(base("src"), base("src"), true));
    fs::create_symlink(native("src"), native("alias"));
    EXPECT_FALSE(copyFile(base("src"), base("alias"), true));
    EXPECT_EQ("data", read("src"));
}

TEST(CopyFileBufferSizeTest, FallsBackForMissingUnparsableOrNonPositiveValues)
{
    struct Row {
        const char* text;
        int expected;
    };
    const Row rows[] = {
        {nullptr, 32768}, {"", 32768},   {"abc", 32768}, {"0", 32768},         {"-5", 32768},
        {"4096", 4096},   {" 64k", 64},  {"+1", 1},      {"99999999999", 32768},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.expected, CopyFileBufferSize::parse(row.text)) << (row.text ? row.text : "(null)");
    EXPECT_GT(CopyFileBufferSize::get(), 0);
}

TEST_F(FileUtilsTest, RenameNeverReplacesAnExistingTarget)
{
    write("a", "A");
    write("b", "B");
    EXPECT_FALSE(renameFile(base("a"), base("b")));
    EXPECT_EQ("A", read("a"));
    EXPECT_EQ("B", read("b"));

    EXPECT_TRUE(renameFile(base("a"), base("c")));
    EXPECT_FALSE(exists("a"));
    EXPECT_EQ("A", read("c"));

    write("dir\\f", "F");
    EXPECT_TRUE(renameFile(base("dir"), base("moved")));
    EXPECT_EQ("F", read("moved\\f"));
    EXPECT_FALSE(renameFile(base("missing"), base("x")));
}

TEST_F(FileUtilsTest, RemoveFileReportsMissingFilesSeparately)
{
    write("a", "x");
    write("b", "x");
    mkdir("dir");
    EXPECT_TRUE(removeFile(base("a")));
    EXPECT_FALSE(exists("a"));
    EXPECT_FALSE(removeFile(base("a")));
    EXPECT_FALSE(removeFile(base("dir")));

    bool removed = false;
    EXPECT_TRUE(removeFile(base("b"), removed));
    EXPECT_TRUE(removed);
    EXPECT_TRUE(removeFile(base("b"), removed));
    EXPECT_FALSE(removed);
    EXPECT_FALSE(removeFile(base("dir"), removed));
    EXPECT_FALSE(removed);
    EXPECT_TRUE(exists("dir"));
}

TEST_F(FileUtilsTest, MakeDirectoriesCreatesEveryMissingLevel)
{
    EXPECT_TRUE(makeDirectories(base("x\\y\\z\\")));
    EXPECT_TRUE(fs::is_directory(native("x\\y\\z")));
    EXPECT_TRUE(makeDirectories(base("x\\y")));
    EXPECT_TRUE(makeDirectory(base("x")));
    EXPECT_TRUE(makeDirectory(base("single\\")));
    EXPECT_TRUE(fs::is_directory(native("single")));

    write("file", "x");
    EXPECT_FALSE(makeDirectory(base("file")));
    EXPECT_FALSE(makeDirectories(base("file\\below")));
    EXPECT_FALSE(makeDirectory(base("missing\\below")));
}

TEST_F(FileUtilsTest, RemoveDirectoryOnlyWhenEmpty)
{
    write("full\\f", "x");
    mkdir("empty");
    EXPECT_FALSE(removeDirectory(base("full")));
    EXPECT_TRUE(exists("full\\f"));
    EXPECT_TRUE(removeDirectory(base("empty")));
    EXPECT_FALSE(exists("empty"));
}

TEST_F(FileUtilsTest, SetFileTimeSetsModificationTime)
{
    write("f", "x");
    const std::time_t t = 951782400; // 2000-02-29 00:00:00 UTC
    ASSERT_TRUE(setFileTime(base("f").c_str(), &t));
    struct stat st;
    ASSERT_EQ(0, ::stat(native("f").c_str(), &st));
    EXPECT_EQ(t, st.st_mtime);
    EXPECT_EQ(t, st.st_atime);
    EXPECT_FALSE(setFileTime(base("missing").c_str(), &t));
    EXPECT_FALSE(setFileTime(base("f").c_str(), nullptr));
}

TEST_F(FileUtilsTest, FindExistingAncestor)
{
    mkdir("dir");
    std::string found = "untouched";
    EXPECT_EQ(AncestorIsPath, findExistingAncestor(base("dir"), found));
    EXPECT_EQ(base("dir"), found);
    EXPECT_EQ(AncestorFirstMissing, findExistingAncestor(base("dir\\missing\\deeper\\file"), found));
    EXPECT_EQ(base("dir\\missing"), found);

    found = "untouched";
    EXPECT_EQ(AncestorNoneFromRoot, findExistingAncestor("\\no-such-top-level-kravik\\x", found));
    EXPECT_EQ(AncestorNone, findExistingAncestor("no-such-relative-kravik\\x", found));
    EXPECT_EQ(AncestorNone, findExistingAncestor("Q:\\x", found));
    EXPECT_EQ(AncestorNone, findExistingAncestor("", found));
    EXPECT_EQ("untouched", found);
}

TEST_F(FileUtilsTest, ListDirectoryIsSortedWithoutCase)
{
    write("dir\\b", "");
    write("dir\\A", "");
    write("dir\\C", "");
    mkdir("dir\\a-sub");
    EXPECT_EQ((std::vector<std::string>{".", "..", "A", "a-sub", "b", "C"}), listDirectory(base("dir")));
    EXPECT_EQ(listDirectory(base("dir")), listDirectory(base("dir") + "\\"));
    EXPECT_TRUE(listDirectory(base("missing")).empty());

    mkdir("empty");
    EXPECT_FALSE(isDirectoryEmpty(base("dir")));
    EXPECT_TRUE(isDirectoryEmpty(base("empty")));
    EXPECT_TRUE(isDirectoryListable(base("empty")));
    EXPECT_FALSE(isDirectoryListable(base("missing")));
    EXPECT_FALSE(isDirectoryListable(base("dir\\b")));
}

TEST_F(FileUtilsTest, WritableAndSameDirectoryLeaveNoScratchFiles)
{
    mkdir("one");
    mkdir("two");
    fs::create_directory_symlink(native("one"), native("alias"));
    write("file", "x");
    EXPECT_TRUE(isDirectoryWritable(base("one") + "\\"));
    EXPECT_FALSE(isDirectoryWritable(base("missing")));
    EXPECT_FALSE(isDirectoryWritable(base("file")));

    EXPECT_TRUE(isSameDirectory(base("one"), base("alias")));
    EXPECT_TRUE(isSameDirectory("C:/Dir/", "c:\\dir")); // equal text needs no file system
    EXPECT_FALSE(isSameDirectory(base("one"), base("two")));
    EXPECT_FALSE(isSameDirectory(base("one"), base("missing")));
    EXPECT_TRUE(isDirectoryEmpty(base("one")));
    EXPECT_TRUE(isDirectoryEmpty(base("two")));
}

TEST_F(FileUtilsTest, FileSystemTypeNamesTheMountHoldingThePath)
{
    const std::string type = fileSystemType(base().c_str());
    EXPECT_FALSE(type.empty());
    EXPECT_NE("UNKNOWN", type);
    EXPECT_EQ(type, fileSystemType(base("not\\yet\\created").c_str()));
    EXPECT_EQ("proc", fileSystemType("/proc/self"));
    EXPECT_FALSE(isNtfsOrFatVolume("/proc/self"));
    EXPECT_EQ("UNKNOWN", fileSystemType(nullptr));
    EXPECT_FALSE(isNtfsOrFatVolume(nullptr));
}

TEST_F(FileUtilsTest, CollectTreeListsLinksAsFilesAndSkipsExcludedDirectories)
{
    buildTree();
    const std::string t = base("tree");
    Names dirs;
    Names files;
    ASSERT_TRUE(collectTree(t + "\\", true, Names{"SKIPME"}, dirs, files));
    EXPECT_EQ((Names{t, t + "\\Sub", t + "\\Sub\\deeper"}), dirs);
    EXPECT_EQ((Names{t + "\\a.txt", t + "\\link-dir", t + "\\link-file", t + "\\Sub\\b.txt",
                     t + "\\Sub\\deeper\\c.txt"}),
              files);

    dirs.clear();
    files.clear();
    ASSERT_TRUE(collectTree(t, false, dirs, files));
    EXPECT_EQ((Names{t, t + "\\skipme", t + "\\Sub"}), dirs);
    EXPECT_EQ((Names{t + "\\a.txt", t + "\\link-dir", t + "\\link-file"}), files);
}

TEST_F(FileUtilsTest, CollectTreeOnAFileOrALinkOrNothing)
{
    buildTree();
    Names dirs;
    Names files;
    ASSERT_TRUE(collectTree(base("tree\\a.txt"), true, dirs, files));
    EXPECT_TRUE(dirs.empty());
    EXPECT_EQ((Names{base("tree\\a.txt")}), files);

    files.clear();
    ASSERT_TRUE(collectTree(base("tree\\link-dir"), true, dirs, files));
    EXPECT_TRUE(dirs.empty());
    EXPECT_EQ((Names{base("tree\\link-dir")}), files);

    EXPECT_FALSE(collectTree(base("missing"), true, dirs, files));
}

TEST_F(FileUtilsTest, CopyTreeCopiesLinksAsLinks)
{
    buildTree();
    ASSERT_TRUE(copyTree(base("tree"), base("copy\\nested"), false));
    EXPECT_EQ("A", read("copy\\nested\\a.txt"));
    EXPECT_EQ("C", read("copy\\nested\\Sub\\deeper\\c.txt"));
    EXPECT_EQ("D", read("copy\\nested\\skipme\\d.txt"));
    ASSERT_TRUE(fs::is_symlink(native("copy\\nested\\link-dir")));
    EXPECT_EQ(native("outside"), fs::read_symlink(native("copy\\nested\\link-dir")));
    EXPECT_TRUE(fs::is_symlink(native("copy\\nested\\link-file")));
    EXPECT_TRUE(outsideIntact());
    EXPECT_EQ(1u, std::distance(fs::directory_iterator(native("outside")), fs::directory_iterator()));
}

TEST_F(FileUtilsTest, CopyTreeOverwritesOnlyWhenAsked)
{
    buildTree();
    ASSERT_TRUE(copyTree(base("tree"), base("copy"), false));
    write("tree\\a.txt", "changed");
    EXPECT_FALSE(copyTree(base("tree"), base("copy"), false));
    EXPECT_EQ("A", read("copy\\a.txt"));
    EXPECT_TRUE(copyTree(base("tree"), base("copy"), true));
    EXPECT_EQ("changed", read("copy\\a.txt"));
    EXPECT_TRUE(fs::is_symlink(native("copy\\link-file")));
    EXPECT_TRUE(outsideIntact());
}

TEST_F(FileUtilsTest, CopyTreeOfAFileAndIntoItself)
{
    buildTree();
    mkdir("target");
    EXPECT_TRUE(copyTree(base("tree\\a.txt"), base("target"), false));
    EXPECT_EQ("A", read("target\\a.txt"));
    EXPECT_TRUE(copyTree(base("tree\\a.txt"), base("renamed.txt"), false));
    EXPECT_EQ("A", read("renamed.txt"));

    EXPECT_FALSE(copyTree(base("tree"), base("tree\\Sub\\inner"), false));
    EXPECT_FALSE(exists("tree\\Sub\\inner"));
    EXPECT_FALSE(copyTree(base("missing"), base("target2"), false));
    EXPECT_FALSE(exists("target2"));
}

TEST_F(FileUtilsTest, RemoveTreeRemovesLinksNotWhatTheyPointTo)
{
    buildTree();
    write("tree\\Sub\\readonly.txt", "r");
    fs::permissions(native("tree\\Sub\\readonly.txt"), fs::perms::owner_read);
    ASSERT_TRUE(removeTree(base("tree") + "\\", ""));
    EXPECT_FALSE(exists("tree"));
    EXPECT_TRUE(outsideIntact());
    EXPECT_FALSE(removeTree(base("tree"), ""));
}

TEST_F(FileUtilsTest, RemoveTreeOfALinkRemovesOnlyTheLink)
{
    buildTree();
    EXPECT_TRUE(removeTree(base("tree\\link-dir") + "\\", ""));
    EXPECT_FALSE(exists("tree\\link-dir"));
    EXPECT_TRUE(outsideIntact());
}

TEST_F(FileUtilsTest, RemoveTreeKeepsTheNamedEntryAndTheDirectory)
{
    write("dir\\keep.txt", "k");
    write("dir\\other.txt", "o");
    write("dir\\sub\\keep.txt", "nested entries are not kept");
    EXPECT_TRUE(removeTree(base("dir"), "keep.txt"));
    EXPECT_EQ("k", read("dir\\keep.txt"));
    EXPECT_EQ(std::vector<std::string>({".", "..", "keep.txt"}), listDirectory(base("dir")));
    // The name must match exactly: nothing is kept, so the directory goes too.
    EXPECT_TRUE(removeTree(base("dir"), "KEEP.TXT"));
    EXPECT_FALSE(exists("dir"));
}

TEST_F(FileUtilsTest, ClearDirectoryKeepsNamedEntriesAndTheDirectory)
{
    buildTree();
    ASSERT_TRUE(clearDirectory(base("tree"), Names{"A.TXT", "Link-Dir"}));
    EXPECT_EQ(std::vector<std::string>({".", "..", "a.txt", "link-dir"}), listDirectory(base("tree")));
    EXPECT_TRUE(outsideIntact());
    ASSERT_TRUE(clearDirectory(base("tree") + "\\"));
    EXPECT_TRUE(isDirectoryEmpty(base("tree")));
    EXPECT_TRUE(exists("tree"));
    EXPECT_TRUE(outsideIntact());
}

TEST_F(FileUtilsTest, ClearDirectoryRefusesFilesLinksAndMissingPaths)
{
    buildTree();
    EXPECT_FALSE(clearDirectory(base("tree\\a.txt")));
    EXPECT_FALSE(clearDirectory(base("tree\\link-dir")));
    EXPECT_FALSE(clearDirectory(base("missing")));
    EXPECT_TRUE(outsideIntact());
}

TEST_F(FileUtilsTest, RemoveDirectoryTree)
{
    buildTree();
    mkdir("empty");
    EXPECT_TRUE(removeDirectoryTree(base("empty")));
    EXPECT_FALSE(exists("empty"));
    EXPECT_FALSE(removeDirectoryTree(base("tree\\link-dir")));
    EXPECT_FALSE(removeDirectoryTree(base("tree\\a.txt")));
    EXPECT_TRUE(removeDirectoryTree(base("tree")));
    EXPECT_FALSE(exists("tree"));
    EXPECT_TRUE(outsideIntact());
    EXPECT_FALSE(removeDirectoryTree(base("missing")));
}

} // namespace
