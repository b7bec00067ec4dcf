#include "SweepSupport.h"

#include <cstdlib>

namespace KravikSweep {

std::string ExamplePath(const std::string& name)
{
    return std::string(KRAVIK_SOURCE_DIR) + "/examples/" + name;
}

unsigned long SweepStride()
{
    const char* strideText = std::getenv("KRAVIK_SWEEP_STRIDE");
    return strideText && std::atol(strideText) > 0 ? std::atol(strideText) : 1;
}

std::vector<std::string> ExampleDesigns()
{
    std::vector<std::string> designs;
    for (const std::string& name : KravikTest::ListFolder(ExamplePath("")))
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0 && name.find("constraints") == std::string::npos)
            designs.push_back(name);
    return designs;
}

std::string TextlessFailure(const std::string& log)
{
    const size_t at = log.find(" Database error: .");
    if (at == std::string::npos)
        return "";
    const size_t begin = log.rfind('\n', at);
    const size_t from = begin == std::string::npos ? 0 : begin + 1;
    return log.substr(from, log.find('\n', at) - from);
}

FileState StateOf(const std::string& path)
{
    FileState state;
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        state.modified = info.st_mtim;
    state.bytes = ReadFile(path);
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

} // namespace KravikSweep
