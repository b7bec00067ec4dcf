// Design, class, rule, scheme and generic-object operations.
#include "Ops.h"

#include <algorithm>
#include <optional>

namespace Lumo {

using namespace detail;

namespace {
const uint64_t kDes = LUMO_K(Design);
const uint64_t kNC = LUMO_K(NetClass);
const uint64_t kCC = LUMO_K(ConstraintClass);
const uint64_t kCR = LUMO_K(ClearRule);
const uint64_t kSch = LUMO_K(Scheme);
const uint64_t kSNCR = LUMO_K(SchemaNetClassRule);
const uint64_t kSCR = LUMO_K(SchemaClearRule);
const uint64_t kGOT = LUMO_K(GenObjType);
const uint64_t kGCO = LUMO_K(GenCompObj);

// True when ancestor is on the owner chain above index.
bool Below(const SnapshotData& snap, uint64_t index, uint64_t ancestor)
{
    const ObjRecord* r = snap.FindLive(index);
    size_t steps = 0;
    while (r && steps++ <= snap.records.size()) {
        if (r->owner == ancestor) return true;
        r = snap.FindLive(r->owner);
    }
    return false;
}

Result FetchListed(const Ctx& c, IObject& out, Field list, uint64_t index, uint64_t kinds)
{
    const ObjRecord* t = Live(c, index);
    if (!t) return FailNotExist(index);
    if (!IsKind(t, kinds) || !c.snap->Contains(c.R(), list, index)) return FailNotChild(index);
    SetObject(out, c.s, c.snap, index);
    return Result();
}

Result HierarchicalName(const Ctx& c, String& out, char sep, Kind kind)
{
    std::vector<std::string_view> names;
    const ObjRecord* r = &c.R();
    size_t steps = 0;
    while (r && r->kind == kind) {
        if (steps++ > c.snap->records.size()) return FailCyclic(c.index);
        names.push_back(r->name.view());
        r = Live(c, r->owner);
    }
    std::string s;
    for (size_t i = names.size(); i-- > 0;) {
        s += names[i];
        if (i) s += sep;
    }
    out = String(std::move(s));
    return Result();
}

// Creates an object under the receiver and hands it back locked.
template <class T>
uint32_t CreateLocked(Ctx& c, MutableContainerT<T>& out, Kind kind, const std::string& name)
{
    const uint32_t slot = CreateOwned(*c.snap, kind, c.index, name);
    SetM(out, c, c.snap->records[slot].index);
    return slot;
}

Result DeleteWhere(Ctx& c, uint64_t index, uint64_t kinds, bool ok)
{
    const ObjRecord* t = Live(c, index);
    if (!t) return FailNotExist(index);
    if (!IsKind(t, kinds) || !ok) return FailNotChild(index);
    if (Result r = DeleteObject(c, index); !r) return r;
    return c.Done();
}

std::optional<ConstraintData> ConstraintValue(const Ctx& c, const std::string& name)
{
    const ConstraintPayload* definitionRecord = nullptr;
    for (uint64_t i : c.snap->GetList(c.R(), Field::constraints)) {
        const ObjRecord* r = Live(c, i);
        if (!r || r->kind != Kind::Constraint || r->name != name) continue;
        const ConstraintPayload* p = c.snap->Payload(*r);
        if (!p) continue;
        if (c.snap->GetInt(*r, Field::definition) == 0) return c.snap->Value(*p);
        if (!definitionRecord) definitionRecord = p;
    }
    if (definitionRecord) return c.snap->Value(*definitionRecord);
    if (c.tbl->InheritsName(c.R(), name)) {
        if (const ObjRecord* def = c.s->FindDefinition(name)) {
            if (const ConstraintPayload* p = c.s->defs->Payload(*def)) return c.s->defs->Value(*p);
        }
    }
    return std::nullopt;
}

Result FindLayerRules(const Ctx& c, ListT<NorvObjectExtInfo>& out, Field list, Kind kind, int32_t layerIndex)
{
    // A rule holds a layer rule per layer: a walk over the layers asks once per layer, so a long list is
    // looked up by number rather than scanned.
    if (const LayerIndex* byNumber = c.tbl == c.snap ? c.snap->LayerIndexOfList(c.slot, list, kind) : nullptr) {
        const auto found = byNumber->Find(layerIndex);
        for (const LayerIndex::Entry* e = found.first; e != found.second; ++e) {
            const ObjRecord& r = c.snap->records[e->slot];
            if (r.Alive()) out.Add(NorvObjectExtInfo{Index(r.index), String(r.name), layerIndex});
        }
        return Result();
    }
    for (uint64_t i : c.snap->GetList(c.R(), list)) {
        const ObjRecord* r = Live(c, i);
        if (!r || r->kind != kind) continue;
        const int64_t li = c.snap->GetInt(*r, Field::layerIndex);
        if (li == layerIndex) out.Add(NorvObjectExtInfo{Index(r->index), String(r->name), static_cast<int32_t>(li)});
    }
    return Result();
}
}  // namespace

// Fetches an entry of a list field of the receiver by index.
#define LUMO_FETCH_LISTED(Cls, Method, OutT, Recv, Fld, Kinds)                                     \
    Result Cls::Method(const Index& index, ContainerT<const OutT>& out) const                      \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        ResetC(out);                                                                               \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        return FetchListed(c, Access::Obj(out), Fld, index.GetValue(), Kinds);                     \
    }

