// Turning RGBA images into pictures of the plain formats, and choosing the
// smallest format code that keeps an image's colours (png-to-gr).
#pragma once

#include <optional>
#include <string>

#include "toolbox/graphics/Graphic.h"
#include "tools/Png.h"

namespace picture {

// How 1-bit and 4-bit targets map colours outside Palette16: the nearest
// colour (keeps flat art exact), an ordered 4x4 Bayer dither, or
// Floyd-Steinberg error diffusion.
enum class Dither { none, ordered, floyd };

std::optional<Dither> parseDither(const std::string& name);

// The palette index of 4-bit pixels that are mostly transparent (alpha below
// 128): the game draws item pictures with this index transparent.
inline constexpr int kTransparentIndex = 14;

// A plain picture (format 0..5) of the image; pixelWidth and pixelHeight go
// into the record (0 stands for 16).
t_Graphic plainFromImage(const png::RgbaImage& image, int plainFormat, Dither dither,
                         int pixelWidth, int pixelHeight);

// Whether plainFromImage keeps every pixel's colour exactly at that format.
bool keepsColours(const png::RgbaImage& image, int plainFormat);

// Among all writable codes whose plain format keeps the colours, the one with
// the smallest file (the lower code on a tie).
t_Graphic smallestEncoding(const png::RgbaImage& image, int pixelWidth, int pixelHeight);

}  // namespace picture
