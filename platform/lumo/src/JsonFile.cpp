#include "JsonFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
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

MappedFile::~MappedFile()
{
    if (m_map) ::munmap(m_map, m_size);
}

bool MappedFile::Open(const std::string& path, std::string& error)
{
    // Non-blocking, so that a FIFO (or a device) named as a design is refused at once instead of
    // waiting for a writer; the flag changes nothing for a regular file.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = ErrnoText("cannot open", path);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file: " + path;
        ::close(fd);
        return false;
    }
    m_size = static_cast<size_t>(st.st_size);
    if (m_size > 0) {
        void* map = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map == MAP_FAILED) {
            error = ErrnoText("cannot read", path);
            m_size = 0;
            ::close(fd);
            return false;
        }
        ::madvise(map, m_size, MADV_SEQUENTIAL);
        m_map = map;
        m_data = static_cast<const char*>(map);
    }
    ::close(fd);
    return true;
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0) ::close(m_fd);
    if (!m_tmp.empty()) ::unlink(m_tmp.c_str());
}

bool AtomicFile::Open(const std::string& path, bool overwrite, std::string& error)
{
    struct stat existing {};
    const bool exists = ::lstat(path.c_str(), &existing) == 0;
    if (exists && !overwrite) {
        error = "file exists: " + path;
        return false;
    }
    m_path = path;
    m_overwrite = overwrite;
    const size_t slash = path.rfind('/');
    m_dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." + base + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    m_fd = ::mkstemp(name.data());
    if (m_fd < 0) {
        error = ErrnoText("cannot create a temporary file in", m_dir);
        return false;
    }
    m_tmp.assign(name.data());
    const mode_t mode = exists && S_ISREG(existing.st_mode) ? (existing.st_mode & 07777) : CreationMode();
    if (::fchmod(m_fd, mode) != 0) {
        error = ErrnoText("cannot set the mode of", m_tmp);
        return false;
    }
    return true;
}

bool AtomicFile::Write(const char* data, size_t size, std::string& error)
{
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = ErrnoText("cannot write", m_tmp);
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool AtomicFile::Commit(std::string& error)
{
    if (::fsync(m_fd) != 0) {
        error = ErrnoText("cannot sync", m_tmp);
        return false;
    }
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

} // namespace JsonFile
} // namespace Lumo
