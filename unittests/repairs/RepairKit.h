// Shared pieces of the repair suites: a small design built with the stand-in's builder, a run of one
// repair method with the fix context bound as the repair manager binds it (faults armed after the
// binding hit the repair alone), and a short text of a repair's outcome.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/FixContext.h"
#include "tests/connectivity/ConnectivityTestSupport.h"

#include "lumopi/StandIn.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace repairkit
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

using Pairs = std::vector<std::pair<Index, std::string>>;

// The connectivity suites' design (snapshot "main", Norv configuration "TOP" with its design, the
// schematic configuration) with the reads and the binding the repair suites need.
struct RepairDesign : conntest::Design
{
    Lumo::StandIn::Store& store() { return b.GetStore(); }
    std::string name(Index index) { return store().Name(index); }
    bool alive(Index index) { return store().IsAlive(index); }
    std::vector<Index> list(Index index, Field field) { return store().List(index, field); }
    std::vector<std::string> names(Index index, Field field)
    {
        std::vector<std::string> out;
        for (Index i : list(index, field))
            out.push_back(name(i));
        return out;
    }
    // A physical net of the net class.
    Index net(const std::string& netName, Index netClass)
    {
        const Index n = b.PhysicalNet(config, netName);
        b.Link(n, Field::netClass, netClass);
        return n;
    }
    Index netClassOf(Index physicalNet) { return store().Ref(physicalNet, Field::netClass); }
    // The live rule of the net class in the scheme of that name; the empty index when there is none.
    Index rule(Index netClass, const std::string& scheme)
    {
        for (Index r : list(netClass, Field::schemaNetClassRules))
        {
            Index s = r;
            while (store().KindOf(s) != Kind::Scheme)
                s = store().Owner(s);
            if (alive(r) && name(s) == scheme)
                return r;
        }
        return Index();
    }
    // The first live object of the kind with the name; the empty index when there is none.
    Index find(Kind kind, const std::string& objectName)
    {
        for (Index index : store().AllLive(kind))
            if (name(index) == objectName)
                return index;
        return Index();
    }
    // The text of the object's own constraint of that name; "-" when it has none.
    std::string constraint(Index holder, const std::string& constraintName)
    {
        for (Index c : list(holder, Field::constraints))
            if (alive(c) && name(c) == constraintName)
                return store().ConstraintValue(c).GetValueAsString().str();
        return "-";
    }

    // Runs the repair once with the finding's pairs, after arm (faults for the repair alone). The
    // reload flag is cleared first; reloadFlag tells what the repair left.
    CFixStatus fix(FixMethod method, const Pairs& pairs = {}, const std::function<void()>& arm = {})
    {
        Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
        session->GetSnapshotByName(snapshot, "main");
        snapshot->GetUIDManager(m_uids);
        Lumo::ContainerT<const Lumo::INorvConfig> norvConfig;
        snapshot->GetNorvConfig(norvConfig, "TOP");
        Lumo::ContainerT<const Lumo::INorvDesign> norvDesign;
        norvConfig->GetNorvDesign(norvDesign);
        CFixMgr manager(false);
        manager.InitTest(session.get(), snapshot, &m_uids, norvConfig, norvDesign);
        Index* indexes[4] = {&FixContext::s_fixIndex1, &FixContext::s_fixIndex2, &FixContext::s_fixIndex3,
                             &FixContext::s_fixIndex4};
        std::string* names[4] = {&FixContext::s_fixName1, &FixContext::s_fixName2, &FixContext::s_fixName3,
                                 &FixContext::s_fixName4};
        for (size_t i = 0; i < 4; ++i)
        {
            *indexes[i] = i < pairs.size() ? pairs[i].first : Index();
            *names[i] = i < pairs.size() ? pairs[i].second : std::string();
        }
        FixContext::s_fixParamCount = static_cast<unsigned>(pairs.size());
        CFixMgr::m_bReloadFlag = false;
        if (arm)
            arm();
        const CFixStatus status = FixContext::Run(method);
        reloadFlag = CFixMgr::m_bReloadFlag;
        CFixMgr::m_bReloadFlag = false;
        fired = faults().Fired().empty() ? std::string() : faults().Fired().back().operation;
        faults().ClearAll();
        return status;
    }

    bool reloadFlag = false;
    std::string fired; // the operation of the last injected failure of the repair; empty when none fired

private:
    Lumo::IUIDManager m_uids;
};

