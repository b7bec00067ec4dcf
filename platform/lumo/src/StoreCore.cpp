// Store primitives: record creation and lookup, field access with back references, relations, deletion and
// list name indexes.
#include "Core.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <unordered_set>

#include <sys/mman.h>
#include <unistd.h>

namespace Lumo {
namespace detail {

namespace {

constexpr uint64_t kMaxDenseSerial = 1ull << 31;

uint64_t BackKey(uint32_t slot, Field f) { return (static_cast<uint64_t>(slot) << 8) | static_cast<uint64_t>(f); }
uint32_t BackSlot(uint64_t key) { return static_cast<uint32_t>(key >> 8); }
Field BackField(uint64_t key) { return static_cast<Field>(key & 0xFF); }

void RemoveBack(ObjRecord& r, uint64_t key) { r.back.Remove(key); }

const RefList& EmptyList()
{
    static const RefList e{};
    return e;
}

const std::string& EmptyText()
{
    static const std::string e;
    return e;
}

// The slots of a new record of each kind: scalars at their defaults, references empty (an optional one
// unset). Text scalars default to "" and live in the snapshot's text table; lists are not slots.
const std::vector<int64_t>& DefaultSlots(Kind kind)
{
    static const std::vector<std::vector<int64_t>> table = [] {
        std::vector<std::vector<int64_t>> t(kKindCount);
        for (size_t k = 0; k < kKindCount; ++k) {
            const KindInfo& info = InfoOf(static_cast<Kind>(k));
            t[k].assign(info.nSlots, 0);
            for (const FieldSpec* f : info.fields) {
                const SlotRef* sr = SlotOf(static_cast<Kind>(k), f->field);
                if (f->cat == Cat::Text || IsListCat(f->cat)) continue;
                t[k][sr->pos] = f->cat == Cat::OptRef ? static_cast<int64_t>(kUnsetRef) : IsRefCat(f->cat) ? 0 : f->def;
            }
        }
        return t;
    }();
    return table[static_cast<size_t>(kind)];
}

// A set of slots of one table: hashed while small, a bit per record once it holds more than a thousandth of
// them. A deletion of a large part of a design then neither allocates a node per record nor walks them in
// hash order, and a small one costs no bit per record.
class SlotSet
{
public:
    explicit SlotSet(size_t records) : m_records(records) {}

    // False when the slot was already in the set.
    bool Insert(uint32_t slot)
    {
        if (!m_bits.empty()) {
            uint64_t& word = m_bits[slot >> 6];
            const uint64_t bit = 1ull << (slot & 63);
            if (word & bit) return false;
            word |= bit;
            return true;
        }
        if (!m_small.insert(slot).second) return false;
        if (m_small.size() > std::max<size_t>(256, m_records / 1024)) {
            m_bits.assign(m_records / 64 + 1, 0);
            for (uint32_t s : m_small) m_bits[s >> 6] |= 1ull << (s & 63);
            m_small = std::unordered_set<uint32_t>();
        }
        return true;
    }

    bool Contains(uint32_t slot) const
    {
        if (!m_bits.empty()) return slot >> 6 < m_bits.size() && ((m_bits[slot >> 6] >> (slot & 63)) & 1u);
        return m_small.count(slot) != 0;
    }

