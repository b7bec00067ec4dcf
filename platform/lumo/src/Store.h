// In-memory store behind the design-database stand-in: kind and field tables, records, snapshots and the
// session. Internal to lumopi (the JSON loader/saver and the builder work on it directly).
//
// A snapshot holds its records in a vector addressed by slot; an index is resolved to a slot directly when the
// record stands at its serial's slot (as a loaded design's do), else through a dense serial table. Each record
// keeps its scalars, references and ordered lists in one field block, and the kind a filtered walk tests; a
// two-byte tag per slot repeats what a filtered walk needs, so that it passes over records unread; "back" entries
// record who lists a record and whom it owns, so deletion and renaming never scan the snapshot. Not thread-safe.
#pragma once

#include "LayerIndex.h"
#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <deque>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Lumo {
namespace detail {

using StandIn::Field;
using StandIn::Kind;

constexpr size_t kKindCount = static_cast<size_t>(Kind::Count);
constexpr size_t kFieldCount = static_cast<size_t>(Field::Count);
constexpr uint64_t kSerialMask = 0x00FFFFFFFFFFFFFFull;
constexpr int64_t kUnsetInt = INT64_MIN;      // optional scalar not set
constexpr uint64_t kUnsetRef = ~0ull;         // optional reference not set (Constraint.parent)
constexpr int32_t kPlaceholderType = 254;     // index type of unresolved noise-rule ends (serial = text + 1)

inline uint64_t MakeIndex(int32_t type, uint64_t serial) { return (static_cast<uint64_t>(type) << 56) | serial; }
inline int32_t TypeOf(uint64_t index) { return static_cast<int32_t>(index >> 56); }
constexpr uint64_t KindBit(Kind k) { return 1ull << static_cast<unsigned>(k); }
std::string IndexText(uint64_t index);
std::string FoldName(const std::string& s);   // ASCII lower case
bool ParseIndexText(const std::string& text, uint64_t& out);   // "17-0-49"

// ---------------------------------------------------------------------------------------------------------
// Kind and field tables (one table drives the builder, the loader and the saver).

enum class Cat : uint8_t {
    Int,       // integer scalar
    OptInt,    // integer scalar that may be absent (kUnsetInt)
    Bool,      // boolean scalar (0/1)
    OptBool,   // boolean that may be absent (kUnsetInt)
    Set,       // set of enumerator values 0..31, stored as the 32-bit word
    Text,      // string scalar
    Ref,       // single reference
    OptRef,    // single reference that may be absent (kUnsetRef); Constraint.parent
    HomeRef,   // single reference holding an owned object (inline definition in the file)
    List,      // ordered list of references
    HomeList   // ordered list holding owned objects (and, for pins, members)
};

struct FieldSpec {
    Kind kind;
    Field field;
    Cat cat;
    uint64_t targets;   // KindBit mask of allowed target kinds (references and lists); ~0 = any
    int64_t def;        // default of integer-like scalars
    const char* defText;  // default of text scalars
};

struct KindInfo {
    Kind kind;
    const char* name;
    int32_t type;
    bool norv;           // has constraints and inherits (Norv kinds other than 22 and 72)
    bool attributes;     // may carry attributes
    uint8_t nSlots;      // integer-like scalars and references
    uint8_t nTexts;
    uint8_t nLists;
    std::vector<const FieldSpec*> fields;   // in table order
};

struct SlotRef {
    Cat cat;
    uint8_t pos;   // position in the record's slot, text or list array
};

const KindInfo& InfoOf(Kind kind);
const SlotRef* SlotOf(Kind kind, Field field);     // null when the kind has no such field
const FieldSpec* SpecOf(Kind kind, Field field);   // null when the kind has no such field
bool IsListCat(Cat c);
bool IsRefCat(Cat c);

// The home list or home reference of child kind under owner kind; Field::Count when there is none.
Field HomeField(Kind owner, Kind child);

// Relations stored on both sides (besides owner/home).
enum class Completion : uint8_t { Both, BFromA };
struct RelationSpec {
    int id;            // the relation's number (2..15); two rows share one for the pair's two references
    Kind kindA;
    Field fieldA;
    Kind kindB;
    Field fieldB;
    Completion completion;
};
const std::vector<RelationSpec>& Relations();
// The relation that (kind, field) is a side of; sideA tells which side. Null when none. A pin's designPin and
// its flatPins are not listed: that is a rule of the pin alone (designPin is one of its flatPins).
const RelationSpec* RelationOf(Kind kind, Field field, bool& sideA);

// ---------------------------------------------------------------------------------------------------------
// Operation ids for counting and faults.

int32_t OpId(const std::string& name);        // plain operation; -1 when unknown
const std::string& OpName(int32_t op);
// Keys of counters and faults: op * 3 + variant (0 plain, 1 "<op>.IsValid", 2 "<op>.GetCount").
int32_t OpKeyFromName(const std::string& name);   // -1 when unknown
std::string OpKeyName(int32_t key);
size_t OpCount();

// ---------------------------------------------------------------------------------------------------------
// Records.

struct AttributeRec {
    std::string name;
    std::string value;
    int32_t type = 0;
    int32_t bit = -1;
};

// An attribute given by views of its texts (a file's, or a caller's list), as SnapshotData::SetAttributes takes it.
struct AttributeText {
    std::string_view name;
    std::string_view value;
    int32_t type = 0;
    int32_t bit = -1;
};

// The texts of a snapshot's attributes (names and values) and inherited names, each kept once: a design repeats a
// handful of attribute names and a few hundred definition names over a million records, which keep 4-byte ids.
// Texts are never dropped while the snapshot lives; an id stays valid, and a text's address stable, until then.
class TextPool {
public:
    static constexpr uint32_t kNone = UINT32_MAX;

