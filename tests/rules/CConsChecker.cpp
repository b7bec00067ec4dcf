#include "tests/rules/CConsChecker.h"

#include <array>
#include <map>

using Lumo::Index;
using Lumo::IteratorT;

namespace
{

struct LevelEntry
{
    const char* owner = nullptr;   // null: no entry for the type
    const char* level = nullptr;   // null with an owner: a generic object (never has a level)
    unsigned code = 0;
};

// Owner, level and mismatch diagnostic per object type; pins are handled apart (two owners).
const std::array<LevelEntry, 256>& levelTable()
{
    static const std::array<LevelEntry, 256> table = [] {
        std::array<LevelEntry, 256> t{};
        auto set = [&t](int type, const char* owner, const char* level, unsigned code) {
            t[type] = LevelEntry{owner, level, code};
        };
        set(Lumo::OT_NorvDesign, "DESIGN", "Design", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVDESIGN);
        set(Lumo::OT_NorvLayer, "LAYER", "Layer", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_LAYER);
        set(Lumo::OT_NorvNetClass, "DESIGN", "NetClass", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NETCLASS);
        set(Lumo::OT_NorvClearRule, "DESIGN", "ClearRule", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_CLEARRULE);
        set(Lumo::OT_NorvConstraintClass, "ENET", "Rule", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_CONSTRCLASS);
        set(Lumo::OT_NorvViaSpan, "DESIGN", "ViaSpan", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_VIASPAN);
        set(Lumo::OT_NorvGenClear, "DESIGN", "GenClear", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_GENCLEAR);
        set(Lumo::OT_NorvPartTech, "DESIGN", "PartTech", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_PARTTECH);
        set(Lumo::OT_NorvConstVar, "DESIGN", "Const", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_CONSTVAR);
        set(Lumo::OT_NorvC2CClearRule, "CLASS_CLASS_RULE", "default", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_C2CCLEARRULE);
        set(Lumo::OT_NorvPkgTypeClearRule, "DESIGN", "PkgTypeRule", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_PKGTYPECLEARRULE);
        set(Lumo::OT_NorvP2PClearRule, "PKGTYPE_PKGTYPE_RULE", "default", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_P2PCLEARRULE);
        set(Lumo::OT_NorvParRuleDef, "DESIGN", "ParRuleDef", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_PARRULEDEF);
        set(Lumo::OT_NorvParRuleSection, "PKGTYPE_PKGTYPE_RULE", "Seg", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_PARRULESECTION);
        set(Lumo::OT_NorvNoiseRule, "PARALLEL_RULE", "NoiseRule", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NOISERULE);
        set(Lumo::OT_NorvScheme, "DESIGN", "Scheme", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVSCHEME);
        set(Lumo::OT_NorvSchemeNetClassRule, "SCHEME_CLASS_LAYER", "NetClass", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_SCHEMENETCLASSRULE);
        set(Lumo::OT_NorvViaAssign, "SCHEME_CLASS_LAYER", "ViaAssign", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_VIAASSIGN);
        set(Lumo::OT_NorvLayerRule, "SCHEME_CLASS_LAYER", "Layer", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_LAYERRULE);
        set(Lumo::OT_NorvSchemeClearRule, "SCHEME_RULE_LAYER", "NetClass", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_SCHEMACLEARRULE);
        set(Lumo::OT_NorvLayerClearRule, "SCHEME_RULE_LAYER", "Layer", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_LAYERCLEARRULE);
        set(Lumo::OT_NorvGenObjType, "", nullptr, CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_GENOBJTYPE);
        set(Lumo::OT_NorvGenCompObj, "", nullptr, CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_GENCOMPOBJ);
        set(Lumo::OT_NorvGenObj, "", nullptr, CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_GENOBJ);
        set(Lumo::OT_NorvDiffPair, "ENET", "DiffPair", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_DIFFPAIR);
        set(Lumo::OT_NorvElectricalNet, "ENET", "ElecNet", CDICErrors::T54_NOLEVELFORTHISOWNER_ENET);
        set(Lumo::OT_NorvPinPair, "ENET", "PinPair", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_PINPAIR);
        set(Lumo::OT_NorvPhysicalNet, "ENET", "Net", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_PNET);
        set(Lumo::OT_NorvFromTo, "ENET", "FromTo", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_FROMTO);
        set(Lumo::OT_NorvComp, "PART", "Comp", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVCOMP);
        set(Lumo::OT_NorvPin, "ENET", "Pin", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVPIN);
        set(Lumo::OT_NorvPart, "PART", "Part", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVPART);
        set(Lumo::OT_NorvPartPin, "PART", "PartPin", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVPARTPIN);
        set(Lumo::OT_NorvVia, "DESIGN", "Via", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_VIA);
        set(Lumo::OT_NorvPartPinPair, "PART", "PartPinPair", CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_NORVPARTPINPAIR);
        return t;
    }();
    return table;
}

// The pin kinds walked on every physical net, each with the code of its failed walk; kind 5
// (unbalanced pin sets) is not walked.
struct PinWalk
{
    Lumo::ENorvPinType kind;
    unsigned code;
};

const PinWalk kPinWalks[] = {
    {Lumo::NPT_NetPin, CDICErrors::T54_ERRITEROVERPINSINPHYSNET},
    {Lumo::NPT_PinSetChained, CDICErrors::T54_ERRITEROVERPINSETCHAINSSINPHYSNET},
    {Lumo::NPT_PinSetT, CDICErrors::T54_ERRITEROVERPINSETTINPHYSNET},
    {Lumo::NPT_PinSetMst, CDICErrors::T54_ERRITEROVERPINSETMSTINPHYSNET},
    {Lumo::NPT_PinSetBalanced, CDICErrors::T54_ERRITEROVERPINSETBALANCEINPHYSNET},
    {Lumo::NPT_VirtualPin, CDICErrors::T54_ERRITEROVERVIRTUALSPININPHYSNET},
    {Lumo::NPT_GuidePin, CDICErrors::T54_ERRITEROVERGUIDEPINSINPHYSNET},
    {Lumo::NPT_EbdPin, CDICErrors::T54_ERRITEROVEREBDPINSINPHYSNET},
    {Lumo::NPT_BoundaryPin, CDICErrors::T54_ERRITEROVERBOUNDARYPINSINPHYSNET},
    {Lumo::NPT_VirtualPinSetPin, CDICErrors::T54_ERRITEROVERVIRTUALPINSETPINSINPHYSNET},
};

const Lumo::BitContainerT<Lumo::EConstraintIterType>& constraintSelection()
{
    static const Lumo::BitContainerT<Lumo::EConstraintIterType> selection(Lumo::CIT_All);
    return selection;
}

} // namespace

