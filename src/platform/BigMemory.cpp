#include "platform/BigMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}

void* AllocateBig(std::size_t bytes) {
  if (bytes == 0) return nullptr;
#if defined(__linux__)
  if (bytes >= kHugePage) {
    // Fresh anonymous pages are zero already; aligned to 2 MiB so they can be huge pages.
    std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* raw = mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto begin = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = (begin + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > begin) munmap(raw, aligned - begin);
    std::size_t tail = begin + rounded + kHugePage - (aligned + rounded);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + rounded), tail);
    madvise(reinterpret_cast<void*>(aligned), rounded, MADV_HUGEPAGE);
#if defined(MADV_POPULATE_WRITE)
    // Every big array is used nearly whole: one call maps it instead of a fault per page
    // (and a second one where a read mapped the shared zero page first). Older kernels
    // refuse it and fault lazily.
    madvise(reinterpret_cast<void*>(aligned), rounded, MADV_POPULATE_WRITE);
#endif
    return reinterpret_cast<void*>(aligned);
  }
#endif
  void* p = std::calloc(bytes, 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void FreeBig(void* p, std::size_t bytes) {
  if (p == nullptr) return;
#if defined(__linux__)
  if (bytes >= kHugePage) {
    munmap(p, (bytes + kHugePage - 1) / kHugePage * kHugePage);
    return;
  }
#endif
  (void)bytes;
  std::free(p);
}

