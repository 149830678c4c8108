#include <array>
#include <cstring>
#include <string>

#include "support/Log.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/OutputRedirect.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/text/TextOutput.h"

namespace {

constexpr int kNoNibble = -1;

// Every blend of two palette colours by a coverage level, computed once:
// 256 colour pairs (ink << 4 | paper) x 256 coverage levels. Looking a pixel
// up costs one load, where the blend formula costs six divisions.
struct BlendTables {
  // The bytes red, green, blue and a spare one, kept as one word so that a
  // 24-bit pixel is stored with a single 4-byte write (the spare byte lands on
  // the next pixel, which is written after it): 0.48 us a 16 x 32 glyph
  // against 0.79 us with 3-byte copies (processor time, text_bench).
  std::array<std::array<std::uint32_t, 256>, 256> rgb{};
  std::array<std::array<std::uint8_t, 256>, 256> grey{};
};

std::array<std::uint8_t, 4> bytesOf(std::uint32_t word) {
  std::array<std::uint8_t, 4> bytes;
  std::memcpy(bytes.data(), &word, 4);
  return bytes;
}

int mixChannel(int paper, int ink, int coverage) {
  return ((255 - coverage) * paper) / 255 + (coverage * ink) / 255;
}

int paletteGrey(const PaletteEntry& entry) {
  return (entry.red + entry.green + entry.blue) / 3;
}

const BlendTables& blendTables() {
  static const BlendTables* tables = [] {
    auto* made = new BlendTables;
    for (int pair = 0; pair < 256; ++pair) {
      const PaletteEntry& ink = Palette16[pair >> 4];
      const PaletteEntry& paper = Palette16[pair & 15];
      for (int coverage = 0; coverage < 256; ++coverage) {
        const std::array<std::uint8_t, 4> rgb = {
            static_cast<std::uint8_t>(mixChannel(paper.red, ink.red, coverage)),
            static_cast<std::uint8_t>(mixChannel(paper.green, ink.green, coverage)),
            static_cast<std::uint8_t>(mixChannel(paper.blue, ink.blue, coverage)), 0};
        std::memcpy(&made->rgb[pair][coverage], rgb.data(), 4);
        made->grey[pair][coverage] =
            static_cast<std::uint8_t>(mixChannel(paletteGrey(paper), paletteGrey(ink), coverage));
      }
    }
    return made;
  }();
  return *tables;
}

struct GlyphTarget {
  std::uint8_t* pixels;  // the cell's top-left pixel row
  std::int64_t rowBytes;
  int x0;  // first pixel column of the cell
};

// Draws the glyph rows with a per-pixel writer; pixel(row, s, g, column) gets
// the row's first byte, the column in the cell, the coverage and the pixel x.
template <typename WritePixel>
void forEachGlyphPixel(const std::uint8_t* glyph, int width, int height, const GlyphTarget& target,
                       WritePixel writePixel) {
  for (int row = 0; row < height; ++row) {
    std::uint8_t* line = target.pixels + row * target.rowBytes;
    const std::uint8_t* coverage = glyph + row * width;
    for (int s = 0; s < width; ++s) writePixel(line, coverage[s], target.x0 + s);
  }
}

// 24 and 32 bits. At 24 bits each pixel is one 4-byte store whose spare byte
// the next pixel overwrites; the row's last pixel gets three bytes, so nothing
// beyond the cell changes. At 32 bits the alpha byte before the colour stays.
void drawRgb(const std::uint8_t* glyph, int width, int height, const GlyphTarget& target, int pair,
             int bytesPerPixel, int firstChannel) {
  const auto& table = blendTables().rgb[pair];
  const bool packed = bytesPerPixel == 3;
  for (int row = 0; row < height; ++row) {
    std::uint8_t* out = target.pixels + row * target.rowBytes +
                        std::int64_t{target.x0} * bytesPerPixel + firstChannel;
    const std::uint8_t* coverage = glyph + row * width;
    int s = 0;
    if (packed) {
      for (; s + 1 < width; ++s, out += 3) std::memcpy(out, &table[coverage[s]], 4);
    }
    for (; s < width; ++s, out += bytesPerPixel) std::memcpy(out, &table[coverage[s]], 3);
  }
}

void drawGlyph(const t_Window& window, const std::uint8_t* glyph, int pair,
               const GlyphTarget& target) {
  const int width = window.Font.Width;
  const int height = window.Font.Height;
  const auto& tables = blendTables();
  switch (window.BitDepth.load()) {
    case 1:
      forEachGlyphPixel(glyph, width, height, target,
                        [&](std::uint8_t* line, std::uint8_t g, int x) {
                          const auto rgb = bytesOf(tables.rgb[pair][g]);
                          const bool light = (rgb[0] + rgb[1] + rgb[2]) / 3 >= 128;
                          const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
                          line[x >> 3] = light ? (line[x >> 3] | bit) : (line[x >> 3] & ~bit);
                        });
      break;
    case 4: {
      // g_NearestColor is a search over the palette; remember it per coverage.
      std::array<int, 256> nibbleOf;
      nibbleOf.fill(kNoNibble);
      forEachGlyphPixel(
          glyph, width, height, target, [&](std::uint8_t* line, std::uint8_t g, int x) {
            if (nibbleOf[g] == kNoNibble) {
              const auto rgb = bytesOf(tables.rgb[pair][g]);
              nibbleOf[g] = g_NearestColor(rgb[0], rgb[1], rgb[2]) & 15;
            }
            std::uint8_t& byte = line[x >> 1];
            byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | nibbleOf[g])
                           : static_cast<std::uint8_t>((byte & 0x0F) | nibbleOf[g] << 4);
          });
      break;
    }
    case 8:
      forEachGlyphPixel(
          glyph, width, height, target,
          [&](std::uint8_t* line, std::uint8_t g, int x) { line[x] = tables.grey[pair][g]; });
      break;
    case 16:
      forEachGlyphPixel(glyph, width, height, target,
                        [&](std::uint8_t* line, std::uint8_t g, int x) {
                          line[2 * x + 1] = tables.grey[pair][g];
                        });
      break;
    case 24:
      drawRgb(glyph, width, height, target, pair, 3, 0);
      break;
    case 32:
      drawRgb(glyph, width, height, target, pair, 4, 1);
      break;
    default:
      break;
  }
}

