#include "host/terminal/TextCells.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "support/Utf8.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"

namespace terminal {
namespace {

constexpr int kFirstSymbol = 127;
constexpr int kLastSymbol = 159;
constexpr int kNoBreakSpace = 160;

// The font's symbols 127..159, drawn by the font builder as these shapes.
constexpr std::array<char32_t, kLastSymbol - kFirstSymbol + 1> kSymbols = {
    U'\u2588', U'\u2022', U'\u2592', U'\u2190', U'\u2550', U'\u2192', U'\u25CB',  // 127..133
    U'\u250C', U'\u2510', U'\u2514', U'\u2518', U'\u2502', U'\u2551', U'\u2500',  // 134..140
    U'\u2501', U'\u251C', U'\u2524', U'\u252C', U'\u2534', U'\u253C', U'\u2554',  // 141..147
    U'\u2557', U'\u255A', U'\u255D', U'\u2560', U'\u2563', U'\u256C', U'\u2574',  // 148..154
    U'\u2576', U'\u2500', U'\u2503', U'\u254B', U'\u2261',                        // 155..159
};

}  // namespace

char32_t terminalCharacterOf(std::uint8_t code) {
  if (code >= kFirstSymbol && code <= kLastSymbol) return kSymbols[code - kFirstSymbol];
  if (code < 0x20 || code == kNoBreakSpace) return U' ';
  return code;
}

TextWindowCells readTextWindow(std::uint8_t window) {
  TextWindowCells text;
  if (!MemoryReady.load() || window >= kGraphicWindowCount) return text;
  const textblock::CellsCopy copy = textblock::copyCells(window, true);
  if (copy.columns == 0) return text;
  const t_Window& record = WindowTable[window];
  text.columns = copy.columns;
  text.rows = copy.lines;
  text.cells.resize(copy.codes.size());
  for (std::size_t cell = 0; cell < copy.codes.size(); ++cell) {
    const std::uint8_t colour = copy.colours[cell];
    text.cells[cell] = {terminalCharacterOf(copy.codes[cell]),
                        static_cast<std::uint8_t>(colour >> 4),
                        static_cast<std::uint8_t>(colour & 15)};
  }
  // While the program waits for a key with none queued nothing moves the
  // cursor: only this thread queues keys, which would end the wait. The
  // toolbox drew its cursor by inverting the cell; the terminal's own cursor
  // replaces it.
  const InputWaitKind wait = currentInputWait().kind;
  const bool waitsForKey = wait == InputWaitKind::Key || wait == InputWaitKind::Line;
  if (waitsForKey && !KeyAvailable.load() && record.TextCursorLevel > 0) {
    const int column = record.TextHpos;
    const int row = record.TextVpos;
    if (column >= 1 && column <= text.columns && row >= 1 && row <= text.rows) {
      TextCell& cell =
          text.cells[static_cast<std::size_t>((row - 1) * text.columns + (column - 1))];
      std::swap(cell.ink, cell.paper);
      text.cursorColumn = column;
      text.cursorRow = row;
    }
  }
  return text;
}

namespace {
constexpr std::uint8_t kPastInk = 15;  // white on black, as the game's text
constexpr std::uint8_t kPastPaper = 0;
constexpr std::uint8_t kMarkPaper = 13;  // yellow bar

void putLine(TextWindowCells& cells, int row, int firstColumn, const std::string& utf8,
             std::uint8_t ink, std::uint8_t paper) {
  if (row < 1 || row > cells.rows) return;
  const std::u32string text = utf8ToScalars(utf8);
  for (int column = std::max(firstColumn, 1); column <= cells.columns; ++column) {
    const auto index = static_cast<std::size_t>(column - firstColumn);
    TextCell& cell = cells.cells[static_cast<std::size_t>((row - 1) * cells.columns + column - 1)];
    cell = {index < text.size() ? text[index] : U' ', ink, paper};
  }
}
}  // namespace

TextWindowCells withPast(TextWindowCells live, std::uint8_t window, const ScrollbackPage& page) {
  if (live.columns == 0 || window >= kGraphicWindowCount) return live;
  const t_Window& record = WindowTable[window];
  const int first = record.TextFirstLine;
  for (std::size_t index = 0; index < page.lines.size(); ++index) {
    putLine(live, first + static_cast<int>(index), record.TextFirstColumn, page.lines[index],
            kPastInk, kPastPaper);
  }
  putLine(live, std::max(first - 1, 1), 1, t_ScrollbackMark(page), kPastPaper, kMarkPaper);
  live.cursorColumn = 0;
  live.cursorRow = 0;
  return live;
}

}  // namespace terminal
