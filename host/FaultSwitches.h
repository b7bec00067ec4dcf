// The stand-in database's fault injection and call counting, as the command line asks for them:
// --fail-call K, --fail-next OP=N, --fail-on INDEX:OP[:COUNT] and --count-calls. Parsing is kept
// apart from the database so that it can be tested on its own.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace Lumo {
class LumoPI;
namespace detail {
struct FaultState;
}
}

namespace KravikHost {

// --fail-next OP=N: the next N calls of operation OP fail, whatever the object.
struct FailNextSwitch
{
    std::string operation;
    int count = 0;
};

// --fail-on INDEX:OP[:COUNT]: calls of OP on the object INDEX fail (every call without COUNT).
struct FailOnSwitch
{
    uint64_t index = 0;
    std::string operation;
    int count = -1;
};

struct FaultSwitches
{
    uint64_t failCall = 0; // fail the K-th database call of the run; 0: off
    std::vector<FailNextSwitch> failNext;
    std::vector<FailOnSwitch> failOn;
    bool countCalls = false;

    bool Any() const { return failCall != 0 || !failNext.empty() || !failOn.empty(); }
};

// Each parser returns the empty text on success, else what is wrong with the text.
std::string ParseFailNext(const std::string& text, FailNextSwitch& out);
std::string ParseFailOn(const std::string& text, FailOnSwitch& out);
// An object index in its text form "5-0-49": low word (signed), middle 24 bits, type.
std::string ParseIndexText(const std::string& text, uint64_t& out);

// The faults a design file declared, as loaded.
using DeclaredFaults = std::shared_ptr<const Lumo::detail::FaultState>;

// Arms the faults on a loaded session and clears its call counters, just before the run. Returns
// the faults the file declared, for RestoreDeclaredFaults.
DeclaredFaults ApplyFaultSwitches(Lumo::LumoPI& session, const FaultSwitches& switches);
// Puts back the faults the file declared before the session is saved: the switches' faults are
// for the run only.
void RestoreDeclaredFaults(Lumo::LumoPI& session, const DeclaredFaults& declared);
// Once an injected fault fired, a run cannot vouch for its result: writes the line that says so,
// "kravik: <design>: N injected faults fired, the first on OP of INDEX; <consequence>", and
// returns true. Writes nothing and returns false when no fault fired.
bool ReportFiredFaults(Lumo::LumoPI& session, const std::string& design, const std::string& consequence,
                       std::ostream& err);
// Writes the call counters, one operation a line sorted by name, then the total.
void PrintCallCounts(Lumo::LumoPI& session, std::ostream& out);

} // namespace KravikHost
