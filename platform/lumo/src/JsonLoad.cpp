// The design-file loader. A file is read in passes per id scope (the session level, each snapshot, each
// backup snapshot): the objects are staged in document pre-order with their ids and explicit indexes, then
// indexes are assigned and records created, then every key is read (references resolved through the scope's
// id map), then the missing sides of the relations are completed, and finally references and lists are
// written to the records. The first error stops the load and carries the JSON Pointer of the offending value.
#include "JsonFile.h"
#include "JsonKeys.h"
#include "Store.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace Lumo {
namespace detail {

namespace {

using OJson = nlohmann::ordered_json;
constexpr uint32_t kNone = UINT32_MAX;

struct LoadFailure {
    std::string path;
    std::string message;
};

std::string Quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

const char* JsonTypeName(const OJson& v)
{
    switch (v.type()) {
    case OJson::value_t::null: return "null";
    case OJson::value_t::boolean: return "a boolean";
    case OJson::value_t::number_integer:
    case OJson::value_t::number_unsigned: return "an integer";
    case OJson::value_t::number_float: return "a number";
    case OJson::value_t::string: return "a string";
    case OJson::value_t::array: return "an array";
    case OJson::value_t::object: return "an object";
    default: return "another value";
    }
}

// Positions in the document, kept as a tree so that a pointer is only spelled out when an error needs it.
class PathTable {
public:
    PathTable() { m_nodes.push_back({kNone, {}, -1}); }
    uint32_t Add(uint32_t parent, std::string_view key, int64_t pos = -1)
    {
        m_nodes.push_back({parent, key, pos});
        return static_cast<uint32_t>(m_nodes.size() - 1);
    }
    std::string Build(uint32_t node, std::string_view key = {}, int64_t pos = -1) const
    {
        std::vector<uint32_t> chain;
        for (uint32_t n = node; n != kNone && n != 0; n = m_nodes[n].parent) chain.push_back(n);
        std::string path;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const Node& n = m_nodes[*it];
            if (!n.key.empty()) JsonFile::AppendPointerToken(path, n.key);
            if (n.pos >= 0) path += "/" + std::to_string(n.pos);
        }
        if (!key.empty()) JsonFile::AppendPointerToken(path, key);
        if (pos >= 0) path += "/" + std::to_string(pos);
        return path;
    }

private:
    struct Node {
        uint32_t parent;
        std::string_view key;
        int64_t pos;
    };
    std::vector<Node> m_nodes;
};

enum RefState : uint8_t { kAbsent, kNull, kStaged, kRaw };

struct RefVal {
    uint8_t state = kAbsent;
    uint32_t target = kNone;   // staged object (kStaged)
    uint64_t index = 0;        // final index (kStaged, kRaw)
};

struct Entry {
    uint32_t target;   // staged object, or kNone for a raw index
    uint64_t index;
};

struct ListVal {
    uint32_t begin = 0;
    uint32_t count = 0;
    uint32_t extra = kNone;   // completion appends, in Scope::extras
    bool present = false;
    bool literal = false;
};

struct Obj {
    const OJson* node = nullptr;
    uint32_t path = 0;
    uint32_t parent = kNone;        // enclosing object (placement)
    Field placedIn = Field::Count;  // key of the enclosing object that holds it
    uint32_t firstChild = kNone, lastChild = kNone, nextSibling = kNone;
    Kind kind = Kind::None;
    bool free = false;              // in the snapshot's objects
    bool hasIndex = false;
    uint64_t index = 0;
    uint32_t slot = kNone;
    uint32_t refBase = 0;
    uint32_t listBase = 0;
    RefVal owner;
};

// One id scope with everything staged for it.
struct Scope {
    SnapshotData* table = nullptr;
    std::vector<Obj> objs;
    std::unordered_map<std::string_view, uint32_t> ids;
    std::vector<RefVal> refs;
    std::vector<ListVal> lists;
    std::vector<Entry> entries;
    std::vector<std::vector<Entry>> extras;
    std::unordered_map<uint32_t, std::unordered_set<uint64_t>> bigLists;   // membership of long lists
    std::unordered_set<std::string> norvTops, defaultTops;
};

uint64_t OwnerMask(Kind child)
{
    static const auto masks = [] {
        std::vector<uint64_t> m(kKindCount, 0);
        for (size_t c = 0; c < kKindCount; ++c)
            for (size_t o = 0; o < kKindCount; ++o)
                if (HomeField(static_cast<Kind>(o), static_cast<Kind>(c)) != Field::Count) m[c] |= 1ull << o;
        return m;
    }();
    return masks[static_cast<size_t>(child)];
}

Kind SingleKind(uint64_t mask)
{
    if (mask == 0 || (mask & (mask - 1)) != 0) return Kind::None;
    unsigned k = 0;
    while (!((mask >> k) & 1u)) ++k;
    return static_cast<Kind>(k);
}

// Kinds a snapshot's objects array may define.
constexpr uint64_t kFreeKinds = ~((1ull << static_cast<unsigned>(Kind::None)) | (1ull << static_cast<unsigned>(Kind::Snapshot)) |
                                  (1ull << static_cast<unsigned>(Kind::ConstraintDef)));

class Loader {
public:
    explicit Loader(SessionData& s) : m_s(s) {}

    void Load(const OJson& doc);

private:
    [[noreturn]] void Fail(uint32_t node, std::string_view key, int64_t pos, std::string message) const
    {
        throw LoadFailure{m_paths.Build(node, key, pos), std::move(message)};
    }
    [[noreturn]] void Fail(uint32_t node, std::string message) const { Fail(node, {}, -1, std::move(message)); }

    const OJson& Expect(const OJson& v, OJson::value_t type, uint32_t node, std::string_view key, int64_t pos = -1) const;
    int64_t ExpectInt(const OJson& v, int64_t lo, int64_t hi, uint32_t node, std::string_view key, int64_t pos = -1) const;
    const std::string& ExpectString(const OJson& v, uint32_t node, std::string_view key, int64_t pos = -1) const
    {
        return Expect(v, OJson::value_t::string, node, key, pos).get_ref<const std::string&>();
    }
    bool ExpectBool(const OJson& v, uint32_t node, std::string_view key) const
    {
        return Expect(v, OJson::value_t::boolean, node, key).get<bool>();
    }

    // Staging.
    uint32_t Stage(Scope& sc, const OJson& node, uint64_t allowed, std::string_view via, uint32_t parent,
                   Field placedIn, uint32_t path, bool free);
    void StageChildren(Scope& sc, uint32_t obj);
    void AssignIndexes(Scope& sc, uint64_t fileNextSerial);

    // Reading keys.
    void ReadObject(Scope& sc, uint32_t obj);
    RefVal ReadRef(Scope& sc, const OJson& v, uint64_t targets, bool allowNull, uint32_t node, std::string_view key,
                   int64_t pos) const;
    void ReadList(Scope& sc, uint32_t obj, const FieldSpec& spec, const std::string& key, const OJson& v,
                  uint32_t& cursor);
    void ReadFaults(const OJson& v, uint32_t node, std::string_view key, std::vector<FaultEntry>& out) const;
    void ReadAttributes(Scope& sc, uint32_t obj, const OJson& v, std::string_view key);
    void ReadConstraintValue(Scope& sc, uint32_t obj, const OJson* value, const OJson* type);
    void ReadSnapshotKey(Scope& sc, uint32_t obj, int code, const std::string& key, const OJson& v);

