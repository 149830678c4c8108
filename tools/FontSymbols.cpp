#include "tools/FontSymbols.h"

#include <algorithm>
#include <cmath>

namespace fontsymbols {

namespace {

constexpr std::uint8_t kInk = 255;
constexpr int kSupersampling = 4;  // per axis, for the round shapes

enum Arm : unsigned { kLeft = 1, kRight = 2, kUp = 4, kDown = 8 };
constexpr unsigned kAllArms = kLeft | kRight | kUp | kDown;

struct Strokes {
  int thin;   // a light line
  int heavy;  // a heavy line
  int gap;    // between the two lines of a double line
};

Strokes strokesFor(const Cell& cell, bool bold) {
  const int thin = std::max(1, cell.width / 8) + (bold ? 1 : 0);
  return Strokes{thin, 2 * thin, thin};
}

// A band of the given thickness centred on the cell's middle row or column.
int bandStart(int size, int thickness) {
  return size / 2 - thickness / 2;
}

// Lines of one thickness from the centre to the edges named by arms.
void drawArms(Cell& cell, unsigned arms, int thickness) {
  const int x0 = bandStart(cell.width, thickness);
  const int y0 = bandStart(cell.height, thickness);
  const int x1 = x0 + thickness;
  const int y1 = y0 + thickness;
  if (arms & kLeft) cell.fill(0, y0, x1, y1, kInk);
  if (arms & kRight) cell.fill(x0, y0, cell.width, y1, kInk);
  if (arms & kUp) cell.fill(x0, 0, x1, y1, kInk);
  if (arms & kDown) cell.fill(x0, y0, x1, cell.height, kInk);
}

// Double lines: wide arms, then the gap between the two lines cleared along
// every arm. Where arms meet, the cleared gaps open the inner corners, which
// gives the joins of ╔, ╠ and ╬ without a case for each.
void drawDoubleArms(Cell& cell, unsigned arms, const Strokes& strokes) {
  const int wide = 2 * strokes.thin + strokes.gap;
  drawArms(cell, arms, wide);
  const int gx0 = bandStart(cell.width, wide) + strokes.thin;
  const int gy0 = bandStart(cell.height, wide) + strokes.thin;
  const int gx1 = gx0 + strokes.gap;
  const int gy1 = gy0 + strokes.gap;
  if (arms & kLeft) cell.fill(0, gy0, gx1, gy1, 0);
  if (arms & kRight) cell.fill(gx0, gy0, cell.width, gy1, 0);
  if (arms & kUp) cell.fill(gx0, 0, gx1, gy1, 0);
  if (arms & kDown) cell.fill(gx0, gy0, gx1, cell.height, 0);
}

// Coverage of a shape given by inside(x, y) in pixel units, by supersampling.
template <typename Inside>
void drawShape(Cell& cell, Inside inside) {
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSupersampling; ++sy) {
        for (int sx = 0; sx < kSupersampling; ++sx) {
          const double px = x + (sx + 0.5) / kSupersampling;
          const double py = y + (sy + 0.5) / kSupersampling;
          if (inside(px, py)) ++hits;
        }
      }
      const int value = hits * 255 / (kSupersampling * kSupersampling);
      cell.at(x, y) = static_cast<std::uint8_t>(std::max<int>(cell.at(x, y), value));
    }
  }
}

// An arrow along the middle row: the shaft to both edges (so arrows join
// lines), the head at the right edge or mirrored to the left.
void drawArrow(Cell& cell, bool pointsRight, int thickness) {
  drawArms(cell, kLeft | kRight, thickness);
  const double length = cell.width * 0.6;
  const double halfHeight = cell.width * 0.45;
  const double middle = cell.height / 2.0;
  drawShape(cell, [&](double x, double y) {
    const double fromTip = pointsRight ? cell.width - x : x;
    return fromTip >= 0 && fromTip <= length &&
           std::abs(y - middle) <= halfHeight * fromTip / length;
  });
}

void drawDisc(Cell& cell, double radius) {
  const double cx = cell.width / 2.0;
  const double cy = cell.height / 2.0;
  drawShape(cell, [&](double x, double y) { return std::hypot(x - cx, y - cy) <= radius; });
}

void drawRing(Cell& cell, double radius, int thickness) {
  const double cx = cell.width / 2.0;
  const double cy = cell.height / 2.0;
  drawShape(cell, [&](double x, double y) {
    const double distance = std::hypot(x - cx, y - cy);
    return distance <= radius && distance >= radius - thickness;
  });
}

