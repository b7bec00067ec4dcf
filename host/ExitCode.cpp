#include "host/ExitCode.h"

namespace KravikHost {

ExitCode ExitCodeFor(const RunSummary& summary)
{
    if (!summary.completed)
        return EXIT_OPERATIONAL;
    if (summary.warnings > 0 || summary.errors > 0)
        return EXIT_FINDINGS;
    if (summary.fixed > 0)
        return EXIT_REPAIRED;
    return EXIT_CLEAN;
}

} // namespace KravikHost
