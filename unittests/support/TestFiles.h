// File helpers that every test program links: whole-file reads and writes, and a temporary folder
// that goes away with what is in it.
#pragma once

#include <string>
#include <vector>

namespace KravikTest {

std::string ReadFile(const std::string& path); // the bytes; empty when it cannot be read
void WriteFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// The names in a folder, sorted, without "." and ".."; empty when it cannot be listed.
std::vector<std::string> ListFolder(const std::string& dir);

// A fresh directory under the system's temporary directory, removed with its files on destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> List() const { return ListFolder(m_path); }

private:
    std::string m_path;
};

} // namespace KravikTest
