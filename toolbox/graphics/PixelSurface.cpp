#include "toolbox/graphics/PixelSurface.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "support/Log.h"

#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/PatternFill.h"
#include "toolbox/graphics/PixelOps.h"

namespace graphics {

namespace {

constexpr int kOneBitInkSum = 383;  // red + green + blue above this sets the 1-bit ink
constexpr int kFirstSetInk = 9;     // a 1-bit plot sets its bit from ink 9 (TextColor > 0x8F)

std::uint8_t greyOf(const t_RGBColor& colour) {
  return static_cast<std::uint8_t>((colour.Red + colour.Green + colour.Blue) / 3);
}

std::uint8_t combine(std::uint8_t c, std::uint8_t p, int mode) {
  switch (mode) {
    case 1:
    case 4:
      return static_cast<std::uint8_t>((c + p) / 2);
    case 5:
      return c & p;
    case 6:
      return c | p;
    case 7:
      return c ^ p;
    default:
      return c;
  }
}

void plot24(std::uint8_t* pixel, const t_RGBColor& c, int mode) {
  if (mode < 0 || mode > 7) return;
  pixel[0] = combine(c.Red, pixel[0], mode);
  pixel[1] = combine(c.Green, pixel[1], mode);
  pixel[2] = combine(c.Blue, pixel[2], mode);
}

std::uint8_t blend(std::uint8_t c, std::uint8_t p, int alpha) {
  return static_cast<std::uint8_t>(c * alpha / 255 + p * (255 - alpha) / 255);
}

void plot32(std::uint8_t* pixel, const t_RGBColor& c, int mode) {
  if (mode < 0 || mode > 7) return;
  if (mode == 1) {
    pixel[1] = blend(c.Red, pixel[1], c.Alpha);
    pixel[2] = blend(c.Green, pixel[2], c.Alpha);
    pixel[3] = blend(c.Blue, pixel[3], c.Alpha);
    return;
  }
  if (mode == 0) pixel[0] = c.Alpha;
  if (mode == 2) pixel[0] = 255;
  // modes 2 and 3 replace like 0; the table of 24 bits maps them to 0 there too
  const int colourMode = mode == 2 || mode == 3 ? 0 : mode;
  pixel[1] = combine(c.Red, pixel[1], colourMode);
  pixel[2] = combine(c.Green, pixel[2], colourMode);
  pixel[3] = combine(c.Blue, pixel[3], colourMode);
}

}  // namespace

std::optional<PixelSurface> checkedSurface(const char* routine, std::uint8_t window) {
  if (window >= kGraphicWindowCount) {
    logLine(std::string(routine) + ": Window is not a graphic window.");
    return std::nullopt;
  }
  std::optional<PixelSurface> surface;
  if (MemoryReady.load() && windowRecord(window).Initialized) {
    surface = PixelSurface::of(windowRecord(window));
  }
  if (!surface) {
    logLine(std::string(routine) + ": Graphic window #" + std::to_string(window) +
            " not initialized.");
  }
  return surface;
}

// Whether a plot writes whole bytes regardless of the pixel already there.
bool replacesWholePixel(int depth, int mode) {
  switch (depth) {
    case 8:
    case 16:
      return true;
    case 24:
      return mode == 0 || mode == 2 || mode == 3;
    case 32:
      return mode == 0 || mode == 2;
    default:
      return false;
  }
}

// The bytes that such a plot writes.
void replacedBytes(int depth, int mode, const PlotColor& colour, std::uint8_t* bytes) {
  const t_RGBColor& c = colour.rgb;
  const std::uint8_t grey = static_cast<std::uint8_t>((c.Red + c.Green + c.Blue) / 3);
  switch (depth) {
    case 8:
      bytes[0] = grey;
      return;
    case 16:
      bytes[0] = c.Alpha;
      bytes[1] = grey;
      return;
    case 24:
      bytes[0] = c.Red;
      bytes[1] = c.Green;
      bytes[2] = c.Blue;
      return;
    default:
      bytes[0] = mode == 2 ? 255 : c.Alpha;
      bytes[1] = c.Red;
      bytes[2] = c.Green;
      bytes[3] = c.Blue;
      return;
  }
}

int inkFor(const t_RGBColor& colour, int depth) {
  if (depth == 4) return g_NearestColor(colour.Red, colour.Green, colour.Blue);
  return colour.Red + colour.Green + colour.Blue > kOneBitInkSum ? 15 : 0;
}

std::optional<PixelSurface> PixelSurface::of(const t_Window& window) {
  const std::int64_t start = window.MemoryStart;
  const std::int64_t end = window.MemoryEnd;
  if (VideoMemory == nullptr || start < 0 || end < start || end >= kVideoMemorySize) {
    return std::nullopt;
  }
  PixelSurface surface;
  surface.block = VideoMemory + start;
  surface.blockBytes = static_cast<std::size_t>(end - start + 1);
  surface.width = std::max<int>(window.Width, 0);
  surface.height = std::max<int>(window.Height, 0);
  surface.depth = window.BitDepth;
  return surface;
}

bool PixelSurface::hasPixelDepth() const {
  return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

std::size_t PixelSurface::rowBytes() const {
  const std::size_t w = static_cast<std::size_t>(width);
  switch (depth) {
    case 1:
      return w / 8;
    case 4:
      return w / 2;
    default:
      return w * static_cast<std::size_t>(depth / 8);
  }
}

void PixelSurface::plot(int x, int y, const PlotColor& colour, int drawingMode) const {
  const std::size_t rowStart = rowBytes() * std::size_t(y);
  const std::size_t column = static_cast<std::size_t>(x);
  switch (depth) {
    case 1: {
      const std::size_t at = rowStart + column / 8;
      if (at >= blockBytes) return;
      const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (column % 8));
      block[at] = colour.ink >= kFirstSetInk ? block[at] | bit : block[at] & ~bit;
      return;
    }
    case 4: {
      const std::size_t at = rowStart + column / 2;
      if (at >= blockBytes) return;
      block[at] = column % 2 == 0
                      ? static_cast<std::uint8_t>((block[at] & 0x0F) | (colour.ink & 0x0F) << 4)
                      : static_cast<std::uint8_t>((block[at] & 0xF0) | (colour.ink & 0x0F));
      return;
    }
    default:
      break;
  }
  const std::size_t pixelBytes = static_cast<std::size_t>(depth / 8);
  const std::size_t at = rowStart + column * pixelBytes;
  if (at + pixelBytes > blockBytes) return;
  std::uint8_t* pixel = block + at;
  switch (depth) {
    case 8:
      pixel[0] = greyOf(colour.rgb);
      return;
    case 16:
      pixel[0] = colour.rgb.Alpha;
      pixel[1] = greyOf(colour.rgb);
      return;
    case 24:
      plot24(pixel, colour.rgb, drawingMode);
      return;
    case 32:
      plot32(pixel, colour.rgb, drawingMode);
      return;
    default:
      return;
  }
}

std::optional<t_RGBColor> PixelSurface::read(int x, int y) const {
  const std::size_t rowStart = rowBytes() * std::size_t(y);
  const std::size_t column = static_cast<std::size_t>(x);
  auto palette = [](int index) {
    const PaletteEntry& entry = Palette16[index & 0x0F];
    return t_RGBColor{255, entry.red, entry.green, entry.blue};
  };
  switch (depth) {
    case 1: {
      const std::size_t at = rowStart + column / 8;
      if (at >= blockBytes) return std::nullopt;
      return palette((block[at] >> (7 - column % 8)) & 1 ? 15 : 0);
    }
    case 4: {
      const std::size_t at = rowStart + column / 2;
      if (at >= blockBytes) return std::nullopt;
      return palette(column % 2 == 0 ? block[at] >> 4 : block[at]);
    }
    default:
      break;
  }
  if (!hasPixelDepth()) return std::nullopt;
  const std::size_t pixelBytes = static_cast<std::size_t>(depth / 8);
  const std::size_t at = rowStart + column * pixelBytes;
  if (at + pixelBytes > blockBytes) return std::nullopt;
  const std::uint8_t* p = block + at;
  switch (depth) {
    case 8:
      return t_RGBColor{0, p[0], p[0], p[0]};
    case 16:
      return t_RGBColor{p[0], p[1], p[1], p[1]};
    case 24:
      return t_RGBColor{0, p[0], p[1], p[2]};
    default:
      return t_RGBColor{p[0], p[1], p[2], p[3]};
  }
}

void PixelSurface::fillRows(int rows, const std::uint8_t* pixel, int pixelBytes) const {
  // rows follow each other without gaps, so the pattern runs on across them
  const std::size_t fillBytes = std::min(rowBytes() * std::size_t(std::max(rows, 0)), blockBytes);
  fillWithPattern(block, fillBytes, pixel, std::size_t(pixelBytes));
}

}  // namespace graphics
