#include "support/Utf8.h"

#include <cstdint>

namespace {

struct Decoded {
  char32_t scalar;
  std::size_t length;  // bytes used; 1 for a broken sequence
  bool valid;
};

// Follows the well-formed byte sequences of Unicode (table 3-7): no overlong
// forms, no surrogates, nothing above U+10FFFF.
Decoded decodeAt(std::string_view bytes, std::size_t index) {
  const auto byteAt = [&](std::size_t offset) -> unsigned {
    return static_cast<std::uint8_t>(bytes[index + offset]);
  };
  const unsigned lead = byteAt(0);
  if (lead < 0x80) return {lead, 1, true};
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;
  char32_t scalar = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    scalar = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    scalar = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    scalar = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }
  if (index + length > bytes.size()) return {kReplacementCharacter, 1, false};
  for (std::size_t offset = 1; offset < length; ++offset) {
    const unsigned next = byteAt(offset);
    const unsigned min = offset == 1 ? low : 0x80;
    const unsigned max = offset == 1 ? high : 0xBF;
    if (next < min || next > max) return {kReplacementCharacter, 1, false};
    scalar = (scalar << 6) | (next & 0x3F);
  }
  return {scalar, length, true};
}

}  // namespace

bool isUnicodeScalar(std::int64_t code) {
  return code >= 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

std::u32string utf8ToScalars(std::string_view utf8) {
  std::u32string scalars;
  scalars.reserve(utf8.size());
  for (std::size_t index = 0; index < utf8.size();) {
    const Decoded decoded = decodeAt(utf8, index);
    scalars.push_back(decoded.scalar);
    index += decoded.length;
  }
  return scalars;
}

void appendUtf8(std::string& utf8, char32_t scalar) {
  if (!isUnicodeScalar(scalar)) scalar = kReplacementCharacter;
  if (scalar < 0x80) {
    utf8.push_back(static_cast<char>(scalar));
  } else if (scalar < 0x800) {
    utf8.push_back(static_cast<char>(0xC0 | (scalar >> 6)));
    utf8.push_back(static_cast<char>(0x80 | (scalar & 0x3F)));
  } else if (scalar < 0x10000) {
    utf8.push_back(static_cast<char>(0xE0 | (scalar >> 12)));
    utf8.push_back(static_cast<char>(0x80 | ((scalar >> 6) & 0x3F)));
    utf8.push_back(static_cast<char>(0x80 | (scalar & 0x3F)));
  } else {
    utf8.push_back(static_cast<char>(0xF0 | (scalar >> 18)));
    utf8.push_back(static_cast<char>(0x80 | ((scalar >> 12) & 0x3F)));
    utf8.push_back(static_cast<char>(0x80 | ((scalar >> 6) & 0x3F)));
    utf8.push_back(static_cast<char>(0x80 | (scalar & 0x3F)));
  }
}

std::string scalarsToUtf8(std::u32string_view scalars) {
  std::string utf8;
  utf8.reserve(scalars.size());
  for (char32_t scalar : scalars) appendUtf8(utf8, scalar);
  return utf8;
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t index = 0; index < bytes.size();) {
    const Decoded decoded = decodeAt(bytes, index);
    if (!decoded.valid) return false;
    index += decoded.length;
  }
  return true;
}
