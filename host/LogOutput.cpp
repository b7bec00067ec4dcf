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

} // namespace KravikHost
