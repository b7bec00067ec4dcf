#include "tests/rules/CLayerNumbering.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;

namespace
{
using E = CDICErrors;

struct LayerSpec
{
    const char* name;
    int number;
    int metallic;
    int type; // 0 metallic
};

struct LayerNumberingWorld : World<CLayerNumbering>
{
    std::vector<Index> layers;

    // Layers with their "LAYER_USAGE" constraint.
    void add(const std::vector<LayerSpec>& specs)
    {
        for (const LayerSpec& s : specs)
        {
            const Index l = d.b.Layer(d.design, s.name, s.number, s.metallic, s.type);
            d.b.Constraint(l, "LAYER_USAGE", s.type == 0 ? "Signal" : "Substrate");
            layers.push_back(l);
        }
    }
};

struct LayerNumberingTest : ::testing::Test, LayerNumberingWorld
{
};

TEST_F(LayerNumberingTest, ConsistentLayersAreOk)
{
    EXPECT_EQ(run().status, OK); // no layers

    add({{"TOP", 1, 1, 0}, {"DIE", 2, -1, 1}, {"BOTTOM", 3, 2, 0}});
    CLayerNumbering t;
    const Outcome out = RunTest(t, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

// Each case: the layers, then the findings by code with the positions of the layers they name
// (-1 for the empty index) and their texts.
struct NumberCase
{
    const char* what;
    std::vector<LayerSpec> layers;
    std::vector<std::pair<unsigned, std::vector<std::pair<int, std::string>>>> expected;
};

TEST_F(LayerNumberingTest, NumberFaults)
{
    const std::vector<NumberCase> cases = {
        {"one number twice",
         {{"L1", 1, 1, 0}, {"L2", 2, 2, 0}, {"L3", 2, 3, 0}},
         {{E::T27_DUPLICATEDLAYERNUMBER, {{2, "2"}, {1, "2"}}}}},
        {"one number three times",
         {{"L1", 1, 1, 0}, {"L2", 1, 2, 0}, {"L3", 1, 3, 0}},
         {{E::T27_DUPLICATEDLAYERNUMBER, {{1, "1"}, {0, "1"}}},
          {E::T27_DUPLICATEDLAYERNUMBER, {{2, "1"}, {0, "1"}}},
          {E::T27_DUPLICATEDLAYERNUMBER, {{2, "1"}, {1, "1"}}}}},
        {"gap", {{"L1", 1, 1, 0}, {"L2", 2, 2, 0}, {"L3", 5, 3, 0}},
         {{E::T27_MAXNUMGREATERTHANNUMBEROFLAYERS, {{-1, "5"}, {-1, "3"}}}}},
        {"zero twice",
         {{"L1", 0, 1, 0}, {"L2", 0, 2, 0}},
         {{E::T27_FORBIDDENNUMBEROFLAYER, {{0, "0"}}},
          {E::T27_FORBIDDENNUMBEROFLAYER, {{1, "0"}}},
          {E::T27_DUPLICATEDLAYERNUMBER, {{1, "0"}, {0, "0"}}}}},
        // A negative number counts as the highest.
        {"negative", {{"L1", 1, 1, 0}, {"L2", 2, 2, 0}, {"L3", -3, 3, 0}},
         {{E::T27_FORBIDDENNUMBEROFLAYER, {{2, "-3"}}},
          {E::T27_MAXNUMGREATERTHANNUMBEROFLAYERS, {{-1, "-3"}, {-1, "3"}}}}},
        {"dielectric with a metallic number", {{"L1", 1, 1, 0}, {"D", 2, 2, 1}},
         {{E::T27_FORBIDDENMETALLICNUMBERODIELECTRICFLAYER, {{1, "2"}}}}},
        {"metallic without a metallic number", {{"L1", 1, -1, 0}},
         {{E::T27_FORBIDDENNUMBEROFMETALLICLAYER, {{0, "-1"}}},
          {E::T27_MAXMETALLICNUMGREATERTHANNUMBEROFMETALLICLAYERS, {{-1, "-1"}, {-1, "1"}}}}},
        {"metallic number twice", {{"L1", 1, 1, 0}, {"L2", 2, 1, 0}},
         {{E::T27_DUPLICATEDMETALLICLAYERNUMBER, {{1, "1"}, {0, "1"}}}}},
        {"metallic number too high", {{"L1", 1, 3, 0}, {"D", 2, -1, 1}},
         {{E::T27_MAXMETALLICNUMGREATERTHANNUMBEROFMETALLICLAYERS, {{-1, "3"}, {-1, "1"}}}}},
        // Reported once, for the layer that comes later in ascending layer number.
        {"one name twice", {{"TOP", 2, 2, 0}, {"TOP", 1, 1, 0}},
         {{E::T27_DUPLICATEDLAYERNAME, {{0, "TOP"}}}}},
        // Equal numbers keep their walk order.
        {"one name and one number twice", {{"X", 1, 1, 0}, {"X", 1, 2, 0}},
         {{E::T27_DUPLICATEDLAYERNUMBER, {{1, "1"}, {0, "1"}}}, {E::T27_DUPLICATEDLAYERNAME, {{1, "X"}}}}},
    };
    for (const NumberCase& c : cases)
    {
        LayerNumberingWorld fixture;
        fixture.add(c.layers);
        const Outcome out = RunTest(fixture.test, *fixture.d.session);
        std::vector<Finding> expected;
        for (const auto& e : c.expected)
        {
            Finding f{e.first, {}};
            for (const auto& p : e.second)
                f.pairs.emplace_back(p.first < 0 ? Index() : fixture.layers[p.first], p.second);
            expected.push_back(f);
        }
        EXPECT_EQ(out.findings, expected) << c.what;
        EXPECT_EQ(out.status, expected.empty() ? OK : FAILED) << c.what;
    }
}

TEST_F(LayerNumberingTest, MissingUsageIsAFindingAndTheWalkGoesOn)
{
    const Index bare = d.b.Layer(d.design, "BARE", 1, 1);
    add({{"L2", 2, 2, 0}, {"L3", 2, 3, 0}});
    const std::vector<Finding> expected = {
        {E::T27_ERRMISSINGLAYERUSAGE, {{bare, "BARE"}}},
        {E::T27_DUPLICATEDLAYERNUMBER, {{layers[1], "2"}, {layers[0], "2"}}},
    };
    EXPECT_EQ(run().findings, expected);
}

TEST_F(LayerNumberingTest, FailedReadsEndTheTestBeforeTheMaximumChecks)
{
    for (const char* op : {"GetIndex", "GetName", "GetType", "GetLayerNumber", "GetMetallicLayerNumber"})
    {
        LayerNumberingWorld f;
        // The second layer fails; the first is examined, the third never is, and the number 9
        // never reaches the maximum check.
        f.add({{"L1", 9, 1, 0}, {"L2", 2, 2, 0}, {"L3", 0, 3, 0}});
        f.d.b.Fail(f.layers[1], op);
        const Outcome out = RunTest(f.test, *f.d.session);
        const std::string o = op;
        const unsigned code = o == "GetIndex"         ? E::T27_ERRINDEXOFLAYER
                              : o == "GetName"        ? E::T27_ERRMISSINGNAME
                              : o == "GetType"        ? E::T27_ERRTYPEOFLAYER
                              : o == "GetLayerNumber" ? E::T27_ERRNUMBEROFLAYER
                                                      : E::T27_ERRMETALLICNUMBEROFLAYER;
        const Finding expected = o == "GetIndex" ? Finding{code, {}} : Finding{code, {{f.layers[1], ""}}};
        EXPECT_EQ(out.findings, std::vector<Finding>{expected}) << op;
        EXPECT_EQ(out.status, FAILED) << op;
    }

    // The name walk reads index and name again. One layer numbered 5: the first walk makes nine
    // counted calls (iterator, IsValid, index, name, type, number, metallic number, usage, IsValid);
    // the tenth and eleventh are the name walk's reads.
    for (const auto& step : {std::make_pair(10u, E::T27_ERRINDEXOFLAYER), std::make_pair(11u, E::T27_ERRNAMEOFLAYER)})
    {
        LayerNumberingWorld f;
        f.add({{"L1", 5, 1, 0}});
        const Outcome out = RunTest(f.test, *f.d.session, [&] { f.d.faults().SetCountdown(step.first); });
        EXPECT_EQ(out.codes(), std::vector<unsigned>{step.second}) << step.first;
        EXPECT_EQ(out.status, FAILED);
    }
}

TEST_F(LayerNumberingTest, FailedIteratorEndsTheTest)
{
    d.b.Fail(d.design, "GetIterLayers");
    const Outcome out = run();
    EXPECT_EQ(out.codes(), std::vector<unsigned>{E::T27_ERRITEROFLAYERSINDESIGN});
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(LayerNumberingTest, SecondRunStartsFromEmptyLists)
{
    add({{"L1", 1, 1, 0}, {"L2", 2, 2, 0}});
    EXPECT_TRUE(run().findings.empty());
    test.GetIssuesList().clear();
    EXPECT_TRUE(run().findings.empty());
}

TEST_F(LayerNumberingTest, LogTexts)
{
    add({{"TOP", 0, 1, 0}, {"MID", 1, 1, 0}, {"BOT", 7, 2, 0}});
    const Index bare = d.b.Layer(d.design, "BARE", 1, 3);
    run();
    const std::vector<std::string> expected = {
        "ERROR 2706: Layer has forbidden number 0 (" + layers[0].ToText() + ")",
        "ERROR 2712: Duplicated metallic layer number 1 (" + layers[1].ToText() + ") - 1 (" + layers[0].ToText() +
            ")",
        "ERROR 2716: Layer BARE has got unknown type",
        "ERROR 2711: Duplicated layer number 1",
        "ERROR 2709: Max layer number is higher than number of layers: 7 > 4",
    };
    (void)bare;
    EXPECT_EQ(LogLines(test), expected);
}

TEST_F(LayerNumberingTest, CheckerWritesTheFindingsInItsBlock)
{
    add({{"L1", 1, 1, 0}, {"L2", 3, 2, 0}});
    EXPECT_EQ(CheckerBlock(*d.session, "LayerNumbering"),
              "Test: Layer consistency\n"
              "ERROR 2709: Max layer number is higher than number of layers: 3 > 2\n"
              "Result: FAILED\n");
}

// A renumbering whose unlock fails has renumbered the layers all the same: its finding stays in the
// log with the pass that changed them, though the second pass finds nothing.
TEST_F(LayerNumberingTest, RenumberingWhoseUnlockFailsIsLogged)
{
    add({{"L1", 1, 1, 0}, {"L2", 3, 2, 0}});
    d.faults().FailOn(layers[1], "UnLock", 1);
    EXPECT_EQ(CheckerBlocks(*d.session, {"LayerNumbering"}, "main", "TOP", true),
              "Test: Layer consistency\n"
              "----- Pass #1\n"
              "ERROR 2709: Max layer number is higher than number of layers: 3 > 2\n"
              " - Fixed.\n"
              "Result: OK\n");
    EXPECT_EQ(2, d.store().Int(layers[1], Lumo::StandIn::Field::layerNumber));
}

TEST_F(LayerNumberingTest, QueuedRepairsGetTheirPairsInOrder)
{
    const Index bare = d.b.Layer(d.design, "BARE", 4, 1);
    add({{"TOP", 2, 2, 0}, {"TOP", 2, 3, 0}});
    const std::vector<Finding> expected = {
        {E::T27_ERRMISSINGLAYERUSAGE, {{bare, "BARE"}}},
        {E::T27_DUPLICATEDLAYERNUMBER, {{layers[1], "2"}, {layers[0], "2"}}},
        {E::T27_DUPLICATEDLAYERNAME, {{layers[1], "TOP"}}},
        {E::T27_MAXNUMGREATERTHANNUMBEROFLAYERS, {{Index(), "4"}, {Index(), "3"}}},
    };
    EXPECT_EQ(RunQueued(test, *d.session), expected);
}

} // namespace
