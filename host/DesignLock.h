// One writer at a time on a design file: a command that will save the design in place first takes
// an exclusive advisory lock (flock) on the lock file "<design>.lock" beside it (beside the file a
// symbolic link leads to), which names the holder's process and command. A second writer is refused
// at once, with the holder named; a lock file whose holder died is taken over. The lock also keeps
// the design file's identity as it was when taken, so that a save can refuse a file that another
// program replaced or changed since. Released, and the lock file removed, by Release or the
// destructor. Not shared between threads.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>

namespace KravikHost {

class DesignLock
{
public:
    DesignLock() = default;
    ~DesignLock();
    DesignLock(const DesignLock&) = delete;
    DesignLock& operator=(const DesignLock&) = delete;

    // Takes the lock on `design` for `command` (the kravik command's name, such as "clear"). False
    // with the reason in `error` ("in use by process 4711 (kravik clear)") when another process
    // holds it or the lock file cannot be made. True without a lock when the design does not exist
    // (its load reports it) or its folder is not writable for this process (nor is the design).
    bool Take(const std::string& design, const std::string& command, std::string& error);
    bool Held() const { return m_fd >= 0; }

    // Why the locked design must not be replaced now: "changed on disk since it was loaded; not
    // saved" when its device, inode, size or modification time differ from when the lock was
    // taken; empty otherwise, and when the design did not exist then.
    std::string SaveRefusal() const;

    void Release();

private:
    struct Identity
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };
    static bool IdentityOf(const std::string& path, Identity& identity);

    int m_fd = -1;
    std::string m_lockPath;
    std::string m_design;
    Identity m_loaded;
};

} // namespace KravikHost
