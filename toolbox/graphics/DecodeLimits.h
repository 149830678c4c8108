// The one bound shared by every decoder of pictures, fonts and data files: a
// hostile count or size field in a small file must not make the program
// allocate gigabytes. Decoders stop at the bound, log it and keep what they
// decoded.
#pragma once

#include <algorithm>
#include <cstddef>

// The largest picture the game draws is 1280 x 800 at 32 bits (4 MB), and no
// window holds more than the 16 MiB of video memory; fonts are far smaller.
// 64 MiB (a 4096 x 4096 picture at 32 bits) leaves room for any authored
// picture, and two stages' outputs together stay far below the 300 MiB that
// any file may cost.
inline constexpr std::size_t kMaxDecodedBytes = std::size_t{64} << 20;

// Decoder output grows by doubling up to this size, then straight to the
// decoder's bound: a bomb then never holds a half-bound buffer and its copy at
// once (64 MiB + 4 MiB at most instead of 96 MiB), and ordinary output never
// asks for the bound.
inline constexpr std::size_t kDoublingLimitBytes = std::size_t{4} << 20;

// The capacity for needed bytes (needed <= bound) when capacity is too small.
inline std::size_t grownCapacity(std::size_t capacity, std::size_t needed, std::size_t bound) {
  if (needed > kDoublingLimitBytes) return bound;
  return std::min(std::max(needed, std::min(2 * capacity, kDoublingLimitBytes)), bound);
}
