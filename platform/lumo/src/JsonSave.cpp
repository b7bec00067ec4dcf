// The design-file saver. Writes what the live records of every snapshot hold beyond the format's defaults, for a
// load with completion on: a key at its default is left out, and so is a side of a relation (or the tail of a
// list) that completion rebuilds from the other side exactly as it stands; a list that completion would extend
// beyond what it holds is written as literal, and a reference it would fill is written as null. Each object
// stands inline at its first occurrence in its owner's home list, an object's home lists in the order of the
// serials of the objects they hold (the order they were read or made in), and the others in the snapshot's
// objects array. An object carries its id when it was loaded with one or something refers to it, and its index
// only when the load would not give it the same one. The text is streamed into a temporary file that replaces
// the target only once it is complete.
#include "JsonFile.h"
#include "Store.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace Lumo {
namespace detail {

namespace {

// A JSON text written as it goes, indented, with short lists on one line. Texts must be valid UTF-8.
class Writer {
public:
    explicit Writer(JsonFile::Sink& file) : m_file(file) { m_buf.reserve(kChunk + 4096); }

    // Containers. A broken container puts each element (or key) on a line of its own; the others stay on the
    // line they start on.
    void BeginObject(bool broken = false) { Open('{', broken); }
    void EndObject() { Close('}'); }
    void BeginArray(bool broken = false) { Open('[', broken); }
    void EndArray() { Close(']'); }

    void Key(std::string_view key)
    {
        Separate();
        Text(key);
        m_buf += ':';
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
        bool broken;
    };

    void Open(char c, bool broken)
    {
        Separate();
        m_buf += c;
        m_levels.push_back(Level{true, broken});
        m_depth += broken;
    }

    void Close(char c)
    {
        const Level l = m_levels.back();
        m_levels.pop_back();
        m_depth -= l.broken;
        if (!l.first && l.broken) NewLine();
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
        if (!l.first) m_buf += ',';
        if (l.broken) NewLine();
        l.first = false;
    }

