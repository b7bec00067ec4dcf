// The host and test API: sessions, change tracking, fault control, call counts, records, backups and the
// direct store access.
#include "Core.h"

namespace Lumo {

LumoPI::LumoPI(detail::SessionData* data) : m_data(data) {}
LumoPI::~LumoPI() { delete m_data; }

namespace detail {
LumoPI* Access::MakeSession(SessionData* data) { return new LumoPI(data); }
}  // namespace detail

namespace StandIn {

using namespace detail;

std::unique_ptr<LumoPI> NewSession(SessionIdentity identity)
{
    auto* data = new SessionData();
    data->identity = std::move(identity);
    return std::unique_ptr<LumoPI>(Access::MakeSession(data));
}

bool IsModified(const LumoPI& session) { return Access::DataOf(session)->modified; }
void ClearModified(LumoPI& session) { Access::DataOf(session)->modified = false; }
Faults& GetFaults(LumoPI& session) { return Access::DataOf(session)->faultsApi; }
bool IsOperationName(const std::string& name) { return OpKeyFromName(name) >= 0; }
CallCounts& GetCallCounts(LumoPI& session) { return Access::DataOf(session)->countsApi; }
const std::vector<Record>& GetRecords(const LumoPI& session) { return Access::DataOf(session)->calls; }
const std::vector<Backup>& GetBackups(const LumoPI& session) { return Access::DataOf(session)->backups; }
Store& GetStore(LumoPI& session) { return Access::DataOf(session)->storeApi; }

// ---------------------------------------------------------------------------------------------------------
// Faults

namespace {
void AddFault(std::vector<FaultEntry>& entries, const std::string& op, int count)
{
    if (count == 0) return;
    entries.push_back(FaultEntry{op, OpKeyFromName(op), count < 0 ? -1 : count});
}
}  // namespace

void Faults::FailOn(Index object, const std::string& op, int count)
{
    SnapshotData* snap = m_session->CurrentSnapshot();
    SnapshotData* table = TableFor(m_session, snap, object.GetValue());
    if (!table) return;
    AddFault(table->faults[object.GetValue()], op, count);
}

void Faults::FailOnSession(const std::string& op, int count) { AddFault(m_session->sessionFaults, op, count); }

void Faults::FailOnSnapshot(Index snapshot, const std::string& op, int count)
{
    for (auto& s : m_session->snapshots) {
        if (s->Index() == snapshot.GetValue()) {
            AddFault(s->faults[snapshot.GetValue()], op, count);
            return;
        }
    }
}

void Faults::FailNext(const std::string& op, int n) { m_session->SetFailNext(op, n); }
void Faults::SetCountdown(uint64_t k) { m_session->countdown = k; }
uint64_t Faults::GetCountdown() const { return m_session->countdown; }
const std::map<std::string, int>& Faults::GetFailNext() const { return m_session->failNext; }

void Faults::ClearObjectFaults()
{
    for (auto& s : m_session->snapshots) s->faults.clear();
    m_session->defs->faults.clear();
    m_session->sessionFaults.clear();
}

void Faults::ClearAll()
{
    ClearObjectFaults();
    m_session->countdown = 0;
    m_session->failNext.clear();
    m_session->failNextByKey.clear();
    m_session->fired.clear();
}

const std::vector<Faults::FiredEntry>& Faults::Fired() const { return m_session->fired; }

std::shared_ptr<const detail::FaultState> Faults::Save() const
{
    auto state = std::make_shared<detail::FaultState>();
    state->countdown = m_session->countdown;
    state->failNext = m_session->failNext;
    state->sessionFaults = m_session->sessionFaults;
    for (const auto& s : m_session->snapshots) state->snapshotFaults.push_back(s->faults);
    state->definitionFaults = m_session->defs->faults;
    state->backups = m_session->backups.size();
    return state;
}

void Faults::Restore(const detail::FaultState& state)
{
    m_session->countdown = state.countdown;
    m_session->failNext.clear();
    m_session->failNextByKey.clear();
    for (const auto& e : state.failNext) m_session->SetFailNext(e.first, e.second);
    m_session->sessionFaults = state.sessionFaults;
    auto restoreSnapshots = [&state](const std::vector<std::shared_ptr<SnapshotData>>& snapshots) {
        for (size_t i = 0; i < snapshots.size() && i < state.snapshotFaults.size(); ++i)
            snapshots[i]->faults = state.snapshotFaults[i];
    };
    restoreSnapshots(m_session->snapshots);
    for (size_t b = state.backups; b < m_session->backups.size(); ++b) restoreSnapshots(m_session->backups[b].snapshots);
    m_session->defs->faults = state.definitionFaults;
}

// ---------------------------------------------------------------------------------------------------------
// Call counts

uint64_t CallCounts::Get(const std::string& op) const
{
    const int32_t key = OpKeyFromName(op);
    const auto& v = m_session->counters.byKey;
    return (key >= 0 && static_cast<size_t>(key) < v.size()) ? v[static_cast<size_t>(key)] : 0;
}

uint64_t CallCounts::Total() const { return m_session->counters.total; }

std::map<std::string, uint64_t> CallCounts::Snapshot() const
{
    std::map<std::string, uint64_t> m;
    const auto& v = m_session->counters.byKey;
    for (size_t k = 0; k < v.size(); ++k)
        if (v[k]) m[OpKeyName(static_cast<int32_t>(k))] = v[k];
    return m;
}

void CallCounts::Reset()
{
    m_session->counters.byKey.assign(m_session->counters.byKey.size(), 0);
    m_session->counters.total = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Store

namespace {
SnapshotData* Sel(SessionData* s, SnapshotData* selected)
{
    if (selected) {
        for (auto& sp : s->snapshots)
            if (sp.get() == selected) return selected;
    }
    return s->CurrentSnapshot();
}

// The table and record of an index (session definitions for type 72).
struct Found {
    SnapshotData* table = nullptr;
    ObjRecord* rec = nullptr;
    uint32_t slot = 0;
};

Found Look(SessionData* s, SnapshotData* selected, Index index)
{
    Found f;
    f.table = TableFor(s, Sel(s, selected), index.GetValue());
    if (!f.table) return f;
    const int64_t slot = f.table->SlotOfIndex(index.GetValue());
    if (slot < 0) return f;
    f.slot = static_cast<uint32_t>(slot);
    f.rec = &f.table->records[f.slot];
    return f;
}
}  // namespace

bool Store::Select(const std::string& snapshotName)
{
    SnapshotData* s = m_session->SnapshotByName(snapshotName);
    if (!s) return false;
    m_selected = s;
    return true;
}

std::string Store::SnapshotName() const
{
    SnapshotData* s = Sel(m_session, m_selected);
    return s ? s->Name() : std::string();
}

Index Store::SnapshotIndex() const
{
    SnapshotData* s = Sel(m_session, m_selected);
    return Index(s ? s->Index() : 0);
}

bool Store::Exists(Index index) const { return Look(m_session, m_selected, index).rec != nullptr; }

bool Store::IsAlive(Index index) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec && f.rec->Alive();
}

Kind Store::KindOf(Index index) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec ? f.rec->kind : Kind::None;
}

std::string Store::Name(Index index) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec ? f.rec->name : std::string();
}

