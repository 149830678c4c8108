#include "host/terminal/TerminalColours.h"

#include <array>
#include <limits>

#include "toolbox/core/Color.h"

namespace terminal {
namespace {

struct Rgb {
  int red;
  int green;
  int blue;
};

// The usual values of the 16 basic colours (xterm's defaults).
constexpr std::array<Rgb, 16> kBasicColours = {{
    {0, 0, 0},
    {205, 0, 0},
    {0, 205, 0},
    {205, 205, 0},
    {0, 0, 238},
    {205, 0, 205},
    {0, 205, 205},
    {229, 229, 229},
    {127, 127, 127},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {92, 92, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

constexpr std::array<int, 6> kCubeLevels = {0, 95, 135, 175, 215, 255};
constexpr int kCubeStart = 16;
constexpr int kGreyStart = 232;
constexpr int kGreySteps = 24;

Rgb colourOf256(int number) {
  if (number < kCubeStart) return kBasicColours[static_cast<std::size_t>(number)];
  if (number < kGreyStart) {
    const int cube = number - kCubeStart;
    return {kCubeLevels[static_cast<std::size_t>(cube / 36)],
            kCubeLevels[static_cast<std::size_t>(cube / 6 % 6)],
            kCubeLevels[static_cast<std::size_t>(cube % 6)]};
  }
  const int grey = 8 + 10 * (number - kGreyStart);
  return {grey, grey, grey};
}

int distance(const Rgb& a, const Rgb& b) {
  // Weighted like the eye: green counts most, blue least.
  const int red = a.red - b.red;
  const int green = a.green - b.green;
  const int blue = a.blue - b.blue;
  return 3 * red * red + 4 * green * green + 2 * blue * blue;
}

int nearestOf(const Rgb& wanted, int first, int last) {
  int best = first;
  int bestDistance = std::numeric_limits<int>::max();
  for (int number = first; number <= last; ++number) {
    const int candidate = distance(wanted, colourOf256(number));
    if (candidate < bestDistance) {
      bestDistance = candidate;
      best = number;
    }
  }
  return best;
}

}  // namespace

int nearestTerminalColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                          int colourCount) {
  const Rgb wanted{red, green, blue};
  if (colourCount >= 256) return nearestOf(wanted, kCubeStart, kGreyStart + kGreySteps - 1);
  if (colourCount >= 16) return nearestOf(wanted, 0, 15);
  if (colourCount >= 8) return nearestOf(wanted, 0, 7);
  return -1;
}

int terminalColourOfPalette(int paletteIndex, int colourCount) {
  const PaletteEntry& entry = Palette16[static_cast<std::size_t>(paletteIndex & 15)];
  return nearestTerminalColour(entry.red, entry.green, entry.blue, colourCount);
}

int paletteBrightness(int paletteIndex) {
  const PaletteEntry& entry = Palette16[static_cast<std::size_t>(paletteIndex & 15)];
  return (299 * entry.red + 587 * entry.green + 114 * entry.blue) / 1000;
}

}  // namespace terminal
