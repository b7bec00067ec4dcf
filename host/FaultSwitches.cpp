#include "host/FaultSwitches.h"

#include "utils/TextUtils.h"

#include "lumopi/StandIn.h"

#include <map>

namespace KravikHost {

DeclaredFaults ApplyFaultSwitches(Lumo::LumoPI& session, const FaultSwitches& switches)
{
    Lumo::StandIn::GetCallCounts(session).Reset();
    Lumo::StandIn::Faults& faults = Lumo::StandIn::GetFaults(session);
    DeclaredFaults declared = faults.Save();
    for (const FailOnSwitch& failOn : switches.failOn)
        faults.FailOn(Lumo::Index(failOn.index), failOn.operation, failOn.count);
    for (const FailNextSwitch& failNext : switches.failNext)
        faults.FailNext(failNext.operation, failNext.count);
    if (switches.failCall != 0)
        faults.SetCountdown(switches.failCall);
    return declared;
}

void RestoreDeclaredFaults(Lumo::LumoPI& session, const DeclaredFaults& declared)
{
    if (declared)
        Lumo::StandIn::GetFaults(session).Restore(*declared);
}

bool ReportFiredFaults(Lumo::LumoPI& session, const std::string& design, const std::string& consequence,
                       std::ostream& err)
{
    const std::vector<Lumo::StandIn::Faults::FiredEntry>& fired = Lumo::StandIn::GetFaults(session).Fired();
    if (fired.empty())
        return false;
    err << "kravik: " << LumoUtils::escapeControls(design) << ": " << fired.size() << " injected fault" << (fired.size() == 1 ? "" : "s")
        << " fired, the first on " << fired.front().operation << " of " << fired.front().object.ToText() << "; "
        << consequence << std::endl;
    return true;
}

void PrintCallCounts(Lumo::LumoPI& session, std::ostream& out)
{
    const Lumo::StandIn::CallCounts& counts = Lumo::StandIn::GetCallCounts(session);
    out << "Database calls by operation:\n";
    for (const auto& entry : counts.Snapshot()) // std::map: sorted by name
        out << entry.second << '\t' << entry.first << '\n';
    out << counts.Total() << "\ttotal" << std::endl;
}

} // namespace KravikHost
