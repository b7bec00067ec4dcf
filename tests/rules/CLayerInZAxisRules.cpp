#include "tests/rules/CLayerInZAxisRules.h"

#include "framework/CDICErrors.h"

CLayerInZAxisRules::CLayerInZAxisRules() = default;

CLayerInZAxisRules::~CLayerInZAxisRules() = default;

std::string CLayerInZAxisRules::getTestDescription() const
{
    return "Test checks if layer exists in all Z-axis clearance rules";
}

std::string CLayerInZAxisRules::getTestName() const
{
    return "Layer in all Z-axis clearance rules";
}

std::string CLayerInZAxisRules::getTestShortName() const
{
    return "LayerInAllZAxisRules";
}

TestStatus CLayerInZAxisRules::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_layersRead = false;
    m_layerNames.clear();
    m_layerNameCounts.clear();
    m_layersFailure = NorvRules::ReplayedFailure();

    // A design without the rule type has nothing to check.
    Lumo::ContainerT<const Lumo::INorvGenObjType> type;
    if (!findZAxisRuleType(type))
    {
        raiseStatus(OK);
        return m_status;
    }

    Lumo::IteratorT<const Lumo::INorvGenCompObj> rules;
    Lumo::Result rulesWalk = type->GetIterGenCompObjs(rules);
    for (; walkOn(rules, rulesWalk); ++rules)
        checkZAxisRule(rules);
    if (!rulesWalk)
        return raiseError(CDICErrors::T26_ERRITEROFZAXISRULES);

    raiseStatus(OK);
    return m_status;
}

bool CLayerInZAxisRules::findZAxisRuleType(Lumo::ContainerT<const Lumo::INorvGenObjType>& type)
{
    Lumo::IteratorT<const Lumo::INorvGenObjType> it;
    if (!m_design->GetIterGenObjTypes(it))
        return false;
    bool found = false;
    Lumo::Result itWalk;
    for (; walkOn(it, itWalk); ++it)
    {
        Lumo::String name;
        if (!it->GetName(name))
            return false;
        // Of several types of that name the last one counts.
        if (name == "ZAXIS_CLEARRULE")
        {
            type = it;
            found = true;
        }
    }
    if (!itWalk)
        return false;
    return found;
}

TestStatus CLayerInZAxisRules::checkZAxisRule(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& rule)
{
    Lumo::Index index;
    if (!rule->GetIndex(index))
        return raiseError(CDICErrors::T26_ERRINDEXOFZAXISRULE);
    Lumo::String name;
    if (!rule->GetName(name))
        return raiseError(CDICErrors::T26_ERRNAMEOFZAXISRULE, index);
    return checkZAxisRuleLayers(rule, name.str());
}

TestStatus CLayerInZAxisRules::checkZAxisRuleLayers(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& rule,
                                                    const std::string& ruleName)
{
    Lumo::IteratorT<const Lumo::INorvGenObj> objects;
    if (!rule->GetIterGenObjs(objects))
        return raiseError(CDICErrors::T26_ERRITERLAYERSOFZAXISRULE, ruleName);

    // Not reported: the findings then carry the empty index.
    Lumo::Index ruleIndex;
    rule->GetIndex(ruleIndex);

    std::vector<std::string> ruleLayers;
    std::unordered_map<std::string, int> ruleLayerCounts;
    Lumo::Result objectsWalk;
    for (; walkOn(objects, objectsWalk); ++objects)
    {
        Lumo::String name;
        if (!objects->GetName(name))
            return raiseError(CDICErrors::T26_ERRNAMELAYER);
        ruleLayers.push_back(name.str());
        ++ruleLayerCounts[name.str()];
    }
    if (!objectsWalk)
        return raiseError(CDICErrors::T26_ERRITERLAYERSOFZAXISRULE, ruleName);

    readDesignLayers();
    if (m_layersFailure.Failed())
        return m_layersFailure.RaiseOn(*this);

    for (const std::string& layer : m_layerNames)
    {
        auto found = ruleLayerCounts.find(layer);
        const int count = found == ruleLayerCounts.end() ? 0 : found->second;
        if (count == 0)
            raiseError(CDICErrors::T26_MISSINGLAYER, Lumo::Index(), layer, ruleIndex, ruleName);
        else if (count > 1)
            raiseError(CDICErrors::T26_MORETHANONELAYERINZAXISRULE, Lumo::Index(), layer, ruleIndex,
                       ruleName);
    }
    for (const std::string& entry : ruleLayers)
    {
        auto found = m_layerNameCounts.find(entry);
        const int count = found == m_layerNameCounts.end() ? 0 : found->second;
        if (count == 0)
            raiseError(CDICErrors::T26_UNKNOWNLAYERINZAXISRULE, Lumo::Index(), entry, Lumo::Index(),
                       ruleName);
        else if (count > 1)
            raiseError(CDICErrors::T26_MORETHANONELAYERINZAXISRULE_2, Lumo::Index(), entry, Lumo::Index(),
                       ruleName);
    }
    return m_status;
}

void CLayerInZAxisRules::readDesignLayers()
{
    NorvRules::ReadKeptList(m_layersRead, m_layersFailure, [this] { m_layerNames.clear(); m_layerNameCounts.clear(); }, [this] { walkDesignLayers(); });
}

void CLayerInZAxisRules::walkDesignLayers()
{
    Lumo::IteratorT<const Lumo::INorvLayer> it;
    Lumo::Result itWalk = m_design->GetIterLayers(it);
    for (; walkOn(it, itWalk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
            return m_layersFailure.Set(CDICErrors::T26_ERRINDEXLAYER, false, Lumo::Index());
        Lumo::ELayerType type{};
        if (!it->GetType(type))
            return m_layersFailure.Set(CDICErrors::T26_ERRTYPELAYER, true, index);
        if (type != 0)
            continue;
        Lumo::String name;
        if (!it->GetName(name))
            return m_layersFailure.Set(CDICErrors::T26_ERRNAMELAYER_2, true, index);
        m_layerNames.push_back(name.str());
        ++m_layerNameCounts[name.str()];
    }
    if (!itWalk)
        return m_layersFailure.Set(CDICErrors::T26_ERRITERLAYERSINDESIGN, false, Lumo::Index());
}