    // The slots in increasing order when the set holds bits (records are then visited in memory order),
    // else those given, in their order.
    template <class Visit>
    void ForEach(const std::vector<uint32_t>& given, Visit&& visit) const
    {
        if (m_bits.empty()) {
            for (uint32_t s : given) visit(s);
            return;
        }
        for (size_t w = 0; w < m_bits.size(); ++w)
            for (uint64_t bits = m_bits[w]; bits; bits &= bits - 1)
                visit(static_cast<uint32_t>(w * 64 + static_cast<size_t>(__builtin_ctzll(bits))));
    }

private:
    size_t m_records;
    std::unordered_set<uint32_t> m_small;
    std::vector<uint64_t> m_bits;
};

}  // namespace

std::string FoldName(const std::string& s)
{
    std::string r(s);
    for (char& ch : r)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return r;
}

void RecordName::Assign(const char* text, size_t n)
{
    if (n <= kInline) {
        // text may be this name's own buffer: copy before freeing it
        char bytes[kInline];
        std::memcpy(bytes, text, n);
        Free();
        std::memcpy(m_bytes, bytes, n);
        m_len = static_cast<uint8_t>(n);
        return;
    }
    // the length is kept in four bytes
    if (n > UINT32_MAX) throw std::length_error("name too long");
    char* p = static_cast<char*>(std::malloc(n));
    if (!p) throw std::bad_alloc();
    std::memcpy(p, text, n);
    Free();
    const uint32_t len = static_cast<uint32_t>(n);
    std::memcpy(m_bytes, &p, sizeof p);
    std::memcpy(m_bytes + sizeof p, &len, sizeof len);
    m_len = kHeap;
}

BackList& BackList::operator=(const BackList& o)
{
    if (this == &o) return *this;
    if (o.empty()) {
        if (m_block) SetSize(0);
        return *this;
    }
    if (Capacity() < o.size()) {
        std::free(m_block);
        m_block = nullptr;
        Grow(o.size());
    }
    std::memcpy(m_block + 1, o.data(), o.size() * sizeof(uint64_t));
    SetSize(o.size());
    return *this;
}

void BackList::Grow(size_t atLeast)
{
    const size_t cap = std::max<size_t>({atLeast, 2 * Capacity(), 1});
    if (cap > UINT32_MAX) throw std::bad_alloc();
    const size_t n = size();
    auto* p = static_cast<uint64_t*>(std::realloc(m_block, (cap + 1) * sizeof(uint64_t)));
    if (!p) throw std::bad_alloc();
    m_block = p;
    m_block[0] = (static_cast<uint64_t>(cap) << 32) | n;
}

void BackList::Remove(uint64_t key)
{
    const size_t n = size();
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i)
        if (m_block[i + 1] != key) m_block[++kept] = m_block[i + 1];
    if (kept != n) SetSize(kept);
}

void RefList::Grow(size_t atLeast)
{
    const size_t cap = std::max<size_t>(atLeast, 2 * capacity());
    if (cap > UINT32_MAX) throw std::bad_alloc();
    auto* p = static_cast<uint64_t*>(m_cap ? std::realloc(m_heap, cap * sizeof(uint64_t))
                                           : std::malloc(cap * sizeof(uint64_t)));
    if (!p) throw std::bad_alloc();
    if (!m_cap) std::memcpy(p, m_inline, m_size * sizeof(uint64_t));
    m_heap = p;
    m_cap = static_cast<uint32_t>(cap);
}

void RefList::Assign(const uint64_t* p, size_t n)
{
    if (n > capacity()) {
        // p is another list's: this list's own elements are never more than fit in place
        Release();
        Grow(n);
    }
    std::memmove(data(), p, n * sizeof(uint64_t));
    m_size = static_cast<uint32_t>(n);
}

uint64_t* RefList::insert(const uint64_t* at, uint64_t v)
{
    const size_t i = static_cast<size_t>(at - data());
    if (m_size == capacity()) Grow(m_size + 1);
    uint64_t* d = data();
    std::memmove(d + i + 1, d + i, (m_size - i) * sizeof(uint64_t));
    d[i] = v;
    ++m_size;
    return d + i;
}

uint64_t* RefList::erase(const uint64_t* first, const uint64_t* last)
{
    uint64_t* d = data();
    const size_t i = static_cast<size_t>(first - d), j = static_cast<size_t>(last - d);
    std::memmove(d + i, d + j, (m_size - j) * sizeof(uint64_t));
    m_size -= static_cast<uint32_t>(j - i);
    return d + i;
}

ObjRecord::ObjRecord(ObjRecord&& o) noexcept
    : index(o.index), owner(o.owner), slots(o.slots), kind(o.kind), flags(o.flags), walkFilter(o.walkFilter),
      listsAt(o.listsAt), payload(o.payload), name(std::move(o.name)), back(std::move(o.back)),
      extras(std::move(o.extras))
{
    o.slots.p = nullptr;
}

ObjRecord& ObjRecord::operator=(ObjRecord&& o) noexcept
{
    if (this != &o) {
        FreeFields();
        index = o.index;
        owner = o.owner;
        slots = o.slots;
        kind = o.kind;
        flags = o.flags;
        walkFilter = o.walkFilter;
        listsAt = o.listsAt;
        payload = o.payload;
        name = std::move(o.name);
        back = std::move(o.back);
        extras = std::move(o.extras);
        o.slots.p = nullptr;
    }
    return *this;
}

ObjRecord::~ObjRecord() { FreeFields(); }

void ObjRecord::AllocateFields(FieldArena& arena)
{
    FreeFields();
    const KindInfo& info = InfoOf(kind);
    listsAt = info.nSlots;
    const size_t bytes = info.nSlots * sizeof(int64_t) + info.nLists * sizeof(RefList);
    if (bytes == 0) return;
    slots.p = static_cast<int64_t*>(arena.Take(bytes));
    RefList* lists = Lists().p;
    for (uint8_t l = 0; l < info.nLists; ++l) new (lists + l) RefList();
}

// The block itself goes with the arena.
void ObjRecord::FreeFields()
{
    if (!slots.p) return;
    RefList* lists = Lists().p;
    const uint8_t n = InfoOf(kind).nLists;
    for (uint8_t l = 0; l < n; ++l) lists[l].~RefList();
    slots.p = nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// Inherited names and attributes

TextPool& TextPool::operator=(const TextPool& o)
{
    if (this == &o) return *this;
    m_ids.clear();
    m_texts = o.m_texts;
    m_ids.reserve(m_texts.size());
    for (size_t i = 0; i < m_texts.size(); ++i) m_ids.emplace(m_texts[i], static_cast<uint32_t>(i));
    return *this;
}

uint32_t TextPool::Intern(std::string_view text)
{
    auto it = m_ids.find(text);
    if (it != m_ids.end()) return it->second;
    if (m_texts.size() >= kNone) throw std::length_error("too many distinct attribute and inherited texts");
    const uint32_t id = static_cast<uint32_t>(m_texts.size());
    m_texts.emplace_back(text);
    m_ids.emplace(m_texts.back(), id);
    return id;
}

void RecordExtras::Assign(const uint32_t* inherits, size_t nInherits, const AttrEntry* attrs, size_t nAttrs)
{
    uintptr_t bits = 0;
    if (nAttrs == 0 && (nInherits == 1 || nInherits == 2) && inherits[0] <= kInlineIdMask &&
        inherits[nInherits - 1] <= kInlineIdMask) {
        bits = kInline | (uintptr_t{nInherits == 2} << 1) | (uintptr_t{inherits[0]} << 2) |
               (uintptr_t{inherits[nInherits - 1]} << 33);
    } else if (nInherits != 0 || nAttrs != 0) {
        if (nInherits > UINT32_MAX - 2 || nAttrs > UINT32_MAX) throw std::length_error("too many attributes");
        const size_t bytes = (2 + nInherits) * sizeof(uint32_t) + nAttrs * sizeof(AttrEntry);
        auto* block = static_cast<uint32_t*>(std::malloc(bytes));
        if (!block) throw std::bad_alloc();
        block[0] = static_cast<uint32_t>(nInherits);
        block[1] = static_cast<uint32_t>(nAttrs);
        if (nInherits) std::memcpy(block + 2, inherits, nInherits * sizeof(uint32_t));
        if (nAttrs) std::memcpy(block + 2 + nInherits, attrs, nAttrs * sizeof(AttrEntry));
        bits = reinterpret_cast<uintptr_t>(block);
    }
    // the arguments may point into the block being replaced
    Free();
    m_bits = bits;
}

void RecordExtras::SetInherits(const uint32_t* inherits, size_t n) { Assign(inherits, n, Attrs(), AttrCount()); }

void RecordExtras::SetAttrs(const AttrEntry* attrs, size_t n)
{
    std::vector<uint32_t> inherits(InheritCount());
    for (size_t i = 0; i < inherits.size(); ++i) inherits[i] = Inherit(i);
    Assign(inherits.data(), inherits.size(), attrs, n);
}

void RecordExtras::Copy(const RecordExtras& o)
{
    if (!o.m_bits || (o.m_bits & kInline)) {
        m_bits = o.m_bits;
        return;
    }
    Assign(o.Block() + 2, o.InheritCount(), o.Attrs(), o.AttrCount());
}

std::vector<std::string> SnapshotData::Inherits(const ObjRecord& r) const
{
    std::vector<std::string> out(r.extras.InheritCount());
    for (size_t i = 0; i < out.size(); ++i) out[i] = pool.Text(r.extras.Inherit(i));
    return out;
}

bool SnapshotData::InheritsName(const ObjRecord& r, std::string_view name) const
{
    const size_t n = r.extras.InheritCount();
    for (size_t i = 0; i < n; ++i)
        if (pool.Text(r.extras.Inherit(i)) == name) return true;
    return false;
}

void SnapshotData::AddInherits(ObjRecord& r, const std::vector<std::string_view>& names)
{
    if (names.empty()) return;
    // most records inherit one or two names: no buffer for those
    const size_t had = r.extras.InheritCount();
    uint32_t few[4];
    std::vector<uint32_t> many;
    uint32_t* ids = few;
    if (had + names.size() > std::size(few)) {
        many.resize(had + names.size());
        ids = many.data();
    }
    for (size_t i = 0; i < had; ++i) ids[i] = r.extras.Inherit(i);
    for (size_t i = 0; i < names.size(); ++i) ids[had + i] = pool.Intern(names[i]);
    r.extras.SetInherits(ids, had + names.size());
}

std::vector<AttributeRec> SnapshotData::Attributes(const ObjRecord& r) const
{
    const AttrEntry* a = r.extras.Attrs();
    std::vector<AttributeRec> out(r.extras.AttrCount());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = AttributeRec{pool.Text(a[i].name), pool.Text(a[i].value), a[i].type, a[i].bit};
    return out;
}

void SnapshotData::SetAttributes(ObjRecord& r, const std::vector<AttributeText>& attrs)
{
    std::vector<AttrEntry> entries(attrs.size());
    for (size_t i = 0; i < attrs.size(); ++i)
        entries[i] = AttrEntry{pool.Intern(attrs[i].name), pool.Intern(attrs[i].value), attrs[i].type, attrs[i].bit};
    r.extras.SetAttrs(entries.data(), entries.size());
}

const std::string* SnapshotData::FindAttribute(const ObjRecord& r, std::string_view name, int32_t type, int32_t bit) const
{
    const AttrEntry* a = r.extras.Attrs();
    const size_t n = r.extras.AttrCount();
    for (size_t i = 0; i < n; ++i)
        if (a[i].type == type && a[i].bit == bit && pool.Text(a[i].name) == name) return &pool.Text(a[i].value);
    return nullptr;
}

void SnapshotData::PutAttribute(ObjRecord& r, std::string_view name, std::string_view value, int32_t type, int32_t bit,
                                bool byName)
{
    const uint32_t nameId = pool.Intern(name);
    const uint32_t valueId = pool.Intern(value);
    AttrEntry* a = r.extras.Attrs();
    const size_t n = r.extras.AttrCount();
    for (size_t i = 0; i < n; ++i) {
        if (a[i].name == nameId && (byName || (a[i].type == type && a[i].bit == bit))) {
            a[i].value = valueId;
            return;
        }
    }
    std::vector<AttrEntry> entries(a, a + n);
    entries.push_back(AttrEntry{nameId, valueId, type, bit});
    r.extras.SetAttrs(entries.data(), entries.size());
}

namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
constexpr size_t kLine = 64;

// Advises the whole huge pages inside [p, p + bytes) to be backed by huge pages (a hint: without them the
// memory serves all the same).
void AdviseHuge(void* p, size_t bytes)
{
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(kHugePage - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Gives the pages wholly inside [begin, end) back to the system: they read as zeros if touched again.
void DiscardPages(char* begin, char* end)
{
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(begin) + page - 1) & ~(page - 1);
    const uintptr_t to = reinterpret_cast<uintptr_t>(end) & ~(page - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

}  // namespace

// One heap block, cut front to back into the blocks AllocateHuge hands out while its HugePagePrefault lives.
// Regions with blocks still in use stand in a list that FreeHuge searches (a handful at most, and freeing a
// block of megabytes is rare).
struct HugePagePrefault::Region {
    char* base = nullptr;
    size_t size = 0;
    size_t used = 0;
    bool open = true;                                // its HugePagePrefault still lives
    std::vector<std::pair<char*, size_t>> blocks;    // cut and not freed
    // The helper's bounds: it faults in the first `allowed` bytes, and stops when `stop` is set.
    std::mutex mutex;
    std::condition_variable changed;
    size_t allowed = 0;
    bool stop = false;
    std::thread helper;
};

namespace {

std::mutex g_regionsMutex;
std::vector<HugePagePrefault::Region*>& Regions()
{
    static std::vector<HugePagePrefault::Region*> regions;
    return regions;
}
thread_local HugePagePrefault* t_prefault = nullptr;

}  // namespace

HugePagePrefault::HugePagePrefault(size_t bytes) : m_outer(t_prefault)
{
    bytes = (bytes + kLine - 1) & ~(kLine - 1);
    void* p = nullptr;
    if (bytes == 0 || posix_memalign(&p, kLine, bytes) != 0 || !p) return;   // no region: the ordinary way
    Region* raw = nullptr;
    try {
        auto r = std::make_unique<Region>();
        r->base = static_cast<char*>(p);
        r->size = bytes;
        std::lock_guard<std::mutex> lock(g_regionsMutex);
        Regions().push_back(r.get());
        raw = r.release();
    } catch (const std::bad_alloc&) {
        std::free(p);
        return;
    }
    AdviseHuge(p, bytes);
    try {
        // The helper only asks the kernel to back the pages, which never changes what they hold: the owner may
        // write to the front of the region meanwhile.
        raw->helper = std::thread([raw] {
            // from the first whole page on (the advice takes page-aligned ranges), a huge page's worth at a time
            static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
            const uintptr_t end = reinterpret_cast<uintptr_t>(raw->base) + raw->size;
            for (uintptr_t at = (reinterpret_cast<uintptr_t>(raw->base) + page - 1) & ~(page - 1); at < end; at += kHugePage) {
                const uintptr_t step = std::min<uintptr_t>(kHugePage, end - at);
                {
                    std::unique_lock<std::mutex> lock(raw->mutex);
                    raw->changed.wait(lock, [&] {
                        return raw->stop || at + step <= reinterpret_cast<uintptr_t>(raw->base) + raw->allowed;
                    });
                    if (raw->stop) break;
                }
                if (madvise(reinterpret_cast<void*>(at), step, MADV_POPULATE_WRITE) != 0) break;
            }
        });
    } catch (const std::system_error&) {
        // no thread to be had: the region fills as it is written
    }
    m_region = raw;
    t_prefault = this;
}

void HugePagePrefault::Close()
{
    if (t_prefault == this) t_prefault = m_outer;
    if (!m_region) return;
    Region* r = m_region;
    m_region = nullptr;
    {
        std::lock_guard<std::mutex> lock(r->mutex);
        r->stop = true;
    }
    r->changed.notify_all();
    if (r->helper.joinable()) r->helper.join();
    std::lock_guard<std::mutex> lock(g_regionsMutex);
    m_used = r->used;
    r->open = false;
    if (r->blocks.empty()) {
        Regions().erase(std::find(Regions().begin(), Regions().end(), r));
        std::free(r->base);
        delete r;
        return;
    }
    // The pages of the part never cut go back (the block itself stays whole until its last block goes: an
    // allocator may move a block it shrinks).
    DiscardPages(r->base + r->used, r->base + r->size);
}

void HugePagePrefault::Allow(size_t bytes)
{
    if (!m_region) return;
    Region& r = *m_region;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (bytes <= r.allowed) return;
        r.allowed = std::min(bytes, r.size);
    }
    r.changed.notify_all();
}

size_t HugePagePrefault::Used() const
{
    std::lock_guard<std::mutex> lock(g_regionsMutex);
    return m_region ? m_region->used : m_used;
}

void* AllocateHuge(size_t bytes)
{
    bytes = (bytes + kLine - 1) & ~(kLine - 1);
    if (t_prefault && t_prefault->m_region) {
        HugePagePrefault::Region& r = *t_prefault->m_region;
        std::lock_guard<std::mutex> lock(g_regionsMutex);
        if (bytes <= r.size - r.used) {
            char* p = r.base + r.used;
            r.used += bytes;
            r.blocks.emplace_back(p, bytes);
            return p;
        }
    }
    void* p = nullptr;
    if (posix_memalign(&p, kLine, bytes) != 0 || !p) throw std::bad_alloc();
    AdviseHuge(p, bytes);
    return p;
}

void FreeHuge(void* p) noexcept
{
    if (!p) return;
    {
        std::lock_guard<std::mutex> lock(g_regionsMutex);
        auto& regions = Regions();
        for (auto it = regions.begin(); it != regions.end(); ++it) {
            HugePagePrefault::Region* r = *it;
            char* c = static_cast<char*>(p);
            if (c < r->base || c >= r->base + r->size) continue;
            auto b = std::find_if(r->blocks.begin(), r->blocks.end(), [&](const auto& e) { return e.first == c; });
            if (b == r->blocks.end()) return;   // not a block of this region: nothing to free
            const size_t size = b->second;
            r->blocks.erase(b);
            if (r->blocks.empty() && !r->open) {
                regions.erase(it);
                std::free(r->base);
                delete r;
                return;
            }
            // The pages wholly inside the block go back now; the region's memory goes with its last block.
            DiscardPages(c, c + size);
            return;
        }
    }
    std::free(p);
}

FieldArena::~FieldArena()
{
    for (void* c : m_chunks) FreeHuge(c);
}

void* FieldArena::Take(size_t bytes)
{
    // Chunks grow with the table, from a small one on the ordinary heap (most tables are small) to huge pages.
    // A new chunk is a quarter of the size of those before it, which bounds the unused tail to a fifth of the
    // arena.
    constexpr size_t kFirst = size_t{16} << 10, kHuge = size_t{4} << 20, kLargest = size_t{16} << 20;
    bytes = (bytes + 7) & ~size_t{7};
    if (bytes > m_left) {
        const size_t size = std::max(bytes, std::min(kLargest, std::max(kFirst, m_taken / 4)));
        void* chunk = size >= kHuge ? AllocateHuge(size) : std::malloc(size);
        if (!chunk) throw std::bad_alloc();
        m_chunks.push_back(chunk);
        m_at = static_cast<char*>(chunk);
        m_left = size;
        m_taken += size;
    }
    void* p = m_at;
    m_at += bytes;
    m_left -= bytes;
    return p;
}

// ---------------------------------------------------------------------------------------------------------
// Lookup and creation

int64_t SnapshotData::SlotAwayFromSerial(uint64_t index) const
{
    const uint64_t serial = index & kSerialMask;
    if (serial < bySerial.size()) {
        const uint32_t s = bySerial[serial];
        if (s && records[s - 1].index == index) return static_cast<int64_t>(s - 1);
        if (s) return -1;
        // an empty dense entry: the serial may have been issued while the table was smaller
    }
    if (sparse.empty()) return -1;
    auto it = sparse.find(index);
    return it == sparse.end() ? -1 : static_cast<int64_t>(it->second);
}

std::string SnapshotData::Name() const { return self < records.size() ? records[self].name : std::string(); }
uint64_t SnapshotData::Index() const { return self < records.size() ? records[self].index : 0; }

void SnapshotData::ReserveSerial(uint64_t index)
{
    const uint64_t serial = index & kSerialMask;
    if (index == 0 || serial >= kMaxDenseSerial || StandIn::KindOfType(TypeOf(index)) == Kind::None) return;
    if (serial >= nextSerial) nextSerial = serial + 1;
}

uint32_t SnapshotData::Create(Kind kind, uint64_t index)
{
    const KindInfo& info = InfoOf(kind);
    if (index == 0) {
        uint64_t serial = nextSerial;
        while (serial < bySerial.size() && bySerial[serial]) ++serial;
        index = MakeIndex(info.type, serial);
        nextSerial = serial + 1;
    } else {
        if (TypeOf(index) != info.type || (index & kSerialMask) == 0) return UINT32_MAX;
        const uint64_t serial = index & kSerialMask;
        if (serial < bySerial.size() && bySerial[serial]) return UINT32_MAX;
        if (sparse.count(index)) return UINT32_MAX;
        ReserveSerial(index);
    }
    const uint32_t slot = static_cast<uint32_t>(records.size());
    records.emplace_back();
    ObjRecord& r = records.back();
    r.index = index;
    r.kind = kind;
    r.AllocateFields(fieldArena);
    const std::vector<int64_t>& defaults = DefaultSlots(kind);
    if (!defaults.empty()) std::memcpy(r.slots.p, defaults.data(), defaults.size() * sizeof(int64_t));
    // The slot's tag: UpdateWalkFilter sets it for the kinds with a walk filter.
    if (HasWalkFilter(kind))
        UpdateWalkFilter(r);
    else
        RefreshTag(slot);
    const uint64_t serial = index & kSerialMask;
    if (serial < kMaxDenseSerial && serial < 4 * records.size() + 65536) {
        if (serial >= bySerial.size()) bySerial.resize(std::max<size_t>(serial + 1, bySerial.size() * 2), 0);
        bySerial[serial] = slot + 1;
    } else {
        sparse[index] = slot;
    }
    return slot;
}

// ---------------------------------------------------------------------------------------------------------
// Fields

int64_t SnapshotData::GetInt(const ObjRecord& r, Field f) const
{
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || IsListCat(s->cat) || s->cat == Cat::Text || !r.slots) {
        const FieldSpec* spec = SpecOf(r.kind, f);
        return spec ? spec->def : 0;
    }
    return r.slots[s->pos];
}

void SnapshotData::SetInt(uint32_t slot, Field f, int64_t value)
{
    ObjRecord& r = records[slot];
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || IsListCat(s->cat) || IsRefCat(s->cat) || s->cat == Cat::Text || !r.slots) return;
    r.slots[s->pos] = value;
    if (f == Field::filterType || f == Field::norvType || f == Field::pairType) UpdateWalkFilter(r);
    if (f == Field::layerIndex && !layerIndexes.empty()) {
        // the lists that hold the record have it filed under its old number
        for (uint64_t key : r.back) {
            if (BackField(key) == Field::in) continue;
            auto it = layerIndexes.find(key);
            if (it != layerIndexes.end()) it->second.MarkStale();
        }
    }
}

void SnapshotData::UpdateWalkFilter(ObjRecord& r)
{
    if (!HasWalkFilter(r.kind)) return;
    int64_t v = GetInt(r, Field::filterType);
    if (v == kUnsetInt) v = GetInt(r, r.kind == Kind::NorvPin ? Field::norvType : Field::pairType);
    r.walkFilter = v >= 0 && v < 32 ? static_cast<int8_t>(v) : -1;
    RefreshTag(static_cast<uint32_t>(&r - records.data()));
}

int64_t SnapshotData::FilterValue(const ObjRecord& r)
{
    if (HasWalkFilter(r.kind)) return r.walkFilter;
    return static_cast<int64_t>(StandIn::TypeOfKind(r.kind));
}

void SnapshotData::RefreshTag(uint32_t slot)
{
    if (tags.size() < records.size()) {
        // the tags grow with the record table (which a loader reserves at once), not a record at a time
        if (tags.capacity() < records.capacity()) tags.reserve(records.capacity());
        tags.resize(records.size(), 0);
    }
    const ObjRecord& r = records[slot];
    uint16_t tag = 0;
    if ((r.index & kSerialMask) == uint64_t{slot} + 1) tag |= kTagAtSerial | static_cast<uint16_t>(r.index >> 56);
    if (r.Alive()) tag |= kTagAlive;
    const int64_t v = FilterValue(r);
    if (v >= 0 && v < 32) tag |= static_cast<uint16_t>((v + 1) << kTagFilterShift);
    tags[slot] = tag;
}

const std::string& SnapshotData::GetText(const ObjRecord& r, Field f) const
{
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || s->cat != Cat::Text || texts.empty()) return EmptyText();
    const int64_t slot = SlotOfIndex(r.index);
    if (slot < 0) return EmptyText();
    auto it = texts.find(BackKey(static_cast<uint32_t>(slot), f));
    return it == texts.end() ? EmptyText() : it->second;
}

