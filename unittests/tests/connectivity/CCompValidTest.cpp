#include "tests/connectivity/CCompValid.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct CompDesign : Design
{
    // A part with the given number of part pins.
    Index part(const std::string& name, int pins) { return b.Part(config, name, pins); }
    std::vector<Index> partPins(Index part) { return b.GetStore().List(part, Field::partPins); }
    // A component of the part with one net pin per part pin, each referring to its part pin.
    Index comp(const std::string& name, Index part, std::vector<Index>* pins = nullptr)
    {
        Index c = b.NorvComp(config, name, part);
        for (Index partPin : partPins(part)) {
            Index pin = b.Pin(c, name + "." + b.GetStore().Name(partPin));
            b.SetRefOnly(pin, Field::parentPartPin, partPin);
            if (pins)
                pins->push_back(pin);
        }
        return c;
    }
    // A logical component of the component; forwarded to PCB unless told otherwise.
    Index logic(Index comp, const std::string& name, bool forwardPcb = true)
    {
        Index l = b.LogicComp(schematic, name);
        b.SetInt(l, Field::types, forwardPcb ? (1 << Lumo::CT_ForwardPCB) : 0);
        b.AppendOnly(comp, Field::logicComps, l);
        return l;
    }
    // A logical pin of the given width, counted unless told otherwise, listing the Norv pin if any.
    Index logicPin(Index logic, int width, Index norvPin = Index(), bool counted = true)
    {
        Index p = b.DesignPin(logic, "L" + std::to_string(++pinCount));
        b.SetInt(p, Field::types, counted ? (1 << Lumo::PT_ForwardPCB) : 0);
        b.SetInt(p, Field::width, width);
        if (!norvPin.IsEmpty())
            b.AppendOnly(p, Field::norvPins, norvPin);
        return p;
    }
    int pinCount = 0;
};

} // namespace

TEST(CCompValidTest, MatchingComponentsPassAndAnEmptyDesignIsOk)
{
    {
        Design d;
        TestRun<CCompValid> run(d);
        EXPECT_TRUE(run.findings().empty());
        EXPECT_EQ(run.status, OK);
    }
    CompDesign d;
    std::vector<Index> pins;
    Index u1 = d.comp("U1", d.part("SOIC", 2), &pins);
    Index l = d.logic(u1, "LU1");
    d.logicPin(l, 1, pins[0]);
    d.logicPin(l, 1);  // one pin without Norv pins does not make the component invalid
    TestRun<CCompValid> run(d);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.status, OK);
}

TEST(CCompValidTest, PinsAgainstPartPins)
{
    CompDesign d;
    Index soic = d.part("SOIC", 3);
    Index other = d.part("OTHER", 1);

    // Two net pins for three part pins: counts differ, the logical check is skipped.
    Index few = d.b.NorvComp(d.config, "FEW", soic);
    for (int i = 0; i < 2; ++i)
        d.b.SetRefOnly(d.b.Pin(few, "p"), Field::parentPartPin, d.partPins(soic)[i]);
    d.logicPin(d.logic(few, "LFEW"), 1);

    // A pin referring to another part's pin: reported with the pin first; counts agree.
    std::vector<Index> pins;
    Index wrong = d.comp("WRONG", soic, &pins);
    d.b.SetRefOnly(pins[1], Field::parentPartPin, d.partPins(other)[0]);
    d.logicPin(d.logic(wrong, "LWRONG"), 1);

    // A pin without a parent part pin, or with one that is not valid (whose index then cannot be
    // read): counted all the same.
    std::vector<Index> loose;
    Index noRef = d.comp("NOREF", d.part("TWO", 2), &loose);
    d.b.SetRefOnly(loose[0], Field::parentPartPin, Index());
    Index invalidPin = d.partPins(d.part("SPARE", 1))[0];
    d.b.Invalid(invalidPin);
    d.b.SetRefOnly(loose[1], Field::parentPartPin, invalidPin);
    (void)noRef;

    for (bool fixMode : {false, true}) {
        TestRun<CCompValid> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(613, {{few, "FEW"}}),
                                            finding(612, {{pins[1], "WRONG.2"}, {wrong, "WRONG"}}),
                                            finding(610), finding(611)}))
            << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
    TestRun<CCompValid> run(d);
    EXPECT_EQ(run.firstLine(),
              "ERROR 613: Different number of pins in component FEW (" + few.ToText() + ") and in parent part.\n");
}

