// Display modes, colours and text attributes: inverse text, colours, the code
// mappings and escape commands applied to every printed character, the text
// area, the text cursor, rules, headers, and reading the screen back.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kDisplayModeNormal = 0;
inline constexpr int kDisplayModeUpperHalf = 1;
inline constexpr int kDisplayModeControlGlyphs = 2;
inline constexpr int kDisplayModeInverseControls = 3;
inline constexpr int kDisplayModeRedControls = 4;
inline constexpr int kDisplayModeEscape = 99;

// The font's horizontal line, used by t_TextLine.
inline constexpr int kHorizontalRuleCode = 156;

// What t_ApplyDisplayMode gives the printer: the code to draw (negative: draw
// nothing; 256 and more: a character the font cannot show) and the values of
// TextInverse and TextColor to store after drawing.
struct DisplayModeResult {
  int code = 0;
  bool inverse = false;
  std::uint8_t colour = 0;
  friend bool operator==(const DisplayModeResult&, const DisplayModeResult&) = default;
};

void t_Normal(std::uint8_t window);
void t_Inverse(std::uint8_t window);
void t_Reverse(std::uint8_t window);
void t_DisplayMode(std::uint8_t window, int mode);
void t_Color(std::uint8_t window, int colour);
// The colour of a graphic window's border: a Palette16 index, of which only
// the low 4 bits count. Any thread.
void t_ColorBorder(std::uint8_t window, int colour);
DisplayModeResult t_ApplyDisplayMode(std::uint8_t window, int code);

void t_Area(std::uint8_t window, int firstColumn, int firstLine, int lastColumn, int lastLine);
void t_FullArea(std::uint8_t window);

void t_CursorOn(std::uint8_t window);
void t_CursorOff(std::uint8_t window);
void t_CursorDraw(std::uint8_t window);
void t_InvertRect(std::uint8_t window, int firstColumn, int firstLine, int lastColumn,
                  int lastLine);

void t_TextHline(std::uint8_t window, int firstColumn, int lastColumn, int line, int code);
void t_TextLine(std::uint8_t window);
void t_Header(std::uint8_t window, const std::string& left, const std::string& right);
std::string t_GetScreen(std::uint8_t window, const std::string& lineEnd);
// Columns firstColumn..lastColumn of one line (1-based, inside the window) as
// t_GetScreen shows them, trailing blanks cut; empty outside the window.
// Reads the text block only: any thread, like the refresh.
std::string t_GetScreenLine(std::uint8_t window, int line, int firstColumn, int lastColumn);
