#include "host/DesignLock.h"

#include "host/DesignFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KravikHost {

namespace {

// How often a refused writer reads the lock file again while its holder has not yet written
// itself into it (it writes right after taking the lock), a millisecond apart.
const int kReadAttempts = 200;

struct Holder
{
    long pid = 0;
    std::string command;
};

bool IsAlive(long pid)
{
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The holder a lock file names on its first line ("4711 clear\n"); false, with `holder` left as it
// was, while it names none that is alive (a writer that took over the lock of another user may not
// have been able to write itself in, and the line then names a process long gone).
bool ReadHolder(int fd, Holder& holder)
{
    char text[256];
    const ssize_t got = pread(fd, text, sizeof text - 1, 0);
    if (got <= 0)
        return false;
    text[got] = '\0';
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (end == text || *end != ' ' || !IsAlive(pid))
        return false;
    holder.pid = pid;
    holder.command.assign(end + 1, std::strcspn(end + 1, "\n"));
    return true;
}

// The whole text of the open lock file.
std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (off_t at = 0;;)
    {
        const ssize_t got = pread(fd, buffer, sizeof buffer, at);
        if (got <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(got));
        at += got;
    }
}

const char kTemporary[] = "temporary ";

// "temporary DEVICE INODE SIZE SECONDS NANOSECONDS PATH\n", the path in hexadecimal: any byte of a
// name keeps the line whole.
std::string TemporaryLine(const SaveTemporary& file)
{
    static const char digits[] = "0123456789abcdef";
    std::string line = kTemporary;
    for (const long long number : {static_cast<long long>(file.device), static_cast<long long>(file.inode),
                                   static_cast<long long>(file.size), static_cast<long long>(file.modified.tv_sec),
                                   static_cast<long long>(file.modified.tv_nsec)})
        line += std::to_string(number) + " ";
    for (unsigned char c : file.path)
        line += {digits[c >> 4], digits[c & 15]};
    return line + "\n";
}

bool ParseTemporaryLine(const std::string& line, SaveTemporary& file)
{
    long long device = 0, inode = 0, size = 0, seconds = 0, nanoseconds = 0;
    int hexStart = 0;
    if (std::sscanf(line.c_str(), "temporary %lld %lld %lld %lld %lld %n", &device, &inode, &size, &seconds,
                    &nanoseconds, &hexStart)
            != 5
        || hexStart == 0 || (line.size() - static_cast<size_t>(hexStart)) % 2 != 0)
        return false;
    file.device = static_cast<dev_t>(device);
    file.inode = static_cast<ino_t>(inode);
    file.size = static_cast<off_t>(size);
    file.modified = {static_cast<time_t>(seconds), static_cast<long>(nanoseconds)};
    file.path.clear();
    for (size_t i = static_cast<size_t>(hexStart); i < line.size(); i += 2)
    {
        const std::string pair = line.substr(i, 2);
        char* end = nullptr;
        const long byte = std::strtol(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2)
            return false;
        file.path += static_cast<char>(byte);
    }
    return !file.path.empty();
}

// Removes the temporary files that the dead holder of a lock file recorded in it, each only while
// its path still names the file recorded.
void RemoveRecordedTemporaries(const std::string& text)
{
    for (size_t start = 0; start < text.size();)
    {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        SaveTemporary file;
        struct stat info;
        if (line.rfind(kTemporary, 0) == 0 && ParseTemporaryLine(line, file) && lstat(file.path.c_str(), &info) == 0
            && S_ISREG(info.st_mode) && info.st_dev == file.device && info.st_ino == file.inode
            && info.st_size == file.size && info.st_mtim.tv_sec == file.modified.tv_sec
            && info.st_mtim.tv_nsec == file.modified.tv_nsec)
            unlink(file.path.c_str());
    }
}

// Whether the open file is still the one at `path`: its holder removes the lock file as it lets go,
// and a lock taken on a removed file locks nothing.
bool IsAt(int fd, const std::string& path)
{
    struct stat open, named;
    return fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

} // namespace

DesignLock::~DesignLock()
{
    Release();
}

bool DesignLock::IdentityOf(const std::string& path, Identity& identity)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    identity.changed = info.st_ctim;
    return true;
}

void DesignLock::Remember(const std::string& path, bool isOutput)
{
    // Read once this process may write the file: a writer that held it until now has saved.
    m_path = path;
    m_isOutput = isOutput;
    m_existed = IdentityOf(path, m_loaded);
}

