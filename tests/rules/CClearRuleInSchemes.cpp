#include "tests/rules/CClearRuleInSchemes.h"

#include "framework/CDICErrors.h"
#include "tests/rules/RuleWalk.h"

std::string toUpperString(const std::string& text)
{
    return NorvRules::UpperCase(text);
}

CClearRuleInSchemes::CClearRuleInSchemes() = default;

CClearRuleInSchemes::~CClearRuleInSchemes() = default;

std::string CClearRuleInSchemes::getTestDescription() const
{
    return "Test checks if clearance rule exists in all schemes";
}

std::string CClearRuleInSchemes::getTestName() const
{
    return "Clearance rule in all schemes";
}

std::string CClearRuleInSchemes::getTestShortName() const
{
    return "ClearRuleInScheme";
}

TestStatus CClearRuleInSchemes::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_designRules = DesignRules();
    m_mappedRules.Clear();

    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    Lumo::Result schemesWalk = m_design->GetIterSchemes(schemes);
    for (; walkOn(schemes, schemesWalk); ++schemes)
        checkScheme(schemes);
    if (!schemesWalk)
        return raiseError(CDICErrors::T2_ERRITERSCHEMES);

    m_schemeNames.clear();
    m_designRules = DesignRules();
    m_mappedRules.Clear();
    raiseStatus(OK);
    return m_status;
}

TestStatus CClearRuleInSchemes::checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme)
{
    Lumo::Index index;
    if (!scheme->GetIndex(index))
        return raiseError(CDICErrors::T2_ERRINDEXSCHEME);
    Lumo::String name;
    if (!scheme->GetName(name))
        return raiseError(CDICErrors::T2_ERRNAMESCHEME);

    const std::string text = name.str();
    if (!m_schemeNames.insert(toUpperString(text)).second)
        raiseError(CDICErrors::T2_DUPLICATEDNAMEOFSCHEME, Lumo::Index(), text, index, "");
    return collectClearRules(scheme, text);
}

TestStatus CClearRuleInSchemes::collectClearRules(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme,
                                                  const std::string& schemeName)
{
    Lumo::Index schemeIndex;
    if (!scheme->GetIndex(schemeIndex))
        return raiseError(CDICErrors::T2_ERRINDEXSCHEME_2);

    Lumo::IteratorT<const Lumo::INorvSchemaClearRule> it;
    Lumo::Result itWalk = scheme->GetIterSchemaClearRules(it);

    std::vector<NameIndexRecord> schemaRules;
    for (; walkOn(it, itWalk); ++it)
    {
        NameIndexRecord record;
        Lumo::String name;
        if (!it->GetName(name))
            return raiseError(CDICErrors::T2_ERRNAMESCR);
        record.name = name.str();
        if (!it->GetIndex(record.index[0]))
            return raiseError(CDICErrors::T2_ERRINDEXSCR);

        Lumo::ContainerT<const Lumo::INorvClearRule> parentRule;
        if (!it->GetParentClearRule(parentRule))
            return raiseError(CDICErrors::T2_ERRPARENTCR);
        if (!parentRule->GetIndex(record.index[3]))
            return raiseError(CDICErrors::T2_ERRPARENTINDEXCR);

        Lumo::ContainerT<const Lumo::INorvScheme> parentScheme;
        if (!it->GetParentScheme(parentScheme))
            return raiseError(CDICErrors::T2_ERRPARENTSCHEME);
        if (!parentScheme->GetIndex(record.index[1]))
            return raiseError(CDICErrors::T2_ERRINDEXPARENTSCHEME);

        if (record.index[1] != schemeIndex)
            raiseError(CDICErrors::T2_NOTMATCHPARENTSCHEME);
        schemaRules.push_back(record);
    }
    if (!itWalk)
        return raiseError(CDICErrors::T2_ERRIITERCRSCHEME, schemeName);

    const DesignRules& design = designClearRules();
    if (design.failCode != 0)
        return raiseError(static_cast<int>(design.failCode));
    return compareRulesWithSchemes(design.rules, schemaRules, schemeName);
}

