// A field that one thread writes and another reads (the refresh process and the
// host's handlers read window records while the program thread writes them).
// It behaves like a plain value, so records stay copyable values, but every
// load and store is atomic.
#pragma once

#include <atomic>
#include <type_traits>

template <typename T>
class SharedValue {
 public:
  SharedValue() : value_(T{}) {}
  SharedValue(T value) : value_(value) {}  // NOLINT: implicit on purpose, like a plain field
  SharedValue(const SharedValue& other) : value_(other.load()) {}
  SharedValue& operator=(const SharedValue& other) {
    store(other.load());
    return *this;
  }
  SharedValue& operator=(T value) {
    store(value);
    return *this;
  }
  operator T() const { return load(); }  // NOLINT: implicit on purpose
  // Counters and cursor positions step like plain integers, in one atomic step.
  SharedValue& operator+=(T delta) requires std::is_integral_v<T> {
    value_.fetch_add(delta, std::memory_order_acq_rel);
    return *this;
  }
  SharedValue& operator-=(T delta) requires std::is_integral_v<T> {
    value_.fetch_sub(delta, std::memory_order_acq_rel);
    return *this;
  }

  T load() const { return value_.load(std::memory_order_acquire); }
  void store(T value) { value_.store(value, std::memory_order_release); }

 private:
  std::atomic<T> value_;
};
