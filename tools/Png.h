// Reading and writing PNG files with libpng, for the authoring tools and the
// benchmarks. Images are 8 bits per channel, rows top first, no padding.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace png {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // red, green, blue, alpha per pixel
};

// Any PNG (palette, grey, 16-bit, with or without alpha) as RGBA; nothing
// (after setting error) when it cannot be read.
std::optional<RgbaImage> readFile(const std::string& path, std::string& error);
std::optional<RgbaImage> readMemory(std::span<const std::uint8_t> bytes, std::string& error);

// rgb holds width * height * 3 bytes.
bool writeRgbFile(const std::string& path, int width, int height,
                  std::span<const std::uint8_t> rgb);
std::vector<std::uint8_t> encodeRgb(int width, int height, std::span<const std::uint8_t> rgb);

}  // namespace png
