// Windows by number: 0..7 the graphic windows of the toolbox, 8..12 the fixed
// windows of the interface (pasteboard, virtual printer, system console,
// preferences, main window). Every routine may be called from any thread; each
// touch of a host object runs on the host's main thread, and the caller waits
// for it (t_WindowTitle excepted, which only queues its change).
#pragma once

#include <cstdint>
#include <string>

#include "port/Host.h"

// The host window of a window number; nullptr for a number without one.
host::HostWindow* t_WindowHost(std::uint8_t window);
// The reverse lookup by identity; kNoWindow (255) when nothing matches.
std::uint8_t t_WindowNumber(host::HostWindow* window);
// The number of the application's main window; 255 when there is none.
std::uint8_t t_WindowMain();

void t_WindowVisible(std::uint8_t window, bool visible);
void t_WindowFront(std::uint8_t window);
// -1 in any of x, y, width, height keeps the current value. For a graphic
// window width and height are the picture's; borders and title bar are added.
void t_WindowSize(std::uint8_t window, int x, int y, int width, int height);
// Geometry query by selector 0..20; 0 for an unknown selector or window.
int t_WindowPos(std::uint8_t window, int selector);
void t_WindowTitle(std::uint8_t window, const std::string& titleUtf8);
void t_WindowTitleVisible(std::uint8_t window, bool visible);

// Thrown by t_QuitProgram to unwind the program thread to its top, where the
// routine that started the thread catches it and lets the thread end quietly.
struct ProgramThreadExit {};
// Prints the closing message in the window (if it exists) and ends the calling
// thread by throwing ProgramThreadExit. Call it on the program thread only.
[[noreturn]] void t_QuitProgram(std::uint8_t window);

// --- Window delegate logic, called by the host on its main thread -----------

// windowShouldClose: the close box hides the window (through the mouse event
// handling); the host must never close it, so the answer is always false.
bool t_WindowShouldClose(host::HostWindow* sender);
// windowDidResize: lays out the text view of the system window that is the
// application's main window (pasteboard, virtual printer or system console).
void t_WindowDidResize();
