// The design-file saver. Writes the live records of every snapshot with every key explicit and both sides of
// every relation ("complete": false), each object inline at its first occurrence in its owner's home list and
// the others in the snapshot's objects array, then replaces the target file atomically.
#include "JsonFile.h"
#include "Store.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <unordered_set>

namespace Lumo {
namespace detail {

namespace {

using OJson = nlohmann::ordered_json;

OJson FaultsJson(const std::vector<FaultEntry>& faults)
{
    OJson out = OJson::array();
    for (const FaultEntry& f : faults) {
        if (f.count == 0) continue;   // used up
        if (f.count < 0)
            out.push_back(f.op);
        else
            out.push_back(OJson{{"op", f.op}, {"count", f.count}});
    }
    return out;
}

bool AllFinite(const std::vector<double>& v)
{
    for (double d : v)
        if (!std::isfinite(d)) return false;
    return true;
}

// The value and its kind; values JSON cannot hold (non-finite doubles) are written as text of their kind.
void WriteValue(OJson& out, const ConstraintData& v)
{
    switch (v.kind) {
    case CDT_Int: out["value"] = v.intValue; break;
    case CDT_Double:
        if (std::isfinite(v.doubleValue))
            out["value"] = v.doubleValue;
        else
            out["value"] = v.GetValueAsString().str();
        break;
    case CDT_IntList: out["value"] = v.intList; break;
    case CDT_DoubleList:
        if (AllFinite(v.doubleList))
            out["value"] = v.doubleList;
        else
            out["value"] = v.GetValueAsString().str();
        break;
    case CDT_TextList: {
        OJson list = OJson::array();
        for (const String& s : v.textList) list.push_back(s.str());
        out["value"] = std::move(list);
        break;
    }
    default: out["value"] = v.textValue.str(); break;
    }
    out["type"] = v.kind;
}

class SnapshotWriter {
public:
    // sessionIds: the ids taken at session level (snapshots and definitions), null for a backup's snapshot,
    // which is an id scope of its own.
    SnapshotWriter(const SnapshotData& t, std::unordered_set<std::string>* sessionIds)
        : m_t(t), m_written(t.records.size(), 0), m_ids(t.records.size())
    {
        std::unordered_set<std::string> used;
        for (const ObjRecord& r : t.records)
            if (r.Alive() && r.extra && !r.extra->fileId.empty()) used.insert(r.extra->fileId);
        for (size_t i = 0; i < t.records.size(); ++i) {
            const ObjRecord& r = t.records[i];
            if (!r.Alive()) continue;
            if (r.extra && !r.extra->fileId.empty() && (i != t.self || !sessionIds || !sessionIds->count(r.extra->fileId))) {
                m_ids[i] = r.extra->fileId;
            } else {
                std::string id = "k" + std::to_string(r.index & kSerialMask) + "-" + std::to_string(TypeOf(r.index));
                // the snapshot's id is also unique among the session's snapshots and definitions
                while (used.count(id) || (i == t.self && sessionIds && sessionIds->count(id))) id += "_";
                used.insert(id);
                m_ids[i] = std::move(id);
            }
            if (i == t.self && sessionIds) sessionIds->insert(m_ids[i]);
        }
    }

    OJson Write()
    {
        OJson out = Object(m_t.self, false);
        OJson objects = OJson::array();
        // Objects their owner does not hold (or with no live owner) first, then what is left (owner cycles).
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t i = 0; i < m_t.records.size(); ++i) {
                const ObjRecord& r = m_t.records[i];
                if (!r.Alive() || m_written[i] || i == m_t.self) continue;
                if (pass == 0 && HeldByOwner(r)) continue;
                objects.push_back(Object(i, true));
            }
        }
        out["objects"] = std::move(objects);
        return out;
    }

    OJson Ref(uint64_t index, uint64_t targets, bool inList) const
    {
        if (index == 0) return inList ? OJson(IndexText(0)) : OJson(nullptr);
        const int64_t s = m_t.SlotOfIndex(index);
        if (s >= 0 && m_t.records[static_cast<size_t>(s)].Alive() &&
            ((targets >> static_cast<unsigned>(m_t.records[static_cast<size_t>(s)].kind)) & 1u))
            return m_ids[static_cast<size_t>(s)];
        return IndexText(index);
    }

private:
    bool HeldByOwner(const ObjRecord& r) const
    {
        const ObjRecord* owner = m_t.FindLive(r.owner);
        if (!owner) return false;
        const Field home = HomeField(owner->kind, r.kind);
        if (home == Field::Count) return false;
        if (IsListCat(SlotOf(owner->kind, home)->cat)) return m_t.Contains(*owner, home, r.index);
        return m_t.GetRef(*owner, home) == r.index;
    }

