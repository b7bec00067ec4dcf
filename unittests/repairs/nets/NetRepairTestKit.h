// The fixture of the net repair suites: a small design built with the stand-in's builder, opened
// as a test opens it and handed to the repair context, with helpers to fill the finding's slots
// and to read back what a repair changed.
#pragma once

#include "framework/CFixMgr.h"
#include "framework/FixContext.h"
#include "repairs/nets/CFixNet.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace nettest
{

using namespace Lumo;
using StandIn::Field;
using StandIn::Kind;

// Snapshot "main", Norv configuration and schematic side "TOP", the design with its default objects.
class NetRepairTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        StandIn::SetStringResultsEnabledForTest(true);
        CFixMgr::m_bReloadFlag = false;
        session = StandIn::NewSession();
        b = std::make_unique<StandIn::Builder>(*session, "main");
        cfg = b->NorvConfig("TOP");
        sch = b->DefaultConfig("TOP");
        design = b->Design(cfg);
        b->DefaultObjects(design);
        Open();
    }

    void TearDown() override
    {
        FixContext::s_fixSession = nullptr;
        FixContext::s_fixSnapshot = {};
        FixContext::s_fixUIDManager = nullptr;
        FixContext::s_fixNorvConfig = {};
        FixContext::s_fixNorvDesign = {};
        Slots();
        CFixMgr::m_bReloadFlag = false;
        StandIn::SetStringResultsEnabledForTest(false);
    }

    // Opens the snapshot, configuration and design as a test does and hands them to the repairs.
    void Open()
    {
        ASSERT_TRUE(session->GetSnapshotByName(snapshot, "main"));
        ASSERT_TRUE(snapshot->GetUIDManager(uid));
        ASSERT_TRUE(snapshot->GetNorvConfig(config, "TOP"));
        ASSERT_TRUE(config->GetNorvDesign(norvDesign));
        FixContext::s_fixSession = session.get();
        FixContext::s_fixSnapshot = snapshot;
        FixContext::s_fixUIDManager = &uid;
        FixContext::s_fixNorvConfig = config;
        FixContext::s_fixNorvDesign = norvDesign;
        Slots();
    }

    // The finding's pairs: indexes in raise order, names from the store.
    void Slots(Index i1 = Index(), Index i2 = Index(), Index i3 = Index(), Index i4 = Index())
    {
        Index* indexes[] = {&FixContext::s_fixIndex1, &FixContext::s_fixIndex2, &FixContext::s_fixIndex3,
                            &FixContext::s_fixIndex4};
        std::string* names[] = {&FixContext::s_fixName1, &FixContext::s_fixName2, &FixContext::s_fixName3,
                                &FixContext::s_fixName4};
        const Index given[] = {i1, i2, i3, i4};
        FixContext::s_fixParamCount = 0;
        for (unsigned i = 0; i < 4; ++i)
        {
            *indexes[i] = given[i];
            *names[i] = (b && !given[i].IsEmpty()) ? store().Name(given[i]) : std::string();
            if (!given[i].IsEmpty())
                FixContext::s_fixParamCount = i + 1;
        }
    }

    StandIn::Store& store() { return b->GetStore(); }
    StandIn::Faults& faults() { return StandIn::GetFaults(*session); }
    StandIn::CallCounts& counts() { return StandIn::GetCallCounts(*session); }
    const std::vector<StandIn::Record>& records() const { return StandIn::GetRecords(*session); }

    // The text of the object's own constraint of that name; "-" when it has none.
    std::string Value(Index holder, const std::string& name)
    {
        for (Index constraint : store().List(holder, Field::constraints))
            if (store().IsAlive(constraint) && store().Name(constraint) == name)
                return store().ConstraintValue(constraint).GetValueAsString().str();
        return "-";
    }
    std::string Topo(Index holder) { return Value(holder, "ORDER_TYPE"); }
    std::string TopoOrdered(Index holder) { return Value(holder, "TOPO_ORDERED"); }
    bool Alive(Index index) { return store().IsAlive(index); }
    // Locks this session still holds (a repair must release all of its own).
    size_t OwnLocks()
    {
        size_t held = 0;
        for (const StandIn::LockEntry& entry : store().Locks())
            held += entry.declared ? 0 : 1;
        return held;
    }

    std::unique_ptr<LumoPI> session;
    std::unique_ptr<StandIn::Builder> b;
    Index cfg, sch, design;
    ContainerT<const ISnapshot> snapshot;
    IUIDManager uid;
    ContainerT<const INorvConfig> config;
    ContainerT<const INorvDesign> norvDesign;
};

// Expects the status's outcome: fixed, error and message.
inline void ExpectStatus(const CFixStatus& status, bool fixed, bool error = false, const std::string& message = "")
{
    EXPECT_EQ(fixed, status.fixed);
    EXPECT_EQ(error, status.error);
    EXPECT_EQ(message, status.message);
}

// A failed database call: not fixed, error, no message, the failed result kept.
inline void ExpectFailure(const CFixStatus& status)
{
    EXPECT_FALSE(status.fixed);
    EXPECT_TRUE(status.error);
    EXPECT_EQ("", status.message);
    EXPECT_FALSE(status.result);
}

} // namespace nettest
