// Filling memory with a repeated unit of a few bytes (a run of pixels, a line
// of a cleared window).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace graphics {

// Writes length bytes: the pattern's bytes again and again (the last copy may
// be cut short). Each memcpy doubles what is filled, so a long run costs a
// few large copies instead of one small copy per unit.
inline void fillWithPattern(std::uint8_t* out, std::size_t length, const std::uint8_t* pattern,
                            std::size_t patternBytes) {
  if (length == 0) return;
  const std::size_t first = std::min(patternBytes, length);
  std::memcpy(out, pattern, first);
  for (std::size_t filled = first; filled < length;) {
    const std::size_t step = std::min(filled, length - filled);
    std::memcpy(out + filled, out, step);
    filled += step;
  }
}

}  // namespace graphics
