#include "toolbox/windows/LineInput.h"

#include <algorithm>
#include <optional>
#include <string>

#include "port/Host.h"
#include "support/Log.h"
#include "support/Utf8.h"
#include "support/qbtools.h"
#include "toolbox/core/MainThread.h"
#include "toolbox/core/VideoMemory.h"
#include "toolbox/text/DisplayModes.h"
#include "toolbox/text/OutputLines.h"
#include "toolbox/text/TextOutput.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/InputWait.h"

namespace {

constexpr char32_t kEscape = 27;
constexpr char32_t kGroupSeparator = 29;
constexpr char32_t kLineFeed = 10;
constexpr char32_t kCarriageReturn = 13;
constexpr int kReturnKey = 13;
constexpr int kEscapeKey = 27;
constexpr int kPlaceCursorKey = 31;
constexpr int kDeleteBackwardKey = 127;
constexpr int kMaxCodeDigits = 3;
constexpr int kEscapedDigits = 4;
// A field never grows beyond one screen line, so keys of a longer paste could
// only be dropped one by one; the bound keeps a huge pasteboard from filling
// the key queue without end.
constexpr std::size_t kMaxPastedCharacters = 4096;

bool isDigit(int code) {
  return code >= '0' && code <= '9';
}

// The field's text: shown at InputHpos in display mode 4, so control
// characters and characters the font lacks stand out in red.
void redrawField(std::uint8_t window, const std::u32string& shown) {
  t_Window& w = windowRecord(window);
  w.TextHpos = w.InputHpos;
  w.TextDisplayMode = kDisplayModeRedControls;
  t_Print(window, scalarsToUtf8(shown));
  w.TextDisplayMode = kDisplayModeNormal;
}

void redrawField(std::uint8_t window) {
  redrawField(window, utf8ToScalars(windowRecord(window).InputString));
}

// The field followed by one blank, which erases the cell a deletion freed.
void redrawFieldAfterDeletion(std::uint8_t window, const std::u32string& text) {
  redrawField(window, text + U" ");
}

// The character the mode lets into the field for code at position (within
// 0..length of text), or nothing.
std::optional<char32_t> filteredCharacter(int mode, const std::u32string& text, int position,
                                          int code) {
  switch (mode) {
    case kInputModeInteger:
      if (isDigit(code) || (code == '-' && position == 0)) return static_cast<char32_t>(code);
      return std::nullopt;
    case kInputModeDecimal: {
      const int lowered = chrlower(code);
      if (isDigit(lowered)) return static_cast<char32_t>(lowered);
      if (lowered == '.' || lowered == ',') {
        if (text.find(U',') == std::u32string::npos) return U',';
        return std::nullopt;
      }
      if (lowered == 'e') {
        if (text.find(U'e') == std::u32string::npos) return U'e';
        return std::nullopt;
      }
      if (lowered == '-' && (position == 0 || text[position - 1] == U'e')) return U'-';
      return std::nullopt;
    }
    case kInputModeInnerMinus:
      if (isDigit(code)) return static_cast<char32_t>(code);
      if (code == '-' && position != 0 && text.find(U'-') == std::u32string::npos) return U'-';
      return std::nullopt;
    default:
      if (code == 0) return std::nullopt;
      return isUnicodeScalar(code) ? static_cast<char32_t>(code) : U'\0';
  }
}

// Ctrl-^: up to three decimal digits typed next give a character code.
void insertTypedCode(std::uint8_t window) {
  int digits = 0;
  int code = 0;
  while (digits < kMaxCodeDigits) {
    const int key = asc(t_KeyWait(window));
    if (!isDigit(key)) break;
    code = code * 10 + (key - '0');
    ++digits;
  }
  if (digits == 0) return;
  const int lowest = windowRecord(window).InputMode == kInputModeFree ? 1 : 32;
  if (code >= lowest && code <= 255) t_InputInsert(window, code);
}

std::string pasteboardText() {
  if (!host::installed()) return {};
  return onMainThread([] { return host::current().pasteboardText(); });
}

// The pasteboard's first line in the escape form, at most kMaxPastedCharacters
// keys: a character above 255 arrives as Escape, four hexadecimal digits and
// group separator, and its Escape key then cancels the field. A character
// whose form would not fit whole is left out with the rest.
std::string pastedKeys(const std::string& pasteboard) {
  std::u32string keys;
  for (char32_t character : utf8ToScalars(stringfirstline(pasteboard))) {
    const std::u32string form =
        utf8ToScalars(stringescape(scalarsToUtf8(std::u32string(1, character))));
    if (keys.size() + form.size() > kMaxPastedCharacters) {
      logLine("t_InputEdit: Pasted text cut to " + std::to_string(keys.size()) + " characters.");
      break;
    }
    keys += form;
  }
  return scalarsToUtf8(keys);
}

void setPasteboardText(const std::string& text) {
  if (!host::installed()) return;
  onMainThread([&] { host::current().setPasteboardText(text); });
}

// Keys below 32 edit the field; text is the field before the key.
void editCommand(std::uint8_t window, int key, std::u32string text) {
  t_Window& w = windowRecord(window);
  const int length = static_cast<int>(text.size());
  int& position = w.InputCursorPos;
  // The program may have changed the field between keys; never index outside it.
  position = std::clamp(position, 0, length);
  switch (key) {
    case 0:
      redrawField(window, text);
      w.TextHpos = w.InputHpos + position;
      break;
    case 1:
    case 2:
    case 11:
    case 18:
      position = 0;
      break;
    case 3:
    case 5:
    case 6:
    case 10:
      position = length;
      break;
    case 4:
      if (position < length) {
        ++position;
        while (position < length && text[position - 1] != U' ') ++position;
      }
      break;
    case 7:
      if (position < length) text.erase(position, 1);
      w.InputString = scalarsToUtf8(text);
      redrawFieldAfterDeletion(window, text);
      break;
    case 8:
      --position;
      break;
    case 12:
      setPasteboardText(stringunescape(w.InputString));
      break;
    case 13:
      w.InputFinished = true;
      break;
    case 19:
      if (position > 0) {
        --position;
        while (position > 0 && text[position - 1] != U' ') --position;
      }
      break;
    case 21:
      ++position;
      break;
    case 22:
      t_KeyPostText(pastedKeys(pasteboardText()));
      break;
    case 24: {
      const std::u32string rest = text.substr(position);
      w.InputString = scalarsToUtf8(rest);
      position = 0;
      if (length > 0) redrawField(window, rest + std::u32string(length - rest.size(), U' '));
      break;
    }
    case 26:
      w.InputString.clear();
      position = 0;
      w.TextHpos = w.InputHpos;
      t_PrintSpc(window, length);
      break;
    case 27:
      w.InputString.clear();
      w.InputFinished = false;
      w.TextHpos = w.InputHpos;
      t_Print(window, Text(std::vector<std::uint8_t>(length, ' ')));
      break;
    case 30:
      insertTypedCode(window);
      break;
    case kPlaceCursorKey:
      w.TextHpos = w.InputHpos + position;
      break;
    default:
      break;
  }
}

}  // namespace

