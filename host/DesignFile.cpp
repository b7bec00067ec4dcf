#include "host/DesignFile.h"

#include "lumopi/StandIn.h"

#include <algorithm>
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

} // namespace KravikHost