void SnapshotData::SetText(uint32_t slot, Field f, const std::string& value)
{
    ObjRecord& r = records[slot];
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || s->cat != Cat::Text) return;
    if (value.empty())
        texts.erase(BackKey(slot, f));
    else
        texts[BackKey(slot, f)] = value;
}

uint64_t SnapshotData::GetRef(const ObjRecord& r, Field f) const
{
    if (f == Field::in) return r.owner;
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || !IsRefCat(s->cat) || !r.slots) return s && s->cat == Cat::OptRef ? kUnsetRef : 0;
    return static_cast<uint64_t>(r.slots[s->pos]);
}

void SnapshotData::SetRef(uint32_t slot, Field f, uint64_t target)
{
    ObjRecord& r = records[slot];
    if (f == Field::in) {
        if (r.owner == target) return;
        // The old owner keeps a stale entry: owned objects are always checked against their own "in", and an
        // owner of many objects must not be scanned per change.
        r.owner = target;
        if (target != kUnsetRef) ReserveSerial(target);
        if (ObjRecord* now = Find(target)) now->back.push_back(BackKey(slot, Field::in));
        return;
    }
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || !IsRefCat(s->cat) || !r.slots) return;
    r.slots[s->pos] = static_cast<int64_t>(target);
    if (target != kUnsetRef) ReserveSerial(target);
}

