// The user documentation under docs/ against the program: the commands it shows give the exit codes
// it states, the JSON it shows loads, the codes it says the broken example raises are those the
// checks raise, and its table of kinds and keys is the loader's.
#include "KravikRunner.h"

#include "lumopi/StandIn.h"
#include "ordaxcons/OrdaxConstraintDefs.h"
#include "tests/rules/CConsChecker.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <dirent.h>

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace KravikTest {
namespace {

using Json = nlohmann::ordered_json;

const std::string kDocs = KRAVIK_SOURCE_DIR "/docs/";

struct Page
{
    std::string name;
    std::string text;
};

const std::vector<Page>& Pages()
{
    static const std::vector<Page> pages = [] {
        std::vector<Page> result;
        if (DIR* dir = opendir(kDocs.c_str()))
        {
            while (dirent* entry = readdir(dir))
            {
                const std::string name = entry->d_name;
                if (name.size() > 3 && name.compare(name.size() - 3, 3, ".md") == 0)
                    result.push_back({name, ReadFile(kDocs + name)});
            }
            closedir(dir);
        }
        std::sort(result.begin(), result.end(), [](const Page& a, const Page& b) { return a.name < b.name; });
        return result;
    }();
    return pages;
}

// The words of a command shown on a page, with the paths of the repository made absolute.
std::vector<std::string> Arguments(const std::string& command)
{
    std::istringstream words(command);
    std::vector<std::string> args;
    for (std::string word; words >> word;)
    {
        const bool path = word.rfind("docs/", 0) == 0 || word.rfind("examples/", 0) == 0;
        args.push_back(path ? KRAVIK_SOURCE_DIR "/" + word : word);
    }
    return args;
}

TEST(DocsTest, ShownCommandsEndWithTheStatedExitCode)
{
    static const std::regex shown(R"(^    kravik (.*\S)\s+# exit code ([0-9]+)$)");
    int commands = 0;
    for (const Page& page : Pages())
    {
        std::istringstream lines(page.text);
        std::smatch match;
        for (std::string line; std::getline(lines, line);)
            if (std::regex_match(line, match, shown))
            {
                const KravikRun run = RunKravik(Arguments(match[1]));
                EXPECT_EQ(std::stoi(match[2]), run.exitCode) << page.name << ": kravik " << match[1] << "\n" << run.err;
                ++commands;
            }
    }
    EXPECT_GE(commands, 8);
}

// The commands of the examples' table end with the exit code it gives, and the designs that
// examples/README.md says carry fault entries are the ones whose check says an injected fault fired.
TEST(DocsTest, ExampleTableCommandsEndAsStatedAndNameTheFaultedExamples)
{
    const std::string readme = ReadFile(ExamplePath("README.md"));
    static const std::regex row(R"(\n\| `([^`]+)` \|.*`((?:[A-Z_]+=\S+ )*)kravik ([^`]+)` \(exit code ([0-9]+)\))");
    std::set<std::string> faulted;
    int rows = 0;
    for (std::sregex_iterator it(readme.begin(), readme.end(), row), end; it != end; ++it, ++rows)
    {
        std::istringstream settings((*it)[2].str());
        std::vector<std::string> env;
        for (std::string setting; settings >> setting;)
            env.push_back(setting);
        const KravikRun run = RunKravik(Arguments((*it)[3]), env);
        EXPECT_EQ(std::stoi((*it)[4]), run.exitCode) << (*it)[0] << run.err;
        if (run.err.find(" injected fault") != std::string::npos)
            faulted.insert((*it)[1]);
    }
    EXPECT_EQ(8, rows);

    const size_t said = readme.find(" carry fault entries");
    ASSERT_NE(std::string::npos, said);
    const std::string sentence = readme.substr(readme.rfind("\n\n", said), said - readme.rfind("\n\n", said));
    static const std::regex file("`([a-z-]+\\.json)`");
    std::set<std::string> named;
    for (std::sregex_iterator it(sentence.begin(), sentence.end(), file), end; it != end; ++it)
        named.insert((*it)[1]);
    EXPECT_EQ(faulted, named);
}

std::vector<std::string> Check(const std::string& example, const char* constraints = "constraints.json")
{
    return {"check", kDocs + "examples/" + example, "--constraints", kDocs + "examples/" + constraints};
}

// The clean example is clean whichever tests the environment adds, and the codes of the broken one
// are the ones design-file.md explains.
TEST(DocsTest, ExamplesReportWhatThePagesSay)
{
    for (const std::vector<std::string>& env : std::vector<std::vector<std::string>>{
             {}, {"NORV_CIC_RUN_HIDDEN_TESTS=1"}, {"NORV_TAMSA_FLOW=1"}})
        EXPECT_EQ(0, RunKravik(Check("board.json"), env).exitCode) << (env.empty() ? "" : env[0]);

    const KravikRun broken = RunKravik(Check("broken-board.json"));
    EXPECT_EQ(4, broken.exitCode);
    std::set<std::string> codes;
    static const std::regex coded(R"(^(ERROR|WARNING|INFO) ([0-9]+): )");
    std::istringstream lines(broken.out);
    std::smatch match;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, match, coded))
            codes.insert(match[2]);
    const std::string page = ReadFile(kDocs + "design-file.md");
    const std::string told = page.substr(page.find("The checks report 505"));
    for (const std::string& code : codes)
        EXPECT_NE(std::string::npos, told.find(" " + code + " ")) << "design-file.md does not explain " << code;
    EXPECT_EQ(5u, codes.size()) << broken.out;
}

