// Session, snapshot and UID manager operations.
#include "Ops.h"

namespace Lumo {

using namespace detail;

namespace {

Result NotBound()
{
    static const auto t = std::make_shared<const std::string>("UID manager not bound");
    return FailShared(t);
}

Result Fetch(const Ref& ref, int32_t op, IObject& out, uint64_t index, Kind kind)
{
    ClearObject(out);
    if (!ref.session) return NotBound();
    SnapshotData* t = TableFor(ref.session, ref.snapshot, index);
    if (Result r = Hook(ref.session, t, OpKey(op), index); !r) return r;
    const ObjRecord* rec = t ? t->FindLive(index) : nullptr;
    if (!rec) return FailNotExist(index);
    if (rec->kind != kind) return FailWrongKind(index);
    SetObject(out, ref.session, ref.snapshot, index);
    return Result();
}

// The live configuration of this kind and top block among the snapshot's list.
int64_t FindConfig(const Ctx& c, Field list, Kind kind, const std::string& topBlock)
{
    for (uint64_t i : c.snap->GetList(c.R(), list)) {
        const int64_t s = LiveSlot(c, i);
        if (s >= 0 && c.snap->records[static_cast<size_t>(s)].kind == kind &&
            c.snap->records[static_cast<size_t>(s)].name == topBlock)
            return s;
    }
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// IUIDManager

Result IUIDManager::ObjectExists(const Index& index, bool& exists) const
{
    LUMO_OP("ObjectExists");
    if (!m_ref.session) return NotBound();
    SnapshotData* t = TableFor(m_ref.session, m_ref.snapshot, index.GetValue());
    if (Result r = Hook(m_ref.session, t, OpKey(op), index.GetValue()); !r) return r;
    const ObjRecord* rec = t ? t->FindLive(index.GetValue()) : nullptr;
    exists = rec != nullptr && StandIn::KindOfType(TypeOf(index.GetValue())) != Kind::None;
    return Result();
}

Result IUIDManager::GetNorvConstraint(ContainerT<const INorvConstraint>& out, const Index& index) const
{
    LUMO_OP("GetNorvConstraint");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::Constraint);
}

Result IUIDManager::GetNorvLayer(ContainerT<const INorvLayer>& out, const Index& index) const
{
    LUMO_OP("GetNorvLayer");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::Layer);
}

Result IUIDManager::GetNorvNetClass(ContainerT<const INorvNetClass>& out, const Index& index) const
{
    LUMO_OP("GetNorvNetClass");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::NetClass);
}

Result IUIDManager::GetNorvClearRule(ContainerT<const INorvClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ClearRule);
}

Result IUIDManager::GetNorvConstraintClass(ContainerT<const INorvConstraintClass>& out, const Index& index) const
{
    LUMO_OP("GetNorvConstraintClass");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ConstraintClass);
}

Result IUIDManager::GetNorvViaSpan(ContainerT<const INorvViaSpan>& out, const Index& index) const
{
    LUMO_OP("GetNorvViaSpan");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ViaSpan);
}

Result IUIDManager::GetNorvGenClear(ContainerT<const INorvGenClear>& out, const Index& index) const
{
    LUMO_OP("GetNorvGenClear");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::GenClear);
}

Result IUIDManager::GetNorvPartTech(ContainerT<const INorvPartTech>& out, const Index& index) const
{
    LUMO_OP("GetNorvPartTech");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::PartTech);
}

Result IUIDManager::GetNorvConstVar(ContainerT<const INorvConstVar>& out, const Index& index) const
{
    LUMO_OP("GetNorvConstVar");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ConstVar);
}

Result IUIDManager::GetNorvC2CClearRule(ContainerT<const INorvC2CClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvC2CClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::C2CClearRule);
}

Result IUIDManager::GetNorvPkgTypeClearRule(ContainerT<const INorvPkgTypeClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvPkgTypeClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::PkgTypeClearRule);
}

Result IUIDManager::GetNorvP2PClearRule(ContainerT<const INorvP2PClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvP2PClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::P2PClearRule);
}

Result IUIDManager::GetNorvParRuleDef(ContainerT<const INorvParRuleDef>& out, const Index& index) const
{
    LUMO_OP("GetNorvParRuleDef");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ParRuleDef);
}

Result IUIDManager::GetNorvParRuleSection(ContainerT<const INorvParRuleSection>& out, const Index& index) const
{
    LUMO_OP("GetNorvParRuleSection");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ParRuleSection);
}

Result IUIDManager::GetNorvNoiseRule(ContainerT<const INorvNoiseRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvNoiseRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::NoiseRule);
}

Result IUIDManager::GetNorvScheme(ContainerT<const INorvScheme>& out, const Index& index) const
{
    LUMO_OP("GetNorvScheme");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::Scheme);
}

Result IUIDManager::GetNorvSchemaNetClassRule(ContainerT<const INorvSchemaNetClassRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvSchemaNetClassRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::SchemaNetClassRule);
}

Result IUIDManager::GetNorvViaAssign(ContainerT<const INorvViaAssign>& out, const Index& index) const
{
    LUMO_OP("GetNorvViaAssign");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ViaAssign);
}

