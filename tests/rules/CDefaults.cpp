#include "tests/rules/CDefaults.h"

#include "tests/rules/ConstraintDefinitions.h"

#include <unordered_map>

using Lumo::Index;
using Lumo::IteratorT;

std::map<int, std::vector<norv_ordaxcons::COrdaxConsDef*>> CDefaults::s_mapDefaults;

namespace
{

// The test whose definition set the map of defaults points into.
const CDefaults* s_mapOwner = nullptr;

struct OwnerLevel
{
    const char* owner;
    const char* level;
};

// Owner and level per object type; generic objects (43 to 45) have an entry without names.
const std::unordered_map<int, OwnerLevel>& ownerLevelTable()
{
    static const std::unordered_map<int, OwnerLevel> table = {
        {Lumo::OT_NorvDesign, {"DESIGN", "Design"}},
        {Lumo::OT_NorvLayer, {"LAYER", "Layer"}},
        {Lumo::OT_NorvNetClass, {"DESIGN", "NetClass"}},
        {Lumo::OT_NorvClearRule, {"DESIGN", "ClearRule"}},
        {Lumo::OT_NorvConstraintClass, {"ENET", "Rule"}},
        {Lumo::OT_NorvViaSpan, {"DESIGN", "ViaSpan"}},
        {Lumo::OT_NorvGenClear, {"DESIGN", "GenClear"}},
        {Lumo::OT_NorvPartTech, {"DESIGN", "PartTech"}},
        {Lumo::OT_NorvConstVar, {"DESIGN", "Const"}},
        {Lumo::OT_NorvC2CClearRule, {"CLASS_CLASS_RULE", "default"}},
        {Lumo::OT_NorvPkgTypeClearRule, {"DESIGN", "PkgTypeRule"}},
        {Lumo::OT_NorvP2PClearRule, {"PKGTYPE_PKGTYPE_RULE", "default"}},
        {Lumo::OT_NorvParRuleDef, {"DESIGN", "ParRuleDef"}},
        {Lumo::OT_NorvParRuleSection, {"DESIGN", "Seg"}},
        {Lumo::OT_NorvNoiseRule, {"PARALLEL_RULE", "NoiseRule"}},
        {Lumo::OT_NorvScheme, {"DESIGN", "Scheme"}},
        {Lumo::OT_NorvSchemeNetClassRule, {"SCHEME_CLASS_LAYER", "NetClass"}},
        {Lumo::OT_NorvViaAssign, {"SCHEME_CLASS_LAYER", "ViaAssign"}},
        {Lumo::OT_NorvLayerRule, {"SCHEME_CLASS_LAYER", "Layer"}},
        {Lumo::OT_NorvLayerClearRule, {"SCHEME_RULE_LAYER", "Layer"}},
        {Lumo::OT_NorvGenObjType, {nullptr, nullptr}},
        {Lumo::OT_NorvGenCompObj, {nullptr, nullptr}},
        {Lumo::OT_NorvGenObj, {nullptr, nullptr}},
        {Lumo::OT_NorvDiffPair, {"ENET", "DiffPair"}},
        {Lumo::OT_NorvElectricalNet, {"ENET", "ElecNet"}},
        {Lumo::OT_NorvPinPair, {"ENET", "PinPair"}},
        {Lumo::OT_NorvPhysicalNet, {"ENET", "Net"}},
        {Lumo::OT_NorvFromTo, {"ENET", "FromTo"}},
        {Lumo::OT_NorvComp, {"PART", "Comp"}},
        {Lumo::OT_NorvPin, {"ENET", "Pin"}},
        {Lumo::OT_NorvPart, {"PART", "Part"}},
        {Lumo::OT_NorvPartPin, {"PART", "PartPin"}},
        {Lumo::OT_NorvVia, {"DESIGN", "Via"}},
        {Lumo::OT_NorvPartPinPair, {"PART", "PartPinPair"}},
    };
    return table;
}

using LevelTypes = std::unordered_map<std::string, int>;

// Object type per (owner, level) of the definitions; an owner's "*" entry covers every level.
const std::unordered_map<std::string, LevelTypes>& ownerLevelTypes()
{
    static const std::unordered_map<std::string, LevelTypes> table = {
        {"ENET",
         {{"Rule", Lumo::OT_NorvConstraintClass}, {"DiffPair", Lumo::OT_NorvDiffPair}, {"ElecNet", Lumo::OT_NorvElectricalNet},
          {"Net", Lumo::OT_NorvPhysicalNet}, {"PinPair", Lumo::OT_NorvPinPair}, {"FromTo", Lumo::OT_NorvFromTo},
          {"Pin", Lumo::OT_NorvPin}}},
        {"PART",
         {{"Part", Lumo::OT_NorvPart}, {"PartPin", Lumo::OT_NorvPartPin}, {"Comp", Lumo::OT_NorvComp},
          {"PartPinPair", Lumo::OT_NorvPartPinPair}, {"EbdPin", 3}, {"CompPin", Lumo::OT_NorvPin}}},
        {"DESIGN",
         {{"Design", Lumo::OT_NorvDesign}, {"Const", Lumo::OT_NorvConstVar}, {"Var", Lumo::OT_NorvConstVar},
          {"GenClear", Lumo::OT_NorvGenClear}, {"Scheme", Lumo::OT_NorvScheme}, {"NetClass", Lumo::OT_NorvNetClass},
          {"Rule", Lumo::OT_NorvConstraintClass}, {"ClearRule", Lumo::OT_NorvClearRule}, {"Layer", Lumo::OT_NorvLayer},
          {"Via", Lumo::OT_NorvVia}, {"ViaSpan", Lumo::OT_NorvViaSpan}, {"ParRuleDef", Lumo::OT_NorvParRuleDef},
          {"PkgTypeRule", Lumo::OT_NorvPkgTypeClearRule}, {"Seg", Lumo::OT_NorvParRuleSection},
          {"PartTech", Lumo::OT_NorvPartTech}}},
        {"SCHEME_CLASS_LAYER",
         {{"Scheme", Lumo::OT_NorvScheme}, {"Layer", Lumo::OT_NorvLayerRule}, {"NetClass", Lumo::OT_NorvSchemeNetClassRule},
          {"ViaAssign", Lumo::OT_NorvViaAssign}}},
        {"SCHEME_RULE_LAYER",
         {{"Scheme", Lumo::OT_NorvScheme}, {"Layer", Lumo::OT_NorvLayerClearRule}, {"ClearRule", Lumo::OT_NorvSchemeClearRule}}},
        {"CLASS_CLASS_RULE", {{"*", Lumo::OT_NorvC2CClearRule}}},
        {"PKGTYPE_PKGTYPE_RULE", {{"*", Lumo::OT_NorvP2PClearRule}}},
        {"PARALLEL_RULE", {{"*", Lumo::OT_NorvNoiseRule}}},
        {"LAYER", {{"*", Lumo::OT_NorvLayer}}},
        {"ZAXIS_CLEARRULE", {{"ZClearRule", 2}, {"Layer", 1}}},
    };
    return table;
}

const Lumo::BitContainerT<Lumo::EConstraintIterType>& constraintSelection()
{
    static const Lumo::BitContainerT<Lumo::EConstraintIterType> selection(Lumo::CIT_All);
    return selection;
}

} // namespace