// Horizontal lines across the cell, count of them centred on the middle row.
void drawParallelRules(Cell& cell, int count, const Strokes& strokes) {
  const int pitch = strokes.thin + strokes.gap;
  const int total = count * strokes.thin + (count - 1) * strokes.gap;
  const int top = bandStart(cell.height, total);
  for (int index = 0; index < count; ++index) {
    const int y = top + index * pitch;
    cell.fill(0, y, cell.width, y + strokes.thin, kInk);
  }
}

}  // namespace

void Cell::fill(int x0, int y0, int x1, int y1, std::uint8_t value) {
  x0 = std::clamp(x0, 0, width);
  x1 = std::clamp(x1, 0, width);
  y0 = std::clamp(y0, 0, height);
  y1 = std::clamp(y1, 0, height);
  for (int y = y0; y < y1; ++y) {
    std::fill(coverage.begin() + std::ptrdiff_t(y) * width + x0,
              coverage.begin() + std::ptrdiff_t(y) * width + x1, value);
  }
}

void drawSymbol(Cell& cell, int code, bool bold) {
  const Strokes strokes = strokesFor(cell, bold);
  switch (code) {
    case 127:  // full block
      cell.fill(0, 0, cell.width, cell.height, kInk);
      break;
    case 128:  // bullet
      drawDisc(cell, cell.width * 0.3);
      break;
    case 129:  // shade: a fine checkerboard that tiles across cells
      for (int y = 0; y < cell.height; ++y) {
        for (int x = 0; x < cell.width; ++x) cell.at(x, y) = ((x + y) % 2 == 0) ? kInk : 0;
      }
      break;
    case 130:
      drawArrow(cell, false, strokes.thin);
      break;
    case 131:
      drawDoubleArms(cell, kLeft | kRight, strokes);
      break;
    case 132:
      drawArrow(cell, true, strokes.thin);
      break;
    case 133:  // circle
      drawRing(cell, cell.width * 0.42, strokes.thin);
      break;
    case 134:
      drawArms(cell, kRight | kDown, strokes.thin);
      break;
    case 135:
      drawArms(cell, kLeft | kDown, strokes.thin);
      break;
    case 136:
      drawArms(cell, kRight | kUp, strokes.thin);
      break;
    case 137:
      drawArms(cell, kLeft | kUp, strokes.thin);
      break;
    case 138:
      drawArms(cell, kUp | kDown, strokes.thin);
      break;
    case 139:
      drawDoubleArms(cell, kUp | kDown, strokes);
      break;
    case 140:
      drawArms(cell, kLeft | kRight, strokes.thin);
      break;
    case 141:
      drawArms(cell, kLeft | kRight, strokes.heavy);
      break;
    case 142:
      drawArms(cell, kUp | kDown | kRight, strokes.thin);
      break;
    case 143:
      drawArms(cell, kUp | kDown | kLeft, strokes.thin);
      break;
    case 144:
      drawArms(cell, kLeft | kRight | kDown, strokes.thin);
      break;
    case 145:
      drawArms(cell, kLeft | kRight | kUp, strokes.thin);
      break;
    case 146:
      drawArms(cell, kAllArms, strokes.thin);
      break;
    case 147:
      drawDoubleArms(cell, kRight | kDown, strokes);
      break;
    case 148:
      drawDoubleArms(cell, kLeft | kDown, strokes);
      break;
    case 149:
      drawDoubleArms(cell, kRight | kUp, strokes);
      break;
    case 150:
      drawDoubleArms(cell, kLeft | kUp, strokes);
      break;
    case 151:
      drawDoubleArms(cell, kUp | kDown | kRight, strokes);
      break;
    case 152:
      drawDoubleArms(cell, kUp | kDown | kLeft, strokes);
      break;
    case 153:
      drawDoubleArms(cell, kAllArms, strokes);
      break;
    case 154:
      drawArms(cell, kLeft, strokes.thin);
      break;
    case 155:
      drawArms(cell, kRight, strokes.thin);
      break;
    case 156:  // the horizontal rule of t_TextLine
      drawArms(cell, kLeft | kRight, strokes.thin);
      break;
    case 157:
      drawArms(cell, kUp | kDown, strokes.heavy);
      break;
    case 158:
      drawArms(cell, kAllArms, strokes.heavy);
      break;
    case 159:
      drawParallelRules(cell, 3, strokes);
      break;
    default:
      break;
  }
}

void drawControlMark(Cell& cell, bool bold) {
  const Strokes strokes = strokesFor(cell, bold);
  const int side = cell.width / 2;
  const int x0 = (cell.width - side) / 2;
  const int y0 = (cell.height - side) / 2;
  const int line = std::max(1, strokes.thin / 2);
  cell.fill(x0, y0, x0 + side, y0 + side, kInk);
  cell.fill(x0 + line, y0 + line, x0 + side - line, y0 + side - line, 0);
}

}  // namespace fontsymbols
