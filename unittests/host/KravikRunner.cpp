#include "KravikRunner.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace KravikTest {

namespace {

std::vector<std::string> MergedEnvironment(std::vector<std::string> changes)
{
    // The switches that decide which tests are registered start unset, whatever the caller's.
    changes.insert(changes.begin(), {"NORV_CIC_RUN_HIDDEN_TESTS=", "NORV_TAMSA_FLOW=", "QUIL_VERSION="});
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry)
        result.emplace_back(*entry);
    for (const std::string& change : changes)
    {
        const std::string name = change.substr(0, change.find('=') + 1);
        result.erase(std::remove_if(result.begin(), result.end(),
                                    [&name](const std::string& e) { return e.compare(0, name.size(), name) == 0; }),
                     result.end());
        if (change.size() > name.size())
            result.push_back(change);
    }
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts)
        result.push_back(&text[0]);
    result.push_back(nullptr);
    return result;
}

} // namespace

namespace {

// Starts kravik with standard input from /dev/null, standard output to `outFile` (or closed) and
// standard error to `errPath` (a file or a terminal), through the program `launcher` when given;
// returns its process id.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& outFile,
            const std::string& errPath, const std::vector<std::string>& launcher = {})
{
    std::vector<std::string> argv = launcher;
    argv.push_back(KRAVIK_BINARY_DIR "/host/kravik");
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp = MergedEnvironment(env);
    std::vector<char*> argPtrs = Pointers(argv), envPtrs = Pointers(envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFile == kClosedOutput)
        posix_spawn_file_actions_addclose(&actions, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argPtrs.data(), envPtrs.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        throw std::runtime_error(std::string("cannot start kravik: ") + std::strerror(spawned));
    return pid;
}

// Waits for the process to end; with `whileStopped`, calls it each time the process stops and
// continues it.
void WaitForExit(pid_t pid, KravikRun& run, const std::function<void()>& whileStopped = nullptr)
{
    for (;;)
    {
        int status = 0;
        struct rusage usage;
        if (wait4(pid, &status, whileStopped ? WUNTRACED : 0, &usage) < 0)
        {
            if (errno != EINTR)
                throw std::runtime_error("waitpid failed");
            continue;
        }
        if (WIFSTOPPED(status))
        {
            whileStopped();
            kill(pid, SIGCONT);
            continue;
        }
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        run.maxResidentKb = usage.ru_maxrss;
        return;
    }
}

// A pseudo-terminal: the master side to read, and the path of the terminal to hand to kravik.
int OpenTerminal(std::string& terminal)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    terminal = ptsname(master);
    return master;
}

// Appends what the terminal receives to `text` until the program has closed its side; before each
// read `react` may act on the text so far. Reading while the program runs keeps a full terminal
// buffer from blocking it; reading fails once the program has closed its side.
template <typename React>
void ReadTerminal(int master, std::string& text, React react)
{
    char buffer[4096];
    for (ssize_t got; (react(text), got = read(master, buffer, sizeof buffer)) != 0;)
    {
        if (got > 0)
            text.append(buffer, static_cast<size_t>(got));
        else if (errno != EINTR)
            break;
    }
    close(master);
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Runs kravik with standard error on a pseudo-terminal, `react` seeing the terminal's text.
template <typename React>
KravikRun RunOnTerminal(const std::vector<std::string>& args, const std::vector<std::string>& env, React react,
                        bool outputToo = false)
{
    std::string terminal;
    const int master = OpenTerminal(terminal);
    TempDir capture;
    const pid_t pid = Spawn(args, env, outputToo ? terminal : capture.File("out"), terminal);
    KravikRun run;
    ReadTerminal(master, run.err, [&](const std::string& text) { react(pid, text); });
    WaitForExit(pid, run);
    if (!outputToo)
        run.out = ReadFile(capture.File("out"));
    return run;
}

} // namespace

KravikRun RunKravik(const std::vector<std::string>& args, const std::vector<std::string>& env)
{
    return RunKravikStopped(args, env, nullptr);
}

