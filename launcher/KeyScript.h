// The key files of scripted play (velmorat --keys FILE): UTF-8 text typed key
// by key. A line end is Return; names in braces are special keys ({Return},
// {Esc}, {Tab}, {Backspace}, {Delete}, {Left}, {Right}, {Up}, {Down}, {Home},
// {End}, {PageUp}, {PageDown}, {F1}..{F12}, {Ctrl-A}..{Ctrl-Z}, {Ctrl-^});
// "{{" is a brace. A line that starts with "#" is a comment, not typed
// ("# ends: ..." lines tell velmorat-tool test where the game must end).
// {Menu N} is no key: it chooses the menu item with tag N,
// as a click would, when the program waits for the next key. Free of Qt so
// that it can be tested on its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptKeyKind {
  Character,  // character holds the Unicode scalar
  Return,
  Escape,
  Tab,
  Backspace,
  ForwardDelete,
  Left,
  Right,
  Up,
  Down,
  Home,
  End,
  PageUp,
  PageDown,
  Function,  // character holds the number 1..12
  Control,   // character holds 'A'..'Z' or '^'
  Menu,      // character holds the menu item's tag, 1..kMaxMenuTag
};

inline constexpr char32_t kMaxMenuTag = 99999;

struct ScriptKey {
  ScriptKeyKind kind = ScriptKeyKind::Character;
  char32_t character = 0;
  friend bool operator==(const ScriptKey&, const ScriptKey&) = default;
};

struct KeyScript {
  std::vector<ScriptKey> keys;
  // The line of the file (from 1) that each key stands on, for messages.
  std::vector<int> lines;
  // Empty when the whole file was understood; otherwise "line N: ..." and
  // keys holds what came before the fault.
  std::string error;
};

// A key file larger than this is refused: scripted play types by hand-sized files.
inline constexpr std::size_t kMaxKeyScriptBytes = 4 * 1024 * 1024;
// Longest name between braces that can be valid ("PageDown").
inline constexpr std::size_t kMaxKeyNameLength = 16;

KeyScript parseKeyScript(std::string_view utf8);
// Reads and parses a file; a missing, unreadable or oversized file gives an error.
KeyScript readKeyScript(const std::string& path);
