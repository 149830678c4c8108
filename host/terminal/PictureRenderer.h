// The picture window on a terminal, through chafa: as coloured Unicode block
// symbols that the screen draws like text, or as the terminal's own pixel
// graphics (sixel, kitty, iTerm2), an escape sequence written at the picture's
// top-left cell. The picture keeps its aspect inside the box it is given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "port/Host.h"

namespace terminal {

enum class PictureMode { Symbols, Sixels, Kitty, Iterm2, None };

// "symbols", "sixels", "kitty", "iterm2", "none" (as the user names them).
std::string_view pictureModeName(PictureMode mode);
bool pictureModeFromName(std::string_view name, PictureMode& mode);

struct SymbolCell {
  char32_t character = U' ';
  int foreground = -1;  // terminal colour numbers; -1: the terminal's own
  int background = -1;
  friend bool operator==(const SymbolCell&, const SymbolCell&) = default;
};

struct SymbolPicture {
  int columns = 0;
  int rows = 0;
  std::vector<SymbolCell> cells;  // rows * columns, row by row
  friend bool operator==(const SymbolPicture&, const SymbolPicture&) = default;
};

// The cells a picture of imageWidth x imageHeight pixels takes inside a box,
// keeping its aspect; cellAspect is a cell's width / height in pixels.
void fitPictureCells(int imageWidth, int imageHeight, double cellAspect, int& columns, int& rows);

// The image as block symbols inside a box of boxColumns x boxRows cells, in
// the colours of a terminal with colourCount colours (8, 16, 256; fewer:
// symbols only). Empty for an empty image or box.
SymbolPicture pictureAsSymbols(const host::ArgbImage& image, int boxColumns, int boxRows,
                               double cellAspect, int colourCount);

// The image as a sixel, kitty or iTerm2 sequence for a box of cells, each
// cell cellPixelWidth x cellPixelHeight pixels. Empty for the other modes or
// an empty image.
std::string pictureAsPixels(const host::ArgbImage& image, PictureMode mode, int boxColumns,
                            int boxRows, int cellPixelWidth, int cellPixelHeight);

// The sequence that removes kitty images from the screen (the other pixel
// modes are overwritten by text like any cell).
std::string_view kittyDeleteImages();

}  // namespace terminal
