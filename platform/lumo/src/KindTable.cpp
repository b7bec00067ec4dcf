// The kind, field and relation tables of the store.
#include "Store.h"

#include <cstring>

namespace Lumo {
namespace detail {

namespace {

constexpr uint64_t B(Kind k) { return 1ull << static_cast<unsigned>(k); }
constexpr uint64_t kAny = ~0ull;

const uint64_t kNorvPinT = B(Kind::NorvPin);

#define F(kind, field, cat, targets, def, text) {Kind::kind, Field::field, Cat::cat, targets, def, text}

// Per kind: scalars, references, then lists, in the order the design file writes them. Norv kinds get their
// "constraints" home list appended when the tables are built.
const FieldSpec kSpecs[] = {
    F(Snapshot, norvConfigs, HomeList, B(Kind::NorvConfig), 0, ""),
    F(Snapshot, defaultConfigs, HomeList, B(Kind::DefaultConfig), 0, ""),

    F(NorvConfig, design, HomeRef, B(Kind::Design), 0, ""),
    F(NorvConfig, electricalNets, HomeList, B(Kind::ElectricalNet), 0, ""),
    F(NorvConfig, physicalNets, HomeList, B(Kind::PhysicalNet), 0, ""),
    F(NorvConfig, diffPairs, HomeList, B(Kind::DiffPair), 0, ""),
    F(NorvConfig, norvComps, HomeList, B(Kind::NorvComp), 0, ""),
    F(NorvConfig, parts, HomeList, B(Kind::Part), 0, ""),

    F(DefaultConfig, flatNets, HomeList, B(Kind::FlatNet), 0, ""),
    F(DefaultConfig, logicComps, HomeList, B(Kind::LogicComp), 0, ""),

    F(Design, layers, HomeList, B(Kind::Layer), 0, ""),
    F(Design, netClasses, HomeList, B(Kind::NetClass), 0, ""),
    F(Design, constraintClasses, HomeList, B(Kind::ConstraintClass), 0, ""),
    F(Design, clearRules, HomeList, B(Kind::ClearRule), 0, ""),
    F(Design, schemes, HomeList, B(Kind::Scheme), 0, ""),
    F(Design, viaSpans, HomeList, B(Kind::ViaSpan), 0, ""),
    F(Design, vias, HomeList, B(Kind::Via), 0, ""),
    F(Design, partTechs, HomeList, B(Kind::PartTech), 0, ""),
    F(Design, constVars, HomeList, B(Kind::ConstVar), 0, ""),
    F(Design, c2cClearRules, HomeList, B(Kind::C2CClearRule), 0, ""),
    F(Design, pkgTypeClearRules, HomeList, B(Kind::PkgTypeClearRule), 0, ""),
    F(Design, p2pClearRules, HomeList, B(Kind::P2PClearRule), 0, ""),
    F(Design, parRuleDefs, HomeList, B(Kind::ParRuleDef), 0, ""),
    F(Design, noiseRules, HomeList, B(Kind::NoiseRule), 0, ""),
    F(Design, zAxisClearRules, HomeList, B(Kind::ZAxisClearRule), 0, ""),
    F(Design, genObjTypes, HomeList, B(Kind::GenObjType), 0, ""),
    F(Design, genClears, HomeList, B(Kind::GenClear), 0, ""),

    F(Layer, layerType, Int, 0, 0, ""),
    F(Layer, layerNumber, Int, 0, 0, ""),
    F(Layer, metallicLayerNumber, Int, 0, -1, ""),

    F(NetClass, physicalNets, List, B(Kind::PhysicalNet), 0, ""),
    F(NetClass, schemaNetClassRules, List, B(Kind::SchemaNetClassRule), 0, ""),
    F(NetClass, childNetClasses, HomeList, B(Kind::NetClass), 0, ""),

    F(ClearRule, schemaClearRules, List, B(Kind::SchemaClearRule), 0, ""),

    F(ConstraintClass, netClass, Ref, B(Kind::NetClass), 0, ""),
    F(ConstraintClass, childConstraintClasses, HomeList, B(Kind::ConstraintClass), 0, ""),

    F(ViaSpan, allowedVias, List, B(Kind::Via), 0, ""),

    F(ParRuleDef, sections, HomeList, B(Kind::ParRuleSection), 0, ""),

    F(NoiseRule, noiseType, OptInt, 0, kUnsetInt, ""),
    F(NoiseRule, victim, Ref, B(Kind::ConstraintClass) | B(Kind::ElectricalNet), 0, ""),
    F(NoiseRule, aggressor, Ref, B(Kind::ConstraintClass) | B(Kind::ElectricalNet), 0, ""),

    F(Scheme, schemeType, Int, 0, 1, ""),
    F(Scheme, schemaNetClassRules, HomeList, B(Kind::SchemaNetClassRule), 0, ""),
    F(Scheme, schemaClearRules, HomeList, B(Kind::SchemaClearRule), 0, ""),

    F(SchemaNetClassRule, parentNetClass, Ref, B(Kind::NetClass), 0, ""),
    F(SchemaNetClassRule, childRules, HomeList, B(Kind::SchemaNetClassRule), 0, ""),
    F(SchemaNetClassRule, layerRules, HomeList, B(Kind::LayerRule), 0, ""),
    F(SchemaNetClassRule, viaAssigns, HomeList, B(Kind::ViaAssign), 0, ""),

    F(LayerRule, layerIndex, Int, 0, 0, ""),
    F(LayerRule, parentLayer, Ref, B(Kind::Layer), 0, ""),

    F(SchemaClearRule, parentClearRule, Ref, B(Kind::ClearRule), 0, ""),
    F(SchemaClearRule, layerClearRules, HomeList, B(Kind::LayerClearRule), 0, ""),

    F(LayerClearRule, layerIndex, Int, 0, 0, ""),
    F(LayerClearRule, parentLayer, Ref, B(Kind::Layer), 0, ""),

    F(GenObjType, genCompObjs, HomeList, B(Kind::GenCompObj), 0, ""),

    F(GenCompObj, level, Text, 0, 0, ""),
    F(GenCompObj, genCompObjs, HomeList, B(Kind::GenCompObj), 0, ""),
    F(GenCompObj, genObjs, HomeList, B(Kind::GenObj), 0, ""),

    F(GenObj, level, Text, 0, 0, ""),

    F(ZAxisClearRule, zAxisLayerRules, HomeList, B(Kind::ZAxisLayerRule), 0, ""),

    F(ElectricalNet, parentDiffPair, Ref, B(Kind::DiffPair), 0, ""),
    F(ElectricalNet, constraintClass, Ref, B(Kind::ConstraintClass), 0, ""),
    F(ElectricalNet, physicalNets, List, B(Kind::PhysicalNet), 0, ""),
    F(ElectricalNet, pinPairs, HomeList, B(Kind::PinPair), 0, ""),

    F(PhysicalNet, netType, Int, 0, 0, ""),
    F(PhysicalNet, parentElectricalNet, Ref, B(Kind::ElectricalNet), 0, ""),
    F(PhysicalNet, netClass, Ref, B(Kind::NetClass), 0, ""),
    F(PhysicalNet, flatNet, Ref, B(Kind::FlatNet), 0, ""),
    F(PhysicalNet, pinsConnected, List, B(Kind::DesignPin), 0, ""),
    F(PhysicalNet, pins, HomeList, kNorvPinT, 0, ""),
    F(PhysicalNet, fromTos, HomeList, B(Kind::FromTo), 0, ""),

    F(DiffPair, firstElecNet, Ref, B(Kind::ElectricalNet), 0, ""),
    F(DiffPair, secondElecNet, Ref, B(Kind::ElectricalNet), 0, ""),

    F(PinPair, pairType, Int, 0, 0, ""),
    F(PinPair, filterType, OptInt, 0, kUnsetInt, ""),
    F(PinPair, firstPin, Ref, kNorvPinT, 0, ""),
    F(PinPair, secondPin, Ref, kNorvPinT, 0, ""),

    F(FromTo, pinFrom, Ref, kNorvPinT, 0, ""),
    F(FromTo, pinTo, Ref, kNorvPinT, 0, ""),

    F(NorvComp, parentPart, Ref, B(Kind::Part), 0, ""),
    F(NorvComp, logicComps, List, B(Kind::LogicComp), 0, ""),
    F(NorvComp, pins, HomeList, kNorvPinT, 0, ""),

    F(NorvPin, norvType, Int, 0, 0, ""),
    F(NorvPin, pinType, Int, 0, 0, ""),
    F(NorvPin, filterType, OptInt, 0, kUnsetInt, ""),
    F(NorvPin, parentPhysicalNet, Ref, B(Kind::PhysicalNet), 0, ""),
    F(NorvPin, parentNorvComp, Ref, B(Kind::NorvComp), 0, ""),
    F(NorvPin, parentPartPin, Ref, B(Kind::PartPin), 0, ""),
    F(NorvPin, designPin, Ref, B(Kind::DesignPin), 0, ""),
    F(NorvPin, parentPin, Ref, kNorvPinT, 0, ""),
    F(NorvPin, virtualPinSetPin, Ref, kNorvPinT, 0, ""),
    F(NorvPin, members, List, kNorvPinT, 0, ""),
    F(NorvPin, flatPins, List, B(Kind::DesignPin), 0, ""),

    F(Part, norvComps, List, B(Kind::NorvComp), 0, ""),
    F(Part, partPins, HomeList, B(Kind::PartPin), 0, ""),
    F(Part, partPinPairs, HomeList, B(Kind::PartPinPair), 0, ""),

    F(PartPin, partPinType, Int, 0, 0, ""),
    F(PartPin, parentPartPinPairs, List, B(Kind::PartPinPair), 0, ""),

    F(PartPinPair, firstPartPin, Ref, B(Kind::PartPin), 0, ""),
    F(PartPinPair, secondPartPin, Ref, B(Kind::PartPin), 0, ""),

    F(FlatNet, forwardPcbFlags, Set, 0, 0, ""),
    F(FlatNet, physicalNet, Ref, B(Kind::PhysicalNet), 0, ""),
    F(FlatNet, pageNets, HomeList, B(Kind::PageNet), 0, ""),

    F(PageNet, label, Text, 0, 0, ""),
    F(PageNet, pinsConnected, List, B(Kind::DesignPin), 0, ""),
    F(PageNet, path, HomeRef, B(Kind::Path), 0, ""),

    F(Path, hierarchy, List, kAny, 0, ""),

    F(LogicComp, types, Set, 0, 0, ""),
    F(LogicComp, pins, HomeList, B(Kind::DesignPin), 0, ""),

    F(DesignPin, types, Set, 0, 0, ""),
    F(DesignPin, width, Int, 0, 1, ""),
    F(DesignPin, netsConnected, List, B(Kind::PageNet), 0, ""),
    F(DesignPin, norvPins, List, kNorvPinT, 0, ""),

    F(Constraint, definition, Bool, 0, 0, ""),
    F(Constraint, user, Bool, 0, 1, ""),
    F(Constraint, isDefaultValue, OptBool, 0, kUnsetInt, ""),
    F(Constraint, parent, OptRef, kAny, 0, ""),
};

#undef F

struct KindRow {
    Kind kind;
    const char* name;
    int32_t type;
    bool norv;
    bool attributes;
};

const KindRow kKinds[] = {
    {Kind::None, "", 0, false, false},
    {Kind::LogicComp, "LogicComp", 7, false, true},
    {Kind::Design, "Design", 21, true, true},
    {Kind::Constraint, "Constraint", 22, false, true},
    {Kind::Layer, "Layer", 23, true, true},
    {Kind::NetClass, "NetClass", 24, true, true},
    {Kind::ClearRule, "ClearRule", 25, true, true},
    {Kind::ConstraintClass, "ConstraintClass", 26, true, true},
    {Kind::ViaSpan, "ViaSpan", 27, true, true},
    {Kind::GenClear, "GenClear", 28, true, true},
    {Kind::PartTech, "PartTech", 29, true, true},
    {Kind::ConstVar, "ConstVar", 30, true, true},
    {Kind::C2CClearRule, "C2CClearRule", 31, true, true},
    {Kind::PkgTypeClearRule, "PkgTypeClearRule", 32, true, true},
    {Kind::P2PClearRule, "P2PClearRule", 33, true, true},
    {Kind::ParRuleDef, "ParRuleDef", 34, true, true},
    {Kind::ParRuleSection, "ParRuleSection", 35, true, true},
    {Kind::NoiseRule, "NoiseRule", 36, true, true},
    {Kind::Scheme, "Scheme", 37, true, true},
    {Kind::SchemaNetClassRule, "SchemaNetClassRule", 38, true, true},
    {Kind::ViaAssign, "ViaAssign", 39, true, true},
    {Kind::LayerRule, "LayerRule", 40, true, true},
    {Kind::SchemaClearRule, "SchemaClearRule", 41, true, true},
    {Kind::LayerClearRule, "LayerClearRule", 42, true, true},
    {Kind::GenObjType, "GenObjType", 43, true, true},
    {Kind::GenCompObj, "GenCompObj", 44, true, true},
    {Kind::GenObj, "GenObj", 45, true, true},
    {Kind::DiffPair, "DiffPair", 46, true, true},
    {Kind::ElectricalNet, "ElectricalNet", 47, true, true},
    {Kind::PinPair, "PinPair", 48, true, true},
    {Kind::PhysicalNet, "PhysicalNet", 49, true, true},
    {Kind::FromTo, "FromTo", 50, true, true},
    {Kind::NorvComp, "NorvComp", 51, true, true},
    {Kind::NorvPin, "NorvPin", 52, true, true},
    {Kind::Part, "Part", 53, true, true},
    {Kind::PartPin, "PartPin", 54, true, true},
    {Kind::Via, "Via", 62, true, true},
    {Kind::PartPinPair, "PartPinPair", 71, true, true},
    {Kind::ConstraintDef, "ConstraintDef", 72, false, false},
    {Kind::ZAxisClearRule, "ZAxisClearRule", 82, true, true},
    {Kind::ZAxisLayerRule, "ZAxisLayerRule", 83, true, true},
    {Kind::Snapshot, "Snapshot", 101, false, true},
    {Kind::NorvConfig, "NorvConfig", 102, false, false},
    {Kind::DefaultConfig, "DefaultConfig", 103, false, false},
    {Kind::FlatNet, "FlatNet", 104, false, false},
    {Kind::PageNet, "PageNet", 105, false, false},
    {Kind::Path, "Path", 106, false, false},
    {Kind::DesignPin, "DesignPin", 107, false, true},
};

const char* const kFieldNames[] = {
    "layerType", "layerNumber", "metallicLayerNumber", "noiseType", "schemeType", "layerIndex", "level",
    "netType", "pairType", "filterType", "norvType", "pinType", "partPinType", "forwardPcbFlags", "label",
    "types", "width", "definition", "user", "isDefaultValue",
    "in", "design", "netClass", "victim", "aggressor", "parentNetClass", "parentLayer", "parentClearRule",
    "parentDiffPair", "constraintClass", "parentElectricalNet", "flatNet", "firstElecNet", "secondElecNet",
    "firstPin", "secondPin", "pinFrom", "pinTo", "parentPart", "parentPhysicalNet", "parentNorvComp",
    "parentPartPin", "designPin", "parentPin", "virtualPinSetPin", "firstPartPin", "secondPartPin",
    "physicalNet", "path", "parent",
    "norvConfigs", "defaultConfigs", "electricalNets", "physicalNets", "diffPairs", "norvComps", "parts",
    "flatNets", "logicComps", "layers", "netClasses", "constraintClasses", "clearRules", "schemes", "viaSpans",
    "vias", "partTechs", "constVars", "c2cClearRules", "pkgTypeClearRules", "p2pClearRules", "parRuleDefs",
    "noiseRules", "zAxisClearRules", "genObjTypes", "genClears", "childNetClasses", "schemaNetClassRules",
    "schemaClearRules", "childConstraintClasses", "allowedVias", "sections", "childRules", "layerRules",
    "viaAssigns", "layerClearRules", "genCompObjs", "genObjs", "zAxisLayerRules", "pinPairs", "pins", "fromTos",
    "pinsConnected", "members", "flatPins", "partPins", "partPinPairs", "parentPartPinPairs", "pageNets",
    "hierarchy", "netsConnected", "norvPins", "constraints",
};
static_assert(sizeof(kFieldNames) / sizeof(kFieldNames[0]) == kFieldCount, "field names out of step");
static_assert(sizeof(kKinds) / sizeof(kKinds[0]) == kKindCount, "kind rows out of step");

struct Tables {
    KindInfo kinds[kKindCount];
    SlotRef slots[kKindCount][kFieldCount];
    bool has[kKindCount][kFieldCount] = {};
    const FieldSpec* specs[kKindCount][kFieldCount] = {};
    std::vector<FieldSpec> extraSpecs;   // the constraints lists of Norv kinds
    Field home[kKindCount][kKindCount];
    std::vector<RelationSpec> relations;

