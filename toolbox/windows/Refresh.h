// Screen refresh: turning a graphic window's pixel memory into a 32-bit image,
// the refresh process that asks the views of windows with automatic update to
// redraw at their refresh rate, and redraws that the program asks for.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "port/Host.h"

// The image of a graphic window (alpha, red, green, blue per pixel, top row
// first); an empty image (width 0, no bytes) when there is none: memory not
// ready, window not initialised or not visible, or an illegal depth. Records
// UpdateDuration and UpdateFinished. Any thread; views call it on the main one.
host::ArgbImage t_WindowImage(std::uint8_t window);
// The same into an image whose buffer is reused (the views keep one per
// window, so a redraw allocates nothing). Returns false and empties image
// when there is no image.
bool t_WindowImageInto(std::uint8_t window, host::ArgbImage& image);
// A window's pixel block as it is now, for a host that converts only part of
// it: pixelBlockBytes(bitDepth, width, height) bytes, rows top first.
struct WindowPixels {
  const std::uint8_t* bytes = nullptr;
  int bitDepth = 0;
  int width = 0;
  int height = 0;
};
// Calls reader with the window's pixels while they may be read (the checks and
// records of t_WindowImageInto); false, without calling it, when there is no
// image. Any thread.
bool t_ReadWindowPixels(std::uint8_t window,
                        const std::function<void(const WindowPixels&)>& reader);

// The plain conversion: width x height pixels of the given depth from source
// (the layout of a graphic block) to argb (width * height * 4 bytes). A depth
// other than 1, 4, 8, 16, 24, 32 writes nothing and returns false. source must
// hold pixelBlockBytes(bitDepth, width, height) bytes.
bool convertPixelsToArgb(const std::uint8_t* source, int bitDepth, int width, int height,
                         std::uint8_t* argb);
// The same into the host's native 32-bit words 0xFFRRGGBB (what a desktop
// shows without another conversion), width * height of them.
bool convertPixelsToHostWords(const std::uint8_t* source, int bitDepth, int width, int height,
                              std::uint32_t* words);
// The same as the bytes red, green, blue, alpha 255 that a web page's canvas
// takes, width * height * 4 of them.
bool convertPixelsToRgba(const std::uint8_t* source, int bitDepth, int width, int height,
                         std::uint8_t* rgba);
// Bytes a graphic block of that depth and size holds (0 for an unknown depth).
std::int64_t pixelBlockBytes(int bitDepth, int width, int height);

// Asks the host to redraw the window's view: deferred only marks it, otherwise
// the call returns after the view has shown the current memory. Call it from
// a thread other than the host's main thread.
void t_WindowUpdate(std::uint8_t window, bool deferred);
// The refresh process: runs until AutoUpdateRunning or MemoryReady is false.
// It sleeps until a window with automatic update changes (PixelChanges.h) and
// asks its view to redraw once the window's refresh interval has passed since
// the last request, so a change shows within 1/RefreshRate s.
void t_WindowAutoUpdateProcess();
// A sleep of the refresh process that only a change ends.
inline constexpr std::chrono::hours kNoChangeExpected{24};
// One pass of the refresh process at the current time: asks for a redraw of
// every window that changed since its last request and is due, and returns how
// many it asked for.
int refreshAutoUpdatePass();
// Starts the refresh process on a thread of its own unless it is running
// (t_InitWindow calls it). Any thread.
void startRefreshProcess();
// Ends the refresh process and waits for its thread. The host calls it before
// it goes away. Any thread but the refresh process's own; never blocks on the
// main thread.
void stopRefreshProcess();
// The view of a graphic window; nullptr for other numbers or when the
// interface has none. Any thread.
host::HostView* t_WindowView(std::uint8_t window);
// The window's image for the pasteboard; empty when there is none.
host::ArgbImage t_WindowPicture(std::uint8_t window);

// --- What the views do, called by the host on its main thread ------------------

// wantsUpdateLayer: memory ready, window initialised and QuickUpdate set.
bool viewWantsUpdateLayer(std::uint8_t window);
// The host's memory for a view's image: given the size, it returns width *
// height words (rows top first, no gaps) and sets fresh when the memory is
// new, so that it holds no image yet.
using HostImageMemory = std::function<std::uint32_t*(int width, int height, bool& fresh)>;
// One redraw of a view (updateLayer or drawRect), on the main thread: converts
// the window's pixels straight into the host's memory when the window changed
// since shownChange (the view's own record of what it shows) or the memory is
// fresh. A window without an image (hidden, not set up) leaves the memory as
// it was. Window 0's VerticalBlank is false from before the conversion until
// it is done. Returns false when the memory is not ready (drawRect then lets
// the base class draw).
bool viewRedraw(std::uint8_t window, std::uint64_t& shownChange, const HostImageMemory& memory);
