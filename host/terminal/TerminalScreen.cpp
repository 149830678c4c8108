#include "host/terminal/TerminalScreen.h"

#include <curses.h>

#include <algorithm>

#include "host/terminal/TerminalColours.h"
#include "support/Utf8.h"

namespace terminal {
namespace {

constexpr int kDialogMinimumWidth = 36;

// The text of the message, cut into lines of at most width characters at blanks.
std::vector<std::u32string> wrapped(std::u32string_view text, int width) {
  std::vector<std::u32string> lines;
  std::u32string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(U' ', start);
    if (end == std::u32string_view::npos) end = text.size();
    std::u32string_view word = text.substr(start, end - start);
    if (!line.empty() && static_cast<int>(line.size() + 1 + word.size()) > width) {
      lines.push_back(line);
      line.clear();
    }
    if (!line.empty()) line += U' ';
    line += word.substr(0, static_cast<std::size_t>(std::max(width, 1)));
    start = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int widthOf(std::string_view utf8) {
  return static_cast<int>(utf8ToScalars(utf8).size());
}

}  // namespace

void TerminalScreen::beginFrame() {
  erase();
  cursorColumn_ = -1;
  cursorRow_ = -1;
}

int TerminalScreen::pairOf(int foreground, int background) {
  if (colourCount_ < 8 || (foreground < 0 && background < 0)) return 0;
  const int pair = alloc_pair(foreground, background);
  return pair < 0 ? 0 : pair;
}

void TerminalScreen::put(int column, int row, char32_t character, int foreground, int background,
                         bool bold, bool reverse) {
  if (column < 0 || row < 0 || column >= COLS || row >= LINES) return;
  // ncurses cannot write the bottom-right cell without scrolling on some
  // terminals; it handles that itself, so every cell may be written.
  wchar_t characters[2] = {static_cast<wchar_t>(character), L'\0'};
  attr_t attributes = (bold ? A_BOLD : A_NORMAL) | (reverse ? A_REVERSE : A_NORMAL);
  int pair = pairOf(foreground, background);
  cchar_t cell;
  setcchar(&cell, characters, attributes, 0, &pair);
  mvadd_wch(row, column, &cell);
}

void TerminalScreen::putText(int column, int row, std::string_view utf8, int maxColumns,
                             bool reverse) {
  int offset = 0;
  for (char32_t character : utf8ToScalars(utf8)) {
    if (offset >= maxColumns) break;
    put(column + offset++, row, character, -1, -1, false, reverse);
  }
}

void TerminalScreen::drawTooSmall(const ScreenLayout& layout, int columns, int rows) {
  const std::string message =
      "Das Terminal ist zu klein (" + std::to_string(columns) + " x " + std::to_string(rows) +
      " Zeichen). Velmorat braucht mindestens " + std::to_string(layout.minimumColumns) + " x " +
      std::to_string(layout.minimumRows) + ". Bitte das Fenster vergrößern.";
  const int width = std::max(columns - 2, 1);
  const std::vector<std::u32string> lines = wrapped(utf8ToScalars(message), width);
  int row = std::max((rows - static_cast<int>(lines.size())) / 2, 0);
  for (const std::u32string& line : lines) {
    const int column = std::max((columns - static_cast<int>(line.size())) / 2, 0);
    for (std::size_t index = 0; index < line.size(); ++index)
      put(column + static_cast<int>(index), row, line[index], -1, -1, true, false);
    ++row;
  }
}

void TerminalScreen::drawText(const CellRect& area, const TextWindowCells& text) {
  const int rows = std::min(area.rows, text.rows);
  const int columns = std::min(area.columns, text.columns);
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= columns; ++column) {
      const TextCell& cell = text.at(column, row);
      const bool bold = row <= boldRows_;
      if (colourCount_ >= 8) {
        put(area.column + column - 1, area.row + row - 1, cell.character,
            terminalColourOfPalette(cell.ink, colourCount_),
            terminalColourOfPalette(cell.paper, colourCount_), bold, false);
      } else {
        // Two colours: light ink on dark paper is the terminal's normal.
        const bool reverse = paletteBrightness(cell.ink) < paletteBrightness(cell.paper);
        put(area.column + column - 1, area.row + row - 1, cell.character, -1, -1, bold, reverse);
      }
    }
  }
  if (text.cursorColumn > 0 && text.cursorColumn <= columns && text.cursorRow <= rows) {
    showCursorAt(area.column + text.cursorColumn - 1, area.row + text.cursorRow - 1);
  }
}