CDefaults::CDefaults()
{
    Lumo::Result::SetStringResultsEnabled(true);
}

CDefaults::~CDefaults()
{
    releaseDefinitions();
}

std::string CDefaults::getTestDescription() const
{
    return "Test checks default values of constraints";
}

std::string CDefaults::getTestName() const
{
    return "Default constraints";
}

std::string CDefaults::getTestShortName() const
{
    return "DefaultConstraints";
}

void CDefaults::releaseDefinitions()
{
    if (s_mapOwner == this) {
        s_mapDefaults.clear();
        s_mapOwner = nullptr;
    }
    m_pConsDefs.reset();
}

TestStatus CDefaults::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    releaseDefinitions();
    m_pConsDefs = consdefs::loadDefinitions(m_consFilePath);
    if (!m_pConsDefs) {
        raiseError(CDICErrors::T11_CANTLOADSPECIFIEDCNS);
        return m_status;
    }
    checkConfigurationObjects();
    checkDesignObjects();
    raiseStatus(OK);
    return m_status;
}

int CDefaults::objectTypeFromOwnerLevel(const std::string& owner, const std::string& level)
{
    const auto byOwner = ownerLevelTypes().find(owner);
    if (byOwner == ownerLevelTypes().end())
        return 0;
    const LevelTypes& levels = byOwner->second;
    const auto any = levels.find("*");
    if (any != levels.end())
        return any->second;
    const auto byLevel = levels.find(level);
    return byLevel == levels.end() ? 0 : byLevel->second;
}

