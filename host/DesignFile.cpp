#include "host/DesignFile.h"

#include "lumopi/StandIn.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace KravikHost {

namespace {

// The top blocks of the selected snapshot's configurations, Norv ones first, in file order.
std::vector<std::string> TopBlocks(Lumo::StandIn::Store& store)
{
    std::vector<std::string> blocks;
    for (Lumo::StandIn::Field home : {Lumo::StandIn::Field::norvConfigs, Lumo::StandIn::Field::defaultConfigs})
        for (const Lumo::Index& config : store.List(store.SnapshotIndex(), home))
            if (store.IsAlive(config))
                blocks.push_back(store.Name(config));
    return blocks;
}

} // namespace

bool OpenDesignFile(const std::string& path, const std::string& snapshot, const std::string& topBlock,
                    OpenDesign& design, std::string& error, const Lumo::StandIn::LoadProgressHook& progress)
{
    Lumo::StandIn::LoadError loadError;
    design.session = Lumo::StandIn::LoadSession(path, &loadError, progress);
    if (!design.session)
    {
        error = loadError.path.empty() ? loadError.message : loadError.path + ": " + loadError.message;
        return false;
    }

    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(*design.session);
    design.snapshot = snapshot.empty() ? store.SnapshotName() : snapshot;
    if (design.snapshot.empty())
    {
        error = "the design holds no snapshot";
        return false;
    }
    if (!store.Select(design.snapshot))
    {
        error = "no snapshot \"" + design.snapshot + "\"";
        return false;
    }

    // A block known only to the schematic side still gets checked: the checks report its missing
    // Norv data themselves.
    const std::vector<std::string> blocks = TopBlocks(store);
    if (topBlock.empty() && blocks.empty())
    {
        error = "snapshot \"" + design.snapshot + "\" holds no top block";
        return false;
    }
    design.topBlock = topBlock.empty() ? blocks.front() : topBlock;
    if (std::find(blocks.begin(), blocks.end(), design.topBlock) == blocks.end())
    {
        error = "no top block \"" + design.topBlock + "\" in snapshot \"" + design.snapshot + "\"";
        return false;
    }

    // Make it the session's current snapshot, as the design application does before it runs anything.
    Lumo::ContainerT<const Lumo::ISnapshot> current;
    design.session->GetSnapshotByName(current, design.snapshot);
    return true;
}

namespace {

// Test seam: the command in KRAVIK_TEST_BEFORE_REPLACE, when set, runs (through the shell) at the
// last moment before a save replaces its file, so that the tests can change the file there.
void RunTestSeamBeforeReplace()
{
    const char* command = std::getenv("KRAVIK_TEST_BEFORE_REPLACE");
    if (command != nullptr && *command != '\0')
    {
        // What the command did to the files is what the test looks at, not how it ended.
        const int status = std::system(command);
        (void)status;
    }
}

} // namespace

bool SaveDesignFile(const Lumo::LumoPI& session, const std::string& designPath, const std::string& output,
                    std::string& error, const std::function<std::string()>& beforeReplace)
{
    const bool writeBack = output.empty() || SameFile(output, designPath);
    BackupCopy backup;
    if (writeBack && !backup.Prepare(designPath, error))
        return false;
    // The file is compared last, after the new one is complete: a change made to it at any time
    // before is refused, and then nor is the earlier backup replaced.
    std::string refusal;
    const auto lastStep = [&] {
        RunTestSeamBeforeReplace();
        refusal = beforeReplace ? beforeReplace() : "";
        if (refusal.empty() && writeBack)
            backup.Keep(refusal); // a backup that cannot be kept refuses the save with its reason
        return refusal;
    };
    // The database describes a failure only while result texts are on.
    const bool texts = Lumo::StandIn::IsStringResultsEnabled();
    Lumo::Result::SetStringResultsEnabled(true);
    errno = 0;
    const Lumo::Result saved = Lumo::StandIn::SaveSession(session, writeBack ? designPath : output, true, lastStep);
    const int reason = errno;
    const std::string description = saved.GetDescription().str();
    Lumo::Result::SetStringResultsEnabled(texts);
    if (saved)
        return true;
    if (!refusal.empty())
    {
        error = refusal;
        return false;
    }
    // A failed system call ends the description with its errno text: the reason the user needs.
    // The description names the database's temporary file, which the user never sees.
    const std::string system = reason != 0 ? std::string(": ") + std::strerror(reason) : "";
    const bool bySystem = !system.empty() && description.size() > system.size()
        && description.compare(description.size() - system.size(), system.size(), system) == 0;
    error = "cannot write: " + (bySystem ? system.substr(2) : description);
    return false;
}

} // namespace KravikHost
