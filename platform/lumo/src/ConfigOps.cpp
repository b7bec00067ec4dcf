// Configuration operations: walks, fetches, searches, net creation and UpdateIncremental.
#include "Ops.h"

#include <algorithm>
#include <unordered_set>

namespace Lumo {

using namespace detail;

namespace {
const uint64_t kCfg = LUMO_K(NorvConfig);
const uint64_t kAnyCfg = LUMO_K(NorvConfig) | LUMO_K(DefaultConfig);

// The schematic list a configuration shows: its own, or that of the default configuration of its top block.
std::vector<uint64_t> SchematicList(const Ctx& c, Field f)
{
    if (c.K() == Kind::DefaultConfig) return c.snap->GetList(c.R(), f).Vector();
    const ObjRecord& snapRec = c.snap->records[c.snap->self];
    for (uint64_t dc : c.snap->GetList(snapRec, Field::defaultConfigs)) {
        const ObjRecord* r = Live(c, dc);
        if (r && r->kind == Kind::DefaultConfig && r->name == c.R().name) return c.snap->GetList(*r, f).Vector();
    }
    return {};
}

Result OwnedFetch(const Ctx& c, IObject& out, uint64_t index, Kind kind, Field list)
{
    const ObjRecord* t = Live(c, index);
    if (!t) return FailNotExist(index);
    if (t->kind != kind || !OwnedOrListed(c, list, *t)) return FailNotChild(index);
    SetObject(out, c.s, c.snap, index);
    return Result();
}

bool HasLiveParent(const SnapshotData& snap, const ObjRecord& pn)
{
    const ObjRecord* e = snap.FindLive(snap.GetRef(pn, Field::parentElectricalNet));
    return e && e->kind == Kind::ElectricalNet;
}

Result AddElectricalNetFor(Ctx& c, const IObject& physNet, MutableContainerT<INorvElectricalNet>& out)
{
    uint32_t ps = 0;
    const Ref& ref = Access::RefOf(physNet);
    if (ref.snapshot && ref.snapshot != c.snap) return FailNotChild(ref.index);
    if (Result r = ResolveArg(c, physNet, LUMO_K(PhysicalNet), false, ps); !r) return r;
    if (c.snap->records[ps].owner != c.index) return FailNotChild(ref.index);
    const uint32_t e = NewElectricalNetFor(*c.snap, c.slot, ps);
    SetM(out, c, c.snap->records[e].index);
    return c.Done();
}
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// IConfig

Result IConfig::GetIterFlatNets(IteratorT<const IFlatNet>& out) const
{
    LUMO_OP("GetIterFlatNets");
    Ctx c(*this);
    ResetI(out, c, op);
    if (Result r = c.Enter(op, kAnyCfg); !r) return r;
    FillI(out, c, op, SchematicList(c, Field::flatNets));
    return Result();
}

Result IConfig::GetIterComps(IteratorT<const IComp>& out) const
{
    LUMO_OP("GetIterComps");
    Ctx c(*this);
    ResetI(out, c, op);
    if (Result r = c.Enter(op, kAnyCfg); !r) return r;
    FillI(out, c, op, SchematicList(c, Field::logicComps));
    return Result();
}

// ---------------------------------------------------------------------------------------------------------
// INorvConfig reads

// Fetches an object of the kind that the configuration owns or holds in the list.
#define LUMO_CONFIG_FETCH(Method, OutT, KindName, Fld)                                             \
    Result INorvConfig::Method(const Index& index, ContainerT<const OutT>& out) const              \
    {                                                                                              \
        LUMO_OP(#Method);                                                                          \
        Ctx c(*this);                                                                              \
        ResetC(out);                                                                               \
        if (Result r = c.Enter(op, kCfg); !r) return r;                                            \
        return OwnedFetch(c, Access::Obj(out), index.GetValue(), Kind::KindName, Fld);             \
    }

LUMO_REF_GETTER(INorvConfig, GetNorvDesign, INorvDesign, kCfg, Field::design, LUMO_K(Design))
LUMO_LIST_ITER(INorvConfig, GetIterElectricalNets, INorvElectricalNet, kCfg, Field::electricalNets)
LUMO_LIST_ITER(INorvConfig, GetIterPhysicalNets, INorvPhysicalNet, kCfg, Field::physicalNets)
LUMO_LIST_ITER(INorvConfig, GetIterDiffPairs, INorvDiffPair, kCfg, Field::diffPairs)
LUMO_LIST_ITER(INorvConfig, GetIterNorvComps, INorvComp, kCfg, Field::norvComps)
LUMO_LIST_ITER(INorvConfig, GetIterParts, INorvPart, kCfg, Field::parts)

LUMO_CONFIG_FETCH(GetPhysicalNet, INorvPhysicalNet, PhysicalNet, Field::physicalNets)
LUMO_CONFIG_FETCH(GetElectricalNet, INorvElectricalNet, ElectricalNet, Field::electricalNets)
LUMO_CONFIG_FETCH(GetNorvComp, INorvComp, NorvComp, Field::norvComps)

Result INorvConfig::GetPhysicalNetByFlatNet(const Index& flatNet, ContainerT<const INorvPhysicalNet>& out) const
{
    LUMO_OP("GetPhysicalNetByFlatNet");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kCfg); !r) return r;
    const ObjRecord* f = Live(c, flatNet.GetValue());
    if (!f) return FailNotExist(flatNet.GetValue());
    if (f->kind != Kind::FlatNet) return FailWrongKind(flatNet.GetValue());
    return RefGet(c, out, c.snap->GetRef(*f, Field::physicalNet), LUMO_K(PhysicalNet));
}

Result INorvConfig::GetListNorvPinByPin(ListT<Index>& out, const Index& designPin) const
{
    LUMO_OP("GetListNorvPinByPin");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, kCfg); !r) return r;
    const ObjRecord* d = Live(c, designPin.GetValue());
    if (!d) return FailNotExist(designPin.GetValue());
    if (d->kind != Kind::DesignPin) return FailWrongKind(designPin.GetValue());
    for (uint64_t p : c.snap->GetList(*d, Field::norvPins))
        if (Live(c, p)) out.Add(Index(p));
    return Result();
}

