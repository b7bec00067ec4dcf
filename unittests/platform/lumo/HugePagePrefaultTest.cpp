// Blocks of huge pages cut from a region that a helper thread faults in ahead. Every block must keep what was
// written to it while others are cut and freed, the region is closed and its unused part given back; a block
// that does not fit, and every block after closing or on another thread, comes the ordinary way.
#include "platform/lumo/src/Store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace LumoTest {
namespace {

using Lumo::detail::AllocateHuge;
using Lumo::detail::FreeHuge;
using Lumo::detail::HugePagePrefault;

constexpr size_t kMB = size_t{1} << 20;

struct Step {
    enum Kind { Allocate, Free, Close } kind;
    size_t arg;                    // Allocate: bytes; Free: the block's number (in order of allocation)
    bool fromRegion = false;       // Allocate: cut from the region (Used() grows by its bytes)
};

TEST(HugePagePrefaultTest, BlocksKeepTheirBytesThroughCuttingFreeingAndClosing)
{
    const struct {
        const char* name;
        size_t region;
        std::vector<Step> steps;
    } cases[] = {
        {"cut in order, one freed in the middle, then closed",
         8 * kMB,
         {{Step::Allocate, kMB + 100, true}, {Step::Allocate, 3 * kMB, true}, {Step::Allocate, 100, true}, {Step::Free, 1},
          {Step::Close, 0}, {Step::Free, 0}, {Step::Free, 2}}},
        {"a block too large for the rest comes the ordinary way, a smaller one after it fits",
         4 * kMB,
         {{Step::Allocate, 3 * kMB, true}, {Step::Allocate, 2 * kMB, false}, {Step::Allocate, kMB / 2, true},
          {Step::Free, 1}, {Step::Close, 0}, {Step::Free, 2}, {Step::Free, 0}}},
        {"closed: the unused part goes back, later blocks come the ordinary way",
         8 * kMB,
         {{Step::Allocate, kMB + 8, true}, {Step::Allocate, 5000, true}, {Step::Close, 0},
          {Step::Allocate, 4 * kMB, false}, {Step::Free, 0}, {Step::Free, 2}, {Step::Free, 1}}},
        {"every block freed while open, closed empty", 6 * kMB,
         {{Step::Allocate, 2 * kMB, true}, {Step::Allocate, 2 * kMB, true}, {Step::Free, 0}, {Step::Free, 1},
          {Step::Close, 0}}},
        {"nothing cut", 4 * kMB, {{Step::Close, 0}}},
    };
    for (const auto& c : cases) {
        auto prefault = std::make_unique<HugePagePrefault>(c.region);
        std::vector<unsigned char*> blocks;
        std::vector<size_t> sizes;
        std::vector<bool> live;
        auto check = [&](const std::string& when) {
            for (size_t b = 0; b < blocks.size(); ++b) {
                if (!live[b]) continue;
                size_t wrong = 0;
                for (size_t i = 0; i < sizes[b]; i += 61) wrong += blocks[b][i] != static_cast<unsigned char>(b * 31 + i % 251);
                wrong += blocks[b][sizes[b] - 1] != static_cast<unsigned char>(b * 31 + (sizes[b] - 1) % 251);
                EXPECT_EQ(0u, wrong) << c.name << ": block " << b << " " << when;
            }
        };
        for (size_t s = 0; s < c.steps.size(); ++s) {
            const Step& step = c.steps[s];
            const std::string when = "after step " + std::to_string(s);
            if (step.kind == Step::Allocate) {
                const size_t before = prefault->Used();
                auto* p = static_cast<unsigned char*>(AllocateHuge(step.arg));
                EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(p) % 64) << c.name << " " << when;
                EXPECT_EQ(step.fromRegion ? (step.arg + 63) / 64 * 64 : 0, prefault->Used() - before) << c.name << " " << when;
                for (size_t i = 0; i < step.arg; ++i) p[i] = static_cast<unsigned char>(blocks.size() * 31 + i % 251);
                blocks.push_back(p);
                sizes.push_back(step.arg);
                live.push_back(true);
            } else if (step.kind == Step::Free) {
                FreeHuge(blocks[step.arg]);
                live[step.arg] = false;
            } else {
                prefault->Close();
            }
            check(when);
        }
        prefault.reset();
        check("after the prefault went");
        for (size_t b = 0; b < blocks.size(); ++b)
            if (live[b]) FreeHuge(blocks[b]);
    }
}

TEST(HugePagePrefaultTest, OnlyItsOwnThreadCutsFromItAndAnInnerOneTakesTurns)
{
    HugePagePrefault outer(4 * kMB);
    void* other = nullptr;
    std::thread([&] { other = AllocateHuge(kMB); }).join();
    EXPECT_EQ(0u, outer.Used()) << "another thread's block";
    {
        HugePagePrefault inner(4 * kMB);
        void* p = AllocateHuge(kMB);
        EXPECT_EQ(kMB, inner.Used());
        EXPECT_EQ(0u, outer.Used());
        FreeHuge(p);
    }
    void* q = AllocateHuge(kMB);
    EXPECT_EQ(kMB, outer.Used()) << "the outer one again once the inner one went";
    FreeHuge(q);
    FreeHuge(other);
}

// Bytes of [from, to) that are resident, counted by whole pages inside the range.
size_t ResidentBytes(const char* from, const char* to)
{
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t a = (reinterpret_cast<uintptr_t>(from) + page - 1) & ~(page - 1);
    const uintptr_t b = reinterpret_cast<uintptr_t>(to) & ~(page - 1);
    if (b <= a) return 0;
    std::vector<unsigned char> in((b - a) / page);
    if (mincore(reinterpret_cast<void*>(a), b - a, in.data()) != 0) return 0;
    size_t n = 0;
    for (unsigned char v : in) n += (v & 1) ? page : 0;
    return n;
}

TEST(HugePagePrefaultTest, TheHelperFaultsInNoMoreThanItIsAllowed)
{
    HugePagePrefault prefault(32 * kMB);
    char* block = static_cast<char*>(AllocateHuge(32 * kMB));
    ASSERT_EQ(32 * kMB, prefault.Used());
    // Each step leaves the helper time to fault in the whole region (it takes well under a tenth of a second);
    // one huge page past the allowance may come with the last one allowed.
    const struct {
        size_t allow;
        size_t untouchedFrom;   // nothing resident from here to the end of the block
    } steps[] = {{0, 4 * kMB}, {8 * kMB, 12 * kMB}, {4 * kMB, 12 * kMB} /* an allowance never shrinks */};
    for (const auto& s : steps) {
        prefault.Allow(s.allow);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(0u, ResidentBytes(block + s.untouchedFrom, block + 32 * kMB)) << "allowed " << s.allow / kMB << " MB";
    }
    prefault.Close();
    FreeHuge(block);
}

}  // namespace
}  // namespace LumoTest
