#include "tests/rules/CNetClassesInScheme.h"

#include "framework/CDICErrors.h"

CNetClassesInScheme::CNetClassesInScheme() = default;

CNetClassesInScheme::~CNetClassesInScheme() = default;

std::string CNetClassesInScheme::getTestDescription() const
{
    return "Test checks if all net classes are present in all schemes";
}

std::string CNetClassesInScheme::getTestName() const
{
    return "Net class in all schemes";
}

std::string CNetClassesInScheme::getTestShortName() const
{
    return "NetClassInSchemes";
}

TestStatus CNetClassesInScheme::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_globalByName.clear();
    m_mappedRules.Clear();
    m_classPath.Clear();
    m_rulePath.Clear();

    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    if (!m_design->GetIterSchemes(schemes))
        return raiseError(CDICErrors::T28_ERRITEROFSCHEMES);
    Lumo::IteratorT<const Lumo::INorvNetClass> netClasses;
    Lumo::Result netClassesWalk = m_design->GetIterNetClasses(netClasses);
    std::vector<NameIndexRecord> globalList;
    if (netClassesWalk)
        collectNetClasses(netClasses, globalList, netClassesWalk);
    if (!netClassesWalk)
        return raiseError(CDICErrors::T28_ERRITEROFNETCLASSES);
    Lumo::Result schemesWalk;
    for (; walkOn(schemes, schemesWalk); ++schemes)
        checkScheme(schemes, globalList);
    if (!schemesWalk)
        return raiseError(CDICErrors::T28_ERRITEROFSCHEMES);

    m_globalByName.clear();
    m_mappedRules.Clear();
    raiseStatus(OK);
    return m_status;
}

TestStatus CNetClassesInScheme::collectNetClasses(Lumo::IteratorT<const Lumo::INorvNetClass>& it,
                                                  std::vector<NameIndexRecord>& globalList, Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
    {
        NameIndexRecord record;
        if (!it->GetIndex(record.index[0]))
            return raiseError(CDICErrors::T28_ERRINDEXOFNETCLASS);
        Lumo::String name;
        if (!it->GetHierarchicalName(name, '/'))
            return raiseError(CDICErrors::T28_ERRNAMEOFNETCLASS);
        record.name = name.str();

        std::vector<std::size_t>& sameName = m_globalByName[FoldCase(record.name)];
        for (std::size_t earlier : sameName)
            raiseError(CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, Lumo::Index(), record.name,
                       globalList[earlier].index[0], "");
        sameName.push_back(globalList.size());
        globalList.push_back(record);

        // Children that cannot be read, or a class met again below itself, are passed over.
        PathGuard::Scope onPath(m_classPath, record.index[0]);
        Lumo::IteratorT<const Lumo::INorvNetClass> children;
        Lumo::Result childrenWalk;
        if (onPath.Entered() && it->GetIterChildNetClasses(children))
            collectNetClasses(children, globalList, childrenWalk);
    }
    return m_status;
}

TestStatus CNetClassesInScheme::checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme,
                                            const std::vector<NameIndexRecord>& globalList)
{
    static const unsigned failCodes[3] = {CDICErrors::T28_ERRINDEXOFSCHEME, CDICErrors::T28_ERRNAMEOFSCHEME,
                                          CDICErrors::T28_ERRITEROFNETCLASSESINSCHEME};
    Lumo::Index schemeIndex;
    std::vector<NameIndexRecord> schemeList;
    auto collect = [&](Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& rules, Lumo::Result& walk) {
        m_rulePath.Clear();
        collectSchemeNetClasses(rules, schemeList, globalList, schemeIndex, 0, walk);
    };
    if (!NorvRules::WalkSchemeRules(*this, scheme, &Lumo::INorvScheme::GetIterSchemaNetClassRules, failCodes,
                                    schemeIndex, collect))
        return m_status;
    return matchNetClasses(schemeList, globalList, schemeIndex);
}

TestStatus CNetClassesInScheme::collectSchemeNetClasses(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& it,
                                                        std::vector<NameIndexRecord>& schemeList,
                                                        const std::vector<NameIndexRecord>& globalList,
                                                        const Lumo::Index& schemeIndex, int depth, Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
    {
        NameIndexRecord record;
        if (!it->GetIndex(record.index[0]))
            return raiseError(CDICErrors::T28_ERRINDEXOFSCHEMENETCLASS);
        Lumo::ContainerT<const Lumo::INorvNetClass> parentClass;
        if (!it->GetParentNetClass(parentClass))
            return raiseError(CDICErrors::T28_ERRPARENTNETCLASSOFSCHEMENETCLASS);
        getSchemeNetClassName(it, record.index[0], record.name);
        if (!parentClass->GetIndex(record.index[3]))
            return raiseError(CDICErrors::T28_ERRINDEXOFPARENTNETCLASSOFSCHEMENETCLASS);

        if (depth == 0)
        {
            Lumo::ContainerT<const Lumo::INorvScheme> parentScheme;
            if (!it->GetParentScheme(parentScheme))
                return raiseError(CDICErrors::T28_ERRPARENTSCHEMEOFSCHEMENETCLASS);
            if (!parentScheme->GetIndex(record.index[1]))
                return raiseError(CDICErrors::T28_ERRINDEXOFPARENTSCHEMEOFSCHEMENETCLASS);
            if (record.index[1] != schemeIndex)
                raiseError(CDICErrors::T28_PARENTSCHEMEOFSCHEMENETCLASSDIFFERENTTHANEXAMINED);
        }
        schemeList.push_back(record);

        // Children that cannot be read, or a rule met again below itself, are passed over.
        PathGuard::Scope onPath(m_rulePath, record.index[0]);
        Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> children;
        Lumo::Result childrenWalk;
        if (onPath.Entered() && it->GetIterSchemeNetClassRuleChild(children))
            collectSchemeNetClasses(children, schemeList, globalList, schemeIndex, depth + 1, childrenWalk);
    }
    return m_status;
}

