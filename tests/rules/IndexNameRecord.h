// IndexNameRecord: one class of the design by its index and its path name (the names of its
// ancestors and its own, joined by "/"), as the tests of used classes collect them.
#pragma once

#include "lumopi/LumoPI.h"

#include <string>
#include <utility>

struct IndexNameRecord
{
    IndexNameRecord() = default;
    IndexNameRecord(const Lumo::Index& classIndex, std::string pathName)
        : index(classIndex), name(std::move(pathName))
    {
    }

    Lumo::Index index;
    std::string name;
};
