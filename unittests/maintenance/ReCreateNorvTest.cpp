#include "MaintenanceTestSupport.h"

#include <gtest/gtest.h>

using namespace mtest;
using Lumo::Index;
using Lumo::StandIn::Field;

namespace
{

const std::string kSuccess = "Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\n";
const int64_t kForwardedComp = 1 << 11;
const int64_t kForwardedPin = 1 << 20;

// Norv data to throw away and a schematic to rebuild it from: three flat nets (one of them with
// an unreadable name) and components that are or are not forwarded, with pins that are or are not.
struct Schematic : Design
{
    Index oldNet = builder.PhysicalNet(config, "OLD");
    Index schematic = builder.DefaultConfig("TOP");
    Index a = builder.FlatNet(schematic, "A");
    Index unreadable = builder.FlatNet(schematic, "X");
    Index b = builder.FlatNet(schematic, "B");
    Index u1 = builder.LogicComp(schematic, "U1");
    Index u1Pin1 = builder.DesignPin(u1, "U1.1", "1");
    Index u1Pin2 = builder.DesignPin(u1, "U1.2", "2");
    Index u1Pin3 = builder.DesignPin(u1, "U1.3", "3");
    Index u2 = builder.LogicComp(schematic, "U2");
    Index u2Pin = builder.DesignPin(u2, "U2.1", "1");
    Index u3 = builder.LogicComp(schematic, "U3");
    Index u3Pin = builder.DesignPin(u3, "U3.1", "1");

    Schematic()
    {
        builder.Fail(unreadable, "GetName");
        builder.SetInt(u1, Field::types, kForwardedComp);
        builder.SetInt(u1Pin1, Field::types, kForwardedPin);
        builder.SetInt(u1Pin3, Field::types, kForwardedPin);
        builder.Fail(u1Pin3, "GetType");
        builder.SetInt(u2Pin, Field::types, kForwardedPin); // U2 itself is not forwarded
        builder.SetInt(u3, Field::types, kForwardedComp);   // U3 has no forwarded pin
    }
};

struct ReCreateRun
{
    explicit ReCreateRun(Design& d) : m(d.session.get()) { result = m.checker.ReCreate_NorvLUMO("main"); }
    Maintenance m;
    bool result = false;
};

TEST(ReCreateNorvTest, RebuildsNetsAndForwardedComponentsFromTheSchematic)
{
    Schematic s;
    ReCreateRun run(s);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(kSuccess, run.m.log.written);
    EXPECT_EQ(0u, ownLocks(s.store()));
    EXPECT_FALSE(s.store().IsAlive(s.config));
    EXPECT_FALSE(s.store().IsAlive(s.oldNet));

    // One physical net per readable flat net, each under an electrical net of its own.
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), liveNames(s.store(), Kind::PhysicalNet));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), liveNames(s.store(), Kind::ElectricalNet));
    for (Index net : s.store().AllLive(Kind::PhysicalNet))
    {
        const Index parent = s.store().Ref(net, Field::parentElectricalNet);
        EXPECT_EQ(std::vector<Index>{net}, s.store().List(parent, Field::physicalNets));
    }
    EXPECT_EQ(s.store().AllLive(Kind::PhysicalNet)[0], s.store().Ref(s.a, Field::physicalNet));

    // One unnamed, unpackaged component, bound to the one forwarded pin whose type reads.
    const std::vector<Index> comps = s.store().AllLive(Kind::NorvComp);
    ASSERT_EQ(1u, comps.size());
    EXPECT_EQ("", s.store().Name(comps[0]));
    EXPECT_TRUE(s.store().Ref(comps[0], Field::parentPart).IsEmpty());
    EXPECT_EQ(std::vector<Index>{s.u1}, s.store().List(comps[0], Field::logicComps));
    const std::vector<Index> pins = s.store().List(comps[0], Field::pins);
    ASSERT_EQ(1u, pins.size());
    EXPECT_EQ("1", s.store().Name(pins[0]));
    EXPECT_EQ(s.u1Pin1, s.store().Ref(pins[0], Field::designPin));

    // The defaults are back, and a second run gives the same data.
    EXPECT_EQ(std::vector<std::string>{"(Default)"}, liveNames(s.store(), Kind::NetClass));
    ReCreateRun again(s);
    EXPECT_TRUE(again.result);
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), liveNames(s.store(), Kind::PhysicalNet));
    EXPECT_EQ(1u, s.store().AllLive(Kind::NorvComp).size());
}

