#include <gtest/gtest.h>

#include <array>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

#include "graphics/LogCapture.h"
#include "support/Clock.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/windows/Refresh.h"
#include "toolbox/windows/WindowManagement.h"
#include "windows/GraphicWindowFixture.h"

namespace {

using windowtest::fakeSeconds;

// The conversion pixel by pixel, the plainest way to write it; the fast paths
// must give exactly these bytes.
std::vector<std::uint8_t> referenceImage(const std::vector<std::uint8_t>& m, int depth, int width,
                                         int height) {
  std::vector<std::uint8_t> out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t i = std::size_t(y) * width + x;
      std::array<std::uint8_t, 3> rgb{};
      const auto palette = [](int index) {
        const PaletteEntry& entry = Palette16[static_cast<std::size_t>(index)];
        return std::array<std::uint8_t, 3>{entry.red, entry.green, entry.blue};
      };
      switch (depth) {
        case 1:
          rgb = palette((m[i / 8] >> (7 - x % 8)) & 1 ? 15 : 0);
          break;
        case 4:
          rgb = palette(x % 2 == 0 ? m[i / 2] >> 4 : m[i / 2] & 15);
          break;
        case 8:
          rgb = {m[i], m[i], m[i]};
          break;
        case 16:
          rgb = {m[2 * i + 1], m[2 * i + 1], m[2 * i + 1]};
          break;
        case 24:
          rgb = {m[3 * i], m[3 * i + 1], m[3 * i + 2]};
          break;
        case 32:
          rgb = {m[4 * i + 1], m[4 * i + 2], m[4 * i + 3]};
          break;
      }
      out.insert(out.end(), {255, rgb[0], rgb[1], rgb[2]});
    }
  }
  return out;
}

std::vector<std::uint8_t> fastImage(const std::vector<std::uint8_t>& memory, int depth, int width,
                                    int height) {
  std::vector<std::uint8_t> out(std::size_t(width) * height * 4, 0xEE);
  EXPECT_TRUE(convertPixelsToArgb(memory.data(), depth, width, height, out.data()));
  return out;
}

// The host's words written out as the toolbox's image bytes, for comparison.
std::vector<std::uint8_t> hostWordsAsArgb(const std::vector<std::uint8_t>& memory, int depth,
                                          int width, int height) {
  std::vector<std::uint32_t> words(std::size_t(width) * height, 0xEEEEEEEE);
  EXPECT_TRUE(convertPixelsToHostWords(memory.data(), depth, width, height, words.data()));
  std::vector<std::uint8_t> out;
  for (std::uint32_t word : words) {
    out.insert(out.end(),
               {static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
                static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)});
  }
  return out;
}

// The canvas's bytes red, green, blue, alpha turned to the toolbox's order.
std::vector<std::uint8_t> rgbaAsArgb(const std::vector<std::uint8_t>& memory, int depth, int width,
                                     int height) {
  std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4, 0xEE);
  EXPECT_TRUE(convertPixelsToRgba(memory.data(), depth, width, height, rgba.data()));
  std::vector<std::uint8_t> out;
  for (std::size_t pixel = 0; pixel < rgba.size(); pixel += 4)
    out.insert(out.end(), {rgba[pixel + 3], rgba[pixel], rgba[pixel + 1], rgba[pixel + 2]});
  return out;
}

TEST(PixelConversion, FastPathsGiveThePixelsOfThePlainAlgorithm) {
  std::mt19937 random(20260107);
  // odd widths and sizes that leave tails after every vector width
  const std::array<int, 7> widths = {1, 3, 8, 17, 33, 40, 1283};
  for (int depth : {1, 4, 8, 16, 24, 32}) {
    for (int width : widths) {
      for (int height : {1, 2, 5}) {
        std::vector<std::uint8_t> memory(pixelBlockBytes(depth, width, height));
        for (std::uint8_t& byte : memory) byte = static_cast<std::uint8_t>(random());
        const std::vector<std::uint8_t> reference = referenceImage(memory, depth, width, height);
        ASSERT_EQ(fastImage(memory, depth, width, height), reference)
            << depth << " bit, " << width << " x " << height;
        ASSERT_EQ(hostWordsAsArgb(memory, depth, width, height), reference)
            << "host words, " << depth << " bit, " << width << " x " << height;
        ASSERT_EQ(rgbaAsArgb(memory, depth, width, height), reference)
            << "canvas bytes, " << depth << " bit, " << width << " x " << height;
      }
    }
  }
}

