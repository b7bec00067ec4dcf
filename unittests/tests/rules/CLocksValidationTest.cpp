#include "tests/rules/CLocksValidation.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

namespace
{

// The session's own identity (the stand-in's default).
const char* kOwnAddress = "standin-host";
const char* kOwnSubClient = "Kravik (FE NORV)";

class CLocksValidationTest : public ::testing::Test, public World<CLocksValidation>
{
};

} // namespace

TEST_F(CLocksValidationTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Locks only for one client");
    EXPECT_EQ(test.getTestShortName(), "LocksValidation");
    EXPECT_EQ(test.getTestDescription(), "Test checks if all locks belong to one client");
}

TEST_F(CLocksValidationTest, OwnLocksPass)
{
    EXPECT_EQ(RunTest(test, *d.session).status, OK);  // no locks
    d.b.ForeignLock(d.b.ElectricalNet(d.config, "E1"), kOwnAddress, kOwnSubClient);
    CLocksValidation again;
    const Outcome out = RunTest(again, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

// Only the first foreign lock is reported.
TEST_F(CLocksValidationTest, FirstForeignLockIsReported)
{
    d.b.ForeignLock(d.b.ElectricalNet(d.config, "E1"), kOwnAddress, kOwnSubClient);
    const Index second = d.b.ElectricalNet(d.config, "E2");
    d.b.ForeignLock(second, "ws-2:99", "Editor (FE NORV)");
    d.b.ForeignLock(d.b.ElectricalNet(d.config, "E3"), "ws-3:1", "Other");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T55_ACTIVELOCKBYOTHERSUBCLIENT,
                                                    {{Index(), "Address: ws-2:99, subclient name: Editor (FE NORV)"}, {second, ""}})}));
    EXPECT_EQ(out.status, FAILED);
    EXPECT_EQ(LogLines(test), std::vector<std::string>{"ERROR 5501: There is an active lock set by other subclient. "
                                                       "Address: ws-2:99, subclient name: Editor (FE NORV) (0-0-0) , object uid: " +
                                                       second.ToText()});
}

TEST_F(CLocksValidationTest, SameAddressOtherSubClientIsForeign)
{
    const Index net = d.b.ElectricalNet(d.config, "E1");
    d.b.ForeignLock(net, kOwnAddress, "Viewer (NORV)");
    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{F(E::T55_ACTIVELOCKBYOTHERSUBCLIENT,
                                      {{Index(), std::string("Address: ") + kOwnAddress + ", subclient name: Viewer (NORV)"}, {net, ""}})}));
}

// Texts of any length are reported whole.
TEST_F(CLocksValidationTest, LongTextsAreReportedWhole)
{
    const std::string address(300, 'a');
    const std::string subClient(500, 'b');
    const Index net = d.b.ElectricalNet(d.config, "E1");
    d.b.ForeignLock(net, address, subClient);
    EXPECT_EQ(RunTest(test, *d.session).findings,
              (std::vector<Finding>{F(E::T55_ACTIVELOCKBYOTHERSUBCLIENT,
                                      {{Index(), "Address: " + address + ", subclient name: " + subClient}, {net, ""}})}));
}

// A lock list that cannot be read is empty: no finding.
TEST_F(CLocksValidationTest, UnreadableLockListPasses)
{
    d.b.ForeignLock(d.b.ElectricalNet(d.config, "E1"), "ws-2:99", "Editor");
    const Index snapshot = d.store().SnapshotIndex();
    const Outcome out = RunTest(test, *d.session, "", [&] { d.faults().FailOnSnapshot(snapshot, "GetListLocks", 1); });
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}
