// A window's graphic block seen as pixels: the addressing and the colour
// combination of the pixel routines, with every access kept inside the block
// (a record whose sizes do not match its block must not write outside it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "toolbox/core/Color.h"
#include "toolbox/core/Window.h"

namespace graphics {

// What a plot uses: RGBColor for 8 to 32 bits, the ink nibble of TextColor
// for 1 and 4 bits.
struct PlotColor {
  t_RGBColor rgb;
  std::uint8_t ink = 0;
};

// The ink that g_ColorRGB chooses for a colour in a 1-bit or 4-bit window.
int inkFor(const t_RGBColor& colour, int depth);

// Whether a plot at 8 bits or more writes whole bytes regardless of the pixel
// already there (drawing modes that combine with it do not).
bool replacesWholePixel(int depth, int mode);
// The bytes that such a plot writes (depth / 8 of them).
void replacedBytes(int depth, int mode, const PlotColor& colour, std::uint8_t* bytes);

struct PixelSurface {
  std::uint8_t* block = nullptr;  // first byte of the window's graphic block
  std::size_t blockBytes = 0;
  int width = 0;
  int height = 0;
  int depth = 0;

  // Nothing when the record's block does not lie inside the video memory.
  static std::optional<PixelSurface> of(const t_Window& window);

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  bool hasPixelDepth() const;
  // Bytes of one row: Width/8, Width/2, Width, 2, 3 or 4 x Width.
  std::size_t rowBytes() const;
  // True when every row lies inside the block, so rows may be written whole.
  bool holdsAllRows() const { return rowBytes() * std::size_t(height) <= blockBytes; }
  std::uint8_t* row(int y) const { return block + rowBytes() * std::size_t(y); }

  // (x, y) must be inside the window; a pixel whose bytes lie outside the
  // block is ignored. drawingMode applies at 24 and 32 bits.
  void plot(int x, int y, const PlotColor& colour, int drawingMode) const;
  std::optional<t_RGBColor> read(int x, int y) const;
  // Fills the first rows lines with a pixel pattern of pixelBytes bytes.
  void fillRows(int rows, const std::uint8_t* pixel, int pixelBytes) const;
};

// The window check of the pixel routines: logs routine + ": Window is not a
// graphic window." or ": Graphic window #n not initialized." (also for a
// record whose block lies outside the video memory) and gives nothing.
std::optional<PixelSurface> checkedSurface(const char* routine, std::uint8_t window);

}  // namespace graphics
