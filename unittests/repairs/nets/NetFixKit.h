// The net repair fixture as an object a table can make once per row, the finding's slots with their
// names, short readers of what a repair left in the store, the outcome of a status as one text and a
// sweep that fails every database call of a repair in turn.
#pragma once

#include "NetRepairTestKit.h"

#include "framework/CFixStatus.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace netfix
{

using nettest::Field;
using nettest::Kind;
using Lumo::Index;

// The net repair fixture of NetRepairTestKit.h as a plain object, so that a table can build one
// design per row: snapshot "main", configuration and schematic side "TOP", the design with its
// default objects. Bind() hands the handles to the fix context again, after the design is built.
struct NetDesign : nettest::NetRepairTest
{
    NetDesign() { SetUp(); }
    ~NetDesign() override { TearDown(); }

    // Opens the handles again and clears the reload flag and the call counts.
    void Bind()
    {
        Open();
        CFixMgr::m_bReloadFlag = false;
        counts().Reset();
    }

    // The finding's pairs with their names, in slot order; the other slots are emptied.
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

    std::string name(Index object) { return store().Name(object); }
    Index ref(Index object, Field field) { return store().Ref(object, field); }
    std::vector<Index> list(Index object, Field field) { return store().List(object, field); }

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

private:
    void TestBody() override {}
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

// Whether the failed operation is a step of a walk ("<GetIterX>.IsValid").
inline bool IsWalkStep(const std::string& op)
{
    static const std::string step = ".IsValid";
    return op.rfind("GetIter", 0) == 0 && op.size() > step.size() &&
           op.compare(op.size() - step.size(), step.size(), step) == 0;
}

// Runs the repair on a fresh design once per database call that a clean run makes, failing that
// call: no run may crash or leave a lock behind, a run that ends with a database failure carries
// the injected failure, and a walk that fails on a step is a failed read (not fixed, the error),
// never a shorter list. setup changes the fresh Design, binds it and fills the slots.
template <class Design, class Setup>
void SweepEveryCall(const Setup& setup, FixMethod method)
{
    uint64_t calls = 0;
    {
        Design d;
        setup(d);
        FixContext::Run(method);
        calls = d.counts().Total();
    }
    ASSERT_GT(calls, 0u);
    Lumo::StandIn::SetStringResultsEnabledForTest(true);
    for (uint64_t k = 1; k <= calls; ++k)
    {
        Design d;
        setup(d);
        d.faults().SetCountdown(k);
        const CFixStatus status = FixContext::Run(method);
        EXPECT_EQ(d.OwnLocks(), 0u) << "call " << k;
        const std::string failed = d.faults().Fired().empty() ? std::string() : d.faults().Fired().front().operation;
        if (IsWalkStep(failed))
        {
            EXPECT_EQ(Outcome(status), "not fixed, failed") << "call " << k << ": " << failed;
        }
        if (status.error && status.message.empty())
        {
            EXPECT_EQ(status.result.GetDescription().str().rfind("injected failure", 0), 0u)
                << "call " << k << ": " << status.result.GetDescription().str();
        }
    }
    Lumo::StandIn::SetStringResultsEnabledForTest(false);
}

// One repair to sweep: setup changes the fresh Design, binds it and fills the slots.
template <class Design>
struct NetSweep
{
    const char* name;
    std::function<void(Design&)> setup;
    FixMethod method;
};

// SweepEveryCall for each of the sweeps, named in the failures.
template <class Design>
void SweepEach(const std::vector<NetSweep<Design>>& sweeps)
{
    for (const NetSweep<Design>& s : sweeps)
    {
        SCOPED_TRACE(s.name);
        SweepEveryCall<Design>(s.setup, s.method);
    }
}

} // namespace netfix
