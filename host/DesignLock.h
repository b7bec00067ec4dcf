// One writer at a time on a file: a command that will save a design onto a file (the design itself,
// or its --output) first takes an exclusive advisory lock (flock) on the lock file "<file>.lock"
// beside it (beside the file a symbolic link leads to, even one not there yet), which names the
// holder's process, with its start time, and command, and is readable by every user. A second writer
// is refused at once, with the holder named; a lock file whose holder died is taken over, and the
// temporary files that holder's save recorded in it are removed (only from a lock file of this
// user's that no other user may write, and only the save's own temporary files of that file); one
// that cannot be opened, or that has another name (a hard link), is a refusal that changes nothing.
// Once held, the lock keeps the file's identity, so that a save can refuse a file that another
// program replaced or changed since. Released, and the lock file removed while its name is still
// its own, by Release or the destructor. Not shared between threads.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>
#include <vector>

namespace KravikHost {

// A file that a save makes and names beside the file it replaces, once complete: its absolute path,
// and what tells it from any other file that may take that path later (an inode number is reused).
struct SaveTemporary
{
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
};

class DesignLock
{
public:
    DesignLock() = default;
    ~DesignLock();
    DesignLock(const DesignLock&) = delete;
    DesignLock& operator=(const DesignLock&) = delete;

    // Takes the lock on `path` for `command` (the kravik command's name, such as "clear"). False with
    // the reason in `error` ("in use by process 4711 (kravik clear)", or "in use by another process
    // (holder unknown)" when the lock file does not name the process that holds it, as when that
    // process could not write itself in and the process named has ended, even where its process id
    // belongs to another program now, or when the process named runs but the system does not list it
    // as the holder of this lock file's lock) when another process holds it, or the lock file cannot
    // be made or opened (also when it is a symbolic link), or has another name ("the lock file
    // /work/d.json.lock has another name (a hard link)"); a refusal leaves the lock file, its mode and
    // its text as they were. True without a lock when the file's folder does not
    // exist or is not writable for this process (nor is the file), and, unless `isOutput`, when the
    // design does not exist (its load reports it).
    bool Take(const std::string& path, const std::string& command, std::string& error, bool isOutput = false);
    bool Held() const { return m_fd >= 0; }

    // Why the file must not be replaced now: "changed on disk since it was loaded; not saved" (for an
    // output: "since the run started") when its device, inode, size, modification or change time
    // differ from when the lock was taken, or for an output that did not exist then, when it exists
    // now; empty otherwise, and for a design that did not exist then.
    std::string SaveRefusal() const;

    // Writes into the lock file, after the holder, the temporary files a save is about to name, so
    // that when this process is killed before it places or removes them, the next writer to take the
    // lock removes them: a file at a recorded path that is another file (device, inode, size or
    // modification time), or whose path is not one a save of the locked file gives its temporary
    // files (IsSaveTemporary), is left. At most three files, each path at most PATH_MAX bytes.
    // Each call replaces the earlier list. Nothing is recorded without a lock file this process can
    // write; such a save's temporary files stay when it is killed.
    void RecordTemporaries(const std::vector<SaveTemporary>& files);

    void Release();

private:
    struct Identity
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
    };
    static bool IdentityOf(const std::string& path, Identity& identity);
    void Remember(const std::string& path, bool isOutput);

    int m_fd = -1;
    bool m_writable = false;
    std::string m_holderLine;
    std::string m_lockPath;
    std::string m_path;
    bool m_isOutput = false;
    bool m_existed = false;
    Identity m_loaded;
};

} // namespace KravikHost
