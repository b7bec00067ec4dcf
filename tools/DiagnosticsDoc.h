// docs/diagnostics.md, rendered from the diagnostic catalogue and the repair registry: every code
// with its severity, its texts and the repair registered for it, grouped by the test that raises it.
#pragma once

#include <string>
#include <vector>

namespace KravikDocs {

// One row of the repair registry, as the built table holds it.
struct RepairRow
{
    unsigned code;
    bool allowedOnBackEnd;
    std::string change; // what the repair changes in the design
};

// The rows of the built registry (framework/FixRegistry.cpp), in order.
std::vector<RepairRow> BuiltRepairRegistry();

// The whole document. `codesHeader` is the text of framework/CDICErrors.h (it names the codes and
// the test class of each family), `registrySource` the text of framework/FixRegistry.cpp (it names
// the repair method of each row) and `registry` the built rows, which the source's rows must match
// one for one and which give what each repair changes. Throws std::runtime_error, saying what
// disagrees, when they do not match or a row does not say what its repair changes.
std::string RenderDiagnosticsDoc(const std::string& codesHeader, const std::string& registrySource,
                                 const std::vector<RepairRow>& registry);

// The command that regenerates the checked-in document.
extern const char* const kRegenerateCommand;

} // namespace KravikDocs
