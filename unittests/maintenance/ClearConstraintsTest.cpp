#include "MaintenanceTestSupport.h"

#include <gtest/gtest.h>

using namespace mtest;
using Lumo::Index;
using Lumo::StandIn::Field;

namespace
{

const std::vector<std::string> kSuccessLines = {
    "Checking NORV clients...\n",    "Initializing design...\n",   "Differential Pairs cleared...\n",
    "Electrical Nets cleared...\n",  "Physical Nets cleared...\n", "Parts cleared...\n",
    "Components cleared...\n",       "Net Classes cleared...\n",   "Clearance Rules cleared...\n",
    "Scheme cleared...\n",           "Constraint Classes cleared...\n",
    "General clearances cleared...\n", "Electrical nets regenerated...\n",
};

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

// A design with something to clear or delete in every pass.
struct ClearDesign : Design
{
    Index defaultNetClass = find(Kind::NetClass, "(Default)");
    Index allClass = find(Kind::ConstraintClass, "(All)");
    Index master = find(Kind::Scheme, "(Master)");
    Index defaultRule = find(Kind::ClearRule, "(Default Rule)");
    Index genClear = store().AllLive(Kind::GenClear).front();
    // classes, rules and schemes: the defaults' children and every other one go
    Index otherCase = builder.NetClass(design, "(default)");
    Index highSpeed = builder.NetClass(design, "HS");
    Index defaultChild = builder.NetClass(defaultNetClass, "DEF_CHILD");
    Index otherClass = builder.ConstraintClass(design, "CC2", highSpeed);
    Index allChild = builder.ConstraintClass(allClass, "ALL_CHILD");
    Index otherRule = builder.ClearRule(design, "R2");
    Index otherScheme = builder.Scheme(design, "S1");
    Index c2c = builder.Add(Kind::C2CClearRule, design, "C2C");
    Index constVar = builder.Add(Kind::ConstVar, design, "V");
    // connectivity
    Index constrained = builder.ElectricalNet(config, "E1");
    Index plain = builder.ElectricalNet(config, "E2");
    Index p1 = builder.PhysicalNet(config, "P1", constrained);
    Index p2 = builder.PhysicalNet(config, "P2", plain);
    Index orphan = builder.PhysicalNet(config, "ORPHAN");
    Index part = builder.Part(config, "PART", 2);
    Index comp = builder.NorvComp(config, "U1", part);
    Index netPin = builder.Pin(comp, "1", Lumo::NPT_NetPin, p1);
    Index netPin2 = builder.Pin(comp, "2", Lumo::NPT_NetPin, p1);
    Index virtualPin = builder.Pin(p1, "V1", Lumo::NPT_VirtualPin);
    Index pinSetT = builder.Pin(p1, "PS_T", Lumo::NPT_PinSetT);
    Index pinSetUnbalanced = builder.Pin(p2, "PS_U", Lumo::NPT_PinSetUnbalanced);
    Index fromTo = builder.FromTo(p2, "FT", netPin, netPin2);
    Index constrainedPair = builder.PinPair(constrained, "PP1", netPin, netPin2);
    Index plainPair = builder.PinPair(plain, "PP2", netPin, netPin2);
    Index diffPair = builder.DiffPair(config, "DP", constrained, plain);