// Deletes an object of the kinds anywhere below the receiver.
#define LUMO_DELETE_BELOW(Cls, Method, Recv, Kinds)                                                \
    Result Cls::Method(const Index& index)                                                         \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        if (Result r = c.EnterWrite(op, Recv); !r) return r;                                       \
        return DeleteWhere(c, index.GetValue(), Kinds, Below(*c.snap, index.GetValue(), c.index)); \
    }

// The names of the class and its parent classes, outermost first; a placeholder gives its text.
#define LUMO_CLASS_NAME(Cls, Recv, KindName)                                                       \
    Result Cls::GetHierarchicalName(String& out, char separator) const                             \
    {                                                                                              \
        LUMO_OP("GetHierarchicalName");                                                            \
        Ctx c(*this);                                                                              \
        if (const std::string* text = PlaceholderText(c.snap, c.index)) {                          \
            if (Result r = Hook(c.s, c.snap, OpKey(op), c.index); !r) return r;                    \
            out = String(*text);                                                                   \
            return Result();                                                                       \
        }                                                                                          \
        if (Result r = c.Enter(op, Recv); !r) return r;                                            \
        return HierarchicalName(c, out, separator, Kind::KindName);                                \
    }

// ---------------------------------------------------------------------------------------------------------
// INorvDesign

LUMO_LIST_ITER(INorvDesign, GetIterLayers, INorvLayer, kDes, Field::layers)
LUMO_LIST_ITER(INorvDesign, GetIterNetClasses, INorvNetClass, kDes, Field::netClasses)
LUMO_LIST_ITER(INorvDesign, GetIterConstraintClasses, INorvConstraintClass, kDes, Field::constraintClasses)
LUMO_LIST_ITER(INorvDesign, GetIterClearRules, INorvClearRule, kDes, Field::clearRules)
LUMO_LIST_ITER(INorvDesign, GetIterSchemes, INorvScheme, kDes, Field::schemes)
LUMO_LIST_ITER(INorvDesign, GetIterViaSpans, INorvViaSpan, kDes, Field::viaSpans)
LUMO_LIST_ITER(INorvDesign, GetIterVia, INorvVia, kDes, Field::vias)
LUMO_LIST_ITER(INorvDesign, GetIterPartTechs, INorvPartTech, kDes, Field::partTechs)
LUMO_LIST_ITER(INorvDesign, GetIterConstVars, INorvConstVar, kDes, Field::constVars)
LUMO_LIST_ITER(INorvDesign, GetIterC2CClearRules, INorvC2CClearRule, kDes, Field::c2cClearRules)
LUMO_LIST_ITER(INorvDesign, GetIterPkgTypeClearRules, INorvPkgTypeClearRule, kDes, Field::pkgTypeClearRules)
LUMO_LIST_ITER(INorvDesign, GetIterP2PClearRules, INorvP2PClearRule, kDes, Field::p2pClearRules)
LUMO_LIST_ITER(INorvDesign, GetIterParRuleDefs, INorvParRuleDef, kDes, Field::parRuleDefs)
LUMO_LIST_ITER(INorvDesign, GetIterNoiseRules, INorvNoiseRule, kDes, Field::noiseRules)
LUMO_LIST_ITER(INorvDesign, GetIterZAxisClearRules, INorvZAxisClearRule, kDes, Field::zAxisClearRules)
LUMO_LIST_ITER(INorvDesign, GetIterGenObjTypes, INorvGenObjType, kDes, Field::genObjTypes)

