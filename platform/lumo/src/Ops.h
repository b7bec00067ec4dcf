// Helpers shared by the operation sources.
#pragma once

#include "Core.h"

namespace Lumo {
namespace detail {

inline Result NotImplemented() { return Fail("not implemented"); }

}  // namespace detail
}  // namespace Lumo
