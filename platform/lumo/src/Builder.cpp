// The C++ design builder for tests: writes straight into the store, driven by the kind and relation tables.
#include "Ops.h"

namespace Lumo {
namespace StandIn {

using namespace detail;

namespace {

uint32_t SlotIn(SnapshotData* snap, Index index)
{
    const int64_t s = snap->SlotOfIndex(index.GetValue());
    return s < 0 ? UINT32_MAX : static_cast<uint32_t>(s);
}

Index Make(SnapshotData* snap, Kind kind, Index owner, const std::string& name)
{
    return Index(snap->records[CreateOwned(*snap, kind, owner.GetValue(), name)].index);
}

ConstraintData Value(int v)
{
    ConstraintData d;
    d.kind = CDT_Int;
    d.intValue = v;
    return d;
}

ConstraintData Value(double v)
{
    ConstraintData d;
    d.kind = CDT_Double;
    d.doubleValue = v;
    return d;
}

ConstraintData Value(const std::string& v)
{
    ConstraintData d;
    d.kind = CDT_Text;
    d.textValue = String(v);
    return d;
}

}  // namespace

Builder::Builder(LumoPI& session, const std::string& snapshotName) : m_session(session)
{
    SessionData* s = Access::DataOf(session);
    m_snap = s->SnapshotByName(snapshotName);
    if (!m_snap) m_snap = s->AddSnapshot(snapshotName);
}

Index Builder::Snapshot() const { return Index(m_snap->Index()); }

Index Builder::NorvConfig(const std::string& topBlock) { return Make(m_snap, Kind::NorvConfig, Snapshot(), topBlock); }
Index Builder::DefaultConfig(const std::string& topBlock) { return Make(m_snap, Kind::DefaultConfig, Snapshot(), topBlock); }
Index Builder::Design(Index norvConfig) { return Make(m_snap, Kind::Design, norvConfig, ""); }

Index Builder::Layer(Index design, const std::string& name, int32_t number, int32_t metallicNumber, int32_t layerType)
{
    Index l = Make(m_snap, Kind::Layer, design, name);
    SetInt(l, Field::layerNumber, number);
    SetInt(l, Field::metallicLayerNumber, metallicNumber);
    SetInt(l, Field::layerType, layerType);
    return l;
}

void Builder::DefaultObjects(Index design)
{
    Index def = NetClass(design, "(Default)");
    ConstraintClass(design, "(All)", def);
    ClearRule(design, "(Default Rule)");
    Add(Kind::GenClear, design);
    Scheme(design, "(Master)", ST_Master);
    Scheme(design, "(Minimum)", ST_Minimum);
}

Index Builder::Add(Kind kind, Index owner, const std::string& name, int32_t pinKind)
{
    switch (kind) {
    case Kind::NetClass: return NetClass(owner, name);
    case Kind::ClearRule: return ClearRule(owner, name);
    case Kind::Scheme: return Scheme(owner, name);
    case Kind::NorvPin: return Pin(owner, name, pinKind);
    default: return Make(m_snap, kind, owner, name);
    }
}

Index Builder::NetClass(Index designOrClass, const std::string& name)
{
    Index c = Make(m_snap, Kind::NetClass, designOrClass, name);
    SyncNewClass(*m_snap, SlotIn(m_snap, c));
    return c;
}

Index Builder::ConstraintClass(Index designOrClass, const std::string& name, Index netClass)
{
    Index c = Make(m_snap, Kind::ConstraintClass, designOrClass, name);
    if (!netClass.IsEmpty()) SetRefOnly(c, Field::netClass, netClass);
    return c;
}

Index Builder::ClearRule(Index design, const std::string& name)
{
    Index r = Make(m_snap, Kind::ClearRule, design, name);
    SyncNewClearRule(*m_snap, SlotIn(m_snap, r));
    return r;
}

Index Builder::Scheme(Index design, const std::string& name, ESchemeType type)
{
    Index s = Make(m_snap, Kind::Scheme, design, name);
    SetInt(s, Field::schemeType, type);
    PopulateScheme(*m_snap, SlotIn(m_snap, s));
    return s;
}

Index Builder::Via(Index design, const std::string& name) { return Make(m_snap, Kind::Via, design, name); }
Index Builder::ElectricalNet(Index norvConfig, const std::string& name) { return Make(m_snap, Kind::ElectricalNet, norvConfig, name); }

Index Builder::PhysicalNet(Index norvConfig, const std::string& name, Index electricalNet)
{
    Index n = Make(m_snap, Kind::PhysicalNet, norvConfig, name);
    if (!electricalNet.IsEmpty()) Link(n, Field::parentElectricalNet, electricalNet);
    return n;
}

Index Builder::DiffPair(Index norvConfig, const std::string& name, Index first, Index second)
{
    Index d = Make(m_snap, Kind::DiffPair, norvConfig, name);
    if (!first.IsEmpty()) Link(d, Field::firstElecNet, first);
    if (!second.IsEmpty()) Link(d, Field::secondElecNet, second);
    return d;
}

Index Builder::Part(Index norvConfig, const std::string& name, int partPins)
{
    Index p = Make(m_snap, Kind::Part, norvConfig, name);
    for (int i = 1; i <= partPins; ++i) Make(m_snap, Kind::PartPin, p, std::to_string(i));
    return p;
}

Index Builder::NorvComp(Index norvConfig, const std::string& name, Index part)
{
    Index c = Make(m_snap, Kind::NorvComp, norvConfig, name);
    if (!part.IsEmpty()) Link(c, Field::parentPart, part);
    return c;
}

Index Builder::Pin(Index owner, const std::string& name, int32_t pinKind, Index net)
{
    Index p = Make(m_snap, Kind::NorvPin, owner, name);
    SetInt(p, Field::norvType, pinKind);
    const Kind ok = GetStore().KindOf(owner);
    if (ok == Kind::NorvComp) SetRefOnly(p, Field::parentNorvComp, owner);
    if (ok == Kind::PhysicalNet) SetRefOnly(p, Field::parentPhysicalNet, owner);
    if (!net.IsEmpty()) Link(p, Field::parentPhysicalNet, net);
    return p;
}

Index Builder::PinPair(Index electricalNet, const std::string& name, Index first, Index second, int32_t pairType)
{
    Index p = Make(m_snap, Kind::PinPair, electricalNet, name);
    SetRefOnly(p, Field::firstPin, first);
    SetRefOnly(p, Field::secondPin, second);
    SetInt(p, Field::pairType, pairType);
    return p;
}

Index Builder::FromTo(Index physicalNet, const std::string& name, Index from, Index to)
{
    Index f = Make(m_snap, Kind::FromTo, physicalNet, name);
    SetRefOnly(f, Field::pinFrom, from);
    SetRefOnly(f, Field::pinTo, to);
    return f;
}

Index Builder::FlatNet(Index defaultConfig, const std::string& name, Index physicalNet)
{
    Index f = Make(m_snap, Kind::FlatNet, defaultConfig, name);
    if (!physicalNet.IsEmpty()) Link(f, Field::physicalNet, physicalNet);
    return f;
}

Index Builder::LogicComp(Index defaultConfig, const std::string& name) { return Make(m_snap, Kind::LogicComp, defaultConfig, name); }

Index Builder::DesignPin(Index logicComp, const std::string& name, const std::string& pinNumber)
{
    Index p = Make(m_snap, Kind::DesignPin, logicComp, name);
    if (!pinNumber.empty()) {
        Attribute(p, "Pin Number", pinNumber, 3);
        Attribute(p, "Pin Number", pinNumber, 0);
    }
    return p;
}

void Builder::Link(Index a, Field field, Index b)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->Link(s, field, b.GetValue());
}

void Builder::SetRefOnly(Index a, Field field, Index b)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->SetRef(s, field, b.GetValue());
}

