// Shared pieces of the maintenance suites: the framework suites' design and log, a checker on
// the design's top block, the own locks left behind and the names of the live objects of a kind.
#pragma once

#include "framework/FrameworkTestSupport.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace mtest
{

using fwtest::CapturingLog;
using fwtest::Design;
using Lumo::StandIn::Kind;

// Own lock entries of the selected snapshot: every operation must release what it took.
inline size_t ownLocks(Lumo::StandIn::Store& store)
{
    const std::vector<Lumo::StandIn::LockEntry> locks = store.Locks();
    return static_cast<size_t>(
        std::count_if(locks.begin(), locks.end(), [](const Lumo::StandIn::LockEntry& e) { return !e.declared; }));
}

// The names of the live objects of a kind, in store order.
inline std::vector<std::string> liveNames(Lumo::StandIn::Store& store, Kind kind)
{
    std::vector<std::string> names;
    for (Lumo::Index index : store.AllLive(kind))
        names.push_back(store.Name(index));
    return names;
}

// What a run with an armed countdown did: whether the countdown fired, and every injected failure
// in order (the design's own faults included).
struct FailedRun
{
    bool countdownFired = false;
    std::vector<Lumo::StandIn::Faults::FiredEntry> fired;
};

inline FailedRun failedRun(Lumo::LumoPI& session)
{
    Lumo::StandIn::Faults& faults = Lumo::StandIn::GetFaults(session);
    return FailedRun{faults.GetCountdown() == 0, faults.Fired()};
}

// Runs a scenario on a fresh set-up with SetCountdown(k) (k = 0: no countdown) and returns
// failedRun of its session.
using FailingRun = std::function<FailedRun(uint64_t k)>;

// The operations of a scenario's database calls, in order. A run whose k-th call fails is the clean
// run up to that call, so its first injected failure that the clean run does not have is the k-th
// call. When the k-th call is one that the design's own faults fail anyway, the two runs are the
// same and the operation is not known: it is given as "?".
inline std::vector<std::string> callSequence(const FailingRun& run)
{
    const std::vector<Lumo::StandIn::Faults::FiredEntry> clean = run(0).fired;
    std::vector<std::string> ops;
    for (uint64_t k = 1;; ++k) {
        const FailedRun failed = run(k);
        if (!failed.countdownFired)
            return ops;
        size_t i = 0;
        while (i < failed.fired.size() && i < clean.size() && failed.fired[i].operation == clean[i].operation &&
               failed.fired[i].object == clean[i].object)
            ++i;
        ops.push_back(i < failed.fired.size() ? failed.fired[i].operation : "?");
    }
}

// The countdown that fails the n-th call (from 1) of `op`; 0 when there is none.
inline uint64_t callPosition(const std::vector<std::string>& ops, const std::string& op, int n)
{
    for (size_t k = 0; k < ops.size(); ++k)
        if (ops[k] == op && --n == 0)
            return k + 1;
    return 0;
}

// Arms the countdown that fails the n-th call of `op` of the scenario whose calls are `ops`; false
// when the scenario makes no such call.
inline bool failCall(Lumo::LumoPI& session, const std::vector<std::string>& ops, const std::string& op, int n)
{
    const uint64_t position = callPosition(ops, op, n);
    Lumo::StandIn::GetFaults(session).SetCountdown(position);
    return position != 0;
}

// A checker on the top block "TOP" that writes to `log`.
struct Maintenance
{
    explicit Maintenance(Lumo::LumoPI* session, const std::string& topBlock = "TOP")
        : checker(session, topBlock, &log, "", 1, 0, "", false, false, "", false)
    {
    }
    CapturingLog log;
    CNorvProjectChecker checker;
};

} // namespace mtest
