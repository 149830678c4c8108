#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "graphics/LogCapture.h"
#include "text/TextWindowFixture.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/InputWait.h"
#include "toolbox/windows/WindowManagement.h"

using namespace texttest;

namespace {

class TextOutput : public TextWindowTest {};

TEST_F(TextOutput, CarriageReturnOnLastLineScrollsOnceAndHomesColumn) {
  t_Vtab(0, kLines);
  t_Print(0, "AB\r");
  EXPECT_EQ(w().TextHpos, 1);
  EXPECT_EQ(w().TextVpos, kLines);
  EXPECT_EQ(screenLine(kLines - 1).substr(0, 2), "AB");
  EXPECT_EQ(screenLine(kLines), std::string(kColumns, ' '));
}

TEST_F(TextOutput, PrintLineWritesToTheDefaultWindowAndEndsTheLine) {
  ASSERT_EQ(DefaultWindow, 0);
  t_Print(0, "ab");
  t_PrintLine("cd");
  EXPECT_EQ(screenLine(1).substr(0, 4), "abcd");
  EXPECT_EQ(w().TextHpos, 1);
  EXPECT_EQ(w().TextVpos, 2);
}

TEST_F(TextOutput, LineFeedKeepsColumnCarriageReturnDoesNot) {
  t_Print(0, "abc\n");
  EXPECT_EQ(w().TextHpos, 4);
  EXPECT_EQ(w().TextVpos, 2);
  t_Print(0, "x\r");
  EXPECT_EQ(w().TextHpos, 1);
  EXPECT_EQ(w().TextVpos, 3);
}

TEST_F(TextOutput, PrintingTheLastCellScrollsAtOnce) {
  t_Print(0, "top");
  t_Vtab(0, kLines);
  t_Htab(0, kColumns);
  t_Print(0, "Z");
  EXPECT_EQ(w().TextVpos, kLines);
  EXPECT_EQ(w().TextHpos, 1);
  EXPECT_EQ(screenLine(kLines - 1)[kColumns - 1], 'Z');
  EXPECT_EQ(screenLine(kLines), std::string(kColumns, ' '));
  // The first line scrolled away: the top line is now the old line 2.
  EXPECT_EQ(screenLine(1), std::string(kColumns, ' '));
}

TEST_F(TextOutput, ScrollLockWrapsOntoTheSameLastLine) {
  w().ScrollLock = true;
  t_Vtab(0, kLines);
  t_Htab(0, kColumns);
  t_Print(0, "XY");
  EXPECT_EQ(w().TextVpos, kLines);
  EXPECT_EQ(w().TextHpos, 2);
  EXPECT_EQ(screenLine(kLines)[0], 'Y');
  EXPECT_EQ(screenLine(kLines)[kColumns - 1], 'X');
}

// The fast path moves memory; a redraw of the moved cell must give the same
// pixels, which catches an off-by-one-line in the pixel range.
TEST_F(TextOutput, FullWidthScrollMovesPixelsTextAndColours) {
  t_Vtab(0, 2);
  w().TextColor = 0x1F;
  t_Print(0, "q");
  const auto inkBefore = pixel24(0, 8);
  t_ScrollUp(0);
  EXPECT_EQ(screenLine(1)[0], 'q');
  EXPECT_EQ(colourAt(1, 1), 0x1F);
  EXPECT_EQ(pixel24(0, 0), inkBefore);
  EXPECT_EQ(pixel24(0, 0), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(pixel24(1, 0), (std::array<int, 3>{255, 255, 255}));
  // The freed bottom line is blank in the current colour.
  EXPECT_EQ(screenLine(kLines), std::string(kColumns, ' '));
  EXPECT_EQ(colourAt(1, kLines), 0x1F);
  t_ScrollDown(0);
  EXPECT_EQ(screenLine(2)[0], 'q');
  EXPECT_EQ(pixel24(0, 8), inkBefore);
}

TEST_F(TextOutput, NarrowAreaScrollsOnlyItsColumns) {
  for (int line = 1; line <= kLines; ++line) {
    t_Vtab(0, line);
    t_Htab(0, 1);
    t_Print(0, std::string(kColumns - 1, char('0' + line)));
  }
  t_Area(0, 3, 2, 6, 5);
  t_ScrollUp(0);
  EXPECT_EQ(screenLine(2), "223333222 ");
  EXPECT_EQ(screenLine(4), "445555444 ");
  EXPECT_EQ(screenLine(5), "55    555 ");
  EXPECT_EQ(screenLine(6), "666666666 ");
  t_ScrollDown(0);
  EXPECT_EQ(screenLine(2), "22    222 ");
  EXPECT_EQ(screenLine(3), "333333333 ");
}

// A program keeps its scrollback from these lines: each line that leaves the
// area's top is reported once, as the screen showed it, and nothing else is.
TEST_F(TextOutput, ReportsEveryLineThatScrollsOutOfTheArea) {
  std::vector<std::string> scrolled;
  t_SetScrolledLineHandler([&](std::uint8_t window, const std::string& line) {
    EXPECT_EQ(window, 0);
    scrolled.push_back(line);
  });
  t_Vtab(0, 2);
  t_Print(0, "X");  // column 1 lies outside the area set next
  t_Area(0, 2, 2, kColumns, kLines);
  t_Print(0, "erste\rzwei \xC3\xA4\r\r\r");  // lines 2 to 6 filled, cursor on 6
  EXPECT_TRUE(scrolled.empty());
  t_Print(0, "\r");
  t_ScrollDown(0);  // a line that leaves at the bottom is not reported
  t_Print(0, "\r\r\r");
  t_SetScrolledLineHandler(nullptr);
  t_Print(0, "\r");
  EXPECT_EQ(scrolled, (std::vector<std::string>{"erste", "", "zwei \xC3\xA4", ""}));
}

TEST_F(TextOutput, ScreenLineReadsColumnsAndRefusesLinesOutside) {
  t_Print(0, "abc  d");
  EXPECT_EQ(t_GetScreenLine(0, 1, 1, kColumns), "abc  d");
  EXPECT_EQ(t_GetScreenLine(0, 1, 2, 4), "bc");
  EXPECT_EQ(t_GetScreenLine(0, 1, -5, 2), "ab");
  EXPECT_EQ(t_GetScreenLine(0, 0, 1, kColumns), "");
  EXPECT_EQ(t_GetScreenLine(0, kLines + 1, 1, kColumns), "");
  EXPECT_EQ(t_GetScreenLine(7, 1, 1, kColumns), "");  // not set up
}

TEST_F(TextOutput, NarrowAreaWrapsAtItsOwnColumns) {
  t_Area(0, 4, 2, 6, 3);
  t_Print(0, "abcdefg");
  EXPECT_EQ(screenLine(2).substr(3, 3), "def");
  EXPECT_EQ(screenLine(3).substr(3, 3), "g  ");
  EXPECT_EQ(w().TextHpos, 5);
  EXPECT_EQ(w().TextVpos, 3);
}

TEST_F(TextOutput, RedirectToLogWritesCharactersAndControlsAsLines) {
  t_RedirectOutput(0, 2);
  LogCapture log;
  t_Print(0, "Hallo \xC3\xA4\rzweite");
  t_Print(0, "\r");
  EXPECT_EQ(log.text(), "Hallo \xC3\xA4\nzweite\n");
  EXPECT_EQ(screenLine(1), std::string(kColumns, ' '));
}

// The log takes whole lines; text after the last line end is written when
// the redirect ends, when the program thread quits and when the process ends.
TEST_F(TextOutput, RedirectedTextWithoutLineEndIsNeverLost) {
  t_RedirectOutput(0, 2);
  LogCapture log;
  t_Print(0, "erste");
  t_RedirectOutput(0, 2);  // still redirected: nothing yet
  t_RedirectOutput(0, 1);
  t_Print(0, "Fenster");
  t_RedirectOutput(0, 2);
  t_Print(0, "zweite");
  EXPECT_THROW(t_QuitProgram(0), ProgramThreadExit);
  const std::string text = log.text();
  // the closing message is printed into the redirected window, too
  EXPECT_EQ(text.rfind("erste\nzweite(Programm", 0), 0u) << text;
  EXPECT_NE(text.find("Ende)\nt_QuitProgram: Quitting current thread"), std::string::npos) << text;
}

TEST_F(TextOutput, RedirectedTextIsWrittenWhenTheProcessEnds) {
  EXPECT_EXIT(
      {
        dup2(STDERR_FILENO, STDOUT_FILENO);  // the death test sees standard error
        t_RedirectOutput(0, 2);
        t_Print(0, "letzte Worte");
        std::exit(0);
      },
      testing::ExitedWithCode(0), "letzte Worte");
}

TEST_F(TextOutput, RedirectElsewhereDropsOutput) {
  t_RedirectOutput(0, 0);
  LogCapture log;
  t_Print(0, "gone\r");
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(screenLine(1), std::string(kColumns, ' '));
}

TEST_F(TextOutput, TabsAndPositionsCountFromTheRightOrigin) {
  t_Area(0, 5, 2, 10, 6);
  t_Htab(0, 0);
  EXPECT_EQ(w().TextHpos, 5);
  t_Htab(0, 1);
  EXPECT_EQ(w().TextHpos, 5);
  EXPECT_EQ(t_Hpos(0), 1);
  EXPECT_EQ(t_Vpos(0), 2);
  t_Htab(0, 7);  // 7 + 5 - 1 = 11 is beyond the window
  EXPECT_EQ(w().TextHpos, 5);
  t_Vtab(0, 1);  // absolute, outside the area
  EXPECT_EQ(w().TextVpos, 1);
  w().TextHpos = 8;
  t_PrintTab(0, 6, '*');
  EXPECT_EQ(w().TextHpos, 8);
  t_PrintTab(0, 10, '*');
  EXPECT_EQ(screenLine(1).substr(7, 2), "**");
}

TEST_F(TextOutput, ClearEndOfWindowBlanksTheAreaAndKeepsTheCursor) {
  for (int line = 1; line <= kLines; ++line) {
    t_Vtab(0, line);
    t_Htab(0, 1);
    t_Print(0, std::string(kColumns - 1, 'x'));
  }
  t_Vtab(0, 3);
  t_Htab(0, 4);
  t_PrintControl(0, 11);
  EXPECT_EQ(screenLine(3), "xxx       ");
  EXPECT_EQ(screenLine(4), std::string(kColumns, ' '));
  EXPECT_EQ(screenLine(2), "xxxxxxxxx ");
  EXPECT_EQ(w().TextHpos, 4);
  EXPECT_EQ(w().TextVpos, 3);
  t_PrintControl(0, 26);  // clear the cursor's line from the area's start
  EXPECT_EQ(screenLine(3), std::string(kColumns, ' '));
}

TEST_F(TextOutput, ControlCharactersSetModesAndMoveTheCursor) {
  t_PrintControl(0, 20);
  EXPECT_EQ(w().TextDisplayMode, 1);
  t_PrintControl(0, 31);
  EXPECT_EQ(w().TextDisplayMode, 2);
  t_PrintControl(0, 27);
  EXPECT_EQ(w().TextDisplayMode, 99);
  t_PrintControl(0, 19);
  EXPECT_EQ(w().TextDisplayMode, 0);
  t_PrintControl(0, 15);
  EXPECT_TRUE(w().TextInverse);
  t_PrintControl(0, 17);
  EXPECT_FALSE(w().TextInverse);
  t_PrintControl(0, 28);
  t_PrintControl(0, 28);
  EXPECT_EQ(w().TextHpos, 3);
  t_PrintControl(0, 8);
  EXPECT_EQ(w().TextHpos, 2);
  t_PrintControl(0, 18);
  EXPECT_EQ(w().TextHpos, 1);
  t_PrintControl(0, 8);  // before the first column: last column, one line up (scrolls down)
  EXPECT_EQ(w().TextHpos, kColumns);
  EXPECT_EQ(w().TextVpos, 1);
  // The bell tries the beep sound; the screenless host cannot play it, so the
  // plain beep follows.
  const int soundsBefore = fakeHost().soundsPlayed;
  const int beepsBefore = fakeHost().systemBeeps;
  t_PrintControl(0, 7);
  EXPECT_EQ(fakeHost().soundsPlayed, soundsBefore + 1);
  EXPECT_EQ(fakeHost().systemBeeps, beepsBefore + 1);
}

TEST_F(TextOutput, CharactersBeyondLatin1PrintAsQuestionMark) {
  t_Print(0, "\xE3\x81\x82");  // U+3042
  EXPECT_EQ(screenLine(1)[0], '?');
  t_Print(0, Text::fromBytes("\xE4"));
  EXPECT_EQ(static_cast<std::uint8_t>(screenLine(1)[1]), 0xE4);
}

TEST_F(TextOutput, ChecksTheWindowFirst) {
  LogCapture log;
  t_Print(9, "x");
  t_Print(3, "x");
  t_CursorHome(3);
  EXPECT_EQ(t_Hpos(3), 0);
  t_PrintSpc(3, 0);  // the check comes before the count
  EXPECT_EQ(log.text(),
            "t_Print: Window is not a graphic window.\n"
            "t_Print: Window #3 not initialized.\n"
            "t_CursorHome: Window #3 not initialized.\n"
            "t_Hpos: Window #3 not initialized.\n"
            "t_PrintSpc: Window #3 not initialized.\n");
}

TEST_F(TextOutput, EmptyTextStillHonoursThePauseKey) {
  t_KeyPostText("a\x13");
  std::thread typist([] {
    awaitInputWait([] { return false; }, std::chrono::seconds(30));
    t_KeyPostText("g");
  });
  t_Print(0, "");
  typist.join();
  // Ctrl-S and the key before it were discarded, the key that ended the pause consumed.
  EXPECT_EQ(KeyEventQueue.size(), 0u);
  EXPECT_EQ(CurrentKeyEvent.Value, 'g');
}

TEST(MoveVideoMemory, OverlappingMovesBothWaysAndRejectsRangesOutside) {
  setUpTextWindow(0, 24, 10, 6);
  std::uint8_t* base = VideoMemory + 1000;
  for (int index = 0; index < 8; ++index) base[index] = static_cast<std::uint8_t>(index);
  t_MoveVideoMemory(1000, 1002, 6);
  EXPECT_EQ(base[2], 0);
  EXPECT_EQ(base[7], 5);
  t_MoveVideoMemory(1002, 1000, 6);
  EXPECT_EQ(base[0], 0);
  EXPECT_EQ(base[5], 5);
  LogCapture log;
  t_MoveVideoMemory(kVideoMemorySize - 2, 0, 4);
  t_MoveVideoMemory(-1, 0, 4);
  t_MoveVideoMemory(0, 1, 0);
  const std::string text = log.text();
  EXPECT_NE(text.find("t_MoveVideoMemory: Range outside"), std::string::npos);
}

}  // namespace
