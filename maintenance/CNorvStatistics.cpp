#include "maintenance/CNorvStatistics.h"

#include "framework/IKravikLog.h"
#include "framework/ReadThrough.h"

#include "quilflow/QuilFlowID.h"
#include "utils/TextUtils.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

using Lumo::ContainerT;
using Lumo::IteratorT;

namespace
{

// The counted kinds: the connectivity kinds first, then the design kinds.
enum StatKind
{
    ElectricalNet,
    PhysicalNet,
    FromTo,
    NetPin,
    VirtualPin,
    GuidePin,
    PinSetChained,
    PinSetMst,
    PinSetT,
    PinSetBalanced,
    PinSetUnbalanced,
    PinPair,
    DiffPair,
    Component,
    ComponentPin,
    Part,
    PartPin,
    PartPinPair,
    Design, // the first design kind
    Layer,
    Via,
    ViaSpan,
    ClearRule,
    PartTech,
    ConstVar,
    C2CClearRule,
    ZAxisC2CClearRule,
    PkgTypeClearRule,
    P2PClearRule,
    ParRuleDef,
    ParRuleSection,
    NoiseRule,
    Scheme,
    SchemaNetClassRule,
    ViaAssign,
    LayerRule,
    SchemaClearRule,
    LayerClearRule,
    NetClass,
    ConstraintClass,
    ZAxisClearRule,
    ZAxisLayerRule,
    TopoTemplate,
    DiffPairTemplate,
    TemplateDevice,
    TemplateNet,
    TemplatePinPairs,
    TemplateFromTos,
    TemplatePinPair,
    TemplateFromTo,
    TemplatePin,
    TemplateEbdPin,
    TemplatePinSetPin,
    CustomTab,
    CustomObject,
    GenClear,
    KindCount
};

struct KindCounters
{
    int objectCount = 0;
    int constraintCount = 0;
    int defaultConstraintCount = 0;
};

// The counters of one statistics run, shared by the process.
struct StatCounterBlock
{
    KindCounters kinds[KindCount];
    int unpackagedComponentCount = 0;
    int metallicLayerCount = 0;
    int connectivityAttributeCount = 0;
    int designAttributeCount = 0;
};

StatCounterBlock g_stats;

enum ObjectInfo
{
    NO_INFO,         // counted only
    FULL_INFO,       // constraints, defaults and attributes
    ATTRIBUTES_ONLY, // attributes only
};

// The pin kinds of a physical net, in the order they are counted.
const std::pair<Lumo::ENorvPinType, StatKind> kNetPinKinds[] = {
    {Lumo::NPT_NetPin, NetPin},          {Lumo::NPT_VirtualPin, VirtualPin},
    {Lumo::NPT_GuidePin, GuidePin},      {Lumo::NPT_PinSetChained, PinSetChained},
    {Lumo::NPT_PinSetMst, PinSetMst},    {Lumo::NPT_PinSetT, PinSetT},
    {Lumo::NPT_PinSetBalanced, PinSetBalanced}, {Lumo::NPT_PinSetUnbalanced, PinSetUnbalanced},
};

// The levels of template objects and generic objects, in the order they are compared.
const std::pair<const char*, StatKind> kTemplateLevels[] = {
    {"TopoTemplate", TopoTemplate}, {"DiffPairTemplate", DiffPairTemplate}, {"Device", TemplateDevice},
    {"Net", TemplateNet},           {"PinPairs", TemplatePinPairs},         {"FromTos", TemplateFromTos},
};
const std::pair<const char*, StatKind> kTemplateObjectLevels[] = {
    {"PinPair", TemplatePinPair}, {"FromTo", TemplateFromTo},       {"Pin", TemplatePin},
    {"EbdPin", TemplateEbdPin},   {"PinSetPin", TemplatePinSetPin},
};

// What one line of the report shows.
enum LineValue
{
    OBJECTS,
    CONSTRAINTS,
    UNPACKAGED,
    METALLIC,
    DIELECTRIC,
};

struct ReportLine
{
    const char* name;
    StatKind kind;
    LineValue value;
};

const char* const kSub = "   Constraints";

const std::vector<ReportLine>& connectivityLines()
{
    static const std::vector<ReportLine> lines = {
        {"Electrical nets", ElectricalNet, OBJECTS},
        {kSub, ElectricalNet, CONSTRAINTS},
        {"Physical nets", PhysicalNet, OBJECTS},
        {kSub, PhysicalNet, CONSTRAINTS},
        {"PinPairs", PinPair, OBJECTS},
        {kSub, PinPair, CONSTRAINTS},
        {"Differential pairs", DiffPair, OBJECTS},
        {kSub, DiffPair, CONSTRAINTS},
        {"FromTos", FromTo, OBJECTS},
        {kSub, FromTo, CONSTRAINTS},
        {"Net pins", NetPin, OBJECTS},
        {kSub, NetPin, CONSTRAINTS},
        {"Virtual pins", VirtualPin, OBJECTS},
        {kSub, VirtualPin, CONSTRAINTS},
        {"Guide pins", GuidePin, OBJECTS},
        {kSub, GuidePin, CONSTRAINTS},
        {"Pin sets (T topology)", PinSetT, OBJECTS},
        {kSub, PinSetT, CONSTRAINTS},
        {"Pin sets (Chained topology)", PinSetChained, OBJECTS},
        {kSub, PinSetChained, CONSTRAINTS},
        {"Pin sets (MST topology)", PinSetMst, OBJECTS},
        {kSub, PinSetMst, CONSTRAINTS},
        {"Pin sets (Balanced topology)", PinSetBalanced, OBJECTS},
        {kSub, PinSetBalanced, CONSTRAINTS},
        {"Pin sets (Unbalanced topology)", PinSetUnbalanced, OBJECTS},
        {kSub, PinSetUnbalanced, CONSTRAINTS},
        {"Parts", Part, OBJECTS},
        {kSub, Part, CONSTRAINTS},
        {"Part pins", PartPin, OBJECTS},
        {kSub, PartPin, CONSTRAINTS},
        {"Part pin pairs", PartPinPair, OBJECTS},
        {kSub, PartPinPair, CONSTRAINTS},
        {"Components", Component, OBJECTS},
        {kSub, Component, CONSTRAINTS},
        {"Component pins", ComponentPin, OBJECTS},
        {kSub, ComponentPin, CONSTRAINTS},
        {"Unpackaged components", Component, UNPACKAGED},
    };
    return lines;
}

const std::vector<ReportLine>& designLines()
{
    static const std::vector<ReportLine> lines = {
        {kSub, Design, CONSTRAINTS},
        {"Layers", Layer, OBJECTS},
        {"   Metallic layers", Layer, METALLIC},
        {"   Dielectric layers", Layer, DIELECTRIC},
        {kSub, Layer, CONSTRAINTS},
        {"Net classes", NetClass, OBJECTS},
        {"Clearance rules", ClearRule, OBJECTS},
        {"Constraint classes", ConstraintClass, OBJECTS},
        {kSub, ConstraintClass, CONSTRAINTS},
        {"Vias", Via, OBJECTS},
        {"Via spans", ViaSpan, OBJECTS},
        {kSub, ViaSpan, CONSTRAINTS},
        {"General clearance", GenClear, OBJECTS},
        {kSub, GenClear, CONSTRAINTS},
        {"Technology parts", PartTech, OBJECTS},
        {"Constants/Variables", ConstVar, OBJECTS},
        {"C2C clear rules", C2CClearRule, OBJECTS},
        {kSub, C2CClearRule, CONSTRAINTS},
        {"Z-axis C2C clear rules", ZAxisC2CClearRule, OBJECTS},
        {kSub, ZAxisC2CClearRule, CONSTRAINTS},
        {"Package type clear rules", PkgTypeClearRule, OBJECTS},
        {kSub, PkgTypeClearRule, CONSTRAINTS},
        {"P2P clear rules", P2PClearRule, OBJECTS},
        {kSub, P2PClearRule, CONSTRAINTS},
        {"Parallel rule definitions", ParRuleDef, OBJECTS},
        {"Parallel rule sections", ParRuleSection, OBJECTS},
        {kSub, ParRuleSection, CONSTRAINTS},
        {"Noise rules", NoiseRule, OBJECTS},
        {kSub, NoiseRule, CONSTRAINTS},
        {"Schemes", Scheme, OBJECTS},
        {"Schema net class rules", SchemaNetClassRule, OBJECTS},
        {kSub, SchemaNetClassRule, CONSTRAINTS},
        {"Via Assigns", ViaAssign, OBJECTS},
        {kSub, ViaAssign, CONSTRAINTS},
        {"Layer Rules", LayerRule, OBJECTS},
        {kSub, LayerRule, CONSTRAINTS},
        {"Schema clear rules", SchemaClearRule, OBJECTS},
        {kSub, SchemaClearRule, CONSTRAINTS},
        {"Layer clear rules", LayerClearRule, OBJECTS},
        {kSub, LayerClearRule, CONSTRAINTS},
        {"Z-axis clear rules", ZAxisClearRule, OBJECTS},
        {kSub, ZAxisClearRule, CONSTRAINTS},
        {"Z-axis layers", ZAxisLayerRule, OBJECTS},
        {kSub, ZAxisLayerRule, CONSTRAINTS},
        {"Topology templates", TopoTemplate, OBJECTS},
        {kSub, TopoTemplate, CONSTRAINTS},
        {"DiffPair templates", DiffPairTemplate, OBJECTS},
        {kSub, DiffPairTemplate, CONSTRAINTS},
        {"Topology templates : Device", TemplateDevice, OBJECTS},
        {kSub, TemplateDevice, CONSTRAINTS},
        {"Topology templates : Net", TemplateNet, OBJECTS},
        {kSub, TemplateNet, CONSTRAINTS},
        {"Topology templates : PinPairs", TemplatePinPairs, OBJECTS},
        {kSub, TemplatePinPairs, CONSTRAINTS},
        {"Topology templates : PinPair", TemplatePinPair, OBJECTS},
        {kSub, TemplatePinPair, CONSTRAINTS},
        {"Topology templates : FromTos", TemplateFromTos, OBJECTS},
        {kSub, TemplateFromTos, CONSTRAINTS},
        {"Topology templates : FromTo", TemplateFromTo, OBJECTS},
        {kSub, TemplateFromTo, CONSTRAINTS},
        {"Topology templates : Pin", TemplatePin, OBJECTS},
        {kSub, TemplatePin, CONSTRAINTS},
        {"Topology templates : EbdPin", TemplateEbdPin, OBJECTS},
        {kSub, TemplateEbdPin, CONSTRAINTS},
        {"Topology templates : PinSetPin", TemplatePinSetPin, OBJECTS},
        {kSub, TemplatePinSetPin, CONSTRAINTS},
        {"Custom tabs", CustomTab, OBJECTS},
        {"Custom objects", CustomObject, OBJECTS},
        {kSub, CustomObject, CONSTRAINTS},
    };
    return lines;
}

// The sums of one section over its lines.
struct SectionSums
{
    int objects = 0;
    int constraints = 0;
    int defaults = 0;
};

SectionSums sumLines(const std::vector<ReportLine>& lines)
{
    SectionSums sums;
    for (const ReportLine& line : lines) {
        const KindCounters& counters = g_stats.kinds[line.kind];
        if (line.value == OBJECTS) {
            sums.objects += counters.objectCount;
        } else if (line.value == CONSTRAINTS) {
            sums.constraints += counters.constraintCount;
            sums.defaults += counters.defaultConstraintCount;
        }
    }
    return sums;
}

int lineValue(const ReportLine& line)
{
    const KindCounters& counters = g_stats.kinds[line.kind];
    switch (line.value) {
    case OBJECTS: return counters.objectCount;
    case CONSTRAINTS: return counters.constraintCount;
    case UNPACKAGED: return g_stats.unpackagedComponentCount;
    case METALLIC: return g_stats.metallicLayerCount;
    case DIELECTRIC: return counters.objectCount - g_stats.metallicLayerCount;
    }
    return 0;
}

// A label of 41 characters after its line ends: the name, a blank, full stops up to the 40th
// character and a blank. "Schema net class rules" has its full stops right after the name.
std::string label(const std::string& name, int lineEnds = 1)
{
    std::string text(static_cast<size_t>(lineEnds), '\n');
    text += name;
    if (name != "Schema net class rules")
        text += ' ';
    const size_t width = static_cast<size_t>(lineEnds) + 40;
    if (text.size() < width)
        text.append(width - text.size(), '.');
    return text + ' ';
}

std::string formatted(const char* format, int value)
{
    char buffer[250];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

const std::string kRule(71, '=');

// The value after `key` up to the line end, without the character before the line end (the
// flow text ends its lines in CR-LF); the rest of the text when no line end follows.
std::string keyValue(const std::string& text, size_t valueStart)
{
    const size_t end = text.find('\n', valueStart);
    if (end == std::string::npos)
        return text.substr(valueStart);
    if (end - valueStart < 2)
        return "";
    return text.substr(valueStart, end - valueStart - 1);
}

// The flow and install identifiers of the flow text, in the order found.
void readFlowIds(const char* flowText, std::vector<std::string>& flowIds, std::vector<std::string>& installIds)
{
    if (!flowText)
        return;
    const std::string text = flowText;
    const std::string flowKey = "Flow Id: ";
    const std::string installKey = "KVT Install Id: ";
    size_t flowPos = 0;
    size_t installPos = 0;
    bool installSearch = true;
    for (;;) {
        const size_t flow = text.find(flowKey, flowPos);
        if (flow != std::string::npos) {
            flowPos = flow + flowKey.size();
            const std::string value = keyValue(text, flowPos);
            if (!value.empty())
                flowIds.push_back(value);
        }
        if (installSearch) {
            const size_t install = text.find(installKey, installPos);
            if (install == std::string::npos) {
                installSearch = false;
            } else {
                installPos = install + installKey.size();
                const std::string value = keyValue(text, installPos);
                if (!value.empty())
                    installIds.push_back(value);
            }
        }
        if (flow == std::string::npos)
            break;
    }
}

} // namespace

CNorvStatistics::CNorvStatistics(Lumo::LumoPI* session, std::string topBlock, IKravikLog* log, std::string cnsFile,
                                 int logLevel, int useFilter, std::string filterFile, bool runArg, std::string text,
                                 bool backEnd)
    : CNorvProjectChecker(session, std::move(topBlock), log, std::move(cnsFile), logLevel, useFilter,
                          std::move(filterFile), runArg, false, std::move(text), backEnd)
{
}

CNorvStatistics::CNorvStatistics(const CNorvStatistics& other)
    : CNorvProjectChecker(other),
      m_statSnapshot(other.m_statSnapshot),
      m_statUIDManager(other.m_statUIDManager),
      m_statConfig(other.m_statConfig),
      m_statDesign(other.m_statDesign),
      m_readFailed(other.m_readFailed)
{
}

CNorvStatistics::~CNorvStatistics() = default;

bool CNorvStatistics::GenerateStats(std::string snapshotName)
{
    // Every report counts from zero, also the second one of a process.
    g_stats = StatCounterBlock();
    m_readFailed = false;
    return Init(std::move(snapshotName)) && CountConnectivity() && CountDesign() && PrintStats();
}

bool CNorvStatistics::Init(std::string snapshotName)
{
    m_strSnapshotName = std::move(snapshotName);
    auto fail = [](const std::string& message) {
        std::fputs(message.c_str(), stdout);
        std::fflush(stdout);
        return false;
    };
    if (!m_pSession || !m_pSession->GetSnapshotByName(m_statSnapshot, Lumo::String(m_strSnapshotName)))
        return fail("Can't get snapshot: " + m_strSnapshotName);
    if (!m_statSnapshot->GetUIDManager(m_statUIDManager))
        return fail("Can't get UIDManager");
    if (!m_statSnapshot->GetNorvConfig(m_statConfig, m_strTopBlock))
        return fail("Can't get NORV Configuration having top block: " + m_strTopBlock);
    if (!m_statConfig->GetNorvDesign(m_statDesign))
        return fail("Can't get NORV design");
    return true;
}

void CNorvStatistics::GetObjectInfo(const Lumo::IObjectNorv* object, int& constraints, int& attributes,
                                    int& defaults)
{
    if (!object)
        return;
    auto itemCount = [](const Lumo::ListAttribute& list) {
        int count = 0;
        for (auto item = list.GetIterator(); item.IsValid(); ++item)
            ++count;
        return count;
    };

    attributes = 0;
    Lumo::ListAttribute list;
    read(object->GetAttributes(list));
    attributes += itemCount(list);

    constraints = 0;
    defaults = 0;
    IteratorT<const Lumo::INorvConstraint> constraint;
    Lumo::Result walk = read(object->GetIterConstraints(constraint));
    const Lumo::Result counted = constraint.GetCount(constraints);
    if (walk)
        read(counted);
    for (; walkOn(constraint, walk); ++constraint) {
        Lumo::String text;
        Lumo::EConstraintType type = Lumo::CDT_Default;
        read(constraint->GetValueByString(text, type));
        bool definition = false;
        read(constraint->IsDefinition(definition));
        if (definition) {
            if (!text.IsEmpty())
                ++defaults;
        } else if (type == Lumo::CDT_Double) {
            // A number is a default when it equals the definition's, whatever its spelling.
            Lumo::String name;
            constraint->GetName(name);
            // A name without a definition has no default value to compare with.
            ContainerT<const Lumo::INorvConstraint> definitionRecord;
            const Lumo::Result found = m_pSession->GetDefConstraint(definitionRecord, name);
            if (!found && !isNotFound(found))
                read(found);
            const Lumo::Result definitionValid = definitionRecord.IsValid();
            if (found)
                read(definitionValid);
            if (definitionValid) {
                Lumo::String definitionText;
                read(definitionRecord->GetValueByString(definitionText));
                if (std::atof(text.c_str()) == std::atof(definitionText.c_str()))
                    ++defaults;
            }
        } else {
            bool isDefault = false;
            read(constraint->IsDefaultValue(isDefault));
            if (isDefault)
                ++defaults;
        }
        read(constraint->GetAttributes(list));
        attributes += itemCount(list);
    }
    read(walk);
}

Lumo::Result CNorvStatistics::read(Lumo::Result result)
{
    if (!result && !isNotValidObject(result))
        m_readFailed = true;
    return result;
}

void CNorvStatistics::addObjectInfo(const Lumo::IObjectNorv* object, int kind, int info)
{
    int constraints = 0, attributes = 0, defaults = 0;
    GetObjectInfo(object, constraints, attributes, defaults);
    if (info == FULL_INFO) {
        g_stats.kinds[kind].constraintCount += constraints;
        g_stats.kinds[kind].defaultConstraintCount += defaults;
    }
    (kind < Design ? g_stats.connectivityAttributeCount : g_stats.designAttributeCount) += attributes;
}

// One kind under one parent: a walk that cannot be opened counts nothing; otherwise the walk's
// count is assigned to the kind (`set`) or added to it, and each object gets its object info (as
// `info` says) and then its nested kinds.
template <class T, class Nested>
void CNorvStatistics::countKind(Lumo::Result opened, IteratorT<const T>& it, int kind, bool set, int info,
                                Nested nested)
{
    if (!read(opened))
        return;
    if (set) {
        read(it.GetCount(g_stats.kinds[kind].objectCount));
    } else {
        int count = 0;
        read(it.GetCount(count));
        g_stats.kinds[kind].objectCount += count;
    }
    for (; walkOn(it, opened); ++it) {
        if (info != NO_INFO)
            addObjectInfo(&*it, kind, info);
        nested(it);
    }
    read(opened);
}

// The objects of a recursive kind under one parent: their count is added to the kind (assigned for
// `set`) and each is handed to `recurse` (one of the recursive counters); false when one of those
// calls is.
template <class T, class Recurse>
bool CNorvStatistics::countChildren(Lumo::Result opened, IteratorT<const T>& it, int kind, Recurse recurse, bool set)
{
    bool recursed = true;
    countKind(opened, it, kind, set, NO_INFO, [&](const IteratorT<const T>& child) {
        recursed = recursed && (this->*recurse)(&*child);
    });
    return recursed;
}

bool CNorvStatistics::CountConnectivity()
{
    auto none = [](const auto&) {};
    IteratorT<const Lumo::INorvElectricalNet> electricalNet;
    countKind(m_statConfig->GetIterElectricalNets(electricalNet), electricalNet, ElectricalNet, true, FULL_INFO,
              [&](const auto& net) {
                  IteratorT<const Lumo::INorvPhysicalNet> physicalNet;
                  countKind(net->GetIterPhysicalNets(physicalNet), physicalNet, PhysicalNet, false, FULL_INFO,
                            [&](const auto& physical) {
                                IteratorT<const Lumo::INorvFromTo> fromTo;
                                countKind(physical->GetIterFromTos(fromTo), fromTo, FromTo, false, FULL_INFO, none);
                                for (const auto& pinKind : kNetPinKinds) {
                                    IteratorT<const Lumo::INorvPin> pin;
                                    const Lumo::BitContainerT<Lumo::ENorvPinType> kinds(pinKind.first);
                                    countKind(physical->GetIterPins(pin, kinds), pin, pinKind.second, false,
                                              FULL_INFO, none);
                                }
                            });
                  IteratorT<const Lumo::INorvPinPair> pinPair;
                  Lumo::BitContainerT<Lumo::EPinPairType> pairTypes(Lumo::PPT_Ordinary);
                  pairTypes |= Lumo::PPT_Connection;
                  countKind(net->GetIterPinPairs(pinPair, pairTypes), pinPair, PinPair, false, FULL_INFO, none);
              });

    IteratorT<const Lumo::INorvDiffPair> diffPair;
    countKind(m_statConfig->GetIterDiffPairs(diffPair), diffPair, DiffPair, true, FULL_INFO, none);

    IteratorT<const Lumo::INorvComp> comp;
    countKind(m_statConfig->GetIterNorvComps(comp), comp, Component, true, FULL_INFO, [&](const auto& c) {
        ContainerT<const Lumo::INorvPart> part;
        if (!c->GetParentPart(part))
            ++g_stats.unpackagedComponentCount;
        IteratorT<const Lumo::INorvPin> pin;
        const Lumo::BitContainerT<Lumo::ENorvPinType> netPins(Lumo::NPT_NetPin);
        countKind(c->GetIterPins(pin, netPins), pin, ComponentPin, false, FULL_INFO, none);
    });

    IteratorT<const Lumo::INorvPart> part;
    countKind(m_statConfig->GetIterParts(part), part, Part, true, FULL_INFO, [&](const auto& p) {
        IteratorT<const Lumo::INorvPartPin> pin;
        countKind(p->GetIterPartPins(pin), pin, PartPin, false, FULL_INFO, none);
        IteratorT<const Lumo::INorvPartPinPair> pair;
        countKind(p->GetIterPartPinPairs(pair), pair, PartPinPair, false, FULL_INFO, none);
    });
    return !m_readFailed;
}

bool CNorvStatistics::CountDesign()
{
    auto none = [](const auto&) {};
    addObjectInfo(&*m_statDesign, Design, FULL_INFO);

    IteratorT<const Lumo::INorvLayer> layer;
    countKind(m_statDesign->GetIterLayers(layer), layer, Layer, true, FULL_INFO, [](const auto& l) {
        Lumo::ELayerType type = Lumo::LT_Metallic;
        l->GetType(type);
        if (type == Lumo::LT_Metallic)
            ++g_stats.metallicLayerCount;
    });
    IteratorT<const Lumo::INorvVia> via;
    countKind(m_statDesign->GetIterVia(via), via, Via, true, NO_INFO, none);
    IteratorT<const Lumo::INorvViaSpan> viaSpan;
    countKind(m_statDesign->GetIterViaSpans(viaSpan), viaSpan, ViaSpan, true, FULL_INFO, none);
    IteratorT<const Lumo::INorvClearRule> clearRule;
    countKind(m_statDesign->GetIterClearRules(clearRule), clearRule, ClearRule, true, NO_INFO, none);
    IteratorT<const Lumo::INorvPartTech> partTech;
    countKind(m_statDesign->GetIterPartTechs(partTech), partTech, PartTech, true, NO_INFO, none);
    IteratorT<const Lumo::INorvConstVar> constVar;
    countKind(m_statDesign->GetIterConstVars(constVar), constVar, ConstVar, true, NO_INFO, none);

    // Class-to-class rules split by their rule type; one without a readable type is a Z-axis rule.
    IteratorT<const Lumo::INorvC2CClearRule> c2cRule;
    Lumo::Result c2cRules = read(m_statDesign->GetIterC2CClearRules(c2cRule));
    for (; walkOn(c2cRule, c2cRules); ++c2cRule) {
        Lumo::ConstraintData value;
        ContainerT<const Lumo::INorvConstraint> ruleType;
        if (c2cRule->GetConstraint(ruleType, "C2C_RULE_TYPE"))
            ruleType->GetValue(value);
        const StatKind kind = value.GetValueAsString() == "ClearRule" ? C2CClearRule : ZAxisC2CClearRule;
        ++g_stats.kinds[kind].objectCount;
        addObjectInfo(&*c2cRule, kind, FULL_INFO);
    }
    read(c2cRules);

    IteratorT<const Lumo::INorvPkgTypeClearRule> pkgTypeRule;
    countKind(m_statDesign->GetIterPkgTypeClearRules(pkgTypeRule), pkgTypeRule, PkgTypeClearRule, true, FULL_INFO,
              none);
    IteratorT<const Lumo::INorvP2PClearRule> p2pRule;
    countKind(m_statDesign->GetIterP2PClearRules(p2pRule), p2pRule, P2PClearRule, true, FULL_INFO, none);
    IteratorT<const Lumo::INorvParRuleDef> parRuleDef;
    countKind(m_statDesign->GetIterParRuleDefs(parRuleDef), parRuleDef, ParRuleDef, true, NO_INFO, [&](const auto& d) {
        IteratorT<const Lumo::INorvParRuleSection> section;
        countKind(d->GetIterParRuleSections(section), section, ParRuleSection, false, FULL_INFO, none);
    });
    IteratorT<const Lumo::INorvNoiseRule> noiseRule;
    countKind(m_statDesign->GetIterNoiseRules(noiseRule), noiseRule, NoiseRule, true, FULL_INFO, none);

    bool recursed = true;
    IteratorT<const Lumo::INorvScheme> scheme;
    countKind(m_statDesign->GetIterSchemes(scheme), scheme, Scheme, true, ATTRIBUTES_ONLY, [&](const auto& s) {
        IteratorT<const Lumo::INorvSchemaNetClassRule> classRule;
        recursed = countChildren(s->GetIterSchemaNetClassRules(classRule), classRule, SchemaNetClassRule,
                                 &CNorvStatistics::CountSchemaNetClassRules) &&
                   recursed;
        IteratorT<const Lumo::INorvSchemaClearRule> clearRule;
        countKind(s->GetIterSchemaClearRules(clearRule), clearRule, SchemaClearRule, false, FULL_INFO,
                  [&](const auto& r) {
                      IteratorT<const Lumo::INorvLayerClearRule> layerRule;
                      countKind(r->GetIterLayerClearRules(layerRule), layerRule, LayerClearRule, false, FULL_INFO,
                                none);
                  });
    });
    if (!recursed)
        return false;

    IteratorT<const Lumo::INorvNetClass> netClass;
    if (!countChildren(m_statDesign->GetIterNetClasses(netClass), netClass, NetClass,
                       &CNorvStatistics::CountNetClasses, true))
        return false;
    IteratorT<const Lumo::INorvConstraintClass> constraintClass;
    if (!countChildren(m_statDesign->GetIterConstraintClasses(constraintClass), constraintClass, ConstraintClass,
                       &CNorvStatistics::CountConstraintClasses, true))
        return false;

    IteratorT<const Lumo::INorvZAxisClearRule> zAxisRule;
    countKind(m_statDesign->GetIterZAxisClearRules(zAxisRule), zAxisRule, ZAxisClearRule, true, FULL_INFO,
              [&](const auto& r) {
                  IteratorT<const Lumo::INorvZAxisLayerRule> layerRule;
                  countKind(r->GetIterZAxisLayerRules(layerRule), layerRule, ZAxisLayerRule, false, FULL_INFO, none);
              });

    IteratorT<const Lumo::INorvGenObjType> type;
    Lumo::Result types = read(m_statDesign->GetIterGenObjTypes(type));
    for (; walkOn(type, types); ++type) {
        Lumo::String name;
        type->GetName(name);
        const std::string typeName = name.str();
        IteratorT<const Lumo::INorvGenCompObj> object;
        if (typeName == "TOPOTMPL") {
            Lumo::Result objects = read(type->GetIterGenCompObjs(object));
            for (; walkOn(object, objects); ++object)
                if (!CountTopoTemplates(&*object))
                    return false;
            read(objects);
        } else if (typeName.compare(0, 7, "CUSTOM_") == 0) {
            ++g_stats.kinds[CustomTab].objectCount;
            if (!countChildren(type->GetIterGenCompObjs(object), object, CustomObject,
                               &CNorvStatistics::CountCustomObjs))
                return false;
        }
    }
    read(types);

    // A design without a general clearance, or with one that is not valid, counts none.
    ContainerT<const Lumo::INorvGenClear> genClear;
    const Lumo::Result gotGenClear = m_statDesign->GetNorvGenClear(genClear);
    if (!gotGenClear && !isNotFound(gotGenClear))
        read(gotGenClear);
    if (gotGenClear && read(genClear.IsValid())) {
        ++g_stats.kinds[GenClear].objectCount;
        addObjectInfo(&*genClear, GenClear, FULL_INFO);
    }
    return !m_readFailed;
}

bool CNorvStatistics::CountSchemaNetClassRules(const Lumo::INorvSchemaNetClassRule* rule)
{
    if (!rule)
        return false;
    auto none = [](const auto&) {};
    addObjectInfo(rule, SchemaNetClassRule, FULL_INFO);
    IteratorT<const Lumo::INorvViaAssign> viaAssign;
    countKind(rule->GetIterViaAssigns(viaAssign), viaAssign, ViaAssign, false, FULL_INFO, none);
    IteratorT<const Lumo::INorvLayerRule> layerRule;
    countKind(rule->GetIterLayerRules(layerRule), layerRule, LayerRule, false, FULL_INFO, none);
    IteratorT<const Lumo::INorvSchemaNetClassRule> child;
    return countChildren(rule->GetIterSchemeNetClassRuleChild(child), child, SchemaNetClassRule,
                         &CNorvStatistics::CountSchemaNetClassRules);
}

bool CNorvStatistics::CountNetClasses(const Lumo::INorvNetClass* netClass)
{
    if (!netClass)
        return false;
    IteratorT<const Lumo::INorvNetClass> child;
    return countChildren(netClass->GetIterChildNetClasses(child), child, NetClass, &CNorvStatistics::CountNetClasses);
}

bool CNorvStatistics::CountConstraintClasses(const Lumo::INorvConstraintClass* constraintClass)
{
    if (!constraintClass)
        return false;
    addObjectInfo(constraintClass, ConstraintClass, FULL_INFO);
    IteratorT<const Lumo::INorvConstraintClass> child;
    return countChildren(constraintClass->GetIterChildConstraintClasses(child), child, ConstraintClass,
                         &CNorvStatistics::CountConstraintClasses);
}

bool CNorvStatistics::CountCustomObjs(const Lumo::INorvGenCompObj* object)
{
    if (!object)
        return false;
    addObjectInfo(object, CustomObject, FULL_INFO);
    IteratorT<const Lumo::INorvGenCompObj> child;
    return countChildren(object->GetIterGenCompObjs(child), child, CustomObject, &CNorvStatistics::CountCustomObjs);
}

bool CNorvStatistics::CountTopoTemplates(const Lumo::INorvGenCompObj* object)
{
    if (!object)
        return false;
    // Each level is read into a fresh text: an unreadable one matches no level.
    auto countLevel = [this](const Lumo::IObjectNorv* counted, const Lumo::String& level, const auto& levels) {
        for (const auto& entry : levels)
            if (level == entry.first) {
                ++g_stats.kinds[entry.second].objectCount;
                addObjectInfo(counted, entry.second, FULL_INFO);
                return;
            }
    };

    Lumo::String level;
    object->GetLevel(level);
    countLevel(object, level, kTemplateLevels);

    IteratorT<const Lumo::INorvGenObj> genObj;
    Lumo::Result genObjs = read(object->GetIterGenObjs(genObj));
    for (; walkOn(genObj, genObjs); ++genObj) {
        Lumo::String objectLevel;
        genObj->GetLevel(objectLevel);
        countLevel(&*genObj, objectLevel, kTemplateObjectLevels);
    }
    read(genObjs);

    IteratorT<const Lumo::INorvGenCompObj> child;
    Lumo::Result children = read(object->GetIterGenCompObjs(child));
    for (; walkOn(child, children); ++child)
        if (!CountTopoTemplates(&*child))
            return false;
    read(children);
    return true;
}

bool CNorvStatistics::PrintStats()
{
    IKravikLog& log = *m_pLog;
    auto printLines = [&](const std::vector<ReportLine>& lines, bool firstWithoutLineEnd) {
        for (size_t i = 0; i < lines.size(); ++i) {
            log.emitMessage(label(lines[i].name, firstWithoutLineEnd && i == 0 ? 0 : 1));
            log.emitMessage(formatted("%7d", lineValue(lines[i])));
        }
    };
    auto printValue = [&](const char* name, int lineEnds, int value) {
        log.emitMessage(label(name, lineEnds));
        log.emitMessage(formatted("%7d", value));
    };

    log.emitMessage(kRule + "\n");
    log.emitMessage(" DESIGN INFO\n");
    log.emitMessage(kRule + "\n");
    log.emitMessage(label("Snapshot", 0));
    log.emitMessage(LumoUtils::escapeControls(m_strSnapshotName));
    log.emitMessage(label("Top block"));
    log.emitMessage(LumoUtils::escapeControls(m_strTopBlock));
    log.emitMessage(label("Design status", 2));
    if (g_stats.kinds[Part].objectCount == 0)
        log.emitMessage("No parts");
    else if (g_stats.unpackagedComponentCount > 0)
        log.emitMessage("Unpackaged");
    else
        log.emitMessage("Packaged");

    Lumo::ListT<Lumo::ClientInfo> clients;
    if (m_pSession->GetListClients(clients)) {
        log.emitMessage(label("Active Lumo clients", 2));
        log.emitMessage(formatted("%d", clients.Count()));
        // Clients are told apart by their text up to the last colon.
        std::map<std::string, int> names;
        for (auto client = clients.GetIterator(); client.IsValid(); ++client) {
            const std::string name = LumoUtils::escapeControls(client->name.str());
            const size_t colon = name.rfind(':');
            ++names[colon == std::string::npos ? name : name.substr(0, colon)];
        }
        for (const auto& entry : names) {
            log.emitMessage("\n   " + entry.first + " ");
            for (size_t n = entry.first.size(); n < 36; ++n)
                log.emitMessage(".");
            log.emitMessage(formatted(" %d", entry.second));
        }
    }

    std::vector<std::string> flowIds, installIds;
    readFlowIds(QuilFlowID(), flowIds, installIds);
    if (!flowIds.empty() || !installIds.empty()) {
        log.emitMessage(label("Install ID", 2));
        for (size_t i = 0; i < flowIds.size(); ++i) {
            if (i > 0)
                log.emitMessage(", ");
            log.emitMessage(LumoUtils::escapeControls(flowIds[i]));
            log.emitMessage(" ");
            if (i < installIds.size())
                log.emitMessage(LumoUtils::escapeControls(installIds[i]));
        }
    }

    const SectionSums connectivity = sumLines(connectivityLines());
    log.emitMessage("\n\n" + kRule + "\n");
    log.emitMessage(" CONNECTIVITY STATISTICS\n");
    log.emitMessage(kRule + "\n");
    printLines(connectivityLines(), true);
    printValue("Constraints in connectivity", 2, connectivity.constraints);
    printValue("   Default constraints", 1, connectivity.defaults);
    printValue("Attributes in connectivity", 1, g_stats.connectivityAttributeCount);

    const SectionSums design = sumLines(designLines());
    log.emitMessage("\n\n" + kRule + "\n");
    log.emitMessage(" DESIGN STATISTICS\n");
    log.emitMessage(kRule);
    printLines(designLines(), false);
    printValue("Constraints in design", 2, design.constraints);
    printValue("   Default constraints", 1, design.defaults);
    printValue("Attributes in design", 1, g_stats.designAttributeCount);

    const int totalConstraints = connectivity.constraints + design.constraints;
    printValue("Total constraints", 2, totalConstraints);
    printValue("   Default constraints", 1, connectivity.defaults + design.defaults);
    printValue("Total attributes", 1, g_stats.connectivityAttributeCount + g_stats.designAttributeCount);
    printValue("Total objects", 1, connectivity.objects + design.objects + totalConstraints);
    log.emitMessage("\n");
    return true;
}
