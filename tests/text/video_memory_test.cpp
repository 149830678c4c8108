#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "graphics/LogCapture.h"
#include "windows/GraphicWindowFixture.h"

namespace {

using windowtest::fontWithData;

class VideoMemoryTest : public windowtest::GraphicWindowTest {
 protected:
  // The game's two windows: text window 0 (78 x 24 cells of 16 x 32, 24 bits,
  // border 16) and picture window 1 (1280 x 800, 24 bits).
  void openGameWindows() {
    t_InitWindow(0, 24, true, 78 * 16, 24 * 32, 16, 16, fontWithData(16, 32), true);
    openPictureWindow(1, 1280, 800);
  }
};

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Whether the page holding the address is in memory.
bool pageResident(std::int64_t address) {
  const auto pageBytes = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto at = reinterpret_cast<std::uintptr_t>(VideoMemory + address);
  unsigned char resident = 0;
  EXPECT_EQ(mincore(reinterpret_cast<void*>(at / pageBytes * pageBytes), 1, &resident), 0);
  return (resident & 1) != 0;
}

TEST_F(VideoMemoryTest, InitMemoryRunsOnceAndTouchesOnlyTheTop) {
  {
    LogCapture log;
    t_InitMemory();
    const std::string lines = log.text();
    EXPECT_TRUE(lines.starts_with("t_InitMemory: Start.\n"));
    EXPECT_TRUE(lines.ends_with("t_InitMemory: End.\n"));
  }
  LogCapture log;
  t_InitMemory();
  EXPECT_EQ(log.text(), "");
  EXPECT_TRUE(MemoryReady);
  EXPECT_EQ(HighMemory, kVideoMemoryTop);
  // the 15 bytes beyond the top are filled; the 16 MiB below wait for blocks
  EXPECT_EQ(VideoMemory[kVideoMemoryTop + 1], 0xFF);
  EXPECT_EQ(VideoMemory[kVideoMemorySize - 1], 0xFF);
  EXPECT_FALSE(pageResident(0));
  EXPECT_FALSE(pageResident(kVideoMemoryTop / 2));
  EXPECT_EQ(windowRecord(7).RefreshRate, 30);
  EXPECT_TRUE(windowRecord(7).VerticalBlank);
}

TEST_F(VideoMemoryTest, GameWindowsGetTheirBlocksFromTheTopDown) {
  LogCapture log;
  openGameWindows();
  const t_Window& text = windowRecord(0);
  EXPECT_EQ(text.MemoryStart, 0xD42000);
  EXPECT_EQ(text.MemoryEnd, 0xFFFFFF);
  EXPECT_EQ(text.TextMemoryStart, 0xD41000);
  EXPECT_EQ(text.TextMemoryEnd, 0xD41FFF);
  EXPECT_EQ(text.TextWidth, 78);
  EXPECT_EQ(text.TextHeight, 24);
  const t_Window& picture = windowRecord(1);
  EXPECT_EQ(picture.MemoryStart, 0xA53000);
  EXPECT_EQ(picture.MemoryEnd, 0xD40FFF);
  EXPECT_EQ(picture.TextMemoryStart, -1);
  EXPECT_EQ(picture.TextWidth, -1);
  EXPECT_EQ(HighMemory, 0xA52FFF);
  EXPECT_EQ(DefaultWindow, 0);
  const std::string lines = log.text();
  EXPECT_TRUE(contains(lines,
                       "t_InitWindow: GraphicWindow #0 = 1248 x 768 pixel x 24 bit = 2.808,00K "
                       "video-memory = $00D42000.\n"));
  EXPECT_TRUE(contains(lines, "t_InitWindow: GraphicWindow #1 Start.\n"));
  EXPECT_TRUE(contains(lines, "t_InitWindow: GraphicWindow #1 End.\n"));
}

TEST_F(VideoMemoryTest, SetUpClearsTheBlocksAndDescribesTheWindow) {
  openGameWindows();
  const t_Window& text = windowRecord(0);
  EXPECT_TRUE(text.Initialized);
  EXPECT_EQ(VideoMemory[text.MemoryStart], 0);
  EXPECT_EQ(VideoMemory[text.MemoryEnd], 0);
  // the colour plane starts half the real block later, after a gap
  EXPECT_EQ(VideoMemory[0xD41000], 0x20);
  EXPECT_EQ(VideoMemory[0xD41000 + 3743 - 1872], 0x20);
  EXPECT_EQ(VideoMemory[0xD41800], 0xC0);
  EXPECT_EQ(VideoMemory[0xD41800 + 78 * 24 - 1], 0xC0);
  EXPECT_EQ(VideoMemory[0xD41800 + 78 * 24], 0xFF);
  EXPECT_EQ(text.TextColor, 0xC0);
  EXPECT_EQ(text.RGBColorBorder, (t_RGBColor{255, 84, 84, 84}));
  EXPECT_EQ(text.TitleHeight, host::FakeHost::kTitleBarHeight);
  EXPECT_EQ(desktop.window(0).title, "Velmorat");
  EXPECT_EQ(desktop.window(1).title, "Velmorat-Grafik");
  EXPECT_EQ(desktop.window(0).frame.width, 1248 + 32);
  EXPECT_EQ(desktop.window(0).frame.height, 768 + 32 + host::FakeHost::kTitleBarHeight);
}

TEST_F(VideoMemoryTest, FreshBlocksReadFFBeyondWhatTheWindowClears) {
  // 33 x 33 pixels at 8 bits: 1,089 bytes in a block of 4 KiB
  openPictureWindow(2, 33, 33, 0, 8);
  const t_Window& small = windowRecord(2);
  ASSERT_TRUE(small.Initialized);
  EXPECT_EQ(small.MemoryEnd - small.MemoryStart + 1, 4096);
  EXPECT_EQ(VideoMemory[small.MemoryStart + 33 * 33 - 1], 0);
  for (std::int64_t at = small.MemoryStart + 33 * 33; at <= small.MemoryEnd; ++at) {
    ASSERT_EQ(VideoMemory[at], 0xFF) << at;
  }
  EXPECT_FALSE(pageResident(small.MemoryStart - 8192));
}

TEST_F(VideoMemoryTest, OutOfRangeSizesAreReplacedOneByOne) {
  LogCapture log;
  openPictureWindow(2, 31, 100);
  openPictureWindow(3, 100, 8193);
  const std::string lines = log.text();
  EXPECT_TRUE(
      contains(lines, "t_InitWindow: GraphicWindow #2 cannot display 31 horizontal pixel.\n"));
  EXPECT_TRUE(
      contains(lines, "t_InitWindow: GraphicWindow #3 cannot display 8193 vertical pixel.\n"));
  EXPECT_EQ(windowRecord(2).Width, 1280);
  EXPECT_EQ(windowRecord(2).Height, 100);
  EXPECT_EQ(windowRecord(3).Width, 100);
  EXPECT_EQ(windowRecord(3).Height, 800);
}

TEST_F(VideoMemoryTest, SmallDepthsCorrectTheWidth) {
  const std::pair<int, int> fourBit[] = {{33, 32}, {34, 32}, {35, 36}, {36, 36}};
  for (const auto& [asked, given] : fourBit) {
    openPictureWindow(2, asked, 40, 0, 4);
    EXPECT_EQ(windowRecord(2).Width, given) << asked;
  }
  openPictureWindow(2, 33, 40, 0, 1);
  EXPECT_EQ(windowRecord(2).Width, 40);
}

TEST_F(VideoMemoryTest, UnsupportedDepthTakesNoMemory) {
  t_InitMemory();
  for (int depth : {0, 2, 12, 33}) {
    LogCapture log;
    openPictureWindow(2, 64, 64, 0, depth);
    EXPECT_EQ(log.text(),
              "t_InitWindow: GraphicWindow #2 Start.\nt_InitWindow: GraphicWindow #2 "
              "unsupported " +
                  std::to_string(depth) + " bit depth.\n");
    EXPECT_EQ(HighMemory, kVideoMemoryTop);
    EXPECT_FALSE(windowRecord(2).Initialized);
  }
}

TEST_F(VideoMemoryTest, ARequestOfExactlyTheAvailableMemorySucceeds) {
  // 35200 bytes take the top 0x8C00, so 16,675,839 bytes are available,
  // which is 3459 x 4821.
  openPictureWindow(0, 1100, 32, 0, 8);
  ASSERT_EQ(HighMemory, 0xFF73FF);
  openPictureWindow(1, 3459, 4821, 0, 8);
  EXPECT_TRUE(windowRecord(1).Initialized);
  // The block fills everything down to the reserved bottom 64K.
  EXPECT_EQ(windowRecord(1).MemoryStart, 0x10000);
  EXPECT_EQ(windowRecord(1).MemoryEnd, 0xFF73FF);
  EXPECT_EQ(HighMemory, 0xFFFF);
}

TEST_F(VideoMemoryTest, ARequestOfOneByteMoreFailsWithTwoLines) {
  openPictureWindow(0, 1100, 32, 0, 8);
  LogCapture log;
  openPictureWindow(1, 2560, 6514, 0, 8);  // 16,675,840 bytes
  EXPECT_FALSE(windowRecord(1).Initialized);
  EXPECT_EQ(HighMemory, 0xFF73FF);
  const std::string lines = log.text();
  EXPECT_TRUE(contains(lines,
                       "t_InitWindow: GraphicWindow #1 has not enough "
                       "graphic-video-memory (16284K available).\n"
                       "t_InitWindow: Displaying 2560 x 6514 pixel x 8 bit needs "
                       "16.285,00K video-memory.\n"));
}

TEST_F(VideoMemoryTest, ATextBlockThatWouldReachBelowAddressZeroIsRefused) {
  // graphic block 11,141,120 bytes; a 2 x 1 font asks for as many text bytes,
  // within the memory available before the graphic block but not below it
  LogCapture log;
  t_InitWindow(0, 8, false, 4096, 2720, 0, 0, fontWithData(2, 1), true);
  EXPECT_FALSE(windowRecord(0).Initialized);
  EXPECT_EQ(HighMemory, kVideoMemoryTop);
  EXPECT_TRUE(contains(log.text(),
                       "t_InitWindow: Displaying 2048 x 2720 characters needs "
                       "10.880,00K text-video-memory.\n"));
}

TEST_F(VideoMemoryTest, ReinitialisingMovesTheBlocksBelowAndKeepsTheirPixels) {
  openGameWindows();
  const std::int64_t textWindowBytes = (0xFFFFFF - 0xD42000 + 1) + 4096;
  std::uint8_t* picture = VideoMemory + windowRecord(1).MemoryStart;
  for (int byte = 0; byte < 1000; ++byte) picture[byte] = static_cast<std::uint8_t>(byte * 7);
  picture[1280 * 800 * 3 - 1] = 0x5A;

  LogCapture log;
  t_InitWindow(0, 24, true, 78 * 16, 24 * 32, 16, 16, fontWithData(16, 32), true);
  const t_Window& moved = windowRecord(1);
  EXPECT_EQ(moved.MemoryStart, 0xA53000 + textWindowBytes);
  EXPECT_EQ(moved.MemoryEnd, 0xFFFFFF);
  picture = VideoMemory + moved.MemoryStart;
  for (int byte = 0; byte < 1000; ++byte) {
    ASSERT_EQ(picture[byte], static_cast<std::uint8_t>(byte * 7)) << byte;
  }
  EXPECT_EQ(picture[1280 * 800 * 3 - 1], 0x5A);
  // window 0 now lies below window 1
  EXPECT_EQ(windowRecord(0).MemoryEnd, moved.MemoryStart - 1);
  EXPECT_EQ(HighMemory, 0xA52FFF);
  const std::string lines = log.text();
  EXPECT_TRUE(contains(lines,
                       "t_InitWindow: GraphicWindow #0 high memory = $00FFFFFF, graphic "
                       "block size to delete = $002BE000.\n"));
  EXPECT_TRUE(contains(lines,
                       "t_InitWindow: GraphicWindow #0 high memory = $00FFFFFF, text "
                       "block size to delete = $00001000.\n"));
  EXPECT_TRUE(contains(lines,
                       "t_InitWindow: GraphicWindow #0 moving graphic block for win "
                       "#1$00A53000...00D40FFF to$00D12000...00FFFFFF\n"));
}

TEST_F(VideoMemoryTest, MovingAlsoCarriesTextBlocksBelow) {
  openPictureWindow(1, 64, 64);
  t_InitWindow(0, 8, false, 64, 64, 0, 0, fontWithData(8, 8), true);
  const std::int64_t oldText = windowRecord(0).TextMemoryStart;
  VideoMemory[oldText] = 'Q';
  openPictureWindow(1, 64, 64);
  EXPECT_EQ(windowRecord(0).TextMemoryStart, oldText + 12288);
  EXPECT_EQ(VideoMemory[windowRecord(0).TextMemoryStart], 'Q');
}

TEST_F(VideoMemoryTest, AFontWithoutDataGivesAGraphicOnlyWindow) {
  openPictureWindow(4, 64, 64);
  EXPECT_EQ(windowRecord(4).TextWidth, -1);
  EXPECT_EQ(windowRecord(4).TextHeight, -1);
  EXPECT_EQ(desktop.window(4).title, "Velmorat-Grafik");
  LogCapture log;
  EXPECT_FALSE(t_CheckTextWindow("t_Print", 4));
  EXPECT_TRUE(t_CheckTextWindow("t_WindowFont", 4, false));
  EXPECT_FALSE(t_CheckTextWindow("t_CursorHome", 8));
  EXPECT_EQ(log.text(),
            "t_Print: Window #4 not initialized.\n"
            "t_CursorHome: Window is not a graphic window.\n");
}

TEST_F(VideoMemoryTest, TheFirstWindowNumberBecomesTheDefaultEvenIfTheSetUpFails) {
  openPictureWindow(3, 64, 64, 0, 7);
  openPictureWindow(2, 64, 64);
  EXPECT_EQ(DefaultWindow, 3);
}

TEST_F(VideoMemoryTest, AWindowWithoutViewKeepsItsBlocksButStaysUninitialised) {
  host::FakeHost withoutViews(false);
  host::install(&withoutViews);
  LogCapture log;
  t_InitWindow(0, 24, false, 64, 64, 0, 0, fontWithData(8, 8), true);
  EXPECT_FALSE(windowRecord(0).Initialized);
  EXPECT_FALSE(windowRecord(0).Font.hasData());
  EXPECT_EQ(windowRecord(0).MemoryEnd, kVideoMemoryTop);
  EXPECT_LT(HighMemory, kVideoMemoryTop);
  EXPECT_TRUE(contains(log.text(),
                       "t_InitWindow: GraphicWindow #0 could not be initialized, "
                       "resource undefined.\n"));
  host::install(&desktop);
}

TEST_F(VideoMemoryTest, AHiddenTitleLeavesNoRoomForIt) {
  t_InitWindow(5, 24, false, 64, 64, 2, 2, emptyFont(), false);
  EXPECT_EQ(windowRecord(5).TitleHeight, 0);
  EXPECT_FALSE(desktop.window(5).titleVisible);
  EXPECT_EQ(desktop.window(5).frame.height, 68);
}

TEST_F(VideoMemoryTest, ClearingThirtyTwoBitPixelsMakesThemOpaqueBlack) {
  openPictureWindow(2, 32, 32, 0, 32);
  std::uint8_t* pixels = VideoMemory + windowRecord(2).MemoryStart;
  std::memset(pixels, 0x77, 32 * 32 * 4);
  t_ClearWindow(2);
  EXPECT_EQ(pixels[0], 255);
  EXPECT_EQ(pixels[1], 0);
  EXPECT_EQ(pixels[32 * 32 * 4 - 4], 255);
  EXPECT_EQ(pixels[32 * 32 * 4 - 1], 0);
  t_ClearWindow(9);  // not a graphic window: nothing happens
}

TEST_F(VideoMemoryTest, TheTextFormReportsAMissingFont) {
  LogCapture log;
  t_InitWindow(0, 24, 10, 5, 0, "NoSuch 1x1.font");
  EXPECT_TRUE(contains(log.text(), "t_InitWindow: Font 'NoSuch 1x1.font' not found.\n"));
  EXPECT_FALSE(windowRecord(0).Initialized);
  EXPECT_EQ(HighMemory, kVideoMemoryTop);
}

TEST_F(VideoMemoryTest, NumbersAboveSevenAreNoGraphicWindows) {
  t_InitMemory();
  LogCapture log;
  openPictureWindow(8, 64, 64);
  EXPECT_EQ(log.text(), "t_InitWindow: Window is not a graphic window.\n");
  EXPECT_EQ(DefaultWindow, kNoWindow);
}

}  // namespace
