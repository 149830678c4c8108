#include "toolbox/text/TextOutput.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "port/Panels.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/PixelChanges.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/Glyphs.h"
#include "toolbox/text/OutputLines.h"
#include "toolbox/text/OutputRedirect.h"
#include "toolbox/text/TextBlock.h"

namespace {

constexpr int kPauseKey = 19;  // Ctrl-S
constexpr std::uint8_t kBlank = 32;
constexpr int kUnprintable = '?';
constexpr int kFirstPrintable = 32;
constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::uint8_t kLineFeed = 10;

std::atomic<PrintPauseCheck> printPauseCheck{nullptr};

void pauseOnRequest() {
  if (const PrintPauseCheck check = printPauseCheck.load()) check(kPauseKey, true);
}

void printCodes(std::uint8_t window, std::u32string_view codes) {
  if (!t_CheckTextWindow("t_Print", window)) return;
  if (!windowRecord(window).Font.hasData()) {
    logLine("t_Print: Window #" + std::to_string(window) + " has no text font.");
    return;
  }
  for (char32_t c : codes) {
    t_Window& w = windowRecord(window);
    if (c < kFirstPrintable && w.TextDisplayMode < kDisplayModeInverseControls) {
      if (c == kCarriageReturn) pauseOnRequest();
      t_PrintControl(window, static_cast<std::uint8_t>(c));
      continue;
    }
    const DisplayModeResult mapped = t_ApplyDisplayMode(window, static_cast<int>(c));
    int code = mapped.code;
    if (code > 255) {
      if (w.TextDisplayMode == kDisplayModeRedControls) t_Color(window, 1);
      code = kUnprintable;
    }
    if (code >= 0) {
      t_PrintSymbol(window, static_cast<std::uint8_t>(code), w.TextColor, w.TextHpos, w.TextVpos);
      t_CursorRight(window);
    }
    w.TextInverse = mapped.inverse;
    w.TextColor = mapped.colour;
  }
  pauseOnRequest();
}

// Moves the lines of a full-width area by one line: first = the first line
// that moves, up = the direction. Returns false when the pixel range would
// leave the graphic block (a font given later by t_WindowFont may be larger
// than the one the geometry was made for); the caller then redraws.
bool moveWholeLines(t_Window& w, bool up) {
  const std::int64_t F = w.TextFirstLine;
  const std::int64_t L = w.TextLastLine;
  const std::int64_t W = w.TextWidth;
  const std::int64_t b = w.BitDepth;
  const std::int64_t fw = w.Font.Width;
  const std::int64_t fh = w.Font.Height;
  const std::int64_t PW = w.Width;
  const std::int64_t start = w.MemoryStart;
  std::int64_t from = 0;
  std::int64_t to = 0;
  std::int64_t count = 0;
  if (up) {
    from = start + (b * fh * F * PW) / 8;
    to = from - (b * fh * PW) / 8;
    count = start + ((fw * W + (fh * L - 1) * PW) * b) / 8 - from;
  } else {
    from = start + (b * fh * (F - 1) * PW) / 8;
    to = from + (b * fh * PW) / 8;
    count = start + ((fw * W + (fh * (L - 1) - 1) * PW) * b) / 8 - from;
  }
  const std::int64_t lowest = std::min(from, to);
  const std::int64_t highest = std::max(from, to) + count - 1;
  if (fw * W > PW || fh * L > w.Height || lowest < start || highest > w.MemoryEnd) return false;
  const std::int64_t half = textblock::colourPlaneOffset(w);
  const std::int64_t cells = W * (L - F);
  const std::int64_t textFrom = w.TextMemoryStart + W * (up ? F : F - 1);
  const std::int64_t textTo = up ? textFrom - W : textFrom + W;
  t_MoveVideoMemory(textFrom + half, textTo + half, cells);
  t_MoveVideoMemory(textFrom, textTo, cells);
  t_MoveVideoMemory(from, to, count);
  return true;
}

// Redraws line target from line source, cell by cell, within the area's columns.
void redrawLineFrom(std::uint8_t window, int target, int source) {
  t_Window& w = windowRecord(window);
  for (int column = w.TextFirstColumn; column <= w.TextLastColumn; ++column) {
    t_PrintSymbol(window, textblock::storedCode(w, column, source),
                  textblock::storedColour(w, column, source), column, target);
  }
}

void blankLine(std::uint8_t window, int line) {
  t_Window& w = windowRecord(window);
  for (int column = w.TextFirstColumn; column <= w.TextLastColumn; ++column) {
    t_PrintSymbol(window, kBlank, w.TextColor, column, line);
  }
}

std::mutex scrolledLineLock;
ScrolledLineHandler scrolledLineHandler;

void reportScrolledLine(std::uint8_t window, const t_Window& w) {
  ScrolledLineHandler handler;
  {
    std::lock_guard guard(scrolledLineLock);
    handler = scrolledLineHandler;
  }
  if (handler) {
    handler(window, t_GetScreenLine(window, w.TextFirstLine, w.TextFirstColumn, w.TextLastColumn));
  }
}

void scroll(std::uint8_t window, const char* routine, bool up) {
  if (window < kGraphicWindowCount && windowRecord(window).ScrollLock) return;
  if (!t_CheckTextWindow(routine, window)) return;
  t_Window& w = windowRecord(window);
  const int F = w.TextFirstLine;
  const int L = w.TextLastLine;
  if (up) reportScrolledLine(window, w);
  const bool wholeLines = w.TextFirstColumn == 1 && w.TextLastColumn == w.TextWidth;
  if (!wholeLines || !moveWholeLines(w, up)) {
    // The stored colours are those drawn, so the redraw must not invert again.
    const bool inverse = w.TextInverse;
    w.TextInverse = false;
    if (up) {
      for (int line = F; line < L; ++line) redrawLineFrom(window, line, line + 1);
    } else {
      for (int line = L; line > F; --line) redrawLineFrom(window, line, line - 1);
    }
    w.TextInverse = inverse;
  }
  blankLine(window, up ? L : F);
}

// One line down; past the area's last line the area scrolls and the cursor stays.
void lineDown(std::uint8_t window) {
  t_Window& w = windowRecord(window);
  w.TextVpos += 1;
  if (w.TextVpos > w.TextLastLine) {
    t_ScrollUp(window);
    w.TextVpos -= 1;
  }
}

}  // namespace

