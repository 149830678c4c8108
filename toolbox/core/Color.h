// Colours: t_RGBColor and the fixed 16-colour palette of text, borders and
// 1-bit and 4-bit pixels.
#pragma once

#include <array>
#include <cstdint>

struct t_RGBColor {
  std::uint8_t Alpha = 255;
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;

  // Packed form: bytes from the least significant are alpha, red, green, blue.
  std::uint32_t packed() const {
    return std::uint32_t(Alpha) | std::uint32_t(Red) << 8 | std::uint32_t(Green) << 16 |
           std::uint32_t(Blue) << 24;
  }
  static t_RGBColor fromPacked(std::uint32_t packed) {
    return {static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8),
            static_cast<std::uint8_t>(packed >> 16), static_cast<std::uint8_t>(packed >> 24)};
  }
  friend bool operator==(const t_RGBColor&, const t_RGBColor&) = default;
};

struct PaletteEntry {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};

inline constexpr std::array<PaletteEntry, 16> Palette16 = {{
    {0, 0, 0},
    {255, 0, 0},
    {0, 0, 128},
    {255, 0, 255},
    {0, 128, 0},
    {84, 84, 84},
    {0, 0, 255},
    {0, 128, 255},
    {128, 64, 0},
    {255, 128, 0},
    {168, 168, 168},
    {255, 128, 128},
    {0, 255, 0},
    {255, 255, 0},
    {0, 255, 255},
    {255, 255, 255},
}};
