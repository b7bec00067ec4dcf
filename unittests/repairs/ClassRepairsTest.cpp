// The repairs of the default objects and of the constraint-class and net-class names, which the
// fixer classes share as twins; each table runs every twin.
#include "RepairTestKit.h"

#include "repairs/CFixClearRule.h"
#include "repairs/CFixConstraintClass.h"
#include "repairs/CFixNetClass.h"
#include "repairs/CFixScheme.h"

namespace repairtest
{
namespace
{

struct ClassRepairsTest : ::testing::Test
{
    Design d;
    FixScope scope{*d.session};

    ClassRepairsTest() { d.b.DefaultObjects(d.design); }
    std::size_t count(Kind kind, const std::string& name)
    {
        std::size_t n = 0;
        for (const std::string& live : Names(d, kind))
            n += live == name;
        return n;
    }
};

struct DefaultCase
{
    FixMethod method;
    Kind kind;
    const char* name;
    const char* addOp;
};

TEST_F(ClassRepairsTest, MissingDefaultObjectIsAddedOnceAndAPresentOneIsLeft)
{
    const DefaultCase cases[] = {
        {&CFixConstraintClass::AddAllConstraintClass, Kind::ConstraintClass, "(All)", "AddConstraintClass"},
        {&CFixNetClass::AddDefaultNetClass, Kind::NetClass, "(Default)", "AddNetClass"},
        {&CFixClearRule::AddDefaultClearRule, Kind::ClearRule, "(Default Rule)", "AddClearRule"},
        {&CFixClearRule::AddMissingGenClear, Kind::GenClear, "", "AddGenClear"},
        {&CFixScheme::AddMinimumScheme, Kind::Scheme, "(Minimum)", "AddScheme"},
        {&CFixScheme::AddMasterScheme, Kind::Scheme, "(Master)", "AddScheme"},
    };
    for (const DefaultCase& c : cases)
    {
        EXPECT_EQ(OutcomeLine(RunRepair(c.method)), kNotFixed) << c.name;
        d.b.Delete(d.find(c.kind, c.name));
        for (const char* op : {"Lock", c.addOp})
        {
            d.faults().FailOn(d.design, op, 1);
            EXPECT_EQ(OutcomeLine(RunRepair(c.method)),
                      std::string(" - Not Fixed. Database error: injected failure: ") + op + ".\n")
                << c.name;
        }
        EXPECT_EQ(count(c.kind, c.name), 0u) << c.name;
        EXPECT_EQ(OutcomeLine(RunRepair(c.method)), kFixed) << c.name;
        EXPECT_EQ(count(c.kind, c.name), 1u) << c.name;
    }
    EXPECT_EQ(d.store().Int(d.find(Kind::Scheme, "(Minimum)"), Field::schemeType), Lumo::ST_Minimum);
    EXPECT_EQ(d.store().Int(d.find(Kind::Scheme, "(Master)"), Field::schemeType), Lumo::ST_Master);
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(CheckerBlocks(*d.session, {"InitializationTest", "CheckDefaultObjects"}),
              "Test: NORV database initialization\nResult: OK\nTest: Default objects\nResult: OK\n");
}

// A default object whose name is only spelled in other letter case: the checker's repair adds no
// second object of that name (which the duplicate-name repairs would rename, and the next run
// would add again), so the design stays as it was and the re-check finds the same.
TEST_F(ClassRepairsTest, DefaultObjectInOtherCaseIsNotAddedAgain)
{
    const struct
    {
        Kind kind;
        const char* name;
        const char* renamed;
        const char* outcome; // after the finding's line in the fix run
    } cases[] = {
        {Kind::Scheme, "(Master)", "(master)", "\n - Not Fixed. Error: Cannot create \"(Master)\" scheme..\n"},
        {Kind::Scheme, "(Minimum)", "(MINIMUM)", "\n - Not Fixed. Error: Cannot create \"(Minimum)\" scheme..\n"},
        {Kind::ClearRule, "(Default Rule)", "(default rule)", "\n - Not Fixed.\n"},
    };
    for (const auto& c : cases)
    {
        Design row;
        row.b.DefaultObjects(row.design);
        row.b.SetName(row.find(c.kind, c.name), c.renamed);
        const std::vector<std::string> names = Names(row, c.kind);
        const std::string before = CheckerBlock(*row.session, "CheckDefaultObjects");
        ASSERT_NE(before.find(std::string("\"") + c.name + "\""), std::string::npos) << c.name << before;

        const std::string fixed = CheckerBlocks(*row.session, {"CheckDefaultObjects"}, "main", "TOP", true);
        EXPECT_NE(fixed.find(c.outcome), std::string::npos) << c.name << fixed;
        EXPECT_EQ(Names(row, c.kind), names) << c.name;
        EXPECT_EQ(CheckerBlock(*row.session, "CheckDefaultObjects"), before) << c.name;
    }
}

TEST_F(ClassRepairsTest, ConstraintClassWithoutNetClassGetsTheDefaultNetClass)
{
    const Index cc = d.b.ConstraintClass(d.design, "CC");
    const Index defaultClass = d.find(Kind::NetClass, "(Default)");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraintClass::SetDefaultNetClass)), kNotFixed);
    d.faults().FailOn(defaultClass, "Lock", 1);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraintClass::SetDefaultNetClass, {{cc, "CC"}})),
              " - Not Fixed. Database error: injected failure: Lock.\n");
    EXPECT_TRUE(d.store().Ref(cc, Field::netClass).IsEmpty());
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraintClass::SetDefaultNetClass, {{cc, "CC"}})), kFixed);
    EXPECT_EQ(d.store().Ref(cc, Field::netClass), defaultClass);

    d.b.Delete(defaultClass);
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixConstraintClass::SetDefaultNetClass, {{cc, "CC"}})), kNotFixed);
}

