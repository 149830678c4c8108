// The three system text windows: pasteboard (8), virtual printer (9) and
// system console (10). Their text lives only in the host's text views; this
// is what the program does with them.
#pragma once

#include <cstdint>
#include <string>

#include "port/Host.h"

// True when window n (8, 9, 10) has its text view; false for any other number.
// Any thread (runs on the main thread).
bool t_WindowTextView(std::uint8_t n);
// Sets the pasteboard's text view up once: plain text in Menlo 12, empty.
// Called by t_InitMemory on any thread.
void t_PasteboardPrepare();
// Empties the text of the printer (9) or console (10); logs with the given
// routine name and beeps when the text view is missing. Any thread.
void t_SystemTextClear(std::uint8_t n, const char* routineName);
// The program's characters as plain text (UTF-8 in, UTF-8 out): the box and
// symbol codes 127..160 become ASCII look-alikes.
std::string t_TextToPlain(const std::string& textUtf8);

namespace systemtext {
// True for the pasteboard, virtual printer and system console.
bool isSystemTextWindow(std::uint8_t n);
// The line for a system text window n whose text view is missing, headed by
// routineName.
void logMissingTextView(const char* routineName, std::uint8_t n);

// The one layout of the system text windows, used by the host when it builds
// them and by the window delegate after every resize: the frame of the scroll
// view around window n's text in a window of width x height points (title bar
// of titleBar points included), and the size of the ruler of the printer and
// the console (its position is the host's).
host::Rect scrollViewFrame(std::uint8_t n, double width, double height, double titleBar);
double rulerWidth(double width);
inline constexpr double kRulerHeight = 19;
}  // namespace systemtext
