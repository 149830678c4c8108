// The shared video memory, the table of the eight window records, and the
// allocator of the windows' blocks in it. Everything here lives until the
// process ends; the set-up of the toolbox and its windows (t_InitMemory,
// t_InitWindow) is in toolbox/windows/WindowSetup.h.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "toolbox/core/Window.h"

// 16 MiB plus 15 bytes; blocks are carved from the top downward.
inline constexpr std::int64_t kVideoMemorySize = 0x100000F;
inline constexpr std::int64_t kVideoMemoryTop = 0xFFFFFF;
inline constexpr int kGraphicWindowCount = 8;
inline constexpr std::uint8_t kNoWindow = 255;

// Written by the program thread while the refresh reads it, deliberately: a frame
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

// The record of a graphic window (window < kGraphicWindowCount): the one way
// to the table outside this file's own code.
inline t_Window& windowRecord(std::uint8_t window) {
  return WindowTable[window];
}

// Allocates the memory on the first call and fills it and the window table
// afresh: the memory part of t_InitMemory.
void prepareVideoMemory();

// --- Blocks of the windows ---------------------------------------------------
// Blocks are carved from the top of the memory downward, below HighMemory.
// What a window may take: the free memory less a reserve never given out.
std::int64_t availableVideoMemory();
// Takes a block of at least bytes bytes below HighMemory; returns its first
// and last address.
std::pair<std::int64_t, std::int64_t> allocateVideoBlock(std::int64_t bytes);
// Where a text block of textBytes would start once a graphic block of
// graphicBytes is taken; negative when it would not fit above address 0.
std::int64_t prospectiveTextStart(std::int64_t graphicBytes, std::int64_t textBytes);
// Gives back the blocks of a window that is set up again: the blocks below
// move up by their size, their windows are marked changed. Logs each move
// behind prefix.
void releaseWindowBlocks(std::uint8_t window, const std::string& prefix);

// Where a window's blocks lie in the video memory, read as one: the program
// thread places and moves blocks under a lock that this read takes too, so a
// reader on another thread never mixes the geometry of two set-ups.
struct WindowBlocks {
  bool initialized = false;
  int bitDepth = 0;
  int width = 0;  // pixels
  int height = 0;
  std::int64_t memoryStart = -1;
  std::int64_t memoryEnd = -1;
  int textWidth = 0;  // cells
  int textHeight = 0;
  std::int64_t textMemoryStart = -1;
  std::int64_t textMemoryEnd = -1;
};
// The blocks of window 0..7; a default WindowBlocks for other numbers. Any thread.
WindowBlocks windowBlocks(std::uint8_t window);
// Program thread: records where the window's blocks now lie (and its depth
// and sizes), and whether it is set up, under the lock that windowBlocks takes.
void placeWindowBlocks(std::uint8_t window, const WindowBlocks& blocks);
void setWindowInitialized(std::uint8_t window, bool initialized);

// The one way another thread reads the video memory's bytes while the program
// thread may write them: the refresh's conversion of a window's pixels and the
// copies of a window's text cells. There is no lock around the bytes, on
// purpose: a reader may see a picture half drawn or a line half printed, and
// since every writer marks its window changed after writing, the next read
// shows the finished memory. Calls reader with the address of the count bytes
// from start and returns true; returns false without calling it when the
// range lies outside the memory. Any thread. (The ThreadSanitizer
// suppressions name this routine, and nothing else, for that reason.)
bool readVideoMemoryUnlocked(std::int64_t start, std::int64_t count,
                             const std::function<void(const std::uint8_t* bytes)>& reader);

// The common check of the text-screen routines: logs routineName + ": Window is
// not a graphic window." or ": Window #n not initialized." and returns false.
// requireTextBlock false skips the text-block condition (for the few routines
// that work on windows without text).
bool t_CheckTextWindow(const char* routineName, std::uint8_t window, bool requireTextBlock = true);

// Tests only: forgets the set-up so that the next t_InitMemory runs again (the
// memory stays mapped; its pages start afresh). No refresh process may be running.
void resetVideoMemoryForTesting();