struct ClassTwin
{
    Kind kind;
    FixMethod renameInvalid;
    FixMethod renameDuplicated;
    const char* error;
};

const ClassTwin kTwins[] = {
    {Kind::ConstraintClass, &CFixConstraintClass::RenameInvalidName, &CFixConstraintClass::RenameDuplicatedName,
     " - Not Fixed. Error: Cannot rename constraint class.\n"},
    {Kind::NetClass, &CFixNetClass::RenameInvalidName, &CFixNetClass::RenameDuplicatedNetClass,
     " - Not Fixed. Error: Cannot rename net class.\n"},
};

TEST_F(ClassRepairsTest, InvalidClassNameIsCleanedAndATakenResultGetsTheIndexOnce)
{
    for (const ClassTwin& t : kTwins)
    {
        const Index slash = d.b.Add(t.kind, d.design, "A/B");
        const Index bang = d.b.Add(t.kind, d.design, "A!B");
        const Index plain = d.b.Add(t.kind, d.design, "AB");
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameInvalid, {{slash, ""}})), kFixed);
        EXPECT_EQ(d.store().Name(slash), "A_B");
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameInvalid, {{bang, ""}})), kFixed);
        EXPECT_EQ(d.store().Name(bang), "A_B_" + std::to_string(bang.GetValue()));
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameInvalid, {{plain, ""}})), kNotFixed);
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameInvalid)), t.error);
        EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    }
}

TEST_F(ClassRepairsTest, DuplicatedClassTakesTheFirstFreeNameAmongItsSiblings)
{
    for (const ClassTwin& t : kTwins)
    {
        CFixMgr::m_bReloadFlag = false;
        const Index parent = d.b.Add(t.kind, d.design, "P");
        d.b.Add(t.kind, parent, "N");
        const Index dup = d.b.Add(t.kind, parent, "N");
        d.b.Add(t.kind, parent, "N_1");
        // A top-level class named N_2 is no sibling: it does not take the name.
        d.b.Add(t.kind, d.design, "N_2");

        // The class no longer bears the duplicated name (case does not count).
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameDuplicated, {{{}, "P/X"}, {dup, ""}})), kFixed);
        EXPECT_EQ(d.store().Name(dup), "N");
        EXPECT_FALSE(CFixMgr::m_bReloadFlag);

        EXPECT_EQ(OutcomeLine(RunRepair(t.renameDuplicated, {{{}, "p/n"}, {dup, ""}})), kFixed);
        EXPECT_EQ(d.store().Name(dup), "N_2");
        EXPECT_TRUE(CFixMgr::m_bReloadFlag);
        // Unique on its level now.
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameDuplicated, {{{}, "P/N_2"}, {dup, ""}})), kFixed);
        EXPECT_EQ(d.store().Name(dup), "N_2");
        EXPECT_EQ(OutcomeLine(RunRepair(t.renameDuplicated, {{{}, "P/N"}})), t.error);
    }
    // At the top level the design's classes are the siblings.
    const Index top = d.b.Add(Kind::NetClass, d.design, "n_2");
    EXPECT_EQ(OutcomeLine(RunRepair(&CFixNetClass::RenameDuplicatedNetClass, {{{}, "N_2"}, {top, ""}})), kFixed);
    EXPECT_EQ(d.store().Name(top), "n_2_1");
    EXPECT_EQ(CheckerBlock(*d.session, "UniqueNetClassName"), "Test: Net class name unique\nResult: OK\n");
}

} // namespace
} // namespace repairtest
