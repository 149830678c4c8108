// What threads other than the program thread read of a window while the
// program writes it: copies of its text cells, taken with the geometry of one
// set-up, and the one unlocked way into the video memory's bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "TextWindowFixture.h"
#include "graphics/LogCapture.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextOutput.h"

namespace {

using texttest::colourAt;
using texttest::setUpTextWindow;

// Two set-ups whose cell counts differ in both directions, so that the width
// of one with the height of the other (a copy that mixed two set-ups) shows
// as a layout neither has: 20 x 4 and 10 x 5 cells (windows are 32 pixels or more).
TEST(ScreenCopy, AnotherThreadSeesTheLayoutOfOneSetUpWhileTheWindowIsSetUpAgain) {
  setUpTextWindow(0, 8, 20, 4);
  LogCapture log;  // a copy taken between two set-ups logs that the window is not set up
  std::atomic<bool> done{false};
  std::thread program([&] {
    for (int round = 0; round < 150; ++round) {
      const bool wide = round % 2 == 0;
      t_InitWindow(0, 8, false, (wide ? 20 : 10) * 8, (wide ? 4 : 5) * 8, 0, 0,
                   texttest::makeTestFont(8, 8), true);
      t_Print(0, wide ? "wide" : "narrow");
    }
    done = true;
  });
  std::set<std::pair<int, int>> seen;
  std::set<std::size_t> screenSizes;
  while (!done) {
    const textblock::CellsCopy copy = textblock::copyCells(0, false);
    if (copy.columns != 0) seen.insert({copy.columns, int(copy.codes.size()) / copy.columns});
    // the raw screen: every cell one byte here (blanks and plain letters)
    const std::string screen = t_GetScreen(0, "");
    if (!screen.empty()) screenSizes.insert(screen.size());
  }
  program.join();
  log.text();  // the checks below report on standard output again
  for (const auto& [columns, lines] : seen) {
    EXPECT_TRUE((columns == 20 && lines == 4) || (columns == 10 && lines == 5))
        << lines << " lines of " << columns;
  }
  for (std::size_t size : screenSizes) EXPECT_TRUE(size == 80 || size == 50) << size << " cells";
}

TEST(ScreenCopy, CellsCopyHoldsCodesAndColoursOfTheSameCells) {
  setUpTextWindow(0, 24, 10, 6);
  t_Print(0, "ab");
  const textblock::CellsCopy copy = textblock::copyCells(0, true);
  ASSERT_EQ(copy.columns, 10);
  ASSERT_EQ(copy.lines, 6);
  EXPECT_EQ(copy.code(1, 1), 'a');
  EXPECT_EQ(copy.code(2, 1), 'b');
  EXPECT_EQ(copy.code(3, 1), ' ');
  ASSERT_EQ(copy.colours.size(), copy.codes.size());
  for (int column = 1; column <= 3; ++column) {
    EXPECT_EQ(copy.colours[static_cast<std::size_t>(column - 1)], colourAt(column, 1));
  }
  EXPECT_TRUE(textblock::copyCells(0, false).colours.empty());
  EXPECT_EQ(textblock::copyCells(5, true).columns, 0);  // not set up
  EXPECT_EQ(textblock::copyCells(200, true).columns, 0);
}

TEST(ScreenCopy, UnlockedReadsStayInsideTheVideoMemory) {
  setUpTextWindow(0, 8, 10, 6);
  int calls = 0;
  const auto count = [&calls](const std::uint8_t*) { ++calls; };
  EXPECT_FALSE(readVideoMemoryUnlocked(-1, 1, count));
  EXPECT_FALSE(readVideoMemoryUnlocked(kVideoMemorySize - 1, 2, count));
  EXPECT_FALSE(readVideoMemoryUnlocked(0, -1, count));
  EXPECT_FALSE(readVideoMemoryUnlocked(1, INT64_MAX, count));  // start + count would overflow
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(readVideoMemoryUnlocked(kVideoMemorySize - 2, 2, count));
  const WindowBlocks blocks = windowBlocks(0);
  std::uint8_t first = 0;
  EXPECT_TRUE(readVideoMemoryUnlocked(blocks.textMemoryStart, 1,
                                      [&first](const std::uint8_t* bytes) { first = *bytes; }));
  EXPECT_EQ(first, ' ');
  EXPECT_EQ(calls, 1);
}

}  // namespace
