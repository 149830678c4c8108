#include "host/terminal/ToolboxKeys.h"

#include "support/Utf8.h"
#include "toolbox/windows/Events.h"
#include "toolbox/windows/NamedKeys.h"

namespace terminal {
namespace {

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
      const keycode::KeyPress named = keycode::namedKeyPress(key.key);
      press.code = named.code;
      appendUtf8(press.characters, named.character);
      return press;
    }
    case InputKind::Function: {
      if (key.functionNumber < 1 ||
          key.functionNumber > static_cast<int>(keycode::kFunctionKeyCodes.size()))
        return std::nullopt;
      const keycode::KeyPress function =
          keycode::functionKeyPress(static_cast<std::size_t>(key.functionNumber - 1));
      press.code = function.code;
      appendUtf8(press.characters, function.character);
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
