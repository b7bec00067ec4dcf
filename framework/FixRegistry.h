// The registry of repair methods: one row per (diagnostic code, repair method, allowed in back-end
// mode, what the repair changes), in registration order. CFixMgr::Init registers every row; the
// table is the one place that lists them, and docs/diagnostics.md shows what each changes.
#pragma once

#include "framework/CFixMgr.h"

#include <vector>

struct FixRegistration
{
    unsigned code;
    FixMethod method;
    bool allowedOnBackEnd;
    // What the repair does to the design, in a few words; for a repair that deletes or re-creates an
    // object, also what is lost with it.
    const char* change;
};

const std::vector<FixRegistration>& FixRegistryTable();
