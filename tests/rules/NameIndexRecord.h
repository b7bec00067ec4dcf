// NameIndexRecord: one object's name with up to four indexes (the object itself and the objects it
// hangs from), the element of the lists that the scheme and component tests collect and compare.
// A plain copyable value; which slots a user fills is the user's business:
//   index[0] the object, index[1] its scheme, index[2] unused by the scheme tests,
//   index[3] its parent clearance rule or net class.
#pragma once

#include "lumopi/LumoPI.h"

#include <string>

class NameIndexRecord
{
public:
    // An empty name and four empty indexes.
    NameIndexRecord();

    std::string name;
    Lumo::Index index[4];
};
