// StableSortByKey: sorts records by an unsigned 64-bit key (an object index's value), keeping the
// order of records with equal keys, in time linear in their count. A design-wide list of pins
// sorted with comparisons costs more per pin the larger the design grows; this sort does not.
// Header only.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace key_sort_detail {

constexpr unsigned kDigitBits = 11; // 2048 counters: they stay in the first-level cache
constexpr std::size_t kBuckets = std::size_t(1) << kDigitBits;
constexpr std::uint64_t kDigitMask = kBuckets - 1;
// Below this many records a comparison sort costs less than clearing the counters.
constexpr std::size_t kCompared = 256;

} // namespace key_sort_detail

// keyOf(record) returns the record's key as std::uint64_t. Least significant digit first, one
// distributing pass per digit; a digit that every key shares is skipped (object indexes share their
// type bits and, in one design, most high bits of their number).
template <class T, class KeyOf>
void StableSortByKey(std::vector<T>& records, KeyOf keyOf)
{
    using namespace key_sort_detail;
    const std::size_t n = records.size();
    if (n < kCompared) {
        std::stable_sort(records.begin(), records.end(),
                         [&](const T& a, const T& b) { return keyOf(a) < keyOf(b); });
        return;
    }
    const std::uint64_t first = keyOf(records.front());
    std::uint64_t differing = 0;
    for (const T& record : records)
        differing |= keyOf(record) ^ first;

    std::vector<T> sorted(n);
    std::vector<std::size_t> starts(kBuckets + 1);
    for (unsigned shift = 0; shift < 64; shift += kDigitBits) {
        if (((differing >> shift) & kDigitMask) == 0)
            continue;
        std::fill(starts.begin(), starts.end(), 0);
        for (const T& record : records)
            ++starts[((keyOf(record) >> shift) & kDigitMask) + 1];
        for (std::size_t digit = 1; digit <= kBuckets; ++digit)
            starts[digit] += starts[digit - 1];
        for (const T& record : records)
            sorted[starts[(keyOf(record) >> shift) & kDigitMask]++] = record;
        records.swap(sorted);
    }
}
