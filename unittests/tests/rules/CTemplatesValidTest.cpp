#include "tests/rules/CTemplatesValid.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ruletest;
using E = CDICErrors;

namespace
{

class CTemplatesValidTest : public ::testing::Test, public World<CTemplatesValid>
{
protected:
    CTemplatesValidTest() : type(d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL")) {}

    Index comp(Index owner, const std::string& name, const char* level)
    {
        const Index c = d.b.Add(Kind::GenCompObj, owner, name);
        d.b.SetText(c, Field::level, level);
        return c;
    }
    Index templ(const std::string& name, Index owner = Index()) { return comp(owner.IsEmpty() ? type : owner, name, "TopoTemplate"); }
    Index net(Index templ, const std::string& name, const char* orderType)
    {
        const Index n = comp(templ, name, "Net");
        if (orderType)
            d.b.Constraint(n, "ORDER_TYPE", orderType);
        return n;
    }
    // A pin-set device with one pin carrying the given pin net and pin-set type (null: absent).
    Index pinSet(Index net, const std::string& name, const char* pinNet, const char* pinSetType, int pins = 1)
    {
        const Index device = comp(net, name, "Device");
        d.b.Constraint(device, "TOPO_DEVICE", "<Pin Set>");
        for (int i = 0; i < pins; ++i) {
            const Index pin = d.b.Add(Kind::GenObj, device, name + ".P" + std::to_string(i));
            if (pinNet)
                d.b.Constraint(pin, "TOPO_PIN_NET", pinNet);
            if (pinSetType)
                d.b.Constraint(pin, "TOPO_PINSET_TYPE", pinSetType);
        }
        return device;
    }
    Index pinOf(Index device) { return d.store().List(device, Field::genObjs).front(); }

    Index type;
};

} // namespace

TEST_F(CTemplatesValidTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Valid template");
    EXPECT_EQ(test.getTestShortName(), "ValidTemplates");
    EXPECT_EQ(test.getTestDescription(), "Test checks if constraint template is valid");
}

TEST_F(CTemplatesValidTest, ComplexTemplateWithProperPinSetPasses)
{
    const Index t = templ("T1");
    pinSet(net(t, "N1", "Complex"), "PS", "N1", "MST");
    const Index plain = comp(net(t, "N2", "MST"), "R1", "Device");
    d.b.Constraint(plain, "TOPO_DEVICE", "Resistor");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(CTemplatesValidTest, PinSetsInTemplatesThatAreNotComplex)
{
    const Index t = templ("T1");
    const Index n1 = net(t, "N1", "MST");
    pinSet(n1, "OWN", "N1", "MST");          // names its own net: not allowed
    pinSet(n1, "OTHER", "N9", "MST");        // names another net: fine
    const Index noNet = pinSet(n1, "NONET", nullptr, "MST");
    const Index noType = pinSet(net(t, "N2", nullptr), "NOTYPE", "X", nullptr);
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings,
              (std::vector<Finding>{F(E::T63_NOTALLOWEDTOPOLOGYOFPINSETTEMPLATE, {{t, "T1"}}),
                                    F(E::T63_MISSINGTOPOPINNET, {{t, "T1"}, {pinOf(noNet), "NONET.P0"}}),
                                    F(E::T63_MISSINGTOPOORDERTYPE, {{t, "T1"}}),
                                    F(E::T63_MISSINGTOPOPINSETTYPE, {{t, "T1"}, {pinOf(noType), "NOTYPE.P0"}})}));
    EXPECT_EQ(out.status, FAILED);
    EXPECT_EQ(LogLines(test)[0], "ERROR 6307: Constraint template T1 with topology different than \"Complex\" contains pin sets");
}

// A pin set with the wrong number of pins is reported once per template, also when reached again
// under another net; a device that is not exactly "<Pin Set>" is not a pin set.
TEST_F(CTemplatesValidTest, WrongPinCountsReportedOncePerTemplate)
{
    const Index t1 = templ("T1");
    const Index two = pinSet(net(t1, "N1", "Complex"), "TWO", "X", "MST", 2);
    d.b.AppendOnly(net(t1, "N2", "Complex"), Field::genCompObjs, two);
    const Index none = pinSet(net(t1, "N3", "Complex"), "NONE", "X", "MST", 0);
    const Index caseDiffers = comp(net(t1, "N4", "Complex"), "LOWER", "Device");
    d.b.Constraint(caseDiffers, "TOPO_DEVICE", "<pin set>");
    const Index t2 = templ("T2");
    d.b.AppendOnly(net(t2, "M1", "Complex"), Field::genCompObjs, two);
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T63_INCORRECTPINFORPINSET, {{t1, "T1"}, {two, "TWO"}}),
                                                  F(E::T63_INCORRECTPINFORPINSET, {{t1, "T1"}, {none, "NONE"}}),
                                                  F(E::T63_INCORRECTPINFORPINSET, {{t2, "T2"}, {two, "TWO"}})}));
}

