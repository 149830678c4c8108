#include "support/ZeroedArray.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

constexpr std::uintptr_t kHugePageBytes = std::uintptr_t{2} << 20;

std::uintptr_t roundUp(std::uintptr_t value) {
  return (value + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
}

}  // namespace

namespace scratch {

void* allocateZeroed(std::size_t bytes) {
  if (bytes < kHugePageBytes) {
    void* data = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (data == nullptr) throw std::bad_alloc();
    return data;
  }
  // One huge page more than needed, and the ends beyond the 2 MiB
  // boundaries given back at once.
  const std::size_t mapped = roundUp(bytes);
  void* raw = ::mmap(nullptr, mapped + kHugePageBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto rawStart = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t start = roundUp(rawStart);
  if (start > rawStart) ::munmap(raw, start - rawStart);
  const std::uintptr_t tail = rawStart + mapped + kHugePageBytes - (start + mapped);
  if (tail > 0) ::munmap(reinterpret_cast<void*>(start + mapped), tail);
  ::madvise(reinterpret_cast<void*>(start), mapped, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(start);
}

void freeZeroed(void* data, std::size_t bytes) {
  if (bytes < kHugePageBytes) {
    std::free(data);
  } else {
    ::munmap(data, roundUp(bytes));
  }
}

void preferHugePages(void* data, std::size_t bytes) {
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = roundUp(start);
  const std::uintptr_t end = (start + bytes) & ~(kHugePageBytes - 1);
  if (first < end) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace scratch
