// Numbers stored most significant byte first, as every field and unit of the
// picture formats is.
#pragma once

#include <cstdint>

namespace graphics {

// The number in the count bytes (at most 4) that start at bytes.
inline std::uint32_t bigEndian(const std::uint8_t* bytes, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace graphics
