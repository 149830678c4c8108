#include "support/Clock.h"

#include <atomic>
#include <chrono>

namespace {

// 2001-01-01 00:00:00 UTC in seconds of the Unix epoch.
constexpr double kSecondsFrom1970To2001 = 978307200.0;

std::atomic<ClockSource> clockSource{nullptr};

double realAbsoluteTime() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration<double>(sinceEpoch).count() - kSecondsFrom1970To2001;
}

}  // namespace

double absoluteTimeSeconds() {
  const ClockSource source = clockSource.load(std::memory_order_acquire);
  return source ? source() : realAbsoluteTime();
}

std::int64_t secondsToMilliseconds(double seconds) {
  return static_cast<std::int64_t>(seconds * 1000.0);
}

std::int64_t secondsToMicroseconds(double seconds) {
  return static_cast<std::int64_t>(seconds * 1000000.0);
}

std::int64_t absoluteTimeMilliseconds() {
  return secondsToMilliseconds(absoluteTimeSeconds());
}

void setClockSourceForTesting(ClockSource source) {
  clockSource.store(source, std::memory_order_release);
}
