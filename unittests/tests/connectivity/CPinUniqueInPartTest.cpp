#include "tests/connectivity/CPinUniqueInPart.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PartDesign : Design
{
    Index part = b.Part(config, "P", 3);
    std::vector<Index> pins = b.GetStore().List(part, Field::partPins);

    Index pair(const std::string& name, Index first, Index second, Index owner = Index())
    {
        Index p = b.Add(Kind::PartPinPair, owner.IsEmpty() ? part : owner, name);
        b.SetRefOnly(p, Field::firstPartPin, first);
        b.SetRefOnly(p, Field::secondPartPin, second);
        return p;
    }
};

} // namespace

TEST(CPinUniqueInPartTest, PinNamesAndPinPairs)
{
    PartDesign d;
    d.b.Add(Kind::PartPin, d.part, "a");
    d.b.Add(Kind::PartPin, d.part, "A"); // names that differ by case only are no duplicates
    d.b.SetName(d.pins[1], "1");
    d.b.SetName(d.pins[2], "1");
    Index p1 = d.pair("PP1", d.pins[0], d.pins[1]);
    Index p2 = d.pair("PP2", d.pins[1], d.pins[0]);
    Index p3 = d.pair("PP3", d.pins[2], d.pins[2]);
    Index p4 = d.pair("PP4", d.pins[2], d.pins[2]);
    // The same pins in another part's pairs are no duplicate of this part's.
    Index otherPart = d.b.Part(d.config, "Q", 0);
    d.pair("QQ", d.pins[0], d.pins[1], otherPart);
    const Findings expected{
        finding(5210, {{d.pins[0], "1"}, {d.part, "P"}}),
        finding(5210, {{d.pins[0], "1"}, {d.part, "P"}}),
        finding(5210, {{d.pins[1], "1"}, {d.part, "P"}}),
        finding(5218, {{p3, ""}, {d.pins[2], ""}}),
        finding(5218, {{p4, ""}, {d.pins[2], ""}}),
        finding(5219, {{p1, ""}, {p2, ""}}),
        finding(5219, {{p3, ""}, {p4, ""}}),
    };
    for (bool fixMode : {false, true}) {
        TestRun<CPinUniqueInPart> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
    TestRun<CPinUniqueInPart> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 5210: Two pins with the same name: 1 (" + d.pins[0].ToText() +
                                   ") in part: P (" + d.part.ToText() + ")\n");
}

TEST(CPinUniqueInPartTest, ParentChecksAreFindingsAndTheWalkGoesOn)
{
    PartDesign d;
    Index other = d.b.Part(d.config, "Q", 0);
    d.b.SetRefOnly(d.pins[0], Field::in, other);        // listed by P, parent Q
    d.faults().FailOn(d.pins[1], "GetParentPart");
    Index gone = d.b.Part(d.config, "GONE", 0);
    d.b.SetRefOnly(d.pins[2], Field::in, gone);         // parent not valid: its index cannot be read
    d.b.Invalid(gone);
    d.b.GetStore().ClearList(d.config, Field::parts);
    d.b.AppendOnly(d.config, Field::parts, d.part);
    d.b.AppendOnly(d.config, Field::parts, other);
    d.b.Add(Kind::PartPin, d.part, "1");
    d.faults().FailOn(other, "GetIndex", 1);
    TestRun<CPinUniqueInPart> run(d);
    // The parent index of the first and third pins cannot be read: reported, and the empty index
    // differs too.
    EXPECT_EQ(run.findings(), (Findings{finding(5208), finding(5209), finding(5207, {{d.pins[1], ""}}),
                                        finding(5208), finding(5209),
                                        finding(5210, {{d.pins[0], "1"}, {d.part, "P"}})}));
    EXPECT_EQ(run.status, FAILED);
}

TEST(CPinUniqueInPartTest, ReadFailuresEndTheRun)
{
    struct Case
    {
        const char* op;
        int target; // -1 configuration, 0 part, 1 first pin, 2 pair, 3 pair's first pin, 4 its second
        unsigned code;
        bool withIndex;
    };
    const std::vector<Case> cases = {
        {"GetIterParts", -1, 5201, false},        {"GetIndex", 0, 5202, false},
        {"GetName", 0, 5203, true},               {"GetIterPartPins", 0, 5204, true},
        {"GetName", 1, 5206, true},               {"GetIterPartPinPairs", 0, 5211, true},
        {"GetIndex", 2, 5212, false},             {"GetName", 2, 5213, true},
        {"GetFirstPartPin", 2, 5214, true},       {"GetSecondPartPin", 2, 5215, true},
    };
    for (const Case& c : cases) {
        PartDesign d;
        Index pp = d.pair("PP", d.pins[0], d.pins[1]);
        d.pair("DUP", d.pins[0], d.pins[1]);
        d.b.Part(d.config, "LATER", 0);
        const Index targets[] = {d.part, d.pins[0], pp};
        d.faults().FailOn(c.target < 0 ? d.config : targets[c.target], c.op);
        TestRun<CPinUniqueInPart> run(d);
        const Index owner = c.target == 1 ? d.pins[0] : c.target == 2 ? pp : d.part;
        EXPECT_EQ(run.findings(), Findings{c.withIndex ? finding(c.code, {{owner, ""}}) : finding(c.code)})
            << c.op << " " << c.target;
    }
    // Pair pins that are not valid: their index cannot be read.
    for (int which : {0, 1}) {
        PartDesign d;
        Index gone = d.b.Add(Kind::PartPin, d.part, "X");
        d.b.GetStore().ClearList(d.part, Field::partPins); // X is no pin the part lists
        for (Index pin : d.pins)
            d.b.AppendOnly(d.part, Field::partPins, pin);
        Index pp = d.pair("PP", which == 0 ? gone : d.pins[0], which == 1 ? gone : d.pins[1]);
        d.b.Invalid(gone);
        TestRun<CPinUniqueInPart> run(d);
        EXPECT_EQ(run.findings(), Findings{finding(which == 0 ? 5216 : 5217, {{pp, ""}})});
    }
}