Result INorvDesign::GetNorvGenClear(ContainerT<const INorvGenClear>& out) const
{
    LUMO_OP("GetNorvGenClear");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kDes); !r) return r;
    for (uint64_t i : c.snap->GetList(c.R(), Field::genClears)) {
        if (IsKind(Live(c, i), LUMO_K(GenClear))) {
            SetC(out, c, i);
            return Result();
        }
    }
    return FailNotFound("GenClear");
}

LUMO_FETCH_LISTED(INorvDesign, GetLayer, INorvLayer, kDes, Field::layers, LUMO_K(Layer))
LUMO_FETCH_LISTED(INorvDesign, GetViaSpan, INorvViaSpan, kDes, Field::viaSpans, LUMO_K(ViaSpan))

Result INorvDesign::GetConstraintClass(const Index& index, ContainerT<const INorvConstraintClass>& out) const
{
    LUMO_OP("GetConstraintClass");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kDes); !r) return r;
    const ObjRecord* t = Live(c, index.GetValue());
    if (!t) return FailNotExist(index.GetValue());
    if (t->kind != Kind::ConstraintClass || !Below(*c.snap, t->index, c.index)) return FailNotChild(index.GetValue());
    SetC(out, c, t->index);
    return Result();
}

LUMO_FIND_IN_LIST(INorvDesign, FindConstraintClass, kDes, Field::constraintClasses)
LUMO_FIND_IN_LIST(INorvDesign, FindNetClass, kDes, Field::netClasses)
LUMO_FIND_IN_LIST(INorvDesign, FindScheme, kDes, Field::schemes)
LUMO_FIND_IN_LIST(INorvDesign, FindClearRule, kDes, Field::clearRules)
LUMO_FIND_IN_LIST(INorvDesign, FindGenObjType, kDes, Field::genObjTypes)

Result INorvDesign::AddConstraintClass(MutableContainerT<INorvConstraintClass>& out, const String& name)
{
    LUMO_OP("AddConstraintClass");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kDes); !r) return r;
    CreateLocked(c, out, Kind::ConstraintClass, name.str());
    return c.Done();
}

Result INorvDesign::AddNetClass(MutableContainerT<INorvNetClass>& out, const String& name)
{
    LUMO_OP("AddNetClass");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kDes); !r) return r;
    SyncNewClass(*c.snap, CreateLocked(c, out, Kind::NetClass, name.str()));
    return c.Done();
}

Result INorvDesign::AddScheme(MutableContainerT<INorvScheme>& out, const String& name, ESchemeType type)
{
    LUMO_OP("AddScheme");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kDes); !r) return r;
    const uint32_t slot = CreateLocked(c, out, Kind::Scheme, name.str());
    c.snap->SetInt(slot, Field::schemeType, type);
    PopulateScheme(*c.snap, slot);
    return c.Done();
}

Result INorvDesign::AddClearRule(MutableContainerT<INorvClearRule>& out, const String& name)
{
    LUMO_OP("AddClearRule");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kDes); !r) return r;
    SyncNewClearRule(*c.snap, CreateLocked(c, out, Kind::ClearRule, name.str()));
    return c.Done();
}

Result INorvDesign::AddGenClear(MutableContainerT<INorvGenClear>& out)
{
    LUMO_OP("AddGenClear");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kDes); !r) return r;
    CreateLocked(c, out, Kind::GenClear, "");
    return c.Done();
}

LUMO_DELETE_BELOW(INorvDesign, DeleteNetClass, kDes, kNC)
LUMO_DELETE_BELOW(INorvDesign, DeleteConstraintClass, kDes, kCC)

#define LUMO_DESIGN_DELETE(Method, Fld, KindName)                                                   \
    Result INorvDesign::Method(const Index& index)                                                 \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        if (Result r = c.EnterWrite(op, kDes); !r) return r;                                       \
        if (Result r = DeleteListed(c, Fld, index.GetValue(), LUMO_K(KindName)); !r) return r;     \
        return c.Done();                                                                           \
    }

LUMO_DESIGN_DELETE(DeleteClearRule, Field::clearRules, ClearRule)
LUMO_DESIGN_DELETE(DeleteScheme, Field::schemes, Scheme)
LUMO_DESIGN_DELETE(DeleteViaSpan, Field::viaSpans, ViaSpan)
LUMO_DESIGN_DELETE(DeleteNoiseRule, Field::noiseRules, NoiseRule)
LUMO_DESIGN_DELETE(DeleteParRuleDef, Field::parRuleDefs, ParRuleDef)
LUMO_DESIGN_DELETE(DeleteC2CClearRule, Field::c2cClearRules, C2CClearRule)
LUMO_DESIGN_DELETE(DeleteP2PClearRule, Field::p2pClearRules, P2PClearRule)

