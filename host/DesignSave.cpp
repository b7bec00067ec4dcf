// The save of a session onto its file, in steps that keep every file whole (DesignFile.h says what
// a save promises). In place, the files beside the design are, in the order they are made:
//   ".design.json.bak.kravik-XXXXXX"  a second name of the older design.json.bak, so that it stays
//                                      reachable until the save has ended
//   ".design.json.bak.kravik-YYYYYY"  the copy of the design that becomes design.json.bak
//   ".design.json.kravik-ZZZZZZ"       the new design
// Each is written and synced unnamed where the file system allows it, recorded in the lock file,
// then named. After the last check, one rename puts the backup in place and one the design; a failed
// rename of the design puts the older backup back by one rename. To the end the older backup's
// second name is removed. The older backup is copied instead where this process could not remove a
// second name of it (another user's file in a sticky folder), and kept by nothing where it is the
// design itself under another name (the design stays in place until the last rename).
#include "host/DesignFile.h"

#include "host/DesignLock.h"

#include "lumopi/StandIn.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KravikHost {

namespace {

// Test seam: KRAVIK_TEST_SAVE_STEP="STEP:WHAT" makes the system call of one step of the save fail
// with WHAT (EPERM, EIO, ENOSPC or EDQUOT), or signals the process just before it with WHAT "kill"
// (SIGKILL), "interrupt" (SIGINT, as a Ctrl-C) or "stop" (SIGSTOP: a test acts on the files, then
// continues it). The steps, in order: "write" (the new file), "copy" (the backup's copy of the
// design), "keep" (the older backup's second name), "name" (the first of the other names), "check"
// (the last check, which has no call to fail), "backup" (the backup into place), "replace" (the
// design or output into place) and "clean" (the older backup's second name removed). True, with
// errno set, when the step is to fail.
bool Injected(const char* step)
{
    const char* seam = std::getenv("KRAVIK_TEST_SAVE_STEP");
    const char* colon = seam != nullptr ? std::strchr(seam, ':') : nullptr;
    if (colon == nullptr || std::string(seam, colon) != step)
        return false;
    const std::string what = colon + 1;
    if (what == "kill" || what == "interrupt" || what == "stop")
    {
        raise(what == "kill" ? SIGKILL : what == "stop" ? SIGSTOP : SIGINT);
        return false;
    }
    static const struct
    {
        const char* name;
        int code;
    } kCodes[] = {{"EPERM", EPERM}, {"EIO", EIO}, {"ENOSPC", ENOSPC}, {"EDQUOT", EDQUOT}};
    errno = EIO;
    for (const auto& code : kCodes)
        if (what == code.name)
            errno = code.code;
    return true;
}

std::string Folder(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

const char kNameChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
const size_t kRandomChars = 6;

// The names of the save's temporary files beside `namedAfter` up to their random characters:
// "." + its name + ".kravik-".
std::string TemporaryPrefix(const std::string& namedAfter)
{
    const size_t slash = namedAfter.rfind('/');
    const std::string name = SiblingName(namedAfter.substr(0, slash + 1) + "." + namedAfter.substr(slash + 1),
                                         ".kravik-" + std::string(kRandomChars, 'X'));
    return name.substr(0, name.size() - kRandomChars);
}

// A name no user picks, beside `namedAfter`: "." + its name + ".kravik-" + six random characters.
std::string TemporaryName(const std::string& namedAfter)
{
    static std::mt19937 random(std::random_device{}());
    std::string name = TemporaryPrefix(namedAfter);
    for (size_t i = 0; i < kRandomChars; ++i)
        name += kNameChars[random() % (sizeof kNameChars - 1)];
    return name;
}

bool IsTemporaryName(const std::string& path, const std::string& namedAfter)
{
    const std::string prefix = TemporaryPrefix(namedAfter);
    return path.size() == prefix.size() + kRandomChars && path.compare(0, prefix.size(), prefix) == 0
        && path.find_first_not_of(kNameChars, prefix.size()) == std::string::npos;
}

// Whether this process may remove a name of the file `file` (as lstat tells it) from `folder`: in a
// sticky folder (such as /tmp) only the owner of the file or of the folder may, or a process with
// the capability CAP_FOWNER.
bool MayRemoveName(const struct stat& file, const std::string& folder)
{
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || (info.st_mode & S_ISVTX) == 0 || file.st_uid == geteuid()
        || info.st_uid == geteuid())
        return true;
    // The effective capabilities are a hexadecimal mask on the "CapEff:" line; CAP_FOWNER is bit 3.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("CapEff:", 0) == 0)
            return (std::strtoull(line.c_str() + 7, nullptr, 16) >> 3 & 1) != 0;
    return false;
}

bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Copies the open file `source` to the open file `target`. False with errno set; `readFailed` says
// whether reading failed rather than writing.
bool CopyContent(int source, int target, bool& readFailed)
{
    std::vector<char> buffer(1 << 16);
    for (;;)
    {
        const ssize_t got = read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        readFailed = got < 0;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!WriteAll(target, buffer.data(), static_cast<size_t>(got)))
            return false;
    }
}

