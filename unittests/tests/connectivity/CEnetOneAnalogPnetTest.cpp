#include "tests/connectivity/CEnetOneAnalogPnet.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

// An electrical net whose physical nets carry the given "ANALOG" texts (nullptr: none).
Index analogNet(Design& d, const std::string& name, std::vector<const char*> values, std::vector<Index>* physNets)
{
    Index elec = d.b.ElectricalNet(d.config, name);
    int i = 0;
    for (const char* value : values) {
        Index phys = d.b.PhysicalNet(d.config, name + "_" + std::to_string(++i), elec);
        if (value)
            d.b.Constraint(phys, "ANALOG", value);
        physNets->push_back(phys);
    }
    return elec;
}

} // namespace

TEST(CEnetOneAnalogPnetTest, AnalogNetMustStandAlone)
{
    Design d;
    std::vector<Index> p;
    analogNet(d, "Alone", {"1"}, &p);
    Index withOther = analogNet(d, "WithOther", {"0", "1"}, &p);
    Index twoAnalog = analogNet(d, "TwoAnalog", {"1", "1"}, &p);
    analogNet(d, "Digital", {"0", nullptr}, &p);
    analogNet(d, "Bad", {"yes", "2"}, &p);
    TestRun<CEnetOneAnalogPnet> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1608, {{withOther, "WithOther"}}), finding(1608, {{twoAnalog, "TwoAnalog"}}),
                                        finding(1607, {{p[7], ""}, {Index(), "yes"}}),
                                        finding(1607, {{p[8], ""}, {Index(), "2"}})}));
    run.test.GetIssuesList().erase(run.test.GetIssuesList().begin(), std::next(run.test.GetIssuesList().begin(), 2));
    EXPECT_EQ(run.firstLine(),
              "ERROR 1607: Value of ANALOG constraint from Pnet  (" + p[7].ToText() + ") has incorrect value: yes\n");
}

TEST(CEnetOneAnalogPnetTest, EmptyValueCountsAsNotAnalogOnlyForADefinition)
{
    Design d;
    std::vector<Index> p;
    analogNet(d, "Def", {""}, &p);
    d.b.ConstraintFlags(d.b.GetStore().List(p[0], Field::constraints).front(), true);
    analogNet(d, "Own", {""}, &p);
    TestRun<CEnetOneAnalogPnet> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1607, {{p[1], ""}, {Index(), ""}})}));
}

TEST(CEnetOneAnalogPnetTest, ReadFailuresEndTheRunOrTheNet)
{
    struct Case
    {
        const char* op;
        int target;  // 0 the first electrical net, 1 its first physical net, 2 that net's ANALOG constraint
        Findings expected;
        bool secondNetSeen;
    };
    const Case cases[] = {
        {"GetIndex", 0, {finding(1602)}, false},
        {"GetIndex", 1, {finding(1604)}, false},
        {"IsDefinition", 2, {finding(1605)}, false},
        {"GetValueByString", 2, {}, true},
        {"GetIterPhysicalNets", 0, {}, true},
    };
    for (const Case& c : cases) {
        Design d;
        std::vector<Index> p;
        Index first = analogNet(d, "First", {"1"}, &p);
        Index second = analogNet(d, "Second", {"1", "0"}, &p);
        Index constraint = d.b.GetStore().List(p[0], Field::constraints).front();
        const Index targets[] = {first, p[0], constraint};
        d.faults().FailOn(targets[c.target], c.op);
        Findings expected = c.expected;
        if (std::string(c.op) == "GetValueByString")
            expected.push_back(finding(1606, {{p[0], ""}}));
        if (std::string(c.op) == "GetIterPhysicalNets")
            expected.push_back(finding(1603, {{first, ""}}));
        if (c.secondNetSeen)
            expected.push_back(finding(1608, {{second, "Second"}}));
        TestRun<CEnetOneAnalogPnet> run(d);
        EXPECT_EQ(run.findings(), expected) << c.op;
    }
}

TEST(CEnetOneAnalogPnetTest, NameReadFailureEndsTheRun)
{
    Design d;
    std::vector<Index> p;
    Index first = analogNet(d, "First", {"1", "1"}, &p);
    analogNet(d, "Second", {"1", "0"}, &p);
    d.faults().FailOn(first, "GetName");
    TestRun<CEnetOneAnalogPnet> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(1609, {{first, ""}})}));
    EXPECT_EQ(run.status, FAILED);
}