CConsChecker::CConsChecker() = default;

CConsChecker::~CConsChecker() = default;

std::string CConsChecker::getTestDescription() const
{
    return "Test checks consistency of constraints";
}

std::string CConsChecker::getTestName() const
{
    return "Constraints consistency";
}

std::string CConsChecker::getTestShortName() const
{
    return "ConsConsistency";
}

TestStatus CConsChecker::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    m_pConsDefs.reset();
    m_definitionConstraints.clear();
    for (LevelDefs& defs : m_levelDefs)
        defs.set = nullptr;
    m_pConsDefs = consdefs::loadDefinitions(m_consFilePath);
    if (m_pConsDefs) {
        checkConnectivity();
        checkDesign();
        raiseStatus(OK);
    } else {
        raiseError(CDICErrors::T54_CANTLOADSPECIFIEDCNSFILE);
    }
    return m_status;
}

bool CConsChecker::getLevelName(const Lumo::EObjectType& type, const std::string& owner, std::string& level)
{
    const int value = static_cast<int>(type);
    const LevelEntry* entry = (value >= 0 && value < 256) ? &levelTable()[value] : nullptr;
    if (!entry || !entry->owner) {
        raiseError(CDICErrors::T54_NOLEVELNAMEFORTHISOWNER_XXX, owner);
        return false;
    }
    if (type == Lumo::OT_NorvPin) {
        if (owner == "ENET")
            level = "Pin";
        else if (owner == "PART")
            level = "CompPin";
        else
            raiseError(entry->code, owner);
        return true;
    }
    if (entry->level && owner == entry->owner)
        level = entry->level;
    else
        raiseError(entry->code, owner);
    return true;
}

