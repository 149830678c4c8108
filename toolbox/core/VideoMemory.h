// The shared video memory, the table of the eight window records, and the
// one-time set-up of both. Everything here lives until the process ends.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "toolbox/core/Window.h"

// 16 MiB plus 15 bytes; blocks are carved from the top downward.
inline constexpr std::int64_t kVideoMemorySize = 0x100000F;
inline constexpr std::int64_t kVideoMemoryTop = 0xFFFFFF;
inline constexpr int kGraphicWindowCount = 8;
inline constexpr std::uint8_t kNoWindow = 255;

// Written by the program thread while the refresh reads it, by design: a frame
// may show a picture half drawn. Null until t_InitMemory has run. A block
// comes to its window with every byte 0xFF; memory below the lowest block
// handed out is left untouched, so its pages cost nothing.
extern std::uint8_t* VideoMemory;
extern std::int64_t HighMemory;
extern std::array<t_Window, kGraphicWindowCount> WindowTable;
extern std::atomic<std::uint8_t> DefaultWindow;
extern std::atomic<bool> MemoryInitStarted;
extern std::atomic<bool> MemoryReady;
extern std::atomic<int> TitleBarHeight;
extern std::atomic<bool> AutoUpdateRunning;

void t_InitMemory();
void t_InitWindow(std::uint8_t window, int bitDepth, bool autoUpdate, int width, int height,
                  int borderWidth, int borderHeight, const t_Font& font, bool titleVisible);
void t_InitWindow(std::uint8_t window, int bitDepth, int columns, int lines, int border,
                  const std::string& fontName);
void t_ClearWindow(std::uint8_t window);

// The common check of the text-screen routines: logs routineName + ": Window is
// not a graphic window." or ": Window #n not initialized." and returns false.
// requireTextBlock false skips the text-block condition (for the few routines
// that work on windows without text).
bool t_CheckTextWindow(const char* routineName, std::uint8_t window, bool requireTextBlock = true);

// Tests only: forgets the set-up so that the next t_InitMemory runs again (the
// memory stays mapped; its pages start afresh). No refresh process may be running.
void resetVideoMemoryForTesting();