bool CDefaults::ownerLevelFromObjectType(const int& type, std::string& owner, std::string& level)
{
    const auto entry = ownerLevelTable().find(type);
    if (entry == ownerLevelTable().end())
        return false;
    if (entry->second.owner) {
        owner = entry->second.owner;
        level = entry->second.level;
    }
    return true;
}

void CDefaults::buildDefaultsMap()
{
    s_mapDefaults.clear();
    s_mapOwner = this;
    for (norv_ordaxcons::COrdaxConsDef* definition : m_pConsDefs->GetConsDefs()) {
        const std::string& name = definition->GetName();
        if (definition->GetDefValue().empty() || definition->IsLUMODisabled() || name == "PCLASS" ||
            name == "CONSTRAINT_CLASS")
            continue;
        for (const std::string& ownerName : definition->GetOwners()) {
            norv_ordaxcons::COrdaxConsOwner* owner = m_pConsDefs->GetOwner(ownerName.c_str());
            if (!owner)
                continue;
            for (norv_ordaxcons::COrdaxConsOwnerLevel* level : owner->GetLevels()) {
                if (level->GetName() == "default" || definition->GetDisabled(owner, level))
                    continue;
                const int type = objectTypeFromOwnerLevel(ownerName, level->GetName());
                if (type)
                    s_mapDefaults[type].push_back(definition);
            }
        }
    }
}

void CDefaults::checkDefaultsPresent(const Lumo::IObjectNorv& object,
                                     const std::vector<norv_ordaxcons::COrdaxConsDef*>& definitions, const WalkCodes& codes,
                                     const Lumo::Result& valid)
{
    // A fresh name per object: a failed read never names the previous object.
    Lumo::String objectName;
    for (const norv_ordaxcons::COrdaxConsDef* definition : definitions) {
        Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
        // Present exactly when the look-up hands back a constraint, which it does when it succeeds.
        if (valid && object.GetConstraint(constraint, definition->GetName()))
            continue;
        if (!codes.name) {
            raiseError(codes.missing, definition->GetName());
            continue;
        }
        const Lumo::Result read = valid ? object.GetName(objectName) : valid;
        if (!read)
            raiseError(codes.name, read.GetDescription());
        raiseError(codes.missing, Index(), definition->GetName(), Index(), objectName);
    }
}

template <class T>
void CDefaults::checkWalk(const Lumo::Result& queried, IteratorT<const T>& objects, int type, const WalkCodes& codes)
{
    if (!queried) {
        raiseError(codes.read);
        return;
    }
    const auto entry = s_mapDefaults.find(type);
    if (entry == s_mapDefaults.end())
        return;
    Lumo::Result objectsWalk;
    for (; walkOn(objects, objectsWalk); ++objects)
        checkDefaultsPresent(*objects, entry->second, codes);
    if (!objectsWalk)
        raiseError(codes.read);
}

