// Screen refresh: turning a graphic window's pixel memory into a 32-bit image,
// the refresh process that asks the views of windows with automatic update to
// redraw at their refresh rate, and redraws that the program asks for.
#pragma once

#include <cstdint>
#include <functional>

#include "host/Host.h"

// The image of a graphic window (alpha, red, green, blue per pixel, top row
// first); an empty image (width 0, no bytes) when there is none: memory not
// ready, window not initialised or not visible, or an illegal depth. Records
// UpdateDuration and UpdateFinished. Any thread; views call it on the main one.
host::ArgbImage t_WindowImage(std::uint8_t window);
// The same into an image whose buffer is reused (the views keep one per
// window, so a redraw allocates nothing). Returns false and empties image
// when there is no image.
bool t_WindowImageInto(std::uint8_t window, host::ArgbImage& image);

// The plain conversion: width x height pixels of the given depth from source
// (the layout of a graphic block) to argb (width * height * 4 bytes). A depth
// other than 1, 4, 8, 16, 24, 32 writes nothing and returns false. source must
// hold pixelBlockBytes(bitDepth, width, height) bytes.
bool convertPixelsToArgb(const std::uint8_t* source, int bitDepth, int width, int height,
                         std::uint8_t* argb);
// Bytes a graphic block of that depth and size holds (0 for an unknown depth).
std::int64_t pixelBlockBytes(int bitDepth, int width, int height);

// Asks the host to redraw the window's view: deferred only marks it, otherwise
// the call returns after the view has shown the current memory. Call it from
// a thread other than the host's main thread.
void t_WindowUpdate(std::uint8_t window, bool deferred);
// The refresh process: runs until AutoUpdateRunning or MemoryReady is false.
void t_WindowAutoUpdateProcess();
// One pass of the refresh process at the current time: marks every due window
// and returns how many it marked.
int refreshAutoUpdatePass();
// The view of a graphic window; nullptr for other numbers or when the
// interface has none. Any thread.
host::HostView* t_WindowView(std::uint8_t window);
// The window's image for the pasteboard; empty when there is none.
host::ArgbImage t_WindowPicture(std::uint8_t window);

// --- What the views do, called by the host on its main thread ------------------

// wantsUpdateLayer: memory ready, window initialised and QuickUpdate set.
bool viewWantsUpdateLayer(std::uint8_t window);
// One redraw of a view (updateLayer or drawRect): builds the window's image into
// image and passes it to show when there is one. Window 0's VerticalBlank is
// false from before the build until show has returned. Returns false when the
// memory is not ready (drawRect then lets the base class draw).
bool viewRedraw(std::uint8_t window, host::ArgbImage& image,
                const std::function<void(const host::ArgbImage&)>& show);
