#include "tests/connectivity/CPartPinPairValid.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PairDesign : Design
{
    Index part(const std::string& name, int pins) { return b.Part(config, name, pins); }
    std::vector<Index> pins(Index part) { return b.GetStore().List(part, Field::partPins); }
    // A pair of the part joining the two part pins, listed by both pins.
    Index pair(Index part, const std::string& name, Index first, Index second)
    {
        Index p = b.Add(Kind::PartPinPair, part, name);
        b.Link(p, Field::firstPartPin, first);
        b.Link(p, Field::secondPartPin, second);
        return p;
    }
    // Leaves the part out of the configuration's part list.
    void unlist(Index part)
    {
        std::vector<Index> parts = b.GetStore().List(config, Field::parts);
        b.GetStore().ClearList(config, Field::parts);
        for (Index p : parts)
            if (p != part)
                b.GetStore().Append(config, Field::parts, p);
    }
};

} // namespace

TEST(CPartPinPairValidTest, ValidPairsAndNoParts)
{
    {
        PairDesign d;
        TestRun<CPartPinPairValid> run(d);
        EXPECT_TRUE(run.findings().empty());
        EXPECT_EQ(run.status, OK);
    }
    PairDesign d;
    Index a = d.part("A", 3);
    Index b = d.part("B", 2);
    auto p = d.pins(a);
    d.pair(a, "P1", p[0], p[1]);
    d.pair(a, "P2", p[1], p[2]);
    d.pair(b, "P1", d.pins(b)[0], d.pins(b)[1]);  // the same name in another part
    TestRun<CPartPinPairValid> run(d);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.status, OK);
}

TEST(CPartPinPairValidTest, DuplicatesWithinOnePartInPairOrder)
{
    PairDesign d;
    Index a = d.part("A", 3);
    auto p = d.pins(a);
    d.pair(a, "N", p[0], p[1]);
    d.pair(a, "M", p[1], p[0]);
    d.pair(a, "N", p[0], p[1]);
    d.pair(a, "N", p[1], p[2]);
    d.pair(a, "N", p[2], p[2]);  // both pins the same: reported and left out of the comparison
    TestRun<CPartPinPairValid> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(3225), finding(3207), finding(3205), finding(3206), finding(3205),
                                        finding(3207), finding(3205)}));
    EXPECT_EQ(run.status, FAILED);
    EXPECT_EQ(run.firstLine(), "ERROR 3225: Both pins in part pin pair point to the same pin\n");
}

TEST(CPartPinPairValidTest, WrongParentsAreReportedAndThePairStillCompared)
{
    PairDesign d;
    Index a = d.part("A", 2);
    Index b = d.part("B", 2);
    auto pa = d.pins(a);
    auto pb = d.pins(b);
    d.pair(a, "X", pb[0], pa[1]);                        // first pin of another part
    d.pair(a, "X", pa[0], pb[1]);                        // second pin of another part
    Index foreign = d.pair(b, "Y", pa[0], pa[1]);        // listed by A, owned by B: still examined
    d.b.AppendOnly(a, Field::partPinPairs, foreign);
    Index unlisted = d.pair(a, "Z", pa[1], pa[0]);
    d.b.GetStore().ClearList(pa[1], Field::parentPartPinPairs);  // the second pin lists no pair
    (void)unlisted;
    TestRun<CPartPinPairValid> run(d);
    EXPECT_EQ(run.findings(),
              (Findings{finding(3212, {{b, ""}, {a, ""}}), finding(3227), finding(3212, {{b, ""}, {a, ""}}), finding(3228),
                        finding(3215, {{b, ""}, {a, ""}}), finding(3230), finding(3229), finding(3205), finding(3207),
                        finding(3212, {{a, ""}, {b, ""}}), finding(3227)}));
    EXPECT_EQ(run.firstLine(), "ERROR 3212: Wrong part pin parent. Pin:" + b.ToText() + " Part:" + a.ToText() + "\n");
}

TEST(CPartPinPairValidTest, PinReadsOfAPair)
{
    struct Case
    {
        const char* what;
        bool second;
        std::function<void(PairDesign&, Index pair, Index pin)> fault;
        unsigned code;
    };
    const Case cases[] = {
        {"pin not obtained", false, [](PairDesign& d, Index pair, Index) { d.faults().FailOn(pair, "GetFirstPartPin"); }, 3217},
        {"pin not valid", false, [](PairDesign& d, Index, Index pin) { d.b.Invalid(pin); }, 3218},
        {"pin index", false, [](PairDesign& d, Index, Index pin) { d.faults().FailOn(pin, "GetIndex"); }, 3219},
        {"pin index empty", false, [](PairDesign& d, Index, Index pin) { d.b.EmptyIndex(pin); }, 3220},
        {"pin not obtained", true, [](PairDesign& d, Index pair, Index) { d.faults().FailOn(pair, "GetSecondPartPin"); }, 3221},
        {"pin not valid", true, [](PairDesign& d, Index, Index pin) { d.b.Invalid(pin); }, 3222},
        {"pin index", true, [](PairDesign& d, Index, Index pin) { d.faults().FailOn(pin, "GetIndex"); }, 3223},
        {"pin index empty", true, [](PairDesign& d, Index, Index pin) { d.b.EmptyIndex(pin); }, 3224},
        {"pair index", false, [](PairDesign& d, Index pair, Index) { d.faults().FailOn(pair, "GetIndex"); }, 3216},
        {"pair name", false, [](PairDesign& d, Index pair, Index) { d.faults().FailOn(pair, "GetName"); }, 3226},
    };
    for (const Case& c : cases) {
        PairDesign d;
        Index a = d.part("A", 4);
        auto p = d.pins(a);
        Index pair = d.pair(a, "N", p[0], p[1]);
        d.pair(a, "N", p[2], p[3]);  // would be a name twin of a recorded pair
        c.fault(d, pair, p[c.second ? 1 : 0]);
        TestRun<CPartPinPairValid> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(c.code)})) << c.what << (c.second ? " (second)" : " (first)");
    }
}

