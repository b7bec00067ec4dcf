#include "tests/connectivity/CCompInPart.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

struct PartsDesign : Design
{
    Index part(const std::string& name) { return b.Part(config, name); }
    // A component whose parent is the part (or none), listed by each of the listing parts.
    Index comp(const std::string& name, Index parent, std::initializer_list<Index> listedBy)
    {
        Index c = b.NorvComp(config, name);
        if (!parent.IsEmpty())
            b.SetRefOnly(c, Field::parentPart, parent);
        for (Index listing : listedBy)
            b.AppendOnly(listing, Field::norvComps, c);
        return c;
    }
};

} // namespace

TEST(CCompInPartTest, ListingsAgainstParentReferences)
{
    PartsDesign d;
    Index a = d.part("A");
    Index b = d.part("B");
    Index good = d.comp("GOOD", a, {a});
    Index elsewhere = d.comp("ELSEWHERE", a, {b});  // listed once, by another part: not compared
    Index twice = d.comp("TWICE", a, {a, a});
    Index inTwo = d.comp("INTWO", a, {a, b});
    Index unlisted = d.comp("UNLISTED", a, {});
    Index loose = d.comp("LOOSE", Index(), {});
    Index adopted = d.comp("ADOPTED", Index(), {b});
    // A parent part that is not valid, and not listed among the configuration's parts: still a parent
    // part, since nothing is read through it.
    Index invalidPart = d.part("GONE");
    d.b.Invalid(invalidPart);
    d.b.GetStore().ClearList(d.config, Field::parts);
    for (Index listed : {a, b})
        d.b.GetStore().Append(d.config, Field::parts, listed);
    Index badParent = d.comp("BADPARENT", invalidPart, {a});
    (void)good;
    (void)elsewhere;
    (void)badParent;
    (void)loose;
    for (bool fixMode : {false, true}) {
        TestRun<CCompInPart> run(d, fixMode);
        EXPECT_EQ(run.findings(),
                  (Findings{finding(308, {{Index(), "2"}, {a, "A"}}), finding(311, {{Index(), "TWICE"}, {Index(), "2"}}),
                            finding(311, {{Index(), "INTWO"}, {Index(), "2"}}), finding(309, {{unlisted, "UNLISTED"}}),
                            finding(310, {{adopted, "ADOPTED"}, {b, ""}})}))
            << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
    TestRun<CCompInPart> run(d);
    // The count's pair fills the only "%I" with its empty index.
    EXPECT_EQ(run.firstLine(), "ERROR 308: Component found 2 times in one part A (0-0-0)\n");
    (void)twice;
    (void)inTwo;
}

TEST(CCompInPartTest, WithoutPartsEveryPackagedComponentIsUnlisted)
{
    PartsDesign d;
    Index p = d.part("P");
    Index packaged = d.comp("U1", p, {});
    Index loose = d.comp("U2", Index(), {});
    d.b.Literal(d.config, Field::parts);
    TestRun<CCompInPart> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(309, {{packaged, "U1"}})}));
    EXPECT_EQ(run.status, FAILED);
    (void)loose;
}

TEST(CCompInPartTest, ReadFailuresOfOneComponentAndOfTheWalk)
{
    struct Case
    {
        const char* what;
        std::function<void(PartsDesign&, Index first, Index part, Index second)> fault;
        std::function<Findings(Index first, Index part, Index second)> expected;
    };
    const Case cases[] = {
        {"component iterator", [](PartsDesign& d, Index, Index, Index) { d.faults().FailOn(d.config, "GetIterNorvComps"); },
         [](Index, Index, Index) { return Findings{finding(301)}; }},
        {"component name, one component",
         [](PartsDesign& d, Index first, Index, Index) { d.faults().FailOn(first, "GetName"); },
         [](Index, Index part, Index second) { return Findings{finding(302), finding(310, {{second, "U2"}, {part, ""}})}; }},
        {"component index, one component",
         [](PartsDesign& d, Index first, Index, Index) { d.faults().FailOn(first, "GetIndex", 1); },
         [](Index, Index part, Index second) { return Findings{finding(303), finding(310, {{second, "U2"}, {part, ""}})}; }},
        {"part iterator, failing once: read again for the next component",
         [](PartsDesign& d, Index, Index, Index) { d.faults().FailOn(d.config, "GetIterParts", 1); },
         [](Index, Index part, Index second) { return Findings{finding(304), finding(310, {{second, "U2"}, {part, ""}})}; }},
        {"part iterator, failing always: reported for each component",
         [](PartsDesign& d, Index, Index, Index) { d.faults().FailOn(d.config, "GetIterParts"); },
         [](Index, Index, Index) { return Findings{finding(304), finding(304)}; }},
        {"part index, failing once: the part still walked, and read again for the next component",
         [](PartsDesign& d, Index, Index part, Index) { d.faults().FailOn(part, "GetIndex", 1); },
         [](Index, Index part, Index second) { return Findings{finding(305), finding(310, {{second, "U2"}, {part, ""}})}; }},
        {"part index, failing always: reported for each component",
         [](PartsDesign& d, Index, Index part, Index) { d.faults().FailOn(part, "GetIndex"); },
         [](Index, Index, Index second) {
             return Findings{finding(305), finding(305), finding(310, {{second, "U2"}, {Index(), ""}})};
         }},
        {"component list of a part, failing once",
         [](PartsDesign& d, Index, Index part, Index) { d.faults().FailOn(part, "GetIterNorvComps", 1); },
         [](Index, Index part, Index second) { return Findings{finding(306), finding(310, {{second, "U2"}, {part, ""}})}; }},
        {"listed component index: the first component's own read fails too",
         [](PartsDesign& d, Index first, Index, Index) { d.faults().FailOn(first, "GetIndex"); },
         [](Index, Index, Index) { return Findings{finding(303), finding(307)}; }},
    };
    for (const Case& c : cases) {
        PartsDesign d;
        Index part = d.part("P");
        Index first = d.comp("U1", part, {part});
        Index second = d.comp("U2", Index(), {part});
        c.fault(d, first, part, second);
        TestRun<CCompInPart> run(d);
        EXPECT_EQ(run.findings(), c.expected(first, part, second)) << c.what;
    }
}

TEST(CCompInPartTest, PartsBeforeAFailedListAreStillReported)
{
    PartsDesign d;
    Index a = d.part("A");
    Index broken = d.part("B");
    Index c = d.part("C");
    Index twice = d.comp("TWICE", a, {a, a, c});
    Index other = d.comp("OTHER", c, {c});
    d.faults().FailOn(broken, "GetIterNorvComps");
    TestRun<CCompInPart> run(d);
    EXPECT_EQ(run.findings(), (Findings{finding(308, {{Index(), "2"}, {a, "A"}}), finding(306), finding(306)}));
    (void)twice;
    (void)other;
}