const RefList& SnapshotData::GetList(const ObjRecord& r, Field f) const
{
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || !IsListCat(s->cat) || !r.slots) return EmptyList();
    return r.Lists()[s->pos];
}

bool SnapshotData::Contains(const ObjRecord& r, Field f, uint64_t target) const
{
    // A record's back entries name every list that holds it; scan whichever of the two is shorter.
    const auto& l = GetList(r, f);
    const int64_t ts = SlotOfIndex(target);
    const int64_t rs = SlotOfIndex(r.index);
    if (ts >= 0 && rs >= 0 && &records[static_cast<size_t>(rs)] == &r) {
        const auto& back = records[static_cast<size_t>(ts)].back;
        if (back.size() < l.size())
            return std::find(back.begin(), back.end(), BackKey(static_cast<uint32_t>(rs), f)) != back.end();
    }
    return std::find(l.begin(), l.end(), target) != l.end();
}

void SnapshotData::Append(uint32_t slot, Field f, uint64_t target)
{
    ObjRecord& r = records[slot];
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || !IsListCat(s->cat) || !r.slots) return;
    if (f == Field::pinsConnected && r.kind == Kind::PhysicalNet) r.flags |= kListGiven;
    const int64_t ts = SlotOfIndex(target);
    // The target gets a back entry for this list unless it is already listed there.
    const bool listed = ts >= 0 && Contains(r, f, target);
    BeforeListChange(r.Lists()[s->pos]);
    r.Lists()[s->pos].push_back(target);
    ReserveSerial(target);
    if (ts < 0) return;
    ObjRecord& t = records[static_cast<size_t>(ts)];
    if (!layerIndexes.empty()) {
        auto it = layerIndexes.find(BackKey(slot, f));
        if (it != layerIndexes.end() && t.kind == it->second.kind())
            it->second.Append(GetInt(t, Field::layerIndex), static_cast<uint32_t>(ts));
    }
    if (!listed) t.back.push_back(BackKey(slot, f));
    if (!nameIndexes.empty()) {
        auto it = nameIndexes.find(BackKey(slot, f));
        if (it != nameIndexes.end() && t.Alive()) {
            // A list that grows to many thousands of names would be rehashed at every doubling, each time
            // visiting every entry scattered in memory: grow its buckets four times at once.
            auto& byFolded = it->second.byFolded;
            if (byFolded.size() >= byFolded.bucket_count()) byFolded.reserve(byFolded.size() * 4);
            byFolded[FoldName(t.name)].emplace_back(it->second.nextSeq++, static_cast<uint32_t>(ts));
        }
    }
}

