#include "host/DesignLock.h"

#include "host/DesignFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

// When the process `pid` started, in clock ticks since boot (the 22nd field of /proc/PID/stat); 0
// when no such process runs or this cannot be read. A process id is reused as soon as its process
// has ended; together with its start time it names one process.
unsigned long long StartTime(long pid)
{
    if (pid <= 0)
        return 0;
    const int fd = open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[4096];
    const ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0)
        return 0;
    text[got] = '\0';
    // The command (field 2) is in parentheses and may hold blanks and parentheses itself; the state
    // (field 3) follows its last closing one.
    const char* field = std::strrchr(text, ')');
    for (int number = 2; field != nullptr && number < 22; ++number)
        field = std::strchr(field + 1, ' ');
    return field != nullptr ? std::strtoull(field + 1, nullptr, 10) : 0;
}

// The holder's text: "4711 clear\nstarted 8812345\n", its process id and command, then the start
// time of that process.
std::string HolderText(const std::string& command)
{
    return std::to_string(getpid()) + " " + command + "\nstarted " + std::to_string(StartTime(getpid())) + "\n";
}

// Whether the process `pid` holds a flock lock on the file `info` describes, as the system's list
// of locks says: a lock file's text may name any process, and only this list tells who holds it.
// A waiter's line ("->" before the kind) does not count; without /proc, no process is named.
bool HoldsLock(long pid, const struct stat& info)
{
    FILE* locks = std::fopen("/proc/locks", "re");
    if (locks == nullptr)
        return false;
    char line[256];
    bool holds = false;
    while (!holds && std::fgets(line, sizeof line, locks) != nullptr)
    {
        // "3: FLOCK  ADVISORY  WRITE 2353 fe:00:10952860 0 EOF": the device's major and minor number
        // in hexadecimal, then the inode number.
        char kind[16];
        long lockPid = 0;
        unsigned int major = 0, minor = 0;
        unsigned long long inode = 0;
        holds = std::sscanf(line, "%*d: %15s %*s %*s %ld %x:%x:%llu", kind, &lockPid, &major, &minor, &inode) == 5
            && std::strcmp(kind, "FLOCK") == 0 && lockPid == pid && makedev(major, minor) == info.st_dev
            && inode == info.st_ino;
    }
    std::fclose(locks);
    return holds;
}

// The holder the open lock file `fd` (whose status is `info`) names; false, with `holder` left as
// it was, unless its process holds the lock on this very file and started when the text says (a
// writer that took over the lock of another user may not have been able to write itself in, and the
// text then names a process long gone, whose id may be another's now; and anyone may write a running
// process into a lock file of their own).
bool ReadHolder(int fd, const struct stat& info, Holder& holder)
{
    char text[256];
    const ssize_t got = pread(fd, text, sizeof text - 1, 0);
    if (got <= 0)
        return false;
    text[got] = '\0';
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (end == text || *end != ' ')
        return false;
    const char* command = end + 1;
    const size_t commandSize = std::strcspn(command, "\n");
    unsigned long long started = 0;
    if (command[commandSize] != '\n' || std::sscanf(command + commandSize + 1, "started %llu\n", &started) != 1
        || started == 0 || StartTime(pid) != started || !HoldsLock(pid, info))
        return false;
    holder.pid = pid;
    holder.command.assign(command, commandSize);
    return true;
}

const char kTemporary[] = "temporary ";

// The most a save writes into a lock file: the holder's text, then a line for each of its (at most
// three) temporary files, whose path has at most PATH_MAX bytes, each written as two hex digits.
const size_t kMaxRecords = 3;
const size_t kMaxLockText = 512 + kMaxRecords * (sizeof kTemporary + 5 * 21 + 2 * PATH_MAX + 1);

// The text of the open lock file, up to what a save writes into one: the rest of a larger file is
// not a save's, and is not read.
std::string ReadRecords(int fd)
{
    std::string text(kMaxLockText, '\0');
    size_t size = 0;
    for (ssize_t got; size < text.size() && (got = pread(fd, &text[size], text.size() - size, size)) > 0;)
        size += static_cast<size_t>(got);
    text.resize(size);
    return text;
}

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

// Removes the temporary files that the dead holder of a lock file recorded in it: only a whole
// line's file that is a temporary file of a save of `path` (IsSaveTemporary), while that path still
// names the very file recorded.
void RemoveRecordedTemporaries(const std::string& text, const std::string& path, bool inPlace)
{
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    {
        const std::string line = text.substr(start, end - start);
        SaveTemporary file;
        struct stat info;
        if (line.rfind(kTemporary, 0) == 0 && ParseTemporaryLine(line, file) && IsSaveTemporary(file.path, path, inPlace)
            && lstat(file.path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_dev == file.device
            && info.st_ino == file.inode && info.st_size == file.size && info.st_mtim.tv_sec == file.modified.tv_sec
            && info.st_mtim.tv_nsec == file.modified.tv_nsec)
            unlink(file.path.c_str());
    }
}

// Whether `path` itself (not a link there) still names the open file: its holder removes the lock
// file as it lets go, a lock taken on a removed file locks nothing, and a file moved onto the name
// since is not the lock file.
bool IsAt(int fd, const std::string& path)
{
    struct stat open, named;
    return fstat(fd, &open) == 0 && lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev
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
        // A lock file with a second name is another file too (the design, its backup, any file of
        // the user's): emptying and rewriting it would destroy that file.
        if (info.st_nlink > 1)
        {
            error = "the lock file " + lockPath + " has another name (a hard link)";
            close(fd);
            return false;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        {
            if (!IsAt(fd, lockPath))
            {
                close(fd);
                continue;
            }
            // Readable by every user whatever the umask: another user's writer must see the lock.
            if (info.st_uid == geteuid() && (info.st_mode & 07777) != 0644)
                fchmod(fd, 0644);
            // A dead holder's text may still be there, with the temporary files of a save it did not
            // end: they go, and this process is the holder now. Only this user's own lock file, which
            // no one else could write, is believed: another's may name any file, and it is taken
            // over all the same.
            if (info.st_uid == geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0)
                RemoveRecordedTemporaries(ReadRecords(fd), path, !isOutput);
            m_holderLine = HolderText(command);
            // A refused writer names no holder when this fails; the lock itself holds.
            m_writable = !readOnly && ftruncate(fd, 0) == 0
                && pwrite(fd, m_holderLine.data(), m_holderLine.size(), 0) == static_cast<ssize_t>(m_holderLine.size());
            m_fd = fd;
            m_lockPath = lockPath;
            Remember(path, isOutput);
            return true;
        }
        const int flockError = errno;
        const bool named = flockError == EWOULDBLOCK && ReadHolder(fd, info, holder);
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
    // file and starts over. A file that was moved onto the lock file's name since is not removed.
    if (IsAt(m_fd, m_lockPath))
        unlink(m_lockPath.c_str());
    close(m_fd);
    m_fd = -1;
    m_writable = false;
}

} // namespace KravikHost