const CClearRuleInSchemes::DesignRules& CClearRuleInSchemes::designClearRules()
{
    // Kept for the run once read whole; a walk that met a failed read is made again for the next
    // scheme.
    DesignRules& design = m_designRules;
    if (design.read)
        return design;
    design = DesignRules();

    Lumo::IteratorT<const Lumo::INorvClearRule> it;
    Lumo::Result itWalk = m_design->GetIterClearRules(it);
    for (; walkOn(it, itWalk); ++it)
    {
        NameIndexRecord record;
        if (!it->GetIndex(record.index[0]))
        {
            design.failCode = CDICErrors::T2_ERRINDEXCR;
            return design;
        }
        Lumo::String name;
        if (!it->GetName(name))
        {
            design.failCode = CDICErrors::T2_ERRNAMECR;
            return design;
        }
        record.name = name.str();
        design.byName[record.name].push_back(design.rules.size());
        design.rules.push_back(record);
    }
    if (!itWalk)
    {
        design.failCode = CDICErrors::T2_ERRDESIGNITERCR;
        return design;
    }
    design.read = true;
    return design;
}

TestStatus CClearRuleInSchemes::compareRulesWithSchemes(const std::vector<NameIndexRecord>& clearRules,
                                                        const std::vector<NameIndexRecord>& schemaRules,
                                                        const std::string& schemeName)
{
    std::unordered_map<std::string, std::vector<std::size_t>> schemaByName;
    for (std::size_t s = 0; s < schemaRules.size(); ++s)
        schemaByName[schemaRules[s].name].push_back(s);
    static const std::vector<std::size_t> none;

    for (const NameIndexRecord& rule : clearRules)
    {
        auto found = schemaByName.find(rule.name);
        const std::vector<std::size_t>& sameName = found == schemaByName.end() ? none : found->second;
        int count = 0;
        for (std::size_t s : sameName)
        {
            if (schemaRules[s].index[3] == rule.index[0])
            {
                ++count;
                checkSchemaClearRuleReachable(rule, schemaRules[s]);
            }
            else
            {
                raiseError(CDICErrors::T2_NOTMATCHSCRCR);
            }
        }
        if (count == 0)
            raiseError(CDICErrors::T2_MISSINGCRSCHEME, Lumo::Index(), rule.name, Lumo::Index(),
                       schemeName);
        else if (count > 1)
            raiseError(CDICErrors::T2_MANYSCRFORCR, Lumo::Index(), rule.name, Lumo::Index(),
                       schemeName);
    }

    // The clearance rules are the whole design list, so the index of their names is the one read
    // with them.
    const auto& rulesByName = m_designRules.byName;
    for (const NameIndexRecord& schemaRule : schemaRules)
    {
        auto found = rulesByName.find(schemaRule.name);
        const std::vector<std::size_t>& sameName = found == rulesByName.end() ? none : found->second;
        int count = 0;
        for (std::size_t r : sameName)
        {
            if (clearRules[r].index[0] == schemaRule.index[3])
                ++count;
            else
                raiseError(CDICErrors::T2_INCONSISTENCYCRSCR);
        }
        if (count == 0)
            raiseError(CDICErrors::T2_UNKNOWNCRSCHEME, Lumo::Index(), schemaRule.name, Lumo::Index(),
                       schemeName);
        else if (count > 1)
            raiseError(CDICErrors::T2_MANYCRFORSCR, Lumo::Index(), schemaRule.name, Lumo::Index(),
                       schemeName);
    }
    return m_status;
}

TestStatus CClearRuleInSchemes::checkSchemaClearRuleReachable(const NameIndexRecord& /*clearRule*/,
                                                              const NameIndexRecord& schemaRule)
{
    const NorvRules::MappedIndexCache::Entry& mapped =
        m_mappedRules.Get(schemaRule.index[3], [&](Lumo::ListT<Lumo::Index>& list) -> unsigned {
            Lumo::ContainerT<const Lumo::INorvClearRule> rule;
            if (!m_uidManager.GetNorvClearRule(rule, schemaRule.index[3]))
                return CDICErrors::T2_ERRGETCRDESIGN;
            if (!rule->GetSchemaClearRuleMappedObjList(list))
                return CDICErrors::T2_ERRGETLISTSCRFROMCR;
            return 0;
        });
    if (mapped.failCode != 0)
        return raiseError(static_cast<int>(mapped.failCode));
    if (!mapped.Contains(schemaRule.index[0]))
        return raiseError(CDICErrors::T2_ERRREACHSCRFROMCR);
    return m_status;
}
