#include "JsonKeys.h"

#include <string_view>
#include <unordered_map>

namespace Lumo {
namespace JsonKeys {

namespace {

struct Tables {
    std::unordered_map<std::string_view, Key> keys;
    std::unordered_map<std::string_view, StandIn::Kind> kinds;

    Tables()
    {
        for (size_t f = 0; f < detail::kFieldCount; ++f) {
            const auto field = static_cast<StandIn::Field>(f);
            keys[StandIn::FieldName(field)] = Key{kField, field};
        }
        const std::pair<const char*, Code> generic[] = {
            {"id", kId}, {"kind", kKind}, {"index", kIndex}, {"name", kName}, {"topBlock", kTopBlock},
            {"in", kIn}, {"valid", kValid}, {"emptyIndex", kEmptyIndex}, {"literal", kLiteral}, {"fail", kFail},
            {"inherits", kInherits}, {"attributes", kAttributes}, {"value", kValue}, {"type", kType},
            {"objects", kObjects}, {"nextSerial", kNextSerial}, {"clients", kClients}, {"locks", kLocks},
        };
        for (const auto& g : generic) keys[g.first] = Key{g.second, StandIn::Field::Count};
        for (size_t k = 1; k < detail::kKindCount; ++k) {
            const auto kind = static_cast<StandIn::Kind>(k);
            kinds[StandIn::KindName(kind)] = kind;
        }
    }
};

const Tables& T()
{
    static const Tables t;
    return t;
}

}  // namespace

Key Lookup(std::string_view key)
{
    auto it = T().keys.find(key);
    return it == T().keys.end() ? Key{} : it->second;
}

bool KindByName(std::string_view name, StandIn::Kind& out)
{
    auto it = T().kinds.find(name);
    if (it == T().kinds.end()) return false;
    out = it->second;
    return true;
}

}  // namespace JsonKeys
}  // namespace Lumo