TestStatus CNetClassesInScheme::getSchemeNetClassName(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule,
                                                      const Lumo::Index& ruleIndex, std::string& name)
{
    Lumo::String own;
    if (!rule->GetName(own))
        return raiseError(CDICErrors::T28_ERRNAMEOFSCHEMENETCLASS);
    name = own.str();

    // The rules met on the way up; a chain that comes back to one of them ends there, as a parent
    // whose name cannot be read would end it. A parent whose index cannot be read is not known again.
    PathGuard chain;
    chain.Enter(ruleIndex);
    Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule> current = rule;
    Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule> parent;
    while (current->GetParentSchemeNetClassRule(parent))
    {
        Lumo::Index parentIndex;
        if (!parent->GetIndex(parentIndex))
            parentIndex = Lumo::Index();
        Lumo::String parentName;
        if (!chain.Enter(parentIndex) || !parent->GetName(parentName))
            return raiseError(CDICErrors::T28_ERRNAMEOFSCHEMENETCLASS);
        name = parentName.str() + "/" + name;
        current = parent;
    }
    return m_status;
}

TestStatus CNetClassesInScheme::matchNetClasses(const std::vector<NameIndexRecord>& schemeList,
                                                const std::vector<NameIndexRecord>& globalList,
                                                const Lumo::Index& schemeIndex)
{
    std::vector<int> counters(globalList.size(), 0);
    bool unmatchedRule = false;

    // The scheme's name as the findings show it, read when the first finding needs it.
    bool nameRead = false;
    std::string schemeName;
    auto nameOfScheme = [&]() -> const std::string& {
        if (!nameRead)
        {
            nameRead = true;
            schemeName = schemeNameOf(schemeIndex);
        }
        return schemeName;
    };

    for (const NameIndexRecord& rule : schemeList)
    {
        int matches = 0;
        auto found = m_globalByName.find(FoldCase(rule.name));
        if (found != m_globalByName.end())
        {
            const std::vector<std::size_t>& sameName = found->second;
            for (std::size_t g : sameName)
            {
                if (rule.index[3] == globalList[g].index[0])
                {
                    ++counters[g];
                    ++matches;
                    checkNetClassReachable(globalList[g], rule);
                }
                else if (sameName.size() == 1)
                {
                    // The one global net class of this name is not the rule's parent.
                    return raiseError(CDICErrors::T28_SCHEMENETCLASSNOTDERIVERFROMNETCLASSWITHSAMENAME,
                                      rule.index[0], rule.name);
                }
            }
        }
        if (matches == 0)
        {
            unmatchedRule = true;
            raiseError(CDICErrors::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, rule.index[0], rule.name,
                       schemeIndex, nameOfScheme());
        }
        else if (matches > 1)
        {
            raiseError(CDICErrors::T28_NETCLASSPROBABLYDUPLICATED, rule.index[0]);
        }
    }

    for (std::size_t g = 0; g < globalList.size(); ++g)
    {
        if (counters[g] == 0)
        {
            if (!unmatchedRule)
                raiseError(CDICErrors::T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS, globalList[g].index[0],
                           globalList[g].name, schemeIndex, nameOfScheme());
        }
        else if (counters[g] > 1)
        {
            raiseError(CDICErrors::T28_NETCLASSHASMANYCORRESPONDINGSCHEMENETCLASSES, globalList[g].index[0]);
        }
    }
    return m_status;
}

std::string CNetClassesInScheme::schemeNameOf(const Lumo::Index& schemeIndex)
{
    Lumo::ContainerT<const Lumo::INorvScheme> scheme;
    Lumo::String name;
    if (!m_uidManager.GetNorvScheme(scheme, schemeIndex) || !scheme->GetName(name))
        return std::string();
    return name.str();
}

TestStatus CNetClassesInScheme::checkNetClassReachable(const NameIndexRecord& /*globalRecord*/,
                                                       const NameIndexRecord& schemeRecord)
{
    const NorvRules::MappedIndexCache::Entry& mapped =
        m_mappedRules.Get(schemeRecord.index[3], [&](Lumo::ListT<Lumo::Index>& list) -> unsigned {
            Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
            if (!m_uidManager.GetNorvNetClass(netClass, schemeRecord.index[3]))
                return CDICErrors::T28_ERRNETCLASSFROMDESIGN;
            if (!netClass->GetSchemaNetClassMappedObjList(list))
                return CDICErrors::T28_ERRLISTOFNETCLASSESFROMSCHEMENETCLASS;
            return 0;
        });
    if (mapped.failCode != 0)
        return raiseError(static_cast<int>(mapped.failCode));
    if (!mapped.Contains(schemeRecord.index[0]))
        return raiseError(CDICErrors::T28_CANTREACHSCHEMENETCLASSFROMNETCLASS);
    return m_status;
}
