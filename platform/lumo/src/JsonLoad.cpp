// The design-file loader. A file is read in passes per id scope (the session level, each snapshot, each
// backup snapshot): the objects are staged in document pre-order with their ids and explicit indexes, then
// indexes are assigned and records created, then every key is read (references resolved through the scope's
// id map), then the missing sides of the relations are completed, and finally references and lists are
// written to the records. The first error stops the load and carries the JSON Pointer of the offending value.
#include "IdMap.h"
#include "JsonFile.h"
#include "JsonKeys.h"
#include "JsonTree.h"
#include "PathTable.h"
#include "Store.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace Lumo {
namespace detail {

namespace {

using JsonFile::JType;
using JsonFile::JVal;
constexpr uint32_t kNone = UINT32_MAX;
constexpr size_t kMaxIdLength = 65535;
constexpr size_t kGroupOffersFrom = 4096;   // CompleteSide may group as many offers as this or more by target

struct LoadFailure {
    std::string path;
    std::string message;
};

std::string Quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

// A stable counting sort: the items' values grouped by key (below `groups`), each group's in the items' order,
// into `out` (not `items`); group k stands at start[k] .. start[k + 1] of it.
template <class Value, class Item, class KeyOf, class ValueOf>
void GroupStably(const std::vector<Item>& items, size_t groups, KeyOf keyOf, ValueOf valueOf, std::vector<uint32_t>& start,
                 std::vector<Value>& out)
{
    start.assign(groups + 1, 0);
    for (const Item& item : items) ++start[keyOf(item) + 1];
    for (size_t k = 0; k < groups; ++k) start[k + 1] += start[k];
    out.resize(items.size());
    // start[k] serves as group k's cursor, which ends where group k + 1 starts: moved back by one group after
    for (const Item& item : items) out[start[keyOf(item)]++] = valueOf(item);
    for (size_t k = groups; k > 0; --k) start[k] = start[k - 1];
    start[0] = 0;
}
template <class Value, class Item, class KeyOf, class ValueOf>
std::vector<Value> GroupStably(const std::vector<Item>& items, size_t groups, KeyOf keyOf, ValueOf valueOf,
                               std::vector<uint32_t>& start)
{
    std::vector<Value> out;
    GroupStably(items, groups, keyOf, valueOf, start, out);
    return out;
}

// Gives a vector's memory back (clear() keeps it).
template <class T>
void FreeVector(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

const char* JsonTypeName(JVal v)
{
    switch (v.type()) {
    case JType::Null: return "null";
    case JType::Bool: return "a boolean";
    case JType::Int:
    case JType::Unsigned: return "an integer";
    case JType::Float: return "a number";
    case JType::String: return "a string";
    case JType::Array: return "an array";
    case JType::Object: return "an object";
    default: return "another value";
    }
}

// The first member of a JSON object whose key an earlier member has, or an invalid value. Objects read
// member by member with a check of their own (the staged objects) do not need it.
JVal RepeatedKey(JVal object)
{
    constexpr size_t kFew = 16;
    if (object.size() <= kFew) {
        uint32_t seen[kFew];
        size_t n = 0;
        for (JVal m : object) {
            const uint32_t k = m.key_id();
            if (std::find(seen, seen + n, k) != seen + n) return m;
            seen[n++] = k;
        }
        return JVal();
    }
    std::unordered_set<uint32_t> seen;
    for (JVal m : object)
        if (!seen.insert(m.key_id()).second) return m;
    return JVal();
}

// A reference as staged, in four bytes, as millions of them are held at once: a staged object (its number),
// a raw index (its position in Scope::rawIndexes) or, for a key's reference, absent or null. A list's entries
// are staged objects and raw indexes only (a raw index of 0 included).
class StagedRef {
public:
    static constexpr uint32_t kMaxObjects = uint32_t{1} << 31;   // staged objects and raw indexes each
    StagedRef() = default;
    static StagedRef Object(uint32_t obj) { return StagedRef(obj); }
    static StagedRef Raw(uint32_t pos) { return StagedRef(kRawBit | pos); }
    static StagedRef Null() { return StagedRef(kNullValue); }

    bool absent() const { return m_v == kAbsentValue; }
    bool null() const { return m_v == kNullValue; }
    bool object() const { return m_v < kRawBit; }
    bool raw() const { return m_v >= kRawBit && m_v < kNullValue; }
    bool given() const { return object() || raw(); }   // names an index, 0 included
    uint32_t obj() const { return m_v; }
    uint32_t rawPos() const { return m_v & ~kRawBit; }
    bool operator==(StagedRef o) const { return m_v == o.m_v; }

private:
    static constexpr uint32_t kRawBit = kMaxObjects, kAbsentValue = UINT32_MAX, kNullValue = UINT32_MAX - 1;
    explicit StagedRef(uint32_t v) : m_v(v) {}
    uint32_t m_v = kAbsentValue;
};
static_assert(sizeof(StagedRef) == 4, "four bytes a reference");
static_assert(StagedRef::kMaxObjects <= PathTable::kMaxObjects, "every staged object has a position");

// An entry that completion appends to a list: all of them stand in one array (Scope::extras), each list's
// chained in the order they were appended, so that millions of short lists allocate nothing of their own.
struct ExtraEntry {
    StagedRef ref;
    uint32_t next;   // the list's next appended entry, kNone after its last
    uint32_t list;   // the list it was appended to
};

// A list key of an object: its entries read from the file (Scope::entries), then those completion appends.
struct ListVal {
    static constexpr uint32_t kMaxCount = (uint32_t{1} << 30) - 1;
    uint32_t begin = 0;
    uint32_t count : 30;
    uint32_t literal : 1;
    uint32_t big : 1;   // its membership is kept in Scope::bigLists
    uint32_t extraHead = kNone;   // completion appends, chained in Scope::extras
    ListVal() : count(0), literal(0), big(0) {}
};
static_assert(sizeof(ListVal) == 12, "twelve bytes a list");

// One per object of a large design, written while staging and dropped once its keys are read (what completion
// and commit need is kept apart, see Loader::Settle): its members are ordered to leave no padding.
struct Obj {
    uint32_t node = 0;              // its value in the tree
    uint32_t at = 0;                // with no parent its path, else its element number under its key (or kNone)
    uint32_t parent = kNone;        // enclosing object (placement)
    uint32_t nextSibling = kNone;   // its first child is the object staged after it (pre-order)
    uint32_t refBase = 0;
    uint32_t listBase = 0;
    StagedRef owner;
    Field placedIn = Field::Count;  // key of the enclosing object that holds it
    Kind kind = Kind::None;
    bool free = false;              // in the snapshot's objects
    bool hasIndex = false;
};
static_assert(sizeof(Obj) == 32, "no padding between the members");

// Where a reference read from the file goes: a staged reference, a list entry or an object's owner.
enum RefSite : uint8_t { kSiteRef, kSiteEntry, kSiteOwner };
struct RefDest {
    RefSite site;
    uint32_t at;    // position in Scope::refs, Scope::entries or Scope::objs
    uint32_t obj;   // the object whose key holds it
    Field field;    // that key
};

// A reference by id whose lookup waits for many others (see Loader::ResolveDeferred).
struct DeferredRef {
    IdMap::Probe probe;
    uint32_t node;   // the id's value in the tree
    uint32_t at;
    uint32_t obj;
    RefSite site;
    Field field;
};
// Its lookup, sorted by slot apart from the rest of it.
struct DeferredLookup {
    IdMap::Probe probe;
    uint32_t node;
    uint32_t pos;   // in Scope::deferred
};

// One id scope with everything staged for it.
struct Scope {
    SnapshotData* table = nullptr;
    std::vector<Obj> objs;                      // while the objects are staged and read
    std::vector<uint64_t> indexes;              // by object: its index, from staging on
    std::vector<uint64_t> rawIndexes;           // of the raw references (StagedRef::Raw)
    IdMap ids;
    std::vector<IdMap::Pending> pendingIds;     // ids met while staging, in document order
    bool deferIds = false;                      // references by id are looked up in batches
    std::vector<DeferredRef> deferred;          // waiting for their lookup, in reading order
    // Each object's references and lists, from its base on (Obj::refBase, Obj::listBase): they grow as the
    // objects are read, so that their memory is taken while the tree's is given back.
    std::vector<StagedRef> refs;
    std::vector<ListVal> lists;
    std::vector<StagedRef> entries;
    std::vector<ExtraEntry> extras;
    std::vector<uint32_t> extraTails;   // by list: its last appended entry (while completing)
    std::unordered_map<uint32_t, std::unordered_set<uint64_t>> bigLists;   // membership of long lists
    std::unordered_set<std::string> norvTops, defaultTops;
    // What completion and commit need of each object, dense (objs is dropped once the objects are read).
    std::vector<Kind> kinds;
    std::vector<uint32_t> refBases, listBases, parents;
    std::vector<StagedRef> owners;
    std::vector<Field> placedIn;
    std::vector<uint32_t> byKind[kKindCount];   // the objects of each kind, in document order

    uint64_t IndexOf(StagedRef r) const
    {
        return r.object() ? indexes[r.obj()] : r.raw() ? rawIndexes[r.rawPos()] : 0;
    }
    StagedRef AddRaw(uint64_t index)
    {
        if (rawIndexes.size() >= StagedRef::kMaxObjects) throw std::length_error("too many raw indexes");
        rawIndexes.push_back(index);
        return StagedRef::Raw(static_cast<uint32_t>(rawIndexes.size() - 1));
    }
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

// The references and lists of each kind with their positions in a record, read once from the kind table.
struct FieldSlot {
    Field field;
    Cat cat;
    uint8_t pos;
};
struct KindLayout {
    std::vector<FieldSlot> refs;
    std::vector<FieldSlot> lists;
    std::vector<uint8_t> refAt;   // by slot position: the reference's number among the kind's references
};

const KindLayout& LayoutOf(Kind kind)
{
    static const std::vector<KindLayout> layouts = [] {
        std::vector<KindLayout> v(kKindCount);
        for (size_t k = 0; k < kKindCount; ++k) {
            for (const FieldSpec* spec : InfoOf(static_cast<Kind>(k)).fields) {
                const SlotRef* s = SlotOf(static_cast<Kind>(k), spec->field);
                if (IsRefCat(spec->cat)) {
                    if (v[k].refAt.size() <= s->pos) v[k].refAt.resize(s->pos + 1u, UINT8_MAX);
                    v[k].refAt[s->pos] = static_cast<uint8_t>(v[k].refs.size());
                    v[k].refs.push_back(FieldSlot{spec->field, spec->cat, s->pos});
                }
                if (IsListCat(spec->cat)) v[k].lists.push_back(FieldSlot{spec->field, spec->cat, s->pos});
            }
        }
        return v;
    }();
    return layouts[static_cast<size_t>(kind)];
}

// Where a reference of the kind (by its slot position) stands among the object's staged references: only
// references are staged, not the kind's other scalars.
uint32_t RefPos(Kind kind, uint8_t slotPos) { return LayoutOf(kind).refAt[slotPos]; }

class Loader {
public:
    // objects: how many objects the file holds, ids: how many of them have an "id", to size the tables of a
    // file with one snapshot. The tree's values are released once the last snapshot is read (see Load).
    Loader(SessionData& s, JsonFile::JsonTree& tree, size_t objects, size_t ids)
        : m_s(s), m_tree(tree), m_objects(objects), m_ids(ids)
    {
    }

    void Load(JVal doc);
    // Hears (objects read, objects of the snapshot) while each snapshot's objects are read.
    void SetProgress(std::function<void(uint64_t, uint64_t)> progress) { m_progress = std::move(progress); }
    // Closed once the first snapshot's records are made: they and their field blocks are what it is for.
    void SetPrefault(HugePagePrefault* prefault) { m_prefault = prefault; }

private:
    [[noreturn]] void Fail(uint32_t node, std::string_view key, int64_t pos, std::string message) const
    {
        throw LoadFailure{Path(node, key, pos), std::move(message)};
    }
    [[noreturn]] void Fail(uint32_t node, std::string message) const { Fail(node, {}, -1, std::move(message)); }
    // Refuses a JSON object (at `node`) that holds a key twice, naming the second.
    void RejectRepeatedKeys(JVal object, uint32_t node) const
    {
        const JVal m = RepeatedKey(object);
        if (m.valid()) Fail(node, m.key(), -1, "duplicate key " + Quote(m.key()));
    }
    // The JSON Pointer of a position (a staged object's among them: see PathOf).
    std::string Path(uint32_t node, std::string_view key = {}, int64_t pos = -1) const
    {
        return m_paths.Build(node, key, pos, [&](uint32_t obj) {
            const Obj& o = m_scope->objs[obj];
            return m_paths.Add(PathOf(*m_scope, o.parent), o.free ? "objects" : FieldName(o.placedIn),
                               o.at == kNone ? -1 : static_cast<int64_t>(o.at));
        });
    }
    // The position of a staged object of the scope being loaded, for Fail.
    static uint32_t PathOf(const Scope& sc, uint32_t obj)
    {
        const Obj& o = sc.objs[obj];
        return o.parent == kNone ? o.at : PathTable::ObjectRef(obj);
    }

    JVal Expect(JVal v, JType type, uint32_t node, std::string_view key, int64_t pos = -1) const;
    int64_t ExpectInt(JVal v, int64_t lo, int64_t hi, uint32_t node, std::string_view key, int64_t pos = -1) const;
    std::string_view ExpectString(JVal v, uint32_t node, std::string_view key, int64_t pos = -1) const
    {
        return Expect(v, JType::String, node, key, pos).str();
    }
    bool ExpectBool(JVal v, uint32_t node, std::string_view key) const
    {
        return Expect(v, JType::Bool, node, key).boolean();
    }

    // Staging.
    uint32_t Stage(Scope& sc, JVal node, uint64_t allowed, std::string_view via, uint32_t parent,
                   Field placedIn, uint32_t at, bool free);
    void StageChildren(Scope& sc, uint32_t obj);
    // Runs `stage` and files the ids it met: in one batch, whose lookups overlap. A duplicate id is reported
    // where it stands, also when staging stopped at an error after it.
    template <class F>
    void StageWithIds(Scope& sc, F&& stage);
    void FileIds(Scope& sc);
    void AssignIndexes(Scope& sc, uint64_t fileNextSerial);

    // Reading keys.
    void ReadObject(Scope& sc, uint32_t obj);
    // A reference's value. With `dest` given and the scope's lookups deferred, an id is only queued: the
    // result stands for it until ResolveDeferred writes the target to `dest`.
    StagedRef ReadRef(Scope& sc, JVal v, uint64_t targets, bool allowNull, uint32_t node, std::string_view key,
                      int64_t pos, const RefDest* dest = nullptr) const;
    // Looks up the queued references, in the order of their slots in the id table rather than one by one at
    // random, and writes their targets. A reference that fails is reported as ReadRef would have reported
    // it: the first one in reading order, which precedes every error met after it was queued.
    void ResolveDeferred(Scope& sc);
    [[noreturn]] void FailDeferred(const Scope& sc, const DeferredRef& d, const IdMap::Hit& hit) const;
    // Whether the look-up of an id found an object of one of the kinds in `targets`; when it did not, FailLookup
    // reports why.
    static bool Accepts(const IdMap::Hit& hit, uint64_t targets)
    {
        return hit.Found() && ((targets >> static_cast<unsigned>(hit.kind)) & 1u);
    }
    [[noreturn]] void FailLookup(const IdMap::Hit& hit, std::string_view text, uint32_t node, std::string_view key,
                                 int64_t pos) const;
    // ResolveDeferred's, kept from batch to batch: the store's own allocations of the same time stay together.
    std::vector<DeferredLookup> m_lookups;
    std::vector<IdMap::Hit> m_hits;
    std::vector<uint32_t> m_regionStart;
    void ReadList(Scope& sc, uint32_t obj, const FieldSpec& spec, std::string_view key, JVal v,
                  uint32_t& cursor);
    void ReadFaults(JVal v, uint32_t node, std::string_view key, std::vector<FaultEntry>& out) const;
    void ReadAttributes(Scope& sc, uint32_t obj, JVal v, std::string_view key);
    void ReadConstraintValue(Scope& sc, uint32_t obj, JVal value, JVal type);
    void ReadSnapshotKey(Scope& sc, uint32_t obj, int code, std::string_view key, JVal v);

    // Places each object's references and lists in the staging arrays.
    void LayOut(Scope& sc);
    // Makes room for the references and lists of the objects up to `obj` (read in order).
    void GrowRefsAndLists(Scope& sc, uint32_t obj);
    // Once every object is read: what completion and commit need of each object is copied into dense arrays
    // (Scope::kinds...), which completion reaches at random, and the staged objects are dropped.
    void Settle(Scope& sc);

    // Completion and commit.
    void Complete(Scope& sc);
    // Whether the list holds an entry of the same index as `e`.
    bool Contains(Scope& sc, uint32_t listIdx, StagedRef e);
    void AppendExtra(Scope& sc, uint32_t listIdx, StagedRef e);
    template <class F>
    void ForEachEntry(const Scope& sc, uint32_t listIdx, F&& f) const;
    StagedRef& RefOf(Scope& sc, uint32_t obj, Field f);
    void CompleteSide(Scope& sc, Kind tk, Field tf, Kind sk, Field sf);
    // Writes references and lists to the records, and then the back entries; frees the scope's staging.
    void Commit(Scope& sc);

    // Scopes.
    void LoadSession(JVal session);
    std::shared_ptr<SnapshotData> LoadSnapshot(JVal node, uint32_t path, bool registered);
    void LoadBackups(JVal v, uint32_t rootNode);

    // The meaning of a key, looked up once per distinct key of the file.
    JsonKeys::Key KeyOf(JVal member)
    {
        const uint32_t id = member.key_id();
        if (id >= m_keyCache.size()) m_keyCache.resize(id + 1, Cached{false, {}});
        Cached& c = m_keyCache[id];
        if (!c.known) c = Cached{true, JsonKeys::Lookup(member.key())};
        return c.key;
    }
    struct Cached {
        bool known;
        JsonKeys::Key key;
    };
    std::vector<Cached> m_keyCache;
    std::vector<uint32_t> m_seenKeys;   // keys of the object being read
    std::vector<std::pair<uint32_t, uint32_t>> m_offers;   // CompleteSide's (source, target) pairs, reused
    // How many offers name a target that an earlier offer, but not the one just before, names too; m_seen is
    // left marking the targets (a bit per staged object).
    size_t ScatteredRepeats(size_t objects);
    std::vector<uint64_t> m_seen;
    static constexpr int kMaxDepth = 1000;
    int m_depth = 0;

    SessionData& m_s;
    JsonFile::JsonTree& m_tree;
    bool m_lastRead = false;   // the snapshot being loaded is the file's last use of the tree
    size_t m_objects;
    size_t m_ids;
    std::function<void(uint64_t, uint64_t)> m_progress;
    HugePagePrefault* m_prefault = nullptr;
    mutable PathTable m_paths;   // Path adds the positions of the objects an error names
    const Scope* m_scope = nullptr;   // the scope being loaded
    bool m_complete = true;
    std::unordered_set<std::string> m_snapshotNames;
    std::unordered_set<std::string_view> m_sessionIds;
    std::vector<std::pair<uint64_t, uint32_t>> m_sessionExplicit;   // explicit session-counter indexes and their path
};

// ---------------------------------------------------------------------------------------------------------
// Primitive reads

JVal Loader::Expect(JVal v, JType type, uint32_t node, std::string_view key, int64_t pos) const
{
    if (v.type() == type) return v;
    const char* want = "a value";
    switch (type) {
    case JType::String: want = "a string"; break;
    case JType::Bool: want = "a boolean"; break;
    case JType::Array: want = "an array"; break;
    case JType::Object: want = "an object"; break;
    default: break;
    }
    Fail(node, key, pos, std::string("expected ") + want + ", found " + JsonTypeName(v));
}

int64_t Loader::ExpectInt(JVal v, int64_t lo, int64_t hi, uint32_t node, std::string_view key, int64_t pos) const
{
    if (v.is_number_unsigned()) {
        const uint64_t u = v.u64();
        if (u > static_cast<uint64_t>(hi)) Fail(node, key, pos, "integer out of range: " + std::to_string(u));
        return static_cast<int64_t>(u);
    }
    if (!v.is_number_integer()) Fail(node, key, pos, std::string("expected an integer, found ") + JsonTypeName(v));
    const int64_t i = v.i64();
    if (i < lo || i > hi) Fail(node, key, pos, "integer out of range: " + std::to_string(i));
    return i;
}

// ---------------------------------------------------------------------------------------------------------
// Staging: the objects of a scope in document pre-order, with their ids and explicit indexes.

uint32_t Loader::Stage(Scope& sc, JVal node, uint64_t allowed, std::string_view via, uint32_t parent,
                       Field placedIn, uint32_t at, bool free)
{
    const uint32_t id = static_cast<uint32_t>(sc.objs.size());
    if (id >= StagedRef::kMaxObjects)
        Fail(parent == kNone ? at : PathOf(sc, parent), "more than " + std::to_string(StagedRef::kMaxObjects) + " objects");
    // staged before it is looked at, so that its errors name its position
    sc.objs.emplace_back();
    sc.indexes.push_back(0);
    {
        Obj& o = sc.objs.back();
        o.node = node.id();
        o.at = at;
        o.parent = parent;
        o.placedIn = placedIn;
        o.free = free;
    }
    const uint32_t path = PathOf(sc, id);
    if (!node.is_object()) Fail(path, std::string("expected an object, found ") + JsonTypeName(node));
    Kind kind = SingleKind(allowed);
    JVal kindIt;
    for (JVal m : node) {
        if (KeyOf(m).code == JsonKeys::kKind) {
            kindIt = m;
            break;
        }
    }
    if (kindIt.valid()) {
        const std::string_view name = ExpectString(kindIt, path, "kind");
        Kind given = Kind::None;
        if (!JsonKeys::KindByName(name, given)) Fail(path, "kind", -1, "unknown kind " + Quote(name));
        if (!((allowed >> static_cast<unsigned>(given)) & 1u))
            Fail(path, "kind", -1, "kind " + Quote(name) + " does not fit " + Quote(via));
        kind = given;
    } else if (kind == Kind::None) {
        Fail(path, "missing required key \"kind\"");
    }
    sc.objs[id].kind = kind;
    // nesting is read recursively: a limit keeps a hostile file from exhausting the stack
    if (++m_depth > kMaxDepth) Fail(path, "objects nested deeper than " + std::to_string(kMaxDepth));
    StageChildren(sc, id);
    --m_depth;
    return id;
}

void Loader::StageChildren(Scope& sc, uint32_t obj)
{
    const JVal node(&m_tree, sc.objs[obj].node);
    const Kind kind = sc.objs[obj].kind;
    const uint32_t path = PathOf(sc, obj);
    // the children in staging order, which is the order reading meets them in
    uint32_t last = kNone;
    auto stage = [&](JVal e, uint64_t allowed, std::string_view via, Field placedIn, uint32_t at, bool free) {
        const uint32_t child = Stage(sc, e, allowed, via, obj, placedIn, at, free);
        if (last != kNone) sc.objs[last].nextSibling = child;
        last = child;
    };
    for (JVal item : node) {
        const std::string_view key = item.key();
        JVal v = item;
        const JsonKeys::Key k = KeyOf(item);
        if (k.code == JsonKeys::kId) {
            const std::string_view text = ExpectString(v, path, key);
            if (JsonFile::LooksLikeIndexText(text)) Fail(path, key, -1, "id " + Quote(text) + " has the form of a raw index");
            if (text.size() > kMaxIdLength) Fail(path, key, -1, "id longer than " + std::to_string(kMaxIdLength) + " bytes");
            sc.pendingIds.push_back(IdMap::Pending{text, obj, kind});   // filed after staging (FileIds)
            if (kind == Kind::Snapshot || kind == Kind::ConstraintDef) {
                if (!m_sessionIds.insert(text).second) Fail(path, key, -1, "duplicate id " + Quote(text));
            }
        } else if (k.code == JsonKeys::kIndex) {
            const std::string_view text = ExpectString(v, path, key);
            uint64_t index = 0;
            if (!JsonFile::ParseIndexText(text, index) || (index & kSerialMask) == 0)
                Fail(path, key, -1, "malformed index " + Quote(text));
            if (TypeOf(index) != TypeOfKind(kind))
                Fail(path, key, -1, "index " + Quote(text) + " has type " + std::to_string(TypeOf(index)) + ", " +
                                        KindName(kind) + " needs " + std::to_string(TypeOfKind(kind)));
            sc.objs[obj].hasIndex = true;
            sc.indexes[obj] = index;
        } else if (k.code == JsonKeys::kObjects && kind == Kind::Snapshot) {
            Expect(v, JType::Array, path, key);
            int64_t pos = 0;
            for (JVal e : v) {
                stage(e, kFreeKinds, key, Field::Count, static_cast<uint32_t>(pos), true);
                ++pos;
            }
        } else if (k.code == JsonKeys::kField) {
            const FieldSpec* spec = SpecOf(kind, k.field);
            if (!spec) continue;   // reported when the keys are read
            if (spec->cat == Cat::HomeList) {
                Expect(v, JType::Array, path, key);
                int64_t pos = 0;
                for (JVal e : v) {
                    if (e.is_object()) stage(e, spec->targets, key, k.field, static_cast<uint32_t>(pos), false);
                    ++pos;
                }
            } else if (spec->cat == Cat::HomeRef && v.is_object()) {
                stage(v, spec->targets, key, k.field, kNone, false);
            }
        }
    }
}

template <class F>
void Loader::StageWithIds(Scope& sc, F&& stage)
{
    try {
        stage();
    } catch (const LoadFailure&) {
        FileIds(sc);
        throw;
    }
    FileIds(sc);
}

void Loader::FileIds(Scope& sc)
{
    const size_t taken = sc.ids.InsertAll(sc.pendingIds);
    if (taken != SIZE_MAX) {
        const IdMap::Pending& p = sc.pendingIds[taken];
        Fail(PathOf(sc, p.obj), "id", -1, "duplicate id " + Quote(p.id));
    }
    FreeVector(sc.pendingIds);
}

// Explicit indexes must be unique by serial; the others get the free serials in document order.
void Loader::AssignIndexes(Scope& sc, uint64_t fileNextSerial)
{
    std::vector<std::pair<uint64_t, uint32_t>> taken;   // (serial, obj)
    for (uint32_t i = 0; i < sc.objs.size(); ++i)
        if (sc.objs[i].hasIndex) taken.emplace_back(sc.indexes[i] & kSerialMask, i);
    std::sort(taken.begin(), taken.end());
    for (size_t i = 1; i < taken.size(); ++i) {
        if (taken[i].first != taken[i - 1].first) continue;
        const uint32_t a = std::min(taken[i].second, taken[i - 1].second);
        const uint32_t b = std::max(taken[i].second, taken[i - 1].second);
        const std::string text = IndexText(sc.indexes[b]);
        if (sc.indexes[a] == sc.indexes[b]) Fail(PathOf(sc, b), "index", -1, "duplicate index " + Quote(text));
        Fail(PathOf(sc, b), "index", -1, "index " + Quote(text) + " reuses the serial of " + Quote(IndexText(sc.indexes[a])));
    }
    uint64_t serial = 1;
    size_t cursor = 0;
    uint64_t highest = 0;
    sc.table->records.reserve(sc.table->records.size() + sc.objs.size());
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        const Obj& o = sc.objs[i];
        uint64_t& index = sc.indexes[i];
        if (!o.hasIndex) {
            while (cursor < taken.size() && taken[cursor].first < serial) ++cursor;
            while (cursor < taken.size() && taken[cursor].first == serial) {
                ++serial;
                ++cursor;
            }
            index = MakeIndex(TypeOfKind(o.kind), serial++);
        }
        highest = std::max(highest, index & kSerialMask);
        // an object's record is its number in the scope's table, which starts empty
        const uint32_t slot = sc.table->Create(o.kind, index);
        if (slot == UINT32_MAX) Fail(PathOf(sc, i), "index", -1, "index " + Quote(IndexText(index)) + " cannot be used");
        if (slot != i) throw std::logic_error("records out of step with the staged objects");
    }
    sc.table->nextSerial = std::max({sc.table->nextSerial, fileNextSerial, highest + 1});
}

// ---------------------------------------------------------------------------------------------------------
// Reading the keys of one staged object

StagedRef Loader::ReadRef(Scope& sc, JVal v, uint64_t targets, bool allowNull, uint32_t node,
                          std::string_view key, int64_t pos, const RefDest* dest) const
{
    if (v.is_string()) {
        const std::string_view text = v.str();
        if (JsonFile::LooksLikeIndexText(text)) {
            uint64_t index = 0;
            if (!JsonFile::ParseIndexText(text, index)) Fail(node, key, pos, "malformed index " + Quote(text));
            return index == 0 ? StagedRef::Null() : sc.AddRaw(index);
        }
        if (dest && sc.deferIds) {
            // stands for the target until ResolveDeferred writes it
            sc.deferred.push_back(DeferredRef{sc.ids.ProbeOf(text), v.id(), dest->at, dest->obj, dest->site, dest->field});
            return StagedRef();
        }
        const IdMap::Hit found = sc.ids.Find(text);
        if (!Accepts(found, targets)) FailLookup(found, text, node, key, pos);
        return StagedRef::Object(found.obj);
    }
    if (v.is_null() && allowNull) return StagedRef::Null();
    if (v.is_object()) Fail(node, key, pos, "inline object not allowed in " + Quote(key));
    Fail(node, key, pos, std::string(allowNull ? "expected an id, a raw index or null" : "expected an id or a raw index") +
                             ", found " + JsonTypeName(v));
}

void Loader::ReadList(Scope& sc, uint32_t obj, const FieldSpec& spec, std::string_view key, JVal v,
                      uint32_t& cursor)
{
    const Obj& o = sc.objs[obj];
    const uint32_t path = PathOf(sc, obj);
    Expect(v, JType::Array, path, key);
    ListVal& l = sc.lists[o.listBase + SlotOf(o.kind, spec.field)->pos];
    l.begin = static_cast<uint32_t>(sc.entries.size());
    int64_t pos = 0;
    for (JVal e : v) {
        if (e.is_object() && spec.cat == Cat::HomeList) {
            const uint32_t child = cursor;
            cursor = sc.objs[child].nextSibling;
            sc.entries.push_back(StagedRef::Object(child));
        } else {
            const RefDest dest{kSiteEntry, static_cast<uint32_t>(sc.entries.size()), obj, spec.field};
            const StagedRef r = ReadRef(sc, e, spec.targets, false, path, key, pos, &dest);
            // a list keeps a raw index of 0 as it stands
            sc.entries.push_back(r.null() ? sc.AddRaw(0) : r);
        }
        ++pos;
    }
    const size_t count = sc.entries.size() - l.begin;
    if (count > ListVal::kMaxCount) Fail(path, key, -1, "more than " + std::to_string(ListVal::kMaxCount) + " entries");
    l.count = static_cast<uint32_t>(count);
}

void Loader::ReadFaults(JVal v, uint32_t node, std::string_view key, std::vector<FaultEntry>& out) const
{
    Expect(v, JType::Array, node, key);
    const uint32_t listNode = node;
    int64_t pos = 0;
    for (JVal e : v) {
        FaultEntry f;
        if (e.is_string()) {
            f.op = e.text();
        } else if (e.is_object()) {
            const JVal repeated = RepeatedKey(e);
            if (repeated.valid()) {
                std::string p = Path(listNode, key, pos);
                JsonFile::AppendPointerToken(p, repeated.key());
                throw LoadFailure{p, "duplicate key " + Quote(repeated.key())};
            }
            bool hasOp = false;
            for (JVal item : e) {
                if (item.key() == "op") {
                    if (!item.is_string())
                        throw LoadFailure{Path(listNode, key, pos) + "/op",
                                          std::string("expected a string, found ") + JsonTypeName(item)};
                    f.op = item.text();
                    hasOp = true;
                } else if (item.key() == "count") {
                    JVal c = item;
                    if (!c.is_number_integer() || c.i64() < -1 || c.i64() > INT32_MAX)
                        throw LoadFailure{Path(listNode, key, pos) + "/count",
                                          "expected -1 or a count of at least 0"};
                    f.count = static_cast<int>(c.i64());
                } else {
                    std::string p = Path(listNode, key, pos);
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

// An attribute is identified by its name, type and bit. The few of most objects are compared in place; many are
// hashed (`seen` holds their identities from then on), so that an object with many attributes loads in linear
// time.
bool IsDuplicateAttribute(const std::vector<AttributeText>& attrs, const AttributeText& a, std::unordered_set<std::string>& seen)
{
    constexpr size_t kFew = 16;
    if (attrs.size() < kFew) {
        for (const AttributeText& b : attrs)
            if (b.name == a.name && b.type == a.type && b.bit == a.bit) return true;
        return false;
    }
    auto identity = [](const AttributeText& r) {
        std::string id(r.name);
        id.append(1, '\0').append(std::to_string(r.type)).append(1, '\0').append(std::to_string(r.bit));
        return id;
    };
    if (seen.empty())
        for (const AttributeText& b : attrs) seen.insert(identity(b));
    return !seen.insert(identity(a)).second;
}

void Loader::ReadAttributes(Scope& sc, uint32_t obj, JVal v, std::string_view key)
{
    const Obj& o = sc.objs[obj];
    const uint32_t path = PathOf(sc, obj);
    Expect(v, JType::Array, path, key);
    const bool typed = o.kind == Kind::LogicComp || o.kind == Kind::DesignPin;
    const bool bitted = o.kind == Kind::DesignPin;
    const bool snapshot = o.kind == Kind::Snapshot;
    std::vector<AttributeText> attrs;
    attrs.reserve(v.size());
    std::unordered_set<std::string> seen;   // identities, once the object has many attributes
    int64_t pos = 0;
    for (JVal e : v) {
        const uint32_t at = m_paths.Leaf(path, key, pos);
        Expect(e, JType::Object, at, {});
        RejectRepeatedKeys(e, at);
        AttributeText a;
        bool hasName = false, hasValue = false;
        for (JVal item : e) {
            const std::string_view k = item.key();
            if (k == "name") {
                a.name = ExpectString(item, at, k);
                hasName = true;
            } else if (k == "value") {
                a.value = ExpectString(item, at, k);
                hasValue = true;
            } else if (k == "type" && typed) {
                a.type = static_cast<int32_t>(ExpectInt(item, INT32_MIN, INT32_MAX, at, k));
            } else if (k == "bit" && bitted) {
                a.bit = static_cast<int32_t>(ExpectInt(item, INT32_MIN, INT32_MAX, at, k));
            } else {
                Fail(at, k, -1, "unknown key " + Quote(k) + " for an attribute of " + KindName(o.kind));
            }
        }
        if (!hasName) Fail(at, "missing required key \"name\"");
        if (!hasValue) Fail(at, "missing required key \"value\"");
        if (IsDuplicateAttribute(attrs, a, seen)) {
            std::string what = "duplicate attribute " + Quote(a.name);
            if (typed) what += " (type " + std::to_string(a.type) + (bitted ? ", bit " + std::to_string(a.bit) : "") + ")";
            Fail(at, what);
        }
        attrs.push_back(a);
        ++pos;
    }
    if (snapshot) {
        for (const AttributeText& a : attrs) sc.table->attributes.emplace_back(a.name, a.value);
    } else {
        sc.table->SetAttributes(sc.table->records[obj], attrs);
    }
}

// The value of a constraint or definition: kind from the JSON type, or forced by "type".
void Loader::ReadConstraintValue(Scope& sc, uint32_t obj, JVal value, JVal type)
{
    const Obj& o = sc.objs[obj];
    const uint32_t path = PathOf(sc, obj);
    ObjRecord& rec = sc.table->records[obj];
    // an absent value reads as the empty text
    const JVal& v = value;
    const bool isText = !value.valid() || value.is_string();
    const std::string_view text = !value.valid() ? std::string_view() : value.is_string() ? value.str() : std::string_view();
    ConstraintData d;
    auto mismatch = [&](const std::string& why) { Fail(path, value.valid() ? "value" : "", -1, why); };
    auto numberList = [&](bool ints) {
        for (JVal e : v) {
            if (ints ? !e.is_number_integer() : !e.is_number()) return false;
        }
        return true;
    };
    auto fill = [&](int32_t kind) {
        d.kind = kind;
        switch (kind) {
        case CDT_Int:
            if (!v.is_number_integer() || v.is_number_unsigned() || v.i64() < INT32_MIN || v.i64() > INT32_MAX) return false;
            d.intValue = static_cast<int32_t>(v.i64());
            return true;
        case CDT_Double:
            if (!v.is_number()) return false;
            d.doubleValue = v.dbl();
            return true;
        case CDT_Text:
            if (!isText) return false;
            d.textValue = String(std::string(text));
            return true;
        case CDT_IntList:
            if (!v.is_array() || !numberList(true)) return false;
            for (JVal e : v) {
                if (e.is_number_unsigned() || e.i64() < INT32_MIN || e.i64() > INT32_MAX) return false;
                d.intList.push_back(static_cast<int32_t>(e.i64()));
            }
            return true;
        case CDT_DoubleList:
            if (!v.is_array() || !numberList(false)) return false;
            for (JVal e : v) d.doubleList.push_back(e.dbl());
            return true;
        case CDT_TextList:
            if (!v.is_array()) return false;
            for (JVal e : v) {
                if (!e.is_string()) return false;
                d.textList.push_back(String(e.text()));
            }
            return true;
        default:
            return false;
        }
    };
    if (!type.valid()) {
        int32_t kind = CDT_Text;
        if (isText)
            kind = CDT_Text;
        else if (v.is_number_integer())
            kind = CDT_Int;
        else if (v.is_number_float())
            kind = CDT_Double;
        else if (v.is_array())
            kind = v.empty() || v.front().is_string() ? CDT_TextList : numberList(true) ? CDT_IntList : CDT_DoubleList;
        else
            mismatch(std::string("a constraint value cannot be ") + JsonTypeName(v));
        if (!fill(kind)) mismatch("the elements of a list value must all be integers, all numbers or all strings");
    } else {
        const int32_t kind = static_cast<int32_t>(ExpectInt(type, INT32_MIN, INT32_MAX, path, "type"));
        if (kind == CDT_Default) {
            if (!isText) mismatch("type 0 needs a string value");
            d.kind = CDT_Default;
            d.textValue = String(std::string(text));
            if (o.kind == Kind::ConstraintDef) {
                d.kind = CDT_Text;
            } else if (!ResolveDefaultKind(m_s, rec.name, d)) {
                mismatch(Quote(text) + " does not parse for the kind of definition " + Quote(rec.name));
            }
        } else if (kind >= CDT_Int && kind <= CDT_TextList) {
            if (isText && kind != CDT_Text) {
                if (!ParseConstraintText(std::string(text), kind, d))
                    mismatch(Quote(text) + " does not parse as type " + std::to_string(kind));
            } else if (!fill(kind)) {
                mismatch(std::string("value ") + JsonTypeName(v) + " does not fit type " + std::to_string(kind));
            }
        } else {
            if (!isText) mismatch("type " + std::to_string(kind) + " needs a string value");
            d.kind = kind;
            d.textValue = String(std::string(text));
        }
    }
    sc.table->SetValue(obj, d);
}

void Loader::ReadSnapshotKey(Scope& sc, uint32_t obj, int code, std::string_view key, JVal v)
{
    const uint32_t path = PathOf(sc, obj);
    SnapshotData& snap = *sc.table;
    if (code == JsonKeys::kClients) {
        Expect(v, JType::Array, path, key);
        int64_t pos = 0;
        for (JVal e : v) {
            const uint32_t at = m_paths.Leaf(path, key, pos++);
            Expect(e, JType::Object, at, {});
            RejectRepeatedKeys(e, at);
            ClientRec c;
            bool hasName = false;
            for (JVal item : e) {
                if (item.key() == "name") {
                    c.name = ExpectString(item, at, item.key());
                    hasName = true;
                } else if (item.key() == "subClients") {
                    Expect(item, JType::Array, at, item.key());
                    int64_t sp = 0;
                    for (JVal s : item) c.subClients.push_back(std::string(ExpectString(s, at, item.key(), sp++)));
                } else {
                    Fail(at, item.key(), -1, "unknown key " + Quote(item.key()) + " for a client");
                }
            }
            if (!hasName) Fail(at, "missing required key \"name\"");
            snap.clients.push_back(std::move(c));
        }
    } else if (code == JsonKeys::kLocks) {
        Expect(v, JType::Array, path, key);
        int64_t pos = 0;
        for (JVal e : v) {
            const uint32_t at = m_paths.Leaf(path, key, pos++);
            Expect(e, JType::Object, at, {});
            RejectRepeatedKeys(e, at);
            LockRec l;
            bool hasObject = false, hasAddress = false, hasSub = false;
            for (JVal item : e) {
                const std::string_view k = item.key();
                if (k == "object") {
                    l.object = sc.IndexOf(ReadRef(sc, item, ~0ull, false, at, k, -1));
                    hasObject = true;
                } else if (k == "address") {
                    l.address = ExpectString(item, at, k);
                    hasAddress = true;
                } else if (k == "subClient") {
                    l.subClient = ExpectString(item, at, k);
                    hasSub = true;
                } else if (k == "deep") {
                    l.deep = ExpectBool(item, at, k);
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
    const uint32_t path = PathOf(sc, obj);
    const KindInfo& info = InfoOf(o.kind);
    ObjRecord& rec = sc.table->records[obj];
    const uint64_t index = sc.indexes[obj];
    GrowRefsAndLists(sc, obj);
    uint32_t cursor = obj + 1;   // its next inline object
    bool hasName = false, hasIn = false;
    JVal value;
    JVal type;
    const bool isConstraint = o.kind == Kind::Constraint || o.kind == Kind::ConstraintDef;
    const bool isConfig = o.kind == Kind::NorvConfig || o.kind == Kind::DefaultConfig;
    m_seenKeys.clear();
    for (JVal item : JVal(&m_tree, o.node)) {
        const std::string_view key = item.key();
        JVal v = item;
        const JsonKeys::Key k = KeyOf(item);
        if (std::find(m_seenKeys.begin(), m_seenKeys.end(), item.key_id()) != m_seenKeys.end())
            Fail(path, key, -1, "duplicate key " + Quote(key));
        m_seenKeys.push_back(item.key_id());
        switch (k.code) {
        case JsonKeys::kId:
            sc.table->SetFileId(obj, std::string(v.str()));
            continue;
        case JsonKeys::kKind:
        case JsonKeys::kIndex:
            continue;
        case JsonKeys::kName:
            if (isConfig) break;
            rec.name = ExpectString(v, path, key);
            hasName = true;
            continue;
        case JsonKeys::kTopBlock:
            if (!isConfig) break;
            rec.name = ExpectString(v, path, key);
            hasName = true;
            continue;
        case JsonKeys::kIn: {
            if (OwnerMask(o.kind) == 0) break;
            const RefDest dest{kSiteOwner, obj, obj, Field::in};
            sc.objs[obj].owner = ReadRef(sc, v, OwnerMask(o.kind), true, path, key, -1, &dest);
            hasIn = true;
            continue;
        }
        case JsonKeys::kValid:
            if (!ExpectBool(v, path, key)) rec.flags &= static_cast<uint8_t>(~kValid);
            continue;
        case JsonKeys::kEmptyIndex:
            if (ExpectBool(v, path, key)) rec.flags |= kEmptyIndex;
            continue;
        case JsonKeys::kLiteral: {
            if (info.nLists == 0) break;
            Expect(v, JType::Array, path, key);
            int64_t pos = 0;
            for (JVal e : v) {
                const std::string_view name = ExpectString(e, path, key, pos);
                const JsonKeys::Key lk = JsonKeys::Lookup(name);
                const SlotRef* s = lk.code == JsonKeys::kField ? SlotOf(o.kind, lk.field) : nullptr;
                if (!s || !IsListCat(s->cat))
                    Fail(path, key, pos, Quote(name) + " is not a list key of " + KindName(o.kind));
                sc.lists[o.listBase + s->pos].literal = true;
                ++pos;
            }
            continue;
        }
        case JsonKeys::kFail:
            ReadFaults(v, path, key, sc.table->faults[index]);
            if (sc.table->faults[index].empty()) sc.table->faults.erase(index);
            continue;
        case JsonKeys::kInherits: {
            if (!info.norv) break;
            Expect(v, JType::Array, path, key);
            std::vector<std::string_view> inherits;
            inherits.reserve(v.size());
            int64_t pos = 0;
            for (JVal e : v) inherits.push_back(ExpectString(e, path, key, pos++));
            sc.table->AddInherits(rec, inherits);
            continue;
        }
        case JsonKeys::kAttributes:
            if (!info.attributes && o.kind != Kind::Snapshot) break;
            ReadAttributes(sc, obj, v, key);
            continue;
        case JsonKeys::kValue:
            if (!isConstraint) break;
            value = v;
            continue;
        case JsonKeys::kType:
            if (!isConstraint) break;
            type = v;
            continue;
        case JsonKeys::kObjects:
            if (o.kind != Kind::Snapshot) break;
            for (JVal e : v) {
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
                rec.slots[slot->pos] = ExpectInt(v, INT32_MIN, INT32_MAX, path, key);
                break;
            case Cat::Bool:
            case Cat::OptBool:
                rec.slots[slot->pos] = ExpectBool(v, path, key) ? 1 : 0;
                break;
            case Cat::Set: {
                Expect(v, JType::Array, path, key);
                uint32_t word = 0;
                int64_t pos = 0;
                for (JVal e : v) {
                    if (!e.is_number_integer()) Fail(path, key, pos, std::string("expected an integer, found ") + JsonTypeName(e));
                    const int64_t bit = e.i64();
                    if (bit < 0 || bit > 31) Fail(path, key, pos, "set value " + std::to_string(bit) + " outside 0..31");
                    word |= 1u << bit;
                    ++pos;
                }
                rec.slots[slot->pos] = word;
                break;
            }
            case Cat::Text:
                sc.table->SetText(obj, k.field, std::string(ExpectString(v, path, key)));
                break;
            case Cat::Ref:
            case Cat::OptRef: {
                const RefDest dest{kSiteRef, o.refBase + RefPos(o.kind, slot->pos), obj, k.field};
                sc.refs[dest.at] = ReadRef(sc, v, spec->targets, true, path, key, -1, &dest);
                break;
            }
            case Cat::HomeRef:
                if (v.is_object()) {
                    const uint32_t child = cursor;
                    cursor = sc.objs[child].nextSibling;
                    sc.refs[o.refBase + RefPos(o.kind, slot->pos)] = StagedRef::Object(child);
                } else {
                    const RefDest dest{kSiteRef, o.refBase + RefPos(o.kind, slot->pos), obj, k.field};
                    sc.refs[dest.at] = ReadRef(sc, v, spec->targets, true, path, key, -1, &dest);
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
        Fail(path, key, -1, "unknown key " + Quote(key) + " for " + KindName(o.kind));
    }
    if (!hasName && (o.kind == Kind::Snapshot || isConstraint))
        Fail(path, "missing required key \"name\"");
    if (!hasName && isConfig) Fail(path, "missing required key \"topBlock\"");
    if (o.free && !hasIn) Fail(path, "missing required key \"in\"");
    if (isConfig) {
        auto& tops = o.kind == Kind::NorvConfig ? sc.norvTops : sc.defaultTops;
        if (!tops.insert(rec.name).second)
            Fail(path, "topBlock", -1, std::string("a second ") + KindName(o.kind) + " for top block " + Quote(rec.name));
    }
    if (isConstraint) ReadConstraintValue(sc, obj, value, type);
    // An inline definition is owned by the object that holds it, unless "in" says otherwise.
    if (!hasIn && o.parent != kNone && o.placedIn != Field::Count) {
        sc.objs[obj].owner = StagedRef::Object(o.parent);
    }
}

void Loader::ResolveDeferred(Scope& sc)
{
    if (sc.deferred.empty()) return;
    // The lookups go region by region, so that the table is read from start to end; their results are kept by
    // the references' positions, and written to the staging in reading order.
    const unsigned shift = sc.ids.RegionShift();
    const DeferredRef* const first = sc.deferred.data();
    GroupStably(
        sc.deferred, sc.ids.Regions(), [&](const DeferredRef& d) { return d.probe.home >> shift; },
        [&](const DeferredRef& d) { return DeferredLookup{d.probe, d.node, static_cast<uint32_t>(&d - first)}; },
        m_regionStart, m_lookups);
    m_hits.resize(m_lookups.size());
    for (const DeferredLookup& l : m_lookups) m_hits[l.pos] = sc.ids.Find(l.probe, [&] { return JVal(&m_tree, l.node).str(); });
    for (size_t k = 0; k < sc.deferred.size(); ++k) {
        const DeferredRef& d = sc.deferred[k];
        const IdMap::Hit& hit = m_hits[k];
        const Kind holder = sc.objs[d.obj].kind;
        const uint64_t targets = d.site == kSiteOwner ? OwnerMask(holder) : SpecOf(holder, d.field)->targets;
        if (!Accepts(hit, targets)) FailDeferred(sc, d, hit);
        switch (d.site) {
        case kSiteRef: sc.refs[d.at] = StagedRef::Object(hit.obj); break;
        case kSiteEntry: sc.entries[d.at] = StagedRef::Object(hit.obj); break;
        case kSiteOwner: sc.objs[d.at].owner = StagedRef::Object(hit.obj); break;
        }
    }
    sc.deferred.clear();
}

void Loader::FailDeferred(const Scope& sc, const DeferredRef& d, const IdMap::Hit& hit) const
{
    const Obj& o = sc.objs[d.obj];
    // the key's text is the field's name ("in" for the owner)
    const std::string_view key = d.site == kSiteOwner ? std::string_view("in") : std::string_view(FieldName(d.field));
    const int64_t pos = d.site == kSiteEntry ? static_cast<int64_t>(d.at - sc.lists[o.listBase + SlotOf(o.kind, d.field)->pos].begin) : -1;
    FailLookup(hit, JVal(&m_tree, d.node).str(), PathOf(sc, d.obj), key, pos);
}

void Loader::FailLookup(const IdMap::Hit& hit, std::string_view text, uint32_t node, std::string_view key,
                        int64_t pos) const
{
    if (!hit.Found()) Fail(node, key, pos, "unknown id " + Quote(text));
    Fail(node, key, pos, "id " + Quote(text) + " names kind " + KindName(hit.kind) + ", which " + Quote(key) +
                             " does not allow");
}

// ---------------------------------------------------------------------------------------------------------
// Completion: the missing sides of the relations, in document order.

void Loader::LayOut(Scope& sc)
{
    uint32_t refs = 0, lists = 0;
    for (Obj& o : sc.objs) {
        o.refBase = refs;
        o.listBase = lists;
        refs += static_cast<uint32_t>(LayoutOf(o.kind).refs.size());
        lists += InfoOf(o.kind).nLists;
    }
    sc.refs.reserve(refs);
    sc.lists.reserve(lists);
}

void Loader::GrowRefsAndLists(Scope& sc, uint32_t obj)
{
    const Obj& o = sc.objs[obj];
    const size_t refs = o.refBase + LayoutOf(o.kind).refs.size();
    const size_t lists = o.listBase + InfoOf(o.kind).nLists;
    if (sc.refs.size() < refs) sc.refs.resize(refs);
    if (sc.lists.size() < lists) sc.lists.resize(lists);
}

void Loader::Settle(Scope& sc)
{
    const size_t n = sc.objs.size();
    sc.kinds.resize(n);
    sc.refBases.resize(n);
    sc.listBases.resize(n);
    sc.parents.resize(n);
    sc.owners.resize(n);
    sc.placedIn.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Obj& o = sc.objs[i];
        sc.kinds[i] = o.kind;
        sc.refBases[i] = o.refBase;
        sc.listBases[i] = o.listBase;
        sc.parents[i] = o.parent;
        sc.owners[i] = o.owner;
        sc.placedIn[i] = o.placedIn;
    }
    FreeVector(sc.objs);
    size_t count[kKindCount] = {};
    for (const Kind k : sc.kinds) ++count[static_cast<size_t>(k)];
    for (size_t k = 0; k < kKindCount; ++k) sc.byKind[k].reserve(count[k]);
    for (uint32_t i = 0; i < n; ++i) sc.byKind[static_cast<size_t>(sc.kinds[i])].push_back(i);
}

StagedRef& Loader::RefOf(Scope& sc, uint32_t obj, Field f)
{
    const Kind kind = sc.kinds[obj];
    return sc.refs[sc.refBases[obj] + RefPos(kind, SlotOf(kind, f)->pos)];
}

template <class F>
void Loader::ForEachEntry(const Scope& sc, uint32_t listIdx, F&& f) const
{
    const ListVal& l = sc.lists[listIdx];
    for (uint32_t i = 0; i < l.count; ++i) f(sc.entries[l.begin + i]);
    // by position and by copy: f may append to any list, which can move the extras around
    for (uint32_t x = l.extraHead; x != kNone; x = sc.extras[x].next) f(StagedRef(sc.extras[x].ref));
}

bool Loader::Contains(Scope& sc, uint32_t listIdx, StagedRef e)
{
    ListVal& l = sc.lists[listIdx];
    if (l.big) return sc.bigLists[listIdx].count(sc.IndexOf(e)) != 0;
    size_t size = l.count;
    for (uint32_t x = l.extraHead; x != kNone && size <= 32; x = sc.extras[x].next) ++size;
    if (size <= 32) {
        // Objects have distinct indexes: two object entries name the same index only when they are the same
        // object, and only a raw index needs its value (and an object's) compared.
        auto same = [&](StagedRef x) { return x == e || ((x.raw() || e.raw()) && sc.IndexOf(x) == sc.IndexOf(e)); };
        for (uint32_t i = 0; i < l.count; ++i)
            if (same(sc.entries[l.begin + i])) return true;
        for (uint32_t x = l.extraHead; x != kNone; x = sc.extras[x].next)
            if (same(sc.extras[x].ref)) return true;
        return false;
    }
    // a long list keeps its membership in a set from now on (AppendExtra adds to it)
    l.big = true;
    auto& set = sc.bigLists[listIdx];
    for (uint32_t i = 0; i < l.count; ++i) set.insert(sc.IndexOf(sc.entries[l.begin + i]));
    for (uint32_t x = l.extraHead; x != kNone; x = sc.extras[x].next) set.insert(sc.IndexOf(sc.extras[x].ref));
    return set.count(sc.IndexOf(e)) != 0;
}

void Loader::AppendExtra(Scope& sc, uint32_t listIdx, StagedRef e)
{
    ListVal& l = sc.lists[listIdx];
    if (sc.extraTails.empty()) sc.extraTails.assign(sc.lists.size(), kNone);
    const uint32_t x = static_cast<uint32_t>(sc.extras.size());
    sc.extras.push_back(ExtraEntry{e, kNone, listIdx});
    uint32_t& tail = sc.extraTails[listIdx];
    if (tail == kNone)
        l.extraHead = x;
    else
        sc.extras[tail].next = x;
    tail = x;
    if (l.big) sc.bigLists[listIdx].insert(sc.IndexOf(e));
}

// Fills side (tk, tf) from side (sk, sf): a missing reference from the first object naming it, a list with
// every object naming it that it does not hold yet. The targets lie anywhere in a large design: the pairs are
// gathered first, in order, and then offered with each target's staging fetched some pairs ahead, so that the
// cache misses overlap. Gathering first gives the same result: an entry an offer appends is one whose own side
// already names the target back, so offering it again would change nothing.
void Loader::CompleteSide(Scope& sc, Kind tk, Field tf, Kind sk, Field sf)
{
    const SlotRef* ts = SlotOf(tk, tf);
    const SlotRef* ss = SlotOf(sk, sf);
    if (!ts || !ss) return;
    const bool targetList = IsListCat(ts->cat);
    m_offers.clear();
    for (const uint32_t i : sc.byKind[static_cast<size_t>(sk)]) {
        if (IsListCat(ss->cat)) {
            ForEachEntry(sc, sc.listBases[i] + ss->pos, [&](StagedRef e) {
                if (e.object()) m_offers.emplace_back(i, e.obj());
            });
        } else {
            const StagedRef r = sc.refs[sc.refBases[i] + RefPos(sk, ss->pos)];
            if (r.object()) m_offers.emplace_back(i, r.obj());
        }
    }
    // Where lists are offered several objects each from all over the design, each target list's offers go one
    // after another, in their order (a list's result depends on its own offers and their order only): the
    // entries completion appends to a list then stand together, and its membership test walks entries still in
    // the cache. A reference is set at most once and tests nothing: its offers stay as they came, and so do
    // those that come grouped already, which the grouping would only slow down.
    if (targetList && m_offers.size() >= kGroupOffersFrom && ScatteredRepeats(sc.kinds.size()) > m_offers.size() / 4) {
        // Grouped by the targets' ranks among the targets (m_seen marks them): the counters stay as few as the
        // targets and small enough for the cache, and the ranks keep the targets' order.
        std::vector<uint32_t> before(m_seen.size() + 1, 0);
        for (size_t w = 0; w < m_seen.size(); ++w) before[w + 1] = before[w] + static_cast<uint32_t>(__builtin_popcountll(m_seen[w]));
        auto rank = [&](const std::pair<uint32_t, uint32_t>& o) {
            const size_t w = o.second / 64;
            return before[w] + static_cast<uint32_t>(__builtin_popcountll(m_seen[w] & ((uint64_t{1} << (o.second % 64)) - 1)));
        };
        std::vector<uint32_t> start;
        m_offers = GroupStably<std::pair<uint32_t, uint32_t>>(
            m_offers, before.back(), rank, [](const std::pair<uint32_t, uint32_t>& o) { return o; }, start);
    }
    const uint8_t refPos = targetList ? 0 : static_cast<uint8_t>(RefPos(tk, ts->pos));
    // Three steps ahead: the target's kind and bases, then its list or reference, then the list's entries.
    constexpr size_t kFar = 24, kMid = 12, kNear = 6;
    const size_t n = m_offers.size();
    for (size_t k = 0; k < n; ++k) {
        if (k + kFar < n) {
            const uint32_t t = m_offers[k + kFar].second;
            __builtin_prefetch(&sc.kinds[t]);
            __builtin_prefetch(targetList ? &sc.listBases[t] : &sc.refBases[t]);
        }
        if (k + kMid < n) {
            const uint32_t t = m_offers[k + kMid].second;
            if (sc.kinds[t] == tk) {
                if (targetList)
                    __builtin_prefetch(&sc.lists[sc.listBases[t] + ts->pos]);
                else
                    __builtin_prefetch(&sc.refs[sc.refBases[t] + refPos]);
            }
        }
        if (targetList && k + kNear < n) {
            const uint32_t t = m_offers[k + kNear].second;
            if (sc.kinds[t] == tk) {
                const ListVal& l = sc.lists[sc.listBases[t] + ts->pos];
                if (l.count) __builtin_prefetch(&sc.entries[l.begin]);
            }
        }
        const uint32_t source = m_offers[k].first, target = m_offers[k].second;
        if (sc.kinds[target] != tk) continue;
        if (targetList) {
            const uint32_t li = sc.listBases[target] + ts->pos;
            if (sc.lists[li].literal || Contains(sc, li, StagedRef::Object(source))) continue;
            AppendExtra(sc, li, StagedRef::Object(source));
        } else {
            StagedRef& r = sc.refs[sc.refBases[target] + refPos];
            if (r.absent()) r = StagedRef::Object(source);
        }
    }
}

size_t Loader::ScatteredRepeats(size_t objects)
{
    m_seen.assign((objects + 63) / 64, 0);
    size_t repeated = 0;
    uint32_t last = kNone;
    for (const auto& offer : m_offers) {
        uint64_t& word = m_seen[offer.second / 64];
        const uint64_t bit = uint64_t{1} << (offer.second % 64);
        repeated += (word & bit) != 0 && offer.second != last;
        word |= bit;
        last = offer.second;
    }
    return repeated;
}

void Loader::Complete(Scope& sc)
{
    sc.extras.reserve(sc.kinds.size());   // about one appended entry per object (pins: nets, flat pins)
    // Objects whose owner is not the object they are written in join the owner's home list (or reference).
    for (uint32_t i = 0; i < sc.kinds.size(); ++i) {
        if (!sc.owners[i].object()) continue;
        const uint32_t owner = sc.owners[i].obj();
        const Kind ownerKind = sc.kinds[owner];
        const Field home = HomeField(ownerKind, sc.kinds[i]);
        if (home == Field::Count || (sc.parents[i] == owner && sc.placedIn[i] == home)) continue;
        const SlotRef* hs = SlotOf(ownerKind, home);
        if (IsListCat(hs->cat)) {
            const uint32_t li = sc.listBases[owner] + hs->pos;
            if (!sc.lists[li].literal && !Contains(sc, li, StagedRef::Object(i))) AppendExtra(sc, li, StagedRef::Object(i));
        } else {
            StagedRef& r = sc.refs[sc.refBases[owner] + RefPos(ownerKind, hs->pos)];
            if (r.absent()) r = StagedRef::Object(i);
        }
    }
    // A pin's component or net defaults to its owner; its design pin is one of its flat pins.
    const uint8_t flatPins = SlotOf(Kind::NorvPin, Field::flatPins)->pos;
    for (const uint32_t i : sc.byKind[static_cast<size_t>(Kind::NorvPin)]) {
        const StagedRef owner = sc.owners[i];
        if (owner.object()) {
            const Kind ok = sc.kinds[owner.obj()];
            const Field f = ok == Kind::NorvComp ? Field::parentNorvComp : ok == Kind::PhysicalNet ? Field::parentPhysicalNet : Field::Count;
            if (f != Field::Count) {
                StagedRef& r = RefOf(sc, i, f);
                if (r.absent()) r = owner;
            }
        }
        const StagedRef dp = RefOf(sc, i, Field::designPin);
        if (dp.object()) {
            const uint32_t li = sc.listBases[i] + flatPins;
            if (!sc.lists[li].literal && !Contains(sc, li, dp)) AppendExtra(sc, li, dp);
        }
    }
    for (const RelationSpec& rel : Relations()) {
        CompleteSide(sc, rel.kindB, rel.fieldB, rel.kindA, rel.fieldA);
        if (rel.completion == Completion::Both) CompleteSide(sc, rel.kindA, rel.fieldA, rel.kindB, rel.fieldB);
    }
    for (const uint32_t i : sc.byKind[static_cast<size_t>(Kind::NorvPin)]) {
        StagedRef& dp = RefOf(sc, i, Field::designPin);
        if (!dp.absent()) continue;
        const ListVal& l = sc.lists[sc.listBases[i] + flatPins];
        if (l.count)
            dp = sc.entries[l.begin];
        else if (l.extraHead != kNone)
            dp = sc.extras[l.extraHead].ref;
    }
    FreeVector(sc.extraTails);
    FreeVector(m_offers);
    FreeVector(m_seen);
}

// ---------------------------------------------------------------------------------------------------------
// Writing references and lists to the records

void Loader::Commit(Scope& sc)
{
    SnapshotData& t = *sc.table;
    // what only completion needed goes before the records grow
    for (auto& v : sc.byKind) FreeVector(v);
    FreeVector(sc.parents);
    FreeVector(sc.placedIn);
    decltype(sc.bigLists)().swap(sc.bigLists);
    const uint32_t objects = static_cast<uint32_t>(sc.kinds.size());
    // References first, so that their staging is freed before the lists and the back entries take memory.
    for (uint32_t i = 0; i < objects; ++i) {
        ObjRecord& rec = t.records[i];
        t.UpdateWalkFilter(rec);   // its scalars were read straight into the fields
        const StagedRef owner = sc.owners[i];
        if (owner.given()) {
            rec.owner = sc.IndexOf(owner);
            if (owner.raw()) t.ReserveSerial(rec.owner);
        }
        const std::vector<FieldSlot>& refs = LayoutOf(sc.kinds[i]).refs;
        for (size_t k = 0; k < refs.size(); ++k) {
            const StagedRef r = sc.refs[sc.refBases[i] + k];
            if (r.given()) {
                const uint64_t index = sc.IndexOf(r);
                rec.slots[refs[k].pos] = static_cast<int64_t>(index);
                if (r.raw()) t.ReserveSerial(index);
            } else if (r.null()) {
                rec.slots[refs[k].pos] = 0;
            }
        }
    }
    FreeVector(sc.refs);
    FreeVector(sc.refBases);
    // Completion's entries grouped by list, each list's in the order they were appended: read in place below
    // rather than by following each list's chain through the whole array.
    std::vector<uint32_t> extraStart;
    const std::vector<StagedRef> extras = GroupStably<StagedRef>(
        sc.extras, sc.lists.size(), [](const ExtraEntry& x) { return x.list; }, [](const ExtraEntry& x) { return x.ref; },
        extraStart);
    FreeVector(sc.extras);
    // Back entries ("listed by", "owned by") are added per target in slot order, so that the records are visited
    // once, in order, rather than once per list entry at random: they are counted per target while the lists are
    // written, and placed by a second pass over the same sources in the same order (a stable counting sort by
    // target that holds no array of (target, key) pairs, a quarter of a gigabyte at a million pins).
    const size_t n = t.records.size();
    std::vector<uint32_t> start(n + 1, 0);
    auto forEachBack = [&](bool writeLists, auto&& back) {
        // records are created in staging order, so a staged object's slot is its number
        auto slotOf = [&](StagedRef r) { return r.raw() ? t.SlotOfIndex(sc.IndexOf(r)) : static_cast<int64_t>(r.obj()); };
        for (uint32_t i = 0; i < objects; ++i) {
            const StagedRef owner = sc.owners[i];
            if (owner.given()) {
                const int64_t os = slotOf(owner);
                if (os >= 0) back(static_cast<uint32_t>(os), (static_cast<uint64_t>(i) << 8) | static_cast<uint64_t>(Field::in));
            }
            for (const FieldSlot& f : LayoutOf(sc.kinds[i]).lists) {
                const uint32_t li = sc.listBases[i] + f.pos;
                const ListVal& l = sc.lists[li];
                const size_t count = l.count + (extraStart[li + 1] - extraStart[li]);
                if (count == 0) continue;
                RefList* out = nullptr;
                if (writeLists) {
                    out = &t.records[i].Lists()[f.pos];
                    out->reserve(count);
                }
                const uint64_t key = (static_cast<uint64_t>(i) << 8) | static_cast<uint64_t>(f.field);
                auto add = [&](StagedRef e) {
                    if (out) {
                        const uint64_t index = sc.IndexOf(e);
                        out->push_back(index);
                        if (e.raw()) t.ReserveSerial(index);
                    }
                    const int64_t ts = slotOf(e);
                    if (ts >= 0) back(static_cast<uint32_t>(ts), key);
                };
                for (uint32_t k = l.begin; k < l.begin + l.count; ++k) add(sc.entries[k]);
                for (uint32_t k = extraStart[li]; k < extraStart[li + 1]; ++k) add(extras[k]);
            }
        }
    };
    forEachBack(true, [&](uint32_t target, uint64_t) { ++start[target + 1]; });
    for (size_t slot = 0; slot < n; ++slot) start[slot + 1] += start[slot];
    std::vector<uint64_t> sorted(start[n]);
    // start[slot] serves as the target's cursor, which ends where the next target's keys start: moved back after
    forEachBack(false, [&](uint32_t target, uint64_t key) { sorted[start[target]++] = key; });
    for (size_t slot = n; slot > 0; --slot) start[slot] = start[slot - 1];
    start[0] = 0;
    // The staging is done with: freed before the back lists grow the store.
    {
        Scope released;
        released.table = sc.table;
        std::swap(sc, released);
    }
    for (size_t slot = 0; slot < n; ++slot) {
        if (start[slot] == start[slot + 1]) continue;
        auto& back = t.records[slot].back;
        back.reserve(back.size() + (start[slot + 1] - start[slot]));
        // a list that names a target twice adds its key once; its entries are adjacent here
        for (uint32_t k = start[slot]; k < start[slot + 1]; ++k)
            if (back.empty() || back.back() != sorted[k]) back.push_back(sorted[k]);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Scopes

std::shared_ptr<SnapshotData> Loader::LoadSnapshot(JVal node, uint32_t path, bool registered)
{
    Scope sc;
    m_scope = &sc;
    auto holder = std::make_shared<SnapshotData>();
    holder->session = &m_s;
    sc.table = holder.get();
    if (m_objects) {
        // one per object; untouched capacity costs nothing
        sc.objs.reserve(m_objects);
        sc.indexes.reserve(m_objects);
        sc.ids.Reserve(m_ids);
        sc.pendingIds.reserve(m_ids);
        m_objects = 0;
    }
    StageWithIds(sc, [&] { Stage(sc, node, 1ull << static_cast<unsigned>(Kind::Snapshot), "snapshots", kNone, Field::Count, path, false); });
    const uint32_t snapshotPath = PathOf(sc, 0);
    uint64_t fileNext = 0;
    std::string name;
    bool hasName = false;
    for (JVal item : JVal(&m_tree, sc.objs[0].node)) {
        if (item.key() == "nextSerial")
            fileNext = static_cast<uint64_t>(ExpectInt(item, 0, static_cast<int64_t>(kSerialMask), snapshotPath, item.key()));
        if (item.key() == "name") {
            name = ExpectString(item, snapshotPath, item.key());
            hasName = true;
        }
    }
    if (!hasName) Fail(snapshotPath, "missing required key \"name\"");
    if (registered && !m_snapshotNames.insert(name).second) Fail(snapshotPath, "name", -1, "duplicate snapshot name " + Quote(name));
    AssignIndexes(sc, fileNext);
    if (m_prefault) m_prefault->Close();
    sc.table->self = 0;   // the first object staged, whose record is the first
    // Per-object staging of references and lists.
    LayOut(sc);
    sc.entries.reserve(sc.objs.size() * 2);
    // the ids are kept with the records, each with its four-byte length: the text never regrows
    sc.table->fileIdChars.reserve(sc.table->fileIdChars.size() + sc.ids.TextBytes() + sc.ids.Count() * sizeof(uint32_t));
    const uint64_t count = sc.objs.size();
    // The id lookups of a large design miss the cache one by one: references by id are queued and looked up
    // a batch at a time, in the table's order: the references of the objects between two progress steps, or
    // this many when they name more. Batches this small already read the table in order (larger ones
    // measured no faster).
    constexpr size_t kDeferBatch = size_t{1} << 14;
    sc.deferIds = true;
    // the batches' buffers are taken before the records' own allocations start, and kept
    sc.deferred.reserve(kDeferBatch);
    m_lookups.reserve(kDeferBatch);
    m_hits.reserve(kDeferBatch);
    m_regionStart.reserve(sc.ids.Regions() + 1);
    try {
        for (uint32_t i = 0; i < count; ++i) {
            if ((i & (JsonFile::JsonTree::kProgressStep - 1)) == 0) {
                if (m_progress) m_progress(i, count);
                // Objects are read in document order and each reads only its own values: once the queued
                // references are looked up (their ids are read from the tree), what lies before this object is
                // done with, and its memory goes back while the records grow.
                ResolveDeferred(sc);
                if (m_lastRead) m_tree.ReleaseBefore(sc.objs[i].node);
            }
            ReadObject(sc, i);
            if (sc.deferred.size() >= kDeferBatch) ResolveDeferred(sc);
        }
    } catch (const LoadFailure&) {
        ResolveDeferred(sc);   // a reference queued before the error is reported instead
        throw;
    }
    ResolveDeferred(sc);
    // Completion and commit work on the staged objects alone and report no errors: what only reading needed
    // goes before the store grows to its full size.
    IdMap().Swap(sc.ids);
    if (m_lastRead) {
        m_tree.ReleaseValues();
        m_paths.Clear();
    }
    Settle(sc);
    if (m_complete) Complete(sc);
    Commit(sc);
    if (m_progress) m_progress(count, count);
    if (registered) m_s.snapshots.push_back(holder);
    return holder;
}

void Loader::LoadSession(JVal session)
{
    Scope sc;
    m_scope = &sc;
    sc.table = m_s.defs.get();
    uint64_t fileNext = 0;
    JVal definitions;
    const uint32_t path = m_paths.Add(PathTable::kRoot, "session");
    if (session.valid()) {
        Expect(session, JType::Object, 0, "session");
        RejectRepeatedKeys(session, path);
        for (JVal item : session) {
            const std::string_view k = item.key();
            JVal v = item;
            if (k == "address") {
                m_s.identity.address = ExpectString(v, path, k);
            } else if (k == "subClient") {
                m_s.identity.subClient = ExpectString(v, path, k);
            } else if (k == "nextSerial") {
                fileNext = static_cast<uint64_t>(ExpectInt(v, 0, static_cast<int64_t>(kSerialMask), path, k));
            } else if (k == "definitions") {
                Expect(v, JType::Array, path, k);
                definitions = v;
            } else if (k == "fail") {
                ReadFaults(v, path, k, m_s.sessionFaults);
            } else if (k == "failNext") {
                Expect(v, JType::Object, path, k);
                const uint32_t at = m_paths.Add(path, k);
                RejectRepeatedKeys(v, at);
                for (JVal f : v) {
                    const int n = static_cast<int>(ExpectInt(f, 0, INT32_MAX, at, f.key()));
                    const std::string op(f.key());
                    if (OpKeyFromName(op) < 0) Fail(at, f.key(), -1, "unknown operation " + Quote(op));
                    m_s.SetFailNext(op, n);
                }
            } else if (k == "countdown") {
                m_s.countdown = static_cast<uint64_t>(ExpectInt(v, 0, INT64_MAX, path, k));
            } else {
                Fail(path, k, -1, "unknown key " + Quote(k) + " for the session");
            }
        }
    }
    if (definitions.valid()) {
        const uint32_t listNode = m_paths.Add(path, "definitions");
        StageWithIds(sc, [&] {
            int64_t pos = 0;
            for (JVal e : definitions) {
                Stage(sc, e, 1ull << static_cast<unsigned>(Kind::ConstraintDef), "definitions", kNone, Field::Count,
                      m_paths.Add(listNode, {}, pos), false);
                ++pos;
            }
        });
    }
    // Backups' GIndex values share the session counter: their explicit serials are reserved first.
    std::vector<std::pair<uint64_t, uint32_t>> taken;
    for (uint32_t i = 0; i < sc.objs.size(); ++i)
        if (sc.objs[i].hasIndex) taken.emplace_back(sc.indexes[i] & kSerialMask, PathOf(sc, i));
    for (const auto& g : m_sessionExplicit) {
        for (const auto& t : taken)
            if (t.first == (g.first & kSerialMask))
                Fail(g.second, "gindex", -1, "gindex " + Quote(IndexText(g.first)) + " reuses a session serial");
    }
    AssignIndexes(sc, fileNext);
    for (const auto& g : m_sessionExplicit) m_s.defs->nextSerial = std::max(m_s.defs->nextSerial, (g.first & kSerialMask) + 1);
    LayOut(sc);
    // Definitions are read in order, so that a definition of type 0 sees the earlier ones.
    for (uint32_t i = 0; i < sc.objs.size(); ++i) {
        ReadObject(sc, i);
        m_s.definitions.push_back(sc.indexes[i]);
    }
    Settle(sc);
    Commit(sc);
}

void Loader::LoadBackups(JVal v, uint32_t rootNode)
{
    Expect(v, JType::Array, rootNode, "backups");
    const uint32_t listNode = m_paths.Add(rootNode, "backups");
    int64_t pos = 0;
    for (JVal e : v) {
        const uint32_t at = m_paths.Add(listNode, {}, pos++);
        Expect(e, JType::Object, at, {});
        RejectRepeatedKeys(e, at);
        StandIn::Backup b;
        bool hasGIndex = false;
        for (JVal item : e) {
            const std::string_view k = item.key();
            JVal val = item;
            if (k == "gindex") {
                const std::string_view text = ExpectString(val, at, k);
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
                Expect(val, JType::Array, at, k);
                const uint32_t snapList = m_paths.Add(at, k);
                int64_t sp = 0;
                for (JVal s : val) {
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

void Loader::Load(JVal doc)
{
    if (!doc.is_object()) Fail(0, std::string("expected an object, found ") + JsonTypeName(doc));
    RejectRepeatedKeys(doc, 0);
    JVal session, snapshots, backups;
    bool hasFormat = false, hasVersion = false;
    for (JVal item : doc) {
        const std::string_view k = item.key();
        JVal v = item;
        if (k == "format") {
            if (!v.is_string() || v.str() != "kravik-design")
                Fail(0, k, -1, "format must be \"kravik-design\"");
            hasFormat = true;
        } else if (k == "version") {
            if (!v.is_number_integer() || v.i64() != 1) Fail(0, k, -1, "unsupported version " + v.dump());
            hasVersion = true;
        } else if (k == "complete") {
            m_complete = ExpectBool(v, 0, k);
        } else if (k == "session") {
            session = v;
        } else if (k == "snapshots") {
            snapshots = Expect(v, JType::Array, 0, k);
        } else if (k == "backups") {
            backups = Expect(v, JType::Array, 0, k);
        } else {
            Fail(0, k, -1, "unknown key " + Quote(k) + " at the top level");
        }
    }
    if (!hasFormat) Fail(0, "missing required key \"format\"");
    if (!hasVersion) Fail(0, "missing required key \"version\"");
    if (!snapshots.valid()) Fail(0, "missing required key \"snapshots\"");
    // GIndex values given in the file are known before the session counter is assigned.
    if (backups.valid()) {
        int64_t pos = 0;
        for (JVal e : backups) {
            if (e.is_object()) {
                const JVal it = e.find("gindex");
                uint64_t g = 0;
                if (it.is_string() && JsonFile::ParseIndexText(it.str(), g))
                    m_sessionExplicit.emplace_back(g, m_paths.Add(m_paths.Add(PathTable::kRoot, "backups"), {}, pos));
            }
            ++pos;
        }
    }
    LoadSession(session);
    if (snapshots.size() != 1 || backups.valid()) m_objects = 0;
    const uint32_t listNode = m_paths.Add(PathTable::kRoot, "snapshots");
    // Taken out first: the last snapshot releases the tree's values, and no walk of it may follow.
    std::vector<JVal> items;
    for (JVal s : snapshots) items.push_back(s);
    for (size_t pos = 0; pos < items.size(); ++pos) {
        m_lastRead = pos + 1 == items.size() && !backups.valid();
        LoadSnapshot(items[pos], m_paths.Add(listNode, {}, static_cast<int64_t>(pos)), true);
    }
    if (backups.valid()) LoadBackups(backups, 0);
    m_s.modified = false;
}

}  // namespace

}  // namespace detail

namespace StandIn {

namespace {
// Files from this size on have the store's huge pages faulted in ahead while they are read (a smaller one's
// record table stays under the huge-page threshold).
constexpr uint64_t kPrefaultFrom = uint64_t{16} << 20;
// The record table and field blocks a generated design takes per JSON object read (about 94 bytes), with a margin:
// the helper faults in no more than this ahead of the objects read, whatever the file's texts weigh.
constexpr uint64_t kPrefaultPerObject = 112;
}  // namespace

std::unique_ptr<LumoPI> LoadSession(const std::string& path, LoadError* err)
{
    return LoadSession(path, err, LoadProgressHook());
}

std::unique_ptr<LumoPI> LoadSession(const std::string& path, LoadError* err, const LoadProgressHook& progress)
{
    using namespace detail;
    auto fail = [&](std::string where, std::string message) -> std::unique_ptr<LumoPI> {
        if (err) {
            err->path = std::move(where);
            err->message = std::move(message);
        }
        return nullptr;
    };
    LoadProgress report;
    auto Report = [&](LoadProgress::Phase phase, uint64_t done, uint64_t total) {
        if (!progress) return;
        report.phase = phase;
        report.done = done;
        report.total = total;
        progress(report);
    };
    std::string error;
    std::unique_ptr<HugePagePrefault> prefault;
    JsonFile::JsonTree doc;
    {
        // Read a piece at a time into one buffer as the tree is built: the file is never held whole.
        JsonFile::FileReader file;
        if (!file.Open(path, error)) return fail("", error);
        // The record table and the field blocks of a large design go on huge pages, which are slow to fault in
        // fresh: a helper faults them in while the file is read and staged. They take 1.1 to 1.4 bytes per byte
        // of a generated design: a region of 1.2 bytes per byte is mostly used up. A design of long texts or
        // one written with every relation on both sides needs far less per byte: the helper follows the objects
        // read, and the pages never cut go back once the records are made.
        if (file.Size() >= kPrefaultFrom) prefault = std::make_unique<HugePagePrefault>(static_cast<size_t>(file.Size() / 5 * 6));
        report.fileBytes = file.Size();
        Report(LoadProgress::Reading, 0, 0);
        const std::function<void(uint64_t)> onObjects = [&](uint64_t done) {
            if (prefault) prefault->Allow(static_cast<size_t>(done * kPrefaultPerObject));
            Report(LoadProgress::Reading, done, 0);
        };
        const JsonFile::JsonTree::Source read = [&](char* into, size_t room) { return file.Read(into, room); };
        const bool parsed = doc.Parse(read, file.Size(), error, progress || prefault ? &onObjects : nullptr);
        if (parsed && prefault) prefault->Allow(static_cast<size_t>(doc.ObjectCount() * kPrefaultPerObject));
        // A file that changed while it was read says so, whatever the part read looked like: after a syntax
        // error the rest is read too (and dropped), as a file read whole was.
        if (!parsed) {
            std::vector<char> rest(JsonFile::JsonTree::kChunk);
            while (file.Read(rest.data(), rest.size()) > 0) {
            }
        }
        if (file.Failed()) return fail("", file.Error());
        if (!parsed) return fail("", "invalid JSON: " + error);
    }
    std::unique_ptr<LumoPI> session = NewSession();
    try {
        Loader loader(*Access::DataOf(*session), doc, doc.ObjectCount(), doc.KeyUses("id"));
        loader.SetPrefault(prefault.get());
        if (progress)
            loader.SetProgress([&](uint64_t done, uint64_t total) { Report(LoadProgress::Building, done, total); });
        loader.Load(doc.Root());
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
