// Bitmap fonts (.font files) and the glyph renderer that draws one character
// cell into a window's pixel memory and records it in the text block.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolbox/core/Font.h"

// .font header layout; multi-byte numbers are big-endian.
inline constexpr int kFontHeaderMinimumSize = 16;   // all fields up to Reserved
inline constexpr int kFontHeaderSizeRequired = 14;  // up to Height; shorter is no font
inline constexpr int kFontFormatMono = 0;
inline constexpr int kFontFormatGrey = 2;
inline constexpr int kFontFormatMonoCompressed = 100;
inline constexpr int kFontFormatGreyCompressed = 102;
inline constexpr int kFontCompressedFormatOffset = 100;

// Reads fileName from the resources folder. A font that could not be loaded
// comes back without data, after a log line saying why.
t_Font t_LoadFontResource(const std::string& fileName);
// Gives an initialised window another font (its geometry stays that of the old one).
void t_WindowFont(std::uint8_t window, const t_Font& font);
// Draws code with the colour byte (ink high nibble, paper low) in cell
// (column, line), both 1-based, and records it in the text block.
void t_PrintSymbol(std::uint8_t window, std::uint8_t code, std::uint8_t colour, int column,
                   int line);

namespace glyphs {

// The loader behind t_LoadFontResource, for bytes from anywhere; fileName is
// used in log lines only.
t_Font fontFromBytes(std::span<const std::uint8_t> bytes, std::string_view fileName);
// The .font file of a font, header first. Grey data (format 2) is stored
// LZW-compressed as format 102; other formats are stored as they are.
std::vector<std::uint8_t> fontToBytes(const t_Font& font);

}  // namespace glyphs