    TextPool() = default;
    TextPool(const TextPool& o) { *this = o; }
    TextPool& operator=(const TextPool& o);
    TextPool(TextPool&&) = delete;
    TextPool& operator=(TextPool&&) = delete;

    uint32_t Intern(std::string_view text);
    const std::string& Text(uint32_t id) const { return m_texts[id]; }
    size_t size() const { return m_texts.size(); }

private:
    std::deque<std::string> m_texts;   // by id
    std::unordered_map<std::string_view, uint32_t> m_ids;   // views of m_texts
};

// An attribute as a record keeps it: ids of its name and value in the snapshot's TextPool.
struct AttrEntry {
    uint32_t name = 0;
    uint32_t value = 0;
    int32_t type = 0;
    int32_t bit = -1;
};

// A record's inherited names and attributes, in the order written, in 8 bytes: nothing; or one or two inherited
// names held in place (bit 0 set, then the count less one, then two 31-bit ids); or the address of one heap block
// holding the two counts, the inherited names' ids and the attributes.
class RecordExtras {
public:
    RecordExtras() = default;
    RecordExtras(const RecordExtras& o) { Copy(o); }
    RecordExtras(RecordExtras&& o) noexcept : m_bits(o.m_bits) { o.m_bits = 0; }
    RecordExtras& operator=(const RecordExtras& o)
    {
        if (this != &o) {
            Free();
            Copy(o);
        }
        return *this;
    }
    RecordExtras& operator=(RecordExtras&& o) noexcept
    {
        if (this != &o) {
            Free();
            m_bits = o.m_bits;
            o.m_bits = 0;
        }
        return *this;
    }
    ~RecordExtras() { Free(); }

    bool empty() const { return m_bits == 0; }
    size_t InheritCount() const
    {
        if (m_bits & kInline) return ((m_bits >> 1) & 1) + 1;
        return m_bits ? Block()[0] : 0;
    }
    uint32_t Inherit(size_t i) const
    {
        if (m_bits & kInline) return static_cast<uint32_t>((m_bits >> (i == 0 ? 2 : 33)) & kInlineIdMask);
        return Block()[2 + i];
    }
    size_t AttrCount() const { return (m_bits & kInline) || !m_bits ? 0 : Block()[1]; }
    const AttrEntry* Attrs() const
    {
        if ((m_bits & kInline) || !m_bits) return nullptr;
        return reinterpret_cast<const AttrEntry*>(Block() + 2 + Block()[0]);
    }
    AttrEntry* Attrs() { return const_cast<AttrEntry*>(std::as_const(*this).Attrs()); }
    // The heap block, when there is one (to start loading it into the cache).
    const void* HeapBlock() const { return (m_bits & kInline) ? nullptr : Block(); }

    // Replaces the whole content.
    void Assign(const uint32_t* inherits, size_t nInherits, const AttrEntry* attrs, size_t nAttrs);
    void SetInherits(const uint32_t* inherits, size_t n);
    void SetAttrs(const AttrEntry* attrs, size_t n);

private:
    static constexpr uintptr_t kInline = 1;
    static constexpr uint64_t kInlineIdMask = 0x7FFFFFFFu;

    const uint32_t* Block() const { return reinterpret_cast<const uint32_t*>(m_bits); }
    void Free()
    {
        if (m_bits && !(m_bits & kInline)) std::free(reinterpret_cast<void*>(m_bits));
        m_bits = 0;
    }
    void Copy(const RecordExtras& o);

    uintptr_t m_bits = 0;
};
static_assert(sizeof(uintptr_t) == 8, "in-place inherited names need 64-bit words");

// A constraint record's value as the store keeps it (SnapshotData::Value gives it back whole): the scalars in
// place, the text as an id in the snapshot's TextPool, the lists, which few values have, in a block of their own.
struct ConstraintLists {
    std::vector<int32_t> intList;
    std::vector<double> doubleList;
    std::vector<String> textList;
};
struct ConstraintPayload {
    double doubleValue = 0.0;
    int32_t kind = 0;
    int32_t intValue = 0;
    uint32_t text = TextPool::kNone;          // kNone: empty
    std::unique_ptr<ConstraintLists> lists;   // null: every list empty