    ClearDesign()
    {
        builder.Constraint(constrained, "ORDER_TYPE", "MST");
        builder.Link(plain, Field::constraintClass, otherClass);
        builder.Attribute(p1, "NOTE", "x");
        builder.Link(p2, Field::netClass, highSpeed);
        builder.Constraint(part, "HEIGHT", 3);
        builder.Constraint(store().List(part, Field::partPins).front(), "SWAP", 1);
        builder.Constraint(comp, "HEIGHT", 3);
        builder.Constraint(netPin, "PIN_DELAY", 1.5);
        for (Index holder : {defaultNetClass, allClass, master, defaultRule, genClear})
            builder.Constraint(holder, "MAX_VIAS", 2);
        builder.Constraint(store().List(master, Field::schemaNetClassRules).front(), "LINE_WIDTH", 5.0);
        builder.Constraint(store().List(master, Field::schemaClearRules).front(), "CLEARANCE", 4.0);
    }
};

// What a run that reports success has left undone, one name per line: every kept object
// stripped, every other class, rule, scheme, collection, pair, from-to and pin set gone, every net
// re-attached. Empty when the design is cleared.
std::string leftUncleared(ClearDesign& d)
{
    Lumo::StandIn::Store& store = d.store();
    const Index schemeRules[] = {store.List(d.master, Field::schemaNetClassRules).front(),
                                 store.List(d.master, Field::schemaClearRules).front()};
    std::string left;
    for (Index kept : {d.defaultNetClass, d.allClass, d.master, d.defaultRule, d.genClear, d.constrained, d.part,
                       d.comp, d.netPin, d.p1, schemeRules[0], schemeRules[1],
                       store.List(d.part, Field::partPins).front()})
        if (!store.List(kept, Field::constraints).empty() || !store.Attributes(kept).empty())
            left += "constraints of " + store.Name(kept) + "\n";
    for (Index gone : {d.otherCase, d.highSpeed, d.defaultChild, d.otherClass, d.allChild, d.otherRule, d.otherScheme,
                       d.c2c, d.constVar, d.diffPair, d.fromTo, d.pinSetT, d.pinSetUnbalanced, d.constrainedPair})
        if (store.IsAlive(gone))
            left += store.Name(gone) + "\n";
    for (Index net : {d.p1, d.p2, d.orphan})
        if (store.Ref(net, Field::netClass) != d.defaultNetClass)
            left += "net class of " + store.Name(net) + "\n";
    if (store.Ref(d.constrained, Field::constraintClass) != d.allClass)
        left += "constraint class of " + store.Name(d.constrained) + "\n";
    return left;
}

struct ClearRun
{
    explicit ClearRun(ClearDesign& d, bool noBackup = true) : m(d.session.get())
    {
        result = m.checker.ClearConstraints("main", noBackup);
    }
    Maintenance m;
    bool result = false;
};

TEST(ClearConstraintsTest, StripsTheDesignDownToItsDefaults)
{
    ClearDesign d;
    ClearRun run(d);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(joined(kSuccessLines), run.m.log.written);
    EXPECT_EQ("", leftUncleared(d));
    EXPECT_EQ(0u, ownLocks(d.store()));
    EXPECT_TRUE(Lumo::StandIn::GetBackups(*d.session).empty());

    // Only exact default names stay; children of the defaults and the collections go.
    EXPECT_EQ(std::vector<std::string>{"(Default)"}, liveNames(d.store(), Kind::NetClass));
    EXPECT_EQ(std::vector<std::string>{"(All)"}, liveNames(d.store(), Kind::ConstraintClass));
    EXPECT_EQ(std::vector<std::string>{"(Default Rule)"}, liveNames(d.store(), Kind::ClearRule));
    EXPECT_EQ((std::vector<std::string>{"(Master)", "(Minimum)"}), liveNames(d.store(), Kind::Scheme));
    EXPECT_TRUE(d.store().AllLive(Kind::C2CClearRule).empty());
    EXPECT_TRUE(d.store().AllLive(Kind::ConstVar).empty());
    EXPECT_TRUE(d.store().AllLive(Kind::DiffPair).empty());
    EXPECT_EQ(d.defaultNetClass, d.store().Ref(d.allClass, Field::netClass));
    for (Index kept : {d.defaultNetClass, d.allClass, d.master, d.defaultRule, d.genClear, d.constrained, d.part,
                       d.comp, d.netPin, d.p1})
    {
        EXPECT_TRUE(d.store().List(kept, Field::constraints).empty()) << d.store().Name(kept);
        EXPECT_TRUE(d.store().Attributes(kept).empty()) << d.store().Name(kept);
    }
    EXPECT_TRUE(d.store().List(d.store().List(d.master, Field::schemaNetClassRules).front(), Field::constraints).empty());
    EXPECT_TRUE(d.store().List(d.store().List(d.master, Field::schemaClearRules).front(), Field::constraints).empty());

    // The constrained net loses its pin pairs and takes "(All)"; the other keeps both.
    EXPECT_FALSE(d.store().IsAlive(d.constrainedPair));
    EXPECT_EQ(d.allClass, d.store().Ref(d.constrained, Field::constraintClass));
    EXPECT_TRUE(d.store().IsAlive(d.plainPair));
    EXPECT_EQ(d.otherClass, d.store().Ref(d.plain, Field::constraintClass));

    // Every physical net loses from-tos and pin sets, keeps its other pins, joins "(Default)".
    EXPECT_FALSE(d.store().IsAlive(d.fromTo));
    EXPECT_FALSE(d.store().IsAlive(d.pinSetT));
    EXPECT_FALSE(d.store().IsAlive(d.pinSetUnbalanced));
    EXPECT_TRUE(d.store().IsAlive(d.virtualPin));
    EXPECT_TRUE(d.store().IsAlive(d.netPin));
    for (Index net : {d.p1, d.p2, d.orphan})
        EXPECT_EQ(d.defaultNetClass, d.store().Ref(net, Field::netClass)) << d.store().Name(net);

    // Regeneration gives the physical net without an electrical net one of its own name.
    EXPECT_EQ((std::vector<std::string>{"E1", "E2", "ORPHAN"}), liveNames(d.store(), Kind::ElectricalNet));
    const std::vector<Lumo::StandIn::Record>& records = Lumo::StandIn::GetRecords(*d.session);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("Synchronize", records[0].operation);
    EXPECT_FALSE(records[0].flag);
    EXPECT_EQ("UpdateAllElectricalNets", records[1].operation);
}

TEST(ClearConstraintsTest, BackupComesFirstUnlessRefused)
{
    ClearDesign d;
    ClearRun run(d, false);
    ASSERT_TRUE(run.result);
    EXPECT_EQ("Preparing backup...\nBackup created...\n" + joined(kSuccessLines), run.m.log.written);
    const std::vector<Lumo::StandIn::Backup>& backups = Lumo::StandIn::GetBackups(*d.session);
    ASSERT_EQ(1u, backups.size());
    EXPECT_EQ(8, backups[0].type);
    EXPECT_EQ("NORV", backups[0].text1);
    EXPECT_EQ("Before clear all constraints", backups[0].text2);
    EXPECT_EQ(1u, backups[0].snapshots.size());

    // The refusal names the failure whether result texts are on or off.
    fwtest::ProcessStateGuard guard;
    for (bool texts : {true, false})
    {
        Lumo::Result::SetStringResultsEnabled(texts);
        ClearDesign failing;
        Lumo::StandIn::GetFaults(*failing.session).FailNext("RequestProjectBackup", 1);
        ClearRun refused(failing, false);
        EXPECT_FALSE(refused.result);
        EXPECT_EQ("Preparing backup...\nERROR: Cannot create backup for the database. Database error: injected failure: "
                  "RequestProjectBackup\n",
                  refused.m.log.written)
            << "texts " << texts;
        EXPECT_FALSE(Lumo::StandIn::IsModified(*failing.session));
    }
}

TEST(ClearConstraintsTest, MoreThanOneNorvSubClientRefusesTheRun)
{
    const struct
    {
        std::vector<std::vector<std::string>> clients; // sub-client names per client
        bool refused;
    } cases[] = {
        {{}, false},
        {{{"Editor (FE NORV)"}}, false},
        {{{"Editor (FE NORV) (NORV)"}}, false},
        {{{"viewer (norv)", "x (fe norv)", "Kravik (FE NORV)"}}, false},
        {{{"A (NORV)", "B (NORV)"}}, true},
        {{{"A (FE NORV)"}, {"B (NORV)"}}, true},
        {{{"Viewer"}, {"B (NORV)", "Viewer"}}, false},
    };
    for (const auto& c : cases)
    {
        ClearDesign d;
        for (size_t i = 0; i < c.clients.size(); ++i)
            d.builder.Client("ws:" + std::to_string(i), c.clients[i]);
        ClearRun run(d);
        EXPECT_EQ(!c.refused, run.result) << testing::PrintToString(c.clients);
        if (c.refused)
        {
            EXPECT_EQ("Checking NORV clients...\nERROR: Cannot clear all constraints. There is more than one NORV "
                      "client connected to database.\n",
                      run.m.log.written);
            EXPECT_FALSE(Lumo::StandIn::IsModified(*d.session));
        }
    }
}

TEST(ClearConstraintsTest, InvalidObjectsAreSkippedWithTheirPins)
{
    ClearDesign d;
    d.builder.Invalid(d.part);
    d.builder.Invalid(d.p2);
    ClearRun run(d);
    ASSERT_TRUE(run.result);
    EXPECT_EQ(1u, d.store().List(d.part, Field::constraints).size());
    EXPECT_EQ(1u, d.store().List(d.store().List(d.part, Field::partPins).front(), Field::constraints).size());
    EXPECT_TRUE(d.store().IsAlive(d.fromTo));
    EXPECT_TRUE(d.store().IsAlive(d.pinSetUnbalanced));
}

TEST(ClearConstraintsTest, GeneralClearanceWithoutConstraintsGetsNoLine)
{
    ClearDesign d;
    d.builder.Delete(d.store().List(d.genClear, Field::constraints).front());
    ClearRun run(d);
    ASSERT_TRUE(run.result);
    std::vector<std::string> lines = kSuccessLines;
    lines.erase(lines.end() - 2);
    EXPECT_EQ(joined(lines), run.m.log.written);
}

// The default net class and constraint class are found by their exact names only: a design that
// initialisation accepts with "(default)" cannot be cleared.
TEST(ClearConstraintsTest, DefaultSpeltInAnotherCaseStopsBeforeAnyPass)
{
    Design d;
    d.store().SetName(d.find(Kind::NetClass, "(Default)"), "(default)");
    Maintenance init(d.session.get());
    EXPECT_TRUE(init.checker.Init_NorvLUMO("main"));
    EXPECT_EQ(std::vector<std::string>{"(default)"}, liveNames(d.store(), Kind::NetClass));

    Lumo::StandIn::ClearModified(*d.session);
    Maintenance clear(d.session.get());
    EXPECT_FALSE(clear.checker.ClearConstraints("main", true));
    EXPECT_EQ("Checking NORV clients...\nInitializing design...\n", clear.log.written);
    EXPECT_FALSE(Lumo::StandIn::IsModified(*d.session));
    EXPECT_EQ(0u, ownLocks(d.store()));
}

// Failing each database call of a run in turn: the run either goes on (the calls whose result it
// does not test) or stops with at most one error line after the lines of the passes done, and it
// never leaves a lock behind. A run that goes on to success has cleared everything: a step that
// fails after data was deleted fails the run.
TEST(ClearConstraintsTest, EveryFailedCallStopsCleanly)
{
    const std::vector<std::string> calls = callSequence([](uint64_t k) {
        ClearDesign d;
        Lumo::StandIn::GetFaults(*d.session).SetCountdown(k);
        ClearRun run(d);
        EXPECT_EQ(0u, ownLocks(d.store())) << "call " << k;
        const std::string& log = run.m.log.written;
        const size_t error = log.find("ERROR: ");
        EXPECT_EQ(0u, joined(kSuccessLines).rfind(log.substr(0, error), 0)) << "call " << k << "\n" << log;
        if (error != std::string::npos)
        {
            EXPECT_FALSE(run.result) << "call " << k;
            EXPECT_EQ(log.size() - 1, log.find('\n', error)) << "call " << k << "\n" << log;
        }
        if (run.result)
        {
            EXPECT_EQ("", leftUncleared(d)) << "call " << k;
        }
        return failedRun(*d.session);
    });
    ASSERT_GT(calls.size(), 100u);

    // The failures that name themselves.
    const struct
    {
        const char* op;
        int n;
        const char* message;
    } cases[] = {
        {"GetSnapshotByName", 1, "ERROR: Cannot get snapshot\n"},
        {"GetNorvConfig", 1, "ERROR: Cannot get NORV configuration\n"},
        {"Lock", 1, "ERROR: Cannot lock NORV configuration\n"},
        {"GetNorvDesign", 1, "ERROR: Cannot get NORV design\n"},
        {"Lock", 2, "ERROR: Cannot lock NORV Design\n"},
        {"FindNetClass", 1, ""},
        {"DeleteAllDiffPairs", 1, ""},
        {"Lock", 5, "ERROR: Cannot lock NORV Electrical Net\n"},
        {"Lock", 6, "ERROR: Cannot lock NORV Physical Net\n"},
        {"DeletePin", 1, ""},
        {"DeleteAllChildNetClass", 1, ""},
        {"DeleteNetClass", 1, ""},
        {"SetNetClass", 4, ""},
        {"DeleteAllConstraintClass", 1, ""},
        {"DeleteAllC2CClearRules", 1, "ERROR: Cannot delete all C2C Clearance Rules\n"},
        {"DeleteAllPkgTypeClearRules", 1, "ERROR: Cannot delete all PkgType Clearance Rules\n"},
        {"UpdateAllElectricalNets", 1, "ERROR: Cannot regenerate all electrical nets\n"},
    };
    for (const auto& c : cases)
    {
        const std::string label = std::string(c.op) + " #" + std::to_string(c.n);
        ClearDesign d;
        ASSERT_TRUE(failCall(*d.session, calls, c.op, c.n)) << label;
        ClearRun run(d);
        EXPECT_FALSE(run.result) << label;
        const std::string& log = run.m.log.written;
        const size_t error = log.find("ERROR: ");
        EXPECT_EQ(c.message, error == std::string::npos ? std::string() : log.substr(error)) << label << "\n" << log;
    }
}

} // namespace
