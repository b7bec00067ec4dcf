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
    Lumo::Result levelWalk = m_design->GetIterConstraintClasses(levelIt);
    if (levelWalk)
        checkConstraintClass(levelIt, "", levelWalk);
    if (!levelWalk)
        return raiseError(CDICErrors::T9_ERRITERTOPLEVELCC);

    Lumo::IteratorT<const Lumo::INorvConstraintClass> walkIt;
    Lumo::Result walkWalk = m_design->GetIterConstraintClasses(walkIt);
    if (walkWalk)
        checkConstraintClassChildren(walkIt, "", walkWalk);
    if (!walkWalk)
        return raiseError(CDICErrors::T9_ERRITERTOPLEVELCC_2);

    raiseStatus(OK);
    return m_status;
}

TestStatus CConstraintClassNameUnique::checkConstraintClass(Lumo::IteratorT<const Lumo::INorvConstraintClass>& it,
                                                            std::string path, Lumo::Result& walk)
{
    const std::string validChars = CCharsValidator::SCHEME_VALID_CHARS();
    std::vector<std::string> names; // hierarchical names
    std::vector<std::string> keys;  // the names folded to lower case
    std::vector<Lumo::Index> indexes;

    for (; walkOn(it, walk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T9_ERRINDEXOFCC, path);

        Lumo::String hierarchicalName;
        Lumo::String name;
        if (!it->GetHierarchicalName(hierarchicalName, '/') || !it->GetName(name))
            return raiseError(CDICErrors::T9_ERRNAMEOFCC, index, path);
        const std::string fullName = hierarchicalName.str();

        Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
        if (!it->GetNetClass(netClass))
            raiseError(CDICErrors::T9_MISSING_NC_FOR_CC, index, fullName);

        const std::string invalid = checkName(name.c_str(), validChars.c_str());
        if (!invalid.empty())
            raiseError(CDICErrors::T9_INVALIDNAMEOFCC, index, fullName, Lumo::Index(), invalid);

        names.push_back(fullName);
        keys.push_back(FoldCase(fullName));
        indexes.push_back(index);
    }
    if (!walk)
        return m_status;

    // Both pairs name the earlier class of each equal pair.
    ForEachEqualPair(keys, [&](std::size_t i, std::size_t /*j*/) {
        raiseError(CDICErrors::T9_DUPLICATEDNAMEOFCC, Lumo::Index(), names[i], indexes[i], "");
    });
    return m_status;
}

TestStatus CConstraintClassNameUnique::checkConstraintClassChildren(
    Lumo::IteratorT<const Lumo::INorvConstraintClass>& it, std::string path, Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T9_ERRINDEXOFCC_2, path);
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T9_ERRNAMEOFCC_2, index, "Constraint Class", Lumo::Index(), path);

        Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
        if (!it->GetNetClass(netClass))
            raiseError(CDICErrors::T9_MISSING_NC_FOR_CC, index, name);

        const std::string childPath = path + "." + name.str();

        // A class met again below itself is reported as if its children could not be read.
        PathGuard::Scope onPath(m_path, index);
        Lumo::IteratorT<const Lumo::INorvConstraintClass> levelIt;
        const bool entered = onPath.Entered();
        Lumo::Result levelWalk = entered ? it->GetIterChildConstraintClasses(levelIt) : Lumo::Result();
        if (entered && levelWalk)
            checkConstraintClass(levelIt, childPath, levelWalk);
        if (!entered || !levelWalk)
            return raiseError(CDICErrors::T9_ERRITERCHILDCC, index, "Constraint Classes", Lumo::Index(),
                              childPath);

        Lumo::IteratorT<const Lumo::INorvConstraintClass> walkIt;
        Lumo::Result walkWalk = it->GetIterChildConstraintClasses(walkIt);
        if (walkWalk)
            checkConstraintClassChildren(walkIt, childPath, walkWalk);
        if (!walkWalk)
            return raiseError(CDICErrors::T9_ERRITERCHILDCC_2, index, "Constraint Classes", Lumo::Index(),
                              childPath);
    }
    return m_status;
}
