// The program's own symbols of a built font: codes 127-159 (lines, corners,
// crossings, arrows, a bullet, blocks) and the small marks of codes 0-31 that
// a face has no picture for. Lines run through the middle of the cell to its
// edges, so neighbouring cells join without a gap.
#pragma once

#include <cstdint>
#include <vector>

namespace fontsymbols {

inline constexpr int kFirstSymbol = 127;
inline constexpr int kLastSymbol = 159;

// A cell of coverage bytes, rows top first.
struct Cell {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;

  Cell(int cellWidth, int cellHeight)
      : width(cellWidth), height(cellHeight), coverage(std::size_t(cellWidth) * cellHeight, 0) {}
  std::uint8_t& at(int x, int y) { return coverage[std::size_t(y) * width + x]; }
  // Fills [x0, x1) x [y0, y1), clipped to the cell.
  void fill(int x0, int y0, int x1, int y1, std::uint8_t value);
};

// Draws symbol code (kFirstSymbol..kLastSymbol) into an empty cell; bold
// thickens the strokes to match a bold face.
void drawSymbol(Cell& cell, int code, bool bold);
// A small hollow box: what a control code looks like when the face has no picture.
void drawControlMark(Cell& cell, bool bold);

}  // namespace fontsymbols