LUMO_FIND_IN_LIST(INorvConfig, FindPhysicalNet, kCfg, Field::physicalNets)
LUMO_FIND_IN_LIST(INorvConfig, FindElectricalNet, kCfg, Field::electricalNets)
LUMO_FIND_IN_LIST(INorvConfig, FindNorvComp, kCfg, Field::norvComps)

// ---------------------------------------------------------------------------------------------------------
// INorvConfig writes

Result INorvConfig::AddNorvDesign(MutableContainerT<INorvDesign>& out)
{
    LUMO_OP("AddNorvDesign");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    const ObjRecord* d = Live(c, c.snap->GetRef(c.R(), Field::design));
    if (d && d->kind == Kind::Design) return FailExists("Design");
    const uint32_t slot = CreateOwned(*c.snap, Kind::Design, c.index, "");
    SetM(out, c, c.snap->records[slot].index);
    return c.Done();
}

Result INorvConfig::AddPhysicalNet(MutableContainerT<INorvPhysicalNet>& out, const String& name, const IFlatNet& flatNet)
{
    LUMO_OP("AddPhysicalNet");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    uint32_t fs = 0;
    if (Result r = ResolveArg(c, flatNet, LUMO_K(FlatNet), false, fs); !r) return r;
    const uint32_t slot = CreateOwned(*c.snap, Kind::PhysicalNet, c.index, name.str());
    c.snap->Link(slot, Field::flatNet, c.snap->records[fs].index);
    const ObjRecord* d = Live(c, c.snap->GetRef(c.R(), Field::design));
    if (d && d->kind == Kind::Design) {
        for (uint64_t nc : c.snap->GetList(*d, Field::netClasses)) {
            const ObjRecord* r = Live(c, nc);
            if (r && r->kind == Kind::NetClass && r->name == "(Default)") {
                c.snap->Link(slot, Field::netClass, nc);
                break;
            }
        }
    }
    SetM(out, c, c.snap->records[slot].index);
    return c.Done();
}

Result INorvConfig::AddElectricalNet(MutableContainerT<INorvElectricalNet>& out, const ContainerT<const INorvPhysicalNet>& physNet)
{
    LUMO_OP("AddElectricalNet");
    Ctx c(*this);
    const IObject& arg = Access::Obj(physNet);
    ResetM(out);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    return AddElectricalNetFor(c, arg, out);
}

Result INorvConfig::AddElectricalNet(MutableContainerT<INorvElectricalNet>& out, const MutableContainerT<INorvPhysicalNet>& physNet)
{
    LUMO_OP("AddElectricalNet");
    Ctx c(*this);
    const ContainerT<const INorvPhysicalNet> arg = physNet.ReadOnly();
    ResetM(out);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    return AddElectricalNetFor(c, Access::Obj(arg), out);
}

Result INorvConfig::AddNorvComp(MutableContainerT<INorvComp>& out, const ContainerT<const INorvPart>& part, const String& name)
{
    LUMO_OP("AddNorvComp");
    Ctx c(*this);
    const uint64_t partIndex = Access::RefOf(Access::Obj(part)).index;
    ResetM(out);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    const uint32_t slot = CreateOwned(*c.snap, Kind::NorvComp, c.index, name.str());
    const uint64_t comp = c.snap->records[slot].index;
    const ObjRecord* p = Live(c, partIndex);
    if (p && p->kind == Kind::Part) {
        c.snap->Link(slot, Field::parentPart, partIndex);
        const RefList partPins = c.snap->GetList(*Live(c, partIndex), Field::partPins);
        for (uint64_t pp : partPins) {
            const ObjRecord* ppr = Live(c, pp);
            if (!ppr || ppr->kind != Kind::PartPin) continue;
            const std::string pinName = ppr->name;
            const uint32_t pin = CreateOwned(*c.snap, Kind::NorvPin, comp, pinName);
            c.snap->SetRef(pin, Field::parentNorvComp, comp);
            c.snap->SetRef(pin, Field::parentPartPin, pp);
        }
    }
    SetM(out, c, comp);
    return c.Done();
}

