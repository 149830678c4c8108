// Writing pictures for authoring: the inverse of the decoding stages. A plain
// picture (format 0..5) is wrapped in the layers that a format code names.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolbox/graphics/Graphic.h"

namespace picture {

// The plain format (0..5) at the core of a format code, or -1 for a code that
// has no layers we can write (6..9, 12, 13, 200, ...).
int plainFormatOf(int formatCode);
// Every code that encodePicture can write, in ascending order.
std::span<const int> writableFormatCodes();

// A run-length stream that rletobinary8/16/24/32 (unitBytes 1..4) expands to
// data. The escape unit is the unit value that occurs least often at unit
// boundaries, so literals rarely need escaping.
std::vector<std::uint8_t> runLengthEncode(std::span<const std::uint8_t> data, int unitBytes);

// plain must hold a plain format (0..5) with Width x Height pixels. Returns the
// picture at formatCode, or nothing when the code cannot hold the picture
// (14/15 need one alpha value for all pixels) or is not writable.
std::optional<t_Graphic> encodePicture(const t_Graphic& plain, int formatCode);

}  // namespace picture
