// What the sweeps share: the example designs, file bytes and a temporary folder per case.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace KravikSweep {

std::string ExamplePath(const std::string& name); // examples/<name>

// The example designs (every file of examples/ but the constraints files), by file name.
std::vector<std::string> ExampleDesigns();

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// A file's bytes with its modification time, to show that a run left it as it was.
struct FileState
{
    std::string bytes;
    timespec modified{};
};
FileState StateOf(const std::string& path);
// Empty when `path` still has `before`'s bytes and modification time; otherwise what changed.
std::string ChangeOf(const std::string& path, const FileState& before);

// A fresh folder under the system's temporary folder, removed with everything in it on destruction.
class SweepDir
{
public:
    SweepDir();
    ~SweepDir();
    SweepDir(const SweepDir&) = delete;
    SweepDir& operator=(const SweepDir&) = delete;

    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> List() const; // the names in it, sorted, without "." and ".."

private:
    std::string m_path;
};

} // namespace KravikSweep
