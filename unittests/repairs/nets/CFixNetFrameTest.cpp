#include "NetRepairTestKit.h"

#include "framework/CDICErrors.h"
#include "framework/FixRegistry.h"

using namespace nettest;

namespace
{

class CFixNetFrameTest : public NetRepairTest
{
protected:
    void SetUp() override
    {
        NetRepairTest::SetUp();
        elec = b->ElectricalNet(cfg, "E");
        phys = b->PhysicalNet(cfg, "P", elec);
        phys2 = b->PhysicalNet(cfg, "Q", elec);
        elec2 = b->ElectricalNet(cfg, "F");
        pair = b->DiffPair(cfg, "D", elec, elec2);
    }

    // Writes "ORDER_TYPE" = text on the object through the writer of its kind.
    CFixStatus Write(Index object, const char* text)
    {
        ConstraintData value;
        value.kind = CDT_Text;
        value.textValue = text;
        switch (object.GetType())
        {
        case OT_NorvPhysicalNet: {
            ContainerT<const INorvPhysicalNet> net;
            EXPECT_TRUE(uid.GetNorvPhysicalNet(net, object));
            return CFixNet::SetPhysNetConstraint(net, "ORDER_TYPE", value);
        }
        case OT_NorvElectricalNet: {
            ContainerT<const INorvElectricalNet> net;
            EXPECT_TRUE(uid.GetNorvElectricalNet(net, object));
            return CFixNet::SetElecNetConstraint(net, "ORDER_TYPE", value);
        }
        default: {
            ContainerT<const INorvDiffPair> diffPair;
            EXPECT_TRUE(uid.GetNorvDiffPair(diffPair, object));
            return CFixNet::SetDiffPairConstraint(diffPair, "ORDER_TYPE", value);
        }
        }
    }