LUMO_DELETE_ALL(INorvDesign, DeleteAllParRuleDefs, kDes, Field::parRuleDefs, LUMO_K(ParRuleDef))
LUMO_DELETE_ALL(INorvDesign, DeleteAllC2CClearRules, kDes, Field::c2cClearRules, LUMO_K(C2CClearRule))
LUMO_DELETE_ALL(INorvDesign, DeleteAllZAxisClearRules, kDes, Field::zAxisClearRules, LUMO_K(ZAxisClearRule))
LUMO_DELETE_ALL(INorvDesign, DeleteAllConstVars, kDes, Field::constVars, LUMO_K(ConstVar))
LUMO_DELETE_ALL(INorvDesign, DeleteAllGenObjTypes, kDes, Field::genObjTypes, LUMO_K(GenObjType))
LUMO_DELETE_ALL(INorvDesign, DeleteAllNoiseRules, kDes, Field::noiseRules, LUMO_K(NoiseRule))
LUMO_DELETE_ALL(INorvDesign, DeleteAllP2PClearRules, kDes, Field::p2pClearRules, LUMO_K(P2PClearRule))
LUMO_DELETE_ALL(INorvDesign, DeleteAllPkgTypeClearRules, kDes, Field::pkgTypeClearRules, LUMO_K(PkgTypeClearRule))

// ---------------------------------------------------------------------------------------------------------
// INorvLayer

LUMO_INT_GETTER(INorvLayer, GetType, ELayerType, LUMO_K(Layer), Field::layerType)
LUMO_INT_GETTER(INorvLayer, GetLayerNumber, int32_t, LUMO_K(Layer), Field::layerNumber)
LUMO_INT_GETTER(INorvLayer, GetMetallicLayerNumber, int32_t, LUMO_K(Layer), Field::metallicLayerNumber)
LUMO_SET_NAME(INorvLayer, LUMO_K(Layer))

Result INorvLayer::SetLayerNumber(int32_t number)
{
    LUMO_OP("SetLayerNumber");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, LUMO_K(Layer)); !r) return r;
    c.snap->SetInt(c.slot, Field::layerNumber, number);
    return c.Done();
}

// ---------------------------------------------------------------------------------------------------------
// INorvNetClass

LUMO_CLASS_NAME(INorvNetClass, kNC, NetClass)
LUMO_LIST_ITER(INorvNetClass, GetIterChildNetClasses, INorvNetClass, kNC, Field::childNetClasses)
LUMO_REF_GETTER(INorvNetClass, GetParentNetClass, INorvNetClass, kNC, Field::in, kNC)
LUMO_INDEX_LIST(INorvNetClass, GetSchemaNetClassMappedObjList, kNC, Field::schemaNetClassRules)
LUMO_INDEX_LIST(INorvNetClass, GetListPhysicalNets, kNC, Field::physicalNets)
LUMO_FIND_IN_LIST(INorvNetClass, FindChildNetClass, kNC, Field::childNetClasses)
LUMO_SET_NAME_THEN(INorvNetClass, kNC, RenameMapped(*c.snap, c.slot))

namespace {
Result MoveClass(Ctx& c, const IObject& target, uint64_t kinds)
{
    uint32_t ts = 0;
    if (Result r = ResolveArg(c, target, kinds, true, ts); !r) return r;
    const uint64_t newOwner = c.snap->records[ts].index;
    if (newOwner == c.index || Below(*c.snap, newOwner, c.index)) return FailCyclic(c.index);
    const uint64_t oldOwner = c.R().owner;
    if (const ObjRecord* o = Live(c, oldOwner)) {
        const Field home = HomeField(o->kind, Kind::NetClass);
        if (home != Field::Count) c.snap->RemoveFromList(static_cast<uint32_t>(LiveSlot(c, oldOwner)), home, c.index);
    }
    c.snap->Place(c.slot, newOwner);
    SyncMovedClass(*c.snap, c.slot);
    return c.Done();
}
}  // namespace

Result INorvNetClass::SetParent(INorvNetClass& newParent)
{
    LUMO_OP("SetParent");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kNC); !r) return r;
    return MoveClass(c, newParent, kNC);
}

