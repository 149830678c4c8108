#include <gtest/gtest.h>

#include "LogCapture.h"
#include "PixelWindowFixture.h"
#include "toolbox/graphics/PixelOps.h"

using PixelOps = PixelWindowFixture;

namespace {

std::uint32_t packed(int alpha, int red, int green, int blue) {
  return t_RGBColor{std::uint8_t(alpha), std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue)}
      .packed();
}

void setInk(std::uint8_t window, int ink) {
  windowRecord(window).TextColor =
      static_cast<std::uint8_t>(ink << 4 | (windowRecord(window).TextColor & 0x0F));
}

}  // namespace

TEST_F(PixelOps, PlotOutsideTheWindowChangesNothingNotEvenThePosition) {
  t_Window& window = openWindow(0, 24, 8, 8);
  window.PositionX = 3;
  window.PositionY = 4;
  const std::vector<std::uint8_t> before = memory_;
  g_Plot(0, 8, 0);
  g_Plot(0, -1, 5);
  g_Plot(0, 0, 8);
  EXPECT_EQ(memory_, before);
  EXPECT_EQ(window.PositionX, 3);
  EXPECT_EQ(window.PositionY, 4);
  g_Plot(0, 7, 7);
  EXPECT_EQ(window.PositionX, 7);
  EXPECT_EQ(window.PositionY, 7);
}

TEST_F(PixelOps, OneBitPlotSetsTheBitFromInkNine) {
  openWindow(0, 1, 16, 2);
  setInk(0, 9);
  g_Plot(0, 1, 1);
  EXPECT_EQ(block(0)[2], 0x40);
  setInk(0, 8);
  g_Plot(0, 1, 1);
  EXPECT_EQ(block(0)[2], 0x00);
}

TEST_F(PixelOps, FourBitPlotWritesOnlyItsNibble) {
  openWindow(0, 4, 4, 1);
  setInk(0, 12);
  g_Plot(0, 0, 0);
  EXPECT_EQ(block(0)[0], 0xC0);
  g_Plot(0, 1, 0);
  EXPECT_EQ(block(0)[0], 0xCC);
}

TEST_F(PixelOps, ColorRgbChoosesTheInkOfSmallDepths) {
  openWindow(0, 4, 4, 1);
  g_ColorRGB(0, packed(255, 100, 100, 100));
  EXPECT_EQ(windowRecord(0).TextColor >> 4, 5);
  g_ColorRGB(0, packed(255, 255, 0, 1));
  EXPECT_EQ(windowRecord(0).TextColor, 0x10);  // paper nibble kept
  openWindow(1, 1, 8, 1);
  g_ColorRGB(1, packed(0, 128, 128, 128));  // 384 > 383
  EXPECT_EQ(windowRecord(1).TextColor >> 4, 15);
  g_ColorRGB(1, packed(0, 127, 128, 128));
  EXPECT_EQ(windowRecord(1).TextColor >> 4, 0);
  EXPECT_EQ(windowRecord(1).RGBColor.packed(), packed(0, 127, 128, 128));
}

TEST_F(PixelOps, ScrnReadsEveryDepth) {
  openWindow(0, 8, 4, 1);
  block(0)[2] = 0x40;
  EXPECT_EQ(g_Scrn(0, 2, 0), packed(0, 0x40, 0x40, 0x40));
  openWindow(1, 16, 4, 1, 8192);
  block(1)[2] = 0x11;
  block(1)[3] = 0x22;
  EXPECT_EQ(g_Scrn(1, 1, 0), packed(0x11, 0x22, 0x22, 0x22));
  openWindow(2, 4, 4, 1, 12288);
  block(2)[0] = 0x7D;
  EXPECT_EQ(g_Scrn(2, 0, 0), g_PaletteColor(7));
  EXPECT_EQ(g_Scrn(2, 1, 0), g_PaletteColor(13));
  EXPECT_EQ(g_Scrn(2, 4, 0), 255u);
  openWindow(3, 32, 2, 1, 16384);
  block(3)[4] = 1;
  block(3)[5] = 2;
  block(3)[6] = 3;
  block(3)[7] = 4;
  EXPECT_EQ(g_Scrn(3, 1, 0), packed(1, 2, 3, 4));
}

