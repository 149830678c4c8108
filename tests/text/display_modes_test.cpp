#include <gtest/gtest.h>

#include "graphics/LogCapture.h"
#include "text/TextWindowFixture.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"

using namespace texttest;

namespace {

class DisplayModes : public TextWindowTest {};

std::uint8_t cellCode(int column, int line) {
  return static_cast<std::uint8_t>(screenLine(line)[column - 1]);
}

TEST_F(DisplayModes, ModesOneAndTwoMapCodes) {
  t_DisplayMode(0, 1);
  t_Print(0, "A~");
  EXPECT_EQ(cellCode(1, 1), 193);
  EXPECT_EQ(cellCode(2, 1), 254);
  t_DisplayMode(0, 2);
  t_Print(0, "aA\xC3\xA4");
  EXPECT_EQ(cellCode(3, 1), 129);
  EXPECT_EQ(cellCode(4, 1), 1);
  EXPECT_EQ(cellCode(5, 1), 0xE4);
}

TEST_F(DisplayModes, ModeThreeShowsControlsInverseForOneCharacter) {
  t_DisplayMode(0, 3);
  t_Print(0, "\rx");
  EXPECT_EQ(cellCode(1, 1), 'M');
  EXPECT_EQ(colourAt(1, 1), 0x0C);  // drawn inverse
  EXPECT_EQ(colourAt(2, 1), 0xC0);
  EXPECT_FALSE(w().TextInverse);
  EXPECT_EQ(w().TextVpos, 1);
}

TEST_F(DisplayModes, ModeFourShowsControlsAndForeignCharactersInRed) {
  t_DisplayMode(0, 4);
  t_Print(0, "\x01y\xE2\x82\xAC");
  EXPECT_EQ(cellCode(1, 1), 'A');
  EXPECT_EQ(colourAt(1, 1), 0x10);
  EXPECT_EQ(colourAt(2, 1), 0xC0);
  EXPECT_EQ(cellCode(3, 1), '?');
  EXPECT_EQ(colourAt(3, 1), 0x10);
  EXPECT_EQ(w().TextColor, 0xC0);
}

TEST_F(DisplayModes, EscapeSetsInkAndPaper) {
  t_Print(0,
          "\x1B"
          "Ax");
  EXPECT_EQ(cellCode(1, 1), 'x');
  EXPECT_EQ(colourAt(1, 1), 0x10);
  EXPECT_EQ(w().TextColor, 0x10);
  t_Print(0,
          "\x1B"
          "P\x1B"
          "_");
  EXPECT_EQ(w().TextColor, 0x1F);
  EXPECT_EQ(w().TextDisplayMode, 0);
  EXPECT_EQ(w().TextHpos, 2);
}

TEST_F(DisplayModes, UnknownEscapePrintsAndStaysPending) {
  t_Print(0, "\x1Bg");
  EXPECT_EQ(cellCode(1, 1), 'g');
  EXPECT_EQ(w().TextDisplayMode, 99);
  t_Print(0, "A");
  EXPECT_EQ(w().TextColor, 0x10);
  EXPECT_EQ(w().TextDisplayMode, 0);
}

TEST_F(DisplayModes, EscapeTabsCountFromTheAbsoluteColumn) {
  setUpTextWindow(0, 24, 78, 4, 8, 8);
  t_Htab(0, 7);
  t_Print(0, "\x1Bi");
  EXPECT_EQ(w().TextHpos, 11);
  EXPECT_EQ(screenLine(1).substr(6, 4), "    ");
  t_Htab(0, 10);
  t_Print(0, "\x1Bi");
  EXPECT_EQ(w().TextHpos, 21);
  t_Htab(0, 25);
  t_Print(0, "\x1Bj");
  EXPECT_EQ(w().TextHpos, 41);
  t_Htab(0, 25);
  t_Print(0, "\x1Bk");
  EXPECT_EQ(w().TextHpos, 41);
}

TEST_F(DisplayModes, EscapeTabBeyondTheLineStartsANewOne) {
  setUpTextWindow(0, 24, 78, 4, 8, 8);
  t_Htab(0, 75);
  t_Print(0, "\x1Bi");
  EXPECT_EQ(w().TextHpos, 1);
  EXPECT_EQ(w().TextVpos, 2);
}

TEST_F(DisplayModes, EscapeCursorCommands) {
  t_Print(0,
          "\x1B"
          "e");
  EXPECT_EQ(w().TextHpos, kColumns);
  EXPECT_EQ(w().TextVpos, kLines);
  t_Htab(0, 1);
  t_Print(0,
          "\x1B"
          "f");
  EXPECT_EQ(w().TextHpos, kColumns);
  t_Print(0, "\x1Bo");  // border colour 1
  EXPECT_EQ(w().RGBColorBorder.Red, 255);
  EXPECT_EQ(w().RGBColorBorder.Green, 0);
  EXPECT_EQ(w().TextDisplayMode, 0);
}

TEST_F(DisplayModes, AreaKeepsInvalidPairsAndHomesTheCursor) {
  t_Area(0, 5, 2, 8, 4);
  t_Area(0, 3, 0, 6, 5);
  EXPECT_EQ(w().TextFirstColumn, 3);
  EXPECT_EQ(w().TextLastColumn, 6);
  EXPECT_EQ(w().TextFirstLine, 2);
  EXPECT_EQ(w().TextLastLine, 4);
  EXPECT_EQ(w().TextHpos, 3);
  EXPECT_EQ(w().TextVpos, 2);
  t_Htab(0, 2);
  t_FullArea(0);
  EXPECT_EQ(w().TextLastColumn, kColumns);
  EXPECT_EQ(w().TextLastLine, kLines);
  EXPECT_EQ(w().TextHpos, 4);
}

TEST_F(DisplayModes, CursorLevelsNestAndInvertingTwiceRestores) {
  t_Print(0, "kl");
  t_Htab(0, 2);
  const auto inkBefore = pixel24(8, 0);
  t_CursorOn(0);
  t_CursorOn(0);
  t_CursorOff(0);
  EXPECT_EQ(w().TextCursorLevel, 1);
  EXPECT_EQ(pixel24(8, 0), (std::array<int, 3>{0, 0, 0}));
  t_CursorOff(0);
  EXPECT_EQ(pixel24(8, 0), inkBefore);
  EXPECT_EQ(colourAt(2, 1), 0xC0);
  t_InvertRect(0, 1, 1, 3, 2);
  EXPECT_EQ(colourAt(1, 1), 0x0C);
  t_InvertRect(0, 1, 1, 3, 2);
  EXPECT_EQ(colourAt(1, 1), 0xC0);
  t_InvertRect(0, 0, 1, 3, 2);  // invalid: nothing
  EXPECT_EQ(colourAt(1, 1), 0xC0);
}

TEST_F(DisplayModes, ColorSetsInkAndDrawingColour) {
  w().TextColor = 0x3A;
  t_Color(0, 0x1D);
  EXPECT_EQ(w().TextColor, 0xDA);
  EXPECT_EQ(w().RGBColor, (t_RGBColor{255, 255, 255, 0}));
}

TEST_F(DisplayModes, TextLineDrawsTheRuleToTheAreaEnd) {
  t_Htab(0, 3);
  t_TextLine(0);
  EXPECT_EQ(cellCode(2, 1), ' ');
  for (int column = 3; column <= kColumns; ++column) EXPECT_EQ(cellCode(column, 1), 156);
  EXPECT_EQ(w().TextVpos, 2);
  EXPECT_EQ(w().TextHpos, 1);
}

TEST_F(DisplayModes, HeaderFillsTheLastColumnWithoutScrolling) {
  t_Area(0, 1, kLines, kColumns, kLines);
  t_Header(0, "Links", "re");
  EXPECT_EQ(screenLine(kLines), "Links   re");
  EXPECT_EQ(w().TextVpos, kLines);
  EXPECT_EQ(w().TextHpos, 1);
  EXPECT_EQ(screenLine(kLines - 1), std::string(kColumns, ' '));
}

TEST_F(DisplayModes, GetScreenTidiesTrailingBlanksAndEmptyLines) {
  EXPECT_EQ(t_GetScreen(0, "\r"), "");
  t_Print(0, "ab  \r\rc\xC3\xA4");
  EXPECT_EQ(t_GetScreen(0, "\r"), "ab\r\rc\xC3\xA4");
  const std::string raw = t_GetScreen(0, "");
  EXPECT_EQ(raw.size(), std::size_t(kColumns * kLines + 1));  // ä takes two bytes
}

TEST_F(DisplayModes, FailedCheckGivesTheNeutralTriple) {
  LogCapture log;
  EXPECT_EQ(t_ApplyDisplayMode(5, 'a'), (DisplayModeResult{-2, false, 0xF0}));
  EXPECT_EQ(t_GetScreen(5, "\r"), "");
}

}  // namespace
