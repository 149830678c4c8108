#include "host/web/WebKeys.h"

#include <array>

#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"

namespace web {
namespace {

constexpr char32_t kShiftTabCharacter = 0x19;
constexpr char32_t kBackspaceCharacter = 0x7F;
constexpr char32_t kEscapeCharacter = 0x1B;
constexpr char32_t kControlMask = 0x1F;

struct NamedKey {
  std::string_view name;
  int code;
  char32_t character;
};

// The browser's names of the editing and cursor keys (KeyboardEvent.key).
constexpr std::array<NamedKey, 14> kNamedKeys = {{
    {"ArrowUp", keycode::kUpArrow, keycode::kUpArrowCharacter},
    {"ArrowDown", keycode::kDownArrow, keycode::kDownArrowCharacter},
    {"ArrowRight", keycode::kRightArrow, keycode::kRightArrowCharacter},
    {"ArrowLeft", keycode::kLeftArrow, keycode::kLeftArrowCharacter},
    {"Home", keycode::kHome, keycode::kHomeCharacter},
    {"End", keycode::kEnd, keycode::kEndCharacter},
    {"Insert", keycode::kHelp, keycode::kHelpCharacter},
    {"Delete", keycode::kForwardDelete, keycode::kForwardDeleteCharacter},
    {"PageUp", keycode::kPageUp, keycode::kPageUpCharacter},
    {"PageDown", keycode::kPageDown, keycode::kPageDownCharacter},
    {"Backspace", keycode::kDelete, kBackspaceCharacter},
    {"Enter", keycode::kReturn, U'\r'},
    {"Tab", keycode::kTab, U'\t'},
    {"Escape", keycode::kEscape, kEscapeCharacter},
}};

std::uint32_t toolboxFlags(int pageFlags) {
  std::uint32_t flags = 0;
  if ((pageFlags & kPageShift) != 0) flags |= kModifierShift;
  if ((pageFlags & kPageControl) != 0) flags |= kModifierControl;
  if ((pageFlags & kPageAlt) != 0) flags |= kModifierOption;
  if ((pageFlags & kPageMeta) != 0) flags |= kModifierCommand;
  return flags;
}

// "F1" .. "F20": the number, else 0.
int functionKeyNumber(std::string_view name) {
  if (name.size() < 2 || name.size() > 3 || name[0] != 'F') return 0;
  int number = 0;
  for (char digit : name.substr(1)) {
    if (digit < '0' || digit > '9') return 0;
    number = number * 10 + (digit - '0');
  }
  return number >= 1 && number <= static_cast<int>(keycode::kFunctionKeyCodes.size()) ? number : 0;
}

}  // namespace

std::optional<WebKeyPress> webKeyPress(std::string_view name, std::string_view text,
                                       int pageFlags) {
  WebKeyPress press;
  press.flags = toolboxFlags(pageFlags);
  if (name.empty()) {
    const std::u32string characters = utf8ToScalars(std::string(text));
    if (characters.size() != 1) return std::nullopt;
    char32_t character = characters[0];
    const bool control = (pageFlags & (kPageControl | kPageMeta)) != 0;
    if (control &&
        ((character >= U'a' && character <= U'z') || (character >= U'A' && character <= U'Z'))) {
      character &= kControlMask;
    }
    press.code = keycode::kOther;
    appendUtf8(press.characters, character);
    return press;
  }
  for (const NamedKey& key : kNamedKeys) {
    if (key.name != name) continue;
    press.code = key.code;
    const bool backTab = key.code == keycode::kTab && (pageFlags & kPageShift) != 0;
    appendUtf8(press.characters, backTab ? kShiftTabCharacter : key.character);
    return press;
  }
  if (const int number = functionKeyNumber(name); number > 0) {
    const auto index = static_cast<std::size_t>(number - 1);
    press.code = keycode::kFunctionKeyCodes[index];
    appendUtf8(press.characters, keycode::kFunctionKeyCharacterBase + static_cast<char32_t>(index));
    return press;
  }
  return std::nullopt;
}

WebKeyPress webCharacterPress(char32_t character) {
  WebKeyPress press;
  press.code = keycode::kOther;
  appendUtf8(press.characters, character);
  return press;
}

}  // namespace web
