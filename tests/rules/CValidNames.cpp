#include "tests/rules/CValidNames.h"

#include "framework/CCharsValidator.h"
#include "framework/CDICErrors.h"
#include "tests/rules/RuleWalk.h"

#include <unordered_map>
#include <vector>

CValidNames::CValidNames() = default;

CValidNames::~CValidNames() = default;

std::string CValidNames::getTestDescription() const
{
    return "Test checks uniqueness of schemes and clearance rules names";
}

std::string CValidNames::getTestName() const
{
    return "Scheme and clearance rule name unique";
}

std::string CValidNames::getTestShortName() const
{
    return "ValidNames";
}

TestStatus CValidNames::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";

    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    Lumo::Result schemesWalk = m_design->GetIterSchemes(schemes);
    if (!schemesWalk)
        return raiseError(CDICErrors::T53_ERRITEROVERSCHEMES);
    Lumo::IteratorT<const Lumo::INorvClearRule> clearRules;
    Lumo::Result clearRulesWalk = m_design->GetIterClearRules(clearRules);
    if (!clearRulesWalk)
        return raiseError(CDICErrors::T53_ERRITEROVERCLEARRULES);

    checkSchemes(schemes, schemesWalk);
    if (!schemesWalk)
        return raiseError(CDICErrors::T53_ERRITEROVERSCHEMES);
    checkClearRules(clearRules, clearRulesWalk);
    if (!clearRulesWalk)
        return raiseError(CDICErrors::T53_ERRITEROVERCLEARRULES);

    raiseStatus(OK);
    return m_status;
}

TestStatus CValidNames::checkSchemes(Lumo::IteratorT<const Lumo::INorvScheme>& it, Lumo::Result& walk)
{
    const std::string validChars = CCharsValidator::SCHEME_VALID_CHARS();
    std::vector<std::string> names;
    for (; walkOn(it, walk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T53_ERRINDEXOFSCHEME);
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T53_ERRNAMEOFSCHEME, index);

        const std::string invalid = checkName(name.c_str(), validChars.c_str());
        if (!invalid.empty())
            raiseError(CDICErrors::T53_SCHEMENAMEHASINVALIDCHARS, Lumo::Index(), invalid, index, name);
        names.push_back(name.str());
    }
    if (!walk)
        return m_status;

    if (!checkNamesUnique(names))
        raiseError(CDICErrors::T53_DUPLICATEDSCHEMENAMES);
    return m_status;
}

TestStatus CValidNames::checkClearRules(Lumo::IteratorT<const Lumo::INorvClearRule>& it, Lumo::Result& walk)
{
    const std::string validChars = CCharsValidator::CLEARRULE_VALID_CHARS();
    // The names kept so far, by their case-folded text; they differ pairwise without regard to
    // case, so a new name equals at most one of them.
    std::unordered_map<std::string, std::string> kept;
    for (; walkOn(it, walk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return raiseError(CDICErrors::T53_ERRINDEXCLEARRULE);
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T53_ERRNAMECLEARRULE, index);

        const std::string text = name.str();
        const std::string invalid = checkName(text.c_str(), validChars.c_str());
        if (!invalid.empty())
            raiseError(CDICErrors::T53_CLEARRULENAMEHASINVALIDCHARS, Lumo::Index(), invalid, index,
                       text);

        auto found = kept.emplace(FoldCase(text), text);
        if (!found.second)
            raiseError(CDICErrors::T53_CLEARRULENAMESDUPLICATED, Lumo::Index(), found.first->second, index,
                       text);
    }
    return m_status;
}
