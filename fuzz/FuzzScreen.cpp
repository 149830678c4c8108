#include "FuzzScreen.h"

#include <array>
#include <optional>

#include "host/fake/FakeHost.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/WindowSetup.h"

namespace fuzzscreen {

namespace {

std::array<std::optional<t_Window>, kGraphicWindowCount> openedRecords;

host::FakeHost& fakeHost() {
  static host::FakeHost fake;
  return fake;
}

void installOnce() {
  static const bool installed = [] {
    host::install(&fakeHost());
    // Claiming that the refresh process runs keeps t_InitWindow from starting
    // it: nothing shows the pixels, and a thread would only cost time.
    AutoUpdateRunning = true;
    return true;
  }();
  (void)installed;
}

}  // namespace

t_Font testFont(int cellWidth, int cellHeight) {
  t_Font font;
  font.Format = 2;
  font.Start = 0;
  font.End = 255;
  font.Width = cellWidth;
  font.Height = cellHeight;
  font.Data.resize(std::size_t(cellWidth) * cellHeight * 256);
  for (std::size_t i = 0; i < font.Data.size(); ++i)
    font.Data[i] = static_cast<std::uint8_t>(i * 7);
  return font;
}

void openWindow(std::uint8_t window, int bitDepth, int width, int height, const t_Font& font) {
  installOnce();
  t_InitWindow(window, bitDepth, false, width, height, 0, 0, font, true);
  openedRecords[window] = windowRecord(window);
}

void restoreWindows() {
  for (std::size_t window = 0; window < openedRecords.size(); ++window) {
    if (openedRecords[window]) windowRecord(window) = *openedRecords[window];
  }
  KeyEventQueue.clear();
  fakeHost().setPasteboardText("");
}

}  // namespace fuzzscreen
