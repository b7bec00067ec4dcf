// Shared pieces of the net repair suites: a small design built with the stand-in's builder and bound
// to the static fix context the way CFixMgr binds a test's handles, the finding's slots, and short
// readers of what a repair left in the store.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/CFixStatus.h"
#include "framework/FixContext.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace netfix
{

using Lumo::Index;
using Lumo::StandIn::Field;
using Lumo::StandIn::Kind;

// A session with snapshot "main", Norv configuration "TOP" with its design and default objects, and the
// schematic configuration of the same top block. Bind() fills the fix context from it; the destructor
// empties the context and clears the reload flag.
struct NetDesign
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder b{*session, "main"};
    Index config = b.NorvConfig("TOP");
    Index design = b.Design(config);
    Index schematic = b.DefaultConfig("TOP");

    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    Lumo::IUIDManager uids;
    Lumo::ContainerT<const Lumo::INorvConfig> norvConfig;
    Lumo::ContainerT<const Lumo::INorvDesign> norvDesign;

    NetDesign() { b.DefaultObjects(design); }

    ~NetDesign()
    {
        FixContext::s_fixSession = nullptr;
        FixContext::s_fixSnapshot = {};
        FixContext::s_fixUIDManager = nullptr;
        FixContext::s_fixNorvConfig = {};
        FixContext::s_fixNorvDesign = {};
        Slots({});
        CFixMgr::m_bReloadFlag = false;
    }

    // Opens the handles and puts them into the fix context; the calls it makes are not counted.
    void Bind()
    {
        session->GetSnapshotByName(snapshot, "main");
        snapshot->GetUIDManager(uids);
        snapshot->GetNorvConfig(norvConfig, "TOP");
        norvConfig->GetNorvDesign(norvDesign);
        FixContext::s_fixSession = session.get();
        FixContext::s_fixSnapshot = snapshot;
        FixContext::s_fixUIDManager = &uids;
        FixContext::s_fixNorvConfig = norvConfig;
        FixContext::s_fixNorvDesign = norvDesign;
        CFixMgr::m_bReloadFlag = false;
        counts().Reset();
    }

    // The finding's pairs, in slot order; the other slots are emptied.
    static void Slots(const std::vector<std::pair<Index, std::string>>& pairs)
    {
        Index* indexes[] = {&FixContext::s_fixIndex1, &FixContext::s_fixIndex2, &FixContext::s_fixIndex3,
                            &FixContext::s_fixIndex4};
        std::string* names[] = {&FixContext::s_fixName1, &FixContext::s_fixName2, &FixContext::s_fixName3,
                                &FixContext::s_fixName4};
        for (size_t i = 0; i < 4; ++i)
        {
            *indexes[i] = i < pairs.size() ? pairs[i].first : Index();
            *names[i] = i < pairs.size() ? pairs[i].second : std::string();
        }
        FixContext::s_fixParamCount = static_cast<unsigned>(pairs.size());
    }

    Lumo::StandIn::Store& store() { return Lumo::StandIn::GetStore(*session); }
    Lumo::StandIn::Faults& faults() { return Lumo::StandIn::GetFaults(*session); }
    Lumo::StandIn::CallCounts& counts() { return Lumo::StandIn::GetCallCounts(*session); }
    const std::vector<Lumo::StandIn::Record>& records() { return Lumo::StandIn::GetRecords(*session); }

    bool alive(Index object) { return store().IsAlive(object); }
    std::string name(Index object) { return store().Name(object); }
    Index ref(Index object, Field field) { return store().Ref(object, field); }
    std::vector<Index> list(Index object, Field field) { return store().List(object, field); }

    // The text of the object's own constraint of that name, "-" when it has none.
    std::string constraint(Index holder, const std::string& constraintName)
    {
        for (Index c : store().List(holder, Field::constraints))
            if (store().IsAlive(c) && store().Name(c) == constraintName)
                return store().ConstraintValue(c).GetValueAsString().str();
        return "-";
    }

    // The UpdateIncremental calls recorded, each as "phys...|elec..." of index texts.
    std::vector<std::string> updates()
    {
        std::vector<std::string> texts;
        for (const Lumo::StandIn::Record& r : records())
        {
            if (r.operation != "UpdateIncremental")
                continue;
            std::string text;
            for (Index i : r.physNets)
                text += i.ToText() + " ";
            text += "|";
            for (Index i : r.elecNets)
                text += " " + i.ToText();
            texts.push_back(text);
        }
        return texts;
    }

    // No lock of the session is left when a repair returns.
    bool noLocksLeft() { return store().Locks().empty(); }
};

// The status as one comparable text: "fixed", "not fixed", "error" (a message or a failed result)
// and the message.
inline std::string Outcome(const CFixStatus& s)
{
    std::string text = s.fixed ? "fixed" : "not fixed";
    if (s.error)
        text += s.result ? ", error" : ", failed";
    if (!s.message.empty())
        text += ": " + s.message;
    return text;
}

// Runs the repair on a fresh design once per database call that a clean run makes, failing that
// call: no run may crash or leave a lock behind, and a run that ends with a database failure
// carries the injected failure. setup changes the fresh Design, binds it and fills the slots.
template <class Design, class Setup>
void SweepEveryCall(const Setup& setup, FixMethod method)
{
    uint64_t calls = 0;
    {
        Design d;
        setup(d);
        method();
        calls = d.counts().Total();
    }
    ASSERT_GT(calls, 0u);
    Lumo::StandIn::SetStringResultsEnabledForTest(true);
    for (uint64_t k = 1; k <= calls; ++k)
    {
        Design d;
        setup(d);
        d.faults().SetCountdown(k);
        const CFixStatus status = method();
        EXPECT_TRUE(d.noLocksLeft()) << "call " << k;
        if (status.error && status.message.empty())
        {
            EXPECT_EQ(status.result.GetDescription().str().rfind("injected failure", 0), 0u)
                << "call " << k << ": " << status.result.GetDescription().str();
        }
    }
    Lumo::StandIn::SetStringResultsEnabledForTest(false);
}

} // namespace netfix
