#include "tests/rules/CLayerInAllNetClasses.h"

#include "framework/CDICErrors.h"

#include <cstdint>
#include <vector>

CLayerInAllNetClasses::CLayerInAllNetClasses() = default;

CLayerInAllNetClasses::~CLayerInAllNetClasses() = default;

std::string CLayerInAllNetClasses::getTestDescription() const
{
    return "Test checks if layer exists in all net classes";
}

std::string CLayerInAllNetClasses::getTestName() const
{
    return "Layer in all net classes";
}

std::string CLayerInAllNetClasses::getTestShortName() const
{
    return "LayerInAllNetClasses";
}

TestStatus CLayerInAllNetClasses::runTest(bool /*runArg*/)
{
    raiseStatus(TESTING);
    m_statusString = "";
    m_layersRead = false;
    m_layers.Clear();
    m_layersFailure = NorvRules::ReplayedFailure();
    m_path.Clear();

    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    Lumo::Result schemesWalk = m_design->GetIterSchemes(schemes);
    for (; walkOn(schemes, schemesWalk); ++schemes)
        checkScheme(schemes);
    if (!schemesWalk)
        return raiseError(CDICErrors::T25_ERRITEROFSCHEMES);

    m_layers.Clear();
    raiseStatus(OK);
    return m_status;
}

TestStatus CLayerInAllNetClasses::checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme)
{
    static const unsigned failCodes[3] = {CDICErrors::T25_ERRINDEXOFSCHEME, CDICErrors::T25_ERRNAMEOFSCHEME,
                                          CDICErrors::T25_ERRITERNETCLASSESINSCHEME};
    Lumo::Index index;
    NorvRules::WalkSchemeRules(*this, scheme, &Lumo::INorvScheme::GetIterSchemaNetClassRules, failCodes, index,
                               [&](Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& rules, Lumo::Result& walk) {
                                   checkNetClassRule(rules, walk);
                               });
    return m_status;
}

TestStatus CLayerInAllNetClasses::checkNetClassRule(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& it,
                                                    Lumo::Result& walk)
{
    for (; walkOn(it, walk); ++it)
    {
        checkNetClassLayers(it);
        checkNetClassChildren(it);
    }
    return m_status;
}

TestStatus CLayerInAllNetClasses::checkNetClassChildren(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule)
{
    Lumo::Index index;
    if (!rule->GetIndex(index))
        return raiseError(CDICErrors::T25_ERRINDEXSCHEMENETCLASS);

    // A rule met again below itself is reported as if its children could not be read.
    PathGuard::Scope onPath(m_path, index);
    Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> children;
    if (!onPath.Entered() || !rule->GetIterSchemeNetClassRuleChild(children))
        return raiseError(CDICErrors::T25_ERRLOWERLEVELSSCHEMENETCLASS, index);
    Lumo::Result walk;
    checkNetClassRule(children, walk);
    if (!walk)
        return raiseError(CDICErrors::T25_ERRLOWERLEVELSSCHEMENETCLASS, index);
    return m_status;
}

