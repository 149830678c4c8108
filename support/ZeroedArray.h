// Scratch memory for large tables that are filled as work proceeds and read
// at random (codec dictionaries): zeroed memory that costs only what is
// touched.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace scratch {
// Zeroed bytes. Blocks of 2 MiB and more are mapped straight from the system
// on 2 MiB boundaries: zero pages, paid for only where they are touched, and
// huge pages where the system keeps them (one page fault instead of 512, far
// fewer address-translation misses). Smaller blocks come from calloc. Throws
// std::bad_alloc when there is no memory.
void* allocateZeroed(std::size_t bytes);
void freeZeroed(void* data, std::size_t bytes);

// Asks for huge pages behind the whole 2 MiB stretches of a buffer that is
// not touched yet (one from elsewhere, such as a vector's reserved room).
// Advice only: where the system keeps no huge pages nothing changes.
void preferHugePages(void* data, std::size_t bytes);
}  // namespace scratch

// A fixed number of zeroed items of a trivial type.
template <typename Item>
class ZeroedArray {
  static_assert(std::is_trivial_v<Item>);

 public:
  ZeroedArray() = default;
  explicit ZeroedArray(std::size_t count)
      : items_(static_cast<Item*>(scratch::allocateZeroed(count * sizeof(Item)))), count_(count) {}
  ~ZeroedArray() {
    if (items_ != nullptr) scratch::freeZeroed(items_, count_ * sizeof(Item));
  }
  ZeroedArray(ZeroedArray&& other) noexcept
      : items_(std::exchange(other.items_, nullptr)), count_(std::exchange(other.count_, 0)) {}
  ZeroedArray& operator=(ZeroedArray&& other) noexcept {
    std::swap(items_, other.items_);
    std::swap(count_, other.count_);
    return *this;
  }
  ZeroedArray(const ZeroedArray&) = delete;
  ZeroedArray& operator=(const ZeroedArray&) = delete;

  Item& operator[](std::size_t at) { return items_[at]; }
  const Item& operator[](std::size_t at) const { return items_[at]; }
  Item* data() const { return items_; }
  std::size_t size() const { return count_; }

 private:
  Item* items_ = nullptr;
  std::size_t count_ = 0;
};