Index Store::Owner(Index index) const
{
    Found f = Look(m_session, m_selected, index);
    return Index(f.rec ? f.rec->owner : 0);
}

int64_t Store::Int(Index index, Field field) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec ? f.table->GetInt(*f.rec, field) : 0;
}

bool Store::HasInt(Index index, Field field) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec && SlotOf(f.rec->kind, field) && f.table->GetInt(*f.rec, field) != kUnsetInt;
}

std::string Store::Text(Index index, Field field) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec ? f.table->GetText(*f.rec, field) : std::string();
}

Index Store::Ref(Index index, Field field) const
{
    Found f = Look(m_session, m_selected, index);
    if (!f.rec) return Index();
    const uint64_t v = f.table->GetRef(*f.rec, field);
    return Index(v == kUnsetRef ? 0 : v);
}

std::vector<Index> Store::List(Index index, Field field) const
{
    std::vector<Index> out;
    Found f = Look(m_session, m_selected, index);
    if (!f.rec) return out;
    for (uint64_t v : f.table->GetList(*f.rec, field)) out.emplace_back(v);
    return out;
}

bool Store::Flag(Index index, const std::string& flag) const
{
    Found f = Look(m_session, m_selected, index);
    if (!f.rec) return false;
    if (flag == "valid") return f.rec->flags & kValid;
    if (flag == "emptyIndex") return f.rec->flags & kEmptyIndex;
    if (flag == "alive") return f.rec->flags & kAlive;
    return false;
}

