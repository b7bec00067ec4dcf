#include "utils/FileUtils.h"

#include "utils/PathUtils.h"
#include "utils/TextUtils.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LumoUtils {

namespace {

// The path as the system takes it: backslashes are separators.
std::string osPath(const std::string& path)
{
    std::string result = path;
    return toForwardSlashes(result);
}

bool statPath(const std::string& path, struct stat& st)
{
    return ::stat(osPath(path).c_str(), &st) == 0;
}

// Status of the path itself, never of what a symbolic link points to (trailing separators, which
// would make the system follow a link, are dropped).
bool lstatPath(const std::string& path, struct stat& st)
{
    std::string os = osPath(path);
    const std::size_t last = os.find_last_not_of('/');
    if (last != std::string::npos)
        os.erase(last + 1);
    return ::lstat(os.c_str(), &st) == 0;
}

std::string withoutOneTrailingBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

bool isDotEntry(const std::string& name)
{
    return name == "." || name == "..";
}

bool containsNoCase(const std::list<std::string>& names, const std::string& name)
{
    const std::string lower = toLower(name);
    return std::any_of(names.begin(), names.end(), [&lower](const std::string& n) { return toLower(n) == lower; });
}

// Creates a file with a fresh random name in dir (never truncating an existing one); returns its
// path, or an empty string.
std::string createScratchFile(const std::string& dir)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::string path = joinPath(dir, randomString(8) + ".tmp");
        const int fd = ::open(osPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    return std::string();
}

bool writeAll(int fd, const char* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies the bytes of in to out with a buffer of the configured size.
bool copyContents(int in, int out)
{
    const int size = CopyFileBufferSize::get();
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer)
        return false;
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), static_cast<std::size_t>(size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(out, buffer.get(), static_cast<std::size_t>(got)))
            return false;
    }
}

// Recreates the symbolic link source at target.
bool copyLink(const std::string& source, const std::string& target, bool overwrite)
{
    std::vector<char> text(PATH_MAX + 1);
    const ssize_t length = ::readlink(osPath(source).c_str(), text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) >= text.size())
        return false;
    const std::string linkText(text.data(), static_cast<std::size_t>(length));
    struct stat st;
    if (lstatPath(target, st)) {
        if (!overwrite || S_ISDIR(st.st_mode) || ::unlink(osPath(target).c_str()) != 0)
            return false;
    }
    return ::symlink(linkText.c_str(), osPath(target).c_str()) == 0;
}

// Name of the file system mounted deepest on the way to the canonical path, from the mount table.
std::string mountedFileSystem(const std::string& canonical)
{
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    std::string bestMount;
    std::string bestType;
    while (std::getline(table, line)) {
        // Fields: id parent major:minor root mount-point options [optional...] - type source ...
        const std::vector<std::string> fields = split(line, " ");
        if (fields.size() < 7)
            continue;
        std::string mount = fields[4];
        replaceAll(mount, "\\040", " ");
        replaceAll(mount, "\\011", "\t");
        replaceAll(mount, "\\012", "\n");
        replaceAll(mount, "\\134", "\\");
        const auto dash = std::find(fields.begin() + 6, fields.end(), "-");
        if (dash == fields.end() || dash + 1 == fields.end())
            continue;
        const bool covers = mount == "/" || canonical == mount || canonical.compare(0, mount.size() + 1, mount + "/") == 0;
        if (covers && mount.size() >= bestMount.size()) {
            bestMount = mount;
            bestType = *(dash + 1);
        }
    }
    return bestType;
}

} // namespace

int CopyFileBufferSize::parse(const char* text)
{
    if (!text)
        return Default;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || value <= 0 || value > INT_MAX)
        return Default;
    return static_cast<int>(value);
}

int CopyFileBufferSize::get()
{
    static const int size = parse(std::getenv("LUMO_COPY_FILE_BUFFER_SIZE"));
    return size;
}

