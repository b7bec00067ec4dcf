#include "host/DesignFile.h"

#include <algorithm>
#include <cerrno>
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

// Removes the named temporary copies ("<backup>." and six characters) that a backup killed on a
// file system without unnamed files left beside the design.
void RemoveStaleBackupTemporaries(const std::string& dir, const std::string& backupName)
{
    DIR* d = opendir(dir.c_str());
    if (!d)
        return;
    const std::string prefix = backupName + ".";
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

bool KeepBackup(const std::string& path, std::string& error)
{
    const std::string backup = path + ".bak";
    const int source = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
    {
        error = SystemError("cannot read the design");
        return false;
    }
    const size_t slash = backup.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : backup.substr(0, slash == 0 ? 1 : slash);
    RemoveStaleBackupTemporaries(dir, slash == std::string::npos ? backup : backup.substr(slash + 1));

    // The copy is written unnamed where the file system allows it, so that a killed copy leaves
    // nothing behind; it gets the backup's name once it is complete. Elsewhere it is a named
    // temporary file that is renamed onto the backup.
    std::string temporary;
    int target = open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool unnamed = target >= 0;
    if (!unnamed)
    {
        temporary = backup + ".XXXXXX";
        target = mkostemp(&temporary[0], O_CLOEXEC);
    }
    if (target < 0)
    {
        error = SystemError("cannot create " + backup);
        close(source);
        return false;
    }

    bool ok = CopyInto(source, target, error);
    close(source);
    if (ok && unnamed)
    {
        // Until the link, the design itself still holds what the earlier backup is replaced with.
        const std::string self = "/proc/self/fd/" + std::to_string(target);
        if ((unlink(backup.c_str()) != 0 && errno != ENOENT)
            || linkat(AT_FDCWD, self.c_str(), AT_FDCWD, backup.c_str(), AT_SYMLINK_FOLLOW) != 0)
        {
            error = SystemError("cannot create " + backup);
            ok = false;
        }
    }
    if (close(target) != 0 && ok)
    {
        error = SystemError("cannot write the backup");
        ok = false;
    }
    if (!unnamed && ok && rename(temporary.c_str(), backup.c_str()) != 0)
    {
        error = SystemError("cannot create " + backup);
        ok = false;
    }
    if (!unnamed && !ok)
        unlink(temporary.c_str());
    return ok;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    const bool firstExists = stat(a.c_str(), &first) == 0, secondExists = stat(b.c_str(), &second) == 0;
    if (firstExists || secondExists)
        return firstExists && secondExists && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    return NormalPath(a) == NormalPath(b);
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
