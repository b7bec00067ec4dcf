// CFixC2CClearRule: deletes a class-to-class clearance rule that refers to a removed scheme,
// clearance rule or Z-axis rule, or whose scheme or rule cannot be read. Static repair method only
// (CFixerBase); nothing constructs the class.
#pragma once

#include "repairs/CFixerBase.h"

class CFixC2CClearRule : public CFixerBase
{
public:
    CFixC2CClearRule() = default;
    virtual ~CFixC2CClearRule() = default;

    // Deletes the class-to-class clearance rule of index 1. A rule that an earlier finding already
    // deleted counts as fixed.
    static CFixStatus DeleteInvalidC2CClearRule();
};
