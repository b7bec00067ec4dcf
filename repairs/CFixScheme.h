// CFixScheme: the repairs of schemes and what hangs on them: the default schemes "(Minimum)" and
// "(Master)", a scheme without its "(Default)" net-class rule, a constraint that is to hold the
// minimum among all schemes, and a via span whose allowed vias cannot be read. Static repair
// methods only (CFixerBase); nothing constructs the class.
#pragma once

#include "repairs/CFixerBase.h"

class CFixScheme : public CFixerBase
{
public:
    CFixScheme() = default;
    ~CFixScheme() = default;

    // Add the default scheme when no scheme of its name exists; not fixed when one does.
    static CFixStatus AddMinimumScheme();
    static CFixStatus AddMasterScheme();
    // Replaces the scheme of index 1 (name 1) by an empty scheme of its name and type (raises reload).
    static CFixStatus RecreateSchemeWithoutDefaultRule();
    // Lowers the minimum constraint (index 3, owned by index 1) to the smaller value of index 4.
    static CFixStatus SetMinimumConstraintValue();
    // Deletes the via span of index 2 while its allowed vias cannot be read.
    static CFixStatus DeleteViaSpanWithoutVias();
};