void CConsChecker::validateObjectConstraints(const Lumo::IObjectNorv* object, Lumo::String objectName, const char* owner)
{
    if (!object) {
        raiseError(CDICErrors::T54_ERRORINOBJECTCONVERSION);
        return;
    }
    Index objectIndex;
    object->GetIndex(objectIndex);
    const std::string ownerName(owner ? owner : "");
    std::string levelName;
    if (!getLevelName(objectIndex.GetType(), ownerName, levelName)) {
        raiseError(CDICErrors::T54_UNKNOWNOBJECTTYPE);
        return;
    }

    // The walks alternate between a few object types (a net, its pins, the next net), each always
    // with the same owner and level: their definitions are looked up once per type.
    LevelDefs& defs = m_levelDefs[static_cast<unsigned char>(objectIndex.GetType())];
    if (defs.set != m_pConsDefs.get() || ownerName != defs.owner || levelName != defs.level) {
        defs.ownerDef = m_pConsDefs ? m_pConsDefs->GetOwner(ownerName.c_str()) : nullptr;
        defs.levelDef = defs.ownerDef ? defs.ownerDef->GetLevel(levelName.c_str()) : nullptr;
        defs.set = m_pConsDefs.get();
        defs.owner = ownerName;
        defs.level = levelName;
        defs.names.clear();
    }
    if (!defs.levelDef)
        return;

    IteratorT<const Lumo::INorvConstraint> constraint;
    Lumo::Result constraintWalk = object->GetIterConstraints(constraint, constraintSelection());
    for (std::size_t position = 0; walkOn(constraint, constraintWalk); ++constraint, ++position) {
        Lumo::String name;
        if (!constraint->GetName(name)) {
            raiseError(CDICErrors::T54_UNKNOWNCONSTRAINTNAMECONSTRAINTNOTVALIDATED, Index(), objectName);
            continue;
        }
        Index constraintIndex;
        Index parentIndex;
        constraint->GetIndex(constraintIndex);
        constraint->GetParentIndex(parentIndex);
        NameFacts& facts = factsOf(defs, position, name);
        if (facts.powerNet)
            continue;

        bool isDefinition = false;
        constraint->IsDefinition(isDefinition);
        if (!isDefinition && !facts.definitionFound) {
            if (!m_definitionConstraints.exists(m_pSession, name)) {
                raiseError(CDICErrors::T54_CANTGETCONSTRAINTDEFINITIONCONSTRAINTNOTVALIDATED);
                continue;
            }
            facts.definitionFound = true;
        }

        // The path names the constraint in findings only: it is built for the first one.
        std::string path;
        const auto pathOf = [&]() -> const std::string& {
            if (path.empty())
                path = consdefs::constraintPath(ownerName, levelName, objectName.str(), name.str());
            return path;
        };
        const norv_ordaxcons::COrdaxConsDef* definition = facts.definition;
        if (!definition) {
            raiseError(CDICErrors::T54_ADDEDNONSTANDARDCONSTRAINT, pathOf());
            continue;
        }

        if (facts.ownerListed) {
            if (facts.disabled)
                raiseError(CDICErrors::T54_FORBIDDENCONSTRAINT, Index(), pathOf(), constraintIndex, "",
                           parentIndex.IsEmpty() ? objectIndex : parentIndex, "");

            Lumo::EConstraintType type = Lumo::CDT_Default;
            constraint->GetConstraintType(type);
            if (type != definition->GetLUMOConstDataType())
                raiseError(CDICErrors::T54_MISMATCHINCONSTRAINTTYPE_2, pathOf());

            if (isDefinition) {
                if (parentIndex.GetValue() != 0)
                    raiseError(CDICErrors::T54_MISMATCHINPARENTINDEXDEFHASPARENT, Index(), (pathOf() + "   (%I)"),
                               objectIndex, "");
            } else if (parentIndex.GetValue() != objectIndex.GetValue()) {
                raiseError(CDICErrors::T54_MISMATCHINPARENTINDEX, Index(), pathOf(), objectIndex, name,
                           constraintIndex, "");
            }
        }

        if (!facts.invalidChars.empty())
            raiseError(CDICErrors::T54_INVALIDCHARINCONSTRAINT, Index(), facts.invalidChars, Index(),
                       pathOf());
    }
    if (!constraintWalk) {
        raiseError(CDICErrors::T54_SOMECONSTRAINTSNOTVALIDATED);
        return;
    }
}

