// The registry of repair methods: one row per (diagnostic code, repair method, allowed in back-end
// mode), in registration order. CFixMgr::Init registers every row; the table is the one place
// that lists them.
#pragma once

#include "framework/CFixMgr.h"

#include <vector>

struct FixRegistration
{
    unsigned code;
    FixMethod method;
    bool allowedOnBackEnd;
};

const std::vector<FixRegistration>& FixRegistryTable();