std::string t_InputForm(std::uint8_t window, const std::string& prompt, const std::string& text,
                        bool setupOnly, int mode, int maxCharacters) {
  if (!t_CheckTextWindow("t_InputForm", window)) return "";
  t_Window& w = windowRecord(window);
  w.TextDisplayMode = kDisplayModeRedControls;
  t_Print(window, prompt);
  w.TextDisplayMode = kDisplayModeNormal;
  w.InputHpos = w.TextHpos;
  w.InputVpos = w.TextVpos;
  w.InputMode = mode;
  w.InputMaxCharacters = maxCharacters;
  std::u32string initial = utf8ToScalars(text);
  if (maxCharacters < 1) {
    initial.clear();
  } else if (initial.size() > static_cast<std::size_t>(maxCharacters)) {
    initial.resize(maxCharacters);
  }
  w.InputString = scalarsToUtf8(initial);
  w.InputFinished = false;
  w.InputCursorPos = static_cast<int>(initial.size());
  t_Print(window, w.InputString);
  if (setupOnly) return w.InputString;
  const LineInputScope editing;
  for (;;) {
    t_InputEdit(window, kPlaceCursorKey);
    const int key = asc(t_KeyWait(window));
    t_InputEdit(window, key);
    if (key == kReturnKey || key == kEscapeKey) break;
  }
  outputlines::markNextLineTyped(window);
  t_Cr(window);
  return w.InputString;
}