std::vector<std::string> Store::Inherits(Index index) const
{
    Found f = Look(m_session, m_selected, index);
    return f.rec ? f.table->Inherits(*f.rec) : std::vector<std::string>();
}

std::vector<StoreAttribute> Store::Attributes(Index index) const
{
    std::vector<StoreAttribute> out;
    Found f = Look(m_session, m_selected, index);
    if (!f.rec) return out;
    for (AttributeRec& a : f.table->Attributes(*f.rec))
        out.push_back(StoreAttribute{std::move(a.name), std::move(a.value), a.type, a.bit});
    return out;
}

ConstraintData Store::ConstraintValue(Index constraint) const
{
    Found f = Look(m_session, m_selected, constraint);
    const ConstraintPayload* p = f.rec ? f.table->Payload(*f.rec) : nullptr;
    return p ? f.table->Value(*p) : ConstraintData();
}

std::vector<LockEntry> Store::Locks() const
{
    std::vector<LockEntry> out;
    SnapshotData* s = Sel(m_session, m_selected);
    if (!s) return out;
    for (const LockRec& e : s->locks)
        out.push_back(LockEntry{Index(e.object), e.address, e.subClient, e.deep, e.count, e.declared});
    return out;
}

std::vector<Index> Store::Definitions() const
{
    std::vector<Index> out;
    for (uint64_t i : m_session->definitions)
        if (m_session->defs->FindLive(i)) out.emplace_back(i);
    return out;
}

std::vector<Index> Store::AllLive(Kind kind) const
{
    std::vector<Index> out;
    SnapshotData* s = kind == Kind::ConstraintDef ? m_session->defs.get() : Sel(m_session, m_selected);
    if (!s) return out;
    for (const ObjRecord& r : s->records)
        if (r.Alive() && r.kind == kind) out.emplace_back(r.index);
    return out;
}

size_t Store::RecordCount() const
{
    SnapshotData* s = Sel(m_session, m_selected);
    return s ? s->records.size() : 0;
}

void Store::SetName(Index index, const std::string& name)
{
    Found f = Look(m_session, m_selected, index);
    if (f.rec) f.table->SetName(f.slot, name);
    if (index.GetType() == OT_NorvConstraintDef) m_session->InvalidateDefinitionNames();
}

void Store::SetInt(Index index, Field field, int64_t value)
{
    Found f = Look(m_session, m_selected, index);
    if (f.rec) f.table->SetInt(f.slot, field, value);
}

void Store::SetText(Index index, Field field, const std::string& value)
{
    Found f = Look(m_session, m_selected, index);
    if (f.rec) f.table->SetText(f.slot, field, value);
}

void Store::SetRef(Index index, Field field, Index target)
{
    Found f = Look(m_session, m_selected, index);
    if (f.rec) f.table->SetRef(f.slot, field, target.GetValue());
}

void Store::Append(Index index, Field field, Index target)
{
    Found f = Look(m_session, m_selected, index);
    if (f.rec) f.table->Append(f.slot, field, target.GetValue());
}

void Store::ClearList(Index index, Field field)
{
    Found f = Look(m_session, m_selected, index);
    if (f.rec) f.table->ClearList(f.slot, field);
}

void Store::SetFlag(Index index, const std::string& flag, bool value)
{
    Found f = Look(m_session, m_selected, index);
    if (!f.rec) return;
    uint8_t bit = 0;
    if (flag == "valid") bit = kValid;
    if (flag == "emptyIndex") bit = kEmptyIndex;
    if (flag == "alive") bit = kAlive;
    if (value)
        f.rec->flags |= bit;
    else
        f.rec->flags &= static_cast<uint8_t>(~bit);
    f.table->RefreshTag(f.slot);
}

}  // namespace StandIn
}  // namespace Lumo