Result INorvNetClass::SetParent(INorvDesign& design)
{
    LUMO_OP("SetParent");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kNC); !r) return r;
    return MoveClass(c, design, kDes);
}

Result INorvNetClass::AddChildNetClass(MutableContainerT<INorvNetClass>& out, const String& name, INorvDesign& design)
{
    LUMO_OP("AddChildNetClass");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kNC); !r) return r;
    uint32_t ds = 0;
    if (Result r = ResolveArg(c, design, kDes, true, ds); !r) return r;
    SyncNewClass(*c.snap, CreateLocked(c, out, Kind::NetClass, name.str()));
    return c.Done();
}

LUMO_DELETE_CHILD(INorvNetClass, DeleteChildNetClass, kNC, Field::childNetClasses, kNC)
LUMO_DELETE_ALL(INorvNetClass, DeleteAllChildNetClass, kNC, Field::childNetClasses, kNC)

// ---------------------------------------------------------------------------------------------------------
// INorvConstraintClass

LUMO_CLASS_NAME(INorvConstraintClass, kCC, ConstraintClass)
LUMO_REF_GETTER(INorvConstraintClass, GetNetClass, INorvNetClass, kCC, Field::netClass, kNC)
LUMO_LIST_ITER(INorvConstraintClass, GetIterChildConstraintClasses, INorvConstraintClass, kCC, Field::childConstraintClasses)
LUMO_REF_GETTER(INorvConstraintClass, GetParentConstraintClass, INorvConstraintClass, kCC, Field::in, kCC)
LUMO_SET_NAME(INorvConstraintClass, kCC)

Result INorvConstraintClass::GetChildConstraintClass(const String& name, ContainerT<const INorvConstraintClass>& out) const
{
    LUMO_OP("GetChildConstraintClass");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kCC); !r) return r;
    for (uint32_t s : MatchList(*c.snap, c.slot, Field::childConstraintClasses, name.str(), true)) {
        if (c.snap->records[s].kind == Kind::ConstraintClass) {
            SetC(out, c, c.snap->records[s].index);
            return Result();
        }
    }
    return FailNotFound(name.str());
}

LUMO_FIND_IN_LIST(INorvConstraintClass, FindChildConstraintClass, kCC, Field::childConstraintClasses)

Result INorvConstraintClass::SetNetClass(INorvNetClass& lockedClass)
{
    LUMO_OP("SetNetClass");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kCC); !r) return r;
    uint32_t ns = 0;
    if (Result r = ResolveArg(c, lockedClass, kNC, true, ns); !r) return r;
    c.snap->SetRef(c.slot, Field::netClass, c.snap->records[ns].index);
    return c.Done();
}

LUMO_DELETE_ALL(INorvConstraintClass, DeleteAllConstraintClass, kCC, Field::childConstraintClasses, kCC)

// ---------------------------------------------------------------------------------------------------------
// INorvClearRule, INorvViaSpan, INorvParRuleDef, INorvZAxisClearRule

LUMO_INDEX_LIST(INorvClearRule, GetSchemaClearRuleMappedObjList, kCR, Field::schemaClearRules)
LUMO_SET_NAME_THEN(INorvClearRule, kCR, RenameMapped(*c.snap, c.slot))

LUMO_LIST_ITER(INorvViaSpan, GetIterAllowedVias, INorvVia, LUMO_K(ViaSpan), Field::allowedVias)
LUMO_LIST_ITER(INorvParRuleDef, GetIterParRuleSections, INorvParRuleSection, LUMO_K(ParRuleDef), Field::sections)
LUMO_LIST_ITER(INorvZAxisClearRule, GetIterZAxisLayerRules, INorvZAxisLayerRule, LUMO_K(ZAxisClearRule), Field::zAxisLayerRules)

// ---------------------------------------------------------------------------------------------------------
// INorvNoiseRule