// "fixed", "not fixed" or "error", then ": " and the message when there is one, and " (result)" when
// a failed database result is kept.
inline std::string Outcome(const CFixStatus& status)
{
    std::string text = status.fixed ? "fixed" : status.error ? "error" : "not fixed";
    if (!status.message.empty())
        text += ": " + status.message;
    if (!status.result)
        text += " (result)";
    return text;
}

// One run of a fault sweep: the operation whose call was failed and the repair's outcome.
struct SweepStep
{
    std::string operation;
    std::string outcome;
};

// Runs the repair on a fresh design from build once per database call it makes, failing the k-th
// call in run k, until a run makes fewer calls. build returns the design and fills the pairs.
template <class Design, class Build>
std::vector<SweepStep> SweepFaults(Build&& build, FixMethod method)
{
    std::vector<SweepStep> steps;
    for (uint64_t k = 1; k < 2000; ++k)
    {
        Design d;
        const Pairs pairs = build(d);
        const CFixStatus status = d.fix(method, pairs, [&] { d.faults().SetCountdown(k); });
        if (d.fired.empty())
            break;
        steps.push_back({d.fired, Outcome(status)});
    }
    return steps;
}

// The steps of a sweep whose failed call was a write (a lock, an unlock, or an operation whose name
// begins with Set, Add, Delete or Remove) and whose outcome is not the result of that call, as
// "operation -> outcome", leaving out the operations in tolerated (those whose results the repair
// does not examine or turns into not fixed). An unlock may also fail after the change it closes:
// the change stands, and the repair is fixed with the result. A sweep that failed no call gives
// "no call failed".
inline std::vector<std::string> UnreportedWrites(const std::vector<SweepStep>& steps,
                                                 const std::vector<std::string>& tolerated = {})
{
    std::vector<std::string> out;
    if (steps.empty())
        out.push_back("no call failed");
    for (const SweepStep& step : steps)
    {
        const std::string& op = step.operation;
        const bool write = op == "Lock" || op == "DeepLock" || op == "UnLock" || op.rfind("Set", 0) == 0 ||
                           op.rfind("Add", 0) == 0 || op.rfind("Delete", 0) == 0 || op.rfind("Remove", 0) == 0;
        const std::string& outcome = step.outcome;
        const bool fixedWithResult = outcome.rfind("fixed", 0) == 0 && outcome.size() > 9 &&
                                     outcome.compare(outcome.size() - 9, 9, " (result)") == 0;
        bool skip = !write || step.outcome == "error (result)" || (op == "UnLock" && fixedWithResult);
        for (const std::string& t : tolerated)
            skip = skip || t == op;
        if (!skip)
            out.push_back(op + " -> " + step.outcome);
    }
    return out;
}

// The steps of a sweep whose failed call was a step of a walk ("<GetIterX>.IsValid") and whose
// outcome is not that failure, as "operation -> outcome": a walk that stops on a failed step is a
// failed read, never a shorter list. The walks in passedOver are left out.
inline std::vector<std::string> UnreportedWalkSteps(const std::vector<SweepStep>& steps,
                                                    const std::vector<std::string>& passedOver = {})
{
    static const std::string step = ".IsValid";
    std::vector<std::string> out;
    for (const SweepStep& s : steps)
    {
        const std::string& op = s.operation;
        const bool walk = op.rfind("GetIter", 0) == 0 && op.size() > step.size() &&
                          op.compare(op.size() - step.size(), step.size(), step) == 0;
        const bool passed = std::find(passedOver.begin(), passedOver.end(), op) != passedOver.end();
        if (walk && !passed && s.outcome != "error (result)")
            out.push_back(op + " -> " + s.outcome);
    }
    return out;
}

// The walks of the search for a net-class rule that its class's list leaves out, which a net-class
// re-creation makes first. The search passes over a walk that fails, and the repair goes on.
inline const std::vector<std::string>& UnlistedRuleSearchWalks()
{
    static const std::vector<std::string> walks = {"GetIterSchemes.IsValid", "GetIterSchemaNetClassRules.IsValid",
                                                   "GetIterSchemeNetClassRuleChild.IsValid"};
    return walks;
}

// The steps of a sweep whose failed call is one of ops and whose repair did not end fixed, as
// "operation -> outcome".
inline std::vector<std::string> UnfixedSteps(const std::vector<SweepStep>& steps, const std::vector<std::string>& ops)
{
    std::vector<std::string> out;
    for (const SweepStep& s : steps)
        if (std::find(ops.begin(), ops.end(), s.operation) != ops.end() && s.outcome.rfind("fixed", 0) != 0)
            out.push_back(s.operation + " -> " + s.outcome);
    return out;
}

} // namespace repairkit