void CDefaults::checkConfigurationObjects()
{
    buildDefaultsMap();
    using E = CDICErrors;
    {
        IteratorT<const Lumo::INorvElectricalNet> it;
        const Lumo::Result r = m_config->GetIterElectricalNets(it);
        checkWalk(r, it, Lumo::OT_NorvElectricalNet, {E::T11_ERRITEROVERENETS, E::T11_ERRNAMEOFENET, E::T11_ERRDEFCONSTROFENET});
    }
    {
        IteratorT<const Lumo::INorvPhysicalNet> it;
        const Lumo::Result r = m_config->GetIterPhysicalNets(it);
        checkWalk(r, it, Lumo::OT_NorvPhysicalNet,
                  {E::T11_ERRITEROVERPHYSNETS, E::T11_ERRNAMEOFPHYSNET, E::T11_ERRDEFCONSTROFPHYSNET});
    }
    {
        IteratorT<const Lumo::INorvComp> it;
        const Lumo::Result r = m_config->GetIterNorvComps(it);
        checkWalk(r, it, Lumo::OT_NorvComp, {E::T11_ERRITERNORVCOMPS, E::T11_ERRNAMENORVCOMP, E::T11_ERRDEFCONSTROFNORVCOMP});
    }
    {
        IteratorT<const Lumo::INorvDiffPair> it;
        const Lumo::Result r = m_config->GetIterDiffPairs(it);
        checkWalk(r, it, Lumo::OT_NorvDiffPair, {E::T11_ERRITERDIFFPAIRS, E::T11_ERRNAMEDIFFPAIR, E::T11_ERRDEFOCONSTRDIFFPAIR});
    }
    {
        IteratorT<const Lumo::INorvPart> it;
        const Lumo::Result r = m_config->GetIterParts(it);
        checkWalk(r, it, Lumo::OT_NorvPart, {E::T11_ERRITERNORVPARTS, E::T11_ERRNAMENORVPART, E::T11_ERRDEFCONSTROFNORVPART});
    }
}

void CDefaults::checkDesignObjects()
{
    using E = CDICErrors;
    checkObjectConstraints(&*m_design, Lumo::String());
    {
        IteratorT<const Lumo::INorvLayer> it;
        const Lumo::Result r = m_design->GetIterLayers(it);
        checkWalk(r, it, Lumo::OT_NorvLayer, {E::T11_ERRITERLAYERS, E::T11_ERRNAMELAYER, E::T11_ERRDEFCONSTOFLAYER});
    }
    {
        IteratorT<const Lumo::INorvConstraintClass> it;
        const Lumo::Result r = m_design->GetIterConstraintClasses(it);
        checkWalk(r, it, Lumo::OT_NorvConstraintClass,
                  {E::T11_ERRITERCONSTRCLASS, E::T11_ERRNAMECONSTRCLASS, E::T11_ERRDEFCONSTROFCONSTRCLASS});
    }
    {
        IteratorT<const Lumo::INorvViaSpan> it;
        const Lumo::Result r = m_design->GetIterViaSpans(it);
        checkWalk(r, it, Lumo::OT_NorvViaSpan, {E::T11_ERRITERVIASPANS, E::T11_ERRNAMEVIASPAN, E::T11_ERRDEFCONSTRVIASPAN});
    }
    {
        IteratorT<const Lumo::INorvPkgTypeClearRule> it;
        const Lumo::Result r = m_design->GetIterPkgTypeClearRules(it);
        checkWalk(r, it, Lumo::OT_NorvPkgTypeClearRule,
                  {E::T11_ERRITERPKGTYPECLERRULE, E::T11_ERRNAMEPKGTYPECLERRULE, E::T11_ERRDEFCONSTRPKGTYPECLERRULE});
    }
    {
        IteratorT<const Lumo::INorvP2PClearRule> it;
        const Lumo::Result r = m_design->GetIterP2PClearRules(it);
        checkWalk(r, it, Lumo::OT_NorvP2PClearRule, {E::T11_ERRITERP2PCLEARRULE, 0, E::T11_ERRDEFCONSTRP2PCLEARRULE});
    }
    {
        IteratorT<const Lumo::INorvNoiseRule> it;
        const Lumo::Result r = m_design->GetIterNoiseRules(it);
        checkWalk(r, it, Lumo::OT_NorvNoiseRule, {E::T11_ERRITERNOISERULE, E::T11_ERRNAMENOISERULE, E::T11_ERRDEFCONSTRNOISERULE});
    }

    // The one general clearance. One that comes back not valid fails every read made through it,
    // with its own validity answer, and none is made.
    Lumo::ContainerT<const Lumo::INorvGenClear> genClear;
    if (!m_design->GetNorvGenClear(genClear)) {
        raiseError(E::T11_ERRGENCLEAR);
        return;
    }
    const auto entry = s_mapDefaults.find(Lumo::OT_NorvGenClear);
    if (entry != s_mapDefaults.end())
        checkDefaultsPresent(*genClear, entry->second, {E::T11_ERRGENCLEAR, E::T11_ERRNAMEGENCLEAR, E::T11_ERRDEFCONSTRGENCLEAR},
                             genClear.IsValid());
}