// Gives the open file `fd` the name `path`; fails where that name exists. 0, or -1 with errno set.
int LinkOpenFile(int fd, const std::string& path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
}

const mode_t kUmaskMode = ~mode_t(0);

// A file the save makes beside the one it will replace, or a second name it gives an existing file.
// Until it is placed it is the save's own, and goes with the save; a name is removed only while it
// still names that file.
struct Temporary
{
    std::string namedAfter; // the file it will replace (or that it is a second name of)
    std::string path;       // its name, once it has one
    int fd = -1;            // open while it is written
    bool named = false;
    std::string linkOf;     // when set, a second name of that file, not a file of its own
    struct stat info = {};

    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() { Discard(); }

    SaveTemporary Record() const { return {path, info.st_dev, info.st_ino, info.st_size, info.st_mtim}; }

    // A new file for `after`: unnamed where the file system allows it, else named at once; with the
    // permissions `mode`, or with kUmaskMode those the umask leaves of 0666. False with errno set.
    bool Create(const std::string& after, mode_t mode)
    {
        namedAfter = after;
        const mode_t initial = mode != kUmaskMode ? 0600 : 0666;
        fd = open(Folder(after).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, initial);
        // No unnamed files there (an older kernel, a file system without them): a named one.
        for (int attempt = 0; fd < 0 && attempt < 100 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EEXIST);
             ++attempt)
        {
            path = TemporaryName(after);
            fd = open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, initial);
            named = fd >= 0;
        }
        return fd >= 0 && fstat(fd, &info) == 0 && (mode == kUmaskMode || fchmod(fd, mode) == 0);
    }

    // A new file for `after` holding a synced copy of the file `source` (opened with `openFlags`)
    // with its permissions; the test seam's `step` comes before the sync. False with errno set;
    // `readFailed` says whether the source could not be opened or read.
    bool CreateCopy(const std::string& after, const std::string& source, int openFlags, const char* step,
                    bool& readFailed)
    {
        const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC | openFlags);
        struct stat sourceInfo;
        readFailed = from < 0 || fstat(from, &sourceInfo) != 0;
        const bool copied = !readFailed && Create(after, sourceInfo.st_mode & 07777)
            && CopyContent(from, fd, readFailed) && !Injected(step) && fsync(fd) == 0;
        const int reason = errno;
        if (from >= 0)
            close(from);
        errno = reason;
        return copied;
    }

    // Gives the complete file its name (one named at its creation keeps it), recorded in `lock`
    // together with the save's other named files in `all` before it is taken. False with errno set.
    bool Name(DesignLock* lock, const std::vector<const Temporary*>& all)
    {
        if (fd >= 0 && fstat(fd, &info) != 0)
            return false;
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            if (!named)
                path = TemporaryName(namedAfter);
            if (lock != nullptr)
            {
                std::vector<SaveTemporary> records;
                for (const Temporary* file : all)
                    if (file->named || file == this)
                        records.push_back(file->Record());
                lock->RecordTemporaries(records);
            }
            if (named)
                return true;
            const int linked = !linkOf.empty() ? link(linkOf.c_str(), path.c_str()) : LinkOpenFile(fd, path);
            if (linked == 0)
            {
                named = true;
                return true;
            }
            if (errno != EEXIST)
                break;
        }
        path.clear();
        return false;
    }

    // Closes the file; false with errno set when that fails (a write not yet on disk may say so only then).
    bool Close()
    {
        const int open = fd;
        fd = -1;
        return open < 0 || close(open) == 0;
    }

    // The file took the place it was made for: it is no longer the save's to remove.
    void Placed() { named = false; }

    // Removes the file's name, while it still names the file.
    void Discard()
    {
        Close();
        struct stat now;
        if (named && lstat(path.c_str(), &now) == 0 && now.st_dev == info.st_dev && now.st_ino == info.st_ino)
            unlink(path.c_str());
        named = false;
    }
};

class FileSave
{
public:
    explicit FileSave(DesignLock* lock) : m_lock(lock) {}

    bool Save(const Lumo::LumoPI& session, const std::string& designPath, const std::string& output,
              const std::function<std::string()>& lastCheck, std::string& error);

private:
    bool WriteNewFile(const Lumo::LumoPI& session, std::string& error);
    bool CopyDesign(const std::string& designPath, std::string& error);
    bool KeepOlderBackup(std::string& error);
    bool NameFiles(std::string& error);
    bool PlaceBackup(std::string& error);
    bool PlaceTarget(std::string& error);
    void UndoBackup(std::string& error);
    void SyncFolders();
    std::vector<const Temporary*> All() const { return {&m_older, &m_copy, &m_new}; }

