// Where a command's log goes: standard output, or the --log file, which must not be the design.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace KravikHost {

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};

using OwnedFile = std::unique_ptr<FILE, FileCloser>;

// Standard output when `path` is empty; otherwise the file at `path`, opened for writing into
// `owned`. Null with the reason in `error` when the file would overwrite the design or cannot be
// written.
FILE* OpenLog(const std::string& path, const std::string& design, OwnedFile& owned, std::string& error);

} // namespace KravikHost
