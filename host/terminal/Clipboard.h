// The terminal's clipboard: OSC 52 asks the terminal (and tmux, which passes
// it on) to put text on the system clipboard. Terminals without it ignore
// the sequence.
#pragma once

#include <string>
#include <string_view>

namespace terminal {

// Terminals refuse longer OSC 52 texts (xterm's limit is about 100 KB of
// base64); longer texts are cut at a character boundary.
inline constexpr std::size_t kLongestClipboardBytes = 64 * 1024;

std::string base64(std::string_view bytes);
// "ESC ] 52 ; c ; <base64> BEL" for the UTF-8 text.
std::string clipboardSequence(std::string_view textUtf8);

}  // namespace terminal
