#include "toolbox/text/OutputLines.h"

#include <array>
#include <deque>
#include <mutex>

#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/core/Window.h"
#include "toolbox/text/DisplayModes.h"

namespace outputlines {
namespace {

std::mutex lock;
std::deque<FinishedLine> kept;
std::uint64_t newest = 0;
// Program thread only, like the printing that sets and reads it.
std::array<bool, kGraphicWindowCount> nextLineTyped{};
int notStoryDepth = 0;

}  // namespace

NotStory::NotStory() {
  ++notStoryDepth;
}

NotStory::~NotStory() {
  --notStoryDepth;
}

void recordLineEnd(std::uint8_t window, int line) {
  if (window >= kGraphicWindowCount || notStoryDepth > 0) return;
  const t_Window& w = WindowTable[window];
  FinishedLine finished;
  finished.window = window;
  finished.textUtf8 = t_GetScreenLine(window, line, w.TextFirstColumn, w.TextLastColumn);
  finished.typed = nextLineTyped[window];
  nextLineTyped[window] = false;
  {
    std::lock_guard guard(lock);
    finished.number = ++newest;
    kept.push_back(std::move(finished));
    if (kept.size() > kKeptLines) kept.pop_front();
  }
  markWindowChanged(window);
}

void markNextLineTyped(std::uint8_t window) {
  if (window < kGraphicWindowCount) nextLineTyped[window] = true;
}

LinesAfter linesAfter(std::uint64_t after) {
  LinesAfter result;
  std::lock_guard guard(lock);
  if (kept.empty() || newest <= after) return result;
  const std::uint64_t oldest = kept.front().number;
  if (after + 1 < oldest) result.missed = oldest - after - 1;
  for (const FinishedLine& line : kept) {
    if (line.number > after) result.lines.push_back(line);
  }
  return result;
}

std::uint64_t newestLineNumber() {
  std::lock_guard guard(lock);
  return newest;
}

void resetForTesting() {
  std::lock_guard guard(lock);
  kept.clear();
  newest = 0;
  nextLineTyped = {};
}

}  // namespace outputlines
