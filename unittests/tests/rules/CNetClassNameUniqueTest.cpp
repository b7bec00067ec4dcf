#include "tests/rules/CNetClassNameUnique.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

struct NetClassNameUniqueTest : ::testing::Test, World<CNetClassNameUnique>
{
};

TEST_F(NetClassNameUniqueTest, DesignWithoutNetClassesIsOk)
{
    const Outcome out = run();
    EXPECT_EQ(out.status, OK);
    EXPECT_TRUE(out.findings.empty());
}

// Names on one level, each case with the findings it gives (indexes are those of the classes in
// the order of the names).
struct NameCase
{
    const char* what;
    std::vector<std::string> names;
    // code, position of the class, second name of the pair (or the offending characters)
    std::vector<std::tuple<unsigned, int, std::string>> expected;
};

TEST_F(NetClassNameUniqueTest, NamesOnTheTopLevel)
{
    const std::vector<NameCase> cases = {
        {"clean", {"VCC", "GND", "(Default)"}, {}},
        {"case only", {"VCC", "vcc"}, {{E::T29_NETCLASSNAMEDUPLICATED, 0, ""}}},
        {"New... inside", {"Net New... 1"}, {{E::T29_NETCLASSNAMEHANEWINSIDE, 0, ""}}},
        {"new... lower case", {"new...x"}, {}},
        {"double quote", {"A\"B"}, {{E::T29_NETCLASSHASINVALIDCHARS, 0, "\""}}},
        {"each character once, in order", {"a/b!/\\"}, {{E::T29_NETCLASSHASINVALIDCHARS, 0, "/!\\"}}},
        {"characters before New...", {"x!New..."},
         {{E::T29_NETCLASSHASINVALIDCHARS, 0, "!"}, {E::T29_NETCLASSNAMEHANEWINSIDE, 0, ""}}},
        // Bytes above 0x7F are no letters to the comparison and no valid characters.
        {"high bytes", {"\xC4x", "\xE4x"},
         {{E::T29_NETCLASSHASINVALIDCHARS, 0, "\xC4"}, {E::T29_NETCLASSHASINVALIDCHARS, 1, "\xE4"}}},
    };
    for (const NameCase& c : cases)
    {
        Design design;
        std::vector<Index> classes;
        for (const std::string& name : c.names)
            classes.push_back(design.b.NetClass(design.design, name));
        CNetClassNameUnique t;
        const Outcome out = RunTest(t, *design.session);

        std::vector<Finding> expected;
        for (const auto& e : c.expected)
        {
            const unsigned code = std::get<0>(e);
            const Index index = classes[std::get<1>(e)];
            const std::string name = c.names[std::get<1>(e)];
            if (code == E::T29_NETCLASSHASINVALIDCHARS)
                expected.push_back({code, {{index, name}, {Index(), std::get<2>(e)}}});
            else if (code == E::T29_NETCLASSNAMEHANEWINSIDE)
                expected.push_back({code, {{index, name}}});
            else
                expected.push_back({code, {{index, name}, {classes[1], ""}}});
        }
        EXPECT_EQ(out.findings, expected) << c.what;
        EXPECT_EQ(out.status, expected.empty() ? OK : FAILED) << c.what;
    }
}

