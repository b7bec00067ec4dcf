#include "tests/connectivity/CPinNumVsPinName.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct NumberDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index logic = b.LogicComp(schematic, "U1");
    int count = 0;

    // A net pin named name whose logical pin carries the pin number (none when null).
    Index pin(const std::string& name, const char* number, int pinType = 0, Index owner = Index())
    {
        Index p = b.Pin(owner.IsEmpty() ? comp : owner, name);
        b.SetInt(p, Field::pinType, pinType);
        Index logical = b.DesignPin(logic, "D" + std::to_string(++count));
        if (number)
            b.Attribute(logical, "Pin Number", number, 0);
        b.SetRefOnly(p, Field::designPin, logical);
        return p;
    }
    Index logicalOf(Index p) { return b.GetStore().Ref(p, Field::designPin); }
};

} // namespace

TEST(CPinNumVsPinNameTest, PinNumbersAgainstNames)
{
    NumberDesign d;
    d.pin("12", "12,13");                       // cut at the comma
    Index trailing = d.pin("12", "12 ");        // spaces stay
    Index leadingComma = d.pin("A1", ",A1");
    Index empty = d.pin("B1", "");
    Index noAttribute = d.pin("C1", nullptr);
    d.faults().FailOn(d.logicalOf(noAttribute), "GetAttribute");
    d.pin("?", "9");                            // never compared
    d.pin("P7", "9", 7);
    d.pin("P8", "9", 8);
    d.pin("NC", "9", 13);
    Index bus = d.pin("BUS", "9");
    d.b.SetInt(d.logicalOf(bus), Field::width, 2);
    Index twoNets = d.pin("TWO", "9");
    for (const char* name : {"F1", "F2"}) {
        Index flat = d.b.FlatNet(d.schematic, name);
        d.b.Link(d.b.Add(Kind::PageNet, flat), Field::pinsConnected, d.logicalOf(twoNets));
    }
    d.b.Pin(d.comp, "X");                       // no logical pin: skipped
    Index gone = d.pin("G", "9");
    d.b.Invalid(d.logicalOf(gone));             // a logical pin that is not valid: its attribute cannot be read
    const Findings expected{
        finding(411, {{Index(), "12 "}, {trailing, "12"}}),
        finding(410, {{leadingComma, "A1"}}),
        finding(410, {{empty, "B1"}}),
        finding(409, {{noAttribute, "C1"}}),
        finding(409, {{gone, "G"}}),
    };
    for (bool fixMode : {false, true}) {
        TestRun<CPinNumVsPinName> run(d, fixMode);
        EXPECT_EQ(run.findings(), expected) << "fix mode " << fixMode;
    }
    TestRun<CPinNumVsPinName> run(d);
    // The value's pair comes first, so its empty index fills the one "%I" of the text.
    EXPECT_EQ(run.firstLine(), "ERROR 411: Attribute \"Pin Number\"=12  from logical pin is different than NORV pin "
                               "name 12 (0-0-0).\n");
}

TEST(CPinNumVsPinNameTest, WithoutFrontEndDataOnlyAWarning)
{
    NumberDesign d;
    d.pin("1", "2");
    d.faults().FailOn(d.b.Snapshot(), "GetDefaultConfig");
    TestRun<CPinNumVsPinName> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(401)});
    EXPECT_EQ(run.status, WARNINGS);
}

TEST(CPinNumVsPinNameTest, FailedReadsSkipTheComponentOrPin)
{
    struct Case
    {
        const char* op;
        int target; // 0 component U1, 1 its first pin
        Findings (*expected)(NumberDesign&, Index first);
    };
    const std::vector<Case> cases = {
        {"GetIndex", 0, [](NumberDesign&, Index) { return Findings{finding(403)}; }},
        {"GetName", 0, [](NumberDesign& d, Index) { return Findings{finding(404, {{d.comp, ""}})}; }},
        {"GetIterPins", 0, [](NumberDesign& d, Index) { return Findings{finding(405, {{d.comp, "U1"}})}; }},
        {"GetIndex", 1, [](NumberDesign&, Index) { return Findings{finding(406)}; }},
        {"GetName", 1, [](NumberDesign&, Index first) { return Findings{finding(407, {{first, ""}})}; }},
        // The type code has no catalogue record: the pin is skipped without a reported finding.
        {"GetType", 1, [](NumberDesign&, Index) { return Findings{}; }},
        {"GetPin", 1, [](NumberDesign&, Index) { return Findings{}; }},
    };
    for (const Case& c : cases) {
        NumberDesign d;
        Index first = d.pin("1", "2");
        Index u2 = d.b.NorvComp(d.config, "U2");
        Index later = d.pin("3", "4", 0, u2); // the walk goes on to the next component
        d.faults().FailOn(c.target == 0 ? d.comp : first, c.op);
        TestRun<CPinNumVsPinName> run(d);
        Findings expected = c.expected(d, first);
        expected.push_back(finding(411, {{Index(), "4"}, {later, "3"}}));
        EXPECT_EQ(run.findings(), expected) << c.op << " " << c.target;
    }
    NumberDesign d;
    d.pin("1", "2");
    d.faults().FailOn(d.config, "GetIterNorvComps");
    TestRun<CPinNumVsPinName> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(402)});
}
