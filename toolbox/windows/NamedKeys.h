// The keys a host knows by name rather than by what they type (cursor,
// editing and function keys), each with the key code and the character the
// toolbox gets for it. One table for every host, so that a key means the
// same in a window on the desktop, in a terminal and in a browser.
#pragma once

#include <cstddef>

#include "toolbox/windows/KeyCodes.h"

namespace keycode {

enum class NamedKey {
  Up,
  Down,
  Right,
  Left,
  Home,
  End,
  Insert,  // the key in the Insert position is the toolbox's Help key
  Delete,  // forward delete
  PageUp,
  PageDown,
  Backspace,
  Return,
  KeypadEnter,
  Tab,
  BackTab,  // Shift-Tab
  Escape,
  KeypadClear,
};

struct KeyPress {
  int code;
  char32_t character;
};

inline constexpr char32_t kBackspaceCharacter = 0x7F;
inline constexpr char32_t kEscapeCharacter = 0x1B;
// The toolbox's key translation knows Shift-Tab by this character.
inline constexpr char32_t kShiftTabCharacter = 0x19;

constexpr KeyPress namedKeyPress(NamedKey key) {
  switch (key) {
    case NamedKey::Up:
      return {kUpArrow, kUpArrowCharacter};
    case NamedKey::Down:
      return {kDownArrow, kDownArrowCharacter};
    case NamedKey::Right:
      return {kRightArrow, kRightArrowCharacter};
    case NamedKey::Left:
      return {kLeftArrow, kLeftArrowCharacter};
    case NamedKey::Home:
      return {kHome, kHomeCharacter};
    case NamedKey::End:
      return {kEnd, kEndCharacter};
    case NamedKey::Insert:
      return {kHelp, kHelpCharacter};
    case NamedKey::Delete:
      return {kForwardDelete, kForwardDeleteCharacter};
    case NamedKey::PageUp:
      return {kPageUp, kPageUpCharacter};
    case NamedKey::PageDown:
      return {kPageDown, kPageDownCharacter};
    case NamedKey::Backspace:
      return {kDelete, kBackspaceCharacter};
    case NamedKey::Return:
      return {kReturn, U'\r'};
    case NamedKey::KeypadEnter:
      return {kKeypadEnter, U'\r'};
    case NamedKey::Tab:
      return {kTab, U'\t'};
    case NamedKey::BackTab:
      return {kTab, kShiftTabCharacter};
    case NamedKey::Escape:
      return {kEscape, kEscapeCharacter};
    case NamedKey::KeypadClear:
      return {kKeypadClear, kEscapeCharacter};
  }
  return {kOther, 0};
}

// F1 is index 0. Keys beyond F20 have no code and go by their character.
constexpr KeyPress functionKeyPress(std::size_t index) {
  return {index < kFunctionKeyCodes.size() ? kFunctionKeyCodes[index] : kOther,
          kFunctionKeyCharacterBase + static_cast<char32_t>(index)};
}

}  // namespace keycode