CConsChecker::NameFacts& CConsChecker::factsOf(LevelDefs& defs, std::size_t position, const Lumo::String& name)
{
    if (position >= defs.names.size())
        defs.names.resize(position + 1);
    NameFacts& facts = defs.names[position];
    if (facts.known && name == facts.name)
        return facts;
    facts = NameFacts();
    facts.known = true;
    facts.name = name.str();
    facts.powerNet = name == "POWER_NET";
    facts.definition = m_pConsDefs->GetConsDef(name.c_str());
    if (facts.definition) {
        facts.ownerListed = consdefs::isOwnerListed(*facts.definition, defs.owner);
        facts.disabled = facts.ownerListed && facts.definition->GetDisabled(defs.ownerDef, defs.levelDef);
    }
    facts.invalidChars = consdefs::ValidChars::all().invalidChars(name.c_str());
    return facts;
}

template <class T>
void CConsChecker::visit(const Lumo::ContainerT<const T>& object, const char* owner, bool named)
{
    // A fresh name per object: a failed read never carries the previous object's name.
    Lumo::String name;
    if (named)
        object->GetName(name);
    validateObjectConstraints(&*object, name, owner);
}

bool CConsChecker::checkPhysicalNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net)
{
    visit(net, "ENET", true);

    IteratorT<const Lumo::INorvFromTo> fromTo;
    Lumo::Result fromToWalk = net->GetIterFromTos(fromTo);
    for (; walkOn(fromTo, fromToWalk); ++fromTo)
        visit(fromTo, "ENET", true);
    if (!fromToWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERFROMTOSINPHYSNET);
        return false;
    }

    for (const PinWalk& walk : kPinWalks) {
        IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, Lumo::BitContainerT<Lumo::ENorvPinType>(walk.kind));
        for (; walkOn(pin, pinWalk); ++pin)
            visit(pin, "ENET", true);
        if (!pinWalk) {
            raiseError(walk.code);
            return false;
        }
    }
    return true;
}

bool CConsChecker::checkElectricalNet(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net)
{
    visit(net, "ENET", true);

    IteratorT<const Lumo::INorvPhysicalNet> physicalNet;
    Lumo::Result physicalNetWalk = net->GetIterPhysicalNets(physicalNet);
    for (; walkOn(physicalNet, physicalNetWalk); ++physicalNet)
        if (!checkPhysicalNet(physicalNet))
            return false;
    if (!physicalNetWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERPHYSNETSINELECNET);
        return false;
    }

    const struct
    {
        Lumo::EPinPairType type;
        unsigned code;
    } pairWalks[] = {{Lumo::PPT_Ordinary, CDICErrors::T54_ERRITEROVERPINPAIRSINELECNET},
                     {Lumo::PPT_Connection, CDICErrors::T54_ERRITEROVERCONNECTIONPINPAIRSINELECNET}};
    for (const auto& walk : pairWalks) {
        IteratorT<const Lumo::INorvPinPair> pinPair;
        Lumo::Result pinPairWalk = net->GetIterPinPairs(pinPair, Lumo::BitContainerT<Lumo::EPinPairType>(walk.type));
        for (; walkOn(pinPair, pinPairWalk); ++pinPair)
            visit(pinPair, "ENET", true);
        if (!pinPairWalk) {
            raiseError(walk.code);
            return false;
        }
    }
    return true;
}

