// The text window as terminal text: its cells read from the text video memory
// (the character codes and colour bytes the toolbox recorded), not from its
// pixels, so the terminal shows the same text that --dump-text writes.
#pragma once

#include <cstdint>
#include <vector>

#include "toolbox/text/Scrollback.h"

namespace terminal {

struct TextCell {
  char32_t character = U' ';
  std::uint8_t ink = 0;    // Palette16 index
  std::uint8_t paper = 0;  // Palette16 index
  friend bool operator==(const TextCell&, const TextCell&) = default;
};

struct TextWindowCells {
  int columns = 0;
  int rows = 0;
  std::vector<TextCell> cells;  // rows * columns, row by row
  // Where the program waits for a key with its cursor on: the terminal's
  // cursor goes there. 1-based like the toolbox's cursor; 0 when hidden.
  int cursorColumn = 0;
  int cursorRow = 0;
  const TextCell& at(int column, int row) const {
    return cells[static_cast<std::size_t>((row - 1) * columns + (column - 1))];
  }
  friend bool operator==(const TextWindowCells&, const TextWindowCells&) = default;
};

// The character a code of the 8-bit character set shows as: Latin-1, with
// the font's symbols 127..159 as the box-drawing and block characters they
// look like (156, the rule under the title, is a light horizontal line) and
// the other control codes as blanks.
char32_t terminalCharacterOf(std::uint8_t code);

// The cells of graphic window `window`; empty (0 columns) when the window is
// not set up or has no text. Main thread (the thread that queues the keys):
// the cursor is taken only while the program waits for a key, when it does
// not move it.
TextWindowCells readTextWindow(std::uint8_t window);

// live with its text area showing page, the window's past, and the line
// above the area (the status line) showing the past's mark, inverted; the
// cursor hidden. The video memory is not touched.
TextWindowCells withPast(TextWindowCells live, std::uint8_t window, const ScrollbackPage& page);

}  // namespace terminal
