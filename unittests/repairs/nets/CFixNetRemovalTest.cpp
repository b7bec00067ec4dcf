// The removal repairs of differential pairs and electrical nets, the common net class of a pair's
// nets and the ANALOG electrical net with several physical nets.
#include "NetFixKit.h"

#include "repairs/nets/CFixNet.h"
#include "tests/rules/RuleTestKit.h"

#include <functional>
#include <map>

namespace netfix
{
namespace
{

// A differential pair DP of the electrical nets E1 (physical nets P1a, P1b) and E2 (P2).
struct PairDesign : NetDesign
{
    Index e1 = b->ElectricalNet(cfg, "E1");
    Index e2 = b->ElectricalNet(cfg, "E2");
    Index p1a = b->PhysicalNet(cfg, "P1a", e1);
    Index p1b = b->PhysicalNet(cfg, "P1b", e1);
    Index p2 = b->PhysicalNet(cfg, "P2", e2);
    Index dp = b->DiffPair(cfg, "DP", e1, e2);
};

struct PairRemovalCase
{
    const char* name;
    FixMethod method;
    int slots; // 1: the pair in slot 1; 2: the pair in slot 2; 3: E1 in slot 1, the pair in slot 2
    const char* outcome;
};

TEST(CFixNetRemovalTest, PairDeletionsNameTheirRemoval)
{
    const PairRemovalCase cases[] = {
        {"equal nets", &CFixNet::RemoveDiffPairWithEqualNets, 1, "fixed: Differential pair DP was removed!"},
        {"power net", &CFixNet::RemoveBrokenDiffPair, 2, "fixed: Broken differential pair was removed!"},
        {"illegal name", &CFixNet::RemoveIllegalDiffPair, 1, "fixed: Illegal Differential Pair definition removed!"},
        {"net in many pairs", &CFixNet::FixElecNetInManyDiffPairs, 3,
         "fixed: Illegal Differential Pair definition removed!"},
    };
    for (const PairRemovalCase& c : cases)
    {
        PairDesign d;
        d.Bind();
        if (c.slots == 1)
            d.Slots({{d.dp, "DP"}});
        else
            d.Slots({{c.slots == 3 ? d.e1 : Index(), "E1"}, {d.dp, "DP"}});
        EXPECT_EQ(Outcome(c.method()), c.outcome) << c.name;
        EXPECT_FALSE(d.Alive(d.dp)) << c.name;
        ASSERT_FALSE(d.records().empty()) << c.name;
        EXPECT_EQ(d.records().front().operation, "Synchronize") << c.name;
        // Only the repair of the net in many pairs hands its net to the incremental update.
        EXPECT_EQ(d.updates().size(), c.slots == 3 ? 1u : 0u) << c.name;
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;

        // A pair an earlier repair removed: fixed without a change, except for the one method that
        // does not fetch the pair.
        d.records();
        const CFixStatus again = c.method();
        EXPECT_EQ(Outcome(again), c.method == &CFixNet::RemoveIllegalDiffPair ? "not fixed, failed" : "fixed")
            << c.name;
    }
}

TEST(CFixNetRemovalTest, PairDeletionSlotChecks)
{
    PairDesign d;
    d.Bind();
    d.Slots({{d.e1, "E1"}, {d.e2, "E2"}});
    EXPECT_EQ(Outcome(CFixNet::RemoveBrokenDiffPair()), "not fixed, error: Cannot find differential pair.");
    EXPECT_EQ(Outcome(CFixNet::FixElecNetInManyDiffPairs()), "not fixed, error: Cannot find differential pair.");
    d.Slots({{d.dp, "DP"}, {d.dp, "DP"}});
    EXPECT_EQ(Outcome(CFixNet::FixElecNetInManyDiffPairs()), "not fixed, error: Cannot find electrical net.");
    d.Slots({{d.e1, "E1"}});
    EXPECT_EQ(Outcome(CFixNet::RemoveIllegalDiffPair()), "not fixed, error: Cannot find differential pair.");
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::RemoveDiffPairWithEqualNets()), "not fixed, error: Cannot load differential pair.");
    EXPECT_TRUE(d.Alive(d.dp));
    // A pair whose name cannot be read is removed without its name.
    d.faults().FailOn(d.dp, "GetName");
    d.Slots({{d.dp, "DP"}});
    EXPECT_EQ(Outcome(CFixNet::RemoveDiffPairWithEqualNets()), "fixed: Differential pair was removed!");
}