namespace {

struct NoiseEnds {
    bool classFamily = false;
    std::string victim, aggressor;
};

std::string EndText(const Ctx& c, Field ref, const char* constraint)
{
    const ObjRecord* r = Live(c, c.snap->GetRef(c.R(), ref));
    if (r) return r->name;
    const std::optional<ConstraintData> v = ConstraintValue(c, constraint);
    return v ? v->GetValueAsString().str() : std::string();
}

bool NoiseType(const Ctx& c, ENoiseRuleType& out)
{
    const int64_t explicitType = c.snap->GetInt(c.R(), Field::noiseType);
    if (explicitType != kUnsetInt) {
        out = static_cast<ENoiseRuleType>(explicitType);
        return true;
    }
    const std::optional<ConstraintData> t = ConstraintValue(c, "PR_TYPE");
    const std::string family = t ? t->GetValueAsString().str() : std::string();
    const bool classes = family == "Class-Class";
    if (!classes && family != "Net-Net") return false;
    const char* all = classes ? "(All Classes)" : "(All Nets)";
    const bool victimAll = EndText(c, Field::victim, "PR_FROM_OBJ") == all;
    const bool aggressorAll = EndText(c, Field::aggressor, "PR_TO_OBJ") == all;
    int v;
    if (classes)
        v = victimAll ? (aggressorAll ? 7 : 3) : (aggressorAll ? 2 : 1);
    else
        v = victimAll ? (aggressorAll ? 8 : 6) : (aggressorAll ? 5 : 4);
    out = static_cast<ENoiseRuleType>(v);
    return true;
}

uint64_t Placeholder(SnapshotData& snap, const std::string& text)
{
    auto it = std::find(snap.placeholders.begin(), snap.placeholders.end(), text);
    size_t n = static_cast<size_t>(it - snap.placeholders.begin());
    if (it == snap.placeholders.end()) snap.placeholders.push_back(text);
    return MakeIndex(kPlaceholderType, n + 1);
}

uint64_t ResolveClassPath(const Ctx& c, const std::string& text)
{
    const uint64_t design = DesignOf(*c.snap, c.index);
    const int64_t ds = LiveSlot(c, design);
    if (ds < 0) return 0;
    uint32_t slot = static_cast<uint32_t>(ds);
    Field list = Field::constraintClasses;
    size_t start = 0;
    uint64_t found = 0;
    for (;;) {
        const size_t sep = text.find('/', start);
        const std::string part = text.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
        found = 0;
        for (uint32_t s : MatchList(*c.snap, slot, list, part, true)) {
            if (c.snap->records[s].kind == Kind::ConstraintClass) {
                found = c.snap->records[s].index;
                slot = s;
                break;
            }
        }
        if (!found || sep == std::string::npos) return found;
        list = Field::childConstraintClasses;
        start = sep + 1;
    }
}

uint64_t ResolveNet(const Ctx& c, const std::string& text)
{
    const uint64_t design = DesignOf(*c.snap, c.index);
    const ObjRecord* d = Live(c, design);
    const int64_t cs = d ? LiveSlot(c, d->owner) : -1;
    if (cs < 0 || c.snap->records[static_cast<size_t>(cs)].kind != Kind::NorvConfig) return 0;
    for (uint32_t s : MatchList(*c.snap, static_cast<uint32_t>(cs), Field::electricalNets, text, true))
        if (c.snap->records[s].kind == Kind::ElectricalNet) return c.snap->records[s].index;
    return 0;
}

Result NoiseGet(const Ctx& c, IObject& victim, IObject& aggressor, ENoiseRuleType& type, bool classes)
{
    const uint64_t endKind = classes ? kCC : LUMO_K(ElectricalNet);
    const bool aggressorRef = c.snap->GetRef(c.R(), Field::aggressor) != 0;
    if (!aggressorRef && !ConstraintValue(c, "PR_TO_OBJ")) return FailNoRef();
    ENoiseRuleType t = NRT_Skip;
    if (!NoiseType(c, t)) t = NRT_Skip;
    auto fill = [&](IObject& out, Field ref, const char* constraint) {
        const uint64_t explicitRef = c.snap->GetRef(c.R(), ref);
        if (explicitRef) {
            if (IsKind(Live(c, explicitRef), endKind)) SetObject(out, c.s, c.snap, explicitRef);
            return;
        }
        const std::optional<ConstraintData> v = ConstraintValue(c, constraint);
        const std::string text = v ? v->GetValueAsString().str() : std::string();
        if (text.empty() || text == "(All Classes)" || text == "(All Nets)") return;
        const uint64_t found = classes ? ResolveClassPath(c, text) : ResolveNet(c, text);
        SetObject(out, c.s, c.snap, found ? found : Placeholder(*c.snap, text));
    };
    fill(victim, Field::victim, "PR_FROM_OBJ");
    fill(aggressor, Field::aggressor, "PR_TO_OBJ");
    type = t;
    return Result();
}

}  // namespace