void SnapshotData::RemoveFromList(uint32_t slot, Field f, uint64_t target)
{
    ObjRecord& r = records[slot];
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || !IsListCat(s->cat) || !r.slots) return;
    auto& l = r.Lists()[s->pos];
    BeforeListChange(l);
    const size_t before = l.size();
    l.erase(std::remove(l.begin(), l.end(), target), l.end());
    const int64_t ts = SlotOfIndex(target);
    if (ts < 0) return;
    ObjRecord& t = records[static_cast<size_t>(ts)];
    if (!layerIndexes.empty() && l.size() != before) {
        auto it = layerIndexes.find(BackKey(slot, f));
        if (it != layerIndexes.end() && t.kind == it->second.kind())
            it->second.Remove(GetInt(t, Field::layerIndex), static_cast<uint32_t>(ts));
    }
    RemoveBack(t, BackKey(slot, f));
    if (!nameIndexes.empty()) {
        auto it = nameIndexes.find(BackKey(slot, f));
        if (it != nameIndexes.end()) {
            auto b = it->second.byFolded.find(FoldName(t.name));
            if (b != it->second.byFolded.end()) {
                auto& v = b->second;
                v.erase(std::remove_if(v.begin(), v.end(), [&](const auto& p) { return p.second == ts; }), v.end());
                if (v.empty()) it->second.byFolded.erase(b);
            }
        }
    }
}

