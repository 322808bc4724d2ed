// Interposes the C allocator, which operator new and Qt's containers both end in, and counts the
// calls. glibc exports its own entry points as __libc_*, so the counting versions forward there.

#include "alloc_counter.h"

#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);

void* malloc(size_t size) {
  zubira::bench::allocationCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  zubira::bench::allocationCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  zubira::bench::allocationCount.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, size);
}
}

namespace zubira::bench {
std::atomic<uint64_t> allocationCount{0};
}
