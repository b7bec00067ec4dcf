// Shared pieces of the repair suites: a fix context opened on a built design (what CFixMgr fills
// before a repair), a run of one repair method with the finding's pairs, the outcome line the log
// prints after the finding, and the design helpers of the rule suites (RuleTestKit.h) for the
// before/after checks and the re-checks.
#pragma once

#include "tests/rules/RuleTestKit.h"

#include "framework/CFixMgr.h"
#include "framework/CTestLog.h"
#include "framework/FixContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace repairtest
{

using namespace ruletest;

// Opens snapshot "main" and top block "TOP" of the session into the fix context, with database
// error texts on; on destruction empties the context and clears the reload flag.
class FixScope
{
public:
    explicit FixScope(Lumo::LumoPI& session)
    {
        Lumo::StandIn::SetStringResultsEnabledForTest(true);
        session.GetSnapshotByName(m_snapshot, "main");
        m_snapshot->GetUIDManager(m_uids);
        m_snapshot->GetNorvConfig(m_config, "TOP");
        m_config->GetNorvDesign(m_design);
        FixContext::s_fixSession = &session;
        FixContext::s_fixSnapshot = m_snapshot;
        FixContext::s_fixUIDManager = &m_uids;
        FixContext::s_fixNorvConfig = m_config;
        FixContext::s_fixNorvDesign = m_design;
        CFixMgr::m_bReloadFlag = false;
    }
    ~FixScope()
    {
        FixContext::s_fixSession = nullptr;
        FixContext::s_fixSnapshot = {};
        FixContext::s_fixUIDManager = nullptr;
        FixContext::s_fixNorvConfig = {};
        FixContext::s_fixNorvDesign = {};
        CFixMgr::m_bReloadFlag = false;
        Lumo::StandIn::SetStringResultsEnabledForTest(false);
    }
    FixScope(const FixScope&) = delete;
    FixScope& operator=(const FixScope&) = delete;

private:
    Lumo::ContainerT<const Lumo::ISnapshot> m_snapshot;
    Lumo::IUIDManager m_uids;
    Lumo::ContainerT<const Lumo::INorvConfig> m_config;
    Lumo::ContainerT<const Lumo::INorvDesign> m_design;
};

struct Pair
{
    Index index;
    std::string name;
};

// Loads the pairs into the fix context as the repair manager does and runs the method.
inline CFixStatus RunRepair(FixMethod method, const std::vector<Pair>& pairs = {})
{
    Index* indexes[4] = {&FixContext::s_fixIndex1, &FixContext::s_fixIndex2, &FixContext::s_fixIndex3,
                         &FixContext::s_fixIndex4};
    std::string* names[4] = {&FixContext::s_fixName1, &FixContext::s_fixName2, &FixContext::s_fixName3,
                             &FixContext::s_fixName4};
    FixContext::s_fixParamCount = static_cast<unsigned>(pairs.size());
    for (std::size_t i = 0; i < 4; ++i)
    {
        *indexes[i] = i < pairs.size() ? pairs[i].index : Index();
        *names[i] = i < pairs.size() ? pairs[i].name : std::string();
    }
    return FixContext::Run(method);
}

// The text the log prints after a repaired finding: " - Fixed." or " - Not Fixed." with its error
// and database texts.
inline std::string OutcomeLine(CFixStatus status)
{
    struct Capture : CTestLog
    {
        Capture() : CTestLog(nullptr, false) {}
        void emitMessage(std::string text) override { written += text; }
        std::string written;
    } log;
    log.logFixStatus(status);
    return log.written;
}

inline const char* const kFixed = " - Fixed.\n";
inline const char* const kNotFixed = " - Not Fixed.\n";

// The names of the live objects of a kind, in store order.
inline std::vector<std::string> Names(Design& d, Kind kind)
{
    std::vector<std::string> names;
    for (Index index : d.store().AllLive(kind))
        names.push_back(d.store().Name(index));
    return names;
}

// The value of the live own constraint of that name on the object (kind 0 when there is none).
inline Lumo::ConstraintData OwnValue(Design& d, Index holder, const std::string& name)
{
    for (Index c : d.store().List(holder, Field::constraints))
        if (d.store().IsAlive(c) && d.store().Name(c) == name)
            return d.store().ConstraintValue(c);
    return Lumo::ConstraintData();
}

} // namespace repairtest
