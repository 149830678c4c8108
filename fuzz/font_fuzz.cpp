// A .font file through the loader, then its glyphs drawn into a small text
// window of every pixel depth (the window keeps its own cell size; the font
// only lends its glyphs, as t_WindowFont does).
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzScreen.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextOutput.h"

namespace {
constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
constexpr int kColumns = 8;
constexpr int kLines = 3;
constexpr int kCell = 8;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const t_Font font = fuzzscreen::testFont(kCell, kCell);
  for (std::uint8_t window = 0; window < std::size(kDepths); ++window) {
    fuzzscreen::openWindow(window, kDepths[window], kColumns * kCell, kLines * kCell, font);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  fuzzscreen::restoreWindows();
  const auto window = static_cast<std::uint8_t>(data[0] % std::size(kDepths));
  const t_Font font = glyphs::fontFromBytes(std::span(data + 1, size - 1), "fuzz.font");
  if (!font.hasData()) return 0;
  t_WindowFont(window, font);
  // first, last and a spread of codes, in every colour pairing and at the
  // window's last cell, where a glyph larger than the cell runs off
  for (int code = 0; code < 256; code += 17) {
    t_PrintSymbol(window, static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code * 13),
                  1 + code % kColumns, 1 + code % kLines);
  }
  t_PrintSymbol(window, font.Start, 0xF0, kColumns, kLines);
  t_PrintSymbol(window, font.End, 0x0F, kColumns, kLines);
  return 0;
}
