#include "host/terminal/TextCells.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "text/TextWindowFixture.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/InputWait.h"

namespace terminal {
namespace {

class TextCellsTest : public ::testing::Test {
 protected:
  void SetUp() override { texttest::setUpTextWindow(0, 24, 12, 4); }
};

TEST_F(TextCellsTest, CellsComeFromTheTextMemoryInTheirColours) {
  t_Print(0, std::string("T\u00FCr"));
  // Ink 2 on paper 15: distinct nibbles, so a swap would show.
  windowRecord(0).TextColor = 0x2F;
  t_Print(0, std::string("!"));
  const TextWindowCells text = readTextWindow(0);
  ASSERT_EQ(text.columns, 12);
  ASSERT_EQ(text.rows, 4);
  EXPECT_EQ(text.at(1, 1), (TextCell{U'T', 12, 0}));
  EXPECT_EQ(text.at(2, 1).character, U'\u00FC');
  EXPECT_EQ(text.at(4, 1), (TextCell{U'!', 2, 15}));
  EXPECT_EQ(text.at(12, 4).character, U' ');
  EXPECT_EQ(text.cursorColumn, 0);  // the program does not wait for a key
}

TEST_F(TextCellsTest, InverseTextKeepsItsSwappedColours) {
  t_Inverse(0);
  t_Print(0, std::string("N"));
  EXPECT_EQ(readTextWindow(0).at(1, 1), (TextCell{U'N', 0, 12}));
}

TEST_F(TextCellsTest, RuleAndSymbolsBecomeBoxDrawingCharacters) {
  t_TextLine(0);
  const TextWindowCells text = readTextWindow(0);
  for (int column = 1; column <= 12; ++column) EXPECT_EQ(text.at(column, 1).character, U'─');
  EXPECT_EQ(terminalCharacterOf(127), U'█');
  EXPECT_EQ(terminalCharacterOf(134), U'┌');
  EXPECT_EQ(terminalCharacterOf(159), U'≡');
  EXPECT_EQ(terminalCharacterOf(0), U' ');
  EXPECT_EQ(terminalCharacterOf(160), U' ');
  EXPECT_EQ(terminalCharacterOf(0xDF), U'ß');
}

TEST_F(TextCellsTest, WaitingCursorIsTheTerminalsAndItsCellIsNotInverted) {
  t_Print(0, std::string(">"));
  std::thread program([] { t_KeyWait(0); });
  const InputWaitState wait = awaitInputWait([] { return false; }, std::chrono::seconds(10));
  ASSERT_EQ(wait.kind, InputWaitKind::Key);
  const TextWindowCells text = readTextWindow(0);
  EXPECT_EQ(text.cursorColumn, 2);
  EXPECT_EQ(text.cursorRow, 1);
  // The toolbox inverted the cell for its cursor; the terminal shows it plain.
  EXPECT_EQ(text.at(2, 1), (TextCell{U' ', 12, 0}));
  t_Event key;
  key.Kind = kKeyEventKind;
  key.Value = 'x';
  KeyEventQueue.append(key);
  program.join();
  EXPECT_EQ(readTextWindow(0).cursorColumn, 0);
}

TEST_F(TextCellsTest, WindowWithoutTextGivesNoCells) {
  EXPECT_EQ(readTextWindow(3).columns, 0);
  EXPECT_EQ(readTextWindow(200).columns, 0);
}

// The past replaces the area's rows and the row above carries the mark; the
// window's own cells are not touched.
TEST_F(TextCellsTest, PastShowsInPlaceOfTheAreaWithItsMark) {
  t_Print(0, std::string("live"));
  t_Area(0, 1, 2, 12, 4);  // a status line above the area
  ScrollbackPage page;
  page.lines = {"alt1", "alt2", "alt3"};
  page.linesBack = 3;
  const TextWindowCells shown = withPast(readTextWindow(0), 0, page);
  EXPECT_EQ(shown.at(1, 2), (TextCell{U'a', 15, 0}));
  EXPECT_EQ(shown.at(4, 4).character, U'3');
  EXPECT_EQ(shown.at(1, 1), (TextCell{U'V', 0, 13})) << "the mark: \"Verlauf: 3 ...\"";
  EXPECT_EQ(shown.cursorColumn, 0);
  EXPECT_EQ(readTextWindow(0).at(1, 1).character, U'l');
}

}  // namespace
}  // namespace terminal