TEST(CFixNetRemovalTest, InvalidElectricalNetIsDeletedOnlyWhenEmptyAndUnpaired)
{
    PairDesign d;
    const Index empty = d.b->ElectricalNet(d.cfg, "EMPTY");
    const Index emptyInPair = d.b->ElectricalNet(d.cfg, "EMPTY2");
    d.b->DiffPair(d.cfg, "DP2", emptyInPair, d.b->ElectricalNet(d.cfg, "E3"));
    const Index single = d.b->ElectricalNet(d.cfg, "SINGLE");
    d.b->PhysicalNet(d.cfg, "PS", single);
    d.Bind();
    d.Slots({{single, "SINGLE"}});
    EXPECT_EQ(Outcome(CFixNet::DeleteInvalidElecNet()), "not fixed");
    d.Slots({{emptyInPair, "EMPTY2"}});
    EXPECT_EQ(Outcome(CFixNet::DeleteInvalidElecNet()), "not fixed");
    d.Slots({{empty, "EMPTY"}});
    EXPECT_EQ(Outcome(CFixNet::DeleteInvalidElecNet()), "fixed: Electrical net was removed");
    EXPECT_FALSE(d.Alive(empty));
    EXPECT_TRUE(d.Alive(single));
    EXPECT_TRUE(d.Alive(emptyInPair));
    EXPECT_TRUE(d.updates().empty());
    // Gone now: the fetch fails with its result.
    EXPECT_EQ(Outcome(CFixNet::DeleteInvalidElecNet()), "not fixed, failed");
    d.Slots({{d.p2, "P2"}});
    EXPECT_EQ(Outcome(CFixNet::DeleteInvalidElecNet()), "not fixed, error: Cannot find electrical net.");
}

TEST(CFixNetRemovalTest, DuplicatedElectricalNets)
{
    {
        // The second of three physical nets names another parent: it and the third are detached.
        NetDesign d;
        const Index e = d.b->ElectricalNet(d.cfg, "E");
        const Index other = d.b->ElectricalNet(d.cfg, "OTHER");
        const Index a = d.b->PhysicalNet(d.cfg, "A", e);
        const Index b2 = d.b->PhysicalNet(d.cfg, "B", other);
        d.b->AppendOnly(e, Field::physicalNets, b2);
        const Index c = d.b->PhysicalNet(d.cfg, "C", e);
        d.Bind();
        EXPECT_EQ(Outcome(CFixNet::RemoveDuplicatedElectricalNet(e)), "fixed");
        EXPECT_FALSE(d.Alive(e));
        ASSERT_EQ(d.updates().size(), 1u);
        EXPECT_EQ(d.updates()[0], b2.ToText() + " " + c.ToText() + " | " + e.ToText());
        // The first physical net stayed a member until the net went; the update gives it and the
        // detached third net new parents of their own, the second keeps its own parent.
        EXPECT_EQ(d.ref(b2, Field::parentElectricalNet), other);
        EXPECT_NE(d.ref(a, Field::parentElectricalNet), Index());
        EXPECT_TRUE(d.Alive(d.ref(c, Field::parentElectricalNet)));
        // Already gone: fixed.
        EXPECT_EQ(Outcome(CFixNet::RemoveDuplicatedElectricalNet(e)), "fixed");
    }
    {
        // The first net is in a pair; the second's physical net belongs to the first.
        PairDesign d;
        const Index dup = d.b->ElectricalNet(d.cfg, "E1_dup");
        d.b->AppendOnly(dup, Field::physicalNets, d.p1a);
        d.Bind();
        d.Slots({{d.e1, "E1"}, {dup, "E1_dup"}});
        EXPECT_EQ(Outcome(CFixNet::DeleteDuplicatedElecNets()), "fixed");
        EXPECT_FALSE(d.Alive(dup));
        EXPECT_TRUE(d.Alive(d.e1));
        EXPECT_EQ(d.ref(d.p1a, Field::parentElectricalNet), d.e1);
        // Both nets own all their physical nets: nothing changes.
        const Index own = d.b->ElectricalNet(d.cfg, "OWN");
        d.b->PhysicalNet(d.cfg, "PO", own);
        d.Slots({{own, "OWN"}, {d.e2, "E2"}});
        EXPECT_EQ(Outcome(CFixNet::DeleteDuplicatedElecNets()), "not fixed");
        EXPECT_TRUE(d.Alive(own));
        EXPECT_EQ(d.OwnLocks(), 0u);
    }
}