    DesignLock* m_lock;
    std::string m_target;      // the file replaced: the design or the output, links followed
    std::string m_targetShown; // as the user named it
    bool m_targetExisted = false;
    std::string m_backup, m_backupShown; // in place: design.json.bak
    bool m_backupExisted = false;
    bool m_backupIsDesign = false; // the older design.json.bak is a second name of the design
    Temporary m_new, m_copy, m_older;
};

std::string Failed(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

bool FileSave::WriteNewFile(const Lumo::LumoPI& session, std::string& error)
{
    // The target keeps its permissions; a new file gets those the umask leaves.
    struct stat info;
    m_targetExisted = stat(m_target.c_str(), &info) == 0;
    if (!m_new.Create(m_target, m_targetExisted ? info.st_mode & 07777 : kUmaskMode))
    {
        error = Failed("cannot write");
        return false;
    }
    // The database describes a failure only while result texts are on.
    const bool texts = Lumo::StandIn::IsStringResultsEnabled();
    Lumo::Result::SetStringResultsEnabled(true);
    const Lumo::Result written = Lumo::StandIn::WriteSessionTo(session, m_new.fd);
    const std::string reason = written.GetDescription().str();
    Lumo::Result::SetStringResultsEnabled(texts);
    if (!written)
    {
        error = "cannot write: " + reason;
        return false;
    }
    if (Injected("write") || fsync(m_new.fd) != 0)
    {
        error = Failed("cannot write");
        return false;
    }
    return true;
}

bool FileSave::CopyDesign(const std::string& designPath, std::string& error)
{
    bool readFailed = false;
    if (m_copy.CreateCopy(m_backup, designPath, 0, "copy", readFailed))
        return true;
    error = Failed(readFailed ? "cannot read " + designPath : "cannot write " + m_backupShown);
    return false;
}

bool FileSave::KeepOlderBackup(std::string& error)
{
    struct stat info;
    m_backupExisted = lstat(m_backup.c_str(), &info) == 0;
    if (!m_backupExisted)
        return true;
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
    {
        error = "cannot replace " + m_backupShown + ": not a regular file";
        return false;
    }
    // The design itself under another name stays whole at the design's path until the last rename,
    // and a second name given to it now would change the change time that the last check compares.
    struct stat design;
    m_backupIsDesign = S_ISREG(info.st_mode) && stat(m_target.c_str(), &design) == 0
        && design.st_dev == info.st_dev && design.st_ino == info.st_ino;
    if (m_backupIsDesign)
        return true;
    // A second name keeps the older backup whole until the save has ended: a failed replace of the
    // design puts it back by one rename. A name this process could not remove again would stay
    // when the save fails: a copy does the same, as where the file system has no hard links.
    const bool removable = MayRemoveName(info, Folder(m_backup));
    if (!removable && S_ISLNK(info.st_mode))
    {
        // Another user's link in a sticky folder can be neither copied nor replaced.
        error = "cannot replace " + m_backupShown + ": " + std::strerror(EPERM);
        return false;
    }
    m_older.namedAfter = m_backup;
    m_older.info = info;
    if (removable)
    {
        m_older.linkOf = m_backup;
        if (!Injected("keep") && m_older.Name(m_lock, All()))
            return true;
        m_older.linkOf.clear();
    }
    const bool copy = !removable || errno == EPERM || errno == EMLINK || errno == EOPNOTSUPP;
    bool readFailed = false;
    if (copy && S_ISREG(info.st_mode) && m_older.CreateCopy(m_backup, m_backup, O_NOFOLLOW, "", readFailed))
        return true;
    error = Failed("cannot keep the older " + m_backupShown);
    return false;
}

bool FileSave::NameFiles(std::string& error)
{
    // An output that does not exist yet is created by linking the unnamed file at its path, which
    // fails where a file has appeared since: it needs no name before.
    const bool publishUnnamed = m_backup.empty() && !m_targetExisted;
    const auto failed = [&](const Temporary* file) {
        error = Failed(file == &m_new ? std::string("cannot write") : "cannot write " + m_backupShown);
        return false;
    };
    bool first = true;
    for (Temporary* file : {&m_older, &m_copy, &m_new})
    {
        if (file->fd < 0 || (file == &m_new && publishUnnamed))
            continue;
        if ((first && Injected("name")) || !file->Name(m_lock, All()))
            return failed(file);
        first = false;
    }
    for (Temporary* file : {&m_older, &m_copy, &m_new})
        if (!(file == &m_new && publishUnnamed) && !file->Close())
            return failed(file);
    return true;
}

bool FileSave::PlaceBackup(std::string& error)
{
    if (Injected("backup") || rename(m_copy.path.c_str(), m_backup.c_str()) != 0)
    {
        error = Failed((m_backupExisted ? "cannot replace " : "cannot create ") + m_backupShown);
        return false;
    }
    m_copy.Placed();
    return true;
}

bool FileSave::PlaceTarget(std::string& error)
{
    const std::string failure = (m_targetExisted ? "cannot replace " : "cannot create ") + m_targetShown;
    if (Injected("replace"))
    {
        error = Failed(failure);
        return false;
    }
    if (m_targetExisted || !m_backup.empty())
    {
        if (rename(m_new.path.c_str(), m_target.c_str()) != 0)
        {
            error = Failed(failure);
            return false;
        }
        m_new.Placed();
        return true;
    }
    // A new output: a file that another program made there since is never replaced.
    int placed = -1;
    if (!m_new.named)
        placed = LinkOpenFile(m_new.fd, m_target);
    else
    {
        placed = renameat2(AT_FDCWD, m_new.path.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE);
        // A file system without a no-replace rename: a hard link fails just as well on an existing file.
        if (placed != 0 && (errno == EINVAL || errno == ENOSYS))
            placed = link(m_new.path.c_str(), m_target.c_str());
    }
    if (placed != 0)
    {
        error = errno == EEXIST ? "changed on disk since the run started; not saved" : Failed(failure);
        return false;
    }
    if (!m_new.Close())
    {
        // The file is in place and whole on disk (it was synced); what close reports comes too late.
    }
    return true;
}

void FileSave::UndoBackup(std::string& error)
{
    // The older backup goes back by one rename, taking the place of this save's: by its second name,
    // or where it was the design under another name, by a new second name of the design, still in
    // place. With none before, this save's goes.
    if (m_backupIsDesign)
    {
        m_older.namedAfter = m_backup;
        m_older.linkOf = m_target;
        if (stat(m_target.c_str(), &m_older.info) == 0)
            m_older.Name(m_lock, All());
    }
    struct stat info;
    const bool undone = m_older.named ? rename(m_older.path.c_str(), m_backup.c_str()) == 0
                                      : !m_backupExisted && lstat(m_backup.c_str(), &info) == 0
                                            && info.st_dev == m_copy.info.st_dev && info.st_ino == m_copy.info.st_ino
                                            && unlink(m_backup.c_str()) == 0;
    if (undone)
    {
        m_older.Placed();
        return;
    }
    error += "; " + m_backupShown + " now holds the design as it was before this save";
    if (m_older.named)
        error += ", and the older backup is kept as " + m_older.path;
    m_older.Placed();
}

void FileSave::SyncFolders()
{
    // The renames reach the disk with their folders. What this cannot sync is not reported: the
    // files are in place for every reader already.
    std::vector<std::string> folders = {Folder(m_target)};
    if (!m_backup.empty() && Folder(m_backup) != folders[0])
        folders.push_back(Folder(m_backup));
    for (const std::string& folder : folders)
    {
        const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0)
        {
            fsync(fd);
            close(fd);
        }
    }
}

