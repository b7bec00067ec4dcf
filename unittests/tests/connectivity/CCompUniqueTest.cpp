#include "tests/connectivity/CCompUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

TEST(CCompUniqueTest, PackagedComponentsWithEqualNamesInScanOrder)
{
    Design d;
    Index part = d.b.Part(d.config, "P");
    std::vector<Index> c;
    for (const char* name : {"U1", "u1", "R1", "U1", "U1 ", "R1", "U1"})
        c.push_back(d.b.NorvComp(d.config, name, part));
    for (bool fixMode : {false, true}) {
        TestRun<CCompUnique> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(505, {{c[0], "U1"}, {c[3], "U1"}}),
                                            finding(505, {{c[0], "U1"}, {c[6], "U1"}}),
                                            finding(505, {{c[2], "R1"}, {c[5], "R1"}}),
                                            finding(505, {{c[3], "U1"}, {c[6], "U1"}})}))
            << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
    TestRun<CCompUnique> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 505: Packed components have the same name: U1 (" + c[0].ToText() + ") - U1 (" +
                                   c[3].ToText() + ")\n");
}

TEST(CCompUniqueTest, UnpackagedComponentsAreWarnedAndNotCompared)
{
    Design d;
    Index part = d.b.Part(d.config, "P");
    Index invalidPart = d.b.Part(d.config, "GONE");
    d.b.Invalid(invalidPart);
    Index packaged = d.b.NorvComp(d.config, "U1", part);
    Index loose = d.b.NorvComp(d.config, "U1");
    // A parent part that is not valid still packages its component: nothing is read through it.
    Index badPart = d.b.NorvComp(d.config, "U1", invalidPart);
    TestRun<CCompUnique> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(504, {{loose, "U1"}}), finding(505, {{packaged, "U1"}, {badPart, "U1"}})}));
    EXPECT_EQ(run.status, FAILED);
}

TEST(CCompUniqueTest, ReadFailuresEndTheTestBeforeTheComparison)
{
    struct Case
    {
        const char* op;
        bool onConfig;
        unsigned code;
    };
    for (const Case& c : {Case{"GetIterNorvComps", true, 501}, Case{"GetIndex", false, 502}, Case{"GetName", false, 503}}) {
        Design d;
        Index part = d.b.Part(d.config, "P");
        d.b.NorvComp(d.config, "U1", part);
        d.b.NorvComp(d.config, "U1", part);
        Index third = d.b.NorvComp(d.config, "U1", part);
        d.faults().FailOn(c.onConfig ? d.config : third, c.op);
        TestRun<CCompUnique> run(d);
        EXPECT_EQ(run.findings(), (Findings{finding(c.code)})) << c.op;
        EXPECT_EQ(run.status, FAILED);
    }
}
