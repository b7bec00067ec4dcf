// Connectivity operations: nets, pins, pairs, components and parts.
#include "Ops.h"

#include <algorithm>
#include <unordered_map>

namespace Lumo {

using namespace detail;

namespace {
const uint64_t kEN = LUMO_K(ElectricalNet);
const uint64_t kPN = LUMO_K(PhysicalNet);
const uint64_t kPin = LUMO_K(NorvPin);
const uint64_t kComp = LUMO_K(NorvComp);
const uint64_t kPart = LUMO_K(Part);
const uint64_t kPartPin = LUMO_K(PartPin);

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// INorvDiffPair

LUMO_REF_GETTER(INorvDiffPair, GetFirstElecNet, INorvElectricalNet, LUMO_K(DiffPair), Field::firstElecNet, kEN)
LUMO_REF_GETTER(INorvDiffPair, GetSecondElecNet, INorvElectricalNet, LUMO_K(DiffPair), Field::secondElecNet, kEN)

// ---------------------------------------------------------------------------------------------------------
// INorvElectricalNet

LUMO_LIST_ITER(INorvElectricalNet, GetIterPhysicalNets, INorvPhysicalNet, kEN, Field::physicalNets)
LUMO_FILTER_ITER(INorvElectricalNet, GetIterPinPairs, INorvPinPair, EPinPairType, kEN, Field::pinPairs)
LUMO_REF_GETTER(INorvElectricalNet, GetParentDiffPair, INorvDiffPair, kEN, Field::parentDiffPair, LUMO_K(DiffPair))
LUMO_REF_GETTER(INorvElectricalNet, GetConstraintClass, INorvConstraintClass, kEN, Field::constraintClass,
                LUMO_K(ConstraintClass))

Result INorvElectricalNet::RemovePhysicalNet(const Index& physNet)
{
    LUMO_OP("RemovePhysicalNet");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kEN); !r) return r;
    const uint64_t p = physNet.GetValue();
    const bool listed = c.snap->Contains(c.R(), Field::physicalNets, p);
    const int64_t ps = LiveSlot(c, p);
    const bool pointing = ps >= 0 && c.snap->GetRef(c.snap->records[static_cast<size_t>(ps)], Field::parentElectricalNet) == c.index;
    if (!listed && !pointing) return FailNotChild(p);
    c.snap->RemoveFromList(c.slot, Field::physicalNets, p);
    if (pointing) c.snap->SetRef(static_cast<uint32_t>(ps), Field::parentElectricalNet, 0);
    return c.Done();
}

Result INorvElectricalNet::AddPhysicalNet(const INorvPhysicalNet& physNet)
{
    LUMO_OP("AddPhysicalNet");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kEN); !r) return r;
    uint32_t ps = 0;
    if (Result r = ResolveArg(c, physNet, kPN, false, ps); !r) return r;
    const uint64_t p = c.snap->records[ps].index;
    const uint64_t old = c.snap->GetRef(c.snap->records[ps], Field::parentElectricalNet);
    if (old != c.index) {
        const int64_t os = LiveSlot(c, old);
        if (os >= 0 && c.snap->records[static_cast<size_t>(os)].kind == Kind::ElectricalNet)
            c.snap->RemoveFromList(static_cast<uint32_t>(os), Field::physicalNets, p);
    }
    if (!c.snap->Contains(c.R(), Field::physicalNets, p)) c.snap->Append(c.slot, Field::physicalNets, p);
    c.snap->SetRef(ps, Field::parentElectricalNet, c.index);
    return c.Done();
}

LUMO_DELETE_CHILD(INorvElectricalNet, DeletePinPair, kEN, Field::pinPairs, LUMO_K(PinPair))
LUMO_DELETE_ALL(INorvElectricalNet, DeleteAllPinPair, kEN, Field::pinPairs, LUMO_K(PinPair))

Result INorvElectricalNet::SetConstraintClass(INorvConstraintClass& lockedClass)
{
    LUMO_OP("SetConstraintClass");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kEN); !r) return r;
    uint32_t cs = 0;
    if (Result r = ResolveArg(c, lockedClass, LUMO_K(ConstraintClass), true, cs); !r) return r;
    c.snap->SetRef(c.slot, Field::constraintClass, c.snap->records[cs].index);
    return c.Done();
}

