#include "MaintenanceTestSupport.h"

#include "framework/CNorvInitTest.h"

#include <gtest/gtest.h>

using namespace mtest;

namespace
{

const std::string kStart = "Initializing design...\n";

// Whether the check framework's initialisation test finds nothing missing.
bool initTestPasses(Lumo::LumoPI* session)
{
    CapturingLog log;
    CNorvInitTest test;
    test.initTest(session, "main", "TOP", &log, nullptr, 1, "");
    return test.runTest(false) == OK;
}

// A session whose snapshot "main" has a schematic for "TOP" but no Norv data at all.
struct SchematicOnly
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::NewSession();
    Lumo::StandIn::Builder builder{*session, "main"};
    Lumo::Index schematic = builder.DefaultConfig("TOP");
    Lumo::StandIn::Store& store() { return builder.GetStore(); }
};

TEST(DefaultObjectsTest, CreatesEverythingMissingOnceAndThenNothing)
{
    SchematicOnly s;
    Maintenance m(s.session.get());
    EXPECT_TRUE(m.checker.Init_NorvLUMO("main"));
    EXPECT_EQ(kStart, m.log.written);
    EXPECT_TRUE(initTestPasses(s.session.get()));
    EXPECT_EQ(0u, ownLocks(s.store()));
    EXPECT_EQ(std::vector<std::string>{"(Default)"}, liveNames(s.store(), Kind::NetClass));
    EXPECT_EQ((std::vector<std::string>{"(Master)", "(Minimum)"}), liveNames(s.store(), Kind::Scheme));
    const std::vector<Lumo::Index> schemes = s.store().AllLive(Kind::Scheme);
    EXPECT_EQ(Lumo::ST_Master, s.store().Int(schemes[0], Lumo::StandIn::Field::schemeType));
    EXPECT_EQ(Lumo::ST_Minimum, s.store().Int(schemes[1], Lumo::StandIn::Field::schemeType));

    // Repeated: nothing is locked or created.
    const size_t records = s.store().RecordCount();
    Lumo::StandIn::ClearModified(*s.session);
    Lumo::StandIn::GetCallCounts(*s.session).Reset();
    m.log.written.clear();
    EXPECT_TRUE(m.checker.Init_NorvLUMO("main"));
    EXPECT_EQ(kStart, m.log.written);
    EXPECT_EQ(records, s.store().RecordCount());
    EXPECT_FALSE(Lumo::StandIn::IsModified(*s.session));
    EXPECT_EQ(0u, Lumo::StandIn::GetCallCounts(*s.session).Get("Lock"));
}

TEST(DefaultObjectsTest, PresentDefaultsAreKeptWhateverTheirCaseOrNumber)
{
    Design d;
    // A net class spelt in another case counts as the default; two schemes of one name count.
    d.store().SetName(d.find(Kind::NetClass, "(Default)"), "(default)");
    d.builder.Scheme(d.design, "(Master)", Lumo::ST_Master);
    d.builder.Delete(d.find(Kind::Scheme, "(Minimum)"));
    d.builder.Constraint(d.store().AllLive(Kind::GenClear).front(), "CLEARANCE", 4);

    Maintenance m(d.session.get());
    EXPECT_TRUE(m.checker.Init_NorvLUMO("main"));
    EXPECT_EQ(std::vector<std::string>{"(default)"}, liveNames(d.store(), Kind::NetClass));
    EXPECT_EQ((std::vector<std::string>{"(Master)", "(Master)", "(Minimum)"}), liveNames(d.store(), Kind::Scheme));
    EXPECT_EQ(1u, d.store().AllLive(Kind::GenClear).size());
    EXPECT_EQ(1u, d.store().List(d.store().AllLive(Kind::GenClear).front(), Lumo::StandIn::Field::constraints).size());

    // A general clearance that cannot be read is not added a second time: the run fails.
    Lumo::StandIn::GetFaults(*d.session).FailNext("GetNorvGenClear", 1);
    Maintenance unread(d.session.get());
    EXPECT_FALSE(unread.checker.Init_NorvLUMO("main"));
    EXPECT_EQ(kStart + "ERROR: Cannot get general clearance\n", unread.log.written);
    EXPECT_EQ(1u, d.store().AllLive(Kind::GenClear).size());
}

// Each failure: its one message after the first, false, no lock left, and what was created
// before it stays.
TEST(DefaultObjectsTest, EachFailureHasItsMessageAndKeepsWhatWasCreated)
{
    const std::vector<std::string> calls = callSequence([](uint64_t k) {
        SchematicOnly s;
        Maintenance m(s.session.get());
        Lumo::StandIn::GetFaults(*s.session).SetCountdown(k);
        m.checker.Init_NorvLUMO("main");
        return failedRun(*s.session);
    });
    const struct
    {
        const char* op;
        int n; // the n-th call of op fails
        const char* message;
        size_t netClasses; // "(Default)" created before the failure
    } cases[] = {
        {"GetSnapshotByName", 1, "", 0},
        {"Lock", 1, "ERROR: Cannot lock snapshot\n", 0},
        {"AddNorvConfig", 1, "ERROR: Cannot add NORV config\n", 0},
        {"GetNorvConfig", 2, "ERROR: Cannot get NORV config\n", 0},
        {"Lock", 2, "ERROR: Cannot lock NORV config\n", 0},
        {"AddNorvDesign", 1, "ERROR: Cannot add NORV design\n", 0},
        {"GetNorvDesign", 2, "ERROR: Cannot get NORV design\n", 0},
        {"Lock", 3, "ERROR: Cannot lock NORV design\n", 0},
        {"AddConstraintClass", 1, "ERROR: Cannot add default constraint class\n", 0},
        {"FindConstraintClass", 2, "ERROR: Cannot get default constraint class\n", 0},
        {"AddNetClass", 1, "ERROR: Cannot add default net class\n", 0},
        {"FindNetClass", 2, "ERROR: Cannot get default net class\n", 1},
        {"AddScheme", 1, "ERROR: Cannot add default scheme\n", 1},
        {"AddScheme", 2, "ERROR: Cannot add minimum scheme\n", 1},
        {"FindScheme", 4, "ERROR: Cannot get minimum scheme\n", 1},
        {"AddClearRule", 1, "ERROR: Cannot add clearance rule\n", 1},
        {"FindClearRule", 2, "ERROR: Cannot get clearance rule\n", 1},
        {"AddGenClear", 1, "ERROR: Cannot add general clearance\n", 1},
        {"GetNorvGenClear", 2, "ERROR: Cannot get general clearance\n", 1},
    };
    for (const auto& c : cases)
    {
        const std::string label = std::string(c.op) + " #" + std::to_string(c.n);
        SchematicOnly s;
        Maintenance m(s.session.get());
        ASSERT_TRUE(failCall(*s.session, calls, c.op, c.n)) << label;
        EXPECT_FALSE(m.checker.Init_NorvLUMO("main")) << label;
        EXPECT_EQ(kStart + c.message, m.log.written) << label;
        EXPECT_EQ(0u, ownLocks(s.store())) << label;
        EXPECT_EQ(c.netClasses, s.store().AllLive(Kind::NetClass).size()) << label;
    }
}

} // namespace
