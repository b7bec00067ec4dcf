// CFixP2PRule: deletes every package-to-package clearance rule that lacks one of its five constraints.
// One sweep repairs the whole design, so later findings of the same test's queue find nothing left
// (FixContext::s_fixP2PSwept). Static repair methods only (see CFixerBase); never logs or throws.
#pragma once

#include "repairs/CFixerBase.h"

class CFixP2PRule : public CFixerBase
{
public:
    CFixP2PRule() = default;
    ~CFixP2PRule() = default;

    static CFixStatus DeleteBrokenP2PClearRules();
};
