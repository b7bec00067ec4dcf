#include "MaintenanceTestSupport.h"

#include <gtest/gtest.h>

using namespace mtest;
using Lumo::ContainerT;
using Lumo::LockerT;
using Lumo::MutableContainerT;

namespace
{

// A read-only container of the physical net of snapshot "main".
ContainerT<const Lumo::INorvPhysicalNet> readPhysicalNet(const Lumo::LumoPI& session, Lumo::Index net)
{
    ContainerT<const Lumo::ISnapshot> snapshot;
    session.GetSnapshotByName(snapshot, "main");
    Lumo::IUIDManager uid;
    snapshot->GetUIDManager(uid);
    ContainerT<const Lumo::INorvPhysicalNet> object;
    uid.GetNorvPhysicalNet(object, net);
    return object;
}

class ObjectQueriesTest : public ::testing::Test
{
protected:
    ObjectQueriesTest() { Lumo::StandIn::GetCallCounts(*d.session).Reset(); }

    ContainerT<const Lumo::INorvPhysicalNet> readNet() const { return readPhysicalNet(*d.session, net); }
    uint64_t calls(const char* op) { return Lumo::StandIn::GetCallCounts(*d.session).Get(op); }

    fwtest::ProcessStateGuard guard;
    Design d;
    Lumo::Index net = d.builder.PhysicalNet(d.config, "N1");
    Maintenance m{d.session.get()};
};

TEST_F(ObjectQueriesTest, NullObjectsAreNeitherConstrainedNorCleared)
{
    EXPECT_FALSE(m.checker.HasObjectConstraints(nullptr));
    EXPECT_FALSE(m.checker.ClearObjectConstraints(nullptr));
    EXPECT_EQ(0u, Lumo::StandIn::GetCallCounts(*d.session).Total());
}

// The answer, whether the attributes were read for it, and whether the answer could be read at all
// (a "no" that stands for a failed read is no answer).
TEST_F(ObjectQueriesTest, HasObjectConstraintsLooksAtAttributesOnlyWithoutConstraints)
{
    const struct
    {
        const char* name;
        bool constraint, attribute, inherited;
        const char* failing; // operation failing on the net ("IsValid": on its constraint; "invalid":
                             // the constraint is flagged not valid)
        bool expected;
        bool attributesRead;
        bool readable;
    } cases[] = {
        {"bare net", false, false, false, nullptr, false, true, true},
        {"one attribute", false, true, false, nullptr, true, true, true},
        {"one constraint", true, false, false, nullptr, true, false, true},
        {"constraint, unreadable attributes", true, true, false, "GetAttributes", true, false, true},
        {"inherited definition only", false, false, true, nullptr, true, false, true},
        {"unreadable attributes", false, true, false, "GetAttributes", false, true, false},
        {"constraint walk fails", true, true, false, "GetIterConstraints", false, false, false},
        {"unreadable constraint", true, false, false, "IsValid", false, true, false},
        {"unreadable constraint, one attribute", true, true, false, "IsValid", true, true, true},
        {"constraint not valid", true, false, false, "invalid", false, true, true},
    };
    for (const auto& c : cases)
    {
        Design fresh;
        const Lumo::Index n = fresh.builder.PhysicalNet(fresh.config, "N");
        if (c.constraint)
            fresh.builder.Constraint(n, "ORDER_TYPE", "MST");
        if (c.attribute)
            fresh.builder.Attribute(n, "NOTE", "x");
        if (c.inherited)
        {
            fresh.builder.Definition("ORDER_TYPE", "MST");
            fresh.builder.Inherit(n, "ORDER_TYPE");
        }
        const std::string failing = c.failing ? c.failing : "";
        const std::vector<Lumo::Index> own = fresh.store().List(n, Lumo::StandIn::Field::constraints);
        if (failing == "invalid")
            fresh.builder.Invalid(own[0]);
        else if (failing == "IsValid")
            fresh.builder.Fail(own[0], failing);
        else if (!failing.empty())
            fresh.builder.Fail(n, failing);
        const ContainerT<const Lumo::INorvPhysicalNet> object = readPhysicalNet(*fresh.session, n);
        Lumo::StandIn::GetCallCounts(*fresh.session).Reset();
        EXPECT_EQ(c.expected, m.checker.HasObjectConstraints(&*object)) << c.name;
        EXPECT_EQ(c.attributesRead ? 1u : 0u, Lumo::StandIn::GetCallCounts(*fresh.session).Get("GetAttributes"))
            << c.name;
        bool has = !c.expected;
        EXPECT_EQ(c.readable, m.checker.ReadObjectConstraints(&*object, has)) << c.name;
        EXPECT_EQ(c.expected, has) << c.name;
    }
}

TEST_F(ObjectQueriesTest, ClearObjectConstraintsRemovesConstraintsThenAttributes)
{
    d.builder.Constraint(net, "ORDER_TYPE", "MST");
    d.builder.Constraint(net, "MAX_VIAS", 3);
    d.builder.Attribute(net, "NOTE", "x");
    MutableContainerT<Lumo::INorvPhysicalNet> locked;
    ASSERT_TRUE(LockerT<Lumo::INorvPhysicalNet>::Lock(readNet(), locked));
    EXPECT_TRUE(m.checker.ClearObjectConstraints(&*locked));
    LockerT<Lumo::INorvPhysicalNet>::UnLock(locked);
    EXPECT_TRUE(d.store().List(net, Lumo::StandIn::Field::constraints).empty());
    EXPECT_TRUE(d.store().Attributes(net).empty());
    EXPECT_FALSE(m.checker.HasObjectConstraints(&*readNet()));
}

TEST_F(ObjectQueriesTest, FailedConstraintDeletionLeavesTheAttributes)
{
    d.builder.Constraint(net, "ORDER_TYPE", "MST");
    d.builder.Attribute(net, "NOTE", "x");
    MutableContainerT<Lumo::INorvPhysicalNet> locked;
    ASSERT_TRUE(LockerT<Lumo::INorvPhysicalNet>::Lock(readNet(), locked));

    Lumo::StandIn::GetFaults(*d.session).FailNext("DeleteAllConstraints", 1);
    EXPECT_FALSE(m.checker.ClearObjectConstraints(&*locked));
    EXPECT_EQ(0u, calls("RemoveAttributes"));
    EXPECT_EQ(1u, d.store().Attributes(net).size());

    Lumo::StandIn::GetFaults(*d.session).FailNext("RemoveAttributes", 1);
    EXPECT_FALSE(m.checker.ClearObjectConstraints(&*locked));
    EXPECT_TRUE(d.store().List(net, Lumo::StandIn::Field::constraints).empty());
    LockerT<Lumo::INorvPhysicalNet>::UnLock(locked);
}

TEST_F(ObjectQueriesTest, FormatRemovesTheTopBlocksConfigurationOnly)
{
    Lumo::StandIn::Builder other(*d.session, "second");
    const Lumo::Index otherConfig = other.NorvConfig("TOP");
    const Lumo::Index sub = d.builder.NorvConfig("SUB");

    EXPECT_TRUE(m.checker.Format_NorvLUMO("main"));
    EXPECT_FALSE(d.store().IsAlive(d.config));
    EXPECT_FALSE(d.store().IsAlive(d.design));
    EXPECT_FALSE(d.store().IsAlive(net));
    EXPECT_TRUE(d.store().IsAlive(sub));
    EXPECT_EQ("", m.log.written);
    EXPECT_EQ(0u, ownLocks(d.store()));
    other.GetStore().Select("second");
    EXPECT_TRUE(other.GetStore().IsAlive(otherConfig));

    // Nothing left to format; the snapshot name is still taken.
    EXPECT_FALSE(m.checker.Format_NorvLUMO("main"));
    EXPECT_FALSE(m.checker.Format_NorvLUMO("no such snapshot"));
}

// Each failure ends in false, releases the snapshot and keeps the configuration (but for the
// last check, which finds it still there after the removal succeeded).
TEST_F(ObjectQueriesTest, FormatFailuresKeepTheConfigurationAndNoLock)
{
    for (const char* op : {"GetSnapshotByName", "GetNorvConfig", "GetIndex", "Lock", "RemoveConfig"})
    {
        Design fresh;
        Maintenance run(fresh.session.get());
        Lumo::StandIn::GetFaults(*fresh.session).FailNext(op, 1);
        EXPECT_FALSE(run.checker.Format_NorvLUMO("main")) << op;
        EXPECT_TRUE(fresh.store().IsAlive(fresh.config)) << op;
        EXPECT_EQ(0u, ownLocks(fresh.store())) << op;
    }
    Design invalid;
    invalid.builder.Invalid(invalid.config);
    Maintenance run(invalid.session.get());
    EXPECT_FALSE(run.checker.Format_NorvLUMO("main"));
    EXPECT_TRUE(invalid.store().IsAlive(invalid.config));
}

TEST_F(ObjectQueriesTest, FormatReportsAConfigurationStillThereAfterRemoval)
{
    // The second look-up fails only for the configuration that stays valid when its first
    // look-up's twin was removed: a second configuration of the same top block.
    const Lumo::Index twin = d.builder.NorvConfig("TOP");
    EXPECT_FALSE(m.checker.Format_NorvLUMO("main"));
    EXPECT_FALSE(d.store().IsAlive(d.config));
    EXPECT_TRUE(d.store().IsAlive(twin));
    EXPECT_EQ(0u, ownLocks(d.store()));
}

} // namespace

