// The one-time set-up of the toolbox (video memory, menus, pasteboard) and the
// set-up of the graphic windows in the video memory.
#pragma once

#include <cstdint>
#include <string>

#include "toolbox/core/Font.h"

// Runs once; later calls return at once.
void t_InitMemory();
void t_InitWindow(std::uint8_t window, int bitDepth, bool autoUpdate, int width, int height,
                  int borderWidth, int borderHeight, const t_Font& font, bool titleVisible);
void t_InitWindow(std::uint8_t window, int bitDepth, int columns, int lines, int border,
                  const std::string& fontName);
void t_ClearWindow(std::uint8_t window);
