// Run-length streams of units of 1 to 4 bytes (chosen by the first byte), and
// the encoder's streams, which must decode back to what it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "toolbox/graphics/PictureEncoder.h"
#include "toolbox/graphics/RunLength.h"

namespace {
constexpr std::size_t kMaxOutputBytes = std::size_t{1} << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int unitBytes = data[0] % 4 + 1;
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  runlength::decode(unitBytes, rest, kMaxOutputBytes);
  const std::span<const std::uint8_t> whole = rest.first(rest.size() / unitBytes * unitBytes);
  const std::vector<std::uint8_t> stream = picture::runLengthEncode(whole, unitBytes);
  if (runlength::decode(unitBytes, stream, whole.size()) !=
      std::vector<std::uint8_t>(whole.begin(), whole.end())) {
    std::abort();
  }
  return 0;
}