// ---------------------------------------------------------------------------------------------------------
// INorvPhysicalNet

LUMO_REF_GETTER(INorvPhysicalNet, GetParentElectricalNet, INorvElectricalNet, kPN, Field::parentElectricalNet, kEN)
LUMO_INT_GETTER(INorvPhysicalNet, GetType, EPhysicalNetType, kPN, Field::netType)
LUMO_FILTER_ITER(INorvPhysicalNet, GetIterPins, INorvPin, ENorvPinType, kPN, Field::pins)
LUMO_LIST_ITER(INorvPhysicalNet, GetIterFromTos, INorvFromTo, kPN, Field::fromTos)
LUMO_REF_GETTER(INorvPhysicalNet, GetNetClass, INorvNetClass, kPN, Field::netClass, LUMO_K(NetClass))
LUMO_REF_GETTER(INorvPhysicalNet, GetFlatNet, IFlatNet, kPN, Field::flatNet, LUMO_K(FlatNet))

namespace detail {
// The distinct design pins of a flat net's page nets, in page-net order.
std::vector<uint64_t> FlatNetPins(const SnapshotData& snap, const ObjRecord& flatNet)
{
    std::vector<uint64_t> out;
    for (uint64_t pn : snap.GetList(flatNet, Field::pageNets)) {
        const ObjRecord* p = snap.FindLive(pn);
        if (!p || p->kind != Kind::PageNet) continue;
        for (uint64_t d : snap.GetList(*p, Field::pinsConnected))
            if (std::find(out.begin(), out.end(), d) == out.end()) out.push_back(d);
    }
    return out;
}
}  // namespace detail

Result INorvPhysicalNet::GetIterPinsConnected(IteratorT<const IPin>& out) const
{
    LUMO_OP("GetIterPinsConnected");
    Ctx c(*this);
    ResetI(out, c, op);
    if (Result r = c.Enter(op, kPN); !r) return r;
    if (c.R().flags & kListGiven) {
        LendI(out, c, op, c.snap->GetList(c.R(), Field::pinsConnected));
        return Result();
    }
    std::vector<uint64_t> items;
    if (const ObjRecord* f = Live(c, c.snap->GetRef(c.R(), Field::flatNet))) {
        if (f->kind == Kind::FlatNet) items = FlatNetPins(*c.snap, *f);
    }
    FillI(out, c, op, std::move(items));
    return Result();
}

Result INorvPhysicalNet::FindPin(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params,
                                 const BitContainerT<ENorvPinType>& kinds) const
{
    LUMO_OP("FindPin");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, kPN); !r) return r;
    for (uint32_t s : MatchList(*c.snap, c.slot, Field::pins, name.str(), params.Contains(SP_MatchCase))) {
        const ObjRecord& p = c.snap->records[s];
        if (p.kind != Kind::NorvPin) continue;
        const int64_t t = c.snap->GetInt(p, Field::norvType);
        if (t < 0 || t >= 32 || !((kinds.GetWord() >> t) & 1u)) continue;
        out.Add(NorvObjectInfo{Index(p.index), String(p.name)});
    }
    return Result();
}

LUMO_DELETE_CHILD(INorvPhysicalNet, DeleteFromTo, kPN, Field::fromTos, LUMO_K(FromTo))
LUMO_DELETE_ALL(INorvPhysicalNet, DeleteAllFromTos, kPN, Field::fromTos, LUMO_K(FromTo))

Result INorvPhysicalNet::DeletePin(const Index& index)
{
    LUMO_OP("DeletePin");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kPN); !r) return r;
    const ObjRecord* t = Live(c, index.GetValue());
    if (!t) return FailNotExist(index.GetValue());
    if (t->kind != Kind::NorvPin ||
        (!OwnedOrListed(c, Field::pins, *t) && c.snap->GetRef(*t, Field::parentPhysicalNet) != c.index))
        return FailNotChild(index.GetValue());
    if (Result r = DeleteObject(c, index.GetValue()); !r) return r;
    return c.Done();
}

