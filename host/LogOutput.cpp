#include "host/LogOutput.h"

#include "host/DesignFile.h"

#include <cerrno>
#include <cstring>

namespace KravikHost {

FILE* OpenLog(const std::string& path, const std::string& design, OwnedFile& owned, std::string& error)
{
    if (path.empty())
        return stdout;
    if (SameFile(path, design))
    {
        error = "the log would overwrite the design";
        return nullptr;
    }
    owned.reset(std::fopen(path.c_str(), "w"));
    if (!owned)
        error = std::string("cannot write the log: ") + std::strerror(errno);
    return owned.get();
}

std::string LogName(const std::string& path)
{
    return path.empty() ? "standard output" : path;
}

std::string FinishLog(FILE* file, OwnedFile& owned, int writeError)
{
    // A write that failed since the last check left its reason in errno; stdio keeps only the
    // error indicator.
    const int earlier = errno;
    int reason = writeError;
    if (reason == 0 && std::ferror(file))
        reason = earlier != 0 ? earlier : EIO;
    errno = 0;
    if (std::fflush(file) != 0 && reason == 0)
        reason = errno;
    if (owned && std::fclose(owned.release()) != 0 && reason == 0)
        reason = errno;
    return reason == 0 ? "" : std::strerror(reason);
}

} // namespace KravikHost