// Electrical nets DATA and data that both list the physical net P of the net REAL, through the
// checker in fix mode: both are tried, removing either ends the duplicate, and only when neither
// can be removed is the finding not fixed (the re-check then finds it again).
TEST(CFixNetRemovalTest, DuplicatedElectricalNetsThroughTheChecker)
{
    const struct
    {
        const char* name;
        int failures; // of DeleteElectricalNet, from the run's first; -1: every one
        const char* outcome;
        bool upperKept, lowerKept;
    } cases[] = {
        {"both removed", 0, "\n - Fixed.\n", false, false},
        {"the first deletion fails", 1, "\n - Fixed.\n", true, false},
        {"every deletion fails", -1, "\n - Not Fixed. Database error: injected failure: DeleteElectricalNet.\n", true, true},
    };
    for (const auto& c : cases)
    {
        NetDesign d;
        const Index upper = d.b->ElectricalNet(d.cfg, "DATA");
        const Index lower = d.b->ElectricalNet(d.cfg, "data");
        const Index real = d.b->ElectricalNet(d.cfg, "REAL");
        const Index p = d.b->PhysicalNet(d.cfg, "P", real);
        d.b->AppendOnly(upper, Field::physicalNets, p);
        d.b->AppendOnly(lower, Field::physicalNets, p);
        const std::string before = ruletest::CheckerBlock(*d.session, "UniqueEnet");
        ASSERT_NE(before.find("ERROR 1804: Two electrical nets have the same name: DATA"), std::string::npos)
            << c.name << before;

        if (c.failures > 0)
            d.faults().FailNext("DeleteElectricalNet", c.failures);
        else if (c.failures < 0)
            d.faults().FailOn(d.cfg, "DeleteElectricalNet");
        const std::string fixed = ruletest::CheckerBlocks(*d.session, {"UniqueEnet"}, "main", "TOP", true);
        d.faults().ClearAll();
        EXPECT_NE(fixed.find(c.outcome), std::string::npos) << c.name << fixed;
        EXPECT_EQ(d.Alive(upper), c.upperKept) << c.name;
        EXPECT_EQ(d.Alive(lower), c.lowerKept) << c.name;
        EXPECT_EQ(d.ref(p, Field::parentElectricalNet), real) << c.name;
        const std::string after = ruletest::CheckerBlock(*d.session, "UniqueEnet");
        EXPECT_EQ(after.find("ERROR 1804") != std::string::npos, c.upperKept && c.lowerKept) << c.name << after;
    }
}

TEST(CFixNetRemovalTest, ElectricalNetWithWrongReferencesIsDeletedUnseen)
{
    PairDesign d;
    d.Bind();
    d.Slots({{d.e2, "E2"}});
    EXPECT_EQ(Outcome(CFixNet::DeleteElecNetWithWrongRefs()), "fixed");
    EXPECT_FALSE(d.Alive(d.e2));
    ASSERT_EQ(d.updates().size(), 1u);
    EXPECT_EQ(d.updates()[0], "| " + d.e2.ToText());
    d.Slots({{d.p2, "P2"}});
    EXPECT_EQ(Outcome(CFixNet::DeleteElecNetWithWrongRefs()), "not fixed, error: Cannot find electrical net.");
}

struct ClassCase
{
    const char* name;
    std::vector<const char*> first;  // classes of the first net's physical nets
    std::vector<const char*> second; // of the second net's
    const char* outcome;
    const char* chosen; // the class every physical net ends with; "" when nothing changes
};

TEST(CFixNetRemovalTest, CommonNetClassOfAPair)
{
    const ClassCase cases[] = {
        {"more physical nets win", {"(Default)", "A"}, {"B", "B", "B"}, "fixed", "B"},
        {"a tie takes the first", {"(Default)", "A"}, {"B", "B"}, "fixed", "A"},
        {"a default first takes the second", {"(Default)", "(Default)"}, {"A"}, "fixed", "A"},
        {"a default second takes the first", {"A"}, {"(Default)", "(Default)"}, "fixed", "A"},
        {"a net without physical nets", {"A"}, {}, "not fixed", ""},
    };
    for (const ClassCase& c : cases)
    {
        NetDesign d;
        const Index e1 = d.b->ElectricalNet(d.cfg, "E1");
        const Index e2 = d.b->ElectricalNet(d.cfg, "E2");
        const Index pair = d.b->DiffPair(d.cfg, "DP", e1, e2);
        std::vector<Index> physNets;
        std::map<std::string, Index> classes;
        auto classNamed = [&](const std::string& n) {
            if (n == "(Default)")
            {
                const std::vector<Index> found = d.list(d.design, Field::netClasses);
                for (Index i : found)
                    if (d.name(i) == n)
                        return i;
            }
            if (!classes.count(n))
                classes[n] = d.b->NetClass(d.design, n);
            return classes[n];
        };
        int n = 0;
        for (const auto& side : {std::make_pair(e1, c.first), std::make_pair(e2, c.second)})
            for (const char* cls : side.second)
            {
                const Index p = d.b->PhysicalNet(d.cfg, "P" + std::to_string(++n), side.first);
                d.b->Link(p, Field::netClass, classNamed(cls));
                physNets.push_back(p);
            }
        d.Bind();
        d.Slots({{pair, "DP"}});
        EXPECT_EQ(Outcome(CFixNet::UnifyDiffPairNetClasses()), c.outcome) << c.name;
        for (Index p : physNets)
        {
            const std::string now = *c.chosen ? d.name(d.ref(p, Field::netClass)) : std::string();
            EXPECT_EQ(now, c.chosen) << c.name << " " << d.name(p);
        }
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;
    }
}

