// Key translation without a host: from a key code (toolbox/windows/KeyCodes.h),
// the first character the key produced and the modifier flags to the
// character code of the key event. Hosts only map their keys onto the codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "toolbox/windows/Event.h"

namespace keys {

struct Translation {
  std::optional<int> value;  // the event's Value; nothing: no event
  bool cursorKey = false;
  bool functionKey = false;
  // Control with keypad 7, 8, 9 redirect the window's output instead of typing.
  std::optional<int> redirectMode;
};

// Function-key characters from the host (keycode::kFunctionKeyCharacterBase
// on) become 129 and up; only those that fit the 8-bit character set count.
inline constexpr int kFirstFunctionKeyValue = 129;
inline constexpr int kLastFunctionKeyValue = 255;

// deadKey: the host reported no characters at all (a dead key); character is
// then 0. A reported NUL character is not a dead key.
Translation translateKey(int keyCode, char32_t character, bool deadKey,
                         std::uint32_t modifierFlags);
// A fresh event with Mods and the eight modifier flags taken from modifierFlags.
t_Event eventWithModifiers(std::uint32_t modifierFlags);
t_Event keyEvent(std::uint8_t window, int keyCode, const std::string& characters, int value,
                 std::uint32_t modifierFlags, std::int64_t time, bool cursorKey, bool functionKey);

}  // namespace keys
