#include "tools/FontSymbols.h"

#include <algorithm>
#include <array>
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

enum class Kind {
  kLight,
  kHeavy,
  kDouble,
  kBlock,
  kShade,
  kBullet,
  kCircle,
  kArrowLeft,
  kArrowRight,
  kTripleRule
};

struct SymbolShape {
  Kind kind;
  unsigned arms;  // for the line kinds
};

// Codes 127..159. Their plain-text stand-ins (copying the screen) are "#" for
// the blocks, "*" the bullet, "<" ">" the arrows, "O" the circle, "+" corners
// and crossings, "|" and "-" the lines, "=" the double and triple rules.
constexpr std::array<SymbolShape, kLastSymbol - kFirstSymbol + 1> kSymbolShapes = {{
    {Kind::kBlock, 0},                       // 127
    {Kind::kBullet, 0},                      // 128
    {Kind::kShade, 0},                       // 129
    {Kind::kArrowLeft, 0},                   // 130
    {Kind::kDouble, kLeft | kRight},         // 131 ═
    {Kind::kArrowRight, 0},                  // 132
    {Kind::kCircle, 0},                      // 133
    {Kind::kLight, kRight | kDown},          // 134 ┌
    {Kind::kLight, kLeft | kDown},           // 135 ┐
    {Kind::kLight, kRight | kUp},            // 136 └
    {Kind::kLight, kLeft | kUp},             // 137 ┘
    {Kind::kLight, kUp | kDown},             // 138 │
    {Kind::kDouble, kUp | kDown},            // 139 ║
    {Kind::kLight, kLeft | kRight},          // 140 ─
    {Kind::kHeavy, kLeft | kRight},          // 141 ━
    {Kind::kLight, kUp | kDown | kRight},    // 142 ├
    {Kind::kLight, kUp | kDown | kLeft},     // 143 ┤
    {Kind::kLight, kLeft | kRight | kDown},  // 144 ┬
    {Kind::kLight, kLeft | kRight | kUp},    // 145 ┴
    {Kind::kLight, kAllArms},                // 146 ┼
    {Kind::kDouble, kRight | kDown},         // 147 ╔
    {Kind::kDouble, kLeft | kDown},          // 148 ╗
    {Kind::kDouble, kRight | kUp},           // 149 ╚
    {Kind::kDouble, kLeft | kUp},            // 150 ╝
    {Kind::kDouble, kUp | kDown | kRight},   // 151 ╠
    {Kind::kDouble, kUp | kDown | kLeft},    // 152 ╣
    {Kind::kDouble, kAllArms},               // 153 ╬
    {Kind::kLight, kLeft},                   // 154 ╴
    {Kind::kLight, kRight},                  // 155 ╶
    {Kind::kLight, kLeft | kRight},          // 156 the rule of t_TextLine
    {Kind::kHeavy, kUp | kDown},             // 157 ┃
    {Kind::kHeavy, kAllArms},                // 158 ╋
    {Kind::kTripleRule, 0},                  // 159 ≡
}};

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
  if (code < kFirstSymbol || code > kLastSymbol) return;
  const Strokes strokes = strokesFor(cell, bold);
  const SymbolShape& shape = kSymbolShapes[code - kFirstSymbol];
  switch (shape.kind) {
    case Kind::kLight:
      drawArms(cell, shape.arms, strokes.thin);
      break;
    case Kind::kHeavy:
      drawArms(cell, shape.arms, strokes.heavy);
      break;
    case Kind::kDouble:
      drawDoubleArms(cell, shape.arms, strokes);
      break;
    case Kind::kBlock:
      cell.fill(0, 0, cell.width, cell.height, kInk);
      break;
    case Kind::kShade:  // a fine checkerboard that tiles across cells
      for (int y = 0; y < cell.height; ++y) {
        for (int x = 0; x < cell.width; ++x) cell.at(x, y) = ((x + y) % 2 == 0) ? kInk : 0;
      }
      break;
    case Kind::kBullet:
      drawDisc(cell, cell.width * 0.3);
      break;
    case Kind::kCircle:
      drawRing(cell, cell.width * 0.42, strokes.thin);
      break;
    case Kind::kArrowLeft:
    case Kind::kArrowRight:
      drawArrow(cell, shape.kind == Kind::kArrowRight, strokes.thin);
      break;
    case Kind::kTripleRule:
      drawParallelRules(cell, 3, strokes);
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
