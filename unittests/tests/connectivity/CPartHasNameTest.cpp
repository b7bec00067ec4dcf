#include "tests/connectivity/CPartHasName.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CPartHasNameTest, EmptyAndRepeatedNames)
{
    Design d;
    std::vector<Index> p;
    for (const char* name : {"SOIC", "", "soic", "SOIC", " ", "", "SOIC", " "})
        p.push_back(d.b.Part(d.config, name));
    TestRun<CPartHasName> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(3104, {{p[1], ""}}), finding(3104, {{p[5], ""}}),
                                        finding(3105, {{Index(), "SOIC"}}), finding(3105, {{Index(), "SOIC"}}),
                                        finding(3105, {{Index(), "SOIC"}}), finding(3105, {{Index(), " "}})}));
    EXPECT_EQ(run.status, FAILED);
    EXPECT_EQ(run.firstLine(), "ERROR 3104: Part name is empty : " + p[1].ToText() + "\n");
}

TEST(CPartHasNameTest, NoPartsIsOk)
{
    Design d;
    TestRun<CPartHasName> run(d);
    EXPECT_TRUE(run.findings().empty());
    EXPECT_EQ(run.status, OK);
}

TEST(CPartHasNameTest, PartWhoseReadsFailIsNeitherTestedNorCollected)
{
    struct Case
    {
        const char* op;
        bool onConfig;
        bool withIndex;
        unsigned code;
    };
    for (const Case& c : {Case{"GetIterParts", true, false, 3101}, Case{"GetIndex", false, false, 3102},
                          Case{"GetName", false, true, 3103}}) {
        Design d;
        d.b.Part(d.config, "A");
        Index failing = d.b.Part(d.config, "A");
        Index empty = d.b.Part(d.config, "");
        d.faults().FailOn(c.onConfig ? d.config : failing, c.op);
        TestRun<CPartHasName> run(d);
        Findings expected{c.withIndex ? finding(c.code, {{failing, ""}}) : finding(c.code)};
        if (!c.onConfig)
            expected.push_back(finding(3104, {{empty, ""}}));
        EXPECT_EQ(run.findings(), expected) << c.op;
    }
}
