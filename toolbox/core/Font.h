// t_Font: a loaded fixed-cell grey-level bitmap font (.font file).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct t_Font {
  int HeaderSize = 16;
  std::array<std::uint8_t, 4> Identifier = {'q', 'b', 'f', 'n'};
  int Format = 0;
  std::int64_t Size = 0;
  std::uint8_t Start = 0;
  std::uint8_t End = 0;
  int Width = 0;
  int Height = 0;
  int Reserved = 0;
  std::vector<std::uint8_t> Data;
  // Not part of the file: set once the renderer has logged that Data is too
  // short for a glyph, so a broken font logs once, not once per character.
  bool MissingGlyphReported = false;

  bool hasData() const { return !Data.empty(); }
};

// The font of a fresh window record: "qbfn", all numbers 0, no data.
inline t_Font emptyFont() {
  return t_Font{};
}