void Builder::AppendOnly(Index a, Field field, Index b)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->Append(s, field, b.GetValue());
}

void Builder::SetInt(Index a, Field field, int64_t value)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->SetInt(s, field, value);
}

void Builder::SetText(Index a, Field field, const std::string& value)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->SetText(s, field, value);
}

void Builder::SetName(Index a, const std::string& name)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->SetName(s, name);
}

void Builder::Literal(Index a, Field field)
{
    const uint32_t s = SlotIn(m_snap, a);
    if (s != UINT32_MAX) m_snap->ClearList(s, field);
}

Index Builder::Constraint(Index holder, const std::string& name, int value) { return Constraint(holder, name, Value(value)); }
Index Builder::Constraint(Index holder, const std::string& name, double value) { return Constraint(holder, name, Value(value)); }
Index Builder::Constraint(Index holder, const std::string& name, const char* value)
{
    return Constraint(holder, name, Value(std::string(value ? value : "")));
}
Index Builder::Constraint(Index holder, const std::string& name, const std::string& value) { return Constraint(holder, name, Value(value)); }

Index Builder::Constraint(Index holder, const std::string& name, const std::vector<int32_t>& value)
{
    ConstraintData d;
    d.kind = CDT_IntList;
    d.intList = value;
    return Constraint(holder, name, d);
}