    // Completion and commit.
    void Complete(Scope& sc);
    bool Contains(Scope& sc, uint32_t listIdx, uint64_t index);
    void AppendExtra(Scope& sc, uint32_t listIdx, const Entry& e);
    template <class F>
    void ForEachEntry(const Scope& sc, uint32_t listIdx, F&& f) const;
    RefVal& RefOf(Scope& sc, uint32_t obj, Field f);
    void CompleteSide(Scope& sc, Kind tk, Field tf, Kind sk, Field sf);
    void Commit(Scope& sc);

    // Scopes.
    void LoadSession(const OJson* session);
    std::shared_ptr<SnapshotData> LoadSnapshot(const OJson& node, uint32_t path, bool registered);
    void LoadBackups(const OJson& v, uint32_t rootNode);

    SessionData& m_s;
    PathTable m_paths;
    bool m_complete = true;
    std::unordered_set<std::string> m_snapshotNames;
    std::unordered_set<std::string_view> m_sessionIds;
    std::vector<std::pair<uint64_t, uint32_t>> m_sessionExplicit;   // explicit session-counter indexes and their path
};

// ---------------------------------------------------------------------------------------------------------
// Primitive reads

const OJson& Loader::Expect(const OJson& v, OJson::value_t type, uint32_t node, std::string_view key, int64_t pos) const
{
    if (v.type() == type) return v;
    const char* want = "a value";
    switch (type) {
    case OJson::value_t::string: want = "a string"; break;
    case OJson::value_t::boolean: want = "a boolean"; break;
    case OJson::value_t::array: want = "an array"; break;
    case OJson::value_t::object: want = "an object"; break;
    default: break;
    }
    Fail(node, key, pos, std::string("expected ") + want + ", found " + JsonTypeName(v));
}

int64_t Loader::ExpectInt(const OJson& v, int64_t lo, int64_t hi, uint32_t node, std::string_view key, int64_t pos) const
{
    if (v.is_number_unsigned()) {
        const uint64_t u = v.get<uint64_t>();
        if (u > static_cast<uint64_t>(hi)) Fail(node, key, pos, "integer out of range: " + std::to_string(u));
        return static_cast<int64_t>(u);
    }
    if (!v.is_number_integer()) Fail(node, key, pos, std::string("expected an integer, found ") + JsonTypeName(v));
    const int64_t i = v.get<int64_t>();
    if (i < lo || i > hi) Fail(node, key, pos, "integer out of range: " + std::to_string(i));
    return i;
}

// ---------------------------------------------------------------------------------------------------------
// Staging: the objects of a scope in document pre-order, with their ids and explicit indexes.

uint32_t Loader::Stage(Scope& sc, const OJson& node, uint64_t allowed, std::string_view via, uint32_t parent,
                       Field placedIn, uint32_t path, bool free)
{
    if (!node.is_object()) Fail(path, std::string("expected an object, found ") + JsonTypeName(node));
    Kind kind = SingleKind(allowed);
    auto kindIt = node.find("kind");
    if (kindIt != node.end()) {
        const std::string& name = ExpectString(*kindIt, path, "kind");
        Kind given = Kind::None;
        if (!JsonKeys::KindByName(name, given)) Fail(path, "kind", -1, "unknown kind " + Quote(name));
        if (!((allowed >> static_cast<unsigned>(given)) & 1u))
            Fail(path, "kind", -1, "kind " + Quote(name) + " does not fit " + Quote(via));
        kind = given;
    } else if (kind == Kind::None) {
        Fail(path, "missing required key \"kind\"");
    }
    const uint32_t id = static_cast<uint32_t>(sc.objs.size());
    sc.objs.emplace_back();
    Obj& o = sc.objs.back();
    o.node = &node;
    o.path = path;
    o.parent = parent;
    o.placedIn = placedIn;
    o.kind = kind;
    o.free = free;
    if (parent != kNone) {
        Obj& p = sc.objs[parent];
        if (p.lastChild == kNone)
            p.firstChild = id;
        else
            sc.objs[p.lastChild].nextSibling = id;
        p.lastChild = id;
    }
    StageChildren(sc, id);
    return id;
}

void Loader::StageChildren(Scope& sc, uint32_t obj)
{
    const OJson& node = *sc.objs[obj].node;
    const Kind kind = sc.objs[obj].kind;
    const uint32_t path = sc.objs[obj].path;
    for (const auto& item : node.items()) {
        const std::string& key = item.key();
        const OJson& v = item.value();
        const JsonKeys::Key k = JsonKeys::Lookup(key);
        if (k.code == JsonKeys::kId) {
            const std::string& text = ExpectString(v, path, key);
            if (JsonFile::LooksLikeIndexText(text)) Fail(path, key, -1, "id " + Quote(text) + " has the form of a raw index");
            if (!sc.ids.emplace(text, obj).second) Fail(path, key, -1, "duplicate id " + Quote(text));
            if (kind == Kind::Snapshot || kind == Kind::ConstraintDef) {
                if (!m_sessionIds.insert(text).second) Fail(path, key, -1, "duplicate id " + Quote(text));
            }
        } else if (k.code == JsonKeys::kIndex) {
            const std::string& text = ExpectString(v, path, key);
            uint64_t index = 0;
            if (!JsonFile::ParseIndexText(text, index) || (index & kSerialMask) == 0)
                Fail(path, key, -1, "malformed index " + Quote(text));
            if (TypeOf(index) != TypeOfKind(kind))
                Fail(path, key, -1, "index " + Quote(text) + " has type " + std::to_string(TypeOf(index)) + ", " +
                                        KindName(kind) + " needs " + std::to_string(TypeOfKind(kind)));
            sc.objs[obj].hasIndex = true;
            sc.objs[obj].index = index;
        } else if (k.code == JsonKeys::kObjects && kind == Kind::Snapshot) {
            Expect(v, OJson::value_t::array, path, key);
            const uint32_t listNode = m_paths.Add(path, key);
            int64_t pos = 0;
            for (const OJson& e : v) {
                Stage(sc, e, kFreeKinds, key, obj, Field::Count, m_paths.Add(listNode, {}, pos), true);
                ++pos;
            }
        } else if (k.code == JsonKeys::kField) {
            const FieldSpec* spec = SpecOf(kind, k.field);
            if (!spec) continue;   // reported when the keys are read
            if (spec->cat == Cat::HomeList) {
                Expect(v, OJson::value_t::array, path, key);
                const uint32_t listNode = m_paths.Add(path, key);
                int64_t pos = 0;
                for (const OJson& e : v) {
                    if (e.is_object()) Stage(sc, e, spec->targets, key, obj, k.field, m_paths.Add(listNode, {}, pos), false);
                    ++pos;
                }
            } else if (spec->cat == Cat::HomeRef && v.is_object()) {
                Stage(sc, v, spec->targets, key, obj, k.field, m_paths.Add(path, key), false);
            }
        }
    }
}

// Explicit indexes must be unique by serial; the others get the free serials in document order.
void Loader::AssignIndexes(Scope& sc, uint64_t fileNextSerial)
{
    std::vector<std::pair<uint64_t, uint32_t>> taken;   // (serial, obj)
    for (uint32_t i = 0; i < sc.objs.size(); ++i)
        if (sc.objs[i].hasIndex) taken.emplace_back(sc.objs[i].index & kSerialMask, i);
    std::sort(taken.begin(), taken.end());
    for (size_t i = 1; i < taken.size(); ++i) {
        if (taken[i].first != taken[i - 1].first) continue;
        const Obj& a = sc.objs[std::min(taken[i].second, taken[i - 1].second)];
        const Obj& b = sc.objs[std::max(taken[i].second, taken[i - 1].second)];
        const std::string text = IndexText(b.index);
        if (a.index == b.index) Fail(b.path, "index", -1, "duplicate index " + Quote(text));
        Fail(b.path, "index", -1, "index " + Quote(text) + " reuses the serial of " + Quote(IndexText(a.index)));
    }
    uint64_t serial = 1;
    size_t cursor = 0;
    uint64_t highest = 0;
    for (Obj& o : sc.objs) {
        if (!o.hasIndex) {
            while (cursor < taken.size() && taken[cursor].first < serial) ++cursor;
            while (cursor < taken.size() && taken[cursor].first == serial) {
                ++serial;
                ++cursor;
            }
            o.index = MakeIndex(TypeOfKind(o.kind), serial++);
        }
        highest = std::max(highest, o.index & kSerialMask);
        const uint32_t slot = sc.table->Create(o.kind, o.index);
        if (slot == UINT32_MAX) Fail(o.path, "index", -1, "index " + Quote(IndexText(o.index)) + " cannot be used");
        o.slot = slot;
    }
    sc.table->nextSerial = std::max({sc.table->nextSerial, fileNextSerial, highest + 1});
}

// ---------------------------------------------------------------------------------------------------------
// Reading the keys of one staged object

RefVal Loader::ReadRef(Scope& sc, const OJson& v, uint64_t targets, bool allowNull, uint32_t node,
                       std::string_view key, int64_t pos) const
{
    RefVal r;
    if (v.is_string()) {
        const std::string& text = v.get_ref<const std::string&>();
        if (JsonFile::LooksLikeIndexText(text)) {
            if (!JsonFile::ParseIndexText(text, r.index)) Fail(node, key, pos, "malformed index " + Quote(text));
            r.state = r.index == 0 ? kNull : kRaw;
            return r;
        }
        auto it = sc.ids.find(text);
        if (it == sc.ids.end()) Fail(node, key, pos, "unknown id " + Quote(text));
        const Obj& t = sc.objs[it->second];
        if (!((targets >> static_cast<unsigned>(t.kind)) & 1u))
            Fail(node, key, pos, "id " + Quote(text) + " names kind " + KindName(t.kind) + ", which " + Quote(key) +
                                     " does not allow");
        r.state = kStaged;
        r.target = it->second;
        r.index = t.index;
        return r;
    }
    if (v.is_null() && allowNull) {
        r.state = kNull;
        return r;
    }
    if (v.is_object()) Fail(node, key, pos, "inline object not allowed in " + Quote(key));
    Fail(node, key, pos, std::string(allowNull ? "expected an id, a raw index or null" : "expected an id or a raw index") +
                             ", found " + JsonTypeName(v));
}

void Loader::ReadList(Scope& sc, uint32_t obj, const FieldSpec& spec, const std::string& key, const OJson& v,
                      uint32_t& cursor)
{
    const Obj& o = sc.objs[obj];
    Expect(v, OJson::value_t::array, o.path, key);
    ListVal& l = sc.lists[o.listBase + SlotOf(o.kind, spec.field)->pos];
    l.present = true;
    l.begin = static_cast<uint32_t>(sc.entries.size());
    int64_t pos = 0;
    for (const OJson& e : v) {
        if (e.is_object() && spec.cat == Cat::HomeList) {
            const uint32_t child = cursor;
            cursor = sc.objs[child].nextSibling;
            sc.entries.push_back(Entry{child, sc.objs[child].index});
        } else {
            const RefVal r = ReadRef(sc, e, spec.targets, false, o.path, key, pos);
            sc.entries.push_back(Entry{r.state == kStaged ? r.target : kNone, r.index});
        }
        ++pos;
    }
    l.count = static_cast<uint32_t>(sc.entries.size()) - l.begin;
}

void Loader::ReadFaults(const OJson& v, uint32_t node, std::string_view key, std::vector<FaultEntry>& out) const
{
    Expect(v, OJson::value_t::array, node, key);
    const uint32_t listNode = node;
    int64_t pos = 0;
    for (const OJson& e : v) {
        FaultEntry f;
        if (e.is_string()) {
            f.op = e.get<std::string>();
        } else if (e.is_object()) {
            bool hasOp = false;
            for (const auto& item : e.items()) {
                if (item.key() == "op") {
                    if (!item.value().is_string())
                        throw LoadFailure{m_paths.Build(listNode, key, pos) + "/op",
                                          std::string("expected a string, found ") + JsonTypeName(item.value())};
                    f.op = item.value().get<std::string>();
                    hasOp = true;
                } else if (item.key() == "count") {
                    const OJson& c = item.value();
                    if (!c.is_number_integer() || c.get<int64_t>() < -1 || c.get<int64_t>() > INT32_MAX)
                        throw LoadFailure{m_paths.Build(listNode, key, pos) + "/count",
                                          "expected -1 or a count of at least 0"};
                    f.count = static_cast<int>(c.get<int64_t>());
                } else {
                    std::string p = m_paths.Build(listNode, key, pos);
                    JsonFile::AppendPointerToken(p, item.key());
                    throw LoadFailure{p, "unknown key " + Quote(item.key()) + " for a fault"};
                }
            }
            if (!hasOp) Fail(listNode, key, pos, "missing required key \"op\"");
        } else {
            Fail(listNode, key, pos, std::string("expected an operation name or an object, found ") + JsonTypeName(e));
        }
        f.key = OpKeyFromName(f.op);
        if (f.key < 0) Fail(listNode, key, pos, "unknown operation " + Quote(f.op));
        if (f.count != 0) out.push_back(std::move(f));
        ++pos;
    }
}

void Loader::ReadAttributes(Scope& sc, uint32_t obj, const OJson& v, std::string_view key)
{
    const Obj& o = sc.objs[obj];
    Expect(v, OJson::value_t::array, o.path, key);
    const bool typed = o.kind == Kind::LogicComp || o.kind == Kind::DesignPin;
    const bool bitted = o.kind == Kind::DesignPin;
    const bool snapshot = o.kind == Kind::Snapshot;
    std::vector<AttributeRec> attrs;
    attrs.reserve(v.size());
    const uint32_t listNode = m_paths.Add(o.path, key);
    int64_t pos = 0;
    for (const OJson& e : v) {
        const uint32_t at = m_paths.Add(listNode, {}, pos);
        Expect(e, OJson::value_t::object, at, {});
        AttributeRec a;
        bool hasName = false, hasValue = false;
        for (const auto& item : e.items()) {
            const std::string& k = item.key();
            if (k == "name") {
                a.name = ExpectString(item.value(), at, k);
                hasName = true;
            } else if (k == "value") {
                a.value = ExpectString(item.value(), at, k);
                hasValue = true;
            } else if (k == "type" && typed) {
                a.type = static_cast<int32_t>(ExpectInt(item.value(), INT32_MIN, INT32_MAX, at, k));
            } else if (k == "bit" && bitted) {
                a.bit = static_cast<int32_t>(ExpectInt(item.value(), INT32_MIN, INT32_MAX, at, k));
            } else {
                Fail(at, k, -1, "unknown key " + Quote(k) + " for an attribute of " + KindName(o.kind));
            }
        }
        if (!hasName) Fail(at, "missing required key \"name\"");
        if (!hasValue) Fail(at, "missing required key \"value\"");
        for (const AttributeRec& b : attrs) {
            if (b.name == a.name && b.type == a.type && b.bit == a.bit) {
                std::string what = "duplicate attribute " + Quote(a.name);
                if (typed) what += " (type " + std::to_string(a.type) + (bitted ? ", bit " + std::to_string(a.bit) : "") + ")";
                Fail(at, what);
            }
        }
        attrs.push_back(std::move(a));
        ++pos;
    }
    if (snapshot) {
        for (AttributeRec& a : attrs) sc.table->attributes.emplace_back(std::move(a.name), std::move(a.value));
    } else {
        sc.table->records[o.slot].Extra().attributes = std::move(attrs);
    }
}

// The value of a constraint or definition: kind from the JSON type, or forced by "type".
void Loader::ReadConstraintValue(Scope& sc, uint32_t obj, const OJson* value, const OJson* type)
{
    const Obj& o = sc.objs[obj];
    ObjRecord& rec = sc.table->records[o.slot];
    static const OJson kEmpty = "";
    const OJson& v = value ? *value : kEmpty;
    ConstraintData d;
    auto mismatch = [&](const std::string& why) { Fail(o.path, value ? "value" : "", -1, why); };
    auto numberList = [&](bool ints) {
        for (const OJson& e : v) {
            if (ints ? !e.is_number_integer() : !e.is_number()) return false;
        }
        return true;
    };
    auto fill = [&](int32_t kind) {
        d.kind = kind;
        switch (kind) {
        case CDT_Int:
            if (!v.is_number_integer() || v.get<int64_t>() < INT32_MIN || v.get<int64_t>() > INT32_MAX) return false;
            d.intValue = static_cast<int32_t>(v.get<int64_t>());
            return true;
        case CDT_Double:
            if (!v.is_number()) return false;
            d.doubleValue = v.get<double>();
            return true;
        case CDT_Text:
            if (!v.is_string()) return false;
            d.textValue = String(v.get_ref<const std::string&>());
            return true;
        case CDT_IntList:
            if (!v.is_array() || !numberList(true)) return false;
            for (const OJson& e : v) {
                if (e.get<int64_t>() < INT32_MIN || e.get<int64_t>() > INT32_MAX) return false;
                d.intList.push_back(static_cast<int32_t>(e.get<int64_t>()));
            }
            return true;
        case CDT_DoubleList:
            if (!v.is_array() || !numberList(false)) return false;
            for (const OJson& e : v) d.doubleList.push_back(e.get<double>());
            return true;
        case CDT_TextList:
            if (!v.is_array()) return false;
            for (const OJson& e : v) {
                if (!e.is_string()) return false;
                d.textList.push_back(String(e.get_ref<const std::string&>()));
            }
            return true;
        default:
            return false;
        }
    };
    if (!type) {
        int32_t kind = CDT_Text;
        if (v.is_number_integer())
            kind = CDT_Int;
        else if (v.is_number_float())
            kind = CDT_Double;
        else if (v.is_array())
            kind = v.empty() || v.front().is_string() ? CDT_TextList : numberList(true) ? CDT_IntList : CDT_DoubleList;
        else if (!v.is_string())
            mismatch(std::string("a constraint value cannot be ") + JsonTypeName(v));
        if (!fill(kind)) mismatch("the elements of a list value must all be integers, all numbers or all strings");
    } else {
        const int32_t kind = static_cast<int32_t>(ExpectInt(*type, INT32_MIN, INT32_MAX, o.path, "type"));
        if (kind == CDT_Default) {
            if (!v.is_string()) mismatch("type 0 needs a string value");
            d.kind = CDT_Default;
            d.textValue = String(v.get_ref<const std::string&>());
            if (o.kind == Kind::ConstraintDef) {
                d.kind = CDT_Text;
            } else if (!ResolveDefaultKind(m_s, rec.name, d)) {
                mismatch(Quote(v.get_ref<const std::string&>()) + " does not parse for the kind of definition " +
                         Quote(rec.name));
            }
        } else if (kind >= CDT_Int && kind <= CDT_TextList) {
            if (v.is_string() && kind != CDT_Text) {
                if (!ParseConstraintText(v.get_ref<const std::string&>(), kind, d))
                    mismatch(Quote(v.get_ref<const std::string&>()) + " does not parse as type " + std::to_string(kind));
            } else if (!fill(kind)) {
                mismatch(std::string("value ") + JsonTypeName(v) + " does not fit type " + std::to_string(kind));
            }
        } else {
            if (!v.is_string()) mismatch("type " + std::to_string(kind) + " needs a string value");
            d.kind = kind;
            d.textValue = String(v.get_ref<const std::string&>());
        }
    }
    sc.table->Payload(o.slot).value = std::move(d);
}

void Loader::ReadSnapshotKey(Scope& sc, uint32_t obj, int code, const std::string& key, const OJson& v)
{
    const Obj& o = sc.objs[obj];
    SnapshotData& snap = *sc.table;
    if (code == JsonKeys::kClients) {
        Expect(v, OJson::value_t::array, o.path, key);
        const uint32_t listNode = m_paths.Add(o.path, key);
        int64_t pos = 0;
        for (const OJson& e : v) {
            const uint32_t at = m_paths.Add(listNode, {}, pos++);
            Expect(e, OJson::value_t::object, at, {});
            ClientRec c;
            bool hasName = false;
            for (const auto& item : e.items()) {
                if (item.key() == "name") {
                    c.name = ExpectString(item.value(), at, item.key());
                    hasName = true;
                } else if (item.key() == "subClients") {
                    Expect(item.value(), OJson::value_t::array, at, item.key());
                    int64_t sp = 0;
                    for (const OJson& s : item.value()) c.subClients.push_back(ExpectString(s, at, item.key(), sp++));
                } else {
                    Fail(at, item.key(), -1, "unknown key " + Quote(item.key()) + " for a client");
                }
            }
            if (!hasName) Fail(at, "missing required key \"name\"");
            snap.clients.push_back(std::move(c));
        }
    } else if (code == JsonKeys::kLocks) {
        Expect(v, OJson::value_t::array, o.path, key);
        const uint32_t listNode = m_paths.Add(o.path, key);
        int64_t pos = 0;
        for (const OJson& e : v) {
            const uint32_t at = m_paths.Add(listNode, {}, pos++);
            Expect(e, OJson::value_t::object, at, {});
            LockRec l;
            bool hasObject = false, hasAddress = false, hasSub = false;
            for (const auto& item : e.items()) {
                const std::string& k = item.key();
                if (k == "object") {
                    const RefVal r = ReadRef(sc, item.value(), ~0ull, false, at, k, -1);
                    l.object = r.index;
                    hasObject = true;
                } else if (k == "address") {
                    l.address = ExpectString(item.value(), at, k);
                    hasAddress = true;
                } else if (k == "subClient") {
                    l.subClient = ExpectString(item.value(), at, k);
                    hasSub = true;
                } else if (k == "deep") {
                    l.deep = ExpectBool(item.value(), at, k);
                } else {
                    Fail(at, k, -1, "unknown key " + Quote(k) + " for a lock");
                }
            }
            if (!hasObject) Fail(at, "missing required key \"object\"");
            if (!hasAddress) Fail(at, "missing required key \"address\"");
            if (!hasSub) Fail(at, "missing required key \"subClient\"");
            snap.DeclareLock(l.object, l.address, l.subClient, l.deep);
        }
    } else if (code == JsonKeys::kNextSerial) {
        // applied with the index assignment
    }
}

void Loader::ReadObject(Scope& sc, uint32_t obj)
{
    const Obj o = sc.objs[obj];   // copy: the staging vectors do not grow here, but keep reads simple
    const KindInfo& info = InfoOf(o.kind);
    ObjRecord& rec = sc.table->records[o.slot];
    uint32_t cursor = o.firstChild;
    bool hasName = false, hasIn = false;
    const OJson* value = nullptr;
    const OJson* type = nullptr;
    const bool isConstraint = o.kind == Kind::Constraint || o.kind == Kind::ConstraintDef;
    const bool isConfig = o.kind == Kind::NorvConfig || o.kind == Kind::DefaultConfig;
    for (const auto& item : o.node->items()) {
        const std::string& key = item.key();
        const OJson& v = item.value();
        const JsonKeys::Key k = JsonKeys::Lookup(key);
        switch (k.code) {
        case JsonKeys::kId:
            rec.Extra().fileId = v.get_ref<const std::string&>();
            continue;
        case JsonKeys::kKind:
        case JsonKeys::kIndex:
            continue;
        case JsonKeys::kName:
            if (isConfig) break;
            rec.name = ExpectString(v, o.path, key);
            hasName = true;
            continue;
        case JsonKeys::kTopBlock:
            if (!isConfig) break;
            rec.name = ExpectString(v, o.path, key);
            hasName = true;
            continue;
        case JsonKeys::kIn: {
            if (OwnerMask(o.kind) == 0) break;
            sc.objs[obj].owner = ReadRef(sc, v, OwnerMask(o.kind), true, o.path, key, -1);
            hasIn = true;
            continue;
        }
        case JsonKeys::kValid:
            if (!ExpectBool(v, o.path, key)) rec.flags &= static_cast<uint8_t>(~kValid);
            continue;
        case JsonKeys::kEmptyIndex:
            if (ExpectBool(v, o.path, key)) rec.flags |= kEmptyIndex;
            continue;
        case JsonKeys::kLiteral: {
            if (info.nLists == 0) break;
            Expect(v, OJson::value_t::array, o.path, key);
            int64_t pos = 0;
            for (const OJson& e : v) {
                const std::string& name = ExpectString(e, o.path, key, pos);
                const JsonKeys::Key lk = JsonKeys::Lookup(name);
                const SlotRef* s = lk.code == JsonKeys::kField ? SlotOf(o.kind, lk.field) : nullptr;
                if (!s || !IsListCat(s->cat))
                    Fail(o.path, key, pos, Quote(name) + " is not a list key of " + KindName(o.kind));
                sc.lists[o.listBase + s->pos].literal = true;
                ++pos;
            }
            continue;
        }
        case JsonKeys::kFail:
            ReadFaults(v, o.path, key, sc.table->faults[o.index]);
            if (sc.table->faults[o.index].empty()) sc.table->faults.erase(o.index);
            continue;
        case JsonKeys::kInherits: {
            if (!info.norv) break;
            Expect(v, OJson::value_t::array, o.path, key);
            auto& inherits = rec.Extra().inherits;
            int64_t pos = 0;
            for (const OJson& e : v) inherits.push_back(ExpectString(e, o.path, key, pos++));
            continue;
        }
        case JsonKeys::kAttributes:
            if (!info.attributes && o.kind != Kind::Snapshot) break;
            ReadAttributes(sc, obj, v, key);
            continue;
        case JsonKeys::kValue:
            if (!isConstraint) break;
            value = &v;
            continue;
        case JsonKeys::kType:
            if (!isConstraint) break;
            type = &v;
            continue;
        case JsonKeys::kObjects:
            if (o.kind != Kind::Snapshot) break;
            for (const OJson& e : v) {
                (void)e;
                cursor = sc.objs[cursor].nextSibling;
            }
            continue;
        case JsonKeys::kNextSerial:
        case JsonKeys::kClients:
        case JsonKeys::kLocks:
            if (o.kind != Kind::Snapshot) break;
            ReadSnapshotKey(sc, obj, k.code, key, v);
            continue;
        case JsonKeys::kField: {
            const FieldSpec* spec = SpecOf(o.kind, k.field);
            if (!spec) break;
            const SlotRef* slot = SlotOf(o.kind, k.field);
            switch (spec->cat) {
            case Cat::Int:
            case Cat::OptInt:
                rec.slots[slot->pos] = ExpectInt(v, INT32_MIN, INT32_MAX, o.path, key);
                break;
            case Cat::Bool:
            case Cat::OptBool:
                rec.slots[slot->pos] = ExpectBool(v, o.path, key) ? 1 : 0;
                break;
            case Cat::Set: {
                Expect(v, OJson::value_t::array, o.path, key);
                uint32_t word = 0;
                int64_t pos = 0;
                for (const OJson& e : v) {
                    if (!e.is_number_integer()) Fail(o.path, key, pos, std::string("expected an integer, found ") + JsonTypeName(e));
                    const int64_t bit = e.get<int64_t>();
                    if (bit < 0 || bit > 31) Fail(o.path, key, pos, "set value " + std::to_string(bit) + " outside 0..31");
                    word |= 1u << bit;
                    ++pos;
                }
                rec.slots[slot->pos] = word;
                break;
            }
            case Cat::Text:
                rec.extra->texts[slot->pos] = ExpectString(v, o.path, key);
                break;
            case Cat::Ref:
            case Cat::OptRef:
                sc.refs[o.refBase + slot->pos] = ReadRef(sc, v, spec->targets, true, o.path, key, -1);
                break;
            case Cat::HomeRef:
                if (v.is_object()) {
                    const uint32_t child = cursor;
                    cursor = sc.objs[child].nextSibling;
                    RefVal& r = sc.refs[o.refBase + slot->pos];
                    r.state = kStaged;
                    r.target = child;
                    r.index = sc.objs[child].index;
                } else {
                    sc.refs[o.refBase + slot->pos] = ReadRef(sc, v, spec->targets, true, o.path, key, -1);
                }
                break;
            case Cat::List:
            case Cat::HomeList:
                ReadList(sc, obj, *spec, key, v, cursor);
                if (o.kind == Kind::PhysicalNet && k.field == Field::pinsConnected) rec.flags |= kListGiven;
                break;
            }
            continue;
        }
        default:
            break;
        }
        Fail(o.path, key, -1, "unknown key " + Quote(key) + " for " + KindName(o.kind));
    }
    if (!hasName && (o.kind == Kind::Snapshot || isConstraint))
        Fail(o.path, "missing required key \"name\"");
    if (!hasName && isConfig) Fail(o.path, "missing required key \"topBlock\"");
    if (o.free && !hasIn) Fail(o.path, "missing required key \"in\"");
    if (isConfig) {
        auto& tops = o.kind == Kind::NorvConfig ? sc.norvTops : sc.defaultTops;
        if (!tops.insert(rec.name).second)
            Fail(o.path, "topBlock", -1, std::string("a second ") + KindName(o.kind) + " for top block " + Quote(rec.name));
    }
    if (isConstraint) ReadConstraintValue(sc, obj, value, type);
    // An inline definition is owned by the object that holds it, unless "in" says otherwise.
    if (!hasIn && o.parent != kNone && o.placedIn != Field::Count) {
        RefVal& owner = sc.objs[obj].owner;
        owner.state = kStaged;
        owner.target = o.parent;
        owner.index = sc.objs[o.parent].index;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Completion: the missing sides of the relations, in document order.

RefVal& Loader::RefOf(Scope& sc, uint32_t obj, Field f) { return sc.refs[sc.objs[obj].refBase + SlotOf(sc.objs[obj].kind, f)->pos]; }

template <class F>
void Loader::ForEachEntry(const Scope& sc, uint32_t listIdx, F&& f) const
{
    const ListVal& l = sc.lists[listIdx];
    for (uint32_t i = 0; i < l.count; ++i) f(sc.entries[l.begin + i]);
    if (l.extra != kNone) {
        // by position and by copy: f may append to any list, which can move the extras around
        const uint32_t x = l.extra;
        for (size_t i = 0; i < sc.extras[x].size(); ++i) f(Entry(sc.extras[x][i]));
    }
}

bool Loader::Contains(Scope& sc, uint32_t listIdx, uint64_t index)
{
    const ListVal& l = sc.lists[listIdx];
    const size_t size = l.count + (l.extra == kNone ? 0 : sc.extras[l.extra].size());
    if (size <= 32) {
        for (uint32_t i = 0; i < l.count; ++i)
            if (sc.entries[l.begin + i].index == index) return true;
        if (l.extra != kNone)
            for (const Entry& e : sc.extras[l.extra])
                if (e.index == index) return true;
        return false;
    }
    auto it = sc.bigLists.find(listIdx);
    if (it == sc.bigLists.end()) {
        auto& set = sc.bigLists[listIdx];
        for (uint32_t i = 0; i < l.count; ++i) set.insert(sc.entries[l.begin + i].index);
        if (l.extra != kNone)
            for (const Entry& e : sc.extras[l.extra]) set.insert(e.index);
        return set.count(index) != 0;
    }
    return it->second.count(index) != 0;
}

void Loader::AppendExtra(Scope& sc, uint32_t listIdx, const Entry& e)
{
    ListVal& l = sc.lists[listIdx];
    if (l.extra == kNone) {
        l.extra = static_cast<uint32_t>(sc.extras.size());
        sc.extras.emplace_back();
    }
    sc.extras[l.extra].push_back(e);
    auto it = sc.bigLists.find(listIdx);
    if (it != sc.bigLists.end()) it->second.insert(e.index);
}

// Fills side (tk, tf) from side (sk, sf): a missing reference from the first object naming it, a list with
// every object naming it that it does not hold yet.
void Loader::CompleteSide(Scope& sc, Kind tk, Field tf, Kind sk, Field sf)
{
    const SlotRef* ts = SlotOf(tk, tf);
    const SlotRef* ss = SlotOf(sk, sf);
    if (!ts || !ss) return;
    const bool targetList = IsListCat(ts->cat);
    auto offer = [&](uint32_t source, uint32_t target) {
        if (target == kNone || sc.objs[target].kind != tk) return;
        if (targetList) {
            const uint32_t li = sc.objs[target].listBase + ts->pos;
            if (sc.lists[li].literal || Contains(sc, li, sc.objs[source].index)) return;
            AppendExtra(sc, li, Entry{source, sc.objs[source].index});
        } else {
            RefVal& r = sc.refs[sc.objs[target].refBase + ts->pos];
            if (r.state != kAbsent) return;
            r.state = kStaged;
            r.target = source;
            r.index = sc.objs[source].index;
        }
    };
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        if (sc.objs[i].kind != sk) continue;
        if (IsListCat(ss->cat)) {
            ForEachEntry(sc, sc.objs[i].listBase + ss->pos, [&](const Entry& e) { offer(i, e.target); });
        } else {
            const RefVal& r = sc.refs[sc.objs[i].refBase + ss->pos];
            if (r.state == kStaged) offer(i, r.target);
        }
    }
}

void Loader::Complete(Scope& sc)
{
    // Objects whose owner is not the object they are written in join the owner's home list (or reference).
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        const Obj& o = sc.objs[i];
        if (o.owner.state != kStaged) continue;
        const uint32_t owner = o.owner.target;
        const Field home = HomeField(sc.objs[owner].kind, o.kind);
        if (home == Field::Count || (o.parent == owner && o.placedIn == home)) continue;
        const SlotRef* hs = SlotOf(sc.objs[owner].kind, home);
        if (IsListCat(hs->cat)) {
            const uint32_t li = sc.objs[owner].listBase + hs->pos;
            if (!sc.lists[li].literal && !Contains(sc, li, o.index)) AppendExtra(sc, li, Entry{i, o.index});
        } else {
            RefVal& r = sc.refs[sc.objs[owner].refBase + hs->pos];
            if (r.state == kAbsent) r = RefVal{kStaged, i, o.index};
        }
    }
    // A pin's component or net defaults to its owner; its design pin is one of its flat pins.
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        const Obj& o = sc.objs[i];
        if (o.kind != Kind::NorvPin) continue;
        if (o.owner.state == kStaged) {
            const Kind ok = sc.objs[o.owner.target].kind;
            const Field f = ok == Kind::NorvComp ? Field::parentNorvComp : ok == Kind::PhysicalNet ? Field::parentPhysicalNet : Field::Count;
            if (f != Field::Count) {
                RefVal& r = RefOf(sc, i, f);
                if (r.state == kAbsent) r = o.owner;
            }
        }
        const RefVal& dp = RefOf(sc, i, Field::designPin);
        if (dp.state == kStaged) {
            const uint32_t li = o.listBase + SlotOf(Kind::NorvPin, Field::flatPins)->pos;
            if (!sc.lists[li].literal && !Contains(sc, li, dp.index)) AppendExtra(sc, li, Entry{dp.target, dp.index});
        }
    }
    for (const RelationSpec& rel : Relations()) {
        CompleteSide(sc, rel.kindB, rel.fieldB, rel.kindA, rel.fieldA);
        if (rel.completion == Completion::Both) CompleteSide(sc, rel.kindA, rel.fieldA, rel.kindB, rel.fieldB);
    }
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        if (sc.objs[i].kind != Kind::NorvPin) continue;
        RefVal& dp = RefOf(sc, i, Field::designPin);
        if (dp.state != kAbsent) continue;
        bool first = true;
        ForEachEntry(sc, sc.objs[i].listBase + SlotOf(Kind::NorvPin, Field::flatPins)->pos, [&](const Entry& e) {
            if (!first) return;
            first = false;
            dp = RefVal{e.target == kNone ? kRaw : kStaged, e.target, e.index};
        });
    }
}