TEST(CCompValidTest, ComponentWithoutPartIsWarnedAndItsLogicalComponentsStillChecked)
{
    CompDesign d;
    Index loose = d.b.NorvComp(d.config, "LOOSE");
    Index l1 = d.logic(loose, "L1");
    d.logicPin(l1, 2);
    Index invalidPart = d.part("GONE", 0);
    Index packaged = d.b.NorvComp(d.config, "BADPART", invalidPart);
    d.b.Invalid(invalidPart);
    TestRun<CCompValid> run(d);
    // A part that is not valid fails the walk of its part pins, which ends the component.
    EXPECT_EQ(run.findings(), (Findings{finding(604, {{loose, "LOOSE"}}), finding(621, {{loose, "LOOSE"}, {l1, ""}}),
                                        finding(606)}));
    (void)packaged;
    EXPECT_EQ(run.firstLine(), "WARNING 604: Can't get parent part of component LOOSE (" + loose.ToText() +
                                   "). The design seems to be not packaged.\n");
}

TEST(CCompValidTest, LogicalComponentIsInvalidOnlyWhenNoCountedWidthHasNorvPins)
{
    struct LogicPin
    {
        int width;
        bool hasNorvPin;
        bool counted;
    };
    struct Case
    {
        const char* what;
        bool forwardPcb;
        std::vector<LogicPin> pins;
        bool reported;
    };
    const Case cases[] = {
        {"one unmatched pin", true, {{1, false, true}}, true},
        {"not forwarded to PCB", false, {{1, false, true}}, false},
        {"widths all zero", true, {{0, false, true}, {0, false, true}}, false},
        {"width 4 matched, width 2 not", true, {{4, true, true}, {2, false, true}}, false},
        {"matched pin not counted", true, {{2, true, false}, {2, false, true}}, true},
        {"no pins", true, {}, false},
    };
    for (const Case& c : cases) {
        CompDesign d;
        std::vector<Index> pins;
        Index u1 = d.comp("U1", d.part("P", 1), &pins);
        Index l = d.logic(u1, "LU1", c.forwardPcb);
        for (const LogicPin& p : c.pins)
            d.logicPin(l, p.width, p.hasNorvPin ? pins[0] : Index(), p.counted);
        TestRun<CCompValid> run(d);
        EXPECT_EQ(run.findings(), c.reported ? Findings{finding(621, {{u1, "U1"}, {l, ""}})} : Findings{}) << c.what;
    }
}

TEST(CCompValidTest, FailuresThatEndTheTest)
{
    struct Case
    {
        const char* op;
        int failing;  // the object: 0 the configuration, 1 the second component
        Findings expected;
    };
    const Case cases[] = {
        {"GetIterNorvComps", 0, {finding(601)}},
        {"GetIndex", 1, {"621 FIRST", finding(602)}},
        {"GetName", 1, {"621 FIRST", finding(603)}},
    };
    for (const Case& c : cases) {
        CompDesign d;
        Index first = d.b.NorvComp(d.config, "FIRST");
        Index l = d.logic(first, "L");
        d.logicPin(l, 1);
        Index second = d.b.NorvComp(d.config, "SECOND");
        d.logicPin(d.logic(d.b.NorvComp(d.config, "THIRD"), "L3"), 1);
        d.faults().FailOn(c.failing == 0 ? d.config : second, c.op);
        TestRun<CCompValid> run(d);
        Findings expected;
        for (const std::string& f : c.expected)
            expected.push_back(f == "621 FIRST" ? finding(621, {{first, "FIRST"}, {l, ""}}) : f);
        Findings got;
        for (const std::string& f : run.findings())
            if (f.rfind("604", 0) != 0)
                got.push_back(f);
        EXPECT_EQ(got, expected) << c.op;
        EXPECT_EQ(run.status, FAILED);
    }
}