void t_InputEdit(std::uint8_t window, int key) {
  if (!t_CheckTextWindow("t_InputEdit", window)) return;
  t_Window& w = windowRecord(window);
  const std::u32string text = utf8ToScalars(w.InputString);
  w.TextVpos = w.InputVpos;
  w.TextHpos = w.InputHpos + w.InputCursorPos;
  if (key >= 0 && key < 32) {
    editCommand(window, key, text);
  } else if (key == kDeleteBackwardKey) {
    std::u32string shortened = text;
    const int position = w.InputCursorPos;
    if (position > 0 && position <= static_cast<int>(text.size())) {
      shortened.erase(position - 1, 1);
      w.InputCursorPos -= 1;
    }
    w.InputString = scalarsToUtf8(shortened);
    redrawFieldAfterDeletion(window, shortened);
  } else if (key >= 0) {
    t_InputInsert(window, key);
  }
  const int length = static_cast<int>(utf8ToScalars(w.InputString).size());
  w.InputCursorPos = std::clamp(w.InputCursorPos, 0, length);
}

void t_InputInsert(std::uint8_t window, int code) {
  if (!t_CheckTextWindow("t_InputInsert", window)) return;
  t_Window& w = windowRecord(window);
  std::u32string text = utf8ToScalars(w.InputString);
  const int length = static_cast<int>(text.size());
  // The field never reaches the area's last column, so the cursor never wraps.
  if (w.InputHpos + length >= w.TextLastColumn || length >= w.InputMaxCharacters) return;
  // The program may have changed the field since the cursor was placed.
  const int position = std::clamp(w.InputCursorPos, 0, length);
  const std::optional<char32_t> character = filteredCharacter(w.InputMode, text, position, code);
  if (!character) return;
  text.insert(text.begin() + position, *character);
  w.InputString = scalarsToUtf8(text);
  w.InputCursorPos = position + 1;
  redrawField(window);
}

std::string stringescape(const std::string& text) {
  std::string escaped;
  for (char32_t scalar : utf8ToScalars(text)) {
    if (scalar == kLineFeed) {
      escaped.push_back(static_cast<char>(kCarriageReturn));
    } else if (scalar < 256) {
      appendUtf8(escaped, scalar);
    } else {
      escaped.push_back(static_cast<char>(kEscape));
      const Text digits = wordtohex(scalar & 0xFFFF);
      escaped.append(digits.Elements.begin(), digits.Elements.end());
      escaped.push_back(static_cast<char>(kGroupSeparator));
    }
  }
  return escaped;
}

std::string stringunescape(const std::string& text) {
  const std::u32string scalars = utf8ToScalars(text);
  std::string plain;
  for (std::size_t index = 0; index < scalars.size(); ++index) {
    const bool sequence = scalars[index] == kEscape &&
                          index + kEscapedDigits + 1 < scalars.size() &&
                          scalars[index + kEscapedDigits + 1] == kGroupSeparator;
    char32_t value = 0;
    bool hex = sequence;
    for (int digit = 1; hex && digit <= kEscapedDigits; ++digit) {
      const char32_t c = scalars[index + digit];
      hex = c < 256 && hexvalues[c] >= 0;
      if (hex) value = value << 4 | static_cast<char32_t>(hexvalues[c]);
    }
    if (hex) {
      appendUtf8(plain, value);
      index += kEscapedDigits + 1;
    } else {
      appendUtf8(plain, scalars[index]);
    }
  }
  return plain;
}
