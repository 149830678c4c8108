// Terminal keys in the toolbox's terms: the hardware key code of the key
// table, the characters the key produced and the modifier flags, as the
// desktop host passes them to viewKeyDown. Characters go by themselves (an
// umlaut typed on any layout is that umlaut); cursor and editing keys get the
// codes and characters of the desktop the toolbox comes from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/terminal/InputDecoder.h"

namespace terminal {

struct ToolboxKeyPress {
  int code = -1;            // keycode::kOther for keys that go by their characters
  std::string characters;   // UTF-8
  std::uint32_t flags = 0;  // kModifier* bits
  friend bool operator==(const ToolboxKeyPress&, const ToolboxKeyPress&) = default;
};

// Nothing for pastes and terminal answers, which are no key presses.
std::optional<ToolboxKeyPress> toolboxKeyOf(const InputEvent& key);

}  // namespace terminal
