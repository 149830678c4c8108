// Which windows' pixels changed since someone last looked. The drawing and
// text routines mark a window after they have written its pixel memory; the
// refresh process sleeps until a mark arrives and asks only changed windows
// to redraw, and a view converts its window anew only when it has changed.
//
// Every mark adds one to the window's change count, so a reader remembers the
// count it last saw and compares. A reader takes the count before it reads the
// pixels: a write that lands during the read leaves a newer count behind.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "toolbox/core/VideoMemory.h"

// Any thread. Windows above 7 are ignored.
void markWindowChanged(std::uint8_t window);
// Marks every window whose graphic block overlaps count bytes at address start
// of the video memory (for routines that move memory by address).
void markVideoMemoryChanged(std::int64_t start, std::int64_t count);
std::uint64_t windowChangeCount(std::uint8_t window);

// --- For the refresh process ----------------------------------------------
// What the refresh has seen: the wake-ups so far and each window's count.
struct ChangeSnapshot {
  std::uint64_t wakeUps = 0;
  std::array<std::uint64_t, kGraphicWindowCount> windows{};
};
ChangeSnapshot changeSnapshot();
// Sleeps until a window changes after seen was taken, or wakeRefresh is
// called, or until timeout. The quiet windows' changes (bit N for window N)
// do not end it: the refresh has seen them changed and sleeps until they
// fall due, or until their view has finished drawing.
void waitForChange(const ChangeSnapshot& seen, std::chrono::steady_clock::duration timeout,
                   std::uint8_t quiet = 0);
// Wakes a waitForChange without a change: the refresh has something else to
// look at (a window's view has finished its redraw, the process is to stop).
void wakeRefresh();
