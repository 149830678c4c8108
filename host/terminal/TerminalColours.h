// The toolbox's 16 colours on a terminal: the nearest colour the terminal
// offers. With 256 colours only the fixed cube and grey ramp (16..255) are
// used, whose values every terminal agrees on; the first 16 follow the
// user's theme and could turn green text on black into anything.
#pragma once

#include <cstdint>

namespace terminal {

// A terminal colour number for the colour; -1 when the terminal has fewer
// than 8 colours (then the caller draws in the terminal's own two).
int nearestTerminalColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue, int colourCount);
// The same for a Palette16 index (its low 4 bits).
int terminalColourOfPalette(int paletteIndex, int colourCount);
// Perceived brightness 0..255 of a Palette16 colour, for monochrome terminals.
int paletteBrightness(int paletteIndex);

}  // namespace terminal
