// The LZW codec of pictures, fonts and adventure data files: plain LZW over
// bytes with one fixed code width per block, no clear or end codes and a
// dictionary that is never reset.
//
// Stored block: byte 0 = code width w, then the codes packed w bits each,
// most significant bit first; the last byte is padded with zero bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolbox/graphics/DecodeLimits.h"

using LzwCode = std::uint32_t;

// A code is held in 32 bits; wider codes cannot be represented, so
// bitstocodes returns no codes for them.
inline constexpr int kMaxLzwCodeWidth = 32;
// Every code decodes to at least one byte, and a block of pictures or texts
// of this game holds a few million codes; this keeps the code array and the
// decoder's dictionary bounded (64 MiB and 128 MiB).
inline constexpr std::size_t kMaxLzwCodes = std::size_t{1} << 24;

struct LzwCodes {
  std::vector<LzwCode> codes;
  int width = 8;
};

// The encoder: bytes to codes, choosing the smallest width >= 8 that holds the
// largest code. Logs a progress line at most once a second.
LzwCodes texttolzwunpacked(std::span<const std::uint8_t> bytes);
// Packs codes of the given width, most significant bit first. Width 0 (or
// one beyond kMaxLzwCodeWidth) gives no bytes.
std::vector<std::uint8_t> codestobits(std::span<const LzwCode> codes, int width);
// Unpacks bytes into codes of the given width; trailing bits fewer than the
// width are padding. Width 0 or beyond kMaxLzwCodeWidth gives no codes; at
// most kMaxLzwCodes codes are returned (with a log line when cut).
std::vector<LzwCode> bitstocodes(std::span<const std::uint8_t> bytes, int width);
// The decoder. An invalid code makes the whole result empty. Output beyond
// maxBytes is cut with a log line; what was decoded up to the limit is kept.
std::vector<std::uint8_t> lzwunpackedtotext(std::span<const LzwCode> codes,
                                            std::size_t maxBytes = kMaxDecodedBytes);

namespace lzw {
// Reading and writing a stored block in one call, for the loaders of fonts,
// pictures and data files and for the authoring tools.
std::vector<std::uint8_t> unpackStoredBlock(std::span<const std::uint8_t> block,
                                            std::size_t maxBytes = kMaxDecodedBytes);
std::vector<std::uint8_t> packStoredBlock(std::span<const std::uint8_t> bytes);
}  // namespace lzw