Result IUIDManager::GetNorvLayerRule(ContainerT<const INorvLayerRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvLayerRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::LayerRule);
}

Result IUIDManager::GetNorvSchemaClearRule(ContainerT<const INorvSchemaClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvSchemaClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::SchemaClearRule);
}

Result IUIDManager::GetNorvLayerClearRule(ContainerT<const INorvLayerClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvLayerClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::LayerClearRule);
}

Result IUIDManager::GetNorvGenObjType(ContainerT<const INorvGenObjType>& out, const Index& index) const
{
    LUMO_OP("GetNorvGenObjType");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::GenObjType);
}

Result IUIDManager::GetNorvGenCompObj(ContainerT<const INorvGenCompObj>& out, const Index& index) const
{
    LUMO_OP("GetNorvGenCompObj");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::GenCompObj);
}

Result IUIDManager::GetNorvGenObj(ContainerT<const INorvGenObj>& out, const Index& index) const
{
    LUMO_OP("GetNorvGenObj");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::GenObj);
}

Result IUIDManager::GetNorvDiffPair(ContainerT<const INorvDiffPair>& out, const Index& index) const
{
    LUMO_OP("GetNorvDiffPair");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::DiffPair);
}

Result IUIDManager::GetNorvElectricalNet(ContainerT<const INorvElectricalNet>& out, const Index& index) const
{
    LUMO_OP("GetNorvElectricalNet");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ElectricalNet);
}

Result IUIDManager::GetNorvPinPair(ContainerT<const INorvPinPair>& out, const Index& index) const
{
    LUMO_OP("GetNorvPinPair");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::PinPair);
}

Result IUIDManager::GetNorvPhysicalNet(ContainerT<const INorvPhysicalNet>& out, const Index& index) const
{
    LUMO_OP("GetNorvPhysicalNet");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::PhysicalNet);
}

Result IUIDManager::GetNorvFromTo(ContainerT<const INorvFromTo>& out, const Index& index) const
{
    LUMO_OP("GetNorvFromTo");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::FromTo);
}

Result IUIDManager::GetNorvComp(ContainerT<const INorvComp>& out, const Index& index) const
{
    LUMO_OP("GetNorvComp");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::NorvComp);
}

Result IUIDManager::GetNorvPin(ContainerT<const INorvPin>& out, const Index& index) const
{
    LUMO_OP("GetNorvPin");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::NorvPin);
}

Result IUIDManager::GetNorvPart(ContainerT<const INorvPart>& out, const Index& index) const
{
    LUMO_OP("GetNorvPart");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::Part);
}

Result IUIDManager::GetNorvPartPin(ContainerT<const INorvPartPin>& out, const Index& index) const
{
    LUMO_OP("GetNorvPartPin");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::PartPin);
}

Result IUIDManager::GetNorvVia(ContainerT<const INorvVia>& out, const Index& index) const
{
    LUMO_OP("GetNorvVia");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::Via);
}

Result IUIDManager::GetNorvPartPinPair(ContainerT<const INorvPartPinPair>& out, const Index& index) const
{
    LUMO_OP("GetNorvPartPinPair");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::PartPinPair);
}

Result IUIDManager::GetNorvZAxisClearRule(ContainerT<const INorvZAxisClearRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvZAxisClearRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ZAxisClearRule);
}

Result IUIDManager::GetNorvZAxisLayerRule(ContainerT<const INorvZAxisLayerRule>& out, const Index& index) const
{
    LUMO_OP("GetNorvZAxisLayerRule");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ZAxisLayerRule);
}

Result IUIDManager::GetNorvConstraintDef(ContainerT<const INorvConstraint>& out, const Index& index) const
{
    LUMO_OP("GetNorvConstraintDef");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::ConstraintDef);
}

Result IUIDManager::GetComp(ContainerT<const IComp>& out, const Index& index) const
{
    LUMO_OP("GetComp");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::LogicComp);
}

Result IUIDManager::GetPin(ContainerT<const IPin>& out, const Index& index) const
{
    LUMO_OP("GetPin");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::DesignPin);
}

Result IUIDManager::GetFlatNet(ContainerT<const IFlatNet>& out, const Index& index) const
{
    LUMO_OP("GetFlatNet");
    return Fetch(m_ref, op, Access::Obj(out), index.GetValue(), Kind::FlatNet);
}

// ---------------------------------------------------------------------------------------------------------
// ISnapshot

Result ISnapshot::GetUIDManager(IUIDManager& out) const
{
    LUMO_OP("GetUIDManager");
    Ctx c(*this);
    if (Result r = c.Enter(op, LUMO_K(Snapshot)); !r) return r;
    Ref& ref = Access::RefOf(out);
    ref.session = c.s;
    ref.snapshot = c.snap;
    ref.index = 0;
    return Result();
}

Result ISnapshot::GetNorvConfig(ContainerT<const INorvConfig>& out, const String& topBlock) const
{
    LUMO_OP("GetNorvConfig");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, LUMO_K(Snapshot)); !r) return r;
    const int64_t s = FindConfig(c, Field::norvConfigs, Kind::NorvConfig, topBlock.str());
    if (s < 0) return FailNotFound(topBlock.str());
    SetC(out, c, c.snap->records[static_cast<size_t>(s)].index);
    return Result();
}

