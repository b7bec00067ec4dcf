// Where a command's log goes: standard output, or the --log file, which must not be the design.
// Every write of it counts: a failed write, flush or close is the command's failure.
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

// The log as the host names it in its error lines: its path, or "standard output".
std::string LogName(const std::string& path);

// Flushes the log and closes it when it is `owned`. Returns the reason (errno text) when a write
// failed (`writeError`: the errno of the first failed write, 0 when none was seen; the stream's
// error indicator is consulted too), or the flush or the close; empty when all went well.
std::string FinishLog(FILE* file, OwnedFile& owned, int writeError);

} // namespace KravikHost
