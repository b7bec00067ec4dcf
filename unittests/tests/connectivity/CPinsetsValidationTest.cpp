#include "tests/connectivity/CPinsetsValidation.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct SetDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    int count = 0;

    struct Net
    {
        Index net, p1, p2;
    };
    Net net(const std::string& name, const char* topology)
    {
        Net n;
        n.net = b.PhysicalNet(config, name);
        if (topology)
            b.Constraint(n.net, "ORDER_TYPE", topology);
        n.p1 = b.Pin(comp, name + ".1", Lumo::NPT_NetPin, n.net);
        n.p2 = b.Pin(comp, name + ".2", Lumo::NPT_NetPin, n.net);
        return n;
    }
    // A pin set of the kind on the net with the members, and a virtual pin-set pin unless told not.
    Index set(const Net& n, int kind, std::initializer_list<Index> members = {}, bool virtualPin = true)
    {
        const std::string name = "S" + std::to_string(++count);
        Index s = b.Pin(n.net, name, kind, n.net);
        if (virtualPin)
            b.SetRefOnly(s, Field::virtualPinSetPin, b.Pin(n.net, "V" + name, Lumo::NPT_VirtualPinSetPin, n.net));
        for (Index m : members)
            b.AppendOnly(s, Field::members, m);
        return s;
    }
};

} // namespace

TEST(CPinsetsValidationTest, TopologiesAndCounts)
{
    SetDesign d;
    auto complex = d.net("CPLX", "Complex");
    d.set(complex, Lumo::NPT_PinSetT, {complex.p1, complex.p2});
    auto mst = d.net("MSTNET", "MST");
    d.set(mst, Lumo::NPT_PinSetT, {mst.p1});
    auto lower = d.net("LOWER", "complex");
    d.set(lower, Lumo::NPT_PinSetBalanced, {lower.p1});
    auto chained = d.net("CHAINED", "MST");
    d.set(chained, Lumo::NPT_PinSetChained);
    d.set(chained, Lumo::NPT_PinSetMst);
    auto counts = d.net("COUNTS", "Complex");
    d.set(counts, Lumo::NPT_PinSetBalanced, {counts.p1});
    d.set(counts, Lumo::NPT_PinSetBalanced, {counts.p2}, false);
    const Findings expected{
        finding(3909, {{mst.net, "MSTNET"}}),
        finding(3909, {{lower.net, "LOWER"}}),
        finding(3910, {{chained.net, "CHAINED"}}),
        finding(3910, {{counts.net, "COUNTS"}}),
    };
    TestRun<CPinsetsValidation> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 3909: Net MSTNET (" + mst.net.ToText() +
                                   ") with topology different than \"Complex\" contains pin sets\n");
    // The fix-mode run repairs what it finds, so it comes last.
    for (bool fixMode : {false, true}) {
        TestRun<CPinsetsValidation> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
}

TEST(CPinsetsValidationTest, SetMembers)
{
    SetDesign d;
    auto n = d.net("N", "Complex");
    auto other = d.net("O", "Complex");
    Index virtualPin = d.b.Pin(n.net, "VP", Lumo::NPT_VirtualPin, n.net);
    d.set(n, Lumo::NPT_PinSetT, {other.p1, n.p1}); // a member of another net: examination goes on
    Index withVirtual = d.set(n, Lumo::NPT_PinSetT, {virtualPin, n.p2});
    Index nestedA = d.set(n, Lumo::NPT_PinSetChained, {}, false);
    Index nestedB = d.set(n, Lumo::NPT_PinSetMst, {}, false);
    Index holder = d.set(n, Lumo::NPT_PinSetUnbalanced, {n.p1, nestedA, nestedB});
    TestRun<CPinsetsValidation> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(3920), finding(3916, {{withVirtual, ""}}),
                                        finding(3919, {{holder, "S5"}, {nestedA, "S3"}}),
                                        finding(3919, {{holder, "S5"}, {nestedB, "S4"}})}));
    EXPECT_EQ(run.status, FAILED);
}

TEST(CPinsetsValidationTest, FailedReads)
{
    // Net N holds set S (members p1, p2, X and nested set Y); X and Y are pins of no net, so their
    // reads happen only inside the set's examination. The net LATER has no topology: reaching it
    // ends the run with 3903.
    struct Objects
    {
        Index config, net, p2, set, x, y, topology;
    };
    struct Case
    {
        const char* op;
        Index Objects::*target;
        std::function<Findings(const Objects&)> expected;
        bool endsRun;
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", &Objects::config, [](const Objects&) { return Findings{finding(3901)}; }, true},
        {"GetIndex", &Objects::net, [](const Objects&) { return Findings{finding(3902)}; }, true},
        {"GetName", &Objects::net, [](const Objects&) { return Findings{finding(3922)}; }, true},
        {"GetValueByString", &Objects::topology, [](const Objects&) { return Findings{finding(3921), finding(3903)}; }, true},
        {"GetIterPins", &Objects::net, [](const Objects& o) { return Findings{finding(3904, {{o.net, ""}})}; }, true},
        {"GetIndex", &Objects::p2, [](const Objects& o) { return Findings{finding(3905, {{o.net, ""}})}; }, true},
        {"GetNorvType", &Objects::p2, [](const Objects& o) { return Findings{finding(3906, {{o.p2, ""}})}; }, true},
        {"GetIndex", &Objects::set, [](const Objects& o) { return Findings{finding(3908, {{o.net, ""}})}; }, true},
        {"GetName", &Objects::set, [](const Objects&) { return Findings{finding(1406)}; }, false},
        {"GetNorvType", &Objects::set, [](const Objects& o) { return Findings{finding(3912, {{o.set, ""}})}; }, false},
        {"GetIterPins", &Objects::set, [](const Objects& o) { return Findings{finding(3913, {{o.set, ""}})}; }, false},
        {"GetIndex", &Objects::x, [](const Objects& o) { return Findings{finding(3914, {{o.set, ""}})}; }, false},
        {"GetNorvType", &Objects::x,
         [](const Objects& o) { return Findings{finding(3920), finding(3915, {{o.x, ""}})}; }, false},
        {"GetIndex", &Objects::y, [](const Objects& o) { return Findings{finding(3920), finding(3918, {{o.set, ""}})}; },
         false},
        {"GetName", &Objects::y, [](const Objects&) { return Findings{finding(3920), finding(1406)}; }, false},
    };
    for (const Case& c : cases) {
        SetDesign d;
        SetDesign::Net n = d.net("N", "Complex");
        Index x = d.b.Pin(d.comp, "X");
        Index y = d.b.Pin(d.comp, "Y", Lumo::NPT_PinSetChained);
        Index set = d.set(n, Lumo::NPT_PinSetT, {n.p1, n.p2, x, y});
        d.b.PhysicalNet(d.config, "LATER");
        const Objects objects{d.config, n.net, n.p2, set, x, y, d.b.GetStore().List(n.net, Field::constraints).front()};
        d.faults().FailOn(objects.*c.target, c.op);
        TestRun<CPinsetsValidation> run(d);
        Findings expected = c.expected(objects);
        if (!c.endsRun)
            expected.push_back(finding(3903));
        EXPECT_EQ(run.findings(), expected) << c.op << " " << (objects.*c.target).ToText();
    }
    {
        SetDesign d;
        d.net("N", nullptr); // no topology: the run ends before its pins are read
        d.b.PhysicalNet(d.config, "LATER");
        TestRun<CPinsetsValidation> run(d);
        EXPECT_EQ(run.findings(), Findings{finding(3903)});
    }
}
