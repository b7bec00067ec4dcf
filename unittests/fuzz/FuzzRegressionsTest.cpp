// Every input a fuzzer once crashed on is kept under fuzz/regressions/<target>/ and must go
// through its target without a fault; the seed corpora (the examples) too.
#include "fuzz/FuzzTargets.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> files;
    for (const std::string& name : KravikTest::ListFolder(dir))
        if (name[0] != '.' && name != "README.md")
            files.push_back(dir + "/" + name);
    return files;
}

int RunEntry(KravikFuzz::Entry entry, const std::string& bytes)
{
    return entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

TEST(FuzzRegressionsTest, KeptCrashInputsRunClean)
{
    for (const KravikFuzz::Target& target : KravikFuzz::Targets())
        for (const std::string& file : FilesIn(std::string(KRAVIK_SOURCE_DIR) + "/fuzz/regressions/" + target.name))
            EXPECT_EQ(0, RunEntry(target.entry, KravikTest::ReadFile(file))) << file;
}

TEST(FuzzRegressionsTest, SeedsAndOddInputsRunClean)
{
    const std::string examples = std::string(KRAVIK_SOURCE_DIR) + "/examples";
    std::vector<std::string> seeds = {"", "{", "null", std::string(3, '\0'), "1\n2\n-3\n99999999999999999999\n",
                                      "GetName=1\n5-0-49:GetName:2\n-1-0-255\n"};
    for (const std::string& file : FilesIn(examples))
        seeds.push_back(KravikTest::ReadFile(file));
    for (const KravikFuzz::Target& target : KravikFuzz::Targets())
        for (const std::string& seed : seeds)
            EXPECT_EQ(0, RunEntry(target.entry, seed)) << target.name;
}

TEST(FuzzRegressionsTest, DictionaryNamesTheFormatsKeys)
{
    const std::string dictionary = KravikFuzz::DesignDictionary();
    for (const char* entry : {"\"\\\"parentElectricalNet\\\":\"\n", "\"\\\"PhysicalNet\\\"\"\n", "\"\\\"fail\\\":\"\n"})
        EXPECT_NE(std::string::npos, dictionary.find(entry)) << entry;
}

} // namespace
