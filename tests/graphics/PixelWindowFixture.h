// A fixture with the video memory and window records set up by hand, so that
// the pixel routines can be tested without the window set-up.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "toolbox/core/VideoMemory.h"

class PixelWindowFixture : public testing::Test {
 protected:
  void SetUp() override {
    memory_.assign(kVideoMemorySize, 0);
    savedMemory_ = VideoMemory;
    VideoMemory = memory_.data();
    MemoryReady = true;
  }

  void TearDown() override {
    for (int window = 0; window < kGraphicWindowCount; ++window) {
      windowRecord(static_cast<std::uint8_t>(window)) = t_Window{};
    }
    VideoMemory = savedMemory_;
    MemoryReady = false;
  }

  static std::int64_t rowBytes(int depth, int width) {
    return depth == 1 ? width / 8 : depth == 4 ? width / 2 : std::int64_t(width) * (depth / 8);
  }

  // A window whose graphic block starts at memoryStart and holds exactly its rows.
  t_Window& openWindow(std::uint8_t number, int depth, int width, int height,
                       std::int64_t memoryStart = 4096) {
    t_Window& window = windowRecord(number);
    window = t_Window{};
    window.Initialized = true;
    window.BitDepth = depth;
    window.Width = width;
    window.Height = height;
    window.MemoryStart = memoryStart;
    window.MemoryEnd = memoryStart + rowBytes(depth, width) * height - 1;
    window.TextColor = 0xC0;
    return window;
  }

  std::uint8_t* block(std::uint8_t number) {
    return VideoMemory + windowRecord(number).MemoryStart;
  }

  std::vector<std::uint8_t> memory_;
  std::uint8_t* savedMemory_ = nullptr;
};