Index Builder::Constraint(Index holder, const std::string& name, const std::vector<double>& value)
{
    ConstraintData d;
    d.kind = CDT_DoubleList;
    d.doubleList = value;
    return Constraint(holder, name, d);
}

Index Builder::Constraint(Index holder, const std::string& name, const std::vector<std::string>& value)
{
    ConstraintData d;
    d.kind = CDT_TextList;
    for (const std::string& v : value) d.textList.push_back(String(v));
    return Constraint(holder, name, d);
}

Index Builder::Constraint(Index holder, const std::string& name, const ConstraintData& value)
{
    ConstraintData v = value;
    if (!ResolveDefaultKind(*Access::DataOf(m_session), name, v)) {
        v = value;
        v.kind = CDT_Text;
    }
    Index c = Make(m_snap, Kind::Constraint, holder, name);
    m_snap->SetValue(SlotIn(m_snap, c), v);
    return c;
}

void Builder::ConstraintFlags(Index constraint, bool definition, bool user)
{
    SetInt(constraint, Field::definition, definition ? 1 : 0);
    SetInt(constraint, Field::user, user ? 1 : 0);
}

void Builder::ConstraintIsDefault(Index constraint, bool isDefault) { SetInt(constraint, Field::isDefaultValue, isDefault ? 1 : 0); }
void Builder::ConstraintParent(Index constraint, Index parent) { SetRefOnly(constraint, Field::parent, parent); }

Index Builder::Definition(const std::string& name, const ConstraintData& value)
{
    return Index(Access::DataOf(m_session)->AddDefinition(name, value));
}
Index Builder::Definition(const std::string& name, int value) { return Definition(name, Value(value)); }
Index Builder::Definition(const std::string& name, double value) { return Definition(name, Value(value)); }
Index Builder::Definition(const std::string& name, const char* value) { return Definition(name, Value(std::string(value ? value : ""))); }

void Builder::Inherit(Index object, const std::string& definitionName)
{
    const uint32_t s = SlotIn(m_snap, object);
    if (s != UINT32_MAX) m_snap->AddInherits(m_snap->records[s], {definitionName});
}

void Builder::Attribute(Index object, const std::string& name, const std::string& value, int32_t type, int32_t bit)
{
    const uint32_t s = SlotIn(m_snap, object);
    if (s == UINT32_MAX) return;
    m_snap->PutAttribute(m_snap->records[s], name, value, type, bit, false);
}

void Builder::SnapshotAttribute(const std::string& name, const std::string& value)
{
    for (auto& a : m_snap->attributes) {
        if (a.first == name) {
            a.second = value;
            return;
        }
    }
    m_snap->attributes.emplace_back(name, value);
}

void Builder::Invalid(Index object, bool invalid) { GetStore().SetFlag(object, "valid", !invalid); }
void Builder::EmptyIndex(Index object, bool empty) { GetStore().SetFlag(object, "emptyIndex", empty); }

void Builder::Fail(Index object, const std::string& op, int count)
{
    if (count == 0) return;
    SnapshotData* table = TableFor(Access::DataOf(m_session), m_snap, object.GetValue());
    table->faults[object.GetValue()].push_back(FaultEntry{op, OpKeyFromName(op), count < 0 ? -1 : count});
}

void Builder::ForeignLock(Index object, const std::string& address, const std::string& subClient, bool deep)
{
    m_snap->DeclareLock(object.GetValue(), address, subClient, deep);
}

void Builder::Client(const std::string& name, const std::vector<std::string>& subClients)
{
    m_snap->clients.push_back(ClientRec{name, subClients});
}

void Builder::Delete(Index object)
{
    const uint32_t s = SlotIn(m_snap, object);
    if (s == UINT32_MAX || !m_snap->records[s].Alive()) return;
    m_snap->Erase(m_snap->CollectDeletion(s));
}

Store& Builder::GetStore() const
{
    Store& st = Lumo::StandIn::GetStore(m_session);
    st.Select(m_snap->Name());
    return st;
}

}  // namespace StandIn
}  // namespace Lumo
