#include "tests/rules/CTemplatesUnique.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

namespace
{

class CTemplatesUniqueTest : public ::testing::Test, public World<CTemplatesUnique>
{
protected:
    CTemplatesUniqueTest() : type(d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL")) {}

    Index templ(const std::string& name)
    {
        const Index t = d.b.Add(Kind::GenCompObj, type, name);
        d.b.SetText(t, Field::level, "TopoTemplate");
        return t;
    }
    Index net(const std::string& name, const char* templateName)
    {
        const Index n = d.b.ElectricalNet(d.config, name);
        if (templateName)
            d.b.Constraint(n, "TEMPLATE", templateName);
        return n;
    }

    Index type;
};

} // namespace

TEST_F(CTemplatesUniqueTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Unique template names");
    EXPECT_EQ(test.getTestShortName(), "UniqueTemplates");
    EXPECT_EQ(test.getTestDescription(), "Test checks if template names are unique in the design");
}

TEST_F(CTemplatesUniqueTest, ValidTemplatesAndReferencesPass)
{
    templ("T1");
    templ("t1");  // other letter case: no duplicate
    net("E1", "T1");
    net("E2", "(None)");
    net("E3", nullptr);
    const Outcome out = RunTest(test, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

TEST_F(CTemplatesUniqueTest, DuplicatesAndInvalidCharacters)
{
    const Index first = templ("T1");
    const Index second = templ("T1");
    const Index third = templ("T\\1");
    const Index fourth = templ("T\\1");
    const Index last = templ("T1");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings,
              (std::vector<Finding>{F(E::T61_DUPLICATEDTEMPLATE, {{first, "T1"}, {second, "T1"}}),
                                    F(E::T61_TEMPLATENAMEHASINVALIDCHARS, {{Index(), "\\"}, {third, "T\\1"}}),
                                    F(E::T61_TEMPLATENAMEHASINVALIDCHARS, {{Index(), "\\"}, {fourth, "T\\1"}}),
                                    F(E::T61_DUPLICATEDTEMPLATE, {{third, "T\\1"}, {fourth, "T\\1"}}),
                                    F(E::T61_DUPLICATEDTEMPLATE, {{first, "T1"}, {last, "T1"}})}));
    EXPECT_EQ(out.status, FAILED);
    const std::vector<std::string> lines = LogLines(test);
    EXPECT_EQ(lines[0], "ERROR 6106: Template T1 is duplicated in database");
    EXPECT_EQ(lines[1], "ERROR 6107: Template name contains invalid character(s): \\0-0-0. Template: T\\1 (" + third.ToText() + ")");
}

TEST_F(CTemplatesUniqueTest, NetsAndPairsNamingMissingTemplates)
{
    templ("T1");
    const Index e1 = net("E1", "(none)");
    const Index e2 = net("E2", "t1");
    const Index e3 = net("E3", "T1");
    const Index pair = d.b.DiffPair(d.config, "D1", e3, e2);
    d.b.Constraint(pair, "TEMPLATE", "T2");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T61_MISSINGELECTEMPLATE, {{e1, "E1"}, {Index(), "(none)"}}),
                                                  F(E::T61_MISSINGELECTEMPLATE, {{e2, "E2"}, {Index(), "t1"}}),
                                                  F(E::T61_MISSINGDIFFPAIRTEMPLATE, {{pair, "D1"}, {Index(), "T2"}})}));
    EXPECT_EQ(RunQueued(*std::make_unique<CTemplatesUnique>(), *d.session).size(), 3u);
}

// Without a "TOPOTMPL" type nothing beyond the type names is read; with two, only the first counts.
TEST_F(CTemplatesUniqueTest, OnlyTheFirstTemplateTypeIsChecked)
{
    Design bare;
    bare.b.Add(Kind::GenObjType, bare.design, "CUSTOM_X");
    bare.b.Constraint(bare.b.ElectricalNet(bare.config, "E1"), "TEMPLATE", "NOWHERE");
    Lumo::StandIn::GetCallCounts(*bare.session).Reset();
    const Outcome out = RunTest(test, *bare.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
    EXPECT_EQ(Lumo::StandIn::GetCallCounts(*bare.session).Get("GetIterElectricalNets"), 0u);

    const Index secondType = d.b.Add(Kind::GenObjType, d.design, "TOPOTMPL");
    const Index hidden = d.b.Add(Kind::GenCompObj, secondType, "T2");
    net("E1", "T2");
    CTemplatesUnique again;
    EXPECT_EQ(RunTest(again, *d.session).codes(), std::vector<unsigned>{E::T61_MISSINGELECTEMPLATE});
    (void)hidden;
}

TEST_F(CTemplatesUniqueTest, ReadFailures)
{
    const Index t1 = templ("T1");
    const Index t2 = templ("T2");
    const Index e1 = net("E1", "NOWHERE");
    const Index e2 = net("E2", "NOWHERE");
    const struct
    {
        Index object;
        const char* op;
        std::vector<unsigned> codes;
        TestStatus status;
    } cases[] = {
        {d.design, "GetIterGenObjTypes", {E::T61_ERRITERGENOBJTYPES}, FAILED},
        {type, "GetName", {E::T61_ERRNAMEGENOBJTYPE}, FAILED},
        {type, "GetIterGenCompObjs", {E::T61_ERRITERGENCOMPOBJS}, FAILED},
        {t2, "GetName", {E::T61_ERRNAMEGENCOMPOBJ}, FAILED},
        {t1, "GetIndex", {E::T61_ERRINDEXGENCOMPOBJ}, FAILED},
        {d.config, "GetIterElectricalNets", {E::T61_ERRITERELECNETS}, FAILED},
        {d.config, "GetIterDiffPairs", {E::T61_MISSINGELECTEMPLATE, E::T61_MISSINGELECTEMPLATE, E::T61_ERRITERDIFFPAIR}, FAILED},
        {e1, "GetIndex", {E::T61_ERRINDEXELECNET, E::T61_MISSINGELECTEMPLATE}, FAILED},
        {e2, "GetName", {E::T61_MISSINGELECTEMPLATE, E::T61_ERRNAMEELECNET}, FAILED},
    };
    for (const auto& c : cases) {
        CTemplatesUnique fresh;
        const Outcome out = RunTest(fresh, *d.session, "", [&] { d.faults().FailOn(c.object, c.op, 1); });
        EXPECT_EQ(out.codes(), c.codes) << c.op;
        EXPECT_EQ(out.status, c.status) << c.op;
        d.faults().ClearAll();
    }
}
