// Character output of the virtual screen: printing at a window's text cursor,
// control characters, cursor movement, clearing and scrolling of the text area.
// All routines run on the program thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/Text.h"

inline constexpr int kRedirectToWindow = 1;
inline constexpr int kRedirectToLog = 2;

void t_Print(std::uint8_t window, const std::string& text);
void t_Print(std::uint8_t window, const Text& text);
// t_Print of the text to DefaultWindow, then t_Cr there.
void t_PrintLine(const std::string& text);
void t_PrintChar(std::uint8_t window, std::uint8_t code);
void t_PrintSpc(std::uint8_t window, int count);
void t_PrintTab(std::uint8_t window, int column, std::uint8_t code);
void t_PrintControl(std::uint8_t window, std::uint8_t code);

void t_Cr(std::uint8_t window);
void t_CursorHome(std::uint8_t window);
void t_CursorEnd(std::uint8_t window);
void t_CursorRight(std::uint8_t window);
void t_CursorLeft(std::uint8_t window);
void t_CursorDown(std::uint8_t window);
void t_CursorUp(std::uint8_t window);
void t_Htab(std::uint8_t window, int column);
void t_Vtab(std::uint8_t window, int line);
int t_Hpos(std::uint8_t window);
int t_Vpos(std::uint8_t window);

void t_ClearEndOfLine(std::uint8_t window);
void t_ClearEndOfWindow(std::uint8_t window);
void t_ScrollUp(std::uint8_t window);
void t_ScrollDown(std::uint8_t window);

void t_RedirectOutput(std::uint8_t window, int mode);

// Receives every line that scrolls up out of a window's text area, just before
// it leaves the screen: the area's columns as t_GetScreenLine reads them. A
// program keeps its scrollback with it. Called on the printing thread with no
// toolbox lock held; an empty handler (the default) keeps nothing.
using ScrolledLineHandler = std::function<void(std::uint8_t window, const std::string& lineUtf8)>;
void t_SetScrolledLineHandler(ScrolledLineHandler handler);
// The pause of printing: after a carriage return and after each t_Print the
// printer asks this check whether the newest key is Ctrl-S (code 19) and, if
// so, to wait for the next key. The key queue lives with the window services,
// which hand their check (t_KeyPause) over when the toolbox starts
// (t_InitMemory); until then printing never pauses. Any thread.
using PrintPauseCheck = bool (*)(int code, bool wait);
void t_SetPrintPauseCheck(PrintPauseCheck check);
// Moves count bytes of VideoMemory; overlapping ranges are handled.
void t_MoveVideoMemory(std::int64_t from, std::int64_t to, std::int64_t count);