KravikRun RunKravikStopped(const std::vector<std::string>& args, const std::vector<std::string>& env,
                           const std::function<void()>& whileStopped, bool withoutOwnerCapability)
{
    TempDir capture;
    const std::vector<std::string> launcher = withoutOwnerCapability
        ? std::vector<std::string>{"/usr/bin/setpriv", "--bounding-set", "-fowner", "--"}
        : std::vector<std::string>{};
    KravikRun run;
    WaitForExit(Spawn(args, env, capture.File("out"), capture.File("err"), launcher), run, whileStopped);
    run.out = ReadFile(capture.File("out"));
    run.err = ReadFile(capture.File("err"));
    return run;
}

KravikRun RunKravikWithOutputTo(const std::vector<std::string>& args, const std::string& standardOutput)
{
    TempDir capture;
    KravikRun run;
    WaitForExit(Spawn(args, {}, standardOutput, capture.File("err")), run);
    run.err = ReadFile(capture.File("err"));
    return run;
}

std::vector<KravikRun> RunKravikTogether(const std::vector<std::vector<std::string>>& argLists,
                                         const std::vector<std::string>& env)
{
    TempDir capture;
    std::vector<pid_t> pids;
    for (size_t n = 0; n < argLists.size(); ++n)
        pids.push_back(Spawn(argLists[n], env, capture.File("out" + std::to_string(n)),
                             capture.File("err" + std::to_string(n))));
    std::vector<KravikRun> runs(argLists.size());
    for (size_t n = 0; n < argLists.size(); ++n)
    {
        WaitForExit(pids[n], runs[n]);
        runs[n].out = ReadFile(capture.File("out" + std::to_string(n)));
        runs[n].err = ReadFile(capture.File("err" + std::to_string(n)));
    }
    return runs;
}

KravikRun RunKravikOnTerminal(const std::vector<std::string>& args, const std::vector<std::string>& env, bool outputToo)
{
    return RunOnTerminal(args, env, [](pid_t, const std::string&) {}, outputToo);
}

KravikRun RunKravikInterrupted(const std::vector<std::string>& args, int presses, const std::string& firstAfter)
{
    int pressed = 0;
    return RunOnTerminal(args, {}, [&](pid_t pid, const std::string& text) {
        const bool ready = pressed == 0 ? text.find(firstAfter) != std::string::npos
                                        : Count(text, "press Ctrl-C again") == static_cast<size_t>(pressed);
        if (pressed < presses && ready)
        {
            kill(pid, SIGINT);
            ++pressed;
        }
    });
}

namespace {

using Json = nlohmann::ordered_json;

const TempDir& VariantsDir()
{
    static const TempDir dir;
    return dir;
}

std::string WriteCleanVariant(const std::string& name, void (*edit)(Json&))
{
    Json design = Json::parse(ReadFile(ExamplePath("clean.json")));
    edit(design);
    const std::string path = VariantsDir().File(name);
    WriteFile(path, design.dump(1));
    return path;
}

} // namespace

const std::string& TwoSnapshotDesign()
{
    static const std::string path = WriteCleanVariant("two-snapshots.json", [](Json& design) {
        Json draft = design["snapshots"][0], final = draft;
        draft["id"] = "S_DRAFT"; // snapshot ids share the session's scope
        draft["name"] = "draft";
        draft["norvConfigs"][0]["design"].erase("genClears");
        final["name"] = "final";
        final["norvConfigs"][0]["design"]["index"] = "500-0-21";
        final["norvConfigs"].push_back(Json{{"topBlock", "SUB"}});
        design["snapshots"] = Json::array({draft, final});
    });
    return path;
}

const std::string& LockedDesign()
{
    static const std::string path = WriteCleanVariant("locked.json", [](Json& design) {
        Json& snapshot = design["snapshots"][0];
        snapshot["locks"] = Json::array(
            {Json{{"object", snapshot["norvConfigs"][0]["id"]}, {"address", "ws-2:99"}, {"subClient", "Editor (FE NORV)"}}});
    });
    return path;
}

std::string ExamplePath(const std::string& name)
{
    return KRAVIK_SOURCE_DIR "/examples/" + name;
}

std::string DataPath(const std::string& name)
{
    return KRAVIK_SOURCE_DIR "/unittests/host/data/" + name;
}