bool FileSave::Save(const Lumo::LumoPI& session, const std::string& designPath, const std::string& output,
                    const std::function<std::string()>& lastCheck, std::string& error)
{
    const bool inPlace = SavesInPlace(designPath, output);
    m_targetShown = inPlace ? designPath : output;
    m_target = ResolvedPath(m_targetShown);
    if (inPlace)
    {
        m_backupShown = designPath + ".bak";
        m_backup = AbsolutePath(m_backupShown);
    }
    if (!WriteNewFile(session, error) || (inPlace && (!CopyDesign(designPath, error) || !KeepOlderBackup(error)))
        || !NameFiles(error))
        return false;

    // Only renames follow the last check.
    Injected("check");
    error = lastCheck ? lastCheck() : "";
    if (!error.empty() || (inPlace && !PlaceBackup(error)))
        return false;
    if (!PlaceTarget(error))
    {
        if (inPlace)
            UndoBackup(error);
        return false;
    }
    // The older backup's second name goes last (where the test seam's "clean" step stops a save).
    Injected("clean");
    m_older.Discard();
    SyncFolders();
    return true;
}

} // namespace

bool IsSaveTemporary(const std::string& path, const std::string& file, bool inPlace)
{
    return IsTemporaryName(path, ResolvedPath(file)) || (inPlace && IsTemporaryName(path, AbsolutePath(file + ".bak")));
}

bool SavesInPlace(const std::string& designPath, const std::string& output)
{
    return output.empty() || ResolvedPath(output) == ResolvedPath(designPath);
}

bool SaveDesignFile(const Lumo::LumoPI& session, const std::string& designPath, const std::string& output,
                    DesignLock* lock, std::string& error, const std::function<std::string()>& lastCheck)
{
    FileSave save(lock);
    return save.Save(session, designPath, output, lastCheck, error);
}

} // namespace KravikHost