Result INorvNoiseRule::GetType(ENoiseRuleType& out) const
{
    LUMO_OP("GetType");
    Ctx c(*this);
    if (Result r = c.Enter(op, LUMO_K(NoiseRule)); !r) return r;
    if (!NoiseType(c, out)) return Fail("unknown noise rule type");
    return Result();
}

Result INorvNoiseRule::Get(ContainerT<const INorvConstraintClass>& victim, ContainerT<const INorvConstraintClass>& aggressor,
                           ENoiseRuleType& type) const
{
    LUMO_OP("Get");
    Ctx c(*this);
    ResetC(victim);
    ResetC(aggressor);
    if (Result r = c.Enter(op, LUMO_K(NoiseRule)); !r) return r;
    return NoiseGet(c, Access::Obj(victim), Access::Obj(aggressor), type, true);
}

Result INorvNoiseRule::Get(ContainerT<const INorvElectricalNet>& victim, ContainerT<const INorvElectricalNet>& aggressor,
                           ENoiseRuleType& type) const
{
    LUMO_OP("Get");
    Ctx c(*this);
    ResetC(victim);
    ResetC(aggressor);
    if (Result r = c.Enter(op, LUMO_K(NoiseRule)); !r) return r;
    return NoiseGet(c, Access::Obj(victim), Access::Obj(aggressor), type, false);
}

// ---------------------------------------------------------------------------------------------------------
// Schemes and scheme rules

LUMO_REF_GETTER(INorvScheme, GetParentDesign, INorvDesign, kSch, Field::in, kDes)
LUMO_INT_GETTER(INorvScheme, GetType, ESchemeType, kSch, Field::schemeType)
LUMO_LIST_ITER(INorvScheme, GetIterSchemaNetClassRules, INorvSchemaNetClassRule, kSch, Field::schemaNetClassRules)
LUMO_LIST_ITER(INorvScheme, GetIterSchemaClearRules, INorvSchemaClearRule, kSch, Field::schemaClearRules)
LUMO_SET_NAME(INorvScheme, kSch)
LUMO_FIND_IN_LIST(INorvScheme, FindSchemaClearRule, kSch, Field::schemaClearRules)
LUMO_FIND_IN_LIST(INorvScheme, FindSchemaNetClassRule, kSch, Field::schemaNetClassRules)
LUMO_FETCH_LISTED(INorvScheme, GetSchemaClearRule, INorvSchemaClearRule, kSch, Field::schemaClearRules, kSCR)

LUMO_REF_GETTER(INorvSchemaNetClassRule, GetParentNetClass, INorvNetClass, kSNCR, Field::parentNetClass, kNC)
LUMO_REF_GETTER(INorvSchemaNetClassRule, GetParentScheme, INorvScheme, kSNCR, Field::in, kSch)
LUMO_REF_GETTER(INorvSchemaNetClassRule, GetParentSchemeNetClassRule, INorvSchemaNetClassRule, kSNCR, Field::in, kSNCR)
LUMO_LIST_ITER(INorvSchemaNetClassRule, GetIterSchemeNetClassRuleChild, INorvSchemaNetClassRule, kSNCR, Field::childRules)
LUMO_LIST_ITER(INorvSchemaNetClassRule, GetIterLayerRules, INorvLayerRule, kSNCR, Field::layerRules)
LUMO_LIST_ITER(INorvSchemaNetClassRule, GetIterViaAssigns, INorvViaAssign, kSNCR, Field::viaAssigns)

Result INorvSchemaNetClassRule::GetScheme(ContainerT<const INorvScheme>& out) const
{
    LUMO_OP("GetScheme");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kSNCR); !r) return r;
    return RefGet(c, out, SchemeOfRule(*c.snap, c.index), kSch);
}

Result INorvSchemaNetClassRule::FindLayerRule(ListT<NorvObjectExtInfo>& out, int32_t layerIndex) const
{
    LUMO_OP("FindLayerRule");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, kSNCR); !r) return r;
    return FindLayerRules(c, out, Field::layerRules, Kind::LayerRule, layerIndex);
}

LUMO_FETCH_LISTED(INorvSchemaNetClassRule, GetLayerRule, INorvLayerRule, kSNCR, Field::layerRules, LUMO_K(LayerRule))
LUMO_FIND_IN_LIST(INorvSchemaNetClassRule, FindViaAssign, kSNCR, Field::viaAssigns)

