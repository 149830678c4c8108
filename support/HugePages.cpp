#include "support/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace {
constexpr std::uintptr_t kHugePageBytes = std::uintptr_t{2} << 20;
}

void preferHugePages(void* data, std::size_t bytes) {
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  const std::uintptr_t end = (start + bytes) & ~(kHugePageBytes - 1);
  // advice only: a system without transparent huge pages refuses it, and the
  // buffer works as before
  if (first < end) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}