TEST(PixelConversion, KnownPixelsOfEachDepth) {
  // 1 bit: 0x80 lights only the leftmost pixel
  auto image = fastImage({0x80, 0x00}, 1, 16, 1);
  EXPECT_EQ((std::array<int, 4>{image[0], image[1], image[2], image[3]}),
            (std::array<int, 4>{255, 255, 255, 255}));
  EXPECT_EQ(image[4 * 1 + 1], 0);
  EXPECT_EQ(image[4 * 7 + 3], 0);
  // 4 bits: 0x1F is red then white
  image = fastImage({0x1F, 0x00}, 4, 4, 1);
  EXPECT_EQ((std::vector<int>(image.begin(), image.begin() + 8)),
            (std::vector<int>{255, 255, 0, 0, 255, 255, 255, 255}));
  // 16 bits: the second byte is the grey level
  image = fastImage({0x12, 0x80}, 16, 1, 1);
  EXPECT_EQ((std::vector<int>(image.begin(), image.end())), (std::vector<int>{255, 128, 128, 128}));
  // 32 bits: the stored alpha is not shown
  image = fastImage({0x00, 0x10, 0x20, 0x30}, 32, 1, 1);
  EXPECT_EQ((std::vector<int>(image.begin(), image.end())), (std::vector<int>{255, 16, 32, 48}));
}

TEST(PixelConversion, RefusesAnIllegalDepth) {
  std::vector<std::uint8_t> out(16, 0xEE);
  const std::uint8_t memory[8] = {};
  EXPECT_FALSE(convertPixelsToArgb(memory, 12, 2, 2, out.data()));
  EXPECT_EQ(out[0], 0xEE);
  EXPECT_EQ(pixelBlockBytes(12, 2, 2), 0);
}

class RefreshTest : public windowtest::GraphicWindowTest {
 protected:
  void SetUp() override {
    GraphicWindowTest::SetUp();
    setClockSourceForTesting(windowtest::fakeClock);
  }
  // An automatically updated, visible 32 x 32 window.
  void openAutoWindow(std::uint8_t window) {
    t_InitWindow(window, 24, true, 32, 32, 0, 0, emptyFont(), true);
    t_WindowVisible(window, true);
  }
  int requests(std::uint8_t window) {
    int count = 0;
    desktop.runOnMainAndWait([&] { count = desktop.view(window).needsDisplayCount; });
    return count;
  }
  // Changes the window and runs one pass every simulated millisecond; returns
  // the milliseconds (from the start) at which window asked for a redraw.
  std::vector<int> requestTimes(std::uint8_t window, int milliseconds) {
    std::vector<int> times;
    const double start = fakeSeconds;
    for (int now = 0; now < milliseconds; ++now) {
      fakeSeconds = start + now / 1000.0;
      markWindowChanged(window);
      const int before = requests(window);
      refreshAutoUpdatePass();
      if (requests(window) > before) times.push_back(now);
    }
    return times;
  }
};

TEST_F(RefreshTest, AsksForAtMostRefreshRateRedrawsASecond) {
  openAutoWindow(0);
  const std::vector<int> times = requestTimes(0, 1000);
  // 1000 div 30 = 33 ms apart: 0, 33, ..., 990
  ASSERT_EQ(times.size(), 31u);
  for (std::size_t index = 1; index < times.size(); ++index) {
    EXPECT_EQ(times[index] - times[index - 1], 33);
  }
}

TEST_F(RefreshTest, TheIntervalFollowsTheRefreshRate) {
  openAutoWindow(2);
  windowRecord(2).RefreshRate = 7;
  const std::vector<int> slow = requestTimes(2, 300);
  EXPECT_EQ(slow, (std::vector<int>{0, 142, 284}));
  windowRecord(2).RefreshRate = 0;
  EXPECT_EQ(requestTimes(2, 5).size(), 5u);  // every pass
}

TEST_F(RefreshTest, SkipsWindowsWithoutAutoUpdateAndWindowZeroWhileItsViewDraws) {
  openAutoWindow(0);
  openPictureWindow(1, 32, 32);
  windowRecord(0).VerticalBlank = false;
  EXPECT_EQ(refreshAutoUpdatePass(), 0);
  windowRecord(0).VerticalBlank = true;
  EXPECT_EQ(refreshAutoUpdatePass(), 1);
  EXPECT_EQ(requests(1), 0);
}

