#include "tests/connectivity/CPartPinValid.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

std::vector<Index> partPins(Design& d, Index part) { return d.b.GetStore().List(part, Field::partPins); }

} // namespace

TEST(CPartPinValidTest, PinsListedByAPartThatIsNotTheirParent)
{
    Design d;
    Index a = d.b.Part(d.config, "A", 2);
    Index b = d.b.Part(d.config, "B", 2);
    for (Index pin : partPins(d, b))
        d.b.AppendOnly(a, Field::partPins, pin);
    for (bool fixMode : {false, true}) {
        TestRun<CPartPinValid> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(3307, {{a, "A"}, {b, ""}}), finding(3307, {{a, "A"}, {b, ""}})}))
            << "fix mode " << fixMode;
        EXPECT_EQ(run.status, FAILED);
    }
    TestRun<CPartPinValid> run(d);
    EXPECT_EQ(run.firstLine(),
              "ERROR 3307: Wrong part pin parent. Part: A (" + a.ToText() + ") parent: " + b.ToText() + "\n");

    Design empty;
    TestRun<CPartPinValid> none(empty);
    EXPECT_TRUE(none.findings().empty());
    EXPECT_EQ(none.status, OK);
}

TEST(CPartPinValidTest, PartWhoseIndexCannotBeReadIsLeftAndOneWithoutNameStillChecked)
{
    for (const char* op : {"GetIndex", "GetName"}) {
        Design d;
        Index a = d.b.Part(d.config, "A", 1);
        Index b = d.b.Part(d.config, "B", 1);
        Index c = d.b.Part(d.config, "C", 1);
        d.b.AppendOnly(b, Field::partPins, partPins(d, a)[0]);  // would be compared with a stale index
        d.b.AppendOnly(c, Field::partPins, partPins(d, a)[0]);
        d.faults().FailOn(b, op);
        TestRun<CPartPinValid> run(d);
        // Without its index the part's pins have nothing to be compared with; without its name
        // they are compared with its own index, and the finding names no part.
        const Findings expected = std::string(op) == "GetIndex"
                                      ? Findings{finding(3302), finding(3307, {{c, "C"}, {a, ""}})}
                                      : Findings{finding(3303, {{b, ""}}), finding(3307, {{b, ""}, {a, ""}}),
                                                 finding(3307, {{c, "C"}, {a, ""}})};
        EXPECT_EQ(run.findings(), expected) << op;
    }
}

TEST(CPartPinValidTest, FailuresThatEndTheTest)
{
    struct Case
    {
        const char* what;
        std::function<void(Design&, Index part, Index pin)> fault;
        unsigned code;
    };
    const Case cases[] = {
        {"part iterator", [](Design& d, Index, Index) { d.faults().FailOn(d.config, "GetIterParts"); }, 3301},
        {"part pin iterator", [](Design& d, Index part, Index) { d.faults().FailOn(part, "GetIterPartPins"); }, 3304},
        {"parent part", [](Design& d, Index, Index pin) { d.faults().FailOn(pin, "GetParentPart"); }, 3305},
        {"parent part not valid: its index cannot be read",
         [](Design& d, Index, Index pin) {
             Index gone = d.b.Part(d.config, "GONE");
             d.b.Invalid(gone);
             d.b.SetRefOnly(pin, Field::in, gone);
         },
         3306},
        {"parent index", [](Design& d, Index part, Index) { d.faults().FailOn(part, "GetIndex", -1); }, 3306},
    };
    for (const Case& c : cases) {
        Design d;
        Index a = d.b.Part(d.config, "A", 1);
        Index b = d.b.Part(d.config, "B", 1);
        Index pin = partPins(d, b)[0];
        d.b.AppendOnly(a, Field::partPins, pin);
        // The pin of the first part belongs to the second, so its index read is met through the pin first.
        c.fault(d, c.code == 3306 && std::string(c.what) == "parent index" ? b : a, pin);
        TestRun<CPartPinValid> run(d);
        const Findings expected{finding(c.code)};
        EXPECT_EQ(run.findings(), expected) << c.what;
        EXPECT_EQ(run.status, FAILED);
    }
}