LUMO_REF_GETTER(INorvViaAssign, GetParentSchemeNetClassRule, INorvSchemaNetClassRule, LUMO_K(ViaAssign), Field::in, kSNCR)

LUMO_INT_GETTER(INorvLayerRule, GetLayerIndex, int32_t, LUMO_K(LayerRule), Field::layerIndex)
LUMO_REF_GETTER(INorvLayerRule, GetParentLayer, INorvLayer, LUMO_K(LayerRule), Field::parentLayer, LUMO_K(Layer))
LUMO_REF_GETTER(INorvLayerRule, GetParentSchemeNetClassRule, INorvSchemaNetClassRule, LUMO_K(LayerRule), Field::in, kSNCR)

LUMO_REF_GETTER(INorvSchemaClearRule, GetParentClearRule, INorvClearRule, kSCR, Field::parentClearRule, kCR)
LUMO_REF_GETTER(INorvSchemaClearRule, GetParentScheme, INorvScheme, kSCR, Field::in, kSch)
LUMO_LIST_ITER(INorvSchemaClearRule, GetIterLayerClearRules, INorvLayerClearRule, kSCR, Field::layerClearRules)

Result INorvSchemaClearRule::FindLayerClearRule(ListT<NorvObjectExtInfo>& out, int32_t layerIndex) const
{
    LUMO_OP("FindLayerClearRule");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, kSCR); !r) return r;
    return FindLayerRules(c, out, Field::layerClearRules, Kind::LayerClearRule, layerIndex);
}

LUMO_FETCH_LISTED(INorvSchemaClearRule, GetLayerClearRule, INorvLayerClearRule, kSCR, Field::layerClearRules, LUMO_K(LayerClearRule))

LUMO_INT_GETTER(INorvLayerClearRule, GetLayerIndex, int32_t, LUMO_K(LayerClearRule), Field::layerIndex)
LUMO_REF_GETTER(INorvLayerClearRule, GetParentLayer, INorvLayer, LUMO_K(LayerClearRule), Field::parentLayer, LUMO_K(Layer))

// ---------------------------------------------------------------------------------------------------------
// Generic objects

LUMO_LIST_ITER(INorvGenObjType, GetIterGenCompObjs, INorvGenCompObj, kGOT, Field::genCompObjs)
LUMO_DELETE_BELOW(INorvGenObjType, DeleteGenCompObj, kGOT, kGCO)

LUMO_TEXT_GETTER(INorvGenCompObj, GetLevel, kGCO, Field::level)
LUMO_LIST_ITER(INorvGenCompObj, GetIterGenCompObjs, INorvGenCompObj, kGCO, Field::genCompObjs)
LUMO_LIST_ITER(INorvGenCompObj, GetIterGenObjs, INorvGenObj, kGCO, Field::genObjs)

Result INorvGenCompObj::GetGenObj(const String& name, const String& typeText, ContainerT<const INorvGenObj>& out) const
{
    LUMO_OP("GetGenObj");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kGCO); !r) return r;
    // A Z-axis rule holds an object per layer, and a repair asks once per missing layer: look the name up.
    for (uint32_t s : MatchList(*c.snap, c.slot, Field::genObjs, name.str(), true)) {
        const ObjRecord& g = c.snap->records[s];
        if (g.kind == Kind::GenObj && c.snap->GetText(g, Field::level) == typeText.str()) {
            SetC(out, c, g.index);
            return Result();
        }
    }
    return FailNotFound(name.str());
}

Result INorvGenCompObj::AddGenObj(const String& name, const String& typeText)
{
    MutableContainerT<INorvGenObj> out;
    return AddGenObj(name, typeText, out);
}

Result INorvGenCompObj::AddGenObj(const String& name, const String& typeText, MutableContainerT<INorvGenObj>& out)
{
    LUMO_OP("AddGenObj");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kGCO); !r) return r;
    const uint32_t slot = CreateLocked(c, out, Kind::GenObj, name.str());
    c.snap->SetText(slot, Field::level, typeText.str());
    return c.Done();
}

LUMO_DELETE_CHILD(INorvGenCompObj, DeleteGenObj, kGCO, Field::genObjs, LUMO_K(GenObj))
LUMO_DELETE_BELOW(INorvGenCompObj, DeleteGenCompObj, kGCO, kGCO)

LUMO_TEXT_GETTER(INorvGenObj, GetLevel, LUMO_K(GenObj), Field::level)

}  // namespace Lumo
