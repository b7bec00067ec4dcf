#include "tests/connectivity/CConnectionPinPair.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct ConnDesign : Design
{
    Index u1 = b.NorvComp(config, "U1");
    Index u2 = b.NorvComp(config, "U2");

    // An electrical net with the given number of physical nets, each with one pin on U1.
    Index net(const std::string& name, int physNets)
    {
        Index e = b.ElectricalNet(config, name);
        for (int i = 0; i < physNets; ++i) {
            Index p = b.PhysicalNet(config, name + "/" + std::to_string(i), e);
            lastPin = b.Pin(u1, name + "." + std::to_string(i), Lumo::NPT_NetPin, p);
        }
        return e;
    }
    Index pinOn(Index comp) { return b.Pin(comp, "P" + std::to_string(++count), Lumo::NPT_NetPin); }
    Index lastPin;
    int count = 0;
};

} // namespace

TEST(CConnectionPinPairTest, CompositeNetsNamesAndConnectionPinPairs)
{
    ConnDesign d;
    Index single = d.net("A^^^B", 1);
    d.b.PinPair(single, "IGNORED", d.pinOn(d.u1), d.pinOn(d.u2), 1); // pairs of a single net are not read
    d.net("PLAIN", 1);
    Index unmarked = d.net("TWO", 2);
    Index bare = d.net("X^^^Y", 2);
    Index composite = d.net("C^^^D", 3);
    d.b.PinPair(composite, "ORD", d.pinOn(d.u1), d.pinOn(d.u2), 0); // ordinary pairs are never read
    d.b.PinPair(composite, "SAME", d.pinOn(d.u1), d.pinOn(d.u1), 1);
    Index apart = d.b.PinPair(composite, "APART", d.pinOn(d.u1), d.pinOn(d.u2), 1);
    Index empty = d.b.ElectricalNet(d.config, "EMPTY");
    const Findings expected{
        finding(806, {{single, "A^^^B"}}),  finding(807, {{unmarked, "TWO"}}), finding(811, {{unmarked, "TWO"}}),
        finding(811, {{bare, "X^^^Y"}}),    finding(822, {{apart, "APART"}}),  finding(805, {{empty, "EMPTY"}}),
    };
    for (bool fixMode : {false, true}) {
        TestRun<CConnectionPinPair> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
    TestRun<CConnectionPinPair> run(d);
    EXPECT_EQ(run.firstLine(), "WARNING 806: Wrong name of electrical A^^^B (" + single.ToText() +
                                   "): ^^^ present but only one physical net inside.\n");
}

TEST(CConnectionPinPairTest, FailedReadsEndTheRun)
{
    struct Case
    {
        const char* op;
        int target; // 0 the net, 1 the pair, 2 its first pin, 3 its second pin, 4 first pin's part, 5 second's
        unsigned code;
        int pairs; // 0 none, 1 net, 2 net and pair index, 3 pair
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", 0, 802, 1}, {"GetIterPhysicalNets.GetCount", 0, 803, 1},
        {"GetIterPinPairs", 0, 808, 1},     {"GetIterPinPairs.GetCount", 0, 809, 1},
        {"GetIndex", 1, 812, 1},            {"GetName", 1, 813, 2},
        {"GetFirstPin", 1, 814, 3},         {"GetSecondPin", 1, 815, 3},
        {"GetIndex", 2, 816, 3},            {"GetIndex", 3, 817, 3},
        {"GetParentNorvComp", 2, 818, 3},   {"GetParentNorvComp", 3, 819, 3},
        {"GetIndex", 4, 820, 3},            {"GetIndex", 5, 821, 3},
    };
    for (const Case& c : cases) {
        ConnDesign d;
        Index net = d.net("N^^^M", 2);
        Index u3 = d.b.NorvComp(d.config, "U3");
        Index first = d.pinOn(d.u2);
        Index second = d.pinOn(u3);
        Index pair = d.b.PinPair(net, "PP", first, second, 1);
        d.net("LATER", 2); // would give findings
        const Index targets[] = {net, pair, first, second, d.u2, u3};
        d.faults().FailOn(targets[c.target], c.op);
        TestRun<CConnectionPinPair> run(d);
        Findings expected;
        if (c.pairs == 1)
            expected = {finding(c.code, {{net, "N^^^M"}})};
        else if (c.pairs == 2)
            expected = {finding(c.code, {{net, "N^^^M"}, {pair, ""}})};
        else
            expected = {finding(c.code, {{pair, "PP"}})};
        EXPECT_EQ(run.findings(), expected) << c.op << " " << c.target;
        EXPECT_EQ(run.status, FAILED);
    }
    // A parent component that is not valid fails the read of its index.
    ConnDesign d;
    Index net = d.net("N^^^M", 2);
    Index gone = d.b.NorvComp(d.config, "GONE");
    Index pair = d.b.PinPair(net, "PP", d.pinOn(gone), d.pinOn(d.u1), 1);
    d.b.Invalid(gone);
    TestRun<CConnectionPinPair> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(820, {{pair, "PP"}})});
    ConnDesign e;
    e.faults().FailOn(e.config, "GetIterElectricalNets");
    TestRun<CConnectionPinPair> failed(e);
    EXPECT_EQ(failed.findings(), Findings{finding(801)});
}

TEST(CConnectionPinPairTest, EachNetIsNamedByItsOwnReads)
{
    // The second net's index and name cannot be read: its finding carries neither of the first's.
    ConnDesign d;
    Index first = d.net("FIRST", 0);
    Index second = d.net("SECOND", 0);
    d.faults().FailOn(second, "GetName");
    d.faults().FailOn(second, "GetIndex");
    TestRun<CConnectionPinPair> check(d);
    EXPECT_EQ(check.findings(), (Findings{finding(805, {{first, "FIRST"}}), finding(805, {{Index(), ""}})}));
}
