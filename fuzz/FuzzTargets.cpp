#include "fuzz/FuzzTargets.h"

#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"
#include "host/DesignFile.h"
#include "host/FaultSwitches.h"

#include "lumopi/StandIn.h"
#include "ordaxcons/OrdaxConstraintDefs.h"

#include <sys/mman.h>
#include <unistd.h>

namespace KravikFuzz {

namespace {

// The bytes as a file in memory, named by a path that every reader can open; closed on destruction.
class MemoryFile
{
public:
    MemoryFile(const uint8_t* data, size_t size) : m_fd(memfd_create("kravik-fuzz", MFD_CLOEXEC))
    {
        for (size_t done = 0; m_fd >= 0 && done < size;)
        {
            const ssize_t n = write(m_fd, data + done, size - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
    }
    ~MemoryFile()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    bool Ok() const { return m_fd >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd;
};

} // namespace

int DesignLoad(const uint8_t* data, size_t size)
{
    MemoryFile file(data, size);
    if (!file.Ok())
        return 0;
    // The host's own opening: the load, then the first snapshot and its first top block.
    KravikHost::OpenDesign design;
    std::string error;
    if (!KravikHost::OpenDesignFile(file.Path(), "", "", design, error))
        return 0;
    // A design that loads goes through every check; the log is discarded.
    CTestLog log(nullptr, false);
    CNorvProjectChecker checker(design.session.get(), design.topBlock, &log, "", 2, 0, "", false, false, "fuzz",
                                false);
    checker.Check_NorvLUMO(design.snapshot);
    return 0;
}

int ConstraintsLoad(const uint8_t* data, size_t size)
{
    MemoryFile file(data, size);
    if (!file.Ok())
        return 0;
    norv_ordaxcons::COrdaxConstraintDefs definitions;
    if (definitions.LoadCnsFile(file.Path(), false, true))
        for (norv_ordaxcons::COrdaxConsDef* definition : definitions.GetConsDefs())
            definitions.GetConsDef(definition->GetName().c_str());
    return 0;
}

int FilterFile(const uint8_t* data, size_t size)
{
    MemoryFile file(data, size);
    if (!file.Ok())
        return 0;
    CTestLog log(nullptr, false);
    CNorvProjectChecker checker(nullptr, "", &log, "", 1, 1, file.Path(), false, false, "fuzz", false);
    checker.GetTestCount();
    return 0;
}

int FaultSwitches(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        KravikHost::FailNextSwitch next;
        KravikHost::FailOnSwitch on;
        uint64_t index = 0;
        KravikHost::ParseFailNext(line, next);
        KravikHost::ParseFailOn(line, on);
        KravikHost::ParseIndexText(line, index);
        start = end + 1;
    }
    return 0;
}

const std::vector<Target>& Targets()
{
    static const std::vector<Target> targets = {
        {"design", &DesignLoad},
        {"constraints", &ConstraintsLoad},
        {"filter", &FilterFile},
        {"fault_switches", &FaultSwitches},
    };
    return targets;
}

std::string DesignDictionary()
{
    using namespace Lumo::StandIn;
    std::string dictionary;
    auto add = [&dictionary](const std::string& word) { dictionary += "\"" + word + "\"\n"; };
    for (size_t f = 0; f < static_cast<size_t>(Field::Count); ++f)
        add(std::string("\\\"") + FieldName(static_cast<Field>(f)) + "\\\":");
    for (size_t k = 1; k < static_cast<size_t>(Kind::Count); ++k)
        add(std::string("\\\"") + KindName(static_cast<Kind>(k)) + "\\\"");
    for (const char* key : {"id", "kind", "index", "name", "topBlock", "in", "valid", "emptyIndex", "literal", "fail",
                            "inherits", "attributes", "value", "type", "objects", "nextSerial", "clients", "locks",
                            "format", "version", "complete", "session", "snapshots", "backups", "definitions",
                            "failNext", "countdown", "address", "subClient"})
        add(std::string("\\\"") + key + "\\\":");
    for (const char* word : {"kravik-design", "true", "false", "null", "-0-49", "-0-22"})
        add(word);
    return dictionary;
}

} // namespace KravikFuzz
