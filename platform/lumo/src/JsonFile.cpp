#include "JsonFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace Lumo {
namespace JsonFile {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Consumes "-?[0-9]+" (sign only when allowed) and returns the end position, or npos.
size_t ScanNumber(std::string_view text, size_t pos, bool allowSign)
{
    if (allowSign && pos < text.size() && text[pos] == '-')
        ++pos;
    size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return pos == start ? std::string_view::npos : pos;
}

bool ParseSigned(std::string_view text, int64_t& out)
{
    auto res = std::from_chars(text.data(), text.data() + text.size(), out);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

std::string ErrnoText(const char* what, const std::string& path)
{
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

mode_t CreationMode()
{
    // Reading the umask through umask() would change it briefly for every thread.
    mode_t mask = 022;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(f);
    }
    return static_cast<mode_t>(0666 & ~mask);
}

} // namespace

bool LooksLikeIndexText(std::string_view text)
{
    size_t p = ScanNumber(text, 0, true);
    if (p == std::string_view::npos || p >= text.size() || text[p] != '-')
        return false;
    p = ScanNumber(text, p + 1, false);
    if (p == std::string_view::npos || p >= text.size() || text[p] != '-')
        return false;
    p = ScanNumber(text, p + 1, false);
    return p == text.size();
}

bool ParseIndexText(std::string_view text, uint64_t& value)
{
    if (!LooksLikeIndexText(text))
        return false;
    size_t first = text.find('-', text[0] == '-' ? 1 : 0);
    size_t second = text.find('-', first + 1);
    int64_t low = 0, mid = 0, type = 0;
    if (!ParseSigned(text.substr(0, first), low) || !ParseSigned(text.substr(first + 1, second - first - 1), mid) ||
        !ParseSigned(text.substr(second + 1), type))
        return false;
    if (low < INT32_MIN || low > static_cast<int64_t>(UINT32_MAX) || mid > 0xFFFFFF || type > 0xFF)
        return false;
    value = (static_cast<uint64_t>(type) << 56) | (static_cast<uint64_t>(mid) << 32) |
            static_cast<uint64_t>(static_cast<uint32_t>(low));
    return true;
}

size_t Utf8Length(std::string_view s, size_t i)
{
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

void AppendPointerToken(std::string& path, std::string_view key)
{
    path += '/';
    for (char c : key) {
        if (c == '~')
            path += "~0";
        else if (c == '/')
            path += "~1";
        else
            path += c;
    }
}

FileReader::~FileReader() { Close(); }

void FileReader::Close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool FileReader::Open(const std::string& path, std::string& error)
{
    Close();
    m_path = path;
    m_error.clear();
    m_size = m_done = 0;
    // Non-blocking, so that a FIFO (or a device) named as a design is refused at once instead of
    // waiting for a writer; the flag changes nothing for a regular file.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) {
        error = ErrnoText("cannot open", path);
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file: " + path;
        Close();
        return false;
    }
    m_size = static_cast<uint64_t>(st.st_size);
    return true;
}

size_t FileReader::Read(char* into, size_t room)
{
    while (m_fd >= 0 && room > 0) {
        // Once the size the file had is read, one byte more is asked for: getting it means the file grew.
        char probe = 0;
        const bool past = m_done >= m_size;
        const ssize_t n = ::read(m_fd, past ? &probe : into, past ? 1 : static_cast<size_t>(std::min<uint64_t>(room, m_size - m_done)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            m_error = ErrnoText("cannot read", m_path);
        } else if (n == 0 ? m_done < m_size : past) {
            m_error = "the file changed while it was read: " + m_path;
        } else if (n > 0) {
            m_done += static_cast<uint64_t>(n);
            return static_cast<size_t>(n);
        }
        Close();
    }
    return 0;
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0) ::close(m_fd);
    if (!m_tmp.empty()) ::unlink(m_tmp.c_str());
}

namespace {

// The final target of a chain of symbolic links, which need not exist yet (a dangling link is
// saved through too). False with errno set when a link cannot be read or the chain is too long.
bool FollowLinks(std::string path, std::string& target)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = path;
            return true;
        }
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return false;
        if (static_cast<size_t>(n) >= buffer.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string link(buffer.data(), static_cast<size_t>(n));
        const size_t slash = path.rfind('/');
        path = link[0] == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    return false;
}

// The start of the temporary names of the file `base`, six characters follow it: "." + base + ".",
// or for a name too long for that, the start of the name with a hash of all of it, so that any
// legal name has temporary names of its own.
std::string TemporaryPrefix(const std::string& base)
{
    const size_t room = NAME_MAX - 6;
    if (base.size() + 2 <= room) return "." + base + ".";
    uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : base) hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return "." + base.substr(0, room - 2 - 16) + hex + ".";
}

} // namespace