Result INorvPhysicalNet::DisconnectPin(INorvPin& lockedPin)
{
    LUMO_OP("DisconnectPin");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kPN); !r) return r;
    uint32_t ps = 0;
    if (Result r = ResolveArg(c, lockedPin, kPin, true, ps); !r) return r;
    const uint64_t pin = c.snap->records[ps].index;
    const bool listed = c.snap->Contains(c.R(), Field::pins, pin);
    const bool pointing = c.snap->GetRef(c.snap->records[ps], Field::parentPhysicalNet) == c.index;
    if (!listed && !pointing) return FailNotChild(pin);
    c.snap->RemoveFromList(c.slot, Field::pins, pin);
    if (pointing) c.snap->SetRef(ps, Field::parentPhysicalNet, 0);
    return c.Done();
}

Result INorvPhysicalNet::ConnectPin(INorvPin& lockedPin)
{
    LUMO_OP("ConnectPin");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kPN); !r) return r;
    uint32_t ps = 0;
    if (Result r = ResolveArg(c, lockedPin, kPin, true, ps); !r) return r;
    ConnectPinTo(*c.snap, ps, c.slot);
    return c.Done();
}

LUMO_SET_NAME(INorvPhysicalNet, kPN)

Result INorvPhysicalNet::SetNetClass(INorvNetClass& lockedClass)
{
    LUMO_OP("SetNetClass");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kPN); !r) return r;
    uint32_t cs = 0;
    if (Result r = ResolveArg(c, lockedClass, LUMO_K(NetClass), true, cs); !r) return r;
    const uint64_t cls = c.snap->records[cs].index;
    const uint64_t old = c.snap->GetRef(c.R(), Field::netClass);
    if (old != cls) {
        const int64_t os = LiveSlot(c, old);
        if (os >= 0 && c.snap->records[static_cast<size_t>(os)].kind == Kind::NetClass)
            c.snap->RemoveFromList(static_cast<uint32_t>(os), Field::physicalNets, c.index);
    }
    c.snap->SetRef(c.slot, Field::netClass, cls);
    if (!c.snap->Contains(c.snap->records[cs], Field::physicalNets, c.index)) c.snap->Append(cs, Field::physicalNets, c.index);
    return c.Done();
}

// ---------------------------------------------------------------------------------------------------------
// INorvPinPair, INorvFromTo

LUMO_REF_GETTER(INorvPinPair, GetParentElectricalNet, INorvElectricalNet, LUMO_K(PinPair), Field::in, kEN)
LUMO_INT_GETTER(INorvPinPair, GetType, EPinPairType, LUMO_K(PinPair), Field::pairType)
LUMO_REF_GETTER(INorvPinPair, GetFirstPin, INorvPin, LUMO_K(PinPair), Field::firstPin, kPin)
LUMO_REF_GETTER(INorvPinPair, GetSecondPin, INorvPin, LUMO_K(PinPair), Field::secondPin, kPin)

LUMO_REF_GETTER(INorvFromTo, GetParentPhysicalNet, INorvPhysicalNet, LUMO_K(FromTo), Field::in, kPN)
LUMO_REF_GETTER(INorvFromTo, GetPinFrom, INorvPin, LUMO_K(FromTo), Field::pinFrom, kPin)
LUMO_REF_GETTER(INorvFromTo, GetPinTo, INorvPin, LUMO_K(FromTo), Field::pinTo, kPin)

// ---------------------------------------------------------------------------------------------------------
// INorvPin

