// The page's keys in the toolbox's terms, as the desktop host passes them to
// viewKeyDown: the key code of the key table, the characters and the modifier
// flags. Keys that type text arrive as text (an umlaut typed on any layout,
// with a dead key or AltGr, is that umlaut); the others arrive by the name the
// browser gives them ("Enter", "ArrowUp", "F5") and get the codes and
// characters of the desktop the toolbox comes from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace web {

// The page's modifier bits (velmorat-page.js): Shift, Control, Alt, Meta.
inline constexpr int kPageShift = 1;
inline constexpr int kPageControl = 2;
inline constexpr int kPageAlt = 4;
inline constexpr int kPageMeta = 8;

struct WebKeyPress {
  int code = -1;            // keycode::kOther for keys that go by their characters
  std::string characters;   // UTF-8
  std::uint32_t flags = 0;  // kModifier* bits
  friend bool operator==(const WebKeyPress&, const WebKeyPress&) = default;
};

// A key by its browser name, or, with an empty name, one character typed with
// Control or Command (text "a" with Control is Ctrl-A, code 1). Nothing for a
// name the toolbox has no key for.
std::optional<WebKeyPress> webKeyPress(std::string_view name, std::string_view text, int pageFlags);
// One character of typed text.
WebKeyPress webCharacterPress(char32_t character);

}  // namespace web
