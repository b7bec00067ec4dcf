// The design-file saver. Writes the live records of every snapshot with every key explicit and both sides of
// every relation ("complete": false), each object inline at its first occurrence in its owner's home list and
// the others in the snapshot's objects array. The text is streamed into a temporary file that replaces the
// target only once it is complete.
#include "JsonFile.h"
#include "Store.h"

#include <charconv>
#include <cmath>
#include <unordered_set>

namespace Lumo {
namespace detail {

namespace {

// A JSON text written as it goes, indented, with short lists on one line. Texts must be valid UTF-8.
class Writer {
public:
    explicit Writer(JsonFile::AtomicFile& file) : m_file(file) { m_buf.reserve(kChunk + 4096); }

    // Containers. An inline container keeps its elements (and everything inside them) on one line.
    void BeginObject(bool inlined = false) { Open('{', inlined); }
    void EndObject() { Close('}'); }
    void BeginArray(bool inlined = false) { Open('[', inlined); }
    void EndArray() { Close(']'); }

    void Key(std::string_view key)
    {
        Separate();
        Text(key);
        m_buf += ": ";
        m_afterKey = true;
    }

    void String(std::string_view s)
    {
        Separate();
        Text(s);
        Flush();
    }
    void Int(int64_t v)
    {
        Separate();
        char buf[24];
        m_buf.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    void UInt(uint64_t v)
    {
        Separate();
        char buf[24];
        m_buf.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    // A finite double in its shortest round-trip form, always with a fraction or an exponent.
    void Double(double v)
    {
        Separate();
        char buf[40];
        char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
        m_buf.append(buf, end);
        if (std::string_view(buf, static_cast<size_t>(end - buf)).find_first_of(".e") == std::string_view::npos)
            m_buf += ".0";
    }
    void Bool(bool v)
    {
        Separate();
        m_buf += v ? "true" : "false";
    }
    void Null()
    {
        Separate();
        m_buf += "null";
    }

    // Writes what is left; false with the first error (an invalid text or a failed write).
    bool Finish(std::string& error)
    {
        m_buf += '\n';
        if (m_error.empty() && !m_file.Write(m_buf.data(), m_buf.size(), m_error)) {}
        m_buf.clear();
        error = m_error;
        return m_error.empty();
    }

private:
    static constexpr size_t kChunk = 1 << 20;

    struct Level {
        bool first;
        bool inlined;
    };

    void Open(char c, bool inlined)
    {
        Separate();
        m_buf += c;
        m_levels.push_back(Level{true, inlined || (!m_levels.empty() && m_levels.back().inlined)});
    }

    void Close(char c)
    {
        const Level l = m_levels.back();
        m_levels.pop_back();
        if (!l.first && !l.inlined) NewLine();
        m_buf += c;
        Flush();
    }

    // The comma and line break before a value or key (nothing after a key).
    void Separate()
    {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (m_levels.empty()) return;
        Level& l = m_levels.back();
        if (!l.first) m_buf += l.inlined ? ", " : ",";
        if (!l.inlined) NewLine();
        l.first = false;
    }

    void NewLine()
    {
        m_buf += '\n';
        m_buf.append(m_levels.size() * 2, ' ');
    }

    void Flush()
    {
        if (m_buf.size() < kChunk) return;
        if (m_error.empty()) m_file.Write(m_buf.data(), m_buf.size(), m_error);
        m_buf.clear();
    }

    // A quoted JSON string; bytes that do not form UTF-8 stop the save rather than being altered.
    void Text(std::string_view s)
    {
        static const char* const kHex = "0123456789abcdef";
        m_buf += '"';
        size_t i = 0;
        while (i < s.size()) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            if (c >= 0x80) {
                const size_t n = JsonFile::Utf8Length(s, i);
                if (n == 0) {
                    if (m_error.empty()) m_error = "a text is not valid UTF-8";
                    ++i;
                    continue;
                }
                m_buf.append(s.data() + i, n);
                i += n;
                continue;
            }
            switch (c) {
            case '"': m_buf += "\\\""; break;
            case '\\': m_buf += "\\\\"; break;
            case '\n': m_buf += "\\n"; break;
            case '\r': m_buf += "\\r"; break;
            case '\t': m_buf += "\\t"; break;
            case '\b': m_buf += "\\b"; break;
            case '\f': m_buf += "\\f"; break;
            default:
                if (c < 0x20) {
                    m_buf += "\\u00";
                    m_buf += kHex[c >> 4];
                    m_buf += kHex[c & 15];
                } else {
                    m_buf += static_cast<char>(c);
                }
            }
            ++i;
        }
        m_buf += '"';
    }

    JsonFile::AtomicFile& m_file;
    std::string m_buf;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
    std::string m_error;
};

void WriteFaults(Writer& w, const std::vector<FaultEntry>& faults)
{
    size_t live = 0;
    for (const FaultEntry& f : faults) live += f.count != 0;   // a used-up fault is not written
    if (live == 0) return;
    w.Key("fail");
    w.BeginArray(true);
    for (const FaultEntry& f : faults) {
        if (f.count == 0) continue;
        if (f.count < 0) {
            w.String(f.op);
            continue;
        }
        w.BeginObject();
        w.Key("op");
        w.String(f.op);
        w.Key("count");
        w.Int(f.count);
        w.EndObject();
    }
    w.EndArray();
}

bool AllFinite(const std::vector<double>& v)
{
    for (double d : v)
        if (!std::isfinite(d)) return false;
    return true;
}

// The value and its kind; values JSON cannot hold (non-finite doubles) are written as text of their kind.
void WriteValue(Writer& w, const ConstraintData& v)
{
    w.Key("value");
    switch (v.kind) {
    case CDT_Int: w.Int(v.intValue); break;
    case CDT_Double:
        if (std::isfinite(v.doubleValue))
            w.Double(v.doubleValue);
        else
            w.String(v.GetValueAsString().str());
        break;
    case CDT_IntList:
        w.BeginArray(true);
        for (int32_t i : v.intList) w.Int(i);
        w.EndArray();
        break;
    case CDT_DoubleList:
        if (!AllFinite(v.doubleList)) {
            w.String(v.GetValueAsString().str());
            break;
        }
        w.BeginArray(true);
        for (double d : v.doubleList) w.Double(d);
        w.EndArray();
        break;
    case CDT_TextList:
        w.BeginArray(true);
        for (const String& s : v.textList) w.String(s.str());
        w.EndArray();
        break;
    default: w.String(v.textValue.str()); break;
    }
    w.Key("type");
    w.Int(v.kind);
}

class SnapshotWriter {
public:
    // sessionIds: the ids taken at session level (snapshots and definitions), null for a backup's snapshot,
    // which is an id scope of its own.
    SnapshotWriter(Writer& w, const SnapshotData& t, std::unordered_set<std::string>* sessionIds)
        : m_w(w), m_t(t), m_written(t.records.size(), 0), m_ids(t.records.size())
    {
        std::unordered_set<std::string> used;
        for (uint32_t i = 0; i < t.records.size(); ++i)
            if (t.records[i].Alive() && !t.FileId(i).empty()) used.insert(t.FileId(i));
        for (uint32_t i = 0; i < t.records.size(); ++i) {
            const ObjRecord& r = t.records[i];
            if (!r.Alive()) continue;
            const std::string& fileId = t.FileId(i);
            if (!fileId.empty() && (i != t.self || !sessionIds || !sessionIds->count(fileId))) {
                m_ids[i] = fileId;
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

    void Write()
    {
        Object(m_t.self, false, true);
        m_w.Key("objects");
        m_w.BeginArray();
        // Objects their owner does not hold (or with no live owner) first, then what is left (owner cycles).
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t i = 0; i < m_t.records.size(); ++i) {
                const ObjRecord& r = m_t.records[i];
                if (!r.Alive() || m_written[i] || i == m_t.self) continue;
                if (pass == 0 && HeldByOwner(r)) continue;
                Object(i, true);
            }
        }
        m_w.EndArray();
        m_w.EndObject();
    }

private:
    // A reference: the id of a live object the key allows, else the raw index (null for none outside lists).
    void Ref(uint64_t index, uint64_t targets, bool inList)
    {
        if (index == 0) {
            if (inList)
                m_w.String(IndexText(0));
            else
                m_w.Null();
            return;
        }
        const int64_t s = m_t.SlotOfIndex(index);
        if (s >= 0 && m_t.records[static_cast<size_t>(s)].Alive() &&
            ((targets >> static_cast<unsigned>(m_t.records[static_cast<size_t>(s)].kind)) & 1u))
            m_w.String(m_ids[static_cast<size_t>(s)]);
        else
            m_w.String(IndexText(index));
    }

    bool HeldByOwner(const ObjRecord& r) const
    {
        const ObjRecord* owner = m_t.FindLive(r.owner);
        if (!owner) return false;
        const Field home = HomeField(owner->kind, r.kind);
        if (home == Field::Count) return false;
        if (IsListCat(SlotOf(owner->kind, home)->cat)) return m_t.Contains(*owner, home, r.index);
        return m_t.GetRef(*owner, home) == r.index;
    }

    // An entry of a home list or home reference: the object inline when this is its place.
    void HomeEntry(const ObjRecord& holder, Field home, uint64_t index, uint64_t targets, bool inList)
    {
        const int64_t s = m_t.SlotOfIndex(index);
        if (s >= 0) {
            const ObjRecord& r = m_t.records[static_cast<size_t>(s)];
            if (r.Alive() && !m_written[static_cast<size_t>(s)] && r.owner == holder.index &&
                HomeField(holder.kind, r.kind) == home) {
                Object(static_cast<uint32_t>(s), false);
                return;
            }
        }
        Ref(index, targets, inList);
    }

    void HomeList(const ObjRecord& holder, Field home, const RefList& entries, uint64_t targets)
    {
        m_w.BeginArray(entries.empty());
        for (uint64_t e : entries) HomeEntry(holder, home, e, targets, true);
        m_w.EndArray();
    }

    // open: leave the object open (the snapshot, whose objects array follows).
    void Object(uint32_t slot, bool free, bool open = false)
    {
        m_written[slot] = 1;
        const ObjRecord& r = m_t.records[slot];
        const KindInfo& info = InfoOf(r.kind);
        const bool config = r.kind == Kind::NorvConfig || r.kind == Kind::DefaultConfig;
        m_w.BeginObject();
        m_w.Key("id");
        m_w.String(m_ids[slot]);
        if (free) {
            m_w.Key("kind");
            m_w.String(info.name);
        }
        m_w.Key("index");
        m_w.String(IndexText(r.index));
        m_w.Key(config ? "topBlock" : "name");
        m_w.String(r.name);
        if (free) {
            const ObjRecord* owner = m_t.FindLive(r.owner);
            m_w.Key("in");
            Ref(r.owner, owner && HomeField(owner->kind, r.kind) != Field::Count ? ~0ull : 0ull, false);
        }
        m_w.Key("valid");
        m_w.Bool((r.flags & kValid) != 0);
        m_w.Key("emptyIndex");
        m_w.Bool((r.flags & kEmptyIndex) != 0);
        if (r.kind == Kind::Snapshot) SnapshotKeys();
        if (r.kind == Kind::Constraint || r.kind == Kind::ConstraintDef) {
            if (const ConstraintPayload* p = m_t.Payload(r)) WriteValue(m_w, m_t.Value(*p));
        }
        for (const FieldSpec* spec : info.fields) {
            const SlotRef* s = SlotOf(r.kind, spec->field);
            const char* key = StandIn::FieldName(spec->field);
            switch (spec->cat) {
            case Cat::Int:
                m_w.Key(key);
                m_w.Int(r.slots[s->pos]);
                break;
            case Cat::OptInt:
                if (r.slots[s->pos] == kUnsetInt) break;
                m_w.Key(key);
                m_w.Int(r.slots[s->pos]);
                break;
            case Cat::Bool:
                m_w.Key(key);
                m_w.Bool(r.slots[s->pos] != 0);
                break;
            case Cat::OptBool:
                if (r.slots[s->pos] == kUnsetInt) break;
                m_w.Key(key);
                m_w.Bool(r.slots[s->pos] != 0);
                break;
            case Cat::Set: {
                m_w.Key(key);
                m_w.BeginArray(true);
                const uint32_t word = static_cast<uint32_t>(r.slots[s->pos]);
                for (int bit = 0; bit < 32; ++bit)
                    if ((word >> bit) & 1u) m_w.Int(bit);
                m_w.EndArray();
                break;
            }
            case Cat::Text:
                m_w.Key(key);
                m_w.String(m_t.GetText(r, spec->field));
                break;
            case Cat::Ref:
                m_w.Key(key);
                Ref(static_cast<uint64_t>(r.slots[s->pos]), spec->targets, false);
                break;
            case Cat::OptRef:
                if (static_cast<uint64_t>(r.slots[s->pos]) == kUnsetRef) break;
                m_w.Key(key);
                Ref(static_cast<uint64_t>(r.slots[s->pos]), spec->targets, false);
                break;
            case Cat::List:
                if (r.kind == Kind::PhysicalNet && spec->field == Field::pinsConnected && !(r.flags & kListGiven)) break;
                m_w.Key(key);
                m_w.BeginArray(true);
                for (uint64_t e : r.Lists()[s->pos]) Ref(e, spec->targets, true);
                m_w.EndArray();
                break;
            default: break;
            }
        }
        if (info.norv) {
            const auto& own = m_t.GetList(r, Field::constraints);
            if (!own.empty()) {
                m_w.Key("constraints");
                HomeList(r, Field::constraints, own, 1ull << static_cast<unsigned>(Kind::Constraint));
            }
            if (const size_t n = r.extras.InheritCount()) {
                m_w.Key("inherits");
                m_w.BeginArray(true);
                for (size_t i = 0; i < n; ++i) m_w.String(m_t.pool.Text(r.extras.Inherit(i)));
                m_w.EndArray();
            }
        }
        if (r.kind != Kind::Snapshot && r.extras.AttrCount() != 0) {
            const bool typed = r.kind == Kind::LogicComp || r.kind == Kind::DesignPin;
            m_w.Key("attributes");
            m_w.BeginArray();
            const AttrEntry* attrs = r.extras.Attrs();
            for (size_t i = 0; i < r.extras.AttrCount(); ++i) {
                const AttrEntry& a = attrs[i];
                m_w.BeginObject(true);
                m_w.Key("name");
                m_w.String(m_t.pool.Text(a.name));
                m_w.Key("value");
                m_w.String(m_t.pool.Text(a.value));
                if (typed) {
                    m_w.Key("type");
                    m_w.Int(a.type);
                }
                if (r.kind == Kind::DesignPin) {
                    m_w.Key("bit");
                    m_w.Int(a.bit);
                }
                m_w.EndObject();
            }
            m_w.EndArray();
        }
        auto f = m_t.faults.find(r.index);
        if (f != m_t.faults.end()) WriteFaults(m_w, f->second);
        for (const FieldSpec* spec : info.fields) {
            if (spec->field == Field::constraints) continue;
            if (spec->cat == Cat::HomeList) {
                m_w.Key(StandIn::FieldName(spec->field));
                HomeList(r, spec->field, m_t.GetList(r, spec->field), spec->targets);
            } else if (spec->cat == Cat::HomeRef) {
                m_w.Key(StandIn::FieldName(spec->field));
                HomeEntry(r, spec->field, m_t.GetRef(r, spec->field), spec->targets, false);
            }
        }
        if (!open) m_w.EndObject();
    }

    void SnapshotKeys()
    {
        m_w.Key("nextSerial");
        m_w.UInt(m_t.nextSerial);
        m_w.Key("attributes");
        m_w.BeginArray(m_t.attributes.empty());
        for (const auto& a : m_t.attributes) {
            m_w.BeginObject(true);
            m_w.Key("name");
            m_w.String(a.first);
            m_w.Key("value");
            m_w.String(a.second);
            m_w.EndObject();
        }
        m_w.EndArray();
        m_w.Key("clients");
        m_w.BeginArray(m_t.clients.empty());
        for (const ClientRec& c : m_t.clients) {
            m_w.BeginObject(true);
            m_w.Key("name");
            m_w.String(c.name);
            m_w.Key("subClients");
            m_w.BeginArray();
            for (const std::string& sub : c.subClients) m_w.String(sub);
            m_w.EndArray();
            m_w.EndObject();
        }
        m_w.EndArray();
        m_w.Key("locks");
        m_w.BeginArray(m_t.locks.empty());
        for (const LockRec& l : m_t.locks) {
            m_w.BeginObject(true);
            m_w.Key("object");
            Ref(l.object, ~0ull, true);
            m_w.Key("address");
            m_w.String(l.address);
            m_w.Key("subClient");
            m_w.String(l.subClient);
            m_w.Key("deep");
            m_w.Bool(l.deep);
            m_w.EndObject();
        }
        m_w.EndArray();
    }

    Writer& m_w;
    const SnapshotData& m_t;
    std::vector<uint8_t> m_written;
    std::vector<std::string> m_ids;
};

void WriteSession(Writer& w, const SessionData& s)
{
    w.Key("session");
    w.BeginObject();
    w.Key("address");
    w.String(s.identity.address);
    w.Key("subClient");
    w.String(s.identity.subClient);
    w.Key("nextSerial");
    w.UInt(s.defs->nextSerial);
    w.Key("definitions");
    w.BeginArray(s.definitions.empty());
    for (uint64_t index : s.definitions) {
        const ObjRecord* r = s.defs->FindLive(index);
        if (!r) continue;
        w.BeginObject(true);
        const std::string& fileId = s.defs->FileId(static_cast<uint32_t>(s.defs->SlotOfIndex(index)));
        if (!fileId.empty()) {
            w.Key("id");
            w.String(fileId);
        }
        w.Key("index");
        w.String(IndexText(r->index));
        w.Key("name");
        w.String(r->name);
        w.Key("valid");
        w.Bool((r->flags & kValid) != 0);
        w.Key("emptyIndex");
        w.Bool((r->flags & kEmptyIndex) != 0);
        if (const ConstraintPayload* p = s.defs->Payload(*r)) WriteValue(w, s.defs->Value(*p));
        auto f = s.defs->faults.find(r->index);
        if (f != s.defs->faults.end()) WriteFaults(w, f->second);
        w.EndObject();
    }
    w.EndArray();
    WriteFaults(w, s.sessionFaults);
    bool anyNext = false;
    for (const auto& e : s.failNext) anyNext |= e.second > 0;
    if (anyNext) {
        w.Key("failNext");
        w.BeginObject(true);
        for (const auto& e : s.failNext) {
            if (e.second <= 0) continue;
            w.Key(e.first);
            w.Int(e.second);
        }
        w.EndObject();
    }
    if (s.countdown > 0) {
        w.Key("countdown");
        w.UInt(s.countdown);
    }
    w.EndObject();
}

}  // namespace

}  // namespace detail

namespace StandIn {

Result SaveSession(const LumoPI& session, const std::string& path, bool overwrite)
{
    using namespace detail;
    const SessionData& s = *Access::DataOf(session);
    std::string error;
    JsonFile::AtomicFile file;
    if (!file.Open(path, overwrite, error)) return Failure("cannot save: " + error);
    try {
        Writer w(file);
        w.BeginObject();
        w.Key("format");
        w.String("kravik-design");
        w.Key("version");
        w.Int(1);
        w.Key("complete");
        w.Bool(false);
        WriteSession(w, s);
        w.Key("snapshots");
        w.BeginArray(s.snapshots.empty());
        std::unordered_set<std::string> sessionIds;
        for (uint64_t index : s.definitions)
            if (s.defs->FindLive(index)) {
                const std::string& fileId = s.defs->FileId(static_cast<uint32_t>(s.defs->SlotOfIndex(index)));
                if (!fileId.empty()) sessionIds.insert(fileId);
            }
        for (const auto& snap : s.snapshots) SnapshotWriter(w, *snap, &sessionIds).Write();
        w.EndArray();
        w.Key("backups");
        w.BeginArray(s.backups.empty());
        for (const Backup& b : s.backups) {
            w.BeginObject();
            w.Key("gindex");
            w.String(IndexText(b.gindex.GetValue()));
            w.Key("type");
            w.Int(b.type);
            w.Key("text1");
            w.String(b.text1);
            w.Key("text2");
            w.String(b.text2);
            w.Key("snapshots");
            w.BeginArray(b.snapshots.empty());
            for (const auto& snap : b.snapshots) SnapshotWriter(w, *snap, nullptr).Write();
            w.EndArray();
            w.EndObject();
        }
        w.EndArray();
        w.EndObject();
        if (!w.Finish(error)) return Failure("cannot save " + path + ": " + error);
    } catch (const std::exception& e) {
        return Failure("cannot save " + path + ": " + e.what());
    }
    if (!file.Commit(error)) return Failure("cannot save: " + error);
    return Result();
}

}  // namespace StandIn
}  // namespace Lumo