LUMO_INT_GETTER(INorvPin, GetNorvType, ENorvPinType, kPin, Field::norvType)
LUMO_INT_GETTER(INorvPin, GetType, EPinType, kPin, Field::pinType)
LUMO_REF_GETTER(INorvPin, GetParentPhysicalNet, INorvPhysicalNet, kPin, Field::parentPhysicalNet, kPN)
LUMO_REF_GETTER(INorvPin, GetParentNorvComp, INorvComp, kPin, Field::parentNorvComp, kComp)
LUMO_REF_GETTER(INorvPin, GetParentPartPin, INorvPartPin, kPin, Field::parentPartPin, kPartPin)
LUMO_REF_GETTER(INorvPin, GetPin, IPin, kPin, Field::designPin, LUMO_K(DesignPin))
LUMO_REF_GETTER(INorvPin, GetParentPin, INorvPin, kPin, Field::parentPin, kPin)
LUMO_REF_GETTER(INorvPin, GetVirutalPinSetPin, INorvPin, kPin, Field::virtualPinSetPin, kPin)
LUMO_LIST_ITER(INorvPin, GetIterFlatPins, IPin, kPin, Field::flatPins)
LUMO_FILTER_ITER(INorvPin, GetIterPins, INorvPin, ENorvPinType, kPin, Field::members)
LUMO_SET_NAME(INorvPin, kPin)

// ---------------------------------------------------------------------------------------------------------
// INorvComp

LUMO_REF_GETTER(INorvComp, GetParentPart, INorvPart, kComp, Field::parentPart, kPart)
LUMO_FILTER_ITER(INorvComp, GetIterPins, INorvPin, ENorvPinType, kComp, Field::pins)
LUMO_LIST_ITER(INorvComp, GetIterLogicComp, IComp, kComp, Field::logicComps)
LUMO_SET_NAME(INorvComp, kComp)

Result INorvComp::GetPin(const Index& index, ContainerT<const INorvPin>& out) const
{
    LUMO_OP("GetPin");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, kComp); !r) return r;
    const ObjRecord* t = Live(c, index.GetValue());
    if (!t) return FailNotExist(index.GetValue());
    if (t->kind != Kind::NorvPin || !c.snap->Contains(c.R(), Field::pins, t->index)) return FailNotChild(index.GetValue());
    SetC(out, c, t->index);
    return Result();
}

Result INorvComp::RemoveLogicComp(const IComp& logicComp)
{
    LUMO_OP("RemoveLogicComp");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kComp); !r) return r;
    const uint64_t lc = Access::RefOf(logicComp).index;
    if (!c.snap->Contains(c.R(), Field::logicComps, lc)) return FailNotChild(lc);
    c.snap->RemoveFromList(c.slot, Field::logicComps, lc);
    const RefList pins = c.snap->GetList(c.R(), Field::pins);
    for (uint64_t p : pins) {
        const int64_t ps = LiveSlot(c, p);
        if (ps < 0 || c.snap->records[static_cast<size_t>(ps)].kind != Kind::NorvPin) continue;
        const uint64_t d = c.snap->GetRef(c.snap->records[static_cast<size_t>(ps)], Field::designPin);
        const int64_t ds = LiveSlot(c, d);
        if (ds < 0 || c.snap->records[static_cast<size_t>(ds)].owner != lc) continue;
        c.snap->SetRef(static_cast<uint32_t>(ps), Field::designPin, 0);
        c.snap->RemoveFromList(static_cast<uint32_t>(ps), Field::flatPins, d);
        c.snap->RemoveFromList(static_cast<uint32_t>(ds), Field::norvPins, p);
    }
    return c.Done();
}

