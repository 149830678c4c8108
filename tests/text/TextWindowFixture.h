// One text window on the screenless host, with a small synthetic font, for
// the tests of the text screen.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "host/fake/FakeHost.h"
#include "toolbox/core/Font.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/WindowSetup.h"

namespace texttest {

// Glyph k of the test font: pixel (0, 0) full ink, (1, 0) pure paper,
// (2, 0) half coverage, every other pixel coverage k, so a cell shows which
// code was drawn into it.
inline t_Font makeTestFont(int width, int height, std::uint8_t start = 0, std::uint8_t end = 255) {
  t_Font font;
  font.Format = 2;
  font.Start = start;
  font.End = end;
  font.Width = width;
  font.Height = height;
  const std::size_t cell = std::size_t(width) * height;
  font.Data.resize(cell * 256);
  for (int code = 0; code < 256; ++code) {
    std::uint8_t* glyph = font.Data.data() + code * cell;
    std::fill(glyph, glyph + cell, static_cast<std::uint8_t>(code));
    glyph[0] = 255;
    glyph[1] = 0;
    glyph[2] = 128;
  }
  return font;
}

inline host::FakeHost& fakeHost() {
  static host::FakeHost host;
  return host;
}

// A fresh video memory with window `window` set up as columns x lines cells
// of a cellWidth x cellHeight font at the given depth.
inline void setUpTextWindow(std::uint8_t window, int bitDepth, int columns, int lines,
                            int cellWidth = 8, int cellHeight = 8) {
  host::install(&fakeHost());
  // The refresh process would read the memory while the next test resets it;
  // claiming it runs keeps t_InitWindow from starting it.
  AutoUpdateRunning = true;
  resetVideoMemoryForTesting();
  KeyEventQueue.clear();
  t_InitWindow(window, bitDepth, false, columns * cellWidth, lines * cellHeight, 0, 0,
               makeTestFont(cellWidth, cellHeight), true);
}

// The text plane of one line as bytes.
inline std::string screenLine(int line, std::uint8_t window = 0) {
  const t_Window& w = windowRecord(window);
  std::string text;
  for (int column = 1; column <= w.TextWidth; ++column) {
    text.push_back(static_cast<char>(textblock::storedCode(w, column, line)));
  }
  return text;
}

inline std::uint8_t colourAt(int column, int line, std::uint8_t window = 0) {
  return textblock::storedColour(windowRecord(window), column, line);
}

// Red, green, blue of a pixel of a 24-bit window.
inline std::array<int, 3> pixel24(int x, int y, std::uint8_t window = 0) {
  const t_Window& w = windowRecord(window);
  const std::uint8_t* p = VideoMemory + w.MemoryStart + (std::int64_t(y) * w.Width + x) * 3;
  return {p[0], p[1], p[2]};
}

class TextWindowTest : public ::testing::Test {
 protected:
  static constexpr int kColumns = 10;
  static constexpr int kLines = 6;
  void SetUp() override { setUpTextWindow(0, 24, kColumns, kLines); }
  t_Window& w() { return windowRecord(0); }
};

}  // namespace texttest
