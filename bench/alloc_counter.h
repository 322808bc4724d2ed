#pragma once
// Counts heap allocations made through operator new while a benchmark runs, so a benchmark can
// report allocations per unit of work next to its time.

#include <atomic>
#include <cstdint>

namespace zubira::bench {

extern std::atomic<uint64_t> allocationCount;

inline uint64_t allocations() { return allocationCount.load(std::memory_order_relaxed); }

}  // namespace zubira::bench