void CDefaults::checkObjectConstraints(const Lumo::IObjectNorv* object, Lumo::String objectName)
{
    using E = CDICErrors;
    if (!object) {
        raiseError(E::T11_OBJECTCONVERSIONERROR);
        return;
    }
    Index objectIndex;
    object->GetIndex(objectIndex);
    std::string ownerName;
    std::string levelName;
    if (!ownerLevelFromObjectType(static_cast<int>(objectIndex.GetType()), ownerName, levelName)) {
        raiseError(E::T11_UNKNOWNOBJECTTYPECONSTNOTVALIDATED, objectIndex);
        return;
    }
    norv_ordaxcons::COrdaxConsOwner* owner = m_pConsDefs->GetOwner(ownerName.c_str());
    norv_ordaxcons::COrdaxConsOwnerLevel* level = owner ? owner->GetLevel(levelName.c_str()) : nullptr;
    if (!level)
        return;

    IteratorT<const Lumo::INorvConstraint> constraint;
    Lumo::Result constraintWalk = object->GetIterConstraints(constraint, constraintSelection());
    for (; walkOn(constraint, constraintWalk); ++constraint) {
        Lumo::String name;
        if (!constraint->GetName(name)) {
            raiseError(E::T11_ERRCONSTRAINTNAME, objectIndex);
            continue;
        }
        if (name == "POWER_NET")
            continue;
        const norv_ordaxcons::COrdaxConsDef* definition = m_pConsDefs->GetConsDef(name.c_str());
        if (!definition)
            continue;
        const std::string path = consdefs::constraintPath(ownerName, levelName, objectName.str(), name.str());

        if (definition->GetDisabled(owner, level))
            raiseError(E::T11_FORBIDDENCONSTRAINT, Index(), path, objectIndex, "");

        Lumo::EConstraintType type = Lumo::CDT_Default;
        constraint->GetConstraintType(type);
        if (type != definition->GetLUMOConstDataType())
            raiseError(E::T11_MISMATCHEDCONSTRAINTTYPE, Index(), path, objectIndex, "");

        Index parentIndex;
        bool isDefinition = false;
        constraint->GetParentIndex(parentIndex);
        constraint->IsDefinition(isDefinition);
        if (!isDefinition && parentIndex.GetValue() != objectIndex.GetValue())
            raiseError(E::T11_MISMATCHEDPARENTINDEX, objectIndex, path, parentIndex, "");

        if (!consdefs::ValidChars::all().invalidChars(name.c_str()).empty())
            raiseError(E::T11_INVALIDCHARINCONSTRAINT, Index(), path, objectIndex, "");
    }
    if (!constraintWalk) {
        raiseError(E::T11_ERRITEROVERCONSTRAINTS, objectIndex);
        return;
    }
}
