#include "host/terminal/Clipboard.h"

#include <algorithm>
#include <cstdint>

namespace terminal {

std::string base64(std::string_view bytes) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  encoded.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t index = 0; index < bytes.size(); index += 3) {
    const std::size_t left = bytes.size() - index;
    std::uint32_t group = static_cast<std::uint8_t>(bytes[index]) << 16;
    if (left > 1)
      group |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[index + 1])) << 8;
    if (left > 2) group |= static_cast<std::uint8_t>(bytes[index + 2]);
    encoded += kAlphabet[(group >> 18) & 63];
    encoded += kAlphabet[(group >> 12) & 63];
    encoded += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
    encoded += left > 2 ? kAlphabet[group & 63] : '=';
  }
  return encoded;
}

std::string clipboardSequence(std::string_view textUtf8) {
  std::size_t length = std::min(textUtf8.size(), kLongestClipboardBytes);
  // Never cut inside a UTF-8 character: back up over continuation bytes.
  while (length < textUtf8.size() && length > 0 &&
         (static_cast<std::uint8_t>(textUtf8[length]) & 0xC0) == 0x80)
    --length;
  return "\x1b]52;c;" + base64(textUtf8.substr(0, length)) + "\a";
}

}  // namespace terminal
