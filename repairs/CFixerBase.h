// CFixerBase: the common base of the fixer classes. It carries no state; it gives the renaming
// repairs their two name helpers.
//
// Every repair method is a static member of a fixer class with no arguments, returning a
// CFixStatus. It reads its finding's pairs and the database handles from FixContext (filled by
// CFixMgr before each call), changes the design through LumoPI, may set CFixMgr::m_bReloadFlag
// where it renames or re-creates, and never logs or throws: all it has to say goes into the status.
// A repair changes the design step by step and does not roll back.
#pragma once

#include "framework/CFixStatus.h"
#include "lumopi/LumoPI.h"

#include <string>

class CFixerBase
{
public:
    CFixerBase() = default;
    ~CFixerBase() = default;

    // Replaces, in place, every character of name that does not occur in allowedChars (compared
    // byte for byte; a null pointer allows nothing) by '_'. The length of the name never changes.
    // Returns whether anything was replaced; an empty name stays empty and gives false. The index
    // is the object whose name the caller changes; it is not used.
    static bool ReplaceInvalidChars(const char* allowedChars, Lumo::Index& index, std::string& name);

    // Sets name to name + "_" + the index's unsigned 64-bit value in decimal. Returns true.
    static bool AppendIndexToName(Lumo::Index& index, std::string& name);

protected:
    // The outcome of a failed fetch of the object a finding names by index: fixed (nothing to do)
    // only when the database says the index no longer exists; otherwise, or when that question
    // fails too, the failed fetch's result. Asks FixContext's UID manager; without one, the result.
    static CFixStatus FixedIfGone(const Lumo::Result& failed, const Lumo::Index& index);
};
