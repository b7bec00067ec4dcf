// The registration table of the tests: the one place that lists every test class in its fixed
// order, each with the environment switch that admits it. The checker creates the admitted tests
// in table order; a test's run number is its position among them.
#pragma once

#include <vector>

class CNorvDetailChecker;

enum class TestGating
{
    Always,
    HiddenTestsOn,    // only when NORV_CIC_RUN_HIDDEN_TESTS is set and not empty
    OutsideTamsaFlow  // only when the host does not run the Tamsa flow
};

struct TestRegistration
{
    unsigned order;          // position in the full list, from 1
    const char* className;
    TestGating gating;
    CNorvDetailChecker* (*create)();
};

// Number of rows of the complete table.
constexpr unsigned kFullTestTableSize = 53;

const std::vector<TestRegistration>& TestRegistryTable();
bool IsRegisteredUnder(TestGating gating, bool hiddenTests, bool tamsaFlow);

// The two switches, read from the environment on every call (the checker caches the Tamsa flow).
bool HiddenTestsRequested();
bool FlowTamsaFromEnvironment();
