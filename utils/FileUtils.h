// File, directory and tree helpers of the utility library. Paths are in the Windows form of
// PathUtils.h; a backslash reaches the system as '/', so names that hold a backslash cannot be
// reached. Nothing throws: every function reports by its result. Tree walks never follow
// symbolic links: a link is listed, copied and removed as a link and never entered.
// Stateless apart from the copy-buffer size, read once at load; safe from any thread (races with
// other users of the same files are not guarded).
#pragma once

#include <cstdint>
#include <ctime>
#include <list>
#include <string>
#include <vector>

namespace LumoUtils {

// Size of the buffer copyFile uses, from LUMO_COPY_FILE_BUFFER_SIZE when the library loads.
class CopyFileBufferSize {
public:
    static const int Default = 32768;
    static int get();
    // The size a variable text gives: its leading decimal number when that is positive and fits
    // an int, otherwise Default (also for a null text).
    static int parse(const char* text);
};

// --- File tests ---
bool isRegularFile(const std::string& path);
// False with message "Could not stat file [path]: <reason>" or
// "[path] is not regular file. Mode [<decimal mode>]"; message untouched when true.
bool checkRegularFile(const std::string& path, std::string& message);
bool isDirectory(const std::string& path);
// True for an existing path that cannot be opened for update.
bool isReadOnly(const std::string& path);
bool isReadOnly(const std::string& path, bool& exists);
// Size of a regular file.
bool getFileSize(const char* file, std::int64_t& size);
bool isDirectoryListable(const std::string& dir);
// Tries to create (and removes) a file with a random name in dir.
bool isDirectoryWritable(const std::string& dir);
// Equal paths, or a file created through a is visible through b.
bool isSameDirectory(const std::string& a, const std::string& b);
// Name of the file system holding path ("NTFS", "FAT32", "FAT", "exFAT", or the system's own
// name such as "ext4"); "UNKNOWN" when it cannot be determined.
std::string fileSystemType(const char* path);
bool isNtfsOrFatVolume(const char* path);

// --- File operations ---
// Creates an empty file (truncating an existing one only with overwrite).
bool createFile(const std::string& path, bool overwrite);
// Copies a file's bytes and permissions. Without overwrite an existing target fails untouched;
// a file is never copied onto itself. A target written in part stays on disk.
bool copyFile(const std::string& source, const std::string& target, bool overwrite);
// Renames a file or directory; an existing target is never replaced.
bool renameFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
// True when the file was removed or did not exist; removed tells which.
bool removeFile(const std::string& path, bool& removed);
bool removeDirectory(const std::string& path);
// True when the directory was created or already exists.
bool makeDirectory(const std::string& path);
// Creates every missing level.
bool makeDirectories(const std::string& path);
// Sets the access and modification times to *t.
bool setFileTime(const char* file, const std::time_t* t);

// Result codes of findExistingAncestor, which climbs from path to its nearest existing directory.
enum ExistingAncestor {
    AncestorNone = 1,         // no existing directory on the way up; found untouched
    AncestorIsPath = 2,       // found = path, itself a listable directory
    AncestorNoneFromRoot = 3, // as AncestorNone, for a path beginning with a single separator
    AncestorFirstMissing = 4, // found = the level just below the nearest existing directory
    AncestorNotListable = 5   // found = the nearest existing directory, which cannot be listed
};
int findExistingAncestor(const std::string& path, std::string& found);

// --- Directory trees ---
// Every name in dir, "." and ".." included, sorted without regard to case; empty on failure.
std::vector<std::string> listDirectory(const std::string& dir);
bool isDirectoryEmpty(const std::string& dir);
// Appends path and what lies below it to dirs and files; directories named in excludedDirs
// (compared without case) are skipped. Without recursive, subdirectories are listed, not entered.
bool collectTree(const std::string& path, bool recursive, const std::list<std::string>& excludedDirs,
                 std::list<std::string>& dirs, std::list<std::string>& files);
bool collectTree(const std::string& path, bool recursive, std::list<std::string>& dirs,
                 std::list<std::string>& files);
// Copies a file or a directory tree; a file copied onto a directory lands inside it. A target
// inside the source tree is refused.
bool copyTree(const std::string& source, const std::string& target, bool overwrite);
// Removes path and everything below it; an entry of path named keepName (exactly) stays, and so
// does path itself then.
bool removeTree(const std::string& path, const std::string& keepName);
// Removes everything inside dir, except entries named in keep (compared without case).
bool clearDirectory(const std::string& dir);
bool clearDirectory(const std::string& dir, const std::list<std::string>& keep);
bool removeDirectoryTree(const std::string& path);

} // namespace LumoUtils
