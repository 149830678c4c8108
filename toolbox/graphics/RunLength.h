// Run-length decoders for units of 1, 2, 3 and 4 bytes.
//
// Stream: the escape unit E (U bytes), then items. A unit other than E is a
// literal. E is followed by a command byte c:
//   0            E 0 filler(U-1)          nothing (logged)
//   1..3         E c filler(U-1)          E repeated c times (logged)
//   4..239       E c V                    V repeated c times
//   240          E 240 n16 V              V repeated n times (n big-endian)
//   241          E 241 n32 V              V repeated n times (logged)
//   242..255     E c filler(U-1)          nothing (logged as illegal)
// After a run item the stream is no longer aligned to U.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolbox/graphics/DecodeLimits.h"

// Output beyond maxBytes (at most kMaxDecodedBytes) is cut with a log line;
// what was decoded up to the limit is kept.
std::vector<std::uint8_t> rletobinary8(std::span<const std::uint8_t> data,
                                       std::size_t maxBytes = kMaxDecodedBytes);
std::vector<std::uint8_t> rletobinary16(std::span<const std::uint8_t> data,
                                        std::size_t maxBytes = kMaxDecodedBytes);
std::vector<std::uint8_t> rletobinary24(std::span<const std::uint8_t> data,
                                        std::size_t maxBytes = kMaxDecodedBytes);
std::vector<std::uint8_t> rletobinary32(std::span<const std::uint8_t> data,
                                        std::size_t maxBytes = kMaxDecodedBytes);

namespace runlength {
// The routine for units of unitBytes (1..4), its output appended to prefix
// (which does not count against maxBytes): the picture stage keeps the alpha
// byte of formats 34 and 35 in front without copying the decoded pixels.
std::vector<std::uint8_t> decode(int unitBytes, std::span<const std::uint8_t> data,
                                 std::size_t maxBytes, std::vector<std::uint8_t> prefix = {});
}  // namespace runlength