TEST_F(NetClassNameUniqueTest, ThreeEqualNamesGiveEveryPairInScanOrder)
{
    const Index a = d.b.NetClass(d.design, "P");
    const Index b = d.b.NetClass(d.design, "Q");
    const Index c = d.b.NetClass(d.design, "p");
    const Index e = d.b.NetClass(d.design, "P");
    (void)b;
    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T29_NETCLASSNAMEDUPLICATED, {{a, "P"}, {c, ""}}},
        {E::T29_NETCLASSNAMEDUPLICATED, {{a, "P"}, {e, ""}}},
        {E::T29_NETCLASSNAMEDUPLICATED, {{c, "p"}, {e, ""}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(NetClassNameUniqueTest, NamesAreComparedAmongSiblingsOnly)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index b = d.b.NetClass(d.design, "B");
    d.b.NetClass(a, "X");
    d.b.NetClass(b, "x");                  // same name under another parent: fine
    const Index ab = d.b.NetClass(a, "B"); // same name as its parent's sibling: fine
    const Index c1 = d.b.NetClass(ab, "Deep");
    const Index c2 = d.b.NetClass(ab, "DEEP");

    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T29_NETCLASSNAMEDUPLICATED, {{c1, "Deep"}, {c2, ".A.B"}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(NetClassNameUniqueTest, FailedIndexEndsTheLevelWithoutComparison)
{
    d.b.NetClass(d.design, "X");
    const Index second = d.b.NetClass(d.design, "Y");
    d.b.NetClass(d.design, "x");
    d.b.Fail(second, "GetIndex");

    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T29_ERRINDEXNETCLASS, {{Index(), ""}}},
        {E::T29_ERRINDEXOFNETCLASS_2, {{Index(), ""}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(NetClassNameUniqueTest, FailedNameIsReportedByTheLevelAndTheWalk)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index child = d.b.NetClass(a, "C");
    d.b.Fail(child, "GetName");

    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T29_ERRNAMENETCLASS, {{child, ".A"}}},
        {E::T29_ERRNAMEOFNETCLASS_2, {{child, ""}, {Index(), ".A"}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(NetClassNameUniqueTest, FailedChildIteratorEndsTheWalkOfThatLevel)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index b = d.b.NetClass(d.design, "B");
    d.b.NetClass(b, "Z");
    d.b.NetClass(b, "z"); // never reached: the walk of the top level ended at A
    d.b.Fail(a, "GetIterChildNetClasses");

    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T29_ERRITERCHILDRENOFNETCLASS, {{a, "A"}, {Index(), ""}}},
    };
    EXPECT_EQ(out.findings, expected);
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(NetClassNameUniqueTest, FailedTopIteratorsEndTheTest)
{
    d.b.NetClass(d.design, "A");
    d.b.Fail(d.design, "GetIterNetClasses");
    const Outcome first = run();
    EXPECT_EQ(first.codes(), std::vector<unsigned>{E::T29_ERRITERNETCLASSES});
    EXPECT_EQ(first.status, FAILED);

    // Only the second iterator fails: the level check has run, the walk has not. The calls before
    // it are the first iterator and its IsValid (the design holds no class then).
    Design empty;
    CNetClassNameUnique t;
    const Outcome second = RunTest(t, *empty.session, [&] { empty.faults().SetCountdown(3); });
    EXPECT_EQ(second.codes(), std::vector<unsigned>{E::T29_ERRITERNETCLASSES_2});
    EXPECT_EQ(second.status, FAILED);
}

TEST_F(NetClassNameUniqueTest, ClassListedBelowItselfEndsThatBranch)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index b = d.b.NetClass(a, "B");
    d.b.AppendOnly(b, Field::childNetClasses, a);

    const Outcome out = run();
    const std::vector<Finding> expected = {
        {E::T29_ERRITERCHILDRENOFNETCLASS, {{a, "A"}, {Index(), ".A.B"}}},
    };
    EXPECT_EQ(out.findings, expected);
}

TEST_F(NetClassNameUniqueTest, LogTextsFillNamesPathAndIndexes)
{
    const Index a = d.b.NetClass(d.design, "A");
    const Index v1 = d.b.NetClass(a, "VCC");
    const Index v2 = d.b.NetClass(a, "vcc");
    const Index bad = d.b.NetClass(d.design, "B!New...");
    run();

    const std::vector<std::string> expected = {
        "ERROR 2905: NetClass name B!New... (" + bad.ToText() + ") contains invalid character(s): !",
        "ERROR 2906: Invalid NetClass name: B!New... (" + bad.ToText() + ") - forbidden part \"New...\"",
        "ERROR 2907: NetClass name duplicated: VCC path = .A " + v1.ToText() + " <-> " + v2.ToText(),
    };
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(NetClassNameUniqueTest, CheckerWritesTheFindingsInItsBlock)
{
    const Index v1 = d.b.NetClass(d.design, "VCC");
    const Index v2 = d.b.NetClass(d.design, "Vcc");
    EXPECT_EQ(CheckerBlock(*d.session, "UniqueNetClassName"),
              "Test: Net class name unique\n"
              "ERROR 2907: NetClass name duplicated: VCC path =  " + v1.ToText() + " <-> " + v2.ToText() + "\n"
              "Result: FAILED\n");
}

TEST_F(NetClassNameUniqueTest, QueuedRepairOfInvalidCharactersGetsClassThenCharacters)
{
    const Index bad = d.b.NetClass(d.design, "A/B");
    const std::vector<Finding> expected = {
        {E::T29_NETCLASSHASINVALIDCHARS, {{bad, "A/B"}, {Index(), "/"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
