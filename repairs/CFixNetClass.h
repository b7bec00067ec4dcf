// CFixNetClass: the repairs of net classes: the default class "(Default)", a name with characters
// that names may not hold, a name shared on its level, and bringing the global net classes and the
// net-class rules of the schemes back into correspondence (moving a class so that the database
// makes its rules again, or re-creating a class that has no rule). Static repair methods only
// (CFixerBase); nothing constructs the class. They never log or throw.
#pragma once

#include "repairs/CFixerBase.h"

#include <string>

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

    // A scheme net-class rule without its global net class; sets the reload flag on success.
    static CFixStatus RecreateMissingNetClass();
    // A global net class without its scheme rule; sets the reload flag on success.
    static CFixStatus RecreateNetClassWithoutRule();

    // text without its trailing run of c.
    static std::string TrimRight(const std::string& text, char c);
    // The part of text after the last c, once the trailing run of c is trimmed: a/b/c and a/b/c/ give c.
    static std::string LastNameComponent(const std::string& text, char c);
};