    // The JSON of an entry of a home list or home reference: the object inline when this is its place.
    OJson HomeEntry(const ObjRecord& holder, Field home, uint64_t index, uint64_t targets, bool inList)
    {
        const int64_t s = m_t.SlotOfIndex(index);
        if (s >= 0) {
            const ObjRecord& r = m_t.records[static_cast<size_t>(s)];
            if (r.Alive() && !m_written[static_cast<size_t>(s)] && r.owner == holder.index &&
                HomeField(holder.kind, r.kind) == home)
                return Object(static_cast<uint32_t>(s), false);
        }
        return Ref(index, targets, inList);
    }

    OJson Object(uint32_t slot, bool free)
    {
        m_written[slot] = 1;
        const ObjRecord& r = m_t.records[slot];
        const KindInfo& info = InfoOf(r.kind);
        const bool config = r.kind == Kind::NorvConfig || r.kind == Kind::DefaultConfig;
        OJson out = OJson::object();
        out["id"] = m_ids[slot];
        if (free) out["kind"] = info.name;
        out["index"] = IndexText(r.index);
        out[config ? "topBlock" : "name"] = r.name;
        if (free) {
            const ObjRecord* owner = m_t.FindLive(r.owner);
            const uint64_t mask = owner && HomeField(owner->kind, r.kind) != Field::Count ? ~0ull : 0ull;
            out["in"] = Ref(r.owner, mask, false);
        }
        out["valid"] = (r.flags & kValid) != 0;
        out["emptyIndex"] = (r.flags & kEmptyIndex) != 0;
        if (r.kind == Kind::Snapshot) {
            out["nextSerial"] = m_t.nextSerial;
            SnapshotKeys(out);
        }
        if (r.kind == Kind::Constraint || r.kind == Kind::ConstraintDef) {
            if (const ConstraintPayload* p = m_t.Payload(r)) WriteValue(out, p->value);
        }
        for (const FieldSpec* spec : info.fields) {
            if (spec->cat == Cat::HomeList || spec->cat == Cat::HomeRef) continue;
            const SlotRef* s = SlotOf(r.kind, spec->field);
            const char* key = StandIn::FieldName(spec->field);
            switch (spec->cat) {
            case Cat::Int: out[key] = r.slots[s->pos]; break;
            case Cat::OptInt:
                if (r.slots[s->pos] != kUnsetInt) out[key] = r.slots[s->pos];
                break;
            case Cat::Bool: out[key] = r.slots[s->pos] != 0; break;
            case Cat::OptBool:
                if (r.slots[s->pos] != kUnsetInt) out[key] = r.slots[s->pos] != 0;
                break;
            case Cat::Set: {
                OJson set = OJson::array();
                const uint32_t word = static_cast<uint32_t>(r.slots[s->pos]);
                for (int bit = 0; bit < 32; ++bit)
                    if ((word >> bit) & 1u) set.push_back(bit);
                out[key] = std::move(set);
                break;
            }
            case Cat::Text: out[key] = m_t.GetText(r, spec->field); break;
            case Cat::Ref: out[key] = Ref(static_cast<uint64_t>(r.slots[s->pos]), spec->targets, false); break;
            case Cat::OptRef:
                if (static_cast<uint64_t>(r.slots[s->pos]) != kUnsetRef)
                    out[key] = Ref(static_cast<uint64_t>(r.slots[s->pos]), spec->targets, false);
                break;
            case Cat::List: {
                if (r.kind == Kind::PhysicalNet && spec->field == Field::pinsConnected && !(r.flags & kListGiven)) break;
                OJson list = OJson::array();
                for (uint64_t e : r.lists[s->pos]) list.push_back(Ref(e, spec->targets, true));
                out[key] = std::move(list);
                break;
            }
            default: break;
            }
        }
        if (info.norv) {
            const auto& own = m_t.GetList(r, Field::constraints);
            if (!own.empty()) out["constraints"] = HomeList(r, Field::constraints, own, 1ull << static_cast<unsigned>(Kind::Constraint));
            if (r.extra && !r.extra->inherits.empty()) out["inherits"] = r.extra->inherits;
        }
        if (r.kind != Kind::Snapshot && r.extra && !r.extra->attributes.empty()) {
            const bool typed = r.kind == Kind::LogicComp || r.kind == Kind::DesignPin;
            OJson attrs = OJson::array();
            for (const AttributeRec& a : r.extra->attributes) {
                OJson e = OJson::object();
                e["name"] = a.name;
                e["value"] = a.value;
                if (typed) e["type"] = a.type;
                if (r.kind == Kind::DesignPin) e["bit"] = a.bit;
                attrs.push_back(std::move(e));
            }
            out["attributes"] = std::move(attrs);
        }
        auto f = m_t.faults.find(r.index);
        if (f != m_t.faults.end()) {
            OJson faults = FaultsJson(f->second);
            if (!faults.empty()) out["fail"] = std::move(faults);
        }
        for (const FieldSpec* spec : info.fields) {
            if (spec->field == Field::constraints) continue;
            const char* key = StandIn::FieldName(spec->field);
            if (spec->cat == Cat::HomeList) {
                out[key] = HomeList(r, spec->field, m_t.GetList(r, spec->field), spec->targets);
            } else if (spec->cat == Cat::HomeRef) {
                out[key] = HomeEntry(r, spec->field, m_t.GetRef(r, spec->field), spec->targets, false);
            }
        }
        return out;
    }

