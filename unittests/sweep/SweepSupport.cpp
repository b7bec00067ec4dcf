#include "SweepSupport.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace KravikSweep {

std::string ExamplePath(const std::string& name)
{
    return std::string(KRAVIK_SOURCE_DIR) + "/examples/" + name;
}

namespace {

std::vector<std::string> Names(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str()))
    {
        while (dirent* e = readdir(d))
        {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::vector<std::string> ExampleDesigns()
{
    std::vector<std::string> designs;
    for (const std::string& name : Names(ExamplePath("")))
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0 && name.find("constraints") == std::string::npos)
            designs.push_back(name);
    return designs;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

FileState StateOf(const std::string& path)
{
    FileState state;
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        state.modified = info.st_mtim;
    state.bytes = ReadBytes(path);
    return state;
}

std::string ChangeOf(const std::string& path, const FileState& before)
{
    const FileState after = StateOf(path);
    if (after.bytes != before.bytes)
        return path + ": the bytes changed";
    if (after.modified.tv_sec != before.modified.tv_sec || after.modified.tv_nsec != before.modified.tv_nsec)
        return path + ": the modification time changed";
    return "";
}

SweepDir::SweepDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kravik-sweep-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

SweepDir::~SweepDir()
{
    for (const std::string& name : List())
        unlink(File(name).c_str());
    rmdir(m_path.c_str());
}

std::vector<std::string> SweepDir::List() const
{
    return Names(m_path);
}

} // namespace KravikSweep