// Templates inside a differential-pair template are checked in their own right; every type named
// "TOPOTMPL" is checked.
TEST_F(CTemplatesValidTest, DifferentialPairTemplatesAndSecondType)
{
    const Index pairTemplate = comp(type, "DP", "DiffPairTemplate");
    const Index a = templ("A", pairTemplate);
    const Index b = templ("B", pairTemplate);
    net(a, "N", nullptr);
    net(b, "N", nullptr);
    const Index secondType = d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL");
    const Index c = templ("C", secondType);
    net(c, "N", nullptr);
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T63_MISSINGTOPOORDERTYPE, {{a, "A"}}),
                                                  F(E::T63_MISSINGTOPOORDERTYPE, {{b, "B"}}),
                                                  F(E::T63_MISSINGTOPOORDERTYPE, {{c, "C"}})}));
}

// A failed read inside a template ends that template's check; the next template is still checked.
TEST_F(CTemplatesValidTest, FailedReadEndsOnlyItsTemplate)
{
    const Index t1 = templ("T1");
    const Index n1 = net(t1, "N1", nullptr);
    net(t1, "N2", nullptr);
    const Index t2 = templ("T2");
    net(t2, "N1", nullptr);
    d.b.Fail(n1, "GetIterGenCompObjs");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T63_MISSINGTOPOORDERTYPE, {{t1, "T1"}}), F(E::T63_ERRITERGENCOMPOBJS),
                                                  F(E::T63_MISSINGTOPOORDERTYPE, {{t2, "T2"}})}));
    EXPECT_EQ(out.status, FAILED);

    CTemplatesValid again;
    const Outcome ended = RunTest(again, *d.session, "", [&] { d.faults().FailOn(type, "GetIterGenCompObjs", 1); });
    EXPECT_EQ(ended.findings, std::vector<Finding>{F(E::T63_ERRITERGENCOMPOBJS)});
}

// A template that holds itself through a differential-pair template does not loop.
TEST_F(CTemplatesValidTest, CyclicTemplateTreeEnds)
{
    const Index pairTemplate = comp(type, "DP", "DiffPairTemplate");
    d.b.AppendOnly(pairTemplate, Field::genCompObjs, pairTemplate);
    net(templ("A", pairTemplate), "N", nullptr);
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.codes(), std::vector<unsigned>{E::T63_MISSINGTOPOORDERTYPE});
}

TEST_F(CTemplatesValidTest, FailingEveryCallInTurn)
{
    const Index t = templ("T1");
    const Index n1 = net(t, "N1", "MST");
    pinSet(n1, "NONET", nullptr, nullptr);
    pinSet(n1, "TWO", "N1", "MST", 2);
    const std::vector<unsigned> seen = SweepEveryCall<CTemplatesValid>(*d.session);
    for (unsigned code : {E::T63_ERRNAMEGENCOMPOBJ, E::T63_ERRINDEXGENCOMPOBJ, E::T63_ERRLEVELGENCOMPOBJ,
                          E::T63_ERRITERGENCOMPOBJS, E::T63_ERRNAMEGENOBJTYPE, E::T63_ERRITERGENOBJTYPES})
        EXPECT_NE(std::find(seen.begin(), seen.end(), code), seen.end()) << code;
}
