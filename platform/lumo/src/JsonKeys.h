// Key and kind names of the design file, hashed once for the loader and the saver. Private to lumopi.
#pragma once

#include "Store.h"

#include <string>
#include <string_view>

namespace Lumo {
namespace JsonKeys {

// What a key of an object names: one of the generic keys, or a field of the kind tables.
enum Code : uint8_t {
    kUnknown = 0,
    kField,
    kId,
    kKind,
    kIndex,
    kName,
    kTopBlock,
    kIn,
    kValid,
    kEmptyIndex,
    kLiteral,
    kFail,
    kInherits,
    kAttributes,
    kValue,
    kType,
    kObjects,
    kNextSerial,
    kClients,
    kLocks,
};

struct Key {
    Code code = kUnknown;
    StandIn::Field field = StandIn::Field::Count;
};

Key Lookup(std::string_view key);
bool KindByName(std::string_view name, StandIn::Kind& out);

}  // namespace JsonKeys
}  // namespace Lumo