    Tables()
    {
        for (auto& row : home)
            for (auto& f : row) f = Field::Count;
        extraSpecs.reserve(kKindCount);
        for (size_t k = 0; k < kKindCount; ++k) {
            const KindRow& row = kKinds[k];
            kinds[k] = KindInfo{row.kind, row.name, row.type, row.norv, row.attributes, 0, 0, 0, {}};
            if (row.norv)
                extraSpecs.push_back(FieldSpec{row.kind, Field::constraints, Cat::HomeList, B(Kind::Constraint), 0, ""});
        }
        auto add = [this](const FieldSpec& s) {
            const size_t k = static_cast<size_t>(s.kind);
            const size_t f = static_cast<size_t>(s.field);
            KindInfo& info = kinds[k];
            SlotRef ref{s.cat, 0};
            if (IsListCat(s.cat))
                ref.pos = info.nLists++;
            else if (s.cat == Cat::Text)
                ref.pos = info.nTexts++;
            else
                ref.pos = info.nSlots++;
            slots[k][f] = ref;
            has[k][f] = true;
            specs[k][f] = &s;
            info.fields.push_back(&s);
            if (s.cat == Cat::HomeList || s.cat == Cat::HomeRef) {
                for (size_t c = 0; c < kKindCount; ++c)
                    if ((s.targets >> c) & 1u) home[k][c] = s.field;
            }
        };
        for (const FieldSpec& s : kSpecs) add(s);
        for (const FieldSpec& s : extraSpecs) add(s);

        using K = Kind;
        using Fd = Field;
        relations = {
            {2, K::PhysicalNet, Fd::parentElectricalNet, K::ElectricalNet, Fd::physicalNets, Completion::Both},
            {3, K::PhysicalNet, Fd::netClass, K::NetClass, Fd::physicalNets, Completion::Both},
            {4, K::PhysicalNet, Fd::flatNet, K::FlatNet, Fd::physicalNet, Completion::Both},
            {5, K::NorvPin, Fd::parentPhysicalNet, K::PhysicalNet, Fd::pins, Completion::Both},
            {6, K::NorvPin, Fd::parentNorvComp, K::NorvComp, Fd::pins, Completion::Both},
            {7, K::NorvPin, Fd::flatPins, K::DesignPin, Fd::norvPins, Completion::Both},
            {9, K::NorvPin, Fd::virtualPinSetPin, K::NorvPin, Fd::parentPin, Completion::Both},
            {10, K::DiffPair, Fd::firstElecNet, K::ElectricalNet, Fd::parentDiffPair, Completion::BFromA},
            {10, K::DiffPair, Fd::secondElecNet, K::ElectricalNet, Fd::parentDiffPair, Completion::BFromA},
            {11, K::NorvComp, Fd::parentPart, K::Part, Fd::norvComps, Completion::Both},
            {12, K::PartPinPair, Fd::firstPartPin, K::PartPin, Fd::parentPartPinPairs, Completion::BFromA},
            {12, K::PartPinPair, Fd::secondPartPin, K::PartPin, Fd::parentPartPinPairs, Completion::BFromA},
            {13, K::SchemaNetClassRule, Fd::parentNetClass, K::NetClass, Fd::schemaNetClassRules, Completion::Both},
            {14, K::SchemaClearRule, Fd::parentClearRule, K::ClearRule, Fd::schemaClearRules, Completion::Both},
            {15, K::PageNet, Fd::pinsConnected, K::DesignPin, Fd::netsConnected, Completion::Both},
        };
    }
};

const Tables& T()
{
    static const Tables t;
    return t;
}

}  // namespace

bool IsListCat(Cat c) { return c == Cat::List || c == Cat::HomeList; }
bool IsRefCat(Cat c) { return c == Cat::Ref || c == Cat::OptRef || c == Cat::HomeRef; }

const KindInfo& InfoOf(Kind kind) { return T().kinds[static_cast<size_t>(kind) < kKindCount ? static_cast<size_t>(kind) : 0]; }

const SlotRef* SlotOf(Kind kind, Field field)
{
    const size_t k = static_cast<size_t>(kind), f = static_cast<size_t>(field);
    if (k >= kKindCount || f >= kFieldCount || !T().has[k][f]) return nullptr;
    return &T().slots[k][f];
}

const FieldSpec* SpecOf(Kind kind, Field field)
{
    const size_t k = static_cast<size_t>(kind), f = static_cast<size_t>(field);
    if (k >= kKindCount || f >= kFieldCount) return nullptr;
    return T().specs[k][f];
}

Field HomeField(Kind owner, Kind child)
{
    const size_t o = static_cast<size_t>(owner), c = static_cast<size_t>(child);
    if (o >= kKindCount || c >= kKindCount) return Field::Count;
    return T().home[o][c];
}

const std::vector<RelationSpec>& Relations() { return T().relations; }

const RelationSpec* RelationOf(Kind kind, Field field, bool& sideA)
{
    for (const RelationSpec& r : T().relations) {
        if (r.kindA == kind && r.fieldA == field) { sideA = true; return &r; }
    }
    for (const RelationSpec& r : T().relations) {
        if (r.kindB == kind && r.fieldB == field) { sideA = false; return &r; }
    }
    return nullptr;
}

}  // namespace detail

namespace StandIn {

const char* KindName(Kind kind) { return detail::InfoOf(kind).name; }

bool KindFromName(const std::string& name, Kind& out)
{
    for (size_t k = 1; k < detail::kKindCount; ++k) {
        if (name == detail::kKinds[k].name) { out = static_cast<Kind>(k); return true; }
    }
    return false;
}

int32_t TypeOfKind(Kind kind) { return detail::InfoOf(kind).type; }

Kind KindOfType(int32_t type)
{
    static const auto table = [] {
        std::vector<Kind> t(256, Kind::None);
        for (size_t k = 1; k < detail::kKindCount; ++k) t[static_cast<size_t>(detail::kKinds[k].type)] = static_cast<Kind>(k);
        return t;
    }();
    return (type >= 0 && type < 256) ? table[static_cast<size_t>(type)] : Kind::None;
}

const char* FieldName(Field field)
{
    const size_t f = static_cast<size_t>(field);
    return f < detail::kFieldCount ? detail::kFieldNames[f] : "";
}

bool FieldFromName(const std::string& name, Field& out)
{
    for (size_t f = 0; f < detail::kFieldCount; ++f) {
        if (name == detail::kFieldNames[f]) { out = static_cast<Field>(f); return true; }
    }
    return false;
}

}  // namespace StandIn
}  // namespace Lumo
