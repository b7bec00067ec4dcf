#include "tests/rules/CConstraintClassNameUnique.h"

#include "framework/CCharsValidator.h"
#include "framework/CDICErrors.h"
#include "framework/EqualPairs.h"

#include <vector>

CConstraintClassNameUnique::CConstraintClassNameUnique() = default;

CConstraintClassNameUnique::~CConstraintClassNameUnique() = default;

std::string CConstraintClassNameUnique::getTestDescription() const
{
    return "Test checks if constraint class name is unique on given level of hierarchy";
}

std::string CConstraintClassNameUnique::getTestName() const
{
    return "Constraint class name unique";
}

std::string CConstraintClassNameUnique::getTestShortName() const
{
    return "UniqueConsClass";
}

TestStatus CConstraintClassNameUnique::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_path.Clear();

    Lumo::IteratorT<const Lumo::INorvConstraintClass> levelIt;
    if (!m_design->GetIterConstraintClasses(levelIt))
        return raiseError(CDICErrors::T9_ERRITERTOPLEVELCC);
    checkConstraintClass(levelIt, "");

    Lumo::IteratorT<const Lumo::INorvConstraintClass> walkIt;
    if (!m_design->GetIterConstraintClasses(walkIt))
        return raiseError(CDICErrors::T9_ERRITERTOPLEVELCC_2);
    checkConstraintClassChildren(walkIt, "");

    raiseStatus(OK);
    return m_status;
}

TestStatus CConstraintClassNameUnique::checkConstraintClass(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it,
                                                            std::string path)
{
    const std::string validChars = CCharsValidator::SCHEME_VALID_CHARS();
    std::vector<std::string> names; // hierarchical names
    std::vector<std::string> keys;  // the names folded to lower case
    std::vector<Lumo::Index> indexes;

    for (; it.IsValid(); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T9_ERRINDEXOFCC, path.c_str());

        Lumo::String hierarchicalName;
        Lumo::String name;
        if (!it->GetHierarchicalName(hierarchicalName, '/') || !it->GetName(name))
            return raiseError(CDICErrors::T9_ERRNAMEOFCC, index, path.c_str());
        const std::string fullName = hierarchicalName.str();

        Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
        if (!it->GetNetClass(netClass))
            raiseError(CDICErrors::T9_MISSING_NC_FOR_CC, index, fullName.c_str());

        const std::string invalid = checkName(name.c_str(), validChars.c_str());
        if (!invalid.empty())
            raiseError(CDICErrors::T9_INVALIDNAMEOFCC, index, fullName.c_str(), Lumo::Index(), invalid.c_str());

        names.push_back(fullName);
        keys.push_back(FoldCase(fullName));
        indexes.push_back(index);
    }

    // Both pairs name the earlier class of each equal pair.
    ForEachEqualPair(keys, [&](std::size_t i, std::size_t /*j*/) {
        raiseError(CDICErrors::T9_DUPLICATEDNAMEOFCC, Lumo::Index(), names[i].c_str(), indexes[i], "");
    });
    return m_status;
}

TestStatus CConstraintClassNameUnique::checkConstraintClassChildren(
    Lumo::IteratorT<const Lumo::INorvConstraintClass>& it, std::string path)
{
    for (; it.IsValid(); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T9_ERRINDEXOFCC_2, path.c_str());
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T9_ERRNAMEOFCC_2, index, "Constraint Class", Lumo::Index(), path.c_str());

        Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
        if (!it->GetNetClass(netClass))
            raiseError(CDICErrors::T9_MISSING_NC_FOR_CC, index, name.c_str());

        const std::string childPath = path + "." + name.str();

        // A class met again below itself is reported as if its children could not be read.
        PathGuard::Scope onPath(m_path, index);
        Lumo::IteratorT<const Lumo::INorvConstraintClass> levelIt;
        if (!onPath.Entered() || !it->GetIterChildConstraintClasses(levelIt))
            return raiseError(CDICErrors::T9_ERRITERCHILDCC, index, "Constraint Classes", Lumo::Index(),
                              childPath.c_str());
        checkConstraintClass(levelIt, childPath);

        Lumo::IteratorT<const Lumo::INorvConstraintClass> walkIt;
        if (!it->GetIterChildConstraintClasses(walkIt))
            return raiseError(CDICErrors::T9_ERRITERCHILDCC_2, index, "Constraint Classes", Lumo::Index(),
                              childPath.c_str());
        checkConstraintClassChildren(walkIt, childPath);
    }
    return m_status;
}
