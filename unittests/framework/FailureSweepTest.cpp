// Every registered test against reads that fail once, on two examples: for each operation a
// clean run makes, the run is repeated with the next call of that operation failing. A read that
// fails once is read again where the test reads it again, so no finding may come back more often
// than in the clean run plus once for the failure: more is a failed read kept and raised again.
#include "framework/CFixIssue.h"
#include "framework/CNorvDetailChecker.h"
#include "framework/CTestLog.h"
#include "framework/TestRegistry.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace
{

class QuietLog : public CTestLog
{
public:
    QuietLog() : CTestLog(nullptr, false) { setLogLevel(2); }
    void emitMessage(std::string) override {}
};

// Each finding as "code index:name ..." with the number of times it was raised.
struct Example
{
    const char* file;
    const char* snapshot;
    const char* topBlock;
};

std::map<std::string, int> runOnce(const TestRegistration& registration, Lumo::LumoPI& session, const Example& example,
                                   const std::string& op)
{
    QuietLog log;
    std::unique_ptr<CNorvDetailChecker> test(registration.create());
    test->initTest(&session, example.snapshot, example.topBlock, &log, nullptr, 1,
                   std::string(KRAVIK_SOURCE_DIR) + "/examples/broken-constraints.json");
    Lumo::StandIn::GetCallCounts(session).Reset();
    if (!op.empty())
        Lumo::StandIn::GetFaults(session).FailNext(op, 1);
    test->runTest(false);
    Lumo::StandIn::GetFaults(session).ClearAll();
    std::map<std::string, int> counts;
    for (const CFixIssue& issue : test->GetIssuesList()) {
        const Lumo::Index indexes[4] = {issue.GetIndex1(), issue.GetIndex2(), issue.GetIndex3(), issue.GetIndex4()};
        const std::string names[4] = {issue.GetName1(), issue.GetName2(), issue.GetName3(), issue.GetName4()};
        std::string text = std::to_string(issue.GetCode());
        for (unsigned i = 0; i < issue.GetCount() && i < 4; ++i)
            text += " " + indexes[i].ToText() + ":" + names[i];
        ++counts[text];
    }
    return counts;
}

bool isIteratorValidity(const std::string& op)
{
    static const std::string suffix = ".IsValid";
    return op.size() > suffix.size() && op.compare(op.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

TEST(FailureSweepTest, AReadThatFailsOnceIsReportedOnce)
{
    const Example examples[] = {{"broken.json", "rev-a", "CTRL_BOARD"}, {"design-example.json", "main", "TOP"}};
    for (const Example& example : examples) {
        Lumo::StandIn::LoadError err;
        auto session = Lumo::StandIn::LoadSession(std::string(KRAVIK_SOURCE_DIR) + "/examples/" + example.file, &err);
        ASSERT_TRUE(session) << err.path << ": " << err.message;
        for (const TestRegistration& registration : TestRegistryTable()) {
            const std::map<std::string, int> clean = runOnce(registration, *session, example, "");
            const std::map<std::string, uint64_t> ops = Lumo::StandIn::GetCallCounts(*session).Snapshot();
            for (const auto& op : ops) {
                // A walk that a failing IsValid of its iterator ends looks like one that reached its end.
                if (isIteratorValidity(op.first))
                    continue;
                const std::map<std::string, int> faulty = runOnce(registration, *session, example, op.first);
                for (const auto& finding : faulty) {
                    const auto before = clean.find(finding.first);
                    const int allowed = (before == clean.end() ? 0 : before->second) + 1;
                    EXPECT_LE(finding.second, allowed) << example.file << ": " << registration.className << ", next "
                                                       << op.first << " failing: " << finding.first;
                }
            }
        }
    }
}