namespace {

// The pin numbers of a design pin, one per bit.
std::vector<std::string> PinNumbers(const SnapshotData& snap, const ObjRecord& d)
{
    const int64_t width = std::max<int64_t>(1, snap.GetInt(d, Field::width));
    std::vector<std::string> out;
    for (int64_t k = 0; k < width; ++k) {
        const int32_t bit = width > 1 ? static_cast<int32_t>(k) : -1;
        std::string number;
        for (int32_t type : {3, 2, 1, 0}) {
            const std::string* v = snap.FindAttribute(d, "Pin Number", type, bit);
            if (v && !v->empty()) {
                number = *v;
                break;
            }
        }
        out.push_back(number.empty() ? d.name : number);
    }
    return out;
}

// The physical net of the first flat net of the top block whose page nets list the design pin.
int64_t NetOfDesignPin(const SnapshotData& snap, const std::string& topBlock, uint64_t designPin)
{
    const ObjRecord* d = snap.FindLive(designPin);
    if (!d) return -1;
    const ObjRecord* config = nullptr;
    for (uint64_t dc : snap.GetList(snap.records[snap.self], Field::defaultConfigs)) {
        const ObjRecord* r = snap.FindLive(dc);
        if (r && r->kind == Kind::DefaultConfig && r->name == topBlock) {
            config = r;
            break;
        }
    }
    if (!config) return -1;
    auto listsPin = [&](const ObjRecord& flat) {
        for (uint64_t pn : snap.GetList(flat, Field::pageNets)) {
            const ObjRecord* p = snap.FindLive(pn);
            if (p && p->kind == Kind::PageNet && snap.Contains(*p, Field::pinsConnected, designPin)) return true;
        }
        return false;
    };
    // Candidates through the pin's own page nets; the full list only when they give none.
    std::vector<uint64_t> candidates;
    for (uint64_t pn : snap.GetList(*d, Field::netsConnected)) {
        const ObjRecord* p = snap.FindLive(pn);
        const ObjRecord* f = p ? snap.FindLive(p->owner) : nullptr;
        if (f && f->kind == Kind::FlatNet && f->owner == config->index && listsPin(*f)) candidates.push_back(f->index);
    }
    uint64_t chosen = 0;
    if (candidates.size() == 1) {
        chosen = candidates.front();
    } else {
        for (uint64_t fn : snap.GetList(*config, Field::flatNets)) {
            const ObjRecord* f = snap.FindLive(fn);
            if (!f || f->kind != Kind::FlatNet) continue;
            if (candidates.empty() ? listsPin(*f) : std::find(candidates.begin(), candidates.end(), fn) != candidates.end()) {
                chosen = fn;
                break;
            }
        }
    }
    const ObjRecord* f = snap.FindLive(chosen);
    if (!f) return -1;
    const int64_t ns = snap.SlotOfIndex(snap.GetRef(*f, Field::physicalNet));
    if (ns < 0 || !snap.records[static_cast<size_t>(ns)].Alive() || snap.records[static_cast<size_t>(ns)].kind != Kind::PhysicalNet)
        return -1;
    return ns;
}

// The header of a list field of a record (its address is known from the record alone) or its items.
void PrefetchListHeader(const SnapshotData& snap, const ObjRecord* r, Field f)
{
    if (r) __builtin_prefetch(&snap.GetList(*r, f));
}

void PrefetchItems(const SnapshotData& snap, const ObjRecord* r, Field f)
{
    if (!r) return;
    const RefList& list = snap.GetList(*r, f);
    if (!list.empty()) __builtin_prefetch(list.data());
}

// Binding a design pin reads its page nets, their flat nets, the flat nets' physical nets and the lists of all
// of them: a chain of dependent reads scattered over a large design. The chains of a component's pins are
// independent, so they are walked here level by level, each level asking for what the next one reads, and the
// memory of all pins is on its way at once instead of one miss after another. Reads only.
void PrefetchPinNets(const SnapshotData& snap, const std::vector<uint64_t>& designPins)
{
    auto designPin = [&](uint64_t d) {
        const ObjRecord* r = snap.FindLive(d);
        return r && r->kind == Kind::DesignPin ? r : nullptr;
    };
    auto forPageNets = [&](uint64_t d, auto&& visit) {
        if (const ObjRecord* dr = designPin(d)) {
            for (uint64_t pn : snap.GetList(*dr, Field::netsConnected)) {
                const ObjRecord* p = snap.FindLive(pn);
                if (p && p->kind == Kind::PageNet) visit(*p);
            }
        }
    };
    auto flatNet = [&](const ObjRecord& p) {
        const ObjRecord* f = snap.FindLive(p.owner);
        return f && f->kind == Kind::FlatNet ? f : nullptr;
    };
    auto physicalNet = [&](const ObjRecord* f) {
        const ObjRecord* n = f ? snap.FindLive(snap.GetRef(*f, Field::physicalNet)) : nullptr;
        return n && n->kind == Kind::PhysicalNet ? n : nullptr;
    };
    for (uint64_t d : designPins) {
        if (const ObjRecord* dr = designPin(d)) {
            PrefetchListHeader(snap, dr, Field::netsConnected);
            if (!dr->back.empty()) __builtin_prefetch(dr->back.data());   // binding appends to it
            __builtin_prefetch(dr->extras.HeapBlock());                     // its pin numbers
        }
    }
    for (uint64_t d : designPins) PrefetchItems(snap, designPin(d), Field::netsConnected);
    for (uint64_t d : designPins) {
        if (const ObjRecord* dr = designPin(d))
            for (uint64_t pn : snap.GetList(*dr, Field::netsConnected)) snap.Prefetch(pn);
    }
    for (uint64_t d : designPins)
        forPageNets(d, [&](const ObjRecord& p) {
            PrefetchListHeader(snap, &p, Field::pinsConnected);
            snap.Prefetch(p.owner);
        });
    for (uint64_t d : designPins)
        forPageNets(d, [&](const ObjRecord& p) {
            PrefetchItems(snap, &p, Field::pinsConnected);
            if (const ObjRecord* f = flatNet(p)) {
                PrefetchFields(*f);
                PrefetchListHeader(snap, f, Field::pageNets);
            }
        });
    for (uint64_t d : designPins)
        forPageNets(d, [&](const ObjRecord& p) {
            if (const ObjRecord* f = flatNet(p)) {
                PrefetchItems(snap, f, Field::pageNets);
                snap.Prefetch(snap.GetRef(*f, Field::physicalNet));
            }
        });
    for (uint64_t d : designPins)
        forPageNets(d, [&](const ObjRecord& p) { PrefetchListHeader(snap, physicalNet(flatNet(p)), Field::pins); });
    for (uint64_t d : designPins)
        forPageNets(d, [&](const ObjRecord& p) { PrefetchItems(snap, physicalNet(flatNet(p)), Field::pins); });
}

void Bind(SnapshotData& snap, uint32_t pinSlot, uint64_t designPin, const std::string& topBlock)
{
    const uint64_t pin = snap.records[pinSlot].index;
    snap.SetRef(pinSlot, Field::designPin, designPin);
    if (!snap.Contains(snap.records[pinSlot], Field::flatPins, designPin)) snap.Append(pinSlot, Field::flatPins, designPin);
    const int64_t ds = snap.SlotOfIndex(designPin);
    if (ds >= 0 && !snap.Contains(snap.records[static_cast<size_t>(ds)], Field::norvPins, pin))
        snap.Append(static_cast<uint32_t>(ds), Field::norvPins, pin);
    const ObjRecord* net = snap.FindLive(snap.GetRef(snap.records[pinSlot], Field::parentPhysicalNet));
    if (net && net->kind == Kind::PhysicalNet) return;
    const int64_t ns = NetOfDesignPin(snap, topBlock, designPin);
    if (ns >= 0) ConnectPinTo(snap, pinSlot, static_cast<uint32_t>(ns));
}

}  // namespace

