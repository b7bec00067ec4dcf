// The layer rules of one list of a scheme rule by layer number, so that finding a rule's layer rule of one
// number, which a walk over every layer asks once per layer, reads a few entries instead of the whole list.
// Entries (number, slot) stand sorted by number, list order kept among equal numbers (the order in which a
// scan of the list meets its matches). The snapshot that holds it keeps it up to date (SnapshotData);
// private to lumopi, not thread-safe.
#pragma once

#include "lumopi/StandIn.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace Lumo {
namespace detail {

class LayerIndex {
public:
    struct Entry {
        int32_t number;
        uint32_t slot;
    };

    explicit LayerIndex(StandIn::Kind kind) : m_kind(kind) {}

    // A number that can be filed: any other never matches a look-up.
    static bool Fits(int64_t number) { return number >= INT32_MIN && number <= INT32_MAX; }

    // The kind of record it files; entries of other kinds in the list are never matches.
    StandIn::Kind kind() const { return m_kind; }
    // A stale index answers nothing until it is rebuilt from its list with Assign; a new one is stale.
    bool Stale() const { return m_stale; }
    void MarkStale();
    // Replaces the entries with those of the list, given in list order (numbers outside int32 are never
    // matches and are left out), and makes it current.
    void Assign(std::vector<Entry> entries);

    // An entry added at the list's end: filed in place when its number sorts last (lists of layer rules are
    // made in layer order), else the index goes stale.
    void Append(int64_t number, uint32_t slot);
    // Every entry of the slot filed under the number leaves; the index goes stale when there was none (the
    // number it was filed under is not known).
    void Remove(int64_t number, uint32_t slot);
    // The entries of a number, in list order.
    std::pair<const Entry*, const Entry*> Find(int32_t number) const;

private:
    std::vector<Entry> m_entries;
    StandIn::Kind m_kind;
    bool m_stale = true;
};

}  // namespace detail
}  // namespace Lumo