TEST_F(RefreshTest, OnlyAChangeOrAVisibilityChangeAsksForARedraw) {
  openAutoWindow(2);
  EXPECT_EQ(refreshAutoUpdatePass(), 1);
  fakeSeconds = fakeSeconds + 1.0;  // long due, but nothing changed
  EXPECT_EQ(refreshAutoUpdatePass(), 0);
  g_Plot(2, 3, 4);
  EXPECT_EQ(refreshAutoUpdatePass(), 1);
  fakeSeconds = fakeSeconds + 1.0;
  t_WindowVisible(2, false);
  EXPECT_EQ(refreshAutoUpdatePass(), 1);
  // A change before the interval is over waits for it, and is not lost.
  fakeSeconds = fakeSeconds + 0.010;
  g_Plot(2, 5, 5);
  EXPECT_EQ(refreshAutoUpdatePass(), 0);
  fakeSeconds = fakeSeconds + 0.030;
  EXPECT_EQ(refreshAutoUpdatePass(), 1);
}

// The screenless host that tells a waiting test when a view was marked.
class MarkSignallingHost : public host::FakeHost {
 public:
  void setNeedsDisplay(host::HostView* view) override {
    FakeHost::setNeedsDisplay(view);
    {
      std::lock_guard guard(lock_);
      ++marks_;
    }
    marked_.notify_all();
  }
  bool awaitMarks(int count) {
    std::unique_lock lock(lock_);
    return marked_.wait_for(lock, std::chrono::seconds(30), [&] { return marks_ >= count; });
  }

 private:
  std::mutex lock_;
  std::condition_variable marked_;
  int marks_ = 0;
};

// The window is set up after the process has started: the process lets the
// marks of windows that are not shown automatically pass, and the set-up
// wakes it.
TEST_F(RefreshTest, TheProcessSleepsUntilAChangeAndIsJoinedWhenStopped) {
  MarkSignallingHost signalling;
  host::install(&signalling);
  LogCapture log;
  setClockSourceForTesting(nullptr);
  AutoUpdateRunning = false;
  startRefreshProcess();
  openAutoWindow(0);
  ASSERT_TRUE(signalling.awaitMarks(1));
  g_Plot(0, 1, 1);  // shown within the refresh interval, woken by the change itself
  ASSERT_TRUE(signalling.awaitMarks(2));
  stopRefreshProcess();
  EXPECT_FALSE(AutoUpdateRunning);
  host::install(&desktop);
  const std::string lines = log.text();
  EXPECT_NE(lines.find("t_WindowAutoUpdateProcess: Start.\n"), std::string::npos);
  EXPECT_TRUE(lines.ends_with("t_WindowAutoUpdateProcess: End.\n"));
}

// The refresh sleeps through the marks of a window that waits to fall due;
// a mark of another window, or a wake-up, still ends the sleep whenever it
// comes (a lost one would leave that window unshown until the next change).
TEST(RefreshSleep, MarksOfOtherWindowsAndWakeUpsEndTheSleepOfAWaitingWindow) {
  constexpr std::uint8_t kWindowZeroWaits = 1;
  for (const auto& wakeUp : {std::function<void()>([] { markWindowChanged(3); }),
                             std::function<void()>([] { wakeRefresh(); })}) {
    std::thread sleeper(
        [seen = changeSnapshot()] { waitForChange(seen, kNoChangeExpected, kWindowZeroWaits); });
    for (int mark = 0; mark < 100; ++mark) markWindowChanged(0);
    wakeUp();
    sleeper.join();
  }
}

TEST_F(RefreshTest, ImageRecordsWhenItFinished) {
  openAutoWindow(1);
  fakeSeconds = 2000.5;
  const host::ArgbImage image = t_WindowImage(1);
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.height, 32);
  ASSERT_EQ(image.bytes.size(), 32u * 32 * 4);
  EXPECT_EQ(image.bytes[0], 255);
  EXPECT_EQ(image.bytes[1], 0);  // cleared memory is black
  EXPECT_EQ(windowRecord(1).UpdateFinished, 2000500);
  EXPECT_EQ(windowRecord(1).UpdateDuration, 0);  // the clock stood still
}

TEST_F(RefreshTest, NoImageForUninitialisedOrInvisibleWindows) {
  openAutoWindow(1);
  t_WindowVisible(1, false);
  LogCapture log;
  EXPECT_TRUE(t_WindowImage(1).bytes.empty());
  EXPECT_TRUE(t_WindowImage(4).bytes.empty());
  EXPECT_EQ(log.text(), "t_WindowImage: Graphic window #4 not initialized.\n");
}