LUMO_DELETE_CHILD(INorvConfig, DeleteDiffPair, kCfg, Field::diffPairs, LUMO_K(DiffPair))
LUMO_DELETE_CHILD(INorvConfig, DeleteElectricalNet, kCfg, Field::electricalNets, LUMO_K(ElectricalNet))
LUMO_DELETE_CHILD(INorvConfig, DeletePhysicalNet, kCfg, Field::physicalNets, LUMO_K(PhysicalNet))
LUMO_DELETE_CHILD(INorvConfig, DeleteNorvComp, kCfg, Field::norvComps, LUMO_K(NorvComp))
LUMO_DELETE_ALL(INorvConfig, DeleteAllDiffPairs, kCfg, Field::diffPairs, LUMO_K(DiffPair))

Result INorvConfig::UpdateIncremental(const ListT<Index>& physNets, const ListT<Index>& elecNets)
{
    LUMO_OP("UpdateIncremental");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    StandIn::Record rec;
    rec.operation = "UpdateIncremental";
    rec.receiver = Index(c.index);
    std::unordered_set<uint64_t> physSet, elecSet;
    std::vector<uint64_t> elecOrder;
    for (auto it = physNets.GetIterator(); it.IsValid(); ++it) {
        rec.physNets.push_back(*it);
        physSet.insert(it->GetValue());
    }
    for (auto it = elecNets.GetIterator(); it.IsValid(); ++it) {
        rec.elecNets.push_back(*it);
        if (elecSet.insert(it->GetValue()).second) elecOrder.push_back(it->GetValue());
    }
    RecordCall(c.s, rec);

    // Dissolve listed nets whose physical nets (two or more) are all listed.
    for (uint64_t e : elecOrder) {
        const ObjRecord* er = Live(c, e);
        if (!er || er->kind != Kind::ElectricalNet) continue;
        std::vector<uint64_t> members;
        for (uint64_t p : c.snap->GetList(*er, Field::physicalNets)) {
            const ObjRecord* pr = Live(c, p);
            if (pr && pr->kind == Kind::PhysicalNet && std::find(members.begin(), members.end(), p) == members.end())
                members.push_back(p);
        }
        if (members.size() < 2) continue;
        bool all = true;
        for (uint64_t p : members) all = all && physSet.count(p);
        if (!all) continue;
        if (Result r = DeleteObject(c, e); !r) return r;
        for (uint64_t p : members) NewElectricalNetFor(*c.snap, c.slot, static_cast<uint32_t>(LiveSlot(c, p)));
    }

    // Candidates: the listed physical nets, then those whose parent is a listed net that no longer exists.
    std::vector<uint64_t> candidates;
    std::unordered_set<uint64_t> seen;
    for (const Index& p : rec.physNets) {
        const ObjRecord* pr = Live(c, p.GetValue());
        if (pr && pr->kind == Kind::PhysicalNet && seen.insert(p.GetValue()).second) candidates.push_back(p.GetValue());
    }
    bool anyDeleted = false;
    for (uint64_t e : elecOrder) anyDeleted = anyDeleted || (c.snap->Find(e) && !Live(c, e));
    if (anyDeleted) {
        for (uint64_t p : c.snap->GetList(c.R(), Field::physicalNets)) {
            const ObjRecord* pr = Live(c, p);
            if (!pr || pr->kind != Kind::PhysicalNet) continue;
            const uint64_t parent = c.snap->GetRef(*pr, Field::parentElectricalNet);
            if (elecSet.count(parent) && c.snap->Find(parent) && !Live(c, parent) && seen.insert(p).second)
                candidates.push_back(p);
        }
    }
    for (uint64_t p : candidates) {
        const int64_t ps = LiveSlot(c, p);
        if (ps >= 0 && !HasLiveParent(*c.snap, c.snap->records[static_cast<size_t>(ps)]))
            NewElectricalNetFor(*c.snap, c.slot, static_cast<uint32_t>(ps));
    }
    return c.Done();
}

Result INorvConfig::UpdateAllElectricalNets()
{
    LUMO_OP("UpdateAllElectricalNets");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kCfg); !r) return r;
    StandIn::Record rec;
    rec.operation = "UpdateAllElectricalNets";
    rec.receiver = Index(c.index);
    RecordCall(c.s, rec);
    const RefList nets = c.snap->GetList(c.R(), Field::physicalNets);
    for (uint64_t p : nets) {
        const int64_t ps = LiveSlot(c, p);
        if (ps < 0 || c.snap->records[static_cast<size_t>(ps)].kind != Kind::PhysicalNet) continue;
        if (!HasLiveParent(*c.snap, c.snap->records[static_cast<size_t>(ps)]))
            NewElectricalNetFor(*c.snap, c.slot, static_cast<uint32_t>(ps));
    }
    return c.Done();
}

}  // namespace Lumo