TEST_F(PixelOps, DrawingModesCombineWithThePixelInMemory) {
  openWindow(0, 24, 2, 1);
  block(0)[0] = 0xF0;
  windowRecord(0).RGBColor = t_RGBColor{9, 0x3C, 0, 0};
  const std::pair<int, int> modes24[] = {
      {0, 0x3C}, {1, (0x3C + 0xF0) / 2}, {5, 0x30}, {6, 0xFC}, {7, 0xCC}, {8, 0xF0}};
  for (auto [mode, expected] : modes24) {
    block(0)[0] = 0xF0;
    windowRecord(0).DrawingMode = mode;
    g_Plot(0, 0, 0);
    EXPECT_EQ(block(0)[0], expected) << "mode " << mode;
  }
  openWindow(1, 32, 1, 1, 8192);
  std::uint8_t* pixel = block(1);
  auto plotOver = [&](int mode, t_RGBColor colour) {
    pixel[0] = 0x77;
    pixel[1] = 200;
    windowRecord(1).DrawingMode = mode;
    windowRecord(1).RGBColor = colour;
    g_Plot(1, 0, 0);
  };
  plotOver(1, {51, 100, 0, 0});  // 100*51/255 + 200*204/255 = 20 + 160
  EXPECT_EQ(pixel[1], 180);
  EXPECT_EQ(pixel[0], 0x77);
  plotOver(2, {51, 100, 0, 0});
  EXPECT_EQ(pixel[0], 255);
  plotOver(3, {51, 100, 0, 0});
  EXPECT_EQ(pixel[0], 0x77);
  EXPECT_EQ(pixel[1], 100);
  plotOver(0, {51, 100, 0, 0});
  EXPECT_EQ(pixel[0], 51);
}

TEST_F(PixelOps, ClearScreenFillsTheGivenRowsOrAll) {
  openWindow(0, 24, 2, 5);
  g_ClearScreen(0, 9, 0);
  for (int i = 0; i < 30; i += 3) {
    EXPECT_EQ(block(0)[i], 255);
    EXPECT_EQ(block(0)[i + 1], 128);
    EXPECT_EQ(block(0)[i + 2], 0);
  }
  g_ClearScreen(0, 0, 3);
  EXPECT_EQ(block(0)[17], 0);
  EXPECT_EQ(block(0)[18], 255);
  openWindow(1, 32, 1, 1, 8192);
  g_ClearScreen(1, 99, -1);  // beyond the palette: opaque black
  EXPECT_EQ(block(1)[0], 255);
  EXPECT_EQ(block(1)[1], 0);
  openWindow(2, 4, 4, 2, 12288);
  g_ClearScreen(2, 0x1E, 1);
  EXPECT_EQ(block(2)[1], 0xEE);
  EXPECT_EQ(block(2)[2], 0x00);
  openWindow(3, 16, 1, 1, 16384);
  g_ClearScreen(3, 11, 1);  // (255 + 128 + 128) / 3
  EXPECT_EQ(block(3)[0], 255);
  EXPECT_EQ(block(3)[1], 170);
}

TEST_F(PixelOps, WindowChecksLogAndLeaveEverythingAlone) {
  LogCapture log;
  g_Plot(8, 0, 0);
  g_ColorRGB(9, 0);
  EXPECT_EQ(g_Scrn(2, 0, 0), 255u);
  openWindow(3, 24, 4, 4);
  MemoryReady = false;
  g_ClearScreen(3, 1, 0);
  MemoryReady = true;
  EXPECT_EQ(log.text(),
            "g_Plot: Window is not a graphic window.\n"
            "g_ColorRGB: Illegal window (9).\n"
            "g_Scrn: Graphic window #2 not initialized.\n"
            "g_ClearScreen: Graphic window #3 not initialized.\n");
  EXPECT_EQ(block(3)[0], 0);
}

TEST_F(PixelOps, RecordWhoseSizesExceedItsBlockNeverWritesOutside) {
  t_Window& window = openWindow(0, 24, 16, 16);
  window.MemoryEnd = window.MemoryStart + 3 * 16 * 4 - 1;  // room for 4 rows only
  memory_[window.MemoryEnd + 1] = 0x5A;
  g_ClearScreen(0, 15, 0);
  windowRecord(0).RGBColor = {255, 1, 2, 3};
  g_Plot(0, 0, 15);
  EXPECT_EQ(memory_[window.MemoryEnd], 255);
  EXPECT_EQ(memory_[window.MemoryEnd + 1], 0x5A);
  // a block outside the video memory is not used at all
  window.MemoryEnd = kVideoMemorySize + 100;
  LogCapture log;
  g_Plot(0, 0, 0);
  EXPECT_EQ(log.text(), "g_Plot: Graphic window #0 not initialized.\n");
}

TEST(PixelColours, NearestColourOfGreysAndColours) {
  EXPECT_EQ(g_NearestColor(63, 63, 63), 0);
  EXPECT_EQ(g_NearestColor(64, 64, 64), 5);
  EXPECT_EQ(g_NearestColor(100, 100, 100), 5);
  EXPECT_EQ(g_NearestColor(128, 128, 128), 10);
  EXPECT_EQ(g_NearestColor(192, 192, 192), 15);
  EXPECT_EQ(g_NearestColor(255, 0, 1), 1);
  EXPECT_EQ(g_NearestColor(250, 120, 10), 9);
  EXPECT_EQ(g_NearestColor(0, 100, 230), 7);
  EXPECT_EQ(g_NearestColor(0, 0, 64), 0);  // 64^2 to black, 64^2 to dark blue: lower index
}

TEST(PixelColours, PaletteColourIsOpaqueAndBlackBeyondTheTable) {
  EXPECT_EQ(g_PaletteColor(9), packed(255, 255, 128, 0));
  EXPECT_EQ(g_PaletteColor(16), packed(255, 0, 0, 0));
}
