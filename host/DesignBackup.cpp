#include "host/DesignFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KravikHost {

namespace {

std::string SystemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t written = write(fd, data, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Copies source into the open file `target`, keeping the source's permissions.
bool CopyInto(int source, int target, std::string& error)
{
    struct stat info;
    if (fstat(source, &info) != 0 || fchmod(target, info.st_mode & 07777) != 0)
    {
        error = SystemError("cannot copy the permissions");
        return false;
    }
    std::vector<char> buffer(1 << 16);
    for (;;)
    {
        const ssize_t got = read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            error = SystemError("cannot read the design");
            return false;
        }
        if (got == 0)
            break;
        if (!WriteAll(target, buffer.data(), static_cast<size_t>(got)))
        {
            error = SystemError("cannot write the backup");
            return false;
        }
    }
    if (fsync(target) != 0)
    {
        error = SystemError("cannot write the backup");
        return false;
    }
    return true;
}

// Removes the named temporary copies (`prefix` and six characters) that a backup killed on a file
// system without unnamed files left beside the design.
void RemoveStaleBackupTemporaries(const std::string& dir, const std::string& prefix)
{
    DIR* d = opendir(dir.c_str());
    if (!d)
        return;
    while (dirent* e = readdir(d))
    {
        const std::string name = e->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            unlinkat(dirfd(d), name.c_str(), 0);
    }
    closedir(d);
}

// The absolute path of a file, its folder's symbolic links resolved where the folder exists (else
// "." and ".." taken out as written), so that two spellings of a file not yet created compare equal.
std::string NormalPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (char* real = realpath(folder.c_str(), nullptr))
    {
        const std::string resolved = std::string(real) + "/" + path.substr(slash + 1);
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

} // namespace

BackupCopy::~BackupCopy()
{
    if (m_fd >= 0)
        close(m_fd);
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
}

bool BackupCopy::Prepare(const std::string& path, std::string& error)
{
    m_backup = path + ".bak";
    const int source = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
    {
        error = SystemError("cannot read the design");
        return false;
    }
    const size_t slash = m_backup.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : m_backup.substr(0, slash == 0 ? 1 : slash);
    const std::string temporary = SiblingName(m_backup, ".XXXXXX");
    const std::string temporaryName = slash == std::string::npos ? temporary : temporary.substr(slash + 1);
    RemoveStaleBackupTemporaries(dir, temporaryName.substr(0, temporaryName.size() - 6));

    // The copy is written unnamed where the file system allows it, so that a killed copy leaves
    // nothing behind; it gets the backup's name once it is kept. Elsewhere it is a named temporary
    // file that is renamed onto the backup.
    m_fd = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    m_unnamed = m_fd >= 0;
    if (!m_unnamed)
    {
        m_temporary = temporary;
        m_fd = mkostemp(&m_temporary[0], O_CLOEXEC);
        if (m_fd < 0)
            m_temporary.clear();
    }
    if (m_fd < 0)
    {
        error = SystemError("cannot create " + m_backup);
        close(source);
        return false;
    }
    const bool ok = CopyInto(source, m_fd, error);
    close(source);
    return ok;
}

bool BackupCopy::Keep(std::string& error)
{
    bool ok = true;
    if (m_unnamed)
    {
        // Until the link, the design itself still holds what the earlier backup is replaced with.
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        if ((unlink(m_backup.c_str()) != 0 && errno != ENOENT)
            || linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_backup.c_str(), AT_SYMLINK_FOLLOW) != 0)
        {
            error = SystemError("cannot create " + m_backup);
            ok = false;
        }
    }
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0 && ok)
    {
        error = SystemError("cannot write the backup");
        ok = false;
    }
    if (!m_unnamed && ok && rename(m_temporary.c_str(), m_backup.c_str()) != 0)
    {
        error = SystemError("cannot create " + m_backup);
        ok = false;
    }
    if (ok)
        m_temporary.clear();
    return ok;
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
    return NormalPath(current);
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
