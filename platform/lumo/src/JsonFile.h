// File and text helpers shared by the design-file loader and saver: index text, JSON Pointer tokens and
// the atomic file write. Private to lumopi; stateless and thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Lumo {
namespace JsonFile {

// True when the text has the shape of a raw index ("17-0-49", "-3-0-255"), whether or not in range.
bool LooksLikeIndexText(std::string_view text);

// Parses the text form of an index. False when the shape or a component's range is wrong.
bool ParseIndexText(std::string_view text, uint64_t& value);

// The length of the UTF-8 sequence at s[i] (a byte of 0x80 or above), or 0 when it is not a well-formed one
// (overlong, a surrogate, beyond U+10FFFF or cut short).
size_t Utf8Length(std::string_view s, size_t i);

// Appends "/" and the key escaped as a JSON Pointer reference token.
void AppendPointerToken(std::string& path, std::string_view key);

// A regular file read in pieces into the caller's buffer, so that a large file never needs a buffer of its
// size. It is read rather than mapped, so that a file that another process truncates or rewrites meanwhile
// gives an error instead of a SIGBUS.
class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // False with a reason when the file cannot be opened or is not a regular file (a FIFO or device is
    // refused without waiting for a writer).
    bool Open(const std::string& path, std::string& error);
    // The size the file had when it was opened.
    uint64_t Size() const { return m_size; }
    // Up to `room` bytes of the file into `into`: their count, 0 at the end of the file or on an error. An
    // error is that it cannot be read or that it changed size while it was read (it ended early, or it holds
    // more than its size): Failed() and Error() say so.
    size_t Read(char* into, size_t room);
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }

private:
    void Close();

    std::string m_path;
    std::string m_error;
    int m_fd = -1;
    uint64_t m_size = 0;
    uint64_t m_done = 0;
};

// Where the saver's text goes.
class Sink {
public:
    virtual ~Sink() = default;
    // False with the reason in `error` when the bytes cannot be written.
    virtual bool Write(const char* data, size_t size, std::string& error) = 0;
};

// An open file descriptor written at its offset; the caller syncs and closes it.
class DescriptorSink : public Sink {
public:
    explicit DescriptorSink(int fd) : m_fd(fd) {}
    bool Write(const char* data, size_t size, std::string& error) override;

private:
    int m_fd;
};

// A file written through a temporary file beside it: Commit syncs the temporary file and renames it onto
// the path. Without `overwrite` an existing file is never replaced, not even one created while writing.
// A path that is a symbolic link is written through: its final target is replaced and keeps its mode,
// and the link stays. The temporary file is unnamed where the file system allows it (a killed writer
// then leaves nothing behind); elsewhere, and for a moment before the rename, it is named "." + file
// name + ".XXXXXX" (a name too long for that is cut and given a hash of it whole): a writer killed
// then leaves that file, which nothing removes, since nothing tells it apart from a user's file of
// such a name. Destroying an uncommitted file removes the temporary file.
class AtomicFile : public Sink {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Open(const std::string& path, bool overwrite, std::string& error);
    bool Write(const char* data, size_t size, std::string& error) override;
    bool Commit(std::string& error);
    // The path written: the given one, or the final target of a link.
    const std::string& Path() const { return m_path; }

private:
    bool Publish(std::string& error);

    std::string m_path, m_tmp, m_dir, m_base, m_prefix;
    bool m_overwrite = false;
    bool m_unnamed = false; // the temporary file has no name until Commit links it
    int m_fd = -1;
};

} // namespace JsonFile
} // namespace Lumo