namespace textoutput {

namespace {

// The line being collected. Its destructor runs when the program ends, so the
// text of a last line without a line end still reaches the log.
class RedirectedLine {
 public:
  ~RedirectedLine() { flush(); }

  void add(char32_t character) {
    std::lock_guard guard(lock_);
    // CR LF ends one line, not two.
    const bool lineFeedAfterReturn = character == kLineFeed && lastWasCarriageReturn_;
    lastWasCarriageReturn_ = character == kCarriageReturn;
    if (lineFeedAfterReturn) return;
    if (character == kCarriageReturn || character == kLineFeed) {
      writePending(true);
      return;
    }
    appendUtf8(pending_, character);
    if (pending_.size() >= kMaxRedirectedLineLength) writePending(true);
  }

  void flush() {
    std::lock_guard guard(lock_);
    writePending(false);
  }

 private:
  // A line end writes even an empty line; a flush only text that is there.
  void writePending(bool lineEnded) {
    if (pending_.empty() && !lineEnded) return;
    logLine(pending_);
    pending_.clear();
  }

  std::mutex lock_;
  std::string pending_;
  bool lastWasCarriageReturn_ = false;
};

RedirectedLine& redirectedLine() {
  static RedirectedLine line;
  return line;
}

}  // namespace

void logRedirectedCharacter(char32_t character) {
  redirectedLine().add(character);
}

void flushRedirectedLine() {
  redirectedLine().flush();
}

}  // namespace textoutput

void t_Print(std::uint8_t window, const std::string& text) {
  printCodes(window, utf8ToScalars(text));
}

void t_Print(std::uint8_t window, const Text& text) {
  printCodes(window, std::u32string(text.Elements.begin(), text.Elements.end()));
}

