#include "engine/core/random.h"

#include <atomic>
#include <cstdint>

namespace vo {

namespace {

// Linear congruential generator with a 64-bit state (Knuth's MMIX constants);
// the result is taken from the high bits, the well-mixed part of an LCG. Every
// bit of a 32-bit seed changes the sequence.
std::atomic<std::uint64_t> g_state{1u};

std::uint64_t Advance(std::uint64_t s) { return s * 6364136223846793005ull + 1442695040888963407ull; }

}  // namespace

int Rand() {
    std::uint64_t old = g_state.load(std::memory_order_relaxed);
    std::uint64_t next = Advance(old);
    while (!g_state.compare_exchange_weak(old, next, std::memory_order_relaxed)) {
        next = Advance(old);
    }
    return static_cast<int>((next >> 48) & 0x7fffu);
}

void SeedRand(unsigned int seed) { g_state.store(static_cast<std::uint64_t>(seed), std::memory_order_relaxed); }

}  // namespace vo