    ConstraintPayload() = default;
    ConstraintPayload(const ConstraintPayload& o) { *this = o; }
    ConstraintPayload(ConstraintPayload&&) noexcept = default;
    ConstraintPayload& operator=(const ConstraintPayload& o)
    {
        if (this != &o) {
            doubleValue = o.doubleValue;
            kind = o.kind;
            intValue = o.intValue;
            text = o.text;
            lists = o.lists ? std::make_unique<ConstraintLists>(*o.lists) : nullptr;
        }
        return *this;
    }
    ConstraintPayload& operator=(ConstraintPayload&&) noexcept = default;
};

enum RecordFlag : uint8_t {
    kAlive = 1,
    kValid = 2,
    kEmptyIndex = 4,
    kListGiven = 8,    // PhysicalNet.pinsConnected was given (set by Append and ClearList of that list)
};

// A heap block of bytes, starting on a cache line, whose whole huge pages are advised to be backed by huge
// pages; freed with FreeHuge. Throws std::bad_alloc when memory is short.
void* AllocateHuge(size_t bytes);
// Frees a block of AllocateHuge (or of std::malloc: it is given to std::free).
void FreeHuge(void* p) noexcept;

// While one lives, AllocateHuge on its thread cuts blocks from one region of huge pages that a helper thread
// faults in ahead, front to back, while the thread does other work: a fresh huge page costs the kernel far more
// to fault in than its share of the work that fills it, and a helper can take that off the caller's time. Made
// before a large design is read, sized from the file, it is ready when the records are made. Blocks that do not
// fit take the ordinary way. The pages of the part never cut are given back when it is closed, and the region
// goes with the last of its blocks. The helper faults in only as far as Allow lets it, so that a region sized
// for the worst case costs no more than what the caller expects to use. Without the kernel's populate advice
// the helper stops at once (the region then fills as it is written). Made, used and closed on one thread;
// nested ones close inner first.
class HugePagePrefault {
public:
    explicit HugePagePrefault(size_t bytes);
    ~HugePagePrefault() { Close(); }
    HugePagePrefault(const HugePagePrefault&) = delete;
    HugePagePrefault& operator=(const HugePagePrefault&) = delete;

    // Lets the helper fault in the region's first `bytes` (at most its size); it never goes back.
    void Allow(size_t bytes);
    // Ends the cutting early (once the blocks it was made for are cut): the helper stops, the part never cut
    // goes back, and AllocateHuge takes the ordinary way again. Called by the destructor; once is enough.
    void Close();
    // Bytes cut from the region so far.
    size_t Used() const;

    struct Region;

private:
    friend void* AllocateHuge(size_t bytes);
    Region* m_region = nullptr;             // while it is open
    size_t m_used = 0;                      // Used() once closed
    HugePagePrefault* m_outer = nullptr;   // the one this thread had before (nested ones take turns)
};

// Field blocks of a snapshot's records, cut in creation order from large chunks on huge pages: the blocks of
// records made together stand together, and reaching one costs no page-table walk on top of the cache miss.
// Blocks are never given back one by one; the chunks go with the snapshot.
class FieldArena {
public:
    FieldArena() = default;
    FieldArena(const FieldArena&) = delete;
    FieldArena& operator=(const FieldArena&) = delete;
    ~FieldArena();
    void* Take(size_t bytes);   // 8-byte aligned

private:
    std::vector<void*> m_chunks;
    char* m_at = nullptr;
    size_t m_left = 0;
    size_t m_taken = 0;   // bytes of all chunks
};

// Allocator of the record table, which calls reach at random: a table of several megabytes goes on huge pages
// (AllocateHuge); a smaller one comes from the ordinary heap.
template <class T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr size_t kThreshold = size_t{4} << 20;

    HugePageAllocator() = default;
    template <class U>
    HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