void SnapshotData::ClearList(uint32_t slot, Field f)
{
    ObjRecord& r = records[slot];
    const SlotRef* s = SlotOf(r.kind, f);
    if (!s || !IsListCat(s->cat) || !r.slots) return;
    if (f == Field::pinsConnected && r.kind == Kind::PhysicalNet) r.flags |= kListGiven;
    BeforeListChange(r.Lists()[s->pos]);
    const RefList old(std::move(r.Lists()[s->pos]));
    for (uint64_t t : old) {
        if (ObjRecord* tr = Find(t)) RemoveBack(*tr, BackKey(slot, f));
    }
    DropIndexes(BackKey(slot, f));
}

void SnapshotData::DropIndexes(uint64_t key)
{
    nameIndexes.erase(key);
    layerIndexes.erase(key);
}

void SnapshotData::SetName(uint32_t slot, const std::string& name)
{
    ObjRecord& r = records[slot];
    if (r.name == name) return;
    if (!nameIndexes.empty()) {
        const std::string oldKey = FoldName(r.name), newKey = FoldName(name);
        if (oldKey != newKey) {
            for (uint64_t key : r.back) {
                if (BackField(key) == Field::in) continue;
                auto it = nameIndexes.find(key);
                if (it == nameIndexes.end()) continue;
                auto b = it->second.byFolded.find(oldKey);
                if (b == it->second.byFolded.end()) continue;
                auto& v = b->second;
                auto& dst = it->second.byFolded[newKey];
                for (auto p = v.begin(); p != v.end();) {
                    if (p->second == slot) { dst.push_back(*p); p = v.erase(p); } else ++p;
                }
                std::sort(dst.begin(), dst.end());
                if (v.empty()) it->second.byFolded.erase(oldKey);
            }
        }
    }
    r.name = name;
}

void SnapshotData::SetFileId(uint32_t slot, const std::string& id)
{
    if (id.empty()) {
        if (slot < fileIdAt.size()) fileIdAt[slot] = 0;
        return;
    }
    if (fileIdAt.size() <= slot) fileIdAt.resize(std::max<size_t>(slot + 1, records.size()), 0);
    fileIdAt[slot] = static_cast<uint32_t>(fileIdChars.size() + 1);
    const uint32_t len = static_cast<uint32_t>(id.size());
    fileIdChars.append(reinterpret_cast<const char*>(&len), sizeof(len));
    fileIdChars.append(id);
}

std::string SnapshotData::FileId(uint32_t slot) const
{
    if (slot >= fileIdAt.size() || fileIdAt[slot] == 0) return std::string();
    const size_t at = fileIdAt[slot] - 1;
    uint32_t len = 0;
    std::memcpy(&len, fileIdChars.data() + at, sizeof(len));
    return fileIdChars.substr(at + sizeof(len), len);
}

const NameIndex& SnapshotData::IndexOfList(uint32_t slot, Field f)
{
    const uint64_t key = BackKey(slot, f);
    auto it = nameIndexes.find(key);
    if (it != nameIndexes.end()) return it->second;
    NameIndex& idx = nameIndexes[key];
    for (uint64_t t : GetList(records[slot], f)) {
        const int64_t ts = SlotOfIndex(t);
        if (ts < 0 || !records[static_cast<size_t>(ts)].Alive()) continue;
        idx.byFolded[FoldName(records[static_cast<size_t>(ts)].name)].emplace_back(idx.nextSeq++, static_cast<uint32_t>(ts));
    }
    return idx;
}

const LayerIndex* SnapshotData::LayerIndexOfList(uint32_t slot, Field f, Kind kind)
{
    const RefList& list = GetList(records[slot], f);
    const uint64_t key = BackKey(slot, f);
    auto it = layerIndexes.find(key);
    if (it == layerIndexes.end()) {
        if (list.size() < kLayerIndexMinimum) return nullptr;
        it = layerIndexes.emplace(key, LayerIndex(kind)).first;
    }
    LayerIndex& idx = it->second;
    if (idx.kind() != kind) return nullptr;
    if (idx.Stale()) {
        // An entry that names no record is left out: it never comes to name one, as a record made later takes
        // a fresh serial, past every one below 2^31 that a list holds (ReserveSerial); none above is ever reached.
        std::vector<LayerIndex::Entry> entries;
        entries.reserve(list.size());
        for (uint64_t t : list) {
            const int64_t ts = SlotOfIndex(t);
            if (ts < 0) continue;
            const ObjRecord& r = records[static_cast<size_t>(ts)];
            if (r.kind != kind) continue;
            const int64_t number = GetInt(r, Field::layerIndex);
            if (LayerIndex::Fits(number))
                entries.push_back(LayerIndex::Entry{static_cast<int32_t>(number), static_cast<uint32_t>(ts)});
        }
        idx.Assign(std::move(entries));
    }
    return &idx;
}

void SnapshotData::SetValue(uint32_t slot, const ConstraintData& value)
{
    ObjRecord& r = records[slot];
    if (r.payload == 0) {
        payloads.emplace_back();
        r.payload = static_cast<uint32_t>(payloads.size());
    }
    ConstraintPayload& p = payloads[r.payload - 1];
    p.doubleValue = value.doubleValue;
    p.kind = value.kind;
    p.intValue = value.intValue;
    p.text = value.textValue.IsEmpty() ? TextPool::kNone : pool.Intern(std::string_view(value.textValue.c_str(), value.textValue.Length()));
    if (value.intList.empty() && value.doubleList.empty() && value.textList.empty())
        p.lists.reset();
    else
        p.lists = std::make_unique<ConstraintLists>(ConstraintLists{value.intList, value.doubleList, value.textList});
}

