// Paths of the files a command reads and writes: how they compare, and the names made beside them.
#include "host/DesignFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace KravikHost {

std::string AbsolutePath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (char* real = realpath(folder.c_str(), nullptr))
    {
        const std::string folderPath = real;
        const std::string resolved = folderPath + (folderPath == "/" ? "" : "/") + path.substr(slash + 1);
        std::free(real);
        return resolved;
    }
    std::string absolute = path;
    if (!path.empty() && path[0] != '/')
    {
        char* cwd = getcwd(nullptr, 0);
        absolute = std::string(cwd != nullptr ? cwd : "") + "/" + path;
        std::free(cwd);
    }
    std::vector<std::string> parts;
    for (size_t start = 0, end; start <= absolute.size(); start = end + 1)
    {
        end = std::min(absolute.find('/', start), absolute.size());
        const std::string part = absolute.substr(start, end - start);
        if (part == "..")
        {
            if (!parts.empty())
                parts.pop_back();
        }
        else if (!part.empty() && part != ".")
            parts.push_back(part);
    }
    std::string normal;
    for (const std::string& part : parts)
        normal += "/" + part;
    return normal;
}

std::string SiblingName(const std::string& path, const std::string& suffix)
{
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t nameSize = path.size() - nameStart;
    if (nameSize + suffix.size() <= NAME_MAX)
        return path + suffix;
    uint64_t hash = 14695981039346656037ull; // FNV-1a of the whole name
    for (size_t i = nameStart; i < path.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(path[i])) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return path.substr(0, nameStart + NAME_MAX - suffix.size() - 16) + hex + suffix;
}

std::string ResolvedPath(const std::string& path)
{
    // The links of the name itself are followed even where their target does not exist yet.
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop)
    {
        char target[PATH_MAX];
        const ssize_t size = readlink(current.c_str(), target, sizeof target);
        if (size <= 0 || static_cast<size_t>(size) >= sizeof target)
            break;
        const std::string link(target, static_cast<size_t>(size));
        const size_t slash = current.rfind('/');
        current = link[0] == '/' || slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
    }
    return AbsolutePath(current);
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    const bool firstExists = stat(a.c_str(), &first) == 0, secondExists = stat(b.c_str(), &second) == 0;
    if (firstExists || secondExists)
        return firstExists && secondExists && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return ResolvedPath(a) == ResolvedPath(b);
}

std::string UnsavablePath(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return "not a regular file";
    return "";
}

std::string OverwrittenFile(const std::vector<CommandFile>& inputs, const std::vector<CommandFile>& outputs)
{
    for (size_t i = 0; i < outputs.size(); ++i)
    {
        const CommandFile& output = outputs[i];
        if (output.path.empty())
            continue;
        for (const CommandFile& input : inputs)
            if (!input.path.empty() && SameFile(output.path, input.path))
                return std::string(output.what) + " would overwrite " + input.what;
        for (size_t j = i + 1; j < outputs.size(); ++j)
            if (!outputs[j].path.empty() && SameFile(output.path, outputs[j].path))
                return std::string(output.what) + " and " + outputs[j].what + " are the same file";
    }
    return "";
}

} // namespace KravikHost