    T* allocate(size_t n)
    {
        if (n * sizeof(T) < kThreshold) return std::allocator<T>().allocate(n);
        return static_cast<T*>(AllocateHuge(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept
    {
        if (n * sizeof(T) < kThreshold)
            std::allocator<T>().deallocate(p, n);
        else
            FreeHuge(p);
    }
    template <class U>
    bool operator==(const HugePageAllocator<U>&) const noexcept { return true; }
    template <class U>
    bool operator!=(const HugePageAllocator<U>&) const noexcept { return false; }
};

// An ordered list of references, 24 bytes in a field block: up to two elements stand in the list itself beside
// the size word, more in a heap buffer of their own. Most lists hold none, one or two elements, which a read
// then finds in the block it has just fetched; only longer ones cost a second, dependent fetch.
class RefList {
public:
    static constexpr size_t kInline = 2;

    RefList() = default;
    RefList(const RefList& o) { Assign(o.data(), o.size()); }
    RefList(RefList&& o) noexcept { Take(o); }
    RefList& operator=(const RefList& o)
    {
        if (this != &o) Assign(o.data(), o.size());
        return *this;
    }
    RefList& operator=(RefList&& o) noexcept
    {
        if (this != &o) {
            Release();
            Take(o);
        }
        return *this;
    }
    ~RefList() { Release(); }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    size_t capacity() const { return m_cap ? m_cap : kInline; }
    bool Spilled() const { return m_cap != 0; }
    const uint64_t* data() const { return m_cap ? m_heap : m_inline; }
    uint64_t* data() { return m_cap ? m_heap : m_inline; }
    const uint64_t* begin() const { return data(); }
    const uint64_t* end() const { return data() + m_size; }
    uint64_t* begin() { return data(); }
    uint64_t* end() { return data() + m_size; }
    uint64_t operator[](size_t i) const { return data()[i]; }
    uint64_t& operator[](size_t i) { return data()[i]; }

    void push_back(uint64_t v)
    {
        if (m_size == capacity()) Grow(m_size + 1);
        data()[m_size++] = v;
    }
    void reserve(size_t n)
    {
        if (n > capacity()) Grow(n);
    }
    uint64_t* insert(const uint64_t* at, uint64_t v);
    uint64_t* erase(const uint64_t* at) { return erase(at, at + 1); }
    uint64_t* erase(const uint64_t* first, const uint64_t* last);
    std::vector<uint64_t> Vector() const { return std::vector<uint64_t>(begin(), end()); }
    // Empties the list and gives its buffer back.
    void clear() { Release(); }
    void Assign(const uint64_t* p, size_t n);

    friend bool operator==(const RefList& a, const RefList& b)
    {
        return a.m_size == b.m_size && std::equal(a.begin(), a.end(), b.begin());
    }

private:
    void Grow(size_t atLeast);
    void Release()
    {
        if (m_cap) std::free(m_heap);
        m_cap = 0;
        m_size = 0;
    }
    void Take(RefList& o)
    {
        m_size = o.m_size;
        m_cap = o.m_cap;
        std::memcpy(m_inline, o.m_inline, sizeof m_inline);
        o.m_size = 0;
        o.m_cap = 0;
    }

    uint32_t m_size = 0;
    uint32_t m_cap = 0;   // 0: the elements stand inline; else the heap buffer's capacity
    union {
        uint64_t m_inline[kInline] = {};
        uint64_t* m_heap;
    };
};
static_assert(sizeof(RefList) == 24, "a list takes three words of its field block");

// Views of a record's field storage: slots[pos] and Lists()[pos], as the kind table's SlotRef::pos gives them.
struct SlotView {
    int64_t* p = nullptr;
    int64_t& operator[](size_t i) const { return p[i]; }
    explicit operator bool() const { return p != nullptr; }
};
struct ListView {
    RefList* p = nullptr;
    RefList& operator[](size_t i) const { return p[i]; }
    explicit operator bool() const { return p != nullptr; }
};

// A record's name: up to 15 bytes stand in the record itself, a longer one in a heap buffer of its own (the
// same split as a std::string's, in half its bytes).
class RecordName {
public:
    RecordName() = default;
    RecordName(const RecordName& o) { Assign(o.data(), o.size()); }
    RecordName(RecordName&& o) noexcept
    {
        std::memcpy(m_bytes, o.m_bytes, sizeof m_bytes);
        m_len = o.m_len;
        o.m_len = 0;
    }
    RecordName& operator=(const RecordName& o)
    {
        if (this != &o) Assign(o.data(), o.size());
        return *this;
    }
    RecordName& operator=(RecordName&& o) noexcept
    {
        if (this != &o) {
            Free();
            std::memcpy(m_bytes, o.m_bytes, sizeof m_bytes);
            m_len = o.m_len;
            o.m_len = 0;
        }
        return *this;
    }
    RecordName& operator=(std::string_view s)
    {
        Assign(s.data(), s.size());
        return *this;
    }
    RecordName& operator=(const std::string& s) { return *this = std::string_view(s); }
    ~RecordName() { Free(); }

    const char* data() const { return m_len == kHeap ? HeapData() : m_bytes; }
    size_t size() const { return m_len == kHeap ? HeapSize() : m_len; }
    bool empty() const { return size() == 0; }
    std::string_view view() const { return std::string_view(data(), size()); }
    std::string str() const { return std::string(data(), size()); }
    operator std::string() const { return str(); }
    operator std::string_view() const { return view(); }

    friend bool operator==(const RecordName& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(std::string_view a, const RecordName& b) { return a == b.view(); }
    friend bool operator!=(const RecordName& a, std::string_view b) { return a.view() != b; }
    friend bool operator==(const RecordName& a, const std::string& b) { return a.view() == b; }
    friend bool operator!=(const RecordName& a, const std::string& b) { return a.view() != b; }
    friend bool operator==(const RecordName& a, const char* b) { return a.view() == b; }
    friend bool operator==(const RecordName& a, const RecordName& b) { return a.view() == b.view(); }

private:
    static constexpr uint8_t kHeap = 0xFF;   // m_bytes holds the buffer's address and the length
    static constexpr size_t kInline = 15;

    char* HeapData() const
    {
        char* p;
        std::memcpy(&p, m_bytes, sizeof p);
        return p;
    }
    size_t HeapSize() const
    {
        uint32_t n;
        std::memcpy(&n, m_bytes + sizeof(char*), sizeof n);
        return n;
    }
    void Free()
    {
        if (m_len == kHeap) std::free(HeapData());
        m_len = 0;
    }
    void Assign(const char* text, size_t n);

    char m_bytes[kInline] = {};
    uint8_t m_len = 0;   // 0..15 inline, kHeap for a buffer
};

// The back entries of a record: an 8-byte handle on a heap block holding the count and capacity, then the
// entries (most records have one or two).
class BackList {
public:
    BackList() = default;
    BackList(const BackList& o) { *this = o; }
    BackList(BackList&& o) noexcept : m_block(o.m_block) { o.m_block = nullptr; }
    BackList& operator=(const BackList& o);
    BackList& operator=(BackList&& o) noexcept
    {
        if (this != &o) {
            std::free(m_block);
            m_block = o.m_block;
            o.m_block = nullptr;
        }
        return *this;
    }
    ~BackList() { std::free(m_block); }

    size_t size() const { return m_block ? static_cast<uint32_t>(m_block[0]) : 0; }
    bool empty() const { return size() == 0; }
    const uint64_t* data() const { return m_block ? m_block + 1 : nullptr; }
    const uint64_t* begin() const { return data(); }
    const uint64_t* end() const { return data() + size(); }
    uint64_t back() const { return m_block[size()]; }
    void push_back(uint64_t key)
    {
        const size_t n = size();
        if (n == Capacity()) Grow(n + 1);
        m_block[n + 1] = key;
        SetSize(n + 1);
    }
    void reserve(size_t n)
    {
        if (n > Capacity()) Grow(n);
    }
    // Removes every entry equal to key.
    void Remove(uint64_t key);

private:
    size_t Capacity() const { return m_block ? static_cast<size_t>(m_block[0] >> 32) : 0; }
    void SetSize(size_t n) { m_block[0] = (m_block[0] & ~uint64_t{0xFFFFFFFF}) | n; }
    void Grow(size_t atLeast);

    uint64_t* m_block = nullptr;   // [0]: capacity << 32 | count; then the entries
};

// A record, one cache line (records are 64-aligned): the fields that resolving a handle and reading a field
// touch (index, owner, field block, kind, flags, walk filter, payload) in the first 32 bytes, then the name
// (inline when short), the back entries and the extras.
struct alignas(64) ObjRecord {
    uint64_t index = 0;
    uint64_t owner = 0;
    SlotView slots;                                   // the field block: integer-like scalars and references,
                                                      // then the ordered lists (Lists())
    Kind kind = Kind::None;
    uint8_t flags = kAlive | kValid;
    int8_t walkFilter = -1;                           // pins and pin pairs: the kind a filtered walk tests (0..31),
                                                      // -1 for none; kept by SnapshotData::UpdateWalkFilter
    uint8_t listsAt = 0;                              // the lists start after this many slots of the block
    uint32_t payload = 0;                             // constraint value: position in the snapshot's payloads + 1
    RecordName name;
    BackList back;                                    // (slot << 8) | field: lists me in field, or owned by me (Field::in)
    RecordExtras extras;                              // inherited names and attributes (SnapshotData::pool)

    ObjRecord() = default;
    ObjRecord(ObjRecord&& o) noexcept;
    ObjRecord& operator=(ObjRecord&& o) noexcept;
    ObjRecord(const ObjRecord&) = delete;
    ObjRecord& operator=(const ObjRecord&) = delete;
    ~ObjRecord();

    // One block for the kind's slots and lists (kind must be set), cut from the table's arena.
    void AllocateFields(FieldArena& arena);
    // The ordered lists of the field block (null when the kind has no fields).
    ListView Lists() const
    {
        return ListView{slots.p ? reinterpret_cast<RefList*>(slots.p + listsAt) : nullptr};
    }
    bool Alive() const { return flags & kAlive; }
    bool Valid() const { return (flags & (kAlive | kValid)) == (kAlive | kValid); }

private:
    void FreeFields();
};
static_assert(sizeof(ObjRecord) == 64, "a record fills one cache line");

// Starts loading a record's field block into the cache, for a handle on it that the caller reads next.
inline void PrefetchFields(const ObjRecord& r)
{
    if (r.slots) __builtin_prefetch(r.slots.p);
}

struct FaultEntry {
    std::string op;
    int32_t key = -1;   // OpKeyFromName(op)
    int count = -1;     // -1: every call
};

// The armed faults of a session (StandIn::Faults::Save and Restore).
struct FaultState {
    uint64_t countdown = 0;
    std::map<std::string, int> failNext;
    std::vector<FaultEntry> sessionFaults;
    std::vector<std::unordered_map<uint64_t, std::vector<FaultEntry>>> snapshotFaults;   // session order
    std::unordered_map<uint64_t, std::vector<FaultEntry>> definitionFaults;
    size_t backups = 0;   // backups of the session when the state was saved
};

struct ClientRec {
    std::string name;
    std::vector<std::string> subClients;
};

struct LockRec {
    uint64_t object = 0;
    std::string address;
    std::string subClient;
    bool deep = false;
    bool own = false;
    bool declared = false;
    uint32_t count = 0;
};

// A record's compact tag, kept by slot beside the record table so that a filtered walk or a liveness test reads
// two bytes instead of the record: the index's type and whether the record stands at its serial's slot (then
// the tag alone tells that a slot holds an index), whether it is alive, and the value a filtered walk tests.
enum SlotTag : uint16_t {
    kTagType = 0x00FF,       // TypeOf(index), when kTagAtSerial
    kTagFilter = 0x3F00,     // the filtered walks' value + 1 (1..32); 0: passes no filter
    kTagAlive = 0x4000,
    kTagAtSerial = 0x8000,   // the record's serial is its slot + 1
};
constexpr unsigned kTagFilterShift = 8;

// True when a tag's value passes a walk's filter (a bit per value 0..31).
inline bool TagPasses(uint16_t tag, uint32_t filter)
{
    const unsigned v = (tag & kTagFilter) >> kTagFilterShift;
    return v != 0 && ((filter >> (v - 1)) & 1u);
}

struct NameIndex {
    // ASCII-folded name -> (append sequence, slot) of every occurrence in the list
    std::unordered_map<std::string, std::vector<std::pair<uint64_t, uint32_t>>> byFolded;
    uint64_t nextSeq = 0;
};

struct SessionData;

// One snapshot: its record table and its snapshot-level data. Session definitions use a table of the same
// shape without a snapshot record.
struct SnapshotData {
    SessionData* session = nullptr;
    FieldArena fieldArena;                    // field blocks of the records (outlives records)
    std::vector<ObjRecord, HugePageAllocator<ObjRecord>> records;   // by slot
    std::vector<uint16_t, HugePageAllocator<uint16_t>> tags;   // by slot, kept by RefreshTag
    std::vector<uint32_t> bySerial;           // serial -> slot + 1
    std::unordered_map<uint64_t, uint32_t> sparse;   // index -> slot, for serials outside bySerial
    uint64_t nextSerial = 1;
    uint32_t self = UINT32_MAX;               // slot of the snapshot record
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<ClientRec> clients;
    std::vector<LockRec> locks;               // declared entries first, then acquisitions
    // Adds a lock entry declared by the file or a test; own when it carries the session's identity.
    void DeclareLock(uint64_t object, const std::string& address, const std::string& subClient, bool deep);
    std::unordered_map<uint64_t, std::vector<FaultEntry>> faults;   // per-object faults by index
    std::vector<std::string> placeholders;    // texts of unresolved noise-rule ends
    std::unordered_map<uint64_t, std::string> texts;   // text scalars that are not empty, by (slot << 8 | field)
    std::deque<ConstraintPayload> payloads;   // values of the constraint records (ObjRecord::payload)
    std::vector<uint32_t> fileIdAt;           // loaded ids by slot: position in fileIdChars + 1, 0 for none
    std::string fileIdChars;                  // the ids, each a four-byte length and its bytes
    std::unordered_map<uint64_t, NameIndex> nameIndexes;   // (slot << 8 | field) -> index of that list
    std::unordered_map<uint64_t, LayerIndex> layerIndexes;   // (slot << 8 | field) -> layer rules by number
    TextPool pool;                            // texts of the records' inherited names and attributes

    IterState* borrowers = nullptr;           // walks over lists of this table that borrow the list itself

    SnapshotData() = default;
    ~SnapshotData();
    SnapshotData(const SnapshotData&) = delete;
    SnapshotData& operator=(const SnapshotData&) = delete;
    std::shared_ptr<SnapshotData> Clone() const;   // deep copy (name and layer indexes are not copied)

    // Lookup. Slot of a record with exactly this index, or -1. Records made in serial order (a loaded design
    // without explicit indexes) stand at slot serial - 1: one read instead of two dependent ones. Indexes are
    // unique among records, so a match is the answer.
    int64_t SlotOfIndex(uint64_t index) const
    {
        const uint64_t serial = index & kSerialMask;
        if (serial - 1 < records.size() && records[serial - 1].index == index) return static_cast<int64_t>(serial - 1);
        return SlotAwayFromSerial(index);
    }
    // Starts loading the record of an index that stands at its serial's slot into the cache (a hint only).
    void Prefetch(uint64_t index) const
    {
        const uint64_t serial = index & kSerialMask;
        if (serial - 1 >= records.size()) return;
        __builtin_prefetch(&records[serial - 1]);
    }
    // Starts loading the tag of an index's record (a hint only).
    void PrefetchTag(uint64_t index) const
    {
        const uint64_t serial = index & kSerialMask;
        if (serial - 1 < tags.size()) __builtin_prefetch(&tags[serial - 1]);
    }
    // The tag of the record at the index's serial's slot when that record has exactly this index; 0 when the
    // tags cannot tell (no such record, or it stands elsewhere: SlotOfIndex finds it).
    uint16_t TagOf(uint64_t index) const
    {
        const uint64_t serial = index & kSerialMask;
        if (serial - 1 >= tags.size()) return 0;
        const uint16_t tag = tags[serial - 1];
        return (tag & kTagAtSerial) && (tag & kTagType) == (index >> 56) ? tag : 0;
    }
    const ObjRecord* Find(uint64_t index) const
    {
        const int64_t s = SlotOfIndex(index);
        return s < 0 ? nullptr : &records[static_cast<size_t>(s)];
    }
    const ObjRecord* FindLive(uint64_t index) const
    {
        const ObjRecord* r = Find(index);
        return (r && r->Alive()) ? r : nullptr;
    }
    ObjRecord* Find(uint64_t index) { return const_cast<ObjRecord*>(std::as_const(*this).Find(index)); }
    ObjRecord* FindLive(uint64_t index) { return const_cast<ObjRecord*>(std::as_const(*this).FindLive(index)); }
    ObjRecord& At(uint32_t slot) { return records[slot]; }
    const ObjRecord& At(uint32_t slot) const { return records[slot]; }
    std::string Name() const;
    uint64_t Index() const;

    // Creation. With index 0 the next serial is taken; an explicit index must be unused and have the kind's
    // type (returns UINT32_MAX otherwise). Scalars get their defaults.
    uint32_t Create(Kind kind, uint64_t index = 0);
    // Raises the serial counter past this index's serial (for raw references and explicit indexes).
    void ReserveSerial(uint64_t index);

    // Recomputes r.walkFilter from the fields it derives from (filterType, else norvType or pairType), and the
    // record's tag, so that a filtered walk reads the tag alone. Every write of those fields calls it.
    void UpdateWalkFilter(ObjRecord& r);
    static bool HasWalkFilter(Kind kind) { return kind == Kind::NorvPin || kind == Kind::PinPair; }
    // The value a filtered walk tests: the cached walk filter of pins and pin pairs, else the kind's type.
    static int64_t FilterValue(const ObjRecord& r);
    // Recomputes the tag of a slot from its record; every change of a record's index, kind, liveness or walk
    // filter calls it.
    void RefreshTag(uint32_t slot);

    // Field access. Out-of-kind fields read as defaults and ignore writes.
    int64_t GetInt(const ObjRecord& r, Field f) const;
    void SetInt(uint32_t slot, Field f, int64_t value);
    const std::string& GetText(const ObjRecord& r, Field f) const;
    void SetText(uint32_t slot, Field f, const std::string& value);
    uint64_t GetRef(const ObjRecord& r, Field f) const;       // Field::in gives the owner
    void SetRef(uint32_t slot, Field f, uint64_t target);     // one side; Field::in sets the owner
    const RefList& GetList(const ObjRecord& r, Field f) const;
    void Append(uint32_t slot, Field f, uint64_t target);     // one side, duplicates allowed
    bool Contains(const ObjRecord& r, Field f, uint64_t target) const;
    void RemoveFromList(uint32_t slot, Field f, uint64_t target);   // every occurrence
    void ClearList(uint32_t slot, Field f);
    void SetName(uint32_t slot, const std::string& name);

    // Inherited names and attributes (ObjRecord::extras), in the order written; duplicates are kept.
    std::vector<std::string> Inherits(const ObjRecord& r) const;
    bool InheritsName(const ObjRecord& r, std::string_view name) const;
    void AddInherits(ObjRecord& r, const std::vector<std::string_view>& names);   // after those it has
    std::vector<AttributeRec> Attributes(const ObjRecord& r) const;
    void SetAttributes(ObjRecord& r, const std::vector<AttributeText>& attrs);   // replaces them all
    // The value of the first attribute with this name, type and bit; null when there is none.
    const std::string* FindAttribute(const ObjRecord& r, std::string_view name, int32_t type, int32_t bit) const;
    // Gives the first attribute of this name (and of this type and bit, unless byName) the value, else appends
    // the attribute.
    void PutAttribute(ObjRecord& r, std::string_view name, std::string_view value, int32_t type, int32_t bit,
                      bool byName);

    // Both sides of a relation (or the owner and its home list for Field::in). a is the record whose field
    // is given; an empty target clears a reference side.
    void Link(uint32_t a, Field f, uint64_t target);
    // Sets the owner and places the record in the owner's home list (or home reference) when absent.
    void Place(uint32_t slot, uint64_t owner);

    // Deletion: collects the object, what it owns and the association cascades.
    std::vector<uint32_t> CollectDeletion(uint32_t slot) const;
    // Marks the collected records dead, drops their lock entries and removes them from every list.
    void Erase(const std::vector<uint32_t>& collected);

    // The file-local id a record was loaded with ("" when none), kept in a packed table by slot.
    void SetFileId(uint32_t slot, const std::string& id);
    std::string FileId(uint32_t slot) const;

    // Lends a stored list of this table to a walk, which then reads its elements in place (the list is given
    // by its elements: a field block never moves, and neither do a list's elements while it stays unchanged).
    void Lend(IterState& walk, const uint64_t* elements, size_t count);
    // Before a list changes: every walk borrowing it gets a copy of it as it stands and leaves the chain.
    void BeforeListChange(const RefList& list)
    {
        if (borrowers) Unlend(list);
    }

    // Name index of a list, built on first use and kept up to date afterwards.
    const NameIndex& IndexOfList(uint32_t slot, Field f);
    // The records of kind in a list by their layerIndex, built on the first look-up and kept up to date
    // afterwards; null for a list short enough to scan.
    const LayerIndex* LayerIndexOfList(uint32_t slot, Field f, Kind kind);
    static constexpr size_t kLayerIndexMinimum = 32;   // shorter lists are scanned

    // Constraint values.
    const ConstraintPayload* Payload(const ObjRecord& r) const;
    ConstraintData Value(const ConstraintPayload& p) const;
    // Gives the record (a constraint or a definition) the value.
    void SetValue(uint32_t slot, const ConstraintData& value);

private:
    int64_t SlotAwayFromSerial(uint64_t index) const;   // SlotOfIndex of a record not at its serial's slot
    void Unlend(const RefList& list);
    // The indexes of a list that is gone with its (erased) holder, or emptied.
    void DropIndexes(uint64_t key);
};

struct Acquisition {
    std::atomic<int> refs{1};
    bool live = true;
    std::weak_ptr<SnapshotData> snapshot;
    uint64_t object = 0;
    bool deep = false;
};

struct Counters {
    std::vector<uint64_t> byKey;
    uint64_t total = 0;
};

struct SessionData {
    StandIn::SessionIdentity identity;
    std::vector<std::shared_ptr<SnapshotData>> snapshots;   // session order
    SnapshotData* current = nullptr;                        // last GetSnapshotByName, else the first
    std::shared_ptr<SnapshotData> defs;                     // session definitions (type 72); its nextSerial is the session counter
    std::vector<uint64_t> definitions;                      // definition indexes in order
    // definitions by name, in order; covers the first definitionsIndexed entries of definitions
    mutable std::unordered_map<std::string, std::vector<uint64_t>> definitionsByName;
    mutable size_t definitionsIndexed = 0;
    std::vector<StandIn::Backup> backups;
    std::vector<StandIn::Record> calls;
    bool modified = false;

    // faults
    uint64_t countdown = 0;
    std::map<std::string, int> failNext;        // by operation name
    std::vector<int> failNextByKey;             // mirror of failNext by op key
    std::vector<FaultEntry> sessionFaults;      // LumoPI operations
    std::vector<StandIn::Faults::FiredEntry> fired;
    Counters counters;

    StandIn::Faults faultsApi{this};
    StandIn::CallCounts countsApi{this};
    StandIn::Store storeApi{this};

    SessionData();
    SnapshotData* CurrentSnapshot();
    SnapshotData* SnapshotByName(const std::string& name);
    // Adds an empty snapshot with its snapshot record (explicit index when non-zero).
    SnapshotData* AddSnapshot(const std::string& name, uint64_t index = 0);
    // Adds a session definition; the value is taken as given (kind 0 becomes 3).
    uint64_t AddDefinition(const std::string& name, const ConstraintData& value, uint64_t index = 0);
    const ObjRecord* FindDefinition(const std::string& name) const;   // first live of that exact name
    // Forgets the names of the definitions (after one was renamed); the next look-up reindexes them.
    void InvalidateDefinitionNames() const;
    void SetFailNext(const std::string& op, int n);
};

// Parses text into kind (1 int, 2 double, 4/5/6 lists, anything else text); false when it does not parse.
bool ParseConstraintText(const std::string& text, int32_t kind, ConstraintData& out);
// Resolves a value of kind 0: the kind of the session definition of that name, else text.
bool ResolveDefaultKind(const SessionData& s, const std::string& name, ConstraintData& value);

}  // namespace detail
}  // namespace Lumo
