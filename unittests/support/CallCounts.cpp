#include "support/CallCounts.h"

namespace KravikTest {

unsigned long TotalCalls(const std::string& countCallsOutput)
{
    const size_t at = countCallsOutput.rfind("\ttotal");
    if (at == std::string::npos)
        return 0;
    const size_t lineStart = countCallsOutput.rfind('\n', at);
    return std::stoul(countCallsOutput.substr(lineStart == std::string::npos ? 0 : lineStart + 1));
}

} // namespace KravikTest
