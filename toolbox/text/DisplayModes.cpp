#include "toolbox/text/DisplayModes.h"

#include <optional>
#include <string>
#include <vector>

#include "port/Host.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/Color.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/graphics/PixelOps.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/TextBlock.h"
#include "toolbox/text/TextOutput.h"

namespace {

constexpr int kRedInk = 1;
constexpr int kControlGlyphOffset = 64;
constexpr int kLastControl = 31;
constexpr std::uint8_t kBlank = 32;
constexpr std::uint8_t kCarriageReturn = 13;
constexpr DisplayModeResult kFailedCheck{-2, false, 0xF0};

// ESC i, j, k: to the next multiple of stop (plus one) of the absolute column,
// or to a new line when that lies beyond the line.
void tabCommand(std::uint8_t window, int stop) {
  t_Window& w = windowRecord(window);
  const int target = (w.TextHpos / stop) * stop + stop + 1;
  if (w.TextWidth - w.TextFirstColumn + 1 < target) {
    t_ClearEndOfLine(window);
    t_Cr(window);
  } else {
    t_PrintTab(window, target, kBlank);
  }
}

// The escape command c (the character after ESC). Returns nothing when c is
// no command: it is then printed and the mode stays.
std::optional<DisplayModeResult> escapeCommand(std::uint8_t window, int c) {
  t_Window& w = windowRecord(window);
  const bool inverse = w.TextInverse;
  const std::uint8_t colour = w.TextColor;
  if (c >= 64 && c <= 79) {
    w.TextDisplayMode = kDisplayModeNormal;
    return DisplayModeResult{-1, inverse,
                             static_cast<std::uint8_t>((colour & 0x0F) | (c - 64) << 4)};
  }
  if (c >= 80 && c <= 95) {
    w.TextDisplayMode = kDisplayModeNormal;
    return DisplayModeResult{-1, inverse, static_cast<std::uint8_t>((colour & 0xF0) | (c - 80))};
  }
  const bool known =
      c == 'e' || c == 'f' || c == 'i' || c == 'j' || c == 'k' || (c >= 110 && c <= 127);
  if (!known) return std::nullopt;
  // Mode 0 first: the tab commands print blanks through the display mode.
  w.TextDisplayMode = kDisplayModeNormal;
  if (c == 'e') {
    t_CursorEnd(window);
  } else if (c == 'f') {
    t_Htab(window, w.TextWidth - w.TextFirstColumn + 1);
  } else if (c == 'i') {
    tabCommand(window, 10);
  } else if (c == 'j') {
    tabCommand(window, 20);
  } else if (c == 'k') {
    tabCommand(window, 40);
  } else {
    t_ColorBorder(window, c - 110);
  }
  return DisplayModeResult{-1, w.TextInverse, w.TextColor};
}

bool validRectangle(const t_Window& w, int c1, int l1, int c2, int l2) {
  return 1 <= c1 && c1 <= c2 && c2 <= w.TextWidth && 1 <= l1 && l1 <= l2 && l2 <= w.TextHeight;
}

// Cuts at carriage returns, drops trailing blanks of each piece and the empty
// pieces at the end.
std::string tidyScreenText(const std::string& text) {
  std::vector<Text> pieces = textsplit(Text::fromBytes(text), kCarriageReturn);
  for (Text& piece : pieces) {
    while (!piece.empty() && piece.Elements.back() == kBlank) piece.Elements.pop_back();
  }
  while (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
  const Text tidied = textjoin(pieces, kCarriageReturn);
  const std::string joined(tidied.Elements.begin(), tidied.Elements.end());
  if (isValidUtf8(joined)) return joined;
  return texttostring(tidied);
}

}  // namespace

void t_Normal(std::uint8_t window) {
  if (t_CheckTextWindow("t_Normal", window, false)) windowRecord(window).TextInverse = false;
}

void t_Inverse(std::uint8_t window) {
  if (t_CheckTextWindow("t_Inverse", window, false)) windowRecord(window).TextInverse = true;
}

void t_Reverse(std::uint8_t window) {
  if (!t_CheckTextWindow("t_Reverse", window, false)) return;
  t_Window& w = windowRecord(window);
  w.TextInverse = !w.TextInverse;
}

void t_DisplayMode(std::uint8_t window, int mode) {
  if (t_CheckTextWindow("t_DisplayMode", window, false))
    windowRecord(window).TextDisplayMode = mode;
}

void t_Color(std::uint8_t window, int colour) {
  if (!t_CheckTextWindow("t_Color", window, false)) return;
  t_Window& w = windowRecord(window);
  w.TextColor = static_cast<std::uint8_t>((colour & 15) << 4 | (w.TextColor & 15));
  w.RGBColor = t_RGBColor::fromPacked(g_PaletteColor(colour & 15));
}

void t_ColorBorder(std::uint8_t window, int colour) {
  if (window >= kGraphicWindowCount) {
    logLine("t_ColorBorder: Window is not a graphic window.");
    return;
  }
  t_Window& record = windowRecord(window);
  if (!MemoryReady || !record.Initialized) {
    logLine("t_ColorBorder: Window #" + std::to_string(window) + " not initialized.");
    return;
  }
  const PaletteEntry& entry = Palette16[static_cast<std::size_t>(colour & 15)];
  record.RGBColorBorder = t_RGBColor{255, entry.red, entry.green, entry.blue};
  host::HostWindow* hostWindow = record.Window;
  if (hostWindow == nullptr) return;
  onMainThread([&] {
    host::current().setBackgroundColor(hostWindow, entry.red, entry.green, entry.blue, 255);
  });
}

DisplayModeResult t_ApplyDisplayMode(std::uint8_t window, int code) {
  if (!t_CheckTextWindow("t_ApplyDisplayMode", window)) return kFailedCheck;
  t_Window& w = windowRecord(window);
  const DisplayModeResult unchanged{code, w.TextInverse, w.TextColor};
  switch (w.TextDisplayMode) {
    case kDisplayModeUpperHalf:
      if (code >= 32 && code <= 127) return {code + 128, unchanged.inverse, unchanged.colour};
      return unchanged;
    case kDisplayModeControlGlyphs:
      if (code >= 64 && code <= 95) return {code - 64, unchanged.inverse, unchanged.colour};
      if (code >= 96 && code <= 127) return {code + 32, unchanged.inverse, unchanged.colour};
      return unchanged;
    case kDisplayModeInverseControls:
      if (code > kLastControl) return unchanged;
      t_Inverse(window);
      return {code + kControlGlyphOffset, unchanged.inverse, unchanged.colour};
    case kDisplayModeRedControls:
      if (code > kLastControl) return unchanged;
      t_Color(window, kRedInk);
      return {code + kControlGlyphOffset, unchanged.inverse, unchanged.colour};
    case kDisplayModeEscape:
      return escapeCommand(window, code).value_or(unchanged);
    default:
      return unchanged;
  }
}

void t_Area(std::uint8_t window, int firstColumn, int firstLine, int lastColumn, int lastLine) {
  if (!t_CheckTextWindow("t_Area", window, false)) return;
  t_Window& w = windowRecord(window);
  if (1 <= firstColumn && firstColumn <= lastColumn && lastColumn <= w.TextWidth) {
    w.TextFirstColumn = firstColumn;
    w.TextLastColumn = lastColumn;
  }
  if (1 <= firstLine && firstLine <= lastLine && lastLine <= w.TextHeight) {
    w.TextFirstLine = firstLine;
    w.TextLastLine = lastLine;
  }
  t_CursorHome(window);
}

void t_FullArea(std::uint8_t window) {
  if (!t_CheckTextWindow("t_FullArea", window, false)) return;
  t_Window& w = windowRecord(window);
  w.TextFirstColumn = 1;
  w.TextLastColumn = w.TextWidth;
  w.TextFirstLine = 1;
  w.TextLastLine = w.TextHeight;
}

void t_CursorOn(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorOn", window)) return;
  t_Window& w = windowRecord(window);
  w.TextCursorLevel += 1;
  if (w.TextCursorLevel == 1) t_CursorDraw(window);
}

void t_CursorOff(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorOff", window)) return;
  t_Window& w = windowRecord(window);
  w.TextCursorLevel -= 1;
  if (w.TextCursorLevel == 0) t_CursorDraw(window);
}

void t_CursorDraw(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorDraw", window)) return;
  const t_Window& w = windowRecord(window);
  t_InvertRect(window, w.TextHpos, w.TextVpos, w.TextHpos, w.TextVpos);
}

void t_InvertRect(std::uint8_t window, int firstColumn, int firstLine, int lastColumn,
                  int lastLine) {
  if (!t_CheckTextWindow("t_InvertRect", window)) return;
  t_Window& w = windowRecord(window);
  if (!validRectangle(w, firstColumn, firstLine, lastColumn, lastLine)) return;
  const bool inverse = w.TextInverse;
  w.TextInverse = true;
  for (int line = firstLine; line <= lastLine; ++line) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      t_PrintSymbol(window, textblock::storedCode(w, column, line),
                    textblock::storedColour(w, column, line), column, line);
    }
  }
  w.TextInverse = inverse;
}

