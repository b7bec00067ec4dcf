#include "framework/TestRegistry.h"

#include "framework/CNorvDetailChecker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

namespace
{

// The gating of every position of the complete table, for the rows as they land.
const TestGating A = TestGating::Always;
const TestGating H = TestGating::HiddenTestsOn;
const TestGating T = TestGating::OutsideTamsaFlow;
const TestGating kExpected[kFullTestTableSize] = {
    A, A, A, A, T, T, A, A, H, T, //  1-10
    T, H, H, H, H, A, A, A, H, H, // 11-20
    H, H, T, H, A, A, T, T, T, A, // 21-30
    A, A, A, A, T, A, H, A, A, A, // 31-40
    H, A, A, H, A, H, A, A, T, T, // 41-50
    T, A, A,                      // 51-53
};

unsigned admitted(const TestGating* gatings, size_t count, bool hidden, bool tamsa)
{
    unsigned n = 0;
    for (size_t i = 0; i < count; ++i)
        n += IsRegisteredUnder(gatings[i], hidden, tamsa) ? 1 : 0;
    return n;
}

class TestRegistryTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        unsetenv("NORV_CIC_RUN_HIDDEN_TESTS");
        unsetenv("NORV_TAMSA_FLOW");
        unsetenv("QUIL_VERSION");
    }
};

TEST_F(TestRegistryTest, SwitchCombinationsOfTheCompleteTable)
{
    EXPECT_EQ(admitted(kExpected, kFullTestTableSize, false, false), 39u);
    EXPECT_EQ(admitted(kExpected, kFullTestTableSize, false, true), 27u);
    EXPECT_EQ(admitted(kExpected, kFullTestTableSize, true, false), 53u);
    EXPECT_EQ(admitted(kExpected, kFullTestTableSize, true, true), 41u);
}

TEST_F(TestRegistryTest, RowsKeepTheirPlaceAndSwitch)
{
    const auto& table = TestRegistryTable();
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.front().order, 1u);
    EXPECT_STREQ(table.front().className, "CNorvInitTest");
    unsigned previous = 0;
    std::set<std::string> names;
    for (const TestRegistration& row : table) {
        ASSERT_GE(row.order, 1u);
        ASSERT_LE(row.order, kFullTestTableSize);
        EXPECT_GT(row.order, previous) << row.className;
        previous = row.order;
        EXPECT_EQ(row.gating, kExpected[row.order - 1]) << row.className;
        EXPECT_TRUE(names.insert(row.className).second) << row.className;
        std::unique_ptr<CNorvDetailChecker> test(row.create());
        ASSERT_NE(test, nullptr);
        EXPECT_EQ(test->getStatus(), NOT_TESTED);
    }
    if (table.size() == kFullTestTableSize) {
        TestGating gatings[kFullTestTableSize];
        for (unsigned i = 0; i < kFullTestTableSize; ++i)
            gatings[i] = table[i].gating;
        EXPECT_EQ(admitted(gatings, kFullTestTableSize, false, false), 39u);
        EXPECT_EQ(admitted(gatings, kFullTestTableSize, false, true), 27u);
        EXPECT_EQ(admitted(gatings, kFullTestTableSize, true, false), 53u);
        EXPECT_EQ(admitted(gatings, kFullTestTableSize, true, true), 41u);
    }
}

TEST_F(TestRegistryTest, HiddenTestsNeedANonEmptyValue)
{
    unsetenv("NORV_CIC_RUN_HIDDEN_TESTS");
    EXPECT_FALSE(HiddenTestsRequested());
    setenv("NORV_CIC_RUN_HIDDEN_TESTS", "", 1);
    EXPECT_FALSE(HiddenTestsRequested());
    setenv("NORV_CIC_RUN_HIDDEN_TESTS", "0", 1);
    EXPECT_TRUE(HiddenTestsRequested());
}

TEST_F(TestRegistryTest, TamsaFlowFromTheEnvironment)
{
    const struct
    {
        const char* tamsa;   // null: unset
        const char* version; // null: unset
        bool expected;
    } cases[] = {
        {nullptr, nullptr, false},
        {"anything", nullptr, true},
        {"", nullptr, false},
        {"", "9.3TAMSA", true},
        {nullptr, "9.3.1TAMSA", true},
        {nullptr, "9.3tamsa", false},
        {nullptr, "9.3TAMSA ", false},
        {nullptr, "9.2", false},
        {nullptr, "", false},
        {"yes", "9.2", true},
    };
    for (const auto& c : cases) {
        if (c.tamsa)
            setenv("NORV_TAMSA_FLOW", c.tamsa, 1);
        else
            unsetenv("NORV_TAMSA_FLOW");
        if (c.version)
            setenv("QUIL_VERSION", c.version, 1);
        else
            unsetenv("QUIL_VERSION");
        EXPECT_EQ(FlowTamsaFromEnvironment(), c.expected)
            << (c.tamsa ? c.tamsa : "(unset)") << " / " << (c.version ? c.version : "(unset)");
    }
}

TEST_F(TestRegistryTest, GatingRules)
{
    EXPECT_TRUE(IsRegisteredUnder(TestGating::Always, false, true));
    EXPECT_FALSE(IsRegisteredUnder(TestGating::HiddenTestsOn, false, false));
    EXPECT_TRUE(IsRegisteredUnder(TestGating::HiddenTestsOn, true, true));
    EXPECT_TRUE(IsRegisteredUnder(TestGating::OutsideTamsaFlow, false, false));
    EXPECT_FALSE(IsRegisteredUnder(TestGating::OutsideTamsaFlow, true, true));
}

} // namespace
