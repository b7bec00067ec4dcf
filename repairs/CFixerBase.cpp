#include "repairs/CFixerBase.h"

#include "framework/FixContext.h"

#include <cstring>

bool CFixerBase::ReplaceInvalidChars(const char* allowedChars, Lumo::Index& /*index*/, std::string& name)
{
    const char* allowed = allowedChars ? allowedChars : "";
    bool replaced = false;
    std::string result;
    result.reserve(name.size());
    // The name is a zero-terminated text for the database: what follows an embedded zero is not part
    // of it.
    for (char c : name)
    {
        if (c == '\0')
            break;
        if (std::strchr(allowed, c) != nullptr)
            result += c;
        else
        {
            result += '_';
            replaced = true;
        }
    }
    name = std::move(result);
    return replaced;
}

bool CFixerBase::AppendIndexToName(Lumo::Index& index, std::string& name)
{
    name += '_';
    name += std::to_string(index.GetValue());
    return true;
}

CFixStatus CFixerBase::FixedIfGone(const Lumo::Result& failed, const Lumo::Index& index)
{
    const Lumo::IUIDManager* uids = FixContext::s_fixUIDManager;
    bool exists = true;
    if (uids == nullptr || !uids->ObjectExists(index, exists) || exists)
        return CFixStatus(failed);
    return CFixStatus(true);
}