    void NewLine()
    {
        m_buf += '\n';
        m_buf.append(m_depth, ' ');
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

    JsonFile::Sink& m_file;
    std::string m_buf;
    std::vector<Level> m_levels;
    size_t m_depth = 0;   // broken containers open
    bool m_afterKey = false;
    std::string m_error;
};

void WriteFaults(Writer& w, const std::vector<FaultEntry>& faults)
{
    size_t live = 0;
    for (const FaultEntry& f : faults) live += f.count != 0;   // a used-up fault is not written
    if (live == 0) return;
    w.Key("fail");
    w.BeginArray();
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

// The value, and its kind where the value's JSON form does not imply it (an integer gives kind 1, a number with a
// fraction 2, a string 3, a non-empty array of integers 4, of numbers 5, any array of strings 6). Values JSON
// cannot hold (non-finite doubles) are written as text of their kind.
void WriteValue(Writer& w, const ConstraintData& v)
{
    w.Key("value");
    bool implied = true;
    switch (v.kind) {
    case CDT_Int: w.Int(v.intValue); break;
    case CDT_Double:
        if (std::isfinite(v.doubleValue)) {
            w.Double(v.doubleValue);
        } else {
            w.String(v.GetValueAsString().str());
            implied = false;
        }
        break;
    case CDT_IntList:
        w.BeginArray();
        for (int32_t i : v.intList) w.Int(i);
        w.EndArray();
        implied = !v.intList.empty();
        break;
    case CDT_DoubleList:
        if (!AllFinite(v.doubleList)) {
            w.String(v.GetValueAsString().str());
            implied = false;
            break;
        }
        w.BeginArray();
        for (double d : v.doubleList) w.Double(d);
        w.EndArray();
        implied = !v.doubleList.empty();
        break;
    case CDT_TextList:
        w.BeginArray();
        for (const String& s : v.textList) w.String(s.str());
        w.EndArray();
        break;
    default:
        w.String(v.textValue.str());
        implied = v.kind == CDT_Text;
        break;
    }
    if (implied) return;
    w.Key("type");
    w.Int(v.kind);
}

constexpr uint32_t kNoSlot = UINT32_MAX;

bool Allows(uint64_t targets, Kind kind) { return ((targets >> static_cast<unsigned>(kind)) & 1u) != 0; }

// A field's bit in the per-object masks: its position among its kind's fields.
uint32_t FieldBit(Kind kind, Field field)
{
    static const std::vector<std::vector<uint8_t>> table = [] {
        std::vector<std::vector<uint8_t>> t(kKindCount, std::vector<uint8_t>(static_cast<size_t>(Field::Count) + 1, 0));
        for (size_t k = 0; k < kKindCount; ++k) {
            const auto& fields = InfoOf(static_cast<Kind>(k)).fields;
            if (fields.size() > 32) throw std::logic_error("a kind with more fields than a mask holds");
            for (size_t i = 0; i < fields.size(); ++i) t[k][static_cast<size_t>(fields[i]->field)] = static_cast<uint8_t>(i);
        }
        return t;
    }();
    return 1u << table[static_cast<size_t>(kind)][static_cast<size_t>(field)];
}

// Where the holders of these kinds keep several objects, each stands on a line of its own.
bool BreaksHomeLists(Kind holder)
{
    return holder == Kind::Snapshot || holder == Kind::NorvConfig || holder == Kind::DefaultConfig || holder == Kind::Design;
}

// Which objects (their serials, in document order) must carry their index: the load gives every other one the
// next free serial in document order, so those left out must rise in document order, and none may lie beyond a
// serial that no object has (the load would give that one out). The longest rising run of them is left out.
std::vector<uint8_t> ExplicitIndexes(const std::vector<uint64_t>& serials)
{
    const size_t n = serials.size();
    std::vector<uint8_t> has(n + 2, 0);
    for (uint64_t s : serials)
        if (s <= n + 1) has[s] = 1;
    uint64_t hole = 1;
    while (has[hole]) ++hole;
    std::vector<uint32_t> tails, prev(n, kNoSlot);
    for (uint32_t i = 0; i < n; ++i) {
        if (serials[i] >= hole) continue;
        auto it = std::lower_bound(tails.begin(), tails.end(), serials[i],
                                   [&](uint32_t p, uint64_t s) { return serials[p] < s; });
        if (it != tails.begin()) prev[i] = *(it - 1);
        if (it == tails.end())
            tails.push_back(i);
        else
            *it = i;
    }
    std::vector<uint8_t> explicitIndex(n, 1);
    for (uint32_t i = tails.empty() ? kNoSlot : tails.back(); i != kNoSlot; i = prev[i]) explicitIndex[i] = 0;
    return explicitIndex;
}

// A membership test over a list that is scanned while short and hashed once long.
class IndexSet {
public:
    void Reset() { m_few.clear(), m_many.clear(); }
    bool Insert(uint64_t v)
    {
        if (m_many.empty()) {
            if (std::find(m_few.begin(), m_few.end(), v) != m_few.end()) return false;
            m_few.push_back(v);
            if (m_few.size() > 32) m_many.insert(m_few.begin(), m_few.end());
            return true;
        }
        if (!m_many.insert(v).second) return false;
        m_few.push_back(v);
        return true;
    }
    bool Has(uint64_t v) const
    {
        return m_many.empty() ? std::find(m_few.begin(), m_few.end(), v) != m_few.end() : m_many.count(v) != 0;
    }

private:
    std::vector<uint64_t> m_few;
    std::unordered_set<uint64_t> m_many;
};

class SnapshotWriter {
public:
    // sessionIds: the ids taken at session level (snapshots and definitions), null for a backup's snapshot,
    // which is an id scope of its own.
    SnapshotWriter(Writer& w, const SnapshotData& t, std::unordered_set<std::string>* sessionIds)
        : m_w(w), m_t(t), m_placed(t.records.size(), 0), m_free(t.records.size(), 0), m_needId(t.records.size(), 0),
          m_explicit(t.records.size(), 0), m_omit(t.records.size(), 0), m_literal(t.records.size(), 0),
          m_null(t.records.size(), 0), m_ids(t.records.size())
    {
        PlanPlacement();
        PlanIndexes();
        PlanRelations();
        PlanIds(sessionIds);
        std::fill(m_placed.begin(), m_placed.end(), 0);
    }

    void Write()
    {
        Object(m_t.self, false, true);
        bool any = false;
        for (uint32_t i = 0; i < m_t.records.size() && !any; ++i) any = m_free[i] != 0;
        if (any) {
            m_w.Key("objects");
            m_w.BeginArray(true);
            ForEachFree([&](uint32_t slot) { Object(slot, true); });
            m_w.EndArray();
        }
        m_w.EndObject();
    }

private:
    const ObjRecord& Rec(uint32_t slot) const { return m_t.records[slot]; }
    // The live record of an index, or kNoSlot.
    uint32_t LiveSlot(uint64_t index) const
    {
        if (index == 0) return kNoSlot;
        const int64_t s = m_t.SlotOfIndex(index);
        return s >= 0 && m_t.records[static_cast<size_t>(s)].Alive() ? static_cast<uint32_t>(s) : kNoSlot;
    }
    // Whether the object of `slot` is one that `holder` holds inline in its home key `home`.
    bool OwnedThere(const ObjRecord& holder, Field home, uint32_t slot) const
    {
        return slot != kNoSlot && Rec(slot).owner == holder.index && HomeField(holder.kind, Rec(slot).kind) == home;
    }

    // The object's home keys (constraints among them) in the order of the serials of the first objects they
    // hold inline, those holding none after them in table order.
    void HomeKeys(const ObjRecord& r, std::vector<const FieldSpec*>& out) const
    {
        std::pair<uint64_t, const FieldSpec*> keyed[32];
        size_t n = 0;
        for (const FieldSpec* spec : InfoOf(r.kind).fields) {
            if (spec->cat != Cat::HomeList && spec->cat != Cat::HomeRef) continue;
            uint64_t first = UINT64_MAX;
            if (spec->cat == Cat::HomeList) {
                for (uint64_t e : m_t.GetList(r, spec->field))
                    if (OwnedThere(r, spec->field, LiveSlot(e))) {
                        first = e & kSerialMask;
                        break;
                    }
            } else {
                const uint64_t e = m_t.GetRef(r, spec->field);
                if (OwnedThere(r, spec->field, LiveSlot(e))) first = e & kSerialMask;
            }
            keyed[n++] = {first, spec};
        }
        std::stable_sort(keyed, keyed + n, [](const auto& a, const auto& b) { return a.first < b.first; });
        out.clear();
        for (size_t i = 0; i < n; ++i) out.push_back(keyed[i].second);
    }

    // The objects of the objects array, in the order written: those their owner does not hold (or with no live
    // owner) first, then what is left (owner cycles).
    template <class F>
    void ForEachFree(F&& f)
    {
        for (int pass = 0; pass < 2; ++pass) {
            for (uint32_t i = 0; i < m_t.records.size(); ++i) {
                const ObjRecord& r = m_t.records[i];
                if (!r.Alive() || m_placed[i] || i == m_t.self) continue;
                if (pass == 0 && HeldByOwner(r)) continue;
                f(i);
            }
        }
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

    // ---- Planning: where each object stands, which keys the load restores, which ids and indexes are needed.

    void PlanPlacement()
    {
        m_order.reserve(m_t.records.size());
        Place(m_t.self, false);
        ForEachFree([&](uint32_t slot) { Place(slot, true); });
        // an owner whose home key does not hold its object: the load must not add it there
        for (uint32_t i = 0; i < m_t.records.size(); ++i) {
            if (!m_free[i]) continue;
            const uint32_t o = LiveSlot(Rec(i).owner);
            if (o == kNoSlot) continue;
            m_needId[o] = 1;
            const Field home = HomeField(Rec(o).kind, Rec(i).kind);
            if (home == Field::Count) continue;
            if (SlotOf(Rec(o).kind, home)->cat == Cat::HomeList)
                m_literal[o] |= FieldBit(Rec(o).kind, home);
            else if (m_t.GetRef(Rec(o), home) == 0)
                m_null[o] |= FieldBit(Rec(o).kind, home);
        }
    }

    void Place(uint32_t slot, bool free)
    {
        m_placed[slot] = 1;
        m_free[slot] = free;
        m_order.push_back(slot);
        const ObjRecord& r = Rec(slot);
        std::vector<const FieldSpec*> keys;
        HomeKeys(r, keys);
        for (const FieldSpec* spec : keys) {
            auto entry = [&](uint64_t e) {
                const uint32_t s = LiveSlot(e);
                if (s != kNoSlot && !m_placed[s] && OwnedThere(r, spec->field, s)) Place(s, false);
            };
            if (spec->cat == Cat::HomeList) {
                for (uint64_t e : m_t.GetList(r, spec->field)) entry(e);
            } else {
                entry(m_t.GetRef(r, spec->field));
            }
        }
    }

    void PlanIndexes()
    {
        std::vector<uint64_t> serials(m_order.size());
        for (size_t k = 0; k < m_order.size(); ++k) serials[k] = Rec(m_order[k]).index & kSerialMask;
        const std::vector<uint8_t> e = ExplicitIndexes(serials);
        for (size_t k = 0; k < m_order.size(); ++k) m_explicit[m_order[k]] = e[k];
    }

    // Ids for the live objects that a written reference or list entry names (an object written inline where it
    // stands needs none), the locks' objects and the owners of the objects array's objects.
    void PlanIds(std::unordered_set<std::string>* sessionIds)
    {
        std::fill(m_placed.begin(), m_placed.end(), 0);   // marks the objects met where they stand inline
        for (uint32_t i = 0; i < m_t.records.size(); ++i) {
            const ObjRecord& r = Rec(i);
            if (!r.Alive()) continue;
            for (const FieldSpec* spec : InfoOf(r.kind).fields) {
                const bool home = spec->cat == Cat::HomeList || spec->cat == Cat::HomeRef;
                auto mark = [&](uint64_t e) {
                    const uint32_t s = LiveSlot(e);
                    if (s == kNoSlot || !Allows(spec->targets, Rec(s).kind)) return;
                    if (home && !m_free[s] && !m_placed[s] && OwnedThere(r, spec->field, s))
                        m_placed[s] = 1;
                    else
                        m_needId[s] = 1;
                };
                if (IsListCat(spec->cat)) {
                    const RefList& list = m_t.GetList(r, spec->field);
                    const size_t n = WrittenEntries(i, spec, list);
                    for (size_t k = 0; k < n; ++k) mark(list[k]);
                } else if (spec->cat == Cat::OptRef) {
                    const uint64_t v = m_t.GetRef(r, spec->field);
                    if (v != kUnsetRef) mark(v);
                } else if (IsRefCat(spec->cat)) {
                    const uint64_t v = m_t.GetRef(r, spec->field);
                    if (spec->cat == Cat::HomeRef || RefWritten(i, spec, v)) mark(v);
                }
            }
        }
        for (const LockRec& l : m_t.locks) {
            const uint32_t s = LiveSlot(l.object);
            if (s != kNoSlot) m_needId[s] = 1;
        }
        // the ids taken, gathered only when an id has to be made up
        std::unordered_set<std::string> used;
        bool gathered = false;
        auto gather = [&] {
            gathered = true;
            for (uint32_t i = 0; i < m_t.records.size(); ++i)
                if (Rec(i).Alive()) {
                    std::string id = m_t.FileId(i);
                    if (!id.empty()) used.insert(std::move(id));
                }
        };
        for (uint32_t i = 0; i < m_t.records.size(); ++i) {
            const ObjRecord& r = Rec(i);
            if (!r.Alive()) continue;
            std::string fileId = m_t.FileId(i);
            if (!fileId.empty() && (i != m_t.self || !sessionIds || !sessionIds->count(fileId))) {
                m_ids[i] = std::move(fileId);
            } else if (m_needId[i]) {
                if (!gathered) gather();
                std::string id = "k" + std::to_string(r.index & kSerialMask) + "-" + std::to_string(TypeOf(r.index));
                // the snapshot's id is also unique among the session's snapshots and definitions
                while (used.count(id) || (i == m_t.self && sessionIds && sessionIds->count(id))) id += "_";
                used.insert(id);
                m_ids[i] = std::move(id);
            }
            if (i == m_t.self && sessionIds && !m_ids[i].empty()) sessionIds->insert(m_ids[i]);
        }
    }

    // The sides of the relations that completion rebuilds. Every A side is written as it stands; a B side is
    // left out (or cut after the objects it holds inline) where completion gives it back exactly: the objects
    // whose A side names it, in document order, after what is written. A B side it would not give back is
    // written whole, as literal; then an A side that it names and that does not name it back is written as
    // literal (a list) or null (an empty reference), so that completion adds nothing there either.
    void PlanRelations()
    {
        std::vector<std::vector<uint32_t>> byKind(kKindCount);
        for (uint32_t slot : m_order) byKind[static_cast<size_t>(Rec(slot).kind)].push_back(slot);
        const std::vector<RelationSpec>& rels = Relations();
        std::vector<uint32_t> start(m_t.records.size() + 1), offers;
        for (size_t g = 0; g < rels.size(); ++g) {
            const Kind kb = rels[g].kindB;
            const Field fb = rels[g].fieldB;
            bool seen = false;
            for (size_t h = 0; h < g; ++h) seen |= rels[h].kindB == kb && rels[h].fieldB == fb;
            if (seen) continue;
            // the offers of every row that fills this side, row by row, each in document order
            std::fill(start.begin(), start.end(), 0);
            auto forEachOffer = [&](auto&& offer) {
                for (size_t h = g; h < rels.size(); ++h) {
                    if (rels[h].kindB != kb || rels[h].fieldB != fb) continue;
                    const FieldSpec* sa = SpecOf(rels[h].kindA, rels[h].fieldA);
                    for (uint32_t s : byKind[static_cast<size_t>(rels[h].kindA)]) {
                        auto one = [&](uint64_t e) {
                            const uint32_t t = LiveSlot(e);
                            if (t != kNoSlot && Rec(t).kind == kb && Allows(sa->targets, kb)) offer(t, s);
                        };
                        if (IsListCat(sa->cat))
                            for (uint64_t e : m_t.GetList(Rec(s), rels[h].fieldA)) one(e);
                        else
                            one(m_t.GetRef(Rec(s), rels[h].fieldA));
                    }
                }
            };
            forEachOffer([&](uint32_t t, uint32_t) { ++start[t + 1]; });
            for (size_t i = 0; i < m_t.records.size(); ++i) start[i + 1] += start[i];
            offers.resize(start.back());
            forEachOffer([&](uint32_t t, uint32_t s) { offers[start[t]++] = s; });
            for (size_t i = m_t.records.size(); i > 0; --i) start[i] = start[i - 1];
            start[0] = 0;
            const FieldSpec* sb = SpecOf(kb, fb);
            const uint32_t bit = FieldBit(kb, fb);
            for (uint32_t t : byKind[static_cast<size_t>(kb)]) {
                const ObjRecord& r = Rec(t);
                const uint32_t* first = offers.data() + start[t];
                const uint32_t* last = offers.data() + start[t + 1];
                if (!IsListCat(sb->cat)) {
                    const uint64_t v = m_t.GetRef(r, fb);
                    if (first != last ? v == Rec(*first).index : v == 0)
                        m_omit[t] |= bit;
                    else if (v == 0)
                        m_null[t] |= bit;
                    continue;
                }
                if (m_literal[t] & bit) continue;
                const RefList& list = m_t.GetList(r, fb);
                size_t keep = 0;   // what must be written: everything up to the last object held inline
                if (sb->cat == Cat::HomeList)
                    for (size_t i = 0; i < list.size(); ++i)
                        if (OwnedThere(r, fb, LiveSlot(list[i]))) keep = i + 1;
                m_set.Reset();
                for (size_t i = 0; i < keep; ++i) m_set.Insert(list[i]);
                size_t at = keep;
                bool same = true;
                for (const uint32_t* o = first; o != last && same; ++o) {
                    const uint64_t index = Rec(*o).index;
                    if (!m_set.Insert(index)) continue;
                    same = at < list.size() && list[at] == index;
                    ++at;
                }
                if (!same || at != list.size())
                    m_literal[t] |= bit;
                else if (keep == 0)
                    m_omit[t] |= bit;
                else if (keep < list.size())
                    m_prefix[PrefixKey(t, fb)] = static_cast<uint32_t>(keep);
            }
        }
        // A sides that a written B side names without being named back.
        for (const RelationSpec& rel : rels) {
            if (rel.completion != Completion::Both) continue;
            const FieldSpec* sa = SpecOf(rel.kindA, rel.fieldA);
            const FieldSpec* sb = SpecOf(rel.kindB, rel.fieldB);
            const uint32_t bitA = FieldBit(rel.kindA, rel.fieldA);
            for (uint32_t t : byKind[static_cast<size_t>(rel.kindB)]) {
                auto named = [&](uint64_t e) {
                    const uint32_t s = LiveSlot(e);
                    if (s == kNoSlot || Rec(s).kind != rel.kindA || !Allows(sb->targets, rel.kindA)) return;
                    if (IsListCat(sa->cat)) {
                        if (!m_t.Contains(Rec(s), rel.fieldA, Rec(t).index)) m_literal[s] |= bitA;
                    } else if (m_t.GetRef(Rec(s), rel.fieldA) == 0) {
                        m_null[s] |= bitA;
                    }
                };
                if (IsListCat(sb->cat))
                    for (uint64_t e : m_t.GetList(Rec(t), rel.fieldB)) named(e);
                else
                    named(m_t.GetRef(Rec(t), rel.fieldB));
            }
        }
        // A pin's design pin defaults to its first flat pin, and is added to them when they lack it.
        const uint32_t flatBit = FieldBit(Kind::NorvPin, Field::flatPins);
        for (uint32_t p : byKind[static_cast<size_t>(Kind::NorvPin)]) {
            const ObjRecord& r = Rec(p);
            const uint64_t dp = m_t.GetRef(r, Field::designPin);
            const uint32_t d = LiveSlot(dp);
            if (d != kNoSlot && Rec(d).kind == Kind::DesignPin && !m_t.Contains(r, Field::flatPins, dp)) m_literal[p] |= flatBit;
        }
    }

    // How many entries of a list are written (a list left out writes none).
    size_t WrittenEntries(uint32_t slot, const FieldSpec* spec, const RefList& list) const
    {
        if (m_omit[slot] & FieldBit(Rec(slot).kind, spec->field)) return 0;
        if (!m_prefix.empty()) {
            auto p = m_prefix.find(PrefixKey(slot, spec->field));
            if (p != m_prefix.end()) return p->second;
        }
        return list.size();
    }

    // Whether a reference key is written: unless the load gives it back, or it is empty and nothing fills it.
    bool RefWritten(uint32_t slot, const FieldSpec* spec, uint64_t v) const
    {
        const uint32_t bit = FieldBit(Rec(slot).kind, spec->field);
        if (m_omit[slot] & bit) return false;
        return v != RefDefault(Rec(slot), spec->field) || (v == 0 && (m_null[slot] & bit));
    }

    static uint64_t PrefixKey(uint32_t slot, Field f) { return (static_cast<uint64_t>(slot) << 8) | static_cast<uint64_t>(f); }

    // The value the load gives a reference left out: a pin's component or net is its owner, its design pin its
    // first flat pin; any other reference is empty.
    uint64_t RefDefault(const ObjRecord& r, Field f) const
    {
        if (r.kind != Kind::NorvPin) return 0;
        if (f == Field::parentNorvComp || f == Field::parentPhysicalNet) {
            const uint32_t o = LiveSlot(r.owner);
            const Kind want = f == Field::parentNorvComp ? Kind::NorvComp : Kind::PhysicalNet;
            return o != kNoSlot && Rec(o).kind == want ? r.owner : 0;
        }
        if (f == Field::designPin) {
            const RefList& flat = m_t.GetList(r, Field::flatPins);
            return flat.empty() ? 0 : flat[0];
        }
        return 0;
    }

    // ---- Writing

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
        const uint32_t s = LiveSlot(index);
        if (s != kNoSlot && Allows(targets, Rec(s).kind) && !m_ids[s].empty())
            m_w.String(m_ids[s]);
        else
            m_w.String(IndexText(index));
    }

    // An entry of a home list or home reference: the object inline when this is its place.
    void HomeEntry(const ObjRecord& holder, Field home, uint64_t index, uint64_t targets, bool inList)
    {
        const uint32_t s = LiveSlot(index);
        if (s != kNoSlot && !m_placed[s] && OwnedThere(holder, home, s)) {
            Object(s, false);
            return;
        }
        Ref(index, targets, inList);
    }

    // open: leave the object open (the snapshot, whose objects array follows).
    void Object(uint32_t slot, bool free, bool open = false)
    {
        m_placed[slot] = 1;
        const ObjRecord& r = m_t.records[slot];
        const KindInfo& info = InfoOf(r.kind);
        const bool config = r.kind == Kind::NorvConfig || r.kind == Kind::DefaultConfig;
        m_w.BeginObject(r.kind == Kind::Snapshot);
        if (!m_ids[slot].empty()) {
            m_w.Key("id");
            m_w.String(m_ids[slot]);
        }
        if (free) {
            m_w.Key("kind");
            m_w.String(info.name);
        }
        if (m_explicit[slot]) {
            m_w.Key("index");
            m_w.String(IndexText(r.index));
        }
        if (config || r.kind == Kind::Snapshot || r.kind == Kind::Constraint || !r.name.empty()) {
            m_w.Key(config ? "topBlock" : "name");
            m_w.String(r.name);
        }
        if (free) {
            const ObjRecord* owner = m_t.FindLive(r.owner);
            m_w.Key("in");
            Ref(r.owner, owner && HomeField(owner->kind, r.kind) != Field::Count ? ~0ull : 0ull, false);
        }
        if (!(r.flags & kValid)) {
            m_w.Key("valid");
            m_w.Bool(false);
        }
        if (r.flags & kEmptyIndex) {
            m_w.Key("emptyIndex");
            m_w.Bool(true);
        }
        if (m_literal[slot]) {
            m_w.Key("literal");
            m_w.BeginArray();
            for (const FieldSpec* spec : info.fields)
                if (m_literal[slot] & FieldBit(r.kind, spec->field)) m_w.String(StandIn::FieldName(spec->field));
            m_w.EndArray();
        }
        if (r.kind == Kind::Snapshot) SnapshotKeys();
        if (r.kind == Kind::Constraint || r.kind == Kind::ConstraintDef) {
            if (const ConstraintPayload* p = m_t.Payload(r)) WriteValue(m_w, m_t.Value(*p));
        }
        for (const FieldSpec* spec : info.fields) {
            const SlotRef* s = SlotOf(r.kind, spec->field);
            const char* key = StandIn::FieldName(spec->field);
            const uint32_t bit = FieldBit(r.kind, spec->field);
            const int64_t v = r.slots[s->pos];
            switch (spec->cat) {
            case Cat::Int:
            case Cat::Bool:
                if (v == spec->def) break;
                m_w.Key(key);
                if (spec->cat == Cat::Int)
                    m_w.Int(v);
                else
                    m_w.Bool(v != 0);
                break;
            case Cat::OptInt:
            case Cat::OptBool:
                if (v == kUnsetInt) break;
                m_w.Key(key);
                if (spec->cat == Cat::OptInt)
                    m_w.Int(v);
                else
                    m_w.Bool(v != 0);
                break;
            case Cat::Set: {
                const uint32_t word = static_cast<uint32_t>(v);
                if (word == 0) break;
                m_w.Key(key);
                m_w.BeginArray();
                for (int b = 0; b < 32; ++b)
                    if ((word >> b) & 1u) m_w.Int(b);
                m_w.EndArray();
                break;
            }
            case Cat::Text: {
                const std::string& text = m_t.GetText(r, spec->field);
                if (text.empty()) break;
                m_w.Key(key);
                m_w.String(text);
                break;
            }
            case Cat::Ref:
                if (!RefWritten(slot, spec, static_cast<uint64_t>(v))) break;
                m_w.Key(key);
                Ref(static_cast<uint64_t>(v), spec->targets, false);
                break;
            case Cat::OptRef:
                if (static_cast<uint64_t>(v) == kUnsetRef) break;
                m_w.Key(key);
                Ref(static_cast<uint64_t>(v), spec->targets, false);
                break;
            case Cat::List: {
                if (r.kind == Kind::PhysicalNet && spec->field == Field::pinsConnected && !(r.flags & kListGiven)) break;
                const RefList& list = r.Lists()[s->pos];
                if ((m_omit[slot] & bit) || (list.empty() && !(m_literal[slot] & bit))) break;
                m_w.Key(key);
                m_w.BeginArray();
                for (uint64_t e : list) Ref(e, spec->targets, true);
                m_w.EndArray();
                break;
            }
            default: break;
            }
        }
        if (info.norv) {
            if (const size_t n = r.extras.InheritCount()) {
                m_w.Key("inherits");
                m_w.BeginArray();
                for (size_t i = 0; i < n; ++i) m_w.String(m_t.pool.Text(r.extras.Inherit(i)));
                m_w.EndArray();
            }
        }
        if (r.kind != Kind::Snapshot && r.extras.AttrCount() != 0) {
            m_w.Key("attributes");
            m_w.BeginArray();
            const AttrEntry* attrs = r.extras.Attrs();
            for (size_t i = 0; i < r.extras.AttrCount(); ++i) {
                const AttrEntry& a = attrs[i];
                m_w.BeginObject();
                m_w.Key("name");
                m_w.String(m_t.pool.Text(a.name));
                m_w.Key("value");
                m_w.String(m_t.pool.Text(a.value));
                if (a.type != 0) {
                    m_w.Key("type");
                    m_w.Int(a.type);
                }
                if (a.bit != -1) {
                    m_w.Key("bit");
                    m_w.Int(a.bit);
                }
                m_w.EndObject();
            }
            m_w.EndArray();
        }
        auto f = m_t.faults.find(r.index);
        if (f != m_t.faults.end()) WriteFaults(m_w, f->second);
        std::vector<const FieldSpec*> keys;
        HomeKeys(r, keys);
        for (const FieldSpec* spec : keys) {
            const uint32_t bit = FieldBit(r.kind, spec->field);
            if (spec->cat == Cat::HomeRef) {
                const uint64_t v = m_t.GetRef(r, spec->field);
                if (v == 0 && !(m_null[slot] & bit)) continue;
                m_w.Key(StandIn::FieldName(spec->field));
                HomeEntry(r, spec->field, v, spec->targets, false);
                continue;
            }
            const RefList& list = m_t.GetList(r, spec->field);
            if ((m_omit[slot] & bit) || (list.empty() && !(m_literal[slot] & bit))) continue;
            const size_t n = WrittenEntries(slot, spec, list);
            m_w.Key(StandIn::FieldName(spec->field));
            m_w.BeginArray(BreaksHomeLists(r.kind) && spec->field != Field::constraints && n != 0);
            for (size_t i = 0; i < n; ++i) HomeEntry(r, spec->field, list[i], spec->targets, true);
            m_w.EndArray();
        }
        if (!open) m_w.EndObject();
    }

    void SnapshotKeys()
    {
        m_w.Key("nextSerial");
        m_w.UInt(m_t.nextSerial);
        if (!m_t.attributes.empty()) {
            m_w.Key("attributes");
            m_w.BeginArray();
            for (const auto& a : m_t.attributes) {
                m_w.BeginObject();
                m_w.Key("name");
                m_w.String(a.first);
                m_w.Key("value");
                m_w.String(a.second);
                m_w.EndObject();
            }
            m_w.EndArray();
        }
        if (!m_t.clients.empty()) {
            m_w.Key("clients");
            m_w.BeginArray();
            for (const ClientRec& c : m_t.clients) {
                m_w.BeginObject();
                m_w.Key("name");
                m_w.String(c.name);
                m_w.Key("subClients");
                m_w.BeginArray();
                for (const std::string& sub : c.subClients) m_w.String(sub);
                m_w.EndArray();
                m_w.EndObject();
            }
            m_w.EndArray();
        }
        if (!m_t.locks.empty()) {
            m_w.Key("locks");
            m_w.BeginArray();
            for (const LockRec& l : m_t.locks) {
                m_w.BeginObject();
                m_w.Key("object");
                Ref(l.object, ~0ull, true);
                m_w.Key("address");
                m_w.String(l.address);
                m_w.Key("subClient");
                m_w.String(l.subClient);
                if (l.deep) {
                    m_w.Key("deep");
                    m_w.Bool(true);
                }
                m_w.EndObject();
            }
            m_w.EndArray();
        }
    }

    Writer& m_w;
    const SnapshotData& m_t;
    // per record slot
    std::vector<uint8_t> m_placed;    // placed (while planning), written (while writing)
    std::vector<uint8_t> m_free;      // stands in the objects array
    std::vector<uint8_t> m_needId;    // something names it by id
    std::vector<uint8_t> m_explicit;  // carries its index
    std::vector<uint32_t> m_omit;     // field bits: left out, the load gives them back
    std::vector<uint32_t> m_literal;  // field bits: lists written whole and literal
    std::vector<uint32_t> m_null;     // field bits: empty references written as null
    std::unordered_map<uint64_t, uint32_t> m_prefix;   // home lists written only up to their last inline object
    std::vector<std::string> m_ids;
    std::vector<uint32_t> m_order;    // slots in document order
    IndexSet m_set;
};

void WriteSession(Writer& w, const SessionData& s)
{
    w.Key("session");
    w.BeginObject(true);
    const StandIn::SessionIdentity defaults;
    if (s.identity.address != defaults.address) {
        w.Key("address");
        w.String(s.identity.address);
    }
    if (s.identity.subClient != defaults.subClient) {
        w.Key("subClient");
        w.String(s.identity.subClient);
    }
    w.Key("nextSerial");
    w.UInt(s.defs->nextSerial);
    std::vector<const ObjRecord*> defs;
    std::vector<uint64_t> serials;
    for (uint64_t index : s.definitions)
        if (const ObjRecord* r = s.defs->FindLive(index)) {
            defs.push_back(r);
            serials.push_back(r->index & kSerialMask);
        }
    if (!defs.empty()) {
        const std::vector<uint8_t> explicitIndex = ExplicitIndexes(serials);
        w.Key("definitions");
        w.BeginArray(true);
        for (size_t k = 0; k < defs.size(); ++k) {
            const ObjRecord* r = defs[k];
            w.BeginObject();
            const std::string fileId = s.defs->FileId(static_cast<uint32_t>(s.defs->SlotOfIndex(r->index)));
            if (!fileId.empty()) {
                w.Key("id");
                w.String(fileId);
            }
            if (explicitIndex[k]) {
                w.Key("index");
                w.String(IndexText(r->index));
            }
            w.Key("name");
            w.String(r->name);
            if (!(r->flags & kValid)) {
                w.Key("valid");
                w.Bool(false);
            }
            if (r->flags & kEmptyIndex) {
                w.Key("emptyIndex");
                w.Bool(true);
            }
            if (const ConstraintPayload* p = s.defs->Payload(*r)) WriteValue(w, s.defs->Value(*p));
            auto f = s.defs->faults.find(r->index);
            if (f != s.defs->faults.end()) WriteFaults(w, f->second);
            w.EndObject();
        }
        w.EndArray();
    }
    WriteFaults(w, s.sessionFaults);
    bool anyNext = false;
    for (const auto& e : s.failNext) anyNext |= e.second > 0;
    if (anyNext) {
        w.Key("failNext");
        w.BeginObject();
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

// The whole design file into `sink`; false with the reason in `error`.
bool WriteDocument(const SessionData& s, JsonFile::Sink& sink, std::string& error)
{
    try {
        Writer w(sink);
        w.BeginObject(true);
        w.Key("format");
        w.String("kravik-design");
        w.Key("version");
        w.Int(1);
        WriteSession(w, s);
        w.Key("snapshots");
        w.BeginArray(!s.snapshots.empty());
        std::unordered_set<std::string> sessionIds;
        for (uint64_t index : s.definitions)
            if (s.defs->FindLive(index)) {
                std::string fileId = s.defs->FileId(static_cast<uint32_t>(s.defs->SlotOfIndex(index)));
                if (!fileId.empty()) sessionIds.insert(std::move(fileId));
            }
        for (const auto& snap : s.snapshots) SnapshotWriter(w, *snap, &sessionIds).Write();
        w.EndArray();
        if (!s.backups.empty()) {
            w.Key("backups");
            w.BeginArray(true);
            for (const StandIn::Backup& b : s.backups) {
                w.BeginObject(true);
                w.Key("gindex");
                w.String(IndexText(b.gindex.GetValue()));
                w.Key("type");
                w.Int(b.type);
                w.Key("text1");
                w.String(b.text1);
                w.Key("text2");
                w.String(b.text2);
                w.Key("snapshots");
                w.BeginArray(!b.snapshots.empty());
                for (const auto& snap : b.snapshots) SnapshotWriter(w, *snap, nullptr).Write();
                w.EndArray();
                w.EndObject();
            }
            w.EndArray();
        }
        w.EndObject();
        return w.Finish(error);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

}  // namespace

}  // namespace detail

namespace StandIn {

Result SaveSession(const LumoPI& session, const std::string& path, bool overwrite)
{
    using namespace detail;
    std::string error;
    JsonFile::AtomicFile file;
    if (!file.Open(path, overwrite, error)) return Failure("cannot save: " + error);
    if (!WriteDocument(*Access::DataOf(session), file, error)) return Failure("cannot save " + path + ": " + error);
    if (!file.Commit(error)) return Failure("cannot save: " + error);
    return Result();
}

Result WriteSessionTo(const LumoPI& session, int fd)
{
    using namespace detail;
    std::string error;
    JsonFile::DescriptorSink sink(fd);
    if (!WriteDocument(*Access::DataOf(session), sink, error)) return Failure(error);
    return Result();
}

}  // namespace StandIn
}  // namespace Lumo
