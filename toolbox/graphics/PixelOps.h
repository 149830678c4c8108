// Pixel operations on a window's video memory at 1, 4, 8, 16, 24 and 32 bits
// per pixel. All take the window number first and check it.
#pragma once

#include <cstdint>

#include "toolbox/graphics/Graphic.h"

void g_Plot(std::uint8_t window, int x, int y);
// Returns a packed colour (bytes from the least significant: alpha, red,
// green, blue), 255 for a failed check or a pixel outside the window.
std::uint32_t g_Scrn(std::uint8_t window, int x, int y);
// rows below 1 or above Height mean the whole window.
void g_ClearScreen(std::uint8_t window, int paletteIndex, int rows);
void g_ColorRGB(std::uint8_t window, std::uint32_t packedColor);
// Draws the picture with its top-left corner at (x, y), each picture pixel
// as a block of PixelWidth x PixelHeight x scale screen pixels. Only 1-bit
// and 4-bit pictures honour transparent (a palette index 0..15).
void g_Draw(std::uint8_t window, const t_Graphic& picture, int x, int y, std::uint8_t scale,
            int transparent);
// Index 16 or more gives opaque black.
std::uint32_t g_PaletteColor(int index);
int g_NearestColor(int red, int green, int blue);
