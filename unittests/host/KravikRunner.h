// Runs the built kravik program for the end-to-end tests and compares its output with the expected
// texts under unittests/host/data. Setting KRAVIK_UPDATE_EXPECTED=1 rewrites the expected files from
// the actual output (for when a new test changes the logs), and the comparison then passes.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace KravikTest {

struct KravikRun
{
    int exitCode = -1; // -1: the program did not exit normally (crash, signal)
    std::string out;
    std::string err;
};

// Runs kravik with the arguments, the environment of the test program plus `env` (NAME=VALUE
// entries; an entry "NAME=" unsets NAME), in directory `cwd` (empty: the current one).
KravikRun RunKravik(const std::vector<std::string>& args,
                    const std::vector<std::string>& env = {}, const std::string& cwd = "");

std::string ExamplePath(const std::string& name); // examples/<name>
std::string DataPath(const std::string& name);    // unittests/host/data/<name>

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Replaces the seconds of every "Time: N seconds" line, the one run-dependent text of a log.
std::string NormaliseTimes(const std::string& log);

// Empty when `actual` equals the expected file (times normalised on both sides); otherwise a
// description of the first difference.
std::string CompareWithExpected(const std::string& actual, const std::string& expectedFile);

// A fresh directory under the system's temporary directory, removed with its files on destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> List() const; // file names, sorted

private:
    std::string m_path;
};

} // namespace KravikTest