void t_PrintChar(std::uint8_t window, std::uint8_t code) {
  if (!t_CheckTextWindow("t_PrintChar", window)) return;
  const DisplayModeResult mapped = t_ApplyDisplayMode(window, code);
  t_Window& w = windowRecord(window);
  if (mapped.code >= 0 && mapped.code < 256) {
    t_PrintSymbol(window, static_cast<std::uint8_t>(mapped.code), w.TextColor, w.TextHpos,
                  w.TextVpos);
    t_CursorRight(window);
  }
  w.TextInverse = mapped.inverse;
  w.TextColor = mapped.colour;
}

void t_PrintSpc(std::uint8_t window, int count) {
  if (!t_CheckTextWindow("t_PrintSpc", window) || count < 1) return;
  for (int index = 0; index < count; ++index) t_PrintChar(window, kBlank);
}

void t_PrintTab(std::uint8_t window, int column, std::uint8_t code) {
  if (!t_CheckTextWindow("t_PrintTab", window)) return;
  const int count = column - windowRecord(window).TextHpos;
  for (int index = 0; index < count; ++index) t_PrintChar(window, code);
}

void t_PrintControl(std::uint8_t window, std::uint8_t code) {
  if (window >= kGraphicWindowCount) {
    logLine("t_PrintControl: Window is not a graphic window.");
    return;
  }
  t_Window& w = windowRecord(window);
  const bool ready = MemoryReady.load() && w.Initialized && w.TextMemoryStart >= 0;
  const int redirect = w.TextRedirectOutput;
  if (!ready || redirect != kRedirectToWindow) {
    if (redirect == kRedirectToLog) {
      textoutput::logRedirectedCharacter(code);
    } else if (redirect == kRedirectToWindow) {
      logLine("t_PrintControl: Window #" + std::to_string(window) + " not initialized.");
    }
    return;
  }
  switch (code) {
    case 7:
      beep();
      break;
    case 8:
      t_CursorLeft(window);
      break;
    case 10:
      t_CursorDown(window);
      break;
    case 11:
      t_ClearEndOfWindow(window);
      break;
    case 12:
      t_CursorHome(window);
      t_ClearEndOfWindow(window);
      break;
    case 13:
      t_Cr(window);
      break;
    case 14:
      t_Normal(window);
      break;
    case 15:
      t_Inverse(window);
      break;
    case 17:
      t_Reverse(window);
      break;
    case 18:
      t_Htab(window, 1);
      break;
    case 19:
      w.TextDisplayMode = kDisplayModeNormal;
      break;
    case 20:
      w.TextDisplayMode = kDisplayModeUpperHalf;
      break;
    case 22:
      t_ScrollDown(window);
      break;
    case 23:
      t_ScrollUp(window);
      break;
    case 25:
      t_CursorHome(window);
      break;
    case 26:
      t_Htab(window, 1);
      t_ClearEndOfLine(window);
      break;
    case 27:
      w.TextDisplayMode = kDisplayModeEscape;
      break;
    case 28:
      t_CursorRight(window);
      break;
    case 29:
      t_ClearEndOfLine(window);
      break;
    case 30:
      t_CursorUp(window);
      break;
    case 31:
      w.TextDisplayMode = kDisplayModeControlGlyphs;
      break;
    default:
      break;
  }
}

void t_Cr(std::uint8_t window) {
  if (!t_CheckTextWindow("t_Cr", window)) return;
  t_Window& w = windowRecord(window);
  if (w.TextRedirectOutput == kRedirectToWindow) outputlines::recordLineEnd(window, w.TextVpos);
  w.TextHpos = w.TextFirstColumn;
  lineDown(window);
}

void t_CursorHome(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorHome", window)) return;
  t_Window& w = windowRecord(window);
  w.TextHpos = w.TextFirstColumn;
  w.TextVpos = w.TextFirstLine;
}

void t_CursorEnd(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorEnd", window)) return;
  t_Window& w = windowRecord(window);
  w.TextHpos = w.TextLastColumn;
  w.TextVpos = w.TextLastLine;
}

void t_CursorRight(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorRight", window)) return;
  t_Window& w = windowRecord(window);
  w.TextHpos += 1;
  if (w.TextHpos > w.TextLastColumn) t_Cr(window);
}

