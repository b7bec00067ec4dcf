#include "tests/rules/CLayerInAllClearRules.h"

#include "framework/CDICErrors.h"
#include "tests/rules/RuleWalk.h"

#include <cstdint>
#include <vector>

CLayerInAllClearRules::CLayerInAllClearRules() = default;

CLayerInAllClearRules::~CLayerInAllClearRules() = default;

std::string CLayerInAllClearRules::getTestDescription() const
{
    return "Test checks if layer exists in all clearance rules";
}

std::string CLayerInAllClearRules::getTestName() const
{
    return "Layer in all clearance rules";
}

std::string CLayerInAllClearRules::getTestShortName() const
{
    return "LayerInAllClearRules";
}

TestStatus CLayerInAllClearRules::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_layersRead = false;
    m_layers.Clear();
    m_layersFailure = NorvRules::ReplayedFailure();

    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    Lumo::Result schemesWalk = m_design->GetIterSchemes(schemes);
    for (; walkOn(schemes, schemesWalk); ++schemes)
        checkScheme(schemes);
    if (!schemesWalk)
        return raiseError(CDICErrors::T24_ERRITEROFSCHEMES);

    m_layers.Clear();
    raiseStatus(OK);
    return m_status;
}

TestStatus CLayerInAllClearRules::checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme)
{
    static const unsigned failCodes[3] = {CDICErrors::T24_ERRINDEXOFSCHEME, CDICErrors::T24_ERRNAMEOFSCHEME,
                                          CDICErrors::T24_ERRITERCLEARRULESINSCHEME};
    Lumo::Index index;
    NorvRules::WalkSchemeRules(*this, scheme, &Lumo::INorvScheme::GetIterSchemaClearRules, failCodes, index,
                               [&](Lumo::IteratorT<const Lumo::INorvSchemaClearRule>& rules, Lumo::Result& walk) {
                                   checkSchemaClearRules(rules, walk);
                               });
    return m_status;
}

TestStatus CLayerInAllClearRules::checkSchemaClearRules(Lumo::IteratorT<const Lumo::INorvSchemaClearRule>& it,
                                                        Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
        checkClearRuleLayers(it);
    return m_status;
}

TestStatus CLayerInAllClearRules::checkClearRuleLayers(const Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& rule)
{
    Lumo::Index ruleIndex;
    if (!rule->GetIndex(ruleIndex))
        return raiseError(CDICErrors::T24_ERRINDEXCLEARRULE);

    Lumo::IteratorT<const Lumo::INorvLayerClearRule> layerRules;
    if (!rule->GetIterLayerClearRules(layerRules))
        return raiseError(CDICErrors::T24_ERRITERLAYERCLEARRULESINSCHEMECLEARRULE);
    std::vector<NorvRules::RuleLayerEntry> ruleLayers;
    static const unsigned readCodes[4] = {CDICErrors::T24_ERRLAYERCLEARRULENUMBER, CDICErrors::T24_ERRLAYERCLEARRULEPARENTLAYER,
                                          CDICErrors::T24_ERRINDEXCLEARRULEPARENTLAYER,
                                          CDICErrors::T24_ERRITERLAYERCLEARRULESINSCHEMECLEARRULE};
    if (const unsigned failed = NorvRules::ReadRuleLayers(layerRules, readCodes, ruleLayers))
        return raiseError(static_cast<int>(failed));

    readDesignLayers();
    if (m_layersFailure.Failed())
        return m_layersFailure.RaiseOn(*this);

    struct Findings
    {
        CLayerInAllClearRules* test;
        const Lumo::Index& ruleIndex;

        void ParentMismatch(const NorvRules::RuleLayerEntry&)
        {
            test->raiseError(CDICErrors::T24_LAYEROBJECTSDIFFERENTFORSAMELAYERNUMBER);
        }
        void NumberMismatch(const NorvRules::RuleLayerEntry&)
        {
            test->raiseError(CDICErrors::T24_LAYERNUMBERSDIFFERENTFORSAMELAYEROBJECT);
        }
        void NoLayer(const NorvRules::RuleLayerEntry& entry)
        {
            test->raiseError(CDICErrors::T24_NOLAYERFORRULELAYER, entry.parentLayer);
        }
        void ManyLayers(const NorvRules::RuleLayerEntry& entry)
        {
            test->raiseError(CDICErrors::T24_MANYLAYERSFORRULELAYER, entry.parentLayer);
        }
        void Unused(const NorvRules::MetalLayerEntry&)
        {
            test->raiseError(CDICErrors::T24_SOMERULELAYERSMAPPEDTONOLAYERS, ruleIndex);
        }
        void Overused(const NorvRules::MetalLayerEntry&)
        {
            test->raiseError(CDICErrors::T24_MORERULELAYERSMAPPEDTOONELAYER, ruleIndex);
        }
    };
    Findings findings{this, ruleIndex};
    m_layers.Match(ruleLayers, findings);
    return m_status;
}

void CLayerInAllClearRules::readDesignLayers()
{
    NorvRules::ReadKeptList(m_layersRead, m_layersFailure, [this] { m_layers.Clear(); }, [this] { walkDesignLayers(); });
}

void CLayerInAllClearRules::walkDesignLayers()
{
    Lumo::IteratorT<const Lumo::INorvLayer> it;
    Lumo::Result itWalk = m_design->GetIterLayers(it);
    for (; walkOn(it, itWalk); ++it)
    {
        NorvRules::MetalLayerEntry layer{0, Lumo::Index(), std::string()};
        if (!it->GetIndex(layer.index))
            return m_layersFailure.Set(CDICErrors::T24_ERRLAYERINDEX, false, Lumo::Index());
        Lumo::ELayerType type{};
        if (!it->GetType(type))
            return m_layersFailure.Set(CDICErrors::T24_ERRTYPELAYERINDESIGN, true, layer.index);
        if (type != 0)
            continue;

        std::int32_t metallic = 0;
        if (!it->GetLayerNumber(layer.layerNumber))
            return m_layersFailure.Set(CDICErrors::T24_ERRLAYERNUMBER, false, Lumo::Index());
        if (!it->GetMetallicLayerNumber(metallic))
            return m_layersFailure.Set(CDICErrors::T24_ERRLAYERMETALLICNUMBER, false, Lumo::Index());
        if (metallic < 1)
            return m_layersFailure.Set(CDICErrors::T24_ERRMETALLICLAYERHASINVALIDNUMBER, true, layer.index, false);
        m_layers.Add(layer);
    }
    if (!itWalk)
        return m_layersFailure.Set(CDICErrors::T24_ERRITERLAYERSINDESIGN, false, Lumo::Index());
}