bool AtomicFile::Open(const std::string& path, bool overwrite, std::string& error)
{
    if (!FollowLinks(path, m_path)) {
        error = ErrnoText("cannot follow the link", path);
        return false;
    }
    struct stat existing {};
    const bool exists = ::lstat(m_path.c_str(), &existing) == 0;
    if ((exists || m_path != path) && !overwrite) {
        error = "file exists: " + path;
        return false;
    }
    m_overwrite = overwrite;
    const size_t slash = m_path.rfind('/');
    m_dir = slash == std::string::npos ? std::string(".") : m_path.substr(0, slash == 0 ? 1 : slash);
    m_base = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
    m_prefix = TemporaryPrefix(m_base);

    const mode_t mode = exists && S_ISREG(existing.st_mode) ? (existing.st_mode & 07777) : CreationMode();
    m_fd = ::open(m_dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    m_unnamed = m_fd >= 0;
    if (!m_unnamed) {
        // No unnamed files here (an older kernel or a file system without them): a named one.
        std::string tmp = (slash == std::string::npos ? std::string() : m_path.substr(0, slash + 1)) + m_prefix + "XXXXXX";
        std::vector<char> name(tmp.begin(), tmp.end());
        name.push_back('\0');
        m_fd = ::mkstemp(name.data());
        if (m_fd < 0) {
            error = ErrnoText("cannot create a temporary file in", m_dir);
            return false;
        }
        ::fcntl(m_fd, F_SETFD, FD_CLOEXEC);
        m_tmp.assign(name.data());
    }
    if (::fchmod(m_fd, mode) != 0) {
        error = ErrnoText("cannot set the mode of the temporary file in", m_dir);
        return false;
    }
    return true;
}

namespace {

// Writes all the bytes, going on after an interrupted or short write; false with errno set.
bool WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool AtomicFile::Write(const char* data, size_t size, std::string& error)
{
    if (WriteAll(m_fd, data, size)) return true;
    error = ErrnoText("cannot write", m_tmp);
    return false;
}

bool DescriptorSink::Write(const char* data, size_t size, std::string& error)
{
    if (WriteAll(m_fd, data, size)) return true;
    error = std::strerror(errno);
    return false;
}

bool AtomicFile::Commit(std::string& error)
{
    if (::fsync(m_fd) != 0) {
        error = ErrnoText("cannot sync the temporary file of", m_path);
        return false;
    }
    if (m_unnamed && !Publish(error)) return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        error = ErrnoText("cannot close", m_tmp);
        return false;
    }
    if (m_overwrite) {
        if (::rename(m_tmp.c_str(), m_path.c_str()) != 0) {
            error = ErrnoText("cannot rename onto", m_path);
            return false;
        }
    } else if (m_unnamed) {
        // Publish linked the file at the path itself, which fails on an existing file.
    } else if (::renameat2(AT_FDCWD, m_tmp.c_str(), AT_FDCWD, m_path.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) {
            error = "file exists: " + m_path;
            return false;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            error = ErrnoText("cannot rename onto", m_path);
            return false;
        }
        // The file system has no no-replace rename: a hard link fails just as well on an existing target.
        if (::link(m_tmp.c_str(), m_path.c_str()) != 0) {
            error = errno == EEXIST ? "file exists: " + m_path : ErrnoText("cannot link onto", m_path);
            return false;
        }
        ::unlink(m_tmp.c_str());
    }
    m_tmp.clear();
    const int dfd = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

// Gives the unnamed temporary file a name: the path itself when nothing may be replaced (linking
// fails on an existing file), else a temporary name that Commit renames onto the path.
bool AtomicFile::Publish(std::string& error)
{
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    if (!m_overwrite) {
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            error = errno == EEXIST ? "file exists: " + m_path : ErrnoText("cannot link onto", m_path);
            return false;
        }
        return true;
    }
    const size_t slash = m_path.rfind('/');
    const std::string prefix = (slash == std::string::npos ? std::string() : m_path.substr(0, slash + 1)) + m_prefix;
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u ^ static_cast<unsigned>(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) {
            seed = seed * 1103515245u + 12345u;
            name += kChars[(seed >> 16) % (sizeof kChars - 1)];
        }
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            m_tmp = name;
            return true;
        }
        if (errno != EEXIST) break;
    }
    error = ErrnoText("cannot name the temporary file of", m_path);
    return false;
}

} // namespace JsonFile
} // namespace Lumo
