#include "host/terminal/ToolboxKeys.h"

#include <array>

#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"

namespace terminal {
namespace {

constexpr char32_t kShiftTabCharacter = 0x19;
constexpr char32_t kBackspaceCharacter = 0x7F;
constexpr char32_t kEscapeCharacter = 0x1B;

struct NamedKeyPress {
  int code;
  char32_t character;
};

NamedKeyPress namedKeyPress(NamedKey key) {
  switch (key) {
    case NamedKey::Up:
      return {keycode::kUpArrow, keycode::kUpArrowCharacter};
    case NamedKey::Down:
      return {keycode::kDownArrow, keycode::kDownArrowCharacter};
    case NamedKey::Right:
      return {keycode::kRightArrow, keycode::kRightArrowCharacter};
    case NamedKey::Left:
      return {keycode::kLeftArrow, keycode::kLeftArrowCharacter};
    case NamedKey::Home:
      return {keycode::kHome, keycode::kHomeCharacter};
    case NamedKey::End:
      return {keycode::kEnd, keycode::kEndCharacter};
    case NamedKey::Insert:
      return {keycode::kHelp, keycode::kHelpCharacter};
    case NamedKey::Delete:
      return {keycode::kForwardDelete, keycode::kForwardDeleteCharacter};
    case NamedKey::PageUp:
      return {keycode::kPageUp, keycode::kPageUpCharacter};
    case NamedKey::PageDown:
      return {keycode::kPageDown, keycode::kPageDownCharacter};
    case NamedKey::Backspace:
      return {keycode::kDelete, kBackspaceCharacter};
    case NamedKey::Return:
      return {keycode::kReturn, U'\r'};
    case NamedKey::KeypadEnter:
      return {keycode::kKeypadEnter, U'\r'};
    case NamedKey::Tab:
      return {keycode::kTab, U'\t'};
    case NamedKey::BackTab:
      return {keycode::kTab, kShiftTabCharacter};
    case NamedKey::Escape:
      return {keycode::kEscape, kEscapeCharacter};
  }
  return {keycode::kOther, 0};
}

std::uint32_t modifierFlags(const InputEvent& key) {
  std::uint32_t flags = 0;
  if (key.shift) flags |= kModifierShift;
  if (key.control) flags |= kModifierControl;
  if (key.alt) flags |= kModifierOption;
  return flags;
}

}  // namespace

std::optional<ToolboxKeyPress> toolboxKeyOf(const InputEvent& key) {
  ToolboxKeyPress press;
  press.flags = modifierFlags(key);
  switch (key.kind) {
    case InputKind::Character:
      press.code = keycode::kOther;
      appendUtf8(press.characters, key.character);
      return press;
    case InputKind::Named: {
      const NamedKeyPress named = namedKeyPress(key.key);
      press.code = named.code;
      appendUtf8(press.characters, named.character);
      return press;
    }
    case InputKind::Function: {
      if (key.functionNumber < 1 ||
          key.functionNumber > static_cast<int>(keycode::kFunctionKeyCodes.size()))
        return std::nullopt;
      const auto index = static_cast<std::size_t>(key.functionNumber - 1);
      press.code = keycode::kFunctionKeyCodes[index];
      appendUtf8(press.characters,
                 keycode::kFunctionKeyCharacterBase + static_cast<char32_t>(index));
      return press;
    }
    case InputKind::Paste:
    case InputKind::DeviceAttributes:
    case InputKind::Wheel:
      break;
  }
  return std::nullopt;
}

}  // namespace terminal