std::string NormaliseTimes(const std::string& log)
{
    std::istringstream lines(log);
    std::string result, line;
    while (std::getline(lines, line))
    {
        const bool timeLine = line.rfind("Time: ", 0) == 0 && line.size() > 14
            && line.compare(line.size() - 8, 8, " seconds") == 0
            && line.find_first_not_of("-0123456789", 6) == line.size() - 8;
        result += (timeLine ? "Time: N seconds" : line) + (lines.eof() ? "" : "\n");
    }
    return result;
}

namespace {

const std::string kRule = std::string(99, '-') + "\n";

std::string OkBlock(const std::string& name)
{
    return "Test: " + name + "\nResult: OK\nTime: 0 seconds\n\n" + kRule;
}

// A log as the text before the first test block and the blocks, each from its "Test: " line to its
// rule of dashes, keyed by test name in log order.
struct ParsedLog
{
    std::string prologue;
    std::vector<std::pair<std::string, std::string>> blocks;
};

ParsedLog ParseLog(const std::string& log)
{
    ParsedLog parsed;
    std::istringstream lines(log);
    std::string line;
    std::string* current = &parsed.prologue;
    bool inBlock = false;
    while (std::getline(lines, line))
    {
        if (!inBlock && line.rfind("Test: ", 0) == 0)
        {
            parsed.blocks.emplace_back(line.substr(6), "");
            current = &parsed.blocks.back().second;
            inBlock = true;
        }
        *current += line + (lines.eof() ? "" : "\n");
        if (inBlock && line + "\n" == kRule)
            inBlock = false;
    }
    return parsed;
}

std::string FirstDifference(const std::string& want, const std::string& got, const std::string& what)
{
    std::istringstream wantLines(want), gotLines(got);
    std::string w, g;
    for (int line = 1;; ++line)
    {
        const bool moreWant = static_cast<bool>(std::getline(wantLines, w));
        const bool moreGot = static_cast<bool>(std::getline(gotLines, g));
        if (!moreWant && !moreGot)
            return "the texts differ in their line ends (" + what + ")";
        if (!moreWant || !moreGot || w != g)
            return what + ", line " + std::to_string(line) + ":\n  expected: " + (moreWant ? "\"" + w + "\"" : "<end>")
                + "\n  actual:   " + (moreGot ? "\"" + g + "\"" : "<end>") + "\nwhole actual text:\n" + got;
    }
}

} // namespace

std::vector<std::string> RegisteredTests(const std::vector<std::string>& env)
{
    // Lines "N\t <name padded with blanks>\t<description>", each followed by an empty line.
    const KravikRun run = RunKravik({"list-tests"}, env);
    std::vector<std::string> names;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line))
    {
        const size_t first = line.find("\t ");
        const size_t second = first == std::string::npos ? first : line.find('\t', first + 2);
        if (second == std::string::npos)
            continue;
        std::string name = line.substr(first + 2, second - first - 2);
        name.erase(name.find_last_not_of(' ') + 1);
        names.push_back(name);
    }
    return names;
}

std::string CompareLog(const std::string& actual, const std::string& expectedFile,
                       const std::vector<std::string>& testNames)
{
    const char* update = std::getenv("KRAVIK_UPDATE_EXPECTED");
    if (update != nullptr && std::strcmp(update, "1") == 0)
    {
        const ParsedLog parsed = ParseLog(actual);
        std::string sparse = parsed.prologue;
        for (const auto& block : parsed.blocks)
            if (NormaliseTimes(block.second) != NormaliseTimes(OkBlock(block.first)))
                sparse += block.second;
        WriteFile(expectedFile, sparse);
    }
    if (!FileExists(expectedFile))
        return "no expected file " + expectedFile;

    const ParsedLog sparse = ParseLog(ReadFile(expectedFile));
    std::string want = sparse.prologue;
    size_t used = 0;
    for (const std::string& name : testNames)
    {
        const auto block = std::find_if(sparse.blocks.begin(), sparse.blocks.end(),
                                        [&name](const std::pair<std::string, std::string>& b) { return b.first == name; });
        want += block == sparse.blocks.end() ? OkBlock(name) : block->second;
        used += block == sparse.blocks.end() ? 0 : 1;
    }
    if (used != sparse.blocks.size())
        return expectedFile + " holds a block of a test that is not registered";
    return NormaliseTimes(want) == NormaliseTimes(actual)
        ? ""
        : FirstDifference(NormaliseTimes(want), NormaliseTimes(actual), expectedFile);
}

} // namespace KravikTest