TEST(CPartPinPairValidTest, ParentReadsOfPairsAndPins)
{
    struct Case
    {
        const char* what;
        std::function<void(PairDesign&, Index part, Index pair, Index firstPin)> fault;
        std::function<Findings(Index pair, Index firstPin)> expected;
    };
    const Case cases[] = {
        {"pair parent not obtained",
         [](PairDesign& d, Index, Index pair, Index) { d.faults().FailOn(pair, "GetParentPart"); },
         [](Index, Index) { return Findings{finding(3213)}; }},
        {"pin parent not obtained",
         [](PairDesign& d, Index, Index, Index pin) { d.faults().FailOn(pin, "GetParentPart"); },
         [](Index, Index pin) {
             return Findings{finding(3210, {{pin, ""}}), finding(3227), finding(3210, {{pin, ""}}), finding(3227)};
         }},
        {"pin parent not valid: its index cannot be read",
         [](PairDesign& d, Index, Index, Index pin) {
             Index gone = d.part("GONE", 0);
             d.unlist(gone);
             d.b.Invalid(gone);
             d.b.SetRefOnly(pin, Field::in, gone);
         },
         [](Index, Index) { return Findings{finding(3211), finding(3227), finding(3211), finding(3227)}; }},
        {"pair parent not valid: its index cannot be read",
         [](PairDesign& d, Index, Index pair, Index) {
             Index gone = d.part("GONE", 0);
             d.unlist(gone);
             d.b.Invalid(gone);
             d.b.SetRefOnly(pair, Field::in, gone);
         },
         [](Index, Index) { return Findings{finding(3214)}; }},
        {"index of the pin's parent",
         [](PairDesign& d, Index, Index, Index pin) {
             Index other = d.part("OTHER", 0);
             d.unlist(other);
             d.b.SetRefOnly(pin, Field::in, other);
             d.faults().FailOn(other, "GetIndex");
         },
         [](Index, Index) { return Findings{finding(3211), finding(3227), finding(3211), finding(3227)}; }},
        {"index of the pair's parent",
         [](PairDesign& d, Index, Index pair, Index) {
             Index other = d.part("OTHER", 0);
             d.unlist(other);
             d.b.SetRefOnly(pair, Field::in, other);
             d.faults().FailOn(other, "GetIndex");
         },
         [](Index, Index) { return Findings{finding(3214)}; }},
        {"parent pair list failing always, raised again for every pair of the pin",
         [](PairDesign& d, Index, Index, Index pin) { d.faults().FailOn(pin, "GetParentPartPinPair"); },
         [](Index pair, Index) {
             return Findings{finding(3208, {{pair, ""}}), finding(3229), finding(3208, {{Index(pair.GetValue() + 1), ""}}),
                             finding(3229)};
         }},
        {"parent pair list failing once, read again for the next pair of the pin",
         [](PairDesign& d, Index, Index, Index pin) { d.faults().FailOn(pin, "GetParentPartPinPair", 1); },
         [](Index pair, Index) { return Findings{finding(3208, {{pair, ""}}), finding(3229)}; }},
    };
    for (const Case& c : cases) {
        PairDesign d;
        Index a = d.part("A", 3);
        auto p = d.pins(a);
        Index pair = d.pair(a, "N", p[0], p[1]);
        Index next = d.pair(a, "M", p[0], p[2]);
        ASSERT_EQ(next.GetValue(), pair.GetValue() + 1);  // both pairs start at the first pin
        c.fault(d, a, pair, p[0]);
        TestRun<CPartPinPairValid> run(d);
        EXPECT_EQ(run.findings(), c.expected(pair, p[0])) << c.what;
    }
}

TEST(CPartPinPairValidTest, ReadsOfParts)
{
    struct Case
    {
        const char* op;
        bool onConfig;
        unsigned code;
        bool withIndex;
        bool endsTest;
    };
    for (const Case& c : {Case{"GetIterParts", true, 3201, false, true}, Case{"GetIndex", false, 3202, false, false},
                          Case{"GetName", false, 3203, true, false}, Case{"GetIterPartPinPairs", false, 3204, false, true}}) {
        PairDesign d;
        Index a = d.part("A", 2);
        auto pa = d.pins(a);
        d.pair(a, "N", pa[0], pa[1]);
        d.pair(a, "N", pa[0], pa[1]);
        Index b = d.part("B", 2);
        auto pb = d.pins(b);
        d.pair(b, "N", pb[0], pb[1]);
        d.pair(b, "N", pb[1], pb[0]);
        d.faults().FailOn(c.onConfig ? d.config : a, c.op);
        TestRun<CPartPinPairValid> run(d);
        Findings expected{c.withIndex ? finding(c.code, {{a, ""}}) : finding(c.code)};
        if (!c.endsTest) {
            expected.push_back(finding(3205));
            expected.push_back(finding(3207));
        }
        EXPECT_EQ(run.findings(), expected) << c.op;
        EXPECT_EQ(run.status, FAILED);
    }
}
