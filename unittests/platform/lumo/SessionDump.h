// A canonical text of everything a session keeps for its live records (records with every field, lists,
// back references, constraints, attributes, faults, locks, clients, counters, definitions and backups),
// ordered by index so that two sessions holding the same design give the same text.
#pragma once

#include "lumopi/StandIn.h"

#include <string>

namespace LumoTest {

std::string DumpSession(const Lumo::LumoPI& session);

}  // namespace LumoTest