    OJson HomeList(const ObjRecord& holder, Field home, const std::vector<uint64_t>& entries, uint64_t targets)
    {
        OJson list = OJson::array();
        // copy: writing children never changes the list, but the reference is into the record table
        for (uint64_t e : entries) list.push_back(HomeEntry(holder, home, e, targets, true));
        return list;
    }

    void SnapshotKeys(OJson& out) const
    {
        OJson attrs = OJson::array();
        for (const auto& a : m_t.attributes) attrs.push_back(OJson{{"name", a.first}, {"value", a.second}});
        out["attributes"] = std::move(attrs);
        OJson clients = OJson::array();
        for (const ClientRec& c : m_t.clients) clients.push_back(OJson{{"name", c.name}, {"subClients", c.subClients}});
        out["clients"] = std::move(clients);
        OJson locks = OJson::array();
        for (const LockRec& l : m_t.locks) {
            OJson e = OJson::object();
            e["object"] = Ref(l.object, ~0ull, true);
            e["address"] = l.address;
            e["subClient"] = l.subClient;
            e["deep"] = l.deep;
            locks.push_back(std::move(e));
        }
        out["locks"] = std::move(locks);
    }

    const SnapshotData& m_t;
    std::vector<uint8_t> m_written;
    std::vector<std::string> m_ids;
};

OJson SessionJson(const SessionData& s)
{
    OJson out = OJson::object();
    out["address"] = s.identity.address;
    out["subClient"] = s.identity.subClient;
    out["nextSerial"] = s.defs->nextSerial;
    OJson defs = OJson::array();
    for (uint64_t index : s.definitions) {
        const ObjRecord* r = s.defs->FindLive(index);
        if (!r) continue;
        OJson d = OJson::object();
        if (r->extra && !r->extra->fileId.empty()) d["id"] = r->extra->fileId;
        d["index"] = IndexText(r->index);
        d["name"] = r->name;
        d["valid"] = (r->flags & kValid) != 0;
        d["emptyIndex"] = (r->flags & kEmptyIndex) != 0;
        if (const ConstraintPayload* p = s.defs->Payload(*r)) WriteValue(d, p->value);
        auto f = s.defs->faults.find(r->index);
        if (f != s.defs->faults.end()) {
            OJson faults = FaultsJson(f->second);
            if (!faults.empty()) d["fail"] = std::move(faults);
        }
        defs.push_back(std::move(d));
    }
    out["definitions"] = std::move(defs);
    OJson faults = FaultsJson(s.sessionFaults);
    if (!faults.empty()) out["fail"] = std::move(faults);
    OJson next = OJson::object();
    for (const auto& e : s.failNext)
        if (e.second > 0) next[e.first] = e.second;
    if (!next.empty()) out["failNext"] = std::move(next);
    if (s.countdown > 0) out["countdown"] = s.countdown;
    return out;
}

}  // namespace

}  // namespace detail

namespace StandIn {

Result SaveSession(const LumoPI& session, const std::string& path, bool overwrite)
{
    using namespace detail;
    const SessionData& s = *Access::DataOf(session);
    std::string text;
    try {
        OJson doc = OJson::object();
        doc["format"] = "kravik-design";
        doc["version"] = 1;
        doc["complete"] = false;
        doc["session"] = SessionJson(s);
        OJson snapshots = OJson::array();
        std::unordered_set<std::string> sessionIds;
        for (uint64_t index : s.definitions)
            if (const ObjRecord* r = s.defs->FindLive(index))
                if (r->extra && !r->extra->fileId.empty()) sessionIds.insert(r->extra->fileId);
        for (const auto& snap : s.snapshots) snapshots.push_back(SnapshotWriter(*snap, &sessionIds).Write());
        doc["snapshots"] = std::move(snapshots);
        OJson backups = OJson::array();
        for (const Backup& b : s.backups) {
            OJson e = OJson::object();
            e["gindex"] = IndexText(b.gindex.GetValue());
            e["type"] = b.type;
            e["text1"] = b.text1;
            e["text2"] = b.text2;
            OJson copies = OJson::array();
            for (const auto& snap : b.snapshots) copies.push_back(SnapshotWriter(*snap, nullptr).Write());
            e["snapshots"] = std::move(copies);
            backups.push_back(std::move(e));
        }
        doc["backups"] = std::move(backups);
        text = doc.dump(1);
        text += '\n';
    } catch (const OJson::type_error&) {
        return Failure(std::string("cannot save ") + path + ": a text is not valid UTF-8");
    } catch (const std::exception& e) {
        return Failure(std::string("cannot save ") + path + ": " + e.what());
    }
    std::string error;
    if (!JsonFile::WriteFileAtomically(path, text, overwrite, error)) return Failure("cannot save: " + error);
    return Result();
}

}  // namespace StandIn
}  // namespace Lumo
