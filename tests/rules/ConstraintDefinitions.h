// Helpers shared by the tests that compare the design's constraints with the definitions of the
// constraints file (constraint consistency, default constraints): loading the definition set,
// the constraint path that names a constraint in findings, the owner test of a definition, a
// table-driven valid-character check and a per-run cache of the database's definition constraints.
// Nothing here is shared between threads; each test owns its own instances.
#pragma once

#include "ordaxcons/OrdaxConstraintDefs.h"

#include "lumopi/LumoPI.h"

#include <memory>
#include <string>
#include <unordered_set>

namespace consdefs
{

// A new definition set read from path, or null when path is not a regular file or the file does
// not load (the file is then not read at all, resp. the set is discarded).
std::unique_ptr<norv_ordaxcons::COrdaxConstraintDefs> loadDefinitions(const std::string& path);

// owner + "->" + level + "->" + objectName + "->" + constraintName.
std::string constraintPath(const std::string& owner, const std::string& level, const std::string& objectName,
                           const std::string& constraintName);

// True when owner is among the definition's owner names (exact comparison).
bool isOwnerListed(const norv_ordaxcons::COrdaxConsDef& definition, const std::string& owner);

// The characters of a name that are not in a valid set, each once, in order of first occurrence
// (the result of the test base's checkName), answered with a 256-entry table.
class ValidChars
{
public:
    explicit ValidChars(const std::string& validChars);
    std::string invalidChars(const char* name) const;

    // The table of all printable characters, built once.
    static const ValidChars& all();
    // The table of the characters allowed in template names, built once.
    static const ValidChars& templates();

private:
    bool m_valid[256] = {};
};

// Which constraint names the database holds a definition constraint for, asked once per name and
// run. Only found names are kept, so a failed look-up is asked again for the next constraint.
class DefinitionConstraints
{
public:
    void clear() { m_found.clear(); }
    bool exists(const Lumo::LumoPI* session, const Lumo::String& name);

private:
    std::unordered_set<std::string> m_found;
};

} // namespace consdefs