Result INorvComp::AddLogicComp(IComp& lockedLogicComp, const ListT<ContainerT<const INorvPin>>& norvPins,
                               const ListT<ContainerT<const IPin>>& designPins)
{
    LUMO_OP("AddLogicComp");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kComp); !r) return r;
    uint32_t ls = 0;
    if (Result r = ResolveArg(c, lockedLogicComp, LUMO_K(LogicComp), true, ls); !r) return r;
    const uint64_t lc = c.snap->records[ls].index;
    if (!c.snap->Contains(c.R(), Field::logicComps, lc)) c.snap->Append(c.slot, Field::logicComps, lc);
    const ObjRecord* config = Live(c, c.R().owner);
    const std::string topBlock = config ? config->name : std::string();

    std::vector<uint64_t> given;
    for (auto it = norvPins.GetIterator(); it.IsValid(); ++it) given.push_back(Access::RefOf(Access::Obj(*it)).index);
    std::vector<uint64_t> dpins;
    for (auto it = designPins.GetIterator(); it.IsValid(); ++it) {
        const uint64_t d = Access::RefOf(Access::Obj(*it)).index;
        if (std::find(dpins.begin(), dpins.end(), d) == dpins.end()) dpins.push_back(d);
    }
    PrefetchPinNets(*c.snap, dpins);
    std::vector<uint64_t> bound;
    // Without a list of Norv pins: the component's net pins by name, in list order, read once per call (a
    // pin created here is bound at once, so it never needs to be found).
    std::unordered_map<std::string, std::vector<uint64_t>> netPinsByName;
    bool netPinsIndexed = false;
    auto isMine = [&](const ObjRecord* p) {
        return p && p->kind == Kind::NorvPin &&
               (c.snap->Contains(c.R(), Field::pins, p->index) || c.snap->GetRef(*p, Field::parentNorvComp) == c.index);
    };
    for (uint64_t d : dpins) {
        const ObjRecord* dr = Live(c, d);
        if (!dr || dr->kind != Kind::DesignPin) continue;
        for (const std::string& number : PinNumbers(*c.snap, *dr)) {
            int64_t pick = -1;
            if (!given.empty()) {
                for (uint64_t n : given) {
                    const ObjRecord* p = Live(c, n);
                    if (isMine(p) && p->name == number && std::find(bound.begin(), bound.end(), n) == bound.end()) {
                        pick = LiveSlot(c, n);
                        break;
                    }
                }
            } else {
                if (!netPinsIndexed) {
                    for (uint64_t n : c.snap->GetList(c.R(), Field::pins)) {
                        const ObjRecord* p = Live(c, n);
                        if (p && p->kind == Kind::NorvPin && c.snap->GetInt(*p, Field::norvType) == NPT_NetPin)
                            netPinsByName[p->name].push_back(n);
                    }
                    netPinsIndexed = true;
                }
                const auto named = netPinsByName.find(number);
                if (named != netPinsByName.end()) {
                    for (uint64_t n : named->second) {
                        if (std::find(bound.begin(), bound.end(), n) == bound.end()) {
                            pick = LiveSlot(c, n);
                            break;
                        }
                    }
                }
                if (pick < 0) {
                    pick = CreateOwned(*c.snap, Kind::NorvPin, c.index, number);
                    c.snap->SetRef(static_cast<uint32_t>(pick), Field::parentNorvComp, c.index);
                }
            }
            if (pick < 0) continue;
            bound.push_back(c.snap->records[static_cast<size_t>(pick)].index);
            Bind(*c.snap, static_cast<uint32_t>(pick), d, topBlock);
        }
    }
    return c.Done();
}

