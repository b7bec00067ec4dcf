// CFixParRule: deletes an invalid parallelism rule definition, or all of them. Static repair methods
// only (see CFixerBase); they never log or throw. The design lock ends with its container.
#pragma once

#include "repairs/CFixerBase.h"

class CFixParRule : public CFixerBase
{
public:
    CFixParRule() = default;
    ~CFixParRule() = default;

    static CFixStatus DeleteInvalidParRuleDef();
    static CFixStatus DeleteAllParRuleDefs();
};