Result ISnapshot::GetDefaultConfig(ContainerT<const IConfig>& out, const String& topBlock) const
{
    LUMO_OP("GetDefaultConfig");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, LUMO_K(Snapshot)); !r) return r;
    const int64_t s = FindConfig(c, Field::defaultConfigs, Kind::DefaultConfig, topBlock.str());
    if (s < 0) return FailNotFound(topBlock.str());
    SetC(out, c, c.snap->records[static_cast<size_t>(s)].index);
    return Result();
}

Result ISnapshot::GetAttribute(const String& name, String& value) const
{
    LUMO_OP("GetAttribute");
    Ctx c(*this);
    if (Result r = c.Enter(op, LUMO_K(Snapshot)); !r) return r;
    for (const auto& a : c.snap->attributes) {
        if (a.first == name.str()) {
            value = String(a.second);
            return Result();
        }
    }
    value = String();
    return Result();
}

Result ISnapshot::GetListLocks(ListT<LockInfo>& out) const
{
    LUMO_OP("GetListLocks");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, LUMO_K(Snapshot)); !r) return r;
    for (const LockRec& e : c.snap->locks) out.Add(LockInfo{Index(e.object), String(e.address), String(e.subClient)});
    return Result();
}

Result ISnapshot::AddNorvConfig(MutableContainerT<INorvConfig>& out, const String& topBlock)
{
    LUMO_OP("AddNorvConfig");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, LUMO_K(Snapshot)); !r) return r;
    if (FindConfig(c, Field::norvConfigs, Kind::NorvConfig, topBlock.str()) >= 0) return FailExists(topBlock.str());
    const uint32_t slot = CreateOwned(*c.snap, Kind::NorvConfig, c.index, topBlock.str());
    SetM(out, c, c.snap->records[slot].index);
    return c.Done();
}

LUMO_DELETE_CHILD(ISnapshot, RemoveConfig, LUMO_K(Snapshot), Field::norvConfigs, LUMO_K(NorvConfig))

// ---------------------------------------------------------------------------------------------------------
// LumoPI

Result LumoPI::GetSnapshotByName(ContainerT<const ISnapshot>& out, const String& name) const
{
    LUMO_OP("GetSnapshotByName");
    ResetC(out);
    if (Result r = HookSession(m_data, OpKey(op)); !r) return r;
    SnapshotData* snap = m_data->SnapshotByName(name.str());
    if (!snap) return FailNotFound(name.str());
    m_data->current = snap;
    SetObject(Access::Obj(out), m_data, snap, snap->Index());
    return Result();
}

Result LumoPI::GetDefConstraint(ContainerT<const INorvConstraint>& out, const String& name) const
{
    LUMO_OP("GetDefConstraint");
    ResetC(out);
    if (Result r = HookSession(m_data, OpKey(op)); !r) return r;
    const ObjRecord* def = m_data->FindDefinition(name.str());
    if (!def) return FailNotFound(name.str());
    SetObject(Access::Obj(out), m_data, m_data->CurrentSnapshot(), def->index);
    return Result();
}

Result LumoPI::GetSubClientInfo(SubClientInfo& out) const
{
    LUMO_OP("GetSubClientInfo");
    if (Result r = HookSession(m_data, OpKey(op)); !r) return r;
    out.address = String(m_data->identity.address);
    out.subClientName = String(m_data->identity.subClient);
    return Result();
}

Result LumoPI::GetListClients(ListT<ClientInfo>& out) const
{
    LUMO_OP("GetListClients");
    out.RemoveAll();
    if (Result r = HookSession(m_data, OpKey(op)); !r) return r;
    SnapshotData* snap = m_data->CurrentSnapshot();
    if (!snap) return Result();
    for (const ClientRec& cl : snap->clients) {
        ClientInfo info;
        info.name = String(cl.name);
        for (const std::string& sc : cl.subClients) info.subClients.Add(SubClientCoreInfo{String(sc)});
        out.Add(info);
    }
    return Result();
}

Result LumoPI::RequestProjectBackup(GIndex& out, EProjectBackupType type, const String& text1, const String& text2)
{
    LUMO_OP("RequestProjectBackup");
    if (Result r = HookSession(m_data, OpKey(op)); !r) return r;
    StandIn::Backup b;
    b.gindex = GIndex(MakeIndex(OT_Backup, m_data->defs->nextSerial++));
    b.type = type;
    b.text1 = text1.str();
    b.text2 = text2.str();
    for (const auto& s : m_data->snapshots) b.snapshots.push_back(s->Clone());
    out = b.gindex;
    StandIn::Record rec;
    rec.operation = "RequestProjectBackup";
    rec.type = type;
    rec.text1 = b.text1;
    rec.text2 = b.text2;
    m_data->backups.push_back(std::move(b));
    RecordCall(m_data, std::move(rec));
    m_data->modified = true;
    return Result();
}

}  // namespace Lumo