TestStatus CLayerInAllNetClasses::checkNetClassLayers(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule)
{
    Lumo::Index ruleIndex;
    if (!rule->GetIndex(ruleIndex))
        return raiseError(CDICErrors::T25_ERRINDEXOFSCHEMANETCLASSRULE);
    Lumo::String ruleName;
    if (!rule->GetName(ruleName))
        return raiseError(CDICErrors::T25_ERRNAMESCHEMENETCLASS);

    Lumo::IteratorT<const Lumo::INorvLayerRule> layerRules;
    if (!rule->GetIterLayerRules(layerRules))
        return raiseError(CDICErrors::T25_ERRITERLAYERRULESOFSCHEMANETCLASSRULE);
    std::vector<NorvRules::RuleLayerEntry> ruleLayers;
    static const unsigned readCodes[4] = {CDICErrors::T25_ERRLAYERRULENYMBER, CDICErrors::T25_ERRLAYERRULEPARENTLAYER,
                                          CDICErrors::T25_ERRINDEXLAYERRULEPARENTLAYER,
                                          CDICErrors::T25_ERRITERLAYERRULESOFSCHEMANETCLASSRULE};
    if (const unsigned failed = NorvRules::ReadRuleLayers(layerRules, readCodes, ruleLayers))
        return raiseError(static_cast<int>(failed));

    readDesignLayers();
    if (m_layersFailure.Failed())
        return m_layersFailure.RaiseOn(*this);

    struct Findings
    {
        CLayerInAllNetClasses* test;
        const Lumo::Index& ruleIndex;
        const std::string ruleName;

        void ParentMismatch(const NorvRules::RuleLayerEntry&)
        {
            test->raiseError(CDICErrors::T25_RULELAYERPARENTDOESNTMATCHLAYEROBJECT);
        }
        void NumberMismatch(const NorvRules::RuleLayerEntry&)
        {
            test->raiseError(CDICErrors::T25_RULELAYERNUMBERDOESNTMATCHLAYERNUMBER);
        }
        // The one pair names the layer number the layer rule asks for.
        void NoLayer(const NorvRules::RuleLayerEntry& entry)
        {
            test->raiseError(CDICErrors::T25_NOLAYERFORRULELAYER, Lumo::Index(),
                             NorvRules::NumberText(entry.layerNumber));
        }
        void ManyLayers(const NorvRules::RuleLayerEntry& entry)
        {
            test->raiseError(CDICErrors::T25_MANYLAYERSFORRULELAYER, Lumo::Index(),
                             NorvRules::NumberText(entry.layerNumber));
        }
        void Unused(const NorvRules::MetalLayerEntry& layer)
        {
            layerFinding(CDICErrors::T25_RULELAYERSMAPPEDTONOLAYERS, layer);
        }
        void Overused(const NorvRules::MetalLayerEntry& layer)
        {
            layerFinding(CDICErrors::T25_MANYRULELAYERSMAPPEDTOLAYER, layer);
        }
        void layerFinding(unsigned code, const NorvRules::MetalLayerEntry& layer)
        {
            // The third index carries the layer number, sign-extended, for the repair.
            const Lumo::Index number(static_cast<std::uint64_t>(static_cast<std::int64_t>(layer.layerNumber)));
            test->raiseError(static_cast<int>(code), Lumo::Index(), layer.name, ruleIndex, ruleName,
                             number, "");
        }
    };
    Findings findings{this, ruleIndex, ruleName.str()};
    m_layers.Match(ruleLayers, findings);
    return m_status;
}

void CLayerInAllNetClasses::readDesignLayers()
{
    NorvRules::ReadKeptList(m_layersRead, m_layersFailure, [this] { m_layers.Clear(); }, [this] { walkDesignLayers(); });
}

void CLayerInAllNetClasses::walkDesignLayers()
{
    Lumo::IteratorT<const Lumo::INorvLayer> it;
    Lumo::Result itWalk = m_design->GetIterLayers(it);
    for (; walkOn(it, itWalk); ++it)
    {
        Lumo::ELayerType type{};
        if (!it->GetType(type))
            return m_layersFailure.Set(CDICErrors::T25_ERRTYPEOFLAYER, true, Lumo::Index());
        if (type != 0)
            continue;

        NorvRules::MetalLayerEntry layer{0, Lumo::Index(), std::string()};
        std::int32_t metallic = 0;
        Lumo::String name;
        if (!it->GetLayerNumber(layer.layerNumber))
            return m_layersFailure.Set(CDICErrors::T25_ERRNUMBEROFLAYER, false, Lumo::Index());
        if (!it->GetMetallicLayerNumber(metallic))
            return m_layersFailure.Set(CDICErrors::T25_ERRMETALLICNUMBEROFLAYER, false, Lumo::Index());
        if (!it->GetIndex(layer.index))
            return m_layersFailure.Set(CDICErrors::T25_ERRINDEXOFLAYER_2, false, Lumo::Index());
        if (!it->GetName(name))
            return m_layersFailure.Set(CDICErrors::T25_ERRNAMEOFLAYER, false, Lumo::Index());
        layer.name = name.str();

        if (metallic < 1)
        {
            Lumo::ELayerType again{};
            if (!it->GetType(again))
                return m_layersFailure.Set(CDICErrors::T25_ERRTYPEOFLAYER_2, true, layer.index);
            if (again == 0)
                return m_layersFailure.Set(CDICErrors::T25_METALLICLAYERHASILLEGALNUMBER, true, layer.index, false);
        }
        m_layers.Add(layer);
    }
    if (!itWalk)
        return m_layersFailure.Set(CDICErrors::T25_ERRITERLAYERSFROMDESIGN, false, Lumo::Index());
}