namespace {
// Reads the variable when the library loads, as the size must not change while copies run.
[[maybe_unused]] const int s_copyFileBufferSizeAtLoad = CopyFileBufferSize::get();
} // namespace

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode);
}

bool checkRegularFile(const std::string& path, std::string& message)
{
    struct stat st;
    if (!statPath(path, st)) {
        message = "Could not stat file [" + path + "]: " + std::strerror(errno);
        return false;
    }
    if (S_ISREG(st.st_mode))
        return true;
    message = "[" + path + "] is not regular file. Mode [" + std::to_string(st.st_mode) + "]";
    return false;
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    bool found = statPath(path, st);
    if (!found && !path.empty() && path.back() != '\\')
        found = statPath(path + '\\', st);
    return found && S_ISDIR(st.st_mode);
}

bool isReadOnly(const std::string& path)
{
    bool exists = false;
    return isReadOnly(path, exists);
}

bool isReadOnly(const std::string& path, bool& exists)
{
    struct stat st;
    exists = statPath(path, st);
    if (!exists)
        return false;
    std::FILE* file = std::fopen(osPath(path).c_str(), "r+");
    if (!file)
        return true;
    std::fclose(file);
    return false;
}

bool getFileSize(const char* file, std::int64_t& size)
{
    struct stat st;
    if (!file || !statPath(file, st) || !S_ISREG(st.st_mode))
        return false;
    size = static_cast<std::int64_t>(st.st_size);
    return true;
}

bool isDirectoryListable(const std::string& dir)
{
    DIR* handle = ::opendir(osPath(dir).c_str());
    if (!handle)
        return false;
    const bool found = ::readdir(handle) != nullptr;
    ::closedir(handle);
    return found;
}

bool isDirectoryWritable(const std::string& dir)
{
    const std::string path = withoutOneTrailingBackslash(dir);
    if (!isDirectory(path))
        return false;
    const std::string scratch = createScratchFile(path);
    if (scratch.empty())
        return false;
    ::unlink(osPath(scratch).c_str());
    return true;
}

bool isSameDirectory(const std::string& a, const std::string& b)
{
    std::string left = a;
    std::string right = b;
    if (toLower(normalizePath(left)) == toLower(normalizePath(right)))
        return true;
    if (!isDirectory(a) || !isDirectory(b))
        return false;
    const std::string scratch = createScratchFile(a);
    if (scratch.empty())
        return false;
    std::string dir;
    std::string name;
    splitPath(scratch, dir, name);
    const bool same = isRegularFile(joinPath(b, name));
    ::unlink(osPath(scratch).c_str());
    return same;
}

std::string fileSystemType(const char* path)
{
    if (!path)
        return "UNKNOWN";
    // The nearest existing level of the path decides which mount holds it.
    std::string current = osPath(fullPath(path));
    std::unique_ptr<char, decltype(&std::free)> canonical(nullptr, &std::free);
    for (;;) {
        canonical.reset(::realpath(current.c_str(), nullptr));
        if (canonical || current.empty() || current == "/")
            break;
        const std::size_t slash = current.find_last_of('/');
        current = slash == 0 || slash == std::string::npos ? "/" : current.substr(0, slash);
    }
    if (!canonical)
        return "UNKNOWN";
    const std::string type = mountedFileSystem(canonical.get());
    if (type.empty())
        return "UNKNOWN";
    if (type == "ntfs" || type == "ntfs3")
        return "NTFS";
    if (type == "vfat")
        return "FAT32";
    if (type == "msdos")
        return "FAT";
    if (type == "exfat")
        return "exFAT";
    return type;
}

bool isNtfsOrFatVolume(const char* path)
{
    const std::string type = fileSystemType(path);
    return type.compare(0, 4, "NTFS") == 0 || type.compare(0, 3, "FAT") == 0;
}

bool createFile(const std::string& path, bool overwrite)
{
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (overwrite ? 0 : O_EXCL);
    const int fd = ::open(osPath(path).c_str(), flags, 0666);
    return fd >= 0 && ::close(fd) == 0;
}

