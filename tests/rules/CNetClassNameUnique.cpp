#include "tests/rules/CNetClassNameUnique.h"

#include "framework/CCharsValidator.h"
#include "framework/CDICErrors.h"
#include "framework/EqualPairs.h"

#include <vector>

CNetClassNameUnique::CNetClassNameUnique() = default;

CNetClassNameUnique::~CNetClassNameUnique() = default;

std::string CNetClassNameUnique::getTestDescription() const
{
    return "Test checks if net class name is unique on given level of hierarchy";
}

std::string CNetClassNameUnique::getTestName() const
{
    return "Net class name unique";
}

std::string CNetClassNameUnique::getTestShortName() const
{
    return "UniqueNetClassName";
}

TestStatus CNetClassNameUnique::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_path.Clear();

    Lumo::IteratorT<const Lumo::INorvNetClass> levelIt;
    Lumo::Result levelWalk = m_design->GetIterNetClasses(levelIt);
    if (levelWalk)
        checkNetClass(levelIt, "", levelWalk);
    if (!levelWalk)
        return raiseError(CDICErrors::T29_ERRITERNETCLASSES);

    Lumo::IteratorT<const Lumo::INorvNetClass> walkIt;
    Lumo::Result walkWalk = m_design->GetIterNetClasses(walkIt);
    if (walkWalk)
        checkNetClassChildren(walkIt, "", walkWalk);
    if (!walkWalk)
        return raiseError(CDICErrors::T29_ERRITERNETCLASSES_2);

    raiseStatus(OK);
    return m_status;
}

TestStatus CNetClassNameUnique::checkNetClass(Lumo::IteratorT<const Lumo::INorvNetClass>& it, std::string path,
                                              Lumo::Result& walk)
{
    const std::string validChars = CCharsValidator::SCHEME_VALID_CHARS();
    std::vector<std::string> names;
    std::vector<std::string> keys; // the names folded to lower case
    std::vector<Lumo::Index> indexes;

    for (; walkOn(it, walk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T29_ERRINDEXNETCLASS, path);
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T29_ERRNAMENETCLASS, index, path);

        const std::string text = name.str();
        const std::string invalid = checkName(text.c_str(), validChars.c_str());
        if (!invalid.empty())
            raiseError(CDICErrors::T29_NETCLASSHASINVALIDCHARS, index, text, Lumo::Index(), invalid);
        if (text.find("New...") != std::string::npos)
            raiseError(CDICErrors::T29_NETCLASSNAMEHANEWINSIDE, index, text);

        names.push_back(text);
        keys.push_back(FoldCase(text));
        indexes.push_back(index);
    }
    if (!walk)
        return m_status;

    ForEachEqualPair(keys, [&](std::size_t i, std::size_t j) {
        raiseError(CDICErrors::T29_NETCLASSNAMEDUPLICATED, indexes[i], names[i], indexes[j], path);
    });
    return m_status;
}

TestStatus CNetClassNameUnique::checkNetClassChildren(Lumo::IteratorT<const Lumo::INorvNetClass>& it,
                                                      std::string path, Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T29_ERRINDEXOFNETCLASS_2, path);
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T29_ERRNAMEOFNETCLASS_2, index, "", Lumo::Index(), path);

        const std::string childPath = path + "." + name.str();

        // A class met again below itself has no children that could be walked to an end: it is
        // reported as if its children could not be read.
        PathGuard::Scope onPath(m_path, index);
        Lumo::IteratorT<const Lumo::INorvNetClass> levelIt;
        const bool entered = onPath.Entered();
        Lumo::Result levelWalk = entered ? it->GetIterChildNetClasses(levelIt) : Lumo::Result();
        if (entered && levelWalk)
            checkNetClass(levelIt, childPath, levelWalk);
        if (!entered || !levelWalk)
            return raiseError(CDICErrors::T29_ERRITERCHILDRENOFNETCLASS, index, name, Lumo::Index(),
                              path);

        Lumo::IteratorT<const Lumo::INorvNetClass> walkIt;
        Lumo::Result walkWalk = it->GetIterChildNetClasses(walkIt);
        if (walkWalk)
            checkNetClassChildren(walkIt, childPath, walkWalk);
        if (!walkWalk)
            return raiseError(CDICErrors::T29_ERRITERCHILDRENOFNETCLASS_2, index, name, Lumo::Index(),
                              path);
    }
    return m_status;
}