namespace
{

// The snapshot name that the checker keeps for re-creating: formatting and initialising take
// their argument even when they fail at once; clearing neither reads nor changes it.
class NamedChecker : public CNorvProjectChecker
{
public:
    NamedChecker(Lumo::LumoPI* session, IKravikLog* log)
        : CNorvProjectChecker(session, "TOP", log, "", 1, 0, "", false, false, "", false)
    {
    }
    const std::string& snapshotName() const { return m_strSnapshotName; }
};

TEST(SnapshotNameTest, FormatAndInitTakeTheirArgumentClearKeepsIt)
{
    Design d;
    CapturingLog log;
    NamedChecker checker(d.session.get(), &log);
    EXPECT_FALSE(checker.Format_NorvLUMO("missing"));
    EXPECT_EQ("missing", checker.snapshotName());
    EXPECT_FALSE(checker.Init_NorvLUMO("also missing"));
    EXPECT_EQ("also missing", checker.snapshotName());
    EXPECT_TRUE(checker.ClearConstraints("main", true));
    EXPECT_EQ("also missing", checker.snapshotName());
    // Re-creating reads the name that formatting and initialising set.
    EXPECT_TRUE(checker.ReCreate_NorvLUMO("main"));
    EXPECT_EQ("main", checker.snapshotName());
}

} // namespace