bool DesignLock::Take(const std::string& path, const std::string& command, std::string& error, bool isOutput)
{
    Release();
    m_path.clear();
    m_existed = false;
    struct stat info;
    if (!isOutput && stat(path.c_str(), &info) != 0)
        return true;
    const std::string lockPath = SiblingName(ResolvedPath(path), ".lock");

    Holder holder;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt)
    {
        // Never through a link, and never blocking on a FIFO put in the lock file's place.
        const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | flags, 0644);
        const bool readOnly = fd < 0 && errno == EACCES;
        if (readOnly) // another user's lock file: locking needs only reading
            fd = open(lockPath.c_str(), O_RDONLY | flags);
        // A process that cannot make a file in the folder (none is there, or it is read-only) cannot
        // replace the file there either: it goes on unlocked, and only a save would fail. A lock
        // file that is there but cannot be opened may be held: that is a refusal.
        if (fd < 0 && (errno == ENOENT || errno == EROFS))
        {
            Remember(path, isOutput);
            return true;
        }
        if (fd < 0)
        {
            // O_NOFOLLOW refuses a link with ELOOP, whose text speaks of a chain of links.
            error = errno == ELOOP ? "the lock file " + lockPath + " is a symbolic link"
                                   : std::string(readOnly ? "cannot open" : "cannot create") + " the lock file "
                                         + lockPath + ": " + std::strerror(errno);
            return false;
        }
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        {
            error = "cannot create the lock file " + lockPath + ": not a regular file";
            close(fd);
            return false;
        }
        // Readable by every user whatever the umask: another user's writer must see the lock.
        if (info.st_uid == geteuid() && (info.st_mode & 07777) != 0644)
            fchmod(fd, 0644);
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        {
            if (!IsAt(fd, lockPath))
            {
                close(fd);
                continue;
            }
            // A dead holder's text may still be there, with the temporary files of a save it did not
            // end: they go, and this process is the holder now.
            RemoveRecordedTemporaries(ReadAll(fd));
            m_holderLine = std::to_string(getpid()) + " " + command + "\n";
            // A refused writer names no holder when this fails; the lock itself holds.
            m_writable = !readOnly && ftruncate(fd, 0) == 0
                && pwrite(fd, m_holderLine.data(), m_holderLine.size(), 0) == static_cast<ssize_t>(m_holderLine.size());
            m_fd = fd;
            m_lockPath = lockPath;
            Remember(path, isOutput);
            return true;
        }
        const int flockError = errno;
        const bool named = flockError == EWOULDBLOCK && ReadHolder(fd, holder);
        close(fd);
        if (flockError != EWOULDBLOCK)
        {
            error = "cannot lock " + lockPath + ": " + std::strerror(flockError);
            return false;
        }
        if (named)
            break;
        usleep(1000);
    }
    error = holder.pid > 0 ? "in use by process " + std::to_string(holder.pid) + " (kravik " + holder.command + ")"
                           : "in use by another process (holder unknown)";
    return false;
}

void DesignLock::RecordTemporaries(const std::vector<SaveTemporary>& files)
{
    if (m_fd < 0 || !m_writable)
        return;
    std::string text = m_holderLine;
    for (const SaveTemporary& file : files)
        text += TemporaryLine(file);
    // The holder line stays in place while the list after it changes.
    if (pwrite(m_fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())
        || ftruncate(m_fd, static_cast<off_t>(text.size())) != 0)
    {
        // Then a killed save leaves its temporary files, as one without a lock file would.
    }
}

std::string DesignLock::SaveRefusal() const
{
    Identity now;
    // An output that was not there when the run started must not be there now either: a file that
    // another program made since is not replaced.
    if (!m_existed)
        return m_isOutput && IdentityOf(m_path, now) ? "changed on disk since the run started; not saved" : "";
    const auto same = [](const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
    if (IdentityOf(m_path, now) && now.device == m_loaded.device && now.inode == m_loaded.inode
        && now.size == m_loaded.size && same(now.modified, m_loaded.modified) && same(now.changed, m_loaded.changed))
        return "";
    return m_isOutput ? "changed on disk since the run started; not saved"
                      : "changed on disk since it was loaded; not saved";
}

void DesignLock::Release()
{
    if (m_fd < 0)
        return;
    // Removed while still locked: a writer that opened it meanwhile finds its lock on a removed
    // file and starts over.
    unlink(m_lockPath.c_str());
    close(m_fd);
    m_fd = -1;
    m_writable = false;
}

} // namespace KravikHost
