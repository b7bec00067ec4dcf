#include "tests/connectivity/CPinSetUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct SetDesign : Design
{
    Index net = b.PhysicalNet(config, "N");
    Index pin(const std::string& name, int kind, Index owner = Index())
    {
        const Index on = owner.IsEmpty() ? net : owner;
        return b.Pin(on, name, kind, on);
    }
};

} // namespace

TEST(CPinSetUniqueTest, LaterSetsWithANameSeenBeforeInTheNet)
{
    SetDesign d;
    d.pin("Group", Lumo::NPT_PinSetT);
    Index upper = d.pin("GROUP", Lumo::NPT_PinSetMst);
    Index third = d.pin("group", Lumo::NPT_VirtualPinSetPin);
    d.pin("Other", Lumo::NPT_PinSetChained);
    d.pin("Other2", Lumo::NPT_VirtualPin);    // not a pin-set kind
    d.pin("other2", Lumo::NPT_PinSetBalanced);
    Index second = d.b.PhysicalNet(d.config, "M");
    d.pin("Group", Lumo::NPT_PinSetUnbalanced, second); // another net: fine
    const Findings expected{finding(5003, {{d.net, "N"}, {upper, "GROUP"}}),
                            finding(5003, {{d.net, "N"}, {third, "group"}})};
    // The name check's line, written at once, names the first set of the name.
    TestRun<CPinSetUnique> run(d);
    const std::string duplicated = "ERROR: Unique pin sets in physical net\tName duplicated: \"Group\n";
    std::size_t lines = 0;
    for (std::size_t at = run.log.written.find(duplicated); at != std::string::npos;
         at = run.log.written.find(duplicated, at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u) << run.log.written;
    EXPECT_EQ(run.firstLine(), "ERROR 5003: Physical net N (" + d.net.ToText() + ")has duplicated pinset GROUP (" +
                                   upper.ToText() + ")\n");
    // The fix-mode run repairs what it finds, so it comes last.
    for (bool fixMode : {false, true}) {
        TestRun<CPinSetUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
}

TEST(CPinSetUniqueTest, FailedReadsEndTheRun)
{
    struct Case
    {
        const char* op;
        int target; // -1 configuration, 0 net, 1 set
        unsigned code;
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", -1, 5001}, {"GetName", 0, 5004}, {"GetIndex", 0, 5005},
        {"GetIterPins", 0, 5002},          {"GetName", 1, 5006}, {"GetIndex", 1, 5007},
    };
    for (const Case& c : cases) {
        SetDesign d;
        Index set = d.pin("S", Lumo::NPT_PinSetT);
        Index later = d.b.PhysicalNet(d.config, "LATER");
        d.pin("A", Lumo::NPT_PinSetT, later);
        d.pin("a", Lumo::NPT_PinSetT, later); // never reached
        d.faults().FailOn(c.target < 0 ? d.config : c.target == 0 ? d.net : set, c.op);
        TestRun<CPinSetUnique> run(d);
        EXPECT_EQ(run.findings(), Findings{finding(c.code)}) << c.op << " " << c.target;
    }
}
