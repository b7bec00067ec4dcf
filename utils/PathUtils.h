// Path text helpers of the utility library. Paths are in Windows form: the backslash is the
// separator ('/' is accepted only where a function says it converts it), "C:" a drive and two
// leading backslashes a UNC path. Only fullPath, currentDirectory and absolutePath look at the
// file system (the current directory). Stateless; safe from any thread.
#pragma once

#include <string>

namespace LumoUtils {

// In place; each returns path.
std::string& toForwardSlashes(std::string& path);
std::string& toBackslashes(std::string& path);
// '/' becomes '\'; then one trailing backslash is stripped unless the path is empty or a root.
std::string& normalizePath(std::string& path);

// The absolute form of path with "." and ".." folded, in backslash form; relative paths are taken
// from the current directory. Purely lexical: symbolic links are not resolved.
std::string fullPath(const std::string& path);
// a and b joined by exactly one backslash (their own trailing/leading backslashes dropped).
std::string joinPath(const std::string& a, const std::string& b);
std::string joinNormalizedPaths(const std::string& a, const std::string& b);
// C:\dir\file\ gives dir C:\dir and name file; a bare name gives an empty dir.
void splitPath(const std::string& path, std::string& dir, std::string& name);
std::string parentDirectory(const std::string& path);
// The process's current directory in backslash form; empty on failure.
std::string currentDirectory();
std::string absolutePath(const std::string& path);
// path relative to base when it lies inside base (compared without case), else path unchanged.
std::string relativePath(const std::string& path, const std::string& base);
bool isInsideDirectory(const std::string& path, const std::string& dir);

// Empty, or ending (trailing backslashes aside) with ':' or nothing: "", "\", "C:", "C:\".
bool isRootPath(const std::string& path);
// "C:..." or "\\...".
bool isAbsolutePath(const std::string& path);
// "\\" followed by at least one character.
bool isUncPath(const std::string& path);

} // namespace LumoUtils
