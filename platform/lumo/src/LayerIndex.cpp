#include "LayerIndex.h"

#include <algorithm>
#include <cstdint>

namespace Lumo {
namespace detail {

namespace {
bool ByNumber(const LayerIndex::Entry& a, const LayerIndex::Entry& b) { return a.number < b.number; }
}  // namespace

void LayerIndex::MarkStale()
{
    m_stale = true;
    std::vector<Entry>().swap(m_entries);
}

void LayerIndex::Assign(std::vector<Entry> entries)
{
    // lists of layer rules are mostly made in layer order
    if (!std::is_sorted(entries.begin(), entries.end(), ByNumber)) std::stable_sort(entries.begin(), entries.end(), ByNumber);
    entries.shrink_to_fit();
    m_entries = std::move(entries);
    m_stale = false;
}

void LayerIndex::Append(int64_t number, uint32_t slot)
{
    if (m_stale || !Fits(number)) return;
    if (!m_entries.empty() && m_entries.back().number > number) {
        MarkStale();
        return;
    }
    m_entries.push_back(Entry{static_cast<int32_t>(number), slot});
}

void LayerIndex::Remove(int64_t number, uint32_t slot)
{
    if (m_stale || !Fits(number)) return;
    const auto range = std::equal_range(m_entries.begin(), m_entries.end(), Entry{static_cast<int32_t>(number), 0}, ByNumber);
    const auto last = std::remove_if(range.first, range.second, [slot](const Entry& e) { return e.slot == slot; });
    if (last == range.second) {
        MarkStale();
        return;
    }
    m_entries.erase(last, range.second);
}

std::pair<const LayerIndex::Entry*, const LayerIndex::Entry*> LayerIndex::Find(int32_t number) const
{
    const Entry* begin = m_entries.data();
    const Entry* end = begin + m_entries.size();
    return std::equal_range(begin, end, Entry{number, 0}, ByNumber);
}

}  // namespace detail
}  // namespace Lumo
