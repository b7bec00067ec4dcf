// CFixNetClass: the repairs of net classes: the default class "(Default)", a name with characters
// that names may not hold, and a name shared on its level. Static repair methods only
// (CFixerBase); nothing constructs the class.
#pragma once

#include "repairs/CFixerBase.h"

class CFixNetClass : public CFixerBase
{
public:
    CFixNetClass() = default;
    ~CFixNetClass() = default;

    // Adds "(Default)" when the design has no net class of that name; not fixed when it has one.
    static CFixStatus AddDefaultNetClass();
    // Cleans the name of the net class of index 1 (no reload).
    static CFixStatus RenameInvalidName();
    // Renames the net class of index 2, whose hierarchical name name 1 is duplicated (raises reload).
    static CFixStatus RenameDuplicatedNetClass();
};