std::int64_t bytesPerRow(int bitDepth, int width) {
  switch (bitDepth) {
    case 1:
      return width / 8;
    case 4:
      return width / 2;
    default:
      return std::int64_t{width} * (bitDepth / 8);
  }
}

// The glyph of code, or nullptr when the font's data end before it.
const std::uint8_t* glyphOf(t_Font& font, std::uint8_t code, std::uint8_t window) {
  const std::size_t cellBytes = static_cast<std::size_t>(font.Width) * font.Height;
  const std::size_t offset = code * cellBytes;
  if (offset + cellBytes <= font.Data.size()) return font.Data.data() + offset;
  if (!font.MissingGlyphReported) {
    font.MissingGlyphReported = true;
    logLine("t_PrintSymbol: Window #" + std::to_string(window) + " font has no glyph for code " +
            std::to_string(code) + " and beyond (glyph data too short).");
  }
  return nullptr;
}

}  // namespace

void t_WindowFont(std::uint8_t window, const t_Font& font) {
  if (!t_CheckTextWindow("t_WindowFont", window, false)) return;
  windowRecord(window).Font = font;
}

void t_PrintSymbol(std::uint8_t window, std::uint8_t code, std::uint8_t colour, int column,
                   int line) {
  if (window >= kGraphicWindowCount) {
    logLine("t_PrintSymbol: Window is not a graphic window.");
    return;
  }
  const auto logNotInitialized = [window] {
    logLine("t_PrintSymbol: Window #" + std::to_string(window) + " not initialized.");
  };
  if (!MemoryReady.load()) {
    logNotInitialized();
    return;
  }
  t_Window& record = windowRecord(window);
  if (record.TextRedirectOutput == kRedirectToLog) {
    textoutput::logRedirectedCharacter(code);
    return;
  }
  if (record.TextRedirectOutput != kRedirectToWindow) return;
  if (!record.Initialized || record.TextMemoryStart < 0 || !record.Font.hasData()) {
    logNotInitialized();
    return;
  }
  int ink = colour >> 4;
  int paper = colour & 15;
  if (record.TextInverse) std::swap(ink, paper);
  t_Font& font = record.Font;
  // Besides the pixel memory, the cell must lie inside the text block, whose
  // geometry is that of the font t_InitWindow saw (t_WindowFont may have
  // given a smaller one).
  if (column < 1 || line < 1 || std::int64_t{font.Width} * column > record.Width ||
      std::int64_t{font.Height} * line > record.Height || column > record.TextWidth ||
      line > record.TextHeight) {
    logLine("t_PrintSymbol: Window #" + std::to_string(window) + " illegal coordinates (x = " +
            std::to_string(column) + ", y = " + std::to_string(line) + ").");
    return;
  }
  if (code >= font.Start && code <= font.End) {
    if (font.Format == kFontFormatGrey) {
      if (const std::uint8_t* glyph = glyphOf(font, code, window)) {
        const int bitDepth = record.BitDepth;
        const std::int64_t rowBytes = bytesPerRow(bitDepth, record.Width);
        GlyphTarget target{
            VideoMemory + record.MemoryStart + std::int64_t{font.Height} * (line - 1) * rowBytes,
            rowBytes, font.Width * (column - 1)};
        drawGlyph(record, glyph, ink << 4 | paper, target);
        markWindowChanged(window);
      }
    } else if (font.Format == kFontFormatMono || font.Format == kFontFormatMonoCompressed ||
               font.Format == kFontFormatGreyCompressed) {
      logLine("t_PrintSymbol: Font format must be uncompressed grey for text-printing.");
    } else {
      logLine("t_PrintSymbol: Illegal font format.");
    }
  }
  const std::int64_t cell = textblock::cellAddress(record, column, line);
  VideoMemory[cell] = code;
  VideoMemory[cell + textblock::colourPlaneOffset(record)] =
      static_cast<std::uint8_t>(paper + 16 * ink);
}