TEST(ReCreateNorvTest, NoNorvDataToFormatEndsWithoutAMessage)
{
    Schematic s;
    s.builder.Delete(s.config);
    Lumo::StandIn::ClearModified(*s.session);
    ReCreateRun run(s);
    EXPECT_FALSE(run.result);
    EXPECT_EQ("", run.m.log.written);
    EXPECT_FALSE(Lumo::StandIn::IsModified(*s.session));
}

// The formatting has removed the Norv data when the rebuilding starts: every failed call after it
// fails the run, save a flat net name or a pin type that cannot be read (that net or pin is passed
// over), and a run that succeeds has rebuilt everything.
TEST(ReCreateNorvTest, EachFailureHasItsMessageAndReleasesItsLocks)
{
    const std::vector<std::string> calls = callSequence([](uint64_t k) {
        Schematic s;
        Lumo::StandIn::GetFaults(*s.session).SetCountdown(k);
        ReCreateRun run(s);
        EXPECT_EQ(0u, ownLocks(s.store())) << "call " << k;
        const FailedRun failed = failedRun(*s.session);
        const std::string op = failed.countdownFired ? failed.fired.back().operation : "";
        if (run.result && op != "GetName" && op != "GetType")
        {
            EXPECT_EQ((std::vector<std::string>{"A", "B"}), liveNames(s.store(), Kind::PhysicalNet)) << op;
            EXPECT_EQ((std::vector<std::string>{"A", "B"}), liveNames(s.store(), Kind::ElectricalNet)) << op;
            EXPECT_EQ(1u, s.store().AllLive(Kind::NorvComp).size()) << op;
        }
        return failed;
    });
    const struct
    {
        const char* op;
        int n;
        const char* log;
        std::vector<std::string> physicalNets; // left by the failure
    } cases[] = {
        {"RemoveConfig", 1, "", {"OLD"}},
        {"AddNorvConfig", 1, "Initializing design...\nERROR: Cannot add NORV config\n", {}},
        {"GetNorvConfig", 5, "Initializing design...\nRecreating electrical nets...\nERROR: Cannot get NORV config\n", {}},
        {"Lock", 10, "Initializing design...\nRecreating electrical nets...\nERROR: Cannot lock NORV config\n", {}},
        {"GetIterFlatNets", 1, "Initializing design...\nRecreating electrical nets...\nCannot get flatnets\n", {}},
        {"GetIterFlatNets.IsValid", 1, "Initializing design...\nRecreating electrical nets...\nCannot get flatnets\n",
         {}},
        {"AddPhysicalNet", 2, "Initializing design...\nRecreating electrical nets...\nCannot add physical net\n", {"A"}},
        {"AddElectricalNet", 1, "Initializing design...\nRecreating electrical nets...\nCannot add electrical net\n",
         {"A"}},
        {"GetIterComps", 1, "Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\nCannot get "
                            "logical components\n",
         {"A", "B"}},
        {"GetType", 1, "Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\nCannot get "
                       "type of logical components\n",
         {"A", "B"}},
        {"GetIterPins", 1, "Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\nCannot "
                           "get pins of logical components\n",
         {"A", "B"}},
        {"GetIterComps.IsValid", 1, "Initializing design...\nRecreating electrical nets...\nRecreating "
                                    "connectivity...\nCannot get logical components\n",
         {"A", "B"}},
        {"GetIterPins.IsValid", 1, "Initializing design...\nRecreating electrical nets...\nRecreating "
                                   "connectivity...\nCannot get pins of logical components\n",
         {"A", "B"}},
        {"AddNorvComp", 1, "Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\nCannot "
                           "add NORV component\n",
         {"A", "B"}},
        {"AddLogicComp", 1, "Initializing design...\nRecreating electrical nets...\nRecreating connectivity...\nCannot "
                            "connect pins to NORV component\n",
         {"A", "B"}},
    };
    for (const auto& c : cases)
    {
        const std::string label = std::string(c.op) + " #" + std::to_string(c.n);
        Schematic s;
        ASSERT_TRUE(failCall(*s.session, calls, c.op, c.n)) << label;
        ReCreateRun run(s);
        EXPECT_FALSE(run.result) << label;
        EXPECT_EQ(c.log, run.m.log.written) << label;
        EXPECT_EQ(c.physicalNets, liveNames(s.store(), Kind::PhysicalNet)) << label;
    }

    // The lock of the logical component: the new component is released before the message.
    Schematic s;
    ASSERT_TRUE(failCall(*s.session, calls, "Lock", 11));
    ReCreateRun run(s);
    EXPECT_FALSE(run.result);
    EXPECT_EQ("Cannot lock logical component\n", run.m.log.written.substr(run.m.log.written.rfind('\n', run.m.log.written.size() - 2) + 1));
    EXPECT_EQ(0u, ownLocks(s.store()));
}

} // namespace
