#include "tests/rules/CMigrationChecker.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

TEST(CMigrationCheckerTest, NamesItself)
{
    CMigrationChecker test;
    EXPECT_EQ(test.getTestName(), "Migration status");
    EXPECT_EQ(test.getTestShortName(), "MigrationStatus");
    EXPECT_EQ(test.getTestDescription(), "Test checks migration status");
}

// Each status text against the findings and the final status; log and date come first.
TEST(CMigrationCheckerTest, StatusTexts)
{
    const struct
    {
        const char* status;
        const char* log;
        const char* date;
        std::vector<Finding> findings;
        TestStatus result;
    } cases[] = {
        {"", "", "", {F(E::T56_MIGRATIONPROCESSSUCCEEDED)}, OK},
        {"0", "", "", {F(E::T56_MIGRATIONPROCESSSUCCEEDED)}, OK},
        {"0:done", "", "", {F(E::T56_MIGRATIONPROCESSSUCCEEDED)}, OK},
        {"3:disk full", "", "", {F(E::T56_MIGRATIONPROCESSFAILEDSTATUS, {{Index(), "3:disk full"}})}, FAILED},
        {"00", "", "", {F(E::T56_MIGRATIONPROCESSFAILEDSTATUS, {{Index(), "00"}})}, FAILED},
        {" 0", "", "", {F(E::T56_MIGRATIONPROCESSFAILEDSTATUS, {{Index(), " 0"}})}, FAILED},
        {"7", "mig.log", "2026-12-01",
         {F(E::T56_MIGRATIONLOGFILENAME, {{Index(), "mig.log"}}), F(E::T56_MIGRATIONDATE, {{Index(), "2026-12-01"}}),
          F(E::T56_MIGRATIONPROCESSFAILEDSTATUS, {{Index(), "7"}})},
         FAILED},
        {"0", "", "today", {F(E::T56_MIGRATIONDATE, {{Index(), "today"}}), F(E::T56_MIGRATIONPROCESSSUCCEEDED)}, OK},
    };
    for (const auto& c : cases) {
        Design d;
        d.b.SnapshotAttribute("NORV_MIGRATION_STATUS", c.status);
        d.b.SnapshotAttribute("NORV_MIGRATION_LOG", c.log);
        d.b.SnapshotAttribute("NORV_MIGRATION_DATE", c.date);
        CMigrationChecker test;
        const Outcome out = RunTest(test, *d.session);
        EXPECT_EQ(out.findings, c.findings) << c.status;
        EXPECT_EQ(out.status, c.result) << c.status;
    }
}

// Infos are reported only at log level 2 and never change the status.
TEST(CMigrationCheckerTest, InfosNeedLogLevelTwo)
{
    Design d;
    d.b.SnapshotAttribute("NORV_MIGRATION_LOG", "mig.log");
    CMigrationChecker test;
    const Outcome out = RunTest(test, *d.session, "", {}, 1);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

// An attribute that cannot be read is empty, never the text of the attribute read before it.
TEST(CMigrationCheckerTest, FailedReadDoesNotRepeatThePreviousText)
{
    Design d;
    d.b.SnapshotAttribute("NORV_MIGRATION_STATUS", "3:bad");
    d.b.SnapshotAttribute("NORV_MIGRATION_LOG", "mig.log");
    CMigrationChecker test;
    // The second call of the run is the read of the log attribute.
    const Outcome out = RunTest(test, *d.session, "", [&] { d.faults().SetCountdown(2); });
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T56_MIGRATIONPROCESSFAILEDSTATUS, {{Index(), "3:bad"}})}));
    EXPECT_EQ(LogLines(test), std::vector<std::string>{"ERROR 5602: Migration process failed with status: 3:bad"});
}
