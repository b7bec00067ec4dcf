// CFixConstraintClass: the repairs of constraint classes: the default class "(All)", a class
// without a net class, a name with characters that names may not hold, and a name shared on its
// level. Static repair methods only (CFixerBase); nothing constructs the class.
#pragma once

#include "repairs/CFixerBase.h"

class CFixConstraintClass : public CFixerBase
{
public:
    CFixConstraintClass() = default;
    ~CFixConstraintClass() = default;

    // Adds "(All)" when the design has no class of that name; not fixed when it has one.
    static CFixStatus AddAllConstraintClass();
    // Gives the class of index 1 the design's "(Default)" net class.
    static CFixStatus SetDefaultNetClass();
    // Cleans the name of the class of index 1 (no reload).
    static CFixStatus RenameInvalidName();
    // Renames the class of index 2, whose hierarchical name name 1 is duplicated (raises reload).
    static CFixStatus RenameDuplicatedName();
};