ConstraintData SnapshotData::Value(const ConstraintPayload& p) const
{
    ConstraintData v;
    v.kind = p.kind;
    v.intValue = p.intValue;
    v.doubleValue = p.doubleValue;
    if (p.text != TextPool::kNone) v.textValue = String(pool.Text(p.text));
    if (p.lists) {
        v.intList = p.lists->intList;
        v.doubleList = p.lists->doubleList;
        v.textList = p.lists->textList;
    }
    return v;
}

const ConstraintPayload* SnapshotData::Payload(const ObjRecord& r) const
{
    return r.payload ? &payloads[r.payload - 1] : nullptr;
}

// ---------------------------------------------------------------------------------------------------------
// Relations

void SnapshotData::Place(uint32_t slot, uint64_t owner)
{
    SetRef(slot, Field::in, owner);
    const int64_t os = SlotOfIndex(owner);
    if (os < 0) return;
    const Kind ok = records[static_cast<size_t>(os)].kind;
    const Field home = HomeField(ok, records[slot].kind);
    if (home == Field::Count) return;
    const SlotRef* hs = SlotOf(ok, home);
    const uint64_t me = records[slot].index;
    if (IsListCat(hs->cat)) {
        if (!Contains(records[static_cast<size_t>(os)], home, me)) Append(static_cast<uint32_t>(os), home, me);
    } else {
        SetRef(static_cast<uint32_t>(os), home, me);
    }
}