void t_TextHline(std::uint8_t window, int firstColumn, int lastColumn, int line, int code) {
  if (!t_CheckTextWindow("t_TextHline", window)) return;
  // A code the font cannot hold draws nothing rather than a wrapped-around glyph.
  if (code < 0 || code > 255) return;
  t_Window& w = windowRecord(window);
  for (int column = firstColumn; column <= lastColumn; ++column) {
    t_PrintSymbol(window, static_cast<std::uint8_t>(code), w.TextColor, column, line);
  }
}

void t_TextLine(std::uint8_t window) {
  if (!t_CheckTextWindow("t_TextLine", window)) return;
  const t_Window& w = windowRecord(window);
  t_TextHline(window, w.TextHpos, w.TextLastColumn, w.TextVpos, kHorizontalRuleCode);
  t_Cr(window);
}

void t_Header(std::uint8_t window, const std::string& left, const std::string& right) {
  if (!t_CheckTextWindow("t_Header", window)) return;
  const std::u32string line =
      utf8ToScalars(stringjustify(left, right, textblock::areaColumns(windowRecord(window))));
  if (!line.empty()) {
    t_Print(window, scalarsToUtf8(std::u32string_view(line).substr(0, line.size() - 1)));
    // The last column is drawn without moving the cursor, so it neither wraps nor scrolls.
    const char32_t last = line.back();
    const t_Window& w = windowRecord(window);
    t_PrintSymbol(window, static_cast<std::uint8_t>(last > 255 ? '?' : last), w.TextColor,
                  w.TextHpos, w.TextVpos);
  }
  if (textblock::areaLines(windowRecord(window)) < 2) {
    t_Htab(window, 1);
  } else {
    t_Cr(window);
  }
}

std::string t_GetScreen(std::uint8_t window, const std::string& lineEnd) {
  if (!t_CheckTextWindow("t_GetScreen", window)) return "";
  const textblock::CellsCopy cells = textblock::copyCells(window, false);
  std::string screen;
  for (int line = 1; line <= cells.lines; ++line) {
    for (int column = 1; column <= cells.columns; ++column) {
      appendUtf8(screen, cells.code(column, line));
    }
    screen += lineEnd;
  }
  if (lineEnd.empty()) return screen;
  return tidyScreenText(screen);
}

std::string t_GetScreenLine(std::uint8_t window, int line, int firstColumn, int lastColumn) {
  const textblock::CellsCopy cells = textblock::copyCells(window, false);
  if (line < 1 || line > cells.lines) return "";
  std::string text;
  for (int column = std::max(firstColumn, 1); column <= std::min(lastColumn, cells.columns);
       ++column) {
    appendUtf8(text, cells.code(column, line));
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}
