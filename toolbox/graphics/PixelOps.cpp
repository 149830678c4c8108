#include "toolbox/graphics/PixelOps.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "support/Log.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/PixelSurface.h"

using graphics::checkedSurface;
using graphics::PixelSurface;
using graphics::PlotColor;

namespace {

constexpr int kGreyLimitBlack = 192;  // 3 x grey below this: palette 0
constexpr int kGreyLimitDark = 384;   //                       palette 5
constexpr int kGreyLimitLight = 576;  //                       palette 10, else 15
constexpr int kNoDistance = 65535;

t_RGBColor paletteRGB(int index) {
  if (index < 0 || index >= static_cast<int>(Palette16.size())) return {255, 0, 0, 0};
  const PaletteEntry& entry = Palette16[index];
  return {255, entry.red, entry.green, entry.blue};
}

}  // namespace

std::uint32_t g_PaletteColor(int index) {
  return paletteRGB(index).packed();
}

int g_NearestColor(int red, int green, int blue) {
  if (red == green && green == blue) {
    const int sum = 3 * red;
    if (sum < kGreyLimitBlack) return 0;
    if (sum < kGreyLimitDark) return 5;
    if (sum < kGreyLimitLight) return 10;
    return 15;
  }
  int best = 0;
  int bestDistance = kNoDistance;
  for (int index = 0; index < static_cast<int>(Palette16.size()); ++index) {
    const PaletteEntry& entry = Palette16[index];
    const int dr = red - entry.red;
    const int dg = green - entry.green;
    const int db = blue - entry.blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = index;
    }
  }
  return best;
}

void g_Plot(std::uint8_t window, int x, int y) {
  std::optional<PixelSurface> surface = checkedSurface("g_Plot", window);
  if (!surface || !surface->contains(x, y)) return;
  t_Window& record = windowRecord(window);
  if (!surface->hasPixelDepth()) {
    logLine("g_Plot: Illegal bit depth (" + std::to_string(surface->depth) + ").");
  } else {
    surface->plot(x, y,
                  PlotColor{record.RGBColor, static_cast<std::uint8_t>(record.TextColor >> 4)},
                  record.DrawingMode);
    markWindowChanged(window);
  }
  record.PositionX = x;
  record.PositionY = y;
}

std::uint32_t g_Scrn(std::uint8_t window, int x, int y) {
  constexpr std::uint32_t kNoPixel = 255;
  std::optional<PixelSurface> surface = checkedSurface("g_Scrn", window);
  if (!surface || !surface->contains(x, y)) return kNoPixel;
  const std::optional<t_RGBColor> colour = surface->read(x, y);
  return colour ? colour->packed() : kNoPixel;
}

void g_ClearScreen(std::uint8_t window, int paletteIndex, int rows) {
  std::optional<PixelSurface> surface = checkedSurface("g_ClearScreen", window);
  if (!surface || !surface->hasPixelDepth()) return;
  if (rows < 1 || rows > surface->height) rows = surface->height;
  std::uint8_t pixel[4] = {};
  if (surface->depth == 1) {
    pixel[0] = paletteIndex != 0 ? 0xFF : 0x00;
  } else if (surface->depth == 4) {
    pixel[0] = static_cast<std::uint8_t>((paletteIndex & 0x0F) * 0x11);
  } else {
    // an opaque palette colour, written as a plot in drawing mode 0 writes it
    graphics::replacedBytes(surface->depth, 0, PlotColor{paletteRGB(paletteIndex)}, pixel);
  }
  surface->fillRows(rows, pixel, std::max(surface->depth / 8, 1));
  markWindowChanged(window);
}

void g_ColorRGB(std::uint8_t window, std::uint32_t packedColor) {
  if (window >= kGraphicWindowCount) {
    logLine("g_ColorRGB: Illegal window (" + std::to_string(window) + ").");
    return;
  }
  if (!checkedSurface("g_ColorRGB", window)) return;
  t_Window& record = windowRecord(window);
  const t_RGBColor colour = t_RGBColor::fromPacked(packedColor);
  const int depth = record.BitDepth;
  if (depth == 1 || depth == 4) {
    const int ink = graphics::inkFor(colour, depth);
    record.TextColor = static_cast<std::uint8_t>(ink << 4 | (record.TextColor & 0x0F));
  }
  record.RGBColor = colour;
}
