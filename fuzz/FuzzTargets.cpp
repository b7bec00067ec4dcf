#include "fuzz/FuzzTargets.h"

#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"
#include "host/DesignFile.h"
#include "host/FaultSwitches.h"
#include "utils/FileUtils.h"

#include "lumopi/StandIn.h"
#include "ordaxcons/OrdaxConstraintDefs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

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

// A folder of this process for saved designs, in memory where the system has a tmpfs (/dev/shm),
// removed with its files when the process ends.
class SaveFolder
{
public:
    SaveFolder()
    {
        for (const char* base : {"/dev/shm", "/tmp"})
        {
            std::string pattern = std::string(base) + "/kravik-fuzz-XXXXXX";
            if (mkdtemp(&pattern[0]) != nullptr)
            {
                m_path = pattern;
                break;
            }
        }
    }
    ~SaveFolder()
    {
        if (m_path.empty())
            return;
        for (const char* name : kFiles)
            LumoUtils::removeFile(File(name));
        LumoUtils::removeDirectory(m_path);
    }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    bool Ok() const { return !m_path.empty(); }
    std::string File(const char* name) const { return m_path + "/" + name; }

    static constexpr const char* kFiles[] = {"saved.json", "again.json"};

private:
    std::string m_path;
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reports a broken promise of the save and aborts, which the fuzzer keeps as a crash.
[[noreturn]] void Broken(const std::string& what)
{
    std::fprintf(stderr, "kravik fuzz: %s\n", what.c_str());
    std::abort();
}

// Every check once, the log discarded.
void CheckOnce(KravikHost::OpenDesign& design, bool fix)
{
    CTestLog log(nullptr, fix);
    CNorvProjectChecker checker(design.session.get(), design.topBlock, &log, "", 2, 0, "", false, fix, "fuzz", false);
    checker.Check_NorvLUMO(design.snapshot);
}

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
    CheckOnce(design, false);
    return 0;
}

int DesignFixSaveReload(const uint8_t* data, size_t size)
{
    static const SaveFolder folder;
    MemoryFile file(data, size);
    if (!file.Ok() || !folder.Ok())
        return 0;
    KravikHost::OpenDesign design;
    std::string error;
    if (!KravikHost::OpenDesignFile(file.Path(), "", "", design, error))
        return 0;
    // The repairs as check --fix runs them: the faults the file declares fire during the run and
    // are put back before the save.
    const KravikHost::DeclaredFaults declared = KravikHost::ApplyFaultSwitches(*design.session, {});
    CheckOnce(design, true);
    KravikHost::RestoreDeclaredFaults(*design.session, declared);

    const std::string saved = folder.File(SaveFolder::kFiles[0]), again = folder.File(SaveFolder::kFiles[1]);
    const Lumo::Result save = Lumo::StandIn::SaveSession(*design.session, saved, true);
    if (!save)
        Broken("the repaired design was not saved: " + save.GetDescription().str());
    KravikHost::OpenDesign reloaded;
    if (!KravikHost::OpenDesignFile(saved, design.snapshot, design.topBlock, reloaded, error))
        Broken("the saved design does not load: " + error);
    const Lumo::Result resave = Lumo::StandIn::SaveSession(*reloaded.session, again, true);
    if (!resave)
        Broken("the reloaded design was not saved: " + resave.GetDescription().str());
    if (ReadBytes(saved) != ReadBytes(again))
        Broken("the reloaded design saves to other bytes");
    CheckOnce(reloaded, false);
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
        {"fix", &DesignFixSaveReload},
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