TEST(CFixNetRemovalTest, AnalogNetWithManyPhysicalNets)
{
    PairDesign d;
    const Index lone = d.b->ElectricalNet(d.cfg, "LONE");
    const Index l1 = d.b->PhysicalNet(d.cfg, "L1", lone);
    const Index l2 = d.b->PhysicalNet(d.cfg, "L2", lone);
    d.b->Constraint(lone, "ANALOG", 1);
    d.b->Constraint(d.e1, "ANALOG", 1);
    d.Bind();
    d.Slots({{d.e1, "E1"}});
    EXPECT_EQ(Outcome(CFixNet::FixAnalogElecNetManyPhysNets()), "fixed");
    for (Index net : {d.e1, d.p1a, d.p1b})
        EXPECT_EQ(d.Value(net, "ANALOG"), "0");
    EXPECT_TRUE(d.updates().empty());
    // Outside a pair only the incremental update of its physical nets is made.
    d.Slots({{lone, "LONE"}});
    EXPECT_EQ(Outcome(CFixNet::FixAnalogElecNetManyPhysNets()), "fixed");
    EXPECT_EQ(d.Value(lone, "ANALOG"), "1");
    ASSERT_EQ(d.updates().size(), 1u);
    EXPECT_EQ(d.updates()[0], l1.ToText() + " " + l2.ToText() + " |");
    d.Slots({});
    EXPECT_EQ(Outcome(CFixNet::FixAnalogElecNetManyPhysNets()), "not fixed, error: Cannot load electrical net.");
}

struct CompositeCase
{
    const char* name;
    int preserved;     // PRESERVED of E1; 0: none
    bool refuseDelete; // E1 refuses to delete its constraint
    int unreadable;    // the member net (1: E1, 2: E2) whose physical nets cannot be read; 0: none
    const char* outcome;
    bool pairKept;
    uint64_t deleteCalls; // of the PRESERVED constraint
};

TEST(CFixNetRemovalTest, CompositeNetWithoutPinPairsInAPair)
{
    const CompositeCase cases[] = {
        {"no PRESERVED", 0, false, 0, "fixed: Differential pair DP was removed!", false, 0},
        {"PRESERVED 1 is deleted", 1, false, 0, "fixed: Differential pair DP was removed!", false, 1},
        {"PRESERVED 2 stays", 2, false, 0, "fixed: Differential pair DP was removed!", false, 0},
        {"PRESERVED 1 that cannot be deleted keeps the pair", 1, true, 0, "not fixed", true, 1},
        // A member net that cannot be deleted is the outcome, after the other one is deleted too.
        {"the first member net cannot be deleted", 0, false, 1, "not fixed, failed", false, 0},
        {"the second member net cannot be deleted", 0, false, 2, "not fixed, failed", false, 0},
    };
    for (const CompositeCase& c : cases)
    {
        PairDesign d;
        if (c.preserved)
            d.b->Constraint(d.e1, "PRESERVED", c.preserved);
        d.Bind();
        if (c.refuseDelete)
            d.faults().FailOn(d.e1, "DeleteConstraint");
        if (c.unreadable)
            d.faults().FailOn(c.unreadable == 1 ? d.e1 : d.e2, "GetIterPhysicalNets");
        d.Slots({{d.e2, "E2"}});
        EXPECT_EQ(Outcome(CFixNet::FixCompositeElecNetWithoutPinPairs()), c.outcome) << c.name;
        EXPECT_EQ(d.Alive(d.dp), c.pairKept) << c.name;
        EXPECT_EQ(d.counts().Get("DeleteConstraint"), c.deleteCalls) << c.name;
        // Both nets go to the incremental update; E1 with two physical nets is dissolved.
        EXPECT_EQ(d.updates().size(), c.pairKept ? 0u : c.unreadable ? 1u : 2u) << c.name;
        EXPECT_EQ(d.Alive(d.e1), c.pairKept || c.unreadable == 1) << c.name;
        EXPECT_EQ(d.OwnLocks(), 0u) << c.name;
    }
}