TEST_F(RefreshTest, UpdateRedrawsNowOrMarksTheView) {
  openPictureWindow(1, 32, 32);
  t_WindowUpdate(1, false);
  t_WindowUpdate(1, true);
  EXPECT_EQ(desktop.view(1).displayNowCount, 1);
  EXPECT_EQ(desktop.view(1).needsDisplayCount, 1);
  LogCapture log;
  t_WindowUpdate(8, false);
  EXPECT_EQ(log.text(), "t_WindowUpdate: Window is not a graphic window.\n");
}

TEST_F(RefreshTest, UpdateWithoutViewIsReported) {
  host::FakeHost withoutViews(false);
  host::install(&withoutViews);
  t_InitMemory();
  LogCapture log;
  t_WindowUpdate(2, false);
  EXPECT_EQ(log.text(), "t_WindowUpdate: Window #2 view is nil, resource undefined.\n");
  EXPECT_TRUE(t_WindowPicture(2).bytes.empty());
  host::install(&desktop);
}

TEST_F(RefreshTest, NothingHappensBeforeTheMemoryIsReady) {
  LogCapture log;
  t_WindowUpdate(1, false);
  EXPECT_TRUE(t_WindowImage(1).bytes.empty());
  EXPECT_FALSE(viewWantsUpdateLayer(1));
  std::uint64_t shown = 0;
  EXPECT_FALSE(viewRedraw(1, shown, [](int, int, bool&) -> std::uint32_t* {
    ADD_FAILURE();
    return nullptr;
  }));
  EXPECT_EQ(log.text(), "");
}

TEST_F(RefreshTest, WindowZerosViewClearsVerticalBlankWhileItShowsTheImage) {
  openAutoWindow(0);
  openAutoWindow(1);
  EXPECT_TRUE(viewWantsUpdateLayer(0));
  std::vector<std::uint32_t> words(32 * 32);
  std::uint64_t shown = 0;
  bool blankDuringShow = true;
  EXPECT_TRUE(viewRedraw(0, shown, [&](int width, int, bool& fresh) {
    blankDuringShow = windowRecord(0).VerticalBlank;
    EXPECT_EQ(width, 32);
    fresh = true;
    return words.data();
  }));
  EXPECT_FALSE(blankDuringShow);
  EXPECT_TRUE(windowRecord(0).VerticalBlank);
  EXPECT_TRUE(viewRedraw(1, shown, [&](int, int, bool&) {
    EXPECT_TRUE(windowRecord(1).VerticalBlank);  // only window 0 guards its redraw
    return words.data();
  }));
}

TEST_F(RefreshTest, AViewConvertsIntoTheHostsMemoryOnlyWhatChanged) {
  openAutoWindow(1);
  // Distinct channels, so that a red/blue swap would show.
  g_ColorRGB(1, t_RGBColor{255, 200, 100, 50}.packed());
  g_Plot(1, 0, 0);
  std::vector<std::uint32_t> words(32 * 32, 0xEEEEEEEE);
  std::uint64_t shown = 0;
  bool fresh = true;
  const auto memory = [&](int width, int height, bool& isFresh) {
    EXPECT_EQ(width * height, 32 * 32);
    isFresh = fresh;
    return words.data();
  };
  EXPECT_TRUE(viewRedraw(1, shown, memory));
  EXPECT_EQ(words[0], 0xFFC86432u);
  EXPECT_EQ(words[1], 0xFF000000u);  // cleared memory is black
  // A redraw of unchanged pixels into memory that holds them converts nothing.
  fresh = false;
  words[0] = 0;
  EXPECT_TRUE(viewRedraw(1, shown, memory));
  EXPECT_EQ(words[0], 0u);
  g_Plot(1, 1, 0);
  EXPECT_TRUE(viewRedraw(1, shown, memory));
  EXPECT_EQ(words[0], 0xFFC86432u);
  EXPECT_EQ(words[1], 0xFFC86432u);
}

TEST_F(RefreshTest, PictureOfAWindowIsItsImage) {
  openAutoWindow(3);
  VideoMemory[windowRecord(3).MemoryStart] = 0x42;
  const host::ArgbImage picture = t_WindowPicture(3);
  ASSERT_EQ(picture.width, 32);
  EXPECT_EQ(picture.bytes[1], 0x42);
  EXPECT_TRUE(t_WindowPicture(9).bytes.empty());
}

}  // namespace