// ---------------------------------------------------------------------------------------------------------
// Writing references and lists to the records

void Loader::Commit(Scope& sc)
{
    SnapshotData& t = *sc.table;
    auto addBack = [&](uint64_t target, uint64_t key) {
        const int64_t ts = t.SlotOfIndex(target);
        if (ts < 0) return;
        auto& back = t.records[static_cast<size_t>(ts)].back;
        if (std::find(back.begin(), back.end(), key) == back.end()) back.push_back(key);
    };
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        const Obj& o = sc.objs[i];
        ObjRecord& rec = t.records[o.slot];
        const KindInfo& info = InfoOf(o.kind);
        if (o.owner.state == kStaged || o.owner.state == kRaw) {
            rec.owner = o.owner.index;
            t.ReserveSerial(o.owner.index);
            // one owner entry per child: appended without a search
            const int64_t os = t.SlotOfIndex(o.owner.index);
            if (os >= 0) t.records[static_cast<size_t>(os)].back.push_back((static_cast<uint64_t>(o.slot) << 8) | static_cast<uint64_t>(Field::in));
        }
        for (const FieldSpec* spec : info.fields) {
            const SlotRef* s = SlotOf(o.kind, spec->field);
            if (IsRefCat(spec->cat)) {
                const RefVal& r = sc.refs[o.refBase + s->pos];
                if (r.state == kStaged || r.state == kRaw) {
                    rec.slots[s->pos] = static_cast<int64_t>(r.index);
                    t.ReserveSerial(r.index);
                } else if (r.state == kNull) {
                    rec.slots[s->pos] = 0;
                }
            } else if (IsListCat(spec->cat)) {
                const uint32_t li = o.listBase + s->pos;
                const ListVal& l = sc.lists[li];
                const size_t n = l.count + (l.extra == kNone ? 0 : sc.extras[l.extra].size());
                if (n == 0) continue;
                std::vector<uint64_t>& out = rec.lists[s->pos];
                out.reserve(n);
                const uint64_t key = (static_cast<uint64_t>(o.slot) << 8) | static_cast<uint64_t>(spec->field);
                ForEachEntry(sc, li, [&](const Entry& e) {
                    out.push_back(e.index);
                    if (e.target == kNone)
                        t.ReserveSerial(e.index);
                    else
                        addBack(e.index, key);
                });
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Scopes

std::shared_ptr<SnapshotData> Loader::LoadSnapshot(const OJson& node, uint32_t path, bool registered)
{
    Scope sc;
    auto holder = std::make_shared<SnapshotData>();
    holder->session = &m_s;
    sc.table = holder.get();
    const uint32_t root = Stage(sc, node, 1ull << static_cast<unsigned>(Kind::Snapshot), "snapshots", kNone,
                                Field::Count, path, false);
    (void)root;
    const Obj& so = sc.objs[0];
    uint64_t fileNext = 0;
    std::string name;
    bool hasName = false;
    for (const auto& item : so.node->items()) {
        if (item.key() == "nextSerial")
            fileNext = static_cast<uint64_t>(ExpectInt(item.value(), 0, static_cast<int64_t>(kSerialMask), so.path, item.key()));
        if (item.key() == "name") {
            name = ExpectString(item.value(), so.path, item.key());
            hasName = true;
        }
    }
    if (!hasName) Fail(so.path, "missing required key \"name\"");
    if (registered && !m_snapshotNames.insert(name).second) Fail(so.path, "name", -1, "duplicate snapshot name " + Quote(name));
    AssignIndexes(sc, fileNext);
    sc.table->self = sc.objs[0].slot;
    // Per-object staging of references and lists.
    uint32_t refs = 0, lists = 0;
    for (Obj& o : sc.objs) {
        const KindInfo& info = InfoOf(o.kind);
        o.refBase = refs;
        o.listBase = lists;
        refs += info.nSlots;
        lists += info.nLists;
    }
    sc.refs.resize(refs);
    sc.lists.resize(lists);
    sc.entries.reserve(sc.objs.size() * 2);
    for (uint32_t i = 0; i < sc.objs.size(); ++i) ReadObject(sc, i);
    if (m_complete) Complete(sc);
    Commit(sc);
    if (registered) m_s.snapshots.push_back(holder);
    return holder;
}

void Loader::LoadSession(const OJson* session)
{
    Scope sc;
    sc.table = m_s.defs.get();
    uint64_t fileNext = 0;
    const OJson* definitions = nullptr;
    const uint32_t path = m_paths.Add(0, "session");
    if (session) {
        Expect(*session, OJson::value_t::object, 0, "session");
        for (const auto& item : session->items()) {
            const std::string& k = item.key();
            const OJson& v = item.value();
            if (k == "address") {
                m_s.identity.address = ExpectString(v, path, k);
            } else if (k == "subClient") {
                m_s.identity.subClient = ExpectString(v, path, k);
            } else if (k == "nextSerial") {
                fileNext = static_cast<uint64_t>(ExpectInt(v, 0, static_cast<int64_t>(kSerialMask), path, k));
            } else if (k == "definitions") {
                Expect(v, OJson::value_t::array, path, k);
                definitions = &v;
            } else if (k == "fail") {
                ReadFaults(v, path, k, m_s.sessionFaults);
            } else if (k == "failNext") {
                Expect(v, OJson::value_t::object, path, k);
                const uint32_t at = m_paths.Add(path, k);
                for (const auto& f : v.items()) {
                    const int n = static_cast<int>(ExpectInt(f.value(), 0, INT32_MAX, at, f.key()));
                    if (OpKeyFromName(f.key()) < 0) Fail(at, f.key(), -1, "unknown operation " + Quote(f.key()));
                    m_s.SetFailNext(f.key(), n);
                }
            } else if (k == "countdown") {
                m_s.countdown = static_cast<uint64_t>(ExpectInt(v, 0, INT64_MAX, path, k));
            } else {
                Fail(path, k, -1, "unknown key " + Quote(k) + " for the session");
            }
        }
    }
    if (definitions) {
        const uint32_t listNode = m_paths.Add(path, "definitions");
        int64_t pos = 0;
        for (const OJson& e : *definitions) {
            Stage(sc, e, 1ull << static_cast<unsigned>(Kind::ConstraintDef), "definitions", kNone, Field::Count,
                  m_paths.Add(listNode, {}, pos), false);
            ++pos;
        }
    }
    // Backups' GIndex values share the session counter: their explicit serials are reserved first.
    std::vector<std::pair<uint64_t, uint32_t>> taken;
    for (uint32_t i = 0; i < sc.objs.size(); ++i)
        if (sc.objs[i].hasIndex) taken.emplace_back(sc.objs[i].index & kSerialMask, sc.objs[i].path);
    for (const auto& g : m_sessionExplicit) {
        for (const auto& t : taken)
            if (t.first == (g.first & kSerialMask))
                Fail(g.second, "gindex", -1, "gindex " + Quote(IndexText(g.first)) + " reuses a session serial");
    }
    AssignIndexes(sc, fileNext);
    for (const auto& g : m_sessionExplicit) m_s.defs->nextSerial = std::max(m_s.defs->nextSerial, (g.first & kSerialMask) + 1);
    uint32_t refs = 0, lists = 0;
    for (Obj& o : sc.objs) {
        const KindInfo& info = InfoOf(o.kind);
        o.refBase = refs;
        o.listBase = lists;
        refs += info.nSlots;
        lists += info.nLists;
    }
    sc.refs.resize(refs);
    sc.lists.resize(lists);
    // Definitions are read in order, so that a definition of type 0 sees the earlier ones.
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        ReadObject(sc, i);
        m_s.definitions.push_back(sc.objs[i].index);
    }
    Commit(sc);
}

void Loader::LoadBackups(const OJson& v, uint32_t rootNode)
{
    Expect(v, OJson::value_t::array, rootNode, "backups");
    const uint32_t listNode = m_paths.Add(rootNode, "backups");
    int64_t pos = 0;
    for (const OJson& e : v) {
        const uint32_t at = m_paths.Add(listNode, {}, pos++);
        Expect(e, OJson::value_t::object, at, {});
        StandIn::Backup b;
        bool hasGIndex = false;
        for (const auto& item : e.items()) {
            const std::string& k = item.key();
            const OJson& val = item.value();
            if (k == "gindex") {
                const std::string& text = ExpectString(val, at, k);
                uint64_t g = 0;
                if (!JsonFile::ParseIndexText(text, g) || (g & kSerialMask) == 0 || TypeOf(g) != OT_Backup)
                    Fail(at, k, -1, "malformed gindex " + Quote(text));
                b.gindex = GIndex(g);
                hasGIndex = true;
            } else if (k == "type") {
                b.type = static_cast<int32_t>(ExpectInt(val, INT32_MIN, INT32_MAX, at, k));
            } else if (k == "text1") {
                b.text1 = ExpectString(val, at, k);
            } else if (k == "text2") {
                b.text2 = ExpectString(val, at, k);
            } else if (k == "snapshots") {
                Expect(val, OJson::value_t::array, at, k);
                const uint32_t snapList = m_paths.Add(at, k);
                int64_t sp = 0;
                for (const OJson& s : val) {
                    // each backup snapshot is an id scope of its own
                    std::unordered_set<std::string_view> saved;
                    saved.swap(m_sessionIds);
                    b.snapshots.push_back(LoadSnapshot(s, m_paths.Add(snapList, {}, sp++), false));
                    saved.swap(m_sessionIds);
                }
            } else {
                Fail(at, k, -1, "unknown key " + Quote(k) + " for a backup");
            }
        }
        if (!hasGIndex) {
            b.gindex = GIndex(MakeIndex(OT_Backup, m_s.defs->nextSerial++));
        }
        for (const StandIn::Backup& other : m_s.backups)
            if (other.gindex == b.gindex) Fail(at, "gindex", -1, "duplicate gindex " + Quote(IndexText(b.gindex.GetValue())));
        m_s.backups.push_back(std::move(b));
    }
}

void Loader::Load(const OJson& doc)
{
    if (!doc.is_object()) Fail(0, std::string("expected an object, found ") + JsonTypeName(doc));
    const OJson* session = nullptr;
    const OJson* snapshots = nullptr;
    const OJson* backups = nullptr;
    bool hasFormat = false, hasVersion = false;
    for (const auto& item : doc.items()) {
        const std::string& k = item.key();
        const OJson& v = item.value();
        if (k == "format") {
            if (!v.is_string() || v.get_ref<const std::string&>() != "kravik-design")
                Fail(0, k, -1, "format must be \"kravik-design\"");
            hasFormat = true;
        } else if (k == "version") {
            if (!v.is_number_integer() || v.get<int64_t>() != 1) Fail(0, k, -1, "unsupported version " + v.dump());
            hasVersion = true;
        } else if (k == "complete") {
            m_complete = ExpectBool(v, 0, k);
        } else if (k == "session") {
            session = &v;
        } else if (k == "snapshots") {
            snapshots = &Expect(v, OJson::value_t::array, 0, k);
        } else if (k == "backups") {
            backups = &Expect(v, OJson::value_t::array, 0, k);
        } else {
            Fail(0, k, -1, "unknown key " + Quote(k) + " at the top level");
        }
    }
    if (!hasFormat) Fail(0, "missing required key \"format\"");
    if (!hasVersion) Fail(0, "missing required key \"version\"");
    if (!snapshots) Fail(0, "missing required key \"snapshots\"");
    // GIndex values given in the file are known before the session counter is assigned.
    if (backups) {
        int64_t pos = 0;
        for (const OJson& e : *backups) {
            if (e.is_object()) {
                auto it = e.find("gindex");
                uint64_t g = 0;
                if (it != e.end() && it->is_string() && JsonFile::ParseIndexText(it->get_ref<const std::string&>(), g))
                    m_sessionExplicit.emplace_back(g, m_paths.Add(m_paths.Add(0, "backups"), {}, pos));
            }
            ++pos;
        }
    }
    LoadSession(session);
    const uint32_t listNode = m_paths.Add(0, "snapshots");
    int64_t pos = 0;
    for (const OJson& s : *snapshots) {
        LoadSnapshot(s, m_paths.Add(listNode, {}, pos), true);
        ++pos;
    }
    if (backups) LoadBackups(*backups, 0);
    m_s.modified = false;
}

std::string ParseErrorText(const std::exception& e)
{
    std::string what = e.what();
    // drop the library's "[json.exception.parse_error.101] " prefix
    if (!what.empty() && what[0] == '[') {
        const size_t close = what.find("] ");
        if (close != std::string::npos) what = what.substr(close + 2);
    }
    return "invalid JSON: " + what;
}

}  // namespace

}  // namespace detail

namespace StandIn {

std::unique_ptr<LumoPI> LoadSession(const std::string& path, LoadError* err)
{
    using namespace detail;
    auto fail = [&](std::string where, std::string message) -> std::unique_ptr<LumoPI> {
        if (err) {
            err->path = std::move(where);
            err->message = std::move(message);
        }
        return nullptr;
    };
    std::string text, error;
    if (!JsonFile::ReadWholeFile(path, text, error)) return fail("", error);
    OJson doc;
    try {
        doc = OJson::parse(text);
    } catch (const OJson::parse_error& e) {
        return fail("", ParseErrorText(e));
    }
    text.clear();
    text.shrink_to_fit();
    std::unique_ptr<LumoPI> session = NewSession();
    try {
        Loader(*Access::DataOf(*session)).Load(doc);
    } catch (const LoadFailure& f) {
        return fail(f.path, f.message);
    } catch (const std::exception& e) {
        return fail("", std::string("cannot load: ") + e.what());
    }
    if (err) *err = LoadError{};
    return session;
}

}  // namespace StandIn
}  // namespace Lumo
