// What the sweeps share: the example designs, and the state of a file that a run must leave alone.
#pragma once

#include "support/TestFiles.h"

#include <sys/stat.h>

#include <string>
#include <vector>

namespace KravikSweep {

using KravikTest::ReadFile;
using KravikTest::TempDir;
using KravikTest::WriteFile;

std::string ExamplePath(const std::string& name); // examples/<name>

// KRAVIK_SWEEP_STRIDE=n (1 when unset): the sweeps take every n-th of their points only (a failed
// call, a kill). The sanitizer build, whose runs are several times slower, sweeps that way; the
// plain build sweeps every point.
unsigned long SweepStride();

// The example designs (every file of examples/ but the constraints files), by file name.
std::vector<std::string> ExampleDesigns();

// The first line of a check log whose repair outcome gives a failed database call without its text
// (" Database error: ."); empty when there is none.
std::string TextlessFailure(const std::string& log);

// A file's bytes with its modification time, to show that a run left it as it was.
struct FileState
{
    std::string bytes;
    timespec modified{};
};
FileState StateOf(const std::string& path);
// Empty when `path` still has `before`'s bytes and modification time; otherwise what changed.
std::string ChangeOf(const std::string& path, const FileState& before);

} // namespace KravikSweep