TEST(CCompValidTest, FailuresThatEndOneComponent)
{
    struct Case
    {
        const char* what;
        std::function<void(CompDesign&, Index part, Index comp, Index logic)> fault;
        std::function<Findings(Index comp, Index logic)> expected;
    };
    const Case cases[] = {
        {"part pin iterator", [](CompDesign& d, Index part, Index, Index) { d.faults().FailOn(part, "GetIterPartPins"); },
         [](Index, Index) { return Findings{finding(606)}; }},
        {"part pin index",
         [](CompDesign& d, Index part, Index, Index) { d.faults().FailOn(d.partPins(part)[1], "GetIndex"); },
         [](Index, Index) { return Findings{finding(607)}; }},
        {"part pin name",
         [](CompDesign& d, Index part, Index, Index) { d.faults().FailOn(d.partPins(part)[0], "GetName"); },
         [](Index, Index) { return Findings{finding(608)}; }},
        {"net pin iterator", [](CompDesign& d, Index, Index comp, Index) { d.faults().FailOn(comp, "GetIterPins"); },
         [](Index comp, Index) { return Findings{finding(609, {{comp, "U1"}})}; }},
        {"logical component iterator",
         [](CompDesign& d, Index, Index comp, Index) { d.faults().FailOn(comp, "GetIterLogicComp"); },
         [](Index comp, Index) { return Findings{finding(4103, {{comp, "U1"}})}; }},
        {"logical pin iterator: silent, later logical components skipped",
         [](CompDesign& d, Index, Index, Index logic) { d.faults().FailOn(logic, "GetIterPins"); },
         [](Index, Index) { return Findings{}; }},
    };
    for (const Case& c : cases) {
        CompDesign d;
        Index part = d.part("P", 2);
        std::vector<Index> pins;
        Index u1 = d.comp("U1", part, &pins);
        Index l = d.logic(u1, "LU1");
        d.logicPin(l, 1, pins[0]);
        d.logicPin(d.logic(u1, "LU1B"), 1);  // invalid: reported only when the check gets there
        Index u2 = d.b.NorvComp(d.config, "U2");
        Index l2 = d.logic(u2, "LU2");
        d.logicPin(l2, 1);
        c.fault(d, part, u1, l);
        TestRun<CCompValid> run(d);
        Findings expected = c.expected(u1, l);
        expected.push_back(finding(604, {{u2, "U2"}}));
        expected.push_back(finding(621, {{u2, "U2"}, {l2, ""}}));
        EXPECT_EQ(run.findings(), expected) << c.what;
    }
}

TEST(CCompValidTest, NetPinsOfAComponentWithoutPartNotObtained)
{
    CompDesign d;
    Index loose = d.b.NorvComp(d.config, "LOOSE");
    d.logicPin(d.logic(loose, "L"), 1);
    d.faults().FailOn(loose, "GetIterPins");
    TestRun<CCompValid> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(604, {{loose, "LOOSE"}}), finding(609, {{loose, "LOOSE"}})}));
}

TEST(CCompValidTest, PartReadFailuresAreReadAgainForEveryComponentOfThePart)
{
    for (int count : {1, -1}) {
        CompDesign d;
        Index part = d.part("P", 2);
        d.comp("U1", part);
        d.comp("U2", part);
        d.faults().FailOn(d.partPins(part)[1], "GetIndex", count);
        TestRun<CCompValid> run(d);
        // A failure that does not repeat is reported once; the next component reads the part again.
        EXPECT_EQ(run.findings(), count == 1 ? Findings{finding(607)} : (Findings{finding(607), finding(607)}))
            << "count " << count;
    }
}

TEST(CCompValidTest, PinReadFailuresMarkThePinAndTheWalkGoesOn)
{
    CompDesign d;
    Index part = d.part("P", 2);
    Index other = d.part("OTHER", 1);
    std::vector<Index> pins;
    Index u1 = d.comp("U1", part, &pins);
    Index foreign = d.partPins(other)[0];
    d.b.SetRefOnly(pins[0], Field::parentPartPin, foreign);
    d.faults().FailOn(foreign, "GetIndex");
    d.faults().FailOn(pins[1], "GetParentPartPin");
    d.logicPin(d.logic(u1, "L"), 1);
    TestRun<CCompValid> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(611), finding(610)}));
}

TEST(CCompValidTest, NorvPinListOfALogicalPinNotObtained)
{
    CompDesign d;
    std::vector<Index> pins;
    Index u1 = d.comp("U1", d.part("P", 1), &pins);
    Index l = d.logic(u1, "L");
    Index p = d.logicPin(l, 1, pins[0]);
    d.logicPin(d.logic(u1, "LATER"), 1);
    d.faults().FailOn(d.config, "GetListNorvPinByPin");
    TestRun<CCompValid> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(732, {{p, ""}})}));
}
