// The one queue type of the window services: keys, clicks, chosen menu items
// and opened files each wait in one. The host's main thread (and workers)
// append, the program thread takes; every operation holds the queue's mutex
// and recomputes its availability flag under it, so the flag never claims an
// event that another thread has already taken. Appending wakes a program that
// waits for input (InputWait.h), the one way a wait learns of an event.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "toolbox/windows/InputWait.h"

// Each queue holds at most this many events: when it is full, the oldest goes.
// Far beyond what a player types ahead or a paste posts (4,096 keys); a queue
// that nothing drains (menu items, files) keeps its newest events.
inline constexpr std::size_t kEventQueueCapacity = 8192;

template <typename Event>
class EventQueue {
 public:
  explicit EventQueue(std::atomic<bool>& availableFlag) : available_(availableFlag) {}

  void append(const Event& event) {
    {
      std::lock_guard guard(lock_);
      if (events_.size() >= kEventQueueCapacity) events_.pop_front();
      events_.push_back(event);
      ++appended_;
      available_ = true;
    }
    notifyInputEvent();
  }
  // Removes and returns the oldest event; nothing when the queue is empty.
  std::optional<Event> takeFront() {
    std::lock_guard guard(lock_);
    if (events_.empty()) {
      available_ = false;
      return std::nullopt;
    }
    Event event = std::move(events_.front());
    events_.pop_front();
    available_ = !events_.empty();
    return event;
  }
  // The newest event without removing it.
  std::optional<Event> back() const {
    std::lock_guard guard(lock_);
    if (events_.empty()) return std::nullopt;
    return events_.back();
  }
  std::vector<Event> copy() const {
    std::lock_guard guard(lock_);
    return {events_.begin(), events_.end()};
  }
  // The events still queued whose number (0 for the first ever appended, as
  // appended() counts) is first or more: what a reader that keeps its place
  // has not seen yet.
  std::vector<Event> copyFrom(std::uint64_t first) const {
    std::lock_guard guard(lock_);
    const std::uint64_t oldest = appended_ - events_.size();
    const std::uint64_t skip = first > oldest ? first - oldest : 0;
    if (skip >= events_.size()) return {};
    return {events_.begin() + static_cast<std::ptrdiff_t>(skip), events_.end()};
  }
  void clear() {
    std::lock_guard guard(lock_);
    events_.clear();
    available_ = false;
  }
  std::size_t size() const {
    std::lock_guard guard(lock_);
    return events_.size();
  }
  // How many events were ever appended: it grows with every append, also
  // when the queue is full, so a change tells of a new event. Any thread.
  std::uint64_t appended() const { return appended_; }
  // Sets the availability flag from the queue's contents.
  void recomputeAvailable() {
    std::lock_guard guard(lock_);
    available_ = !events_.empty();
  }

 private:
  mutable std::mutex lock_;
  std::deque<Event> events_;
  std::atomic<std::uint64_t> appended_{0};
  std::atomic<bool>& available_;
};
