// The screen that the fuzz targets draw on: the host without a screen, the
// video memory set up once, no refresh process. Setting up a window carves
// and clears video memory, which would cost more than most inputs, so each
// target opens its windows once and puts their records back before every
// input.
#pragma once

#include <cstdint>
#include <vector>

#include "toolbox/core/Font.h"

namespace fuzzscreen {

// A small grey font of cellWidth x cellHeight pixels whose glyphs differ.
t_Font testFont(int cellWidth, int cellHeight);
// Sets up window as width x height pixels at bitDepth (with the font, if it
// has data) and remembers its record. The first call installs the host.
void openWindow(std::uint8_t window, int bitDepth, int width, int height, const t_Font& font = {});
// Every opened window's record as it was after openWindow, no queued keys and
// an empty pasteboard.
void restoreWindows();

}  // namespace fuzzscreen
