#include "toolbox/text/Scrollback.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>

#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"

namespace {

struct WindowPast {
  std::mutex lock;
  ScrollbackSource source;
  std::atomic<bool> enabled{false};
};
std::array<WindowPast, kGraphicWindowCount> pasts;

bool isTextWindow(std::uint8_t window) {
  return window < kGraphicWindowCount && MemoryReady && WindowTable[window].Initialized &&
         WindowTable[window].TextLastLine >= WindowTable[window].TextFirstLine;
}

std::vector<std::string> areaLines(std::uint8_t window) {
  const t_Window& w = WindowTable[window];
  std::vector<std::string> lines;
  for (int line = w.TextFirstLine; line <= w.TextLastLine; ++line) {
    lines.push_back(t_GetScreenLine(window, line, w.TextFirstColumn, w.TextLastColumn));
  }
  return lines;
}

}  // namespace

void t_SetScrollbackSource(std::uint8_t window, ScrollbackSource source) {
  if (window >= kGraphicWindowCount) return;
  std::lock_guard guard(pasts[window].lock);
  pasts[window].source = std::move(source);
}

void t_EnableScrollback(std::uint8_t window, bool enabled) {
  if (window < kGraphicWindowCount) pasts[window].enabled = enabled;
}

bool t_ScrollbackEnabled(std::uint8_t window) {
  return window < kGraphicWindowCount && pasts[window].enabled;
}

std::string t_ScrollbackMark(const ScrollbackPage& page) {
  // At most 76 characters, so that it fits the text window's width.
  return "Verlauf: " + std::to_string(page.linesBack) +
         " Zeilen zurück (Bild↑ Bild↓ blättern, andere Taste beendet)";
}

std::size_t t_ScrollbackLinesKept(std::uint8_t window) {
  if (window >= kGraphicWindowCount) return 0;
  std::lock_guard guard(pasts[window].lock);
  return pasts[window].source.lineCount ? pasts[window].source.lineCount() : 0;
}

int t_ScrollbackPageLines(std::uint8_t window) {
  if (!isTextWindow(window)) return 0;
  return WindowTable[window].TextLastLine - WindowTable[window].TextFirstLine + 1;
}

ScrollbackPage t_ScrollbackPage(std::uint8_t window, std::size_t linesBack) {
  ScrollbackPage page;
  if (!isTextWindow(window)) return page;
  const std::vector<std::string> live = areaLines(window);
  const std::size_t height = live.size();
  ScrollbackSource source;
  {
    std::lock_guard guard(pasts[window].lock);
    source = pasts[window].source;
  }
  page.linesKept = source.lineCount ? source.lineCount() : 0;
  page.linesBack = std::min(linesBack, page.linesKept);
  // The page's first line, counted in kept lines followed by the live ones.
  const std::size_t first = page.linesKept - page.linesBack;
  const std::size_t fromKept = std::min(height, page.linesKept - first);
  if (fromKept > 0) page.lines = source.lines(first, fromKept);
  page.lines.resize(fromKept);  // a source that gave fewer lines leaves blanks
  for (std::size_t index = 0; page.lines.size() < height; ++index) {
    page.lines.push_back(live[index]);
  }
  return page;
}
