// LZW stored blocks: the one-call reader and the two routines it combines
// must agree, and every input must come back from the encoder unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "toolbox/graphics/Lzw.h"

namespace {
constexpr std::size_t kMaxOutputBytes = std::size_t{256} << 10;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const std::vector<std::uint8_t> decoded = lzw::unpackStoredBlock(input, kMaxOutputBytes);
  if (size > 0) {
    const std::vector<LzwCode> codes = bitstocodes(input.subspan(1), data[0]);
    if (lzwunpackedtotext(codes, kMaxOutputBytes) != decoded) std::abort();
  }
  const std::vector<std::uint8_t> stored = lzw::packStoredBlock(input);
  if (lzw::unpackStoredBlock(stored, size + 1) !=
      std::vector<std::uint8_t>(input.begin(), input.end())) {
    std::abort();
  }
  return 0;
}
