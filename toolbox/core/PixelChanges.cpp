#include "toolbox/core/PixelChanges.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "toolbox/core/VideoMemory.h"

namespace {

std::array<std::atomic<std::uint64_t>, kGraphicWindowCount> windowChanges{};
std::atomic<std::uint64_t> anyChange{0};
// A mark takes the lock only while the refresh process sleeps: most marks
// (one per glyph or plot) cost two atomic additions and one load.
std::atomic<bool> refreshSleeping{false};
// Never destroyed: the refresh process may still sleep on them while the
// process exits, and destroying a condition variable with a waiter hangs.
std::mutex& sleepLock = *new std::mutex;
std::condition_variable& wakeup = *new std::condition_variable;

void announce() {
  anyChange.fetch_add(1);
  if (refreshSleeping.load()) {
    // Taking the lock orders this notice after the sleeper's last look.
    { std::lock_guard guard(sleepLock); }
    wakeup.notify_all();
  }
}

}  // namespace

void markWindowChanged(std::uint8_t window) {
  if (window >= kGraphicWindowCount) return;
  windowChanges[window].fetch_add(1);
  announce();
}

void markVideoMemoryChanged(std::int64_t start, std::int64_t count) {
  const std::int64_t end = start + count - 1;
  for (int window = 0; window < kGraphicWindowCount; ++window) {
    const t_Window& record = windowRecord(static_cast<std::size_t>(window));
    const std::int64_t first = record.MemoryStart;
    const std::int64_t last = record.MemoryEnd;
    if (first >= 0 && first <= end && start <= last) {
      windowChanges[static_cast<std::size_t>(window)].fetch_add(1);
    }
  }
  announce();
}

std::uint64_t windowChangeCount(std::uint8_t window) {
  return window < kGraphicWindowCount ? windowChanges[window].load() : 0;
}

std::uint64_t changeCount() {
  return anyChange.load();
}

void waitForChange(std::uint64_t seen, std::chrono::steady_clock::duration timeout) {
  std::unique_lock lock(sleepLock);
  refreshSleeping = true;
  // Sequentially consistent: either the marker sees refreshSleeping, or this
  // look sees its change.
  wakeup.wait_for(lock, timeout, [seen] { return anyChange.load() != seen; });
  refreshSleeping = false;
}

void wakeRefresh() {
  announce();
}
