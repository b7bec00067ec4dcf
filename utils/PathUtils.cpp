#include "utils/PathUtils.h"

#include "utils/TextUtils.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

namespace LumoUtils {

namespace {

// The path without all its trailing backslashes, or unchanged when it holds nothing else.
std::string withoutTrailingBackslashes(const std::string& path)
{
    const std::size_t last = path.find_last_not_of('\\');
    return last == std::string::npos ? path : path.substr(0, last + 1);
}

// One trailing backslash removed, when there is one.
void stripOneTrailingBackslash(std::string& path)
{
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
}

// The normalized directory with a backslash appended, unless it is a root.
std::string asDirectoryPrefix(const std::string& dir)
{
    std::string prefix = dir;
    normalizePath(prefix);
    if (!isRootPath(prefix))
        prefix += '\\';
    return prefix;
}

// The normalized path with a backslash appended, and whether it begins with prefix (no case).
bool startsWithDirectory(const std::string& path, const std::string& prefix, std::string& full)
{
    full = path;
    normalizePath(full);
    full += '\\';
    return toLower(full).compare(0, prefix.size(), toLower(prefix)) == 0;
}

} // namespace

std::string& toForwardSlashes(std::string& path)
{
    return replaceChar(path, '\\', '/');
}

std::string& toBackslashes(std::string& path)
{
    return replaceChar(path, '/', '\\');
}

std::string& normalizePath(std::string& path)
{
    toBackslashes(path);
    if (!path.empty() && !isRootPath(path))
        stripOneTrailingBackslash(path);
    return path;
}

std::string fullPath(const std::string& path)
{
    std::string copy = path;
    toBackslashes(copy);

    // Split into a root that is kept as is and the components below it.
    std::string root;
    std::string rest;
    if (copy.size() >= 2 && copy[0] == '\\' && copy[1] == '\\') {
        root = "\\\\";
        rest = copy.substr(2);
    } else if (copy.size() >= 2 && copy[1] == ':') {
        root = copy.substr(0, 2) + "\\";
        rest = copy.substr(2);
    } else if (!copy.empty() && copy[0] == '\\') {
        root = "\\";
        rest = copy.substr(1);
    } else {
        const std::string cwd = currentDirectory();
        if (cwd.empty())
            return normalizePath(copy);
        const std::string cwdFull = fullPath(cwd);
        if (cwdFull.empty() || cwdFull[0] != '\\')
            return normalizePath(copy);
        root = "\\";
        rest = cwdFull.substr(1) + "\\" + copy;
    }

    std::vector<std::string> parts;
    for (const std::string& part : split(rest, "\\")) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result = root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += '\\';
        result += parts[i];
    }
    return normalizePath(result);
}

std::string joinPath(const std::string& a, const std::string& b)
{
    const std::string left = withoutTrailingBackslashes(a);
    const std::size_t first = b.find_first_not_of('\\');
    const std::string right = first == std::string::npos ? b : b.substr(first);
    if (right.empty())
        return left;
    if (left.empty())
        return right;
    if (a.find_first_not_of('\\') == std::string::npos)
        return left + right;
    return left + '\\' + right;
}

std::string joinNormalizedPaths(const std::string& a, const std::string& b)
{
    std::string left = a;
    std::string right = b;
    return joinPath(normalizePath(left), normalizePath(right));
}

void splitPath(const std::string& path, std::string& dir, std::string& name)
{
    const std::size_t p = path.find_last_not_of('\\');
    if (p == std::string::npos) {
        dir = path;
        name.clear();
        return;
    }
    const std::size_t q = path.rfind('\\', p);
    if (q == std::string::npos) {
        dir.clear();
        name = path.substr(0, p + 1);
        return;
    }
    name = path.substr(q + 1, p - q);
    dir = withoutTrailingBackslashes(path.substr(0, q + 1));
}

std::string parentDirectory(const std::string& path)
{
    const std::size_t p = path.find_last_not_of('\\');
    if (p == std::string::npos)
        return path;
    const std::size_t q = path.rfind('\\', p);
    if (q == std::string::npos)
        return std::string();
    return withoutTrailingBackslashes(path.substr(0, q));
}

std::string currentDirectory()
{
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE || buffer.size() >= (1u << 20))
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
    std::string cwd = buffer.data();
    return toBackslashes(cwd);
}

std::string absolutePath(const std::string& path)
{
    if (isAbsolutePath(path))
        return path;
    return joinPath(currentDirectory(), path);
}

std::string relativePath(const std::string& path, const std::string& base)
{
    const std::string prefix = asDirectoryPrefix(base);
    std::string full;
    if (!startsWithDirectory(path, prefix, full))
        return path;
    std::string rest = full.substr(prefix.size());
    stripOneTrailingBackslash(rest);
    return rest;
}

bool isInsideDirectory(const std::string& path, const std::string& dir)
{
    std::string full;
    return startsWithDirectory(path, asDirectoryPrefix(dir), full);
}

bool isRootPath(const std::string& path)
{
    const std::size_t last = path.find_last_not_of('\\');
    return last == std::string::npos || path[last] == ':';
}

bool isAbsolutePath(const std::string& path)
{
    return path.size() >= 2 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
}

bool isUncPath(const std::string& path)
{
    return path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
}

} // namespace LumoUtils
