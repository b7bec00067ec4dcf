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
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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

bool WriteFileAtomically(const std::string& path, const std::string& text, bool overwrite, std::string& error)
{
    struct stat existing {};
    bool exists = ::lstat(path.c_str(), &existing) == 0;
    if (exists && !overwrite) {
        error = "file exists: " + path;
        return false;
    }
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "." + base + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = ErrnoText("cannot create a temporary file in", dir);
        return false;
    }
    tmp.assign(name.data());
    auto fail = [&](const char* what, const std::string& target) {
        error = ErrnoText(what, target);
        if (fd >= 0)
            ::close(fd);
        ::unlink(tmp.c_str());
        return false;
    };
    mode_t mode = exists && S_ISREG(existing.st_mode) ? (existing.st_mode & 07777) : CreationMode();
    if (::fchmod(fd, mode) != 0)
        return fail("cannot set the mode of", tmp);
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail("cannot write", tmp);
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail("cannot sync", tmp);
    if (::close(fd) != 0) {
        fd = -1;
        return fail("cannot close", tmp);
    }
    fd = -1;
    if (overwrite) {
        if (::rename(tmp.c_str(), path.c_str()) != 0)
            return fail("cannot rename onto", path);
    } else if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) {
            error = "file exists: " + path;
            ::unlink(tmp.c_str());
            return false;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return fail("cannot rename onto", path);
        // The file system has no no-replace rename: a hard link fails just as well on an existing target.
        if (::link(tmp.c_str(), path.c_str()) != 0) {
            if (errno == EEXIST) {
                error = "file exists: " + path;
                ::unlink(tmp.c_str());
                return false;
            }
            return fail("cannot link onto", path);
        }
        ::unlink(tmp.c_str());
    }
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

} // namespace JsonFile
} // namespace Lumo
