// Reading what --count-calls writes to standard error, for the tests that sweep a run's calls.
#pragma once

#include <string>

namespace KravikTest {

// The number of database calls on the last line "N\ttotal" of the counts; 0 when there is none.
unsigned long TotalCalls(const std::string& countCallsOutput);

} // namespace KravikTest