bool copyFile(const std::string& source, const std::string& target, bool overwrite)
{
    struct stat sourceStat;
    if (!statPath(source, sourceStat) || !S_ISREG(sourceStat.st_mode))
        return false;
    // Opening the source itself as the target would truncate it before it is read.
    struct stat targetStat;
    if (statPath(target, targetStat) && targetStat.st_dev == sourceStat.st_dev &&
        targetStat.st_ino == sourceStat.st_ino)
        return false;

    const int in = ::open(osPath(source).c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (overwrite ? 0 : O_EXCL);
    const int out = ::open(osPath(target).c_str(), flags, sourceStat.st_mode & 07777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = copyContents(in, out);
    if (::close(in) != 0)
        ok = false;
    if (::close(out) != 0)
        ok = false;
    return ok;
}

bool renameFile(const std::string& from, const std::string& to)
{
    const std::string source = osPath(from);
    const std::string target = osPath(to);
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // File systems without a no-replace rename: a hard link fails on an existing target.
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0)
        return false;
    if (S_ISDIR(st.st_mode)) {
        if (::lstat(target.c_str(), &st) == 0 || errno != ENOENT)
            return false;
        return ::rename(source.c_str(), target.c_str()) == 0;
    }
    if (::link(source.c_str(), target.c_str()) != 0)
        return false;
    if (::unlink(source.c_str()) != 0) {
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

bool removeFile(const std::string& path)
{
    return ::unlink(osPath(path).c_str()) == 0;
}

bool removeFile(const std::string& path, bool& removed)
{
    removed = ::unlink(osPath(path).c_str()) == 0;
    return removed || errno == ENOENT;
}

bool removeDirectory(const std::string& path)
{
    return ::rmdir(osPath(path).c_str()) == 0;
}

bool makeDirectory(const std::string& path)
{
    const std::string dir = withoutOneTrailingBackslash(path);
    if (::mkdir(osPath(dir).c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && isDirectory(dir);
}

bool makeDirectories(const std::string& path)
{
    if (isRootPath(path) || isDirectory(path))
        return true;
    std::string dir;
    std::string name;
    splitPath(path, dir, name);
    if (!dir.empty() && !makeDirectories(dir))
        return false;
    return makeDirectory(path);
}

bool setFileTime(const char* file, const std::time_t* t)
{
    if (!file || !t)
        return false;
    struct timespec times[2];
    times[0].tv_sec = *t;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return ::utimensat(AT_FDCWD, osPath(file).c_str(), times, 0) == 0;
}

int findExistingAncestor(const std::string& path, std::string& found)
{
    std::string current = path;
    std::string previous;
    bool hasPrevious = false;
    bool isDir = isDirectory(current);
    while (!isDir) {
        const std::size_t last = current.find_last_not_of('\\');
        if (last == std::string::npos || current[last] == ':')
            break;
        const std::string parent = parentDirectory(current);
        if (parent == current)
            break;
        previous = current;
        hasPrevious = true;
        current = parent;
        isDir = isDirectory(current);
    }
    if (!isDir) {
        std::string slashed = path;
        toForwardSlashes(slashed);
        const bool singleLeadingSlash = !slashed.empty() && slashed[0] == '/' && (slashed.size() < 2 || slashed[1] != '/');
        return singleLeadingSlash ? AncestorNoneFromRoot : AncestorNone;
    }
    if (!isDirectoryListable(current)) {
        found = current;
        return AncestorNotListable;
    }
    if (hasPrevious && !isDirectory(previous)) {
        found = previous;
        return AncestorFirstMissing;
    }
    found = current;
    return AncestorIsPath;
}

std::vector<std::string> listDirectory(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* handle = ::opendir(osPath(dir).c_str());
    if (!handle)
        return names;
    while (const dirent* entry = ::readdir(handle))
        names.emplace_back(entry->d_name);
    ::closedir(handle);
    // A fixed order whatever the file system returns: by name without case, then exactly.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = toLower(a);
        const std::string lb = toLower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

bool isDirectoryEmpty(const std::string& dir)
{
    const std::vector<std::string> names = listDirectory(dir);
    return std::all_of(names.begin(), names.end(), isDotEntry);
}

bool collectTree(const std::string& path, bool recursive, const std::list<std::string>& excludedDirs,
                 std::list<std::string>& dirs, std::list<std::string>& files)
{
    const std::string root = withoutOneTrailingBackslash(path);
    struct stat st;
    if (!lstatPath(root, st))
        return false;
    if (!S_ISDIR(st.st_mode)) {
        files.push_back(root);
        return true;
    }
    dirs.push_back(root);
    for (const std::string& name : listDirectory(root)) {
        if (isDotEntry(name))
            continue;
        const std::string full = joinPath(root, name);
        struct stat entry;
        if (!lstatPath(full, entry) || !S_ISDIR(entry.st_mode)) {
            files.push_back(full);
        } else if (containsNoCase(excludedDirs, name)) {
            continue;
        } else if (recursive) {
            if (!collectTree(full, recursive, excludedDirs, dirs, files))
                return false;
        } else {
            dirs.push_back(full);
        }
    }
    return true;
}

bool collectTree(const std::string& path, bool recursive, std::list<std::string>& dirs,
                 std::list<std::string>& files)
{
    return collectTree(path, recursive, std::list<std::string>(), dirs, files);
}

bool copyTree(const std::string& source, const std::string& target, bool overwrite)
{
    const std::string from = withoutOneTrailingBackslash(source);
    const std::string to = withoutOneTrailingBackslash(target);
    struct stat st;
    if (!lstatPath(from, st))
        return false;
    if (S_ISDIR(st.st_mode)) {
        // A target inside the source would be copied into itself without end.
        const std::string fullFrom = fullPath(from) + '\\';
        const std::string fullTo = fullPath(to) + '\\';
        if (fullTo.compare(0, fullFrom.size(), fullFrom) == 0)
            return false;
        if (!makeDirectories(to))
            return false;
        for (const std::string& name : listDirectory(from)) {
            if (!isDotEntry(name) && !copyTree(joinPath(from, name), joinPath(to, name), overwrite))
                return false;
        }
        return true;
    }
    std::string destination = to;
    if (isDirectory(to)) {
        std::string dir;
        std::string name;
        splitPath(from, dir, name);
        destination = joinPath(to, name);
    }
    if (S_ISLNK(st.st_mode))
        return copyLink(from, destination, overwrite);
    return copyFile(from, destination, overwrite);
}

bool removeTree(const std::string& path, const std::string& keepName)
{
    const std::string root = withoutOneTrailingBackslash(path);
    struct stat st;
    if (!lstatPath(root, st))
        return false;
    if (!S_ISDIR(st.st_mode))
        return removeFile(root);
    for (const std::string& name : listDirectory(root)) {
        if (isDotEntry(name) || name == keepName)
            continue;
        if (!removeTree(joinPath(root, name), std::string()))
            return false;
    }
    const bool removed = removeDirectory(root);
    return keepName.empty() ? removed : true;
}

bool clearDirectory(const std::string& dir)
{
    return clearDirectory(dir, std::list<std::string>());
}

bool clearDirectory(const std::string& dir, const std::list<std::string>& keep)
{
    const std::string root = withoutOneTrailingBackslash(dir);
    struct stat st;
    if (!lstatPath(root, st) || !S_ISDIR(st.st_mode))
        return false;
    for (const std::string& name : listDirectory(root)) {
        if (isDotEntry(name) || containsNoCase(keep, name))
            continue;
        if (!removeTree(joinPath(root, name), std::string()))
            return false;
    }
    return true;
}

bool removeDirectoryTree(const std::string& path)
{
    if (removeDirectory(path))
        return true;
    if (errno != ENOTEMPTY && errno != EEXIST)
        return false;
    return removeTree(path, std::string());
}

} // namespace LumoUtils
