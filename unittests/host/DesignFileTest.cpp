// Opening design files and saving repaired ones: the snapshot and top block chosen, and the
// atomic saves with the backup of the previous content.
#include "KravikRunner.h"

#include "host/DesignFile.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace KravikHost {
namespace {

using KravikTest::ExamplePath;
using KravikTest::ReadFile;
using KravikTest::TempDir;
using KravikTest::WriteFile;

struct OpenCase
{
    const char* snapshot;
    const char* topBlock;
    const char* expectedSnapshot;
    const char* expectedTopBlock;
    const char* error; // empty: opens
};

TEST(DesignFileTest, SnapshotAndTopBlockDefaultToTheFirst)
{
    const OpenCase cases[] = {
        {"", "", "draft", "CTRL_BOARD", ""},
        {"final", "", "final", "CTRL_BOARD", ""},
        {"final", "SUB", "final", "SUB", ""},
        {"old", "", "", "", "no snapshot \"old\""},
        {"", "SUB", "", "", "no top block \"SUB\" in snapshot \"draft\""},
    };
    for (const OpenCase& c : cases)
    {
        OpenDesign design;
        std::string error;
        const bool opened = OpenDesignFile(KravikTest::TwoSnapshotDesign(), c.snapshot, c.topBlock, design, error);
        EXPECT_EQ(std::string(c.error), error) << c.snapshot << "/" << c.topBlock;
        EXPECT_EQ(error.empty(), opened);
        if (opened)
        {
            EXPECT_EQ(c.expectedSnapshot, design.snapshot);
            EXPECT_EQ(c.expectedTopBlock, design.topBlock);
        }
    }
}

TEST(DesignFileTest, SaveToOutputLeavesTheDesignAlone)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("clean.json"));
    WriteFile(dir.File("design.json"), original);
    WriteFile(dir.File("out.json"), "an earlier output");

    OpenDesign design;
    std::string error;
    ASSERT_TRUE(OpenDesignFile(dir.File("design.json"), "", "", design, error)) << error;
    ASSERT_TRUE(SaveDesignFile(*design.session, dir.File("design.json"), dir.File("out.json"), nullptr, error)) << error;

    EXPECT_EQ((std::vector<std::string>{"design.json", "out.json"}), dir.List());
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));
    OpenDesign saved;
    EXPECT_TRUE(OpenDesignFile(dir.File("out.json"), "", "", saved, error)) << error;
    EXPECT_EQ("rev-a", saved.snapshot);
    EXPECT_EQ("CTRL_BOARD", saved.topBlock);
}

TEST(DesignFileTest, SaveBackKeepsThePreviousContentAsBackup)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("clean.json"));
    const std::string design = dir.File("design.json");
    WriteFile(design, original);
    chmod(design.c_str(), 0640);

    OpenDesign opened;
    std::string error;
    ASSERT_TRUE(OpenDesignFile(design, "", "", opened, error)) << error;
    ASSERT_TRUE(SaveDesignFile(*opened.session, design, "", nullptr, error)) << error;
    EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.bak"}), dir.List());
    EXPECT_EQ(original, ReadFile(design + ".bak"));
    const std::string firstSave = ReadFile(design);
    EXPECT_NE(original, firstSave); // saved files are written complete, not as typed

    struct stat info;
    ASSERT_EQ(0, stat((design + ".bak").c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 0777);

    // A second save keeps the first save's content; naming the design itself as output is the same.
    ASSERT_TRUE(SaveDesignFile(*opened.session, design, dir.Path() + "/./design.json", nullptr, error)) << error;
    EXPECT_EQ((std::vector<std::string>{"design.json", "design.json.bak"}), dir.List());
    EXPECT_EQ(firstSave, ReadFile(design + ".bak"));
    OpenDesign reloaded;
    EXPECT_TRUE(OpenDesignFile(design, "", "", reloaded, error)) << error;
}

TEST(DesignFileTest, FailedSaveReportsAndKeepsTheDesign)
{
    TempDir dir;
    const std::string original = ReadFile(ExamplePath("clean.json"));
    WriteFile(dir.File("design.json"), original);

    OpenDesign design;
    std::string error;
    ASSERT_TRUE(OpenDesignFile(dir.File("design.json"), "", "", design, error)) << error;
    EXPECT_FALSE(SaveDesignFile(*design.session, dir.File("design.json"), dir.File("missing/out.json"), nullptr, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::vector<std::string>{"design.json"}, dir.List());
    EXPECT_EQ(original, ReadFile(dir.File("design.json")));
}

// A save touches no file but those it replaces: files named as a killed save's temporary files
// could be are the user's. A design that is gone by the save is not saved, and nothing is left.
TEST(DesignFileTest, SaveLeavesEveryOtherFileAlone)
{
    TempDir dir;
    const std::string design = dir.File("design.json");
    WriteFile(design, ReadFile(ExamplePath("clean.json")));
    const std::vector<std::string> others = {".design.json.Ab12Cd", ".design.json.kravik-Ab12Cd", "design.json.bak.Ab12Cd",
                                             "design.json.bak.before"};
    for (const std::string& name : others)
        WriteFile(dir.File(name), "the user's");
    OpenDesign opened;
    std::string error;
    ASSERT_TRUE(OpenDesignFile(design, "", "", opened, error)) << error;
    ASSERT_TRUE(SaveDesignFile(*opened.session, design, "", nullptr, error)) << error;
    std::vector<std::string> expected = others;
    expected.insert(expected.end(), {"design.json", "design.json.bak"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, dir.List());
    for (const std::string& name : others)
        EXPECT_EQ("the user's", ReadFile(dir.File(name))) << name;

    unlink(design.c_str());
    EXPECT_FALSE(SaveDesignFile(*opened.session, design, "", nullptr, error));
    EXPECT_EQ("cannot read " + design + ": No such file or directory", error);
    expected.erase(std::find(expected.begin(), expected.end(), "design.json"));
    EXPECT_EQ(expected, dir.List());
}

} // namespace
} // namespace KravikHost