// ---------------------------------------------------------------------------------------------------------
// INorvPart, INorvPartPin, INorvPartPinPair

LUMO_LIST_ITER(INorvPart, GetIterPartPins, INorvPartPin, kPart, Field::partPins)
LUMO_LIST_ITER(INorvPart, GetIterPartPinPairs, INorvPartPinPair, kPart, Field::partPinPairs)
LUMO_LIST_ITER(INorvPart, GetIterNorvComps, INorvComp, kPart, Field::norvComps)

LUMO_REF_GETTER(INorvPartPin, GetParentPart, INorvPart, kPartPin, Field::in, kPart)
LUMO_INT_GETTER(INorvPartPin, GetType, EPartPinType, kPartPin, Field::partPinType)

Result INorvPartPin::GetParentPartPinPair(ListT<NorvObjectInfo>& out) const
{
    LUMO_OP("GetParentPartPinPair");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, kPartPin); !r) return r;
    for (uint64_t i : c.snap->GetList(c.R(), Field::parentPartPinPairs)) {
        const ObjRecord* p = Live(c, i);
        if (p) out.Add(NorvObjectInfo{Index(p->index), String(p->name)});
    }
    return Result();
}

LUMO_REF_GETTER(INorvPartPinPair, GetParentPart, INorvPart, LUMO_K(PartPinPair), Field::in, kPart)
LUMO_REF_GETTER(INorvPartPinPair, GetFirstPartPin, INorvPartPin, LUMO_K(PartPinPair), Field::firstPartPin, kPartPin)
LUMO_REF_GETTER(INorvPartPinPair, GetSecondPartPin, INorvPartPin, LUMO_K(PartPinPair), Field::secondPartPin, kPartPin)

}  // namespace Lumo
