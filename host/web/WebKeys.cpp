#include "host/web/WebKeys.h"

#include <array>

#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/KeyCodes.h"
#include "toolbox/windows/NamedKeys.h"

namespace web {
namespace {

constexpr char32_t kControlMask = 0x1F;

struct BrowserKey {
  std::string_view name;
  keycode::NamedKey key;
};

// The browser's names of the editing and cursor keys (KeyboardEvent.key).
constexpr std::array<BrowserKey, 14> kBrowserKeys = {{
    {"ArrowUp", keycode::NamedKey::Up},
    {"ArrowDown", keycode::NamedKey::Down},
    {"ArrowRight", keycode::NamedKey::Right},
    {"ArrowLeft", keycode::NamedKey::Left},
    {"Home", keycode::NamedKey::Home},
    {"End", keycode::NamedKey::End},
    {"Insert", keycode::NamedKey::Insert},
    {"Delete", keycode::NamedKey::Delete},
    {"PageUp", keycode::NamedKey::PageUp},
    {"PageDown", keycode::NamedKey::PageDown},
    {"Backspace", keycode::NamedKey::Backspace},
    {"Enter", keycode::NamedKey::Return},
    {"Tab", keycode::NamedKey::Tab},
    {"Escape", keycode::NamedKey::Escape},
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
  for (const BrowserKey& browserKey : kBrowserKeys) {
    if (browserKey.name != name) continue;
    const bool backTab = browserKey.key == keycode::NamedKey::Tab && (pageFlags & kPageShift) != 0;
    const keycode::KeyPress named =
        keycode::namedKeyPress(backTab ? keycode::NamedKey::BackTab : browserKey.key);
    press.code = named.code;
    appendUtf8(press.characters, named.character);
    return press;
  }
  if (const int number = functionKeyNumber(name); number > 0) {
    const keycode::KeyPress function =
        keycode::functionKeyPress(static_cast<std::size_t>(number - 1));
    press.code = function.code;
    appendUtf8(press.characters, function.character);
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
