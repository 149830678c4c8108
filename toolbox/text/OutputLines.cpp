#include "toolbox/text/OutputLines.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <deque>
#include <mutex>

#include "support/Utf8.h"
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
// Under listenerLock, never under lock.
std::mutex listenerLock;
std::vector<std::pair<int, std::function<void()>>> listeners;
int nextListenerId = 1;

constexpr char32_t kFirstControl = 0x80;
constexpr char32_t kLastControl = 0x9F;
constexpr char32_t kRuleCode = 0x9C;

}  // namespace

std::string readableLine(const std::string& screenLineUtf8) {
  std::u32string scalars = utf8ToScalars(screenLineUtf8);
  for (char32_t& c : scalars) {
    if (c == kRuleCode) {
      c = U'-';
    } else if (c >= kFirstControl && c <= kLastControl) {
      c = U' ';
    }
  }
  std::string readable = scalarsToUtf8(scalars);
  readable.erase(readable.find_last_not_of(' ') + 1);
  return readable;
}

bool holdsWords(const std::string& lineUtf8) {
  const std::u32string scalars = utf8ToScalars(lineUtf8);
  return std::any_of(scalars.begin(), scalars.end(), [](char32_t c) {
    return (c < 0x80 && std::isalnum(static_cast<int>(c)) != 0) || (c >= 0xC0 && c <= 0xFF);
  });
}

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
  finished.textUtf8 =
      readableLine(t_GetScreenLine(window, line, w.TextFirstColumn, w.TextLastColumn));
  finished.typed = nextLineTyped[window];
  nextLineTyped[window] = false;
  {
    std::lock_guard guard(lock);
    finished.number = ++newest;
    kept.push_back(std::move(finished));
    if (kept.size() > kKeptLines) kept.pop_front();
  }
  markWindowChanged(window);
  std::lock_guard guard(listenerLock);
  for (const auto& [id, listener] : listeners) listener();
}

int addLineListener(std::function<void()> listener) {
  std::lock_guard guard(listenerLock);
  listeners.emplace_back(nextListenerId, std::move(listener));
  return nextListenerId++;
}

void removeLineListener(int id) {
  std::lock_guard guard(listenerLock);
  std::erase_if(listeners, [id](const auto& entry) { return entry.first == id; });
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
