#include "tests/connectivity/CRefDesVsCompName.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct RefDesDesign : Design
{
    // A logical component of the Norv component carrying the designator under the attribute type.
    Index logic(Index comp, const std::string& value, int type = 0)
    {
        Index l = b.LogicComp(schematic, "L" + std::to_string(++count));
        if (!value.empty())
            b.Attribute(l, "Ref Designator", value, type);
        b.AppendOnly(comp, Field::logicComps, l);
        return l;
    }
    int count = 0;
};

} // namespace

TEST(CRefDesVsCompNameTest, DesignatorAgainstComponentName)
{
    struct Case
    {
        const char* compName;
        const char* value;
        int type;
        bool passes;
    };
    const Case cases[] = {
        {"R1", "R1", 0, true},
        {"R1", "r1", 0, false},          // case matters
        {"R1", "R1;R2", 0, true},
        {"R2", "R1;R2", 0, true},
        {"R1", "R1 ;R2", 0, false},      // pieces keep their blanks
        {"R2", "R1; R2", 0, false},
        {"R1", ";;R1;;", 0, true},       // empty pieces are skipped
        {"R1", ";;", 0, false},          // separators only: no piece at all
        {"R1", "R1", 2, true},           // found under another attribute type
        {"R1", "R12", 0, false},
    };
    for (const Case& c : cases) {
        RefDesDesign d;
        Index comp = d.b.NorvComp(d.config, c.compName);
        d.logic(comp, c.value, c.type);
        TestRun<CRefDesVsCompName> run(d);
        const Findings expected = c.passes ? Findings{} : Findings{finding(4106, {{Index(), c.value}, {comp, c.compName}})};
        EXPECT_EQ(run.findings(), expected) << c.compName << " / " << c.value << " / type " << c.type;
    }
}

TEST(CRefDesVsCompNameTest, EachLogicalComponentOnItsOwnAndUnnamedComponentsSkipped)
{
    RefDesDesign d;
    Index u1 = d.b.NorvComp(d.config, "U1");
    d.logic(u1, "U1");
    Index empty = d.logic(u1, "");
    d.logic(u1, "U2");
    Index unplaced = d.b.NorvComp(d.config, "?");
    d.logic(unplaced, "");
    d.logic(unplaced, "X");
    d.b.NorvComp(d.config, "NOLOGIC");
    {
        TestRun<CRefDesVsCompName> run(d);
        EXPECT_EQ(run.firstLine(), "ERROR 4105: Attribute \"Ref Designator\" from logical component is empty: NORV component U1 (" +
                                       u1.ToText() + ").\n");
    }
    // Fix mode last: its repairs change the design.
    for (bool fixMode : {false, true}) {
        TestRun<CRefDesVsCompName> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(4105, {{u1, "U1"}, {empty, ""}}),
                                            finding(4106, {{Index(), "U2"}, {u1, "U1"}})}))
            << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
}

TEST(CRefDesVsCompNameTest, DifferentDesignatorLogLine)
{
    RefDesDesign d;
    Index u1 = d.b.NorvComp(d.config, "U1");
    d.logic(u1, "U7;U8");
    TestRun<CRefDesVsCompName> run(d);
    // The value's pair fills the only "%I" with its empty index.
    EXPECT_EQ(run.firstLine(), "ERROR 4106: Attribute \"Ref Designator=U7;U8\" from logical component is different than "
                               "NORV component name U1 (0-0-0).\n");
    EXPECT_EQ(run.findings(), (Findings{finding(4106, {{Index(), "U7;U8"}, {u1, "U1"}})}));
}

TEST(CRefDesVsCompNameTest, ReadFailures)
{
    struct Case
    {
        const char* what;
        std::function<void(RefDesDesign&, Index comp, Index logic)> fault;
        std::function<Findings(Index comp)> expected;
    };
    const Case cases[] = {
        {"component iterator: the test ends", [](RefDesDesign& d, Index, Index) { d.faults().FailOn(d.config, "GetIterNorvComps"); },
         [](Index) { return Findings{finding(4100)}; }},
        {"component index", [](RefDesDesign& d, Index comp, Index) { d.faults().FailOn(comp, "GetIndex"); },
         [](Index) { return Findings{finding(4101)}; }},
        {"component name", [](RefDesDesign& d, Index comp, Index) { d.faults().FailOn(comp, "GetName"); },
         [](Index comp) { return Findings{finding(4102, {{comp, ""}})}; }},
        {"logical components", [](RefDesDesign& d, Index comp, Index) { d.faults().FailOn(comp, "GetIterLogicComp"); },
         [](Index comp) { return Findings{finding(4103, {{comp, "U1"}})}; }},
        {"attribute of type 0: the next logical component is examined",
         [](RefDesDesign& d, Index, Index logic) { d.faults().FailOn(logic, "GetAttribute", 1); },
         [](Index comp) { return Findings{finding(4104, {{comp, "U1"}}), finding(4106, {{Index(), "X"}, {comp, "U1"}})}; }},
    };
    for (const Case& c : cases) {
        RefDesDesign d;
        Index comp = d.b.NorvComp(d.config, "U1");
        Index first = d.logic(comp, "U1", 3);
        d.logic(comp, "X");
        Index later = d.b.NorvComp(d.config, "U2");
        d.logic(later, "U3");
        c.fault(d, comp, first);
        TestRun<CRefDesVsCompName> run(d);
        Findings expected = c.expected(comp);
        if (std::string(c.what).rfind("component iterator", 0) != 0)
            expected.push_back(finding(4106, {{Index(), "U3"}, {later, "U2"}}));
        EXPECT_EQ(run.findings(), expected) << c.what;
    }
}
