#include "toolbox/core/PixelChanges.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace {

std::array<std::atomic<std::uint64_t>, kGraphicWindowCount> windowChanges{};

// The refresh process's sleep, as the marking threads see it.
struct RefreshSleep {
  std::atomic<std::uint64_t> wakeUps{0};  // calls of wakeRefresh
  // The windows whose marks let the process sleep on (one bit each): they
  // have changed already and it sleeps until they fall due. Without this,
  // every glyph printed in the interval would wake it for a pass that finds
  // nothing due.
  std::atomic<std::uint8_t> quietWindows{0};
  // A mark takes the lock only while the process sleeps: most marks (one per
  // glyph or plot) cost a few atomic operations.
  std::atomic<bool> sleeping{false};
  // Never destroyed: the refresh process may still sleep on them while the
  // process exits, and destroying a condition variable with a waiter hangs.
  std::mutex& lock = *new std::mutex;
  std::condition_variable& wakeup = *new std::condition_variable;
};
RefreshSleep refreshSleep;

void notifySleeper() {
  if (refreshSleep.sleeping.load()) {
    // Taking the lock orders this notice after the sleeper's last look.
    { std::lock_guard guard(refreshSleep.lock); }
    refreshSleep.wakeup.notify_all();
  }
}

// windows: one bit for each window whose count has just grown.
void announce(std::uint8_t windows) {
  if ((windows & ~refreshSleep.quietWindows.load()) != 0) notifySleeper();
}

// Whether something the sleeper must look at happened since seen.
bool changedSince(const ChangeSnapshot& seen, std::uint8_t quiet) {
  if (refreshSleep.wakeUps.load() != seen.wakeUps) return true;
  for (int window = 0; window < kGraphicWindowCount; ++window) {
    if ((quiet & 1U << window) == 0 && windowChanges[static_cast<std::size_t>(window)].load() !=
                                           seen.windows[static_cast<std::size_t>(window)])
      return true;
  }
  return false;
}

}  // namespace

void markWindowChanged(std::uint8_t window) {
  if (window >= kGraphicWindowCount) return;
  windowChanges[window].fetch_add(1);
  announce(static_cast<std::uint8_t>(1U << window));
}

void markVideoMemoryChanged(std::int64_t start, std::int64_t count) {
  const std::int64_t end = start + count - 1;
  std::uint8_t changed = 0;
  for (int window = 0; window < kGraphicWindowCount; ++window) {
    const t_Window& record = windowRecord(static_cast<std::size_t>(window));
    const std::int64_t first = record.MemoryStart;
    const std::int64_t last = record.MemoryEnd;
    if (first >= 0 && first <= end && start <= last) {
      windowChanges[static_cast<std::size_t>(window)].fetch_add(1);
      changed = static_cast<std::uint8_t>(changed | 1U << window);
    }
  }
  announce(changed);
}

std::uint64_t windowChangeCount(std::uint8_t window) {
  return window < kGraphicWindowCount ? windowChanges[window].load() : 0;
}

ChangeSnapshot changeSnapshot() {
  ChangeSnapshot snapshot;
  snapshot.wakeUps = refreshSleep.wakeUps.load();
  for (std::size_t window = 0; window < snapshot.windows.size(); ++window)
    snapshot.windows[window] = windowChanges[window].load();
  return snapshot;
}

void waitForChange(const ChangeSnapshot& seen, std::chrono::steady_clock::duration timeout,
                   std::uint8_t quiet) {
  std::unique_lock lock(refreshSleep.lock);
  refreshSleep.quietWindows = quiet;
  refreshSleep.sleeping = true;
  // Sequentially consistent: a marker either counts before this look, which
  // then sees its change, or looks at quietWindows and sleeping after they
  // were set, and wakes the sleeper unless its window is quiet.
  refreshSleep.wakeup.wait_for(lock, timeout, [&] { return changedSince(seen, quiet); });
  refreshSleep.sleeping = false;
  refreshSleep.quietWindows = 0;
}

void wakeRefresh() {
  refreshSleep.wakeUps.fetch_add(1);
  notifySleeper();
}
