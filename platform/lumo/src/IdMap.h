// The file ids of one id scope of the design-file loader, in one open-addressing table. Private to lumopi.
#pragma once

#include "lumopi/StandIn.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Lumo {
namespace detail {

using StandIn::Kind;

// File ids of one scope: open addressing, since a large design resolves millions of references. A slot
// keeps the id's first bytes, so that short ids compare without reading the text, and the object's number and
// kind, so that resolving a reference touches nothing else. The ids' texts are copied into the map, so that
// the file's values can be given back while the references are still being resolved. An object's index is
// not kept here: the loader has it by the object's number.
class IdMap {
public:
    static constexpr uint32_t kNoObject = UINT32_MAX;   // no object: an empty slot, or an id not found
    struct Hit {
        uint32_t obj = kNoObject;
        Kind kind = Kind::None;
        bool Found() const { return obj != kNoObject; }
    };

    // The table is kept at most three quarters full (ids are looked up far more often than missed); its size
    // need not be a power of two, so a reserved table is no larger than that asks.
    void Reserve(size_t ids)
    {
        const size_t size = std::max<size_t>(1024, ids / 3 * 4 + 4);
        if (size > m_slots.size()) Rehash(size);
    }
    // An id to insert (see InsertAll).
    struct Pending {
        std::string_view id;
        uint32_t obj;
        Kind kind;
    };
    // Inserts the ids in their order; the position of the first one already taken, or SIZE_MAX. The table is
    // sized for all of them first, and each id's slot is fetched a few ids ahead, so that the cache misses of a
    // large table overlap rather than follow one another.
    size_t InsertAll(const std::vector<Pending>& items)
    {
        Reserve(m_count + items.size());
        constexpr size_t kAhead = 16;
        size_t homes[kAhead];
        auto fetch = [&](size_t i) {
            const size_t home = Home(items[i].id);
            __builtin_prefetch(&m_slots[home]);
            return home;
        };
        for (size_t i = 0; i < std::min(kAhead, items.size()); ++i) homes[i] = fetch(i);
        for (size_t i = 0; i < items.size(); ++i) {
            const size_t home = homes[i % kAhead];
            if (i + kAhead < items.size()) homes[i % kAhead] = fetch(i + kAhead);
            if (!Insert(home, items[i].id, items[i].obj, items[i].kind)) return i;
        }
        return SIZE_MAX;
    }
    // The table in a few thousand regions of consecutive slots, each small enough for the cache: lookups made
    // region by region read a large table once, from start to end. A slot's region is its number >> RegionShift().
    unsigned RegionShift() const
    {
        constexpr unsigned kRegionBits = 12;
        unsigned shift = 0;
        while ((m_slots.size() >> shift) > (size_t{1} << kRegionBits)) ++shift;
        return shift;
    }
    size_t Regions() const { return (m_slots.size() >> RegionShift()) + 1; }
    void Swap(IdMap& other)
    {
        m_slots.swap(other.m_slots);
        m_text.swap(other.m_text);
        std::swap(m_count, other.m_count);
    }
    // Where a lookup of the id starts and what it compares first: taken apart from the lookup, so that many
    // lookups can be sorted by their slots before any is made.
    struct Probe {
        uint64_t prefix;
        uint32_t home;
        uint32_t len;
    };
    Probe ProbeOf(std::string_view id) const
    {
        return Probe{Prefix(id), m_slots.empty() ? 0u : static_cast<uint32_t>(Home(id)), static_cast<uint32_t>(id.size())};
    }
    size_t Count() const { return m_count; }
    size_t TextBytes() const { return m_text.size(); }
    Hit Find(std::string_view id) const { return Find(ProbeOf(id), [&] { return id; }); }
    // A lookup from its probe; `text()` gives the id, read only for an id longer than the prefix.
    template <class Text>
    Hit Find(const Probe& p, Text&& text) const
    {
        if (m_slots.empty()) return Hit();
        for (size_t i = p.home;; i = Next(i)) {
            const Slot& s = m_slots[i];
            if (s.obj == kNoObject) return Hit();
            if (s.prefix != p.prefix || s.len != p.len) continue;
            if (p.len <= sizeof p.prefix ||
                std::memcmp(m_text.data() + s.text + sizeof p.prefix, text().data() + sizeof p.prefix, p.len - sizeof p.prefix) == 0)
                return Hit{s.obj, s.kind};
        }
    }
private:
    // False when the id is already taken; the table has room.
    bool Insert(size_t home, std::string_view id, uint32_t obj, Kind kind)
    {
        const uint64_t prefix = Prefix(id);
        for (size_t i = home;; i = Next(i)) {
            Slot& s = m_slots[i];
            if (s.obj == kNoObject) {
                if (m_text.size() + id.size() > UINT32_MAX) throw std::length_error("ids of more than 4 GB");
                s = Slot{prefix, static_cast<uint32_t>(m_text.size()), obj, static_cast<uint32_t>(id.size()), kind};
                m_text.append(id.data(), id.size());
                ++m_count;
                return true;
            }
            if (Same(s, prefix, id)) return false;
        }
    }
    // Packed to 20 bytes: a million-pin design has millions of them.
#pragma pack(push, 4)
    struct Slot {
        uint64_t prefix = 0;
        uint32_t text = 0;   // offset of the id in m_text
        uint32_t obj = kNoObject;
        uint32_t len : 24;
        Kind kind;
    };
#pragma pack(pop)
    static_assert(sizeof(Slot) == 20, "no padding");
    static uint64_t Hash(std::string_view id) { return std::hash<std::string_view>()(id); }
    // The first slot to try: the hash scaled to the table (its high bits choose), then the next ones in turn.
    size_t Home(std::string_view id) const
    {
        return static_cast<size_t>((static_cast<unsigned __int128>(Hash(id)) * m_slots.size()) >> 64);
    }
    size_t Next(size_t i) const { return i + 1 == m_slots.size() ? 0 : i + 1; }
    static uint64_t Prefix(std::string_view id)
    {
        uint64_t p = 0;
        std::memcpy(&p, id.data(), std::min<size_t>(id.size(), sizeof p));
        return p;
    }
    bool Same(const Slot& s, uint64_t prefix, std::string_view id) const
    {
        if (s.prefix != prefix || s.len != id.size()) return false;
        return id.size() <= sizeof prefix ||
               std::memcmp(m_text.data() + s.text + sizeof prefix, id.data() + sizeof prefix, id.size() - sizeof prefix) == 0;
    }
    void Rehash(size_t size)
    {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(size, Slot{0, 0, kNoObject, 0, Kind::None});
        for (const Slot& s : old) {
            if (s.obj == kNoObject) continue;
            size_t i = Home(std::string_view(m_text.data() + s.text, s.len));
            while (m_slots[i].obj != kNoObject) i = Next(i);
            m_slots[i] = s;
        }
    }
    std::vector<Slot> m_slots;
    std::string m_text;   // the ids, one after the other
    size_t m_count = 0;
};

}  // namespace detail
}  // namespace Lumo