void CConsChecker::checkConnectivity()
{
    IteratorT<const Lumo::INorvElectricalNet> electricalNet;
    Lumo::Result electricalNetWalk = m_config->GetIterElectricalNets(electricalNet);
    for (; walkOn(electricalNet, electricalNetWalk); ++electricalNet)
        if (!checkElectricalNet(electricalNet))
            return;
    if (!electricalNetWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERELECNETS);
        return;
    }

    IteratorT<const Lumo::INorvDiffPair> diffPair;
    Lumo::Result diffPairWalk = m_config->GetIterDiffPairs(diffPair);
    for (; walkOn(diffPair, diffPairWalk); ++diffPair)
        visit(diffPair, "ENET", true);
    if (!diffPairWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERDIFFPAIRSINNORVCFG);
        return;
    }

    IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);
    for (; walkOn(comp, compWalk); ++comp)
        visit(comp, "PART", true);
    if (!compWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERCOMPSINNORVCFG);
        return;
    }

    IteratorT<const Lumo::INorvPart> part;
    Lumo::Result partWalk = m_config->GetIterParts(part);
    for (; walkOn(part, partWalk); ++part) {
        visit(part, "PART", true);
        IteratorT<const Lumo::INorvPartPin> partPin;
        Lumo::Result partPinWalk = part->GetIterPartPins(partPin);
        for (; walkOn(partPin, partPinWalk); ++partPin)
            visit(partPin, "PART", true);
        if (!partPinWalk) {
            raiseError(CDICErrors::T54_ERRITEROVERPARTPINSINPART);
            return;
        }
    }
    if (!partWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERPARTSINNORVCFG);
        return;
    }
    raiseStatus(OK);
}

bool CConsChecker::checkParallelRuleDefinitions()
{
    IteratorT<const Lumo::INorvParRuleDef> definition;
    Lumo::Result definitionWalk = m_design->GetIterParRuleDefs(definition);
    unsigned withSections = 0;
    std::map<Index, Lumo::String> withoutSections;
    for (; walkOn(definition, definitionWalk); ++definition) {
        IteratorT<const Lumo::INorvParRuleSection> section;
        if (!definition->GetIterParRuleSections(section)) {
            raiseError(CDICErrors::T54_ERRITEROVERPARRULESECTIONSINDESIGN);
            continue;
        }
        unsigned sections = 0;
        Lumo::Result sectionWalk;
        for (; walkOn(section, sectionWalk); ++section, ++sections)
            visit(section, "PKGTYPE_PKGTYPE_RULE", true);
        if (!sectionWalk) {
            raiseError(CDICErrors::T54_ERRITEROVERPARRULESECTIONSINDESIGN);
            continue;
        }
        if (sections) {
            ++withSections;
            continue;
        }
        Index index;
        Lumo::String name;
        definition->GetIndex(index);
        definition->GetName(name);
        withoutSections[index] = name;
    }
    if (!definitionWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERPARRULEDEFSINDESIGN);
        return false;
    }
    if (!withoutSections.empty()) {
        if (withSections == 0)
            raiseError(CDICErrors::T57_PARRULEDEF_INVALID_ALL);
        else
            for (const auto& entry : withoutSections)
                raiseError(CDICErrors::T57_PARRULEDEF_INVALID, entry.first, entry.second);
    }
    return true;
}

bool CConsChecker::checkSchemes()
{
    IteratorT<const Lumo::INorvScheme> scheme;
    Lumo::Result schemeWalk = m_design->GetIterSchemes(scheme);
    for (; walkOn(scheme, schemeWalk); ++scheme) {
        IteratorT<const Lumo::INorvSchemaNetClassRule> netClassRule;
        Lumo::Result netClassRuleWalk = scheme->GetIterSchemaNetClassRules(netClassRule);
        for (; walkOn(netClassRule, netClassRuleWalk); ++netClassRule) {
            visit(netClassRule, "SCHEME_CLASS_LAYER", true);
            IteratorT<const Lumo::INorvViaAssign> viaAssign;
            Lumo::Result viaAssignWalk = netClassRule->GetIterViaAssigns(viaAssign);
            for (; walkOn(viaAssign, viaAssignWalk); ++viaAssign)
                visit(viaAssign, "SCHEME_CLASS_LAYER", true);
            if (!viaAssignWalk) {
                raiseError(CDICErrors::T54_ERRITEROVERVIAASSIGNSINSCHEME);
                return false;
            }
            IteratorT<const Lumo::INorvLayerRule> layerRule;
            Lumo::Result layerRuleWalk = netClassRule->GetIterLayerRules(layerRule);
            for (; walkOn(layerRule, layerRuleWalk); ++layerRule)
                visit(layerRule, "SCHEME_CLASS_LAYER", false);
            if (!layerRuleWalk) {
                raiseError(CDICErrors::T54_ERRITEROVERLAYERRULESINSCHEMENETCLASS);
                return false;
            }
        }
        if (!netClassRuleWalk) {
            raiseError(CDICErrors::T54_ERRITEROVERSCHEMANETCLASSRULESINSCHEME);
            return false;
        }

        IteratorT<const Lumo::INorvSchemaClearRule> clearRule;
        Lumo::Result clearRuleWalk = scheme->GetIterSchemaClearRules(clearRule);
        for (; walkOn(clearRule, clearRuleWalk); ++clearRule) {
            visit(clearRule, "SCHEME_RULE_LAYER", true);
            IteratorT<const Lumo::INorvLayerClearRule> layerClearRule;
            Lumo::Result layerClearRuleWalk = clearRule->GetIterLayerClearRules(layerClearRule);
            for (; walkOn(layerClearRule, layerClearRuleWalk); ++layerClearRule)
                visit(layerClearRule, "SCHEME_RULE_LAYER", false);
            if (!layerClearRuleWalk) {
                raiseError(CDICErrors::T54_ERRITEROVERLAYERRULESINSCHEMECLEARRULE);
                return false;
            }
        }
        if (!clearRuleWalk) {
            raiseError(CDICErrors::T54_ERRITEROVERSCHEMACLEARRULESINSCHEME);
            return false;
        }
    }
    if (!schemeWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERSCHEMESINDESIGN);
        return false;
    }
    return true;
}

