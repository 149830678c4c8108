// Addresses in a window's text block: the text plane first, the colour plane
// half the block's real length later (the block may be longer than two
// planes, because its start is rounded down to a 1 KiB boundary).
#pragma once

#include <cstdint>
#include <vector>

#include "toolbox/core/VideoMemory.h"
#include "toolbox/core/Window.h"

namespace textblock {

// The text-plane address of cell (column, line), both 1-based.
inline std::int64_t cellAddress(const t_Window& window, int column, int line) {
  return window.TextMemoryStart + std::int64_t{line - 1} * window.TextWidth + (column - 1);
}

// From a text-plane address to the colour-plane address of the same cell.
inline std::int64_t colourPlaneOffset(const t_Window& window) {
  return (window.TextMemoryEnd - window.TextMemoryStart + 1) / 2;
}

// The text area's size (t_WindowPos answers it as selectors 4 and 5).
inline int areaColumns(const t_Window& window) {
  return window.TextLastColumn - window.TextFirstColumn + 1;
}
inline int areaLines(const t_Window& window) {
  return window.TextLastLine - window.TextFirstLine + 1;
}

inline std::uint8_t storedCode(const t_Window& window, int column, int line) {
  return VideoMemory[cellAddress(window, column, line)];
}

inline std::uint8_t storedColour(const t_Window& window, int column, int line) {
  return VideoMemory[cellAddress(window, column, line) + colourPlaneOffset(window)];
}

// A window's text cells as one copy, for readers on other threads than the
// program thread (which may print meanwhile): the geometry is read as one
// (windowBlocks) and the cells are copied in one go, so the copy has one
// window's layout even while the window is set up anew.
struct CellsCopy {
  int columns = 0;
  int lines = 0;
  std::vector<std::uint8_t> codes;    // lines * columns, line by line
  std::vector<std::uint8_t> colours;  // the same cells' colour bytes; empty unless asked for
  std::uint8_t code(int column, int line) const {  // 1-based
    return codes[static_cast<std::size_t>((line - 1) * columns + (column - 1))];
  }
};
// Empty (0 columns) when the window is not set up or has no text block.
CellsCopy copyCells(std::uint8_t window, bool withColours);

}  // namespace textblock