    Index elec, phys, phys2, elec2, pair;
};

// Every writer: own value kept, own value changed, definition only, no constraint at all.
TEST_F(CFixNetFrameTest, WritersSetTheObjectsOwnValue)
{
    b->Definition("ORDER_TYPE", "MST");
    for (Index object : {phys, elec, pair})
    {
        SCOPED_TRACE(object.ToText());
        // No constraint: added.
        ExpectStatus(Write(object, "Star"), true);
        EXPECT_EQ("Star", Topo(object));
        // Same text: nothing locked or written.
        counts().Reset();
        ExpectStatus(Write(object, "Star"), true);
        EXPECT_EQ(0u, counts().Get("Lock"));
        EXPECT_EQ(0u, counts().Get("SetValue"));
        // Other text: changed in place, still one own constraint.
        ExpectStatus(Write(object, "Custom"), true);
        EXPECT_EQ("Custom", Topo(object));
        EXPECT_EQ(1u, store().List(object, Field::constraints).size());
        EXPECT_EQ(0u, OwnLocks());
    }
    // Seen only through the definition: added to the net, the definition left as it is.
    Index inherited = b->PhysicalNet(cfg, "I", elec);
    b->Inherit(inherited, "ORDER_TYPE");
    ExpectStatus(Write(inherited, "MST"), true);
    EXPECT_EQ("MST", Topo(inherited));
    EXPECT_EQ("MST", store().ConstraintValue(store().Definitions().front()).GetValueAsString().str());
}

TEST_F(CFixNetFrameTest, RefusedWritesAreSilentOtherFailuresCarryTheirResult)
{
    b->Constraint(phys, "ORDER_TYPE", "MST");
    faults().FailNext("SetValue", 1);
    ExpectStatus(Write(phys, "Star"), false);
    EXPECT_EQ("MST", Topo(phys));
    faults().FailNext("AddConstraint", 1);
    ExpectStatus(Write(elec, "Star"), false);
    EXPECT_EQ("-", Topo(elec));

    // The own constraint's path: every failed call gives its result, nothing changes.
    for (const char* op : {"IsDefinition", "GetValue", "Lock"})
    {
        SCOPED_TRACE(op);
        faults().FailNext(op, 1);
        ExpectFailure(Write(phys, "Chained"));
        EXPECT_EQ("MST", Topo(phys));
        faults().ClearAll();
    }
    // The adding path: a failed lock of the owner gives its result.
    faults().FailNext("Lock", 1);
    ExpectFailure(Write(b->ElectricalNet(cfg, "Lock"), "Chained"));
    // An unlock that fails after the write, on either path, leaves the value written: the write is
    // fixed and the unlock's failure is kept for the repair's status.
    for (Index object : {phys, b->ElectricalNet(cfg, "UnLock")})
    {
        FixContext::s_fixUnlockFailure = Result();
        faults().FailNext("UnLock", 1);
        ExpectStatus(Write(object, "Unlocked"), true);
        EXPECT_EQ("Unlocked", Topo(object));
        EXPECT_FALSE(FixContext::s_fixUnlockFailure);
        faults().ClearAll();
    }
    FixContext::s_fixUnlockFailure = Result();
    EXPECT_EQ(0u, OwnLocks());
}

TEST_F(CFixNetFrameTest, TopoOrderedResets)
{
    ContainerT<const INorvElectricalNet> net;
    ASSERT_TRUE(uid.GetNorvElectricalNet(net, elec));
    ExpectStatus(CFixNet::ResetTopoOrderedOfElecNet(net), true);
    for (Index object : {elec, phys, phys2})
        EXPECT_EQ("No", TopoOrdered(object));

    // Failed writes are ignored; only a walk that cannot start fails.
    ContainerT<const INorvElectricalNet> other;
    ASSERT_TRUE(uid.GetNorvElectricalNet(other, elec2));
    faults().FailNext("AddConstraint", 1);
    ExpectStatus(CFixNet::ResetTopoOrderedOfElecNet(other), true);
    faults().FailOn(elec2, "GetIterPhysicalNets");
    ExpectFailure(CFixNet::ResetTopoOrderedOfElecNet(other));

    // A physical net without a parent: only itself.
    Index lone = b->PhysicalNet(cfg, "L");
    ContainerT<const INorvPhysicalNet> loneNet;
    ASSERT_TRUE(uid.GetNorvPhysicalNet(loneNet, lone));
    ExpectStatus(CFixNet::ResetTopoOrderedOfPhysNet(loneNet), true);
    EXPECT_EQ("No", TopoOrdered(lone));
    EXPECT_EQ(0u, OwnLocks());
}

TEST_F(CFixNetFrameTest, ResetWrongTopoOrdered)
{
    b->Constraint(phys, "TOPO_ORDERED", "Yes");
    b->Constraint(elec, "TOPO_ORDERED", "Yes");
    Slots();
    ExpectStatus(CFixNet::ResetWrongTopoOrdered(), false);

    Slots(phys);
    ExpectStatus(CFixNet::ResetWrongTopoOrdered(), true);
    EXPECT_EQ("No", TopoOrdered(phys));
    EXPECT_EQ("No", TopoOrdered(elec));
    EXPECT_EQ("-", TopoOrdered(phys2));

    b->Delete(phys2);
    Slots(phys2);
    ExpectFailure(CFixNet::ResetWrongTopoOrdered());
}

// The reset of the reported net did not take: not reported fixed. The parent's write is not looked at.
TEST_F(CFixNetFrameTest, ResetWrongTopoOrderedReportsTheReportedNetsFailedWrite)
{
    b->Constraint(phys, "TOPO_ORDERED", "Yes");
    Slots(phys);
    faults().FailNext("SetValue", 1);
    ExpectStatus(CFixNet::ResetWrongTopoOrdered(), false);
    EXPECT_EQ("Yes", TopoOrdered(phys));
    EXPECT_EQ("No", TopoOrdered(elec)); // the parent is still written

    faults().FailNext("Lock", 1);
    ExpectFailure(CFixNet::ResetWrongTopoOrdered());
    EXPECT_EQ(0u, OwnLocks());
    faults().ClearAll();

    // The parent's refusal changes nothing of the outcome.
    Index parent = b->ElectricalNet(cfg, "G");
    Index child = b->PhysicalNet(cfg, "R", parent);
    Slots(child);
    faults().FailOn(parent, "AddConstraint");
    ExpectStatus(CFixNet::ResetWrongTopoOrdered(), true);
    EXPECT_EQ("No", TopoOrdered(child));
    EXPECT_EQ("-", TopoOrdered(parent));
}

// Without a database every repair method of the frame's class fails before any call.
TEST_F(CFixNetFrameTest, NoDatabaseIsAnErrorWithoutCalls)
{
    FixContext::s_fixUIDManager = nullptr;
    const Index pinPair = b->PinPair(elec, "PP", Index(), Index());
    Slots(elec, pair, phys, phys2);
    counts().Reset();
    for (FixMethod method :
         {&CFixNet::ResetWrongTopoOrdered, &CFixNet::FixInvalidTopologyType, &CFixNet::DeleteInvalidFromTo,
          &CFixNet::DeleteDuplicatedFromTo, &CFixNet::DeleteSamePinFromTo, &CFixNet::DeleteDuplicatedPinPair,
          &CFixNet::DeleteInvalidPinPair, &CFixNet::DisconnectPinNotInComponents,
          &CFixNet::DisconnectPinWithoutParentComp, &CFixNet::FixNotAllowedDiffPairTopology,
          &CFixNet::FixDiffPairNetsTopology, &CFixNet::UnifyElecAndPhysNetTopology})
    {
        const CFixStatus status = method();
        EXPECT_FALSE(status.fixed);
        EXPECT_TRUE(status.error);
    }
    Slots(elec, pinPair);
    EXPECT_TRUE(CFixNet::DeletePinPairWithPinUsedTwice().error);
    EXPECT_EQ(0u, counts().Total());
}

// Back end: only the two methods allowed there are registered so.
TEST(CFixNetRegistrationTest, OnlyTwoNetRepairsRunOnTheBackEnd)
{
    for (const FixRegistration& row : FixRegistryTable())
    {
        if (row.method == &CFixNet::ResetWrongTopoOrdered || row.method == &CFixNet::DeleteDuplicatedFromTo)
            EXPECT_TRUE(row.allowedOnBackEnd) << row.code;
        else if (row.code / 100 == 64 || row.code == 2311)
            ADD_FAILURE() << row.code;
    }
    unsigned netRows = 0;
    for (const FixRegistration& row : FixRegistryTable())
        netRows += (row.method == &CFixNet::FixInvalidTopologyType || row.method == &CFixNet::DeleteInvalidFromTo ||
                    row.method == &CFixNet::DeletePinPairWithPinUsedTwice ||
                    row.method == &CFixNet::FixDiffPairNetsTopology)
                       ? 1
                       : 0;
    EXPECT_EQ(2u + 2u + 3u + 2u, netRows);
}

} // namespace