void CConsChecker::checkDesign()
{
    validateObjectConstraints(&*m_design, Lumo::String(), "DESIGN");

    IteratorT<const Lumo::INorvLayer> layer;
    Lumo::Result layerWalk = m_design->GetIterLayers(layer);
    for (; walkOn(layer, layerWalk); ++layer)
        visit(layer, "LAYER", true);
    if (!layerWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERLAYERSINDESIGN);
        return;
    }

    IteratorT<const Lumo::INorvViaSpan> viaSpan;
    Lumo::Result viaSpanWalk = m_design->GetIterViaSpans(viaSpan);
    for (; walkOn(viaSpan, viaSpanWalk); ++viaSpan)
        visit(viaSpan, "DESIGN", true);
    if (!viaSpanWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERVIASPANSINDESIGN);
        return;
    }

    IteratorT<const Lumo::INorvC2CClearRule> c2cRule;
    Lumo::Result c2cRuleWalk = m_design->GetIterC2CClearRules(c2cRule);
    for (; walkOn(c2cRule, c2cRuleWalk); ++c2cRule)
        visit(c2cRule, "CLASS_CLASS_RULE", false);
    if (!c2cRuleWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERC2CCLEARRULESINDESIGN);
        return;
    }

    IteratorT<const Lumo::INorvPkgTypeClearRule> pkgTypeRule;
    Lumo::Result pkgTypeRuleWalk = m_design->GetIterPkgTypeClearRules(pkgTypeRule);
    for (; walkOn(pkgTypeRule, pkgTypeRuleWalk); ++pkgTypeRule)
        visit(pkgTypeRule, "DESIGN", true);
    if (!pkgTypeRuleWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERPKGTYPECLEARRULESINDESIGN);
        return;
    }

    IteratorT<const Lumo::INorvP2PClearRule> p2pRule;
    Lumo::Result p2pRuleWalk = m_design->GetIterP2PClearRules(p2pRule);
    for (; walkOn(p2pRule, p2pRuleWalk); ++p2pRule)
        visit(p2pRule, "PKGTYPE_PKGTYPE_RULE", false);
    if (!p2pRuleWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERP2PCLEARRULESINDESIGN);
        return;
    }

    if (!checkParallelRuleDefinitions())
        return;

    IteratorT<const Lumo::INorvNoiseRule> noiseRule;
    Lumo::Result noiseRuleWalk = m_design->GetIterNoiseRules(noiseRule);
    for (; walkOn(noiseRule, noiseRuleWalk); ++noiseRule)
        visit(noiseRule, "PARALLEL_RULE", false);
    if (!noiseRuleWalk) {
        raiseError(CDICErrors::T54_ERRITEROVERNOISERULESINDESIGN);
        return;
    }

    if (!checkSchemes())
        return;
    raiseStatus(OK);
}
