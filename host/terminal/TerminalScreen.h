// Drawing on the terminal through ncurses: the text window's cells in their
// colours, a picture made of symbols, the key hints, the message that asks
// for a larger terminal, and boxes for questions, menus and prompts. Each
// frame is drawn whole; ncurses sends only what changed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/terminal/PictureRenderer.h"
#include "host/terminal/ScreenLayout.h"
#include "host/terminal/TextCells.h"

namespace terminal {

// A box in the middle of the screen: a title, lines of text, optionally one
// highlighted line (a menu's choice) and an input field with its cursor.
struct DialogView {
  std::string title;               // UTF-8
  std::vector<std::string> lines;  // UTF-8
  int highlighted = -1;            // index into lines
  bool hasInput = false;
  std::u32string input;
  int inputCursor = 0;  // characters before the cursor
};

class TerminalScreen {
 public:
  // colourCount: what the terminal offers; boldRows: the text window's first
  // rows (the status line) are drawn bold.
  TerminalScreen(int colourCount, int boldRows) : colourCount_(colourCount), boldRows_(boldRows) {}

  void beginFrame();
  void drawTooSmall(const ScreenLayout& layout, int columns, int rows);
  void drawText(const CellRect& area, const TextWindowCells& text);
  void drawPicture(const CellRect& box, const SymbolPicture& picture);
  void drawHints(const CellRect& line, std::string_view hintsUtf8);
  void drawDialog(const DialogView& dialog);
  // Where the terminal's cursor shows at the end of the frame; hidden by default.
  void showCursorAt(int column, int row);
  void hideCursor() { showCursorAt(-1, -1); }
  // Sends the frame to the terminal. wholeScreen repaints every cell (after
  // a resize, or when something else wrote to the terminal).
  void endFrame(bool wholeScreen);

 private:
  void put(int column, int row, char32_t character, int foreground, int background, bool bold,
           bool reverse);
  void putText(int column, int row, std::string_view utf8, int maxColumns, bool reverse);
  int pairOf(int foreground, int background);

  int colourCount_;
  int boldRows_;
  int cursorColumn_ = -1;
  int cursorRow_ = -1;
};

}  // namespace terminal
