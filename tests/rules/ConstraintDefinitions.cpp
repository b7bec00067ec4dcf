#include "tests/rules/ConstraintDefinitions.h"

#include "framework/CCharsValidator.h"
#include "utils/FileUtils.h"

#include <algorithm>

namespace consdefs
{

std::unique_ptr<norv_ordaxcons::COrdaxConstraintDefs> loadDefinitions(const std::string& path)
{
    auto definitions = std::make_unique<norv_ordaxcons::COrdaxConstraintDefs>();
    if (!LumoUtils::isRegularFile(path) || !definitions->LoadCnsFile(path, false, true))
        return nullptr;
    return definitions;
}

std::string constraintPath(const std::string& owner, const std::string& level, const std::string& objectName,
                           const std::string& constraintName)
{
    std::string path;
    path.reserve(owner.size() + level.size() + objectName.size() + constraintName.size() + 6);
    path.append(owner).append("->").append(level).append("->").append(objectName).append("->").append(constraintName);
    return path;
}

bool isOwnerListed(const norv_ordaxcons::COrdaxConsDef& definition, const std::string& owner)
{
    const std::vector<std::string>& owners = definition.GetOwners();
    return std::find(owners.begin(), owners.end(), owner) != owners.end();
}

ValidChars::ValidChars(const std::string& validChars)
{
    for (unsigned char c : validChars)
        m_valid[c] = true;
}

std::string ValidChars::invalidChars(const char* name) const
{
    std::string invalid;
    if (!name)
        return invalid;
    // Nearly every name is valid: find the first invalid character before keeping track of any.
    while (*name && m_valid[static_cast<unsigned char>(*name)])
        ++name;
    if (!*name)
        return invalid;
    bool seen[256] = {};
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (!m_valid[c] && !seen[c]) {
            seen[c] = true;
            invalid += *p;
        }
    }
    return invalid;
}

const ValidChars& ValidChars::all()
{
    static const ValidChars table(CCharsValidator::ALL_VALID_CHARS());
    return table;
}

const ValidChars& ValidChars::templates()
{
    static const ValidChars table(CCharsValidator::TEMPLATE_VALID_CHARS());
    return table;
}

bool DefinitionConstraints::exists(const Lumo::LumoPI* session, const Lumo::String& name)
{
    if (m_found.count(name.str()))
        return true;
    if (!session)
        return false;
    Lumo::ContainerT<const Lumo::INorvConstraint> definition;
    if (!session->GetDefConstraint(definition, name))
        return false;
    m_found.insert(name.str());
    return true;
}

} // namespace consdefs