TEST(CFixNetRemovalTest, CompositeNetOutsideAPairAndGone)
{
    PairDesign d;
    const Index e = d.b->ElectricalNet(d.cfg, "E");
    const Index a = d.b->PhysicalNet(d.cfg, "A", e);
    const Index b2 = d.b->PhysicalNet(d.cfg, "B", e);
    d.Bind();
    d.Slots({{e, "E"}});
    EXPECT_EQ(Outcome(CFixNet::FixCompositeElecNetWithoutPinPairs()), "fixed");
    ASSERT_EQ(d.updates().size(), 1u);
    EXPECT_EQ(d.updates()[0], a.ToText() + " " + b2.ToText() + " | " + e.ToText());
    EXPECT_FALSE(d.Alive(e)); // dissolved: each physical net has a net of its own
    EXPECT_NE(d.ref(a, Field::parentElectricalNet), d.ref(b2, Field::parentElectricalNet));
    EXPECT_EQ(Outcome(CFixNet::FixCompositeElecNetWithoutPinPairs()), "not fixed");
}

TEST(CFixNetRemovalTest, EveryFailedCallOfTheNetRepairs)
{
    SweepEach<PairDesign>({
        {"composite net",
         [](PairDesign& d) {
             d.b->Constraint(d.e1, "PRESERVED", 1);
             d.Bind();
             d.Slots({{d.e1, "E1"}});
         },
         &CFixNet::FixCompositeElecNetWithoutPinPairs},
        {"net classes of a pair",
         [](PairDesign& d) {
             const Index a = d.b->NetClass(d.design, "A");
             d.b->Link(d.p1a, Field::netClass, a);
             d.b->Link(d.p1b, Field::netClass, a);
             d.b->Link(d.p2, Field::netClass, d.b->NetClass(d.design, "B"));
             d.Bind();
             d.Slots({{d.dp, "DP"}});
         },
         &CFixNet::UnifyDiffPairNetClasses},
        {"duplicated electrical nets",
         [](PairDesign& d) {
             const Index dup = d.b->ElectricalNet(d.cfg, "E1_dup");
             d.b->AppendOnly(dup, Field::physicalNets, d.p1a);
             d.b->PhysicalNet(d.cfg, "PD", dup);
             d.Bind();
             d.Slots({{d.e1, "E1"}, {dup, "E1_dup"}});
         },
         &CFixNet::DeleteDuplicatedElecNets},
        {"analog net of a pair",
         [](PairDesign& d) {
             d.b->Constraint(d.e1, "ANALOG", 1);
             d.Bind();
             d.Slots({{d.e1, "E1"}});
         },
         &CFixNet::FixAnalogElecNetManyPhysNets},
        {"analog net outside a pair",
         [](PairDesign& d) {
             const Index lone = d.b->ElectricalNet(d.cfg, "LONE");
             d.b->PhysicalNet(d.cfg, "L1", lone);
             d.b->PhysicalNet(d.cfg, "L2", lone);
             d.b->Constraint(lone, "ANALOG", 1);
             d.Bind();
             d.Slots({{lone, "LONE"}});
         },
         &CFixNet::FixAnalogElecNetManyPhysNets},
    });
}

} // namespace
} // namespace netfix

namespace netfix
{
namespace
{

// None of these repairs may run for the back end: the manager refuses each without a database call.
TEST(CFixNetRemovalTest, BackEndRefusesTheNetRemovalsAndRebuilds)
{
    const unsigned codes[] = {805, 811, 1208, 1219, 1233, 1306, 1509, 1512, 1608, 1609, 1803, 1804, 1906, 2009, 2012,
                              2016, 2106, 2112, 2114, 2210, 3909, 3910, 3919, 4003, 4006, 4007, 5003, 5806, 5807, 5907};
    PairDesign d;
    d.Bind();
    CFixMgr manager(true);
    manager.Init(nullptr);
    for (unsigned code : codes)
    {
        ASSERT_TRUE(manager.IsRegistered(code)) << code;
        const CFixStatus status = manager.RunFix(DIC_ERROR, code, 1, d.dp, "DP", d.e1, "E1", d.p1a, "P1a");
        EXPECT_EQ(Outcome(status), "not fixed: Cannot repair the problem on the Back End") << code;
    }
    EXPECT_EQ(d.counts().Total(), 0u);
    EXPECT_TRUE(d.Alive(d.dp));
}

} // namespace
} // namespace netfix