void t_CursorLeft(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorLeft", window)) return;
  t_Window& w = windowRecord(window);
  w.TextHpos -= 1;
  if (w.TextHpos < w.TextFirstColumn) {
    w.TextHpos = w.TextLastColumn;
    t_CursorUp(window);
  }
}

void t_CursorDown(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorDown", window)) return;
  lineDown(window);
}

void t_CursorUp(std::uint8_t window) {
  if (!t_CheckTextWindow("t_CursorUp", window)) return;
  t_Window& w = windowRecord(window);
  w.TextVpos -= 1;
  if (w.TextVpos < w.TextFirstLine) {
    t_ScrollDown(window);
    w.TextVpos += 1;
  }
}

void t_Htab(std::uint8_t window, int column) {
  if (!t_CheckTextWindow("t_Htab", window)) return;
  t_Window& w = windowRecord(window);
  const int target = column + w.TextFirstColumn - 1;
  if (column >= 1 && target <= w.TextWidth) w.TextHpos = target;
}

void t_Vtab(std::uint8_t window, int line) {
  if (!t_CheckTextWindow("t_Vtab", window)) return;
  t_Window& w = windowRecord(window);
  if (line >= 1 && line <= w.TextHeight) w.TextVpos = line;
}

int t_Hpos(std::uint8_t window) {
  if (!t_CheckTextWindow("t_Hpos", window)) return 0;
  const t_Window& w = windowRecord(window);
  return w.TextHpos - w.TextFirstColumn + 1;
}

int t_Vpos(std::uint8_t window) {
  if (!t_CheckTextWindow("t_Vpos", window)) return 0;
  return windowRecord(window).TextVpos;
}

void t_ClearEndOfLine(std::uint8_t window) {
  if (!t_CheckTextWindow("t_ClearEndOfLine", window)) return;
  t_Window& w = windowRecord(window);
  t_PrintSymbol(window, kBlank, w.TextColor, w.TextHpos, w.TextVpos);
  for (int column = w.TextHpos + 1; column <= w.TextLastColumn; ++column) {
    t_PrintSymbol(window, kBlank, w.TextColor, column, w.TextVpos);
  }
}

void t_ClearEndOfWindow(std::uint8_t window) {
  if (!t_CheckTextWindow("t_ClearEndOfWindow", window)) return;
  t_Window& w = windowRecord(window);
  const int column = w.TextHpos;
  const int line = w.TextVpos;
  t_ClearEndOfLine(window);
  for (int next = line + 1; next <= w.TextLastLine; ++next) {
    w.TextHpos = w.TextFirstColumn;
    w.TextVpos = next;
    t_ClearEndOfLine(window);
  }
  w.TextHpos = column;
  w.TextVpos = line;
}

void t_ScrollUp(std::uint8_t window) {
  scroll(window, "t_ScrollUp", true);
}

void t_ScrollDown(std::uint8_t window) {
  scroll(window, "t_ScrollDown", false);
}

void t_SetScrolledLineHandler(ScrolledLineHandler handler) {
  std::lock_guard guard(scrolledLineLock);
  scrolledLineHandler = std::move(handler);
}

void t_SetPrintPauseCheck(PrintPauseCheck check) {
  printPauseCheck = check;
}

void t_RedirectOutput(std::uint8_t window, int mode) {
  if (!t_CheckTextWindow("t_RedirectOutput", window, false)) return;
  t_Window& w = windowRecord(window);
  // the end of a redirect writes what it collected of an unfinished line
  if (w.TextRedirectOutput == kRedirectToLog && mode != kRedirectToLog) {
    textoutput::flushRedirectedLine();
  }
  w.TextRedirectOutput = mode;
}

void t_MoveVideoMemory(std::int64_t from, std::int64_t to, std::int64_t count) {
  if (count < 1) return;
  if (VideoMemory == nullptr || from < 0 || to < 0 || from > kVideoMemorySize - count ||
      to > kVideoMemorySize - count) {
    logLine("t_MoveVideoMemory: Range outside the video memory (from = " + std::to_string(from) +
            ", to = " + std::to_string(to) + ", count = " + std::to_string(count) + ").");
    return;
  }
  std::memmove(VideoMemory + to, VideoMemory + from, static_cast<std::size_t>(count));
  markVideoMemoryChanged(to, count);
}