void TerminalScreen::drawPicture(const CellRect& box, const SymbolPicture& picture) {
  // The picture is centred in its box.
  const int left = box.column + std::max((box.columns - picture.columns) / 2, 0);
  const int top = box.row + std::max((box.rows - picture.rows) / 2, 0);
  for (int row = 0; row < std::min(picture.rows, box.rows); ++row) {
    for (int column = 0; column < std::min(picture.columns, box.columns); ++column) {
      const SymbolCell& cell =
          picture.cells[static_cast<std::size_t>(row * picture.columns + column)];
      put(left + column, top + row, cell.character, cell.foreground, cell.background, false, false);
    }
  }
}

void TerminalScreen::drawHints(const CellRect& line, std::string_view hintsUtf8) {
  putText(line.column, line.row, hintsUtf8, line.columns, false);
}

void TerminalScreen::drawDialog(const DialogView& dialog) {
  int inner = std::max(kDialogMinimumWidth, widthOf(dialog.title) + 2);
  for (const std::string& line : dialog.lines) inner = std::max(inner, widthOf(line));
  inner = std::min(inner + 2, COLS - 2);
  const int height = static_cast<int>(dialog.lines.size()) + (dialog.hasInput ? 2 : 0) + 2;
  const int left = std::max((COLS - inner - 2) / 2, 0);
  const int top = std::max((LINES - height) / 2, 0);
  for (int row = top; row < top + height; ++row) {
    for (int column = left; column < left + inner + 2; ++column) {
      char32_t edge = U' ';
      const bool topEdge = row == top;
      const bool bottomEdge = row == top + height - 1;
      const bool leftEdge = column == left;
      const bool rightEdge = column == left + inner + 1;
      if ((topEdge || bottomEdge) && (leftEdge || rightEdge)) {
        edge = topEdge ? (leftEdge ? U'┌' : U'┐') : (leftEdge ? U'└' : U'┘');
      } else if (topEdge || bottomEdge) {
        edge = U'─';
      } else if (leftEdge || rightEdge) {
        edge = U'│';
      }
      put(column, row, edge, -1, -1, false, false);
    }
  }
  if (!dialog.title.empty()) {
    const int titleColumn = left + std::max((inner + 2 - widthOf(dialog.title) - 2) / 2, 1);
    putText(titleColumn, top, " " + dialog.title + " ", inner, false);
  }
  int row = top + 1;
  for (std::size_t index = 0; index < dialog.lines.size(); ++index, ++row) {
    const bool chosen = static_cast<int>(index) == dialog.highlighted;
    if (chosen) {
      for (int column = 1; column <= inner; ++column)
        put(left + column, row, U' ', -1, -1, false, true);
    }
    putText(left + 2, row, dialog.lines[index], inner - 2, chosen);
  }
  if (dialog.hasInput) {
    ++row;
    const int fieldWidth = inner - 2;
    // The field scrolls so that the cursor stays visible.
    const int first = std::max(dialog.inputCursor - fieldWidth + 1, 0);
    for (int column = 0; column < fieldWidth; ++column) {
      const auto index = static_cast<std::size_t>(first + column);
      put(left + 2 + column, row, index < dialog.input.size() ? dialog.input[index] : U'_', -1, -1,
          false, false);
    }
    showCursorAt(left + 2 + dialog.inputCursor - first, row);
  }
}

void TerminalScreen::showCursorAt(int column, int row) {
  cursorColumn_ = column;
  cursorRow_ = row;
}

void TerminalScreen::endFrame(bool wholeScreen) {
  if (cursorColumn_ >= 0 && cursorRow_ >= 0 && cursorColumn_ < COLS && cursorRow_ < LINES) {
    move(cursorRow_, cursorColumn_);
    curs_set(1);
  } else {
    curs_set(0);
  }
  if (wholeScreen) clearok(curscr, TRUE);
  refresh();
}

}  // namespace terminal