void SnapshotData::Link(uint32_t a, Field f, uint64_t target)
{
    if (f == Field::in) {
        Place(a, target);
        return;
    }
    const Kind ak = records[a].kind;
    const SlotRef* s = SlotOf(ak, f);
    if (!s) return;
    const uint64_t me = records[a].index;
    if (IsListCat(s->cat)) {
        if (!Contains(records[a], f, target)) Append(a, f, target);
    } else {
        SetRef(a, f, target);
    }
    if (target == 0) return;
    const int64_t ts = SlotOfIndex(target);
    if (ts < 0) return;
    const uint32_t t = static_cast<uint32_t>(ts);
    if (ak == Kind::NorvPin && f == Field::designPin) {
        // The design pin is also one of the pin's flat pins (whose mirror is the design pin's norvPins).
        Link(a, Field::flatPins, target);
        return;
    }
    bool sideA = false;
    const RelationSpec* rel = RelationOf(ak, f, sideA);
    if (!rel) return;
    const Kind otherKind = sideA ? rel->kindB : rel->kindA;
    const Field otherField = sideA ? rel->fieldB : rel->fieldA;
    if (records[t].kind != otherKind) return;
    if (!sideA && rel->completion == Completion::BFromA) return;
    const SlotRef* os = SlotOf(otherKind, otherField);
    if (!os) return;
    if (IsListCat(os->cat)) {
        if (!Contains(records[t], otherField, me)) Append(t, otherField, me);
    } else {
        SetRef(t, otherField, me);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Deletion

std::vector<uint32_t> SnapshotData::CollectDeletion(uint32_t slot) const
{
    std::vector<uint32_t> out;
    SlotSet seen(records.size());
    std::vector<uint32_t> todo{slot};
    while (!todo.empty()) {
        const uint32_t x = todo.back();
        todo.pop_back();
        if (!seen.Insert(x)) continue;
        const ObjRecord& r = records[x];
        if (!r.Alive()) continue;
        out.push_back(x);
        for (uint64_t key : r.back) {
            if (BackField(key) != Field::in) continue;
            const uint32_t c = BackSlot(key);
            if (records[c].Alive() && records[c].owner == r.index) todo.push_back(c);
        }
        Field assoc = Field::Count;
        if (r.kind == Kind::NetClass) assoc = Field::schemaNetClassRules;
        if (r.kind == Kind::ClearRule) assoc = Field::schemaClearRules;
        if (assoc != Field::Count) {
            const Kind want = r.kind == Kind::NetClass ? Kind::SchemaNetClassRule : Kind::SchemaClearRule;
            for (uint64_t t : GetList(r, assoc)) {
                const int64_t ts = SlotOfIndex(t);
                if (ts >= 0 && records[static_cast<size_t>(ts)].Alive() && records[static_cast<size_t>(ts)].kind == want)
                    todo.push_back(static_cast<uint32_t>(ts));
            }
        }
    }
    // Owned objects first found are listed after their owner; keep the order stable.
    return out;
}

void SnapshotData::Erase(const std::vector<uint32_t>& collected)
{
    SlotSet erased(records.size());
    for (uint32_t x : collected) erased.Insert(x);
    erased.ForEach(collected, [this](uint32_t x) {
        records[x].flags &= static_cast<uint8_t>(~kAlive);
        RefreshTag(x);
    });
    // lock entries of deleted objects (the lock table is short, a deletion may be large)
    if (!locks.empty()) {
        std::unordered_set<uint64_t> lockedObjects;
        for (const LockRec& e : locks) lockedObjects.insert(e.object);
        std::unordered_set<uint64_t> dead;
        erased.ForEach(collected, [&](uint32_t x) {
            if (lockedObjects.count(records[x].index) != 0) dead.insert(records[x].index);
        });
        locks.erase(std::remove_if(locks.begin(), locks.end(), [&](const LockRec& e) {
                        return dead.count(e.object) != 0;
                    }),
                    locks.end());
    }
    // A list of an object deleted with it stays a tombstone: removing every entry from it one by one would
    // scan it once per entry. Only the lists of live holders lose the deleted objects.
    // A holder erased here is known dead without reading its record. The removals do not depend on their order.
    auto liveHolder = [this, &erased](uint64_t key) {
        return BackField(key) != Field::in && !erased.Contains(BackSlot(key)) && records[BackSlot(key)].Alive();
    };
    erased.ForEach(collected, [&](uint32_t x) {
        ObjRecord& r = records[x];
        if (std::none_of(r.back.begin(), r.back.end(), liveHolder)) return;
        const std::vector<uint64_t> back(r.back.begin(), r.back.end());
        for (uint64_t key : back)
            if (liveHolder(key)) RemoveFromList(BackSlot(key), BackField(key), r.index);
    });
    // Its own lists stay as they were (a tombstone); the back entries they left on their targets name a dead
    // list, which nothing consults, so a target listed by many deleted objects is not scanned per deletion.
    // Their name and layer indexes go, looked up from the smaller side.
    if (nameIndexes.size() + layerIndexes.size() < collected.size()) {
        auto dropDead = [this](auto& indexes) {
            for (auto it = indexes.begin(); it != indexes.end();)
                it = records[BackSlot(it->first)].Alive() ? std::next(it) : indexes.erase(it);
        };
        dropDead(nameIndexes);
        dropDead(layerIndexes);
    } else if (!nameIndexes.empty() || !layerIndexes.empty()) {
        for (uint32_t x : collected)
            for (const FieldSpec* f : InfoOf(records[x].kind).fields)
                if (IsListCat(f->cat)) DropIndexes(BackKey(x, f->field));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Lent lists

void SnapshotData::Lend(IterState& walk, const uint64_t* elements, size_t count)
{
    walk.Unborrow();
    walk.items.reset();
    walk.lent = elements;
    walk.lentCount = count;
    walk.lender = this;
    walk.prevBorrower = nullptr;
    walk.nextBorrower = borrowers;
    if (borrowers) borrowers->prevBorrower = &walk;
    borrowers = &walk;
}

void SnapshotData::Unlend(const RefList& list)
{
    // A lent list is not empty, so its elements' address is its own.
    if (list.empty()) return;
    std::shared_ptr<const std::vector<uint64_t>> copy;
    for (IterState* b = borrowers; b;) {
        IterState* next = b->nextBorrower;
        if (b->lent == list.data()) {
            if (!copy) copy = std::make_shared<const std::vector<uint64_t>>(list.begin(), list.end());
            b->items = copy;
            b->Unborrow();
        }
        b = next;
    }
}

SnapshotData::~SnapshotData()
{
    // Walks that outlive their session keep no list (they must not be used, only destroyed).
    while (borrowers) borrowers->Unborrow();
}

// ---------------------------------------------------------------------------------------------------------
// Copies

std::shared_ptr<SnapshotData> SnapshotData::Clone() const
{
    auto c = std::make_shared<SnapshotData>();
    c->session = session;
    c->records.resize(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const ObjRecord& a = records[i];
        ObjRecord& b = c->records[i];
        b.index = a.index;
        b.owner = a.owner;
        b.name = a.name;
        b.kind = a.kind;
        b.flags = a.flags;
        b.walkFilter = a.walkFilter;
        b.payload = a.payload;
        b.back = a.back;
        const KindInfo& info = InfoOf(a.kind);
        b.AllocateFields(c->fieldArena);
        for (size_t i = 0; a.slots && i < info.nSlots; ++i) b.slots[i] = a.slots[i];
        for (size_t l = 0; a.slots && l < info.nLists; ++l) b.Lists()[l] = a.Lists()[l];
        b.extras = a.extras;   // ids into the pool, copied below
    }
    c->tags = tags;
    c->bySerial = bySerial;
    c->sparse = sparse;
    c->nextSerial = nextSerial;
    c->self = self;
    c->attributes = attributes;
    c->pool = pool;
    c->clients = clients;
    c->locks = locks;
    c->faults = faults;
    c->placeholders = placeholders;
    c->texts = texts;
    c->payloads = payloads;
    c->fileIdAt = fileIdAt;
    c->fileIdChars = fileIdChars;
    return c;
}

void SnapshotData::DeclareLock(uint64_t object, const std::string& address, const std::string& subClient, bool deep)
{
    LockRec e;
    e.object = object;
    e.address = address;
    e.subClient = subClient;
    e.deep = deep;
    e.declared = true;
    e.own = session && address == session->identity.address && subClient == session->identity.subClient;
    e.count = 1;
    // declared entries come before the session's own acquisitions
    auto pos = std::find_if(locks.begin(), locks.end(), [](const LockRec& l) { return !l.declared; });
    locks.insert(pos, std::move(e));
}

// ---------------------------------------------------------------------------------------------------------
// Session

SessionData::SessionData()
{
    defs = std::make_shared<SnapshotData>();
    defs->session = this;
}

SnapshotData* SessionData::CurrentSnapshot()
{
    if (current) return current;
    return snapshots.empty() ? nullptr : snapshots.front().get();
}

SnapshotData* SessionData::SnapshotByName(const std::string& name)
{
    for (auto& s : snapshots)
        if (s->Name() == name) return s.get();
    return nullptr;
}

SnapshotData* SessionData::AddSnapshot(const std::string& name, uint64_t index)
{
    auto snap = std::make_shared<SnapshotData>();
    snap->session = this;
    const uint32_t slot = snap->Create(Kind::Snapshot, index);
    if (slot == UINT32_MAX) return nullptr;
    snap->self = slot;
    snap->records[slot].name = name;
    snapshots.push_back(snap);
    return snap.get();
}

uint64_t SessionData::AddDefinition(const std::string& name, const ConstraintData& value, uint64_t index)
{
    const uint32_t slot = defs->Create(Kind::ConstraintDef, index);
    if (slot == UINT32_MAX) return 0;
    defs->records[slot].name = name;
    ConstraintData v = value;
    if (v.kind == CDT_Default) v.kind = CDT_Text;
    defs->SetValue(slot, v);
    definitions.push_back(defs->records[slot].index);
    return defs->records[slot].index;
}

const ObjRecord* SessionData::FindDefinition(const std::string& name) const
{
    // Definitions are only ever appended: index the new ones by name.
    if (definitionsIndexed > definitions.size()) InvalidateDefinitionNames();
    for (; definitionsIndexed < definitions.size(); ++definitionsIndexed) {
        const uint64_t index = definitions[definitionsIndexed];
        if (const ObjRecord* r = defs->Find(index)) definitionsByName[r->name].push_back(index);
    }
    const auto found = definitionsByName.find(name);
    if (found == definitionsByName.end()) return nullptr;
    for (uint64_t i : found->second) {
        const ObjRecord* r = defs->FindLive(i);
        if (r && r->name == name) return r;
    }
    return nullptr;
}

void SessionData::InvalidateDefinitionNames() const
{
    definitionsByName.clear();
    definitionsIndexed = 0;
}

void SessionData::SetFailNext(const std::string& op, int n)
{
    const int32_t key = OpKeyFromName(op);
    if (n <= 0)
        failNext.erase(op);
    else
        failNext[op] = n;
    if (key < 0) return;
    if (failNextByKey.empty()) failNextByKey.assign(OpCount() * 3, 0);
    failNextByKey[static_cast<size_t>(key)] = n > 0 ? n : 0;
}

}  // namespace detail
}  // namespace Lumo
