// The key under which two pin pairs joining the same two pins, in either order, are equal; the pin
// tests group pairs by it to find duplicates. Header only; stateless.
#pragma once

#include "lumopi/LumoTypes.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace connectivity
{

inline std::string unorderedPairKey(Lumo::Index a, Lumo::Index b)
{
    uint64_t values[2] = {a.GetValue(), b.GetValue()};
    if (values[0] > values[1])
        std::swap(values[0], values[1]);
    std::string key(sizeof values, '\0');
    std::memcpy(&key[0], values, sizeof values);
    return key;
}

} // namespace connectivity
