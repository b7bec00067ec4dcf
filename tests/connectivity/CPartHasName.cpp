#include "tests/connectivity/CPartHasName.h"

#include "framework/EqualPairs.h"

CPartHasName::CPartHasName() = default;
CPartHasName::~CPartHasName() = default;

std::string CPartHasName::getTestDescription() const { return "Test checks if all part names are non empty"; }
std::string CPartHasName::getTestName() const { return "Part name valid"; }
std::string CPartHasName::getTestShortName() const { return "PartHasName"; }

TestStatus CPartHasName::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPart> part;
    Lumo::Result partWalk = m_config->GetIterParts(part);

    std::vector<std::string> names;
    for (; walkOn(part, partWalk); ++part) {
        // A part whose index or name cannot be read is reported once and neither tested nor
        // collected: nothing of another part may stand in for what was not read.
        Lumo::Index index;
        if (!part->GetIndex(index)) {
            raiseError(CDICErrors::T31_ERRINDEXOFPART);
            continue;
        }
        Lumo::String name;
        if (!part->GetName(name)) {
            raiseError(CDICErrors::T31_ERRNAMEOFPART, index);
            continue;
        }
        if (name.Length() == 0)
            raiseError(CDICErrors::T31_NAMEOFPARTEMPTY, index);
        else
            names.push_back(name.str());
    }
    if (!partWalk)
        return raiseError(CDICErrors::T31_ERRITEROVERPARTS);

    ForEachEqualPair(names, [&](std::size_t i, std::size_t) {
        raiseError(CDICErrors::T31_NAMEOFPARTDUPLICATED, names[i]);
    });

    raiseStatus(OK);
    return m_status;
}
