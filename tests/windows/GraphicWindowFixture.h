// The screenless host with a fresh video memory, for the tests of the window
// set-up, window management and refresh. No refresh process runs: the fixture
// claims it is running, so t_InitWindow starts none, and tests drive passes
// themselves.
#pragma once

#include <gtest/gtest.h>

#include <atomic>

#include "host/fake/FakeHost.h"
#include "support/Bundle.h"
#include "support/Clock.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/windows/WindowSetup.h"

namespace windowtest {

// A clock that only moves when a test moves it.
inline std::atomic<double> fakeSeconds{1000.0};
inline double fakeClock() {
  return fakeSeconds.load();
}

inline t_Font fontWithData(int width, int height) {
  t_Font font;
  font.Width = width;
  font.Height = height;
  font.Data.assign(std::size_t(width) * height * 256, 0x80);
  return font;
}

class GraphicWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    host::install(&desktop);
    setBundlePath("/opt/games/Velmorat.app");
    AutoUpdateRunning = true;
    TitleBarHeight = host::FakeHost::kTitleBarHeight;
    resetVideoMemoryForTesting();
    fakeSeconds = 1000.0;
  }
  void TearDown() override {
    setClockSourceForTesting(nullptr);
    resetVideoMemoryForTesting();
    host::install(nullptr);
  }

  // A 24-bit window without text and without automatic update.
  void openPictureWindow(std::uint8_t window, int width, int height, int border = 0,
                         int bitDepth = 24) {
    t_InitWindow(window, bitDepth, false, width, height, border, border, emptyFont(), true);
  }

  host::FakeHost desktop;
};

}  // namespace windowtest
