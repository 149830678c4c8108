// The host's absolute clock: seconds since the first instant of 2001 (UTC), the
// time base of every time stamp in window records and events.
#pragma once

#include <cstdint>

// Seconds since 2001-01-01 00:00:00 UTC.
double absoluteTimeSeconds();
// The same time in whole milliseconds, truncated toward zero.
std::int64_t absoluteTimeMilliseconds();
// Converts a time of absoluteTimeSeconds, truncating toward zero.
std::int64_t secondsToMilliseconds(double seconds);
std::int64_t secondsToMicroseconds(double seconds);

// Tests replace the clock to step time by hand; nullptr restores the real one.
using ClockSource = double (*)();
void setClockSourceForTesting(ClockSource source);