// The fenced JSON of every page loads: whole files as they are, fragments put into the clean example
// (an object with an id over the example's object of that id, other keys into the session, the first
// physical net or the first design pin).
TEST(DocsTest, ShownJsonLoads)
{
    static const std::regex fence("```json\n([^`]*)```");
    const Json board = Json::parse(ReadFile(kDocs + "examples/board.json"));
    TempDir dir;
    int blocks = 0;
    for (const Page& page : Pages())
        for (std::sregex_iterator it(page.text.begin(), page.text.end(), fence), end; it != end; ++it)
        {
            const std::string text = (*it)[1];
            const std::string where = page.name + " block " + std::to_string(++blocks) + ":\n" + text;
            Json shown = Json::parse(text, nullptr, false);
            if (shown.is_discarded())
                shown = Json::parse("{" + text + "}", nullptr, false);
            ASSERT_FALSE(shown.is_discarded()) << where;

            Json design = board;
            if (shown.value("format", "") == "kravik-constraints")
            {
                norv_ordaxcons::COrdaxConstraintDefs defs;
                const std::string file = dir.File("constraints.json");
                WriteFile(file, text);
                EXPECT_TRUE(defs.LoadCnsFile(file, false, true)) << where << defs.GetLastError();
                continue;
            }
            if (shown.contains("format"))
                design = shown;
            else if (shown.contains("id"))
            {
                bool found = false;
                std::function<void(Json&)> merge = [&](Json& node) {
                    if (node.is_object() && node.value("id", "") == shown["id"])
                    {
                        node.update(shown);
                        found = true;
                    }
                    for (Json& child : node)
                        if (child.is_structured())
                            merge(child);
                };
                merge(design);
                EXPECT_TRUE(found) << where;
            }
            else
                for (const auto& item : shown.items())
                {
                    Json& config = design["snapshots"][0];
                    Json& target = item.key() == "session" ? design
                        : item.key() == "attributes"       ? config["defaultConfigs"][0]["logicComps"][0]["pins"][0]
                                                           : config["norvConfigs"][0]["physicalNets"][0];
                    target[item.key()] = item.value();
                }
            const std::string file = dir.File("design.json");
            WriteFile(file, design.dump(1));
            Lumo::StandIn::LoadError error;
            EXPECT_TRUE(Lumo::StandIn::LoadSession(file, &error) != nullptr) << where << error.path << ": " << error.message;
        }
    EXPECT_GE(blocks, 5);
}

// The owner and level that constraints-file.md gives each kind are those the constraint check
// looks the kind's constraints up under.
TEST(DocsTest, ConstraintsPageGivesTheCheckedOwnerAndLevelOfEachKind)
{
    const std::string page = ReadFile(kDocs + "constraints-file.md");
    const size_t from = page.find("## Owners and levels the checks use");
    ASSERT_NE(std::string::npos, from);
    const std::string section = page.substr(from, page.find("**What", from) - from);

    using Lumo::StandIn::Kind;
    std::map<std::string, int> types;
    for (unsigned k = 1; k < static_cast<unsigned>(Kind::Count); ++k)
        types[Lumo::StandIn::KindName(static_cast<Kind>(k))] = Lumo::StandIn::TypeOfKind(static_cast<Kind>(k));

    static const std::regex row(R"(\n\| ([A-Za-z0-9, ]+)[^|]*\| `([A-Z_]+)` \| ([^|\n]+) \|)");
    static const std::regex word(R"([A-Za-z0-9]+)");
    CConsChecker checker;
    int rows = 0;
    for (std::sregex_iterator it(section.begin(), section.end(), row), end; it != end; ++it)
    {
        const std::string kindCell = (*it)[1], owner = (*it)[2], levelCell = (*it)[3];
        std::vector<std::string> kinds, levels;
        for (std::sregex_iterator w(kindCell.begin(), kindCell.end(), word); w != end; ++w)
            kinds.push_back(w->str());
        for (std::sregex_iterator w(levelCell.begin(), levelCell.end(), word); w != end; ++w)
            levels.push_back(w->str());
        ASSERT_EQ(kinds.size(), levels.size()) << (*it)[0];
        for (size_t i = 0; i < kinds.size(); ++i)
        {
            ASSERT_EQ(1u, types.count(kinds[i])) << kinds[i];
            std::string level;
            EXPECT_TRUE(checker.getLevelName(static_cast<Lumo::EObjectType>(types[kinds[i]]), owner, level)) << kinds[i];
            EXPECT_EQ(levels[i], level) << kinds[i] << " under " << owner;
            ++rows;
        }
    }
    EXPECT_EQ(32, rows);
}

// Every kind of the loader appears in the kind table of design-file.md with its type, and every key
// of the loader is named on the page.
TEST(DocsTest, DesignPageNamesEveryKindAndKeyOfTheLoader)
{
    const std::string page = ReadFile(kDocs + "design-file.md");
    static const std::regex row(R"(\n\| `([A-Za-z0-9]+)` \| ([0-9]+) \|)");
    std::map<std::string, int> documented;
    for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it)
        documented[(*it)[1]] = std::stoi((*it)[2]);

    using Lumo::StandIn::Kind;
    std::map<std::string, int> loader;
    for (unsigned k = 1; k < static_cast<unsigned>(Kind::Count); ++k)
        loader[Lumo::StandIn::KindName(static_cast<Kind>(k))] = Lumo::StandIn::TypeOfKind(static_cast<Kind>(k));
    EXPECT_EQ(loader, documented);

    using Lumo::StandIn::Field;
    for (unsigned f = 0; f < static_cast<unsigned>(Field::Count); ++f)
    {
        const std::string key = Lumo::StandIn::FieldName(static_cast<Field>(f));
        EXPECT_NE(std::string::npos, page.find("`" + key + "`")) << key;
    }
}

} // namespace
} // namespace KravikTest
